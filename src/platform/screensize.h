#pragma once

#include <QSize>

// The size of the screen in physical pixels (the device pixels the display
// shows, whatever the desktop's scaling).
namespace ScreenSize {

// The primary screen's size; an empty size when there is no screen.
QSize physicalPixels();
// Tests: an override returned instead of the real screen (an invalid size
// returns to the real one).
void setOverride(const QSize& size);

}
