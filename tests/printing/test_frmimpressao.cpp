// The print window of a service order: its options, the print count, the
// failures and long values.
#include "printdata.h"
#include "printing/frmimpressao.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/printedpages.h"
#include "support/storefaults.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/windowhost.h"

#include <QCheckBox>
#include <QPushButton>
#include <functional>

using namespace PrintData;
using namespace PrintedPages;

namespace {

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
        for (int i = 0; i < 20; ++i)
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
        ASSERT_EQ(pageCounts(*printer.target), (std::vector<int>{1, 3}));
        QStringList values;
        for (const QVariant& v : r.order) values << v.toString();
        for (const QVariant& v : r.company) values << v.toString();
        values << QStringLiteral("OS's: 10000  10001  10002 ");
        expectWholeInside(page(), values);
        for (const RecordedPage& pg : printer.target->documents[1].pages)
            expectWholeInside(pg, {r.order.value("Modelo").toString(), r.order.value("Marca").toString(),
                                   "FLYBACK DE ALTA TENSÃO 45,95"});
        // Long values keep to their places: the right-hand entries stay beside their rows.
        for (const auto& [left, right] : {std::pair{"Nome:", "Tel.Res.:"}, std::pair{"Endereço:", "Tel.Com.:"},
                                          std::pair{"Aparelho:", "Marca:"}, std::pair{"Manut.Anteriores:", "Nota Fiscal:"}})
            EXPECT_NEAR(page().findText(QString::fromUtf8(left))->y, page().findText(QString::fromUtf8(right))->y, 0.05)
                << right;
    }
}

TARVEL_TEST_MAIN()
