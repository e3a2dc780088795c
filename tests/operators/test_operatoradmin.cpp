// The operator windows (new operator, deletion, rights, password change), each as one table of scenarios.
#include "operators/frmaltacesso.h"
#include "operators/frmaltsenha.h"
#include "operators/frmexoperador.h"
#include "operators/frmnvoperador.h"
#include "operators/operatorrules.h"
#include "store/database.h"
#include "store/globals.h"
#include "store/schema.h"
#include "support/faultrun.h"
#include "support/windowscenario.h"

#include "support/scriptedboxes.h"

#include <QCheckBox>

using namespace Scenario;

namespace {

// PEDRO, password 4567, may start the program and keep operators.
struct OperatorAdminTest : WindowTest {
    void SetUp() override {
        WindowTest::SetUp();
        addPedro();
    }
    static void addPedro() {
        Database::openDefault().execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs, BxOs, Ce, CadUsu, "
                                        "CadFunc, Cnf, Rst, Fnr) VALUES ('PEDRO', 10727, 1, 0, 0, 0, 1, 0, 0, 0, 0)");
    }
    // A window of the operator `selected`, opened with the password typed.
    template <class W> W* as(const char* selected, const char* password) {
        window.reset();   // closing clears the selection
        Modulo::OperadorSelecionado = selected;
        return open<W>(QStringLiteral("TxtOperador=") + password);
    }
};

// The nine rights of an operator as "101000000".
QString rights(const QString& name) {
    return rows("SELECT Ini || EmOs || BxOs || Ce || CadUsu || CadFunc || Cnf || Rst || Fnr FROM TblOperador "
                "WHERE NomeOperador = ?", {name}).replace("-1", "1");
}
void tick(QWidget* w, const QString& nine) {
    for (int n = 1; n <= 9; ++n) child<QCheckBox>(w, QStringLiteral("Check%1").arg(n))->setChecked(nine[n - 1] == '1');
}
const QString passwords = "SELECT Senha FROM TblOperador ORDER BY NomeOperador";
QString stored(int a, int b) { return QStringLiteral("%1,%2").arg(Schema::passwordToStored(a)).arg(Schema::passwordToStored(b)); }

// A refused entry: what is typed in two boxes, the message and the box that takes the focus.
struct Refusal { QString first, second, message, focus; };
std::vector<Step> refusals(std::vector<Step> steps, QWidget*& w, const char* first, const char* second,
                           const char* button, std::initializer_list<Refusal> table) {
    const QString before = rows(passwords);
    for (const Refusal& r : table)
        steps.push_back({r.first + " / " + r.second, [&w, r, first, second, button] {
                             perform(w, QStringLiteral("%1=%2;%3=%4;%5").arg(first, r.first, second, r.second, button));
                         }, {ok(r.message)}, passwords, before, r.focus});
    return steps;
}

} // namespace

TEST_F(OperatorAdminTest, NewOperator) {
    QWidget* nv = nullptr;
    const QString digits = "ATENÇÃO - Digite Apenas Números Inteiros para o Número da Senha!";
    const QString taken = "Já existe um Operador Cadastrado com este Nome.";
    std::vector<Step> steps = refusals({
        {"an operator without CadUsu is refused", [&] {
             Database::openDefault().execute("UPDATE TblOperador SET CadUsu = 0 WHERE NomeOperador = 'PEDRO'");
             EXPECT_FALSE(as<frmNvOperador>("", "4567")->findChild<QWidget*>("BtCadastrar")->isEnabled());
         }, {ok("Voce Não Possui Autorizaçao para esta Operação")}},
        {"filled before the check; an operator with CadUsu opens the button, leaving the focus", [&] {
             nv = as<frmNvOperador>("", "");
             perform(nv, "TxtNvUsuario=pedr'o ;TxtOperador=1234");
             EXPECT_EQ(text(child(nv, "TxtNvUsuario")), "pedro ");
             EXPECT_TRUE(child(nv, "BtCadastrar")->isEnabled());
         }, {}, {}, {}, "TxtNvUsuario"},
    }, nv, "TxtNvUsuario", "TxtSnNvUsuario", "BtCadastrar", {
        // The checks in their order, each failing alone.
        {"P", "4567", "Digite o Nome do Novo Operador", "TxtNvUsuario"},
        {"   ", "4567", "Digite o Nome do Novo Operador", "TxtNvUsuario"},
        {" a", "", digits, "TxtSnNvUsuario"},   // the blank counted: two characters are a name
        {" pédro", "4567", taken, "TxtNvUsuario"},   // blanks, case and accents ignored
        {"ANA", "45a7", digits, "TxtSnNvUsuario"},
        {"ANA", "456", "A Senha precisa ter 4 Números", "TxtSnNvUsuario"},
        {"ANA", "7777", OperatorRules::SecurityMessage, "TxtSnNvUsuario"},
        {"ANA", "0456", OperatorRules::ZeroMessage, "TxtSnNvUsuario"},
        {"ANA", "4567", OperatorRules::SecurityMessage, "TxtSnNvUsuario"},
    });
    steps.push_back({"stored trimmed in capitals with the ticked rights", [&] {
                         tick(nv, "000000110");
                         perform(nv, "TxtNvUsuario= ana ;TxtSnNvUsuario=9182;BtCadastrar");
                         EXPECT_FALSE(child(nv, "BtCadastrar")->isEnabled());
                         EXPECT_EQ(rights("ANA"), "000000110");
                         EXPECT_EQ(rows("SELECT NomeOperador FROM TblOperador ORDER BY rowid"), "ADMINISTRADOR,PEDRO,ANA");
                     }, {ok("Operador:  ANA \rCadastrado Com Sucesso !")}, passwords, stored(1234, 9182) + "," +
                     QString::number(Schema::passwordToStored(4567))});
    steps.push_back({"a new window ticks Ini alone", [&] {
                         perform(as<frmNvOperador>("", "1234"), "TxtNvUsuario=caio;TxtSnNvUsuario=5678;BtCadastrar");
                         EXPECT_EQ(rights("CAIO"), "100000000");
                     }, {ok("Cadastrado Com Sucesso !")}});
    steps.push_back({"an operator the file cannot confirm is stored once by the next click, not refused as taken", [&] {
                         StoreFault::install();
                         QWidget* w = as<frmNvOperador>("", "1234");
                         perform(w, "TxtNvUsuario=dora;TxtSnNvUsuario=6543");
                         {
                             StoreFault fault(StoreFault::JournalGoneUnreadable);
                             perform(w, "BtCadastrar");
                         }
                         EXPECT_TRUE(child(w, "BtCadastrar")->isEnabled());
                         perform(w, "BtCadastrar");
                     }, {ok("Ocorreu um Erro ao tentar Cadastrar o Novo Operador!\rSe o Problema persistir, Contacte o "
                            "Suporte Técnico\r3197_" + UnconfirmedText + "_Banco de Dados"),
                         ok("Operador: DORA\rCadastrado Com Sucesso !")},
                     "SELECT COUNT(*) FROM TblOperador WHERE NomeOperador = 'DORA'", "1"});
    run(steps);
}

// A new operator the file could not confirm: the next click learns how it ended and stores what the window shows
// then, once: onto the row that landed (also when the name is kept: it is no other operator's), as a first save with
// every check when it did not land, again when another copy deleted the row meanwhile or the retry itself failed; while
// the file cannot tell, it says so again and keeps what was typed. The writers' turn is free afterwards.
TEST_F(OperatorAdminTest, ANewOperatorLeftUnconfirmedIsStoredOnceAsShownAtTheRetry) {
    const QString failed = "Ocorreu um Erro ao tentar Cadastrar o Novo Operador!";
    const QString taken = "Já existe um Operador Cadastrado com este Nome.";
    struct Case {
        const char* name;
        Told told;
        QString otherCopy;       // run between the failure and the retry
        QStringList retries;     // names typed, one click each
        QStringList messages;    // a part of each click's message
        QString stored = {};     // the names holding the password at the end; empty: the last one typed
    };
    const std::vector<Case> cases = {
        {"landed, corrected", Told::Stored, "", {"elza"}, {"Operador: ELZA\rCadastrado Com Sucesso !"}},
        {"landed, name kept", Told::Stored, "", {"edna"}, {"Operador: EDNA\rCadastrado Com Sucesso !"}},
        {"not stored: every check again", Told::NotStored, "", {"pedro", "elza"},
         {taken, "Operador: ELZA\rCadastrado Com Sucesso !"}},
        {"landed, deleted by another copy", Told::Stored, "DELETE FROM TblOperador WHERE NomeOperador = 'EDNA'",
         {"elza"}, {"Operador: ELZA\rCadastrado Com Sucesso !"}},
        {"landed, the retry refused by the disk", Told::Stored, "CREATE TRIGGER recusa BEFORE UPDATE ON TblOperador "
         "BEGIN SELECT RAISE(ABORT, 'recusada'); END", {"elza", "elza"}, {failed, "Operador: ELZA\rCadastrado Com Sucesso !"}},
        {"landed, its password given to a new operator by another copy", Told::Stored,
         "INSERT INTO TblOperador (NomeOperador, Senha) VALUES ('ZECA', " +
             QString::number(Schema::passwordToStored(6543)) + ")", {"elza"},
         {OperatorRules::SecurityMessage}, "EDNA,ZECA"},
        {"still unknown", Told::StillUnknown, "", {"elza", "elza"}, {UnconfirmedText, "Operador: ELZA\rCadastrado Com Sucesso !"}},
    };
    StoreFault::install();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Database::openDefault().execute("DELETE FROM TblOperador WHERE NomeOperador IN ('EDNA', 'ELZA', 'ZECA')");
        QWidget* w = as<frmNvOperador>("", "1234");
        perform(w, "TxtNvUsuario=edna;TxtSnNvUsuario=6543");
        std::unique_ptr<StoreFault> unknown = leaveUnconfirmed(databasePath(), [&] { perform(w, "BtCadastrar"); }, c.told);
        if (!c.otherCopy.isEmpty()) raw(c.otherCopy);
        for (int i = 0; i < c.retries.size(); ++i) {
            ScriptedBoxes boxes;
            boxes.answer(MsgAnswer::Ok, c.messages[i]);
            perform(w, "TxtNvUsuario=" + c.retries[i] + ";BtCadastrar");
            EXPECT_EQ(boxes.log().size(), 1);
            EXPECT_EQ(text(child(w, "TxtNvUsuario")), c.retries[i]) << "what was typed is lost";
            unknown.reset();
            raw("DROP TRIGGER IF EXISTS recusa");
        }
        EXPECT_EQ(rows("SELECT NomeOperador FROM TblOperador WHERE Senha = ? ORDER BY rowid", {Schema::passwordToStored(6543)}),
                  c.stored.isEmpty() ? c.retries.back().toUpper() : c.stored);
        EXPECT_TRUE(anotherCopyWrites(databasePath()));
    }
}

// Deleting: never oneself; the selection is emptied however the window closes; a row another copy removed
// leaves every other row alone.
TEST_F(OperatorAdminTest, Deletion) {
    run({
        {"not oneself; Esc closes and clears the selection", [&] {
             as<FrmExOperador>("ADMINISTRADOR", "1234");
             EXPECT_EQ(focusName(), "BtExcluir");
             act("BtExcluir");
             EXPECT_FALSE(enabled("BtExcluir"));
             act("BtFechar@Escape");
             EXPECT_TRUE(!window->isVisible() && Modulo::OperadorSelecionado.isEmpty());
         }, {ok("Você não pode se Auto Excluir!\rSolicite a algum outro Operador Autorizado que faça a sua Exclusão")},
         "SELECT COUNT(*) FROM TblOperador", "2"},
        {"another operator deletes", [&] {
             perform(as<FrmExOperador>("ADMINISTRADOR", "4567"), "BtExcluir");
             window->close();
             EXPECT_TRUE(Modulo::OperadorSelecionado.isEmpty());
         }, {ok("OPERADOR: ADMINISTRADOR\rEXCLUÍDO COM SUCESSO !")}, "SELECT NomeOperador FROM TblOperador", "PEDRO"},
        {"an operator another copy removed", [&] {
             Database::openDefault().execute("INSERT INTO TblOperador (NomeOperador, Senha, CadUsu) VALUES ('ANA', ?, 1)",
                                             {Schema::passwordToStored(1234)});
             as<FrmExOperador>("PEDRO", "1234");
             Database::openDefault().execute("DELETE FROM TblOperador WHERE NomeOperador = 'PEDRO'");
             act("BtExcluir");
             EXPECT_FALSE(enabled("BtExcluir"));
         }, {ok("não foi encontrado")}, "SELECT NomeOperador FROM TblOperador", "ANA"},
    });
}

// Rights: never one's own; all nine written; an operator another copy removed leaves the others alone.
TEST_F(OperatorAdminTest, Rights) {
    std::vector<Step> steps = {
        {"shows the stored rights and refuses one's own", [&] {
             as<FrmAltAcesso>("PEDRO", "4567");
             QString shown;
             for (int n = 1; n <= 9; ++n) shown += child<QCheckBox>(window.get(), QStringLiteral("Check%1").arg(n))->isChecked() ? "1" : "0";
             EXPECT_EQ(shown, "100010000");
             act("BtAlterar");
             EXPECT_FALSE(enabled("BtAlterar"));
             window->close();
             EXPECT_TRUE(Modulo::OperadorSelecionado.isEmpty());
         }, {ok("Você não pode alterar seus próprios Níveis de Acesso!\r")}, "SELECT COUNT(*) FROM TblOperador", "2"},
    };
    // Each right in turn the only one ticked: stored set, cleared by the next.
    for (int ticked = 1; ticked <= 10; ++ticked) {
        QString nine(9, '0');
        if (ticked <= 9) nine[ticked - 1] = '1';
        steps.push_back({"right " + nine, [&, nine] {
                             as<FrmAltAcesso>("PEDRO", "");
                             tick(window.get(), nine);
                             act("TxtOperador=1234;BtAlterar");
                             EXPECT_FALSE(enabled("Frame1"));
                             EXPECT_EQ(rights("PEDRO"), nine);
                         }, {ok("Níveis de Acesso do Operador: PEDRO\rAlterados Com Sucesso !")}});
    }
    for (bool beforeLoad : {true, false})
        steps.push_back({beforeLoad ? "removed before the window read him" : "removed after", [&, beforeLoad] {
                             if (!beforeLoad) addPedro();
                             const char* gone = "DELETE FROM TblOperador WHERE NomeOperador = 'PEDRO'";
                             if (beforeLoad) Database::openDefault().execute(gone);
                             as<FrmAltAcesso>("PEDRO", "");
                             if (!beforeLoad) Database::openDefault().execute(gone);
                             tick(window.get(), "000000000");
                             act("TxtOperador=1234;BtAlterar");
                         }, {ok("não foi encontrado")}, "SELECT NomeOperador FROM TblOperador", "ADMINISTRADOR"});
    run(steps);
    EXPECT_EQ(rights("ADMINISTRADOR"), "111111111");
}

// The password change: its checks in their order, then the save; only the new password finds the operator.
TEST_F(OperatorAdminTest, PasswordChange) {
    QWidget* alt = nullptr;
    const QString digits = "ATENÇÃO - Digite Apenas Números Inteiros!";
    std::vector<Step> steps = refusals({
        {"filled before the operator, the focus stays; the operator opens OK", [&] {
             alt = as<FrmAltSenha>("", "");
             EXPECT_FALSE(child(alt, "BtOk")->isEnabled());
             perform(alt, "TxtConfNvSenha=9999");
             EXPECT_EQ(focusName(), "TxtConfNvSenha");
             perform(alt, "TxtOperador=1234");
             EXPECT_TRUE(child(alt, "BtOk")->isEnabled());
         }, {}, {}, {}, "TxtNvSenha"},
    }, alt, "TxtNvSenha", "TxtConfNvSenha", "BtOk", {
        {"", "", digits, "TxtNvSenha"},
        {"12a4", "1234", digits, "TxtNvSenha"},
        {"123", "124", "A Nova Senha não Confere.\rDigite Novamente a Nova Senha e Tecle OK", "TxtConfNvSenha"},
        {"123", "123", "A Nova Senha precisa ter 4 Dígitos", "TxtNvSenha"},
        {"5555", "5555", OperatorRules::SecurityMessage, "TxtNvSenha"},
        {"0567", "0567", OperatorRules::ZeroMessage, "TxtNvSenha"},
        {"1234", "1234", OperatorRules::SecurityMessage, "TxtNvSenha"},
        {"4567", "4567", OperatorRules::SecurityMessage, "TxtNvSenha"},
    });
    steps.push_back({"the save", [&] {
                         perform(alt, "TxtNvSenha=2468");
                         EXPECT_EQ(focusName(), "TxtConfNvSenha");
                         perform(alt, "TxtConfNvSenha=2468");
                         EXPECT_EQ(focusName(), "BtOk");
                         perform(alt, "BtOk");
                         EXPECT_EQ(static_cast<QDialog*>(alt)->result(), QDialog::Accepted);
                     }, {ok("SENHA ALTERADA COM SUCESSO !")}, passwords, stored(2468, 4567)});
    steps.push_back({"the old password finds nobody, the new one does", [&] {
                         QWidget* again = as<FrmAltSenha>("", "1234");
                         EXPECT_EQ(text(child(again, "TxtOperador")), "");
                         perform(again, "TxtOperador=2468");
                         EXPECT_EQ(text(child(again, "TxtOperador")), "ADMINISTRADOR");
                     }, {ok("Operador Não Cadastrado")}});
    run(steps);
}

TARVEL_TEST_MAIN()
