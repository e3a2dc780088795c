// The program: the main window opens the database, runs the log-in and
// stays until the operator ends the program.
#include "app/frmmdi.h"
#include "app/programwindows.h"
#include "ui/appsetup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    AppSetup::init(app);
    // Closing the main window asks first; the program ends only through
    // FrmMdi::programEnded.
    app.setQuitOnLastWindowClosed(false);

    // Windows of the other areas register here so that the main window's
    // entries open them.
    registerProgramWindows();

    FrmMdi mdi;
    if (mdi.ended()) return mdi.exitCode();
    QObject::connect(&mdi, &FrmMdi::programEnded, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    mdi.showMaximized();
    return app.exec();
}
