#include "testmain.h"

#include "copywriters.h"
#include "othercopy.h"
#include "scriptedboxes.h"
#include "ui/appsetup.h"

namespace TestMain {

int run(int argc, char** argv) {
    if (const std::optional<int> code = OtherCopy::serve(argc, argv)) return *code;
    if (const std::optional<int> code = CopyWriters::serve(argc, argv)) return *code;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    static int qtArgc;
    qtArgc = argc;
    QApplication app(qtArgc, argv);
    AppSetup::init(app);
    // No box may wait for an operator: any box no test scripted fails.
    ScriptedBoxes strict;
    return RUN_ALL_TESTS();
}

}
