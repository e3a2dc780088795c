#include "listeditor.h"

#include "settingsrow.h"
#include "store/recordcursor.h"
#include "ui/textentry.h"

#include <QListWidget>

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int NameRole = Qt::UserRole + 1;

const QString ErrorTitle = QStringLiteral("Configurações Tarvel");

} // namespace

QString quotedNotice(const QString& head, const QString& name, const QString& tail) {
    return head + QStringLiteral("  \" ") + name + QStringLiteral(" \"  ") + tail;
}

ListEditor::ListEditor(QListWidget* list, RecordCursor* cursor, ListFamily family, QObject* parent)
    : QObject(parent ? parent : list), m_list(list), m_cursor(cursor), m_family(std::move(family)) {
    if (!m_family.lineText) {
        const QString field = m_family.field;
        m_family.lineText = [field](const RecordCursor& c, int index) {
            return c.valueAt(index, c.fieldIndex(field)).toString();
        };
    }
}

qint64 ListEditor::keyOf(int line) const {
    const QListWidgetItem* item = m_list ? m_list->item(line) : nullptr;
    return item ? item->data(KeyRole).toLongLong() : -1;
}

QString ListEditor::nameOf(int line) const {
    const QListWidgetItem* item = m_list ? m_list->item(line) : nullptr;
    return item ? item->data(NameRole).toString() : QString();
}

void ListEditor::appendLine(int index, bool mayBeShown) {
    const qint64 key = m_cursor->keyAt(index);
    // A row shown already (an earlier add the list read in since) keeps its line.
    QListWidgetItem* item = nullptr;
    for (int line = 0; mayBeShown && line < m_list->count() && !item; ++line)
        if (keyOf(line) == key) item = m_list->item(line);
    if (!item) {
        item = new QListWidgetItem;
        item->setData(KeyRole, key);
        m_list->addItem(item);
        if (m_keys) m_keys->addItem(QString::number(key));
    }
    item->setText(m_family.lineText(*m_cursor, index));
    item->setData(NameRole, m_cursor->valueAt(index, m_cursor->fieldIndex(m_family.field)));
}

void ListEditor::fill() {
    m_list->clear();
    if (m_keys) m_keys->clear();
    m_cursor->refresh();
    for (int i = 0; i < m_cursor->recordCount(); ++i) appendLine(i);
    m_list->setCurrentRow(-1);
}

void ListEditor::showError(const QString& what, const std::exception& e) { SettingsRow::showError(what, e, ErrorTitle); }

void ListEditor::addFromInputBox() {
    const ListFamily& f = m_family;
    qint64 earlier = 0;
    try {
        // An add that could not be confirmed is asked about first: when it
        // was stored, the name typed now is written onto it.
        earlier = m_cursor->unconfirmedAddKey();
        // Written onto a stored row, a name adds none.
        if (f.maxRows > 0 && !earlier) {
            const qlonglong rows =
                m_cursor->database().scalar(QStringLiteral("SELECT COUNT(*) FROM ") + f.table).toLongLong();
            if (rows >= f.maxRows) {
                MsgBox(f.limitMessage, MsgButtons::Ok, MsgIcon::Exclamation);
                return keepEarlier();
            }
        }
    } catch (const std::exception& e) {
        showError(f.addError, e);
        return;
    }

    const std::optional<QString> answer =
        InputBox(f.prompt, {}, {}, TextEntry::Rules(TextEntry::UpperCase) | TextEntry::NoApostrophe);
    if (!answer || answer->isEmpty()) return keepEarlier();
    const QString name = answer->toUpper();
    if (name.size() > f.maxLength) {
        MsgBox(QStringLiteral("EXCESSO DE CARACTERES ! (%1)\r").arg(name.size()) + f.lengthMessage, MsgButtons::Ok,
               MsgIcon::Information, std::nullopt, f.lengthTitle);
        return keepEarlier();
    }
    // Names are searched for again when deleted: the apostrophe stays out.
    if (name.contains(QLatin1Char('\''))) {
        MsgBox(QStringLiteral("O Nome não pode conter o caractere ' (apóstrofo)."), MsgButtons::Ok,
               MsgIcon::Information, std::nullopt, f.lengthTitle);
        return keepEarlier();
    }
    QList<QPair<QString, QVariant>> values{{f.field, name}};
    values += f.newRowValues;
    addRow(values);
}

void ListEditor::keepEarlier() {
    // A stored add with nothing new to write stays as it was stored.
    try {
        if (const qint64 key = m_cursor->storedUnconfirmedAdd()) appendLine(m_cursor->indexOfKey(key), true);
    } catch (const std::exception& e) {
        showError(m_family.addError, e);
    }
}

bool ListEditor::addRow(const QList<QPair<QString, QVariant>>& values) {
    qint64 key = -1;
    try {
        m_cursor->addNew();
        for (const auto& [field, value] : values) m_cursor->setField(field, value);
        key = m_cursor->update();
    } catch (const std::exception& e) {
        m_cursor->cancelUpdate();
        showError(m_family.addError, e);
        return false;
    }
    const int index = m_cursor->indexOfKey(key);
    if (index >= 0) appendLine(index, true);
    return true;
}

bool ListEditor::deleteSelected() {
    const ListFamily& f = m_family;
    const int line = m_list->currentRow();
    if (line < 0 || !m_list->item(line)->isSelected()) {
        MsgBox(f.selectionMessage, MsgButtons::Ok, f.selectionIcon, std::nullopt, f.selectionTitle);
        return false;
    }
    const QString name = nameOf(line);
    if (f.builtIn.contains(name)) {
        MsgBox(f.builtInMessage, MsgButtons::Ok, MsgIcon::Critical, std::nullopt, f.builtInTitle);
        return false;
    }
    try {
        if (!SettingsRow::moveToExact(*m_cursor, f.field, name, keyOf(line), false)) {
            SettingsRow::showGone(f.selectionTitle);
            fill();
            return false;
        }
        MsgBox(f.notice(name), MsgButtons::Ok, MsgIcon::Information, std::nullopt, f.noticeTitle);
        m_cursor->deleteCurrent();
    } catch (const std::exception& e) {
        showError(f.deleteError, e);
        return false;
    }
    delete m_list->takeItem(line);
    if (m_keys) delete m_keys->takeItem(line);
    m_list->setCurrentRow(-1);
    m_list->clearSelection();
    try {
        m_cursor->refresh();
    } catch (const std::exception&) {
        // The row is gone; the list shows it. The next action reads again.
    }
    return true;
}
