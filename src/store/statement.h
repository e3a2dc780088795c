#pragma once

#include "dberror.h"

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// A prepared statement finalised on every way out.
struct Statement {
    sqlite3_stmt* s = nullptr;
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();
};

// A column of the current result row as stored: whole number, real, text or
// an invalid QVariant for NULL.
QVariant storedColumn(sqlite3_stmt* s, int col);

// Prepares SQL that is already in the engine's dialect; a refused text is a
// DbError that quotes it.
void prepareStatement(sqlite3* db, const QString& sql, Statement& st);

// The engine's last error on db as a DbError.
DbError engineError(sqlite3* db, int rc);

// Steps a statement that returns no rows (or whose rows are not wanted) to its end.
// A write outside a transaction runs in one of its own that takes the
// writers' turn and the write lock up front (BEGIN IMMEDIATE), so that it
// never waits for a lock while holding a read lock.
void runToEnd(sqlite3* db, Statement& st);

// While alive, what is prepared and run on db may only read `table` and call
// plain functions: no write, attach, pragma, transaction, recursive query or
// other table; a run past Database::queryTimeLimit() is stopped and a text
// longer than a stored value can be is refused. Used around every statement
// built from a criterion or record source. Nests (the outer table holds).
class CriterionGuard {
public:
    CriterionGuard(sqlite3* db, const QString& table);
    ~CriterionGuard();
    CriterionGuard(const CriterionGuard&) = delete;
    CriterionGuard& operator=(const CriterionGuard&) = delete;

private:
    class Connection* m_conn;
    bool m_outer = false;
    int m_savedLength = 0;
};
