// The printed list of the appliances in repair: its options, the pages of
// the complete report and its failures.
#include "printdata.h"
#include "../orders/workshopdata.h"

#include "printing/frmimpap.h"
#include "printing/printer.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"

#include <QFile>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString Title = QString::fromUtf8("Relatório de Aparelhos em Manutenção");
const QString Sent = QStringLiteral("Os Dados foram enviados para a Impressora. Aguarde!");

class FrmImpApTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 12, 6), QTime(15, 20, 0)));
    }
    void addOrders(int n) {
        Database d = Database::openDefault();
        Transaction tx(d);
        for (int i = 1; i <= n; ++i)
            WorkshopData::addOrder(QStringLiteral("CLIENTE %1").arg(i, 3, 10, QLatin1Char('0')));
        tx.commit();
    }
    // Prints the complete report as the operator does.
    void printComplete(ScriptedBoxes& boxes) {
        FrmImpAp w;
        w.findChild<QRadioButton*>("Option1")->setChecked(true);
        boxes.answer(MsgAnswer::Ok, Sent);
        w.findChild<QPushButton*>("BtImprimir")->click();
        EXPECT_EQ(w.result(), QDialog::Accepted);
    }
    const std::vector<RecordedPage>& pages() { return printer.target->documents.at(0).pages; }
    // The order numbers printed on a page (the bold 8-point texts).
    QStringList rows(const RecordedPage& p) {
        QStringList out;
        for (const PrintOp* t : p.texts())
            if (p.fontOf(*t).bold && p.fontOf(*t).size == 8) out << t->text.trimmed();
        return out;
    }

    // The number after "Página: " in the page's header.
    static QString pageNumber(const RecordedPage& p) {
        const auto texts = p.texts();
        for (std::size_t i = 0; i + 1 < texts.size(); ++i)
            if (texts[i]->text == QString::fromUtf8("Página: ")) return texts[i + 1]->text.trimmed();
        return {};
    }

    PrintData::RecordingPrinter printer;
};

} // namespace

TEST_F(FrmImpApTest, OpensOnTheSelectedOrderWithTheQueriesUnavailable) {
    Modulo::OsAtual = 1234;
    FrmImpAp w;
    EXPECT_EQ(w.windowTitle(), Title);
    auto* selected = w.findChild<QRadioButton*>("Option3");
    EXPECT_EQ(selected->text(), "OS Selecionada (1234)");
    EXPECT_TRUE(selected->isChecked());
    EXPECT_TRUE(w.findChild<QRadioButton*>("Option1")->isEnabled());
    EXPECT_FALSE(w.findChild<QRadioButton*>("Option2")->isEnabled());
    EXPECT_FALSE(w.findChild<QRadioButton*>("Option4")->isEnabled());
    EXPECT_EQ(w.findChild<QRadioButton*>("Option2")->text(), "Consulta com 'Cliente'");
    EXPECT_FALSE(w.logo().isNull()) << "the built-in picture without logo.bmp";
}

TEST_F(FrmImpApTest, TwoHundredOrdersMake43RowsThen44PerPageEachUnderItsHeader) {
    addOrders(200);
    PrintData::setCompany({{"NomeFantasia", QStringLiteral("ELETRO SÃO JOSÉ")}});
    ScriptedBoxes boxes;
    printComplete(boxes);
    ASSERT_EQ(printer.target->documents.size(), 1u);
    ASSERT_EQ(pages().size(), 5u);
    const int expected[] = {43, 44, 44, 44, 25};
    int first = 1;
    for (std::size_t n = 0; n < pages().size(); ++n) {
        SCOPED_TRACE(n);
        const RecordedPage& p = pages()[n];
        EXPECT_EQ(p.orientation, PrintOrientation::Landscape);
        const QStringList os = rows(p);
        ASSERT_EQ(os.size(), expected[n]);
        EXPECT_EQ(os.first(), QString::number(first));
        first += expected[n];
        const QString all = p.allText();
        EXPECT_TRUE(all.contains(QString::fromUtf8("ELETRO SÃO JOSÉ")));
        EXPECT_TRUE(all.contains(QString::fromUtf8("=== Relatório Completo de todos os Aparelhos em Manutenção ===")) ||
                    (all.contains("=== ") && all.contains(QString::fromUtf8("Relatório Completo de todos os Aparelhos em Manutenção"))));
        EXPECT_TRUE(all.contains(QStringLiteral("Página:")));
        EXPECT_EQ(pageNumber(p), QString::number(n + 1));
        EXPECT_NE(p.findText("TECNICO"), nullptr);
        for (const PrintOp* t : p.texts()) EXPECT_LE(t->y, p.printable.height()) << t->text.toStdString();
    }
    // A row: the order's fields at their columns, on one line.
    const RecordedPage& p = pages()[0];
    const PrintOp* os = nullptr;
    for (const PrintOp* t : p.texts())
        if (t->text.trimmed() == "1" && p.fontOf(*t).bold) os = t;
    ASSERT_NE(os, nullptr);
    int onLine = 0;
    for (const PrintOp* t : p.texts())
        if (std::abs(t->y - os->y) < 0.01) ++onLine;
    EXPECT_EQ(onLine, 10);
    const PrintOp* nome = p.findText("CLIENTE 001");
    ASSERT_NE(nome, nullptr);
    EXPECT_NEAR(nome->y, os->y, 0.01);
    EXPECT_NE(p.findText("05/03/2008"), nullptr);
    EXPECT_EQ(boxes.log().last().title, Title);
}

TEST_F(FrmImpApTest, PagesBreakAtTheirBoundsAndAnEmptyWorkshopPrintsTheHeader) {
    ScriptedBoxes boxes;
    printComplete(boxes);
    ASSERT_EQ(pages().size(), 1u);
    EXPECT_TRUE(rows(pages()[0]).isEmpty());
    EXPECT_NE(pages()[0].findText("TECNICO"), nullptr);
    for (const auto& [orders, count] : std::vector<std::pair<int, std::size_t>>{{43, 1}, {44, 2}, {87, 2}, {88, 3}}) {
        SCOPED_TRACE(orders);
        Database::openDefault().execute("DELETE FROM TblManutencao");
        addOrders(orders);
        printer.target->documents.clear();
        printComplete(boxes);
        EXPECT_EQ(pages().size(), count);
    }
}

TEST_F(FrmImpApTest, ALongNameKeepsToItsColumnAndAnEmptyFieldPrintsNothing) {
    WorkshopData::addOrder(QString(50, QChar(0x00C3)), {{"Tecnico", QVariant()}, {"Dias", QVariant()}});
    ScriptedBoxes boxes;
    printComplete(boxes);
    const RecordedPage& p = pages()[0];
    const auto texts = p.texts();
    const PrintOp* aparelho = p.findText("TV");
    ASSERT_NE(aparelho, nullptr);
    for (const PrintOp* t : texts)
        if (t->text.startsWith(QChar(0x00C3))) {
            EXPECT_NEAR(t->y + PrintMetrics::ascent(p.fontOf(*t)), aparelho->y + PrintMetrics::ascent(p.fontOf(*aparelho)),
                        0.01)
                << "same baseline";
            EXPECT_LT(t->x + PrintMetrics::textWidth(p.fontOf(*t), t->text), aparelho->x);
        }
    EXPECT_EQ(rows(p).size(), 1);
}

TEST_F(FrmImpApTest, TheReportReachesAPdfFilePageByPage) {
    addOrders(50);
    const QString pdf = folder() + "/lista.pdf";
    auto previous = Printing::setDefaultTarget(std::make_shared<PdfTarget>(pdf));
    ScriptedBoxes boxes;
    FrmImpAp w;
    w.findChild<QRadioButton*>("Option1")->setChecked(true);
    boxes.answer(MsgAnswer::Ok, Sent);
    w.findChild<QPushButton*>("BtImprimir")->click();
    Printing::setDefaultTarget(previous);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2);
}

TEST_F(FrmImpApTest, AFailingPrinterSaysSoAndTheWindowStays) {
    addOrders(3);
    printer.target->setFailure(483, QStringLiteral("A impressora recusou o trabalho"));
    FrmImpAp w;
    w.show();
    w.findChild<QRadioButton*>("Option1")->setChecked(true);
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, QString::fromUtf8("Não foi possível imprimir este Relatório\rVerifique se a impressora está "
                                                  "ligada e funcionando corretamente!\rA impressora recusou o trabalho__483"));
    w.findChild<QPushButton*>("BtImprimir")->click();
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.log().last().title, Title);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(printer.target->documents.empty());
}

TEST_F(FrmImpApTest, TheSelectedOrderGoesToTheServiceOrderPrintWindow) {
    const qint64 os = WorkshopData::addOrder("ANA");
    Modulo::OsAtual = std::int32_t(os);
    FrmImpAp w;
    ModalScript script([](QWidget* d) { d->findChild<QPushButton*>("BtFechar")->click(); }, 10000, "FrmImpressao");
    w.findChild<QPushButton*>("BtImprimir")->click();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(w.result(), QDialog::Accepted);
}

// Rows at their longest and at long lengths a shop types: every value whole
// in its column, inside the page.
TEST_F(FrmImpApTest, LongFieldsPrintWholeInsideThePage) {
    const auto w = PrintData::longText;
    const std::pair<QString, WorkshopData::Fields> cases[] = {
        {w(50), {{"Aparelho", w(16)}, {"Marca", w(16)}, {"Modelo", w(14)},
                 {"Tipo", QString::fromUtf8("GAR. DE SERVIÇO")}, {"Status", w(13)}, {"Tecnico", w(14)}}},
        {QStringLiteral("MARIA APARECIDA DOS SANTOS OLIVEIRA DE ALBUQUERQUE"),
         {{"Aparelho", QStringLiteral("MICROSSYSTEM")}, {"Marca", QStringLiteral("CONTINENTAL 2001")},
          {"Modelo", QStringLiteral("MWWWWWWWWWWWW2")}, {"Status", QStringLiteral("AGUARD. PEÇAS")},
          {"Tecnico", QStringLiteral("JOÃO BATISTA M")}}},
    };
    for (const auto& [nome, fields] : cases) {
        SCOPED_TRACE(nome.toStdString());
        printer.target->documents.clear();
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblManutencao"));
        for (int i = 0; i < 3; ++i) WorkshopData::addOrder(nome, fields);
        WorkshopData::addOrder(nome, {{"Dias", 9999}});
        ScriptedBoxes boxes;
        printComplete(boxes);
        ASSERT_EQ(pages().size(), 1u);
        QStringList values{nome};
        for (const auto& [field, value] : fields) values << value.toString();
        PrintData::expectWholeOnThePage(pages()[0], values);
        EXPECT_EQ(rows(pages()[0]).size(), 4);
    }
}

TARVEL_TEST_MAIN()
