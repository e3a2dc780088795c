#include "deliveredfiles.h"

#include "programfolder.h"
#include "schema.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {

QImage logo() {
    QImage img(240, 120, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 6));
    p.setBrush(QColor(220, 230, 250));
    p.drawEllipse(QPointF(60, 60), 44, 44);
    // A wrench across the circle.
    p.setPen(QPen(QColor(0, 0, 128), 10, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(38, 82), QPointF(78, 42));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 128), 8));
    p.drawArc(QRectF(70, 26, 26, 26), 200 * 16, 250 * 16);
    QFont f(QStringLiteral("DejaVu Sans"), 22, QFont::Bold);
    p.setFont(f);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRectF(110, 30, 130, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tarvel"));
    f.setPointSize(9);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRectF(110, 66, 130, 30), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Assistência Técnica"));
    return img;
}

QImage background(int n) {
    static const QColor tops[] = {QColor(24, 54, 110), QColor(20, 90, 80), QColor(90, 40, 80), QColor(60, 60, 60)};
    static const QColor bottoms[] = {QColor(120, 170, 220), QColor(150, 210, 170), QColor(230, 170, 120),
                                     QColor(190, 190, 200)};
    const int i = (n - 1) % 4;
    QImage img(1024, 768, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, img.height());
    g.setColorAt(0, tops[i]);
    g.setColorAt(1, bottoms[i]);
    p.fillRect(img.rect(), g);
    // Soft circles, placed differently in each picture.
    for (int k = 0; k < 7; ++k) {
        const QPointF c((k * 173 + n * 251) % img.width(), (k * 97 + n * 131) % img.height());
        const qreal r = 80 + (k * 37 + n * 11) % 160;
        QRadialGradient rg(c, r);
        rg.setColorAt(0, QColor(255, 255, 255, 60));
        rg.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(rg);
        p.drawEllipse(c, r, r);
    }
    return img;
}

} // namespace

namespace DeliveredFiles {

QStringList create(const QString& folder) {
    QDir dir(folder);
    dir.mkpath(QStringLiteral("."));
    QStringList made;
    const QString db = dir.filePath(QString::fromUtf8(DatabaseFileName));
    if (!QFileInfo::exists(db)) {
        Schema::createDatabaseFile(db);
        made << db;
    }
    const QString logoPath = dir.filePath(QStringLiteral("logo.bmp"));
    if (!QFileInfo::exists(logoPath) && logo().save(logoPath, "BMP")) made << logoPath;
    dir.mkpath(QStringLiteral("Imagens"));
    for (int n = 1; n <= 4; ++n) {
        const QString pic = dir.filePath(QStringLiteral("Imagens/Imagem Fundo (%1).jpg").arg(n));
        if (!QFileInfo::exists(pic) && background(n).save(pic, "JPG", 85)) made << pic;
    }
    return made;
}

}
