// The details of a delivered appliance.
#include "delivereddata.h"

#include "customers/frmclientes.h"
#include "orders/frmapentregues.h"
#include "orders/frmdetalhes.h"
#include "store/globals.h"
#include "support/expectedboxes.h"
#include "support/fixture.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

using namespace DeliveredData;

namespace {

struct DetalhesTest : ProgramFolderTest {
    std::unique_ptr<FrmDetalhes> w;

    FrmDetalhes* open(qint64 id) {
        Modulo::IdApEntregueAtual = std::int32_t(id);
        w = std::make_unique<FrmDetalhes>();
        return w.get();
    }
    QString label(const QString& name) { return w->findChild<QLabel*>(name)->text(); }
    QPushButton* button(const char* name) { return w->findChild<QPushButton*>(name); }
};

} // namespace

// The row by its key, its amount and report lines (parts lines of three
// characters or fewer left out); a warranty ended by the exit day shows pale,
// a warranty flag that is off takes the return away.
TEST_F(DetalhesTest, ShowsTheRowItsReportAndTheWarranty) {
    addDelivered(5, "OUTRO");
    const qint64 id = addDelivered(42, "ANA", {{"Relatorio1", "ABC"}, {"Relatorio2", "ABCD"},
                                               {"ValorCobrado", money(15000)}, {"DATALIMITEGARANTIA", QDate(2026, 12, 5)},
                                               {"Garantia de Serviço", false}});
    ASSERT_TRUE(open(id)->found());
    EXPECT_EQ(label("Label2") + " " + label("Lbl(1)") + " " + label("Label12"), "42 ANA BALCAO");
    EXPECT_EQ(label("Lbl(11)"), "(19) 99999-4444");
    EXPECT_EQ(w->findChild<QLineEdit*>("Txt(19)")->text(), "SN-42");
    EXPECT_EQ(label("Label13"), "R$ 150,00");
    EXPECT_EQ(label("Label11"), label("Label8"));
    EXPECT_EQ(w->findChild<QLabel*>("Label11")->palette().color(QPalette::WindowText), QColor(255, 224, 192));
    EXPECT_FALSE(button("BtRetorno")->isEnabled());
    const QString s5(5, ' '), s50(50, ' '), s51(51, ' '), s55(55, ' '), s56(56, ' ');
    EXPECT_EQ(w->reportLines(),
              (QStringList{s5 + "=== Material Empregado: ===", QString(100, '-'), "F01 1 UN FLYBACK 120,00", "ABCD",
                           "    ", "    ", "    ", QString(105, '-'), s51 + "MÃO DE OBRA: R$ 45,00",
                           s56 + "SUB TOTAL: 175,00", s55 + "DESCONTO: 24,50", s50 + QString(55, '-'),
                           s51 + "TOTAL DO SERVIÇO: 150", QString(105, '-'), "Observações:", "TROCADO O FLYBACK", "",
                           "TESTADO 2 HORAS", QString(60, '='), "Forma de Pagamento:", "DINHEIRO", "", "", "",
                           "PAGO NA RETIRADA"}));

    // A warranty that still holds, or a flag with no value: the return is offered.
    open(addDelivered(43, "BETO", {{"ValorCobrado", money(15050)}}));
    EXPECT_TRUE(button("BtRetorno")->isEnabled());
    EXPECT_NE(w->findChild<QLabel*>("Label11")->palette().color(QPalette::WindowText), QColor(255, 224, 192));
    EXPECT_TRUE(w->reportLines().contains(s51 + "TOTAL DO SERVIÇO: 150,5"));
    open(addDelivered(44, "CARLA", {{"Garantia de Serviço", QVariant()}}));
    EXPECT_TRUE(button("BtRetorno")->isEnabled());
}

// Every field of the row in its label: the entry, the order's type and state, the exit.
TEST_F(DetalhesTest, EachFieldInItsLabel) {
    open(addDelivered(42, "ANA"));
    QStringList shown;
    for (const char* name : {"Label2", "Label4", "Label6", "Label7", "Label14", "Label3", "Label5", "Label1", "Label9",
                             "Label15", "Label8", "Label10", "Label12", "Label11"})
        shown << label(name);
    EXPECT_EQ(shown.join('|'), "42|20/11/2026|09:15:00|15|ORÇAMENTO|PRONTO|CARLOS|INTERNO|04/12/2026|ADMINISTRADOR|"
                               "05/12/2026|16:40:00|BALCAO|05/03/2027");
}

// The warranty return hands the customer and every appliance box to the new order; slots 12 to 14 stay.
TEST_F(DetalhesTest, TheReturnHandsTheRowToTheIntake) {
    open(addDelivered(42, "ANA", {{"Tecnico", "PEDRO"}}))->show();
    Modulo::DadosSelecionados.fill(QStringLiteral("X"));
    button("BtRetorno")->click();
    EXPECT_EQ(w->result(), FrmDetalhes::NovaOrdem);
    EXPECT_EQ(QStringList(Modulo::DadosSelecionados.begin(), Modulo::DadosSelecionados.end()).join('|'),
              QString::fromUtf8("7|ANA|RUA DAS ACÁCIAS, 120|APTO 3|JARDIM SÃO JOÃO|CAMPINAS|SP|13000-000|(19) 3232-1111|"
                                "(19) 3232-2222|(19) 3232-3333|(19) 99999-4444|X|X|X|TELEVISOR|PHILCO|PH29|CH-77|SN-42|110V"));
    EXPECT_TRUE(Modulo::RetornoGarantia);
    EXPECT_EQ(Modulo::TecnicoRetorno.toString() + " " + Modulo::DataLimiteRetorno.toString(Qt::ISODate), "PEDRO 2027-03-05");
}

// The list's row deleted by another copy meanwhile: said, nothing opens.
TEST_F(DetalhesTest, ARowThatIsGoneIsReported) {
    addDelivered(1, "ANA");
    FrmApEntregues* list = FrmApEntregues::open();
    ASSERT_NE(list, nullptr);
    Database::openDefault().execute("DELETE FROM TblApEntregues");
    expectBoxes({{"O Aparelho Entregue N.: 1 não foi encontrado."}}, [list] { list->BtDetalhes_Click(); });
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The customer button opens the customers list, even for a deleted customer
// (said); printing asks first and No prints nothing.
TEST_F(DetalhesTest, CustomerAndPrintButtons) {
    open(addDelivered(42, "ANA", {{"IdCliente", 999}}))->show();
    expectBoxes({{"Confirma a Impressão dos Detalhes desta Ordem de Serviço", MsgAnswer::No}},
                [this] { button("BtImpressao")->click(); });
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    expectBoxes({{"O Cadastro deste Cliente foi Excluído"}}, [this] { button("BtCadCliente")->click(); });
    EXPECT_FALSE(w->isVisible());
    auto* customers = WindowHost::findList<FrmClientes>();
    ASSERT_NE(customers, nullptr);
    EXPECT_TRUE(customers->isVisible());
}

TARVEL_TEST_MAIN()
