#include "printjob.h"

#include "app/frmmdi.h"
#include "store/clock.h"
#include "store/programfolder.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/numbers.h"

#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace PrintJob {

void pageSetUp(Printer& printer, PrintOrientation orientation, PrintUnit unit, const QString& fontName,
               std::optional<int> lineWidth) {
    printer.setCopies(1);
    printer.setOrientation(orientation);
    printer.setUnit(unit);
    printer.setFontName(fontName);
    if (lineWidth) printer.setLineWidth(*lineWidth);
}

QImage builtInPicture() {
    // A sheet of paper with a few lines, 32 x 32.
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.setBrush(QColor(235, 240, 250));
    p.drawRect(7, 3, 18, 26);
    p.setPen(QPen(QColor(0, 0, 128), 1));
    for (int y = 9; y <= 23; y += 4) p.drawLine(10, y, 22, y);
    return img;
}

QImage loadLogo(const QImage& fallback) {
    const QString file = ProgramFolder::file(QStringLiteral("logo.bmp"));
    QImage logo;
    if (QFileInfo::exists(file) && logo.load(file) && !logo.isNull()) return logo;
    return fallback;
}

void showPicture(QLabel* holder, const QImage& picture) {
    holder->setPixmap(QPixmap::fromImage(picture).scaled(holder->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void listPageTop(Printer& printer, const QImage& logo, const QString& nomeFantasia, double titleSize,
                 const QString& title, bool shortTime) {
    printer.paintPicture(logo, 1, 0.5, 2.7, 1.2);
    printer.setY(2);
    const QString heading = QStringLiteral("=== ") + title + QStringLiteral(" ===");
    // The shop's name leaves the title room on its line, at the smallest size
    // a fitted text takes (and a blank more): a name too long for the line
    // must not push the title past the page.
    printer.setFontSize(titleSize);
    double titleRoom = 2 * printer.columnWidth();
    printer.setFontSize(Printer::MinFittedSize);
    titleRoom += printer.textWidth(heading) + printer.columnWidth();
    const double nameEnd = std::max(printer.printableWidth() - titleRoom, printer.printableWidth() / 2);
    printer.setFontSize(18);
    printer.print({Tab(2)}, LineEnd::Open);
    printer.printFitted(nomeFantasia, nameEnd);
    printer.setFontSize(titleSize);
    // A long title prints whole, smaller, inside the page.
    printer.print({Spc(2), Fit(heading)});
    printer.setFontSize(10);
    printer.print();
    printer.setUnderline(true);
    const QDateTime now = Clock::now();
    const QString time = shortTime ? Fmt::shortTime(now.time()) : Numbers::timeText(now.time());
    printer.print({Spc(3), "Emissão", Spc(2), Numbers::shortDate(now.date()), Spc(2), time, Spc(2), "Página: ",
                   Num(printer.page())});
    printer.setUnderline(false);
}

void printRecord(Printer& printer, int& count, int perPage, const std::function<void()>& record,
                 const std::function<void()>& header) {
    if (++count == perPage || printer.y() + printer.heightOf(record) > printer.printableHeight() + 1e-6) {
        printer.newPage();
        header();
        count = 0;
    }
    record();
}

void showSent(const QString& title) {
    MsgBox(QStringLiteral("Os Dados foram enviados para a Impressora. Aguarde!"), MsgButtons::Ok, MsgIcon::Information,
           MsgAnswer::Ok, title);
}

QString failureText(const QString& firstLine, const QStringList& moreLines, const std::exception& error) {
    QStringList lines{firstLine, QStringLiteral("Verifique se a impressora está ligada e funcionando corretamente!")};
    lines << moreLines;
    return errorText(lines, printErrorInfo(error), QStringLiteral("%2__%1"));
}

void showFailure(const QString& firstLine, const QStringList& moreLines, const std::exception& error,
                 const QString& title) {
    MsgBox(failureText(firstLine, moreLines, error), MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, title);
}

QString productName() { return QStringLiteral("Tarvel"); }
int versionMajor() { return TARVEL_VERSION_MAJOR; }
int versionMinor() { return TARVEL_VERSION_MINOR; }
QString webAddress() { return FrmMdi::webAddress(); }

}
