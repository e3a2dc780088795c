#include "copywriters.h"

#include "store/database.h"
#include "store/recordcursor.h"
#include "store/runningcopies.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <sqlcipher/sqlite3.h>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace CopyWriters {

namespace {

const char* const WriterOption = "--copy-writer";

// A copy's figures, one line on its output: "tempos <first> <longest> <total>".
int write(const QString& path, int count) {
    qint64 first = -1, longest = 0;
    QElapsedTimer all, one;
    try {
        RecordCursor customers;
        customers.open(path, QStringLiteral("TblClientes"));
        Database& db = customers.database();
        all.start();
        for (int i = 0; i < count; ++i) {
            one.start();
            RunningCopies::raise(db);
            qint64 t = one.nsecsElapsed() / 1000;
            if (first < 0) first = t;
            longest = std::max(longest, t);
            one.start();
            customers.addNew();
            customers.setField(QStringLiteral("Nome"), QStringLiteral("CÓPIA %1 CLIENTE %2").arg(QCoreApplication::applicationPid()).arg(i));
            customers.update();
            t = one.nsecsElapsed() / 1000;
            longest = std::max(longest, t);
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "%d %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    std::printf("tempos %lld %lld %lld\n", qlonglong(first), qlonglong(longest), qlonglong(all.nsecsElapsed() / 1000));
    return 0;
}

const char* const ChurnOption = "--copy-churn";

int churn(const QString& path, int ms) {
    try {
        Database db(path);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES (printf('%03d I', abs(random() % 1000)))"));
            db.execute(QStringLiteral("DELETE FROM TblClientes WHERE Codigo = (SELECT Codigo FROM TblClientes "
                                      "WHERE substr(Nome, -1) = 'D' ORDER BY random() LIMIT 1)"));
            db.execute(QStringLiteral("UPDATE TblClientes SET Nome = printf('%03d R', abs(random() % 1000)) WHERE Codigo IN "
                                      "(SELECT Codigo FROM TblClientes WHERE substr(Nome, -1) = 'R' ORDER BY random() LIMIT 4)"));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));   // the file free a moment for the other copy
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "%d %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    return 0;
}

const char* const OneWriteOption = "--copy-one-write";

// Adds one customer named `name`, in a transaction of its own or while a read
// of the same connection is mid-step; exit code 0 when stored, 1 when the
// file was busy, 2 otherwise.
int writeOnce(const QString& path, const QString& name, bool midRead) {
    try {
        Database db(path);
        Database::setWaitLimit(300);
        sqlite3_stmt* read = nullptr;
        if (midRead) {
            sqlite3_prepare_v2(db.handle(), "SELECT Codigo FROM TblClientes", -1, &read, nullptr);
            sqlite3_step(read);
        }
        try {
            std::optional<Transaction> tx;
            if (!midRead) tx.emplace(db);
            db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES (?)"), {name});
            if (tx) tx->commit();
        } catch (...) {
            sqlite3_finalize(read);
            throw;
        }
        sqlite3_finalize(read);
    } catch (const DbError& e) {
        std::fprintf(stderr, "%d %s\n", e.number(), qPrintable(e.description()));
        return e.number() == DbErrorCode::Busy ? 1 : 2;
    }
    return 0;
}

} // namespace

int writeOnce(const QString& path, const QString& name, Write how, int timeoutMs) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(),
            {QString::fromLatin1(OneWriteOption), path, name, how == Write::MidRead ? QStringLiteral("1") : QStringLiteral("0")});
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void addChurnRows(Database& db, int groups) {
    Transaction tx(db);
    for (int i = 0; i < groups; ++i)
        for (const char* kind : {"D", "R", "K"})
            db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES (?)"),
                       {QStringLiteral("%1 %2").arg(i * 25, 3, 10, QLatin1Char('0')).arg(QLatin1String(kind))});
    tx.commit();
}

QProcess* startChurn(const QString& path, int ms) {
    auto* p = new QProcess;
    p->start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(ChurnOption), path, QString::number(ms)});
    return p;
}

qint64 Run::longestWaitUs() const {
    qint64 m = 0;
    for (const Copy& c : copies) m = std::max(m, c.longestWaitUs);
    return m;
}

Run start(const QString& path, int copies, int count, int timeoutMs) {
    std::vector<std::unique_ptr<QProcess>> procs;
    for (int i = 0; i < copies; ++i) {
        procs.push_back(std::make_unique<QProcess>());
        procs.back()->start(QCoreApplication::applicationFilePath(),
                            {QString::fromLatin1(WriterOption), path, QString::number(count)});
    }
    QElapsedTimer clock;
    clock.start();
    Run run;
    for (auto& p : procs) {
        Copy c;
        const qint64 left = std::max<qint64>(1, timeoutMs - clock.elapsed());
        c.finished = p->waitForFinished(int(left));
        if (!c.finished) {
            p->kill();
            p->waitForFinished(5000);
        } else {
            c.exitCode = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
        }
        const QStringList figures = QString::fromLatin1(p->readAllStandardOutput()).split(QLatin1Char(' '));
        if (figures.size() == 4 && figures[0] == QLatin1String("tempos")) {
            c.firstWriteUs = figures[1].toLongLong();
            c.longestWaitUs = figures[2].toLongLong();
            c.totalUs = figures[3].trimmed().toLongLong();
        }
        c.errors = QString::fromUtf8(p->readAllStandardError());
        run.copies.push_back(c);
    }
    return run;
}

std::optional<int> serve(int argc, char** argv) {
    if (argc >= 5 && std::strcmp(argv[1], OneWriteOption) == 0)
        return writeOnce(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), std::strcmp(argv[4], "1") == 0);
    if (argc >= 4 && std::strcmp(argv[1], ChurnOption) == 0) return churn(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    if (argc < 4 || std::strcmp(argv[1], WriterOption) != 0) return std::nullopt;
    return write(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
}

}
