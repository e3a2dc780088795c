// The parts, labour and price window and its checkout, on real database files.
#include "workshopdata.h"

#include "orders/frmmanutencao.h"
#include "orders/frmopcoesos.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/faultrun.h"
#include "support/files.h"
#include "support/scriptedboxes.h"
#include "support/storefaults.h"
#include "support/typing.h"
#include "support/windowscenario.h"
#include "ui/windowhost.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

using namespace WorkshopData;

namespace {

const QString Success = QStringLiteral("Foi Dado Saída no Aparelho com Sucesso!");
const QString OtherOperator = QStringLiteral("É Possível que outro operador já tenha dado Saída neste Aparelho,");
const QString Delivered = QStringLiteral(
    "SELECT Os, Nome, Endereco, DataEntrada, DataSaida, HoraSaida, Status, Tecnico, OperadorSaida, [Garantia de Serviço], "
    "DATALIMITEGARANTIA, Loja, DataCompra, NotaFiscal, GarComplementar, Relatorio0, Relatorio1, Relatorio4, Relatorio55, "
    "Relatorio5, Relatorio6, Relatorio7, Relatorio9, Relatorio10, Relatorio11, Relatorio12, ValorCobrado FROM TblApEntregues");
// The order's fields the delivered row keeps as they stand.
const QString Copied = QStringLiteral(
    "IdCliente, Nome, Endereco, Complemento, Bairro, Cidade, Estado, Cep, TelResidencia, TelComercial, Fax, Celular, "
    "Aparelho, Marca, Modelo, Chassis, NumSerie, Tensao, Defeito, EstadoAparelho, Acessorios, Dpto, Os, DataEntrada, "
    "HoraEntrada, Dias, Tipo, Status, DataConcluido, OperadorEnt, Tecnico, Atendimento, Relatorio12, Relatorio13, "
    "Relatorio14, Relatorio15, Relatorio16");
// A value of its own in every field the checkout copies.
const Fields EveryCopiedField = {
    {"IdCliente", 7}, {"Endereco", "RUA A, 1"}, {"Complemento", "AP 2"}, {"Bairro", "CENTRO"}, {"Cidade", "SANTOS"},
    {"Estado", "SP"}, {"Cep", "11000-000"}, {"TelResidencia", "3222-1111"}, {"TelComercial", "3222-2222"},
    {"Fax", "3222-3333"}, {"Celular", "9999-0000"}, {"Aparelho", "SOM"}, {"Marca", "SONY"}, {"Modelo", "MX9"},
    {"Chassis", "CH-1"}, {"Tensao", "220"}, {"Defeito", "SEM SOM"}, {"EstadoAparelho", "RISCADO"},
    {"Acessorios", "CONTROLE"}, {"Dpto", "AUDIO"}, {"HoraEntrada", QTime(16, 45, 0)}, {"DataConcluido", QDate(2026, 1, 8)},
    {"OperadorEnt", "JOANA"}, {"Atendimento", "INTERNO"}, {"Relatorio13", "R13"}, {"Relatorio14", "R14"},
    {"Relatorio15", "R15"}, {"Relatorio16", "R16"}};

QVariant money(qint64 cents) { return QVariant::fromValue(Currency::fromCents(cents)); }

struct OpcoesTest : ProgramFolderTest {
    std::unique_ptr<FrmOpcoesOS> w;
    QWidget* cur = nullptr;   // the window the helpers work on

    void SetUp() override { ProgramFolderTest::SetUp(), Clock::set(QDateTime(QDate(2026, 1, 10), QTime(9, 30, 15))); }
    void TearDown() override { w.reset(), ProgramFolderTest::TearDown(); }
    void open(qint64 os) {
        Modulo::OsAtual = std::int32_t(os);
        w = std::make_unique<FrmOpcoesOS>();
        (cur = w.get())->show();
    }
    QLineEdit* box(const QString& name) { return Scenario::child<QLineEdit>(cur, name); }
    QPushButton* button(const QString& name) { return Scenario::child<QPushButton>(cur, name); }
    void act(const QString& actions) { Scenario::perform(cur, actions); }
    // The texts of boxes and labels, joined by "|".
    QString shown(const QString& names) {
        QStringList out;
        for (const QString& n : names.split('|')) out << Scenario::child(cur, n)->property("text").toString();
        return out.join('|');
    }
    // The order of the window was checked out once, with its typed note and price; the delivered row is then
    // removed for the next round.
    void expectCheckedOutOnce() {
        EXPECT_EQ(w->result(), FrmOpcoesOS::OrderClosed);
        EXPECT_EQ(Scenario::rows("SELECT Relatorio9, Relatorio5 FROM TblApEntregues"), "TROCA DE PLACA|R$40");
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 0);
        Database(databasePath()).execute("DELETE FROM TblApEntregues");
    }
    // Opens the window on `os` over an order window, as the order window does,
    // and runs `inside` in it (none: it must not open); true when the order
    // window was closed too.
    bool overOrderWindow(qint64 os, const std::function<void()>& inside = {}) {
        Modulo::OsAtual = std::int32_t(os);
        QDialog opener;
        bool closed = false;
        ModalScript order([&](QWidget*) {
            std::optional<ModalScript> prices;
            if (inside) prices.emplace([&](QWidget* dlg) { cur = dlg, inside(); });
            closed = FrmOpcoesOS::showFor(&opener);
        });
        opener.exec();
        return closed && order.done() && !opener.isVisible();
    }
};

} // namespace

TEST_F(OpcoesTest, LoadsTheOrderWithItsWarrantyDays) {
    struct Case { const char* what; Fields fields; QString shown; bool daysEditable; };
    const Case cases[] = {
        {"repaired estimate", {{"Status", "PRONTO"}, {"Qtde0", 3}, {"VlUnit0", money(1050)}, {"Vl0", money(3150)},
                               {"VlFinal", money(3150)}}, "90|10/04/2026|PRONTO|3|10,5|31,50|R$ 31,50", true},
        {"not repaired", {{"Status", "SEM CONSERTO"}}, "0|10/01/2026|SEM CONSERTO||||R$ 150,00", false},
        {"warranty return, days left", {{"Tipo", "GAR. DE SERVIÇO"}, {"DtLmtGr", QDate(2026, 1, 25)}},
         "15|25/01/2026|EM SERVIÇO||||R$ 150,00", false},
        {"warranty return, ended", {{"Tipo", "GAR. DE SERVIÇO"}, {"DtLmtGr", QDate(2026, 1, 9)}},
         "-1|09/01/2026|EM SERVIÇO||||R$ 150,00", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const qint64 os = addOrder("JOSE", c.fields);
        open(os);
        EXPECT_EQ(shown("Text1|Label1(2)|Lbl(5)|TxtQtde(0)|TxtVlUn(0)|TxtVl(0)|TxtVlFinal"), c.shown);
        EXPECT_EQ(shown("Label3|Lbl(6)"), QString::number(os) + "|CARLOS");
        EXPECT_EQ(box("Text1")->isEnabled(), c.daysEditable);
        EXPECT_FALSE(button("BtDarSaída")->isEnabled());
    }
}

// A missing order or a warranty return without its end date: the message,
// the order window closes, the workshop list stays on its row.
TEST_F(OpcoesTest, AnOrderThatCannotLoadClosesItsOpener) {
    const qint64 first = addOrder("ANA");
    const qint64 noEnd = addOrder("JOSE", {{"Tipo", "GAR. DE SERVIÇO"}});
    FrmManutencao* list = FrmManutencao::open();
    ASSERT_NE(list, nullptr);
    list->listCursor().moveFirst();
    for (qint64 os : {noEnd, noEnd + 100}) {
        SCOPED_TRACE(os);
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Não foi possível carregar o formulário de Saída\r" + OtherOperator + "\r");
        EXPECT_TRUE(overOrderWindow(os));
        EXPECT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(list->listCursor().number("Os"), first);
    }
}

// The boxes' rules, then an operator without the right to check orders out.
TEST_F(OpcoesTest, EntryRulesAndTheOperatorCheck) {
    Database(databasePath())
        .execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs, BxOs) VALUES ('PEDRO', 10727, 1, 1, 0)");
    open(addOrder("MARIA"));
    const QString notInteger = QStringLiteral("ATENÇÃO - Digite Apenas Números Inteiros!");
    const auto retypeDays = [&](const QString& text) {
        return [this, text] { box("Text1")->selectAll(), text.isEmpty() ? Typing::key(box("Text1"), Qt::Key_Backspace)
                                                                        : Typing::type(box("Text1"), text); };
    };
    struct Step { const char* what; std::function<void()> act; QString names, expected, message = {}, focus = {}; };
    const Step steps[] = {
        {"each box's rules", [&] { act("TxtVlUn(0)=,5,x;TxtQtde(0)=1a2;TxtDescricao(0)=capacitor;TxtVlUn(6)=12345678901"); },
         "TxtVlUn(0)|TxtQtde(0)|TxtDescricao(0)|TxtVlUn(6)", "0,50|12|CAPACITOR|1234567890"},
        {"a lone comma left by deleting reads 0,", [&] {
             QLineEdit* b = box("TxtVlUn(1)");
             Typing::focus(b), b->setText("0,5"), b->end(false), Typing::key(b, Qt::Key_Backspace);
             b->home(false), Typing::key(b, Qt::Key_Delete);
         }, "TxtVlUn(1)", "0,"},
        {"leaving a price box shows all seven fixed", [&] { box("TxtVlUn(2)")->setText("7,5"), act("TxtVlUn(6)=40;TxtVlUn(6)@Return"); },
         "TxtVlUn(2)|TxtVlUn(6)|TxtVlUn(3)", "7,50|40,00|", {}, "TxtDesc"},
        {"and the discount its own", [&] { act("TxtDesc=1.5;TxtDesc@Return"); }, "TxtDesc", "1,50"},
        {"the percentage never stays empty", [&] { act("TxtPerc=1"), Typing::key(box("TxtPerc"), Qt::Key_Backspace); },
         "TxtPerc", "0"},
        {"F5 stamps the date", [&] { act("TxtObs(0)=ok"), Typing::key(box("TxtObs(0)"), Qt::Key_F5); },
         "TxtObs(0)", "OK (10/01/2026)"},
        {"letters are no days", retypeDays("a"), "Text1", "90", notInteger},
        {"nor a sign", retypeDays("-"), "Text1", "90", notInteger},
        {"nor a comma", retypeDays(","), "Text1", "90", notInteger},
        {"nor nothing", retypeDays(""), "Text1", "90", notInteger},
        {"the end date follows on leaving", [&] {
             retypeDays("30")();
             EXPECT_EQ(shown("Label1(2)"), "10/04/2026");
             Typing::focus(box("TxtObs(1)"));
         }, "Label1(2)", "09/02/2026"},
        {"three digits are no password yet", [&] { act("TxtOperador=123"); }, "TxtOperador", "123"},
        {"an unknown password", [&] { act("TxtOperador+=9"); }, "TxtOperador", "", "Operador Não Cadastrado"},
        {"an operator without the right", [&] { act("TxtOperador=4567"); }, "TxtOperador", "PEDRO",
         "Voce Não Possui Autorizaçao para esta Operação"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        ScriptedBoxes boxes;
        if (!s.message.isEmpty()) boxes.answer(MsgAnswer::Ok, s.message);
        s.act();
        EXPECT_EQ(shown(s.names), s.expected);
        EXPECT_EQ(boxes.log().size(), s.message.isEmpty() ? 0 : 1);
        EXPECT_TRUE(s.message != notInteger || boxes.log().value(0).icon == MsgIcon::Critical);
        EXPECT_TRUE(s.focus.isEmpty() || Scenario::focusName() == s.focus) << Scenario::focusName().toStdString();
    }
    EXPECT_FALSE(box("TxtOperador")->isEnabled() || button("BtDarSaída")->isEnabled());
}

TEST_F(OpcoesTest, CalcularStoresTheComputedValuesAndKeepsTheDisplay) {
    const qint64 os = addOrder("MARIA", {{"Qtde1", 4}, {"Desc1", "FONTE"}});
    open(os);
    // The percentage counts on the sub-total of the last computation: none yet.
    act("TxtQtde(0)=03;TxtVlUn(0)=10,5;TxtVlUn(6)=120;TxtPerc=10;TxtDesc=0,004");
    EXPECT_EQ(shown("TxtVlPerc"), "R$ 0,00");
    button("BtCalcular")->click();
    // A quantity without a price is emptied; its description stays.
    EXPECT_EQ(shown("TxtQtde(0)|TxtVlUn(0)|TxtVlUn(6)|TxtDesc|TxtVl(0)|TxtTotal|TxtVlPerc|TxtVlFinal|TxtQtde(1)|TxtDescricao(1)"),
              "03|10,50|120,00|0,004|31,50|R$ 151,50|R$ 15,15|R$ 151,50||FONTE");
    const QString stored = "SELECT Qtde0, VlUnit0, Vl0, Qtde1, VlMo, VlTotal, Percentual, VlPercentual, VlFinal, Obs3 "
                           "FROM TblManutencao";
    EXPECT_EQ(Scenario::rows(stored), "3|105000|315000||1200000|1515000|10|151500|1515000|");   // to the cent
    // Back from the calculator the final value shows as stored.
    box("TxtVlFinal")->clear();
    ModalScript calculator([](QWidget* dlg) { dlg->close(); }, 10000, "FrmCalculadora");
    button("BtCalc")->click();
    EXPECT_TRUE(calculator.done());
    // A new percentage shows at once on that sub-total; closing stores what
    // was typed without computing.
    act("TxtPerc=20;TxtObs(2)=pago;TxtObs(2)@Escape");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(Scenario::rows(stored), "3|105000|315000||1200000|1515000|20|151500|1515000|PAGO");
    EXPECT_EQ(shown("TxtVlPerc|TxtVlFinal"), "R$ 30,30|R$ 151,50");
}

// Every box at its longest: the computed amounts show whole in their boxes.
TEST_F(OpcoesTest, TheLargestAmountsShowWhole) {
    open(addOrder("MARIA"));
    for (int i = 0; i < 6; ++i) act(QStringLiteral("TxtQtde(%1)=99;TxtVlUn(%1)=9999999").arg(i));
    act("TxtVlUn(6)=9999999999;TxtDesc=9999999;BtCalcular");
    EXPECT_EQ(shown("TxtVl(0)|TxtTotal|TxtVlFinal"), "989999901,00|R$ 15.939.999.405,00|R$ 15.929.999.406,00");
    for (const char* name : {"TxtVl(5)", "TxtTotal", "TxtVlFinal"}) {
        QLineEdit* b = box(name);
        QStyleOptionFrame opt;
        opt.initFrom(b);
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()),
                  b->style()->subElementRect(QStyle::SE_LineEditContents, &opt, b).width()) << name;
    }
}

// Each refusal leaves the order in the workshop with its prices stored.
TEST_F(OpcoesTest, RefusalsWriteNothingButThePrices) {
    const qint64 os = addOrder("MARIA", {{"Tecnico", QVariant()}});
    const auto attempt = [&](const char* sql) {
        return [this, os, sql] { Scenario::raw(sql), open(os), act("TxtQtde(0)=2;TxtVlUn(0)=7;TxtOperador=1234;BtDarSaída"); };
    };
    const QString noCheckout = "SELECT COUNT(*) FROM TblApEntregues";
    Scenario::run({
        {"not ready", attempt(""), {Scenario::ok("Altere o STATUS para que possa dar saída no Aparelho!")},
         "SELECT VlFinal FROM TblManutencao", "140000", "BtDarSaída"},
        {"no technician", attempt("UPDATE TblManutencao SET Status = 'PRONTO'"),
         {Scenario::ok("Selecione e Salve o Nome do Téçnico para esta Ordem de Serviço!")}, noCheckout, "0"},
        {"not confirmed", attempt("UPDATE TblManutencao SET Tecnico = 'CARLOS'"),
         {Scenario::no("Todas as Informações para a Saída do aparelho estão Corretas.\rConfirma a sua Saída?")},
         noCheckout, "0"},
    });
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
}

// The delivered row: copied from the order, written from the window as shown (report lines character for
// character, ValorCobrado the total shown, to the cent); the order row gone, its window closed, the list refreshed.
TEST_F(OpcoesTest, CheckoutWritesTheDeliveredRowAsShown) {
    // `before`: typed, then the window closed with its close box; `typed`: before the checkout; `row`: see
    // Delivered; a list that cannot be read after the checkout is left as it is, with nothing reported.
    struct Case { const char* what; Fields order; QString before, typed, row; bool listUnreadable = false; };
    QString sixRows;
    for (int i = 0; i < 6; ++i) sixRows += QStringLiteral("TxtCod(%1)=C%1;TxtQtde(%1)=%2;TxtId(%1)=i%1;TxtVlUn(%1)=0,3333;").arg(i).arg(i + 1);
    const Case cases[] = {
        {"estimate, six parts rows, a description stored in small letters",
         merged(EveryCopiedField, {{"Loja", "LOJA X"}, {"Relatorio12", "PAGO EM DINHEIRO"}, {"Desc5", " placa lógica "}}), {},
         sixRows + "TxtVlUn(6)=40;TxtDesc=10;TxtObs(0)= troca de placa ;TxtObs(1)= nota 12 ;TxtObs(2)=pago;TxtDesc@Return",
         "2|MARIA|RUA A, 1|2008-03-05|2026-01-10|09:30:15|PRONTO|CARLOS|ADMINISTRADOR|1|2026-04-10|||||C0 1 i0  0,33|"
         "C1 2 i1  0,66|C4 5 i4  1,65|C5 6 i5 PLACA LÓGICA 1,98|R$40,00|R$ 46,93|10,00|TROCA DE PLACA|NOTA 12|PAGO|"
         "PAGO EM DINHEIRO|369300"},
        {"factory warranty, not repaired", {{"Status", "SEM CONSERTO"}, {"Tipo", "GAR.DE FÁBRICA"}, {"Loja", "LOJA X"},
                                            {"DataCompra", "01/12/2025"}, {"NotaFiscal", "123"}, {"GarComplementar", "G9"}},
         {}, "TxtVlUn(6)=120;TxtDesc=12,6;TxtDesc@Return;BtCalcular",
         "2|MARIA||2008-03-05|2026-01-10|09:30:15|SEM CONSERTO|CARLOS|ADMINISTRADOR|0|2026-01-10|LOJA X|01/12/2025|123|G9|"
         "    |    |    |    |R$120,00|R$ 120,00|12,60|||||1074000", true},
        {"prices stored by the close box, five decimals read as four", {}, "TxtQtde(0)=3;TxtVlUn(0)=0,3333",
         "TxtQtde(1)=05;TxtVlUn(1)=1,23456",
         "2|MARIA||2008-03-05|2026-01-10|09:30:15|PRONTO|CARLOS|ADMINISTRADOR|1|2026-04-10||||| 3   1,00| 05   6,17|"
         "    |    |R$|R$ 7,17||||||71700"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scenario::raw("DELETE FROM TblManutencao; DELETE FROM TblApEntregues");
        const qint64 other = addOrder("ANA");
        const qint64 os = addOrder("MARIA", merged({{"Os", 2}, {"Status", "PRONTO"}}, c.order));
        if (!c.before.isEmpty()) open(os), act(c.before), w->close();
        const QString kept = Scenario::rows("SELECT " + Copied + " FROM TblManutencao WHERE Os = 2");
        FrmManutencao* list = FrmManutencao::open();
        ASSERT_NE(list, nullptr);
        if (c.listUnreadable) list->listCursor().setRecordSource("SELECT * FROM TblSumiu");
        ScriptedBoxes boxes;
        // The list is up to date before the success message shows.
        QString countAtMessage;
        boxes.answer(MsgAnswer::Yes, "Confirma a sua Saída?").answerWith([&](const ShownBox& b) {
            countAtMessage = b.text == Success ? list->countText() : "another box";
            return MsgAnswer::Ok;
        });
        EXPECT_TRUE(overOrderWindow(os, [&] { act("TxtOperador=1234;" + c.typed + ";BtDarSaída"); }));
        EXPECT_EQ(countAtMessage, list->countText());
        EXPECT_EQ(Scenario::rows(Delivered), c.row);
        EXPECT_EQ(Scenario::rows("SELECT " + Copied + " FROM TblApEntregues"), kept) << "the order's fields as they stood";
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao WHERE Os = 2"), 0);
        EXPECT_EQ(list->countText(), c.listUnreadable ? "2" : "1");
        EXPECT_EQ(list->dataFrmApMnt().number("Os"), other);
        WindowHost::closeList<FrmManutencao>();
    }
}

// The warranty each order leaves with, as the window hands it its days: `days` typed ("" leaves the box as loaded).
TEST_F(OpcoesTest, TheWarrantyEachOrderLeavesWith) {
    struct Case { const char* tipo; const char* status; QDate earlierEnd; QString days, expected; };
    const QDate lastDay(2026, 1, 10), dayBefore(2026, 1, 9), later(2026, 2, 1);
    const Case cases[] = {
        {"ORÇAMENTO", "PRONTO", {}, "30", "1|2026-02-09"},       {"ORÇAMENTO", "PRONTO", {}, "", "1|2026-04-10"},
        {"ORÇAMENTO", "SEM CONSERTO", later, "", "0|2026-01-10"}, {"GAR. DE SERVIÇO", "PRONTO", lastDay, "", "1|2026-01-10"},
        {"GAR. DE SERVIÇO", "PRONTO", dayBefore, "", "0|2026-01-09"},
        {"GAR. DE SERVIÇO", "SEM CONSERTO", later, "", "0|2026-01-10"},
        {"GAR.DE FÁBRICA", "PRONTO", later, "", "0|2026-01-10"},  {"CORTESIA", "PRONTO", later, "", "0|2026-02-01"},
        {"CORTESIA", "SEM CONSERTO", later, "", "0|2026-01-10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tipo) + " / " + c.status + " / " + c.days.toStdString());
        Scenario::raw("DELETE FROM TblManutencao; DELETE FROM TblApEntregues");
        open(addOrder("MARIA", {{"Tipo", c.tipo}, {"Status", c.status}, {"DtLmtGr", c.earlierEnd}}));
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Yes, "Confirma a sua Saída?").answer(MsgAnswer::Ok, Success);
        act("TxtOperador=1234" + (c.days.isEmpty() ? QString() : ";Text1=" + c.days) + ";BtDarSaída");
        EXPECT_EQ(Scenario::rows("SELECT [Garantia de Serviço], DATALIMITEGARANTIA FROM TblApEntregues"), c.expected);
        ASSERT_EQ(boxes.log().size(), 2);
        const ShownBox& asked = boxes.log()[0];
        EXPECT_TRUE(asked.defaultButton == MsgAnswer::Yes && asked.icon == MsgIcon::Information &&
                    asked.title == "Preparar Saída do Aparelho");
    }
}

// A price that cannot be read (put in the box other than by typing): the message, then the store's refusal of
// it; the order stays in the workshop with nothing asked.
TEST_F(OpcoesTest, AComputationThatFailsStopsTheCheckout) {
    const qint64 os = addOrder("MARIA", {{"Status", "PRONTO"}});
    open(os);
    act("TxtOperador=1234;TxtQtde(0)=2");
    box("TxtVlUn(0)")->setText("1,2,3");
    const Scenario::Box refused = Scenario::ok("Tipo de dados incompatível no campo 'VlUnit0'");
    const QString failed = QStringLiteral("Não foi possível Calcular o Valores para este aparelho\r"
                                          "É possível que você tenha digitado Valores Inválidos. Revise os valores e tente novamente\r"
                                          "Se o Problema persistir Contacte o Suporte Técnico.\r13__");
    Scenario::run({
        {"Calcular", [&] { act("BtCalcular"); }, {Scenario::ok(failed), refused}},
        {"the checkout", [&] { act("BtDarSaída"); }, {Scenario::ok(failed), refused}, "SELECT COUNT(*) FROM TblApEntregues", "0"},
    });
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
}

// "Fechar" shows the price boxes with two decimals before the window stores them.
TEST_F(OpcoesTest, FecharStoresThePricesAsShownFixed) {
    const qint64 os = addOrder("MARIA");
    open(os);
    act("TxtQtde(0)=3;TxtVlUn(0)=0,3333;TxtVlUn(6)=1,23456");
    button("BtFechar")->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(shown("TxtVlUn(0)|TxtVlUn(6)"), "0,33|1,23");
    EXPECT_EQ(Scenario::rows("SELECT Qtde0, VlUnit0, VlMo FROM TblManutencao"), "3|3300|12300");
}

// Closing when the disk refuses to store what was typed names the cause and keeps the window open with the values
// typed (the operator stays); closing again stores them. A COMMIT that landed all the same closes at once.
TEST_F(OpcoesTest, AClosingTheDiskRefusesKeepsTheWindowAndWhatWasTyped) {
    StoreFault::install();
    std::vector<StoreFault::Kind> kinds(std::begin(StoreFault::RefusedWrites), std::end(StoreFault::RefusedWrites));
    kinds.push_back(StoreFault::JournalGoneButError);
    for (const StoreFault::Kind kind : kinds) {
        SCOPED_TRACE(int(kind));
        open(addOrder("MARIA"));
        act("TxtObs(0)=troca de placa;TxtVlUn(6)=40");
        const QString text = writeUnderFault(kind, databasePath(), [&] { button("BtFechar")->click(); }, MsgAnswer::No);
        if (!StoreFault::writeLands(kind)) {
            EXPECT_TRUE(text.endsWith("\rFechar a janela assim mesmo, sem gravar o que foi digitado?")) << text.toStdString();
            EXPECT_TRUE(w->isVisible());
            EXPECT_EQ(shown("TxtObs(0)|TxtVlUn(6)"), "TROCA DE PLACA|40,00");
            ScriptedBoxes none;
            button("BtFechar")->click();
        }
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(Scenario::rows("SELECT Obs1, VlMo FROM TblManutencao"), "TROCA DE PLACA|400000");
        Database(databasePath()).execute("DELETE FROM TblManutencao");
    }
    // An order checked out elsewhere: what was typed has nowhere to go; one message and the window closes.
    for (const char* way : {"BtFechar", "BtCalcular"}) {
        SCOPED_TRACE(way);
        open(addOrder("MARIA"));
        act("TxtObs(0)=troca de placa");
        Database(databasePath()).execute("DELETE FROM TblManutencao");
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, way == std::string("BtFechar") ? "Ocorreu um Erro ao tentar Gravar" : OtherOperator);
        button(way)->click();
        EXPECT_EQ(boxes.log().size(), 1U);
        EXPECT_FALSE(w->isVisible());
    }
}

// A failed checkout leaves the file as it was, names its cause and keeps what was typed for a retry; only an
// order that is really gone speaks of another operator, and closes the window.
TEST_F(OpcoesTest, AFailedCheckoutNamesItsCauseAndKeepsWhatWasTyped) {
    StoreFault::install();
    enum Fault { Trigger = -1, Gone = -2 };
    const std::pair<int, QString> cases[] = {   // a StoreFault::Kind or one of the above, the cause shown
        {Trigger, "disco cheio"}, {StoreFault::DiskFull, StoreFault::causeWords(StoreFault::DiskFull)}, {Gone, OtherOperator}};
    for (const auto& [kind, cause] : cases) {
        SCOPED_TRACE(cause.toStdString());
        const qint64 os = addOrder("MARIA", {{"Status", "PRONTO"}});
        if (kind == Trigger) Scenario::raw("CREATE TRIGGER Falha BEFORE DELETE ON TblManutencao BEGIN SELECT RAISE(ABORT, 'disco cheio'); END");
        open(os);
        act("TxtOperador=1234;TxtObs(0)=troca de placa;TxtVlUn(6)=40");
        std::optional<StoreFault> fault;
        QByteArray before;
        ScriptedBoxes boxes;
        boxes.answerWith([&](const ShownBox&) {
            if (kind == Gone) Database(databasePath()).execute("DELETE FROM TblManutencao");
            before = fileDigest(databasePath());
            if (kind >= 0) fault.emplace(StoreFault::Kind(kind));
            return MsgAnswer::Yes;
        });
        boxes.answer(MsgAnswer::Ok, "Não foi possível dar saída nesta Ordem de Serviço\r");
        button("BtDarSaída")->click();
        fault.reset();
        ASSERT_EQ(boxes.log().size(), 2);
        EXPECT_TRUE(boxes.log()[1].text.contains(cause)) << boxes.log()[1].text.toStdString();
        EXPECT_EQ(boxes.log()[1].text.contains("outro operador"), kind == Gone);
        EXPECT_EQ(fileDigest(databasePath()), before);
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblApEntregues"), 0);
        EXPECT_EQ(w->isVisible(), kind != Gone);
        if (kind == Gone) continue;
        EXPECT_EQ(shown("TxtObs(0)"), "TROCA DE PLACA");

        if (kind == Trigger) Scenario::raw("DROP TRIGGER Falha");
        boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, Success);
        button("BtDarSaída")->click();
        expectCheckedOutOnce();
    }
}

// Under a fault of the COMMIT the checkout is refused, names its cause and keeps what was typed for a retry that
// stores it once; or its write landed all the same, and it is the checkout done.
TEST_F(OpcoesTest, ACheckoutUnderEveryCommitFaultStoresItOnce) {
    StoreFault::install();
    for (const StoreFault::Kind kind : StoreFault::CommitFaults) {
        SCOPED_TRACE(int(kind));
        const bool lands = StoreFault::writeLands(kind);
        open(addOrder("MARIA", {{"Status", "PRONTO"}}));
        act("TxtOperador=1234;TxtObs(0)=troca de placa;TxtVlUn(6)=40");
        {
            std::optional<StoreFault> fault;
            ScriptedBoxes boxes;
            boxes.answerWith([&](const ShownBox&) {
                fault.emplace(kind);   // from the confirmation on: the checkout's own write meets it
                return MsgAnswer::Yes;
            });
            boxes.answer(MsgAnswer::Ok, lands ? Success : StoreFault::causeWords(kind));
            button("BtDarSaída")->click();
        }
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblApEntregues"), lands ? 1 : 0);
        if (!lands) {
            EXPECT_TRUE(w->isVisible());
            EXPECT_EQ(shown("TxtObs(0)"), "TROCA DE PLACA");
            ScriptedBoxes boxes;
            boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, Success);
            button("BtDarSaída")->click();
        }
        expectCheckedOutOnce();
    }
}

// A checkout the file cannot confirm says so and keeps the window; the next click finds it stored and writes what the
// window shows then onto its delivered row, once, asking nothing again: the row a first checkout of those values
// stores, the order's fields kept, also after a click the disk refused. Had another copy deleted that row meanwhile,
// the order has left all the same: the windows close, saying so.
TEST_F(OpcoesTest, AnUnconfirmedCheckoutIsToldOnTheNextClick) {
    StoreFault::install();
    for (const bool deletedElsewhere : {false, true}) {
        SCOPED_TRACE(deletedElsewhere ? "deleted elsewhere" : "kept");
        open(addOrder("MARIA", merged(EveryCopiedField, {{"Status", "PRONTO"}, {"Tipo", "GAR.DE FÁBRICA"}, {"Loja", "LOJA X"}})));
        const QString kept = Scenario::rows("SELECT " + Copied + ", Loja FROM TblManutencao");
        act("TxtOperador=1234;TxtObs(0)=troca de placa;TxtVlUn(6)=40");
        {
            std::optional<StoreFault> fault;
            ScriptedBoxes boxes;
            boxes.answerWith([&](const ShownBox&) {
                fault.emplace(StoreFault::JournalGoneUnreadable);
                return MsgAnswer::Yes;
            });
            boxes.answer(MsgAnswer::Ok);
            button("BtDarSaída")->click();
            ASSERT_EQ(boxes.log().size(), 2);
            EXPECT_EQ(boxes.log()[1].text, "Não foi possível dar saída nesta Ordem de Serviço\rO que foi digitado continua "
                                           "na janela: corrija a causa abaixo e tente novamente.\r3197__" + UnconfirmedText);
        }
        EXPECT_TRUE(w->isVisible());
        if (deletedElsewhere) Scenario::raw("DELETE FROM TblApEntregues");
        act("TxtObs(0)=troca de fonte;TxtVlUn(6)=50");
        if (!deletedElsewhere) {
            // A click whose write the disk refuses keeps the stored checkout for the next one.
            StoreFault fault(StoreFault::JournalKept);
            ScriptedBoxes refused;
            refused.answer(MsgAnswer::Ok, "Não foi possível dar saída nesta Ordem de Serviço");
            button("BtDarSaída")->click();
            EXPECT_TRUE(w->isVisible());
        }
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, deletedElsewhere ? OtherOperator : Success);
        button("BtDarSaída")->click();
        EXPECT_EQ(w->result(), FrmOpcoesOS::OrderClosed);
        EXPECT_EQ(Scenario::rows("SELECT Relatorio9, Relatorio5, ValorCobrado, DataSaida, HoraSaida FROM TblApEntregues"),
                  deletedElsewhere ? "" : "TROCA DE FONTE|R$50|500000|2026-01-10|09:30:15");
        if (!deletedElsewhere) {
            EXPECT_EQ(Scenario::rows("SELECT " + Copied + ", Loja FROM TblApEntregues"), kept);
        }
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 0);
        Scenario::raw("DELETE FROM TblApEntregues");
    }
}

TARVEL_TEST_MAIN()
