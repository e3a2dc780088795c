#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QBoxLayout;
class QIcon;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

// The plain widgets the windows make: named (the names tests and the window
// keys find them by), with their text and, for a window placed by hand, their
// place in pixels. Without a place (a null rect) the widget is left to a layout.
namespace Widgets {

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry = {});

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QString& toolTip = {},
                    const QRect& geometry = {});

// A picture button: the picture without a caption, the hint saying what it
// does; 56 x 48 pixels at least.
QPushButton* pictureButton(QWidget* parent, const QString& name, const QIcon& picture, const QString& toolTip);

// The window's "&Fechar" button ("BtFechar", the one Esc presses).
QPushButton* closeButton(QWidget* parent, const QRect& geometry = {});

QLineEdit* lineEdit(QWidget* parent, const QString& name, const QRect& geometry = {});

// The button row of a search dialog, added to `into`: "Iniciar &Pesquisa"
// ("BtIniciar", the dialog's one default button, so Enter starts the search)
// and the "&Fechar" button (Esc). Installs the dialog's keys (WindowKeys).
struct SearchButtons {
    QPushButton* start;
    QPushButton* close;
};
SearchButtons searchButtons(QWidget* dialog, QBoxLayout* into);

// A bar from 0 to 100 standing at 0, without the percentage written on it.
QProgressBar* progressBar(QWidget* parent, const QString& name, const QRect& geometry = {});

// A value shown in a place of its own, a read-only box or a label: when its
// text is wider than the place, the font gets smaller, down to FloorPoints,
// instead of the text running out of sight; a text still too wide there is
// shown shortened (a label ends it with "…", a box shows its start) with the
// whole value as the widget's tip. A text that fits gets the widget's own
// font and tip back. It keeps doing so as the text changes. Call after the
// widget's font and tip are set. A label in a layout takes the place the
// layout gives it and never asks for its text's width; a grid takes no
// minimum width from it either, so its room is set on its column
// (QGridLayout::setColumnMinimumWidth).
inline constexpr double FloorPoints = 5;
void showWhole(QLineEdit* box);
void showWhole(QLabel* label);

// A label or button placed by hand whose text is wider than the room it
// gives: it grows as little as the whole text needs (a centred text both
// ways, a right-aligned one to the left, any other to the right); returns
// the pixels it grew. Call after its text and font are set.
int widenToText(QWidget* w);

// The width of a text box that shows `chars` typed capitals whole.
int boxWidthFor(const QWidget* box, int chars);

// The body of a window that its parent may make smaller than its widgets
// need (a list tiled or cascaded in the main window): the widgets, laid out
// in the body, keep the room their layout asks for, and the window scrolls
// them instead of squeezing one over another. Lay the window's widgets out
// in the body, not in the window.
QWidget* scrollingBody(QWidget* window);

// The colour of the text a box, list or button shows.
void setTextColour(QWidget* w, const QColor& colour);

}
