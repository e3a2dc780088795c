// The delivered appliances on paper: one appliance's report (its window's
// failures are the service order's) and the list.
#include "orders/delivereddata.h"
#include "printdata.h"

#include "printing/frmimpapentr.h"
#include "printing/frmimpdtapent.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/printedpages.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QPushButton>
#include <QRadioButton>

using DeliveredData::addDelivered;
using DeliveredData::money;
using namespace PrintedPages;

namespace {

const QString Sent = QStringLiteral("Os Dados foram enviados para a Impressora. Aguarde!");

class DeliveredPrintTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 12, 6), QTime(15, 20, 5)));
        m_db = Database::openDefault();   // one connection for the test's writes
        PrintData::setCompany({{"NomeFantasia", QStringLiteral("ELETRÔNICA ÁGIL")}});
    }
    void TearDown() override {
        Clock::set({});
        m_db = Database();
        ProgramFolderTest::TearDown();
    }
    const RecordingTarget::Document& doc(std::size_t i = 0) { return printer.target->documents.at(i); }
    std::size_t documents() const { return printer.target->documents.size(); }

    // The report of a row, run as the window runs it: opened, then its timer's tick.
    QList<ShownBox> runReport(qint64 id) {
        Modulo::IdApEntregueAtual = std::int32_t(id);
        return boxesDuring([] {
            FrmImpDtApEnt w;
            w.findChild<WindowTimer*>("Timer2")->fire();
        });
    }
    // The list dialog with an option chosen and its start button pressed.
    QList<ShownBox> runList(const char* choice) {
        return boxesDuring([choice] {
            FrmImpApEntr w;
            w.findChild<QRadioButton*>(choice)->setChecked(true);
            w.findChild<QPushButton*>("BtImprimir")->click();
        });
    }

    PrintData::RecordingPrinter printer;
    Database m_db;
};

} // namespace

// The parts lines beside the payment lines (the sixth alone), the amounts
// after their labels, entry and exit in their places.
TEST_F(DeliveredPrintTest, TheReportPage) {
    const qint64 id = addDelivered(42, "ANA", {{"Relatorio55", "F09 1 UN FUSIVEL 2,00"}, {"ValorCobrado", money(15050)},
                                               {"Loja", QVariant()}, {"DataCompra", "10/10/2026"}});
    expectBoxes(runReport(id), {Sent});
    ASSERT_EQ(pageCounts(*printer.target), std::vector<int>{1});
    const RecordedPage& pg = doc().pages[0];
    expectWholeInside(pg, {"00042", "ELETRÔNICA ÁGIL", "Mão de Obra: R$45,00", "Sub Total: 175,00", "Desconto: 24,50",
                           "Total do Serviço: R$ 150,50", "TESTADO 2 HORAS", "06/12/2026", "15:20", "PAGO NA RETIRADA"});
    EXPECT_EQ(count(pg, "|"), 5);
    const PrintOp* flyback = pg.findText("F01 1 UN FLYBACK 120,00");
    ASSERT_TRUE(flyback);
    EXPECT_EQ(after(pg, after(pg, flyback))->text, "DINHEIRO");
    const PrintOp* sixth = pg.findText("F09 1 UN FUSIVEL 2,00");
    ASSERT_TRUE(sixth);
    EXPECT_GT(after(pg, sixth)->y, sixth->y + 0.05) << "nothing beside the sixth parts line";
    EXPECT_EQ(after(pg, pg.findText("Data Compra:"))->text, "10/10/2026");
    const PrintOp* in = pg.findText("20/11/2026");
    const PrintOp* out = pg.findText("05/12/2026");
    ASSERT_TRUE(in && out);
    EXPECT_EQ(in->y, out->y);
    EXPECT_LT(in->x, out->x);
    EXPECT_EQ(pg.findText("05/03/2027")->y, pg.findText("INTERNO")->y);   // the warranty's end beside the service
    // Every field after its label; entry and exit values in their columns.
    const PrintFont arial{QStringLiteral("Arial"), 10};
    const auto col = [&arial](int n) { return (n - 1) * PrintMetrics::averageCharWidth(arial); };
    const std::tuple<const char*, const char*, int> fields[] = {
        {"Nome:", "ANA", 0}, {"Tel.Res.:", "(19) 3232-1111", 0}, {"Endereço:", "RUA DAS ACÁCIAS, 120", 0},
        {"Tel.Com.:", "(19) 3232-2222", 0}, {"Complemento:", "APTO 3", 0}, {"Fax:", "(19) 3232-3333", 0},
        {"Bairro:", "JARDIM SÃO JOÃO", 0}, {"Celular:", "(19) 99999-4444", 0}, {"Cidade:", "CAMPINAS", 0},
        {"Estado:", "SP", 0}, {"Id Cliente:", "7", 0}, {"Aparelho:", "TELEVISOR", 0}, {"Marca:", "PHILCO", 0},
        {"Modelo:", "PH29", 0}, {"Chassis:", "CH-77", 0}, {"Num Série:", "SN-42", 0}, {"Tensão:", "110V", 0},
        {"Defeito:", "NÃO LIGA", 0}, {"Estado do Aparelho:", "RISCOS NA TAMPA", 0},
        {"Acessórios:", "CONTROLE REMOTO", 0}, {"Loja:", "Data Compra:", 37},
        {"Data:................", "20/11/2026", 25}, {"Data:........................", "05/12/2026", 94},
        {"Hora:........-.........", "09:15", 25}, {"Hora:........................", "16:40", 94},
        {"Tipo:......:............", "ORÇAMENTO", 25}, {"Conclusao:.................", "04/12/2026", 94},
        {"Atendimento:......", "INTERNO", 25}, {"Garantia até:................", "05/03/2027", 94},
        {"Operador:............", "ADMINISTRADOR", 25}, {"Dias:.........................", "15", 94},
        {"Técnico:.....................", "CARLOS", 94}, {"Status:...............", "PRONTO", 94},
        {"Operador:.................", "BALCAO", 94}};
    for (const auto& [label, value, at] : fields) {
        const PrintOp* l = pg.findText(QString::fromUtf8(label));
        ASSERT_TRUE(l) << label;
        const PrintOp* v = after(pg, l);
        ASSERT_TRUE(v) << label;
        EXPECT_EQ(v->text.trimmed(), QString::fromUtf8(value)) << label;
        EXPECT_NEAR(v->y, l->y, 0.05) << label;
        if (at) {
            EXPECT_NEAR(v->x, col(at), 0.05) << label;
        }
    }
    for (const auto& [left, right] : {std::pair{"Nome:", "Tel.Res.:"}, std::pair{"Aparelho:", "Modelo:"},
                                      std::pair{"Chassis:", "Tensão:"}, std::pair{"Loja:", "Gar.Complementar:"}})
        EXPECT_NEAR(pg.findText(QString::fromUtf8(left))->y, pg.findText(QString::fromUtf8(right))->y, 0.05) << right;
    const PrintOp* heading = pg.findText(QStringLiteral("RELATÓRIO DE APARELHO CONSERTADO"));
    ASSERT_TRUE(heading);
    EXPECT_NEAR(heading->x, col(29), 0.05);
    EXPECT_EQ(count(pg, QString(150, '-')), 7);
    const PrintOp* issued = pg.findText(QStringLiteral("Data Emissão:"));
    ASSERT_TRUE(issued);
    EXPECT_EQ(pg.fontOf(*issued), (PrintFont{QStringLiteral("Arial"), 9, false, true}));
    EXPECT_NEAR(issued->x, (80 - 1) * PrintMetrics::averageCharWidth(pg.fontOf(*issued)), 0.05);
    EXPECT_NEAR(pg.findText("15:20")->y, issued->y, 0.05);
    for (const auto& [label, at] : {std::pair{"Tel.Res.:", 70}, std::pair{"Marca:", 41}, std::pair{"Modelo:", 81},
                                    std::pair{"Tensão:", 82}, std::pair{"Data Compra:", 37}, std::pair{"Nota Fiscal:", 65},
                                    std::pair{"Gar.Complementar:", 95}})
        EXPECT_NEAR(pg.findText(QString::fromUtf8(label))->x, col(at), 0.05) << label;
    // A failing printer is said and the window stays; a row gone is said.
    printer.target->setFailure(483, QStringLiteral("recusado"));
    expectBoxes(boxesDuring([] {
        FrmImpDtApEnt w;
        w.show();
        w.findChild<WindowTimer*>("Timer2")->fire();
        EXPECT_TRUE(w.isVisible());
    }), {QStringLiteral("Não foi possível imprimir esta Ordem de Serviço\r")});
    m_db.execute("DELETE FROM TblApEntregues");
    expectBoxes(runReport(id), {QStringLiteral("não foi encontrado")});
}

// The list: 14 rows, then 15 a page, in the table's order whatever the
// screen's filter.
// Each heading and label of the report at its column, in the font it is printed in.
TEST_F(DeliveredPrintTest, TheReportsLabelsAtTheirColumns) {
    expectBoxes(runReport(addDelivered(42, "ANA")), {Sent});
    const RecordedPage& pg = doc().pages.at(0);
    const std::pair<const char*, int> labels[] = {
        {"RELATÓRIO DE APARELHO CONSERTADO", 29}, {"---------- DADOS DO CLIENTE ----------", 20}, {"Nome:", 1},
        {"---------- DADOS DO APARELHO ----------", 20}, {"Aparelho:", 1}, {"Marca:", 41}, {"Modelo:", 81},
        {"Chassis:", 1}, {"Num Série:", 41}, {"Tensão:", 82}, {"---------- GARANTIA DE FÁBRICA ----------", 20},
        {"Loja:", 1}, {"Data Compra:", 37}, {"Nota Fiscal:", 65}, {"Gar.Complementar:", 95},
        {"---------- DADOS DA ENTRADA ----------", 5}, {"---------- DADOS DA SAÍDA----------", 70},
        {"Data:................", 4}, {"Data:........................", 70}, {"Hora:........-.........", 4},
        {"Tipo:......:............", 4}, {"Conclusao:.................", 70}, {"Atendimento:......", 4},
        {"Garantia até:................", 70}, {"Operador:............", 4}, {"Dias:.........................", 70},
        {"Técnico:.....................", 70}, {"Status:...............", 70}, {"Operador:.................", 70},
        {"---------- MATERIAL UTILIZADO ----------", 10}};
    QStringList wrong;
    for (const auto& [text, column] : labels) {
        const PrintOp* t = pg.findText(QString::fromUtf8(text));
        if (!t || std::abs(t->x - (column - 1) * PrintMetrics::averageCharWidth(pg.fontOf(*t))) > 0.05)
            wrong << QString::fromUtf8(text);
    }
    EXPECT_EQ(wrong.join('\n'), "");
}

// Each appliance value stands two blanks after its label; the service lines start at their column.
TEST_F(DeliveredPrintTest, TheReportsValuesBesideTheirLabels) {
    expectBoxes(runReport(addDelivered(42, "ANA", {{"Aparelho", "TV"}, {"Marca", "LG"}, {"Modelo", "X1"}, {"Chassis", "C9"},
                                                    {"NumSerie", "S1"}, {"Tensao", "220V"}, {"Relatorio0", "F01 PECA"},
                                                    {"Relatorio55", "F09 FUSIVEL"}})),
                {Sent});
    const RecordedPage& pg = doc().pages.at(0);
    QStringList wrong;
    for (const auto& [label, value] : {std::pair{"Aparelho:", "TV"}, {"Marca:", "LG"}, {"Modelo:", "X1"}, {"Chassis:", "C9"},
                                       {"Num Série:", "S1"}, {"Tensão:", "220V"}}) {
        const PrintOp* l = pg.findText(QString::fromUtf8(label));
        const PrintOp* v = l ? after(pg, l) : nullptr;
        if (!v) {
            wrong << QString::fromUtf8(label);
            continue;
        }
        const PrintFont& font = pg.fontOf(*l);
        if (v->text != value ||
            std::abs(v->x - l->x - PrintMetrics::textWidth(font, l->text) - 2 * PrintMetrics::textWidth(font, " ")) > 0.05)
            wrong << QString::fromUtf8(label);
    }
    for (const char* line : {"F01 PECA", "F09 FUSIVEL"}) {
        const PrintOp* t = pg.findText(line);
        if (!t || std::abs(t->x - PrintMetrics::averageCharWidth(pg.fontOf(*t))) > 0.05) wrong << line;
    }
    EXPECT_EQ(wrong.join('\n'), "");
}

TEST_F(DeliveredPrintTest, TheListPages) {
    const std::pair<int, std::vector<int>> cases[] = {{0, {0}}, {14, {14}}, {15, {14, 1}}, {30, {14, 15, 1}}};
    Modulo::SqlFiltroEntregues = "SELECT * FROM TblApEntregues WHERE Os = 1001";
    for (const auto& [rows, perPage] : cases) {
        SCOPED_TRACE(rows);
        m_db.execute("DELETE FROM TblApEntregues");
        printer.target->documents.clear();
        for (int i = 1; i <= rows; ++i) addDelivered(1000 + i, QStringLiteral("CLIENTE %1").arg(i, 2, 10, QLatin1Char('0')));
        expectBoxes(runList("Option1"), {Sent});
        ASSERT_EQ(doc().pages.size(), perPage.size());
        int next = 1;
        for (std::size_t n = 0; n < perPage.size(); ++n) {
            const RecordedPage& pg = doc().pages[n];
            EXPECT_TRUE(pg.findText(QStringLiteral("=== Relatório de Aparelhos ENTREGUES ===")));
            EXPECT_EQ(after(pg, pg.findText(QStringLiteral("Página: ")))->text, QStringLiteral(" %1 ").arg(n + 1));
            int found = 0;
            for (const PrintOp* t : pg.texts())
                if (t->text.startsWith("CLIENTE ")) {
                    EXPECT_EQ(t->text, QStringLiteral("CLIENTE %1").arg(next++, 2, 10, QLatin1Char('0')));
                    ++found;
                }
            EXPECT_EQ(found, perPage[n]);
        }
    }
    EXPECT_TRUE(doc().pages[0].findText(QStringLiteral("R$ 150,50")));
}

// Every field at its longest and at lengths a shop types: the report and
// the list print every value whole inside the page.
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
    // Each line its own first letter, so that a line printed in another's place shows.
    char mark = 'A';
    for (const char* name : {"Relatorio0", "Relatorio1", "Relatorio2", "Relatorio3", "Relatorio4", "Relatorio55"})
        longest.push_back({name, QLatin1Char(mark++) + part.mid(1)});
    for (const char* name : {"Relatorio9", "Relatorio10", "Relatorio11", "Relatorio12", "Relatorio13", "Relatorio14",
                             "Relatorio15", "Relatorio16"})
        longest.push_back({name, QLatin1Char(mark++) + w(69)});
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
        m_db.execute(QStringLiteral("DELETE FROM TblApEntregues"));
        QStringList values;
        for (const auto& [field, value] : fields)
            if (field != "ValorCobrado") values << value.toString();
        const qint64 id = addDelivered(99999, fields.front().second.toString(), fields);
        for (int i = 1; i <= 19; ++i) addDelivered(100000 + i, fields.front().second.toString(), fields);
        expectBoxes(runReport(id), {Sent});
        ASSERT_EQ(documents(), first + 1);
        ASSERT_EQ(doc(first).pages.size(), 1u);
        expectWholeInside(doc(first).pages[0], values);
        EXPECT_EQ(count(doc(first).pages[0], "|"), 5);
        // The tab rule: a parts line whole at its size, its bar at column 71
        // beside it or on the next line; a right-hand label likewise at column 70.
        const RecordedPage& report = doc(first).pages[0];
        const auto texts = report.texts();
        for (std::size_t i = 1; i < texts.size(); ++i)
            if (texts[i]->text == QStringLiteral("|")) {
                EXPECT_EQ(report.fontOf(*texts[i - 1]).size, 10) << texts[i - 1]->text.toStdString();
                expectTabbed(report, texts[i - 1], texts[i], 71);
            }
        for (const char* label : {"Tel.Res.:", "Tel.Com.:", "Fax:", "Celular:"}) {
            const auto at = std::find(texts.begin(), texts.end(), report.findText(QString::fromUtf8(label)));
            ASSERT_TRUE(at != texts.end() && at != texts.begin()) << label;
            EXPECT_EQ(report.fontOf(**(at - 1)).size, 10) << label;
            expectTabbed(report, *(at - 1), *at, 70);
        }

        // The list: the row's own fields, each page under its header.
        expectBoxes(runList("Option1"), {Sent});
        ASSERT_EQ(documents(), first + 2);
        ASSERT_EQ(doc(first + 1).pages.size(), 2u);
        QStringList listed;
        for (const char* field : {"Nome", "Aparelho", "Marca", "Modelo", "Tipo", "Status", "Defeito", "Acessorios",
                                  "Tecnico"})
            for (const auto& [f, value] : fields)
                if (f == QLatin1String(field)) listed << value.toString();
        for (const RecordedPage& pg : doc(first + 1).pages) {
            EXPECT_TRUE(pg.findText(QString(210, '-')));
            expectWholeInside(pg, listed);
            // Each row's fields at their columns by the tab rule, at their size.
            const auto rowTexts = pg.texts();
            for (std::size_t i = 0; i < rowTexts.size(); ++i)
                if (pg.fontOf(*rowTexts[i]).bold && pg.fontOf(*rowTexts[i]).size == 8) {
                    ASSERT_LT(i + 8, rowTexts.size());
                    // OS, the two dates, the name; then the appliance to the status at their columns.
                    const int columns[] = {93, 122, 146, 170, 194};
                    EXPECT_EQ(pg.fontOf(*rowTexts[i + 3]).size, 8) << rowTexts[i + 3]->text.toStdString();
                    for (int k = 0; k < 5; ++k) {
                        expectTabbed(pg, rowTexts[i + 3 + k], rowTexts[i + 4 + k], columns[k]);
                        EXPECT_EQ(pg.fontOf(*rowTexts[i + 4 + k]).size, 8);
                    }
                }
        }
    }
}

// One row of the list, each field in its column of the 8-point face (the
// exit date right after the entry date), under the headings of the
// 10-point face; the page header with the date and time of issue.
TEST_F(DeliveredPrintTest, TheListRowInItsColumns) {
    addDelivered(42, "ANA", {{"Tipo", "GAR. DE SERVIÇO"}, {"Status", "SEM CONSERTO"}, {"Dias", 15},
                             {"Acessorios", "CABO"}, {"Modelo", "PH29"}});
    const QList<ShownBox> boxes = runList("Option1");
    expectBoxes(boxes, {Sent});
    EXPECT_EQ(boxes[0].title, QStringLiteral("Relatório de Aparelhos Entregues"));
    EXPECT_EQ(boxes[0].icon, MsgIcon::Information);
    ASSERT_EQ(pageCounts(*printer.target), std::vector<int>{1});
    const RecordedPage& pg = doc().pages[0];
    EXPECT_EQ(pg.orientation, PrintOrientation::Landscape);
    const auto col = [](double size, int n, bool bold = false) {
        return (n - 1) * PrintMetrics::averageCharWidth(PrintFont{QStringLiteral("Arial Narrow"), size, bold});
    };
    const PrintOp* os = pg.findText(" 42 ");
    ASSERT_TRUE(os);
    EXPECT_TRUE(pg.fontOf(*os).bold);
    EXPECT_NEAR(os->x, col(8, 2, true), 0.05);
    QStringList row;
    for (const PrintOp* t = after(pg, os); t && std::abs(t->y - os->y) < 0.05; t = after(pg, t)) {
        row << t->text;
        EXPECT_FALSE(pg.fontOf(*t).bold) << t->text.toStdString();
        EXPECT_EQ(pg.fontOf(*t).size, 8) << t->text.toStdString();
    }
    EXPECT_EQ(row, (QStringList{"20/11/2026", "05/12/2026", "ANA", "TELEVISOR", "PHILCO", "PH29", "GAR. DE SERVIÇO",
                                "SEM CONSERTO", " 15 ", "R$ 150,50"}));
    const double blank = PrintMetrics::textWidth(PrintFont{QStringLiteral("Arial Narrow"), 8}, " ");
    const PrintOp* in = pg.findText("20/11/2026");
    EXPECT_NEAR(in->x, col(8, 12), 0.05);
    EXPECT_NEAR(pg.findText("05/12/2026")->x, in->x + PrintMetrics::textWidth(pg.fontOf(*in), "20/11/2026") + 2 * blank,
                0.05);
    for (const auto& [text, at] : {std::pair{"TELEVISOR", 93}, std::pair{"PHILCO", 122}, std::pair{"PH29", 146},
                                   std::pair{"GAR. DE SERVIÇO", 170}, std::pair{"SEM CONSERTO", 194},
                                   std::pair{" 15 ", 217}, std::pair{"R$ 150,50", 225}})
        if (const PrintOp* t = pg.findText(QString::fromUtf8(text))) {
            EXPECT_NEAR(t->x, col(8, at), 0.05) << text;
        } else {
            ADD_FAILURE() << text;
        }
    const PrintOp* second = after(pg, pg.findText("R$ 150,50"));
    EXPECT_EQ(second->text, QStringLiteral("Defeito: NÃO LIGA   Acessórios: CABO   Técnico: CARLOS"));
    EXPECT_NEAR(second->x, col(8, 23), 0.05);
    // The headings.
    QStringList headings;
    const PrintOp* h = pg.findText("OS");
    EXPECT_NEAR(h->x, col(10, 2), 0.05);
    for (; h && std::abs(h->y - pg.findText("OS")->y) < 0.05; h = after(pg, h)) {
        headings << h->text;
        EXPECT_EQ(pg.fontOf(*h).size, 10);
    }
    EXPECT_EQ(headings, (QStringList{"OS", "ENTRADA", "SAÍDA", "CLIENTE", "APARELHO", "MARCA", "MODELO", "TIPO", "STATUS",
                                     "DIAS", "VALOR"}));
    EXPECT_NEAR(pg.findText("CLIENTE")->x, col(10, 35), 0.05);
    EXPECT_NEAR(pg.findText("APARELHO")->x, col(10, 72), 0.05);
    // The header: the logo at its corner, the shop in 18 points, the title
    // in 14, issued now.
    ASSERT_EQ(pg.ops.front().kind, PrintOp::Kind::Picture);
    EXPECT_NEAR(pg.ops.front().x, 10, 0.05);
    EXPECT_NEAR(pg.ops.front().y, 5, 0.05);
    EXPECT_NEAR(pg.ops.front().x2, 37, 0.05);
    EXPECT_NEAR(pg.ops.front().y2, 17, 0.05);
    EXPECT_EQ(pg.fontOf(*pg.findText("ELETRÔNICA ÁGIL")).size, 18);
    const PrintOp* title = pg.findText("=== Relatório de Aparelhos ENTREGUES ===");
    EXPECT_EQ(pg.fontOf(*title).size, 14);
    const PrintOp* issued = pg.findText("Emissão");
    EXPECT_TRUE(pg.fontOf(*issued).underline);
    for (const char* t : {"06/12/2026", "15:20:05", "Página: "}) {
        ASSERT_TRUE(pg.findText(t)) << t;
        EXPECT_NEAR(pg.findText(t)->y, issued->y, 0.05) << t;
    }
}

// "OS Selecionada" prints the report of the row the list had current,
// whatever the list's filter, and the dialog closes after it.
TEST_F(DeliveredPrintTest, SelectedOrderPrintsItsReport) {
    addDelivered(41, "ANA");
    const qint64 id = addDelivered(42, "BRUNO");
    addDelivered(43, "CARLA");
    Modulo::IdApEntregueAtual = std::int32_t(id);
    Modulo::SqlFiltroEntregues = "SELECT * FROM TblApEntregues WHERE Os = 41";
    FrmImpApEntr w;
    EXPECT_TRUE(w.findChild<QRadioButton*>("Option3")->isChecked());
    EXPECT_FALSE(w.findChild<QRadioButton*>("Option2")->isEnabled());
    ModalScript script([](QWidget* d) { d->findChild<WindowTimer*>("Timer2")->fire(); }, 10000, "FrmImpDtApEnt");
    const QList<ShownBox> boxes = boxesDuring([&w] { w.findChild<QPushButton*>("BtImprimir")->click(); });
    EXPECT_TRUE(script.done());
    expectBoxes(boxes, {Sent});
    EXPECT_EQ(w.result(), QDialog::Accepted);
    ASSERT_EQ(pageCounts(*printer.target), std::vector<int>{1});
    const RecordedPage& pg = doc().pages[0];
    EXPECT_TRUE(pg.findText("00042"));
    EXPECT_TRUE(pg.findText("BRUNO"));
    EXPECT_FALSE(pg.findText("ANA"));
    EXPECT_FALSE(pg.findText("CARLA"));
}

TARVEL_TEST_MAIN()
