#pragma once

#include <QString>

// The program folder: where the executable, the database file, the logo, the
// pictures and the manual live. Tests point it at a temporary folder.
namespace ProgramFolder {
QString path();
void setPath(const QString& folder);      // empty restores the executable's folder
QString file(const QString& name);        // path() + "/" + name
QString databasePath();                   // the "Bd DedUvevaro.mdb" file
QString lockFilePath();                   // the "Bd DedUvevaro.ldb" file beside it
}

// The name of the database file and its password, constants of the program.
inline constexpr const char* DatabaseFileName = "Bd DedUvevaro.mdb";
inline constexpr const char* LockFileName = "Bd DedUvevaro.ldb";
inline constexpr const char* DatabasePassword = "KEDRAMUX4719Q";
inline constexpr const char* ConnectWithPassword = "Access 2000;pwd=KEDRAMUX4719Q";
inline constexpr const char* ConnectPlain = "Access 2000;";
