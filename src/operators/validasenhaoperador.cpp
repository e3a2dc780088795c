#include "validasenhaoperador.h"

#include "operators/operatorrules.h"
#include "store/dberror.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/textentry.h"

#include <QLineEdit>
#include <QWidget>
#include <cmath>
#include <limits>

namespace OperatorPassword {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')
        || c == QChar(0xA0);
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The longest leading numeral of a text without blanks: sign, digits, a
// decimal point with digits, an exponent ("e" or "d", sign, digits).
QString leadingNumeral(const QString& s) {
    const int n = int(s.size());
    int i = 0;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) ++i;
    const int mantissaStart = i;
    while (i < n && isDigit(s[i])) ++i;
    if (i < n && s[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isDigit(s[i])) ++i;
    }
    // Needs at least one digit in the mantissa.
    bool anyDigit = false;
    for (int k = mantissaStart; k < i; ++k) anyDigit = anyDigit || isDigit(s[k]);
    if (!anyDigit) return {};
    int end = i;
    if (i < n && (s[i].toLower() == QLatin1Char('e') || s[i].toLower() == QLatin1Char('d'))) {
        int j = i + 1;
        if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-'))) ++j;
        const int expDigits = j;
        while (j < n && isDigit(s[j])) ++j;
        if (j > expDigits) end = j;
    }
    QString out = s.left(end);
    // The "d" exponent of the old number reading is an "e".
    for (QChar& c : out)
        if (c.toLower() == QLatin1Char('d')) c = QLatin1Char('e');
    return out;
}

} // namespace

std::optional<qint32> typedValue(const QString& text) {
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text)
        if (!isBlank(c)) compact += c;
    const QString numeral = leadingNumeral(compact);
    if (numeral.isEmpty()) return 0;
    bool ok = false;
    const double value = numeral.toDouble(&ok);   // C locale: "." is the decimal point
    if (!ok || !std::isfinite(value)) return std::nullopt;
    const double rounded = std::nearbyint(value);  // half to even
    if (rounded < double(std::numeric_limits<qint32>::min()) || rounded > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(rounded);
}

std::optional<QString> criterion(const QString& text) {
    const std::optional<qint32> value = typedValue(text);
    if (!value) return std::nullopt;
    return QStringLiteral("Senha = %1").arg(Schema::passwordToStored(*value));
}

} // namespace OperatorPassword

namespace {

// The field's waiting state: masked, typing limit of 4, tool tip.
void prepareField(QLineEdit* field, const QString& toolTip) {
    OperatorRules::makePasswordField(field, 4);
    field->setMaxLength(32767);   // the name written after a match is never cut
    field->setToolTip(toolTip);
}

} // namespace

ValidaSenhaOperador::ValidaSenhaOperador(QLineEdit* txtOperador, RecordCursor* dataOperador,
                                         const OperatorCheckConfig& config, QObject* parent)
    : QObject(parent ? parent : (txtOperador ? static_cast<QObject*>(txtOperador->window()) : nullptr)),
      m_field(txtOperador), m_cursor(dataOperador), m_config(config) {
    Q_ASSERT(txtOperador && dataOperador);
    prepareField(txtOperador, config.toolTip);

    QWidget* window = txtOperador->window();
    QList<QWidget*> enable, unlock;
    for (const QString& name : config.enable)
        if (QWidget* w = window->findChild<QWidget*>(name)) enable << w;
    for (const QString& name : config.unlock)
        if (QWidget* w = window->findChild<QWidget*>(name)) unlock << w;
    QWidget* focus = config.focus.isEmpty() ? nullptr : window->findChild<QWidget*>(config.focus);
    setTargets(enable, unlock, focus);

    connect(txtOperador, &QLineEdit::textChanged, this, [this] { TxtOperador_Change(); });
}

void ValidaSenhaOperador::setTargets(const QList<QWidget*>& enable, const QList<QWidget*>& unlock, QWidget* focus) {
    m_enable.clear();
    m_unlock.clear();
    for (QWidget* w : enable) m_enable << w;
    for (QWidget* w : unlock) m_unlock << w;
    m_focus = focus;
    if (!m_granted) setTargetsUsable(false);
}

void ValidaSenhaOperador::setTargetsUsable(bool usable) {
    for (const QPointer<QWidget>& w : m_enable)
        if (w) w->setEnabled(usable);
    for (const QPointer<QWidget>& w : m_unlock) {
        if (auto* line = qobject_cast<QLineEdit*>(w.data())) line->setReadOnly(!usable);
        else if (w) w->setProperty("readOnly", !usable);
    }
}

void ValidaSenhaOperador::TxtOperador_Change() {
    if (!m_field || !m_cursor || m_running) return;
    const QString typed = m_field->text();
    if (typed.size() != 4 || m_autorizado) return;
    m_running = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_running};

    bool found = false;
    try {
        if (const std::optional<QString> where = OperatorPassword::criterion(typed))
            found = m_cursor->findFirst(*where);
    } catch (const DbError& e) {
        ShowError({QStringLiteral("Ocorreu um Erro ao pesquisar o Operador!"),
                   QStringLiteral("Tente novamente; se o Problema persistir, Contacte o Suporte Técnico.")},
                  ErrorInfo::from(e), QStringLiteral("%1_%2_%3"), m_config.title);
        m_field->setText(QString());
        return;
    }

    if (!found) {
        MsgBox(OperatorCheckText::NotFound, MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, m_config.title);
        if (m_field) m_field->setText(QString());
        return;
    }

    // The flag first: writing the name (which may have four characters)
    // must not start a second search.
    m_autorizado = true;
    m_nome = m_cursor->text(QStringLiteral("NomeOperador"));
    m_field->setEchoMode(QLineEdit::Normal);
    TextEntry::setTypingLimit(m_field, 14);
    m_field->setText(m_nome);
    m_field->setEnabled(false);

    // Only a stored True grants the right; False and an empty value refuse.
    if (m_config.right.isEmpty() || m_cursor->yesNo(m_config.right)) {
        m_granted = true;
        setTargetsUsable(true);
        if (m_focus) m_focus->setFocus(Qt::OtherFocusReason);
    } else {
        MsgBox(m_config.refusal, MsgButtons::Ok, MsgIcon::Critical, std::nullopt, m_config.title);
    }
}
