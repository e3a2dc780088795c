#pragma once

#include "printer.h"

#include <QImage>
#include <QString>

class RecordCursor;

// The list of delivered appliances: every row of a cursor on TblApEntregues,
// in landscape, three lines per row, 14 rows on the first page and 15 on each
// later page, each page under the report's header. The rows are read one at
// a time from the cursor and each finished page goes to the printer's spool:
// neither the table nor the pages are held in memory.
namespace AparelhosEntregues {

// The page header (centimetres): logo, trade name, "=== title ===", the
// issue date and time with the page number, the column headings and a rule.
void Cabecalho(Printer& printer, const QImage& logo, const QString& nomeFantasia, const QString& tituloRelatorio);

// Sets the page up, prints every row of `rows` (from its first) and ends the
// document; with no row, one page with the header alone. Throws on failure
// (the document is left to the caller to cancel).
void print(Printer& printer, RecordCursor& rows, const QImage& logo, const QString& nomeFantasia,
           const QString& tituloRelatorio);

}
