#pragma once

#include "storefaults.h"
#include "ui/messagebox.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

// The failing half of a window's write under a fault of the disk: runs
// `write` (the operator's action) with the fault on, answering the one
// message box it must show with `answer`; expects that message to be
// critical and to name the cause, and the database file at `databasePath`
// to be unchanged. Returns the message's text for the test's own checks;
// the fault is gone when it returns, so the test's retry meets a sound disk.
// Under a fault of the COMMIT whose write lands all the same
// (StoreFault::writeLands) it is a success: no message, the file written.
QString writeUnderFault(StoreFault::Kind kind, const QString& databasePath, const std::function<void()>& write,
                        MsgAnswer answer = MsgAnswer::Ok);

// What the store says of a write it could not confirm (DbErrorCode::Unconfirmed).
extern const QString UnconfirmedText;

// The write under a COMMIT that lands but after which the file cannot be read
// (StoreFault::JournalGoneUnreadable): runs `write` answering the one message
// box it must show with `answer`, expects that message to be critical and the
// write to be in the file. Returns the message's text for the test's own
// checks; the fault is gone when it returns.
QString writeUnconfirmed(const QString& databasePath, const std::function<void()>& write,
                         MsgAnswer answer = MsgAnswer::Ok);

// How the file later tells a write left unconfirmed: it stood, it did not (the
// file is put back as it was before the write, as after a COMMIT that never
// reached the disk), or the file still cannot be read.
enum class Told { Stored, NotStored, StillUnknown };
// Runs `write` under a COMMIT the file cannot confirm, answering the
// questions it asks first with `asked` and checking its failure message
// (critical, with the store's words), then makes the file tell `told`. For
// StillUnknown the returned fault keeps the file unreadable until it is
// dropped; otherwise it is null.
std::unique_ptr<StoreFault> leaveUnconfirmed(const QString& databasePath, const std::function<void()>& write, Told told,
                                             const std::vector<MsgAnswer>& asked = {});
// Whether another copy of the program can write to the file now, within
// the store's wait limit (this copy does not keep the writers' turn).
bool anotherCopyWrites(const QString& databasePath);
