// Every document at its longest, printed through the two queues of a private
// print server: one whose whole A4 page is printable, and one whose printer
// declares hardware margins. Each document is recorded as the queue's
// printable area shaped it (every value whole, every text inside the area,
// none over the next, every list page under its header) and its PDF is read
// back: no ink in the printer's margins.
#include "../orders/delivereddata.h"
#include "printdata.h"

#include "printing/frmimpap.h"
#include "printing/frmimpapentr.h"
#include "printing/frmimpdtapent.h"
#include "printing/frmimpressao.h"
#include "printing/frmimpretirada.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/othercopy.h"
#include "support/printedpages.h"
#include "support/printserver.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <functional>

using namespace PrintedPages;

namespace {

PrintServer* server = nullptr;
const QString Sent = QStringLiteral("Os Dados foram enviados para a Impressora. Aguarde!");

// The queue as the program's default printer: each document is kept for the
// checks and printed on the queue.
class QueueTarget : public PrintTarget {
public:
    PageGeometry geometry(PrintOrientation orientation) override { return m_printer.geometry(orientation); }
    void deliver(const RecordedDocument& document) override {
        recorded.deliver(document);
        m_printer.deliver(document);
    }
    RecordingTarget recorded;

private:
    PrinterTarget m_printer;
};

// One page of a PDF as printed: the paper and the box holding every dark dot,
// in millimetres from the paper's top-left corner (read from a 60-dpi
// rendering; an empty box for a blank page).
struct Ink {
    QSizeF paper;
    QRectF box;
};

std::vector<Ink> inkOf(const QString& pdf) {
    QTemporaryDir dir;
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-gray"),
                                              QStringLiteral("-png"), pdf, dir.filePath(QStringLiteral("page"))});
    render.waitForFinished(30000);
    const double mm = 25.4 / 60.0;
    std::vector<Ink> out;
    for (const QString& name : QDir(dir.path()).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        const QImage img = QImage(dir.filePath(name)).convertToFormat(QImage::Format_Grayscale8);
        int left = img.width(), top = img.height(), right = -1, bottom = -1;
        for (int y = 0; y < img.height(); ++y) {
            const uchar* line = img.constScanLine(y);
            for (int x = 0; x < img.width(); ++x)
                if (line[x] < 160) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        }
        Ink ink{QSizeF(img.width() * mm, img.height() * mm), {}};
        if (right >= 0) ink.box = QRectF(QPointF(left * mm, top * mm), QPointF((right + 1) * mm, (bottom + 1) * mm));
        out.push_back(ink);
    }
    return out;
}

class PrintableAreaTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        // The machine's set-up installs CUPS and cups-pdf: a server that does
        // not start is a failure, never a quiet skip.
        ASSERT_TRUE(server->running()) << "no private print server: " << server->whyNot().toStdString();
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 12, 6), QTime(15, 20, 5)));
        m_previous = Printing::setDefaultTarget(nullptr);
        m_db = Database::openDefault();   // one connection for the test's writes
    }
    void TearDown() override {
        if (!server->running()) return;
        Printing::setDefaultTarget(m_previous);
        Clock::set({});
        m_db = Database();
        server->makeDefault(server->queue());
        ProgramFolderTest::TearDown();
    }

    // Runs `job` with each queue as the default printer: it must print
    // `documents` documents, laid out on the printable area the queue
    // reports, every text of every page inside it, none over the next, each of `values` whole on
    // some page, `eachPage` true of every page, and no ink in the printer's
    // margins.
    void onBothQueues(const std::function<void()>& job, std::size_t documents, const QStringList& values,
                      const std::function<void(const RecordedPage&)>& eachPage = {}) {
        for (const QString& queue : {server->queue(), server->marginQueue()}) {
            SCOPED_TRACE(queue.toStdString());
            ASSERT_TRUE(server->makeDefault(queue)) << server->whyNot().toStdString();
            const auto areaOf = [](PrintOrientation o) { return PrinterTarget().geometry(o).printable; };
            const QRectF portrait = areaOf(PrintOrientation::Portrait), landscape = areaOf(PrintOrientation::Landscape);
            const auto target = std::make_shared<QueueTarget>();
            Printing::setDefaultTarget(target);
            const qsizetype before = server->newPdfs(queue).size();
            job();
            Printing::setDefaultTarget(nullptr);
            ASSERT_EQ(target->recorded.documents.size(), documents);
            for (const RecordingTarget::Document& d : target->recorded.documents)
                for (const RecordedPage& pg : d.pages) {
                    // Laid out on the area the queue reports.
                    const QSizeF area = (pg.orientation == PrintOrientation::Landscape ? landscape : portrait).size();
                    EXPECT_NEAR(pg.printable.width(), area.width(), 0.1);
                    EXPECT_NEAR(pg.printable.height(), area.height(), 0.1);
                    expectWholeInside(pg);
                    if (eachPage) eachPage(pg);
                }
            QStringList all;
            for (const RecordingTarget::Document& d : target->recorded.documents)
                for (const RecordedPage& pg : d.pages)
                    for (const PrintOp* t : pg.texts()) all << t->text;
            for (const QString& value : values)
                EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const QString& t) { return t.contains(value.trimmed()); }))
                    << "cut or missing: " << value.toStdString();
            const QStringList pdfs = server->waitForPdfs(int(before + documents), 30000, queue);
            ASSERT_EQ(pdfs.size(), before + qsizetype(documents));
            for (qsizetype i = before; i < pdfs.size(); ++i) {
                const std::vector<Ink> pages = inkOf(pdfs[i]);
                ASSERT_FALSE(pages.empty()) << pdfs[i].toStdString();
                for (std::size_t n = 0; n < pages.size(); ++n) {
                    // A dot of the rendering (0.42 mm) and a little for its rounding.
                    const bool wide = pages[n].paper.width() > pages[n].paper.height();
                    const QRectF area = (wide ? landscape : portrait).adjusted(-0.6, -0.6, 0.6, 0.6);
                    const QRectF& box = pages[n].box;
                    EXPECT_TRUE(area.contains(box)) << pdfs[i].toStdString() << " page " << n + 1 << ": ink from "
                                                    << box.left() << ", " << box.top() << " to " << box.right()
                                                    << ", " << box.bottom();
                }
            }
        }
    }

    std::shared_ptr<PrintTarget> m_previous;
    Database m_db;
};

QStringList valuesOf(const PrintData::Fields& fields) {
    QStringList out;
    for (const QVariant& v : fields) out << v.toString();
    return out;
}

} // namespace

// The margins queue reports its printer's hardware margins, in both
// orientations; the full-page queue a wider area on the same A4 paper.
TEST_F(PrintableAreaTest, TheQueuesReportTheirPrintableArea) {
    ASSERT_TRUE(server->makeDefault(server->marginQueue()));
    const double m = PrintServer::Margin;
    const PageGeometry portrait = PrinterTarget().geometry(PrintOrientation::Portrait);
    EXPECT_EQ(portrait.paper, QSizeF(210, 297));
    EXPECT_NEAR(portrait.printable.left(), m, 0.1);
    EXPECT_NEAR(portrait.printable.top(), m, 0.1);
    EXPECT_NEAR(portrait.printable.width(), 210 - 2 * m, 0.1);
    EXPECT_NEAR(portrait.printable.height(), 297 - 2 * m, 0.1);
    const PageGeometry landscape = PrinterTarget().geometry(PrintOrientation::Landscape);
    EXPECT_NEAR(landscape.printable.width(), 297 - 2 * m, 0.1);
    EXPECT_NEAR(landscape.printable.height(), 210 - 2 * m, 0.1);
    ASSERT_TRUE(server->makeDefault(server->queue()));
    const PageGeometry full = PrinterTarget().geometry(PrintOrientation::Portrait);
    EXPECT_EQ(full.paper, QSizeF(210, 297));
    EXPECT_GT(full.printable.width(), portrait.printable.width() + 1);
}

// The pickup receipt with every field at its longest (the twelve brands, the
// three location lines, the company's registration numbers among them), and
// with brands and locations as long as a shop types them.
TEST_F(PrintableAreaTest, PickupReceipt) {
    const auto w = PrintData::longText;
    const PrintData::Fields longest{
        {"Nome", w(50)}, {"End", w(50)}, {"Complemento", w(20)}, {"Bairro", w(18)}, {"Cidade", w(18)},
        {"Estado", w(2)}, {"TelRes", w(15)}, {"Cel", w(15)}, {"Loc0", QStringLiteral("A") + w(49)},
        {"Loc1", QStringLiteral("B") + w(49)}, {"Loc2", QStringLiteral("C") + w(49)}, {"Ap0", w(16)},
        {"Marca0", w(16)}, {"Mod0", w(14)}, {"NumSerie", w(15)}, {"Defeito", w(55)}, {"Operador", w(14)}};
    PrintData::Fields realisticCompany{{"NomeFantasia", QStringLiteral("ELETRÔNICA SÃO JUDAS TADEU")}};
    for (int i = 1; i <= 12; ++i) realisticCompany[QStringLiteral("Aut%1").arg(i)] = QStringLiteral("PANASONIC DO BRASIL");
    const PrintData::Fields realistic{{"Loc0", QStringLiteral("SEGUNDA CASA DEPOIS DA PADARIA DO SR. MANOEL")},
                                      {"Loc1", QStringLiteral("PORTÃO AZUL DE FERRO, TOCAR A CAMPAINHA DOS FUNDOS")},
                                      {"Loc2", QStringLiteral("PROCURAR DONA WILMA NO MERCADINHO DA ESQUINA")},
                                      {"Nome", QStringLiteral("MARIA APARECIDA DOS SANTOS OLIVEIRA DE ALBUQUERQUE")}};
    for (const auto& [name, company, receipt] :
         {std::tuple{"longest", PrintData::longestCompany(), longest}, std::tuple{"realistic", realisticCompany, realistic}}) {
        SCOPED_TRACE(name);
        PrintData::setCompany(company);
        Modulo::IdRetiradaAtual = PrintData::insert(QStringLiteral("TblRetirada"), receipt);
        QStringList values = valuesOf(receipt);
        for (const auto& [field, value] : company.asKeyValueRange())
            if (!field.startsWith(QLatin1String("Msg")) && field != QLatin1String("Sigla")) values << value.toString();
        onBothQueues([] {
            expectBoxes(boxesDuring([] { FrmImpRetirada(nullptr).findChild<WindowTimer*>("TimerRetirada")->fire(); }),
                        {Sent});
        }, 1, values);
    }
}

int main(int argc, char** argv) {
    PrintServer s;
    server = &s;
    if (!OtherCopy::serve(argc, argv)) s.start();
    return TestMain::run(argc, argv);
}
