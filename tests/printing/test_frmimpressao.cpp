// The print window of a service order: its options, the print count, the
// failures and long values.
#include "printdata.h"
#include "printing/frmimpressao.h"
#include "app/frmmdi.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/printedpages.h"
#include "support/storefaults.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/windowhost.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <algorithm>
#include <functional>
#include <tuple>

using namespace PrintData;
using namespace PrintedPages;

namespace {

constexpr double Tol = 0.05;
const QString Sent = QStringLiteral("Os Dados foram enviados para a Impressora. Aguarde!");

class FrmImpressaoTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 12, 6), QTime(15, 20, 0)));
        StoreFault::install();
        m_db = Database::openDefault();
    }
    void TearDown() override {
        m_db = Database();
        ProgramFolderTest::TearDown();
    }
    const RecordedPage& page(std::size_t d = 0, std::size_t n = 0) { return printer.target->documents.at(d).pages.at(n); }
    RecordingPrinter printer;
    Database m_db;
};

struct Options {
    bool stub = true, tags = true, previous = false, stubAlone = false;
};

QCheckBox* check(QWidget* w, const char* name) { return w->findChild<QCheckBox*>(name); }

void start(FrmImpressao& w) {
    w.findChild<QPushButton*>("BtIniciar")->click();
    w.findChild<WindowTimer*>("Timer1")->fire();
}

// Opens the window on an order, sets the options and runs `act` (empty:
// start); the window ends closed. Returns the messages shown.
QList<ShownBox> runJob(qint64 os, Options o = {}, const std::function<void(FrmImpressao&)>& act = {}) {
    return boxesDuring([&] {
        Modulo::OsAtual = std::int32_t(os);
        FrmImpressao w;
        w.show();
        check(&w, "Check1")->setChecked(o.stub);
        check(&w, "Check2")->setChecked(o.tags);
        check(&w, "Check3")->setChecked(o.previous);
        if (o.stubAlone) check(&w, "Check4")->click();
        act ? act(w) : start(w);
        EXPECT_FALSE(w.findChild<WindowTimer*>("Timer1")->isActive());
        EXPECT_FALSE(w.isVisible());
    });
}

// Column n of a font, in millimetres.
double column(const PrintFont& f, int n) { return (n - 1) * PrintMetrics::averageCharWidth(f); }

PrintFont narrow(double size, bool bold = false, bool italic = false) {
    return PrintFont{QStringLiteral("Arial Narrow"), size, bold, italic, false};
}

// The last text equal to `text`.
const PrintOp* findLast(const RecordedPage& pg, const QString& text) {
    const PrintOp* found = nullptr;
    for (const PrintOp* t : pg.texts())
        if (t->text == text) found = t;
    return found;
}

const PrintOp* startingWith(const RecordedPage& pg, const QString& prefix) {
    for (const PrintOp* t : pg.texts())
        if (t->text.startsWith(prefix)) return t;
    return nullptr;
}

} // namespace

// The window's scenarios: the options, what comes out (pages of each
// document), the messages and the print count afterwards.
TEST_F(FrmImpressaoTest, Scenarios) {
    const QString failed = QStringLiteral("Não foi possível imprimir esta Ordem de Serviço\rVerifique se a impressora está "
                                          "ligada e funcionando corretamente!\rA impressora está parada__483");
    const QString reportFailed = QStringLiteral("Não foi possível imprimir o Relatório de Manutenção Anteriores.\rVerifique se "
                                                "a impressora está ligada e funcionando corretamente!\rSe o problema persistir "
                                                "Contacte o Suporte Técnico!\rSem papel__483");
    struct Row {
        const char* name;
        Options options;
        int previous;                           // earlier repairs of the appliance
        std::function<void(FrmImpressao&)> act;   // the operator (empty: start)
        std::function<void(RecordingTarget&)> printerState;
        QStringList messages;
        std::vector<int> pages;
        qlonglong via;
        int stubs, tags;                        // on the order's page
    };
    const auto cancel = [](FrmImpressao& w) { w.findChild<QPushButton*>("BtFechar")->click(); };
    const Row rows[] = {
        {"all options but the report", {}, 0, {}, {}, {Sent}, {1}, 1, 1, 4},
        {"no stub, no tags", {false, false}, 0, {}, {}, {Sent}, {1}, 1, 0, 0},
        {"report of 13 repairs: 6 then 7 a page", {true, true, true}, 13, {}, {}, {Sent}, {1, 2}, 1, 1, 4},
        {"report of 14 repairs: a third page", {false, false, true}, 14, {}, {}, {Sent}, {1, 3}, 1, 0, 0},
        {"report without earlier repairs", {false, false, true}, 0, {}, {}, {Sent}, {1}, 1, 0, 0},
        {"stub alone, whatever the options", {true, true, true, true}, 3, {}, {}, {Sent}, {1}, 0, 1, 0},
        {"cancel", {}, 0, cancel, {}, {}, {}, 0, 0, 0},
        {"Esc cancels", {}, 0, [](FrmImpressao& w) { Typing::key(check(&w, "Check1"), Qt::Key_Escape); }, {}, {}, {},
         0, 0, 0},
        {"closed after the start: the job does not run", {}, 0, [](FrmImpressao& w) {
             w.findChild<QPushButton*>("BtIniciar")->click();
             w.close();
         }, {}, {}, {}, 0, 0, 0},
        {"tags without the stub", {false, true}, 0, {}, {}, {Sent}, {1}, 1, 0, 4},
        {"the stub without tags", {true, false}, 0, {}, {}, {Sent}, {1}, 1, 1, 0},
        {"Enter starts", {}, 0, [](FrmImpressao& w) {
             Typing::key(check(&w, "Check1"), Qt::Key_Return);
             w.findChild<WindowTimer*>("Timer1")->fire();
         }, {}, {Sent}, {1}, 1, 1, 4},
        {"order gone meanwhile", {}, 0, [](FrmImpressao& w) {
             Database::openDefault().execute(QStringLiteral("DELETE FROM TblManutencao"));
             start(w);
         }, {}, {QStringLiteral("não foi encontrada")}, {}, -1, 0, 0},
        {"printer fails", {}, 0, {},
         [](RecordingTarget& t) { t.setFailure(PrintErrorCode::PrinterFailed, QStringLiteral("A impressora está parada")); },
         {failed}, {}, 0, 0, 0},
        {"report fails after the order went out", {true, true, true}, 1, {},
         [](RecordingTarget& t) { t.setFailure(PrintErrorCode::PrinterFailed, QStringLiteral("Sem papel"), 1); },
         {reportFailed, Sent}, {1}, 1, 1, 4},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblManutencao"));
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblApEntregues"));
        printer.target->documents.clear();
        printer.target->clearFailure();
        const qint64 os = addOrder();
        for (int i = 1; i <= r.previous; ++i) addDelivered(100 + i);
        addDelivered(900, {{"NumSerie", QStringLiteral("OUTRA")}});   // another appliance's
        addDelivered(901, {{"Modelo", QStringLiteral("PH30")}});
        if (r.printerState) r.printerState(*printer.target);
        const QList<ShownBox> boxes = runJob(os, r.options, r.act);
        expectBoxes(boxes, r.messages);
        EXPECT_EQ(pageCounts(*printer.target), r.pages);
        if (r.via >= 0) { EXPECT_EQ(via(os), r.via); }
        if (r.pages.empty()) continue;
        const RecordedPage& pg = page();
        EXPECT_FALSE(startingWith(pg, QStringLiteral("ESTE CLIENTE POSSUI")));   // his only order in the shop
        EXPECT_EQ(count(pg, QStringLiteral("Núm.de Série")), r.stubs);
        EXPECT_EQ(count(pg, QStringLiteral("ORÇ")), r.tags);
        if (r.options.stubAlone) {
            EXPECT_NEAR(pg.texts().front()->y, 20, 0.05);
            EXPECT_FALSE(pg.findText(QStringLiteral("---------- DADOS DO CLIENTE ----------")));
        }
        // The earlier repairs of this appliance only.
        const PrintOp* list = startingWith(pg, QStringLiteral("OS's:"));
        EXPECT_EQ(list != nullptr, r.previous > 0 && !r.options.stubAlone);
        if (list) { EXPECT_EQ(list->text.count(QStringLiteral(" 00")), r.previous) << list->text.toStdString(); }
        if (r.pages.size() < 2) continue;
        // The report: every page under its title and number, 6 blocks then 7.
        const auto& report = printer.target->documents.at(1).pages;
        for (std::size_t n = 0; n < report.size(); ++n) {
            const RecordedPage& rp = report[n];
            EXPECT_TRUE(rp.findText(QStringLiteral("=== Manutenções Anteriores do Aparelho: TELEVISOR Marca: PHILCO Modelo: "
                                                   "PH29 Número de Série: SN12345 ===")));
            EXPECT_EQ(after(rp, rp.findText(QStringLiteral("Página: ")))->text, QStringLiteral(" %1 ").arg(n + 1));
            int blocks = 0;
            for (const PrintOp* t : rp.texts()) blocks += t->text.startsWith(QStringLiteral("Defeito: "));
            EXPECT_EQ(blocks, std::min(n == 0 ? 6 : 7, r.previous - (n == 0 ? 0 : 6 + 7 * int(n - 1))));
            EXPECT_FALSE(rp.findText(QStringLiteral(" 900 ")));
        }
    }
}

// The count goes up by one after the page went out, an older order without a
// count (NULL) and two copies printing the same order included. A count the
// disk refuses is reported as exactly that (printed, count not raised, the
// cause), never as a printer failure; the next print counts again.
TEST_F(FrmImpressaoTest, ThePrintCount) {
    StoreFault::install();
    struct Row {
        QVariant stored;
        StoreFault::Kind fault;
        int windows;             // copies of the window opened before either prints
        const char* shown;       // on the last page
        qlonglong after;
    };
    const Row rows[] = {{QVariant(), StoreFault::None, 1, " 1 ", 1},
                        {3, StoreFault::None, 1, " 4 ", 4},
                        {0, StoreFault::None, 2, " 2 ", 2},
                        {3, StoreFault::DiskFull, 1, " 4 ", 3},
                        {QVariant(), StoreFault::IoError, 1, " 1 ", 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.shown);
        const qint64 os = addOrder({{"Via", r.stored}});
        Modulo::OsAtual = std::int32_t(os);
        QList<ShownBox> boxes;
        {
            StoreFault fault(r.fault);
            boxes = boxesDuring([&] {
                std::vector<std::unique_ptr<FrmImpressao>> windows;
                for (int i = 0; i < r.windows; ++i) windows.push_back(std::make_unique<FrmImpressao>());
                for (auto& w : windows) start(*w);
            });
        }
        const RecordedPage& pg = printer.target->documents.back().pages.at(0);
        const PrintOp* label = pg.findText(QStringLiteral("Via:"));
        EXPECT_EQ(after(pg, label)->text, r.shown);
        EXPECT_EQ(after(pg, after(pg, label))->text, "ª");
        EXPECT_EQ(via(os), r.after);
        if (r.fault == StoreFault::None) {
            expectBoxes(boxes, QStringList(r.windows, Sent));
            continue;
        }
        expectBoxes(boxes, {QStringLiteral("A Ordem de Serviço N.: %1 foi impressa, mas o número de vias não pôde ser "
                                           "atualizado.").arg(os)});
        EXPECT_TRUE(boxes[0].text.contains(StoreFault::causeWords(r.fault))) << boxes[0].text.toStdString();
        EXPECT_FALSE(boxes[0].text.contains(QStringLiteral("impressora")));
        expectBoxes(runJob(os), {Sent});
        EXPECT_EQ(via(os), r.after + 1);
    }
}

// Every field at the longest the typing boxes accept, and at a long length a
// shop really types: the order's page with its stub, and the previous-repairs
// report of 20 earlier repairs, print every value whole inside the page.
// Stored apostrophes are quoted in the report's query.
TEST_F(FrmImpressaoTest, LongFieldsPrintWholeInsideThePage) {
    const auto w = PrintData::longText;
    struct Row {
        const char* name;
        Fields order, company;
    };
    const Row rows[] = {
        {"longest", {{"Nome", w(50)}, {"Endereco", w(50)}, {"Complemento", w(20)}, {"Bairro", w(18)},
                     {"Cidade", w(18)}, {"TelResidencia", w(15)}, {"TelComercial", w(15)}, {"Fax", w(15)},
                     {"Celular", w(15)}, {"Aparelho", w(16)}, {"Marca", w(16)}, {"Modelo", w(14)}, {"Chassis", w(12)},
                     {"NumSerie", w(15)}, {"Tensao", w(10)}, {"Defeito", w(55)}, {"EstadoAparelho", w(55)},
                     {"Acessorios", w(50)}, {"Loja", w(20)}, {"DataCompra", w(13)}, {"NotaFiscal", w(15)},
                     {"GarComplementar", w(15)}, {"Status", w(13)}, {"Tecnico", w(14)}, {"OperadorEnt", w(14)},
                     {"Tipo", QStringLiteral("GAR. DE SERVIÇO")}},
         {{"NomeFantasia", w(25)}, {"Sigla", w(2)}, {"Endereco", w(50)}, {"Email", w(45)}, {"CGC", w(20)},
          {"Cidade", w(20)}, {"Fone1", w(15)}, {"Fone2", w(15)}, {"Fax", w(15)}, {"Msg1", w(100)},
          {"Msg2", QStringLiteral("SEGUNDA ") + w(92)}, {"Msg3", QStringLiteral("TERCEIRA ") + w(91)}}},
        {"realistic", {{"Nome", QStringLiteral("MARIA APARECIDA DOS SANTOS OLIVEIRA DE ALBUQUERQUE")},
                       {"Marca", QStringLiteral("CONTINENTAL 2001")}, {"Modelo", QStringLiteral("D'OR WWWWWWWW2")},
                       {"NumSerie", QStringLiteral("SN'01")}, {"NotaFiscal", QStringLiteral("000123456789012")}},
         {{"NomeFantasia", QStringLiteral("ELETRÔNICA SÃO JUDAS TADEU")}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblApEntregues"));
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblManutencao"));
        printer.target->documents.clear();
        const qint64 os = addOrder(r.order);
        for (int i = 0; i < 8; ++i) addOrder();
        // As many previous repairs as pass the order column, or the right edge.
        const bool realistic = QString::fromUtf8(r.name) == QStringLiteral("realistic");
        for (int i = 0; i < (realistic ? 13 : 20); ++i)
            addDelivered(10000 + i, {{"Aparelho", r.order.value("Aparelho", QStringLiteral("TELEVISOR"))},
                                     {"Marca", r.order.value("Marca", QStringLiteral("PHILCO"))},
                                     {"Modelo", r.order.value("Modelo", QStringLiteral("PH29"))},
                                     {"NumSerie", r.order.value("NumSerie", QStringLiteral("SN12345"))},
                                     {"Nome", r.order.value("Nome")}, {"Defeito", r.order.value("Defeito")},
                                     {"Acessorios", r.order.value("Acessorios")},
                                     {"Relatorio0", QStringLiteral("WWWWW 99 WWW ") + w(39) + QStringLiteral(" 9999,00")},
                                     {"Relatorio1", QStringLiteral("F01 10 UN FLYBACK DE ALTA TENSÃO 45,95")},
                                     {"Relatorio2", QStringLiteral("WWWWW 99 WWW ") + w(39) + QStringLiteral(" 9999,00")}});
        setCompany(r.company);
        expectBoxes(runJob(os, {true, true, true, false}), {Sent});
        ASSERT_EQ(pageCounts(*printer.target).size(), 2u);
        EXPECT_EQ(pageCounts(*printer.target)[0], 1);
        QStringList values;
        for (const QVariant& v : r.order) values << v.toString();
        for (const QVariant& v : r.company) values << v.toString();
        values << QStringLiteral("OS's: 10000  10001  10002 ");
        expectWholeInside(page(), values);
        for (const RecordedPage& pg : printer.target->documents[1].pages)
            expectWholeInside(pg, {r.order.value("Modelo").toString(), r.order.value("Marca").toString(),
                                   "FLYBACK DE ALTA TENSÃO 45,95"});
        // The tab rule: a right-hand entry stays beside a value that ends
        // by its column, and goes to the next line after one that passes it.
        const RecordedPage& pg = page();
        for (const auto& [left, right, col] : {std::tuple{"Nome:", "Tel.Res.:", 75}, std::tuple{"Endereço:", "Tel.Com.:", 75},
                                               std::tuple{"Aparelho:", "Marca:", 41}, std::tuple{"Marca:", "Modelo:", 71}})
            expectTabbed(pg, after(pg, pg.findText(QString::fromUtf8(left))), pg.findText(QString::fromUtf8(right)), col);
        const PrintOp* nota = pg.findText(QStringLiteral("Nota Fiscal:"));
        const auto texts = pg.texts();
        const auto bar = std::find(texts.begin(), texts.end(), nota) - 1;
        ASSERT_EQ((*bar)->text, QStringLiteral("|"));
        expectTabbed(pg, startingWith(pg, QStringLiteral("OS's:")), *bar, 118);
        // The stub's footer after its accessories, by the tab rule.
        expectTabbed(pg, after(pg, findLast(pg, QStringLiteral("Acessórios"))), pg.findText(QStringLiteral("Tarvel")), 142);
        if (QString::fromUtf8(r.name) == QStringLiteral("realistic")) {
            // Values a shop really types print at their size beside their entries.
            // Thirteen previous repairs pass the order column, not the right
            // edge: whole at their size, the entry on the next line.
            const PrintOp* list = startingWith(pg, QStringLiteral("OS's:"));
            EXPECT_EQ(pg.fontOf(*list).size, 10);
            EXPECT_GT((*bar)->y, list->y);
            for (const char* field : {"Nome", "Marca", "Modelo"}) {
                const PrintOp* t = pg.findText(r.order.value(QString::fromLatin1(field)).toString());
                ASSERT_TRUE(t) << field;
                EXPECT_EQ(pg.fontOf(*t).size, 10) << field;
            }
            EXPECT_NEAR(pg.findText(QStringLiteral("Endereço:"))->y, pg.findText(QStringLiteral("Tel.Com.:"))->y, Tol);
        }
    }
}

TEST_F(FrmImpressaoTest, OpensOnTheOrderWithItsOptions) {
    const qint64 os = addOrder();
    Modulo::OsAtual = std::int32_t(os);
    FrmImpressao w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Impressão da Ordem de Serviço: %1").arg(os));
    EXPECT_EQ(w.findChild<QLabel*>("Label2")->text(), QString::number(os));
    EXPECT_TRUE(check(&w, "Check1")->isChecked());
    EXPECT_TRUE(check(&w, "Check2")->isChecked());
    EXPECT_FALSE(check(&w, "Check3")->isChecked());
    EXPECT_FALSE(check(&w, "Check4")->isChecked());
    for (const char* hidden : {"Label1", "Label2", "PgBar", "Image1"})
        EXPECT_TRUE(w.findChild<QWidget*>(hidden)->isHidden()) << hidden;

    // The stub alone greys out the three options, keeping their ticks.
    check(&w, "Check3")->setChecked(true);
    check(&w, "Check4")->click();
    for (const char* c : {"Check1", "Check2", "Check3"}) EXPECT_FALSE(check(&w, c)->isEnabled()) << c;
    check(&w, "Check4")->click();
    for (const char* c : {"Check1", "Check2", "Check3"}) {
        EXPECT_TRUE(check(&w, c)->isEnabled()) << c;
        EXPECT_TRUE(check(&w, c)->isChecked()) << c;
    }
}

// The page's blocks against their columns, sizes and styles; the priority
// in bold only when urgent, and the line after it regular either way.
TEST_F(FrmImpressaoTest, ServiceOrderPageLayout) {
    setCompany({{"NomeFantasia", QStringLiteral("ELETRÔNICA ÁGIL")}, {"Sigla", QStringLiteral("EA")}});
    for (const char* priority : {"URGENTE", "NORMAL"}) {
        SCOPED_TRACE(priority);
        printer.target->documents.clear();
        const qint64 os = addOrder({{"prioridade", QString::fromLatin1(priority)}});
        const QList<ShownBox> boxes = runJob(os);
        expectBoxes(boxes, {Sent});
        EXPECT_EQ(boxes[0].title, QStringLiteral("Impressão de Ordem de Serviço"));
        EXPECT_EQ(boxes[0].icon, MsgIcon::Information);
        ASSERT_EQ(pageCounts(*printer.target), std::vector<int>{1});
        const RecordedPage& pg = page();
        EXPECT_EQ(pg.orientation, PrintOrientation::Portrait);
        EXPECT_EQ(printer.target->documents[0].copies, 1);
        const QString number = QStringLiteral("%1").arg(os, 5, 10, QLatin1Char('0'));

        // Row 2: the trade name at column 16 of 20 points, the order number in bold.
        const PrintOp* name = pg.findText("ELETRÔNICA ÁGIL");
        ASSERT_TRUE(name);
        EXPECT_NEAR(name->x, column(narrow(20), 16), Tol);
        EXPECT_NEAR(name->y, PrintMetrics::lineHeight(narrow(20)), Tol);
        EXPECT_EQ(pg.fontOf(*name), narrow(20));
        EXPECT_EQ(pg.fontOf(*pg.findText("Ordem de Serviço:")).size, 16);
        const PrintOp* num = pg.findText(number);
        ASSERT_TRUE(num);
        EXPECT_EQ(pg.fontOf(*num), narrow(20, true));
        EXPECT_TRUE(pg.findText("Nº"));

        // The order column: "|" at column 118 of 10 points, entries after it.
        const double col118 = column(narrow(10), 118);
        const PrintOp* entrada = pg.findText("Entrada:");
        ASSERT_TRUE(entrada);
        EXPECT_NEAR(entrada->x, col118 + PrintMetrics::textWidth(narrow(10), "| "), Tol);
        EXPECT_EQ(after(pg, entrada)->text, "01/12/2026");
        EXPECT_EQ(after(pg, pg.findText("Hora:"))->text, "14:35");
        const PrintOp* via = pg.findText("Via:");
        EXPECT_EQ(after(pg, via)->text, " 1 ");
        EXPECT_EQ(after(pg, after(pg, via))->text, "ª");
        EXPECT_NEAR(via->y, entrada->y + 2 * PrintMetrics::lineHeight(narrow(10)), Tol);

        // Customer block: the name in bold, phones at column 75.
        const PrintOp* nome = after(pg, pg.findText("Nome:"));
        EXPECT_EQ(nome->text, "JOSÉ DA CONCEIÇÃO");
        EXPECT_TRUE(pg.fontOf(*nome).bold);
        EXPECT_NEAR(pg.findText("Tel.Res.:")->x, column(narrow(10), 75), Tol);
        EXPECT_EQ(after(pg, pg.findText("Código"))->text, " 7 ");
        EXPECT_NEAR(pg.findText("Marca:")->x, column(narrow(10), 41), Tol);
        EXPECT_NEAR(pg.findText("Tensão:")->x, column(narrow(10), 78), Tol);

        // The priority: bold when urgent; the technician's line after it regular.
        const PrintOp* prio = pg.findText(QString::fromLatin1(priority));
        ASSERT_TRUE(prio);
        EXPECT_EQ(pg.fontOf(*prio).bold, std::string(priority) == "URGENTE");
        const PrintOp* tecnico = after(pg, pg.findText("Técnico:"));
        EXPECT_EQ(tecnico->text, "CARLOS");
        EXPECT_FALSE(pg.fontOf(*tecnico).bold);
        EXPECT_FALSE(pg.fontOf(*pg.findText("Técnico:")).bold);

        // The factory-warranty heading on every order, its values in bold.
        EXPECT_TRUE(pg.findText("--- GARANTIA FÁBRICA ---"));
        EXPECT_TRUE(pg.fontOf(*after(pg, pg.findText("Loja:"))).bold);
        EXPECT_EQ(after(pg, pg.findText("Data Compra:"))->text, "10/10/2026");
        EXPECT_TRUE(pg.fontOf(*after(pg, pg.findText("Data Compra:"))).bold);

        // No previous repairs and a single open order: labels alone.
        EXPECT_EQ(after(pg, pg.findText("Manut.Anteriores:"))->text, "|");
        EXPECT_EQ(after(pg, pg.findText("OBS:"))->text, "|");
        EXPECT_EQ(Modulo::SqlFiltroEntregues,
                  "SELECT * FROM TblApEntregues WHERE Aparelho = 'TELEVISOR' AND Marca = 'PHILCO' AND Modelo = 'PH29' "
                  "AND NumSerie = 'SN12345'");

        // Each row's entries side by side: the left part's label and the
        // order column's label on one line, each value right after its label.
        const double line = PrintMetrics::lineHeight(narrow(10));
        const std::pair<QString, QString> rows[] = {
            {"Nome:", "Hora:"}, {"Endereço:", "Via:"}, {"Complemento:", "Tipo:"}, {"Bairro:", "Atendimento:"},
            {"Cidade:", "Operador:"}, {QString(140, '-'), "Status:"},
            {"---------- DADOS DO APARELHO ----------", "Prioridade:"}, {{}, "Técnico:"}, {"Aparelho:", "Conclusão:"},
            {"Chassis:", QString(40, '-')}, {"Defeito:", "--- GARANTIA FÁBRICA ---"}, {"Estado do Aparelho:", "Loja:"},
            {"Acessórios:", "Data Compra:"}, {"Manut.Anteriores:", "Nota Fiscal:"}, {"OBS:", "Gar.Comp.:"}};
        double previous = entrada->y;
        for (const auto& [left, right] : rows) {
            const PrintOp* r = pg.findText(right);
            ASSERT_TRUE(r) << right.toStdString();
            EXPECT_NEAR(r->x, col118 + PrintMetrics::textWidth(narrow(10), "| "), Tol) << right.toStdString();
            EXPECT_NEAR(r->y - previous, line, Tol) << right.toStdString();
            previous = r->y;
            if (left.isEmpty()) continue;
            const PrintOp* l = pg.findText(left);
            ASSERT_TRUE(l) << left.toStdString();
            EXPECT_NEAR(l->y, r->y, Tol) << left.toStdString();
        }
        const std::pair<const char*, const char*> values[] = {
            {"Endereço:", "RUA DAS ACÁCIAS, 120"}, {"Complemento:", "APTO 3"}, {"Bairro:", "JARDIM SÃO JOÃO"},
            {"Cidade:", "CAMPINAS"}, {"Estado:", "SP"}, {"Tel.Res.:", "(19) 3232-1111"}, {"Tel.Com.:", "(19) 3232-2222"},
            {"Fax:", "(19) 3232-3333"}, {"Celular:", "(19) 99999-4444"}, {"Tipo:", "ORÇAMENTO"},
            {"Atendimento:", "INTERNO"}, {"Operador:", "ADMINISTRADOR"}, {"Status:", "EM SERVIÇO"},
            {"Aparelho:", "TELEVISOR"}, {"Marca:", "PHILCO"}, {"Modelo:", "PH29"}, {"Chassis:", "CH-77"},
            {"Num Série:", "SN12345"}, {"Tensão:", "110V"}, {"Defeito:", "NÃO LIGA"},
            {"Estado do Aparelho:", "RISCOS NA TAMPA"}, {"Acessórios:", "CONTROLE REMOTO"}, {"Loja:", "CASAS BAHIA"},
            {"Nota Fiscal:", "NF 5555"}, {"Gar.Comp.:", "12 MESES"}};
        for (const auto& [label, value] : values) {
            const PrintOp* v = after(pg, pg.findText(QString::fromUtf8(label)));
            ASSERT_TRUE(v) << label;
            EXPECT_EQ(v->text, QString::fromUtf8(value)) << label;
            EXPECT_EQ(pg.fontOf(*v).bold, QStringList({"Aparelho:", "Marca:", "Modelo:", "Loja:"}).contains(label))
                << label;
        }
        EXPECT_NEAR(pg.findText("--- ORDEM DE SERVIÇO ---")->x, column(narrow(10), 120), Tol);
        EXPECT_NEAR(pg.findText("--- ORDEM DE SERVIÇO ---")->y, pg.findText("---------- DADOS DO CLIENTE ----------")->y,
                    Tol);

        // The name row in italics, then the four tags.
        const PrintOp* serie = pg.findText("Número de Série");
        EXPECT_NEAR(serie->x, 166, Tol);
        EXPECT_EQ(pg.fontOf(*serie), narrow(9, false, true));
        const PrintOp* serieValue = after(pg, serie);
        EXPECT_NEAR(serieValue->x, 164, Tol);
        EXPECT_TRUE(pg.fontOf(*serieValue).bold);
        int numbers = 0;
        for (const PrintOp* t : pg.texts())
            numbers += t->text == number && pg.fontOf(*t).size == 20 && pg.fontOf(*t).italic;
        EXPECT_EQ(numbers, 4);
        EXPECT_EQ(count(pg, "EA"), 4);
        // Row 29, the customer's name under the signature line, in italics;
        // then the tags' row of dashes, the four tags with the date after the
        // first, the serial number and the name.
        const PrintOp* nameRow = after(pg, after(pg, pg.findText(QString(50, '_'))));
        EXPECT_EQ(nameRow->text, "JOSÉ DA CONCEIÇÃO");
        EXPECT_EQ(pg.fontOf(*nameRow), narrow(10, false, true));
        EXPECT_NEAR(nameRow->x, column(narrow(10, false, true), 12), Tol);
        const PrintOp* dashes = after(pg, nameRow);
        EXPECT_EQ(dashes->text, QString(138, '-'));
        EXPECT_EQ(pg.fontOf(*dashes), narrow(14, false, true));
        EXPECT_NEAR(dashes->y, nameRow->y + PrintMetrics::lineHeight(narrow(10, false, true)), Tol);
        const PrintOp* first = after(pg, dashes);
        EXPECT_NEAR(first->x, column(narrow(8, true, true), 3), Tol);
        QStringList tags;
        const PrintOp* t = first;
        const PrintOp* date = nullptr;
        for (; t && std::abs(t->y - first->y) < Tol; t = after(pg, t)) {
            tags << t->text;
            if (t->text == "01/12/2026") date = t;
            const double size = t->text == number ? 20 : t->text == "Número de Série" ? 9 : 8;
            const bool bold = t->text != "01/12/2026" && t->text != "Número de Série";
            EXPECT_EQ(pg.fontOf(*t), narrow(size, bold, true)) << t->text.toStdString();
        }
        EXPECT_EQ(tags, (QStringList{"ORÇ", number, "EA", "01/12/2026", "ORÇ", number, "EA", "ORÇ", number, "EA", "ORÇ",
                                     number, "EA", "Número de Série"}));
        ASSERT_TRUE(date);
        EXPECT_NEAR(after(pg, date)->x - date->x - PrintMetrics::textWidth(narrow(8, false, true), date->text),
                    27 * PrintMetrics::textWidth(narrow(8, true, true), " "), Tol);
        const double line9 = PrintMetrics::lineHeight(narrow(9, false, true));
        ASSERT_TRUE(t);
        EXPECT_EQ(t, serieValue);
        EXPECT_NEAR(t->y, first->y + line9, Tol);
        const PrintOp* lastName = after(pg, t);
        EXPECT_EQ(lastName->text, "JOSÉ DA CONCEIÇÃO");
        EXPECT_EQ(pg.fontOf(*lastName), narrow(9, false, true));
        EXPECT_NEAR(lastName->x, 0, Tol);
        EXPECT_NEAR(lastName->y, t->y + line9, Tol);
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblManutencao"));
    }
}

// The order types: their tag codes, grids and the lines under the grid.
TEST_F(FrmImpressaoTest, OrderTypesGiveTheirTagsAndGrids) {
    struct Row {
        const char* tipo;
        const char* code;
        bool factory;
    };
    const Row rows[] = {{"ORÇAMENTO", "ORÇ", false}, {"GAR. DE SERVIÇO", "GS", false}, {"GAR.DE FÁBRICA", "GF", true},
                        {"GAR. DE FÁBRICA", "ORÇ", false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.tipo);
        printer.target->documents.clear();
        const qint64 os = addOrder({{"Tipo", QString::fromUtf8(r.tipo)}});
        expectBoxes(runJob(os, {false, true}), {Sent});
        const RecordedPage& pg = page();
        EXPECT_EQ(count(pg, QString::fromUtf8(r.code)), 4);
        for (const char* other : {"ORÇ", "GS", "GF"})
            if (QString::fromUtf8(other) != QString::fromUtf8(r.code)) {
                EXPECT_FALSE(pg.findText(QString::fromUtf8(other))) << other;
            }
        const QStringList headings = r.factory ? QStringList{"Qtde", "Id", "Descriçao", "Código", "Local"}
                                               : QStringList{"Qtde", "Id", "Descrição", "Valor"};
        const std::vector<int> at = r.factory ? std::vector<int>{3, 12, 25, 117, 143} : std::vector<int>{3, 12, 25, 135};
        const PrintOp* qtde = pg.findText("Qtde");
        ASSERT_TRUE(qtde);
        const PrintOp* h = qtde;
        for (int i = 0; i < headings.size(); ++i, h = after(pg, h)) {
            ASSERT_TRUE(h);
            EXPECT_EQ(h->text, headings[i]);
            EXPECT_NEAR(h->x, column(narrow(10), at[std::size_t(i)]), Tol) << headings[i].toStdString();
            EXPECT_NEAR(h->y, qtde->y, Tol);
        }
        EXPECT_EQ(pg.findText("Valor Total do Serviço:") != nullptr, !r.factory);
        // The grid's columns, its seven rules from Topo + 8 to Topo + 56.
        const int topo = int(std::nearbyint(qtde->y - 3));
        QSet<double> columns;
        QSet<double> rules;
        for (const PrintOp* l : pg.lines()) {
            if (l->x == l->x2) {
                columns.insert(l->x);
                EXPECT_NEAR(l->y, topo + 8, Tol);
                EXPECT_NEAR(l->y2, topo + 56, Tol);
            } else if (l->y > qtde->y) {
                rules.insert(l->y);
            }
        }
        EXPECT_EQ(columns, r.factory ? (QSet<double>{0, 10, 20, 193 - 53, 193 - 20, 193})
                                     : (QSet<double>{0, 10, 20, 193 - 30, 193}));
        EXPECT_EQ(rules, (QSet<double>{topo + 8., topo + 16., topo + 24., topo + 32., topo + 40., topo + 48., topo + 56.}));
        // Under the grid: the total's label and two runs of underscores, or
        // two empty lines and one run.
        const PrintOp* underscores = pg.findText(QString(50, '_'));
        ASSERT_TRUE(underscores);
        EXPECT_NEAR(underscores->x, column(narrow(10), 2), Tol);
        EXPECT_GT(underscores->y, topo + 56);
        const double line = PrintMetrics::lineHeight(narrow(10));
        if (r.factory) {
            EXPECT_FALSE(pg.findText(QString(20, '_')));
            EXPECT_NEAR(underscores->y, topo + 56 + 2 * line, Tol);
        } else {
            const PrintOp* total = pg.findText("Valor Total do Serviço:");
            EXPECT_NEAR(total->x, column(narrow(10), 80), Tol);
            EXPECT_NEAR(total->y, topo + 56 + line, Tol);
            EXPECT_NEAR(underscores->y, topo + 56 + 2 * line, Tol);
            EXPECT_NEAR(after(pg, underscores)->x, column(narrow(10), 118), Tol);
            EXPECT_EQ(after(pg, underscores)->text, QString(20, '_'));
        }
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblManutencao"));
    }
}

// After the full document the stub carries its italic type on (cut line,
// trade name, number, signature line); the city, date, time and intake
// operator under the signature line; the footer with the program's name,
// version and address. Alone, it starts upright 20 mm from the top.
TEST_F(FrmImpressaoTest, TheCustomersStub) {
    setCompany({{"NomeFantasia", QStringLiteral("ELETRÔNICA ÁGIL")}, {"Cidade", QStringLiteral("CAMPINAS")},
                {"Msg1", QStringLiteral("PRIMEIRA MENSAGEM")}, {"Msg2", QStringLiteral("SEGUNDA MENSAGEM")},
                {"Msg3", QStringLiteral("TERCEIRA MENSAGEM")}, {"CGC", QStringLiteral("11.222.333/0001-44")},
                {"Endereco", QStringLiteral("RUA DA LOJA, 1")}, {"Fone1", QStringLiteral("(19) 3000-0001")},
                {"Fone2", QStringLiteral("(19) 3000-0002")}, {"Fax", QStringLiteral("(19) 3000-0003")},
                {"Email", QStringLiteral("LOJA@AGIL.COM")}});
    for (const bool alone : {false, true}) {
        SCOPED_TRACE(alone ? "alone" : "after the order");
        printer.target->documents.clear();
        const qint64 os = addOrder({{"OperadorEnt", QStringLiteral("MARIA")}, {"Via", 3}});
        expectBoxes(runJob(os, {true, true, false, alone}), {Sent});
        ASSERT_EQ(pageCounts(*printer.target), std::vector<int>{1});
        EXPECT_EQ(via(os), alone ? 3 : 4);
        const RecordedPage& pg = page();
        const PrintOp* cut = findLast(pg, QString(140, '-'));
        ASSERT_TRUE(cut);
        EXPECT_EQ(pg.fontOf(*cut), narrow(13, false, !alone));
        if (alone) {
            EXPECT_EQ(pg.texts().front(), cut);
            EXPECT_NEAR(cut->y, 20, Tol);
        }
        const PrintOp* shop = findLast(pg, QStringLiteral("ELETRÔNICA ÁGIL"));
        EXPECT_NEAR(shop->x, 30, Tol);
        EXPECT_EQ(pg.fontOf(*shop).italic, !alone);
        const PrintOp* cgc = pg.findText("CGC:");
        EXPECT_NEAR(cgc->x, column(narrow(8, false, !alone), 32), Tol);
        EXPECT_EQ(after(pg, cgc)->text, "11.222.333/0001-44");
        const PrintOp* number = findLast(pg, QStringLiteral("%1").arg(os, 5, 10, QLatin1Char('0')));
        EXPECT_EQ(pg.fontOf(*number), narrow(14, true, !alone));
        const PrintOp* signature = pg.findText(QString(50, '_'));
        ASSERT_TRUE(alone || signature != findLast(pg, QString(50, '_')));
        signature = findLast(pg, QString(50, '_'));
        EXPECT_NEAR(signature->x, column(narrow(8, true, !alone), 105), Tol);
        // Under the signature line, in italics: city, date and time of
        // printing, the intake operator.
        const PrintOp* city = after(pg, signature);
        EXPECT_EQ(city->text, "CAMPINAS");
        EXPECT_NEAR(city->x, 135, Tol);
        QStringList line;
        for (const PrintOp* t = city; t && std::abs(t->y - city->y) < Tol; t = after(pg, t)) {
            line << t->text;
            EXPECT_EQ(pg.fontOf(*t), narrow(8, false, true)) << t->text.toStdString();
        }
        EXPECT_EQ(line, (QStringList{"CAMPINAS", ", ", "06/12/2026", "15:20", "(", "MARIA", ")"}));
        const PrintOp* time = pg.findText("15:20");
        const double blank = PrintMetrics::textWidth(narrow(8, false, true), " ");
        EXPECT_NEAR(time->x, after(pg, after(pg, city))->x +
                                 PrintMetrics::textWidth(narrow(8, false, true), "06/12/2026") + 2 * blank, Tol);
        // The shop's lines upright, its messages after the bar.
        const PrintOp* address = pg.findText("End.:");
        EXPECT_FALSE(pg.fontOf(*address).italic);
        QStringList shopLines;
        for (const PrintOp* t = address; t && t->text != QString(170, '-'); t = after(pg, t)) {
            shopLines << t->text;
            EXPECT_EQ(pg.fontOf(*t), narrow(8)) << t->text.toStdString();
        }
        EXPECT_EQ(shopLines, (QStringList{"End.:", "RUA DA LOJA, 1", QString(80, '_'), "Fone:", "(19) 3000-0001",
                                          "(19) 3000-0002", "|", "PRIMEIRA MENSAGEM", "Fax", "(19) 3000-0003", "|",
                                          "SEGUNDA MENSAGEM", "E-mail:", "LOJA@AGIL.COM", "|", "TERCEIRA MENSAGEM"}));
        const double line8 = PrintMetrics::lineHeight(narrow(8));
        for (const auto& [text, at, lines] :
             {std::tuple{"RUA DA LOJA, 1", 10, 0}, std::tuple{"(19) 3000-0001", 10, 1}, std::tuple{"(19) 3000-0003", 10, 2},
              std::tuple{"LOJA@AGIL.COM", 10, 3}, std::tuple{"Fax", 1, 2}, std::tuple{"E-mail:", 1, 3}}) {
            const PrintOp* t = pg.findText(QString::fromUtf8(text));
            EXPECT_NEAR(t->x, column(narrow(8), at), Tol) << text;
            EXPECT_NEAR(t->y, address->y + lines * line8, Tol) << text;
        }
        EXPECT_NEAR(pg.findText(QString(80, '_'))->x, column(narrow(8), 72), Tol);
        for (const char* m : {"PRIMEIRA MENSAGEM", "SEGUNDA MENSAGEM", "TERCEIRA MENSAGEM"})
            EXPECT_NEAR(pg.findText(QString::fromUtf8(m))->x,
                        column(narrow(8), 70) + PrintMetrics::textWidth(narrow(8), "|  "), Tol) << m;
        EXPECT_NEAR(findLast(pg, QString(170, '-'))->y, address->y + 4 * line8, Tol);
        // The trade name's line: "Ordem de Serviço:" underlined at column 43.
        const PrintOp* title = after(pg, shop);
        EXPECT_EQ(title->text, "Ordem de Serviço:");
        EXPECT_EQ(pg.fontOf(*title), (PrintFont{QStringLiteral("Arial Narrow"), 13, false, !alone, true}));
        EXPECT_NEAR(title->x, column(pg.fontOf(*title), 43), Tol);
        // The customer and the appliance, a line each.
        QStringList body;
        const PrintOp* cliente = findLast(pg, QStringLiteral("Cliente:"));
        EXPECT_NEAR(cliente->x, 0, Tol);
        for (const PrintOp* t = cliente; t && t->text != "Tarvel"; t = after(pg, t)) {
            body << t->text;
            EXPECT_EQ(pg.fontOf(*t), narrow(8, t == after(pg, cliente))) << t->text.toStdString();
        }
        EXPECT_EQ(body, (QStringList{"Cliente:", "JOSÉ DA CONCEIÇÃO", "Aparelho:", "TELEVISOR", "Marca:", "PHILCO",
                                     "Modelo:", "PH29", "Núm.de Série", "SN12345", "Defeito:", "NÃO LIGA",
                                     "Estado do aparelho:", "RISCOS NA TAMPA", "Acessórios", "CONTROLE REMOTO"}));
        for (const auto& [text, lines] : {std::pair{"Aparelho:", 1}, std::pair{"Defeito:", 2},
                                          std::pair{"Estado do aparelho:", 3}, std::pair{"Acessórios", 4}})
            EXPECT_NEAR(findLast(pg, QString::fromUtf8(text))->y, cliente->y + lines * line8, Tol) << text;
        // The footer: italic from column 142 on the accessories' line, the
        // address upright at column 146 below it.
        const PrintOp* footer = pg.findText("Tarvel");
        ASSERT_TRUE(footer);
        EXPECT_EQ(pg.fontOf(*footer), narrow(8, false, true));
        EXPECT_NEAR(footer->x, column(narrow(8, false, true), 142), Tol);
        EXPECT_NEAR(footer->y, pg.findText("Acessórios")->y, Tol);
        QStringList version;
        for (const PrintOp* t = footer; t && std::abs(t->y - footer->y) < Tol; t = after(pg, t)) version << t->text;
        EXPECT_EQ(version.join(QString()), "Tarvel Versão:  1 .0 Kelmora");
        const PrintOp* web = pg.texts().back();
        EXPECT_EQ(web->text, FrmMdi::webAddress());
        EXPECT_FALSE(pg.fontOf(*web).italic);
        EXPECT_NEAR(web->x, column(narrow(8), 146), Tol);
        EXPECT_NEAR(web->y, footer->y + PrintMetrics::lineHeight(narrow(8, false, true)), Tol);
        expectWholeInside(pg);
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblManutencao"));
    }
}

// Previous repairs of the same appliance only, on the page and in the
// report: each block's line of data in its columns, its defect line and
// all five parts lines.
TEST_F(FrmImpressaoTest, PreviousRepairsOfTheSameApplianceOnly) {
    setCompany({{"NomeFantasia", QStringLiteral("ELETRÔNICA ÁGIL")}});
    const qint64 os = addOrder();
    addDelivered(101, {{"Nome", QStringLiteral("ANA")}, {"Tipo", QStringLiteral("GAR. DE SERVIÇO")}});
    addDelivered(102);
    addDelivered(900, {{"NumSerie", QStringLiteral("OUTRA")}});
    addDelivered(901, {{"Modelo", QStringLiteral("PH30")}});
    addDelivered(902, {{"Marca", QStringLiteral("SONY")}});
    addDelivered(903, {{"Aparelho", QStringLiteral("DVD")}});
    expectBoxes(runJob(os, {true, true, true}), {Sent});
    ASSERT_EQ(pageCounts(*printer.target), (std::vector<int>{1, 1}));
    EXPECT_EQ(via(os), 1);   // counted before the report

    const RecordedPage& order = page(0);
    const PrintOp* label = order.findText("OS's: 00101  00102 ");
    ASSERT_TRUE(label);
    EXPECT_TRUE(order.fontOf(*label).bold);
    EXPECT_EQ(order.fontOf(*label).size, 10);

    const RecordedPage& pg = page(1);
    EXPECT_EQ(pg.orientation, PrintOrientation::Landscape);
    EXPECT_EQ(printer.target->documents[1].name, QStringLiteral("Manutenções Anteriores"));
    const PrintOp* os101 = pg.findText(" 101 ");
    ASSERT_TRUE(os101);
    EXPECT_TRUE(pg.fontOf(*os101).bold);
    EXPECT_EQ(pg.fontOf(*os101).size, 8);
    // Columns of the 8-point face; the number's in bold.
    const double col = PrintMetrics::averageCharWidth(narrow(8));
    EXPECT_NEAR(os101->x, PrintMetrics::averageCharWidth(narrow(8, true)), Tol);
    QStringList row;
    for (const PrintOp* t = after(pg, os101); t && std::abs(t->y - os101->y) < 0.005; t = after(pg, t)) {
        row << t->text;
        EXPECT_FALSE(pg.fontOf(*t).bold) << t->text.toStdString();
    }
    ASSERT_EQ(row, (QStringList{"01/03/2025", "10/03/2025", "ANA", "TELEVISOR", "PHILCO", "PH29", "GAR. DE SERVIÇO",
                                "PRONTO", " 9 ", "R$ 150,50"}));
    for (const auto& [text, at] : {std::pair{"01/03/2025", 12}, std::pair{"TELEVISOR", 93}, std::pair{"PHILCO", 122},
                                   std::pair{"PH29", 146}, std::pair{"PRONTO", 194}, std::pair{" 9 ", 217},
                                   std::pair{"R$ 150,50", 225}})
        EXPECT_NEAR(pg.findText(QString::fromUtf8(text))->x, (at - 1) * col, Tol) << text;
    EXPECT_NEAR(pg.findText("GAR. DE SERVIÇO")->x, 169 * col, Tol);
    // The block's other lines from column 23: the defect, then the five
    // parts lines of the service report, three and two.
    QStringList below;
    for (const PrintOp* t = after(pg, pg.findText("R$ 150,50")); t && !t->text.startsWith(' '); t = after(pg, t)) {
        below << t->text;
        EXPECT_NEAR(t->x, 22 * col, Tol) << t->text.toStdString();
        EXPECT_EQ(pg.fontOf(*t).size, 8);
    }
    EXPECT_EQ(below, (QStringList{"Defeito: SEM IMAGEM   Acessórios: NENHUM   Técnico: CARLOS",
                                  "1 FLYBACK  2 CAPACITOR  1 RESISTOR", "1 FUSÍVEL  1 SOLDA"}));
    for (const char* other : {" 900 ", " 901 ", " 902 ", " 903 "}) EXPECT_FALSE(pg.findText(other)) << other;
    // The page header: the shop, the title, the date, time and page.
    const PrintOp* issued = pg.findText(QStringLiteral("Emissão"));
    EXPECT_TRUE(pg.fontOf(*issued).underline);
    EXPECT_EQ(count(pg, QString(250, '-')), 2);
    for (const char* t : {"06/12/2026", "15:20", "Página: "}) {
        ASSERT_TRUE(pg.findText(t)) << t;
        EXPECT_NEAR(pg.findText(t)->y, issued->y, Tol) << t;
    }
    const PrintOp* title = pg.findText(QStringLiteral("=== Manutenções Anteriores do Aparelho: TELEVISOR Marca: PHILCO "
                                                      "Modelo: PH29 Número de Série: SN12345 ==="));
    ASSERT_TRUE(title);
    EXPECT_EQ(pg.fontOf(*title).size, 10);
    EXPECT_EQ(pg.fontOf(*pg.findText(QStringLiteral("ELETRÔNICA ÁGIL"))).size, 18);
}

// The customer's open orders, this one included: the sentence from 2,
// the list of their numbers up to 9, no list from 10; another customer's
// orders do not count.
TEST_F(FrmImpressaoTest, CustomersOtherOpenOrders) {
    for (const int open : {1, 2, 9, 10}) {
        SCOPED_TRACE(open);
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblManutencao"));
        printer.target->documents.clear();
        const qint64 os = addOrder();
        QStringList numbers{QStringLiteral(" %1 ").arg(os, 5, 10, QLatin1Char('0'))};
        for (int i = 1; i < open; ++i)
            numbers << QStringLiteral(" %1 ").arg(addOrder({{"Aparelho", QStringLiteral("DVD")}}), 5, 10, QLatin1Char('0'));
        addOrder({{"IdCliente", 8}});
        expectBoxes(runJob(os), {Sent});
        const RecordedPage& pg = page();
        const PrintOp* obs = pg.findText("OBS:");
        const PrintOp* sentence =
            pg.findText(QStringLiteral("ESTE CLIENTE POSSUI ATUALMENTE %1 APARELHOS EM MANUTENÇÃO.").arg(open));
        EXPECT_EQ(sentence != nullptr, open > 1);
        EXPECT_FALSE(startingWith(pg, QStringLiteral("ESTE CLIENTE POSSUI")) && !sentence);
        if (sentence) {
            EXPECT_EQ(after(pg, obs), sentence);
        }
        const PrintOp* list = pg.findText("OS's:");
        EXPECT_EQ(list != nullptr, open > 1 && open < 10);
        if (!list) continue;
        EXPECT_NEAR(list->x, column(narrow(10), 9), Tol);
        EXPECT_EQ(after(pg, list)->text, numbers.join(QString()));
        EXPECT_FALSE(pg.fontOf(*list).bold);
    }
}

// Empty fields print as nothing; the labels stay.
TEST_F(FrmImpressaoTest, EmptyFieldsPrintAsNothing) {
    const qint64 os = insert(QStringLiteral("TblManutencao"), {{"Nome", QStringLiteral("ANA")}});
    expectBoxes(runJob(os), {Sent});
    const RecordedPage& pg = page();
    for (const PrintOp* t : pg.texts()) EXPECT_FALSE(t->text.isEmpty());
    EXPECT_EQ(after(pg, pg.findText("Entrada:"))->text, "Nome:");
    EXPECT_EQ(after(pg, pg.findText("Via:"))->text, " 1 ");
    EXPECT_EQ(after(pg, pg.findText("Código"))->text, "|");
    EXPECT_EQ(via(os), 1);
}

// The right edge of the ruled figures: the printable width less 7, in whole
// millimetres, halves to the even number, and no limit of 255 on wide paper.
TEST_F(FrmImpressaoTest, RightEdgeOfTheFigures) {
    const qint64 os = addOrder();
    const std::pair<double, double> cases[] = {{203.2, 196}, {200.5, 194}, {201.5, 194}, {202.7, 196}, {300.0, 293}};
    for (const auto& [width, largura] : cases) {
        printer.target->setPrintable(QSizeF(width, 287));
        expectBoxes(runJob(os, {false, false}), {Sent});
        const RecordedPage& pg = printer.target->documents.back().pages.at(0);
        double right = 0;
        for (const PrintOp* l : pg.lines()) right = std::max({right, l->x, l->x2});
        EXPECT_EQ(right, largura) << width;
    }
}

// The logo of the program folder, or the window's own picture without it.
TEST_F(FrmImpressaoTest, PrintsTheLogoOrTheBuiltInPicture) {
    const qint64 os = addOrder();
    Modulo::OsAtual = std::int32_t(os);
    QImage logo(120, 60, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    for (const bool withLogo : {false, true}) {
        SCOPED_TRACE(withLogo);
        if (withLogo) {
            ASSERT_TRUE(logo.save(folder() + "/logo.bmp", "BMP"));
        }
        printer.target->documents.clear();
        QImage held;
        expectBoxes(runJob(os, {true, false}, [&held](FrmImpressao& w) {
                        held = w.logo();
                        start(w);
                    }),
                    {Sent});
        EXPECT_EQ(held.size(), withLogo ? QSize(120, 60) : QSize(32, 32));
        const RecordedPage& pg = page();
        // On the order at 8, 3 and on the stub at 1 and its own line.
        std::vector<const PrintOp*> pictures;
        for (const PrintOp& op : pg.ops)
            if (op.kind == PrintOp::Kind::Picture) pictures.push_back(&op);
        ASSERT_EQ(pictures.size(), 2u);
        EXPECT_EQ(&pg.ops.front(), pictures[0]);
        for (const PrintOp* pic : pictures) {
            EXPECT_NEAR(pic->x2 - pic->x, 27, Tol);
            EXPECT_NEAR(pic->y2 - pic->y, 12, Tol);
        }
        EXPECT_NEAR(pictures[0]->x, 8, Tol);
        EXPECT_NEAR(pictures[0]->y, 3, Tol);
        EXPECT_NEAR(pictures[1]->x, 1, Tol);
        EXPECT_NEAR(pictures[1]->y, findLast(pg, QString(140, '-'))->y + PrintMetrics::lineHeight(narrow(13, false, true)),
                    Tol);
    }
}

TARVEL_TEST_MAIN()
