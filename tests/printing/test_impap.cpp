// The printed list of the appliances in repair.
#include "printdata.h"
#include "../orders/workshopdata.h"

#include "printing/frmimpap.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/printedpages.h"
#include "support/testmain.h"

#include <QPushButton>
#include <QRadioButton>

using namespace PrintedPages;

namespace {

const QString Title = QStringLiteral("Relatório de Aparelhos em Manutenção");
const QString Sent = QStringLiteral("Os Dados foram enviados para a Impressora. Aguarde!");

class FrmImpApTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 12, 6), QTime(15, 20, 0)));
        m_db = Database::openDefault();   // one connection for the test's writes
    }
    void TearDown() override {
        m_db = Database();
        ProgramFolderTest::TearDown();
    }
    void addOrders(int n) {
        Transaction tx(m_db);
        for (int i = 1; i <= n; ++i) WorkshopData::addOrder(QStringLiteral("CLIENTE %1").arg(i, 3, 10, QLatin1Char('0')));
        tx.commit();
    }
    // Prints the complete report as the operator does; returns the messages.
    QList<ShownBox> printComplete(bool* closed = nullptr) {
        return boxesDuring([&] {
            FrmImpAp w;
            w.show();
            w.findChild<QRadioButton*>("Option1")->setChecked(true);
            w.findChild<QPushButton*>("BtImprimir")->click();
            if (closed) *closed = !w.isVisible();
        });
    }
    const std::vector<RecordedPage>& pages() { return printer.target->documents.at(0).pages; }
    // The order numbers printed on a page (the bold 8-point texts).
    static QStringList rows(const RecordedPage& p) {
        QStringList out;
        for (const PrintOp* t : p.texts())
            if (p.fontOf(*t).bold && p.fontOf(*t).size == 8) out << t->text.trimmed();
        return out;
    }

    PrintData::RecordingPrinter printer;
    Database m_db;
};

} // namespace

// 43 rows on the first page, 44 on the next ones.
TEST_F(FrmImpApTest, PagesBreakAtTheirBounds) {
    PrintData::setCompany({{"NomeFantasia", QStringLiteral("ELETRO SÃO JOSÉ")}});
    const std::pair<int, std::vector<int>> cases[] = {
        {0, {0}}, {43, {43}}, {44, {43, 1}}, {87, {43, 44}}, {88, {43, 44, 1}}};
    for (const auto& [orders, perPage] : cases) {
        SCOPED_TRACE(orders);
        m_db.execute(QStringLiteral("DELETE FROM TblManutencao"));
        addOrders(orders);
        printer.target->documents.clear();
        bool closed = false;
        expectBoxes(printComplete(&closed), {Sent});
        EXPECT_TRUE(closed);
        ASSERT_EQ(pages().size(), perPage.size());
        for (std::size_t n = 0; n < perPage.size(); ++n) {
            const RecordedPage& p = pages()[n];
            const QStringList os = rows(p);
            ASSERT_EQ(os.size(), perPage[n]);
            if (!os.isEmpty()) {
                EXPECT_EQ(os.first().toInt() - os.last().toInt(), 1 - perPage[n]);
            }
            EXPECT_TRUE(p.findText(QStringLiteral("ELETRO SÃO JOSÉ")));
            EXPECT_EQ(after(p, p.findText(QStringLiteral("Página: ")))->text, QStringLiteral(" %1 ").arg(n + 1));
            expectWholeInside(p);
        }
    }
}

// A row's fields in their columns of the 8-point face, the order number in
// bold, under the headings of the 10-point face; the header's title and
// time of issue.
TEST_F(FrmImpApTest, TheRowInItsColumns) {
    PrintData::setCompany({{"NomeFantasia", QStringLiteral("ELETRO SÃO JOSÉ")}});
    const qint64 os = WorkshopData::addOrder("ANA", {{"Aparelho", "MICROONDAS"}, {"Marca", "BRASTEMP"},
                                                     {"Modelo", "BM40"}, {"Tipo", "GAR. DE SERVIÇO"},
                                                     {"Status", "AGUARD. PEÇAS"}, {"Dias", 12}, {"Tecnico", "JOÃO"}});
    const QList<ShownBox> boxes = printComplete();
    expectBoxes(boxes, {Sent});
    EXPECT_EQ(boxes[0].title, Title);
    EXPECT_EQ(boxes[0].icon, MsgIcon::Information);
    const RecordedPage& p = pages().at(0);
    const auto col = [](double size, int n) {
        return (n - 1) * PrintMetrics::averageCharWidth(PrintFont{QStringLiteral("Arial Narrow"), size});
    };
    const std::tuple<QString, int, bool> fields[] = {
        {QString::number(os), 3, true}, {"05/03/2008", 13, false}, {"ANA", 27, false},
        {"MICROONDAS", 89, false}, {"BRASTEMP", 118, false}, {"BM40", 139, false},
        {QStringLiteral("GAR. DE SERVIÇO"), 163, false}, {QStringLiteral("AGUARD. PEÇAS"), 187, false},
        {"12", 211, false}, {QStringLiteral("JOÃO"), 218, false}};
    const PrintOp* first = nullptr;
    for (const PrintOp* t : p.texts())
        if (t->text.trimmed() == QString::number(os) && p.fontOf(*t).size == 8) first = t;
    ASSERT_TRUE(first);
    const PrintOp* t = first;
    for (const auto& [value, column, bold] : fields) {
        ASSERT_TRUE(t) << value.toStdString();
        EXPECT_EQ(t->text.trimmed(), value);
        EXPECT_NEAR(t->x, col(8, column), 0.05) << value.toStdString();
        EXPECT_NEAR(t->y, first->y, 0.05) << value.toStdString();
        EXPECT_EQ(p.fontOf(*t).bold, bold) << value.toStdString();
        t = after(p, t);
    }
    // The headings.
    const PrintOp* h = p.findText("OS");
    ASSERT_TRUE(h);
    QStringList headings;
    for (const PrintOp* o = h; o && std::abs(o->y - h->y) < 0.05; o = after(p, o)) {
        headings << o->text;
        EXPECT_EQ(p.fontOf(*o).size, 10);
    }
    EXPECT_EQ(headings, (QStringList{"OS", "ENTRADA", "CLIENTE", "APARELHO", "MARCA", "MODELO", "TIPO", "STATUS", "DIAS",
                                     "TECNICO"}));
    for (const auto& [text, column] : {std::pair{"OS", 2}, std::pair{"ENTRADA", 8}, std::pair{"CLIENTE", 25},
                                       std::pair{"APARELHO", 70}})
        EXPECT_NEAR(p.findText(text)->x, col(10, column), 0.05) << text;
    const double blank = PrintMetrics::textWidth(PrintFont{QStringLiteral("Arial Narrow"), 10}, " ");
    const PrintOp* aparelho = p.findText("APARELHO");
    EXPECT_NEAR(after(p, aparelho)->x,
                aparelho->x + PrintMetrics::textWidth(p.fontOf(*aparelho), "APARELHO") + 6 * blank, 0.05);
    const PrintOp* title = p.findText(QStringLiteral("=== Relatório Completo de todos os Aparelhos em Manutenção ==="));
    ASSERT_TRUE(title);
    EXPECT_EQ(p.fontOf(*title).size, 12);
    EXPECT_TRUE(p.findText(QStringLiteral("15:20:00")));
    EXPECT_EQ(printer.target->documents.at(0).name, Title);
    EXPECT_EQ(count(p, QString(210, '-')), 2);
}

// Rows at their longest and at lengths a shop types: every value whole
// inside the page at its column; empty fields print as nothing. The shop's
// name in the page top, longer than its typing box allows (stored by other
// means), prints whole too.
TEST_F(FrmImpApTest, LongFieldsPrintWholeInsideThePage) {
    const auto w = PrintData::longText;
    const QString shop = PrintData::wideText(80);
    PrintData::setCompany({{"NomeFantasia", shop}});
    const std::pair<QString, WorkshopData::Fields> cases[] = {
        {w(50), {{"Aparelho", w(16)}, {"Marca", QStringLiteral("M") + w(15)}, {"Modelo", w(14)},
                 {"Tipo", QStringLiteral("GAR. DE SERVIÇO")}, {"Status", w(13)}, {"Tecnico", w(14)}}},
        {QStringLiteral("MARIA APARECIDA DOS SANTOS OLIVEIRA DE ALBUQUERQUE"),
         {{"Aparelho", QStringLiteral("MICROSSYSTEM")}, {"Marca", QStringLiteral("CONTINENTAL 2001")},
          {"Modelo", QStringLiteral("MWWWWWWWWWWWW2")}, {"Status", QStringLiteral("AGUARD. PEÇAS")},
          {"Tecnico", QStringLiteral("JOÃO BATISTA M")}}},
        {QStringLiteral("ANA"), {{"Tecnico", QVariant()}, {"Dias", QVariant()}}},
    };
    for (const auto& [nome, fields] : cases) {
        SCOPED_TRACE(nome.toStdString());
        printer.target->documents.clear();
        m_db.execute(QStringLiteral("DELETE FROM TblManutencao"));
        for (int i = 0; i < 3; ++i) WorkshopData::addOrder(nome, fields);
        WorkshopData::addOrder(nome, {{"Dias", 9999}});
        expectBoxes(printComplete(), {Sent});
        ASSERT_EQ(pages().size(), 1u);
        const RecordedPage& p = pages()[0];
        // The title on the shop's line, whole.
        QStringList values{shop, nome, QStringLiteral("05/03/2008"), QStringLiteral("9999"),
                           QStringLiteral("=== Relatório Completo de todos os Aparelhos em Manutenção ===")};
        for (const auto& [field, value] : fields) values << value.toString();
        expectWholeInside(p, values);
        ASSERT_EQ(rows(p).size(), 4);
        // Each row from its order number: ten fields, fewer when empty, each
        // at its column by the tab rule (a field past the next column sends
        // the rest of the row to the next line).
        const int columns[] = {3, 13, 27, 89, 118, 139, 163, 187, 211, 218};
        int filled = 10;
        for (const auto& field : fields) filled -= field.second.isNull();
        const auto texts = p.texts();
        for (std::size_t i = 0; i < texts.size(); ++i)
            if (p.fontOf(*texts[i]).bold && p.fontOf(*texts[i]).size == 8) {
                ASSERT_LE(i + filled, texts.size());
                for (int k = 1; k < filled; ++k) expectTabbed(p, texts[i + k - 1], texts[i + k], columns[k]);
                break;
            }
    }
}

// The selected order goes to the order's print window; a failing printer
// says so under the list's title and the window stays.
TEST_F(FrmImpApTest, OptionsAndFailures) {
    const qint64 os = WorkshopData::addOrder("ANA");
    Modulo::OsAtual = std::int32_t(os);
    {
        FrmImpAp w;
        EXPECT_EQ(w.findChild<QRadioButton*>("Option3")->text(), QStringLiteral("OS Selecionada (%1)").arg(os));
        EXPECT_TRUE(w.findChild<QRadioButton*>("Option3")->isChecked());
        ModalScript script([](QWidget* d) { d->findChild<QPushButton*>("BtFechar")->click(); }, 10000, "FrmImpressao");
        w.findChild<QPushButton*>("BtImprimir")->click();
        EXPECT_TRUE(script.done());
        EXPECT_EQ(w.result(), QDialog::Accepted);
    }
    printer.target->setFailure(483, QStringLiteral("A impressora recusou o trabalho"));
    bool closed = true;
    const QList<ShownBox> boxes = printComplete(&closed);
    expectBoxes(boxes, {QStringLiteral("Não foi possível imprimir este Relatório\rVerifique se a impressora está ligada e "
                                       "funcionando corretamente!\rA impressora recusou o trabalho__483")});
    EXPECT_EQ(boxes[0].title, Title);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(printer.target->documents.empty());
}

TARVEL_TEST_MAIN()
