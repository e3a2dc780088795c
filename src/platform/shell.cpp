#include "shell.h"

#include <QCoreApplication>
#include <QProcess>

namespace Shell {

namespace {

Launcher g_launcher;

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

bool startScreenSaver() { return run(QStringLiteral("xdg-screensaver"), {QStringLiteral("activate")}); }

}
