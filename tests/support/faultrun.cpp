#include "faultrun.h"

#include "copywriters.h"
#include "files.h"
#include "othercopy.h"
#include "scriptedboxes.h"

#include <gtest/gtest.h>


#include <algorithm>
#include <iterator>

QString writeUnderFault(StoreFault::Kind kind, const QString& databasePath, const std::function<void()>& write,
                        MsgAnswer answer) {
    StoreFault::install();
    // A failed COMMIT's journal writes the old pages back, in new bytes: there
    // the stored rows are compared.
    const bool atCommit = std::find(std::begin(StoreFault::CommitFaults), std::end(StoreFault::CommitFaults), kind) !=
                          std::end(StoreFault::CommitFaults);
    const auto digest = [&] { return atCommit ? storedDigest(databasePath) : fileDigest(databasePath); };
    const QByteArray before = digest();
    StoreFault fault(kind);
    ScriptedBoxes boxes;
    const bool lands = StoreFault::writeLands(kind);
    if (!lands) boxes.answer(answer);
    write();
    fault.clear();
    if (lands) {
        EXPECT_NE(digest(), before) << "the write that landed is not in the file";
        EXPECT_EQ(boxes.log().size(), 0U) << "a stored write reported: " << boxes.log().front().text.toStdString();
        return {};
    }
    EXPECT_EQ(digest(), before) << "the file changed";
    if (boxes.log().size() != 1) {
        ADD_FAILURE() << "expected one message, got " << boxes.log().size();
        return {};
    }
    const ShownBox& shown = boxes.log()[0];
    EXPECT_EQ(shown.icon, MsgIcon::Critical);
    EXPECT_TRUE(shown.text.contains(StoreFault::causeWords(kind))) << shown.text.toStdString();
    return shown.text;
}

const QString UnconfirmedText = QStringLiteral(
    "Não foi possível confirmar se a gravação foi concluída: o disco não pôde ser lido logo depois dela. Verifique o "
    "disco ou a rede e tente novamente: a nova tentativa verifica primeiro se esta gravação foi concluída, e nada é "
    "gravado duas vezes.");

QString writeUnconfirmed(const QString& databasePath, const std::function<void()>& write, MsgAnswer answer) {
    const QByteArray before = storedDigest(databasePath);
    ScriptedBoxes boxes;
    boxes.answer(answer);
    {
        StoreFault fault(StoreFault::JournalGoneUnreadable);
        write();
    }
    EXPECT_NE(storedDigest(databasePath), before) << "the write did not land";
    if (boxes.log().size() != 1) {
        ADD_FAILURE() << "expected one message, got " << boxes.log().size();
        return {};
    }
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
    return boxes.log()[0].text;
}

std::unique_ptr<StoreFault> leaveUnconfirmed(const QString& databasePath, const std::function<void()>& write, Told told,
                                             const std::vector<MsgAnswer>& asked) {
    StoreFault::install();
    const FileSnapshot before(databasePath);
    auto fault = std::make_unique<StoreFault>(StoreFault::JournalGoneUnreadable);
    {
        ScriptedBoxes boxes;
        for (const MsgAnswer a : asked) boxes.answer(a);
        boxes.answer(MsgAnswer::Ok, UnconfirmedText);
        write();
        EXPECT_EQ(boxes.log().size(), asked.size() + 1);
        if (!boxes.log().isEmpty()) EXPECT_EQ(boxes.log().back().icon, MsgIcon::Critical);
    }
    if (told == Told::StillUnknown) return fault;
    fault.reset();
    if (told == Told::NotStored) before.putBack();
    return nullptr;
}

bool anotherCopyWrites(const QString& databasePath) {
    const CopyWriters::Run run = CopyWriters::start(databasePath, 1, 1, 60000);
    return run.copies.size() == 1 && run.copies[0].exitCode == 0;
}
