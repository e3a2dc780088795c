// Writing a new pickup receipt, as one table of scenarios on real windows.
#include "pickups/frmnvretirada.h"
#include "printing/printdata.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "support/windowscenario.h"
#include "ui/windowhost.h"

#include <QApplication>

using namespace Scenario;

namespace {

struct NvRetiradaTest : ProgramFolderTest {
    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 3, 5), QTime(14, 25, 40)));
        Database::openDefault().execute("UPDATE TblEmpresa SET Cidade = 'campinas', Estado = 'sp'");
        reopen(false);
    }
    void TearDown() override {
        dlg.reset();
        Clock::set({});
        ProgramFolderTest::TearDown();
    }
    void reopen(bool login = true) {
        dlg.reset();
        dlg = std::make_unique<FrmNvRetirada>();
        dlg->show();
        if (login) Typing::type(box("TxtOperador"), "1234");
    }
    QWidget* box(int i) { return child(dlg.get(), QStringLiteral("Txt(%1)").arg(i)); }
    QWidget* box(const char* name) { return child(dlg.get(), name); }
    void fill(const QString& nome, const QString& endereco) {
        setText(box(0), nome);
        setText(box(1), endereco);
    }
    bool enabled(const char* name) { return box(name)->isEnabled(); }
    std::unique_ptr<FrmNvRetirada> dlg;
};

// The print window runs its job at once and stays until the test closes it.
void printNow(QWidget* window) { window->findChild<WindowTimer*>("TimerRetirada")->fire(); }

} // namespace

TEST_F(NvRetiradaTest, Scenarios) {
    const QString saved = "Comprovante de Retirada Criado com Sucesso\rDeseja Imprimir este Comprovante Agora ?";
    const QString noName = "Obrigatório o Preenchimento do Nome do Cliente";
    PrintData::RecordingPrinter printer;
    std::unique_ptr<ModalScript> print;
    run({
        {"opens with the shop's city, waiting for an operator", [&] {
             EXPECT_EQ(text(box(4)) + text(box(5)), "CAMPINASSP");
             EXPECT_FALSE(enabled("BtSalvar") || enabled("BtClientes"));
         }},
        {"capitals without apostrophe, bold only with the focus, Enter moves on, state of two", [&] {
             Typing::type(box(0), "joão d'ávila");
             EXPECT_EQ(text(box(0)), "JOÃO DÁVILA");
             EXPECT_TRUE(box(0)->font().bold());
             Typing::key(box(0), Qt::Key_Return);
             EXPECT_EQ(QApplication::focusWidget(), box(1));
             EXPECT_FALSE(box(0)->font().bold());
             Typing::type(box(15), "nao liga");
             Typing::key(box(15), Qt::Key_Return);
             EXPECT_EQ(text(box(15)), "NAO LIGA");
             EXPECT_EQ(QApplication::focusWidget(), box("TxtOperador"));
             Typing::type(box(5), "XYZ");
             EXPECT_EQ(text(box(5)), "SP");
         }},
        {"an operator without EmOs opens nothing", [&] {
             Database::openDefault().execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs) "
                                             "VALUES ('BETO', 17442, 1, 0)");   // password 7970
             reopen(false);
             Typing::type(box("TxtOperador"), "7970");
             EXPECT_FALSE(enabled("BtSalvar") || enabled("BtClientes"));
         }, {ok("Voce Não Possui Autorizaçao para esta Operação")}},
        {"an operator with EmOs opens both buttons", [&] {
             reopen();
             EXPECT_EQ(text(box("TxtOperador")), "ADMINISTRADOR");
             EXPECT_TRUE(enabled("BtSalvar") && enabled("BtClientes"));
             EXPECT_EQ(QApplication::focusWidget(), box("BtSalvar"));
         }},
        {"two letters are no name", [&] {
             fill("AN", "RUA X");
             click(dlg.get(), "BtSalvar");
             EXPECT_EQ(QApplication::focusWidget(), box(0));
         }, {ok(noName)}},
        {"blanks alone are no name", [&] { fill("     ", "RUA X"); click(dlg.get(), "BtSalvar"); }, {ok(noName)}},
        {"three characters as typed are a name; the address needs three too", [&] {
             fill("AN ", "R ");
             click(dlg.get(), "BtSalvar");
             EXPECT_EQ(QApplication::focusWidget(), box(1));
             EXPECT_TRUE(enabled("BtSalvar"));
         }, {ok("Obrigatório o Preenchimento do Endereço do Cliente")}, "SELECT COUNT(*) FROM TblRetirada", "0"},
        {"customer: No records nothing", [&] { fill("B", "RUA C"); click(dlg.get(), "BtClientes"); },
         {no("Deseja incluir este Cliente no Cadastro de Clientes")}, "SELECT COUNT(*) FROM TblClientes", "0"},
        {"customer: blanks are no name", [&] {
             setText(box(0), "   ");
             click(dlg.get(), "BtClientes");
             EXPECT_EQ(QApplication::focusWidget(), box(0));
         }, {yes(), ok("É obrigatório preencher o Nome do Cliente !")}, "SELECT COUNT(*) FROM TblClientes", "0"},
        {"customer: one letter is recorded once, the receipt still to save", [&] {
             setText(box(0), " B ");
             setText(box(6), "(19) 3333-4444");
             setText(box(7), "99999-0000");
             click(dlg.get(), "BtClientes");
             EXPECT_FALSE(enabled("BtClientes"));
             EXPECT_TRUE(enabled("BtSalvar"));
         }, {yes(), ok("Cliente Cadastrado com Sucesso!")},
         "SELECT Nome, Endereco, Cidade, Estado, TelResidencia, Celular, Operador, DataCadastro, Cep, Email "
         "FROM TblClientes", "B|RUA C|CAMPINAS|SP|(19) 3333-4444|99999-0000|ADMINISTRADOR|2026-03-05||"},
        {"the receipt is stored trimmed with the time; no print leaves one receipt per opening", [&] {
             fill("AN ", "RUA DAS FLORES, 10");
             setText(box(8), "perto da praça");
             setText(box(11), "televisor");
             setText(box(14), "sn-77");
             setText(box(15), "  sem imagem ");
             click(dlg.get(), "BtSalvar");
             EXPECT_TRUE(Modulo::NovaRetiradaSalva);
             EXPECT_TRUE(dlg->isVisible());
             EXPECT_FALSE(enabled("BtSalvar"));
             EXPECT_FALSE(Modulo::IdRetiradaAtual.isValid());
         }, {no(saved)},
         "SELECT Nome, End, Cidade, Estado, Loc0, Loc1, Ap0, NumSerie, Defeito, Operador, DataEmissao, HoraEmissao "
         "FROM TblRetirada",
         "AN|RUA DAS FLORES, 10|CAMPINAS|SP|PERTO DA PRAÇA||TELEVISOR|SN-77|SEM IMAGEM|ADMINISTRADOR|2026-03-05|"
         "14:25:40"},
        {"a name already recorded shows the stored customer; No records nothing", [&] {
             Database::openDefault().execute(
                 "INSERT INTO TblClientes (Codigo, Nome, Endereco, Complemento, Bairro, Operador, DataCadastro) "
                 "VALUES (70, 'ANA', 'RUA A', 'AP 3', 'CENTRO', 'PEDRO', '2025-01-02')");
             reopen();
             fill("ANA ", "RUA NOVA");
             click(dlg.get(), "BtClientes");
             EXPECT_TRUE(enabled("BtClientes"));
         }, {yes(), no("ATENÇÃO - JÁ EXISTE UM CLIENTE CADASTRADO COM ESTE NOME\r\rEndereço: RUA A AP 3\r"
                      "Bairro: CENTRO\rCódigo: 70\rCadastrado em: 02/01/2025\rPor: PEDRO\r\rDeseja Cadastrar assim mesmo?")},
         "SELECT COUNT(*) FROM TblClientes WHERE Nome = 'ANA'", "1"},
        {"... and Yes records it again", [&] { click(dlg.get(), "BtClientes"); },
         {yes(), yes("JÁ EXISTE"), ok("Cliente Cadastrado com Sucesso!")},
         "SELECT COUNT(*) FROM TblClientes WHERE Nome = 'ANA'", "2"},
        {"a refused customer write says so", [&] {
             reopen();
             fill("ZECA", "RUA Z");
             raw("CREATE TRIGGER falha BEFORE INSERT ON TblClientes BEGIN SELECT RAISE(ABORT, 'sem espaço'); END");
             click(dlg.get(), "BtClientes");
         }, {yes(), ok("Ocorreu um Erro ao tentar Cadastrar este Cliente.\r"), },
         "SELECT COUNT(*) FROM TblClientes WHERE Nome = 'ZECA'", "0"},
        {"a receipt that stored nothing says it failed and stays open", [&] {
             Modulo::NovaRetiradaSalva = false;
             raw("CREATE TRIGGER falha2 BEFORE INSERT ON TblRetirada BEGIN SELECT RAISE(ABORT, 'disco cheio'); END");
             click(dlg.get(), "BtSalvar");
             raw("DROP TRIGGER falha2");
             EXPECT_FALSE(Modulo::NovaRetiradaSalva);
             EXPECT_TRUE(dlg->isVisible());
         }, {ok("Ocorreu um Erro ao tentar gerar este Comprovante de Retirada\r")},
         "SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'ZECA'", "0"},
        {"printing names the receipt just stored, not one another copy added after it", [&] {
             raw("CREATE TRIGGER outra_copia AFTER INSERT ON TblRetirada WHEN NEW.Nome = 'CARLOS' BEGIN "
                 "INSERT INTO TblRetirada (Nome, End) VALUES ('OUTRA COPIA', 'RUA Z'); END");
             reopen();
             fill("CARLOS", "RUA B, 2");
             print = std::make_unique<ModalScript>(printNow, 10000, "FrmImpRetirada");
             click(dlg.get(), "BtSalvar");
             EXPECT_TRUE(print->done());
             ASSERT_EQ(printer.target->documents.size(), 1u);
             const QString paper = printer.target->documents[0].pages.at(0).allText();
             EXPECT_TRUE(paper.contains("CARLOS") && !paper.contains("OUTRA COPIA"));
             EXPECT_EQ(dlg->result(), QDialog::Accepted);
             EXPECT_FALSE(dlg->isVisible());
             EXPECT_EQ(rows("SELECT Nome FROM TblRetirada WHERE IdRetirada = ?", {Modulo::IdRetiradaAtual}), "CARLOS");
         }, {yes(saved), ok("Os Dados foram enviados para a Impressora. Aguarde!")}},
        {"a print failure after the save never says the receipt failed", [&] {
             printer.target->documents.clear();
             printer.target->setFailure(483, QStringLiteral("Impressora desligada"));
             reopen();
             fill("DIRCEU", "RUA B, 2");
             print = std::make_unique<ModalScript>([](QWidget* w) {
                 printNow(w);
                 click(w, "BtFechar");   // the failed print window waits for Cancel
             });
             click(dlg.get(), "BtSalvar");
             EXPECT_TRUE(print->done());
             EXPECT_TRUE(printer.target->documents.empty());
         }, {yes(saved), ok("Não foi possível imprimir este Comprovante de Retirada")},
         "SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'DIRCEU'", "1"},
        {"a receipt stored but not read back goes on to the print offer", [&] {
             reopen();
             fill("ZECA", "RUA Z");
             // The receipts now stand behind a view without row keys.
             const QString fields = "Nome, End, Complemento, Bairro, Cidade, Estado, TelRes, Cel, Loc0, Loc1, Loc2, "
                                    "Ap0, Marca0, Mod0, NumSerie, Defeito, DataEmissao, HoraEmissao, Operador";
             raw("ALTER TABLE TblRetirada RENAME TO TblGuardada");
             raw("CREATE VIEW TblRetirada AS SELECT * FROM TblGuardada");
             raw("CREATE TRIGGER grava INSTEAD OF INSERT ON TblRetirada BEGIN INSERT INTO TblGuardada (" + fields +
                 ") VALUES (NEW." + QString(fields).replace(", ", ", NEW.") + "); END");
             click(dlg.get(), "BtSalvar");
             EXPECT_TRUE(Modulo::NovaRetiradaSalva);
         }, {no(saved)}, "SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'ZECA'", "1"},
    });
}

TARVEL_TEST_MAIN()
