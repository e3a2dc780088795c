#include "appicons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace AppIcons {

namespace {

constexpr int Size = 64;   // drawn large, scaled down by the toolbar

// A transparent square picture of the given size, painted on a 64 x 64 grid.
QPixmap drawn(int size, void (*paint)(QPainter&)) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    paint(p);
    return pm;
}

void person(QPainter& p) {
    QLinearGradient body(0, 34, 0, 62);
    body.setColorAt(0, QColor(70, 120, 200));
    body.setColorAt(1, QColor(30, 60, 130));
    p.setPen(QPen(QColor(20, 40, 90), 2));
    p.setBrush(body);
    QPainterPath shoulders;
    shoulders.moveTo(8, 60);
    shoulders.cubicTo(8, 40, 20, 36, 32, 36);
    shoulders.cubicTo(44, 36, 56, 40, 56, 60);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
    QRadialGradient head(28, 18, 16);
    head.setColorAt(0, QColor(255, 224, 190));
    head.setColorAt(1, QColor(220, 170, 130));
    p.setBrush(head);
    p.setPen(QPen(QColor(120, 80, 50), 2));
    p.drawEllipse(QPointF(32, 20), 12, 13);
}

void receipt(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(QColor(255, 255, 240));
    p.drawPolygon(QPolygonF({QPointF(12, 4), QPointF(42, 4), QPointF(54, 16), QPointF(54, 60), QPointF(12, 60)}));
    p.setBrush(QColor(220, 220, 200));
    p.drawPolygon(QPolygonF({QPointF(42, 4), QPointF(42, 16), QPointF(54, 16)}));
    p.setPen(QPen(QColor(40, 120, 60), 3, Qt::SolidLine, Qt::RoundCap));
    for (int y = 24; y <= 48; y += 8) p.drawLine(QPointF(18, y), QPointF(y == 48 ? 34 : 48, y));
}

void wrench(QPainter& p) {
    p.translate(32, 32);
    p.rotate(-45);
    QLinearGradient metal(-6, 0, 6, 0);
    metal.setColorAt(0, QColor(200, 205, 215));
    metal.setColorAt(0.5, QColor(150, 155, 170));
    metal.setColorAt(1, QColor(100, 105, 120));
    p.setPen(QPen(QColor(50, 50, 60), 2));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(-6, -8, 12, 36), 5, 5);
    // Open jaw at the top.
    QPainterPath jaw;
    jaw.addEllipse(QPointF(0, -16), 14, 14);
    QPainterPath cut;
    cut.addRect(QRectF(-5, -32, 10, 18));
    p.drawPath(jaw.subtracted(cut));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 120, 30));
    p.drawRoundedRect(QRectF(-5, 8, 10, 18), 4, 4);
}

void deliveredBox(QPainter& p) {
    p.setPen(QPen(QColor(110, 70, 30), 2));
    p.setBrush(QColor(210, 160, 100));
    p.drawRect(QRectF(8, 24, 40, 34));
    p.setBrush(QColor(235, 190, 130));
    p.drawPolygon(QPolygonF({QPointF(8, 24), QPointF(18, 12), QPointF(58, 12), QPointF(48, 24)}));
    p.drawPolygon(QPolygonF({QPointF(48, 24), QPointF(58, 12), QPointF(58, 46), QPointF(48, 58)}));
    p.setPen(QPen(QColor(20, 140, 40), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(16, 40), QPointF(26, 50), QPointF(42, 30)}));
}

void screenSaver(QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(90, 90, 100));
    p.drawRect(QRectF(26, 48, 12, 8));
    p.drawRoundedRect(QRectF(16, 55, 32, 5), 2, 2);
    p.setBrush(QColor(60, 60, 70));
    p.drawRoundedRect(QRectF(4, 6, 56, 42), 4, 4);
    QLinearGradient sky(0, 10, 0, 44);
    sky.setColorAt(0, QColor(10, 20, 70));
    sky.setColorAt(1, QColor(40, 60, 140));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(QRectF(8, 10, 48, 34));
    p.setBrush(QColor(255, 240, 150));
    QPainterPath moon;
    moon.addEllipse(QPointF(38, 24), 9, 9);
    QPainterPath bite;
    bite.addEllipse(QPointF(43, 20), 8, 8);
    p.drawPath(moon.subtracted(bite));
    p.setBrush(Qt::white);
    for (const QPointF& s : {QPointF(16, 16), QPointF(22, 34), QPointF(48, 38), QPointF(14, 28)})
        p.drawEllipse(s, 1.5, 1.5);
}

void exitDoor(QPainter& p) {
    p.setPen(QPen(QColor(70, 40, 20), 2));
    p.setBrush(QColor(150, 90, 50));
    p.drawRect(QRectF(8, 4, 28, 56));
    p.setBrush(QColor(250, 210, 80));
    p.drawEllipse(QPointF(30, 34), 2.5, 2.5);
    p.setPen(QPen(QColor(200, 30, 30), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(30, 32), QPointF(56, 32));
    p.drawPolyline(QPolygonF({QPointF(46, 22), QPointF(57, 32), QPointF(46, 42)}));
}

void drawDisk(QPainter& p) {
    p.setPen(QPen(QColor(20, 30, 60), 2));
    p.setBrush(QColor(40, 70, 150));
    p.drawPolygon(QPolygonF({QPointF(6, 6), QPointF(50, 6), QPointF(58, 14), QPointF(58, 58), QPointF(6, 58)}));
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(16, 6, 28, 18));
    p.setBrush(QColor(40, 70, 150));
    p.drawRect(QRectF(34, 9, 6, 12));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(12, 32, 40, 26));
    p.setPen(QPen(QColor(150, 150, 170), 2));
    for (int y = 40; y <= 52; y += 6) p.drawLine(QPointF(16, y), QPointF(48, y));
}

void lockedDisk(QPainter& p) {
    p.setOpacity(0.6);
    drawDisk(p);
    p.setOpacity(1);
    p.setPen(QPen(QColor(60, 50, 10), 5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(22, 18, 20, 24), 0, 180 * 16);
    p.drawLine(QPointF(22, 30), QPointF(22, 36));
    p.drawLine(QPointF(42, 30), QPointF(42, 36));
    p.setPen(QPen(QColor(60, 50, 10), 2));
    p.setBrush(QColor(230, 180, 30));
    p.drawRoundedRect(QRectF(16, 34, 32, 24), 3, 3);
    p.setBrush(QColor(60, 50, 10));
    p.drawEllipse(QPointF(32, 44), 3, 3);
}

void drawPrinter(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16, 4, 32, 22));
    p.setBrush(QColor(120, 125, 135));
    p.drawRoundedRect(QRectF(4, 22, 56, 26), 5, 5);
    p.setBrush(QColor(70, 200, 90));
    p.drawEllipse(QPointF(50, 30), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(14, 40, 36, 20));
    p.setPen(QPen(QColor(40, 40, 120), 2));
    for (int y = 46; y <= 54; y += 4) p.drawLine(QPointF(18, y), QPointF(46, y));
}

void calendarPage(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(6, 10, 52, 48), 4, 4);
    p.setBrush(QColor(200, 40, 40));
    p.drawRoundedRect(QRectF(6, 10, 52, 14), 4, 4);
    p.setBrush(QColor(90, 90, 100));
    for (int x : {18, 46}) p.drawRoundedRect(QRectF(x - 3, 4, 6, 12), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 130, 150));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 5; ++col) p.drawRect(QRectF(12 + col * 9, 30 + row * 8, 6, 5));
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(12 + 2 * 9, 30 + 8, 6, 5));
}

void calculatorFace(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(QColor(70, 75, 90));
    p.drawRoundedRect(QRectF(12, 4, 40, 56), 5, 5);
    p.setBrush(QColor(200, 225, 190));
    p.drawRect(QRectF(17, 9, 30, 11));
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            p.setBrush(col == 2 ? QColor(230, 140, 40) : QColor(235, 235, 235));
            p.drawRect(QRectF(17 + col * 11, 25 + row * 8.5, 8, 6));
        }
}

void drawScissors(QPainter& p) {
    p.setPen(QPen(Qt::black, 3));
    p.setBrush(Qt::NoBrush);
    // Handles on the left, blades crossing at the pivot towards the right.
    p.drawEllipse(QPointF(12, 18), 8, 7);
    p.drawEllipse(QPointF(12, 46), 8, 7);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({QPointF(19, 21), QPointF(60, 40), QPointF(58, 43), QPointF(17, 25)}));
    p.drawPolygon(QPolygonF({QPointF(19, 43), QPointF(60, 24), QPointF(58, 21), QPointF(17, 39)}));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(32, 32), 2.5, 2.5);
}

} // namespace

QIcon toolbar(const QString& key) {
    void (*paint)(QPainter&) = nullptr;
    if (key == QLatin1String("Clientes")) paint = person;
    else if (key == QLatin1String("Retirada")) paint = receipt;
    else if (key == QLatin1String("Manutencao")) paint = wrench;
    else if (key == QLatin1String("Entregues")) paint = deliveredBox;
    else if (key == QLatin1String("Protecao")) paint = screenSaver;
    else if (key == QLatin1String("Sair")) paint = exitDoor;
    return paint ? QIcon(drawn(Size, paint)) : QIcon();
}

QPixmap backupDisk(int size) { return drawn(size, drawDisk); }

QPixmap lockedDatabase(int size) { return drawn(size, lockedDisk); }

QPixmap printer(int size) { return drawn(size, drawPrinter); }

QPixmap calendar(int size) { return drawn(size, calendarPage); }

QPixmap calculator(int size) { return drawn(size, calculatorFace); }

QImage scissors(int size) {
    QImage img(size, size, QImage::Format_RGB888);
    img.fill(Qt::white);
    QPainter(&img).drawPixmap(0, 0, drawn(size, drawScissors));
    return img;
}

QPixmap builtInBackground(const QSize& size) {
    QPixmap pm(size.isValid() && !size.isEmpty() ? size : QSize(800, 600));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, pm.width(), pm.height());
    g.setColorAt(0, QColor(40, 60, 90));
    g.setColorAt(1, QColor(90, 110, 140));
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 18));
    const int step = 48;
    for (int y = 0; y < pm.height() + step; y += step)
        for (int x = ((y / step) % 2) * step / 2; x < pm.width() + step; x += step)
            p.drawEllipse(QPointF(x, y), 6, 6);
    return pm;
}

}
