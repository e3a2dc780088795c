#pragma once

#include <QRect>

// Window positions and sizes are given in twips (1/1440 inch); at the
// screen's 96 dots per inch one pixel is 15 twips.
namespace Twips {
constexpr int toPixels(int twips) { return (twips + 7) / 15; }
inline QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
}
