#pragma once

#include <QVariant>

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
