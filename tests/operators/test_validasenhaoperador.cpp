// The operator password check: the typed password, each guarded window's right, and the check's states.
#include "operators/operatorrules.h"
#include "operators/validasenhaoperador.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "support/windowscenario.h"
#include "support/scriptedboxes.h"
#include "support/typing.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A window holding the check with the widgets its row names (line edits for the ones unlocked).
struct GuardedWindow : QDialog {
    const OperatorCheckConfig& row;
    QLineEdit* TxtOperador = new QLineEdit(this);
    RecordCursor* DataOperador = new RecordCursor(this);
    ValidaSenhaOperador* check;

    explicit GuardedWindow(const OperatorCheckConfig& r) : row(r) {
        for (const QString& name : row.enable + row.unlock + QStringList{row.focus})
            if (!name.isEmpty() && !findChild<QWidget*>(name))
                (row.unlock.contains(name) ? static_cast<QWidget*>(new QLineEdit(this)) : new QPushButton(this))->setObjectName(name);
        DataOperador->open(ProgramFolder::databasePath(), "TblOperador");
        check = new ValidaSenhaOperador(TxtOperador, DataOperador, row, this);
        show();
    }
    QWidget* w(const QString& name) const { return findChild<QWidget*>(name); }
    // How many guarded widgets are usable (enabled, or editable for the unlocked ones), -1 for all.
    int usable() const {
        int n = 0;
        for (const QString& name : row.enable) n += w(name)->isEnabled();
        for (const QString& name : row.unlock) n += !static_cast<QLineEdit*>(w(name))->isReadOnly();
        return n == row.enable.size() + row.unlock.size() ? -1 : n;
    }
};

// An operator with the rights' stored values ("1", "0" or "NULL") given by `value`.
void addOperator(const QString& nome, qint64 senha, const std::function<QString(QString)>& value) {
    QStringList fields, values;
    for (const char* right : OperatorRules::RightFields) fields << right, values << value(right);
    Database(ProgramFolder::databasePath())
        .execute(QStringLiteral("INSERT INTO TblOperador (NomeOperador, Senha, %1) VALUES (?, ?, %2)")
                     .arg(fields.join(", "), values.join(", ")), {nome, Schema::passwordToStored(senha)});
}

using CheckTest = ProgramFolderTest;

} // namespace

TEST(OperatorPassword, ReadsTheTypedNumberLeniently) {
    const struct {
        const char* typed;
        std::optional<qint32> value;
    } cases[] = {{"1234", 1234}, {"1 23", 123}, {" 12 ", 12},   {"12ab", 12},   {"abcd", 0},
                 {"1e3x", 1000}, {"1d2", 100},  {"12.5", 12},   {"13.5", 14},   {"-8..", -8},
                 {"9e99", std::nullopt},        {"3e9 ", std::nullopt},         {"-2e9", -2000000000}};
    for (const auto& c : cases) EXPECT_EQ(OperatorPassword::typedValue(c.typed), c.value) << c.typed;
    EXPECT_EQ(OperatorPassword::criterion("1234"), QString("Senha = 2322"));
    // New passwords: digits that differ in one place only are not "all the same".
    using OperatorRules::PasswordFault;
    for (const auto& [password, fault] : {std::pair{"4445", PasswordFault::None}, {"4454", PasswordFault::None},
                                          {"5444", PasswordFault::None}, {"12345", PasswordFault::Length}})
        EXPECT_EQ(OperatorRules::checkNewPassword(password, nullptr, {}), fault) << password;
}


// Every window: only its right lets in; a refusal bears the window's title and leaves it locked.
TEST_F(CheckTest, EveryWindowGrantsOnlyItsRight) {
    using namespace OperatorCheckRows;
    using namespace OperatorCheckText;
    const struct {
        const OperatorCheckConfig* row;
        const char* right;
        const QString* refusal;
    } windows[] = {
        {&FrmInicializar, "Ini", &RefusalWithTilde}, {&FrmNvCliente, "Ini", &RefusalWithTilde},
        {&FrmEntrada, "EmOs", &RefusalNoTilde},      {&FrmNvRetirada, "EmOs", &RefusalNoTilde},
        {&FrmOpcoesOS, "BxOs", &RefusalNoTilde},     {&frmNvOperador, "CadUsu", &RefusalNoTilde},
        {&FrmExOperador, "CadUsu", &RefusalNoTilde}, {&FrmAltAcesso, "CadUsu", &RefusalUserAdmin},
        {&FrmAcesso, "Cnf", &RefusalNoTilde},        {&FrmAcessoOs, "Cnf", &RefusalNoTilde},
        {&FrmAltCadastro, "Cnf", &RefusalSettings},  {&ConfigAvancadas, "Rst", &RefusalNoTilde},
        {&FrmAltSenha, "", nullptr},
    };
    Database db(databasePath());   // kept open: every cursor shares its connection
    for (const auto& c : windows) {
        SCOPED_TRACE(c.row->title.toStdString());
        db.execute("DELETE FROM TblOperador WHERE Senha <> ?", {Schema::passwordToStored(1234)});
        addOperator("SO ESTE", 4321, [&](const QString& r) { return r == c.right ? "1" : "0"; });
        addOperator("OUTROS", 5432, [&](const QString& r) { return r == c.right ? "0" : "1"; });
        {
            GuardedWindow win(*c.row);
            EXPECT_EQ(win.usable(), 0);
            ScriptedBoxes boxes;
            Typing::type(win.TxtOperador, "4321");
            EXPECT_EQ(win.TxtOperador->text(), "SO ESTE");
            EXPECT_EQ(win.usable(), -1);
            if (!c.row->focus.isEmpty()) { EXPECT_EQ(win.focusWidget(), win.w(c.row->focus)); }
        }
        GuardedWindow win(*c.row);
        ScriptedBoxes boxes;
        if (c.refusal) boxes.answer(MsgAnswer::Ok, *c.refusal);
        Typing::type(win.TxtOperador, "5432");
        EXPECT_EQ(win.TxtOperador->text() + "|" + win.DataOperador->text("NomeOperador"), "OUTROS|OUTROS");
        EXPECT_EQ(win.usable(), c.refusal ? 0 : -1);
        for (const ShownBox& box : boxes.log()) EXPECT_EQ(box.title, c.row->title);
    }
}

// The check's states in a fresh window each: ">" pastes, "=" is the program's own write.
TEST_F(CheckTest, TypingScenarios) {
    Database db(databasePath());
    addOperator("JOSE", 123, [](const QString&) { return "1"; });
    addOperator("MARIA", 5678, [](const QString& r) { return r == "EmOs" ? "NULL" : "1"; });
    const QString NotFound = OperatorCheckText::NotFound, Refused = OperatorCheckText::RefusalNoTilde;
    const struct {
        QStringList input;
        QStringList messages;
        const char* field;
        bool authorised, granted;
    } scenarios[] = {
        {{"123"}, {}, "123", false, false},
        {{">123456"}, {}, "ADMINISTRADOR", true, true},   // cut to four: "1234"
        {{"abcd"}, {NotFound}, "", false, false},
        {{"9e99"}, {NotFound}, "", false, false},
        {{"1111", "1234"}, {NotFound}, "ADMINISTRADOR", true, true},
        {{"1 23"}, {}, "JOSE", true, true},   // a four-letter name is not searched again
        {{"5678", "=1234"}, {Refused}, "1234", true, false},   // a right stored empty refuses for good
    };
    for (const auto& s : scenarios) {
        SCOPED_TRACE(s.input.join(" | ").toStdString());
        GuardedWindow win(OperatorCheckRows::FrmNvRetirada);
        ScriptedBoxes boxes;
        for (const QString& m : s.messages) boxes.answer(MsgAnswer::Ok, m);
        for (const QString& in : s.input) {
            if (in.startsWith('>')) Typing::paste(win.TxtOperador, in.mid(1));
            else if (in.startsWith('=')) win.TxtOperador->setText(in.mid(1));
            else Typing::type(win.TxtOperador, in);
        }
        for (const ShownBox& box : boxes.log())   // each was scripted, in this order
            EXPECT_EQ(box.icon, box.text == NotFound ? MsgIcon::Exclamation : MsgIcon::Critical);
        EXPECT_EQ(win.TxtOperador->text(), s.field);
        EXPECT_EQ(win.TxtOperador->isEnabled(), !s.authorised);
        EXPECT_EQ(win.TxtOperador->echoMode(), s.authorised ? QLineEdit::Normal : QLineEdit::Password);
        EXPECT_EQ(win.check->operadorAutorizado(), s.authorised);
        EXPECT_EQ(win.check->acessoLiberado(), s.granted);
        EXPECT_EQ(win.usable(), s.granted ? -1 : 0);
    }
}

TARVEL_TEST_MAIN()
