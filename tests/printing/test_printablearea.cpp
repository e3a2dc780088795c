// Every document at its longest, printed through the two queues of a private
// print server: one whose whole A4 page is printable, and one whose printer
// declares hardware margins. Each document is recorded as the queue's
// printable area shaped it (every value whole, every text inside the area,
// none over the next, every list page under its header) and its PDF is read
// back: no ink in the printer's margins. No text crosses a line the
// document draws.
#include "../orders/delivereddata.h"
#include "printdata.h"
#include "store/database.h"

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
#include <QRegularExpression>
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
    // reports, every text of every page inside it, none over the next, each
    // of `values` whole on some page, `eachPage` true of every page, and no
    // ink in the printer's margins.
    void onBothQueues(const std::function<void()>& job, std::size_t documents, const QStringList& values,
                      const std::function<void(const RecordedPage&)>& eachPage = {}) {
        struct Printed {
            QString queue;
            qsizetype before;
            QRectF portrait, landscape;
        };
        std::vector<Printed> printed;
        for (const QString& queue : {server->queue(), server->marginQueue()}) {
            SCOPED_TRACE(queue.toStdString());
            ASSERT_TRUE(server->makeDefault(queue)) << server->whyNot().toStdString();
            const auto areaOf = [](PrintOrientation o) { return PrinterTarget().geometry(o).printable; };
            printed.push_back({queue, server->newPdfs(queue).size(), areaOf(PrintOrientation::Portrait),
                               areaOf(PrintOrientation::Landscape)});
            const auto target = std::make_shared<QueueTarget>();
            Printing::setDefaultTarget(target);
            job();
            Printing::setDefaultTarget(nullptr);
            ASSERT_EQ(target->recorded.documents.size(), documents);
            QStringList all;
            for (const RecordingTarget::Document& d : target->recorded.documents)
                for (const RecordedPage& pg : d.pages) {
                    // Laid out on the area the queue reports.
                    const QRectF& area = pg.orientation == PrintOrientation::Landscape ? printed.back().landscape
                                                                                        : printed.back().portrait;
                    EXPECT_NEAR(pg.printable.width(), area.width(), 0.1);
                    EXPECT_NEAR(pg.printable.height(), area.height(), 0.1);
                    expectWholeInside(pg);
                    expectNoTextAcrossLines(pg);
                    if (eachPage) eachPage(pg);
                    for (const PrintOp* t : pg.texts()) all << t->text;
                }
            for (const QString& value : values)
                EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const QString& t) { return t.contains(value.trimmed()); }))
                    << "cut or missing: " << value.toStdString();
        }
        // The PDFs of both queues, printed meanwhile.
        for (const Printed& p : printed) {
            const QStringList pdfs = server->waitForPdfs(int(p.before + documents), 30000, p.queue);
            ASSERT_EQ(pdfs.size(), p.before + qsizetype(documents)) << p.queue.toStdString();
            for (qsizetype i = p.before; i < pdfs.size(); ++i) {
                const std::vector<Ink> pages = inkOf(pdfs[i]);
                ASSERT_FALSE(pages.empty()) << pdfs[i].toStdString();
                for (std::size_t n = 0; n < pages.size(); ++n) {
                    // A dot of the rendering (0.42 mm) and a little for its rounding.
                    const bool wide = pages[n].paper.width() > pages[n].paper.height();
                    const QRectF area = (wide ? p.landscape : p.portrait).adjusted(-0.6, -0.6, 0.6, 0.6);
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

DeliveredData::Fields listed(const PrintData::Fields& fields) {
    DeliveredData::Fields out;
    for (const auto& [name, value] : fields.asKeyValueRange()) out.emplace_back(name, value);
    return out;
}

// A list page (landscape) begins with the list's header (the shop's name and
// the title on one line), its page number and column headings; the records
// follow below the headings.
void underItsHeader(const RecordedPage& pg) {
    if (pg.orientation != PrintOrientation::Landscape) return;
    const auto texts = pg.texts();
    // The shop's name and the title share the first line, the title after the name.
    ASSERT_GE(texts.size(), 2u);
    const PrintOp *name = texts[0], *title = texts[1];
    EXPECT_TRUE(title->text.startsWith(QStringLiteral("=== "))) << title->text.toStdString();
    EXPECT_GE(title->x + 0.05, name->x + PrintMetrics::textWidth(pg.fontOf(*name), name->text));
    EXPECT_LT(std::abs(title->y - name->y), PrintMetrics::lineHeight(pg.fontOf(*name)) / 2);
    const auto number = std::find_if(texts.begin(), texts.end(), [](const PrintOp* t) { return t->text == "Página: "; });
    const auto heading = std::find_if(texts.begin(), texts.end(), [](const PrintOp* t) { return t->text == "CLIENTE"; });
    ASSERT_TRUE(number < heading && heading != texts.end()) << pg.allText().left(200).toStdString();
    for (auto t = heading; t != texts.end(); ++t) EXPECT_GE((*t)->y + 0.01, (*heading)->y) << (*t)->text.toStdString();
}

// The defect typed on three lines: a delivered row a line taller each.
const QString ThreeLineDefect = QStringLiteral("NÃO LIGA\nFAZ BARULHO AO LIGAR\nDESLIGA SOZINHO");

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
    PrintData::Fields widest;
    for (const auto& [field, value] : longest.asKeyValueRange()) widest[field] = PrintData::wideText(int(value.toString().size()));
    for (const char* field : {"Loc0", "Loc1", "Loc2"})   // told apart by their first letter
        widest[QString::fromLatin1(field)] = longest[QString::fromLatin1(field)].toString().left(1) + PrintData::wideText(49);
    for (const auto& [name, company, receipt] : {std::tuple{"longest", PrintData::longestCompany(), longest},
                                                 std::tuple{"widest", PrintData::longestCompany(PrintData::wideText), widest},
                                                 std::tuple{"realistic", realisticCompany, realistic}}) {
        SCOPED_TRACE(name);
        PrintData::setCompany(company);
        Modulo::IdRetiradaAtual = PrintData::insert(QStringLiteral("TblRetirada"), receipt);
        QStringList values = valuesOf(receipt);
        for (const auto& [field, value] : company.asKeyValueRange())
            if (!field.startsWith(QLatin1String("Msg")) && field != QLatin1String("Sigla")) values << value.toString();
        // On the company's copy "Localização:" and each location line follow
        // the tab rule: beside the customer block's line when it ends by
        // their column, on the next line when it passes it.
        const auto besideItsLine = [&receipt](const RecordedPage& pg) {
            // The customer's copy's title frame holds its own words only.
            const QRectF frame(QPointF(125, 4), QPointF(195, 27));
            for (const PrintOp* t : pg.texts()) {
                const PrintFont& f = pg.fontOf(*t);
                const QRectF box(t->x, t->y, PrintMetrics::textWidth(f, t->text), PrintMetrics::lineHeight(f));
                if (!QStringList{"Comprovante", "(Via Cliente)", "de Retirada"}.contains(t->text))
                    EXPECT_FALSE(frame.intersects(box)) << t->text.toStdString();
            }
            const auto texts = pg.texts();
            for (const auto& [text, column] : {std::pair{QStringLiteral("Localização:"), 100},
                                               std::pair{receipt["Loc0"].toString(), 95},
                                               std::pair{receipt["Loc1"].toString(), 95},
                                               std::pair{receipt["Loc2"].toString(), 95}}) {
                const auto at = std::find_if(texts.begin(), texts.end(), [&](const PrintOp* t) { return t->text == text; });
                ASSERT_TRUE(at != texts.end() && at != texts.begin()) << text.toStdString();
                expectTabbed(pg, *(at - 1), *at, column, PrintFont{QStringLiteral("Times New Roman"), 8, false, true});
            }
        };
        onBothQueues([] {
            expectBoxes(boxesDuring([] { FrmImpRetirada(nullptr).findChild<WindowTimer*>("TimerRetirada")->fire(); }),
                        {Sent});
        }, 1, values, besideItsLine);
    }
}

// A factory-warranty order of seven digits with every field at its longest,
// in ordinary and in the widest letters: the order with its stub and number
// tags, then the previous-repairs report of 15 repairs, some of them taller.
TEST_F(PrintableAreaTest, ServiceOrderWithStubAndPreviousRepairs) {
    for (const auto& [name, text] : {std::pair{"longest", &PrintData::longText}, std::pair{"widest", &PrintData::wideText}}) {
        SCOPED_TRACE(name);
        m_db.execute(QStringLiteral("DELETE FROM TblManutencao"));
        m_db.execute(QStringLiteral("DELETE FROM TblApEntregues"));
        PrintData::Fields order = PrintData::longestOrder(text);
        order["Tipo"] = QStringLiteral("GAR.DE FÁBRICA");
        order["Os"] = 1234567;
        const PrintData::Fields company = PrintData::longestCompany(text);
        PrintData::setCompany(company);
        const qint64 os = PrintData::addOrder(order);
        for (int i = 0; i < 8; ++i) PrintData::addOrder({{"Os", 2345670 + i}});
        for (int i = 0; i < 15; ++i)
            PrintData::addDelivered(3456780 + i, {{"Aparelho", order["Aparelho"]}, {"Marca", order["Marca"]},
                                                  {"Modelo", order["Modelo"]}, {"NumSerie", order["NumSerie"]},
                                                  {"Nome", order["Nome"]}, {"Tecnico", order["Tecnico"]},
                                                  {"Defeito", i % 3 ? order["Defeito"] : QVariant(ThreeLineDefect)},
                                                  {"Acessorios", order["Acessorios"]}, {"Dias", 99999},
                                                  {"Relatorio0", QStringLiteral("WWWWW 99 WWW ") + text(39)}});
        QStringList values = valuesOf(order);
        for (const char* field : {"NomeFantasia", "CGC", "Endereco", "Fone1", "Fone2", "Fax", "Email", "Cidade"})
            values << company.value(QString::fromLatin1(field)).toString();
        values << QStringLiteral("3456794") << QStringLiteral("99999");
        onBothQueues([os] {
            expectBoxes(boxesDuring([os] {
                Modulo::OsAtual = std::int32_t(os);
                FrmImpressao w;
                w.findChild<QCheckBox*>("Check3")->setChecked(true);
                w.findChild<QPushButton*>("BtIniciar")->click();
                w.findChild<WindowTimer*>("Timer1")->fire();
            }), {Sent});
        }, 2, values, underItsHeader);
    }
}

// A list window printing all of its records, as chosen in its first option.
template <class Window>
void printWholeList() {
    expectBoxes(boxesDuring([] {
        Window w;
        w.template findChild<QRadioButton*>("Option1")->setChecked(true);
        w.template findChild<QPushButton*>("BtImprimir")->click();
    }), {Sent});
}

// The in-repair list of 60 orders of seven digits at their longest: the
// order number and the days as number items, every page under its header.
TEST_F(PrintableAreaTest, InRepairList) {
    const auto w = PrintData::longText;
    const WorkshopData::Fields fields{{"Aparelho", w(16)}, {"Marca", w(16)},        {"Modelo", w(14)},
                                      {"Tipo", QStringLiteral("GAR. DE SERVIÇO")}, {"Status", w(13)},
                                      {"Tecnico", w(14)}, {"Dias", 99999}};
    PrintData::setCompany(PrintData::longestCompany());
    {
        Transaction tx(m_db);
        for (int i = 0; i < 60; ++i)
            WorkshopData::addOrder(w(50), WorkshopData::merged(fields, {{"Os", 9999940 + i}}));
        tx.commit();
    }
    QStringList values{w(50), QStringLiteral("9999999")};
    for (const auto& field : fields) values << field.second.toString();
    onBothQueues(printWholeList<FrmImpAp>, 1, values, [](const RecordedPage& pg) {
        underItsHeader(pg);
        // Each row's order number and days as number items, a blank either side.
        int numbers = 0;
        for (const PrintOp* t : pg.texts())
            numbers += t->text.contains(QRegularExpression(QStringLiteral("^ (99999|99999\\d\\d) $")));
        EXPECT_EQ(numbers, 2 * count(pg, PrintData::longText(50)));
    });
}

// The delivered list of 30 appliances of seven digits at their longest, every
// third with a defect on three lines: each page under its header.
TEST_F(PrintableAreaTest, DeliveredList) {
    PrintData::Fields fields = PrintData::longestOrder();
    fields.remove("prioridade");
    fields["Tipo"] = QStringLiteral("GAR. DE SERVIÇO");
    fields["Status"] = QStringLiteral("SEM CONSERTO");
    fields["Dias"] = 99999;
    fields["ValorCobrado"] = DeliveredData::money(9999999999900);
    PrintData::setCompany(PrintData::longestCompany());
    for (int i = 0; i < 30; ++i) {
        DeliveredData::Fields row = listed(fields);
        if (i % 3 == 0) row.emplace_back("Defeito", ThreeLineDefect);
        DeliveredData::addDelivered(9999960 + i, fields["Nome"].toString(), row);
    }
    QStringList values{QStringLiteral("9999989"), QStringLiteral("R$ 99.999.999.999,00"), QStringLiteral("DESLIGA SOZINHO")};
    for (const char* field : {"Nome", "Aparelho", "Marca", "Modelo", "Tipo", "Status", "Defeito", "Acessorios", "Tecnico"})
        values << fields[QString::fromLatin1(field)].toString();
    onBothQueues(printWholeList<FrmImpApEntr>, 1, values, underItsHeader);
}

// The repaired-appliance report of a delivered appliance at its longest, in
// ordinary and in the widest letters.
TEST_F(PrintableAreaTest, RepairedApplianceReport) {
    for (const auto& [name, w] : {std::pair{"longest", &PrintData::longText}, std::pair{"widest", &PrintData::wideText}}) {
        SCOPED_TRACE(name);
        PrintData::Fields fields = PrintData::longestOrder(w);
        fields.remove("prioridade");
        for (const char* field : {"Relatorio0", "Relatorio1", "Relatorio2", "Relatorio3", "Relatorio4", "Relatorio55"})
            fields[QString::fromLatin1(field)] = QStringLiteral("WWWWW 99 WWW ") + w(39) + QStringLiteral(" 989999901,00");
        for (const char* field : {"Relatorio9", "Relatorio10", "Relatorio11", "Relatorio12", "Relatorio13",
                                  "Relatorio14", "Relatorio15", "Relatorio16"})
            fields[QString::fromLatin1(field)] = w(69);
        fields["Relatorio5"] = QStringLiteral("R$9999999999,00");
        fields["Relatorio6"] = QStringLiteral("R$ 99.999.999.999,00");
        fields["OperadorSaida"] = w(14);
        fields["Tipo"] = QStringLiteral("GAR. DE SERVIÇO");
        PrintData::setCompany(PrintData::longestCompany(w));
        const qint64 id = DeliveredData::addDelivered(9999999, fields["Nome"].toString(), listed(fields));
        QStringList values = valuesOf(fields);
        values << QStringLiteral("9999999");
        onBothQueues([id] {
            expectBoxes(boxesDuring([id] {
                Modulo::IdApEntregueAtual = std::int32_t(id);
                FrmImpDtApEnt w;
                w.findChild<WindowTimer*>("Timer2")->fire();
            }), {Sent});
        }, 1, values);
    }
}

int main(int argc, char** argv) {
    PrintServer s;
    server = &s;
    if (!OtherCopy::serve(argc, argv)) s.start();
    return TestMain::run(argc, argv);
}
