#pragma once

#include "ui/messagebox.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

#include <QListWidget>
class RecordCursor;

// What one kept list of the settings is: its table and field, its limits and
// every text its buttons show.
struct ListFamily {
    QString table;                 // "TblMarca"
    QString field;                 // "Marca": the name shown and written

    // Adding through the input box.
    int maxRows = 0;               // 0: no limit
    QString limitMessage;          // exclamation, the program's title
    QString prompt;
    int maxLength = 0;
    QString lengthMessage;         // second line of "EXCESSO DE CARACTERES ! (n)"
    QString lengthTitle;           // empty: the program's title
    QList<QPair<QString, QVariant>> newRowValues;   // other fields of a new row

    // Deleting the selected line.
    QString selectionMessage;
    MsgIcon selectionIcon = MsgIcon::Information;
    QString selectionTitle;        // also the title of the "row gone" message
    QStringList builtIn;           // names never deleted
    QString builtInMessage;        // critical
    QString builtInTitle;
    std::function<QString(const QString& name)> notice;   // shown before the row goes
    QString noticeTitle;           // empty: the program's title

    // Error texts of a refused add or delete (title "Configurações Tarvel").
    QString addError;
    QString deleteError;

    // A line's text from the row at a cursor index; default: the field.
    std::function<QString(const RecordCursor& cursor, int index)> lineText;
};

// The usual deletion notice: head, two blanks, a quotation mark, the name
// between blanks, a quotation mark, two blanks and the tail
// ("A Marca:  \" LG \"  Será Excluída !").
QString quotedNotice(const QString& head, const QString& name, const QString& tail);

// A list of names kept in one table: the list widget shows one line per row
// in the table's order and remembers each line's row (its key and stored
// name), so positions never have to match anything else.
//
// Adding asks for the name in an input box (capitals, no apostrophe), tests
// the row limit and the length, and shows the line only once its row was
// saved. Deleting tests the selection and the built-in names, finds the
// line's own row again by its key, shows the notice and deletes that row
// alone; a row another copy removed meanwhile deletes nothing, says so and
// reads the list again. A refused save or deletion shows the database's
// error.
class ListEditor : public QObject {
    Q_OBJECT
public:
    ListEditor(QListWidget* list, RecordCursor* cursor, ListFamily family, QObject* parent = nullptr);

    // A hidden list kept in step: the row key of each line.
    void setKeyList(QListWidget* keys) { m_keys = keys; }

    const ListFamily& family() const { return m_family; }
    QListWidget* list() const { return m_list; }

    // Reads the table again and rebuilds the lines; no line stays selected.
    // Throws DbError.
    void fill();
    // The new button: limit, input box, length, then addRow.
    void addFromInputBox();
    // Saves a row with these values; its line joins the list afterwards.
    // False when the database refused it (the error was shown).
    bool addRow(const QList<QPair<QString, QVariant>>& values);
    // The delete button.
    // The delete button; true when a row was deleted.
    bool deleteSelected();

    // The row key and stored name of a line.
    qint64 keyOf(int line) const;
    QString nameOf(int line) const;

private:
    // The line of the cursor's row at index, at the end of the list; with
    // mayBeShown a line the row has already is brought up to date instead.
    void appendLine(int index, bool mayBeShown = false);
    void keepEarlier();
    void showError(const QString& what, const std::exception& e);

    QPointer<QListWidget> m_list;
    QPointer<QListWidget> m_keys;
    RecordCursor* m_cursor;
    ListFamily m_family;
};
