#pragma once

#include <QString>

class Database;
class QProcess;
#include <QStringList>
#include <optional>
#include <vector>

// Several copies of the program writing to one database file at once: each
// copy is the calling executable started again as a process of its own. A
// copy raises the running-copies counter and adds a customer through a record
// cursor, one after the other, `count` times, as fast as it can, and times
// every write.
//
// The executable's main calls CopyWriters::serve first (TestMain::run does).
namespace CopyWriters {

struct Copy {
    bool finished = false;     // ended by itself within the time given
    int exitCode = -1;
    qint64 longestWaitUs = 0;  // the longest single write of this copy
    qint64 firstWriteUs = 0;   // its first write
    qint64 totalUs = 0;        // all its writes
    QString errors;            // what it reported on failure
};

struct Run {
    std::vector<Copy> copies;
    qint64 longestWaitUs() const;
};

// Starts `copies` copies on the file at `path` together and waits for them,
// at most `timeoutMs` in all (copies still running then are killed).
Run start(const QString& path, int copies, int count, int timeoutMs);

// Starts a copy that, for `ms` milliseconds, one write after another, adds
// a customer, deletes one whose name ends in " D" and gives four whose names
// end in " R" other such names: "<3 digits> R", anywhere in name order.
// The caller waits for it (and deletes it).
QProcess* startChurn(const QString& path, int ms);

// The customers such a copy works on, in one transaction: for each of
// `groups` three-digit numbers 000, 025, 050, ... one "<n> D" (deleted),
// one "<n> R" (renamed) and one "<n> K" (kept as it is).
void addChurnRows(Database& db, int groups);

// Starts a copy that adds the customer `name` in one write, in a transaction
// of its own or while one of its own reads is mid-step, waiting at most 300 ms
// for the file, and waits for it: 0 when it stored the row, 1 when the file
// was busy, 2 on another error, -1 when it did not end within `timeoutMs`.
enum class Write { InTransaction, MidRead };
int writeOnce(const QString& path, const QString& name, Write how, int timeoutMs);

// The copy's part: when the arguments ask this executable to be a writing
// copy, writes and returns the exit code; nullopt otherwise.
std::optional<int> serve(int argc, char** argv);

}
