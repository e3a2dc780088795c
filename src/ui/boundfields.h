#pragma once

#include "errormessage.h"
#include "store/recordcursor.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <exception>
#include <utility>
#include <vector>

class QWidget;
class QLineEdit;
class QLabel;
class QCheckBox;
class QTextEdit;
class QPlainTextEdit;

// How a bound field's value is written as text.
enum class FieldFormat {
    Auto,          // by the value: money plainly ("25,5"), dates dd/MM/yyyy, times HH:mm:ss
    Fixed,         // money/numbers with two decimals ("1234,56")
    CurrencyText,  // "R$ 1.234,56"
    ShortDate,     // dd/MM/yyyy
    LongDate,      // "sábado, 6 de dezembro de 2025"
    Time,          // HH:mm:ss
    YesNo          // "Sim" / "Não"
};

// Binds widgets of a window to fields of one record cursor's current row.
//
// The widgets show the current row whenever it changes (and after the row's
// values change). An operator's edit stays pending and is written - one
// edit() + setField() per changed field + update() - when:
//   - the cursor is about to move, refresh or close;
//   - the window closes (its close button, Esc, the close box, accept/reject);
//   - the window calls commit().
// Nothing is written when nothing was changed. Text set by the program into a
// bound widget (setText) does not count as an edit.
//
// A value counts as written only once the write is stored: inside a
// transaction, after its outermost COMMIT (the cursor announces the row only
// then). A COMMIT that fails leaves every value pending, so the next write
// (another "Salvar", the window closing) writes it again.
//
// A write that fails keeps every value pending:
//   - from commit(), which throws DbError so the window can report and retry;
//   - on a move, which is then refused (the cursor stays on the row): the
//     failure is shown with showWriteError();
//   - on closing, which is then refused unless the operator chooses to close
//     all the same, dropping what was typed (mayClose()).
// Only a row that is gone (deleted by another copy) drops them: the failure
// is shown and the move or the closing goes on.
class BoundFields : public QObject {
    Q_OBJECT
public:
    // window: whose closing writes the pending edits, and the owner of this
    // object (may be null: then the caller owns it). Its close event asks
    // mayClose(); a dialog closed by done() (its close button, Esc)
    // gets no close event, so it asks from done():
    //   void done(int r) override { if (BoundFields::mayClose(this)) QDialog::done(r); }
    BoundFields(RecordCursor* cursor, QWidget* window);
    ~BoundFields() override;

    RecordCursor* cursor() const { return m_cursor.data(); }

    // Binding. Text fields are written back as text; money, numbers, dates,
    // times and yes/no fields are converted (an unreadable text is an error).
    void bind(QLineEdit* box, const QString& field, FieldFormat format = FieldFormat::Auto);
    void bind(QTextEdit* box, const QString& field);
    void bind(QPlainTextEdit* box, const QString& field);
    void bind(QCheckBox* box, const QString& field);
    // Labels only show.
    void bind(QLabel* label, const QString& field, FieldFormat format = FieldFormat::Auto);

    // Shows the current row again; pending edits are dropped. An empty cursor
    // (no current row) shows empty widgets.
    void show();
    bool hasPending() const;
    // Fields with a pending edit.
    QStringList pendingFields() const;

    // Writes the pending edits now (edit, set, update). Throws DbError.
    void commit();
    // Writes the pending edits of every BoundFields the window owns as it
    // closes. When a write fails its cause is shown with the question
    // whether to close all the same, without what was typed (No the default):
    // Yes drops those values and returns true, No returns false with every
    // value pending. True also when nothing was pending or all was stored.
    static bool mayClose(QWidget* window);

    // Puts texts back into bound boxes after a write, as the window showed
    // them ("45,90" for a stored 45,9): they count as shown, not as edits.
    void showAsTyped(const std::vector<std::pair<QLineEdit*, QString>>& texts);

    // The text a value shows in a given format (also used by grids).
    static QString displayText(const QVariant& value, FieldFormat format);
    // The value an edited text stands for: "Sim"/"Não" under YesNo, the text
    // itself otherwise (the cursor converts it to the field's type).
    static QVariant editedValue(const QString& text, FieldFormat format);
    // The critical message of a refused write of a bound field or grid cell
    // ("Ocorreu um Erro ao tentar Gravar as Alterações deste Registro.").
    static void showWriteError(const std::exception& e, const QString& title = {});

private:
    enum class Kind { Line, Text, Plain, Check, Label };
    struct Binding {
        QPointer<QWidget> widget;
        Kind kind;
        QString field;
        FieldFormat format;
        QString shownText;        // what show() put there
        bool shownChecked = false;
    };
    void add(QWidget* w, Kind kind, const QString& field, FieldFormat format);
    // Writes the pending edits; a failure is shown (showWriteError). keepRow
    // (the write before the cursor leaves its row): the failure keeps the
    // cursor on its row and every value pending; otherwise, or when the row
    // is gone, the values are dropped.
    void writeShowingFailure(bool keepRow);
    // A failure of a write whose row is gone: nothing can store it any more.
    static bool rowGone(const std::exception& e);
    void show(bool keepPending);
    void showBinding(Binding& b);
    // The text of a text box or label.
    static QString widgetText(const Binding& b);
    bool isPending(const Binding& b) const;
    QVariant pendingValue(const Binding& b) const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<RecordCursor> m_cursor;
    QPointer<QWidget> m_window;
    std::vector<Binding> m_bindings;
    bool m_writing = false;
};
