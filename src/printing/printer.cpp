#include "printer.h"

#include "store/currency.h"
#include "ui/errormessage.h"
#include "ui/numbers.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cmath>
#include <dlfcn.h>
#include <optional>

namespace {

// Resolution at which text is measured and PDFs are drawn.
constexpr double MeasureDpi = 1200.0;
constexpr double MmPerInch = 25.4;
// Line widths are given in pixels of a 600-dot printer.
constexpr double LineDotsPerInch = 600.0;
// The margins of the PDF paper.
constexpr double PdfMargin = 5.0;

QFont makeFont(const PrintFont& f) {
    QFont q(f.name);
    q.setPointSizeF(f.size > 0 ? f.size : 1.0);
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    q.setKerning(false);
    q.setHintingPreference(QFont::PreferNoHinting);
    q.setStyleStrategy(QFont::ForceOutline);
    return q;
}

// The device text is measured on: an image that reports MeasureDpi.
QPaintDevice* measureDevice() {
    static QImage device = [] {
        QImage img(1, 1, QImage::Format_Mono);
        const int dpm = int(std::lround(MeasureDpi / MmPerInch * 1000.0));
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    return &device;
}

struct FontMetrics {
    QFont font;
    QFontMetricsF fm;
    double avgChar;
    double space;
    double height;
    double ascent;
    explicit FontMetrics(const PrintFont& f)
        : font(makeFont(f)), fm(font, measureDevice()) {
        const double toMm = MmPerInch / MeasureDpi;
        // The average character width of the desktop's fonts: the lower-case
        // letters and the space, weighted by their frequency in text.
        static const int weights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6,  35, 20,
                                        56, 56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2};
        double sum = 166.0 * fm.horizontalAdvance(QLatin1Char(' '));
        for (int i = 0; i < 26; ++i) sum += weights[i] * fm.horizontalAdvance(QChar(u'a' + i));
        avgChar = sum / 1000.0 * toMm;
        space = fm.horizontalAdvance(QLatin1Char(' ')) * toMm;
        height = fm.height() * toMm;
        ascent = fm.ascent() * toMm;
    }
};

QString fontKey(const PrintFont& f) {
    return QStringLiteral("%1|%2|%3%4%5").arg(f.name).arg(f.size).arg(int(f.bold)).arg(int(f.italic)).arg(int(f.underline));
}

const FontMetrics& metrics(const PrintFont& f) {
    static QHash<QString, std::shared_ptr<FontMetrics>> cache;
    static PrintFont lastFont;
    static const FontMetrics* last = nullptr;
    if (last && lastFont == f) return *last;
    const QString key = fontKey(f);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.insert(key, std::make_shared<FontMetrics>(f));
    lastFont = f;
    last = it->get();
    return *last;
}

QString numberText(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return Numbers::plain(v.toDouble());
    default:
        if (v.userType() == qMetaTypeId<Currency>()) return Numbers::plain(v.value<Currency>());
        return QString::number(v.toLongLong());
    }
}

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::Double: case QMetaType::Float:
        return true;
    default:
        return v.userType() == qMetaTypeId<Currency>();
    }
}

bool isEmpty(const QVariant& v) { return !v.isValid() || v.isNull(); }

// Pages in the spool file.
QDataStream& operator<<(QDataStream& s, const RecordedPage& p) {
    s << qint32(p.orientation) << p.printable << quint32(p.fonts.size());
    for (const PrintFont& f : p.fonts) s << f.name << f.size << f.bold << f.italic << f.underline;
    s << quint32(p.ops.size());
    for (const PrintOp& op : p.ops)
        s << quint8(op.kind) << op.x << op.y << op.x2 << op.y2 << op.text << qint32(op.font) << qint32(op.picture)
          << op.width << quint8(op.style);
    return s;
}

QDataStream& operator>>(QDataStream& s, RecordedPage& p) {
    qint32 orientation = 1;
    quint32 n = 0;
    s >> orientation >> p.printable >> n;
    p.orientation = PrintOrientation(orientation);
    p.fonts.resize(n);
    for (PrintFont& f : p.fonts) s >> f.name >> f.size >> f.bold >> f.italic >> f.underline;
    s >> n;
    p.ops.resize(n);
    for (PrintOp& op : p.ops) {
        quint8 kind = 0, style = 0;
        qint32 font = 0, picture = -1;
        s >> kind >> op.x >> op.y >> op.x2 >> op.y2 >> op.text >> font >> picture >> op.width >> style;
        op.kind = PrintOp::Kind(kind);
        op.font = font;
        op.picture = picture;
        op.style = LineStyle(style);
    }
    return s;
}

QPageLayout::Orientation qtOrientation(PrintOrientation o) {
    return o == PrintOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

// ---- Items and formats -------------------------------------------------------

PrintItem Num(const QVariant& value) {
    if (isEmpty(value)) return PrintItem(QString());
    QString digits = numberText(value);
    if (digits.startsWith(QLatin1Char('-'))) return PrintItem(digits + QLatin1Char(' '));
    return PrintItem(QLatin1Char(' ') + digits + QLatin1Char(' '));
}

PrintItem Value(const QVariant& value) {
    if (isEmpty(value)) return PrintItem(QString());
    switch (value.typeId()) {
    case QMetaType::QString: return PrintItem(value.toString());
    case QMetaType::QDate: return PrintItem(Numbers::shortDate(value.toDate()));
    case QMetaType::QTime: return PrintItem(Numbers::timeText(value.toTime()));
    case QMetaType::QDateTime: return PrintItem(Numbers::shortDate(value.toDate()));
    case QMetaType::Bool: return PrintItem(value.toBool() ? QStringLiteral("Verdadeiro") : QStringLiteral("Falso"));
    default:
        if (isNumber(value)) return Num(value);
        return PrintItem(value.toString());
    }
}

namespace Fmt {

QString zeros(const QVariant& value, int digits) {
    if (isEmpty(value)) return {};
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    if (!ok) return value.toString();
    const QString body = QStringLiteral("%1").arg(qAbs(n), digits, 10, QLatin1Char('0'));
    return n < 0 ? QLatin1Char('-') + body : body;
}

QString shortDate(const QVariant& value) {
    if (isEmpty(value)) return {};
    if (value.typeId() == QMetaType::QString) {
        // A date kept as text is formatted when it reads as a date.
        const QString text = value.toString();
        if (const auto d = Numbers::dateValue(text.trimmed())) return Numbers::shortDate(*d);
        return text;
    }
    return Numbers::shortDate(value.toDate());
}

QString shortTime(const QVariant& value) {
    if (isEmpty(value)) return {};
    QTime t;
    if (value.typeId() == QMetaType::QString) {
        const auto parsed = Numbers::timeValue(value.toString().trimmed());
        if (!parsed) return value.toString();
        t = *parsed;
    } else if (value.typeId() == QMetaType::QDateTime) {
        t = value.toDateTime().time();
    } else {
        t = value.toTime();
    }
    return t.isValid() ? t.toString(QStringLiteral("HH:mm")) : QString();
}

QString currency(const QVariant& value) {
    if (isEmpty(value)) return {};
    if (value.userType() == qMetaTypeId<Currency>()) return Numbers::currencyText(value.value<Currency>());
    if (value.typeId() == QMetaType::QString) {
        if (const auto c = Numbers::currencyValue(value.toString())) return Numbers::currencyText(*c);
        return value.toString();
    }
    return Numbers::currencyText(Currency::fromRaw(std::llround(value.toDouble() * Currency::Scale)));
}

}

// ---- Metrics -----------------------------------------------------------------

namespace PrintMetrics {
double averageCharWidth(const PrintFont& font) { return metrics(font).avgChar; }
double textWidth(const PrintFont& font, const QString& text) {
    return metrics(font).fm.horizontalAdvance(text) * MmPerInch / MeasureDpi;
}
double lineHeight(const PrintFont& font) { return metrics(font).height; }
double ascent(const PrintFont& font) { return metrics(font).ascent; }
QString resolvedFamily(const PrintFont& font) { return QFontInfo(metrics(font).font).family(); }
}

// ---- Recorded pages and documents -----------------------------------------

std::vector<const PrintOp*> RecordedPage::texts() const {
    std::vector<const PrintOp*> out;
    for (const PrintOp& op : ops)
        if (op.kind == PrintOp::Kind::Text) out.push_back(&op);
    return out;
}

std::vector<const PrintOp*> RecordedPage::lines() const {
    std::vector<const PrintOp*> out;
    for (const PrintOp& op : ops)
        if (op.kind == PrintOp::Kind::Line) out.push_back(&op);
    return out;
}

const PrintOp* RecordedPage::findText(const QString& text) const {
    for (const PrintOp& op : ops)
        if (op.kind == PrintOp::Kind::Text && op.text == text) return &op;
    return nullptr;
}

QString RecordedPage::allText() const {
    QStringList parts;
    for (const PrintOp& op : ops)
        if (op.kind == PrintOp::Kind::Text) parts << op.text;
    return parts.join(QLatin1Char(' '));
}

struct RecordedDocument::Spool {
    QTemporaryFile file;
    QDataStream out;
};

RecordedDocument::RecordedDocument() = default;
RecordedDocument::~RecordedDocument() = default;

int RecordedDocument::addPicture(const QImage& image) {
    const qint64 key = image.cacheKey();
    for (std::size_t i = 0; i < m_pictureKeys.size(); ++i)
        if (m_pictureKeys[i] == key) return int(i);
    m_pictures.push_back(image);
    m_pictureKeys.push_back(key);
    return int(m_pictures.size() - 1);
}

void RecordedDocument::addPage(RecordedPage&& page) {
    if (!m_spool) {
        m_spool = std::make_unique<Spool>();
        m_spool->file.setFileTemplate(QDir::tempPath() + QStringLiteral("/tarvel-spool-XXXXXX"));
        if (!m_spool->file.open()) {
            m_spool.reset();
            throw PrintError(PrintErrorCode::SpoolFailed,
                             QStringLiteral("Não foi possível criar o arquivo de spool da impressão"));
        }
        m_spool->out.setDevice(&m_spool->file);
    }
    m_spool->out << page;
    if (m_spool->out.status() != QDataStream::Ok)
        throw PrintError(PrintErrorCode::SpoolFailed, QStringLiteral("Não foi possível gravar o arquivo de spool da impressão"));
    ++m_spooled;
}

void RecordedDocument::setLastPage(RecordedPage&& page) {
    m_last = std::move(page);
    m_hasLast = true;
}

qint64 RecordedDocument::spoolBytes() const { return m_spool ? m_spool->file.size() : 0; }

void RecordedDocument::forEachPage(const std::function<void(const RecordedPage&)>& visit) const {
    if (m_spooled > 0) {
        QFile& f = m_spool->file;
        f.flush();
        QFile in(f.fileName());
        if (!in.open(QIODevice::ReadOnly))
            throw PrintError(PrintErrorCode::SpoolFailed, QStringLiteral("Não foi possível ler o arquivo de spool da impressão"));
        QDataStream s(&in);
        for (int i = 0; i < m_spooled; ++i) {
            RecordedPage page;
            s >> page;
            if (s.status() != QDataStream::Ok)
                throw PrintError(PrintErrorCode::SpoolFailed, QStringLiteral("O arquivo de spool da impressão está danificado"));
            visit(page);
        }
    }
    if (m_hasLast) visit(m_last);
}

// ---- Rendering -----------------------------------------------------------------

void renderPage(QPainter& painter, const RecordedPage& page, const RecordedDocument& document, double dotsPerMm) {
    std::vector<QFont> fonts;
    std::vector<double> ascents;
    fonts.reserve(page.fonts.size());
    for (const PrintFont& f : page.fonts) {
        fonts.push_back(makeFont(f));
        ascents.push_back(QFontMetricsF(fonts.back(), painter.device()).ascent());
    }
    int currentFont = -1;
    painter.setPen(Qt::black);
    for (const PrintOp& op : page.ops) {
        switch (op.kind) {
        case PrintOp::Kind::Text:
            if (op.font != currentFont) {
                painter.setFont(fonts.at(std::size_t(op.font)));
                currentFont = op.font;
            }
            painter.drawText(QPointF(op.x * dotsPerMm, op.y * dotsPerMm + ascents.at(std::size_t(op.font))), op.text);
            break;
        case PrintOp::Kind::Line: {
            QPen pen(Qt::black);
            pen.setWidthF(std::max(1.0, op.width * dotsPerMm));
            pen.setCapStyle(Qt::FlatCap);
            pen.setStyle(op.style == LineStyle::DashDot ? Qt::DashDotLine : Qt::SolidLine);
            painter.setPen(pen);
            painter.drawLine(QPointF(op.x * dotsPerMm, op.y * dotsPerMm), QPointF(op.x2 * dotsPerMm, op.y2 * dotsPerMm));
            painter.setPen(Qt::black);
            break;
        }
        case PrintOp::Kind::Picture:
            if (op.picture >= 0 && op.picture < document.pictureCount())
                painter.drawImage(QRectF(op.x * dotsPerMm, op.y * dotsPerMm, (op.x2 - op.x) * dotsPerMm,
                                         (op.y2 - op.y) * dotsPerMm),
                                  document.picture(op.picture));
            break;
        }
    }
}

// ---- Targets -------------------------------------------------------------------

namespace {

// The print server's answer to the last request of this thread: Qt hands
// the job to CUPS without looking at the answer, so a queue that refuses
// jobs would go unnoticed. Read from the CUPS library Qt's print support
// already loaded; nothing when it is not loaded.
std::optional<PrintError> lastServerRefusal() {
    void* lib = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!lib) return std::nullopt;
    using Status = int (*)();
    using Text = const char* (*)();
    const auto status = reinterpret_cast<Status>(dlsym(lib, "cupsLastError"));
    const auto text = reinterpret_cast<Text>(dlsym(lib, "cupsLastErrorString"));
    std::optional<PrintError> refusal;
    // IPP status codes from 0x0400 on are errors.
    if (status && status() >= 0x0400) {
        const QString why = text && text() ? QString::fromLocal8Bit(text()) : QString();
        refusal = PrintError(PrintErrorCode::PrinterFailed,
                             QStringLiteral("A impressora não aceitou o documento (%1)").arg(why));
    }
    dlclose(lib);
    return refusal;
}

QPrinterInfo defaultPrinterOrThrow() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw PrintError(PrintErrorCode::NoPrinter, QStringLiteral("Nenhuma impressora padrão está instalada"));
    return info;
}

}

PageGeometry PrinterTarget::geometry(PrintOrientation orientation) {
    QPrinter printer(defaultPrinterOrThrow(), QPrinter::HighResolution);
    printer.setPageOrientation(qtOrientation(orientation));
    const QPageLayout layout = printer.pageLayout();
    return {layout.fullRect(QPageLayout::Millimeter).size(), layout.paintRect(QPageLayout::Millimeter)};
}

void PrinterTarget::deliver(const RecordedDocument& document) {
    const QPrinterInfo info = defaultPrinterOrThrow();
    if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted)
        throw PrintError(PrintErrorCode::PrinterFailed,
                         QStringLiteral("A impressora \"%1\" está parada e não aceita documentos").arg(info.printerName()));
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(document.name.isEmpty() ? QStringLiteral("Tarvel") : document.name);
    printer.setCreator(QStringLiteral("Tarvel"));
    printer.setCopyCount(std::max(1, document.copies));
    printer.setFullPage(false);
    QPainter painter;
    bool first = true;
    const double dotsPerMm = printer.resolution() / MmPerInch;
    document.forEachPage([&](const RecordedPage& page) {
        printer.setPageOrientation(qtOrientation(page.orientation));
        if (first) {
            if (!painter.begin(&printer))
                throw PrintError(PrintErrorCode::PrinterFailed,
                                 QStringLiteral("A impressora \"%1\" não aceitou o documento").arg(info.printerName()));
            first = false;
        } else if (!printer.newPage()) {
            throw PrintError(PrintErrorCode::PrinterFailed, QStringLiteral("A impressora interrompeu o documento"));
        }
        renderPage(painter, page, document, dotsPerMm);
    });
    if (first) return;
    if (!painter.end() || printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        throw PrintError(PrintErrorCode::PrinterFailed,
                         QStringLiteral("A impressora \"%1\" não aceitou o documento").arg(info.printerName()));
    if (std::optional<PrintError> refusal = lastServerRefusal()) throw *refusal;
}

PageGeometry PdfTarget::a4(PrintOrientation orientation) {
    QSizeF paper(210, 297);
    if (orientation == PrintOrientation::Landscape) paper.transpose();
    return {paper, QRectF(PdfMargin, PdfMargin, paper.width() - 2 * PdfMargin, paper.height() - 2 * PdfMargin)};
}

PageGeometry PdfTarget::geometry(PrintOrientation orientation) { return a4(orientation); }

void PdfTarget::write(const RecordedDocument& document, const QString& path) {
    QPdfWriter writer(path);
    writer.setResolution(int(MeasureDpi));
    writer.setCreator(QStringLiteral("Tarvel"));
    writer.setTitle(document.name);
    const auto layoutFor = [](const RecordedPage& page) {
        return QPageLayout(QPageSize(QPageSize::A4), qtOrientation(page.orientation),
                           QMarginsF(PdfMargin, PdfMargin, PdfMargin, PdfMargin), QPageLayout::Millimeter);
    };
    QPainter painter;
    bool first = true;
    document.forEachPage([&](const RecordedPage& page) {
        writer.setPageLayout(layoutFor(page));
        if (first) {
            if (!painter.begin(&writer))
                throw PrintError(PrintErrorCode::OutputFailed,
                                 QStringLiteral("Não foi possível gravar o arquivo \"%1\"").arg(path));
            first = false;
        } else {
            writer.newPage();
        }
        renderPage(painter, page, document, MeasureDpi / MmPerInch);
    });
    if (first) return;
    if (!painter.end() || !QFileInfo(path).size())
        throw PrintError(PrintErrorCode::OutputFailed, QStringLiteral("Não foi possível gravar o arquivo \"%1\"").arg(path));
}

void PdfTarget::deliver(const RecordedDocument& document) {
    const QString path = m_path.contains(QLatin1String("%1")) ? m_path.arg(m_files.size() + 1) : m_path;
    write(document, path);
    m_files << path;
}

PageGeometry RecordingTarget::geometry(PrintOrientation orientation) {
    if (failing()) throw PrintError(m_failNumber, m_failText);
    PageGeometry g = PdfTarget::a4(orientation);
    QSizeF printable = m_printable;
    if (orientation == PrintOrientation::Landscape) printable.transpose();
    g.printable.setSize(printable);
    return g;
}

void RecordingTarget::deliver(const RecordedDocument& document) {
    if (failing()) throw PrintError(m_failNumber, m_failText);
    Document d;
    d.name = document.name;
    d.copies = document.copies;
    document.forEachPage([&](const RecordedPage& page) { d.pages.push_back(page); });
    if (!m_pdfPattern.isEmpty()) PdfTarget::write(document, m_pdfPattern.arg(documents.size() + 1));
    documents.push_back(std::move(d));
}

namespace Printing {

namespace {
std::shared_ptr<PrintTarget>& current() {
    static std::shared_ptr<PrintTarget> target;
    return target;
}
}

std::shared_ptr<PrintTarget> defaultTarget() {
    if (!current()) current() = std::make_shared<PrinterTarget>();
    return current();
}

std::shared_ptr<PrintTarget> setDefaultTarget(std::shared_ptr<PrintTarget> target) {
    std::shared_ptr<PrintTarget> previous = current();
    current() = std::move(target);
    return previous;
}

}

// ---- The surface ---------------------------------------------------------------

Printer::Printer(std::shared_ptr<PrintTarget> target) : m_target(std::move(target)) {
    if (!m_target) m_target = Printing::defaultTarget();
}

Printer::~Printer() = default;

void Printer::setOrientation(PrintOrientation orientation) {
    m_orientation = orientation;
    // A page not yet drawn on takes the new orientation at once.
    if (m_doc && m_current.ops.empty()) {
        m_current.orientation = orientation;
        m_current.printable = geometry().printable.size();
    }
}

const PageGeometry& Printer::geometry() {
    if (!m_haveGeometry || m_geometryFor != m_orientation) {
        m_geometry = m_target->geometry(m_orientation);
        m_geometryFor = m_orientation;
        m_haveGeometry = true;
    }
    return m_geometry;
}

double Printer::printableWidth() { return fromMm(geometry().printable.width()); }
double Printer::printableHeight() { return fromMm(geometry().printable.height()); }

double Printer::textWidth(const QString& text) const { return fromMm(PrintMetrics::textWidth(m_font, text)); }
double Printer::lineHeight() const { return fromMm(PrintMetrics::lineHeight(m_font)); }
double Printer::columnWidth() const { return fromMm(PrintMetrics::averageCharWidth(m_font)); }

void Printer::printFitted(const QString& text, double end) { fitTo(text, toMm(end)); }

void Printer::fitTo(const QString& text, double endMm) {
    if (text.isEmpty()) return;
    // Each line of a text of several lines (a defect typed on two lines)
    // fits on its own, the next from the left margin.
    const qsizetype lineBreak = text.indexOf(QLatin1Char('\n'));
    if (lineBreak >= 0) {
        QString first = text.left(lineBreak);
        if (first.endsWith(QLatin1Char('\r'))) first.chop(1);
        fitTo(first, endMm);
        endLine();
        fitTo(text.mid(lineBreak + 1), endMm);
        return;
    }
    const double room = endMm - m_x;
    const double size = m_font.size;
    // Sizes in tenths of a point, each measured as it will be drawn.
    const auto widthAt = [this, &text](double points) {
        PrintFont f = m_font;
        f.size = points;
        return PrintMetrics::textWidth(f, text);
    };
    double fit = size;
    const double width = widthAt(size);
    if (width > room) {
        fit = std::max(MinFittedSize, std::floor(size * std::max(0.0, room) / width * 10.0) / 10.0);
        while (fit > MinFittedSize && widthAt(fit) > room) fit = std::max(MinFittedSize, fit - 0.1);
    }
    const double ascent = PrintMetrics::ascent(m_font);
    m_font.size = fit;
    if (widthAt(fit) <= room) {
        // On the line's baseline, as the texts beside it.
        const double drop = ascent - PrintMetrics::ascent(m_font);
        m_y += drop;
        writeText(text);
        m_y -= drop;
    } else {
        // Too wide even in the smallest size: whole words line by line.
        const double left = m_x;
        QString line;
        for (const QString& word : text.split(QLatin1Char(' '))) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && PrintMetrics::textWidth(m_font, longer) > room) {
                writeText(line);
                endLine();
                m_x = left;
                line = word;
            } else {
                line = longer;
            }
        }
        writeText(line);
    }
    m_font.size = size;
}

double Printer::rightEdge() {
    const double edge = geometry().printable.width();
    return m_rightEdge > 0 ? std::min(edge, m_rightEdge) : edge;
}

void Printer::beginOutput() {
    if (m_doc) return;
    // Asking the target first (once per document): without a printer
    // nothing is begun.
    const PageGeometry& g = geometry();
    m_doc = std::make_unique<RecordedDocument>();
    m_doc->name = m_name;
    m_doc->copies = m_copies;
    m_current = RecordedPage();
    m_current.orientation = m_orientation;
    m_current.printable = g.printable.size();
    m_page = 1;
}

int Printer::fontIndex() {
    for (std::size_t i = 0; i < m_current.fonts.size(); ++i)
        if (m_current.fonts[i] == m_font) return int(i);
    m_current.fonts.push_back(m_font);
    return int(m_current.fonts.size() - 1);
}

void Printer::endLine() {
    m_y += PrintMetrics::lineHeight(m_font);
    m_x = 0;
}

void Printer::writeText(const QString& text) {
    if (text.isEmpty()) return;
    // A text of several lines (a defect typed on two lines) goes on as the
    // printed lines below, each from the left margin.
    const qsizetype lineBreak = text.indexOf(QLatin1Char('\n'));
    if (lineBreak >= 0) {
        QString first = text.left(lineBreak);
        if (first.endsWith(QLatin1Char('\r'))) first.chop(1);
        writeText(first);
        endLine();
        writeText(text.mid(lineBreak + 1));
        return;
    }
    beginOutput();
    // Text that would pass the bottom of the page starts a new one (not
    // while a record is only being measured).
    if (!m_measuring && m_y + PrintMetrics::lineHeight(m_font) > m_current.printable.height() + 0.01 &&
        !m_current.ops.empty()) {
        const double x = m_x;
        newPage();
        m_x = x;
    }
    PrintOp op;
    op.kind = PrintOp::Kind::Text;
    op.x = m_x;
    op.y = m_y;
    op.text = text;
    op.font = fontIndex();
    m_current.ops.push_back(std::move(op));
    m_x += PrintMetrics::textWidth(m_font, text);
}

void Printer::print(std::initializer_list<PrintItem> items, LineEnd end) {
    print(std::vector<PrintItem>(items), end);
}

double Printer::naturalWidth(const PrintItem& item) const {
    switch (item.kind()) {
    case PrintItem::Kind::Space: return std::max(0, item.count()) * metrics(m_font).space;
    case PrintItem::Kind::Tab: return 0;
    default: {
        double widest = 0;
        for (const QString& line : item.text().split(QLatin1Char('\n')))
            widest = std::max(widest, PrintMetrics::textWidth(m_font, line));
        return widest;
    }
    }
}

void Printer::printItems(const std::vector<PrintItem>& items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PrintItem& item = items[i];
        switch (item.kind()) {
        case PrintItem::Kind::Tab: {
            const double column = std::max(0, item.count() - 1) * PrintMetrics::averageCharWidth(m_font);
            if (m_x > column + 1e-6) endLine();
            m_x = column;
            break;
        }
        case PrintItem::Kind::Space:
            // Underlined blanks are written, so the underline runs through them.
            if (m_font.underline && item.count() > 0) writeText(QString(item.count(), QLatin1Char(' ')));
            else m_x += std::max(0, item.count()) * metrics(m_font).space;
            break;
        case PrintItem::Kind::Text:
            writeText(item.text());
            break;
        case PrintItem::Kind::Fitted: {
            // The value's stretch of the line runs to the next Tab, which
            // ends the line first when the stretch passes it; so the stretch
            // only has to stay inside the right edge.
            std::size_t next = i;
            while (next < items.size() && items[next].kind() != PrintItem::Kind::Tab) ++next;
            const double end = rightEdge();
            double fixed = 0, values = 0;
            for (std::size_t j = i; j < next; ++j)
                (items[j].kind() == PrintItem::Kind::Fitted ? values : fixed) += naturalWidth(items[j]);
            if (m_x + fixed + values <= end + 1e-6) {
                writeText(item.text());
                break;
            }
            // The values share what the fixed texts leave, each in proportion
            // to its width.
            const double share = values > 0 ? std::max(0.0, end - m_x - fixed) / values : 0.0;
            for (std::size_t j = i; j < next; ++j) {
                if (items[j].kind() == PrintItem::Kind::Fitted) fitTo(items[j].text(), m_x + naturalWidth(items[j]) * share);
                else printItems({items[j]});
            }
            i = next - 1;
            break;
        }
        }
    }
}

void Printer::print(const std::vector<PrintItem>& items, LineEnd end) {
    printItems(items);
    if (end == LineEnd::Ends) endLine();
}

void Printer::line(double x1, double y1, double x2, double y2, bool box, bool relative) {
    beginOutput();
    x1 = toMm(x1);
    y1 = toMm(y1);
    x2 = toMm(x2);
    y2 = toMm(y2);
    if (relative) {
        x2 += x1;
        y2 += y1;
    }
    const auto add = [this](double ax, double ay, double bx, double by) {
        PrintOp op;
        op.kind = PrintOp::Kind::Line;
        op.x = ax;
        op.y = ay;
        op.x2 = bx;
        op.y2 = by;
        op.width = m_lineWidth * MmPerInch / LineDotsPerInch;
        op.style = m_lineStyle;
        m_current.ops.push_back(op);
    };
    if (box) {
        add(x1, y1, x2, y1);
        add(x2, y1, x2, y2);
        add(x2, y2, x1, y2);
        add(x1, y2, x1, y1);
    } else {
        add(x1, y1, x2, y2);
    }
    m_x = x2;
    m_y = y2;
}

void Printer::paintPicture(const QImage& picture, double x, double y, double width, double height) {
    beginOutput();
    PrintOp op;
    op.kind = PrintOp::Kind::Picture;
    op.x = toMm(x);
    op.y = toMm(y);
    op.x2 = op.x + toMm(width);
    op.y2 = op.y + toMm(height);
    op.picture = picture.isNull() ? -1 : m_doc->addPicture(picture);
    m_current.ops.push_back(op);
}

double Printer::heightOf(const std::function<void()>& draw) {
    beginOutput();
    struct Saved {
        Printer& p;
        double x, y;
        PrintFont font;
        int lineWidth;
        LineStyle style;
        std::size_t ops, fonts;
        bool measuring;
        ~Saved() {
            p.m_x = x;
            p.m_y = y;
            p.m_font = font;
            p.m_lineWidth = lineWidth;
            p.m_lineStyle = style;
            p.m_current.ops.resize(ops);
            p.m_current.fonts.resize(fonts);
            p.m_measuring = measuring;
        }
    } saved{*this, m_x, m_y, m_font, m_lineWidth, m_lineStyle, m_current.ops.size(), m_current.fonts.size(), m_measuring};
    m_measuring = true;
    draw();
    return fromMm(m_y - saved.y);
}

void Printer::newPage() {
    beginOutput();
    m_doc->addPage(std::move(m_current));
    m_current = RecordedPage();
    m_current.orientation = m_orientation;
    m_current.printable = geometry().printable.size();
    ++m_page;
    m_x = 0;
    m_y = 0;
}

void Printer::resetState() {
    // The next document asks the target again.
    m_haveGeometry = false;
    m_font = PrintFont();
    m_x = 0;
    m_y = 0;
    m_page = 1;
    m_lineWidth = 1;
    m_lineStyle = LineStyle::Solid;
    m_rightEdge = 0;
    m_name.clear();
    m_current = RecordedPage();
}

void Printer::endDoc() {
    if (!m_doc) {
        resetState();
        return;
    }
    std::unique_ptr<RecordedDocument> doc = std::move(m_doc);
    doc->setLastPage(std::move(m_current));
    resetState();
    m_target->deliver(*doc);
}

void Printer::killDoc() {
    m_doc.reset();
    resetState();
}

ErrorInfo printErrorInfo(const std::exception& error) {
    if (const auto* p = dynamic_cast<const PrintError*>(&error))
        return ErrorInfo{p->number(), p->description(), QStringLiteral("Impressora")};
    return ErrorInfo::from(error);
}
