#pragma once

#include "ui/messagebox.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

// Scripted message and input boxes for tests (RAII: installs itself as the box
// hook, restores the previous hook when it ends).
//
//   ScriptedBoxes boxes;
//   boxes.answer(MsgAnswer::Yes);                  // next message box
//   boxes.input(QString("BRASTEMP"));              // next input box
//   ... run the window ...
//   EXPECT_EQ(boxes.log().size(), 2);
//   EXPECT_EQ(boxes.log()[0].title, "Encerrar Programa");
//
// A box that comes with no scripted answer is a failure: it is logged,
// counted in failures(), reported with ADD_FAILURE (unless reportFailures is
// false) and answered with its default button (input boxes: Cancel). A script
// left unused when the object ends is reported too.
class ScriptedBoxes : public BoxHook {
public:
    explicit ScriptedBoxes(bool reportFailures = true);
    ~ScriptedBoxes() override;

    // Queue the answer to the next message box; with expectedText, the box's
    // text must contain it (checked with EXPECT).
    ScriptedBoxes& answer(MsgAnswer a, const QString& expectedText = {});
    // Queue the answer to the next input box (nullopt = Cancel).
    ScriptedBoxes& input(std::optional<QString> text, const QString& expectedPrompt = {});
    // Queue an action run when the next message box comes (e.g. to check the
    // state of a window at that moment); it returns the answer.
    ScriptedBoxes& answerWith(std::function<MsgAnswer(const ShownBox&)> act);

    // Every box shown since the object was made, in order.
    const QList<ShownBox>& log() const { return m_log; }
    QStringList texts() const;
    // Boxes that had no scripted answer (or the wrong kind).
    int failures() const { return m_failures; }
    // Scripted answers not yet used.
    int pending() const { return int(m_script.size()); }

    MsgAnswer messageBox(const ShownBox& box) override;
    std::optional<QString> inputBox(const ShownBox& box) override;

private:
    struct Step {
        ShownBox::Kind kind;
        MsgAnswer answer = MsgAnswer::Ok;
        std::optional<QString> text;
        QString expected;
        std::function<MsgAnswer(const ShownBox&)> act;
    };
    void fail(const ShownBox& box, const char* why);
    // Logs a box and takes the next step of the script for it; nullopt (and
    // a failure) when the script has none of the box's kind.
    std::optional<Step> take(const ShownBox& box);

    bool m_report;
    BoxHook* m_previous;
    std::deque<Step> m_script;
    QList<ShownBox> m_log;
    int m_failures = 0;
};
