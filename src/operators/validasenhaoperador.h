#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

class QLineEdit;
class QWidget;
class RecordCursor;

// The operator password check that every guarded window holds.
//
// The window owns a masked QLineEdit "TxtOperador" and a RecordCursor
// "DataOperador" open on TblOperador. When the field holds exactly four
// characters and no operator was accepted yet, the typed number is looked up
// by its stored (octal) form. Not found: "Operador Não Cadastrado" and an
// empty field. Found: the window's operator is accepted, the field shows the
// operator's name unmasked and is disabled, the cursor stays on that row, and
// the window's right is tested: only a stored True grants it (then the guarded
// widgets are enabled or unlocked and the focus moves); anything else shows the
// refusal and the window stays locked until it is opened again.
//
// Usage in a window's constructor (after the widgets exist, before showing):
//
//   m_check = new ValidaSenhaOperador(TxtOperador, DataOperador,
//                                     OperatorCheckRows::FrmEntrada, this);
//
// The check connects itself to the field's textChanged (every change, typed or
// set by the program, runs it), prepares the field (mask, limit of 4 typed
// characters, tool tip) and disables / locks the guarded widgets.

// One row of the table of guarded windows.
struct OperatorCheckConfig {
    QString right;          // TblOperador field tested ("Ini", "Cnf", ...); empty: none
    QString title;          // title of the not-found and refusal messages
    QString refusal;        // refusal text (line break: "\r")
    QStringList enable;     // objectNames of widgets enabled on grant
    QStringList unlock;     // objectNames of fields made editable on grant (setReadOnly(false))
    QString focus;          // objectName of the widget focused on grant; empty: focus not moved
    QString toolTip = QStringLiteral("Senha do Operador");  // the password field's tool tip
};

// Message texts.
namespace OperatorCheckText {
inline const QString NotFound = QStringLiteral("Operador Não Cadastrado");
// The three refusal wordings; the third comes in two forms (second line differs).
inline const QString RefusalWithTilde = QStringLiteral("Voce Não Possui Autorização para esta Operação");
inline const QString RefusalNoTilde = QStringLiteral("Voce Não Possui Autorizaçao para esta Operação");
inline const QString RefusalUserAdmin = QStringLiteral(
    "Você Não Possui Autorização para esta Operação.\r"
    "Operação permitida apenas a Operadores Autorizados a Alterar 'Cadastro de Usuários'!");
inline const QString RefusalSettings = QStringLiteral(
    "Você Não Possui Autorização para esta Operação.\r"
    "Operação permitida apenas a Operadores Autorizados com Acesso à 'Configurações'!");
}

// The rows of the table, one per guarded window. A window takes its row (and
// may copy and adjust it, e.g. its own tool tip). Widget names of indexed
// arrays are written "Txt(1)".
namespace OperatorCheckRows {
using namespace OperatorCheckText;
inline const OperatorCheckConfig FrmInicializar{
    "Ini", "Inicializar o Sistema", RefusalWithTilde, {"BtOk"}, {}, "BtOk"};
inline const OperatorCheckConfig FrmNvCliente{
    "Ini", "Inicializar o Sistema", RefusalWithTilde, {"BtCadastro"}, {}, "BtCadastro"};
inline const OperatorCheckConfig FrmEntrada{
    "EmOs", "Emitir Ordem de Serviço", RefusalNoTilde, {"BtEntrada"}, {}, "BtEntrada"};
inline const OperatorCheckConfig FrmNvRetirada{
    "EmOs", "Criar Novo Comprovante de Retirada", RefusalNoTilde, {"BtSalvar", "BtClientes"}, {}, "BtSalvar"};
inline const OperatorCheckConfig FrmOpcoesOS{
    "BxOs", "Dar Baixa em Ordem de Serviço", RefusalNoTilde, {"BtDarSaída"}, {}, "BtDarSaída"};
inline const OperatorCheckConfig frmNvOperador{
    "CadUsu", "Cadastrar Novo Operador", RefusalNoTilde, {"BtCadastrar"}, {}, {}};
inline const OperatorCheckConfig FrmExOperador{
    "CadUsu", "Excluir Operador", RefusalNoTilde, {"BtExcluir"}, {}, "BtExcluir"};
inline const OperatorCheckConfig FrmAltAcesso{
    "CadUsu", "Alterar Níveis de Acesso", RefusalUserAdmin, {"BtAlterar", "Frame1"}, {}, "Check1"};
inline const OperatorCheckConfig FrmAcesso{
    "Cnf", "Acessar Configurações", RefusalNoTilde, {"BtOk"}, {}, "BtOk"};
inline const OperatorCheckConfig FrmAcessoOs{
    "Cnf", "Acessar Configurações", RefusalNoTilde, {"BtOk"}, {}, "BtOk"};
inline const OperatorCheckConfig FrmAltCadastro{
    "Cnf", "Alterar Cadastro de Cliente", RefusalSettings, {}, {"Txt(1)"}, "Txt(1)"};
inline const OperatorCheckConfig ConfigAvancadas{
    "Rst", "Excluir Restrição", RefusalNoTilde, {"BtExRestricao"}, {}, "BtExRestricao"};
// The password change accepts any operator: no right, no refusal.
inline const OperatorCheckConfig FrmAltSenha{
    {}, "Alterar Senha", {}, {"BtOk"}, {}, "TxtNvSenha"};
}

// The reading of a typed password.
namespace OperatorPassword {
// The typed text read as the lenient number reading does (blanks dropped
// anywhere, leading numeral, rounded to a whole number). nullopt when the
// value lies outside the signed 32-bit range (no stored password matches it).
std::optional<qint32> typedValue(const QString& text);
// The search criterion for a typed text on the stored (octal) form
// ("1234": "Senha = 2322"), nullopt when it cannot match any operator.
std::optional<QString> criterion(const QString& text);
}

class ValidaSenhaOperador : public QObject {
    Q_OBJECT
public:
    // txtOperador and dataOperador belong to the window; the check is a child
    // of `parent` (the window when nullptr: txtOperador->window()).
    ValidaSenhaOperador(QLineEdit* txtOperador, RecordCursor* dataOperador,
                        const OperatorCheckConfig& config, QObject* parent = nullptr);

    // Replaces the widgets found by name (for windows whose widgets have no
    // objectName, or several of one name). Disables / locks the new ones.
    void setTargets(const QList<QWidget*>& enable, const QList<QWidget*>& unlock, QWidget* focus);

    // An operator was found (also when the right was then refused). Nothing
    // resets it while the window is open.
    bool operadorAutorizado() const { return m_autorizado; }
    // The found operator's right was granted (always, for the password change).
    bool acessoLiberado() const { return m_granted; }
    // The found operator's NomeOperador (empty until found).
    QString nomeOperador() const { return m_nome; }

    const OperatorCheckConfig& config() const { return m_config; }

    // Runs the check on the field's current text (what every change does).
    void TxtOperador_Change();

private:
    // Guarded widgets enabled / editable, or disabled / read-only.
    void setTargetsUsable(bool usable);

    QPointer<QLineEdit> m_field;
    QPointer<RecordCursor> m_cursor;
    OperatorCheckConfig m_config;
    QList<QPointer<QWidget>> m_enable;
    QList<QPointer<QWidget>> m_unlock;
    QPointer<QWidget> m_focus;
    bool m_autorizado = false;
    bool m_granted = false;
    bool m_running = false;
    QString m_nome;
};
