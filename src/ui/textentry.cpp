#include "textentry.h"

#include "numbers.h"
#include "store/clock.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBoundaryFinder>
#include <QTextEdit>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <optional>

namespace TextEntry {

namespace {

constexpr const char* FilterName = "tarvel_textentry";

// The text operations the rules need, for the three kinds of field.
struct Field {
    QWidget* w;
    QLineEdit* line() const { return qobject_cast<QLineEdit*>(w); }
    QTextEdit* rich() const { return qobject_cast<QTextEdit*>(w); }
    QPlainTextEdit* plainEdit() const { return qobject_cast<QPlainTextEdit*>(w); }

    QString text() const {
        if (auto* l = line()) return l->text();
        if (auto* t = rich()) return t->toPlainText();
        if (auto* p = plainEdit()) return p->toPlainText();
        return {};
    }
    bool readOnly() const {
        if (auto* l = line()) return l->isReadOnly();
        if (auto* t = rich()) return t->isReadOnly();
        if (auto* p = plainEdit()) return p->isReadOnly();
        return true;
    }
    // Replaces the selection (or inserts at the caret).
    void insert(const QString& s) const {
        if (auto* l = line()) { l->insert(s); return; }
        if (auto* t = rich()) { QTextCursor c = t->textCursor(); c.insertText(s); t->setTextCursor(c); return; }
        if (auto* p = plainEdit()) { QTextCursor c = p->textCursor(); c.insertText(s); p->setTextCursor(c); }
    }
    // The text outside the selection.
    QString remaining() const {
        if (auto* l = line()) {
            if (!l->hasSelectedText()) return l->text();
            QString t = l->text();
            return t.remove(l->selectionStart(), l->selectedText().size());
        }
        QTextCursor c;
        if (auto* t = rich()) c = t->textCursor();
        else if (auto* p = plainEdit()) c = p->textCursor();
        else return {};
        QString t = text();
        if (c.hasSelection()) t.remove(c.selectionStart(), c.selectionEnd() - c.selectionStart());
        return t;
    }
};

// The paste entry of a standard context menu (its caption may be translated
// and may carry the shortcut after a tab).
bool isPasteAction(const QAction* a) {
    if (a->objectName() == QLatin1String("edit-paste")) return true;
    const QString caption = a->text().section(QLatin1Char('\t'), 0, 0);
    const QString pasteKey = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    if (!pasteKey.isEmpty() && a->text().endsWith(QLatin1Char('\t') + pasteKey)) return true;
    for (const char* context : {"QLineEdit", "QWidgetTextControl"})
        if (caption == QCoreApplication::translate(context, "&Paste")) return true;
    return caption == QLatin1String("&Paste");
}

bool isPrintable(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return false;
    return true;
}

class EntryFilter : public QObject {
public:
    explicit EntryFilter(QWidget* field) : QObject(field), m_field{field} {
        setObjectName(QLatin1String(FilterName));
        field->installEventFilter(this);
        // Dropped text would bypass the rules; the fields take none.
        field->setAcceptDrops(false);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(field)) {
            area->viewport()->installEventFilter(this);
            area->viewport()->setAcceptDrops(false);
        }
        // An editable list keeps the focus itself and hands keys and input
        // to its line edit directly, past the line edit's filters: the
        // rules watch the list too.
        if (auto* combo = qobject_cast<QComboBox*>(field->parentWidget()); combo && combo->lineEdit() == field) {
            m_host = combo;
            combo->installEventFilter(this);
            combo->setAcceptDrops(false);
        }
        // A money box whose whole text becomes "," on any change (typed,
        // pasted, set, or left by deleting the digits before it) reads "0,"
        // with the caret after the comma.
        if (auto* line = qobject_cast<QLineEdit*>(field))
            connect(line, &QLineEdit::textChanged, this, [this, line](const QString& text) {
                if (!(rules & Money) || text != QLatin1String(",")) return;
                line->setText(QStringLiteral("0,"));
                line->setCursorPosition(2);
            });
    }

    Rules rules;
    int limit = 0;
    std::optional<FocusStyle> style;
    // The style's caption, which may go before the field does.
    QPointer<QLabel> styleLabel;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Cuts text to the room the typing limit leaves beside `remaining`,
    // never inside a character: what does not fit whole stays out.
    QString fitted(QString s, const QString& remaining) const {
        if (limit <= 0) return s;
        const qsizetype room = std::max<qsizetype>(0, limit - remaining.size());
        if (s.size() <= room) return s;
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, s);
        qsizetype end = 0;
        for (qsizetype b = characters.toNextBoundary(); b > 0 && b <= room; b = characters.toNextBoundary()) end = b;
        s.truncate(end);
        return s;
    }
    // Puts operator text into the field through the rules and the limit.
    void put(const QString& raw, bool pasted);
    void paste(QClipboard::Mode mode);
    void contextMenu(QContextMenuEvent* e);
    void focusIn();
    void focusOut();
    bool keyPress(QKeyEvent* e);

    Field m_field;
    QWidget* m_host = nullptr;   // the editable list that owns the field, if any
    // What the focus colours replaced.
    bool m_styled = false;
    QPalette m_savedPalette;
    QFont m_savedFont;
    QPalette m_savedLabelPalette;
};

// A NUL or a lone UTF-16 surrogate is no character a shop types: neither
// may reach a stored text or a criterion.
QString withoutInvalid(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.unicode() != 0 && !c.isSurrogate()) {
            out += c;
        }
    }
    return out;
}

// Direction overrides and marks: invisible, they turn the text shown around.
bool isDirectionControl(char16_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

// The characters no field takes, however they come: control characters
// (ESC, BEL, TAB, DEL and the like; a field of several lines keeps its line
// breaks) and direction controls.
QString withoutControls(const QString& text, bool lines) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (lines && c == QLatin1Char('\r')) {
            if (i + 1 >= text.size() || text[i + 1] != QLatin1Char('\n')) out += QLatin1Char('\n');
            continue;
        }
        if (lines && c == QLatin1Char('\n')) { out += c; continue; }
        if (c.category() == QChar::Other_Control || isDirectionControl(c.unicode())) continue;
        out += c;
    }
    return out;
}

// `held`: the text whose comma keeps a money field from taking another (a
// typed comma counts the selection it replaces; a paste does not).
QString filterChars(const QString& text, Rules rules, const QString& held, bool pasted, bool lines) {
    QString s = withoutControls(withoutInvalid(text), lines);
    if (rules & NoApostrophe) s.remove(QLatin1Char('\''));
    if (rules & Money) {
        if (pasted) {
            // A pasted amount ("1.234,56", "R$ 10,00") goes in without its
            // grouping dots and symbol; anything else is filtered as typed.
            QString t = s.trimmed();
            if (const auto c = Currency::parse(t); c && c->raw() >= 0) {
                t.remove(QStringLiteral("R$"));
                t.remove(QLatin1Char('.'));
                t.remove(QLatin1Char(' '));
                t.remove(QLatin1Char('+'));
                s = t;
            }
        }
        QString out;
        bool comma = held.contains(QLatin1Char(','));
        for (QChar c : s) {
            if (c == QLatin1Char('.')) c = QLatin1Char(',');
            if (c == QLatin1Char(',')) {
                if (comma) continue;
                comma = true;
                out += c;
            } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
                out += c;
            }
        }
        s = out;
    } else if (rules & DigitsOnly) {
        QString out;
        for (QChar c : s)
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) out += c;
        s = out;
    }
    if (rules & UpperCase) s = s.toUpper();
    return s;
}

void EntryFilter::put(const QString& raw, bool pasted) {
    if (m_field.readOnly()) return;
    const QString remaining = m_field.remaining();
    const QString s = fitted(filterChars(raw, rules, pasted ? remaining : m_field.text(), pasted, !m_field.line()), remaining);
    if (s.isEmpty()) return;
    m_field.insert(s);
}

void EntryFilter::paste(QClipboard::Mode mode) {
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (text.isEmpty()) return;
    // A one-line field takes the first line only, as Qt's own paste does.
    QString s = text;
    if (m_field.line()) {
        const qsizetype nl = s.indexOf(QLatin1Char('\n'));
        if (nl >= 0) s.truncate(nl);
        s.remove(QLatin1Char('\r'));
    }
    put(s, true);
}

void EntryFilter::contextMenu(QContextMenuEvent* e) {
    QMenu* menu = nullptr;
    if (auto* l = m_field.line()) menu = l->createStandardContextMenu();
    else if (auto* t = m_field.rich()) menu = t->createStandardContextMenu(e->pos());
    else if (auto* p = m_field.plainEdit()) menu = p->createStandardContextMenu(e->pos());
    if (!menu) return;
    // The menu's paste goes through the rules too.
    for (QAction* a : menu->actions()) {
        if (isPasteAction(a)) {
            a->disconnect();
            connect(a, &QAction::triggered, this, [this] { paste(QClipboard::Clipboard); });
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}

void EntryFilter::focusIn() {
    if (style && !m_styled) {
        QWidget* w = m_field.w;
        m_savedPalette = w->palette();
        m_savedFont = w->font();
        QPalette p = w->palette();
        if (style->base.isValid()) p.setColor(QPalette::Base, style->base);
        if (style->text.isValid()) p.setColor(QPalette::Text, style->text);
        w->setPalette(p);
        if (style->bold) { QFont f = w->font(); f.setBold(true); w->setFont(f); }
        if (styleLabel) {
            m_savedLabelPalette = styleLabel->palette();
            if (style->labelText.isValid()) {
                QPalette lp = styleLabel->palette();
                lp.setColor(QPalette::WindowText, style->labelText);
                styleLabel->setPalette(lp);
            }
        }
        m_styled = true;
    }
    if (rules & SelectAllOnFocus) {
        // Queued: a click that gave the focus would move the caret afterwards.
        QPointer<QWidget> w = m_field.w;
        QMetaObject::invokeMethod(this, [w] {
            if (!w) return;
            if (auto* l = qobject_cast<QLineEdit*>(w.data())) l->selectAll();
            else if (auto* t = qobject_cast<QTextEdit*>(w.data())) t->selectAll();
            else if (auto* p = qobject_cast<QPlainTextEdit*>(w.data())) p->selectAll();
        }, Qt::QueuedConnection);
    }
}

void EntryFilter::focusOut() {
    if (!m_styled) return;
    m_field.w->setPalette(m_savedPalette);
    m_field.w->setFont(m_savedFont);
    if (style && styleLabel) styleLabel->setPalette(m_savedLabelPalette);
    m_styled = false;
}

bool EntryFilter::keyPress(QKeyEvent* e) {
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (rules & EnterMovesNext) { focusNextField(m_host ? m_host : m_field.w); return true; }
        if (rules & SwallowEnter) return true;
        return false;
    }
    if ((rules & DateTimeKeys) && (key == Qt::Key_F5 || key == Qt::Key_F6)) return true;  // acts on release
    if (e->matches(QKeySequence::Paste)) {
        paste(QClipboard::Clipboard);
        return true;
    }
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QString text = e->text();
    if (mods != Qt::NoModifier && mods != (Qt::ControlModifier | Qt::AltModifier)) return false;  // Ctrl+Alt = AltGr
    if (m_field.readOnly()) return false;
    if (withoutInvalid(text) != text) {
        // Keys carrying a NUL or a lone surrogate: only the rest goes in.
        if (isPrintable(withoutInvalid(text))) put(text, false);
        return true;
    }
    if (!isPrintable(text)) {
        // The keys that edit or move (Backspace, Delete, Escape, Tab...) are
        // the field's own; the text of any other key (an input method's, a
        // synthetic key's) goes in without its control characters.
        const bool fieldKey = key >= Qt::Key_Escape && key != Qt::Key_unknown;
        if (text.isEmpty() || fieldKey) return false;
        put(text, false);
        return true;
    }
    const QString remaining = m_field.remaining();
    const QString s = filterChars(text, rules, remaining, false, !m_field.line());
    const bool fits = limit <= 0 || remaining.size() + s.size() <= limit;
    if (s == text && fits && !(rules & Money)) return false;  // the field types it itself
    put(text, false);
    return true;
}

bool EntryFilter::eventFilter(QObject* watched, QEvent* event) {
    const bool onField = watched == m_field.w || (m_host && watched == m_host);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (onField && (rules & DateTimeKeys)) {
            auto* k = static_cast<QKeyEvent*>(event);
            if (k->key() == Qt::Key_F5 || k->key() == Qt::Key_F6) { event->accept(); return true; }
        }
        break;
    case QEvent::KeyPress:
        if (onField) return keyPress(static_cast<QKeyEvent*>(event));
        break;
    case QEvent::KeyRelease:
        if (onField && (rules & DateTimeKeys)) {
            auto* k = static_cast<QKeyEvent*>(event);
            if (!k->isAutoRepeat() && (k->key() == Qt::Key_F5 || k->key() == Qt::Key_F6) && !m_field.readOnly()) {
                const QString stamp = k->key() == Qt::Key_F5 ? Numbers::shortDate(Clock::today())
                                                            : Numbers::timeText(Clock::time());
                const QString s = fitted(QStringLiteral(" (") + stamp + QStringLiteral(")"), m_field.remaining());
                if (!s.isEmpty()) m_field.insert(s);
                return true;
            }
        }
        break;
    case QEvent::InputMethod: {
        if (!onField) break;
        auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->commitString().isEmpty()) {
            const QString remaining = m_field.remaining();
            const QString s =
                fitted(filterChars(im->commitString(), rules, remaining, false, !m_field.line()), remaining);
            if (s != im->commitString())
                im->setCommitString(s, im->replacementStart(), im->replacementLength());
        }
        break;
    }
    case QEvent::ContextMenu:
        contextMenu(static_cast<QContextMenuEvent*>(event));
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(event);
        if (m->button() == Qt::MiddleButton) {
            if (event->type() == QEvent::MouseButtonRelease && QGuiApplication::clipboard()->supportsSelection())
                paste(QClipboard::Selection);
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        if (onField) focusIn();
        break;
    case QEvent::FocusOut:
        if (onField && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) focusOut();
        break;
    default:
        break;
    }
    return false;
}

EntryFilter* filterOf(const QWidget* field) {
    return field ? field->findChild<EntryFilter*>(QLatin1String(FilterName), Qt::FindDirectChildrenOnly) : nullptr;
}

EntryFilter* ensureFilter(QWidget* field) {
    Q_ASSERT(qobject_cast<QLineEdit*>(field) || qobject_cast<QTextEdit*>(field) || qobject_cast<QPlainTextEdit*>(field));
    if (EntryFilter* f = filterOf(field)) return f;
    return new EntryFilter(field);
}

// Gives every text box that gets the focus without rules of its own the
// character rule of the fields with rules (see guardEveryField).
class EveryField : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        const bool box = (qobject_cast<QLineEdit*>(w) && !qobject_cast<QAbstractSpinBox*>(w->parentWidget())) ||
                         qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w);
        if (box && !filterOf(w)) new EntryFilter(w);
        return false;
    }
};

} // namespace

void guardEveryField() {
    static QPointer<EveryField> installed;
    if (installed || !qApp) return;
    installed = new EveryField(qApp);
    qApp->installEventFilter(installed);
}

void attach(QWidget* field, Rules r) { ensureFilter(field)->rules = r; }

Rules rules(const QWidget* field) {
    const EntryFilter* f = filterOf(field);
    return f ? f->rules : Rules();
}

void setTypingLimit(QWidget* field, int limit) { ensureFilter(field)->limit = std::max(0, limit); }

int typingLimit(const QWidget* field) {
    const EntryFilter* f = filterOf(field);
    return f ? f->limit : 0;
}

QColor toolTipBase() { return QApplication::palette().color(QPalette::ToolTipBase); }

void setFocusStyle(QWidget* field, const FocusStyle& style) {
    EntryFilter* f = ensureFilter(field);
    f->style = style;
    f->styleLabel = style.label;
}

void focusNextField(QWidget* from) {
    if (!from) return;
    // As the operator's Tab key: a Tab keystroke through Qt's own focus chain.
    QTextEdit* te = qobject_cast<QTextEdit*>(from);
    QPlainTextEdit* pe = qobject_cast<QPlainTextEdit*>(from);
    const bool wasTe = te && te->tabChangesFocus();
    const bool wasPe = pe && pe->tabChangesFocus();
    if (te) te->setTabChangesFocus(true);
    if (pe) pe->setTabChangesFocus(true);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(from, &tab);
    if (te) te->setTabChangesFocus(wasTe);
    if (pe) pe->setTabChangesFocus(wasPe);
}

}
