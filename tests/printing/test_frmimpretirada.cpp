// The printed pickup receipt: both copies on one page, and the window.
#include "printdata.h"
#include "printing/frmimpretirada.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/printedpages.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <functional>

using namespace PrintData;
using namespace PrintedPages;

namespace {

const QString Sent = QStringLiteral("Os Dados foram enviados para a Impressora. Aguarde!");

class FrmImpRetiradaTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        m_db = Database::openDefault();   // one connection for the test's writes
        // Only the fields the tests read; the brands MARCA1 to MARCA12.
        Fields company{{"NomeFantasia", QStringLiteral("ELETRO REPAROS")},
                       {"NomeReal", QStringLiteral("ELETRO REPAROS LTDA ME")}, {"Cidade", QStringLiteral("CAMPINAS")}};
        for (int i = 1; i <= 12; ++i) company[QStringLiteral("Aut%1").arg(i)] = QStringLiteral("MARCA%1").arg(i);
        setCompany(company);
    }
    qint64 addReceipt(const Fields& over = {}) {
        Fields f{{"Nome", QStringLiteral("MARIA DA SILVA")}, {"End", QStringLiteral("RUA DAS PALMEIRAS, 45")},
                 {"Complemento", QStringLiteral("CASA 2")},  {"Bairro", QStringLiteral("CENTRO")},
                 {"Cidade", QStringLiteral("VALINHOS")},     {"Estado", QStringLiteral("SP")},
                 {"TelRes", QStringLiteral("3871-0000")},    {"Cel", QStringLiteral("99876-5432")},
                 {"Loc0", QStringLiteral("PERTO DA PADARIA")}, {"Loc1", QStringLiteral("PORTÃO AZUL")},
                 {"Loc2", QStringLiteral("TOCAR A CAMPAINHA")}, {"Ap0", QStringLiteral("TELEVISOR")},
                 {"Marca0", QStringLiteral("PHILCO")},       {"Mod0", QStringLiteral("PH29")},
                 {"NumSerie", QStringLiteral("SN998877")},   {"Defeito", QStringLiteral("NÃO LIGA\nE FAZ BARULHO")},
                 {"Operador", QStringLiteral("ADMINISTRADOR")}};
        for (auto it = over.begin(); it != over.end(); ++it) f[it.key()] = it.value();
        return insert(QStringLiteral("TblRetirada"), f);
    }
    const RecordedPage& page() { return printer.target->documents.at(0).pages.at(0); }
    // Text ops of the page between two y positions (mm).
    QStringList textsBetween(double top, double bottom) {
        QStringList out;
        for (const PrintOp* op : page().texts())
            if (op->y >= top && op->y < bottom) out << op->text;
        return out;
    }
    double cutLine() {
        for (const PrintOp* op : page().lines())
            if (op->style == LineStyle::DashDot) return op->y;
        return -1;
    }

    void TearDown() override {
        m_db = Database();
        ProgramFolderTest::TearDown();
    }
    RecordingPrinter printer;
    Database m_db;
};

} // namespace

// The window's scenarios: the job at the timer's tick, Cancel or the close
// box before it, a failing printer (the window waits for Cancel), a receipt
// deleted meanwhile. Nothing is ever written.
TEST_F(FrmImpRetiradaTest, Scenarios) {
    const auto tick = [](FrmImpRetirada& w) { w.findChild<WindowTimer*>("TimerRetirada")->fire(); };
    struct Row {
        const char* name;
        std::function<void(FrmImpRetirada&)> act;
        QStringList messages;
        std::size_t documents;
        bool staysOpen;
    };
    const Row rows[] = {
        {"prints", tick, {Sent}, 1, false},
        {"cancel", [](FrmImpRetirada& w) { w.findChild<QPushButton*>("BtFechar")->click(); }, {}, 0, false},
        {"printer fails", [&](FrmImpRetirada& w) {
             printer.target->setFailure(483, QStringLiteral("A impressora não responde"));
             tick(w);
             printer.target->clearFailure();
         }, {QStringLiteral("Não foi possível imprimir este Comprovante de Retirada\r")}, 0, true},
        {"deleted meanwhile", [&](FrmImpRetirada& w) {
             Database::openDefault().execute("DELETE FROM TblRetirada");
             tick(w);
         }, {QStringLiteral("não foi encontrado")}, 0, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        printer.target->documents.clear();
        Modulo::IdRetiradaAtual = addReceipt();
        const QList<ShownBox> boxes = boxesDuring([&] {
            FrmImpRetirada w;
            w.show();
            EXPECT_EQ(w.findChild<QProgressBar*>("PgBar")->value(), 20);
            r.act(w);
            EXPECT_EQ(w.isVisible(), r.staysOpen);
            EXPECT_FALSE(w.findChild<WindowTimer*>("TimerRetirada")->isActive());
            if (r.staysOpen) {
                EXPECT_LT(w.findChild<QProgressBar*>("PgBar")->value(), 100);
                w.findChild<QPushButton*>("BtFechar")->click();
                EXPECT_FALSE(w.isVisible());
            }
        });
        expectBoxes(boxes, r.messages);
        EXPECT_EQ(printer.target->documents.size(), r.documents);
    }
}

// Both copies on one page, split by the dash-dot cut line: the shop's data
// and brands on the customer's copy only, directions and phones on the shop's.
TEST_F(FrmImpRetiradaTest, TheTwoCopies) {
    const qint64 id = addReceipt();
    Modulo::IdRetiradaAtual = id;
    expectBoxes(boxesDuring([] {
        FrmImpRetirada w;
        w.findChild<WindowTimer*>("TimerRetirada")->fire();
    }), {Sent});
    ASSERT_EQ(pageCounts(*printer.target), std::vector<int>{1});
    const double cut = cutLine();
    ASSERT_GT(cut, 100);
    const QString cliente = textsBetween(0, cut).join('|');
    const QString empresa = textsBetween(cut, 1000).join('|');
    for (int i = 1; i <= 12; ++i) EXPECT_TRUE(cliente.contains(QStringLiteral("|MARCA%1|").arg(i))) << i;
    EXPECT_TRUE(cliente.contains("ELETRO REPAROS| (|ADMINISTRADOR| )|CAMPINAS| ,_____/_____/_______"));
    for (const char* absent : {"PERTO DA PADARIA", "3871-0000", "Nº"}) EXPECT_FALSE(cliente.contains(absent)) << absent;
    EXPECT_TRUE(empresa.contains(QStringLiteral("Nº| %1 ").arg(id)));
    for (const char* present : {"PERTO DA PADARIA", "PORTÃO AZUL", "TOCAR A CAMPAINHA", "3871-0000", "99876-5432"})
        EXPECT_TRUE(empresa.contains(present)) << present;
    for (const char* absent : {"MARCA1", "ELETRO REPAROS LTDA ME"}) EXPECT_FALSE(empresa.contains(absent)) << absent;
    EXPECT_TRUE(empresa.contains("MARIA DA SILVA|CAMPINAS| , _____/_____/_______ (|ADMINISTRADOR| )"));
    // A defect typed on two lines prints as two lines, one below the other.
    const PrintOp* first = page().findText("NÃO LIGA");
    const PrintOp* second = page().findText("E FAZ BARULHO");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second->x, 0);
    EXPECT_GT(second->y, first->y);
    expectWholeInside(page());

}

// Every field at its longest: each value whole inside the page, the
// signature lines with the city and operator included.
TEST_F(FrmImpRetiradaTest, LongFieldsPrintWholeInsideThePage) {
    const auto w = longText;
    const Fields company{{"NomeFantasia", w(25)}, {"Cidade", w(20)}};
    const Fields receipt{{"Nome", w(50)}, {"End", w(50)}, {"Complemento", w(20)}, {"Bairro", w(18)},
                         {"Cidade", w(18)}, {"TelRes", w(15)}, {"Cel", w(15)}, {"Loc0", w(50)}, {"Ap0", w(16)},
                         {"Marca0", w(16)}, {"Mod0", w(14)}, {"NumSerie", w(15)}, {"Defeito", w(55)},
                         {"Operador", w(14)}};
    setCompany(company);
    Modulo::IdRetiradaAtual = addReceipt(receipt);
    expectBoxes(boxesDuring([] { FrmImpRetirada(nullptr).findChild<WindowTimer*>("TimerRetirada")->fire(); }), {Sent});
    QStringList values;
    for (const Fields& f : {company, receipt})
        for (const QVariant& v : f) values << v.toString();
    expectWholeInside(page(), values);
}

// Where the receipt fits a value, on both copies: the grid's cells (each
// value kept off the border closing its cell), the shop's name with
// " para reparo. " inside the page, and the customer's copy's title before
// its frame and before "Comprovante" at its bold column. Values a shop types
// keep their size there; the company's copy's title name prints whole, a
// long one sending "Comprovante" to the next line. A name longer than the
// typing box allows (stored by other means) still prints whole.
TEST_F(FrmImpRetiradaTest, FittedPlacesOfBothCopies) {
    const Fields realistic{{"Ap0", QStringLiteral("MICROSSYSTEM")}, {"Marca0", QStringLiteral("CONTINENTAL 2001")},
                           {"Mod0", QStringLiteral("CD-2020 MP3")}, {"NumSerie", QStringLiteral("SN2026031200AB")}};
    const auto grid = [](TextOf w) {
        return Fields{{"Ap0", w(16)}, {"Marca0", QStringLiteral("M") + w(15)}, {"Mod0", w(14)}, {"NumSerie", w(15)}};
    };
    for (const auto& [name, nomeFantasia, receipt] :
         {std::tuple{"realistic", QStringLiteral("ELETRÔNICA SÃO JUDAS TADEU"), realistic},
          std::tuple{"longest", longText(25), grid(longText)}, std::tuple{"widest", wideText(25), grid(wideText)},
          std::tuple{"overlong", wideText(40), grid(wideText)}}) {
        SCOPED_TRACE(name);
        printer.target->documents.clear();
        setCompany({{"NomeFantasia", nomeFantasia}});
        Modulo::IdRetiradaAtual = addReceipt(receipt);
        expectBoxes(boxesDuring([] { FrmImpRetirada(nullptr).findChild<WindowTimer*>("TimerRetirada")->fire(); }), {Sent});
        const RecordedPage& pg = page();
        const auto right = [&pg](const PrintOp* t) { return t->x + PrintMetrics::textWidth(pg.fontOf(*t), t->text); };
        const auto all = [&pg](const QString& text) {
            std::vector<const PrintOp*> out;
            for (const PrintOp* t : pg.texts())
                if (t->text == text) out.push_back(t);
            return out;
        };
        const bool typed = QString::fromUtf8(name) == QStringLiteral("realistic");
        for (const auto& [field, value] : receipt.asKeyValueRange()) {
            const auto cells = all(value.toString());
            ASSERT_EQ(cells.size(), 2u) << field.toStdString();
            for (const PrintOp* t : cells) {
                const double border = *std::find_if(std::begin({70.0, 110.0, 150.0, 190.0}),
                                                    std::end({70.0, 110.0, 150.0, 190.0}),
                                                    [t](double x) { return x > t->x; });
                EXPECT_LE(right(t), border) << field.toStdString();
                if (typed) EXPECT_EQ(pg.fontOf(*t).size, 10) << field.toStdString();
            }
        }
        // " para reparo. " after the name on its baseline, inside the page.
        const auto tails = all(QStringLiteral(" para reparo. "));
        ASSERT_EQ(tails.size(), 2u);
        const auto texts = pg.texts();
        for (const PrintOp* tail : tails) {
            const PrintOp* shop = *(std::find(texts.begin(), texts.end(), tail) - 1);
            EXPECT_EQ(shop->text, nomeFantasia);
            EXPECT_NEAR(tail->x, right(shop), 0.05);
            EXPECT_LE(right(tail), pg.printable.width() + 0.05);
            if (typed) EXPECT_EQ(pg.fontOf(*shop).size, pg.fontOf(*tail).size);
        }
        // The titles: the first and the fourth of the name's five places.
        const auto names = all(nomeFantasia);
        ASSERT_EQ(names.size(), 5u);
        const auto comprovante = all(QStringLiteral("Comprovante"));
        ASSERT_EQ(comprovante.size(), 2u);
        EXPECT_LE(right(names[0]), 124 + 0.05);
        EXPECT_LE(right(names[0]), comprovante[0]->x + 0.05);
        EXPECT_NEAR(comprovante[0]->x, 53 * PrintMetrics::averageCharWidth(pg.fontOf(*comprovante[0])), 0.05);
        // A name made smaller fills that room: a tenth of a point larger it would pass its end.
        PrintFont larger = pg.fontOf(*names[0]);
        larger.size += 0.1;
        if (larger.size < 20)
            EXPECT_GT(names[0]->x + PrintMetrics::textWidth(larger, nomeFantasia), std::min(comprovante[0]->x, 124.0));
        if (nomeFantasia.size() <= 25) EXPECT_EQ(pg.fontOf(*names[3]).size, 18);
        expectTabbed(pg, names[3], comprovante[1], 50);
        expectWholeInside(pg, {nomeFantasia});
    }
}

// Each text of both copies in its font (name, size, then b, i and u for bold, italic and underline), the
// font changes staying in force until the next; and the four full-width rules that split each copy.
TEST_F(FrmImpRetiradaTest, EachTextInItsFontAndTheRulesAcrossThePage) {
    Modulo::IdRetiradaAtual = addReceipt();
    expectBoxes(boxesDuring([] { FrmImpRetirada(nullptr).findChild<WindowTimer*>("TimerRetirada")->fire(); }), {Sent});
    const RecordedPage& pg = page();
    const auto fontOf = [&pg](const QString& text, int nth) {
        for (const PrintOp* t : pg.texts())
            if (t->text == text && nth-- == 0) {
                const PrintFont& f = pg.fontOf(*t);
                return QStringLiteral("%1 %2 %3%4%5").arg(f.name).arg(f.size).arg(f.bold ? "b" : "", f.italic ? "i" : "",
                                                                                    f.underline ? "u" : "").trimmed();
            }
        return QStringLiteral("absent");
    };
    const QString lucida = "Lucida Sans ", times = "Times New Roman ";
    const std::tuple<QString, int, QString> texts[] = {
        // The customer's copy.
        {"ELETRO REPAROS", 0, lucida + "20 i"}, {"Comprovante", 0, lucida + "14 b"},
        {"(Via Cliente)", 0, lucida + "8 bi"}, {"de Retirada", 0, lucida + "14 b"},
        {"ELETRO REPAROS LTDA ME", 0, "Arial 10 iu"}, {"CGC", 0, "Arial 8"}, {"SERVIÇO AUTORIZADO:", 0, "Arial 8 b"},
        {"MARCA1", 0, "Arial 8 iu"}, {"MARCA12", 0, "Arial 8 iu"}, {"Cliente:", 0, times + "10 i"},
        {"MARIA DA SILVA", 0, times + "10 i"}, {"Bairro:", 0, times + "10 i"},
        {"O Aparelho abaixo está sendo retirado para: ", 0, times + "10 i"}, {"ELETRO REPAROS", 1, times + "10 iu"},
        {" para reparo. ", 0, times + "10"}, {"Aparelho", 0, times + "10 bi"}, {"TELEVISOR", 0, times + "10"},
        {"Defeito:", 0, times + "10 bi"}, {"NÃO LIGA", 0, times + "10 i"},
        {"(Estado do Aparelho/Acessórios:)", 0, times + "8 i"}, {"ELETRO REPAROS", 2, times + "8 i"},
        // The company's copy.
        {"ELETRO REPAROS", 3, lucida + "18 i"}, {"(Via Empresa)", 0, lucida + "8 bi"}, {"Nº", 0, lucida + "14"},
        {"Cliente:", 1, times + "8 i"}, {"Localização:", 0, times + "8 i"}, {"PERTO DA PADARIA", 0, times + "8 i"},
        {"ELETRO REPAROS", 4, times + "8 iu"}, {" para reparo. ", 1, times + "8"}, {"Aparelho", 1, times + "10 bi"},
        {"TELEVISOR", 1, times + "10"}, {"MARIA DA SILVA", 2, times + "8 i"},
    };
    QStringList wrong;
    for (const auto& [text, nth, font] : texts)
        if (fontOf(text, nth) != font) wrong << QStringLiteral("%1 #%2: %3, not %4").arg(text).arg(nth).arg(fontOf(text, nth), font);
    EXPECT_EQ(wrong.join('\n'), "");
    int rules = 0;
    for (const PrintOp* l : pg.lines()) rules += l->x == 0 && l->y == l->y2 && std::abs(l->x2 - pg.printable.width()) < 0.01;
    EXPECT_EQ(rules, 4);
}

// The grid's top: the whole millimetre 5 mm above the headings' line, halves
// to the even number; one that does not fit its byte is an overflow error.
TEST(TopoTabela, IsTheWholeMillimetreAboveTheHeadingsLineWithinTheByte) {
    EXPECT_EQ(FrmImpRetirada::topoTabela(60.4), 55);
    EXPECT_EQ(FrmImpRetirada::topoTabela(17.5), 12);   // halves to the even number
    EXPECT_EQ(FrmImpRetirada::topoTabela(18.5), 14);
    EXPECT_EQ(FrmImpRetirada::topoTabela(260.4), 255);
    EXPECT_EQ(FrmImpRetirada::topoTabela(4.6), 0);
    // A grid that would start below 255 mm takes the error path.
    for (const double y : {260.6, 4.4, 1000.0}) {
        try {
            FrmImpRetirada::topoTabela(y);
            ADD_FAILURE() << "no error at " << y;
        } catch (const PrintError& e) {
            EXPECT_EQ(e.number(), 6) << y;
            EXPECT_EQ(e.description(), QStringLiteral("Estouro de capacidade"));
        }
    }
}

TARVEL_TEST_MAIN()
