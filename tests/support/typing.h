#pragma once

#include <QString>
#include <Qt>

class QWidget;

// Typing into widgets as the operator does. Works with any character,
// accented ones included (QTest::keyClicks cannot send ç or ã).
namespace Typing {

// Gives the widget the focus, then sends each character as a key press and
// release carrying its text.
void type(QWidget* w, const QString& text);
// One key (press and release) with modifiers, e.g. Qt::Key_Return, Qt::Key_F5.
void key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
// Puts text on the clipboard and pastes it with Ctrl+V.
void paste(QWidget* w, const QString& text);
// Commits text through the input method (as a dead-key or IME composition).
void inputMethod(QWidget* w, const QString& text);
// Sets the focus (and activates its window) and processes the events.
void focus(QWidget* w);

}
