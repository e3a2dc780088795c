#include "expectedboxes.h"

#include "scriptedboxes.h"

#include <gtest/gtest.h>

QList<ShownBox> expectBoxes(const std::vector<ExpectedBox>& expected, const std::function<void()>& act) {
    ScriptedBoxes boxes(false);
    for (const ExpectedBox& box : expected) boxes.answer(box.answer, box.text);
    act();
    QStringList shown = boxes.texts();
    for (QString& text : shown) text.replace(QLatin1Char('\r'), QLatin1Char('|'));
    EXPECT_EQ(boxes.log().size(), qsizetype(expected.size())) << shown.join(QStringLiteral(" // ")).toStdString();
    return boxes.log();
}
