// The list of delivered appliances: its columns, the cell filter by column
// type, the name search, the previous repairs handed over by the service-order
// window, the search dialog and the windows it opens; the main window's entry.
#include "delivereddata.h"

#include "app/windowregistry.h"
#include "orders/deliveredwindows.h"
#include "orders/frmapentregues.h"
#include "orders/frmos.h"
#include "store/globals.h"
#include "store/recordcursor.h"
#include "store/sqldialect.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/gridmodel.h"
#include "ui/windowhost.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace DeliveredData;

namespace {

struct ApEntreguesTest : ProgramFolderTest {
    FrmApEntregues* w = nullptr;

    void TearDown() override {
        WindowRegistry::clear();
        FrmOS::setDeliveredListFilter({});
        ProgramFolderTest::TearDown();
    }
    FrmApEntregues* openList() {
        w = FrmApEntregues::open();
        EXPECT_NE(w, nullptr);
        w->resize(1100, 500);
        QApplication::processEvents();
        return w;
    }
    RecordCursor& cursor() { return w->dataFrmApEnt(); }
    QString current(const char* field = "Nome") { return cursor().text(field); }
    QString count() { return w->findChild<QLabel*>("Label1")->text(); }
    QString heading() { return w->findChild<DataGrid*>("DBGrid1")->caption(); }
    QPushButton* button(const char* name) { return w->findChild<QPushButton*>(name); }
    QLineEdit* search() { return w->findChild<QLineEdit*>("TxtBusca"); }
    QTimer* blink() { return w->findChild<QTimer*>("Timer2"); }
    QTableView* view() { return w->findChild<DataGrid*>("DBGrid1")->view(); }
    int columnOf(const QString& title) {
        for (int c = 0; c < view()->model()->columnCount(); ++c)
            if (view()->model()->headerData(c, Qt::Horizontal).toString() == title) return c;
        return -1;
    }
    QString shown(const QString& title) {
        return view()->model()->index(cursor().absolutePosition(), columnOf(title)).data().toString();
    }
    void find(const QString& text) {
        search()->clear();
        Typing::type(search(), text);
        Typing::key(search(), Qt::Key_Return);
    }
    // A real double click on the current row's cell under a heading.
    void doubleClick(const QString& title) {
        const int col = columnOf(title);
        ASSERT_GE(col, 0) << title.toStdString();
        const QModelIndex cell = view()->model()->index(cursor().absolutePosition(), col);
        view()->scrollTo(cell);
        QApplication::processEvents();
        const QPoint at = view()->visualRect(cell).center();
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, at);
    }
    void standOn(const QString& nome) { ASSERT_TRUE(cursor().findFirst("Nome = " + SqlDialect::quote(nome))); }
    QStringList listedNames() {
        QStringList names;
        for (int i = 0; i < cursor().recordCount(); ++i) names << cursor().valueAt(i, cursor().fieldIndex("Nome")).toString();
        return names;
    }
};

const QString Prefix = QString::fromUtf8("TODOS OS APARELHOS ENTREGUES : ");

} // namespace

TEST_F(ApEntreguesTest, OpensOnTheLastRowWithItsColumnsAndFormats) {
    addDelivered(101, "ANA");
    addDelivered(102, "BETO", {{"Garantia de Serviço", false}, {"ValorCobrado", money(15000)}});
    openList();
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Aparelhos Entregues"));
    EXPECT_EQ(heading(), "APARELHOS ENTREGUES");
    EXPECT_EQ(count(), "2");
    EXPECT_EQ(current(), "BETO");
    QStringList titles;
    for (int c = 0; c < view()->model()->columnCount(); ++c) titles << view()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QString::fromUtf8("OS|SAÍDA|CLIENTE|APARELHO|MARCA|MODELO|TIPO|STATUS|GS|DATA GAR.|VALOR|"
                                        "OP. SAÍDA|TÉCNICO|NÚM SÉRIE|HORA|DEFEITO|DPTO|ID CLIENTE|ENTRADA|ID AP")
                          .split('|'));
    EXPECT_EQ(shown("GS"), QString::fromUtf8("Não"));
    EXPECT_EQ(shown("VALOR"), "150,00");
    EXPECT_EQ(shown("SAÍDA"), "05/12/2026");
    EXPECT_EQ(shown("DATA GAR."), "05/03/2027");
    EXPECT_EQ(shown("HORA"), "16:40:00");
    for (const char* b : {"BtReset", "BtImprimir", "BtDetalhes", "BtLocAp"}) EXPECT_TRUE(button(b)->isEnabled()) << b;
    // Pictures without words on the buttons; the filter indicator over the
    // grid's rows, in its heading bar.
    for (const char* b : {"BtReset", "BtImprimir", "BtDetalhes", "BtLocAp", "BtFechar"}) {
        EXPECT_TRUE(button(b)->text().isEmpty()) << b;
        EXPECT_FALSE(button(b)->icon().isNull()) << b;
    }
    auto* indicator = w->findChild<QWidget*>("Shape1");
    EXPECT_EQ(indicator->parentWidget(), w);
    EXPECT_LT(indicator->geometry().bottom(), view()->mapTo(w, QPoint(0, 0)).y());
    const QString dir = qEnvironmentVariable("TARVEL_PDF_DIR");
    if (!dir.isEmpty()) {
        w->show();
        QApplication::processEvents();
        w->grab().save(dir + QStringLiteral("/FrmApEntregues.png"));
    }
}

TEST_F(ApEntreguesTest, AnEmptyTableOpensWithNothingToWorkAndSaysSoForDetailsAndPrint) {
    openList();
    EXPECT_EQ(count(), "0");
    for (const char* b : {"BtReset", "BtImprimir", "BtDetalhes", "BtLocAp"}) EXPECT_FALSE(button(b)->isEnabled()) << b;
    EXPECT_EQ(view()->focusPolicy(), Qt::NoFocus);
    Typing::key(search(), Qt::Key_F5);   // the reset on an empty table: the count stays 0
    EXPECT_EQ(count(), "0");
    ScriptedBoxes boxes;
    // F11 and F10 act as their buttons would, disabled as these are.
    boxes.answer(MsgAnswer::Ok, "Não existe nenhum Aparelho para visualizar os Detalhes");
    Typing::key(search(), Qt::Key_F11);
    EXPECT_EQ(boxes.log().size(), 1);
    {
        ModalScript dialog([](QWidget* d) { d->findChild<QPushButton*>("BtFechar")->click(); }, 10000,
                           "FrmLocApEntregue");
        Typing::key(search(), Qt::Key_F10);
        EXPECT_TRUE(dialog.done());
    }
    boxes.answer(MsgAnswer::Ok, "Não existe nada a Imprimir");
    w->BtImprimir_Click();
    for (const ShownBox& b : boxes.log()) {
        EXPECT_EQ(b.title, "Aparelhos Entregues");
        EXPECT_EQ(b.icon, MsgIcon::Exclamation);
    }
    EXPECT_EQ(count(), "0");
}

// Each column compares by its field's type; the heading names the field in
// capitals with the text as shown; dates list by order number, the others by
// exit date.
TEST_F(ApEntreguesTest, CellFiltersCompareByTheColumnsType) {
    addDelivered(1234, "ANA", {{"NumSerie", "12345"}, {"DataSaida", QDate(2026, 12, 5)}});
    addDelivered(1300, "BETO", {{"Garantia de Serviço", false}, {"ValorCobrado", money(15000)}, {"NumSerie", "012345"},
                                {"DataSaida", QDate(2026, 11, 1)}});
    addDelivered(1100, "CARLA", {{"HoraSaida", QTime(8, 0, 0)}, {"Dpto", "OUTROS"}, {"Tecnico", QVariant()}});
    addDelivered(1200, "DIANA", {{"DataSaida", QDate(2026, 12, 5)}, {"Dpto", "OUTROS"}});
    openList();
    ScriptedBoxes boxes;
    struct Case {
        const char* name;
        const char* column;
        const char* field;
        const char* value;
        QStringList rows;
        const char* query;
    };
    const Case cases[] = {
        {"ANA", "GS", "GARANTIA DE SERVIÇO", "Sim", {"ANA", "CARLA", "DIANA"},
         "SELECT * FROM TblApEntregues WHERE [Garantia de Serviço] = True ORDER BY DataSaida"},
        {"BETO", "GS", "GARANTIA DE SERVIÇO", "Não", {"BETO"},
         "SELECT * FROM TblApEntregues WHERE [Garantia de Serviço] = False ORDER BY DataSaida"},
        {"ANA", "OS", "OS", "1234", {"ANA"}, "SELECT * FROM TblApEntregues WHERE OS = 1234 ORDER BY DataSaida"},
        {"ANA", "SAÍDA", "DATASAIDA", "05/12/2026", {"CARLA", "DIANA", "ANA"},
         "SELECT * FROM TblApEntregues WHERE DataSaida = #12/5/2026# ORDER BY Os"},
        {"ANA", "VALOR", "VALORCOBRADO", "150,50", {"ANA", "CARLA", "DIANA"},
         "SELECT * FROM TblApEntregues WHERE ValorCobrado = CCur(150.5) ORDER BY DataSaida"},
        {"ANA", "NÚM SÉRIE", "NUMSERIE", "12345", {"ANA"},
         "SELECT * FROM TblApEntregues WHERE NumSerie = '12345' ORDER BY DataSaida"},
        {"CARLA", "HORA", "HORASAIDA", "08:00:00", {"CARLA"},
         "SELECT * FROM TblApEntregues WHERE HoraSaida = #8:00:00# ORDER BY Os"},
        {"CARLA", "DPTO", "DPTO", "OUTROS", {"CARLA", "DIANA"},
         "SELECT * FROM TblApEntregues WHERE Dpto = 'OUTROS' ORDER BY DataSaida"},
        {"CARLA", "TÉCNICO", "TECNICO", "", {"CARLA"},
         "SELECT * FROM TblApEntregues WHERE (Tecnico IS NULL OR Tecnico = '') ORDER BY DataSaida"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        w->BtReset_Click();
        standOn(QString::fromUtf8(c.name));
        doubleClick(QString::fromUtf8(c.column));
        EXPECT_EQ(listedNames(), c.rows);
        EXPECT_EQ(Modulo::SqlFiltroEntregues, QString::fromUtf8(c.query));
        const QString title = Prefix + QString::fromUtf8(c.field) + QString::fromUtf8(" =  \"") +
                              QString::fromUtf8(c.value) + '"';
        EXPECT_EQ(Modulo::TituloFiltroEntregues, title);
        EXPECT_EQ(heading(), title);
        EXPECT_EQ(count(), QString::number(c.rows.size()));
        EXPECT_EQ(current(), c.rows.last()) << "the last row";
        EXPECT_TRUE(blink()->isActive());
    }
    EXPECT_EQ(boxes.log().size(), 0);

    // F5 from the grid: the whole table, the indicator still; the last
    // filter is kept.
    view()->setFocus();
    Typing::key(view(), Qt::Key_F5);
    EXPECT_FALSE(blink()->isActive());
    EXPECT_FALSE(w->findChild<QWidget*>("Shape1")->isVisible());
    EXPECT_EQ(heading(), "APARELHOS ENTREGUES");
    EXPECT_EQ(count(), "4");
    EXPECT_TRUE(Modulo::SqlFiltroEntregues.contains("Tecnico IS NULL"));
}

TEST_F(ApEntreguesTest, AFilterLeftWithoutRowsSaysSoAndBringsTheWholeListBack) {
    addDelivered(1, "ANA");
    addDelivered(2, "BETO");
    openList();
    standOn("ANA");
    // Another copy rewrites ANA's customer copy after the list was read.
    Database::openDefault().execute("UPDATE TblApEntregues SET Nome = 'ANA MARIA' WHERE Os = 1");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Não é possível Filtrar através deste Registro!");
    doubleClick("CLIENTE");
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log()[0].title, "Erro ao tentar Filtrar Registros");
    EXPECT_FALSE(blink()->isActive());
    EXPECT_EQ(heading(), "APARELHOS ENTREGUES");
    EXPECT_EQ(count(), "2");
}

TEST_F(ApEntreguesTest, TheNameSearchIsRememberedAndSearchesWithinAFilterOnceInNameOrder) {
    addDelivered(1, "MARTA", {{"Dpto", "OUTROS"}});
    addDelivered(2, "BRUNO");
    addDelivered(3, "MARCOS");
    addDelivered(4, "ZECA", {{"Dpto", "OUTROS"}});
    openList();
    // The first search since opening orders the whole table by name: a
    // filter shown until then goes, with its indicator, heading and count.
    standOn("ZECA");
    doubleClick("DPTO");
    ASSERT_EQ(count(), "2");
    Typing::type(search(), "mar'");
    EXPECT_EQ(search()->text(), "MAR");
    Typing::key(search(), Qt::Key_Return);
    EXPECT_EQ(current(), "MARCOS");
    EXPECT_EQ(listedNames(), (QStringList{"BRUNO", "MARCOS", "MARTA", "ZECA"}));
    EXPECT_FALSE(blink()->isActive());
    EXPECT_EQ(heading(), "APARELHOS ENTREGUES");
    EXPECT_EQ(count(), "4");
    EXPECT_EQ(search()->palette().color(QPalette::Text), QColor(0, 0, 255));
    find("XX");
    EXPECT_EQ(search()->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(cursor().absolutePosition(), 0);
    EXPECT_EQ(current(), "BRUNO");

    // In name order a filter is searched within.
    standOn("ZECA");
    doubleClick("DPTO");
    find("MAR");
    EXPECT_EQ(current(), "MARTA");
    EXPECT_EQ(count(), "2");
    EXPECT_TRUE(blink()->isActive());

    // Closed and opened again within the run: the last text comes back.
    w->close();
    QApplication::processEvents();
    openList();
    EXPECT_EQ(search()->text(), "MAR");
    EXPECT_EQ(search()->cursorPosition(), 3);
    EXPECT_FALSE(w->orderedByName());
}

// The service-order window's previous-repairs button: the list opens (or
// stays) filtered to the appliance, with the heading, count and indicator
// of a filter; the reset clears it the same way.
TEST_F(ApEntreguesTest, PreviousRepairsFromTheServiceOrderWindowOpenTheListFiltered) {
    registerDeliveredWindows();
    addDelivered(1, "ANA", {{"NumSerie", "TV-9"}});
    addDelivered(2, "BETO");
    addDelivered(3, "ANA", {{"NumSerie", "TV-9"}});
    const qint64 os = WorkshopData::addOrder("ANA", {{"Aparelho", "TELEVISOR"}, {"NumSerie", "TV-9"},
                                                     {"Marca", "PHILCO"}, {"Modelo", "PH29"}});
    Modulo::OsAtual = std::int32_t(os);
    std::unique_ptr<FrmOS> order(FrmOS::create());
    ASSERT_TRUE(order);
    order->show();
    auto* previous = order->findChild<QPushButton*>("BtMntAnt");
    ASSERT_TRUE(previous->isEnabled());
    previous->click();
    EXPECT_FALSE(order->isVisible());
    w = WindowHost::findList<FrmApEntregues>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    const QString title = QString::fromUtf8("MANUTENÇÕES ANTERIORES : APARELHO = TELEVISOR MARCA = PHILCO MODELO = PH29");
    EXPECT_EQ(heading(), title);
    EXPECT_EQ(count(), "2");
    EXPECT_TRUE(blink()->isActive());
    EXPECT_EQ(listedNames(), (QStringList{"ANA", "ANA"}));
    EXPECT_EQ(current("Os"), "3");

    // Searching for an order outside the filter: read again, on its last row.
    {
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Ordem de Serviço não Localizada");
        ModalScript dialog([](QWidget* d) {
            d->findChild<QLineEdit*>("TxtBusca")->setText("2");
            d->findChild<QPushButton*>("BtIniciar")->click();
            d->findChild<QPushButton*>("BtFechar")->click();
        }, 10000, "FrmLocApEntregue");
        Typing::key(search(), Qt::Key_F10);
        EXPECT_TRUE(dialog.done());
        EXPECT_EQ(count(), "2");
    }
    Typing::key(search(), Qt::Key_F5);
    EXPECT_EQ(heading(), "APARELHOS ENTREGUES");
    EXPECT_FALSE(blink()->isActive());
    EXPECT_EQ(count(), "3");
}

// The whole table lists in its stored order (by key) however the rows were
// written: keys close together and keys far apart.
TEST_F(ApEntreguesTest, TheWholeTableListsInKeyOrder) {
    for (int id : {4, 2, 5, 1, 3}) addDelivered(100 - id, QStringLiteral("C%1").arg(id), {{"IdApEntregues", id}});
    openList();
    const auto keys = [this] {
        QStringList out;
        for (int i = 0; i < cursor().recordCount(); ++i)
            out << cursor().valueAt(i, cursor().fieldIndex("IdApEntregues")).toString();
        return out.join(' ');
    };
    EXPECT_EQ(keys(), "1 2 3 4 5");
    EXPECT_EQ(current(), "C5");
    addDelivered(1, "FAR", {{"IdApEntregues", 100000}});
    addDelivered(2, "NEAR", {{"IdApEntregues", 7}});
    w->BtReset_Click();
    EXPECT_EQ(keys(), "1 2 3 4 5 7 100000");
    EXPECT_EQ(current(), "FAR");
}

TEST_F(ApEntreguesTest, TheMainWindowsEntryOpensTheRegisteredList) {
    registerDeliveredWindows();
    addDelivered(1, "ANA");
    const WindowRegistry::Entry* entry = WindowRegistry::find("FrmApEntregues");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->kind, WindowKind::List);
    QWidget* made = WindowHost::openList(*entry->type, entry->make);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made, WindowHost::findList<FrmApEntregues>());
    EXPECT_EQ(made->findChild<QLabel*>("Label1")->text(), "1");
}

TARVEL_TEST_MAIN()
