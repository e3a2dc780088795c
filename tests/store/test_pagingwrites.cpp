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
#include <memory>
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

// How the list is moved through: row by row, as a program walks it; by
// screens of four read top-down after the current row goes to the screen's
// last row, as PageDown does; by clicks on rows anywhere; by finds of names.
enum class Moves { Next, PageDown, Clicks, Finds };

// One file for all the seeds of a test (opening a file costs its key
// derivation): each walk starts on the same 36 rows keyed 1 to 36.
struct Walk {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Bd DedUvevaro.mdb"));
    std::unique_ptr<Database> db;
    OtherCopy other;
    RecordCursor c;
    QSet<qint64> opened;

    Walk() {
        Schema::createDatabaseFile(path);
        db = std::make_unique<Database>(path);
        other.db = otherConnection(path);
        // Nothing here outlives the test: the writes need not wait for the disk.
        for (sqlite3* h : {db->handle(), other.db}) sqlite3_exec(h, "PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY", nullptr, nullptr, nullptr);
    }
    ~Walk() {
        stop();
        sqlite3_close(other.db);
    }
    void start(int seed, bool insideReads) {
        db->execute(QStringLiteral("DELETE FROM TblClientes"));
        db->execute(QStringLiteral("UPDATE sqlite_sequence SET seq = 0 WHERE name = 'TblClientes'"));
        CopyWriters::addChurnRows(*db, 12);
        other.rng.seed(unsigned(seed));
        other.done.clear();
        c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
        opened = keys();
        sqlite3_trace_v2(db->handle(), SQLITE_TRACE_STMT, &OtherCopy::beforeStatement, &other);
        other.insideReads = insideReads;
    }
    void stop() {
        other.insideReads = false;
        sqlite3_trace_v2(db->handle(), 0, nullptr, nullptr);
    }
    QSet<qint64> keys() const {
        QSet<qint64> out;
        for (const QVariantList& r : db->rows(QStringLiteral("SELECT Codigo FROM TblClientes"))) out << r[0].toLongLong();
        return out;
    }
    void otherWrites() {
        if (other.rng() % 2)
            for (int n = int(other.rng() % 7); n > 0; --n) other.write();
    }
    // The whole list, every slot read.
    QList<qint64> list() {
        QList<qint64> keys;
        for (int i = 0; i < c.recordCount(); ++i)
            // Reading a slot may find that the rows left end before it.
            if (const qint64 key = c.keyAt(i); key != -1 || i < c.recordCount()) keys << key;
        return keys;
    }
    // A screen of rows from `top`, read top-down as a grid paints them.
    void paint(int top) {
        for (int i = top; i < std::min(top + 4, c.recordCount()); ++i) c.valueAt(i, 0);
    }
};

void walkWhileAnotherCopyWrites(Walk& w, int seed, bool insideReads, Moves moves) {
    w.start(seed, insideReads);
    RecordCursor& c = w.c;
    QList<qint64> walked;
    switch (moves) {
    case Moves::Next:
        for (c.moveFirst(); !c.eof(); c.moveNext()) {
            walked << c.currentKey();
            w.otherWrites();
        }
        break;
    case Moves::PageDown:
        for (int top = 0; top < c.recordCount(); top += 4) {
            c.setAbsolutePosition(std::min(top + 3, c.recordCount() - 1));
            w.paint(top);
            w.otherWrites();
        }
        break;
    case Moves::Clicks:
        for (int n = 0; n < 16; ++n) {
            const int row = int(w.other.rng() % unsigned(c.recordCount()));
            c.setAbsolutePosition(row);
            w.paint(std::max(0, row - 1));
            w.otherWrites();
        }
        break;
    case Moves::Finds:
        for (int n = 0; n < 12; ++n) {
            // By a name's first digits, or by the key of a row that stays ("D" rows are keyed 1, 4, 7...).
            const int pick = int(w.other.rng() % 36);
            const qint64 staying = pick % 12 * 3 + 2 + pick / 12 % 2;
            const bool byKey = n % 2;
            const bool found = byKey ? c.findFirst(QStringLiteral("Codigo = %1").arg(staying))
                                     : c.findFirst(QStringLiteral("Nome LIKE '%1*'").arg(pick % 30, 2, 10, QLatin1Char('0')));
            if (byKey) ASSERT_TRUE(found) << "seed " << seed << ": row " << staying << " not found";
            // The row found stands in its own slot, whatever landed between the statements that placed it.
            if (found) {
                ASSERT_TRUE(c.hasCurrent()) << "seed " << seed;
                ASSERT_EQ(c.keyAt(c.absolutePosition()), c.currentKey()) << "seed " << seed;
                if (byKey) ASSERT_EQ(c.currentKey(), staying) << "seed " << seed;
            }
            if (c.hasCurrent()) w.paint(c.absolutePosition());
            w.otherWrites();
        }
        break;
    }
    const QList<qint64> listed = w.list();
    w.stop();

    const QSet<qint64> staying = w.opened & w.keys();
    const QSet<qint64> inList(listed.begin(), listed.end()), seen(walked.begin(), walked.end());
    const std::string writes = w.other.done.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(seen.size(), walked.size()) << "seed " << seed << ": a row shown twice after\n" << writes;
    ASSERT_EQ(inList.size(), listed.size()) << "seed " << seed << ": a row in the list twice after\n" << writes;
    ASSERT_FALSE(inList.contains(-1)) << "seed " << seed << ": a slot left unread";
    for (const qint64 k : staying) {
        ASSERT_TRUE(inList.contains(k)) << "seed " << seed << ": row " << k << " not in the list after\n" << writes;
        if (moves == Moves::Next) ASSERT_TRUE(seen.contains(k)) << "seed " << seed << ": row " << k << " missing after\n" << writes;
    }
    for (const qint64 k : inList) ASSERT_TRUE(w.opened.contains(k)) << "seed " << seed << ": row " << k << " added since";
    if (moves == Moves::Next) EXPECT_EQ(c.recordCount(), walked.size()) << "seed " << seed;
}

struct Pattern {
    Moves moves;
    int seeds;
};

class PagedListUnderWrites : public ::testing::TestWithParam<Pattern> {};

TEST_P(PagedListUnderWrites, EveryRowThatStaysIsInTheListWhateverMomentTheOtherCopyWrites) {
    const int saved = RecordCursor::pageSize();
    RecordCursor::setPageSize(3);
    Walk w;
    for (int seed = 0; seed < GetParam().seeds && !::testing::Test::HasFatalFailure(); ++seed) {
        walkWhileAnotherCopyWrites(w, seed, false, GetParam().moves);
        walkWhileAnotherCopyWrites(w, seed, true, GetParam().moves);
    }
    RecordCursor::setPageSize(saved);
}

std::string movesName(const ::testing::TestParamInfo<Pattern>& info) {
    static const char* const names[] = {"Next", "PageDown", "Clicks", "Finds"};
    return names[int(info.param.moves)];
}

INSTANTIATE_TEST_SUITE_P(Moves, PagedListUnderWrites,
                         ::testing::Values(Pattern{Moves::Next, 32}, Pattern{Moves::PageDown, 240}, Pattern{Moves::Clicks, 60},
                                           Pattern{Moves::Finds, 60}),
                         movesName);


// One list of the 36 rows, three a page, its first page read, beside
// another copy.
class PagedList : public ::testing::Test {
protected:
    PagedList() {
        RecordCursor::setPageSize(3);
        restart();
    }
    ~PagedList() override { RecordCursor::setPageSize(saved); }
    void restart() {
        w.start(0, false);
        w.stop();
    }
    QStringList storedNames() const {
        QStringList names;
        for (const QVariantList& r : w.db->rows(QStringLiteral("SELECT Nome FROM TblClientes ORDER BY Nome"))) names << r[0].toString();
        return names;
    }
    const int saved = RecordCursor::pageSize();
    Walk w;
    RecordCursor& c = w.c;
};

// Another copy's write lands right after a find's own statement found its
// row, before the statements that place that row among the list's slots.
struct AfterFind {
    sqlite3* other = nullptr;
    QString write;
    bool armed = false;
    static int beforeStatement(unsigned, void* self, void* stmt, void*) {
        auto* a = static_cast<AfterFind*>(self);
        const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(stmt));
        if (a->armed && !QByteArray(sql).startsWith("SELECT rowid FROM \"TblClientes\" WHERE (")) {
            a->armed = false;
            EXPECT_EQ(sqlite3_exec(a->other, a->write.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK) << a->write.toStdString();
        }
        return 0;
    }
};

TEST_F(PagedList, ARowFoundStandsInTheListWhenAnotherCopyWritesWhileItIsPlaced) {
    struct Case {
        const char* what;
        const char* find;
        const char* write;
        const char* stands;   // the name the found row has once placed
        int at;               // where it stands then (-1: anywhere)
    };
    // A renamed row keeps the place it had when the list was opened: "200 R" the 27th.
    const Case cases[] = {
        {"renamed in among the rows read", "Nome = '200 R'", "UPDATE TblClientes SET Nome = '010 R' WHERE Nome = '200 R'", "010 R", 26},
        {"renamed further on", "Nome = '200 R'", "UPDATE TblClientes SET Nome = '260 R' WHERE Nome = '200 R'", "260 R", 26},
        {"found by its key, renamed in among the rows read", "Codigo = 26", "UPDATE TblClientes SET Nome = '010 R' WHERE Codigo = 26", "010 R", 26},
        {"rows before it deleted", "Nome LIKE '2*'",
         "DELETE FROM TblClientes WHERE substr(Nome, -1) = 'D' AND Nome < '200'", "200 D", -1},
        {"renamed above the first row", "Nome = '200 R'", "UPDATE TblClientes SET Nome = '000 A' WHERE Nome = '200 R'", "000 A", 26},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        restart();
        w.paint(0);
        AfterFind hook{w.other.db, QString::fromLatin1(k.write), true};
        sqlite3_trace_v2(w.db->handle(), SQLITE_TRACE_STMT, &AfterFind::beforeStatement, &hook);
        const bool found = c.findFirst(QString::fromLatin1(k.find));
        sqlite3_trace_v2(w.db->handle(), 0, nullptr, nullptr);
        EXPECT_FALSE(hook.armed) << "the write never landed";
        ASSERT_TRUE(found);
        EXPECT_EQ(c.keyAt(c.absolutePosition()), c.currentKey());
        EXPECT_EQ(c.text(QStringLiteral("Nome")), QString::fromLatin1(k.stands));
        if (k.at >= 0) EXPECT_EQ(c.absolutePosition(), k.at);
        const QList<qint64> listed = w.list();
        const QSet<qint64> inList(listed.begin(), listed.end());
        EXPECT_EQ(inList.size(), listed.size()) << "a row in the list twice";
        EXPECT_TRUE(inList.contains(w.keys())) << "a row left the list";
        EXPECT_TRUE(w.opened.contains(inList)) << "a row not in the list at its opening";
    }
}

// A row found by its key after another copy renamed it in among rows read
// far on, deleted rows not read above and moved one more row into the
// stretch not read where the row's count lands: the page read there takes
// the row, as one moved in among rows read, more than a page from that count.
TEST_F(PagedList, ARowFoundThatThePageReadAtItsCountPlacedFurtherOn) {
    for (const int i : {0, 9, 15}) c.valueAt(i, 0);   // "000 D".., "075 D".., "125 D".. read
    ASSERT_EQ(sqlite3_exec(w.other.db,
                           "DELETE FROM TblClientes WHERE Nome >= '025' AND Nome < '050 R';"
                           "UPDATE TblClientes SET Nome = '100 S' WHERE Nome = '250 D';"
                           "UPDATE TblClientes SET Nome = '125 E' WHERE Nome = '275 R'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(c.findFirst(QStringLiteral("Codigo = 35")));
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("125 E"));
    EXPECT_EQ(c.keyAt(c.absolutePosition()), c.currentKey());
    const QList<qint64> listed = w.list();
    const QSet<qint64> inList(listed.begin(), listed.end());
    EXPECT_EQ(inList.size(), listed.size()) << "a row in the list twice";
    EXPECT_EQ(inList, w.keys());
    EXPECT_EQ(c.recordCount(), 31);
}

// This program deletes rows read through another window, one of them right
// before where a row found by its key is counted to stand: it joins the rows
// read there and, once the list is read again with the deletions applied,
// bounds the stretch not read before it as the deleted row did. A page of
// that stretch read from it skips exactly the rows it should.
TEST_F(PagedList, ARowFoundBesideRowsThisProgramDeletedBoundsTheStretchBeforeIt) {
    const QStringList all = storedNames();
    c.valueAt(15, 0);   // "125 D", "125 K", "125 R"
    w.db->execute(QStringLiteral("DELETE FROM TblClientes WHERE Nome IN ('125 D', '125 K')"));
    ASSERT_TRUE(c.findFirst(QStringLiteral("Nome = '150 D'")));
    c.requery();
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("150 D"));
    // The page in the middle of the stretch first, walked back from the found row:
    // its rows stand at their places at once, not only once the rows around are read.
    const int name = c.fieldIndex(QStringLiteral("Nome"));
    QStringList names;
    for (const int i : {10, 9, 11}) names << c.valueAt(i, name).toString();
    EXPECT_EQ(names, (QStringList{all[10], all[9], all[11]}));
    names.clear();
    for (int i = 0; i < 15; ++i) names << c.valueAt(i, name).toString();
    EXPECT_EQ(names, all.mid(0, 15));
    const QList<qint64> listed = w.list();
    EXPECT_EQ(QSet<qint64>(listed.begin(), listed.end()), w.keys());
    EXPECT_EQ(listed.size(), all.size() - 2);
}

// This program renames and deletes rows of the list not read yet, through another window: read again,
// the list holds every row once, the renamed ones at their new places.
TEST_F(PagedList, RowsThisProgramWritesBeyondThePagesReadStandInTheListOnce) {
    c.valueAt(0, 0);
    w.db->execute(QStringLiteral("UPDATE TblClientes SET Nome = '000 A' WHERE Nome = '275 R'"));
    w.db->execute(QStringLiteral("UPDATE TblClientes SET Nome = '100 S' WHERE Nome = '250 D'"));
    w.db->execute(QStringLiteral("DELETE FROM TblClientes WHERE Nome = '200 K'"));
    c.requery();
    // One of them, placed but not shown yet, deleted by another copy: it leaves as the list is read.
    ASSERT_EQ(sqlite3_exec(w.other.db, "DELETE FROM TblClientes WHERE Nome = '100 S'", nullptr, nullptr, nullptr), SQLITE_OK);
    const QStringList all = storedNames();
    QStringList names;
    for (int i = 0; i < c.recordCount(); ++i) names << c.valueAt(i, c.fieldIndex(QStringLiteral("Nome"))).toString();
    EXPECT_EQ(names, all);
    const QList<qint64> listed = w.list();
    EXPECT_EQ(QSet<qint64>(listed.begin(), listed.end()), w.keys());
    EXPECT_EQ(listed.size(), all.size());
}

// The operator stands on a row; another copy deletes a stretch of rows around
// it, read and not read; the operator moves on, then goes back to the top.
TEST_F(PagedList, TheCurrentRowInsideAStretchAnotherCopyDeleted) {
    const QStringList all = storedNames();
    c.setAbsolutePosition(20);   // "150 R", read with its page alone
    ASSERT_EQ(c.text(QStringLiteral("Nome")), all[20]);
    ASSERT_EQ(sqlite3_exec(w.other.db, "DELETE FROM TblClientes WHERE Nome >= '125' AND Nome < '200'", nullptr, nullptr, nullptr), SQLITE_OK);

    // Down: the rows of the stretch not read yet went; the next row is the first after the stretch.
    c.moveNext();
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("200 D"));
    const qint64 stood = c.currentKey();
    // The rows above are read: the stretch's rows gone there leave, the current row stays current.
    for (int i = 0; i < c.absolutePosition(); ++i) c.valueAt(i, 0);
    EXPECT_EQ(c.currentKey(), stood);
    EXPECT_EQ(c.keyAt(c.absolutePosition()), stood);
    c.moveNext();
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("200 K"));

    // From the top: every row left once, in order; the rows of the page read before the deletion
    // keep their places and read as deleted; the count is the rows walked.
    QStringList names;
    int gone = 0, walked = 0;
    for (c.moveFirst(); !c.eof(); c.moveNext(), ++walked) {
        try {
            names << c.text(QStringLiteral("Nome"));
        } catch (const DbError&) {
            ++gone;
        }
    }
    QStringList left = all;
    left.removeIf([](const QString& n) { return n >= QLatin1String("125") && n < QLatin1String("200"); });
    EXPECT_EQ(names, left);
    EXPECT_EQ(gone, 3);
    EXPECT_EQ(c.recordCount(), walked);
}

// A click far down the list after another copy deleted most of the rows: the
// rows of the clicked page found gone leave, those after them move up into
// it, and the row clicked is the first one left there; the rows above leave
// as they are read, and the count is then the rows left.
TEST_F(PagedList, AClickBeyondTheRowsAnotherCopyDeleted) {
    ASSERT_EQ(sqlite3_exec(w.other.db, "DELETE FROM TblClientes WHERE Nome >= '025' AND Nome < '225'", nullptr, nullptr, nullptr), SQLITE_OK);
    c.setAbsolutePosition(13);
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("225 K")) << "the second row left after the deleted ones";
    EXPECT_EQ(c.recordCount(), 21) << "the rows above not read yet";
    QStringList names;
    for (int i = 0; i < c.recordCount(); ++i) names << c.valueAt(i, c.fieldIndex(QStringLiteral("Nome"))).toString();
    EXPECT_EQ(names, storedNames());
    EXPECT_EQ(c.recordCount(), 12);
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("225 K")) << "the current row stays current";
    EXPECT_EQ(c.absolutePosition(), 4);
}

// Another copy deletes the last rows, pages of them, none read yet: Last
// stands on the last row left, and the count is the rows left.
TEST_F(PagedList, LastAfterAnotherCopyDeletedTheLastPages) {
    ASSERT_EQ(sqlite3_exec(w.other.db, "DELETE FROM TblClientes WHERE Nome >= '225'", nullptr, nullptr, nullptr), SQLITE_OK);
    c.moveLast();
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("200 R"));
    EXPECT_EQ(c.recordCount(), 27);
    EXPECT_EQ(c.absolutePosition(), 26);
    // Pages of five: the last row, gone, is the first of its page.
    RecordCursor::setPageSize(5);
    restart();
    ASSERT_EQ(sqlite3_exec(w.other.db, "DELETE FROM TblClientes WHERE Nome = '275 R'", nullptr, nullptr, nullptr), SQLITE_OK);
    c.moveLast();
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("275 K"));
    EXPECT_EQ(c.absolutePosition(), 34);
}

// Another copy writes right after a row found by its key is found, before
// its page is read: the row stands where the order put it when the list was
// opened.
TEST_F(PagedList, ARowFoundStandsWhereItsOrderPutItWhenAnotherCopyWritesWhileItIsCounted) {
    const char* const writes[] = {
        "DELETE FROM TblClientes WHERE Nome >= '225' AND Nome < '250'",
        "UPDATE TblClientes SET Nome = '010 R' WHERE Nome >= '225' AND Nome < '250'",
    };
    for (const char* write : writes) {
        SCOPED_TRACE(write);
        restart();
        AfterFind hook{w.other.db, QString::fromLatin1(write), true};
        sqlite3_trace_v2(w.db->handle(), SQLITE_TRACE_STMT, &AfterFind::beforeStatement, &hook);
        const bool found = c.findFirst(QStringLiteral("Codigo = 26"));   // "200 R"
        sqlite3_trace_v2(w.db->handle(), 0, nullptr, nullptr);
        EXPECT_FALSE(hook.armed) << "the write never landed";
        ASSERT_TRUE(found);
        EXPECT_EQ(c.absolutePosition(), 26);
        EXPECT_EQ(c.keyAt(26), 26);
        const QList<qint64> listed = w.list();
        EXPECT_EQ(QSet<qint64>(listed.begin(), listed.end()), w.keys());
        EXPECT_EQ(listed.size(), w.keys().size()) << "a row in the list twice";
    }
}

// Rows found by their keys on keys unchanged since they were counted are
// read alone, with rows not read on both sides.
TEST_F(PagedList, TheScreenAroundARowFoundAloneShowsEachOfItsRows) {
    const QStringList all = storedNames();
    const int name = c.fieldIndex(QStringLiteral("Nome"));
    ASSERT_TRUE(c.findFirst(QStringLiteral("Codigo = 18")));   // "125 K", the middle row of its page
    ASSERT_EQ(c.absolutePosition(), 16);
    QStringList names;
    for (int i = 15; i < 18; ++i) names << c.valueAt(i, name).toString();
    EXPECT_EQ(names, all.mid(15, 3));
    // The first row found: its page is read with it, as the screen shows it, so a row of that page another copy
    // deletes then stays where it was shown, read as deleted, and Next stands on it.
    restart();
    const std::vector<QVariantList> first = w.db->rows(QStringLiteral("SELECT Codigo FROM TblClientes ORDER BY Nome LIMIT 2"));
    ASSERT_TRUE(c.findFirst(QStringLiteral("Codigo = %1").arg(first[0][0].toLongLong())));
    ASSERT_EQ(c.absolutePosition(), 0);
    ASSERT_EQ(sqlite3_exec(w.other.db, QStringLiteral("DELETE FROM TblClientes WHERE Codigo = %1").arg(first[1][0].toLongLong()).toUtf8().constData(),
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    c.moveNext();
    EXPECT_EQ(c.currentKey(), first[1][0].toLongLong());
    EXPECT_THROW(c.text(QStringLiteral("Nome")), DbError);
}

// The operator deletes a row found alone, rows not read on both sides,
// after another copy deleted rows not read above it or right after it: Next
// goes to the first row left after the deleted one and walks on from there.
TEST_F(PagedList, NextAfterDeletingARowFoundAloneWhenAnotherCopyDeletedRowsNotRead) {
    struct Case {
        const char* what;
        const char* write;
        bool readBelow;   // "200 D", "200 K", "200 R" read first
    };
    const Case cases[] = {
        {"rows above it", "DELETE FROM TblClientes WHERE Nome >= '050' AND Nome < '125'", false},
        {"the rows that followed it, a page below read", "DELETE FROM TblClientes WHERE Nome >= '150' AND Nome < '200'", true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        restart();
        if (k.readBelow) c.valueAt(24, 0);
        ASSERT_TRUE(c.findFirst(QStringLiteral("Codigo = 17")));   // "125 R"
        ASSERT_EQ(sqlite3_exec(w.other.db, k.write, nullptr, nullptr, nullptr), SQLITE_OK);
        c.deleteCurrent();
        QStringList names;
        for (c.moveNext(); !c.eof(); c.moveNext()) names << c.text(QStringLiteral("Nome"));
        QStringList after = storedNames();
        after.removeIf([](const QString& n) { return n <= QLatin1String("125 R"); });
        EXPECT_EQ(names, after);
    }
}

// Another copy moves a row to the end of the list and deletes the rows
// between it and a row read: found by its key, it stands where it stood when
// the list was opened, the rows deleted before it gone; the rows read before
// they were deleted stay, reading as deleted.
TEST_F(PagedList, ARowMovedToTheEndKeepsItsPlaceAmongTheRowsLeft) {
    ASSERT_TRUE(c.findFirst(QStringLiteral("Codigo = 20")));   // "150 R", its page read with it
    ASSERT_EQ(c.absolutePosition(), 20);
    ASSERT_EQ(sqlite3_exec(w.other.db,
                           "UPDATE TblClientes SET Nome = '999 X' WHERE Codigo = 4;"
                           "DELETE FROM TblClientes WHERE Nome >= '025' AND Nome < '150 R'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(c.findFirst(QStringLiteral("Codigo = 4")));
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("999 X"));
    EXPECT_EQ(c.absolutePosition(), 3);
    EXPECT_EQ(c.keyAt(3), 4);
    const QList<qint64> listed = w.list();
    const QSet<qint64> inList(listed.begin(), listed.end());
    EXPECT_EQ(inList.size(), listed.size()) << "a row in the list twice";
    EXPECT_TRUE(inList.contains(w.keys()));
    EXPECT_EQ(listed.size(), w.keys().size() + 2) << "\"150 D\" and \"150 K\" read before";
    EXPECT_EQ(listed.indexOf(20), 6);
}
}

TARVEL_TEST_MAIN()
