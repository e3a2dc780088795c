#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Opening documents and web pages in the desktop's own applications, and the
// screen saver, through the freedesktop tools (xdg-open, xdg-mime,
// xdg-screensaver).
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

// Why a document or address was not opened: a number, its description and
// the tool that told.
struct Failure {
    int code = 0;
    QString description;
    QString source;
};

// Failure codes of openWithDefault().
namespace Code {
constexpr int FileNotFound = 2;    // the file does not exist
constexpr int NotStarted = 5;      // the opener could not be started
constexpr int NoApplication = 31;  // the desktop has no application for it
}

// The kind of document or address, as the desktop's default applications are
// kept: a URL's "x-scheme-handler/<scheme>" ("mailto:..." gives
// "x-scheme-handler/mailto"), a file's MIME type from its name and contents.
QString mimeTypeOf(const QString& fileOrUrl);

// The desktop's default application for a MIME type: the name of its
// desktop entry ("writer.desktop"), empty when the desktop has none. Asks
// "xdg-mime query default" and keeps only an entry that is installed.
QString defaultApplication(const QString& mimeType);

// Opens a file or URL in the desktop's default application, deciding first
// whether the desktop has one (so nothing falls back to some other program).
// Returns nullopt once the opener has started, otherwise why nothing was
// opened. What the opener does afterwards is not reported: the answer would
// come late, over whatever the operator does by then.
std::optional<Failure> openWithDefault(const QString& fileOrUrl);

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

// Test seam: replaces the desktop's default-application query. The query gets
// a MIME type and returns the desktop entry's name, empty for none. An empty
// query restores the desktop's own; returns the previous one.
using DefaultApplicationQuery = std::function<QString(const QString& mimeType)>;
DefaultApplicationQuery setDefaultApplicationQuery(DefaultApplicationQuery query);

}
