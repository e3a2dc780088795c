#pragma once

#include <QColor>
#include <QFlags>
#include <QPalette>
#include <QString>

class QWidget;
class QLabel;

// Typing rules attached to a QLineEdit, QTextEdit or QPlainTextEdit.
//
// The rules act on what the operator types, pastes (Ctrl+V, Shift+Insert, the
// context menu, the middle button, drag and drop) or enters through an input
// method. They never touch text that the program sets (setText and friends).
namespace TextEntry {

enum Rule : unsigned {
    UpperCase      = 0x01,  // typed letters become capitals (accents kept: ç -> Ç)
    NoApostrophe   = 0x02,  // the apostrophe (character 39) is refused
    EnterMovesNext = 0x04,  // Enter is swallowed and moves the focus to the next field
    SwallowEnter   = 0x08,  // Enter is swallowed and does nothing
    DateTimeKeys   = 0x10,  // F5 inserts " (dd/MM/yyyy)", F6 " (HH:mm:ss)" at the caret
    DigitsOnly     = 0x20,  // only the digits 0-9
    Money          = 0x40,  // digits and one decimal comma ("25,5"); a typed "." becomes ",";
                            // a text box left holding a lone ",", however it came to be, reads "0,"
    SelectAllOnFocus = 0x80 // the whole text is selected when the field gets the focus
};
Q_DECLARE_FLAGS(Rules, Rule)

// The usual rules of a text field: capitals, no apostrophe, Enter moves on.
inline constexpr Rules Standard = Rules(UpperCase) | NoApostrophe | EnterMovesNext;

// Attaches rules to a field (replacing earlier ones); keeps its typing limit.
// The line edit of an editable QComboBox is a field too: the rules then
// also apply to what is typed while the list has the focus.
void attach(QWidget* field, Rules rules);
// The rules attached, 0 when none.
Rules rules(const QWidget* field);

// Typing limit: typing and pasting cannot make the text longer than `limit`
// characters (pasted text is cut to fit). Text set by the program is never
// cut, even when it is longer. 0 removes the limit. Works without rules.
// Use this, not QLineEdit::setMaxLength, on fields that show stored data:
// setMaxLength cuts text set by the program (and a bound field would then
// write the cut text back).
void setTypingLimit(QWidget* field, int limit);
int typingLimit(const QWidget* field);

// Focus colours: set when the field gets the focus, restored on leaving.
struct FocusStyle {
    QColor base;                 // field background; invalid: unchanged
    QColor text;                 // field text colour; invalid: unchanged
    bool bold = false;           // field font bold while focused
    QLabel* label = nullptr;     // a caption that changes with the field
    QColor labelText;            // its text colour while the field has the focus
};
// The system's tool-tip background (the usual focused-field colour).
QColor toolTipBase();
void setFocusStyle(QWidget* field, const FocusStyle& style);

// Every text box of the program, with rules or without, takes what is pasted
// or composed into it through the character rule of typed text: no control
// characters (ESC, BEL, TAB, DEL...; line breaks in boxes of several lines),
// no direction controls, no NUL or half character. Installed once, at start.
void guardEveryField();

// Moves the focus to the next field of the window in tab order (what Enter
// does under EnterMovesNext).
void focusNextField(QWidget* from);

}

Q_DECLARE_OPERATORS_FOR_FLAGS(TextEntry::Rules)
