#pragma once

#include <QColor>
#include <QString>

class QLineEdit;
class RecordCursor;

// The name search of the list windows (Busca_Nome): the operator types the
// beginning of a name into the list's search box and presses Enter; the
// list's cursor goes to the first row, in its current order, whose Nome begins
// with the typed text (letters compared without regard to case). The box's
// text turns blue on a match and red when no name matches; the list then goes
// back to its first row.
namespace NameSearch {

inline const QColor Found(0, 0, 255);
inline const QColor NotFound(255, 0, 0);

// Prepares a search box: typed letters become capitals, the apostrophe is
// refused, at most `limit` characters are typed, tool-tip background and the
// blue text of a match. selectAllOnFocus: the whole text is selected when the
// box gets the focus.
void prepareBox(QLineEdit* box, int limit, const QString& toolTip, bool selectAllOnFocus = false);

// Runs the search of the box's text on the cursor, with the hourglass
// meanwhile. Returns whether a name matched. Throws DbError (the pointer is
// back to normal and the box's colour unchanged).
bool find(RecordCursor& cursor, QLineEdit* box);

}
