#include "screensize.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace ScreenSize {

namespace {
QSize g_override;
}

QSize physicalPixels() {
    if (g_override.isValid()) return g_override;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QSize logical = screen->geometry().size();
    const qreal ratio = screen->devicePixelRatio();
    return QSize(int(std::lround(logical.width() * ratio)), int(std::lround(logical.height() * ratio)));
}

void setOverride(const QSize& size) { g_override = size; }

}
