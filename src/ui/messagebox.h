#pragma once

#include "textentry.h"

#include <QString>
#include <optional>

// Message boxes and input boxes of the program.
//
// Texts use the carriage-return character 13 ("\r") as the line break; it is
// shown as a new line. A box given without a title shows the program's title
// "Tarvel". Buttons read "OK", "Cancelar", "Sim", "Não". Boxes are modal to
// the active window.
//
// Tests replace the screen with a BoxHook (tests/support/scriptedboxes.h):
// while a hook is installed no box is ever shown.

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// Shows a message box and returns the button pressed. defaultButton must be
// one of the box's buttons; without it the first button is the default.
// Esc or the close box answer Cancel when the box has it, No on a Yes/No box,
// OK on an OK box.
MsgAnswer MsgBox(const QString& text,
                 MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::None,
                 std::optional<MsgAnswer> defaultButton = std::nullopt,
                 const QString& title = {});

// Asks for a line of text. nullopt: Cancel (or Esc, close box); an empty
// QString: OK on an empty field. `rules` are the typing rules of its field.
std::optional<QString> InputBox(const QString& prompt,
                                const QString& title = {},
                                const QString& defaultText = {},
                                TextEntry::Rules rules = {});

// The program's title, used by untitled boxes.
QString programTitle();

// What a box looked like, as handed to the hook (and logged by tests).
struct ShownBox {
    enum class Kind { Message, Input };
    Kind kind = Kind::Message;
    QString text;             // as given (with "\r" line breaks)
    QString title;            // as shown (the program's title when none was given)
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgAnswer defaultButton = MsgAnswer::Ok;
    QString defaultText;      // input boxes
};

// Test hook: receives every box instead of the screen.
class BoxHook {
public:
    virtual ~BoxHook() = default;
    virtual MsgAnswer messageBox(const ShownBox& box) = 0;
    virtual std::optional<QString> inputBox(const ShownBox& box) = 0;
};

// Installs a hook (nullptr: back to the screen); returns the previous one.
BoxHook* setBoxHook(BoxHook* hook);
