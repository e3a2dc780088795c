#include "shell.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <memory>

namespace Shell {

namespace {

Launcher g_launcher;
DefaultApplicationQuery g_defaultQuery;

const QString Opener = QStringLiteral("xdg-open");
const QString MimeTool = QStringLiteral("xdg-mime");

// A URL names its scheme ("http:", "mailto:"); a path of this system does not.
QString schemeOf(const QString& fileOrUrl) {
    if (fileOrUrl.startsWith(QLatin1Char('/'))) return {};
    const QUrl url(fileOrUrl);
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("file") ? QString() : scheme;
}

QString localPath(const QString& fileOrUrl) {
    if (fileOrUrl.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) return QUrl(fileOrUrl).toLocalFile();
    return fileOrUrl;
}

// A desktop entry is installed when one of the applications folders holds
// it; "vendor-name.desktop" may stand for "vendor/name.desktop".
bool isInstalled(const QString& entry) {
    if (!QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry).isEmpty()) return true;
    const qsizetype dash = entry.indexOf(QLatin1Char('-'));
    if (dash <= 0) return false;
    QString nested = entry;
    nested[dash] = QLatin1Char('/');
    return !QStandardPaths::locate(QStandardPaths::ApplicationsLocation, nested).isEmpty();
}

QString queryDesktop(const QString& mimeType) {
    QProcess query;
    query.setProgram(MimeTool);
    query.setArguments({QStringLiteral("query"), QStringLiteral("default"), mimeType});
    query.setStandardInputFile(QProcess::nullDevice());
    query.start();
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return {};
    const QString entry = QString::fromLocal8Bit(query.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
    return !entry.isEmpty() && isInstalled(entry) ? entry : QString();
}

QString exitDescription(const QString& program, int code) {
    switch (code) {
    case 1: return QStringLiteral("%1: argumentos inválidos").arg(program);
    case 2: return QStringLiteral("%1: arquivo não encontrado").arg(program);
    case 3: return QStringLiteral("%1: nenhum programa encontrado para abrir o arquivo").arg(program);
    case 4: return QStringLiteral("%1: o programa não conseguiu abrir o arquivo").arg(program);
    default: return QStringLiteral("%1 terminou com o código %2").arg(program).arg(code);
    }
}

// Starts the tool and watches its end. The QProcess belongs to the
// application; when the program ends first, only the tool itself (not the
// application it started) is stopped.
bool startReal(const QString& program, const QStringList& arguments, const FailureHandler& onFailure) {
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, program, onFailure](int code, QProcess::ExitStatus status) {
                         if (onFailure) {
                             if (status != QProcess::NormalExit)
                                 onFailure(-1, QStringLiteral("%1 foi interrompido").arg(program));
                             else if (code != 0)
                                 onFailure(code, exitDescription(program, code));
                         }
                         process->deleteLater();
                     });
    process->start();
    if (!process->waitForStarted(5000)) {
        const QString why = process->errorString();
        delete process;
        if (onFailure) onFailure(-1, QStringLiteral("%1: %2").arg(program, why));
        return false;
    }
    return true;
}

} // namespace

Launcher setLauncher(Launcher launcher) {
    Launcher previous = std::move(g_launcher);
    g_launcher = std::move(launcher);
    return previous;
}

bool run(const QString& program, const QStringList& arguments, FailureHandler onFailure) {
    if (g_launcher) {
        const bool started = g_launcher(program, arguments, onFailure);
        if (!started && onFailure) onFailure(-1, QStringLiteral("%1 não pôde ser iniciado").arg(program));
        return started;
    }
    return startReal(program, arguments, onFailure);
}

bool open(const QString& fileOrUrl, FailureHandler onFailure) {
    return run(QStringLiteral("xdg-open"), {fileOrUrl}, std::move(onFailure));
}

QString mimeTypeOf(const QString& fileOrUrl) {
    const QString scheme = schemeOf(fileOrUrl);
    if (!scheme.isEmpty()) return QStringLiteral("x-scheme-handler/") + scheme;
    return QMimeDatabase().mimeTypeForFile(localPath(fileOrUrl)).name();
}

DefaultApplicationQuery setDefaultApplicationQuery(DefaultApplicationQuery query) {
    DefaultApplicationQuery previous = std::move(g_defaultQuery);
    g_defaultQuery = std::move(query);
    return previous;
}

QString defaultApplication(const QString& mimeType) {
    return g_defaultQuery ? g_defaultQuery(mimeType) : queryDesktop(mimeType);
}

std::optional<Failure> openWithDefault(const QString& fileOrUrl) {
    if (schemeOf(fileOrUrl).isEmpty() && !QFileInfo(localPath(fileOrUrl)).isFile())
        return Failure{Code::FileNotFound, QStringLiteral("Arquivo não encontrado: %1").arg(localPath(fileOrUrl)),
                       QCoreApplication::applicationName()};
    const QString mimeType = mimeTypeOf(fileOrUrl);
    if (defaultApplication(mimeType).isEmpty())
        return Failure{Code::NoApplication,
                       QStringLiteral("Nenhum programa desta área de trabalho está associado a %1").arg(mimeType),
                       MimeTool};
    // Only a failure to start is reported; the opener's later end is not.
    auto starting = std::make_shared<bool>(true);
    auto why = std::make_shared<QString>();
    const bool started = run(Opener, {fileOrUrl}, [starting, why](int, const QString& description) {
        if (*starting) *why = description;
    });
    *starting = false;
    if (started) return std::nullopt;
    return Failure{Code::NotStarted, why->isEmpty() ? QStringLiteral("%1 não pôde ser iniciado").arg(Opener) : *why,
                   Opener};
}

bool startScreenSaver() { return run(QStringLiteral("xdg-screensaver"), {QStringLiteral("activate")}); }

}
