#pragma once

// Shared by the main-window, program and backup tests.
//
// Another copy of the program holding the database open: the test binary
// started again with "--hold <database>" keeps a connection until it reads a
// line on its input.
//
//   int main(int argc, char** argv) {
//       if (argc >= 3 && std::strcmp(argv[1], "--hold") == 0) return holdDatabase(argv[2]);
//       return TestMain::run(argc, argv);
//   }

#include "app/frmmdi.h"
#include "app/windowregistry.h"
#include "platform/screensize.h"
#include "platform/singleinstance.h"
#include "store/database.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "support/fixture.h"
#include "ui/windowhost.h"

#include <QAction>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

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

// A main-window test: the single-instance lock in the test's folder, a
// 1024 x 768 screen and a log-in that lets ADMINISTRADOR in at once. The main
// window and the registered windows go when the test ends.
class MainWindowTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        SingleInstance::setLockPath(folder() + QStringLiteral("/tarvel.lock"));
        ScreenSize::setOverride(QSize(1024, 768));
        FrmMdi::setLoginRunner([](QWidget*) {
            Modulo::NomeOperadorAtual = QStringLiteral("ADMINISTRADOR");
            return int(QDialog::Accepted);
        });
    }
    void TearDown() override {
        mdi.reset();
        FrmMdi::setLoginRunner({});
        WindowRegistry::clear();
        SingleInstance::setLockPath(QString());
        ScreenSize::setOverride(QSize());
        ProgramFolderTest::TearDown();
    }

    // Loads the main window and runs its start-up timer (the log-in).
    FrmMdi* start() {
        mdi = std::make_unique<FrmMdi>();
        if (!mdi->ended()) timer("Timer1")->fire();
        return mdi.get();
    }
    WindowTimer* timer(const char* name) { return mdi->findChild<WindowTimer*>(name); }
    QAction* action(const char* name) { return mdi->findChild<QAction*>(name); }

    std::unique_ptr<FrmMdi> mdi;
};
