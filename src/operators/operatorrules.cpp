#include "operatorrules.h"

#include "operators/validasenhaoperador.h"
#include "store/recordcursor.h"
#include "ui/textentry.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>

namespace OperatorRules {

PasswordFault checkNewPassword(const QString& password, const QString* confirmation,
                               const std::function<bool(const QString&)>& taken) {
    if (password.isEmpty()) return PasswordFault::NotDigits;
    for (QChar c : password)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return PasswordFault::NotDigits;
    if (confirmation && *confirmation != password) return PasswordFault::Mismatch;
    if (password.size() != 4) return PasswordFault::Length;
    if (password[1] == password[0] && password[2] == password[0] && password[3] == password[0])
        return PasswordFault::AllEqual;
    if (password[0] == QLatin1Char('0')) return PasswordFault::LeadingZero;
    if (taken && taken(password)) return PasswordFault::Taken;
    return PasswordFault::None;
}

bool passwordTaken(RecordCursor& operators, const QString& password, qint64 except) {
    const std::optional<QString> where = OperatorPassword::criterion(password);
    if (!where) return false;
    operators.refresh();
    if (!operators.findFirst(*where)) return false;
    if (operators.keyAt(operators.absolutePosition()) != except) return true;
    // The row left out holds it: another one may hold it too.
    const int column = operators.fieldIndex(QStringLiteral("Senha"));
    const QVariant stored = operators.field(QStringLiteral("Senha"));
    for (int i = 0; i < operators.recordCount(); ++i)
        if (operators.keyAt(i) != except && operators.valueAt(i, column) == stored) return true;
    return false;
}

QString nameKey(const QString& name) {
    const QString decomposed = name.trimmed().normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing) out += c;
    return out.toCaseFolded();
}

bool nameTaken(RecordCursor& operators, const QString& name, qint64 except) {
    operators.refresh();
    const QString key = nameKey(name);
    const int column = operators.fieldIndex(QStringLiteral("NomeOperador"));
    for (int i = 0; i < operators.recordCount(); ++i)
        if (nameKey(operators.valueAt(i, column).toString()) == key && operators.keyAt(i) != except) return true;
    return false;
}

QGroupBox* makeRightsFrame(QWidget* parent, RightsCaptions captions, std::array<QCheckBox*, 9>& checks) {
    static const std::array<const char*, 9> texts = {
        "Inicializar o Sistema", "Emitir Ordem de Serviço", "Dar Baixa em Ordem de Serviço",
        "Controle de Estoque",   "Cadastrar / Excluir Usuários", "Cadastro de Funcionários",
        "Configurações Tarvel",  "Adicionar / Remover Restrição", "Financeiro"};
    auto* frame = new QGroupBox(QStringLiteral("Niveis de Acesso"), parent);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < 9; ++i) {
        QString caption = QString::fromUtf8(texts[std::size_t(i)]);
        if (i == 7 && captions == RightsCaptions::RightsWindow)
            caption = QStringLiteral("Adicionar / Remover Restrições");
        checks[std::size_t(i)] = new QCheckBox(caption, frame);
        checks[std::size_t(i)]->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        grid->addWidget(checks[std::size_t(i)], i % 5, i / 5);
    }
    return frame;
}

void makePasswordField(QLineEdit* field, int limit) {
    field->setEchoMode(QLineEdit::Password);
    field->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    TextEntry::setTypingLimit(field, limit);
}

}
