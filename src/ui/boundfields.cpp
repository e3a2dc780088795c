#include "boundfields.h"

#include "numbers.h"

#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <cmath>
#include <optional>

BoundFields::BoundFields(RecordCursor* cursor, QWidget* window)
    : QObject(window), m_cursor(cursor), m_window(window) {
    connect(cursor, &RecordCursor::aboutToMove, this, [this] { writeShowingFailure(true); });
    connect(cursor, &RecordCursor::currentChanged, this, [this] { show(false); });
    connect(cursor, &RecordCursor::rowUpdated, this, [this](int index) {
        // Another write of the current row (a grid cell): show its stored
        // values, keeping the operator's pending edits.
        if (m_cursor && index == m_cursor->absolutePosition()) show(true);
    });
    if (window) {
        window->installEventFilter(this);
        if (auto* dlg = qobject_cast<QDialog*>(window))
            connect(dlg, &QDialog::finished, this, [this] { writeShowingFailure(false); });
    }
}

BoundFields::~BoundFields() = default;

void BoundFields::add(QWidget* w, Kind kind, const QString& field, FieldFormat format) {
    Binding b{w, kind, field, format, {}, false};
    showBinding(b);
    m_bindings.push_back(b);
}

void BoundFields::bind(QLineEdit* box, const QString& field, FieldFormat format) { add(box, Kind::Line, field, format); }
void BoundFields::bind(QTextEdit* box, const QString& field) { add(box, Kind::Text, field, FieldFormat::Auto); }
void BoundFields::bind(QPlainTextEdit* box, const QString& field) { add(box, Kind::Plain, field, FieldFormat::Auto); }
void BoundFields::bind(QCheckBox* box, const QString& field) { add(box, Kind::Check, field, FieldFormat::Auto); }
void BoundFields::bind(QLabel* label, const QString& field, FieldFormat format) { add(label, Kind::Label, field, format); }

namespace {

QString yesNo(bool on) { return on ? QStringLiteral("Sim") : QStringLiteral("Não"); }

} // namespace

QString BoundFields::displayText(const QVariant& value, FieldFormat format) {
    if (!value.isValid() || value.isNull()) return {};
    if (value.userType() == qMetaTypeId<Currency>()) {
        const Currency c = value.value<Currency>();
        switch (format) {
        case FieldFormat::Fixed: return Numbers::fixed(c);
        case FieldFormat::CurrencyText: return Numbers::currencyText(c);
        default: return Numbers::plain(c);
        }
    }
    switch (value.typeId()) {
    case QMetaType::QDate:
        return format == FieldFormat::LongDate ? Numbers::longDate(value.toDate()) : Numbers::shortDate(value.toDate());
    case QMetaType::QTime:
        return Numbers::timeText(value.toTime());
    case QMetaType::QDateTime:
        return Numbers::shortDate(value.toDateTime().date());
    case QMetaType::Bool:
        if (format == FieldFormat::YesNo) return yesNo(value.toBool());
        return value.toBool() ? QStringLiteral("Verdadeiro") : QStringLiteral("Falso");
    case QMetaType::Double:
    case QMetaType::Float:
        if (format == FieldFormat::Fixed) return Numbers::fixed(value.toDouble());
        // Money text is the same whatever the stored type.
        if (format == FieldFormat::CurrencyText) {
            const auto money = Currency::fromReais(value.toDouble());
            return money ? Numbers::currencyText(*money) : QString();
        }
        return Numbers::plain(value.toDouble());
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        if (format == FieldFormat::Fixed) return Numbers::fixed(value.toDouble());
        if (format == FieldFormat::CurrencyText) return Numbers::currencyText(Currency::fromUnits(value.toLongLong()));
        if (format == FieldFormat::YesNo) return yesNo(value.toLongLong() != 0);
        return QString::number(value.toLongLong());
    default:
        return value.toString();
    }
}

QVariant BoundFields::editedValue(const QString& text, FieldFormat format) {
    if (format == FieldFormat::YesNo) {
        const QString t = text.trimmed();
        if (t.compare(yesNo(true), Qt::CaseInsensitive) == 0) return true;
        if (t.compare(yesNo(false), Qt::CaseInsensitive) == 0) return false;
    }
    return text;
}

namespace {
const QStringList WriteErrorLines = {QStringLiteral("Ocorreu um Erro ao tentar Gravar as Alterações deste Registro."),
                                     QStringLiteral("Verifique os Dados Digitados.")};
const QString WriteErrorPattern = QStringLiteral("%1 %2 %3");
} // namespace

void BoundFields::showWriteError(const std::exception& e, const QString& title) {
    ShowError(WriteErrorLines, ErrorInfo::from(e), WriteErrorPattern, title);
}

void BoundFields::showBinding(Binding& b) {
    if (!b.widget) return;
    QVariant value;
    if (m_cursor && m_cursor->isOpen() && (m_cursor->hasCurrent() || m_cursor->editMode() == RecordCursor::EditMode::Add)) {
        try {
            value = m_cursor->field(b.field);
        } catch (const DbError&) {
            value = QVariant();  // a deleted row or no row: empty
        }
    }
    QWidget* w = b.widget.data();
    if (b.kind == Kind::Check) {
        b.shownChecked = value.isValid() && value.toBool();
        static_cast<QCheckBox*>(w)->setChecked(b.shownChecked);
        return;
    }
    b.shownText = displayText(value, b.format);
    switch (b.kind) {
    case Kind::Line:
        static_cast<QLineEdit*>(w)->setText(b.shownText);
        static_cast<QLineEdit*>(w)->setCursorPosition(0);
        break;
    case Kind::Text: static_cast<QTextEdit*>(w)->setPlainText(b.shownText); break;
    case Kind::Plain: static_cast<QPlainTextEdit*>(w)->setPlainText(b.shownText); break;
    case Kind::Label: static_cast<QLabel*>(w)->setText(b.shownText); break;
    case Kind::Check: break;
    }
}

QString BoundFields::widgetText(const Binding& b) {
    QWidget* w = b.widget.data();
    switch (b.kind) {
    case Kind::Line: return static_cast<QLineEdit*>(w)->text();
    case Kind::Text: return static_cast<QTextEdit*>(w)->toPlainText();
    case Kind::Plain: return static_cast<QPlainTextEdit*>(w)->toPlainText();
    case Kind::Label: return static_cast<QLabel*>(w)->text();
    case Kind::Check: break;
    }
    return {};
}

bool BoundFields::isPending(const Binding& b) const {
    if (!b.widget || b.kind == Kind::Label) return false;
    if (b.kind == Kind::Check) return static_cast<QCheckBox*>(b.widget.data())->isChecked() != b.shownChecked;
    return widgetText(b) != b.shownText;
}

QVariant BoundFields::pendingValue(const Binding& b) const {
    if (b.kind == Kind::Check) return static_cast<QCheckBox*>(b.widget.data())->isChecked();
    return editedValue(widgetText(b), b.format);
}

void BoundFields::show() { show(false); }

void BoundFields::show(bool keepPending) {
    for (Binding& b : m_bindings)
        if (!keepPending || !isPending(b)) showBinding(b);
}

bool BoundFields::hasPending() const {
    for (const Binding& b : m_bindings)
        if (isPending(b)) return true;
    return false;
}

QStringList BoundFields::pendingFields() const {
    QStringList out;
    for (const Binding& b : m_bindings)
        if (isPending(b)) out << b.field;
    return out;
}

void BoundFields::commit() {
    if (!m_cursor || m_writing || !hasPending()) return;
    if (!m_cursor->isOpen() || !m_cursor->hasCurrent()) return;
    m_writing = true;
    const bool ownEdit = m_cursor->editMode() == RecordCursor::EditMode::None;
    try {
        if (ownEdit) m_cursor->edit();
        for (const Binding& b : m_bindings)
            if (isPending(b)) m_cursor->setField(b.field, pendingValue(b));
        if (ownEdit) m_cursor->update();
    } catch (...) {
        if (ownEdit) m_cursor->cancelUpdate();
        m_writing = false;
        throw;
    }
    m_writing = false;
    // The values stay pending until the write is stored: the cursor announces
    // the row (and the boxes show it) only once its transaction has committed,
    // so a failed update or COMMIT leaves every typed value to write again.
}

void BoundFields::showAsTyped(const std::vector<std::pair<QLineEdit*, QString>>& texts) {
    for (const auto& [box, text] : texts) {
        for (Binding& b : m_bindings) {
            if (b.widget != box) continue;
            box->setText(text);
            box->setCursorPosition(0);
            b.shownText = text;
        }
    }
}

bool BoundFields::rowGone(const std::exception& e) {
    const auto* db = dynamic_cast<const DbError*>(&e);
    return db && db->number() == DbErrorCode::RecordDeleted;
}

bool BoundFields::mayClose(QWidget* window) {
    // Each record is written; one question covers every write that failed.
    std::vector<BoundFields*> failed;
    std::optional<ErrorInfo> cause;
    for (BoundFields* fields : window->findChildren<BoundFields*>(Qt::FindDirectChildrenOnly)) {
        if (fields->m_window != window || fields->m_writing) continue;
        try {
            fields->commit();
        } catch (const std::exception& e) {
            failed.push_back(fields);
            if (rowGone(e)) showWriteError(e, window->windowTitle());
            else if (!cause) cause = ErrorInfo::from(e);
        }
    }
    if (cause && !askCloseWithoutWriting(WriteErrorLines, *cause, WriteErrorPattern, window->windowTitle()))
        return false;
    for (BoundFields* fields : failed) fields->show(false);
    return true;
}

void BoundFields::writeShowingFailure(bool keepRow) {
    if (m_writing) return;
    try {
        commit();
    } catch (const std::exception& e) {
        showWriteError(e, m_window ? m_window->windowTitle() : QString());
        if (!keepRow || rowGone(e)) show(false);
        else if (m_cursor) m_cursor->keepCurrent();
    }
}

bool BoundFields::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Close && !mayClose(m_window)) {
        event->ignore();
        return true;   // the window stays open
    }
    return false;
}
