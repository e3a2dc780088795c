#pragma once

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A test with a program folder of its own: a temporary folder holding a fresh
// delivered database ("Bd DedUvevaro.mdb"), the program-wide variables reset
// and the system clock. When the test ends, every modal dialog and top-level
// window left open is closed (windows with Qt::WA_DeleteOnClose are deleted),
// then the folder goes.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary program folder and its database file.
    QString folder() const;
    QString databasePath() const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// A test of the program's start: besides its own program folder, the
// single-instance lock in that folder and a 1024 x 768 screen; both go back
// to the real ones when the test ends.
class StartUpTest : public ProgramFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Closes every modal dialog and visible top-level window; runs the pending
// deletions of windows that delete themselves on close.
void closeAllWindows();
