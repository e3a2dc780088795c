#pragma once

#include <QImage>
#include <QStringList>
#include <functional>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <vector>

// The drawing surface of the printed documents.
//
// A document is drawn with print statements and ruled figures on a Printer,
// in millimetres or centimetres from the top-left corner of the printable
// area. Nothing reaches paper while it is drawn: the Printer records the
// document (finished pages go to a temporary spool file, so memory does not
// grow with the page count) and hands the whole recording to its target when
// the document ends. A cancelled or failed job therefore never prints half a
// page. The target is the desktop's default printer unless the program (or a
// test) sets another one: a PDF file or a recording kept in memory.
//
// Writing a document:
//
//   Printer p;                                   // the default target
//   try {
//       p.setCopies(1);                          // the page set-up
//       p.setUnit(PrintUnit::Millimetres);
//       p.setOrientation(PrintOrientation::Portrait);
//       p.setFontName("Arial Narrow");
//       p.setLineWidth(2);
//       p.paintPicture(logo, 8, 3, 27, 12);      // the position does not move
//       p.setFontSize(20);
//       p.print({Tab(16), nomeFantasia}, LineEnd::Open);   // the line stays open
//       p.setBold(true);
//       p.print({Spc(1), "Nº", Spc(1), Fmt::zeros(os, 5)}); // ends the line
//       p.line(0, p.y(), largura, p.y());        // the position goes to the end point
//       p.endDoc();                              // the recording goes to the target
//   } catch (const std::exception& e) {
//       p.killDoc();                             // nothing is printed
//       ... printErrorInfo(e) gives the number and description to show ...
//   }
//
// Print statements: a text item is written at the print position (y is the
// top of the line) and moves it right by its width; Tab(n) moves to column n
// (counted from 1; a column is the font's average character width, the
// weighted average of the lower-case letters and the space), first ending the
// line when the position already lies right of it; Spc(n) moves right by n
// blanks. A statement ends its line unless given LineEnd::Open: x goes to 0
// and y one line height of the current font lower. Text that would pass the
// bottom of the printable area starts a new page. Num() writes a number item
// (a blank where a minus would stand, the digits, a blank); Value() writes a
// field as the surface writes an unformatted value (empty fields print as
// nothing, dates in the short date format). Fmt:: gives the named formats.
// Fit() marks a value from stored or typed data: it prints whole at the
// current size, a Tab after it going to the next line when the value has
// passed that column; only when its stretch of the line (up to the next Tab)
// would pass the right edge do the values of that stretch print smaller,
// sharing what the fixed texts leave (printFitted()).
//
// Tests put a RecordingTarget in place with Printing::setDefaultTarget() and
// read the recorded pages (texts with their fonts and positions, lines,
// pictures); RecordingTarget::alsoWritePdf() writes them to PDF as well.
// printjob.h holds what every job shares (page set-up, logo, list page top,
// end-of-job and failure messages, the program's footer data).

enum class PrintOrientation { Portrait = 1, Landscape = 2 };
enum class PrintUnit { Millimetres, Centimetres };
enum class LineStyle { Solid, DashDot };
enum class LineEnd { Ends, Open };

// A printing failure: its number and description, as the error messages of
// the documents show them.
class PrintError : public std::runtime_error {
public:
    PrintError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description) {}
    int number() const { return m_number; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

namespace PrintErrorCode {
constexpr int NoPrinter = 482;       // no default printer
constexpr int PrinterFailed = 483;   // the printer refused or stopped the job
constexpr int SpoolFailed = 75;      // the spool file could not be written or read
constexpr int OutputFailed = 76;     // the PDF file could not be written
}

// One item of a print statement.
class PrintItem {
public:
    enum class Kind { Text, Tab, Space, Fitted };
    PrintItem(const QString& text) : m_kind(Kind::Text), m_text(text) {}
    PrintItem(const char* utf8) : m_kind(Kind::Text), m_text(QString::fromUtf8(utf8)) {}
    static PrintItem tab(int column) { return PrintItem(Kind::Tab, column); }
    static PrintItem space(int count) { return PrintItem(Kind::Space, count); }
    static PrintItem fitted(const QString& text) {
        PrintItem item(text);
        item.m_kind = Kind::Fitted;
        return item;
    }

    Kind kind() const { return m_kind; }
    const QString& text() const { return m_text; }
    int count() const { return m_count; }

private:
    PrintItem(Kind kind, int count) : m_kind(kind), m_count(count) {}
    Kind m_kind;
    QString m_text;
    int m_count = 0;
};

inline PrintItem Tab(int column) { return PrintItem::tab(column); }
inline PrintItem Spc(int count) { return PrintItem::space(count); }
// A value that prints whole inside its room (see above).
inline PrintItem Fit(const QString& value) { return PrintItem::fitted(value); }
inline PrintItem Fit(const PrintItem& value) { return PrintItem::fitted(value.text()); }
// A number item: " 42 ", "-3 "; an empty field prints nothing.
PrintItem Num(const QVariant& value);
inline PrintItem Num(long long value) { return Num(QVariant(value)); }
// A field printed without a format: text as stored, dates as short dates,
// times as stored times, numbers as number items, money plainly; empty
// fields print nothing.
PrintItem Value(const QVariant& value);

// The named formats of the print statements; an empty field gives "".
namespace Fmt {
QString zeros(const QVariant& value, int digits);   // "00000": 42 -> "00042"
QString shortDate(const QVariant& value);           // "06/12/2026"
QString shortTime(const QVariant& value);           // "14:05"
QString currency(const QVariant& value);            // "R$ 1.234,56"
}

// A font of the surface.
struct PrintFont {
    QString name = QStringLiteral("Arial");
    double size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const PrintFont&) const = default;
};

// One recorded drawing: text (x, y the top-left of the text), a line from
// (x, y) to (x2, y2), or a picture in the box (x, y, x2 - x, y2 - y).
// Positions in millimetres from the top-left corner of the printable area.
struct PrintOp {
    enum class Kind : unsigned char { Text, Line, Picture };
    Kind kind = Kind::Text;
    double x = 0, y = 0, x2 = 0, y2 = 0;
    QString text;
    int font = 0;         // index into the page's fonts
    int picture = -1;     // index into the document's pictures
    double width = 0;     // line width in millimetres
    LineStyle style = LineStyle::Solid;
};

struct RecordedPage {
    PrintOrientation orientation = PrintOrientation::Portrait;
    QSizeF printable;     // printable width and height, millimetres
    std::vector<PrintFont> fonts;
    std::vector<PrintOp> ops;

    // Conveniences for reading a recording.
    const PrintFont& fontOf(const PrintOp& op) const { return fonts.at(std::size_t(op.font)); }
    std::vector<const PrintOp*> texts() const;
    std::vector<const PrintOp*> lines() const;
    // The first text op whose text equals `text` (nullptr when none).
    const PrintOp* findText(const QString& text) const;
    // Every text of the page, in drawing order, joined by blanks.
    QString allText() const;
};

// The paper and printable area a target offers, in millimetres.
struct PageGeometry {
    QSizeF paper;
    QRectF printable;
};

// A whole recorded document: pages in order (all but the last read back from
// the spool file one at a time) and the pictures they draw.
class RecordedDocument {
public:
    RecordedDocument();
    ~RecordedDocument();
    RecordedDocument(const RecordedDocument&) = delete;
    RecordedDocument& operator=(const RecordedDocument&) = delete;

    QString name;          // the job's name at the printer
    int copies = 1;

    int pageCount() const { return m_spooled + (m_hasLast ? 1 : 0); }
    // Visits the pages in order. Throws PrintError when the spool cannot be read.
    void forEachPage(const std::function<void(const RecordedPage&)>& visit) const;
    const QImage& picture(int index) const { return m_pictures.at(std::size_t(index)); }
    int pictureCount() const { return int(m_pictures.size()); }

    // Recording (the Printer's side).
    int addPicture(const QImage& image);
    void addPage(RecordedPage&& page);    // a finished page: spooled
    void setLastPage(RecordedPage&& page);
    // Bytes held in memory by spooled pages (none: they are on disk).
    qint64 spoolBytes() const;

private:
    struct Spool;
    std::unique_ptr<Spool> m_spool;
    int m_spooled = 0;
    bool m_hasLast = false;
    RecordedPage m_last;
    std::vector<QImage> m_pictures;
    std::vector<qint64> m_pictureKeys;
};

// Where ended documents go.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    // The paper and printable area for an orientation. Throws PrintError
    // when the target cannot print (no printer).
    virtual PageGeometry geometry(PrintOrientation orientation) = 0;
    // Prints an ended document. Throws PrintError.
    virtual void deliver(const RecordedDocument& document) = 0;
};

// Draws a recorded page on a painter whose device has `dotsPerMm` dots per
// millimetre, with the printable area's corner at the painter's origin.
class QPainter;
void renderPage(QPainter& painter, const RecordedPage& page, const RecordedDocument& document, double dotsPerMm);

// The desktop's default printer (CUPS through Qt Print Support).
class PrinterTarget : public PrintTarget {
public:
    PageGeometry geometry(PrintOrientation orientation) override;
    void deliver(const RecordedDocument& document) override;
};

// A PDF file on A4 paper with 5 mm margins. Each ended document replaces the
// file (or, with a pattern holding "%1", goes to a file numbered from 1).
class PdfTarget : public PrintTarget {
public:
    explicit PdfTarget(const QString& path) : m_path(path) {}
    PageGeometry geometry(PrintOrientation orientation) override;
    void deliver(const RecordedDocument& document) override;
    // The files written so far, in order.
    const QStringList& files() const { return m_files; }
    static PageGeometry a4(PrintOrientation orientation);
    // Writes one document to a PDF file. Throws PrintError.
    static void write(const RecordedDocument& document, const QString& path);

private:
    QString m_path;
    QStringList m_files;
};

// Keeps every ended document in memory, for the tests: same paper as PdfTarget
// unless set, and it can be made to fail like a printer that refuses the job.
class RecordingTarget : public PrintTarget {
public:
    struct Document {
        QString name;
        int copies = 1;
        std::vector<RecordedPage> pages;
    };
    PageGeometry geometry(PrintOrientation orientation) override;
    void deliver(const RecordedDocument& document) override;

    // The printable width and height in portrait (swapped for landscape).
    void setPrintable(const QSizeF& portrait) { m_printable = portrait; }
    // While set, geometry() and deliver() throw PrintError(number, description)
    // once `afterDocuments` more documents have been delivered.
    void setFailure(int number, const QString& description, int afterDocuments = 0) {
        m_failNumber = number;
        m_failText = description;
        m_failFrom = int(documents.size()) + afterDocuments;
    }
    void clearFailure() { m_failNumber = 0; }
    // Also write each delivered document to a PDF file (pattern with "%1").
    void alsoWritePdf(const QString& pattern) { m_pdfPattern = pattern; }

    std::vector<Document> documents;

private:
    QSizeF m_printable{200, 287};
    bool failing() const { return m_failNumber && int(documents.size()) >= m_failFrom; }
    int m_failNumber = 0;
    int m_failFrom = 0;
    QString m_failText;
    QString m_pdfPattern;
};

namespace Printing {
// The target of every new Printer; the desktop's default printer unless set.
std::shared_ptr<PrintTarget> defaultTarget();
// nullptr restores the desktop's default printer. Returns the previous one.
std::shared_ptr<PrintTarget> setDefaultTarget(std::shared_ptr<PrintTarget> target);
}

// The drawing surface.
class Printer {
public:
    explicit Printer(std::shared_ptr<PrintTarget> target = Printing::defaultTarget());
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // Page set-up. The extra printer setting of every job: the number of copies.
    void setCopies(int copies) { m_copies = copies; }
    int copies() const { return m_copies; }
    void setOrientation(PrintOrientation orientation);
    PrintOrientation orientation() const { return m_orientation; }
    void setUnit(PrintUnit unit) { m_unit = unit; }
    PrintUnit unit() const { return m_unit; }
    void setDocumentName(const QString& name) { m_name = name; }

    // Font.
    void setFontName(const QString& name) { m_font.name = name; }
    void setFontSize(double points) { m_font.size = points; }
    void setBold(bool on) { m_font.bold = on; }
    void setItalic(bool on) { m_font.italic = on; }
    void setUnderline(bool on) { m_font.underline = on; }
    const PrintFont& font() const { return m_font; }

    // Lines and boxes.
    void setLineWidth(int pixels) { m_lineWidth = pixels; }
    int lineWidth() const { return m_lineWidth; }
    void setLineStyle(LineStyle style) { m_lineStyle = style; }

    // Print position, in the current unit.
    double x() const { return fromMm(m_x); }
    double y() const { return fromMm(m_y); }
    void setX(double x) { m_x = toMm(x); }
    void setY(double y) { m_y = toMm(y); }

    // Where values that run to the right edge stop, in the current unit, until
    // cleared (0): lines beside a frame drawn at the right keep out of it.
    void setRightEdge(double x) { m_rightEdge = toMm(x); }

    // The printable area in the current unit. Throws PrintError without a printer.
    double printableWidth();
    double printableHeight();
    // 1 on the first page, one more after each new page.
    int page() const { return m_page; }
    // Width of a text in the current font, in the current unit.
    double textWidth(const QString& text) const;
    // One line height of the current font, in the current unit.
    double lineHeight() const;
    // Width of a column (the average character width) in the current unit.
    double columnWidth() const;
    // Prints a text whole from the print position so that it ends by `end`
    // (current unit): in the current size when it fits, otherwise in the
    // largest smaller size, down to MinFittedSize points, at which its
    // measured width fits. A text too wide even then goes on at the same x on
    // the following lines, broken between words. The size returns and the
    // line stays open after the text. A text of several lines fits each line
    // so, the lines after the first from the left margin.
    void printFitted(const QString& text, double end);
    static constexpr double MinFittedSize = 5.0;

    // Print statement (see above).
    void print(std::initializer_list<PrintItem> items, LineEnd end = LineEnd::Ends);
    void print(const std::vector<PrintItem>& items, LineEnd end = LineEnd::Ends);
    // An empty line.
    void print() { print(std::vector<PrintItem>{}); }

    // A line from (x1, y1) to (x2, y2); with box, the outline of the
    // rectangle with these corners; with relative, the second point is an
    // offset from the first. The position goes to the second point.
    void line(double x1, double y1, double x2, double y2, bool box = false, bool relative = false);
    // A picture scaled into the box; the position does not move.
    void paintPicture(const QImage& picture, double x, double y, double width, double height);

    void newPage();
    // The height (current unit) that `draw` takes on the page, measured by
    // drawing it: what it draws is taken away again and the position, font
    // and page return, so that a list can start a new page before a record
    // that would not fit.
    double heightOf(const std::function<void()>& draw);
    // Sends the document to the target; nothing happens without output.
    // Throws PrintError (the document is discarded then).
    void endDoc();
    // Discards the document; nothing happens without one.
    void killDoc();
    bool hasDocument() const { return bool(m_doc); }

private:
    double toMm(double v) const { return m_unit == PrintUnit::Centimetres ? v * 10.0 : v; }
    double fromMm(double v) const { return m_unit == PrintUnit::Centimetres ? v / 10.0 : v; }
    const PageGeometry& geometry();
    void beginOutput();
    int fontIndex();
    void writeText(const QString& text);
    void fitTo(const QString& text, double endMm);
    // Where values stop at the right: the printable area's edge, or the edge
    // set with setRightEdge() when that lies further left (millimetres).
    double rightEdge();
    void printItems(const std::vector<PrintItem>& items);
    double naturalWidth(const PrintItem& item) const;
    void endLine();
    void resetState();

    std::shared_ptr<PrintTarget> m_target;
    int m_copies = 1;
    double m_rightEdge = 0;   // millimetres; 0: the printable area's edge
    PrintOrientation m_orientation = PrintOrientation::Portrait;
    PrintUnit m_unit = PrintUnit::Millimetres;
    QString m_name;
    PrintFont m_font;
    int m_lineWidth = 1;
    LineStyle m_lineStyle = LineStyle::Solid;
    double m_x = 0, m_y = 0;    // millimetres
    int m_page = 1;
    bool m_measuring = false;

    bool m_haveGeometry = false;
    PrintOrientation m_geometryFor = PrintOrientation::Portrait;
    PageGeometry m_geometry;

    std::unique_ptr<RecordedDocument> m_doc;
    RecordedPage m_current;
};

// Metrics of a surface font, in millimetres (shared by recording and tests).
namespace PrintMetrics {
double averageCharWidth(const PrintFont& font);
double textWidth(const PrintFont& font, const QString& text);
double lineHeight(const PrintFont& font);
double ascent(const PrintFont& font);
// The face the surface really uses for a font name (after substitution).
QString resolvedFamily(const PrintFont& font);
}

// The number and description of a failure of a print job (a PrintError, a
// DbError or any other exception), for the documents' error messages.
struct ErrorInfo;
ErrorInfo printErrorInfo(const std::exception& error);
