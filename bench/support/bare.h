#pragma once

#include <QString>
#include <cstdint>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The "bare SQL" side of the benchmarks: a raw SQLCipher connection of its
// own on a database file, keyed with the program's password and given the
// text collation and like() (the tables' indexes need them), without any of
// the store's layers.
namespace Bare {

class Connection {
public:
    // Throws std::runtime_error when the file cannot be opened and read.
    explicit Connection(const QString& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

// One prepared statement, finalised when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    Statement(sqlite3* db, const QByteArray& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return m_st; }
    // One step: true for a row, false when done; throws on an error.
    bool step();

private:
    sqlite3* m_db;
    sqlite3_stmt* m_st = nullptr;
};

// Prepares sql, steps through every row reading the first column as an
// integer, and returns the rows' keys.
std::vector<std::int64_t> keys(sqlite3* db, const char* sql);

// Prepares sql and steps through every row reading every column the way its
// storage class reads (integer, real or text bytes); returns the number of rows.
int readRows(sqlite3* db, const QByteArray& sql);

// readRows() on every column of table's rows keyed keys[first] up to
// keys[first + count - 1] (fewer at the end of keys), in one "rowid IN (...)"
// statement, as a page of a list whose keys are known is read.
int readRowsByKey(sqlite3* db, const char* table, const std::vector<std::int64_t>& keys, std::size_t first,
                  std::size_t count);

// The process's resident memory in bytes (/proc/self/statm).
std::int64_t residentBytes();

// Gives freed heap memory back to the system, so that resident memory
// measured next counts what is held rather than what was once used.
void releaseFreeMemory();

}
