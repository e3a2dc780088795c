// Creates the program folder's delivered files when they are missing: the
// database "Bd DedUvevaro.mdb" with its tables and first rows, the logo and
// the background pictures. Existing files are never touched.
//
//   tarvel-createdb <program folder>

#include "store/dberror.h"
#include "store/deliveredfiles.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "uso: tarvel-createdb <pasta do programa>\n");
        return 2;
    }
    try {
        const QStringList made = DeliveredFiles::create(args[1]);
        for (const QString& f : made) std::printf("criado: %s\n", qPrintable(f));
    } catch (const DbError& e) {
        std::fprintf(stderr, "erro %d: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    return 0;
}
