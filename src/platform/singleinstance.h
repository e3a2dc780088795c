#pragma once

#include <QString>

// Whether another copy of the program already runs for this user on this
// computer.
//
// The first copy takes an exclusive lock (flock) on a file in the user's
// runtime folder and holds it until it ends; the kernel drops the lock when
// the process ends in any way, so a copy that crashed never blocks the next
// start, whatever it left in the file.
namespace SingleInstance {

// Takes the lock for this process (kept until the process ends or release()).
// False when another process holds it. True again when this process already
// holds it.
bool acquire();
// Whether this process holds the lock.
bool held();
// Lets the lock go (tests).
void release();

// The lock file: $XDG_RUNTIME_DIR/tarvel.lock, else tarvel-<uid>.lock in the
// temporary folder. Tests point it elsewhere; an empty path restores it.
QString lockPath();
void setLockPath(const QString& path);

}
