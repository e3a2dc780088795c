#include "storefaults.h"

#include "store/database.h"
#include <gtest/gtest.h>

#include <sqlcipher/sqlite3.h>

#include <atomic>
#include <cstring>

namespace {

std::atomic<int> g_kind{StoreFault::None};
sqlite3_vfs* g_real = nullptr;

// Set from the COMMIT of a write until its database file is unlocked.
std::atomic<bool> g_committing{false};
// Reads of the database file still to fail (after a COMMIT's fault).
std::atomic<int> g_failingReads{0};

struct File {
    sqlite3_file base;
    sqlite3_file* real;   // the real file lives right after this header
    int flags;            // how the engine opened it (main database, journal...)
};

bool isJournal(sqlite3_file* f) { return reinterpret_cast<File*>(f)->flags & SQLITE_OPEN_MAIN_JOURNAL; }
bool isDatabase(sqlite3_file* f) { return reinterpret_cast<File*>(f)->flags & SQLITE_OPEN_MAIN_DB; }

sqlite3_file* realOf(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real; }

int xClose(sqlite3_file* f) {
    sqlite3_file* r = realOf(f);
    return r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
}
int xRead(sqlite3_file* f, void* p, int n, sqlite3_int64 off) {
    if (isDatabase(f) && g_failingReads > 0) {
        if (g_kind != StoreFault::JournalGoneUnreadable) --g_failingReads;
        return SQLITE_IOERR_READ;
    }
    return realOf(f)->pMethods->xRead(realOf(f), p, n, off);
}
int xWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 off) {
    switch (g_kind.load()) {
    case StoreFault::DiskFull: return SQLITE_FULL;
    case StoreFault::IoError: return SQLITE_IOERR_WRITE;
    case StoreFault::DiskFullAtCommit:
        if (g_committing && isJournal(f)) return SQLITE_FULL;
        [[fallthrough]];
    default: return realOf(f)->pMethods->xWrite(realOf(f), p, n, off);
    }
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) { return realOf(f)->pMethods->xTruncate(realOf(f), size); }
int xSync(sqlite3_file* f, int flags) {
    const int kind = g_kind.load();
    if ((kind == StoreFault::DatabaseSyncFails && isDatabase(f)) || (kind == StoreFault::JournalSyncFails && isJournal(f)))
        return SQLITE_IOERR_FSYNC;
    return realOf(f)->pMethods->xSync(realOf(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) { return realOf(f)->pMethods->xFileSize(realOf(f), size); }
int xLock(sqlite3_file* f, int l) { return realOf(f)->pMethods->xLock(realOf(f), l); }
int xUnlock(sqlite3_file* f, int l) {
    if (isDatabase(f) && l <= SQLITE_LOCK_SHARED) g_committing = false;
    return realOf(f)->pMethods->xUnlock(realOf(f), l);
}
int xCheckReservedLock(sqlite3_file* f, int* out) { return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out); }
int xFileControl(sqlite3_file* f, int op, void* arg) { return realOf(f)->pMethods->xFileControl(realOf(f), op, arg); }
int xSectorSize(sqlite3_file* f) { return realOf(f)->pMethods->xSectorSize(realOf(f)); }
int xDeviceCharacteristics(sqlite3_file* f) { return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f)); }
int xShmMap(sqlite3_file* f, int i, int sz, int ext, void volatile** p) {
    return realOf(f)->pMethods->xShmMap(realOf(f), i, sz, ext, p);
}
int xShmLock(sqlite3_file* f, int off, int n, int flags) { return realOf(f)->pMethods->xShmLock(realOf(f), off, n, flags); }
void xShmBarrier(sqlite3_file* f) { realOf(f)->pMethods->xShmBarrier(realOf(f)); }
int xShmUnmap(sqlite3_file* f, int del) { return realOf(f)->pMethods->xShmUnmap(realOf(f), del); }
int xFetch(sqlite3_file* f, sqlite3_int64 off, int n, void** pp) { return realOf(f)->pMethods->xFetch(realOf(f), off, n, pp); }
int xUnfetch(sqlite3_file* f, sqlite3_int64 off, void* p) { return realOf(f)->pMethods->xUnfetch(realOf(f), off, p); }

const sqlite3_io_methods Methods = {3,         xClose,     xRead,       xWrite,    xTruncate,       xSync,
                                    xFileSize, xLock,      xUnlock,     xCheckReservedLock, xFileControl,
                                    xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock, xShmBarrier,
                                    xShmUnmap, xFetch, xUnfetch};

int xOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<File*>(f);
    file->base.pMethods = nullptr;
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    file->flags = flags;
    std::memset(file->real, 0, std::size_t(g_real->szOsFile));
    const int kind = g_kind.load();
    // As the engine says it of a folder where the journal cannot be made.
    if (kind == StoreFault::ReadOnlyFolder && (flags & SQLITE_OPEN_MAIN_JOURNAL)) return SQLITE_CANTOPEN;
    if (kind == StoreFault::UnreadableFile && (flags & SQLITE_OPEN_MAIN_DB)) return SQLITE_CANTOPEN;
    if (kind == StoreFault::ReadOnlyFile && (flags & SQLITE_OPEN_MAIN_DB))
        flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    const int rc = g_real->xOpen(g_real, name, file->real, flags, outFlags);
    if (rc == SQLITE_OK && file->real->pMethods) file->base.pMethods = &Methods;
    return rc;
}

int xDelete(sqlite3_vfs*, const char* name, int sync) {
    const int kind = g_kind.load();
    if (kind == StoreFault::JournalKept) return SQLITE_IOERR_DELETE;
    const int rc = g_real->xDelete(g_real, name, sync);
    if (kind == StoreFault::JournalGoneReadFailsOnce || kind == StoreFault::JournalGoneUnreadable) g_failingReads = 1;
    return StoreFault::writeLands(StoreFault::Kind(kind)) ? SQLITE_IOERR_DELETE : rc;
}
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out) { return g_real->xAccess(g_real, name, flags, out); }
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out) { return g_real->xFullPathname(g_real, name, n, out); }
void* xDlOpen(sqlite3_vfs*, const char* name) { return g_real->xDlOpen(g_real, name); }
void xDlError(sqlite3_vfs*, int n, char* msg) { g_real->xDlError(g_real, n, msg); }
void (*xDlSym(sqlite3_vfs*, void* h, const char* sym))(void) { return g_real->xDlSym(g_real, h, sym); }
void xDlClose(sqlite3_vfs*, void* h) { g_real->xDlClose(g_real, h); }
int xRandomness(sqlite3_vfs*, int n, char* out) { return g_real->xRandomness(g_real, n, out); }
int xSleep(sqlite3_vfs*, int us) { return g_real->xSleep(g_real, us); }
int xCurrentTime(sqlite3_vfs*, double* t) { return g_real->xCurrentTime(g_real, t); }
int xGetLastError(sqlite3_vfs*, int n, char* s) { return g_real->xGetLastError(g_real, n, s); }
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t) { return g_real->xCurrentTimeInt64(g_real, t); }

int onCommit(void*) {
    g_committing = true;
    return 0;   // the COMMIT goes on
}

int watchCommits(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_commit_hook(db, onCommit, nullptr);
    return SQLITE_OK;
}

} // namespace

void StoreFault::install() {
    static sqlite3_vfs vfs = [] {
        sqlite3_initialize();
        g_real = sqlite3_vfs_find(nullptr);
        sqlite3_vfs v{};
        v.iVersion = 2;
        v.szOsFile = int(sizeof(File)) + g_real->szOsFile;
        v.mxPathname = g_real->mxPathname;
        v.zName = "tarvel-faults";
        v.xOpen = xOpen;
        v.xDelete = xDelete;
        v.xAccess = xAccess;
        v.xFullPathname = xFullPathname;
        v.xDlOpen = xDlOpen;
        v.xDlError = xDlError;
        v.xDlSym = xDlSym;
        v.xDlClose = xDlClose;
        v.xRandomness = xRandomness;
        v.xSleep = xSleep;
        v.xCurrentTime = xCurrentTime;
        v.xGetLastError = xGetLastError;
        v.xCurrentTimeInt64 = xCurrentTimeInt64;
        return v;
    }();
    static const bool registered = sqlite3_vfs_register(&vfs, 1) == SQLITE_OK &&
                                   sqlite3_auto_extension(reinterpret_cast<void (*)()>(watchCommits)) == SQLITE_OK;
    (void)registered;
}

StoreFault::StoreFault(Kind kind) {
    install();
    g_kind = kind;
}

StoreFault::~StoreFault() { clear(); }

void StoreFault::clear() {
    g_kind = None;
    g_failingReads = 0;
}

QString StoreFault::causeWords(Kind kind) {
    switch (kind) {
    case DiskFull: return QStringLiteral("O disco está cheio");
    case IoError: return QStringLiteral("Erro de leitura ou gravação no disco");
    case ReadOnlyFolder: return QStringLiteral("A pasta do banco de dados é somente leitura");
    case ReadOnlyFile: return QStringLiteral("O arquivo do banco de dados é somente leitura");
    case DatabaseSyncFails:
    case JournalSyncFails:
    case JournalKept: return QStringLiteral("Erro de leitura ou gravação no disco");
    case DiskFullAtCommit: return QStringLiteral("O disco está cheio");
    case UnreadableFile: return QStringLiteral("O arquivo do banco de dados não pode ser lido");
    case JournalGoneButError:
    case JournalGoneReadFailsOnce: break;   // the write stands: nothing to tell
    case JournalGoneUnreadable: return QStringLiteral("Não foi possível confirmar se a gravação foi concluída");
    case None: break;
    }
    return {};
}

int dbErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const DbError& e) {
        EXPECT_FALSE(e.description().isEmpty()) << e.number();
        return e.number();
    }
    return 0;
}
