// Several copies of the program on one database file at once, each a real
// process, and a file that another copy keeps busy while a copy opens it.
#include "store/database.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "support/copywriters.h"
#include "support/othercopy.h"
#include "support/storefaults.h"
#include "support/testmain.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <sqlcipher/sqlite3.h>
#include <thread>

namespace {

struct SharedFile : ::testing::Test {
    QTemporaryDir dir;
    QString path;
    void SetUp() override { Schema::createDatabaseFile(path = dir.filePath(QStringLiteral("Bd DedUvevaro.mdb"))); }
};

// Another copy's connection holding the file with the engine's exclusive
// lock, as a copy in the middle of writing its changes does.
struct ExclusiveWriter {
    sqlite3* db;
    explicit ExclusiveWriter(const QString& path) {
        db = otherConnection(path);
        EXPECT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE; UPDATE TblConfig SET Imagem = 7", nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
    }
    void commit() { EXPECT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db); }
    ~ExclusiveWriter() { sqlite3_close(db); }
};

} // namespace

// Eight copies raise the counter and add customers as fast as they can:
// every write lands, none reports a lock, every copy gets through.
TEST_F(SharedFile, EightCopiesWritingAtOnceLoseNothing) {
    constexpr int Copies = 8;
    constexpr int Each = 40;   // the full 8 x 500 run is in bench/
    const CopyWriters::Run run = CopyWriters::start(path, Copies, Each, 120000);
    for (const CopyWriters::Copy& c : run.copies) {
        EXPECT_TRUE(c.finished);
        EXPECT_EQ(c.exitCode, 0) << c.errors.toStdString();
        EXPECT_FALSE(c.errors.contains(QStringLiteral("locked"))) << c.errors.toStdString();
    }
    Database db(path);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Qtde FROM TblConfig")).toInt(), Copies * Each);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(DISTINCT Codigo) FROM TblClientes")).toInt(), Copies * Each);
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
}

// A file busy with another copy's write is waited for; one that stays busy
// past the limit is reported as busy, never as a missing or foreign file, and
// a write that waits past the limit leaves nothing half done.
TEST_F(SharedFile, ABusyFileIsWaitedForAndNeverTakenForAForeignOne) {
    {
        ExclusiveWriter other(path);
        std::thread later([&] { std::this_thread::sleep_for(std::chrono::milliseconds(400)); other.commit(); });
        EXPECT_EQ(Database(path).scalar(QStringLiteral("SELECT Imagem FROM TblConfig")).toInt(), 7);
        later.join();
    }
    const int limit = Database::waitLimit();
    Database::setWaitLimit(300);
    {
        ExclusiveWriter other(path);
        EXPECT_EQ(dbErrorOf([&] { Database d(path); }), DbErrorCode::Busy);
        other.commit();
    }
    Database db(path);
    {
        ExclusiveWriter other(path);
        EXPECT_EQ(dbErrorOf([&] { db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = 99")); }), DbErrorCode::Busy);
        other.commit();
    }
    db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = Qtde + 1"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Qtde FROM TblConfig")).toInt(), 1);
    Database::setWaitLimit(limit);
}

// A list read three rows a page, walked row by row or by PageDown screens
// again and again while another copy adds, deletes and renames customers: no
// row shown twice, none of the rows that stay missing, none added since the
// list was read shown.
TEST_F(SharedFile, ScrollingWhileAnotherCopyWritesShowsEveryRowOnce) {
    const int savedPage = RecordCursor::pageSize();
    RecordCursor::setPageSize(3);
    struct Restore { int n; ~Restore() { RecordCursor::setPageSize(n); } } restore{savedPage};
    Database db(path);
    CopyWriters::addChurnRows(db, 40);
    const auto keys = [&db](const char* where) {
        QSet<qint64> out;
        for (const QVariantList& r : db.rows(QStringLiteral("SELECT Codigo FROM TblClientes ") + where)) out << r[0].toLongLong();
        return out;
    };
    std::unique_ptr<QProcess> other(CopyWriters::startChurn(path, 2500));
    ASSERT_TRUE(other->waitForStarted());
    int rounds = 0;
    while (other->state() != QProcess::NotRunning) {
        const QSet<qint64> staying = keys("WHERE substr(Nome, -1) <> 'D'");
        RecordCursor c;
        c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
        const QSet<qint64> opened = keys("");
        QList<qint64> walked;
        if (rounds % 2 == 0) {
            for (c.moveFirst(); !c.eof(); c.moveNext()) {
                walked << c.currentKey();
                if (c.absolutePosition() % 3 == 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));   // the next page, a moment later
            }
        } else {
            // By screens of four, as PageDown moves: the current row to the screen's last row, then the screen painted.
            for (int top = 0; top < c.recordCount(); top += 4) {
                c.setAbsolutePosition(std::min(top + 3, c.recordCount() - 1));
                for (int i = top; i < std::min(top + 4, c.recordCount()); ++i) c.valueAt(i, 0);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            for (int i = 0; i < c.recordCount(); ++i)
                if (const qint64 key = c.keyAt(i); key != -1 || i < c.recordCount()) walked << key;
        }
        const QSet<qint64> seen(walked.begin(), walked.end());
        ASSERT_EQ(seen.size(), walked.size()) << "a row shown twice, round " << rounds;
        for (const qint64 k : staying) ASSERT_TRUE(seen.contains(k)) << "row " << k << " missing, round " << rounds;
        for (const qint64 k : seen) ASSERT_TRUE(opened.contains(k)) << "row " << k << " added since, round " << rounds;
        EXPECT_EQ(c.recordCount(), walked.size());
        ++rounds;
        other->waitForFinished(1);
    }
    EXPECT_EQ(other->exitCode(), 0) << other->readAllStandardError().toStdString();
    EXPECT_GT(rounds, 3);
    RecordProperty("rounds", rounds);
}

TARVEL_TEST_MAIN()
