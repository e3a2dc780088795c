#pragma once

#include "printer.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <exception>
#include <optional>

class QLabel;
class RecordCursor;

// What every print job of the program shares: the page set-up, the logo, the
// list reports' page top, the end-of-job and failure messages and the
// program's own data printed in footers.
namespace PrintJob {

// The page set-up every job begins with: one copy, orientation, unit, font
// name and, for the documents with ruled boxes, the line width.
void pageSetUp(Printer& printer, PrintOrientation orientation, PrintUnit unit, const QString& fontName,
               std::optional<int> lineWidth = std::nullopt);

// The picture a print window holds before the logo is loaded: a small icon.
QImage builtInPicture();
// The program folder's "logo.bmp", or `fallback` when it is missing or unreadable.
QImage loadLogo(const QImage& fallback = builtInPicture());
// Shows a picture in a window's picture holder (the logo holder Image1).
void showPicture(QLabel* holder, const QImage& picture);

// The top of a list report's page, in centimetres: the logo at 1, 0.5 (2.7 x
// 1.2); at y 2 the trade name at column 2 in 18 points; in titleSize points
// 2 blanks, "=== ", the title, " ==="; an empty 10-point line; then,
// underlined, 3 blanks, "Emissão", today's date, the current time (short or
// long form), "Página: " and the page number. Leaves the font at 10 points,
// not underlined, at the start of the next line.
void listPageTop(Printer& printer, const QImage& logo, const QString& nomeFantasia, double titleSize,
                 const QString& title, bool shortTime);
// One record of a list (`record`), after a new page with its header
// (`header`) when the page's count of records (`count`) reaches `perPage` or
// when the record (measured first) would pass the bottom of the page, so that
// no record runs onto a page without the header. The count starts again at 0,
// not 1, on a new page: perPage - 1 records on the first page, perPage on the
// others (fewer when taller records reach the bottom first).
void printRecord(Printer& printer, int& count, int perPage, const std::function<void()>& record,
                 const std::function<void()>& header);

// "Os Dados foram enviados para a Impressora. Aguarde!" (information) with the document's title.
void showSent(const QString& title);
// The message of a failed job (critical): the first line naming the
// document, "Verifique se a impressora está ligada e funcionando
// corretamente!", the further lines, then the error's description, "__" and
// its number. The title is "Erro de Impressão" unless given.
void showFailure(const QString& firstLine, const QStringList& moreLines, const std::exception& error,
                 const QString& title = QStringLiteral("Erro de Impressão"));
// The text of that message.
QString failureText(const QString& firstLine, const QStringList& moreLines, const std::exception& error);

// The program's own data printed in footers.
QString productName();
int versionMajor();
int versionMinor();
QString webAddress();

}
