#include "operatorgate.h"

#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowkeys.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPolygonF>

namespace {

// The gate's picture: a key.
QPixmap keyPicture() {
    QPixmap pm(48, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor gold(0xC8, 0x9B, 0x2A);
    p.setPen(QPen(gold.darker(150), 2));
    p.setBrush(gold);
    p.drawEllipse(QRectF(4, 4, 20, 20));
    p.drawPolygon(QPolygonF{{20, 20}, {42, 42}, {38, 44}, {36, 40}, {33, 41}, {31, 37}, {17, 23}});
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(9, 9, 7, 7));
    return pm;
}

} // namespace

OperatorGate::OperatorGate(const QString& caption, const OperatorCheckConfig& row, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(caption);
    setModal(true);
    setFixedSize(Twips::toPixels(4200), Twips::toPixels(1500));

    Image1 = Widgets::label(this, QStringLiteral("Image1"), {}, Twips::rect(180, 180, 720, 720));
    Image1->setPixmap(keyPicture());

    buildOperatorControls(this,
                          {this, Twips::rect(1080, 300, 2940, 360), Twips::rect(1080, 840, 1380, 420),
                           Twips::rect(2640, 840, 1380, 420), QStringLiteral("Confirmar"), QStringLiteral("Fechar")},
                          row);
    WindowKeys::install(this);

    Form_Load();
    TxtOperador->setFocus();
}

void OperatorGate::Form_Load() { openOperatorCursor(); }

void OperatorGate::BtFechar_Click() { reject(); }
