#pragma once

// Reading what a print job recorded, and running a print window's job with
// its messages collected: the scenario runner of the printing tests.
#include "printing/printer.h"
#include "ui/messagebox.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace PrintedPages {

// Every text inside the printable area, none drawn over the next one on its
// line, and each value whole within one text (blanks at its ends aside).
void expectWholeInside(const RecordedPage& page, const QStringList& values = {});
// No text crosses an upright line of the page (a grid's or a frame's border).
void expectNoTextAcrossLines(const RecordedPage& page);
// By the tab rule: `item`, which a Tab to `column` put after `value`, stands
// at that column of its font, on the value's line when the value ends by the
// column, otherwise on a line below it.
// The column is counted in `font` (the font at the Tab), or in the item's own.
void expectTabbed(const RecordedPage& page, const PrintOp* value, const PrintOp* item, int column);
void expectTabbed(const RecordedPage& page, const PrintOp* value, const PrintOp* item, int column, const PrintFont& font);
// The text drawn right after `op` (nullptr when none).
const PrintOp* after(const RecordedPage& page, const PrintOp* op);
// How many texts of the page equal `text`.
int count(const RecordedPage& page, const QString& text);
// The pages of each recorded document.
std::vector<int> pageCounts(const RecordingTarget& target);

// Runs `act`, answering every message box with its default button; returns
// the boxes shown, in order.
QList<ShownBox> boxesDuring(const std::function<void()>& act);
// The boxes are as many as `expected`, each text containing its entry.
void expectBoxes(const QList<ShownBox>& boxes, const QStringList& expected);

}
