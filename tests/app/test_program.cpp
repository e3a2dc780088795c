// The program as the shop starts it: the main window with the customer
// windows behind its entries.
#include "app/frmmdi.h"
#include "app/windowregistry.h"
#include "customers/customerwindows.h"
#include "customers/frmclientes.h"
#include "platform/screensize.h"
#include "platform/singleinstance.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

namespace {

class ProgramTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        SingleInstance::setLockPath(folder() + "/tarvel.lock");
        ScreenSize::setOverride(QSize(1024, 768));
        FrmMdi::setLoginRunner([](QWidget*) {
            Modulo::NomeOperadorAtual = QStringLiteral("ADMINISTRADOR");
            return int(QDialog::Accepted);
        });
        registerCustomerWindows();
        mdi = std::make_unique<FrmMdi>();
        ASSERT_FALSE(mdi->ended());
        mdi->show();
        mdi->findChild<WindowTimer*>("Timer1")->fire();
        ASSERT_TRUE(mdi->windowTitle().contains(QStringLiteral("ADMINISTRADOR")));
    }
    void TearDown() override {
        mdi.reset();
        FrmMdi::setLoginRunner({});
        WindowRegistry::clear();
        SingleInstance::setLockPath(QString());
        ScreenSize::setOverride(QSize());
        ProgramFolderTest::TearDown();
    }
    QAction* action(const char* name) { return mdi->findChild<QAction*>(name); }
    QMdiArea* area() { return mdi->findChild<QMdiArea*>(); }

    std::unique_ptr<FrmMdi> mdi;
};

} // namespace

TEST_F(ProgramTest, TheCustomerEntriesOpenTheRealWindows) {
    ASSERT_TRUE(action("MnuClientes")->isEnabled());
    ASSERT_TRUE(action("MnuNvCliente")->isEnabled());

    // "Novo Cliente" saves a customer through the modal window.
    ModalScript script([](QWidget* dlg) {
        dlg->findChild<QPushButton*>("BtFechar")->click();
    }, 10000, QStringLiteral("FrmNvCliente"));
    action("MnuNvCliente")->trigger();
    EXPECT_TRUE(script.done());

    // "Clientes" (F2) opens the list once, inside the main window.
    action("MnuClientes")->trigger();
    action("MnuClientes")->trigger();
    ASSERT_EQ(area()->subWindowList().size(), 1);
    auto* list = qobject_cast<FrmClientes*>(area()->subWindowList()[0]->widget());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(WindowHost::findList<FrmClientes>(), list);
}

TARVEL_TEST_MAIN()
