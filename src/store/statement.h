#pragma once

#include "dberror.h"

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
void runToEnd(sqlite3* db, Statement& st);
