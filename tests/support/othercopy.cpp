#include "othercopy.h"

#include "platform/singleinstance.h"
#include "store/database.h"
#include "store/programfolder.h"

#include <QCryptographicHash>
#include <QFile>
#include <functional>
#include <sqlcipher/sqlite3.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const char* const HoldDatabase = "--hold";
const char* const HoldInstanceLock = "--hold-instance";
const QByteArray Ready = "pronto";
constexpr int WaitMs = 30000;

// Says so to the test, then waits for its line.
int holdUntilTold() {
    std::printf("%s\n", Ready.constData());
    std::fflush(stdout);
    char line[16];
    (void)std::fgets(line, sizeof line, stdin);
    return 0;
}

} // namespace

OtherCopy::OtherCopy(const QString& path, Holds what) {
    const char* option = what == Holds::Database ? HoldDatabase : HoldInstanceLock;
    m_process.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(option), path});
    m_holding = m_process.waitForReadyRead(WaitMs) && m_process.readLine().trimmed() == Ready;
    EXPECT_TRUE(m_holding) << "the other copy does not hold " << path.toStdString();
}

OtherCopy::~OtherCopy() { stop(); }

bool OtherCopy::stop() {
    if (m_process.state() == QProcess::NotRunning) return true;
    m_process.write("fim\n");
    m_process.closeWriteChannel();
    if (m_process.waitForFinished(WaitMs)) return true;
    kill();
    return false;
}

void OtherCopy::kill() {
    m_process.kill();
    m_process.waitForFinished(WaitMs);
}

std::optional<int> OtherCopy::serve(int argc, char** argv) {
    if (argc < 3) return std::nullopt;
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (std::strcmp(argv[1], HoldDatabase) == 0) {
        try {
            Database db(path);
            return holdUntilTold();
        } catch (const DbError&) {
            return 1;
        }
    }
    if (std::strcmp(argv[1], HoldInstanceLock) == 0) {
        SingleInstance::setLockPath(path);
        if (!SingleInstance::acquire()) return 2;
        return holdUntilTold();
    }
    return std::nullopt;
}

sqlite3* otherConnection(const QString& path) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_key(db, DatabasePassword, int(qstrlen(DatabasePassword)));
    registerTextFunctions(db);
    return db;
}

QString readElsewhere(const QString& path, const char* sql) {
    sqlite3* db = otherConnection(path);
    sqlite3_stmt* st = nullptr;
    QStringList out;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out.join('|');
}

QByteArray storedDigest(const QString& path) {
    sqlite3* db = otherConnection(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto each = [&](const QByteArray& sql, const std::function<void(sqlite3_stmt*)>& row) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        while (st && sqlite3_step(st) == SQLITE_ROW) row(st);
        sqlite3_finalize(st);
    };
    QByteArrayList tables;
    each("SELECT name, sql FROM sqlite_master ORDER BY name", [&](sqlite3_stmt* st) {
        const QByteArray name(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        hash.addData(name + '\0' + reinterpret_cast<const char*>(sqlite3_column_text(st, 1)) + '\0');
        if (sqlite3_column_type(st, 1) != SQLITE_NULL && QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))).startsWith("CREATE TABLE"))
            tables << name;
    });
    for (const QByteArray& table : tables)
        each("SELECT * FROM \"" + table + "\" ORDER BY rowid", [&](sqlite3_stmt* st) {
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                hash.addData(QByteArray::number(sqlite3_column_type(st, c)));
                hash.addData(QByteArray(reinterpret_cast<const char*>(sqlite3_column_blob(st, c)), sqlite3_column_bytes(st, c)) + '\0');
            }
        });
    sqlite3_close(db);
    return hash.result();
}
