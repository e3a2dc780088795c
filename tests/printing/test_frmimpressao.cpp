// The print window of a service order: its options, the job and the
// documents it records (service order, number tags, customer's stub and
// previous-repairs report), the print counter and the failures.
#include "printdata.h"
#include "printing/frmimpressao.h"
#include "printing/printer.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/storefaults.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/windowhost.h"

#include <QCheckBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QSet>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace PrintData;

namespace {

constexpr double Tol = 0.05;
const QString Sent = QStringLiteral("Os Dados foram enviados para a Impressora. Aguarde!");

class FrmImpressaoTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 12, 6), QTime(15, 20, 0)));
        writePdfsWhenAsked(*printer.target);
    }
    const RecordingTarget::Document& doc(std::size_t i = 0) { return printer.target->documents.at(i); }
    const RecordedPage& page(std::size_t d = 0, std::size_t n = 0) { return doc(d).pages.at(n); }
    std::size_t documents() const { return printer.target->documents.size(); }

    RecordingPrinter printer;
};

QCheckBox* check(QWidget* w, const char* name) { return w->findChild<QCheckBox*>(name); }

struct Options {
    bool stub = true, tags = true, previous = false, stubAlone = false;
};

// Opens the window on an order, sets the options and runs the job as the
// operator does: the start button, then the timer's tick.
void runJob(qint64 os, Options o = {}) {
    Modulo::OsAtual = std::int32_t(os);
    FrmImpressao w;
    check(&w, "Check1")->setChecked(o.stub);
    check(&w, "Check2")->setChecked(o.tags);
    check(&w, "Check3")->setChecked(o.previous);
    if (o.stubAlone) check(&w, "Check4")->click();
    w.findChild<QPushButton*>("BtIniciar")->click();
    w.findChild<WindowTimer*>("Timer1")->fire();
}

// Column n of a font, in millimetres.
double column(const PrintFont& f, int n) { return (n - 1) * PrintMetrics::averageCharWidth(f); }

PrintFont narrow(double size, bool bold = false, bool italic = false) {
    return PrintFont{QStringLiteral("Arial Narrow"), size, bold, italic, false};
}

// The text op that follows `op` on the page.
const PrintOp* after(const RecordedPage& pg, const PrintOp* op) {
    const auto texts = pg.texts();
    for (std::size_t i = 0; i + 1 < texts.size(); ++i)
        if (texts[i] == op) return texts[i + 1];
    return nullptr;
}

// The last text op equal to `text`.
const PrintOp* findLast(const RecordedPage& pg, const QString& text) {
    const PrintOp* found = nullptr;
    for (const PrintOp* t : pg.texts())
        if (t->text == text) found = t;
    return found;
}

} // namespace

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

// Every widget inside the window and none over another (the progress bar and
// captions show where the options were hidden).
TEST_F(FrmImpressaoTest, WindowLayout) {
    Modulo::OsAtual = std::int32_t(addOrder());
    FrmImpressao w;
    w.findChild<QPushButton*>("BtIniciar")->click();
    w.show();
    QApplication::processEvents();
    const QString dir = qEnvironmentVariable("TARVEL_PDF_DIR");
    if (!dir.isEmpty()) w.grab().save(dir + QStringLiteral("/FrmImpressao.png"));
    QList<QWidget*> shown;
    for (QWidget* c : w.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (c->isVisible()) shown << c;
    for (QWidget* a : shown) {
        EXPECT_TRUE(w.rect().contains(a->geometry())) << a->objectName().toStdString();
        for (QWidget* b : shown)
            if (a != b) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " " << b->objectName().toStdString();
            }
    }
    for (QWidget* c : w.findChild<QGroupBox*>("Frame1")->findChildren<QCheckBox*>())
        EXPECT_TRUE(w.findChild<QGroupBox*>("Frame1")->rect().contains(c->geometry())) << c->objectName().toStdString();
}

// Esc and Cancel close without printing or asking; Enter starts the job.
TEST_F(FrmImpressaoTest, CancelEscAndEnter) {
    const qint64 os = addOrder();
    Modulo::OsAtual = std::int32_t(os);
    ScriptedBoxes boxes;
    for (int way = 0; way < 3; ++way) {
        FrmImpressao w;
        ModalScript script([way](QWidget* dlg) {
            if (way == 0) dlg->findChild<QPushButton*>("BtFechar")->click();
            else if (way == 1) Typing::key(dlg->findChild<QCheckBox*>("Check1"), Qt::Key_Escape);
            // The close box after the start: the job does not run.
            else {
                dlg->findChild<QPushButton*>("BtIniciar")->click();
                dlg->close();
            }
        });
        EXPECT_EQ(w.exec(), QDialog::Rejected);
        EXPECT_FALSE(w.findChild<WindowTimer*>("Timer1")->isActive());
    }
    EXPECT_EQ(documents(), 0u);
    EXPECT_TRUE(boxes.log().isEmpty());

    boxes.answer(MsgAnswer::Ok, Sent);
    FrmImpressao w;
    ModalScript script([](QWidget* dlg) { Typing::key(dlg->findChild<QCheckBox*>("Check1"), Qt::Key_Return); });
    EXPECT_EQ(w.exec(), QDialog::Accepted);   // the timer's tick ran the job and closed the window
    EXPECT_EQ(documents(), 1u);
    EXPECT_EQ(boxes.log().at(0).title, "Impressão de Ordem de Serviço");
    EXPECT_EQ(boxes.log().at(0).icon, MsgIcon::Information);
}

// The page's blocks against their columns, sizes and styles.
TEST_F(FrmImpressaoTest, ServiceOrderPageLayout) {
    const qint64 os = addOrder({{"prioridade", QStringLiteral("URGENTE")}});
    setCompany({{"NomeFantasia", QStringLiteral("ELETRÔNICA ÁGIL")}, {"Sigla", QStringLiteral("EA")}});
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    runJob(os);
    ASSERT_EQ(documents(), 1u);
    ASSERT_EQ(doc().pages.size(), 1u);
    const RecordedPage& pg = page();
    EXPECT_EQ(pg.orientation, PrintOrientation::Portrait);
    EXPECT_EQ(doc().copies, 1);
    const QString number = QStringLiteral("%1").arg(os, 5, 10, QLatin1Char('0'));

    // Row 2: the trade name at column 16 of 20 points, the order number in bold.
    const PrintOp* name = pg.findText("ELETRÔNICA ÁGIL");
    ASSERT_TRUE(name);
    EXPECT_NEAR(name->x, column(narrow(20), 16), Tol);
    EXPECT_NEAR(name->y, PrintMetrics::lineHeight(narrow(20)), Tol);
    EXPECT_EQ(pg.fontOf(*name), narrow(20));
    const PrintOp* title = pg.findText("Ordem de Serviço:");
    EXPECT_EQ(pg.fontOf(*title).size, 16);
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
    // URGENTE in bold; the factory-warranty heading on every order.
    const PrintOp* urg = pg.findText("URGENTE");
    EXPECT_TRUE(pg.fontOf(*urg).bold);
    EXPECT_TRUE(pg.findText("--- GARANTIA FÁBRICA ---"));
    EXPECT_TRUE(pg.fontOf(*after(pg, pg.findText("Loja:"))).bold);

    // Empty previous repairs and a single open order: labels alone.
    EXPECT_EQ(after(pg, pg.findText("Manut.Anteriores:"))->text, "|");
    EXPECT_EQ(after(pg, pg.findText("OBS:"))->text, "|");
    EXPECT_EQ(Modulo::SqlFiltroEntregues,
              "SELECT * FROM TblApEntregues WHERE Aparelho = 'TELEVISOR' AND Marca = 'PHILCO' AND Modelo = 'PH29' "
              "AND NumSerie = 'SN12345'");

    // The normal grid: 7 rules to Largura (200 - 7 = 193) and 5 columns.
    const PrintOp* material = pg.findText("---------- MATERIAL UTILIZADO ----------");
    const PrintOp* qtde = pg.findText("Qtde");
    const int topo = int(std::nearbyint(qtde->y - 3));
    int horizontal = 0, vertical = 0;
    for (const PrintOp* l : pg.lines()) {
        if (l->y == l->y2) {
            EXPECT_NEAR(l->x2, 193, Tol);
            if (l->y > material->y) ++horizontal;
        } else {
            EXPECT_NEAR(l->y, topo + 8, Tol);
            EXPECT_NEAR(l->y2, topo + 56, Tol);
            EXPECT_TRUE(l->x == 0 || l->x == 10 || l->x == 20 || l->x == 163 || l->x == 193) << l->x;
            ++vertical;
        }
    }
    EXPECT_EQ(horizontal, 7 * 1 + 0);   // one set of rules per step: 7 distinct rows
    EXPECT_EQ(vertical, 7 * 5);
    EXPECT_TRUE(pg.findText("Descrição"));
    EXPECT_GT(pg.findText("Valor Total do Serviço:")->y, topo + 56);

    // The name row in italics, then the four tags and the stub.
    const auto texts = pg.texts();
    int tags = 0;
    for (const PrintOp* t : texts)
        if (t->text == "ORÇ") ++tags;
    EXPECT_EQ(tags, 4);
    const PrintOp* serie = pg.findText("Número de Série");
    EXPECT_NEAR(serie->x, 166, Tol);
    EXPECT_EQ(pg.fontOf(*serie), narrow(9, false, true));
    const PrintOp* serieValue = after(pg, serie);
    EXPECT_NEAR(serieValue->x, 164, Tol);
    EXPECT_TRUE(pg.fontOf(*serieValue).bold);
    int numbers = 0;
    for (const PrintOp* t : texts)
        if (t->text == number && pg.fontOf(*t).size == 20 && pg.fontOf(*t).italic) ++numbers;
    EXPECT_EQ(numbers, 4);
    EXPECT_TRUE(pg.findText("EA"));
}

TEST_F(FrmImpressaoTest, CustomersStubAfterTheOrder) {
    const qint64 os = addOrder({{"OperadorEnt", QStringLiteral("MARIA")}});
    setCompany({{"Msg1", QStringLiteral("PRIMEIRA MENSAGEM")}, {"Msg2", QStringLiteral("SEGUNDA MENSAGEM")},
                {"Msg3", QStringLiteral("TERCEIRA MENSAGEM")}, {"CGC", QStringLiteral("11.222.333/0001-44")}});
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    runJob(os);
    const RecordedPage& pg = page();
    const PrintOp* cut = findLast(pg, QString(140, '-'));
    ASSERT_TRUE(cut);
    // After the full document the stub's first lines come out in italics.
    EXPECT_EQ(pg.fontOf(*cut), narrow(13, false, true));
    const PrintOp* cgc = pg.findText("CGC:");
    EXPECT_NEAR(cgc->x, column(narrow(8, false, true), 32), Tol);
    EXPECT_EQ(after(pg, cgc)->text, "11.222.333/0001-44");
    for (const char* m : {"PRIMEIRA MENSAGEM", "SEGUNDA MENSAGEM", "TERCEIRA MENSAGEM"}) {
        const PrintOp* msg = pg.findText(QString::fromUtf8(m));
        ASSERT_TRUE(msg) << m;
        EXPECT_EQ(pg.fontOf(*msg), narrow(8));
    }
    EXPECT_TRUE(pg.findText("MARIA"));
    EXPECT_TRUE(pg.findText("06/12/2026"));   // the date of printing
    EXPECT_TRUE(pg.findText("15:20"));
    const PrintOp* footer = pg.findText("Tarvel");
    ASSERT_TRUE(footer);
    EXPECT_TRUE(pg.fontOf(*footer).italic);
    EXPECT_NEAR(footer->x, column(narrow(8, false, true), 142), Tol);
    EXPECT_EQ(after(pg, after(pg, footer))->text, " 1 ");
    // Everything fits the page.
    for (const PrintOp* t : pg.texts()) EXPECT_LT(t->y + PrintMetrics::lineHeight(pg.fontOf(*t)), 287.0) << t->text.toStdString();
}

// The stub alone: 20 mm from the top, nothing else, Via unchanged.
TEST_F(FrmImpressaoTest, StubAloneLeavesViaUnchanged) {
    const qint64 os = addOrder({{"Via", 3}});
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    runJob(os, {true, true, true, true});
    ASSERT_EQ(documents(), 1u);
    ASSERT_EQ(doc().pages.size(), 1u);
    const RecordedPage& pg = page();
    EXPECT_NEAR(pg.texts().front()->y, 20, Tol);
    EXPECT_EQ(pg.texts().front()->text, QString(140, '-'));
    EXPECT_EQ(pg.fontOf(*pg.texts().front()), narrow(13));
    EXPECT_FALSE(pg.findText("---------- DADOS DO CLIENTE ----------"));
    EXPECT_EQ(via(os), 3);
}

// The order types: their tag codes and grids.
TEST_F(FrmImpressaoTest, OrderTypesGiveTheirTagsAndGrids) {
    const qint64 gf = addOrder({{"Tipo", QStringLiteral("GAR.DE FÁBRICA")}});
    const qint64 gs = addOrder({{"Tipo", QStringLiteral("GAR. DE SERVIÇO")}});
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent).answer(MsgAnswer::Ok, Sent);
    runJob(gf, {false, true});
    runJob(gs, {false, true});
    ASSERT_EQ(documents(), 2u);

    const RecordedPage& f = page(0);
    EXPECT_EQ(f.findText("GF") ? 1 : 0, 1);
    EXPECT_FALSE(f.findText("ORÇ"));
    for (const char* h : {"Qtde", "Id", "Descriçao", "Código", "Local"}) EXPECT_TRUE(f.findText(QString::fromUtf8(h))) << h;
    EXPECT_FALSE(f.findText("Valor Total do Serviço:"));
    QSet<double> columns;
    for (const PrintOp* l : f.lines())
        if (l->x == l->x2) columns.insert(l->x);
    EXPECT_EQ(columns, (QSet<double>{0, 10, 20, 193 - 53, 193 - 20, 193}));
    // Two empty lines and one run of underscores after the grid; no name row.
    const PrintOp* underscores = f.findText(QString(50, '_'));
    ASSERT_TRUE(underscores);
    EXPECT_FALSE(f.findText(QString(20, '_')));

    const RecordedPage& s = page(1);
    EXPECT_TRUE(s.findText("GS"));
    EXPECT_TRUE(s.findText("Descrição"));
    EXPECT_TRUE(s.findText("Valor Total do Serviço:"));
    EXPECT_TRUE(s.findText(QString(20, '_')));
}

// Previous repairs of the same appliance only, on the page and in the report:
// 6 blocks on the first page, 7 on the next ones, the title on every page.
TEST_F(FrmImpressaoTest, PreviousRepairsOfTheSameApplianceOnly) {
    const qint64 os = addOrder();
    for (int i = 1; i <= 13; ++i) addDelivered(100 + i);
    addDelivered(900, {{"NumSerie", QStringLiteral("OUTRA")}});
    addDelivered(901, {{"Modelo", QStringLiteral("PH30")}});
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    runJob(os, {true, true, true});
    ASSERT_EQ(documents(), 2u);
    EXPECT_EQ(via(os), 1);   // counted before the report

    const RecordedPage& order = page(0);
    const PrintOp* label = nullptr;
    for (const PrintOp* t : order.texts())
        if (t->text.startsWith("OS's:")) label = t;
    ASSERT_TRUE(label);
    EXPECT_TRUE(order.fontOf(*label).bold);
    EXPECT_TRUE(label->text.contains(" 00101 "));
    EXPECT_TRUE(label->text.contains(" 00113 "));
    EXPECT_FALSE(order.findText("00900"));

    const RecordingTarget::Document& report = doc(1);
    ASSERT_EQ(report.pages.size(), 2u);
    for (std::size_t n = 0; n < 2; ++n) {
        const RecordedPage& pg = report.pages[n];
        EXPECT_EQ(pg.orientation, PrintOrientation::Landscape);
        const PrintOp* t = pg.findText("=== Manutenções Anteriores do Aparelho: TELEVISOR Marca: PHILCO Modelo: PH29 "
                                       "Número de Série: SN12345 ===");
        ASSERT_TRUE(t) << n;
        EXPECT_EQ(pg.fontOf(*t).size, 10);
        EXPECT_EQ(after(pg, pg.findText("Página: "))->text, QStringLiteral(" %1 ").arg(n + 1));
        int blocks = 0;
        for (const PrintOp* op : pg.texts())
            if (op->text.startsWith("Defeito: ")) ++blocks;
        EXPECT_EQ(blocks, n == 0 ? 6 : 7);
        EXPECT_FALSE(pg.findText(" 900 "));
        EXPECT_FALSE(pg.findText(" 901 "));
    }
    const RecordedPage& first = report.pages[0];
    const PrintOp* os101 = first.findText(" 101 ");
    ASSERT_TRUE(os101);
    EXPECT_TRUE(first.fontOf(*os101).bold);
    EXPECT_EQ(first.fontOf(*os101).size, 8);
    EXPECT_NEAR(os101->x, column(narrow(8, true), 2), Tol);
    EXPECT_EQ(after(first, os101)->text, "01/03/2025");
    EXPECT_TRUE(first.findText("R$ 150,50"));
    EXPECT_TRUE(first.findText("1 FUSÍVEL  1 SOLDA"));

    // A fourteenth repair opens a third page with one block.
    addDelivered(114);
    boxes.answer(MsgAnswer::Ok, Sent);
    runJob(os, {false, false, true});
    ASSERT_EQ(documents(), 4u);
    EXPECT_EQ(doc(3).pages.size(), 3u);
    EXPECT_EQ(via(os), 2);
}

// A serial number or model stored with an apostrophe is quoted: the order
// prints and its previous repairs are found.
TEST_F(FrmImpressaoTest, ApostrophesInStoredValuesAreQuoted) {
    const qint64 os = addOrder({{"NumSerie", QStringLiteral("SN'01")}, {"Modelo", QStringLiteral("D'OR")}});
    addDelivered(55, {{"NumSerie", QStringLiteral("SN'01")}, {"Modelo", QStringLiteral("D'OR")}});
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    runJob(os, {false, false, true});
    ASSERT_EQ(documents(), 2u);
    EXPECT_TRUE(page(0).findText("OS's: 00055 "));
    EXPECT_TRUE(page(1).findText(" 55 "));
    EXPECT_EQ(via(os), 1);
}

// The customer's open orders: the sentence from 2, the list up to 9.
TEST_F(FrmImpressaoTest, CustomersOtherOpenOrders) {
    const qint64 os = addOrder();
    const qint64 other = addOrder({{"Aparelho", QStringLiteral("DVD")}});
    addOrder({{"IdCliente", 8}});   // another customer's
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    runJob(os);
    const RecordedPage& pg = page();
    EXPECT_TRUE(pg.findText("ESTE CLIENTE POSSUI ATUALMENTE 2 APARELHOS EM MANUTENÇÃO."));
    const PrintOp* list = pg.findText("OS's:");
    ASSERT_TRUE(list);
    EXPECT_NEAR(list->x, column(narrow(10), 9), Tol);
    EXPECT_TRUE(pg.allText().contains(QStringLiteral(" %1 ").arg(other, 5, 10, QLatin1Char('0'))));

    for (int i = 0; i < 8; ++i) addOrder();
    boxes.answer(MsgAnswer::Ok, Sent);
    runJob(os);
    EXPECT_TRUE(page(1).findText("ESTE CLIENTE POSSUI ATUALMENTE 10 APARELHOS EM MANUTENÇÃO."));
    EXPECT_FALSE(page(1).findText("OS's:"));
}

// Every field at the longest the typing boxes accept, and at a long length a
// shop really types: the order's page with its stub, and the previous-repairs
// report of 20 earlier repairs, print every value whole inside the page.
TEST_F(FrmImpressaoTest, LongFieldsPrintWholeInsideThePage) {
    const auto w = PrintData::longText;
    struct Case {
        const char* name;
        Fields order, company;
    };
    const Case cases[] = {
        {"longest", {{"Nome", w(50)}, {"Endereco", w(50)}, {"Complemento", w(20)}, {"Bairro", w(18)},
                     {"Cidade", w(18)}, {"TelResidencia", w(15)}, {"TelComercial", w(15)}, {"Fax", w(15)},
                     {"Celular", w(15)}, {"Aparelho", w(16)}, {"Marca", w(16)}, {"Modelo", w(14)}, {"Chassis", w(12)},
                     {"NumSerie", w(15)}, {"Tensao", w(10)}, {"Defeito", w(55)}, {"EstadoAparelho", w(55)},
                     {"Acessorios", w(50)}, {"Loja", w(20)}, {"DataCompra", w(13)}, {"NotaFiscal", w(15)},
                     {"GarComplementar", w(15)}, {"Status", w(13)}, {"Tecnico", w(14)}, {"OperadorEnt", w(14)},
                     {"Tipo", QStringLiteral("GAR. DE SERVIÇO")}},
         {{"NomeFantasia", w(25)}, {"Sigla", w(2)}, {"Endereco", w(50)}, {"Email", w(45)}, {"CGC", w(20)},
          {"Cidade", w(20)}, {"Fone1", w(15)}, {"Fone2", w(15)}, {"Fax", w(15)}, {"Msg1", w(100)}, {"Msg2", w(100)},
          {"Msg3", w(100)}}},
        {"realistic", {{"Nome", QStringLiteral("MARIA APARECIDA DOS SANTOS OLIVEIRA DE ALBUQUERQUE")},
                       {"Endereco", QStringLiteral("AVENIDA PRESIDENTE JUSCELINO KUBITSCHEK, 1830 FUNDOS")},
                       {"Bairro", QStringLiteral("VILA NOVA CONCEIÇÃO")}, {"Aparelho", QStringLiteral("MICROSSYSTEM")},
                       {"Marca", QStringLiteral("CONTINENTAL 2001")}, {"Modelo", QStringLiteral("MWWWWWWWWWWWW2")},
                       {"NotaFiscal", QStringLiteral("000123456789012")},
                       {"GarComplementar", QStringLiteral("ESTENDIDA 24 ME")}},
         {{"NomeFantasia", QStringLiteral("ELETRÔNICA SÃO JUDAS TADEU")},
          {"Msg1", QStringLiteral("A GARANTIA NÃO COBRE APARELHOS VIOLADOS, QUEDAS, UMIDADE OU DESCARGAS ELÉTRICAS "
                                  "NA REDE DE ENERGIA")}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t first = documents();
        const qint64 os = addOrder(c.order);
        for (int i = 0; i < 8; ++i) addOrder();
        for (int i = 0; i < 20; ++i)
            addDelivered(10000 + i, {{"Aparelho", c.order.value("Aparelho", QStringLiteral("TELEVISOR"))},
                                     {"Marca", c.order.value("Marca", QStringLiteral("PHILCO"))},
                                     {"Modelo", c.order.value("Modelo", QStringLiteral("PH29"))},
                                     {"NumSerie", c.order.value("NumSerie", QStringLiteral("SN12345"))},
                                     {"Nome", c.order.value("Nome")}, {"Defeito", c.order.value("Defeito")},
                                     {"Acessorios", c.order.value("Acessorios")},
                                     {"Relatorio0", QStringLiteral("WWWWW 99 WWW ") + w(39) + QStringLiteral(" 9999,00")},
                                     {"Relatorio1", QStringLiteral("F01 10 UN FLYBACK DE ALTA TENSÃO 45,95")},
                                     {"Relatorio2", QStringLiteral("WWWWW 99 WWW ") + w(39) + QStringLiteral(" 9999,00")}});
        setCompany(c.company);
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, Sent);
        runJob(os, {true, true, true, false});
        ASSERT_EQ(documents(), first + 2);
        ASSERT_EQ(doc(first).pages.size(), 1u);
        QStringList values;
        for (const QVariant& v : c.order) values << v.toString();
        for (const QVariant& v : c.company) values << v.toString();
        values << QStringLiteral("OS's:") + QStringLiteral(" 10000  10001  10002 ");
        PrintData::expectWholeOnThePage(page(first), values);
        // The previous repairs: each page of the report, with its long title.
        for (const RecordedPage& pg : doc(first + 1).pages)
            PrintData::expectWholeOnThePage(pg, {c.order.value("Modelo").toString(),
                                                 c.order.value("Marca").toString(), "FLYBACK DE ALTA TENSÃO 45,95"});
        // Long values keep to their places: the phones stay beside their rows.
        const RecordedPage& pg = page(first);
        for (const auto& [left, right] : {std::pair{"Nome:", "Tel.Res.:"}, std::pair{"Endereço:", "Tel.Com.:"},
                                          std::pair{"Aparelho:", "Marca:"}, std::pair{"Manut.Anteriores:", "Nota Fiscal:"}})
            EXPECT_NEAR(pg.findText(QString::fromUtf8(left))->y, pg.findText(QString::fromUtf8(right))->y, 0.05) << right;
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblApEntregues"));
        Database::openDefault().execute(QStringLiteral("DELETE FROM TblManutencao"));
    }
}

// Empty fields print as nothing; the labels stay.
TEST_F(FrmImpressaoTest, EmptyFieldsPrintAsNothing) {
    const qint64 os = insert(QStringLiteral("TblManutencao"), {{"Nome", QStringLiteral("ANA")}});
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    runJob(os);
    const RecordedPage& pg = page();
    for (const PrintOp* t : pg.texts()) EXPECT_FALSE(t->text.isEmpty());
    EXPECT_EQ(after(pg, pg.findText("Entrada:"))->text, "Nome:");
    EXPECT_EQ(after(pg, pg.findText("Via:"))->text, " 1 ");
    EXPECT_EQ(after(pg, pg.findText("Código"))->text, "|");
    EXPECT_EQ(via(os), 1);
}

// Two copies of the program printing the same order both count.
TEST_F(FrmImpressaoTest, TwoCopiesPrintingTheSameOrderBothCount) {
    const qint64 os = addOrder();
    Modulo::OsAtual = std::int32_t(os);
    FrmImpressao first, second;   // both opened before either printed
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent).answer(MsgAnswer::Ok, Sent);
    for (FrmImpressao* w : {&first, &second}) {
        w->findChild<QPushButton*>("BtIniciar")->click();
        w->findChild<WindowTimer*>("Timer1")->fire();
    }
    EXPECT_EQ(via(os), 2);
    EXPECT_EQ(after(page(1), page(1).findText("Via:"))->text, " 2 ");
}

// The count goes up by one after the page went out, an older order without a
// count (NULL) included. A count the disk refuses is reported as exactly that
// (printed, count not raised, the cause), never as a printer failure; the
// next print counts again.
TEST_F(FrmImpressaoTest, ThePrintCountAfterThePageWentOut) {
    StoreFault::install();
    struct Case {
        QVariant stored;
        StoreFault::Kind fault;
        const char* shown;
        qlonglong after;
    };
    const Case cases[] = {{QVariant(), StoreFault::None, " 1 ", 1},
                          {3, StoreFault::None, " 4 ", 4},
                          {3, StoreFault::DiskFull, " 4 ", 3},
                          {QVariant(), StoreFault::IoError, " 1 ", 0}};
    std::size_t printed = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        const qint64 os = addOrder({{"Via", c.stored}});
        {
            StoreFault fault(c.fault);
            ScriptedBoxes boxes;
            boxes.answer(MsgAnswer::Ok);
            runJob(os);
            ASSERT_EQ(documents(), ++printed);
            const RecordedPage& pg = page(printed - 1);
            EXPECT_EQ(after(pg, pg.findText("Via:"))->text, c.shown);
            EXPECT_EQ(via(os), c.after);
            ASSERT_EQ(boxes.log().size(), 1);
            const QString text = boxes.log()[0].text;
            if (c.fault == StoreFault::None) {
                EXPECT_EQ(text, Sent);
                continue;
            }
            EXPECT_TRUE(text.startsWith(QStringLiteral("A Ordem de Serviço N.: %1 foi impressa, mas o número de vias "
                                                       "não pôde ser atualizado.").arg(os)))
                << text.toStdString();
            EXPECT_TRUE(text.contains(StoreFault::causeWords(c.fault)));
            EXPECT_FALSE(text.contains("impressora"));
        }
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, Sent);
        runJob(os);
        ++printed;
        EXPECT_EQ(via(os), c.after + 1);
    }
}

// An order checked out or deleted meanwhile prints nothing and writes nothing.
TEST_F(FrmImpressaoTest, AnOrderThatNoLongerExistsPrintsNothing) {
    const qint64 keep = addOrder({{"Nome", QStringLiteral("OUTRO CLIENTE")}});
    const qint64 os = addOrder();
    Modulo::OsAtual = std::int32_t(os);
    FrmImpressao w;
    Database::openDefault().execute(QStringLiteral("DELETE FROM TblManutencao WHERE Os = ?"), {os});
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, QStringLiteral("não foi encontrada"));
    w.findChild<QPushButton*>("BtIniciar")->click();
    w.findChild<WindowTimer*>("Timer1")->fire();
    EXPECT_EQ(documents(), 0u);
    EXPECT_EQ(boxes.log().at(0).icon, MsgIcon::Exclamation);
    EXPECT_EQ(via(keep), 0);
    EXPECT_TRUE(Modulo::SqlFiltroEntregues.isEmpty());
}

// A printer that fails: the document is cancelled, the message names the
// order and the error, Via keeps its value.
TEST_F(FrmImpressaoTest, PrinterFailureShowsItsMessageAndCountsNothing) {
    const qint64 os = addOrder();
    printer.target->setFailure(PrintErrorCode::PrinterFailed, QStringLiteral("A impressora está parada"));
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok);
    runJob(os);
    EXPECT_EQ(documents(), 0u);
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log()[0].title, "Erro de Impressão");
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.log()[0].text, "Não foi possível imprimir esta Ordem de Serviço\rVerifique se a impressora está "
                                   "ligada e funcionando corretamente!\rA impressora está parada__483");
    EXPECT_EQ(via(os), 0);
}

// The report fails after the order went out: the order stays counted, the
// report's own message comes, then the order's end-of-job message.
TEST_F(FrmImpressaoTest, PreviousRepairsFailureKeepsTheOrderCounted) {
    const qint64 os = addOrder();
    addDelivered(77);
    printer.target->setFailure(PrintErrorCode::PrinterFailed, QStringLiteral("Sem papel"), 1);
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok).answer(MsgAnswer::Ok, Sent);
    runJob(os, {true, true, true});
    EXPECT_EQ(documents(), 1u);
    EXPECT_EQ(via(os), 1);
    ASSERT_EQ(boxes.log().size(), 2);
    EXPECT_EQ(boxes.log()[0].title, "Erro de Impressão");
    EXPECT_EQ(boxes.log()[0].text, "Não foi possível imprimir o Relatório de Manutenção Anteriores.\rVerifique se a "
                                   "impressora está ligada e funcionando corretamente!\rSe o problema persistir "
                                   "Contacte o Suporte Técnico!\rSem papel__483");
}

// The service order as a PDF the program writes: one A4 page, its texts
// with their accents, the narrow face standing in for "Arial Narrow".
TEST_F(FrmImpressaoTest, ServiceOrderAsPdf) {
    QTemporaryDir dir;
    printer.target->alsoWritePdf(dir.filePath(QStringLiteral("os-%1.pdf")));
    const qint64 os = addOrder();
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    runJob(os);
    const QString pdf = dir.filePath(QStringLiteral("os-1.pdf"));
    const auto run = [](const QString& program, const QStringList& args) {
        QProcess proc;
        proc.start(program, args);
        proc.waitForFinished(30000);
        return QString::fromUtf8(proc.readAllStandardOutput());
    };
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("595 x 842 pts (A4)"))) << info.toStdString();
    const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const char* t : {"Ordem de Serviço:", "Nº 00001", "JOSÉ DA CONCEIÇÃO", "Endereço:", "Técnico:",
                          "--- GARANTIA FÁBRICA ---", "Acessórios:", "Descrição", "Núm.de Série"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(t))) << t;
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Via:\\s+1\\s*ª"))));
    const QString fonts = run(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSansNarrow-Bold"))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSansNarrow-Italic"))) << fonts.toStdString();
}

// The right edge of the ruled figures: whole millimetres, halves to the even
// number, and no limit of 255 on wide paper.
TEST_F(FrmImpressaoTest, RightEdgeOfTheFigures) {
    const qint64 os = addOrder();
    ScriptedBoxes boxes;
    const std::pair<double, double> cases[] = {{203.2, 196}, {200.5, 194}, {300.0, 293}};
    for (const auto& [width, largura] : cases) {
        printer.target->setPrintable(QSizeF(width, 287));
        boxes.answer(MsgAnswer::Ok, Sent);
        runJob(os, {false, false});
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
    {
        FrmImpressao w;
        EXPECT_EQ(w.logo().size(), QSize(32, 32));
    }
    QImage logo(120, 60, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    ASSERT_TRUE(logo.save(folder() + "/logo.bmp", "BMP"));
    FrmImpressao w;
    EXPECT_EQ(w.logo().size(), QSize(120, 60));
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    w.findChild<QPushButton*>("BtIniciar")->click();
    w.findChild<WindowTimer*>("Timer1")->fire();
    const RecordedPage& pg = page();
    const PrintOp& pic = pg.ops.front();
    ASSERT_EQ(pic.kind, PrintOp::Kind::Picture);
    EXPECT_NEAR(pic.x, 8, Tol);
    EXPECT_NEAR(pic.y, 3, Tol);
    EXPECT_NEAR(pic.x2, 35, Tol);
    EXPECT_NEAR(pic.y2, 15, Tol);
}

TARVEL_TEST_MAIN()
