#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Opening documents and web pages in the desktop's own applications, and the
// screen saver, through the freedesktop tools (xdg-open, xdg-screensaver).
namespace Shell {

// Called once when a started tool ends with a failure: its exit code and a
// description of it.
using FailureHandler = std::function<void(int code, const QString& description)>;

// Starts a desktop tool. Returns false (with the handler called at once) when
// it could not be started; a non-zero exit code later calls the handler from
// the event loop. The tool keeps running on its own when the program ends.
bool run(const QString& program, const QStringList& arguments, FailureHandler onFailure = {});

// Opens a file or a URL in the desktop's default application ("xdg-open").
bool open(const QString& fileOrUrl, FailureHandler onFailure = {});

// Starts the screen saver ("xdg-screensaver activate"). Failures are quiet.
bool startScreenSaver();

// Test seam: replaces the starting of tools. The launcher gets the program,
// its arguments and the failure handler, and returns whether it started;
// run() reports a start that failed, the launcher only a later failure.
using Launcher = std::function<bool(const QString& program, const QStringList& arguments,
                                    const FailureHandler& onFailure)>;
// Installs a launcher (an empty one restores the real tools); returns the
// previous one.
Launcher setLauncher(Launcher launcher);

}
