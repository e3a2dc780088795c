#pragma once

#include <QString>
#include <functional>

// Faults of the disk under the database engine, injected through a file
// layer of the engine's own (so they work for root too, whom file modes do
// not stop). While a StoreFault lives, every database file the engine opens
// or writes in this process meets it; it goes when the object does, so a
// retry afterwards meets a sound disk.
//
//   StoreFault fault(StoreFault::DiskFull);
//   ... a save fails with the full-disk cause ...
//   fault.clear();
//   ... the same save succeeds ...
//
// Connections must be opened after the layer is in place: StoreFault::install()
// (also done by the constructor) puts it under every later opening.
class StoreFault {
public:
    enum Kind {
        None,
        DiskFull,        // every write fails as on a full disk
        IoError,         // every write fails with a disk I/O error
        ReadOnlyFolder,  // no journal can be made beside the file
        ReadOnlyFile,    // the file opens read-only (at the next opening)
        // Faults of the last step of a write, the COMMIT:
        DatabaseSyncFails,  // the database file's fsync fails
        JournalSyncFails,   // the journal's fsync fails
        JournalKept,        // the journal cannot be deleted: it stays, so the write is undone
        JournalGoneButError,// the journal is deleted (the write stands) but an error comes back
        JournalGoneReadFailsOnce, // as JournalGoneButError, and the next read of the file fails once
        JournalGoneUnreadable,    // as JournalGoneButError, and the file cannot be read until cleared
        DiskFullAtCommit,   // no space while the journal is written at COMMIT
        UnreadableFile,     // the file exists but cannot be opened (at the next opening)
    };
    // Every fault that refuses a write, at a statement or at its COMMIT.
    static constexpr Kind RefusedWrites[] = {DiskFull, IoError, ReadOnlyFolder, DatabaseSyncFails, JournalSyncFails,
                                             JournalKept, DiskFullAtCommit};
    // Every fault of the COMMIT: each lands the write or not, never by halves.
    static constexpr Kind CommitFaults[] = {DatabaseSyncFails, JournalSyncFails, JournalKept, JournalGoneButError,
                                            JournalGoneReadFailsOnce, DiskFullAtCommit};
    // Whether the write stands under a COMMIT fault of this kind.
    static bool writeLands(Kind kind) {
        return kind == JournalGoneButError || kind == JournalGoneReadFailsOnce || kind == JournalGoneUnreadable;
    }
    explicit StoreFault(Kind kind);
    ~StoreFault();
    StoreFault(const StoreFault&) = delete;
    StoreFault& operator=(const StoreFault&) = delete;

    void clear();

    static void install();
    // The words the cause of each kind is shown with (part of the message).
    static QString causeWords(Kind kind);
};

// The number of the store error (DbError) that `f` throws, whose description
// must not be empty; 0 when it throws none.
int dbErrorOf(const std::function<void()>& f);
