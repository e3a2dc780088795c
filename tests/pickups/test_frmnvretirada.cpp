// Writing a new pickup receipt, as one table of scenarios on the real dialog.
#include "pickups/frmnvretirada.h"
#include "printing/printdata.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/faultrun.h"
#include "support/windowscenario.h"
#include "ui/windowhost.h"

using namespace Scenario;

namespace {

struct NvRetiradaTest : WindowTest {
    void SetUp() override {
        WindowTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 3, 5), QTime(14, 25, 40)));
        Database::openDefault().execute("UPDATE TblEmpresa SET Cidade = 'campinas', Estado = 'sp'");
    }
};

// The print window runs its job at once and stays until the test closes it.
void printNow(QWidget* window) { window->findChild<WindowTimer*>("TimerRetirada")->fire(); }

} // namespace

TEST_F(NvRetiradaTest, Scenarios) {
    const QString saved = "Comprovante de Retirada Criado com Sucesso\rDeseja Imprimir este Comprovante Agora ?";
    const QString noName = "Obrigatório o Preenchimento do Nome do Cliente";
    const QString clientes = "SELECT Nome FROM TblClientes";
    PrintData::RecordingPrinter printer;
    std::unique_ptr<ModalScript> print;
    StoreFault::install();
    run({
        {"the shop's city; the name bold only with the focus; Enter moves on, also from the defect box", [&] {
             open<FrmNvRetirada>("Txt(0)=joão d'ávila");
             EXPECT_EQ(QString(shown("Txt(4)") + shown("Txt(5)") + shown("Txt(0)")), QString("CAMPINASSPJOÃO DÁVILA"));
             EXPECT_FALSE(enabled("BtSalvar") || enabled("BtClientes") || !child(window.get(), "Txt(0)")->font().bold());
             act("Txt(0)@Return");
             EXPECT_FALSE(child(window.get(), "Txt(0)")->font().bold() || focusName() != "Txt(1)");
             act("Txt(15)=nao liga;Txt(15)@Return;Txt(5)+=X");
             EXPECT_EQ(QString(shown("Txt(15)") + shown("Txt(5)")), "NAO LIGASP");
         }, {}, {}, {}, "Txt(5)"},
        {"an operator without EmOs opens nothing", [&] {
             Database::openDefault().execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs) "
                                             "VALUES ('BETO', 17442, 1, 0)");   // password 7970
             open<FrmNvRetirada>("TxtOperador=7970");
             EXPECT_FALSE(enabled("BtSalvar") || enabled("BtClientes"));
         }, {ok("Voce Não Possui Autorizaçao para esta Operação")}},
        {"an operator with EmOs opens both buttons", [&] {
             open<FrmNvRetirada>("TxtOperador=1234");
             EXPECT_TRUE(shown("TxtOperador") == "ADMINISTRADOR" && enabled("BtSalvar") && enabled("BtClientes"));
         }, {}, {}, {}, "BtSalvar"},
        {"two letters, or blanks alone, are no name", [&] { act("Txt(0)=AN;Txt(1)=RUA X;BtSalvar;Txt(0)=     ;BtSalvar"); },
         {ok(noName), ok(noName)}, {}, {}, "Txt(0)"},
        {"three characters as typed are a name; the address needs three too", [&] {
             act("Txt(0)=AN ;Txt(1)=R ;BtSalvar");
             EXPECT_TRUE(enabled("BtSalvar"));
         }, {ok("Obrigatório o Preenchimento do Endereço do Cliente")}, "SELECT COUNT(*) FROM TblRetirada", "0", "Txt(1)"},
        {"customer: No records nothing", [&] { act("Txt(0)=B;Txt(1)=RUA C;BtClientes"); },
         {no("Deseja incluir este Cliente no Cadastro de Clientes")}, clientes, ""},
        {"customer: blanks are no name", [&] { act("Txt(0)=   ;BtClientes"); },
         {yes(), ok("É obrigatório preencher o Nome do Cliente !")}, clientes, "", "Txt(0)"},
        {"customer: one letter is recorded once, the receipt still to save", [&] {
             act("Txt(0)= B ;Txt(6)=(19) 3333-4444;Txt(7)=99999-0000;BtClientes");
             EXPECT_TRUE(!enabled("BtClientes") && enabled("BtSalvar"));
         }, {yes(), ok("Cliente Cadastrado com Sucesso!")},
         "SELECT Nome, Endereco, Cidade, Estado, TelResidencia, Celular, Operador, DataCadastro, Cep, Email "
         "FROM TblClientes", "B|RUA C|CAMPINAS|SP|(19) 3333-4444|99999-0000|ADMINISTRADOR|2026-03-05||"},
        {"the receipt is stored trimmed with the time; no print leaves one receipt per opening", [&] {
             act("Txt(0)=AN ;Txt(1)=RUA DAS FLORES, 10;Txt(8)=perto da praça;Txt(11)=televisor;Txt(14)=sn-77;"
                 "Txt(15)=  sem imagem ;BtSalvar");
             EXPECT_TRUE(Modulo::NovaRetiradaSalva && window->isVisible());
             EXPECT_FALSE(enabled("BtSalvar") || Modulo::IdRetiradaAtual.isValid());
         }, {no(saved)},
         "SELECT Nome, End, Cidade, Estado, Loc0, Loc1, Ap0, NumSerie, Defeito, Operador, DataEmissao, HoraEmissao "
         "FROM TblRetirada",
         "AN|RUA DAS FLORES, 10|CAMPINAS|SP|PERTO DA PRAÇA||TELEVISOR|SN-77|SEM IMAGEM|ADMINISTRADOR|2026-03-05|"
         "14:25:40"},
        {"a name already recorded shows the stored customer; No records nothing", [&] {
             Database::openDefault().execute(
                 "INSERT INTO TblClientes (Codigo, Nome, Endereco, Complemento, Bairro, Operador, DataCadastro) "
                 "VALUES (70, 'ANA', 'RUA A', 'AP 3', 'CENTRO', 'PEDRO', '2025-01-02')");
             open<FrmNvRetirada>("TxtOperador=1234;Txt(0)=ANA ;Txt(1)=RUA NOVA;BtClientes");
             EXPECT_TRUE(enabled("BtClientes"));
         }, {yes(), no("ATENÇÃO - JÁ EXISTE UM CLIENTE CADASTRADO COM ESTE NOME\r\rEndereço: RUA A AP 3\r"
                      "Bairro: CENTRO\rCódigo: 70\rCadastrado em: 02/01/2025\rPor: PEDRO\r\rDeseja Cadastrar assim mesmo?")},
         "SELECT COUNT(*) FROM TblClientes WHERE Nome = 'ANA'", "1"},
        {"... and Yes records it again", [&] { act("BtClientes"); },
         {yes(), yes("JÁ EXISTE"), ok("Cliente Cadastrado com Sucesso!")},
         "SELECT COUNT(*) FROM TblClientes WHERE Nome = 'ANA'", "2"},
        {"a refused customer write says so", [&] {
             raw("CREATE TRIGGER falha BEFORE INSERT ON TblClientes BEGIN SELECT RAISE(ABORT, 'sem espaço'); END");
             open<FrmNvRetirada>("TxtOperador=1234;Txt(0)=ZECA;Txt(1)=RUA Z;BtClientes");
             EXPECT_TRUE(enabled("BtClientes"));
         }, {yes(), ok("Ocorreu um Erro ao tentar Cadastrar este Cliente.\r")},
         "SELECT COUNT(*) FROM TblClientes WHERE Nome = 'ZECA'", "0"},
        {"a receipt the disk refuses names the cause, keeps what was typed and stays open", [&] {
             Modulo::NovaRetiradaSalva = false;
             for (const StoreFault::Kind kind : StoreFault::RefusedWrites) {
                 const QString text = writeUnderFault(kind, databasePath(), [&] { act("BtSalvar"); });
                 EXPECT_TRUE(text.startsWith("Ocorreu um Erro ao tentar gerar este Comprovante de Retirada")) << text.toStdString();
             }
             EXPECT_EQ(shown("Txt(0)"), "ZECA");
             EXPECT_TRUE(enabled("BtSalvar") && window->isVisible());
             EXPECT_FALSE(Modulo::NovaRetiradaSalva);
         }, {}, "SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'ZECA'", "0"},
        {"once the cause is gone the same button stores it, once", [&] {
             act("BtSalvar");
             EXPECT_FALSE(enabled("BtSalvar"));
         }, {no(saved)}, "SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'ZECA' AND End = 'RUA Z'", "1"},
        {"a customer the file cannot confirm is recorded once by the next click, as then typed, never its own duplicate", [&] {
             raw("DROP TRIGGER falha");
             open<FrmNvRetirada>("TxtOperador=1234;Txt(0)=ZULU;Txt(1)=RUA X");
             leaveUnconfirmed(databasePath(), [&] { act("BtClientes"); }, Told::Stored, {MsgAnswer::Yes});
             act("Txt(1)=RUA Y;BtClientes");
         }, {yes(), ok("Cliente Cadastrado com Sucesso!")},
         "SELECT COUNT(*), max(Endereco) FROM TblClientes WHERE Nome = 'ZULU'", "1|RUA Y"},
        {"a receipt the file cannot confirm says so; confirming again stores it once", [&] {
             open<FrmNvRetirada>("TxtOperador=1234;Txt(0)=LUIS;Txt(1)=RUA L");
             const QString text = writeUnconfirmed(databasePath(), [&] { act("BtSalvar"); });
             EXPECT_EQ(text, "Ocorreu um Erro ao tentar gerar este Comprovante de Retirada\rVerifique os dados digitados "
                             "estão corretos.\rSe o problema persistir Contacte o Suporte Técnico\r" + UnconfirmedText +
                                 " 3197");
             EXPECT_TRUE(enabled("BtSalvar") && window->isVisible());
             act("Txt(1)=RUA M;BtSalvar");
         }, {no(saved)}, "SELECT COUNT(*), max(End) FROM TblRetirada WHERE Nome = 'LUIS'", "1|RUA M"},
        {"printing names the receipt just stored, not one another copy added after it", [&] {
             raw("CREATE TRIGGER outra_copia AFTER INSERT ON TblRetirada WHEN NEW.Nome = 'CARLOS' BEGIN "
                 "INSERT INTO TblRetirada (Nome, End) VALUES ('OUTRA COPIA', 'RUA Z'); END");
             print = std::make_unique<ModalScript>(printNow, 10000, "FrmImpRetirada");
             open<FrmNvRetirada>("TxtOperador=1234;Txt(0)=CARLOS;Txt(1)=RUA B, 2;BtSalvar");
             EXPECT_TRUE(print->done());
             ASSERT_EQ(printer.target->documents.size(), 1u);
             const QString paper = printer.target->documents[0].pages.at(0).allText();
             EXPECT_TRUE(paper.contains("CARLOS") && !paper.contains("OUTRA COPIA"));
             EXPECT_EQ(static_cast<QDialog*>(window.get())->result(), QDialog::Accepted);
             EXPECT_FALSE(window->isVisible());
             EXPECT_EQ(rows("SELECT Nome FROM TblRetirada WHERE IdRetirada = ?", {Modulo::IdRetiradaAtual}), "CARLOS");
         }, {yes(saved), ok("Os Dados foram enviados para a Impressora. Aguarde!")}},
        {"a print failure after the save never says the receipt failed", [&] {
             printer.target->documents.clear();
             printer.target->setFailure(483, QStringLiteral("Impressora desligada"));
             print = std::make_unique<ModalScript>([](QWidget* w) {
                 printNow(w);
                 click(w, "BtFechar");   // the failed print window waits for Cancel
             });
             open<FrmNvRetirada>("TxtOperador=1234;Txt(0)=DIRCEU;Txt(1)=RUA B, 2;BtSalvar");
             EXPECT_TRUE(print->done());
             EXPECT_TRUE(printer.target->documents.empty());
         }, {yes(saved), ok("Não foi possível imprimir este Comprovante de Retirada")},
         "SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'DIRCEU'", "1"},
        {"a receipt stored but not read back goes on to the print offer", [&] {
             open<FrmNvRetirada>("TxtOperador=1234;Txt(0)=ZULU;Txt(1)=RUA Z");
             // The receipts now stand behind a view without row keys.
             const QString fields = "Nome, End, Complemento, Bairro, Cidade, Estado, TelRes, Cel, Loc0, Loc1, Loc2, "
                                    "Ap0, Marca0, Mod0, NumSerie, Defeito, DataEmissao, HoraEmissao, Operador";
             raw("ALTER TABLE TblRetirada RENAME TO TblGuardada; CREATE VIEW TblRetirada AS SELECT * FROM TblGuardada; "
                 "CREATE TRIGGER grava INSTEAD OF INSERT ON TblRetirada BEGIN INSERT INTO TblGuardada (" + fields +
                 ") VALUES (NEW." + QString(fields).replace(", ", ", NEW.") + "); END");
             act("BtSalvar");
             EXPECT_TRUE(Modulo::NovaRetiradaSalva);
         }, {no(saved)}, "SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'ZULU'", "1"},
    });
}

TARVEL_TEST_MAIN()
