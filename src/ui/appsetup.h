#pragma once

class QApplication;

// Program-wide settings made once at start-up (the program and the tests):
// application name "Tarvel", the pt-BR locale as default and Qt's own pt-BR
// translation (standard dialogs, context menus), and free faces standing in
// for the fonts the windows name.
namespace AppSetup {
void init(QApplication& app);
}
