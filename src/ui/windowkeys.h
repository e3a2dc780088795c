#pragma once

class QWidget;

// Keys of a window (a dialog or a list window):
// - Esc presses the window's button named "BtFechar" (when it is enabled);
// - no push button is a default or auto-default button, so Enter never
//   presses a button by accident, unless allowDefaultButtons is true; Enter
//   on the button that has the focus presses it.
// Call once the window's widgets exist. Buttons added later keep their own
// settings.
namespace WindowKeys {
void install(QWidget* window, bool allowDefaultButtons = false);
}
