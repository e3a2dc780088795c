#include "support/bare.h"

#include "store/database.h"
#include "store/programfolder.h"

#include <QFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <malloc.h>
#include <sqlcipher/sqlite3.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace Bare {

namespace {
[[noreturn]] void fail(sqlite3* db, const std::string& what) {
    throw std::runtime_error("bare: " + what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}
}

Connection::Connection(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const std::string msg = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw std::runtime_error("bare: cannot open " + file.toStdString() + ": " + msg);
    }
    sqlite3_key(m_db, DatabasePassword, int(std::char_traits<char>::length(DatabasePassword)));
    registerTextFunctions(m_db);
    // The key is only checked on the first read.
    Statement probe(m_db, "SELECT count(*) FROM sqlite_master");
    probe.step();
}

Connection::~Connection() { sqlite3_close(m_db); }

Statement::Statement(sqlite3* db, const char* sql) : m_db(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &m_st, nullptr) != SQLITE_OK) fail(db, std::string("prepare ") + sql);
}

Statement::Statement(sqlite3* db, const QByteArray& sql) : m_db(db) {
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_st, nullptr) != SQLITE_OK)
        fail(db, "prepare " + sql.toStdString());
}

Statement::~Statement() { sqlite3_finalize(m_st); }

bool Statement::step() {
    const int rc = sqlite3_step(m_st);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    fail(m_db, "step");
}

std::vector<std::int64_t> keys(sqlite3* db, const char* sql) {
    Statement st(db, sql);
    std::vector<std::int64_t> out;
    while (st.step()) out.push_back(sqlite3_column_int64(st.get(), 0));
    return out;
}

int readRows(sqlite3* db, const QByteArray& sql) {
    Statement st(db, sql);
    const int columns = sqlite3_column_count(st.get());
    int rows = 0;
    std::size_t bytes = 0;
    while (st.step()) {
        ++rows;
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(st.get(), c)) {
            case SQLITE_INTEGER: bytes += std::size_t(sqlite3_column_int64(st.get(), c) & 1); break;
            case SQLITE_FLOAT: bytes += sqlite3_column_double(st.get(), c) > 0 ? 1 : 0; break;
            case SQLITE_NULL: break;
            default:
                bytes += sqlite3_column_text(st.get(), c) ? std::size_t(sqlite3_column_bytes(st.get(), c)) : 0;
            }
        }
    }
    benchmark::DoNotOptimize(bytes);
    return rows;
}

int readRowsByKey(sqlite3* db, const char* table, const std::vector<std::int64_t>& keys, std::size_t first,
                  std::size_t count) {
    QByteArray sql = QByteArray("SELECT * FROM ") + table + " WHERE rowid IN (";
    const std::size_t last = std::min(keys.size(), first + count);
    for (std::size_t i = first; i < last; ++i) {
        if (i > first) sql += ',';
        sql += QByteArray::number(qlonglong(keys[i]));
    }
    sql += ')';
    return readRows(db, sql);
}

std::int64_t residentBytes() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return -1;
    long size = 0, resident = 0;
    const int n = std::fscanf(f, "%ld %ld", &size, &resident);
    std::fclose(f);
    return n == 2 ? std::int64_t(resident) * sysconf(_SC_PAGESIZE) : -1;
}

void releaseFreeMemory() { malloc_trim(0); }

}
