#pragma once

#include <QString>
#include <exception>

class RecordCursor;

// Finding the one row a settings window is about to change or delete.
//
// A list line or a selected name stands for one row. The database compares
// text without regard to case, so a criterion could find another row whose
// name differs only in letter case or accents; these helpers compare the
// stored text exactly. They re-read the cursor first, so a row another copy
// of the program removed meanwhile is not found.
namespace SettingsRow {

// Re-reads the cursor and moves it to the row whose `field` holds exactly
// `text`, preferring the row whose key is `key` (when >= 0). Without
// `byNameToo` only that key is accepted (keys that are never reused, such as
// a price's Num). False, and no current row promised, when no row matches.
// Throws DbError.
bool moveToExact(RecordCursor& cursor, const QString& field, const QString& text, qint64 key = -1,
                 bool byNameToo = true);

// The information message shown when the row to change or delete is no
// longer in the table (another copy removed it). Nothing was changed.
void showGone(const QString& title);

// The critical message of a failed change: what failed, the call for
// support and the error's number, description and source joined by "_".
void showError(const QString& what, const std::exception& error, const QString& title);

}
