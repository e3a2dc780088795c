// The drawing surface: print statements, fitted values, pages, formats and
// the default printer's failure.
#include "printing/printer.h"
#include "store/currency.h"
#include "support/testmain.h"

#include <QDate>
#include <QProcess>
#include <QTemporaryDir>


namespace {

constexpr double Tol = 0.05;   // millimetres

class PrinterTest : public ::testing::Test {
protected:
    std::shared_ptr<RecordingTarget> target = std::make_shared<RecordingTarget>();
    Printer p{target};

    const RecordedPage& page(std::size_t doc = 0, std::size_t n = 0) { return target->documents.at(doc).pages.at(n); }
};

} // namespace

TEST_F(PrinterTest, PrintStatementsPlaceTheirItems) {
    p.setFontName(QStringLiteral("Arial Narrow"));
    p.setFontSize(10);
    const double col = p.columnWidth();
    const double line = p.lineHeight();
    const double blank = p.textWidth(QStringLiteral(" "));
    const double widthA = p.textWidth(QStringLiteral("A")), widthB = p.textWidth(QStringLiteral("B"));
    p.setY(20);
    p.print({Tab(10), "A", Spc(3), "B"}, LineEnd::Open);
    p.print({"C"});
    p.print();
    p.print({Tab(50), "long text that passes column twelve", Tab(12), "D"});
    p.print({"Página: ", Num(1)});
    p.endDoc();

    const RecordedPage& pg = page();
    const PrintOp* a = pg.findText("A");
    ASSERT_TRUE(a);
    EXPECT_NEAR(a->x, 9 * col, Tol);
    EXPECT_NEAR(a->y, 20, Tol);
    const PrintOp* b = pg.findText("B");
    EXPECT_NEAR(b->x, a->x + widthA + 3 * blank, Tol);
    // The open line continues; the next statement ends it.
    const PrintOp* c = pg.findText("C");
    EXPECT_NEAR(c->x, b->x + widthB, Tol);
    EXPECT_NEAR(c->y, 20, Tol);
    // An empty line, then a column already passed goes to the next line.
    const PrintOp* lng = pg.findText("long text that passes column twelve");
    EXPECT_NEAR(lng->y, 20 + 2 * line, Tol);
    const PrintOp* d = pg.findText("D");
    EXPECT_NEAR(d->x, 11 * col, Tol);
    EXPECT_NEAR(d->y, 20 + 3 * line, Tol);
    // A number item has a blank on each side: two blanks after the colon.
    EXPECT_TRUE(pg.findText(" 1 "));
    // A column is the desktop's average character width: Arial's 904/2048 of
    // the em, 82 % of it in the narrow face.
    EXPECT_NEAR(col, 0.82 * 904.0 / 2048.0 * 10.0 * 25.4 / 72.0, 0.03);
}

// A value short of room prints whole in a smaller size that really fits, on
// the line's baseline; too long even at the floor, it goes on below, word by
// word; the size returns after it.
TEST_F(PrinterTest, FittedValuesPrintWhole) {
    p.setFontName(QStringLiteral("Arial Narrow"));
    p.setFontSize(10);
    const QString brand = QStringLiteral("CONTINENTAL 2001");
    const double end = p.textWidth(brand) * 0.9;
    const QString words = QString(QStringLiteral("WWWWWWWWWW ")).repeated(12).trimmed();
    p.printFitted(QStringLiteral("OK"), end);
    p.print();
    p.printFitted(brand, end);
    p.print({"|"});
    p.printFitted(words, 30);
    p.print({"|"});
    p.endDoc();
    const RecordedPage& pg = page();
    EXPECT_EQ(pg.fontOf(*pg.findText("OK")).size, 10);
    const PrintOp* fitted = pg.findText(brand);
    ASSERT_TRUE(fitted);
    const PrintFont& small = pg.fontOf(*fitted);
    EXPECT_LT(small.size, 10);
    EXPECT_GE(small.size, 8.8);
    EXPECT_LE(PrintMetrics::textWidth(small, brand), end);
    const PrintFont normal{QStringLiteral("Arial Narrow"), 10};
    EXPECT_NEAR(fitted->y + PrintMetrics::ascent(small), PrintMetrics::lineHeight(normal) + PrintMetrics::ascent(normal),
                Tol);
    EXPECT_EQ(pg.fontOf(*pg.texts()[2]).size, 10);   // the bar after it
    // Twelve words of ten W in 30 mm: at the floor, several lines, none wider.
    QStringList wrapped;
    for (const PrintOp* t : pg.texts())
        if (t->text.startsWith(QLatin1Char('W'))) {
            EXPECT_EQ(pg.fontOf(*t).size, Printer::MinFittedSize);
            EXPECT_LE(t->x + PrintMetrics::textWidth(pg.fontOf(*t), t->text), 30 + Tol);
            wrapped << t->text;
        }
    EXPECT_GT(wrapped.size(), 1);
    EXPECT_EQ(wrapped.join(QLatin1Char(' ')), words);
}

// Pages, page numbers, the bottom of the page, ending and cancelling.
TEST_F(PrinterTest, PagesEndAndCancel) {
    p.setOrientation(PrintOrientation::Landscape);
    EXPECT_NEAR(p.printableWidth(), 287, Tol);
    p.print({"one"});
    EXPECT_EQ(p.page(), 1);
    p.newPage();
    EXPECT_EQ(p.page(), 2);
    EXPECT_EQ(p.y(), 0);
    p.print({"two"});
    p.setY(p.printableHeight() - 1);
    p.print({"bottom"});                     // does not fit: a third page
    EXPECT_EQ(p.page(), 3);
    p.endDoc();
    ASSERT_EQ(target->documents.size(), 1u);
    ASSERT_EQ(target->documents[0].pages.size(), 3u);
    EXPECT_EQ(page(0, 2).findText("bottom")->y, 0);
    EXPECT_EQ(page(0, 0).orientation, PrintOrientation::Landscape);
    EXPECT_EQ(p.page(), 1);

    // Cancelled: nothing reaches the target; ending without output neither.
    p.print({"half a page"});
    p.killDoc();
    p.endDoc();
    EXPECT_EQ(target->documents.size(), 1u);

    // A target that refuses: the error comes out and the document is gone.
    target->setFailure(PrintErrorCode::PrinterFailed, QStringLiteral("recusado"));
    try {
        p.print({"x"});
        FAIL() << "no error";
    } catch (const PrintError& e) {
        EXPECT_EQ(e.number(), PrintErrorCode::PrinterFailed);
    }
    target->clearFailure();
    p.print({"again"});
    p.endDoc();
    ASSERT_EQ(target->documents.size(), 2u);
    EXPECT_EQ(page(1).texts().size(), 1u);
}

// A page takes the orientation set before anything is drawn on it: a portrait page, then a landscape one
// whose bottom line breaks at the landscape height. Written to PDF, each page reads back with its own
// size and text.
TEST_F(PrinterTest, EachPageTakesTheOrientationSetBeforeItsFirstDrawing) {
    QTemporaryDir dir;
    target->alsoWritePdf(dir.filePath("doc%1.pdf"));
    p.print({"retrato"});
    p.newPage();
    p.setOrientation(PrintOrientation::Landscape);
    p.print({"paisagem"});
    p.setY(p.printableHeight() - 1);
    p.print({"fim"});
    p.endDoc();
    ASSERT_EQ(target->documents.at(0).pages.size(), 3u) << "the landscape page's last line on a page of its own";
    for (std::size_t n : {1, 2}) {
        EXPECT_EQ(page(0, n).orientation, PrintOrientation::Landscape);
        EXPECT_NEAR(page(0, n).printable.width(), 287, Tol);
    }
    const QString file = dir.filePath("doc1.pdf");
    const auto run = [](const QString& tool, const QStringList& args) {
        QProcess proc;
        proc.start(tool, args);
        proc.waitForFinished(30000);
        return QString::fromUtf8(proc.readAllStandardOutput()).simplified();
    };
    const QString sizes = run("pdfinfo", {"-f", "1", "-l", "3", file});
    for (const char* size : {"Page 1 size: 595 x 842", "Page 2 size: 842 x 595", "Page 3 size: 842 x 595"})
        EXPECT_TRUE(sizes.contains(size)) << size << "\n" << sizes.toStdString();
    EXPECT_EQ(run("pdftotext", {"-f", "1", "-l", "1", file, "-"}), "retrato");
    EXPECT_EQ(run("pdftotext", {"-f", "2", "-l", "3", file, "-"}), "paisagem fim");
}

// A value too wide even at the smallest size wraps word by word, each line
// going on under the value's own start.
TEST_F(PrinterTest, WrappedValuesStayUnderTheirStart) {
    p.setFontName(QStringLiteral("Arial Narrow"));
    p.setFontSize(10);
    const QString words = QString(QStringLiteral("WWWWWWWWWW ")).repeated(12).trimmed();
    p.print({Tab(30), "label"}, LineEnd::Open);
    const double start = p.x();
    p.printFitted(words, start + 30);
    p.print({"|"});
    p.endDoc();
    const RecordedPage& pg = page();
    QList<const PrintOp*> wrapped;
    for (const PrintOp* t : pg.texts())
        if (t->text.startsWith(QLatin1Char('W'))) wrapped << t;
    ASSERT_GT(wrapped.size(), 1);
    for (const PrintOp* t : wrapped) {
        EXPECT_NEAR(t->x, start, Tol) << t->text.toStdString();
        EXPECT_LE(t->x + PrintMetrics::textWidth(pg.fontOf(*t), t->text), start + 30 + Tol);
    }
    EXPECT_NEAR(wrapped[1]->y - wrapped[0]->y, PrintMetrics::lineHeight(pg.fontOf(*wrapped[0])), Tol);
}

// Fit() values in print statements: whole at their size wherever the tab
// rule keeps them on the page, a value past the next column sending the
// tabbed item to that column of the next line; smaller only when their
// stretch (labels included) would pass the right edge, and then the Tab
// after them still starts the next entry at its column.
TEST_F(PrinterTest, FittedValuesFollowTheTabRule) {
    p.setFontName(QStringLiteral("Arial Narrow"));
    p.setFontSize(10);
    const double col = p.columnWidth();
    const double line = p.lineHeight();
    // Digits are wider than the average column: as many as end between 8.5
    // and 9 columns, inside the last column before column 10.
    QString inside;
    while (p.textWidth(inside + QLatin1Char('8')) <= 9 * col) inside += QLatin1Char('8');
    ASSERT_GT(p.textWidth(inside), 8.5 * col);
    const QString past = QStringLiteral("NOME DO CLIENTE COM SESSENTA CARACTERES PARA O TESTE DA LINHA");
    const QString edge = QString(QStringLiteral("ELETRODOMÉSTICO ")).repeated(12).trimmed();
    const QString lines = QStringLiteral("PRIMEIRA LINHA\r\nSEGUNDA LINHA");
    p.print({Tab(1), Fit(inside), Tab(10), "A"});
    p.print({Tab(1), "Cliente:", Spc(1), Fit(past), Tab(20), "B"});
    p.print({Tab(1), Fit(edge), Tab(40), "C"});
    p.print({Tab(1), Fit(QString(70, QLatin1Char('x'))), "Fixo até a margem", Spc(1), Fit(QString(70, QLatin1Char('y')))});
    p.print({Tab(1), Fit(lines), Tab(40), "D"});
    const QString longA = QStringLiteral("A ") + edge, longB = QStringLiteral("B ") + edge;
    p.print({Tab(1), "Defeito:", Spc(2), Fit(longA + QStringLiteral("\r\n") + longB), Tab(40), "E"});
    p.endDoc();
    const RecordedPage& pg = page();
    const auto right = [&pg](const PrintOp* t) { return t->x + PrintMetrics::textWidth(pg.fontOf(*t), t->text); };

    // Up to the column itself: the value at its size, the item on its line.
    const PrintOp* in = pg.findText(inside);
    ASSERT_TRUE(in);
    EXPECT_EQ(pg.fontOf(*in).size, 10);
    EXPECT_NEAR(pg.findText("A")->x, 9 * col, Tol);
    EXPECT_NEAR(pg.findText("A")->y, in->y, Tol);

    // Past the column: whole at its size; the item one line lower at its column.
    const PrintOp* whole = pg.findText(past);
    ASSERT_TRUE(whole);
    EXPECT_EQ(pg.fontOf(*whole).size, 10);
    EXPECT_GT(right(whole), 19 * col);
    EXPECT_NEAR(pg.findText("B")->x, 19 * col, Tol);
    EXPECT_NEAR(pg.findText("B")->y, whole->y + line, Tol);

    // Past the edge: smaller, inside the page; the Tab starts the next entry
    // at its column of the next line.
    const PrintOp* fitted = pg.findText(edge);
    ASSERT_TRUE(fitted);
    EXPECT_LT(pg.fontOf(*fitted).size, 10);
    EXPECT_GE(pg.fontOf(*fitted).size, Printer::MinFittedSize);
    EXPECT_LE(right(fitted), 200 + Tol);
    EXPECT_NEAR(pg.findText("C")->x, 39 * col, Tol);
    EXPECT_NEAR(pg.findText("C")->y, pg.findText("B")->y + 2 * line, Tol);

    // The label between two values counts: the line ends inside the edge.
    const PrintOp* label = pg.findText("Fixo até a margem");
    const PrintOp* last = pg.findText(QString(70, QLatin1Char('y')));
    ASSERT_TRUE(label && last);
    EXPECT_LT(pg.fontOf(*last).size, 10);
    EXPECT_LE(right(last), 200 + Tol);
    EXPECT_GT(last->x, right(label));

    // A value typed on two lines: one line under the other, no CR left.
    const PrintOp* first = pg.findText("PRIMEIRA LINHA");
    const PrintOp* second = pg.findText("SEGUNDA LINHA");
    ASSERT_TRUE(first && second);
    EXPECT_NEAR(second->y, first->y + line, Tol);
    EXPECT_NEAR(second->x, 0, Tol);
    EXPECT_FALSE(pg.allText().contains(QLatin1Char('\r')));
    EXPECT_NEAR(pg.findText("D")->y, second->y, Tol);

    // Fitted, each of its lines fits on its own, the second under the first.
    const PrintOp* a = pg.findText(longA);
    const PrintOp* b = pg.findText(longB);
    ASSERT_TRUE(a && b);
    for (const PrintOp* t : {a, b}) {
        EXPECT_LT(pg.fontOf(*t).size, 10);
        EXPECT_LE(right(t), 200 + Tol);
    }
    EXPECT_NEAR(b->x, 0, Tol);
    const auto baseline = [&pg](const PrintOp* t) { return t->y + PrintMetrics::ascent(pg.fontOf(*t)); };
    EXPECT_NEAR(baseline(b) - baseline(a), line, Tol);
    EXPECT_NEAR(pg.findText("E")->x, 39 * col, Tol);
    EXPECT_GT(pg.findText("E")->y, b->y);
}

// A record measured for the room it takes leaves nothing on the page: what prints next goes on the open line in the
// font it had, whatever the record set.
TEST_F(PrinterTest, AMeasuredRecordLeavesNothingBehind) {
    p.setFontSize(12);
    const double width = p.textWidth(QStringLiteral("ANTES"));
    p.print({"ANTES"}, LineEnd::Open);
    PrintFont big;
    const double height = p.heightOf([this, &big] {
        p.setFontSize(20);
        p.setBold(true);
        p.setUnderline(true);
        big = p.font();
        p.print({"MEDIDO"});
        p.print({"MEDIDO"});
    });
    p.print({"DEPOIS"});
    p.endDoc();
    const RecordedPage& pg = page();
    const PrintOp* before = pg.findText("ANTES");
    const PrintOp* after = pg.findText("DEPOIS");
    ASSERT_TRUE(before && after);
    EXPECT_FALSE(pg.findText("MEDIDO"));
    EXPECT_EQ(pg.fontOf(*after), pg.fontOf(*before));
    EXPECT_NEAR(after->x, before->x + width, Tol);
    EXPECT_NEAR(after->y, before->y, Tol);
    EXPECT_NEAR(height, 2 * PrintMetrics::lineHeight(big), Tol);
}

// What one document sets (a right edge, a font) never reaches the next.
TEST_F(PrinterTest, NothingCarriesIntoTheNextDocument) {
    const QString value = QString(QStringLiteral("VALOR LONGO ")).repeated(5).trimmed();
    p.setFontName(QStringLiteral("Times New Roman"));
    p.setFontSize(20);
    p.setBold(true);
    p.setRightEdge(60);
    p.print({Fit(value)});
    p.endDoc();
    p.print({Fit(value)});
    p.endDoc();
    ASSERT_EQ(target->documents.size(), 2u);
    const RecordedPage& before = page(0);
    const PrintOp* narrow = before.texts().front();
    EXPECT_LE(narrow->x + PrintMetrics::textWidth(before.fontOf(*narrow), narrow->text), 60 + Tol);
    const RecordedPage& after = page(1);
    const PrintOp* t = after.findText(value);
    ASSERT_TRUE(t);
    EXPECT_EQ(after.fontOf(*t), PrintFont());
    EXPECT_GT(PrintMetrics::textWidth(after.fontOf(*t), value), 60);
}

TEST(Formats, NamedFormatsAndItems) {
    const std::pair<QString, QString> rows[] = {
        {Fmt::zeros(123456, 5), "123456"},
        {Fmt::zeros(QVariant(), 5), ""},
        {Fmt::shortDate(QStringLiteral("9/3/26")), "09/03/2026"},
        {Fmt::shortDate(QStringLiteral("MARÇO")), "MARÇO"},
        {Fmt::shortTime(QStringLiteral("14:35:10")), "14:35"},
        {Fmt::currency(QVariant::fromValue(Currency::fromCents(123456))), "R$ 1.234,56"},
        {Num(-7).text(), "-7 "},
        {Num(QVariant()).text(), ""},
        {Value(QVariant()).text(), ""},
        {Value(QDate(2026, 1, 2)).text(), "02/01/2026"},
    };
    for (const auto& [got, expected] : rows) EXPECT_EQ(got, expected);
}

// With no print server reachable there is no default printer: the job's
// first output fails with the printer's error and nothing is begun.
TEST(PrinterTargetTest, NoDefaultPrinterFailsWithItsError) {
    Printer p(std::make_shared<PrinterTarget>());
    try {
        p.print({"x"});
        FAIL() << "printed without a printer";
    } catch (const PrintError& e) {
        EXPECT_EQ(e.number(), PrintErrorCode::NoPrinter);
    }
    EXPECT_FALSE(p.hasDocument());
}

int main(int argc, char** argv) {
    // No print server: a socket that does not exist.
    qputenv("CUPS_SERVER", "/nonexistent/tarvel-cups.sock");
    return TestMain::run(argc, argv);
}
