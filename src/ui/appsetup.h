#pragma once

class QApplication;

// Program-wide settings made once at start-up (the program and the tests):
// application name "Tarvel", the pt-BR locale as default and Qt's own pt-BR
// translation (standard dialogs, context menus).
namespace AppSetup {
void init(QApplication& app);
}
