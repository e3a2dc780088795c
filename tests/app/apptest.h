#pragma once

// Shared by the main-window and backup tests.
//
// Another copy of the program holding the database open: the test binary
// started again with "--hold <database>" keeps a connection until it reads a
// line on its input.
//
//   int main(int argc, char** argv) {
//       if (argc >= 3 && std::strcmp(argv[1], "--hold") == 0) return holdDatabase(argv[2]);
//       return TestMain::run(argc, argv);
//   }

#include "store/database.h"
#include "store/programfolder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

inline int holdDatabase(const char* path) {
    try {
        Database db(QString::fromLocal8Bit(path), QString::fromUtf8(ConnectWithPassword));
        std::printf("aberto\n");
        std::fflush(stdout);
        char line[16];
        (void)std::fgets(line, sizeof line, stdin);
    } catch (const DbError&) {
        return 1;
    }
    return 0;
}

class OtherCopy {
public:
    explicit OtherCopy(const QString& databasePath) {
        m_process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), databasePath});
        m_ok = m_process.waitForReadyRead(30000) && m_process.readLine().trimmed() == "aberto";
        EXPECT_TRUE(m_ok) << "the other copy did not open the database";
    }
    ~OtherCopy() { stop(); }
    bool holding() const { return m_ok; }
    void stop() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.write("fim\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(30000)) m_process.kill();
    }

private:
    QProcess m_process;
    bool m_ok = false;
};

// The SHA-256 of a file's contents (empty for a missing file).
inline QByteArray fileDigest(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// A temporary home folder (HOME) while the object lives: the automatic
// backup's folder goes there.
class TemporaryHome {
public:
    TemporaryHome() : m_old(qgetenv("HOME")) {
        EXPECT_TRUE(m_dir.isValid());
        qputenv("HOME", QFile::encodeName(m_dir.path()));
    }
    ~TemporaryHome() { qputenv("HOME", m_old); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};
