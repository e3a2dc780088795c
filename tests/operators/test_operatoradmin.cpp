// The operator windows: new operator, deletion, rights and password change,
// on a real database file.
#include "operators/frmaltacesso.h"
#include "operators/frmaltsenha.h"
#include "operators/frmexoperador.h"
#include "operators/frmnvoperador.h"
#include "store/database.h"
#include "store/globals.h"
#include "store/schema.h"
#include "support/fixture.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QStringList Rights = {"Ini", "EmOs", "BxOs", "Ce", "CadUsu", "CadFunc", "Cnf", "Rst", "Fnr"};

struct OperatorAdminTest : ProgramFolderTest {
    // PEDRO, password 4567, may start the program and keep operators.
    void addPedro(bool cadUsu = true) {
        Database::openDefault().execute(
            "INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs, BxOs, Ce, CadUsu, CadFunc, Cnf, Rst, Fnr) "
            "VALUES ('PEDRO', ?, 1, 0, 0, 0, ?, 0, 0, 0, 0)",
            {Schema::passwordToStored(4567), cadUsu});
    }
    static QVariantList row(const QString& name) {
        const auto rows = Database::openDefault().rows(
            "SELECT NomeOperador, Senha, Ini, EmOs, BxOs, Ce, CadUsu, CadFunc, Cnf, Rst, Fnr FROM TblOperador "
            "WHERE NomeOperador = ?",
            {name});
        return rows.empty() ? QVariantList() : rows.front();
    }
    static QList<bool> rights(const QString& name) {
        QList<bool> out;
        const QVariantList r = row(name);
        for (int i = 2; i < r.size(); ++i) out << r[i].toBool();
        return out;
    }
    static qlonglong operators() {
        return Database::openDefault().scalar("SELECT COUNT(*) FROM TblOperador").toLongLong();
    }
};

template <class W> QLineEdit* line(W* w, const char* name) { return w->template findChild<QLineEdit*>(name); }
template <class W> QPushButton* button(W* w, const char* name) { return w->template findChild<QPushButton*>(name); }
QCheckBox* check(QWidget* w, int n) { return w->findChild<QCheckBox*>(QStringLiteral("Check%1").arg(n)); }

void setText(QLineEdit* box, const QString& text) {
    box->clear();
    if (!text.isEmpty()) Typing::type(box, text);
}

} // namespace

// The checks of "Ca&dastrar" in their order, each failing alone; nothing
// stored until all pass.
TEST_F(OperatorAdminTest, NewOperatorChecksRunInOrder) {
    frmNvOperador w;
    w.show();
    EXPECT_EQ(w.windowTitle(), "Cadastrar Novo Operador");
    EXPECT_TRUE(check(&w, 1)->isChecked());
    EXPECT_FALSE(button(&w, "BtCadastrar")->isEnabled());
    // The new fields can be filled before the check.
    setText(line(&w, "TxtNvUsuario"), "pedr'o ");
    EXPECT_EQ(line(&w, "TxtNvUsuario")->text(), "pedro ");
    Typing::type(line(&w, "TxtOperador"), "1234");
    EXPECT_TRUE(button(&w, "BtCadastrar")->isEnabled());
    EXPECT_NE(QApplication::focusWidget(), button(&w, "BtCadastrar"));

    struct Case {
        QString name, password, message;
        MsgIcon icon;
        const char* focus;
    };
    const QString security = "POR QUESTÕES DE SEGURANÇA, ESTA SENHA NÃO PODE SER USADA !\rTENTE OUTRA OUTRA SENHA!";
    const Case cases[] = {
        {"P", "4567", "Digite o Nome do Novo Operador", MsgIcon::Information, "TxtNvUsuario"},
        {"   ", "4567", "Digite o Nome do Novo Operador", MsgIcon::Information, "TxtNvUsuario"},
        // Counted as typed: the blank makes two characters.
        {" a", "", "ATENÇÃO - Digite Apenas Números Inteiros para o Número da Senha!", MsgIcon::Critical,
         "TxtSnNvUsuario"},
        {" administrador", "4567", "Já existe um Operador Cadastrado com este Nome.", MsgIcon::Information,
         "TxtNvUsuario"},
        {"ADMINÍSTRADOR", "4567", "Já existe um Operador Cadastrado com este Nome.", MsgIcon::Information,
         "TxtNvUsuario"},
        {"PEDRO", "", "ATENÇÃO - Digite Apenas Números Inteiros para o Número da Senha!", MsgIcon::Critical,
         "TxtSnNvUsuario"},
        {"PEDRO", "45a7", "ATENÇÃO - Digite Apenas Números Inteiros para o Número da Senha!", MsgIcon::Critical,
         "TxtSnNvUsuario"},
        {"PEDRO", "456", "A Senha precisa ter 4 Números", MsgIcon::Critical, "TxtSnNvUsuario"},
        {"PEDRO", "7777", security, MsgIcon::Exclamation, "TxtSnNvUsuario"},
        {"PEDRO", "0456", "A Senha não pode iniciar com 'ZERO' ", MsgIcon::Exclamation, "TxtSnNvUsuario"},
        {"PEDRO", "1234", security, MsgIcon::Exclamation, "TxtSnNvUsuario"},
    };
    ScriptedBoxes boxes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString() + " / " + c.password.toStdString());
        setText(line(&w, "TxtNvUsuario"), c.name);
        setText(line(&w, "TxtSnNvUsuario"), c.password);
        boxes.answer(MsgAnswer::Ok);
        w.BtCadastrar_Click();
        ASSERT_FALSE(boxes.log().isEmpty());
        EXPECT_EQ(boxes.log().last().text, c.message);
        EXPECT_EQ(boxes.log().last().icon, c.icon);
        EXPECT_EQ(boxes.log().last().title, "Cadastrar Novo Operador");
        EXPECT_EQ(QApplication::focusWidget(), line(&w, c.focus));
        EXPECT_EQ(operators(), 1);
    }

    setText(line(&w, "TxtNvUsuario"), " pedro ");
    setText(line(&w, "TxtSnNvUsuario"), "4567");
    boxes.answer(MsgAnswer::Ok, "Operador:  PEDRO \rCadastrado Com Sucesso !");
    w.BtCadastrar_Click();
    EXPECT_FALSE(button(&w, "BtCadastrar")->isEnabled());
    const QVariantList pedro = row("PEDRO");
    ASSERT_FALSE(pedro.isEmpty());
    EXPECT_EQ(pedro[1].toLongLong(), 10727);
    EXPECT_EQ(rights("PEDRO"), (QList<bool>{true, false, false, false, false, false, false, false, false}));
}

TEST_F(OperatorAdminTest, NewOperatorTakesTheTickedRightsAndRefusesWithoutCadUsu) {
    addPedro(false);
    {
        frmNvOperador w;
        w.show();
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Voce Não Possui Autorizaçao para esta Operação");
        Typing::type(line(&w, "TxtOperador"), "4567");
        EXPECT_EQ(line(&w, "TxtOperador")->text(), "PEDRO");
        EXPECT_FALSE(button(&w, "BtCadastrar")->isEnabled());
    }
    frmNvOperador w;
    w.show();
    Typing::type(line(&w, "TxtOperador"), "1234");
    setText(line(&w, "TxtNvUsuario"), "ana");
    setText(line(&w, "TxtSnNvUsuario"), "9182");
    check(&w, 1)->setChecked(false);
    check(&w, 7)->setChecked(true);
    check(&w, 8)->setChecked(true);
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Cadastrado Com Sucesso !");
    button(&w, "BtCadastrar")->click();
    EXPECT_EQ(rights("ANA"), (QList<bool>{false, false, false, false, false, false, true, true, false}));
}

// Deleting: not oneself; another authorised operator deletes at once; the
// selection is emptied however the window closes.
TEST_F(OperatorAdminTest, DeletionRefusesSelfAndClearsTheSelection) {
    addPedro();
    Modulo::OperadorSelecionado = "ADMINISTRADOR";
    {
        FrmExOperador w;
        w.show();
        EXPECT_EQ(w.findChild<QLabel*>("LblExOp")->text(), "ADMINISTRADOR");
        Typing::type(line(&w, "TxtOperador"), "1234");
        EXPECT_EQ(QApplication::focusWidget(), button(&w, "BtExcluir"));
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Você não pode se Auto Excluir!\r"
                                    "Solicite a algum outro Operador Autorizado que faça a sua Exclusão");
        w.BtExcluir_Click();
        EXPECT_EQ(boxes.log().last().title, "Exclusão de Operador");
        EXPECT_FALSE(button(&w, "BtExcluir")->isEnabled());
        EXPECT_EQ(operators(), 2);
        Typing::key(button(&w, "BtFechar"), Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(Modulo::OperadorSelecionado.isEmpty());
    }
    Modulo::OperadorSelecionado = "ADMINISTRADOR";
    FrmExOperador w;
    w.show();
    Typing::type(line(&w, "TxtOperador"), "4567");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "OPERADOR: ADMINISTRADOR\rEXCLUÍDO COM SUCESSO !");
    button(&w, "BtExcluir")->click();
    EXPECT_TRUE(row("ADMINISTRADOR").isEmpty());
    EXPECT_FALSE(row("PEDRO").isEmpty());
    w.close();
    EXPECT_TRUE(Modulo::OperadorSelecionado.isEmpty());
}

// Rights: not one's own; all nine rewritten from the boxes, which may be
// changed before the password.
TEST_F(OperatorAdminTest, RightsRefuseSelfAndRewriteAllNine) {
    addPedro();
    Modulo::OperadorSelecionado = "PEDRO";
    {
        FrmAltAcesso w;
        w.show();
        EXPECT_EQ(w.windowTitle(), "Alterar Níveis de Acesso para o Operador: PEDRO");
        EXPECT_TRUE(check(&w, 1)->isChecked());
        EXPECT_TRUE(check(&w, 5)->isChecked());
        EXPECT_FALSE(check(&w, 2)->isChecked());
        EXPECT_TRUE(check(&w, 2)->isEnabled());
        Typing::type(line(&w, "TxtOperador"), "4567");
        EXPECT_EQ(QApplication::focusWidget(), check(&w, 1));
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Você não pode alterar seus próprios Níveis de Acesso!\r"
                                    "Solicite a outro Operador Autorizado para fazer isto");
        w.BtAlterar_Click();
        EXPECT_EQ(boxes.log().last().icon, MsgIcon::Exclamation);
        EXPECT_FALSE(button(&w, "BtAlterar")->isEnabled());
        w.close();
        EXPECT_TRUE(Modulo::OperadorSelecionado.isEmpty());
    }
    // Each right in turn is the only one ticked, so each is stored set and,
    // on the next save, cleared; the last save clears all nine.
    for (int ticked = 1; ticked <= 10; ++ticked) {
        SCOPED_TRACE(ticked);
        Modulo::OperadorSelecionado = "PEDRO";
        FrmAltAcesso w;
        w.show();
        for (int n = 1; n <= 9; ++n) check(&w, n)->setChecked(n == ticked);
        Typing::type(line(&w, "TxtOperador"), "1234");
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Níveis de Acesso do Operador: PEDRO\rAlterados Com Sucesso !");
        button(&w, "BtAlterar")->click();
        QList<bool> expected(9, false);
        if (ticked <= 9) expected[ticked - 1] = true;
        EXPECT_EQ(rights("PEDRO"), expected);
        EXPECT_FALSE(w.findChild<QGroupBox*>("Frame1")->isEnabled());
    }
    EXPECT_EQ(rights("ADMINISTRADOR"), QList<bool>(9, true));
}

// Another copy removed the selected operator: neither window touches any
// other operator's row, and no success is announced.
TEST_F(OperatorAdminTest, ARemovedOperatorLeavesEveryOtherRowAlone) {
    addPedro();
    Modulo::OperadorSelecionado = "PEDRO";
    FrmExOperador ex;
    ex.show();
    Database::openDefault().execute("DELETE FROM TblOperador WHERE NomeOperador = 'PEDRO'");
    Typing::type(line(&ex, "TxtOperador"), "1234");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "não foi encontrado");
    ex.BtExcluir_Click();
    EXPECT_EQ(operators(), 1);
    EXPECT_FALSE(button(&ex, "BtExcluir")->isEnabled());
    ex.close();

    for (bool beforeLoad : {true, false}) {
        SCOPED_TRACE(beforeLoad);
        addPedro();
        if (beforeLoad) Database::openDefault().execute("DELETE FROM TblOperador WHERE NomeOperador = 'PEDRO'");
        Modulo::OperadorSelecionado = "PEDRO";
        FrmAltAcesso alt;
        alt.show();
        if (!beforeLoad) Database::openDefault().execute("DELETE FROM TblOperador WHERE NomeOperador = 'PEDRO'");
        for (int n = 1; n <= 9; ++n) check(&alt, n)->setChecked(false);
        Typing::type(line(&alt, "TxtOperador"), "1234");
        boxes.answer(MsgAnswer::Ok, "não foi encontrado");
        alt.BtAlterar_Click();
        EXPECT_EQ(rights("ADMINISTRADOR"), QList<bool>(9, true));
        EXPECT_EQ(operators(), 1);
    }
}

// The password change: its checks in their order, each failing alone, then
// the save, after which only the new password finds the operator.
TEST_F(OperatorAdminTest, PasswordChangeChecksRunInOrder) {
    addPedro();
    FrmAltSenha w;
    w.show();
    EXPECT_EQ(w.windowTitle(), " Alterar Senha");
    EXPECT_FALSE(button(&w, "BtOk")->isEnabled());
    // Filled before the operator: the focus stays where it is.
    Typing::type(line(&w, "TxtConfNvSenha"), "9999");
    EXPECT_EQ(QApplication::focusWidget(), line(&w, "TxtConfNvSenha"));
    Typing::type(line(&w, "TxtOperador"), "1234");
    EXPECT_TRUE(button(&w, "BtOk")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), line(&w, "TxtNvSenha"));

    const QString security = "POR QUESTÕES DE SEGURANÇA, ESTA SENHA NÃO PODE SER USADA !\rTENTE OUTRA OUTRA SENHA!";
    struct Case {
        QString nova, confirmacao, message;
        MsgIcon icon;
        const char* focus;
    };
    const Case cases[] = {
        {"", "", "ATENÇÃO - Digite Apenas Números Inteiros!", MsgIcon::Critical, "TxtNvSenha"},
        {"12a4", "1234", "ATENÇÃO - Digite Apenas Números Inteiros!", MsgIcon::Critical, "TxtNvSenha"},
        {"123", "124", "A Nova Senha não Confere.\rDigite Novamente a Nova Senha e Tecle OK", MsgIcon::Critical,
         "TxtConfNvSenha"},
        {"123", "123", "A Nova Senha precisa ter 4 Dígitos", MsgIcon::Information, "TxtNvSenha"},
        {"5555", "5555", security, MsgIcon::Exclamation, "TxtNvSenha"},
        {"0567", "0567", "A Senha não pode iniciar com 'ZERO' ", MsgIcon::Exclamation, "TxtNvSenha"},
        {"1234", "1234", security, MsgIcon::Exclamation, "TxtNvSenha"},
        {"4567", "4567", security, MsgIcon::Exclamation, "TxtNvSenha"},
    };
    ScriptedBoxes boxes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nova.toStdString() + " / " + c.confirmacao.toStdString());
        setText(line(&w, "TxtNvSenha"), c.nova);
        setText(line(&w, "TxtConfNvSenha"), c.confirmacao);
        boxes.answer(MsgAnswer::Ok);
        button(&w, "BtOk")->click();
        ASSERT_FALSE(boxes.log().isEmpty());
        EXPECT_EQ(boxes.log().last().text, c.message);
        EXPECT_EQ(boxes.log().last().icon, c.icon);
        EXPECT_EQ(boxes.log().last().title, "Alteração de Senha");
        EXPECT_EQ(QApplication::focusWidget(), line(&w, c.focus));
        EXPECT_EQ(row("ADMINISTRADOR")[1].toLongLong(), Schema::passwordToStored(1234));
    }

    setText(line(&w, "TxtNvSenha"), "2468");
    EXPECT_EQ(QApplication::focusWidget(), line(&w, "TxtConfNvSenha"));
    setText(line(&w, "TxtConfNvSenha"), "2468");
    EXPECT_EQ(QApplication::focusWidget(), button(&w, "BtOk"));
    boxes.answer(MsgAnswer::Ok, "SENHA ALTERADA COM SUCESSO !");
    button(&w, "BtOk")->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(row("ADMINISTRADOR")[1].toLongLong(), Schema::passwordToStored(2468));
    EXPECT_EQ(row("PEDRO")[1].toLongLong(), Schema::passwordToStored(4567));

    // The old password no longer finds anybody; the new one does.
    FrmAltSenha again;
    again.show();
    boxes.answer(MsgAnswer::Ok, "Operador Não Cadastrado");
    Typing::type(line(&again, "TxtOperador"), "1234");
    EXPECT_TRUE(line(&again, "TxtOperador")->text().isEmpty());
    Typing::type(line(&again, "TxtOperador"), "2468");
    EXPECT_EQ(line(&again, "TxtOperador")->text(), "ADMINISTRADOR");
}

TARVEL_TEST_MAIN()
