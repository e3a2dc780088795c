// The program as the shop starts it: the main window with the customer
// windows behind its entries.
#include "apptest.h"
#include "customers/customerwindows.h"
#include "customers/frmclientes.h"
#include "orders/frmmanutencao.h"
#include "orders/workshopwindows.h"
#include "support/modal.h"
#include "support/testmain.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

namespace {

class ProgramTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        registerCustomerWindows();
        registerWorkshopWindows();
        mdi = std::make_unique<FrmMdi>();
        ASSERT_FALSE(mdi->ended());
        mdi->show();
        timer("Timer1")->fire();
        ASSERT_TRUE(mdi->windowTitle().contains(QStringLiteral("ADMINISTRADOR")));
    }
    QMdiArea* area() { return mdi->findChild<QMdiArea*>(); }
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

TEST_F(ProgramTest, F3OpensTheWorkshopListInPlaceOfTheCustomers) {
    ASSERT_TRUE(action("Mnumanut")->isEnabled());
    EXPECT_EQ(action("Mnumanut")->shortcut(), QKeySequence(Qt::Key_F3));
    action("MnuClientes")->trigger();
    action("Mnumanut")->trigger();
    ASSERT_EQ(area()->subWindowList().size(), 1);
    auto* list = qobject_cast<FrmManutencao*>(area()->subWindowList()[0]->widget());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(WindowHost::findList<FrmClientes>(), nullptr);
    EXPECT_EQ(list->windowTitle(), QString::fromUtf8("Manutençao"));
}

TARVEL_TEST_MAIN()
