// A list walked page by page while another copy writes at every moment it
// can: between two moves, and between any two statements of the list's own
// reads. Seeded, so that a failure comes back with its seed and the writes
// that led to it.
#include "store/database.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "support/copywriters.h"
#include "support/othercopy.h"
#include "support/testmain.h"

#include <QSet>
#include <QTemporaryDir>
#include <random>
#include <sqlcipher/sqlite3.h>

namespace {

// Another copy's writes: new rows, deletions of "D" rows, renames of up to
// four "R" rows at once (the "K" rows are never touched).
struct OtherCopy {
    sqlite3* db = nullptr;
    std::mt19937 rng;
    bool insideReads = false;   // also just before each statement of the list's connection
    QStringList done;

    QString some(int below) { return QString::number(int(rng() % unsigned(below))); }
    void write() {
        QString sql;
        switch (rng() % 3) {
        case 0:
            sql = QStringLiteral("INSERT INTO TblClientes (Nome) VALUES (printf('%03d I', ") + some(300) + QStringLiteral("))");
            break;
        case 1:
            sql = QStringLiteral("DELETE FROM TblClientes WHERE Codigo = (SELECT Codigo FROM TblClientes WHERE substr(Nome, -1) = 'D' "
                                 "ORDER BY Codigo LIMIT 1 OFFSET ") +
                  some(1000) + QStringLiteral(" % max(1, (SELECT count(*) FROM TblClientes WHERE substr(Nome, -1) = 'D')))");
            break;
        default:
            sql = QStringLiteral("UPDATE TblClientes SET Nome = printf('%03d R', (Codigo * ") + some(97) + QStringLiteral(" + ") + some(300) +
                  QStringLiteral(") % 300) WHERE Codigo IN (SELECT Codigo FROM TblClientes WHERE substr(Nome, -1) = 'R' ORDER BY (Codigo * ") +
                  some(89) + QStringLiteral(") % 101 LIMIT ") + QString::number(1 + int(rng() % 4)) + QLatin1Char(')');
        }
        // A write the list's read holds off fails here, as it would wait its turn in a real copy.
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK) done << sql;
    }
    static int beforeStatement(unsigned, void* self, void*, void*) {
        auto* other = static_cast<OtherCopy*>(self);
        if (other->insideReads && int(other->rng() % 100) < 20) other->write();
        return 0;
    }
};

void walkWhileAnotherCopyWrites(int seed, bool insideReads) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bd DedUvevaro.mdb"));
    Schema::createDatabaseFile(path);
    Database db(path);
    CopyWriters::addChurnRows(db, 12);
    const auto keys = [&db] {
        QSet<qint64> out;
        for (const QVariantList& r : db.rows(QStringLiteral("SELECT Codigo FROM TblClientes"))) out << r[0].toLongLong();
        return out;
    };
    OtherCopy other;
    other.rng.seed(unsigned(seed));
    other.db = otherConnection(path);
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    const QSet<qint64> opened = keys();
    sqlite3_trace_v2(db.handle(), SQLITE_TRACE_STMT, &OtherCopy::beforeStatement, &other);
    other.insideReads = insideReads;
    QList<qint64> walked;
    for (c.moveFirst(); !c.eof(); c.moveNext()) {
        walked << c.currentKey();
        if (other.rng() % 2)
            for (int n = int(other.rng() % 7); n > 0; --n) other.write();
    }
    other.insideReads = false;
    sqlite3_trace_v2(db.handle(), 0, nullptr, nullptr);
    sqlite3_close(other.db);

    const QSet<qint64> staying = opened & keys();
    const QSet<qint64> seen(walked.begin(), walked.end());
    const std::string writes = other.done.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(seen.size(), walked.size()) << "seed " << seed << ": a row shown twice after\n" << writes;
    for (const qint64 k : staying) ASSERT_TRUE(seen.contains(k)) << "seed " << seed << ": row " << k << " missing after\n" << writes;
    for (const qint64 k : seen) ASSERT_TRUE(opened.contains(k)) << "seed " << seed << ": row " << k << " added since";
    EXPECT_EQ(c.recordCount(), walked.size()) << "seed " << seed;
}

TEST(PagedListUnderWrites, EveryRowOnceWhateverMomentTheOtherCopyWrites) {
    const int saved = RecordCursor::pageSize();
    RecordCursor::setPageSize(3);
    for (int seed = 0; seed < 32 && !::testing::Test::HasFatalFailure(); ++seed) {
        walkWhileAnotherCopyWrites(seed, false);
        walkWhileAnotherCopyWrites(seed, true);
    }
    RecordCursor::setPageSize(saved);
}

}

TARVEL_TEST_MAIN()
