// The printed pickup receipt: both copies on one page, the shop's data and
// authorised brands on the customer's copy, the directions on the shop's
// copy, the appliance grid, the footer, and the window's cancel and failures.
#include "printdata.h"
#include "printing/frmimpretirada.h"
#include "printing/printjob.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

using namespace PrintData;

namespace {

const QString Sent = QStringLiteral("Os Dados foram enviados para a Impressora. Aguarde!");

class FrmImpRetiradaTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        writePdfsWhenAsked(*printer.target);
        Fields company{{"NomeFantasia", QStringLiteral("ELETRO REPAROS")},
                       {"NomeReal", QStringLiteral("ELETRO REPAROS LTDA ME")},
                       {"CGC", QStringLiteral("12.345.678/0001-90")},
                       {"InscEstadual", QStringLiteral("111.222.333")},
                       {"InscMunicipal", QStringLiteral("4444")},
                       {"Endereco", QStringLiteral("AV BRASIL, 1000")},
                       {"Fone1", QStringLiteral("(19) 3030-1010")},
                       {"Fone2", QStringLiteral("(19) 3030-2020")},
                       {"Fax", QStringLiteral("(19) 3030-3030")},
                       {"Email", QStringLiteral("contato@eletro.example")},
                       {"Site", QStringLiteral("www.eletro.example")},
                       {"Cep", QStringLiteral("13000-000")},
                       {"Cidade", QStringLiteral("CAMPINAS")},
                       {"Estado", QStringLiteral("SP")}};
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
                 {"NumSerie", QStringLiteral("SN998877")},   {"Defeito", QStringLiteral("NÃO LIGA")},
                 {"Operador", QStringLiteral("ADMINISTRADOR")}};
        for (auto it = over.begin(); it != over.end(); ++it) f[it.key()] = it.value();
        return insert(QStringLiteral("TblRetirada"), f);
    }
    // Opens the window on a receipt and runs its job (the timer's tick).
    std::unique_ptr<FrmImpRetirada> run(qint64 id) {
        Modulo::IdRetiradaAtual = id;
        auto w = std::make_unique<FrmImpRetirada>();
        w->show();
        w->findChild<WindowTimer*>("TimerRetirada")->fire();
        return w;
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

    RecordingPrinter printer;
};

} // namespace

TEST_F(FrmImpRetiradaTest, PrintsBothCopiesOnOnePageAndCloses) {
    const qint64 id = addReceipt();
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, Sent);
    auto w = run(id);
    EXPECT_EQ(boxes.log().at(0).title, "Impressão de Comprovante de Retirada");
    EXPECT_EQ(boxes.log().at(0).icon, MsgIcon::Information);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(w->findChild<QProgressBar*>("PgBar")->value(), 100);
    ASSERT_EQ(printer.target->documents.size(), 1u);
    ASSERT_EQ(printer.target->documents[0].pages.size(), 1u);
    EXPECT_EQ(printer.target->documents[0].copies, 1);

    const double cut = cutLine();
    ASSERT_GT(cut, 100);
    ASSERT_LT(cut, 200);
    const QString cliente = textsBetween(0, cut).join('|');
    const QString empresa = textsBetween(cut, 1000).join('|');

    // The customer's copy: title box, the shop with its twelve brands, no directions or phones.
    EXPECT_TRUE(cliente.contains("(Via Cliente)"));
    EXPECT_TRUE(cliente.contains("ELETRO REPAROS LTDA ME"));
    EXPECT_TRUE(cliente.contains("12.345.678/0001-90"));
    EXPECT_TRUE(cliente.contains("SERVIÇO AUTORIZADO:"));
    for (int i = 1; i <= 12; ++i) EXPECT_TRUE(cliente.contains(QStringLiteral("|MARCA%1|").arg(i) )) << i;
    EXPECT_TRUE(cliente.contains("Cliente:|MARIA DA SILVA"));
    for (const char* absent : {"PERTO DA PADARIA", "PORTÃO AZUL", "3871-0000", "99876-5432", "Nº"})
        EXPECT_FALSE(cliente.contains(absent)) << absent;
    EXPECT_TRUE(cliente.contains("ELETRO REPAROS| (|ADMINISTRADOR| )|CAMPINAS| ,_____/_____/_______"));

    // The shop's copy: the number as a number item, the directions and phones, no brands.
    EXPECT_TRUE(empresa.contains("(Via Empresa)"));
    EXPECT_TRUE(empresa.contains(QStringLiteral("Nº| %1 ").arg(id)));
    EXPECT_TRUE(empresa.contains("Localização:"));
    for (const char* present : {"PERTO DA PADARIA", "PORTÃO AZUL", "TOCAR A CAMPAINHA", "3871-0000", "99876-5432"})
        EXPECT_TRUE(empresa.contains(present)) << present;
    for (const char* absent : {"MARCA1", "SERVIÇO AUTORIZADO:", "ELETRO REPAROS LTDA ME"})
        EXPECT_FALSE(empresa.contains(absent)) << absent;
    EXPECT_TRUE(empresa.contains("MARIA DA SILVA|CAMPINAS| , _____/_____/_______| (|ADMINISTRADOR| )"));

    // Each copy: the title box only on the customer's, and the appliance grid
    // of three rules and five columns with the values in its second row.
    int boxes4 = 0;
    std::vector<const PrintOp*> horizontal, vertical;
    for (const PrintOp* l : page().lines()) {
        if (l->x == 10 && l->x2 == 190 && l->y == l->y2) horizontal.push_back(l);
        if (l->y2 - l->y == 16 && l->x == l->x2) vertical.push_back(l);
        if (l->x == 125 && l->y == 4 && l->x2 == 195 && l->y2 == 4) ++boxes4;
    }
    EXPECT_EQ(boxes4, 1);   // the title box's top side
    ASSERT_EQ(horizontal.size(), 6u);
    ASSERT_EQ(vertical.size(), 10u);
    for (const double top : {horizontal[0]->y, horizontal[3]->y}) {
        EXPECT_EQ(top, std::nearbyint(top));
        const QStringList row = textsBetween(top + 8, top + 16);
        EXPECT_EQ(row.join('|'), "TELEVISOR|PHILCO|PH29|SN998877");
        const QStringList headings = textsBetween(top, top + 8);
        EXPECT_EQ(headings.join('|'), "Aparelho|Marca|Modelo|Número de Série");
    }
    EXPECT_LT(horizontal[0]->y, cut);
    EXPECT_GT(horizontal[3]->y, cut);
    EXPECT_EQ(page().findText("Defeito:") != nullptr, true);
    EXPECT_EQ(empresa.count("NÃO LIGA") + cliente.count("NÃO LIGA"), 2);

    // The footer: version and web address against the right edge.
    const QString version = QStringLiteral("Tarvel Versão:%1.%2 ").arg(PrintJob::versionMajor()).arg(PrintJob::versionMinor());
    const PrintOp* v = page().findText(version);
    ASSERT_NE(v, nullptr);
    EXPECT_NEAR(v->x + PrintMetrics::textWidth(page().fontOf(*v), version), page().printable.width(), 0.05);
    EXPECT_TRUE(page().fontOf(*v).italic);
    const PrintOp* web = page().findText(PrintJob::webAddress() + " ");
    ASSERT_NE(web, nullptr);
    EXPECT_FALSE(page().fontOf(*web).italic);
    EXPECT_GT(web->y, v->y);
    EXPECT_LT(web->y, cut);
    // The scissors on the cut line and the logo twice.
    int pictures = 0;
    for (const PrintOp& op : page().ops)
        if (op.kind == PrintOp::Kind::Picture) ++pictures;
    EXPECT_EQ(pictures, 3);
    EXPECT_EQ(boxes.failures(), 0);
}

TEST_F(FrmImpRetiradaTest, CancelBeforeTheJobPrintsNothing) {
    Modulo::IdRetiradaAtual = addReceipt();
    FrmImpRetirada w;
    w.show();
    EXPECT_EQ(w.findChild<QProgressBar*>("PgBar")->value(), 20);
    EXPECT_TRUE(w.findChild<WindowTimer*>("TimerRetirada")->isActive());
    w.findChild<QPushButton*>("BtFechar")->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.findChild<WindowTimer*>("TimerRetirada")->isActive());
    // The close box does the same.
    FrmImpRetirada other;
    other.show();
    other.close();
    EXPECT_FALSE(other.findChild<WindowTimer*>("TimerRetirada")->isActive());
    EXPECT_TRUE(printer.target->documents.empty());
}

TEST_F(FrmImpRetiradaTest, AFailedJobSaysSoAndWaitsForCancel) {
    const qint64 id = addReceipt();
    printer.target->setFailure(483, QStringLiteral("A impressora não responde"));
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Não foi possível imprimir este Comprovante de Retirada\r"
                                "Verifique se a impressora está ligada e funcionando corretamente!\r"
                                "A impressora não responde__483");
    auto w = run(id);
    EXPECT_EQ(boxes.log().at(0).title, "Erro de Impressão");
    EXPECT_EQ(boxes.log().at(0).icon, MsgIcon::Critical);
    EXPECT_TRUE(w->isVisible());
    EXPECT_LT(w->findChild<QProgressBar*>("PgBar")->value(), 100);
    EXPECT_TRUE(printer.target->documents.empty());
    w->findChild<QPushButton*>("BtFechar")->click();
    EXPECT_FALSE(w->isVisible());

    EXPECT_EQ(boxes.failures(), 0);
}

TEST_F(FrmImpRetiradaTest, AReceiptDeletedMeanwhilePrintsNothing) {
    const qint64 id = addReceipt();
    Modulo::IdRetiradaAtual = id;
    FrmImpRetirada w;
    w.show();
    Database::openDefault().execute("DELETE FROM TblRetirada");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, QStringLiteral("O Comprovante de Retirada N.: %1 não foi encontrado.").arg(id));
    w.findChild<WindowTimer*>("TimerRetirada")->fire();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(printer.target->documents.empty());
}

TARVEL_TEST_MAIN()
