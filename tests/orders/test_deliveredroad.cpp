// The delivered appliances from the main window, as a new user meets them:
// the "Entregues" entry (F4 and the toolbar), finding an appliance, its
// details and the printed report.
#include "delivereddata.h"

#include "app/apptest.h"
#include "customers/customerwindows.h"
#include "orders/deliveredwindows.h"
#include "orders/frmapentregues.h"
#include "orders/workshopwindows.h"
#include "printing/printer.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>

using namespace DeliveredData;

namespace {

class DeliveredRoadTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        registerCustomerWindows();
        registerWorkshopWindows();
        registerDeliveredWindows();
        m_previous = Printing::setDefaultTarget(target);
    }
    void TearDown() override {
        Printing::setDefaultTarget(m_previous);
        MainWindowTest::TearDown();
    }
    std::shared_ptr<RecordingTarget> target = std::make_shared<RecordingTarget>();

private:
    std::shared_ptr<PrintTarget> m_previous;
};

} // namespace

TEST_F(DeliveredRoadTest, FindAnApplianceSeeItsDetailsAndPrintItsReport) {
    addDelivered(301, "ANA");
    addDelivered(302, "BRUNO", {{"NumSerie", "XK-77"}});
    addDelivered(303, "CARLA");
    start();
    mdi->resize(1024, 740);
    mdi->show();
    QAction* entry = action("MnuApEntregues");
    ASSERT_TRUE(entry->isEnabled());
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::Key_F4));
    EXPECT_TRUE(mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("Entregues")->isEnabled());

    // The customers list goes when the delivered list comes.
    action("MnuClientes")->trigger();
    mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("Entregues")->trigger();
    auto* list = WindowHost::findList<FrmApEntregues>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(mdi->findChild<QMdiArea*>("MdiArea")->subWindowList().size(), 1);
    EXPECT_EQ(list->findChild<QLabel*>("Label1")->text(), "3");

    // Found by its serial number (F10).
    {
        ModalScript search([](QWidget* d) {
            d->findChild<QRadioButton*>("Option3")->click();
            Typing::type(d->findChild<QLineEdit*>("TxtBusca"), "XK-77");
            d->findChild<QPushButton*>("BtIniciar")->click();
        }, 10000, "FrmLocApEntregue");
        Typing::key(list->findChild<QLineEdit*>("TxtBusca"), Qt::Key_F10);
    }
    EXPECT_EQ(list->dataFrmApEnt().text("Nome"), "BRUNO");
    QApplication::processEvents();
    const QString dir = qEnvironmentVariable("TARVEL_PDF_DIR");
    if (!dir.isEmpty()) mdi->grab().save(dir + QStringLiteral("/MainWindowEntregues.png"));
    // On a 1024-pixel screen the panel's captions can be read whole (the
    // buttons keep their pictures and tool tips).
    for (const char* name : {"Label3(0)", "Label3(1)", "Label2"}) {
        auto* l = list->findChild<QLabel*>(name);
        EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << name;
    }
    EXPECT_FALSE(list->findChild<QPushButton*>("BtDetalhes")->toolTip().isEmpty());

    // Its details (F11), then the report printed from them.
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes, QString::fromUtf8("Confirma a Impressão dos Detalhes desta Ordem de Serviço"));
    boxes.answer(MsgAnswer::Ok, "Os Dados foram enviados para a Impressora. Aguarde!");
    std::unique_ptr<ModalScript> report;
    ModalScript details(
        [&](QWidget* d) {
            EXPECT_EQ(d->findChild<QLabel*>("Label2")->text(), "302");
            report = std::make_unique<ModalScript>([](QWidget*) {}, 10000, "FrmImpDtApEnt");
            d->findChild<QPushButton*>("BtImpressao")->click();
            d->findChild<QPushButton*>("BtFechar")->click();
        },
        10000, "FrmDetalhes");
    Typing::key(list->findChild<QLineEdit*>("TxtBusca"), Qt::Key_F11);
    ASSERT_TRUE(report && report->done());
    ASSERT_EQ(target->documents.size(), 1u);
    EXPECT_TRUE(target->documents[0].pages.at(0).findText("00302"));
    EXPECT_TRUE(target->documents[0].pages.at(0).findText("BRUNO"));
}

TARVEL_TEST_MAIN()
