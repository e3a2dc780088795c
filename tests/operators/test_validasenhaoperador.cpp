// The operator password check, over every guarded window's row of the table,
// on a real database file.
#include "operators/operatorrules.h"
#include "operators/validasenhaoperador.h"
#include "store/database.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "support/fixture.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QStringList Rights = {"Ini", "EmOs", "BxOs", "Ce", "CadUsu", "CadFunc", "Cnf", "Rst", "Fnr"};

// A window holding the check with the widgets its row names.
struct GuardedWindow : QDialog {
    QLineEdit* TxtOperador;
    RecordCursor* DataOperador;
    ValidaSenhaOperador* check;

    explicit GuardedWindow(const OperatorCheckConfig& row) {
        TxtOperador = new QLineEdit(this);
        TxtOperador->setObjectName("TxtOperador");
        QStringList names = row.enable + row.unlock;
        if (!row.focus.isEmpty()) names << row.focus;
        for (const QString& name : names) {
            if (findChild<QWidget*>(name)) continue;
            QWidget* w;
            if (name.startsWith("Bt")) w = new QPushButton(name, this);
            else if (name.startsWith("Frame")) w = new QGroupBox(name, this);
            else if (name.startsWith("Check")) w = new QCheckBox(name, this);
            else w = new QLineEdit(this);
            w->setObjectName(name);
        }
        DataOperador = new RecordCursor(this);
        DataOperador->open(ProgramFolder::databasePath(), "TblOperador");
        check = new ValidaSenhaOperador(TxtOperador, DataOperador, row, this);
        show();
    }
    QWidget* w(const QString& name) const { return findChild<QWidget*>(name); }
    // The guarded widgets are usable: enabled, or editable for the unlocked ones.
    bool usable(const OperatorCheckConfig& row) const {
        for (const QString& n : row.enable)
            if (!w(n)->isEnabled()) return false;
        for (const QString& n : row.unlock)
            if (static_cast<QLineEdit*>(w(n))->isReadOnly()) return false;
        return true;
    }
    bool anyUsable(const OperatorCheckConfig& row) const {
        for (const QString& n : row.enable)
            if (w(n)->isEnabled()) return true;
        for (const QString& n : row.unlock)
            if (!static_cast<QLineEdit*>(w(n))->isReadOnly()) return true;
        return false;
    }
};

struct Row {
    const char* window;
    const OperatorCheckConfig* row;
};

const Row AllRows[] = {
    {"FrmInicializar", &OperatorCheckRows::FrmInicializar}, {"FrmNvCliente", &OperatorCheckRows::FrmNvCliente},
    {"FrmEntrada", &OperatorCheckRows::FrmEntrada},         {"FrmNvRetirada", &OperatorCheckRows::FrmNvRetirada},
    {"FrmOpcoesOS", &OperatorCheckRows::FrmOpcoesOS},       {"frmNvOperador", &OperatorCheckRows::frmNvOperador},
    {"FrmExOperador", &OperatorCheckRows::FrmExOperador},   {"FrmAltAcesso", &OperatorCheckRows::FrmAltAcesso},
    {"FrmAcesso", &OperatorCheckRows::FrmAcesso},           {"FrmAcessoOs", &OperatorCheckRows::FrmAcessoOs},
    {"FrmAltCadastro", &OperatorCheckRows::FrmAltCadastro}, {"ConfigAvancadas", &OperatorCheckRows::ConfigAvancadas},
    {"FrmAltSenha", &OperatorCheckRows::FrmAltSenha},
};

class CheckTest : public ProgramFolderTest {
protected:
    // An operator with every right but `without` (stored empty when `empty`).
    void addOperator(const QString& nome, qint64 senha, const QString& without = {}, bool empty = false) {
        QStringList values;
        for (const QString& r : Rights) values << (r == without ? (empty ? "NULL" : "0") : "1");
        Database db(databasePath());
        db.execute(QStringLiteral("INSERT INTO TblOperador (NomeOperador, Senha, %1) VALUES (?, ?, %2)")
                       .arg(Rights.join(", "), values.join(", ")),
                   {nome, Schema::passwordToStored(senha)});
    }
};

} // namespace

TEST(OperatorPassword, ReadsTheTypedNumberLeniently) {
    EXPECT_EQ(OperatorPassword::typedValue("1234"), 1234);
    EXPECT_EQ(OperatorPassword::typedValue("1 23"), 123);     // blanks dropped anywhere
    EXPECT_EQ(OperatorPassword::typedValue(" 12 "), 12);
    EXPECT_EQ(OperatorPassword::typedValue("12ab"), 12);
    EXPECT_EQ(OperatorPassword::typedValue("abcd"), 0);
    EXPECT_EQ(OperatorPassword::typedValue("1e3x"), 1000);
    EXPECT_EQ(OperatorPassword::typedValue("12.5"), 12);      // half to even
    EXPECT_EQ(OperatorPassword::typedValue("13.5"), 14);
    EXPECT_EQ(OperatorPassword::typedValue("-8.."), -8);
    EXPECT_EQ(OperatorPassword::typedValue("9e99"), std::nullopt);
    EXPECT_EQ(OperatorPassword::typedValue("3e9 "), std::nullopt);
    EXPECT_EQ(OperatorPassword::criterion("1234"), QString("Senha = 2322"));
}

// The edges of the new-password rules the windows' own tables leave out:
// digits that differ only in one place are not "all the same".
TEST(OperatorPassword, NewPasswordRulesAtTheirEdges) {
    using OperatorRules::PasswordFault;
    const std::pair<const char*, PasswordFault> cases[] = {
        {"4445", PasswordFault::None}, {"4454", PasswordFault::None}, {"5444", PasswordFault::None},
        {"12345", PasswordFault::Length},
    };
    for (const auto& [password, fault] : cases)
        EXPECT_EQ(OperatorRules::checkNewPassword(password, nullptr, {}), fault) << password;
}

// Every row: the operator holding the right unlocks the window; one without
// it is refused with the row's own title and wording and the window stays
// locked.
TEST_F(CheckTest, EveryWindowGrantsOnlyItsRight) {
    for (const Row& r : AllRows) {
        SCOPED_TRACE(r.window);
        const OperatorCheckConfig& row = *r.row;
        addOperator("SEM DIREITO", 4321, row.right.isEmpty() ? "Ini" : row.right);

        {
            GuardedWindow win(row);
            EXPECT_FALSE(win.anyUsable(row));
            EXPECT_EQ(win.TxtOperador->echoMode(), QLineEdit::Password);
            ScriptedBoxes boxes;
            Typing::type(win.TxtOperador, "1234");
            EXPECT_TRUE(boxes.log().isEmpty());
            EXPECT_TRUE(win.check->operadorAutorizado());
            EXPECT_EQ(win.TxtOperador->text(), "ADMINISTRADOR");
            EXPECT_EQ(win.TxtOperador->echoMode(), QLineEdit::Normal);
            EXPECT_FALSE(win.TxtOperador->isEnabled());
            EXPECT_TRUE(win.usable(row));
            if (!row.focus.isEmpty()) {
                EXPECT_EQ(win.focusWidget(), win.w(row.focus));
            }
            EXPECT_EQ(win.DataOperador->text("NomeOperador"), "ADMINISTRADOR");
        }
        {
            GuardedWindow win(row);
            ScriptedBoxes boxes;
            if (!row.right.isEmpty()) boxes.answer(MsgAnswer::Ok);
            Typing::type(win.TxtOperador, "4321");
            EXPECT_EQ(win.TxtOperador->text(), "SEM DIREITO");
            EXPECT_FALSE(win.TxtOperador->isEnabled());
            EXPECT_EQ(win.DataOperador->text("NomeOperador"), "SEM DIREITO");
            if (row.right.isEmpty()) {
                // The password change tests no right.
                EXPECT_TRUE(boxes.log().isEmpty());
                EXPECT_TRUE(win.usable(row));
            } else {
                ASSERT_EQ(boxes.log().size(), 1);
                EXPECT_EQ(boxes.log()[0].text, row.refusal);
                EXPECT_EQ(boxes.log()[0].title, row.title);
                EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
                EXPECT_FALSE(win.anyUsable(row));
            }
        }
        Database(databasePath()).execute("DELETE FROM TblOperador WHERE NomeOperador = 'SEM DIREITO'");
    }
}

TEST_F(CheckTest, RefusalWordingsStandWhereTheTableSaysAndNotFoundIsShared) {
    using namespace OperatorCheckRows;
    for (const auto* row : {&FrmInicializar, &FrmNvCliente})
        EXPECT_EQ(row->refusal, "Voce Não Possui Autorização para esta Operação");
    for (const auto* row : {&FrmEntrada, &FrmNvRetirada, &FrmOpcoesOS, &frmNvOperador, &FrmExOperador, &FrmAcesso,
                            &FrmAcessoOs, &ConfigAvancadas})
        EXPECT_EQ(row->refusal, "Voce Não Possui Autorizaçao para esta Operação");
    EXPECT_TRUE(FrmAltAcesso.refusal.startsWith("Você Não Possui Autorização para esta Operação.\r"));
    EXPECT_TRUE(FrmAltCadastro.refusal.endsWith("com Acesso à 'Configurações'!"));

    GuardedWindow win(FrmEntrada);
    for (const QString& typed : {QString("abcd"), QString("9e99"), QString("1111")}) {
        SCOPED_TRACE(typed.toStdString());
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Operador Não Cadastrado");
        Typing::type(win.TxtOperador, typed);
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].title, "Emitir Ordem de Serviço");
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(win.TxtOperador->text(), "");
        EXPECT_TRUE(win.TxtOperador->isEnabled());
        EXPECT_FALSE(win.check->operadorAutorizado());
        EXPECT_FALSE(win.w("BtEntrada")->isEnabled());
    }
    // After the misses the operator may still type the right password.
    ScriptedBoxes boxes;
    Typing::type(win.TxtOperador, "1234");
    EXPECT_TRUE(win.w("BtEntrada")->isEnabled());
}

TEST_F(CheckTest, ThreeCharactersWaitAndTheMaskedFieldTakesNoFifth) {
    GuardedWindow win(OperatorCheckRows::FrmExOperador);
    ScriptedBoxes boxes;   // any box fails
    Typing::type(win.TxtOperador, "123");
    EXPECT_EQ(win.TxtOperador->text(), "123");
    EXPECT_FALSE(win.check->operadorAutorizado());
    win.TxtOperador->clear();
    Typing::paste(win.TxtOperador, "123456");   // cut to four: the search runs on "1234"
    EXPECT_EQ(win.TxtOperador->text(), "ADMINISTRADOR");
    EXPECT_TRUE(win.w("BtExcluir")->isEnabled());
}

TEST_F(CheckTest, BlanksAmongDigitsAreDroppedAndAFourLetterNameIsNotSearched) {
    addOperator("JOSE", 123);
    GuardedWindow win(OperatorCheckRows::FrmAcesso);
    ScriptedBoxes boxes;   // a second search on "JOSE" would say "Operador Não Cadastrado"
    Typing::type(win.TxtOperador, "1 23");
    EXPECT_EQ(win.TxtOperador->text(), "JOSE");
    EXPECT_TRUE(win.check->acessoLiberado());
    EXPECT_EQ(win.check->nomeOperador(), "JOSE");
    EXPECT_TRUE(boxes.log().isEmpty());
}

TEST_F(CheckTest, ARightStoredEmptyRefusesUntilTheWindowIsReopened) {
    addOperator("MARIA", 5678, "EmOs", /*empty=*/true);
    {
        GuardedWindow win(OperatorCheckRows::FrmNvRetirada);
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Autorizaçao");
        Typing::type(win.TxtOperador, "5678");
        EXPECT_FALSE(win.w("BtSalvar")->isEnabled());
        EXPECT_FALSE(win.w("BtClientes")->isEnabled());
        // Nothing the program writes into the field starts another search.
        win.TxtOperador->setText("1234");
        EXPECT_FALSE(win.w("BtSalvar")->isEnabled());
        EXPECT_TRUE(win.check->operadorAutorizado());
        EXPECT_FALSE(win.check->acessoLiberado());
        EXPECT_EQ(boxes.log().size(), 1);
    }
    GuardedWindow again(OperatorCheckRows::FrmNvRetirada);
    EXPECT_FALSE(again.check->operadorAutorizado());
    EXPECT_TRUE(again.TxtOperador->isEnabled());
    ScriptedBoxes boxes;
    Typing::type(again.TxtOperador, "1234");
    EXPECT_TRUE(again.w("BtSalvar")->isEnabled());
    EXPECT_TRUE(again.w("BtClientes")->isEnabled());
}

TARVEL_TEST_MAIN()
