#pragma once

#include "dberror.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;
class Connection;

// A handle on the program's database file. All handles (and all record
// cursors) on one file in this process share one keyed connection, opened by
// the first and released with the last. While the connection is open the
// process holds a shared lock on the lock file beside the database.
//
// Opening never creates or changes a file: a missing file, a file that is not
// a database and a wrong password each throw DbError.
class Database {
public:
    Database() = default;
    // connect: "Access 2000;" or "Access 2000;pwd=..."; without pwd the
    // program's own password is used.
    Database(const QString& path, const QString& connect = QStringLiteral("Access 2000;"));
    // The program folder's database.
    static Database openDefault();

    bool isOpen() const { return bool(m_conn); }
    void close() { m_conn.reset(); }
    QString path() const;

    // Runs one statement (the desktop dialect is accepted, see sqldialect.h) with bound
    // parameters; returns the number of rows changed.
    int execute(const QString& sql, const QVariantList& params = {});
    // First column of the first row, or an invalid QVariant.
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    // All rows of a query (small results only).
    std::vector<QVariantList> rows(const QString& sql, const QVariantList& params = {});
    qint64 lastInsertKey() const;

    sqlite3* handle() const;
    std::shared_ptr<Connection> connection() const { return m_conn; }

    // The rows written through this process's connection, in order, so that
    // a record cursor tells this program's own writes from other copies'.
    struct RowWrite {
        int op;   // SQLITE_INSERT, SQLITE_UPDATE or SQLITE_DELETE
        QString table;
        qint64 key;
    };
    quint64 writeMark() const;
    // The rows written since mark; false when they cannot all be told (too
    // many of them, or a write undone since).
    bool writesSince(quint64 mark, std::vector<RowWrite>& out) const;

    // True when some process (this one included) holds the file open, that
    // is, holds a lock on the lock file beside it. A stale lock file left by a
    // crashed copy does not count.
    static bool isHeldOpen(const QString& path);
    // True when this process holds a connection to the file.
    static bool openInThisProcess(const QString& path);

    // How long a copy waits for another copy's lock (a write, the file at
    // opening, a backup in progress) before giving up with DbErrorCode::Busy.
    // Writers wait their turn in the order the engine's file locks give it,
    // so a copy that writes often cannot keep another one out.
    static void setWaitLimit(int milliseconds);
    static int waitLimit();
    // How long a record cursor's read (a find, opening a list) may run
    // before it is stopped with DbErrorCode::TookTooLong.
    static void setQueryTimeLimit(int milliseconds);
    static int queryTimeLimit();

    // The lock file held exclusively while the object lives (for a copy of
    // the file): held() tells whether no process held it open; while held,
    // a copy that starts waits for the end.
    class ExclusiveUse {
    public:
        explicit ExclusiveUse(const QString& path);
        ~ExclusiveUse();
        bool held() const { return m_held; }
        ExclusiveUse(const ExclusiveUse&) = delete;
        ExclusiveUse& operator=(const ExclusiveUse&) = delete;

    private:
        int m_fd = -1;
        bool m_held = false;
    };

private:
    std::shared_ptr<Connection> m_conn;
};

// Registers the text collation PTBR (case-insensitive for accented capitals
// too, accents sorting beside their letter) and LIKE with the desktop
// database's wildcards on a raw connection. Every connection of ours has them.
void registerTextFunctions(sqlite3* db);

// Binds a value to a statement parameter (1-based) the way the store keeps it.
void bindValue(struct sqlite3_stmt* stmt, int index, const QVariant& value);

// One transaction on a database (BEGIN IMMEDIATE ... COMMIT); rolled back
// when destroyed without commit(). Transactions nest: an inner one is a
// savepoint of the outer, and only the outermost COMMIT makes the writes
// stored. A COMMIT that fails is rolled back and then read back: when the
// write reached the file all the same (the journal went, though an error came
// back) it counts as committed; otherwise commit() throws the COMMIT's error.
// Either way no transaction is left open.
class Transaction {
public:
    explicit Transaction(const Database& db);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // What waits for the outcome of the writes made now: `committed` runs once
    // the outermost transaction in progress on db's file has committed,
    // `rolledBack` once it (or the inner one in progress) is rolled back. With
    // no transaction in progress the write is already stored: `committed` runs
    // at once.
    static void whenStored(const Database& db, std::function<void()> committed,
                           std::function<void()> rolledBack = {});

private:
    std::shared_ptr<Connection> m_conn;
    bool m_done = false;
    int m_depth = 0;           // 1 for the outermost
    std::size_t m_waiting = 0; // what waited before this one began
    void rollBack();
};
