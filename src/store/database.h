#pragma once

#include "dberror.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>
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

    // A write whose COMMIT reported an error and whose read-back could not
    // read the file (DbErrorCode::Unconfirmed) may or may not be stored. Until
    // that is told this process keeps the writers' turn, so no other copy
    // writes meanwhile and the file's commit counter alone tells it; every
    // later write through this file first reads it back (and throws the
    // Unconfirmed error again, writing nothing, while it still cannot).
    struct UnconfirmedWrite {
        std::optional<bool> stored;   // empty until told
    };
    // The last write left unconfirmed (null when none was).
    std::shared_ptr<const UnconfirmedWrite> lastUnconfirmed() const;
    // Whether that write was stored, reading the file back when not told yet.
    bool wasStored(const std::shared_ptr<const UnconfirmedWrite>& write) const;
    // Tells the write left unconfirmed, if any, from the file, as the next
    // write would first; throws the Unconfirmed error while it cannot.
    void tellUnconfirmed() const;

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
// when destroyed without commit(). A transaction never begins inside another
// one on the same file (std::logic_error). A COMMIT that fails is rolled back
// and then read back: when the write reached the file all the same (the
// journal went, though an error came back) it counts as committed; when it
// did not, commit() throws the COMMIT's error; when the file cannot be read
// to tell, it throws DbErrorCode::Unconfirmed (see Database::wasStored).
// Either way no transaction is left open.
class Transaction {
public:
    explicit Transaction(const Database& db);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // How a transaction ended for what waited for it.
    enum class Outcome { Stored, RolledBack, Unconfirmed };
    // What waits for the outcome of a write made now (a record cursor's):
    // with no transaction in progress on db's file the write is stored and
    // `done` runs at once; otherwise it runs when the transaction ends. One
    // write waits per transaction (a second one is a std::logic_error).
    static void whenStored(const Database& db, std::function<void(Outcome)> done);

private:
    std::shared_ptr<Connection> m_conn;
    bool m_done = false;
    void end(Outcome outcome);
};
