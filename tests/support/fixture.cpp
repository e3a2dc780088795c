#include "fixture.h"

#include "modal.h"
#include "platform/screensize.h"
#include "platform/singleinstance.h"
#include "store/clock.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/schema.h"
#include "ui/windowhost.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

void closeAllWindows() {
    ModalScript::closeModals();
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) windows.append(w);
    for (const QPointer<QWidget>& w : windows)
        if (w && w->isVisible()) w->close();
    // Windows that delete themselves on close go now; the others belong to
    // whoever made them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void ProgramFolderTest::SetUp() {
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
    Schema::createDatabaseFile(m_dir->filePath(QString::fromUtf8(DatabaseFileName)));
    ProgramFolder::setPath(m_dir->path());
    Modulo::reset();
    Clock::set(QDateTime());
    WindowHost::setMdiArea(nullptr);
}

void ProgramFolderTest::TearDown() {
    closeAllWindows();
    WindowHost::setMdiArea(nullptr);
    Clock::set(QDateTime());
    ProgramFolder::setPath(QString());
    m_dir.reset();
}

QString ProgramFolderTest::folder() const { return m_dir ? m_dir->path() : QString(); }

QString ProgramFolderTest::databasePath() const {
    return m_dir ? m_dir->filePath(QString::fromUtf8(DatabaseFileName)) : QString();
}

void StartUpTest::SetUp() {
    ProgramFolderTest::SetUp();
    SingleInstance::setLockPath(folder() + QStringLiteral("/tarvel.lock"));
    ScreenSize::setOverride(QSize(1024, 768));
}

void StartUpTest::TearDown() {
    SingleInstance::setLockPath(QString());
    ScreenSize::setOverride(QSize());
    ProgramFolderTest::TearDown();
}
