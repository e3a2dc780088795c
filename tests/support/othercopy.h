#pragma once

#include <QProcess>
#include <QString>
#include <optional>

struct sqlite3;

// Another copy of the program: the test executable started again as a
// process of its own, holding the database file open or the single-instance
// lock until it is stopped.
//
//   OtherCopy other(databasePath());
//   ASSERT_TRUE(other.holding());
//   ... the code under test meets the other copy ...
//
// TestMain::run does the copy's part; a test with a main of its own calls
// OtherCopy::serve first.
class OtherCopy {
public:
    enum class Holds { Database, InstanceLock };

    // Starts the copy and waits until it holds `path` (a test failure when it
    // does not).
    explicit OtherCopy(const QString& path, Holds what = Holds::Database);
    ~OtherCopy();
    OtherCopy(const OtherCopy&) = delete;
    OtherCopy& operator=(const OtherCopy&) = delete;

    bool holding() const { return m_holding; }
    // Tells the copy to end and waits for it; true when it ended by itself
    // (it is killed after a while otherwise).
    bool stop();
    // Kills the copy while it holds what it holds, as a crash would.
    void kill();
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }

    // The copy's part: when the arguments ask this executable to be another
    // copy, holds what they name until a line comes on the input and returns
    // the exit code; nullopt otherwise.
    static std::optional<int> serve(int argc, char** argv);

private:
    QProcess m_process;
    bool m_holding = false;
};

// A second, independent connection to a database file, as another copy of
// the program has (close it with sqlite3_close).
sqlite3* otherConnection(const QString& path);
// The first row such a connection reads, its values joined by "|".
QString readElsewhere(const QString& path, const char* sql);
// The SHA-256 of everything stored in the file (each table's rows in key
// order), read by such a connection: a journal a failed write left behind is
// rolled back first, and pages written back count as unchanged.
QByteArray storedDigest(const QString& path);
