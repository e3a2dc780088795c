// The details of a delivered appliance: the row shown, the service report
// lines, the warranty return that opens the intake, the customer button and
// the print confirmation.
#include "delivereddata.h"
#include "intakedata.h"

#include "customers/frmclientes.h"
#include "orders/frmapentregues.h"
#include "orders/frmdetalhes.h"
#include "orders/frmentrada.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/windowhost.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

using namespace DeliveredData;

namespace {

struct DetalhesTest : ProgramFolderTest {
    std::unique_ptr<FrmDetalhes> w;

    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0)));
    }
    void TearDown() override {
        w.reset();
        Clock::set({});
        ProgramFolderTest::TearDown();
    }
    FrmDetalhes* open(qint64 id) {
        Modulo::IdApEntregueAtual = std::int32_t(id);
        w = std::make_unique<FrmDetalhes>();
        return w.get();
    }
    QString label(const QString& name) { return w->findChild<QLabel*>(name)->text(); }
    QColor colour(const QString& name) { return w->findChild<QLabel*>(name)->palette().color(QPalette::WindowText); }
    QPushButton* button(const char* name) { return w->findChild<QPushButton*>(name); }
};

} // namespace

TEST_F(DetalhesTest, ShowsTheRowItsAmountAndItsReportLines) {
    addDelivered(5, "OUTRO");
    const qint64 id = addDelivered(42, "ANA", {{"Relatorio1", "ABC"}, {"Relatorio2", "ABCD"},
                                               {"ValorCobrado", money(15000)}, {"DATALIMITEGARANTIA", QDate(2026, 12, 5)},
                                               {"Garantia de Serviço", false}});
    open(id);
    ASSERT_TRUE(w->found());
    EXPECT_EQ(w->windowTitle(), "Detalhes do Aparelho Entregue");
    EXPECT_EQ(label("Label2"), "42");
    EXPECT_EQ(label("Lbl(0)"), "7");
    EXPECT_EQ(label("Lbl(1)"), "ANA");
    EXPECT_EQ(label("Lbl(11)"), "(19) 99999-4444");
    EXPECT_EQ(label("Label4"), "20/11/2026");
    EXPECT_EQ(label("Label5"), "CARLOS");
    EXPECT_EQ(label("Label12"), "BALCAO");
    EXPECT_EQ(w->findChild<QLineEdit*>("Txt(19)")->text(), "SN-42");
    EXPECT_TRUE(w->findChild<QLineEdit*>("Txt(19)")->isReadOnly());
    EXPECT_EQ(w->findChild<QLineEdit*>("Txt(12)")->text(), "VIDEO");
    EXPECT_EQ(w->findChild<QLineEdit*>("Txt(26)")->text(), "");
    EXPECT_EQ(label("Label13"), QString::fromUtf8("R$ 150,00"));
    // Out without any warranty beyond its exit day: the end date shows pale.
    EXPECT_EQ(label("Label11"), label("Label8"));
    EXPECT_EQ(colour("Label11"), QColor(255, 224, 192));
    EXPECT_EQ(colour("Label8"), QColor(0, 0, 128));
    EXPECT_FALSE(button("BtRetorno")->isEnabled());
    EXPECT_FALSE(button("BtRecibo")->isEnabled());

    const QStringList expected = {
        QString(5, ' ') + "=== Material Empregado: ===",
        QString(100, '-'),
        "F01 1 UN FLYBACK 120,00",
        "ABCD",   // "ABC" (3 characters) is left out; the unused rows, stored as 4 blanks, are not
        "    ",
        "    ",
        "    ",
        QString(105, '-'),
        QString(51, ' ') + QString::fromUtf8("MÃO DE OBRA: R$ 45,00"),
        QString(56, ' ') + "SUB TOTAL: 175,00",
        QString(55, ' ') + "DESCONTO: 24,50",
        QString(50, ' ') + QString(55, '-'),
        QString(51, ' ') + QString::fromUtf8("TOTAL DO SERVIÇO: 150"),
        QString(105, '-'),
        QString::fromUtf8("Observações:"),
        "TROCADO O FLYBACK",
        "",
        "TESTADO 2 HORAS",
        QString(60, '='),
        "Forma de Pagamento:",
        "DINHEIRO",
        "",
        "",
        "",
        "PAGO NA RETIRADA"};
    EXPECT_EQ(w->reportLines(), expected);

    // A warranty that still holds: the return is offered; a flag with no
    // value leaves it offered too.
    const qint64 held = addDelivered(43, "BETO", {{"ValorCobrado", money(15050)}});
    open(held);
    EXPECT_TRUE(button("BtRetorno")->isEnabled());
    EXPECT_NE(colour("Label11"), QColor(255, 224, 192));
    EXPECT_TRUE(w->reportLines().contains(QString(51, ' ') + QString::fromUtf8("TOTAL DO SERVIÇO: 150,5")));
    open(addDelivered(44, "CARLA", {{"Garantia de Serviço", QVariant()}}));
    EXPECT_TRUE(button("BtRetorno")->isEnabled());
}

TEST_F(DetalhesTest, ARowThatIsGoneIsReportedAndNothingOpens) {
    addDelivered(1, "ANA");
    FrmApEntregues* list = FrmApEntregues::open();
    ASSERT_NE(list, nullptr);
    Database::openDefault().execute("DELETE FROM TblApEntregues");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, QString::fromUtf8("O Aparelho Entregue N.: 1 não foi encontrado."));
    list->BtDetalhes_Click();
    EXPECT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log().last().title, "Detalhes do Aparelho Entregue");
}

// From the list: F11, then "Nova Ordem de Serviço". The details and the list
// close, the intake opens as a warranty return with the customer, the
// appliance, the technician and the warranty end, and its order keeps them.
TEST_F(DetalhesTest, TheWarrantyReturnFillsTheIntakeAndItsOrder) {
    IntakeData::addLists();
    const qint64 id = addDelivered(42, "ANA", {{"Tecnico", "CARLOS"}, {"DATALIMITEGARANTIA", QDate(2027, 3, 5)}});
    Modulo::DadosSelecionados[12] = "ana@exemplo.com";
    FrmApEntregues* list = FrmApEntregues::open();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->dataFrmApEnt().number("IdApEntregues"), id);

    qlonglong saved = 0;
    const auto fillIntake = [&](QWidget* d) {
        EXPECT_EQ(WindowHost::findList<FrmApEntregues>(), nullptr) << "the list closed first";
        EXPECT_EQ(Modulo::DadosSelecionados[12], "ana@exemplo.com") << "slot 12 is left alone";
        EXPECT_EQ(IntakeData::lbl(d, 1)->text(), "ANA");
        EXPECT_EQ(IntakeData::txt(d, 19)->text(), "SN-42");
        EXPECT_TRUE(IntakeData::option(d, "Option1(1)")->isChecked());
        EXPECT_FALSE(IntakeData::option(d, "Option1(0)")->isEnabled());
        EXPECT_EQ(IntakeData::combo(d, "Combo(3)")->currentText(), "CARLOS");
        Typing::type(d->findChild<QLineEdit*>("TxtOperador"), "1234");
        Typing::type(IntakeData::txt(d, 21), "voltou o defeito");
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::No, "Deseja Imprimir esta Ordem de Serviço Agora?");
        IntakeData::button(d, "BtEntrada")->click();
        saved = Modulo::OsAtual;
        IntakeData::button(d, "BtFechar")->click();
    };
    std::unique_ptr<ModalScript> intake;
    ModalScript details(
        [&](QWidget* d) {
            // The next dialog after this one is the intake.
            intake = std::make_unique<ModalScript>(fillIntake, 10000, "FrmEntrada");
            d->findChild<QPushButton*>("BtRetorno")->click();
        },
        10000, "FrmDetalhes");
    Typing::key(list->findChild<QLineEdit*>("TxtBusca"), Qt::Key_F11);
    EXPECT_TRUE(details.done());
    ASSERT_TRUE(waitFor([&] { return intake && intake->done() && !QApplication::activeModalWidget(); }));
    ASSERT_GT(saved, 0);
    const auto stored = [saved](const char* field) {
        return Database::openDefault()
            .scalar(QStringLiteral("SELECT [%1] FROM TblManutencao WHERE Os = ?").arg(field), {saved})
            .toString();
    };
    EXPECT_EQ(stored("Tipo"), QString::fromUtf8("GAR. DE SERVIÇO"));
    EXPECT_EQ(stored("Tecnico"), "CARLOS");
    EXPECT_EQ(stored("DtLmtGr"), "2027-03-05");
    EXPECT_EQ(stored("NumSerie"), "SN-42");
    EXPECT_EQ(stored("Nome"), "ANA");
    EXPECT_FALSE(Modulo::RetornoGarantia);
}

TEST_F(DetalhesTest, TheCustomerButtonOpensTheCustomersListEvenForADeletedCustomer) {
    const qint64 id = addDelivered(42, "ANA", {{"IdCliente", 999}});
    open(id);
    w->show();
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, QString::fromUtf8("O Cadastro deste Cliente foi Excluído"));
    button("BtCadCliente")->click();
    EXPECT_EQ(boxes.log().last().title, "Cadastro de Clientes");
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Exclamation);
    EXPECT_FALSE(w->isVisible());
    auto* customers = WindowHost::findList<FrmClientes>();
    ASSERT_NE(customers, nullptr);
    EXPECT_TRUE(customers->isVisible());
}

TEST_F(DetalhesTest, PrintingAsksFirstAndNoLeavesItThere) {
    const qint64 id = addDelivered(42, "ANA");
    open(id);
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::No, QString::fromUtf8("Confirma a Impressão dos Detalhes desta Ordem de Serviço"));
    button("BtImpressao")->click();
    EXPECT_EQ(boxes.log().last().title, QString::fromUtf8("ORDEM DE SERVIÇO"));
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Question);
    EXPECT_EQ(boxes.log().last().defaultButton, MsgAnswer::Yes);
}

// Every value can be read whole in the window as it opens.
TEST_F(DetalhesTest, EveryValueFitsItsPlace) {
    open(addDelivered(42, "JOSÉ DA CONCEIÇÃO ARAÚJO FILHO", {{"Relatorio0", "F01 10 UN FLYBACK DE ALTA TENSÃO 1.120,00"}}));
    w->show();
    QApplication::processEvents();
    const QString dir = qEnvironmentVariable("TARVEL_PDF_DIR");
    if (!dir.isEmpty()) w->grab().save(dir + QStringLiteral("/FrmDetalhes.png"));
    for (QLabel* l : w->findChildren<QLabel*>())
        if (!l->text().isEmpty() && l->isVisible()) {
            EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << l->objectName().toStdString();
        }
    for (QLineEdit* t : w->findChildren<QLineEdit*>()) EXPECT_GE(t->width(), 60) << t->objectName().toStdString();
    // The whole window fits a 1024 x 768 screen.
    EXPECT_LE(w->frameGeometry().width(), 1024);
    EXPECT_LE(w->frameGeometry().height(), 740);
}

TARVEL_TEST_MAIN()
