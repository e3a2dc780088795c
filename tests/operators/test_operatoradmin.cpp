// The operator windows (new operator, deletion, rights, password change) on
// a real database file, each as one table of scenarios.
#include "operators/frmaltacesso.h"
#include "operators/frmaltsenha.h"
#include "operators/frmexoperador.h"
#include "operators/frmnvoperador.h"
#include "operators/operatorrules.h"
#include "store/database.h"
#include "store/globals.h"
#include "store/schema.h"
#include "support/fixture.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "support/windowscenario.h"

#include <QApplication>
#include <QCheckBox>

using namespace Scenario;

namespace {

using OperatorAdminTest = ProgramFolderTest;

// PEDRO, password 4567, may start the program and, by default, keep operators.
void addPedro(bool cadUsu = true) {
    Database::openDefault().execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs, BxOs, Ce, CadUsu, "
                                    "CadFunc, Cnf, Rst, Fnr) VALUES ('PEDRO', ?, 1, 0, 0, 0, ?, 0, 0, 0, 0)",
                                    {Schema::passwordToStored(4567), cadUsu});
}
// The nine rights of an operator as "101000000"; empty when there is none.
QString rights(const QString& name) {
    return rows("SELECT Ini || EmOs || BxOs || Ce || CadUsu || CadFunc || Cnf || Rst || Fnr FROM TblOperador "
                "WHERE NomeOperador = ?", {name}).replace("-1", "1");
}
QCheckBox* check(QWidget* w, int n) { return child<QCheckBox>(w, QStringLiteral("Check%1").arg(n)); }
bool focused(QWidget* w, const char* name) { return QApplication::focusWidget() == child(w, name); }

// A refused entry: the boxes' texts, the message and the box that takes the focus.
struct Refusal {
    QString first, second, message;
    const char* focus;
};

} // namespace

TEST_F(OperatorAdminTest, NewOperator) {
    addPedro(false);
    frmNvOperador w;
    w.show();
    const auto refuse = [&](const Refusal& r) {
        return Step{r.first + " / " + r.second, [&w, r] {
                        setText(child(&w, "TxtNvUsuario"), r.first);
                        setText(child(&w, "TxtSnNvUsuario"), r.second);
                        click(&w, "BtCadastrar");
                        EXPECT_TRUE(focused(&w, r.focus));
                    }, {ok(r.message)}, "SELECT COUNT(*) FROM TblOperador", "2"};
    };
    const QString digits = "ATENÇÃO - Digite Apenas Números Inteiros para o Número da Senha!";
    const QString taken = "Já existe um Operador Cadastrado com este Nome.";
    std::vector<Step> steps = {
        {"an operator without CadUsu is refused", [&] {
             frmNvOperador other;
             other.show();
             Typing::type(child(&other, "TxtOperador"), "4567");
             EXPECT_FALSE(child(&other, "BtCadastrar")->isEnabled());
         }, {ok("Voce Não Possui Autorizaçao para esta Operação")}},
        {"filled before the check; an operator with CadUsu opens the button, leaving the focus", [&] {
             setText(child(&w, "TxtNvUsuario"), "pedr'o ");
             EXPECT_EQ(text(child(&w, "TxtNvUsuario")), "pedro ");
             Typing::type(child(&w, "TxtOperador"), "1234");
             EXPECT_TRUE(child(&w, "BtCadastrar")->isEnabled());
             EXPECT_FALSE(focused(&w, "BtCadastrar"));
         }},
    };
    // The checks in their order, each failing alone.
    for (const Refusal& r : std::initializer_list<Refusal>{
             {"P", "4567", "Digite o Nome do Novo Operador", "TxtNvUsuario"},
             {"   ", "4567", "Digite o Nome do Novo Operador", "TxtNvUsuario"},
             {" a", "", digits, "TxtSnNvUsuario"},   // the blank counted: two characters are a name
             {" administrador", "4567", taken, "TxtNvUsuario"},
             {"ADMINÍSTRADOR", "4567", taken, "TxtNvUsuario"},
             {"ANA", "45a7", digits, "TxtSnNvUsuario"},
             {"ANA", "456", "A Senha precisa ter 4 Números", "TxtSnNvUsuario"},
             {"ANA", "7777", OperatorRules::SecurityMessage, "TxtSnNvUsuario"},
             {"ANA", "0456", OperatorRules::ZeroMessage, "TxtSnNvUsuario"},
             {"ANA", "4567", OperatorRules::SecurityMessage, "TxtSnNvUsuario"},
         })
        steps.push_back(refuse(r));
    steps.push_back({"stored trimmed in capitals with the ticked rights", [&] {
                         setText(child(&w, "TxtNvUsuario"), " ana ");
                         setText(child(&w, "TxtSnNvUsuario"), "9182");
                         check(&w, 1)->setChecked(false);
                         check(&w, 7)->setChecked(true);
                         check(&w, 8)->setChecked(true);
                         click(&w, "BtCadastrar");
                         EXPECT_FALSE(child(&w, "BtCadastrar")->isEnabled());
                     }, {ok("Operador:  ANA \rCadastrado Com Sucesso !")},
                     "SELECT Senha FROM TblOperador WHERE NomeOperador = 'ANA'",
                     QString::number(Schema::passwordToStored(9182))});
    steps.push_back({"a new window ticks Ini alone", [&] {
                         frmNvOperador other;
                         other.show();
                         Typing::type(child(&other, "TxtOperador"), "1234");
                         setText(child(&other, "TxtNvUsuario"), "caio");
                         setText(child(&other, "TxtSnNvUsuario"), "5678");
                         click(&other, "BtCadastrar");
                         EXPECT_EQ(rights("ANA"), "000000110");
                     }, {ok("Cadastrado Com Sucesso !")}});
    run(steps);
    EXPECT_EQ(rights("CAIO"), "100000000");
}

// Deleting: never oneself; another authorised operator deletes at once; the
// selection is emptied however the window closes; a row another copy
// removed leaves every other row alone.
TEST_F(OperatorAdminTest, Deletion) {
    addPedro();
    std::unique_ptr<FrmExOperador> w;
    const auto open = [&](const char* selected, const char* password) {
        w.reset();   // closing clears the selection
        Modulo::OperadorSelecionado = selected;
        w = std::make_unique<FrmExOperador>();
        w->show();
        Typing::type(child(w.get(), "TxtOperador"), password);
    };
    run({
        {"not oneself", [&] {
             open("ADMINISTRADOR", "1234");
             EXPECT_TRUE(focused(w.get(), "BtExcluir"));
             click(w.get(), "BtExcluir");
             EXPECT_FALSE(child(w.get(), "BtExcluir")->isEnabled());
             Typing::key(child(w.get(), "BtFechar"), Qt::Key_Escape);
             EXPECT_FALSE(w->isVisible());
             EXPECT_TRUE(Modulo::OperadorSelecionado.isEmpty());
         }, {ok("Você não pode se Auto Excluir!\rSolicite a algum outro Operador Autorizado que faça a sua Exclusão")},
         "SELECT COUNT(*) FROM TblOperador", "2"},
        {"another operator deletes", [&] {
             open("ADMINISTRADOR", "4567");
             click(w.get(), "BtExcluir");
             w->close();
             EXPECT_TRUE(Modulo::OperadorSelecionado.isEmpty());
         }, {ok("OPERADOR: ADMINISTRADOR\rEXCLUÍDO COM SUCESSO !")}, "SELECT NomeOperador FROM TblOperador", "PEDRO"},
        {"an operator another copy removed", [&] {
             Database::openDefault().execute("INSERT INTO TblOperador (NomeOperador, Senha, CadUsu) VALUES ('ANA', ?, 1)",
                                             {Schema::passwordToStored(1234)});
             open("PEDRO", "1234");
             Database::openDefault().execute("DELETE FROM TblOperador WHERE NomeOperador = 'PEDRO'");
             click(w.get(), "BtExcluir");
             EXPECT_FALSE(child(w.get(), "BtExcluir")->isEnabled());
         }, {ok("não foi encontrado")}, "SELECT NomeOperador FROM TblOperador", "ANA"},
    });
}

// Rights: never one's own; all nine written from the boxes, which may be
// changed before the password; an operator another copy removed, before or
// after the window read him, leaves every other row alone.
TEST_F(OperatorAdminTest, Rights) {
    addPedro();
    std::unique_ptr<FrmAltAcesso> w;
    const auto open = [&](const char* password, int ticked) {
        w.reset();   // closing clears the selection
        Modulo::OperadorSelecionado = "PEDRO";
        w = std::make_unique<FrmAltAcesso>();
        w->show();
        if (ticked >= 0)
            for (int n = 1; n <= 9; ++n) check(w.get(), n)->setChecked(n == ticked);
        Typing::type(child(w.get(), "TxtOperador"), password);
    };
    std::vector<Step> steps = {
        {"shows the stored rights and refuses one's own", [&] {
             open("4567", -1);
             EXPECT_EQ(w->windowTitle(), "Alterar Níveis de Acesso para o Operador: PEDRO");
             QString shown;
             for (int n = 1; n <= 9; ++n) shown += check(w.get(), n)->isChecked() ? "1" : "0";
             EXPECT_EQ(shown, "100010000");
             click(w.get(), "BtAlterar");
             EXPECT_FALSE(child(w.get(), "BtAlterar")->isEnabled());
             w->close();
             EXPECT_TRUE(Modulo::OperadorSelecionado.isEmpty());
         }, {ok("Você não pode alterar seus próprios Níveis de Acesso!\r")}, "SELECT COUNT(*) FROM TblOperador", "2"},
    };
    // Each right in turn the only one ticked: stored set, cleared by the next.
    for (int ticked = 1; ticked <= 10; ++ticked) {
        QString expected(9, '0');
        if (ticked <= 9) expected[ticked - 1] = '1';
        steps.push_back({QStringLiteral("right %1").arg(ticked), [&, ticked, expected] {
                             open("1234", ticked);
                             click(w.get(), "BtAlterar");
                             EXPECT_FALSE(child(w.get(), "Frame1")->isEnabled());
                             EXPECT_EQ(rights("PEDRO"), expected);
                         }, {ok("Níveis de Acesso do Operador: PEDRO\rAlterados Com Sucesso !")}});
    }
    for (bool beforeLoad : {true, false})
        steps.push_back({beforeLoad ? "removed before the window read him" : "removed after", [&, beforeLoad] {
                             Database::openDefault().execute("DELETE FROM TblOperador WHERE NomeOperador = 'PEDRO'");
                             if (!beforeLoad) addPedro();
                             w.reset();
                             Modulo::OperadorSelecionado = "PEDRO";
                             w = std::make_unique<FrmAltAcesso>();
                             if (!beforeLoad)
                                 Database::openDefault().execute("DELETE FROM TblOperador WHERE NomeOperador = 'PEDRO'");
                             for (int n = 1; n <= 9; ++n) check(w.get(), n)->setChecked(false);
                             Typing::type(child(w.get(), "TxtOperador"), "1234");
                             click(w.get(), "BtAlterar");
                         }, {ok("não foi encontrado")}, "SELECT NomeOperador FROM TblOperador", "ADMINISTRADOR"});
    run(steps);
    EXPECT_EQ(rights("ADMINISTRADOR"), "111111111");
}

// The password change: its checks in their order, each failing alone, then
// the save, after which only the new password finds the operator.
TEST_F(OperatorAdminTest, PasswordChange) {
    addPedro();
    FrmAltSenha w;
    w.show();
    const QString before = rows("SELECT Senha FROM TblOperador ORDER BY NomeOperador");
    std::vector<Step> steps = {
        {"filled before the operator, the focus stays; the operator opens OK", [&] {
             EXPECT_FALSE(child(&w, "BtOk")->isEnabled());
             Typing::type(child(&w, "TxtConfNvSenha"), "9999");
             EXPECT_TRUE(focused(&w, "TxtConfNvSenha"));
             Typing::type(child(&w, "TxtOperador"), "1234");
             EXPECT_TRUE(child(&w, "BtOk")->isEnabled());
             EXPECT_TRUE(focused(&w, "TxtNvSenha"));
         }},
    };
    const QString digits = "ATENÇÃO - Digite Apenas Números Inteiros!";
    for (const Refusal& r : std::initializer_list<Refusal>{
             {"", "", digits, "TxtNvSenha"},
             {"12a4", "1234", digits, "TxtNvSenha"},
             {"123", "124", "A Nova Senha não Confere.\rDigite Novamente a Nova Senha e Tecle OK", "TxtConfNvSenha"},
             {"123", "123", "A Nova Senha precisa ter 4 Dígitos", "TxtNvSenha"},
             {"5555", "5555", OperatorRules::SecurityMessage, "TxtNvSenha"},
             {"0567", "0567", OperatorRules::ZeroMessage, "TxtNvSenha"},
             {"1234", "1234", OperatorRules::SecurityMessage, "TxtNvSenha"},
             {"4567", "4567", OperatorRules::SecurityMessage, "TxtNvSenha"},
         })
        steps.push_back({r.first + " / " + r.second, [&w, r] {
                             setText(child(&w, "TxtNvSenha"), r.first);
                             setText(child(&w, "TxtConfNvSenha"), r.second);
                             click(&w, "BtOk");
                             EXPECT_TRUE(focused(&w, r.focus));
                         }, {ok(r.message)}, "SELECT Senha FROM TblOperador ORDER BY NomeOperador", before});
    steps.push_back({"the save", [&] {
                         setText(child(&w, "TxtNvSenha"), "2468");
                         EXPECT_TRUE(focused(&w, "TxtConfNvSenha"));
                         setText(child(&w, "TxtConfNvSenha"), "2468");
                         EXPECT_TRUE(focused(&w, "BtOk"));
                         click(&w, "BtOk");
                         EXPECT_EQ(w.result(), QDialog::Accepted);
                     }, {ok("SENHA ALTERADA COM SUCESSO !")}, "SELECT Senha FROM TblOperador ORDER BY NomeOperador",
                     QStringLiteral("%1,%2").arg(Schema::passwordToStored(2468)).arg(Schema::passwordToStored(4567))});
    steps.push_back({"the old password finds nobody, the new one does", [&] {
                         FrmAltSenha again;
                         again.show();
                         Typing::type(child(&again, "TxtOperador"), "1234");
                         EXPECT_EQ(text(child(&again, "TxtOperador")), "");
                         Typing::type(child(&again, "TxtOperador"), "2468");
                         EXPECT_EQ(text(child(&again, "TxtOperador")), "ADMINISTRADOR");
                     }, {ok("Operador Não Cadastrado")}});
    run(steps);
}

TARVEL_TEST_MAIN()
