#include "moodfaces.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace MoodFaces {

namespace {

constexpr std::array<const char*, Count> Names = {"Tranquilo", "Desconfiado", "Impaciente", "Irritado",
                                                  "Bravo", "Mal Intencionado", "Procon"};

struct Look {
    QColor skin;
    int mouthCurve;     // > 0 smile, < 0 frown, 0 straight
    int browTilt;       // inner brow ends lowered by this many pixels (anger)
    bool sideEyes;      // eyes looking aside (distrust)
    bool openMouth;     // shouting
    bool horns;
};

Look look(int mood) {
    switch (mood) {
    case 0: return {QColor(255, 220, 60), 5, 0, false, false, false};
    case 1: return {QColor(250, 210, 70), 0, 1, true, false, false};
    case 2: return {QColor(250, 190, 60), -2, 1, false, false, false};
    case 3: return {QColor(245, 150, 50), -4, 2, false, false, false};
    case 4: return {QColor(235, 90, 40), -5, 3, false, true, false};
    case 5: return {QColor(150, 90, 180), 3, 3, true, false, false};
    default: return {QColor(210, 30, 30), -3, 3, false, true, true};
    }
}

} // namespace

QString name(int mood) {
    if (mood < 0 || mood >= Count) return {};
    return QString::fromUtf8(Names[std::size_t(mood)]);
}

QPixmap face(int mood) {
    if (mood < 0 || mood >= Count) return {};
    const Look l = look(mood);
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(Qt::black, 1.2);

    if (l.horns) {
        p.setPen(outline);
        p.setBrush(QColor(120, 0, 0));
        QPainterPath left, right;
        left.moveTo(7, 10);
        left.lineTo(4, 1);
        left.lineTo(12, 6);
        left.closeSubpath();
        right.moveTo(25, 10);
        right.lineTo(28, 1);
        right.lineTo(20, 6);
        right.closeSubpath();
        p.drawPath(left);
        p.drawPath(right);
    }
    p.setPen(outline);
    p.setBrush(l.skin);
    p.drawEllipse(QRectF(3, 4, 26, 26));

    // Eyes.
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    const qreal pupilShift = l.sideEyes ? 1.5 : 0;
    if (l.sideEyes) {
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(9, 12, 5, 3.5));
        p.drawEllipse(QRectF(18, 12, 5, 3.5));
        p.setBrush(Qt::black);
    }
    p.drawEllipse(QRectF(10 + pupilShift, 12.2, 2.8, 2.8));
    p.drawEllipse(QRectF(19 + pupilShift, 12.2, 2.8, 2.8));

    // Brows: lowered towards the nose with anger.
    if (l.browTilt > 0) {
        p.setPen(QPen(Qt::black, 1.6));
        p.drawLine(QPointF(8, 9), QPointF(14, 9 + l.browTilt));
        p.drawLine(QPointF(24, 9), QPointF(18, 9 + l.browTilt));
    }

    // Mouth.
    p.setPen(QPen(Qt::black, 1.6));
    p.setBrush(Qt::NoBrush);
    if (l.openMouth) {
        p.setBrush(QColor(90, 0, 0));
        p.drawEllipse(QRectF(12, 21, 8, 5));
    } else if (l.mouthCurve == 0) {
        p.drawLine(QPointF(11, 23), QPointF(21, 23));
    } else {
        QPainterPath mouth;
        const qreal y = l.mouthCurve > 0 ? 21 : 25;
        mouth.moveTo(10, y);
        mouth.quadTo(16, y + 2 * l.mouthCurve * 0.6, 22, y);
        p.drawPath(mouth);
    }
    p.end();
    return pm;
}

}
