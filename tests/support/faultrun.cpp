#include "faultrun.h"

#include "files.h"
#include "scriptedboxes.h"

#include <gtest/gtest.h>

QString writeUnderFault(StoreFault::Kind kind, const QString& databasePath, const std::function<void()>& write,
                        MsgAnswer answer) {
    StoreFault::install();
    const QByteArray before = fileDigest(databasePath);
    StoreFault fault(kind);
    ScriptedBoxes boxes;
    boxes.answer(answer);
    write();
    fault.clear();
    EXPECT_EQ(fileDigest(databasePath), before) << "the file changed";
    if (boxes.log().size() != 1) {
        ADD_FAILURE() << "expected one message, got " << boxes.log().size();
        return {};
    }
    const ShownBox& shown = boxes.log()[0];
    EXPECT_EQ(shown.icon, MsgIcon::Critical);
    EXPECT_TRUE(shown.text.contains(StoreFault::causeWords(kind))) << shown.text.toStdString();
    return shown.text;
}
