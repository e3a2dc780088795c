#pragma once

#include <QString>
#include <QStringList>

// The desktop's own programs reached from the main window and the about box:
// the web browser, the mail program and a system-information program. Each
// tells the operator at once when the desktop has none for it.
namespace DesktopLinks {

// The maker's e-mail address shown in the about box.
QString mailAddress();

// Opens "http://" followed by host in the web browser. When the desktop has
// no browser (or it cannot be started) shows "Não foi possível abrir esta
// página da Internet" with the reason and returns false.
bool openWebPage(const QString& host);

// Opens the mail program on a new message to address, the program's title as
// its subject ("mailto:...?subject=Tarvel"). When it cannot, shows "Não foi
// possível abrir o Gerenciador padrão de E-mail" with the reason and returns
// false.
bool openMail(const QString& address);

// The system-information programs looked for on the PATH, in order.
QStringList sysInfoPrograms();
// Starts the first of them that is installed; when none is (or it cannot be
// started) shows "Não foi possível exibir as Informações do Sistema" and
// returns false.
bool StartSysInfo();

}
