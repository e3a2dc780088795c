#include "scriptedboxes.h"

#include <gtest/gtest.h>

namespace {

const char* kindName(ShownBox::Kind k) { return k == ShownBox::Kind::Message ? "message box" : "input box"; }

} // namespace

ScriptedBoxes::ScriptedBoxes(bool reportFailures)
    : m_report(reportFailures), m_previous(setBoxHook(this)) {}

ScriptedBoxes::~ScriptedBoxes() {
    setBoxHook(m_previous);
    if (m_report && !m_script.empty())
        ADD_FAILURE() << m_script.size() << " scripted box answer(s) never used; first expected: "
                      << kindName(m_script.front().kind) << " \"" << m_script.front().expected.toStdString() << "\"";
}

ScriptedBoxes& ScriptedBoxes::answer(MsgAnswer a, const QString& expectedText) {
    m_script.push_back(Step{ShownBox::Kind::Message, a, std::nullopt, expectedText, {}});
    return *this;
}

ScriptedBoxes& ScriptedBoxes::input(std::optional<QString> text, const QString& expectedPrompt) {
    m_script.push_back(Step{ShownBox::Kind::Input, MsgAnswer::Ok, std::move(text), expectedPrompt, {}});
    return *this;
}

ScriptedBoxes& ScriptedBoxes::answerWith(std::function<MsgAnswer(const ShownBox&)> act) {
    m_script.push_back(Step{ShownBox::Kind::Message, MsgAnswer::Ok, std::nullopt, {}, std::move(act)});
    return *this;
}

QStringList ScriptedBoxes::texts() const {
    QStringList out;
    for (const ShownBox& b : m_log) out << b.text;
    return out;
}

void ScriptedBoxes::fail(const ShownBox& box, const char* why) {
    ++m_failures;
    if (m_report)
        ADD_FAILURE() << why << ": " << kindName(box.kind) << " titled \"" << box.title.toStdString()
                      << "\" saying \"" << box.text.toStdString() << "\"";
}

std::optional<ScriptedBoxes::Step> ScriptedBoxes::take(const ShownBox& box) {
    m_log.append(box);
    if (m_script.empty() || m_script.front().kind != box.kind) {
        fail(box, m_script.empty() ? "Unscripted box" : "Box of the wrong kind");
        return std::nullopt;
    }
    Step step = std::move(m_script.front());
    m_script.pop_front();
    if (!step.expected.isEmpty()) {
        EXPECT_TRUE(box.text.contains(step.expected))
            << kindName(box.kind) << " text \"" << box.text.toStdString() << "\" lacks \""
            << step.expected.toStdString() << "\"";
    }
    return step;
}

MsgAnswer ScriptedBoxes::messageBox(const ShownBox& box) {
    const std::optional<Step> step = take(box);
    if (!step) return box.defaultButton;
    return step->act ? step->act(box) : step->answer;
}

std::optional<QString> ScriptedBoxes::inputBox(const ShownBox& box) {
    const std::optional<Step> step = take(box);
    return step ? step->text : std::nullopt;
}
