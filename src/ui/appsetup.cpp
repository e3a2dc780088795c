#include "appsetup.h"

#include "messagebox.h"
#include "numbers.h"
#include "textentry.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace AppSetup {

void init(QApplication& app) {
    QCoreApplication::setApplicationName(programTitle());
    QLocale::setDefault(Numbers::brazil());
    // Qt's own texts (context menus, standard dialogs) in Portuguese.
    auto* qt = new QTranslator(&app);
    if (qt->load(Numbers::brazil(), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    // Fonts that the windows name but Linux lacks fall back to close faces.
    Fonts::installSubstitutes();
    // Pasted text obeys the same character rule as typed text in every box.
    TextEntry::guardEveryField();
}

}
