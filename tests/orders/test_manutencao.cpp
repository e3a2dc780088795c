// The cell filter, the name search and the list of appliances in repair.
#include "delivereddata.h"

#include "app/windowregistry.h"
#include "orders/cellfilter.h"
#include "orders/frmmanutencao.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "support/fixture.h"
#include "support/liststeps.h"
#include "support/modal.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/gridmodel.h"
#include "ui/namesearch.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

using namespace WorkshopData;
using ListSteps::doubleClick;
using ListSteps::standOn;

namespace {

QVariant raw(qint64 units) { return QVariant::fromValue(Currency::fromRaw(units)); }
QStringList names(const QString& sql) {
    RecordCursor c;
    c.open(ProgramFolder::databasePath(), sql);
    return ListSteps::column(c, "Nome");
}

} // namespace

// The criterion of each kind of cell, and the rows it picks on the file.
TEST_F(ProgramFolderTest, CellFilterCriteriaCompareByTheFieldsType) {
    addOrder("ANA", {{"VlFinal", raw(1505000)}, {"HoraEntrada", QTime(9, 5, 7)}});
    addOrder("BETO");
    addOrder("CARLA", {{"VlFinal", raw(1500049)}, {"Tecnico", QVariant()}});
    addOrder("D'AVILA", {{"Tecnico", ""}, {"DataEntrada", QDate(2008, 5, 3)}});
    const struct { const char* field; QVariant value; const char* criterion; QStringList rows; bool dates; } rows[] = {
        {"Nome", "X' OR 1=1 OR '", "Nome = 'X'' OR 1=1 OR '''", {}, false},
        {"Nome", "D'AVILA", "Nome = 'D''AVILA'", {"D'AVILA"}, false},
        {"VlFinal", raw(1505000), "VlFinal = CCur(150.5)", {"ANA"}, false},
        {"VlFinal", raw(1500049), "VlFinal = CCur(150.0049)", {"CARLA"}, false},
        {"VlFinal", raw(-12345), "VlFinal = CCur(-1.2345)", {}, false},
        {"VlFinal", 150, "VlFinal = CCur(150)", {"BETO", "D'AVILA"}, false},
        {"HoraEntrada", QTime(9, 5, 7), "HoraEntrada = #9:05:07#", {"ANA"}, true},
        {"DataEntrada", QDateTime(QDate(2008, 3, 5), QTime(10, 0)), "DataEntrada = #3/5/2008#", {"ANA", "BETO", "CARLA"}, true},
        {"DataEntrada", QDate(2008, 5, 3), "DataEntrada = #5/3/2008#", {"D'AVILA"}, true},
        {"Tecnico", QVariant(), "(Tecnico IS NULL OR Tecnico = '')", {"CARLA", "D'AVILA"}, false},
        {"DataConcluido", QVariant(), "DataConcluido IS NULL", {"ANA", "BETO", "CARLA", "D'AVILA"}, true},
        {"OS", 2, "OS = 2", {"BETO"}, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.criterion);
        const Schema::FieldType type = CellFilter::fieldType("TblManutencao", QString::fromUtf8(r.field));
        const QString criterion = CellFilter::criterion(QString::fromUtf8(r.field), type, r.value);
        EXPECT_EQ(criterion, QString::fromUtf8(r.criterion));
        EXPECT_EQ(CellFilter::comparesDates(type), r.dates);
        EXPECT_EQ(names("SELECT * FROM TblManutencao WHERE " + criterion + " ORDER BY Os"), r.rows);
    }
    EXPECT_EQ(CellFilter::fieldType("TblNada", "Os"), Schema::FieldType::Text);
}

// The first name that begins with the typed text, in the cursor's order; none: the first row and red text.
TEST_F(ProgramFolderTest, NameSearchFindsTheFirstNameBeginningWithTheText) {
    for (const char* n : {"ZECA", "MARTA", "AC", "MARCOS", "BRUNO"}) addOrder(n);
    RecordCursor c;
    c.open(databasePath(), "SELECT * FROM TblManutencao ORDER BY Nome");
    const QString first = c.text("Nome");
    QLineEdit box;
    NameSearch::prepareBox(&box, 30, "tip");
    box.show();
    const struct { QString typed, text, found; } rows[] = {
        {"ma'", "MA", "MARCOS"}, {"mart", "MART", "MARTA"}, {"m*s", "M*S", ""}, {QString(35, 'z'), QString(30, 'Z'), ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.typed.toStdString());
        c.moveLast();
        box.clear();
        Typing::type(&box, r.typed);
        EXPECT_EQ(box.text(), r.text);
        EXPECT_EQ(NameSearch::find(c, &box), !r.found.isEmpty());
        EXPECT_EQ(c.text("Nome"), r.found.isEmpty() ? first : r.found);
        EXPECT_EQ(box.palette().color(QPalette::Text), r.found.isEmpty() ? QColor(255, 0, 0) : QColor(0, 0, 255));
    }
}

namespace {

struct ManutencaoTest : ProgramFolderTest {
    FrmManutencao* w = nullptr;
    void TearDown() override {
        WindowRegistry::clear();
        ProgramFolderTest::TearDown();
    }
    void openList() {
        ASSERT_NE(w = FrmManutencao::open(), nullptr);
        w->resize(1000, 500), QApplication::processEvents();
    }
    RecordCursor& cursor() { return w->dataFrmApMnt(); }
    QPushButton* button(const char* name) { return w->findChild<QPushButton*>(name); }
    QLineEdit* search() { return w->findChild<QLineEdit*>("TxtBusca"); }
    DataGrid* grid() { return w->findChild<DataGrid*>("DBGrid1"); }
    void cellFilter(const QString& nome, const QString& heading) { standOn(cursor(), nome), doubleClick(grid(), cursor(), heading); }
    void buttonsEnabled(bool on) {
        for (const char* b : {"BtReset", "BtImprimir", "BtOs", "BtLocAp"}) EXPECT_EQ(button(b)->isEnabled(), on) << b;
        EXPECT_EQ(grid()->view()->focusPolicy(), on ? Qt::StrongFocus : Qt::NoFocus);
    }
};

const QString Heading = "APARELHOS EM MANUTENÇÃO";
const QString Pronto = "APARELHOS EM MANUTENÇÃO : STATUS =  \"PRONTO\"";
const QStringList ByOs = {"ANA", "MARTA", "BRUNO", "MARCOS", "ZECA"};
const QStringList ByName = {"ANA", "BRUNO", "MARCOS", "MARTA", "ZECA"};

} // namespace

TEST_F(ManutencaoTest, TheListThroughItsScenarios) {
    qint64 os[5] = {};   // ANA, MARTA, BRUNO, MARCOS, ZECA
    QString seen;
    const auto key = [this](Qt::Key k) { Typing::key(search(), k); };
    const auto sql = [](const char* s) { Database::openDefault().execute(QString::fromUtf8(s)); };
    const QStringList three = {"ANA", "BRUNO", "MARCOS"};
    const ListScenario list{[this] { return static_cast<QWidget*>(w); }, [this]() -> RecordCursor& { return cursor(); }};
    list.run({
        {"an empty workshop: nothing to work, print says so, F11 does nothing",
         [&] { openList(); key(Qt::Key_F11); w->BtImprimir_Click(); },
         {"! Aparelhos em Manutenção: Não existe nenhum Aparelho Selecionado"}, {}, "", Heading, 0,
         [&] { buttonsEnabled(false); EXPECT_EQ(Modulo::OsAtual, 0); }},
        {"orders taken meanwhile show after F5, on the last one",
         [&] {
             for (int i = 0; i < 5; ++i) os[i] = addOrder(ByOs[i], i == 0 || i == 2 ? Fields{{"Status", "PRONTO"}} : Fields{});
             key(Qt::Key_F5);
         },
         {}, ByOs, "ZECA", Heading, 0, [&] {
             buttonsEnabled(true);
             EXPECT_EQ(Modulo::OsAtual, os[4]);
             EXPECT_TRUE(grid()->view()->selectionModel()->isRowSelected(4, {}));
         }},
        {"a search orders the list by name", [&] { ListSteps::search(search(), "ma'"); }, {}, ByName, "MARCOS", Heading, 0,
         [&] { EXPECT_EQ(search()->text(), "MA"); EXPECT_EQ(FrmManutencao::rememberedSearch(), "MA"); }},
        {"print with a current row: the list print offers that order",
         [&] {
             ModalScript print([&](QWidget* d) {
                 seen = d->findChild<QRadioButton*>("Option3")->text();
                 d->findChild<QPushButton*>("BtFechar")->click();
             }, 10000, "FrmImpAp");
             button("BtImprimir")->click();
             EXPECT_TRUE(print.done());
         },
         {}, ByName, "MARCOS", Heading, 0, [&] { EXPECT_EQ(seen, QStringLiteral("OS Selecionada (%1)").arg(os[3])); }},
        {"a cell filter: the same status, by order number, blinking", [&] { cellFilter("BRUNO", "STATUS"); }, {},
         {"ANA", "BRUNO"}, "BRUNO", Pronto, 1,
         [&] { EXPECT_EQ(Modulo::SqlFiltroManutencao, "SELECT * FROM TblManutencao WHERE Status = 'PRONTO' ORDER BY Os"); }},
        {"in name order a search stays within the filter", [&] { ListSteps::search(search(), "MAR"); }, {},
         {"ANA", "BRUNO"}, "ANA", Pronto, 1},
        {"F5 from the grid: the whole table; the last filter is kept",
         [&] { grid()->view()->setFocus(); Typing::key(grid()->view(), Qt::Key_F5); }, {}, ByOs, "ZECA", Heading, 0,
         [&] { EXPECT_EQ(Modulo::TituloFiltroManutencao, Pronto); }},
        {"the first search after F5 drops a filter",
         [&] { cellFilter("ANA", "STATUS"); ListSteps::search(search(), "MAR"); }, {}, ByName, "MARCOS", Heading, 0},
        {"opened again: the last search comes back, in table order",
         [&] { w->close(); QApplication::processEvents(); openList(); }, {}, ByOs, "ZECA", Heading, 0,
         [&] { EXPECT_EQ(search()->text(), "MAR"); EXPECT_EQ(search()->cursorPosition(), 3); }},
        {"a filter on a row checked out elsewhere says so and resets",
         [&] { standOn(cursor(), "ZECA"), sql("DELETE FROM TblManutencao WHERE Nome = 'ZECA'"), doubleClick(grid(), cursor(), "CLIENTE"); },
         {"! Erro ao tentar Filtrar Registros: Não é possível Filtrar através deste Registro!"},
         {"ANA", "MARTA", "BRUNO", "MARCOS"}, "MARCOS", Heading, 0},
        {"F11 opens the current order; its row shows what was stored, in place",
         [&] {
             cellFilter("MARTA", "STATUS"), standOn(cursor(), "MARTA");
             ModalScript order([&](QWidget* d) {
                 seen = d->windowTitle();
                 sql("UPDATE TblManutencao SET Status = 'PRONTO' WHERE Nome = 'MARTA'");
                 d->findChild<QPushButton*>("BtFechar")->click();
             }, 10000, "FrmOS");
             key(Qt::Key_F11);
         },
         {}, {"MARTA", "MARCOS"}, "MARTA", "", 1, [&] {
             EXPECT_EQ(seen, QStringLiteral("Ordem de Serviço Número: %1").arg(os[1]));
             EXPECT_EQ(grid()->view()->model()->index(0, 7).data().toString(), "PRONTO");
         }},
        {"an order checked out elsewhere: the service order says so and the list loses it",
         [&] {
             w->BtReset_Click(), standOn(cursor(), "MARTA");
             sql("DELETE FROM TblManutencao WHERE Nome = 'MARTA'"), button("BtOs")->click();
         },
         {"X Aparelhos em Manutenção: É Possível que já tenha sido dado Saída neste Aparelho,\r3021__"}, three, "MARCOS",
         Heading, 0},
        {"F10 opens the search that moves the list",
         [&] {
             ModalScript find([&](QWidget* d) {
                 d->findChild<QLineEdit*>("TxtBusca")->setText(QString::number(os[3]));
                 d->findChild<QPushButton*>("BtIniciar")->click();
             }, 10000, "FrmLocAp");
             key(Qt::Key_F10);
         },
         {}, three, "MARCOS"},
        {"the first-row button", [&] { button("BtMove1")->click(); }, {}, three, "ANA"},
    });
}

TARVEL_TEST_MAIN()
