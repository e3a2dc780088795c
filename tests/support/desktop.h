#pragma once

#include "platform/shell.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The test's own desktop while the object lives: programs started through
// Shell are recorded instead of run, and the desktop's default applications
// are the ones the test sets (none at first).
//
//   FakeDesktop desktop;
//   desktop.defaults.insert("x-scheme-handler/http", "browser.desktop");
//   ... click the link ...
//   EXPECT_EQ(desktop.launches[0].arguments, QStringList{"http://..."});
class FakeDesktop {
public:
    FakeDesktop();
    ~FakeDesktop();
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    struct Launch {
        QString program;
        QStringList arguments;
    };
    QList<Launch> launches;
    // The failure handler of the last start: calling it is the program
    // ending badly later.
    Shell::FailureHandler lastFailure;
    // Whether a start succeeds.
    bool starts = true;
    // Default application (desktop entry) by MIME type.
    QHash<QString, QString> defaults;
};
