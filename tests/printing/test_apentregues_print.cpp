// The delivered appliances on paper: the repaired-appliance report of one
// appliance (its page, a row that is gone, a failing printer, Cancel) and the
// list of every delivered appliance (its pages and their header, the
// selected-order option, the unavailable query option).
#include "orders/delivereddata.h"
#include "printdata.h"

#include "printing/frmimpapentr.h"
#include "printing/frmimpdtapent.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

using DeliveredData::addDelivered;
using DeliveredData::money;

namespace {

constexpr double Tol = 0.05;
const QString Sent = QStringLiteral("Os Dados foram enviados para a Impressora. Aguarde!");

class DeliveredPrintTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 12, 6), QTime(15, 20, 5)));
        PrintData::setCompany({{"NomeFantasia", QStringLiteral("ELETRÔNICA ÁGIL")}});
        // TARVEL_PDF_DIR=folder: every document is also written there as a PDF, to be looked at.
        const QString pdfDir = qEnvironmentVariable("TARVEL_PDF_DIR");
        if (!pdfDir.isEmpty()) {
            const QString name = QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
            printer.target->alsoWritePdf(pdfDir + QLatin1Char('/') + name + QStringLiteral("-%1.pdf"));
        }
    }
    void TearDown() override {
        Clock::set({});
        ProgramFolderTest::TearDown();
    }
    const RecordingTarget::Document& doc(std::size_t i = 0) { return printer.target->documents.at(i); }
    std::size_t documents() const { return printer.target->documents.size(); }

    // The report of a row, run as the window runs it: opened, then its timer's tick.
    void runReport(qint64 id, FrmImpDtApEnt** keep = nullptr) {
        Modulo::IdApEntregueAtual = std::int32_t(id);
        auto* w = new FrmImpDtApEnt;
        EXPECT_TRUE(w->findChild<WindowTimer*>("Timer2")->isActive());
        w->findChild<WindowTimer*>("Timer2")->fire();
        if (keep) *keep = w;
        else delete w;
    }
    // The list dialog with an option chosen and its start button pressed.
    void runList(const char* choice) {
        FrmImpApEntr w;
        w.findChild<QRadioButton*>(choice)->setChecked(true);
        w.findChild<QPushButton*>("BtImprimir")->click();
    }

    PrintData::RecordingPrinter printer;
};

PrintFont arial(double size, bool bold = false, bool italic = false) {
    return PrintFont{QStringLiteral("Arial"), size, bold, italic, false};
}
double column(const PrintFont& f, int n) { return (n - 1) * PrintMetrics::averageCharWidth(f); }

int count(const RecordedPage& pg, const QString& text) {
    int n = 0;
    for (const PrintOp* t : pg.texts()) n += t->text == text;
    return n;
}

// The text op printed on the same line right after `op`.
const PrintOp* next(const RecordedPage& pg, const PrintOp* op) {
    const auto texts = pg.texts();
    for (std::size_t i = 0; i + 1 < texts.size(); ++i)
        if (texts[i] == op) return texts[i + 1];
    return nullptr;
}

} // namespace

TEST_F(DeliveredPrintTest, TheReportPrintsTheRecordingAtItsPositions) {
    const qint64 id = addDelivered(42, "ANA", {{"Relatorio55", "F09 1 UN FUSIVEL 2,00"}, {"ValorCobrado", money(15050)},
                                               {"Loja", QVariant()}, {"DataCompra", "10/10/2026"}});
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    FrmImpDtApEnt* w = nullptr;
    runReport(id, &w);
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Relatório de Aparelho Consertado"));
    EXPECT_EQ(w->findChild<QLabel*>("Label2")->text(), "42");
    EXPECT_EQ(w->findChild<QProgressBar*>("PgBar")->value(), 100);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    delete w;
    EXPECT_EQ(boxes.log().last().title, QString::fromUtf8("Impressão de Ordem de Serviço"));

    ASSERT_EQ(documents(), 1u);
    ASSERT_EQ(doc().pages.size(), 1u);
    const RecordedPage& pg = doc().pages[0];
    EXPECT_EQ(pg.orientation, PrintOrientation::Portrait);
    EXPECT_EQ(doc().copies, 1);

    // Row 2: the trade name at column 16 in 16 points, the number in 20-point bold with zeros.
    const PrintOp* name = pg.findText(QString::fromUtf8("ELETRÔNICA ÁGIL"));
    ASSERT_TRUE(name);
    EXPECT_EQ(pg.fontOf(*name), arial(16));
    EXPECT_NEAR(name->x, column(arial(16), 16), Tol);
    EXPECT_NEAR(name->y, PrintMetrics::lineHeight(arial(16)), Tol);
    const PrintOp* number = pg.findText("00042");
    ASSERT_TRUE(number);
    EXPECT_EQ(pg.fontOf(*number), arial(20, true));
    EXPECT_EQ(pg.fontOf(*pg.findText(QString::fromUtf8("Nº"))), arial(20, true));

    const PrintOp* title = pg.findText(QString::fromUtf8("RELATÓRIO DE APARELHO CONSERTADO"));
    ASSERT_TRUE(title);
    EXPECT_EQ(pg.fontOf(*title), arial(10));
    EXPECT_NEAR(title->x, column(arial(10), 29), Tol);
    for (const char* block : {"---------- DADOS DO CLIENTE ----------", "---------- DADOS DO APARELHO ----------",
                              "---------- GARANTIA DE FÁBRICA ----------", "---------- MATERIAL UTILIZADO ----------"})
        EXPECT_TRUE(pg.findText(QString::fromUtf8(block))) << block;

    // The customer's phones at column 70 on the lines of the address.
    const PrintOp* tel = pg.findText("Tel.Res.:");
    ASSERT_TRUE(tel);
    EXPECT_NEAR(tel->x, column(arial(10), 70), Tol);
    EXPECT_NEAR(tel->y, pg.findText("ANA")->y, Tol);
    EXPECT_NEAR(pg.findText(QString::fromUtf8("Tensão:"))->x, column(arial(10), 82), Tol);
    // The factory warranty block with an empty shop and a purchase date kept as text.
    EXPECT_TRUE(pg.findText("Loja:"));
    EXPECT_EQ(next(pg, pg.findText("Data Compra:"))->text, "10/10/2026");

    // Entry and exit values at columns 25 and 94.
    const PrintOp* out = pg.findText("05/12/2026");
    ASSERT_TRUE(out);
    EXPECT_NEAR(out->x, column(arial(10), 94), Tol);
    EXPECT_NEAR(pg.findText("20/11/2026")->x, column(arial(10), 25), Tol);
    EXPECT_NEAR(pg.findText("16:40")->x, column(arial(10), 94), Tol);
    EXPECT_NEAR(pg.findText("05/03/2027")->x, column(arial(10), 94), Tol);

    // Parts beside payment: five bars; the sixth parts line has none.
    EXPECT_EQ(count(pg, "|"), 5);
    const PrintOp* flyback = pg.findText("F01 1 UN FLYBACK 120,00");
    ASSERT_TRUE(flyback);
    EXPECT_NEAR(flyback->x, column(arial(10), 2), Tol);
    EXPECT_EQ(next(pg, next(pg, flyback))->text, "DINHEIRO");
    EXPECT_NEAR(next(pg, flyback)->x, column(arial(10), 71), Tol);
    const PrintOp* sixth = pg.findText("F09 1 UN FUSIVEL 2,00");
    ASSERT_TRUE(sixth);
    EXPECT_NE(next(pg, sixth)->text, "|");
    EXPECT_GT(next(pg, sixth)->y, sixth->y + Tol) << "nothing beside the sixth parts line";

    // The stored labour, sub-total and discount after their labels; the value charged in 16 points.
    EXPECT_TRUE(pg.findText(QString::fromUtf8("Mão de Obra: R$45,00")));
    EXPECT_TRUE(pg.findText("Sub Total: 175,00"));
    EXPECT_TRUE(pg.findText("Desconto: 24,50"));
    const PrintOp* total = pg.findText(QString::fromUtf8("Total do Serviço: R$ 150,50"));
    ASSERT_TRUE(total);
    EXPECT_EQ(pg.fontOf(*total), arial(16));
    EXPECT_NEAR(total->x, column(arial(16), 12), Tol);
    EXPECT_TRUE(pg.findText("TESTADO 2 HORAS"));

    // The issue line, italic 9 points, at column 80.
    const PrintOp* issued = pg.findText(QString::fromUtf8("Data Emissão:"));
    ASSERT_TRUE(issued);
    EXPECT_EQ(pg.fontOf(*issued), arial(9, false, true));
    EXPECT_NEAR(issued->x, column(arial(9, false, true), 80), Tol);
    EXPECT_TRUE(pg.findText("06/12/2026"));
    EXPECT_TRUE(pg.findText("15:20"));
    EXPECT_EQ(pg.lines().size(), 0u);
}

TEST_F(DeliveredPrintTest, AReportWhoseRowIsGonePrintsNothingAndSaysSo) {
    const qint64 id = addDelivered(42, "ANA");
    Modulo::IdApEntregueAtual = std::int32_t(id);
    FrmImpDtApEnt w;
    Database::openDefault().execute("DELETE FROM TblApEntregues");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, QString::fromUtf8("não foi encontrado"));
    w.findChild<WindowTimer*>("Timer2")->fire();
    EXPECT_EQ(documents(), 0u);
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_TRUE(boxes.log()[0].text.contains("Nada foi impresso."));
    EXPECT_EQ(w.result(), QDialog::Rejected);
}

TEST_F(DeliveredPrintTest, AFailingPrinterLeavesNoPageAndTheWindowOpenAndCancelPrintsNothing) {
    const qint64 id = addDelivered(42, "ANA");
    printer.target->setFailure(483, QStringLiteral("A impressora recusou o trabalho"));
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, QString::fromUtf8("Não foi possível imprimir esta Ordem de Serviço\rVerifique se a "
                                                  "impressora está ligada e funcionando corretamente!\rA impressora "
                                                  "recusou o trabalho__483"));
    Modulo::IdApEntregueAtual = std::int32_t(id);
    {
        FrmImpDtApEnt w;
        w.show();
        w.findChild<WindowTimer*>("Timer2")->fire();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(boxes.log().last().title, QString::fromUtf8("Erro de Impressão"));
        EXPECT_EQ(boxes.log().last().icon, MsgIcon::Critical);
    }
    printer.target->clearFailure();
    EXPECT_EQ(documents(), 0u);
    // Cancel before the tick: the window closes, the job never runs.
    FrmImpDtApEnt w;
    ModalScript cancel([](QWidget* d) { d->findChild<QPushButton*>("BtFechar")->click(); });
    EXPECT_EQ(w.exec(), QDialog::Rejected);
    EXPECT_FALSE(w.findChild<WindowTimer*>("Timer2")->isActive());
    EXPECT_EQ(documents(), 0u);
}

// 14 rows on the first page and 15 on each later one, every page under its
// header with the page number; the rows in the table's order.
TEST_F(DeliveredPrintTest, TheCompleteListPrintsEveryRowPageByPage) {
    for (int i = 1; i <= 30; ++i) addDelivered(1000 + i, QStringLiteral("CLIENTE %1").arg(i, 2, 10, QLatin1Char('0')));
    // A filter on screen does not reach the paper.
    Modulo::SqlFiltroEntregues = "SELECT * FROM TblApEntregues WHERE Os = 1001";
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    runList("Option1");
    EXPECT_EQ(boxes.log().last().title, QString::fromUtf8("Relatório de Aparelhos Entregues"));
    ASSERT_EQ(documents(), 1u);
    const auto& pages = doc().pages;
    ASSERT_EQ(pages.size(), 3u);
    const int perPage[] = {14, 15, 1};
    int first = 1;
    for (std::size_t n = 0; n < pages.size(); ++n) {
        SCOPED_TRACE(n);
        const RecordedPage& pg = pages[n];
        EXPECT_EQ(pg.orientation, PrintOrientation::Landscape);
        EXPECT_TRUE(pg.findText(QString::fromUtf8("=== Relatório de Aparelhos ENTREGUES ===")));
        const PrintOp* pageNo = pg.findText(QStringLiteral(" %1 ").arg(n + 1));
        ASSERT_TRUE(pageNo);
        EXPECT_TRUE(pg.findText(QString(210, '-')));
        int rows = 0;
        for (const PrintOp* t : pg.texts())
            if (t->text.startsWith("CLIENTE ")) {
                EXPECT_EQ(t->text, QStringLiteral("CLIENTE %1").arg(first + rows, 2, 10, QLatin1Char('0')));
                ++rows;
            }
        EXPECT_EQ(rows, perPage[n]);
        first += rows;
        EXPECT_EQ(pg.lines().size(), 0u);
    }
    // A row: the order number in bold 8 points at column 2, the amount in the currency format.
    const RecordedPage& pg = pages[0];
    const PrintOp* os = pg.findText(" 1001 ");
    ASSERT_TRUE(os);
    const PrintFont bold8{QStringLiteral("Arial Narrow"), 8, true, false, false};
    EXPECT_EQ(pg.fontOf(*os), bold8);
    EXPECT_NEAR(os->x, column(bold8, 2), Tol);
    EXPECT_TRUE(pg.findText(QString::fromUtf8("R$ 150,50")));
    EXPECT_TRUE(pg.allText().contains(QString::fromUtf8("Defeito: NÃO LIGA   Acessórios: ")));
}

TEST_F(DeliveredPrintTest, AnEmptyTablePrintsTheHeaderAloneAndAFailureKeepsTheDialog) {
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    runList("Option1");
    ASSERT_EQ(documents(), 1u);
    ASSERT_EQ(doc().pages.size(), 1u);
    EXPECT_TRUE(doc().pages[0].findText("OS"));
    EXPECT_TRUE(doc().pages[0].findText(QString::fromUtf8("ELETRÔNICA ÁGIL")));

    addDelivered(1, "ANA");
    printer.target->setFailure(482, QStringLiteral("Nenhuma impressora padrão"));
    boxes.answer(MsgAnswer::Ok, QString::fromUtf8("Não foi possível imprimir este Relatório\r"));
    FrmImpApEntr w;
    w.show();
    w.findChild<QRadioButton*>("Option1")->setChecked(true);
    w.findChild<QPushButton*>("BtImprimir")->click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(boxes.log().last().title, QString::fromUtf8("Relatório de Aparelhos Entregues"));
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Critical);
    EXPECT_EQ(documents(), 1u);
}

// The dialog opens on "OS Selecionada", which prints the report of
// IdApEntregueAtual and closes; "Apenas a Consulta" cannot be chosen.
TEST_F(DeliveredPrintTest, TheSelectedOrderOptionPrintsItsReport) {
    addDelivered(41, "ANA");
    const qint64 id = addDelivered(42, "BETO");
    Modulo::IdApEntregueAtual = std::int32_t(id);
    FrmImpApEntr w;
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Relatório de Aparelhos  Entregues"));
    EXPECT_TRUE(w.findChild<QRadioButton*>("Option3")->isChecked());
    EXPECT_FALSE(w.findChild<QRadioButton*>("Option2")->isEnabled());
    // Every button's caption fits it and every widget lies inside the window.
    for (QPushButton* b : w.findChildren<QPushButton*>()) {
        EXPECT_GE(b->width(), b->sizeHint().width()) << b->objectName().toStdString();
        EXPECT_TRUE(w.rect().contains(b->geometry())) << b->objectName().toStdString();
    }
    const QString dir = qEnvironmentVariable("TARVEL_PDF_DIR");
    if (!dir.isEmpty()) {
        w.show();
        QApplication::processEvents();
        w.grab().save(dir + QStringLiteral("/FrmImpApEntr.png"));
        FrmImpDtApEnt progress;
        progress.show();
        QApplication::processEvents();
        progress.grab().save(dir + QStringLiteral("/FrmImpDtApEnt.png"));
        progress.reject();
    }
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    ModalScript report([](QWidget* d) { static_cast<FrmImpDtApEnt*>(d)->findChild<WindowTimer*>("Timer2")->fire(); },
                       10000, "FrmImpDtApEnt");
    w.show();
    w.findChild<QPushButton*>("BtImprimir")->click();
    EXPECT_TRUE(report.done());
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(documents(), 1u);
    EXPECT_TRUE(doc().pages[0].findText("00042"));
    EXPECT_TRUE(doc().pages[0].findText("BETO"));
}

// Every field at the longest the windows let it be (the parts lines as the
// checkout writes them from full boxes), and at long lengths a shop types:
// the report and the list print every value whole inside the page, no text
// drawn over another on its line.
TEST_F(DeliveredPrintTest, LongFieldsPrintWholeInsideThePage) {
    const auto w = PrintData::longText;
    const QString part = QStringLiteral("WWWWW 99 WWW ") + w(39) + QStringLiteral(" 989999901,00");
    DeliveredData::Fields longest = {
        {"Nome", w(50)}, {"Endereco", w(50)}, {"Complemento", w(20)}, {"Bairro", w(18)}, {"Cidade", w(18)},
        {"TelResidencia", w(15)}, {"TelComercial", w(15)}, {"Fax", w(15)}, {"Celular", w(15)}, {"Aparelho", w(16)},
        {"Marca", w(16)}, {"Modelo", w(14)}, {"Chassis", w(12)}, {"NumSerie", w(15)}, {"Tensao", w(10)},
        {"Defeito", w(55)}, {"EstadoAparelho", w(55)}, {"Acessorios", w(50)}, {"Loja", w(20)},
        {"DataCompra", w(13)}, {"NotaFiscal", w(15)}, {"GarComplementar", w(15)}, {"Tecnico", w(14)},
        {"OperadorEnt", w(14)}, {"OperadorSaida", w(14)}, {"Tipo", QString::fromUtf8("GAR. DE SERVIÇO")},
        {"Status", "SEM CONSERTO"}, {"Relatorio5", "R$9999999999,00"}, {"Relatorio6", "R$ 99.999.999.999,00"},
        {"Relatorio7", "9999999,00"}, {"ValorCobrado", money(9999999999900)}};
    for (const char* name : {"Relatorio0", "Relatorio1", "Relatorio2", "Relatorio3", "Relatorio4", "Relatorio55"})
        longest.push_back({name, part});
    for (const char* name : {"Relatorio9", "Relatorio10", "Relatorio11"}) longest.push_back({name, w(70)});
    for (const char* name : {"Relatorio12", "Relatorio13", "Relatorio14", "Relatorio15", "Relatorio16"})
        longest.push_back({name, w(70)});
    const DeliveredData::Fields realistic = {
        {"Nome", "MARIA APARECIDA DOS SANTOS OLIVEIRA DE ALBUQUERQUE"}, {"Marca", "CONTINENTAL 2001"},
        {"Aparelho", "MICROSSYSTEM"}, {"Loja", "MAGAZINE LUIZA CENTRO"}, {"NotaFiscal", "000123456789012"},
        {"GarComplementar", "ESTENDIDA 24 ME"}, {"Relatorio0", "F01 10 UN FLYBACK DE ALTA TENSÃO 45,95"},
        {"Relatorio1", "TR2 1 PC TRANSFORMADOR DE FORÇA BIVOLT 220V 45,90"},
        {"Relatorio12", "PAGO EM DINHEIRO NA ENTREGA DO APARELHO"}, {"Relatorio5", "R$120,00"},
        {"Relatorio7", "12,60"}};
    for (const auto& [name, fields] : {std::pair{"longest", longest}, std::pair{"realistic", realistic}}) {
        SCOPED_TRACE(name);
        const std::size_t first = documents();
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblApEntregues"));
        QStringList values;
        for (const auto& [field, value] : fields)
            if (field != "ValorCobrado") values << value.toString();
        const qint64 id = addDelivered(99999, fields.front().second.toString(), fields);
        for (int i = 1; i <= 19; ++i) addDelivered(100000 + i, fields.front().second.toString(), fields);
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, Sent);
        runReport(id);
        ASSERT_EQ(documents(), first + 1);
        ASSERT_EQ(doc(first).pages.size(), 1u);
        PrintData::expectWholeOnThePage(doc(first).pages[0], values);
        EXPECT_EQ(count(doc(first).pages[0], "|"), 5);

        // The list: the row's own fields, each page under its header.
        boxes.answer(MsgAnswer::Ok, Sent);
        runList("Option1");
        ASSERT_EQ(documents(), first + 2);
        ASSERT_EQ(doc(first + 1).pages.size(), 2u);
        QStringList listed;
        for (const char* field : {"Nome", "Aparelho", "Marca", "Modelo", "Tipo", "Status", "Defeito", "Acessorios",
                                  "Tecnico"})
            for (const auto& [f, value] : fields)
                if (f == QLatin1String(field)) listed << value.toString();
        for (const RecordedPage& pg : doc(first + 1).pages) {
            EXPECT_TRUE(pg.findText(QString(210, '-')));
            PrintData::expectWholeOnThePage(pg, listed);
        }
    }
}

TARVEL_TEST_MAIN()
