#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class DataGrid;
struct ShownBox;
class QWidget;
class RecordCursor;

// A list window's scenario as a table: each step is what the operator does,
// the messages it must show (each answered Ok) and the list it must leave.
// The window is found by the callback each step, so a step may close and
// reopen it. A list window here is one with a grid "DBGrid1", a count label
// "Label1" and a blink timer "Timer2" for its filter indicator.
struct ListStep {
    const char* what;
    std::function<void()> act;
    // Each "<icon> <title>: <text>" (icon "X" critical, "!" exclamation, "i"
    // information, "?" question), matched as the start of the box shown.
    QStringList boxes;
    // The values of `ListScenario::field` in the listed rows, in order (the
    // count label must show as many); {"-"} leaves them unchecked.
    QStringList rows = {"-"};
    QString current;        // the current row's value; "" leaves it unchecked
    QString heading;        // the grid's heading; "" leaves it unchecked
    int filtered = -1;      // the indicator blinking (1) or still (0); -1 unchecked
    std::function<void()> check = {};   // further checks of the step
};

struct ListScenario {
    std::function<QWidget*()> window;
    std::function<RecordCursor&()> cursor;
    QString field = QStringLiteral("Nome");
    void run(const std::vector<ListStep>& steps) const;
};

namespace ListSteps {
// The values of a field in every row of a cursor, in its order.
QStringList column(RecordCursor& cursor, const QString& field);
// Makes the first row whose Nome is `nome` current.
void standOn(RecordCursor& cursor, const QString& nome);
// A real click and double click on the current row's cell under a heading.
void doubleClick(DataGrid* grid, RecordCursor& cursor, const QString& heading);
// A box shown, as ListStep::boxes writes it.
QString shown(const ShownBox& box);
// Clears a search box, types the text and presses Enter.
void search(QWidget* box, const QString& text);
}
