#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString g_folder;
}

namespace ProgramFolder {

QString path() {
    if (!g_folder.isEmpty()) return g_folder;
    return QCoreApplication::applicationDirPath();
}

void setPath(const QString& folder) { g_folder = folder.isEmpty() ? QString() : QDir(folder).absolutePath(); }

QString file(const QString& name) { return QDir(path()).filePath(name); }

QString databasePath() { return file(QString::fromUtf8(DatabaseFileName)); }

QString lockFilePath() { return file(QString::fromUtf8(LockFileName)); }

}
