// The parts, labour and price window and the checkout, on real database
// files: loading, the entry rules, "Calcular", the operator check, the
// refusals, the delivered row, atomicity, and two copies of the program
// checking the same order out at once.
#include "workshopdata.h"

#include "orders/frmmanutencao.h"
#include "orders/frmopcoesos.h"
#include "orders/frmos.h"
#include "orders/workshopwindows.h"
#include "app/windowregistry.h"
#include "store/clock.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/storefaults.h"
#include "support/files.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/appsetup.h"
#include "ui/windowhost.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <cstring>
#include <optional>
#include <iostream>
#include <sqlite3.h>

using namespace WorkshopData;

namespace {

const QString Title = QStringLiteral("Preparar Saída do Aparelho");
const QString Success = QStringLiteral("Foi Dado Saída no Aparelho com Sucesso!");
const QString OtherOperator = QStringLiteral("É Possível que outro operador já tenha dado Saída neste Aparelho,");

QVariant money(qint64 cents) { return QVariant::fromValue(Currency::fromCents(cents)); }

struct OpcoesTest : ProgramFolderTest {
    std::unique_ptr<FrmOpcoesOS> w;
    FrmOpcoesOS* cur = nullptr;   // the window the helpers work on

    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 1, 10), QTime(9, 30, 15)));
    }
    void TearDown() override {
        WindowRegistry::clear();
        w.reset();
        ProgramFolderTest::TearDown();
    }
    FrmOpcoesOS* open(qint64 os) {
        Modulo::OsAtual = std::int32_t(os);
        w = std::make_unique<FrmOpcoesOS>();
        cur = w.get();
        w->show();
        QApplication::processEvents();
        return w.get();
    }
    QLineEdit* box(const QString& name) { return cur->findChild<QLineEdit*>(name); }
    QLabel* label(const QString& name) { return cur->findChild<QLabel*>(name); }
    QPushButton* button(const char* name) { return cur->findChild<QPushButton*>(name); }
    void type(const QString& name, const QString& text) { Typing::type(box(name), text); }
    void password(const QString& text = "1234") { Typing::type(box("TxtOperador"), text); }
    // A field of the stored order or delivered row.
    QVariant order(qint64 os, const QString& field) {
        RecordCursor c;
        c.open(databasePath(), QStringLiteral("SELECT * FROM TblManutencao WHERE Os = %1").arg(os));
        return c.hasCurrent() ? c.field(field) : QVariant();
    }
    std::unique_ptr<RecordCursor> delivered() {
        auto c = std::make_unique<RecordCursor>();
        c->open(databasePath(), "TblApEntregues");
        return c;
    }
};

} // namespace

TEST_F(OpcoesTest, LoadsTheOrderWithItsWarrantyDays) {
    const qint64 os = addOrder("MARIA", {{"Status", "PRONTO"}, {"Qtde0", 3}, {"VlUnit0", money(1050)}, {"Vl0", money(3150)},
                                         {"VlTotal", money(3150)}, {"VlFinal", money(3150)}, {"Desc0", "TRANSISTOR"}});
    open(os);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("::: Preparar Saída do Aparelho - Ordem de Serviço N: %1").arg(os));
    EXPECT_EQ(label("Label3")->text(), QString::number(os));
    EXPECT_EQ(label("Lbl(5)")->text(), "PRONTO");
    EXPECT_EQ(label("Lbl(6)")->text(), "CARLOS");
    EXPECT_EQ(box("TxtQtde(0)")->text(), "3");
    EXPECT_EQ(box("TxtVlUn(0)")->text(), "10,5");
    EXPECT_EQ(box("TxtVl(0)")->text(), "31,50");
    EXPECT_EQ(box("TxtVlFinal")->text(), "R$ 31,50");
    EXPECT_EQ(box("Text1")->text(), "90");
    EXPECT_TRUE(box("Text1")->isEnabled());
    EXPECT_EQ(label("Label1(2)")->text(), "10/04/2026");
    EXPECT_FALSE(button("BtDarSaída")->isEnabled());

    struct Case {
        const char* what;
        Fields fields;
        const char* days;
        const char* end;
    };
    const std::vector<Case> cases = {
        {"not repaired", {{"Status", "SEM CONSERTO"}}, "0", "10/01/2026"},
        {"warranty return, days left", {{"Tipo", "GAR. DE SERVIÇO"}, {"DtLmtGr", QDate(2026, 1, 25)}}, "15", "25/01/2026"},
        {"warranty return, ended", {{"Tipo", "GAR. DE SERVIÇO"}, {"DtLmtGr", QDate(2026, 1, 9)}}, "-1", "09/01/2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open(addOrder("JOSE", c.fields));
        EXPECT_EQ(box("Text1")->text(), c.days);
        EXPECT_FALSE(box("Text1")->isEnabled());
        EXPECT_EQ(label("Label1(2)")->text(), c.end);
    }
}

TEST_F(OpcoesTest, AnOrderThatCannotLoadClosesItsOpener) {
    const qint64 first = addOrder("ANA");
    const qint64 noEnd = addOrder("JOSE", {{"Tipo", "GAR. DE SERVIÇO"}});
    // The workshop list stays where the operator left it.
    FrmManutencao* list = FrmManutencao::open();
    ASSERT_NE(list, nullptr);
    list->listCursor().moveFirst();
    for (qint64 os : {noEnd, noEnd + 100}) {
        SCOPED_TRACE(os);
        Modulo::OsAtual = std::int32_t(os);
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Não foi possível carregar o formulário de Saída\r" + OtherOperator + "\r");
        QDialog opener;
        bool closed = false;
        ModalScript script([&](QWidget*) { closed = FrmOpcoesOS::showFor(&opener); });
        opener.exec();
        EXPECT_TRUE(closed);
        EXPECT_TRUE(script.done());
        EXPECT_FALSE(opener.isVisible());
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].title, Title);
        EXPECT_EQ(list->listCursor().number("Os"), first);
    }
}

TEST_F(OpcoesTest, EntryRules) {
    open(addOrder("MARIA"));
    ScriptedBoxes boxes;
    // Money: "," alone reads "0,", a second comma is refused, "." is a comma,
    // signs, slashes and letters are dropped.
    type("TxtVlUn(0)", ",5,-/a.");
    EXPECT_EQ(box("TxtVlUn(0)")->text(), "0,5");
    // A lone comma left by any change, not only typing, reads "0,".
    box("TxtVlUn(0)")->end(false);
    Typing::key(box("TxtVlUn(0)"), Qt::Key_Backspace);
    box("TxtVlUn(0)")->home(false);
    Typing::key(box("TxtVlUn(0)"), Qt::Key_Delete);
    EXPECT_EQ(box("TxtVlUn(0)")->text(), "0,");
    EXPECT_EQ(box("TxtVlUn(0)")->cursorPosition(), 2);
    box("TxtVlUn(0)")->setText("0,5");
    type("TxtDesc", "1.5");
    EXPECT_EQ(box("TxtDesc")->text(), "1,5");
    type("TxtQtde(0)", "1/a2");
    EXPECT_EQ(box("TxtQtde(0)")->text(), "12");
    type("TxtVlUn(6)", "12345678901");
    EXPECT_EQ(box("TxtVlUn(6)")->text(), "1234567890");
    type("TxtCod(0)", "ab'1");
    EXPECT_EQ(box("TxtCod(0)")->text(), "ab'1");
    type("TxtDescricao(0)", "capacitor");
    EXPECT_EQ(box("TxtDescricao(0)")->text(), "CAPACITOR");
    // Leaving a price box shows all seven with two decimals.
    Typing::key(box("TxtVlUn(6)"), Qt::Key_Return);
    EXPECT_EQ(box("TxtVlUn(0)")->text(), "0,50");
    EXPECT_EQ(box("TxtVlUn(6)")->text(), "1234567890,00");
    EXPECT_EQ(box("TxtVlUn(1)")->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), box("TxtDesc"));
    Typing::key(box("TxtDesc"), Qt::Key_Return);
    EXPECT_EQ(box("TxtDesc")->text(), "1,50");
    // The percentage never stays empty.
    type("TxtPerc", "1");
    Typing::key(box("TxtPerc"), Qt::Key_Backspace);
    EXPECT_EQ(box("TxtPerc")->text(), "0");
    // F5 stamps the date in an observation.
    type("TxtObs(0)", "ok");
    Typing::key(box("TxtObs(0)"), Qt::Key_F5);
    EXPECT_EQ(box("TxtObs(0)")->text(), "OK (10/01/2026)");

    // Warranty days: whole numbers only; the end date follows on leaving.
    for (const char* wrong : {"a", "-", ","}) {
        SCOPED_TRACE(wrong);
        boxes.answer(MsgAnswer::Ok, "ATENÇÃO - Digite Apenas Números Inteiros!");
        box("Text1")->selectAll();
        type("Text1", wrong);
        EXPECT_EQ(box("Text1")->text(), "90");
    }
    boxes.answer(MsgAnswer::Ok, "ATENÇÃO - Digite Apenas Números Inteiros!");
    box("Text1")->selectAll();
    Typing::key(box("Text1"), Qt::Key_Backspace);
    EXPECT_EQ(box("Text1")->text(), "90");
    box("Text1")->selectAll();
    type("Text1", "30");
    EXPECT_EQ(label("Label1(2)")->text(), "10/04/2026");
    Typing::focus(box("TxtObs(1)"));
    EXPECT_EQ(label("Label1(2)")->text(), "09/02/2026");
    EXPECT_EQ(boxes.log().size(), 4);
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.log()[0].title, Title);
}

TEST_F(OpcoesTest, CalcularStoresTheTypedAndComputedValues) {
    const qint64 os = addOrder("MARIA", {{"Qtde1", 4}, {"Desc1", "FONTE"}});
    open(os);
    type("TxtQtde(0)", "3");
    type("TxtVlUn(0)", "10,5");
    type("TxtVlUn(6)", "20");
    type("TxtDesc", "5");
    // The percentage counts on the sub-total of the last computation: none yet.
    type("TxtPerc", "10");
    EXPECT_EQ(box("TxtVlPerc")->text(), "R$ 0,00");
    button("BtCalcular")->click();
    // The boxes keep the display they had, not the stored numbers.
    EXPECT_EQ(box("TxtVlUn(6)")->text(), "20,00");
    EXPECT_EQ(box("TxtDesc")->text(), "5,00");
    EXPECT_EQ(box("TxtVl(0)")->text(), "31,50");
    EXPECT_EQ(box("TxtTotal")->text(), "R$ 51,50");
    EXPECT_EQ(box("TxtVlPerc")->text(), "R$ 5,15");
    EXPECT_EQ(box("TxtVlFinal")->text(), "R$ 46,50");
    // A quantity without a price is emptied; its description stays.
    EXPECT_EQ(box("TxtQtde(1)")->text(), "");
    EXPECT_EQ(box("TxtDescricao(1)")->text(), "FONTE");

    EXPECT_EQ(order(os, "Qtde0").toLongLong(), 3);
    EXPECT_EQ(order(os, "VlUnit0").value<Currency>(), Currency::fromCents(1050));
    EXPECT_EQ(order(os, "Vl0").value<Currency>(), Currency::fromCents(3150));
    EXPECT_FALSE(order(os, "Qtde1").isValid());
    EXPECT_EQ(order(os, "VlMo").value<Currency>(), Currency::fromUnits(20));
    EXPECT_EQ(order(os, "VlTotal").value<Currency>(), Currency::fromCents(5150));
    EXPECT_EQ(order(os, "Percentual").toLongLong(), 10);
    EXPECT_EQ(order(os, "VlPercentual").value<Currency>(), Currency::fromCents(515));
    EXPECT_EQ(order(os, "VlFinal").value<Currency>(), Currency::fromCents(4650));

    // A new percentage shows at once on that sub-total, without touching the
    // final value; closing stores what was typed, without computing.
    box("TxtPerc")->selectAll();
    type("TxtPerc", "20");
    EXPECT_EQ(box("TxtVlPerc")->text(), "R$ 10,30");
    EXPECT_EQ(box("TxtVlFinal")->text(), "R$ 46,50");
    type("TxtObs(2)", "pago");
    Typing::key(box("TxtObs(2)"), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(order(os, "Percentual").toLongLong(), 20);
    EXPECT_EQ(order(os, "Obs3").toString(), "PAGO");
    EXPECT_EQ(order(os, "VlFinal").value<Currency>(), Currency::fromCents(4650));
}

// Every box at its longest: the computed amounts show whole in their boxes,
// never only their last digits.
TEST_F(OpcoesTest, TheLargestAmountsShowWhole) {
    const qint64 os = addOrder("MARIA", {{"Status", "PRONTO"}});
    open(os);
    for (int i = 0; i < 6; ++i) {
        type(QStringLiteral("TxtQtde(%1)").arg(i), "99");
        type(QStringLiteral("TxtVlUn(%1)").arg(i), "9999999");
    }
    type("TxtVlUn(6)", "9999999999");
    type("TxtPerc", "99");
    button("BtCalcular")->click();
    EXPECT_EQ(box("TxtVl(0)")->text(), "989999901,00");
    EXPECT_EQ(box("TxtTotal")->text(), QString::fromUtf8("R$ 15.939.999.405,00"));
    type("TxtDesc", "9999999");
    button("BtCalcular")->click();
    EXPECT_EQ(box("TxtVlFinal")->text(), QString::fromUtf8("R$ 15.929.999.406,00"));
    if (qEnvironmentVariableIsSet("TARVEL_SHOT")) w->grab().save(qEnvironmentVariable("TARVEL_SHOT"));
    for (const char* name : {"TxtVl(0)", "TxtVl(5)", "TxtTotal", "TxtVlFinal"}) {
        QLineEdit* b = box(name);
        QStyleOptionFrame opt;
        opt.initFrom(b);
        const QRect inner = b->style()->subElementRect(QStyle::SE_LineEditContents, &opt, b);
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()), inner.width()) << name << " " << b->text().toStdString();
    }
}

TEST_F(OpcoesTest, TheCalculatorOpensAndTheFinalValueShowsAsStoredOnReturn) {
    open(addOrder("MARIA"));
    EXPECT_EQ(box("TxtVlFinal")->text(), "R$ 150,00");
    box("TxtVlFinal")->clear();
    ModalScript calculator([](QWidget* dlg) { dlg->close(); }, 10000, "FrmCalculadora");
    button("BtCalc")->click();
    EXPECT_TRUE(calculator.done());
    EXPECT_EQ(box("TxtVlFinal")->text(), "R$ 150,00");
}

TEST_F(OpcoesTest, OperatorCheck) {
    Database(databasePath())
        .execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs, BxOs) VALUES ('PEDRO', 10727, 1, 1, 0)");
    open(addOrder("MARIA"));
    ScriptedBoxes boxes;
    password("123");
    EXPECT_EQ(boxes.log().size(), 0);
    boxes.answer(MsgAnswer::Ok, "Operador Não Cadastrado");
    type("TxtOperador", "9");
    EXPECT_EQ(box("TxtOperador")->text(), "");
    boxes.answer(MsgAnswer::Ok, "Voce Não Possui Autorizaçao para esta Operação");
    password("4567");
    EXPECT_EQ(box("TxtOperador")->text(), "PEDRO");
    EXPECT_FALSE(box("TxtOperador")->isEnabled());
    EXPECT_FALSE(button("BtDarSaída")->isEnabled());
    ASSERT_EQ(boxes.log().size(), 2);
    EXPECT_EQ(boxes.log()[1].title, "Dar Baixa em Ordem de Serviço");
    EXPECT_EQ(boxes.log()[1].icon, MsgIcon::Critical);

    open(addOrder("JOSE"));
    password();
    EXPECT_EQ(box("TxtOperador")->text(), "ADMINISTRADOR");
    EXPECT_TRUE(button("BtDarSaída")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), button("BtDarSaída"));
}

TEST_F(OpcoesTest, RefusalsAndNoWriteNothingButStoreThePrices) {
    const qint64 os = addOrder("MARIA", {{"Tecnico", QVariant()}});
    open(os);
    password();
    type("TxtQtde(0)", "2");
    type("TxtVlUn(0)", "7");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "O Aparelho só poderar sair se estiver: \" PRONTO \" ou \" SEM CONSERTO \"\r"
                                "Altere o STATUS para que possa dar saída no Aparelho!");
    button("BtDarSaída")->click();
    EXPECT_EQ(order(os, "VlFinal").value<Currency>(), Currency::fromUnits(14));

    Database(databasePath()).execute("UPDATE TblManutencao SET Status = 'PRONTO'");
    open(os);
    password();
    boxes.answer(MsgAnswer::Ok, "Selecione e Salve o Nome do Téçnico para esta Ordem de Serviço!");
    button("BtDarSaída")->click();

    Database(databasePath()).execute("UPDATE TblManutencao SET Tecnico = 'CARLOS'");
    open(os);
    password();
    boxes.answer(MsgAnswer::No, "Todas as Informações para a Saída do aparelho estão Corretas.\rConfirma a sua Saída?");
    button("BtDarSaída")->click();
    ASSERT_EQ(boxes.log().size(), 3);
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.log()[2].defaultButton, MsgAnswer::Yes);
    EXPECT_EQ(boxes.log()[2].icon, MsgIcon::Information);
    for (const ShownBox& b : boxes.log()) EXPECT_EQ(b.title, Title);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblApEntregues"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
}

TEST_F(OpcoesTest, CheckoutWritesTheDeliveredRowAndClosesTheWindowsAndRefreshesTheList) {
    const qint64 other = addOrder("ANA", {{"Status", "PRONTO"}});
    const qint64 os = addOrder("MARIA", {{"Status", "PRONTO"}, {"Endereco", "RUA A, 1"}, {"Celular", "9999-0000"},
                                         {"Loja", "LOJA X"}, {"NotaFiscal", "123"}, {"Relatorio12", "PAGO EM DINHEIRO"},
                                         {"Relatorio16", "FIM"}, {"Atendimento", "INTERNO"}});
    FrmManutencao* list = FrmManutencao::open();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->countText(), "2");
    Modulo::OsAtual = std::int32_t(os);

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes, "Confirma a sua Saída?");
    boxes.answer(MsgAnswer::Ok, Success);
    QDialog opener;
    bool closed = false;
    ModalScript orderWindow([&](QWidget*) {
        ModalScript priceWindow([&](QWidget* dlg) {
            cur = static_cast<FrmOpcoesOS*>(dlg);
            for (int i = 0; i < 6; ++i) {
                type(QStringLiteral("TxtCod(%1)").arg(i), QStringLiteral("C%1").arg(i));
                type(QStringLiteral("TxtQtde(%1)").arg(i), QString::number(i + 1));
                type(QStringLiteral("TxtId(%1)").arg(i), QStringLiteral("i%1").arg(i));
                type(QStringLiteral("TxtVlUn(%1)").arg(i), "0,3333");
            }
            box("TxtDescricao(5)")->setText("  placa lógica ");
            type("TxtVlUn(6)", "40");
            type("TxtDesc", "10");
            type("TxtObs(0)", "  troca de placa  ");
            password();
            button("BtDarSaída")->click();
        });
        closed = FrmOpcoesOS::showFor(&opener);
    });
    opener.exec();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(opener.isVisible());
    EXPECT_EQ(boxes.log().size(), 2);

    // The order left the workshop and the list shows it.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblManutencao WHERE Os = %1").arg(os)), 0);
    EXPECT_EQ(list->countText(), "1");
    EXPECT_EQ(list->dataFrmApMnt().number("Os"), other);

    const auto delivered_ = delivered();
    RecordCursor& d = *delivered_;
    ASSERT_EQ(d.recordCount(), 1);
    EXPECT_EQ(d.number("Os"), os);
    EXPECT_EQ(d.text("Nome"), "MARIA");
    EXPECT_EQ(d.text("Endereco"), "RUA A, 1");
    EXPECT_EQ(d.text("Celular"), "9999-0000");
    EXPECT_EQ(d.text("Aparelho"), "TV");
    EXPECT_EQ(d.date("DataEntrada"), QDate(2008, 3, 5));
    EXPECT_EQ(d.time("HoraEntrada"), QTime(14, 5, 0));
    EXPECT_EQ(d.number("Dias"), 3);
    EXPECT_EQ(d.date("DataSaida"), QDate(2026, 1, 10));
    EXPECT_EQ(d.time("HoraSaida"), QTime(9, 30, 15));
    EXPECT_EQ(d.text("Status"), "PRONTO");
    EXPECT_EQ(d.text("Tecnico"), "CARLOS");
    EXPECT_EQ(d.text("OperadorEnt"), "ADMINISTRADOR");
    EXPECT_EQ(d.text("OperadorSaida"), "ADMINISTRADOR");
    EXPECT_EQ(d.text("Atendimento"), "INTERNO");
    EXPECT_TRUE(d.yesNo("Garantia de Serviço"));
    EXPECT_EQ(d.date("DATALIMITEGARANTIA"), QDate(2026, 4, 10));
    // An estimate keeps no factory-warranty data.
    EXPECT_FALSE(d.field("Loja").isValid());
    EXPECT_FALSE(d.field("NotaFiscal").isValid());
    // Each parts row in its own line; the sixth in Relatorio55.
    EXPECT_EQ(d.text("Relatorio0"), "C0 1 i0  0,33");
    EXPECT_EQ(d.text("Relatorio4"), "C4 5 i4  1,65");
    EXPECT_EQ(d.text("Relatorio55"), "C5 6 i5 PLACA LÓGICA 1,98");
    EXPECT_EQ(d.text("Relatorio5"), "R$40,00");
    EXPECT_EQ(d.text("Relatorio6"), "R$ 46,93");
    EXPECT_EQ(d.text("Relatorio7"), "10,00");
    EXPECT_EQ(d.text("Relatorio9"), "TROCA DE PLACA");
    EXPECT_EQ(d.text("Relatorio10"), "");
    EXPECT_EQ(d.text("Relatorio12"), "PAGO EM DINHEIRO");
    EXPECT_EQ(d.text("Relatorio16"), "FIM");
    EXPECT_FALSE(d.hasField("Relatorio8"));
    // Leaving a price box showed it with two decimals (0,33): 21 parts at
    // 0,33 + 40 - 10.
    EXPECT_EQ(d.currency("ValorCobrado"), Currency::fromCents(3693));
}

TEST_F(OpcoesTest, FactoryWarrantyKeepsItsDataAndTheLastOrderCanLeave) {
    const qint64 os = addOrder("MARIA", {{"Status", "SEM CONSERTO"}, {"Tipo", "GAR.DE FÁBRICA"}, {"Loja", "LOJA X"},
                                         {"DataCompra", "01/12/2025"}, {"NotaFiscal", "123"}, {"GarComplementar", "G9"}});
    FrmManutencao* list = FrmManutencao::open();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->countText(), "1");
    Modulo::OsAtual = std::int32_t(os);
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, Success);
    ModalScript priceWindow([&](QWidget* dlg) {
        Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
        dlg->findChild<QPushButton*>("BtDarSaída")->click();
    });
    EXPECT_TRUE(FrmOpcoesOS::showFor(nullptr));
    EXPECT_EQ(list->countText(), "0");
    const auto delivered_ = delivered();
    RecordCursor& d = *delivered_;
    ASSERT_EQ(d.recordCount(), 1);
    EXPECT_FALSE(d.yesNo("Garantia de Serviço"));
    EXPECT_EQ(d.date("DATALIMITEGARANTIA"), QDate(2026, 1, 10));
    EXPECT_EQ(d.text("Loja"), "LOJA X");
    EXPECT_EQ(d.text("DataCompra"), "01/12/2025");
    EXPECT_EQ(d.text("NotaFiscal"), "123");
    EXPECT_EQ(d.text("GarComplementar"), "G9");
    EXPECT_EQ(d.text("Relatorio0"), "    ");
    EXPECT_EQ(d.text("Relatorio5"), "R$");
}

// Prices stored by the close box are checked out later at the amounts the
// window shows, to the cent; five decimals read as four, a quantity as typed.
TEST_F(OpcoesTest, ACloseBoxThenACheckoutStoresTheShownAmounts) {
    const qint64 os = addOrder("MARIA", {{"Status", "PRONTO"}});
    open(os);
    type("TxtQtde(0)", "3");
    type("TxtVlUn(0)", "0,3333");
    w->close();
    EXPECT_EQ(order(os, "VlUnit0").value<Currency>(), Currency::fromRaw(3333));

    FrmManutencao* list = FrmManutencao::open();
    ASSERT_NE(list, nullptr);
    Modulo::OsAtual = std::int32_t(os);
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, Success);
    ModalScript priceWindow([&](QWidget* dlg) {
        cur = static_cast<FrmOpcoesOS*>(dlg);
        password();
        type("TxtQtde(1)", "05");
        type("TxtVlUn(1)", "1,23456");
        button("BtDarSaída")->click();
    });
    EXPECT_TRUE(FrmOpcoesOS::showFor(nullptr));
    ASSERT_EQ(boxes.log().size(), 2);
    const auto delivered_ = delivered();
    RecordCursor& d = *delivered_;
    ASSERT_EQ(d.recordCount(), 1);
    // 3 x 0,3333 + 5 x 1,2346 = 7,1729, shown and kept as 7,17.
    EXPECT_EQ(d.text("Relatorio0"), " 3   1,00");
    EXPECT_EQ(d.text("Relatorio1"), " 05   6,17");
    EXPECT_EQ(d.text("Relatorio6"), "R$ 7,17");
    EXPECT_EQ(d.currency("ValorCobrado"), Currency::fromCents(717));
}

// The road of the shop: the workshop list opens the order, the order opens
// its prices, the checkout closes both and the list shows one order fewer.
TEST_F(OpcoesTest, FromTheWorkshopListThroughTheOrderWindow) {
    registerWorkshopWindows();
    addOrder("ANA");
    const qint64 os = addOrder("MARIA", {{"Status", "PRONTO"}});
    FrmManutencao* list = FrmManutencao::open();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->dataFrmApMnt().number("Os"), os);
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, Success);
    QPointer<QWidget> orderWindow;
    ModalScript order([&](QWidget* dlg) {
        orderWindow = dlg;
        ModalScript prices([&](QWidget* p) {
            EXPECT_EQ(p->parentWidget(), dlg);
            Typing::type(p->findChild<QLineEdit*>("TxtVlUn(6)"), "80");
            Typing::type(p->findChild<QLineEdit*>("TxtOperador"), "1234");
            p->findChild<QPushButton*>("BtDarSaída")->click();
        }, 10000, "FrmOpcoesOS");
        ASSERT_TRUE(dlg->findChild<QPushButton*>("BtOpcao")->isEnabled());
        dlg->findChild<QPushButton*>("BtOpcao")->click();
        EXPECT_TRUE(prices.done());
    }, 10000, "FrmOS");
    list->BtOs_Click();
    EXPECT_TRUE(order.done());
    EXPECT_TRUE(orderWindow.isNull() || !orderWindow->isVisible());
    EXPECT_EQ(boxes.log().size(), 2);
    EXPECT_EQ(list->countText(), "1");
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
    // Stored in ten-thousandths of a real.
    EXPECT_EQ(count("SELECT ValorCobrado FROM TblApEntregues"), 800000);
}

// Once the order has left, nothing reports a failure: a list that cannot be
// read just now is left as it is.
TEST_F(OpcoesTest, AListThatCannotBeReadAfterTheCheckoutIsHarmless) {
    const qint64 os = addOrder("MARIA", {{"Status", "PRONTO"}});
    FrmManutencao* list = FrmManutencao::open();
    ASSERT_NE(list, nullptr);
    list->listCursor().setRecordSource("SELECT * FROM TblSumiu");
    open(os);
    password();
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, Success);
    button("BtDarSaída")->click();
    EXPECT_EQ(boxes.log().size(), 2);
    EXPECT_EQ(w->result(), FrmOpcoesOS::OrderClosed);
    EXPECT_EQ(list->countText(), "1");   // not refreshed
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblApEntregues"), 1);
}

// A checkout that fails while the order is still open (a refused deletion,
// a full disk, a disk error, a read-only folder) leaves both tables as they
// were, says why in Portuguese and keeps the window with what was typed; once
// the cause is gone the same click checks the order out. Only an order that
// is really gone speaks of another operator.
TEST_F(OpcoesTest, AFailedCheckoutNamesItsCauseAndKeepsWhatWasTyped) {
    StoreFault::install();
    struct Case {
        StoreFault::Kind fault;   // None: a trigger refuses the deletion
        QString cause;
    };
    const Case cases[] = {{StoreFault::None, QStringLiteral("disco cheio")},
                          {StoreFault::DiskFull, StoreFault::causeWords(StoreFault::DiskFull)},
                          {StoreFault::IoError, StoreFault::causeWords(StoreFault::IoError)},
                          {StoreFault::ReadOnlyFolder, StoreFault::causeWords(StoreFault::ReadOnlyFolder)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cause.toStdString());
        const qint64 os = addOrder("MARIA", {{"Status", "PRONTO"}});
        if (c.fault == StoreFault::None) {
            Database db(databasePath());
            ASSERT_EQ(sqlite3_exec(db.handle(), "CREATE TRIGGER Falha BEFORE DELETE ON TblManutencao "
                                   "BEGIN SELECT RAISE(ABORT, 'disco cheio'); END",
                                   nullptr, nullptr, nullptr),
                      SQLITE_OK);
        }
        open(os);
        password();
        type("TxtObs(0)", "troca de placa");
        type("TxtVlUn(6)", "40");
        std::optional<StoreFault> fault;
        QByteArray before;
        ScriptedBoxes boxes;
        boxes.answerWith([&](const ShownBox&) {
            before = fileDigest(databasePath());
            fault.emplace(c.fault);
            return MsgAnswer::Yes;
        });
        boxes.answer(MsgAnswer::Ok, "Não foi possível dar saída nesta Ordem de Serviço\r");
        button("BtDarSaída")->click();
        fault.reset();
        ASSERT_EQ(boxes.log().size(), 2);
        const QString text = boxes.log()[1].text;
        EXPECT_TRUE(text.contains(c.cause)) << text.toStdString();
        EXPECT_FALSE(text.contains("outro operador")) << text.toStdString();
        EXPECT_EQ(boxes.log()[1].icon, MsgIcon::Critical);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(box("TxtObs(0)")->text(), "TROCA DE PLACA");
        EXPECT_EQ(fileDigest(databasePath()), before);
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblApEntregues"), 0);

        // The cause is gone: the same click checks the order out.
        if (c.fault == StoreFault::None) Database(databasePath()).execute("DROP TRIGGER Falha");
        boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, Success);
        button("BtDarSaída")->click();
        EXPECT_EQ(w->result(), FrmOpcoesOS::OrderClosed);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblManutencao WHERE Os = %1").arg(os)), 0);
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblApEntregues WHERE Relatorio9 = 'TROCA DE PLACA' AND Relatorio5 = 'R$40'"), 1);
        Database(databasePath()).execute("DELETE FROM TblApEntregues");
    }
}

// ---- Two copies of the program checking the same order out at once.

namespace {

// What the other copy does: opens the window on the order, accepts the operator,
// says it is ready, waits for the signal, checks out and prints every box.
class PrintedBoxes : public BoxHook {
public:
    MsgAnswer messageBox(const ShownBox& box) override {
        QString t = box.text;
        std::cout << "BOX " << t.replace(QLatin1Char('\r'), QLatin1Char('|')).toStdString() << std::endl;
        return box.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    std::optional<QString> inputBox(const ShownBox&) override { return std::nullopt; }
};

int checkoutCopy(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppSetup::init(app);
    PrintedBoxes boxes;
    setBoxHook(&boxes);
    ProgramFolder::setPath(QString::fromLocal8Bit(argv[2]));
    Modulo::OsAtual = std::atoi(argv[3]);
    FrmOpcoesOS window;
    window.show();
    QApplication::processEvents();
    window.findChild<QLineEdit*>("TxtOperador")->setText("1234");
    std::cout << "pronto" << std::endl;
    std::string line;
    std::getline(std::cin, line);
    window.BtDarSaída_Click();
    std::cout << "fim" << std::endl;
    return 0;
}

} // namespace

TEST_F(OpcoesTest, TwoCopiesCheckingTheSameOrderOutAtOnce) {
    const qint64 os = addOrder("MARIA", {{"Status", "PRONTO"}});
    addOrder("ANA");
    std::array<QProcess, 2> copies;
    for (QProcess& p : copies) {
        p.start(QCoreApplication::applicationFilePath(), {"--dar-saida", folder(), QString::number(os)});
        ASSERT_TRUE(p.waitForReadyRead(30000));
    }
    for (QProcess& p : copies) {
        while (!p.canReadLine()) ASSERT_TRUE(p.waitForReadyRead(30000));
        ASSERT_EQ(p.readLine().trimmed(), "pronto");
    }
    for (QProcess& p : copies) p.write("vai\n");
    QString out;
    for (QProcess& p : copies) {
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0);
        out += QString::fromUtf8(p.readAllStandardOutput());
    }
    EXPECT_EQ(out.count(Success), 1) << out.toStdString();
    EXPECT_EQ(out.count(OtherOperator), 1) << out.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblApEntregues WHERE Os = %1").arg(os)), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
}

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--dar-saida") == 0) return checkoutCopy(argc, argv);
    return TestMain::run(argc, argv);
}
