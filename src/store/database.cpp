#include "database.h"
#include "schema.h"

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
#include <algorithm>
#include <chrono>
#include <csignal>
#include <ctime>
#include <functional>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <random>

#include <cerrno>
#include <fcntl.h>
#include <sqlcipher/sqlite3.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
const QString Source = dbErrorSource();

int g_waitLimitMs = 30000;
int g_queryLimitMs = 10000;

// The longest text a criterion may make or compare: far above any stored value.
constexpr int CriterionTextLimit = 1000000;
// A LIKE pattern longer than this is refused (typed patterns are a few dozen).
constexpr int LikePatternLimit = 20000;

DbError busyError() {
    return DbError(DbErrorCode::Busy,
                   QStringLiteral("O banco de dados está em uso por outra cópia do programa. Tente novamente."), Source);
}

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
    if (np > LikePatternLimit) {
        sqlite3_result_error(ctx, "LIKE pattern too long", -1);
        return;
    }
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
    void open(const QString& password);
    sqlite3* db = nullptr;
    QString path;
    QString lockPath;
    int lockFd = -1;

    // The writers' turn: a lock on a byte of the database file, past the
    // engine's own lock bytes, taken before the write lock.
    int turnFd = -1;
    int turnDepth = 0;
    bool turnHeld = false;
    void takeTurn();
    void giveTurn();

    // Engine waits (busy handler).
    Clock::time_point busySince;

    // The transaction in progress (see Transaction) and the write that
    // waits for its outcome.
    bool inTransaction = false;
    int txChangesAtBegin = 0;
    std::function<void(Transaction::Outcome)> waiting;
    // A write left unconfirmed and the count it gave the commit counter;
    // the writers' turn is kept (one depth) until it is told.
    std::shared_ptr<Database::UnconfirmedWrite> unconfirmed, lastUnconfirmed;
    qint64 unconfirmedCount = 0;
    // Tells the unconfirmed write, if any, from the file; throws the
    // Unconfirmed error while the file cannot tell.
    void tellUnconfirmed();
    // The last rows written (update hook); writes counts them all, undoneAt
    // is the count when a transaction was last rolled back.
    std::deque<Database::RowWrite> written;
    quint64 writes = 0, undoneAt = 0;

    // The criterion guard (see CriterionGuard).
    bool guarded = false;
    QString guardTable;
    Clock::time_point deadline;
    bool interrupted = false;
    bool refused = false;   // the authorizer said no
    bool ownTable(const char* table) const {
        return table && qstrnicmp(table, "sqlite_", 7) != 0 &&
               guardTable.compare(QString::fromUtf8(table), Qt::CaseInsensitive) == 0;
    }
};

namespace {

std::map<QString, std::weak_ptr<Connection>>& registry() {
    static std::map<QString, std::weak_ptr<Connection>> r;
    return r;
}

// Raw handle -> our connection, for the helpers that get only the handle.
// Never destroyed: connections held by static objects close after it would be.
std::map<sqlite3*, Connection*>& byHandle() {
    static auto* m = new std::map<sqlite3*, Connection*>;
    return *m;
}

Connection* connectionOf(sqlite3* db) {
    auto it = byHandle().find(db);
    return it == byHandle().end() ? nullptr : it->second;
}

// Waits for another copy's engine lock: its locks last one statement, so
// look again soon, with some jitter so that copies do not move in step.
int busyWait(void* p, int count) {
    auto* c = static_cast<Connection*>(p);
    const auto now = Clock::now();
    if (count == 0) c->busySince = now;
    if (now - c->busySince >= std::chrono::milliseconds(g_waitLimitMs)) return 0;
    static thread_local std::minstd_rand jitter(unsigned(::getpid()));
    const int base = count < 20 ? 100 : count < 100 ? 400 : 1500;
    ::usleep(useconds_t(base + int(jitter() % unsigned(base))));
    return 1;
}

// Stops a guarded statement that has run past its time.
int progressCheck(void* p) {
    auto* c = static_cast<Connection*>(p);
    if (!c->guarded || Clock::now() < c->deadline) return 0;
    c->interrupted = true;
    return 1;
}

bool plainFunction(const char* name) {
    static const char* const allowed[] = {
        "like", "lower", "upper", "trim", "ltrim", "rtrim", "length", "substr", "instr", "abs", "round",
        "coalesce", "ifnull", "nullif", "date", "time", "datetime", "julianday", "strftime", "min", "max",
        "count", "sum", "total", "avg", "typeof", "replace"};
    if (!name) return false;
    for (const char* a : allowed)
        if (qstricmp(a, name) == 0) return true;
    return false;
}

int authorize(void* p, int action, const char* a3, const char* a4, const char*, const char*) {
    auto* c = static_cast<Connection*>(p);
    if (!c->guarded) return SQLITE_OK;
    bool ok = false;
    switch (action) {
    case SQLITE_SELECT: ok = true; break;
    case SQLITE_READ: ok = c->ownTable(a3); break;
    case SQLITE_FUNCTION: ok = plainFunction(a4); break;
    default: break;   // writes, attach, pragma, transactions, recursion, schema
    }
    if (!ok) c->refused = true;
    return ok ? SQLITE_OK : SQLITE_DENY;
}

// --- The writers' turn ------------------------------------------------------

// Bytes of the database file that no engine lock uses (those are 1 GB + 0..511).
constexpr off_t TurnByte = 0x40000000 + 1024;
constexpr off_t GateByte = TurnByte + 1;

enum class Taken { Yes, TimedOut, Unsupported };

void wakeUp(int) {}

int wakeSignal() {
    static const int sig = [] {
        const int s = SIGRTMIN + 5;
        struct sigaction sa {};
        sa.sa_handler = wakeUp;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = 0;   // no restart: a blocked lock wait returns EINTR
        sigaction(s, &sa, nullptr);
        return s;
    }();
    return sig;
}

// Takes a lock on one byte of fd (open-file-description locks, so that they
// neither mix with the engine's own locks nor go when another descriptor
// closes). Waits in the kernel, woken every 50 ms to watch the time.
Taken lockByte(int fd, off_t at, int waitMs) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = at;
    fl.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &fl) == 0) return Taken::Yes;
    if (errno != EAGAIN && errno != EACCES) return Taken::Unsupported;
    if (waitMs <= 0) return Taken::TimedOut;

    struct sigevent ev {};
    ev.sigev_notify = SIGEV_THREAD_ID;
    ev.sigev_signo = wakeSignal();
    ev._sigev_un._tid = pid_t(::syscall(SYS_gettid));
    timer_t timer;
    if (::timer_create(CLOCK_MONOTONIC, &ev, &timer) != 0) return Taken::Unsupported;
    struct itimerspec tick {};
    tick.it_value.tv_nsec = tick.it_interval.tv_nsec = 50 * 1000 * 1000;
    ::timer_settime(timer, 0, &tick, nullptr);
    const auto until = Clock::now() + std::chrono::milliseconds(waitMs);
    Taken result = Taken::TimedOut;
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLKW, &fl) == 0) { result = Taken::Yes; break; }
        if (errno != EINTR) { result = Taken::Unsupported; break; }
        if (Clock::now() >= until) break;
    }
    ::timer_delete(timer);
    return result;
}

void unlockByte(int fd, off_t at) {
    struct flock fl {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = at;
    fl.l_len = 1;
    ::fcntl(fd, F_OFD_SETLK, &fl);
}

bool readingNow(sqlite3* db) {
    for (sqlite3_stmt* st = sqlite3_next_stmt(db, nullptr); st; st = sqlite3_next_stmt(db, st))
        if (sqlite3_stmt_busy(st)) return true;
    return false;
}

} // namespace

// The turn goes through a gate: a writer holds the gate only while it waits
// for the turn, so the turn passes straight to that writer, and a copy that
// has just written queues at the gate like everyone else instead of taking
// the turn back at once.
void Connection::takeTurn() {
    if (turnDepth++ > 0 || turnFd < 0) return;
    // A copy in the middle of a read holds a read lock: waiting behind a
    // writer that waits for that read lock would only end at the limit. It
    // takes the turn only when it is free, and is busy at once otherwise.
    const int waitMs = readingNow(db) ? 0 : g_waitLimitMs;
    const Taken gate = lockByte(turnFd, GateByte, waitMs);
    if (gate == Taken::Unsupported) return;   // the engine's own waiting still applies
    if (gate == Taken::TimedOut) {
        --turnDepth;
        throw busyError();
    }
    const Taken turn = lockByte(turnFd, TurnByte, waitMs);
    unlockByte(turnFd, GateByte);
    if (turn == Taken::TimedOut) {
        --turnDepth;
        throw busyError();
    }
    turnHeld = turn == Taken::Yes;
}

void Connection::giveTurn() {
    if (turnDepth == 0 || --turnDepth > 0) return;
    if (turnHeld) unlockByte(turnFd, TurnByte);
    turnHeld = false;
}

Connection::Connection(const QString& file, const QString& password) : path(file) {
    if (!QFileInfo(file).isFile()) {
        throw DbError(DbErrorCode::FileNotFound,
                      QStringLiteral("Não foi possível localizar o arquivo '%1'.").arg(file), Source);
    }
    // A copy that starts while another makes its backup copy of the file
    // (an exclusive lock on the lock file) waits for the copy to end.
    // The lock file is made only once the file proved to be ours: a failed
    // open leaves nothing behind.
    lockPath = lockPathFor(file);
    lockFd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CLOEXEC);
    if (lockFd >= 0) {
        const auto until = Clock::now() + std::chrono::milliseconds(g_waitLimitMs);
        while (::flock(lockFd, LOCK_SH | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK || Clock::now() >= until) {
                const bool busy = errno == EWOULDBLOCK;
                ::close(lockFd);
                lockFd = -1;
                if (busy) throw busyError();
                break;
            }
            ::usleep(20000);
        }
    }
    try {
        open(password);
    } catch (...) {
        if (lockFd >= 0) ::close(lockFd);
        lockFd = -1;
        throw;
    }
    if (lockFd < 0) {
        lockFd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lockFd >= 0) ::flock(lockFd, LOCK_SH);
    }
}

void Connection::open(const QString& password) {
    const QString& file = path;
    // Never SQLITE_OPEN_CREATE: opening must not make a file.
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        // The file is there (looked at before): it is the file, not its
        // folder, that could not be opened.
        const QString cause = (rc & 0xff) == SQLITE_CANTOPEN
                                  ? QStringLiteral("O arquivo do banco de dados não pode ser lido: o sistema negou o "
                                                   "acesso a ele. Libere a leitura e a gravação no arquivo e tente "
                                                   "novamente.")
                                  : engineError(db, rc).description();
        const DbError e(rc, cause + QStringLiteral(" (%1)").arg(file), Source);
        sqlite3_close(db);
        db = nullptr;
        throw e;
    }
    const QByteArray key = password.toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_busy_handler(db, busyWait, this);
    sqlite3_update_hook(
        db,
        [](void* p, int op, const char*, const char* table, sqlite3_int64 key) {
            auto* c = static_cast<Connection*>(p);
            c->written.push_back({op, QString::fromUtf8(table), key});
            if (c->written.size() > 64) c->written.pop_front();
            ++c->writes;
        },
        this);
    sqlite3_rollback_hook(db, [](void* p) { static_cast<Connection*>(p)->undoneAt = static_cast<Connection*>(p)->writes; }, this);
    // Tell a wrong password or a foreign file from a good database, and a
    // file that another copy is writing from both.
    sqlite3_stmt* probe = nullptr;
    rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master WHERE name = 'TblConfig'", -1, &probe, nullptr);
    bool ours = false;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(probe);
        ours = rc == SQLITE_ROW && sqlite3_column_int(probe, 0) == 1;
        if (rc == SQLITE_ROW) rc = SQLITE_OK;
    }
    sqlite3_finalize(probe);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        sqlite3_close(db);
        db = nullptr;
        throw busyError();
    }
    if (rc != SQLITE_OK || !ours) {
        sqlite3_close(db);
        db = nullptr;
        throw DbError(DbErrorCode::NotADatabase,
                      QStringLiteral("Formato de banco de dados não reconhecido ou senha inválida: '%1'.").arg(file),
                      Source);
    }
    registerTextFunctions(db);
    sqlite3_set_authorizer(db, authorize, this);
    sqlite3_progress_handler(db, 1000, progressCheck, this);
    // Rollback journal: a shared folder cannot hold a write-ahead log.
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    turnFd = ::open(QFile::encodeName(file).constData(), O_RDWR | O_CLOEXEC);
    byHandle()[db] = this;
}

Connection::~Connection() {
    if (db) {
        byHandle().erase(db);
        sqlite3_close_v2(db);
    }
    // Only after the engine has closed the file: closing any descriptor of
    // the file drops the engine's own locks on it in this process.
    if (turnFd >= 0) ::close(turnFd);
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
    // Kept as criteria read it: a lone surrogate would otherwise turn into "?".
    const QByteArray s = SqlDialect::storedText(v.toString()).toUtf8();
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
    Schema::addMissingIndexes(*this);
}

Database Database::openDefault() { return Database(ProgramFolder::databasePath(), QString::fromUtf8(ConnectWithPassword)); }

QString Database::path() const { return m_conn ? m_conn->path : QString(); }

sqlite3* Database::handle() const {
    if (!m_conn) throw DbError(DbErrorCode::FileNotFound, QStringLiteral("O banco de dados não está aberto."), Source);
    return m_conn->db;
}

quint64 Database::writeMark() const { return m_conn ? m_conn->writes : 0; }

bool Database::writesSince(quint64 mark, std::vector<RowWrite>& out) const {
    out.clear();
    if (!m_conn || m_conn->undoneAt > mark || m_conn->writes - mark > m_conn->written.size()) return false;
    out.assign(m_conn->written.end() - std::ptrdiff_t(m_conn->writes - mark), m_conn->written.end());
    return true;
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

void Database::setWaitLimit(int milliseconds) { g_waitLimitMs = std::max(0, milliseconds); }
int Database::waitLimit() { return g_waitLimitMs; }
void Database::setQueryTimeLimit(int milliseconds) { g_queryLimitMs = std::max(1, milliseconds); }
int Database::queryTimeLimit() { return g_queryLimitMs; }

namespace {

// The file's commit counter (the header's user version); none when it cannot be read.
std::optional<qint64> commitCounter(sqlite3* db) {
    sqlite3_stmt* st = nullptr;
    std::optional<qint64> n;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
}

// Reads of the counter before a write's outcome counts as unknown.
constexpr int ReadBackTries = 3;

// Whether a write that gave the commit counter `counted` is stored, read
// back while this copy holds the writers' turn: the counter holds the count
// or another one. A file that cannot be read whose journal is still there
// has not got the write (the journal undoes it at the next read). None when
// neither tells, after a few tries.
std::optional<bool> counterHolds(sqlite3* db, qint64 counted) {
    const QString journal = QString::fromUtf8(sqlite3_db_filename(db, "main")) + QStringLiteral("-journal");
    for (int i = 0; i < ReadBackTries; ++i) {
        if (i > 0) ::usleep(50000);
        if (const auto n = commitCounter(db)) return *n == counted;
        if (QFileInfo(journal).size() > 0) return false;
    }
    return std::nullopt;
}

DbError unconfirmedError() {
    return DbError(DbErrorCode::Unconfirmed,
                   QStringLiteral("Não foi possível confirmar se a gravação foi concluída: o disco não pôde ser lido "
                                  "logo depois dela. Verifique o disco ou a rede e tente novamente: a nova tentativa "
                                  "verifica primeiro se esta gravação foi concluída, e nada é gravado duas vezes."),
                   Source);
}

// COMMIT of the write transaction in progress. A write that changed rows
// first counts itself in the file's commit counter; when the COMMIT fails it
// is rolled back and the counter read again: the write stands when the
// counter has its count (the journal went, so the file holds the write, and
// an error came back all the same); it did not when the counter has another;
// when the counter cannot be read the write is left unconfirmed. Otherwise
// throws the COMMIT's error. No transaction is open on return.
void commitOrReadBack(Connection& c, bool changed) {
    sqlite3* db = c.db;
    qint64 counted = -1;
    int rc = SQLITE_OK;
    if (changed) {
        const std::optional<qint64> before = commitCounter(db);
        if (!before) {
            rc = sqlite3_extended_errcode(db);
            if (rc == SQLITE_OK) rc = SQLITE_IOERR;
        } else {
            // The header holds a signed 32-bit number; the count stays positive.
            counted = (*before + 1) & 0x7fffffff;
            rc = sqlite3_exec(db, QByteArray("PRAGMA user_version = " + QByteArray::number(counted)).constData(),
                              nullptr, nullptr, nullptr);
        }
    }
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return;
    const DbError error = engineError(db, rc);
    if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (counted < 0) throw error;
    const std::optional<bool> stored = counterHolds(db, counted);
    if (stored == true) return;
    if (stored == false) throw error;
    c.unconfirmed = c.lastUnconfirmed = std::make_shared<Database::UnconfirmedWrite>();
    c.unconfirmedCount = counted;
    ++c.turnDepth;
    throw unconfirmedError();
}

} // namespace

void Connection::tellUnconfirmed() {
    if (!unconfirmed) return;
    const std::optional<bool> stored = counterHolds(db, unconfirmedCount);
    if (!stored) throw unconfirmedError();
    unconfirmed->stored = *stored;
    unconfirmed.reset();
    giveTurn();
}

std::shared_ptr<const Database::UnconfirmedWrite> Database::lastUnconfirmed() const {
    return m_conn ? m_conn->lastUnconfirmed : nullptr;
}

void Database::tellUnconfirmed() const {
    if (m_conn) m_conn->tellUnconfirmed();
}

bool Database::wasStored(const std::shared_ptr<const UnconfirmedWrite>& write) const {
    if (!write->stored && m_conn) m_conn->tellUnconfirmed();
    if (!write->stored) throw unconfirmedError();
    return *write->stored;
}

Transaction::Transaction(const Database& db) : m_conn(db.connection()) {
    if (!m_conn) throw DbError(DbErrorCode::FileNotFound, QStringLiteral("O banco de dados não está aberto."), Source);
    if (m_conn->inTransaction) throw std::logic_error("a transaction inside another");
    sqlite3* h = m_conn->db;
    m_conn->tellUnconfirmed();
    m_conn->takeTurn();
    const int rc = sqlite3_exec(h, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const DbError e = engineError(h, rc);
        m_conn->giveTurn();
        throw e;
    }
    m_conn->txChangesAtBegin = sqlite3_total_changes(h);
    m_conn->inTransaction = true;
}

Transaction::~Transaction() {
    if (!m_done) end(Outcome::RolledBack);
}

void Transaction::end(Outcome outcome) {
    m_done = true;
    sqlite3* h = m_conn->db;
    if (outcome != Outcome::Stored && !sqlite3_get_autocommit(h)) sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
    m_conn->inTransaction = false;
    m_conn->giveTurn();
    const auto done = std::move(m_conn->waiting);
    m_conn->waiting = nullptr;
    // The outcome is final: what waited for it cannot change it.
    try {
        if (done) done(outcome);
    } catch (...) {
    }
}

void Transaction::commit() {
    if (m_done) return;
    sqlite3* h = m_conn->db;
    try {
        commitOrReadBack(*m_conn, sqlite3_total_changes(h) != m_conn->txChangesAtBegin);
    } catch (const DbError& e) {
        end(e.number() == DbErrorCode::Unconfirmed ? Outcome::Unconfirmed : Outcome::RolledBack);
        throw;
    } catch (...) {
        end(Outcome::RolledBack);
        throw;
    }
    end(Outcome::Stored);
}

void Transaction::whenStored(const Database& db, std::function<void(Outcome)> done) {
    const auto conn = db.connection();
    if (!conn || !conn->inTransaction) {
        if (done) done(Outcome::Stored);
        return;
    }
    if (conn->waiting) throw std::logic_error("a second write waiting for one transaction");
    conn->waiting = std::move(done);
}

CriterionGuard::CriterionGuard(sqlite3* db, const QString& table) : m_conn(connectionOf(db)) {
    if (!m_conn || m_conn->guarded) return;
    m_outer = true;
    m_conn->guarded = true;
    m_conn->guardTable = table;
    m_conn->interrupted = false;
    m_conn->refused = false;
    m_conn->deadline = Clock::now() + std::chrono::milliseconds(g_queryLimitMs);
    m_savedLength = sqlite3_limit(db, SQLITE_LIMIT_LENGTH, CriterionTextLimit);
}

CriterionGuard::~CriterionGuard() {
    if (!m_outer) return;
    sqlite3_limit(m_conn->db, SQLITE_LIMIT_LENGTH, m_savedLength);
    m_conn->guarded = false;
    m_conn->guardTable.clear();
}

Statement::~Statement() { sqlite3_finalize(s); }

namespace {

// The error of a statement that the guard refused or stopped, if it was that.
std::optional<DbError> guardError(sqlite3* db, int rc, const QString& sql) {
    const Connection* c = connectionOf(db);
    if (!c || !c->guarded) return std::nullopt;
    if (rc == SQLITE_AUTH || c->refused)
        return DbError(DbErrorCode::NotAllowed,
                       QStringLiteral("A expressão pede mais do que a leitura da tabela %1 e foi recusada: %2")
                           .arg(c->guardTable, sql),
                       Source);
    if (rc == SQLITE_INTERRUPT || c->interrupted)
        return DbError(DbErrorCode::TookTooLong,
                       QStringLiteral("A pesquisa demorou demais e foi interrompida. Refaça-a com um critério mais "
                                      "simples."),
                       Source);
    if (rc == SQLITE_TOOBIG)
        return DbError(DbErrorCode::BadCriterion,
                       QStringLiteral("A expressão produz um texto grande demais e foi recusada."), Source);
    return std::nullopt;
}

} // namespace

void prepareStatement(sqlite3* db, const QString& sql, Statement& st) {
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st.s, &tail);
    if (rc != SQLITE_OK) {
        if (auto e = guardError(db, rc, sql)) throw *e;
        // The file failed, not the statement (reading the tables' list).
        if (rc != SQLITE_ERROR && rc != SQLITE_TOOBIG) throw engineError(db, rc);
        throw DbError(DbErrorCode::BadCriterion, QString::fromUtf8(sqlite3_errmsg(db)) + QStringLiteral(" — ") + sql,
                      dbErrorSource());
    }
    // One statement only: nothing may follow it, not even after a NUL.
    for (const char* p = tail; p && p < text.constData() + text.size(); ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\n' && *p != '\r' && *p != ';') {
            sqlite3_finalize(st.s);
            st.s = nullptr;
            throw DbError(DbErrorCode::BadCriterion,
                          QStringLiteral("Mais de uma instrução no texto — ") + sql, dbErrorSource());
        }
    }
}

QString engineCause(int code, const QString& engineText) {
    switch (code & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("O disco está cheio: não há espaço para gravar no banco de dados. Libere espaço no "
                              "disco e tente novamente.");
    case SQLITE_READONLY:
        // Newer engines tell a folder that refuses the journal by this code.
        if (code != (SQLITE_READONLY | (6 << 8)))
            return QStringLiteral("O arquivo do banco de dados é somente leitura: o programa não pode gravar nele. "
                                  "Libere a gravação no arquivo e tente novamente.");
        [[fallthrough]];
    case SQLITE_CANTOPEN:
        // A write that cannot make its journal beside the file.
        return QStringLiteral("A pasta do banco de dados é somente leitura ou não pôde ser usada: o programa não "
                              "pode gravar nela. Libere a gravação na pasta e tente novamente.");
    case SQLITE_PERM:
        return QStringLiteral("O sistema negou o acesso ao arquivo do banco de dados: verifique as permissões.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_PROTOCOL:
        return busyError().description();
    case SQLITE_IOERR:
        if (code == SQLITE_IOERR_NOMEM) return QStringLiteral("Memória insuficiente para concluir a operação.");
        return QStringLiteral("Erro de leitura ou gravação no disco: verifique o disco ou a rede e tente novamente.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("O arquivo do banco de dados está danificado: repare-o ou restaure uma cópia de "
                              "segurança.");
    case SQLITE_NOMEM:
        return QStringLiteral("Memória insuficiente para concluir a operação.");
    case SQLITE_NOLFS:
        return QStringLiteral("O banco de dados atingiu o tamanho máximo que o disco permite.");
    case SQLITE_TOOBIG:
        return QStringLiteral("Um valor é grande demais para ser gravado no banco de dados.");
    default:
        return QStringLiteral("Erro do banco de dados: ") +
               (engineText.isEmpty() ? QString::fromUtf8(sqlite3_errstr(code)) : engineText);
    }
}

DbError engineError(sqlite3* db, int rc) {
    if (db) {
        if (auto e = guardError(db, rc, QString())) return *e;
    }
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) return busyError();
    // The extended code tells a read-only folder from a read-only file.
    const int code = db && (sqlite3_extended_errcode(db) & 0xff) == (rc & 0xff) ? sqlite3_extended_errcode(db) : rc;
    return DbError(rc, engineCause(code, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString()), dbErrorSource());
}

namespace {

void stepToEnd(sqlite3* db, Statement& st) {
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {}
    if (rc != SQLITE_DONE) throw engineError(db, rc);
}

} // namespace

void runToEnd(sqlite3* db, Statement& st) {
    Connection* c = connectionOf(db);
    if (!c || sqlite3_stmt_readonly(st.s) || c->inTransaction) {
        stepToEnd(db, st);
        return;
    }
    // A read's own snapshot is no place for a write: it would hold the write
    // lock without the writers' turn.
    if (!sqlite3_get_autocommit(db)) throw std::logic_error("a write inside a read");
    // A write of its own: the turn, then the write lock, then the write.
    c->tellUnconfirmed();
    c->takeTurn();
    int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const DbError e = engineError(db, rc);
        c->giveTurn();
        throw e;
    }
    try {
        const int changesBefore = sqlite3_total_changes(db);
        stepToEnd(db, st);
        sqlite3_reset(st.s);   // a finished statement holds nothing, but say so before COMMIT
        commitOrReadBack(*c, sqlite3_total_changes(db) != changesBefore);
    } catch (...) {
        // Never leave the connection inside the failed transaction: every
        // later write would then stay invisible to the other copies.
        sqlite3_reset(st.s);
        if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        c->giveTurn();
        throw;
    }
    c->giveTurn();
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
