#include "database.h"

#include "currency.h"
#include "programfolder.h"
#include "sqldialect.h"
#include "statement.h"
#include "textcompare.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTime>
#include <map>
#include <mutex>

#include <fcntl.h>
#include <sqlcipher/sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString Source = dbErrorSource();

int collatePtBr(void*, int na, const void* a, int nb, const void* b) {
    return TextCompare::compare(static_cast<const char*>(a), std::size_t(na),
                                static_cast<const char*>(b), std::size_t(nb));
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    (void)argc;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // like(pattern, text) is what "text LIKE pattern" calls.
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int np = sqlite3_value_bytes(argv[0]);
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int nt = sqlite3_value_bytes(argv[1]);
    sqlite3_result_int(ctx, TextCompare::like(pattern, std::size_t(np), text, std::size_t(nt)) ? 1 : 0);
}

QString canonical(const QString& path) {
    const QFileInfo fi(path);
    const QString c = fi.canonicalFilePath();
    return c.isEmpty() ? fi.absoluteFilePath() : c;
}

QString lockPathFor(const QString& dbPath) {
    const QFileInfo fi(dbPath);
    return fi.absoluteDir().filePath(fi.completeBaseName() + QStringLiteral(".ldb"));
}

QString passwordFrom(const QString& connect) {
    for (const QString& part : connect.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString p = part.trimmed();
        if (p.startsWith(QLatin1String("pwd="), Qt::CaseInsensitive)) return p.mid(4);
    }
    return QString::fromUtf8(DatabasePassword);
}

} // namespace

// The one keyed connection of this process to one file, with its share of the
// lock file.
class Connection {
public:
    Connection(const QString& path, const QString& password);
    ~Connection();
    sqlite3* db = nullptr;
    QString path;
    QString lockPath;
    int lockFd = -1;
};

namespace {
std::map<QString, std::weak_ptr<Connection>>& registry() {
    static std::map<QString, std::weak_ptr<Connection>> r;
    return r;
}
}

Connection::Connection(const QString& file, const QString& password) : path(file) {
    if (!QFileInfo(file).isFile()) {
        throw DbError(DbErrorCode::FileNotFound,
                      QStringLiteral("Não foi possível localizar o arquivo '%1'.").arg(file), Source);
    }
    // Never SQLITE_OPEN_CREATE: opening must not make a file.
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const DbError e(rc, engineError(db, rc).description() + QStringLiteral(" (%1)").arg(file), Source);
        sqlite3_close(db);
        db = nullptr;
        throw e;
    }
    const QByteArray key = password.toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_busy_timeout(db, 5000);
    // Tell a wrong password or a foreign file from a good database.
    sqlite3_stmt* probe = nullptr;
    rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master WHERE name = 'TblConfig'", -1, &probe, nullptr);
    bool ours = false;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(probe);
        ours = rc == SQLITE_ROW && sqlite3_column_int(probe, 0) == 1;
        if (rc == SQLITE_ROW) rc = SQLITE_OK;
    }
    sqlite3_finalize(probe);
    if (rc != SQLITE_OK || !ours) {
        sqlite3_close(db);
        db = nullptr;
        throw DbError(DbErrorCode::NotADatabase,
                      QStringLiteral("Formato de banco de dados não reconhecido ou senha inválida: '%1'.").arg(file),
                      Source);
    }
    registerTextFunctions(db);
    // Rollback journal: a shared folder cannot hold a write-ahead log.
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);

    lockPath = lockPathFor(file);
    lockFd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (lockFd >= 0) ::flock(lockFd, LOCK_SH);
}

Connection::~Connection() {
    if (db) sqlite3_close_v2(db);
    // The lock file stays: removing it could race with a copy that is just
    // opening it. Whether a copy holds the database is told by the lock alone.
    if (lockFd >= 0) ::close(lockFd);
}

void registerTextFunctions(sqlite3* db) {
    sqlite3_create_collation(db, "PTBR", SQLITE_UTF8, nullptr, collatePtBr);
    sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction, nullptr, nullptr);
}

void bindValue(sqlite3_stmt* stmt, int index, const QVariant& v) {
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool: sqlite3_bind_int(stmt, index, v.toBool() ? 1 : 0); return;
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::Short: case QMetaType::UShort:
        sqlite3_bind_int64(stmt, index, v.toLongLong()); return;
    case QMetaType::Double: case QMetaType::Float: sqlite3_bind_double(stmt, index, v.toDouble()); return;
    case QMetaType::QDate: {
        const QByteArray s = v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
        sqlite3_bind_text(stmt, index, s.constData(), int(s.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QTime: {
        const QByteArray s = v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8();
        sqlite3_bind_text(stmt, index, s.constData(), int(s.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDateTime: {
        const QByteArray s = v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
        sqlite3_bind_text(stmt, index, s.constData(), int(s.size()), SQLITE_TRANSIENT);
        return;
    }
    default: break;
    }
    if (v.canConvert<Currency>() && v.userType() == qMetaTypeId<Currency>()) {
        sqlite3_bind_int64(stmt, index, v.value<Currency>().raw());
        return;
    }
    const QByteArray s = v.toString().toUtf8();
    sqlite3_bind_text(stmt, index, s.constData(), int(s.size()), SQLITE_TRANSIENT);
}

namespace {

void prepare(sqlite3* db, const QString& sql, const QVariantList& params, Statement& st) {
    prepareStatement(db, SqlDialect::translate(sql), st);
    for (int i = 0; i < params.size(); ++i) bindValue(st.s, i + 1, params[i]);
}

} // namespace

Database::Database(const QString& path, const QString& connect) {
    const QString key = canonical(path);
    auto& reg = registry();
    if (auto it = reg.find(key); it != reg.end()) {
        if (auto existing = it->second.lock()) {
            m_conn = existing;
            return;
        }
    }
    m_conn = std::make_shared<Connection>(path, passwordFrom(connect));
    reg[key] = m_conn;
}

Database Database::openDefault() { return Database(ProgramFolder::databasePath(), QString::fromUtf8(ConnectWithPassword)); }

QString Database::path() const { return m_conn ? m_conn->path : QString(); }

sqlite3* Database::handle() const {
    if (!m_conn) throw DbError(DbErrorCode::FileNotFound, QStringLiteral("O banco de dados não está aberto."), Source);
    return m_conn->db;
}

int Database::execute(const QString& sql, const QVariantList& params) {
    sqlite3* db = handle();
    Statement st;
    prepare(db, sql, params, st);
    runToEnd(db, st);
    return sqlite3_changes(db);
}

QVariant Database::scalar(const QString& sql, const QVariantList& params) {
    sqlite3* db = handle();
    Statement st;
    prepare(db, sql, params, st);
    const int rc = sqlite3_step(st.s);
    if (rc == SQLITE_ROW) return storedColumn(st.s, 0);
    if (rc != SQLITE_DONE) throw engineError(db, rc);
    return QVariant();
}

std::vector<QVariantList> Database::rows(const QString& sql, const QVariantList& params) {
    sqlite3* db = handle();
    Statement st;
    prepare(db, sql, params, st);
    std::vector<QVariantList> out;
    const int cols = sqlite3_column_count(st.s);
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(cols);
        for (int c = 0; c < cols; ++c) row.append(storedColumn(st.s, c));
        out.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) throw engineError(db, rc);
    return out;
}

qint64 Database::lastInsertKey() const { return sqlite3_last_insert_rowid(handle()); }

bool Database::isHeldOpen(const QString& path) {
    const QByteArray lock = QFile::encodeName(lockPathFor(path));
    const int fd = ::open(lock.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

Database::ExclusiveUse::ExclusiveUse(const QString& path) {
    m_fd = ::open(QFile::encodeName(lockPathFor(path)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    m_held = m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
}

Database::ExclusiveUse::~ExclusiveUse() {
    if (m_fd >= 0) ::close(m_fd);   // closing releases the lock
}

bool Database::openInThisProcess(const QString& path) {
    auto& reg = registry();
    auto it = reg.find(canonical(path));
    return it != reg.end() && !it->second.expired();
}

Transaction::Transaction(const Database& db) : m_conn(db.connection()) {
    if (!m_conn) throw DbError(DbErrorCode::FileNotFound, QStringLiteral("O banco de dados não está aberto."), Source);
    const int rc = sqlite3_exec(m_conn->db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw engineError(m_conn->db, rc);
}

Transaction::~Transaction() {
    if (!m_done) sqlite3_exec(m_conn->db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    const int rc = sqlite3_exec(m_conn->db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw engineError(m_conn->db, rc);
    m_done = true;
}

Statement::~Statement() { sqlite3_finalize(s); }

void prepareStatement(sqlite3* db, const QString& sql, Statement& st) {
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st.s, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(DbErrorCode::BadCriterion, QString::fromUtf8(sqlite3_errmsg(db)) + QStringLiteral(" — ") + sql,
                      dbErrorSource());
}

DbError engineError(sqlite3* db, int rc) {
    return DbError(rc, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)),
                   dbErrorSource());
}

void runToEnd(sqlite3* db, Statement& st) {
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {}
    if (rc != SQLITE_DONE) throw engineError(db, rc);
}

QVariant storedColumn(sqlite3_stmt* s, int col) {
    switch (sqlite3_column_type(s, col)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(s, col)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(s, col));
    case SQLITE_NULL: return QVariant();
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, col)),
                                          sqlite3_column_bytes(s, col)));
    }
}
