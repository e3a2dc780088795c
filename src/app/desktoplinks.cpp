#include "desktoplinks.h"

#include "platform/shell.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"

#include <QStandardPaths>

namespace DesktopLinks {

namespace {

// The failure's lines, then its description, number and source.
bool opened(const QString& target, const QStringList& lines) {
    const std::optional<Shell::Failure> failure = Shell::openWithDefault(target);
    if (!failure) return true;
    ShowError(lines, ErrorInfo{failure->code, failure->description, failure->source}, QStringLiteral("%2 %1 %3"), {},
              MsgIcon::Exclamation);
    return false;
}

} // namespace

QString mailAddress() { return QStringLiteral("suporte@tarvel.example"); }

bool openWebPage(const QString& host) {
    return opened(QStringLiteral("http://") + host,
                  {QStringLiteral("Não foi possível abrir esta página da Internet"),
                   QStringLiteral("Verifique se a sua conexão está funcionando corretamente")});
}

bool openMail(const QString& address) {
    return opened(QStringLiteral("mailto:") + address + QStringLiteral("?subject=") + programTitle(),
                  {QStringLiteral("Não foi possível abrir o Gerenciador padrão de E-mail")});
}

QStringList sysInfoPrograms() {
    // Dedicated system-information tools first, then the desktops' own
    // information centres and system monitors.
    return {QStringLiteral("hardinfo2"),  QStringLiteral("hardinfo"),         QStringLiteral("kinfocenter"),
            QStringLiteral("cpu-x"),      QStringLiteral("lshw-gtk"),         QStringLiteral("xfce4-about"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("mate-system-monitor")};
}

bool StartSysInfo() {
    for (const QString& name : sysInfoPrograms()) {
        const QString program = QStandardPaths::findExecutable(name);
        if (program.isEmpty()) continue;
        if (Shell::run(program, {})) return true;
        break;
    }
    MsgBox(QStringLiteral("Não foi possível exibir as Informações do Sistema"), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

}
