// The list of delivered appliances through its scenarios.
#include "delivereddata.h"

#include "app/windowregistry.h"
#include "orders/frmapentregues.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/liststeps.h"
#include "support/modal.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/gridmodel.h"
#include "ui/windowhost.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace DeliveredData;

namespace {

struct ApEntreguesTest : ProgramFolderTest {
    FrmApEntregues* w = nullptr;
    void TearDown() override {
        WindowRegistry::clear();
        ProgramFolderTest::TearDown();
    }
    RecordCursor& cursor() { return w->dataFrmApEnt(); }
    QLineEdit* search() { return w->findChild<QLineEdit*>("TxtBusca"); }
    DataGrid* grid() { return w->findChild<DataGrid*>("DBGrid1"); }
};

const QString Heading = QStringLiteral("APARELHOS ENTREGUES");
QString filtered(const QString& field, const QString& shown) {
    return QStringLiteral("TODOS OS APARELHOS ENTREGUES : %1 =  \"%2\"").arg(field, shown);
}

} // namespace

TEST_F(ApEntreguesTest, TheListThroughItsScenarios) {
    const ListScenario list{[this] { return static_cast<QWidget*>(w); }, [this]() -> RecordCursor& { return cursor(); }};
    std::vector<ListStep> steps = {
        {"an empty table: F5 keeps it, F11 and print say so, F10 opens the search",
         [&] {
             w = FrmApEntregues::open();
             ASSERT_NE(w, nullptr);
             w->resize(1100, 500);
             QApplication::processEvents();
             for (Qt::Key k : {Qt::Key_F5, Qt::Key_F11}) Typing::key(search(), k);
             ModalScript dialog([](QWidget* d) { d->close(); }, 10000, "FrmLocApEntregue");
             Typing::key(search(), Qt::Key_F10);
             EXPECT_TRUE(dialog.done());
             w->BtImprimir_Click();
         },
         {"! Aparelhos Entregues: Não existe nenhum Aparelho para visualizar os Detalhes",
          "! Aparelhos Entregues: Não existe nada a Imprimir"},
         {}, "", Heading, 0},
        {"rows written meanwhile show after F5 in key order",
         [&] {
             addDelivered(1234, "ANA", {{"IdApEntregues", 1}, {"NumSerie", "12345"}});
             addDelivered(1300, "BETO", {{"IdApEntregues", 2}, {"Garantia de Serviço", false}, {"ValorCobrado", money(15000)},
                                         {"NumSerie", "012345"}, {"DataSaida", QDate(2026, 11, 1)}});
             addDelivered(1100, "CARLA", {{"IdApEntregues", 5}, {"HoraSaida", QTime(8, 0, 0)}, {"Tecnico", QVariant()},
                                          {"DataSaida", QDate(2026, 12, 6)}});
             addDelivered(1200, "DIANA", {{"IdApEntregues", 4}, {"DataSaida", QDate(2026, 12, 4)}});
             Typing::key(search(), Qt::Key_F5);
         },
         {}, {"ANA", "BETO", "DIANA", "CARLA"}, "CARLA", Heading, 0},
        {"print with a current row: the list print on that appliance",
         [&] {
             Modulo::IdApEntregueAtual = 0;
             ModalScript print([](QWidget* d) { d->findChild<QPushButton*>("BtFechar")->click(); }, 10000, "FrmImpApEntr");
             w->findChild<QPushButton*>("BtImprimir")->click();
             EXPECT_TRUE(print.done());
         },
         {}, {"ANA", "BETO", "DIANA", "CARLA"}, "CARLA", Heading, 0, [] { EXPECT_EQ(Modulo::IdApEntregueAtual, 5); }},
    };
    // The cell filters: the heading names the field with the text shown; a
    // date or a time lists by order number, the others by exit date.
    struct Filter {
        const char* nome;
        const char* column;
        QString heading;
        QStringList rows;
    };
    const Filter filters[] = {
        {"ANA", "GS", filtered("GARANTIA DE SERVIÇO", "Sim"), {"DIANA", "ANA", "CARLA"}},
        {"ANA", "VALOR", filtered("VALORCOBRADO", "150,50"), {"DIANA", "ANA", "CARLA"}},
        {"ANA", "NÚM SÉRIE", filtered("NUMSERIE", "12345"), {"ANA"}},
        {"ANA", "HORA", filtered("HORASAIDA", "16:40:00"), {"DIANA", "ANA", "BETO"}},
        {"ANA", "SAÍDA", filtered("DATASAIDA", "05/12/2026"), {"ANA"}},
        {"CARLA", "TÉCNICO", filtered("TECNICO", ""), {"CARLA"}},
    };
    for (const Filter& f : filters) {
        steps.push_back({f.column,
                         [this, p = &f] {
                             w->BtReset_Click();
                             ListSteps::standOn(cursor(), p->nome);
                             ListSteps::doubleClick(grid(), cursor(), QString::fromUtf8(p->column));
                         },
                         {}, f.rows, f.rows.last(), f.heading, 1,
                         [p = &f] { EXPECT_EQ(Modulo::TituloFiltroEntregues, p->heading); }});
    }
    steps.push_back({"keys far apart keep the key order",
                     [&] {
                         addDelivered(1, "FAR", {{"IdApEntregues", 100000}});
                         addDelivered(2, "NEAR", {{"IdApEntregues", 7}});
                         w->BtReset_Click();
                     },
                     {}, {"ANA", "BETO", "DIANA", "CARLA", "NEAR", "FAR"}, "FAR", Heading, 0});
    // The list's own name search: the whole table by name, the text remembered; a name not listed goes to the
    // first row and shows red.
    const QStringList byName = {"ANA", "BETO", "CARLA", "DIANA", "FAR", "NEAR"};
    const auto searchColour = [this](const QColor& c) { EXPECT_EQ(search()->palette().color(QPalette::Text), c); };
    steps.push_back({"a name search after a filter: the whole table by name",
                     [&] {
                         ListSteps::standOn(cursor(), "ANA"), ListSteps::doubleClick(grid(), cursor(), "GS");
                         ListSteps::search(search(), "ca'");
                     },
                     {}, byName, "CARLA", Heading, 0, [&] {
                         EXPECT_EQ(FrmApEntregues::rememberedSearch(), "CA");
                         searchColour(QColor(0, 0, 255));
                     }});
    steps.push_back({"a name not listed", [&] { ListSteps::search(search(), "XX"); }, {}, byName, "ANA", Heading, 0,
                     [&] {
                         searchColour(QColor(255, 0, 0));
                         EXPECT_EQ(cursor().absolutePosition(), 0);
                     }});
    steps.push_back({"opened again: the last search comes back, in key order",
                     [&] {
                         w->close();
                         QApplication::processEvents();
                         ASSERT_NE(w = FrmApEntregues::open(), nullptr);
                     },
                     {}, {"ANA", "BETO", "DIANA", "CARLA", "NEAR", "FAR"}, "FAR", Heading, 0,
                     [&] { EXPECT_EQ(search()->text(), "XX"); }});
    // Another copy renames the customer of the current row: the filter would list nothing.
    steps.push_back({"a filter left without rows says so and lists the whole table",
                     [&] {
                         ListSteps::standOn(cursor(), "DIANA");
                         Database::openDefault().execute("UPDATE TblApEntregues SET Nome = 'DIANA MARIA' WHERE Os = 1200");
                         ListSteps::doubleClick(grid(), cursor(), "CLIENTE");
                     },
                     {"! Erro ao tentar Filtrar Registros: Não é possível Filtrar através deste Registro!"},
                     {"ANA", "BETO", "DIANA MARIA", "CARLA", "NEAR", "FAR"}, "FAR", Heading, 0});
    list.run(steps);
}

TARVEL_TEST_MAIN()
