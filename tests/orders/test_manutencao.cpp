// The list of appliances in repair: opening, the name search, the cell filter
// by column type with its indicator, the reset, the keys and the windows it
// opens.
#include "workshopdata.h"

#include "app/windowregistry.h"
#include "orders/cellfilter.h"
#include "orders/frmmanutencao.h"
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

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace WorkshopData;

namespace {

struct ManutencaoTest : ProgramFolderTest {
    FrmManutencao* w = nullptr;

    void TearDown() override {
        WindowRegistry::clear();
        ProgramFolderTest::TearDown();
    }
    FrmManutencao* openList() {
        w = FrmManutencao::open();
        EXPECT_NE(w, nullptr);
        w->resize(1000, 500);
        QApplication::processEvents();
        return w;
    }
    RecordCursor& cursor() { return w->dataFrmApMnt(); }
    QString current(const char* field = "Nome") { return cursor().text(field); }
    QString count() { return w->findChild<QLabel*>("Label1")->text(); }
    QString heading() { return w->findChild<DataGrid*>("DBGrid1")->caption(); }
    QPushButton* button(const char* name) { return w->findChild<QPushButton*>(name); }
    QLineEdit* search() { return w->findChild<QLineEdit*>("TxtBusca"); }
    QColor searchColour() { return search()->palette().color(QPalette::Text); }
    QTimer* blink() { return w->findChild<QTimer*>("Timer2"); }
    QWidget* indicator() { return w->findChild<QWidget*>("Shape1"); }
    QTableView* view() { return w->findChild<DataGrid*>("DBGrid1")->view(); }

    void find(const QString& text) {
        search()->clear();
        Typing::type(search(), text);
        Typing::key(search(), Qt::Key_Return);
    }
    // A real double click on the cell of the current row under a heading.
    void doubleClick(const QString& heading) {
        QTableView* v = view();
        int col = -1;
        for (int c = 0; c < v->model()->columnCount(); ++c)
            if (v->model()->headerData(c, Qt::Horizontal).toString() == heading) col = c;
        ASSERT_GE(col, 0) << heading.toStdString();
        const QModelIndex cell = v->model()->index(cursor().absolutePosition(), col);
        v->scrollTo(cell);
        QApplication::processEvents();
        const QPoint at = v->visualRect(cell).center();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, at);
    }
    void standOn(const QString& nome) { ASSERT_TRUE(cursor().findFirst("Nome = " + SqlDialect::quote(nome))); }
    QStringList listedNames() {
        QStringList names;
        for (int i = 0; i < cursor().recordCount(); ++i) names << cursor().valueAt(i, cursor().fieldIndex("Nome")).toString();
        return names;
    }
};

} // namespace

TEST(CellFilterTest, ValuesEnterAsLiteralsOfTheirFieldsTypes) {
    using T = Schema::FieldType;
    EXPECT_EQ(CellFilter::fieldType("TblManutencao", "NUMSERIE"), T::Text);
    EXPECT_EQ(CellFilter::fieldType("TblApEntregues", "Garantia de Serviço"), T::YesNo);
    EXPECT_EQ(CellFilter::criterion("Nome", T::Text, "X' OR 1=1 OR '"), "Nome = 'X'' OR 1=1 OR '''");
    EXPECT_EQ(CellFilter::criterion("VlFinal", T::Currency, QVariant::fromValue(Currency::fromRaw(-12345))),
              "VlFinal = CCur(-1.2345)");
    EXPECT_EQ(CellFilter::criterion("Garantia de Serviço", T::YesNo, true), "[Garantia de Serviço] = True");
    EXPECT_EQ(CellFilter::criterion("DataConcluido", T::Date, QVariant()), "DataConcluido IS NULL");
}

TEST_F(ManutencaoTest, TypedLiteralsPickExactlyTheirRowsOnTheFile) {
    addOrder("ANA", {{"VlFinal", QVariant::fromValue(Currency::fromCents(15050))}, {"HoraEntrada", QTime(9, 5, 7)}});
    addOrder("BETO", {{"VlFinal", QVariant::fromValue(Currency::fromCents(15000))}, {"NumSerie", "12345"}});
    addOrder("CARLA", {{"VlFinal", QVariant::fromValue(Currency::fromRaw(1500049))}, {"Tecnico", QVariant()}});
    RecordCursor c;
    const auto names = [&](const QString& crit) {
        c.open(databasePath(), "SELECT * FROM TblManutencao WHERE " + crit + " ORDER BY Os");
        QStringList out;
        for (c.moveFirst(); !c.eof(); c.moveNext()) out << c.text("Nome");
        return out;
    };
    using T = Schema::FieldType;
    EXPECT_EQ(names(CellFilter::criterion("VlFinal", T::Currency, QVariant::fromValue(Currency::fromCents(15050)))),
              QStringList{"ANA"});
    EXPECT_EQ(names(CellFilter::criterion("VlFinal", T::Currency, QVariant::fromValue(Currency::fromRaw(1500049)))),
              QStringList{"CARLA"});
    EXPECT_EQ(names(CellFilter::criterion("HoraEntrada", T::Time, QTime(9, 5, 7))), QStringList{"ANA"});
    EXPECT_EQ(names(CellFilter::criterion("NumSerie", T::Text, "12345")), QStringList{"BETO"});
    EXPECT_EQ(names(CellFilter::criterion("Tecnico", T::Text, QVariant())), QStringList{"CARLA"});
    EXPECT_EQ(names(CellFilter::criterion("DataEntrada", T::Date, QDate(2008, 3, 5))).size(), 3);
    EXPECT_THROW(names("VlFinal = CCur(1,5)"), DbError);
}

TEST_F(ManutencaoTest, AnEmptyWorkshopOpensWithItsButtonsOffAndOnlyTheResetKeyWorks) {
    openList();
    EXPECT_EQ(count(), "0");
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Manutençao"));
    EXPECT_EQ(heading(), QString::fromUtf8("APARELHOS EM MANUTENÇÃO"));
    for (const char* b : {"BtReset", "BtImprimir", "BtOs", "BtLocAp"}) EXPECT_FALSE(button(b)->isEnabled()) << b;
    EXPECT_EQ(view()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(Modulo::OsAtual, 0);

    // An order taken in meanwhile shows after F5, and the list can be worked again.
    const qint64 os = addOrder("ANA");
    Typing::key(search(), Qt::Key_F5);
    EXPECT_EQ(count(), "1");
    EXPECT_EQ(Modulo::OsAtual, os);
    EXPECT_TRUE(button("BtLocAp")->isEnabled());
    EXPECT_EQ(view()->focusPolicy(), Qt::StrongFocus);

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Não existe nenhum Aparelho Selecionado");
    Database::openDefault().execute("DELETE FROM TblManutencao");
    w->BtReset_Click();
    w->BtImprimir_Click();
    EXPECT_EQ(boxes.log().last().title, QString::fromUtf8("Aparelhos em Manutenção"));
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Exclamation);
}

TEST_F(ManutencaoTest, OpensOnTheLastOrderAndSearchesNamesInNameOrder) {
    addOrder("MARTA");
    addOrder("BRUNO");
    addOrder("MARCOS");
    const qint64 last = addOrder("ZECA");
    openList();
    EXPECT_EQ(count(), "4");
    EXPECT_EQ(current(), "ZECA");
    EXPECT_EQ(Modulo::OsAtual, last);
    EXPECT_TRUE(view()->selectionModel()->isRowSelected(3, {}));

    // Typed letters become capitals, the apostrophe is refused.
    Typing::type(search(), "ma'");
    EXPECT_EQ(search()->text(), "MA");
    Typing::key(search(), Qt::Key_Return);
    EXPECT_TRUE(w->orderedByName());
    EXPECT_EQ(current(), "MARCOS") << "first MA name in name order";
    EXPECT_EQ(listedNames(), (QStringList{"BRUNO", "MARCOS", "MARTA", "ZECA"}));
    EXPECT_EQ(searchColour(), QColor(0, 0, 255));
    EXPECT_EQ(FrmManutencao::rememberedSearch(), "MA");

    find("XX");
    EXPECT_EQ(searchColour(), QColor(255, 0, 0));
    EXPECT_EQ(cursor().absolutePosition(), 0) << "no match: back on the first row";
    find("MART");
    EXPECT_EQ(searchColour(), QColor(0, 0, 255));
    EXPECT_EQ(current(), "MARTA");
    EXPECT_EQ(count(), "4");

    // The last search comes back, caret at its end, when the list opens again.
    w->close();
    QApplication::processEvents();
    openList();
    EXPECT_EQ(search()->text(), "MART");
    EXPECT_EQ(search()->cursorPosition(), 4);
    EXPECT_FALSE(w->orderedByName());
}

TEST_F(ManutencaoTest, ACellFilterListsTheSameStatusBlinksAndTheResetBringsAllBack) {
    addOrder("ANA", {{"Status", "PRONTO"}});
    addOrder("BETO");
    addOrder("CARLA", {{"Status", "PRONTO"}});
    addOrder("DIANA");
    openList();
    standOn("ANA");
    doubleClick("STATUS");
    EXPECT_EQ(listedNames(), (QStringList{"ANA", "CARLA"}));
    EXPECT_EQ(current(), "CARLA") << "the last row";
    EXPECT_EQ(count(), "2");
    const QString title = QString::fromUtf8("APARELHOS EM MANUTENÇÃO : STATUS =  \"PRONTO\"");
    EXPECT_EQ(heading(), title);
    EXPECT_EQ(Modulo::TituloFiltroManutencao, title);
    EXPECT_EQ(Modulo::SqlFiltroManutencao, "SELECT * FROM TblManutencao WHERE Status = 'PRONTO' ORDER BY Os");
    EXPECT_TRUE(blink()->isActive());
    EXPECT_EQ(blink()->interval(), 500);
    const bool shown = indicator()->isVisible();
    static_cast<WindowTimer*>(blink())->fire();
    EXPECT_NE(indicator()->isVisible(), shown);
    static_cast<WindowTimer*>(blink())->fire();
    EXPECT_EQ(indicator()->isVisible(), shown);

    // F5 from the grid: the whole table, still and hidden indicator; the
    // last filter is kept for the printed list.
    view()->setFocus();
    Typing::key(view(), Qt::Key_F5);
    EXPECT_FALSE(blink()->isActive());
    EXPECT_FALSE(indicator()->isVisible());
    EXPECT_EQ(heading(), QString::fromUtf8("APARELHOS EM MANUTENÇÃO"));
    EXPECT_EQ(count(), "4");
    EXPECT_EQ(current(), "DIANA");
    EXPECT_EQ(Modulo::TituloFiltroManutencao, title);
    EXPECT_FALSE(Modulo::SqlFiltroManutencao.isEmpty());
}

TEST_F(ManutencaoTest, CellFiltersCompareDatesTimesMoneyAndDigitTextByTheirTypes) {
    addOrder("ANA", {{"VlFinal", QVariant::fromValue(Currency::fromCents(15050))}, {"NumSerie", "12345"},
                     {"HoraEntrada", QTime(9, 30, 0)}, {"DataEntrada", QDate(2008, 3, 5)}});
    addOrder("BETO", {{"VlFinal", QVariant::fromValue(Currency::fromCents(15000))}, {"NumSerie", "012345"},
                      {"DataEntrada", QDate(2008, 5, 3)}});
    addOrder("CARLA", {{"VlFinal", QVariant::fromValue(Currency::fromCents(15050))}, {"HoraEntrada", QTime(9, 30, 0)},
                       {"Nome", "D'AVILA"}});
    addOrder("DIANA", {{"Tecnico", QVariant()}});
    openList();
    ScriptedBoxes boxes;
    struct Case {
        const char* name;
        const char* heading;
        QStringList rows;
        const char* criterion;
    };
    const Case cases[] = {
        {"ANA", "VALOR", {"ANA", "D'AVILA"}, "VlFinal = CCur(150.5)"},
        {"ANA", "NÚM SÉRIE", {"ANA"}, "NumSerie = '12345'"},
        {"ANA", "HORA", {"ANA", "D'AVILA"}, "HoraEntrada = #9:30:00#"},
        {"ANA", "ENTRADA", {"ANA", "D'AVILA", "DIANA"}, "DataEntrada = #3/5/2008#"},
        {"D'AVILA", "CLIENTE", {"D'AVILA"}, "Nome = 'D''AVILA'"},
        {"BETO", "OS", {"BETO"}, "OS = 2"},
        {"DIANA", "TÉCNICO", {"DIANA"}, "(Tecnico IS NULL OR Tecnico = '')"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.heading);
        w->BtReset_Click();
        standOn(QString::fromUtf8(c.name));
        doubleClick(QString::fromUtf8(c.heading));
        EXPECT_EQ(listedNames(), c.rows);
        EXPECT_TRUE(Modulo::SqlFiltroManutencao.contains(QString::fromUtf8(c.criterion)))
            << Modulo::SqlFiltroManutencao.toStdString();
        EXPECT_EQ(count(), QString::number(c.rows.size()));
    }
    // The heading keeps the text as the grid shows it.
    EXPECT_EQ(boxes.log().size(), 0);
    w->BtReset_Click();
    standOn("ANA");
    doubleClick("VALOR");
    EXPECT_EQ(heading(), QString::fromUtf8("APARELHOS EM MANUTENÇÃO : VALOR =  \"150,50\""));
}

TEST_F(ManutencaoTest, AFilterThatFindsNothingSaysSoAndResetsTheList) {
    addOrder("ANA", {{"Status", "PRONTO"}});
    addOrder("BETO");
    openList();
    standOn("ANA");
    // Another copy checks ANA out after the list was read.
    Database::openDefault().execute("DELETE FROM TblManutencao WHERE Nome = 'ANA'");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Não é possível Filtrar através deste Registro!");
    doubleClick("STATUS");
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log()[0].title, "Erro ao tentar Filtrar Registros");
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(blink()->isActive());
    EXPECT_EQ(heading(), QString::fromUtf8("APARELHOS EM MANUTENÇÃO"));
    EXPECT_EQ(count(), "1");
    EXPECT_EQ(current(), "BETO");
}

TEST_F(ManutencaoTest, ASearchAfterAFilterEitherDropsItWhollyOrSearchesWithinIt) {
    addOrder("ANA", {{"Status", "PRONTO"}});
    addOrder("MARIO");
    addOrder("MARTA", {{"Status", "PRONTO"}});
    openList();
    // First search since opening: the filter goes, and so do its signs.
    standOn("ANA");
    doubleClick("STATUS");
    ASSERT_EQ(count(), "2");
    find("MAR");
    EXPECT_EQ(current(), "MARIO");
    EXPECT_EQ(listedNames(), (QStringList{"ANA", "MARIO", "MARTA"}));
    EXPECT_FALSE(blink()->isActive());
    EXPECT_FALSE(indicator()->isVisible());
    EXPECT_EQ(heading(), QString::fromUtf8("APARELHOS EM MANUTENÇÃO"));
    EXPECT_EQ(count(), "3");

    // Already in name order: a filter is searched within.
    standOn("ANA");
    doubleClick("STATUS");
    find("MAR");
    EXPECT_EQ(current(), "MARTA");
    EXPECT_TRUE(blink()->isActive());
    EXPECT_EQ(count(), "2");
    // F5 ends the name order: the next search sorts again.
    Typing::key(search(), Qt::Key_F5);
    EXPECT_FALSE(w->orderedByName());
    EXPECT_EQ(current(), "MARTA");
    find("MAR");
    EXPECT_TRUE(w->orderedByName());
    EXPECT_EQ(current(), "MARIO");
}

TEST_F(ManutencaoTest, TheServiceOrderOpensOnTheCurrentRowUnlessItWasCheckedOutElsewhere) {
    const qint64 ana = addOrder("ANA");
    const qint64 beto = addOrder("BETO");
    addOrder("CARLA");
    openList();
    standOn("ANA");
    doubleClick("STATUS");   // the orders EM SERVIÇO
    standOn("ANA");
    QList<QString> seen;
    {
        // The service order changes the order's status.
        ModalScript os([&](QWidget* dlg) {
            seen << dlg->windowTitle();
            dlg->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
            auto* statuses = dlg->findChild<QListWidget*>("List1");
            QListWidgetItem* pronto = statuses->findItems("PRONTO", Qt::MatchExactly).value(0);
            statuses->setCurrentItem(pronto);
            emit statuses->itemClicked(pronto);
            dlg->findChild<QPushButton*>("BtSalvaStatus")->click();
            dlg->findChild<QPushButton*>("BtFechar")->click();
        });
        Typing::key(search(), Qt::Key_F11);
    }
    EXPECT_EQ(seen, QList<QString>{QString::fromUtf8("Ordem de Serviço Número: %1").arg(ana)});
    // The row shows its new status where it stands; the filter is not run again.
    EXPECT_EQ(current(), "ANA");
    EXPECT_EQ(current("Status"), "PRONTO");
    const QModelIndex cell = view()->model()->index(cursor().absolutePosition(), 7);
    EXPECT_EQ(view()->model()->data(cell).toString(), "PRONTO");
    EXPECT_EQ(count(), "3");
    w->BtReset_Click();

    standOn("BETO");
    Database::openDefault().execute("DELETE FROM TblManutencao WHERE Os = ?", {beto});
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "É Possível que já tenha sido dado Saída neste Aparelho,\r3021__");
    button("BtOs")->click();
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.log().last().title, QString::fromUtf8("Aparelhos em Manutenção"));
    EXPECT_EQ(seen.size(), 1);
    EXPECT_EQ(count(), "2");
    EXPECT_EQ(current(), "CARLA");
}

TEST_F(ManutencaoTest, ThePrintButtonOpensTheListPrintOnTheCurrentOrder) {
    addOrder("ANA");
    const qint64 beto = addOrder("BETO");
    addOrder("CARLA");
    openList();
    standOn("BETO");
    QString caption;
    ModalScript script([&caption](QWidget* d) {
        caption = d->findChild<QRadioButton*>("Option3")->text();
        d->findChild<QPushButton*>("BtFechar")->click();
    }, 10000, "FrmImpAp");
    button("BtImprimir")->click();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(Modulo::OsAtual, beto);
    EXPECT_EQ(caption, QStringLiteral("OS Selecionada (%1)").arg(beto));
}

TEST_F(ManutencaoTest, TheFirstRowButtonAndTheLayoutKeepTheirPlaces) {
    for (const char* n : {"ANA", "BETO", "CARLA"}) addOrder(n);
    openList();
    button("BtMove1")->click();
    EXPECT_EQ(current(), "ANA");
    w->resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(button("BtMove1")->x(), w->width() - 24);
    const int gridHeight = w->findChild<DataGrid*>("DBGrid1")->height();
    w->resize(900, 100);
    QApplication::processEvents();
    EXPECT_GE(w->findChild<DataGrid*>("DBGrid1")->height(), 32);
    EXPECT_LT(w->findChild<DataGrid*>("DBGrid1")->height(), gridHeight);
}

TARVEL_TEST_MAIN()
