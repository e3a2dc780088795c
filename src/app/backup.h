#pragma once

#include <QDate>
#include <QString>

// Copies of the database file.
//
// A copy is the encrypted file as it is (it opens with the same password). It
// is made only while no connection holds the file: not this process (checked
// through the store) and not another copy of the program (its lock file is
// held exclusively while the copy runs, so a copy starting meanwhile waits).
// The copy is written to a temporary file beside the target and renamed over
// it, so a failed copy never loses the target's earlier contents.
namespace Backup {

// Error numbers of the copy (DbError::number()).
namespace Error {
constexpr int FileNotFound = 53;   // the database file is missing
constexpr int IoError = 57;        // reading or writing failed
constexpr int InUse = 70;          // the database is held open (permission denied)
constexpr int PathAccess = 75;     // the target's folder or file cannot be written
}

// The folder of the automatic copies: "Meus Documentos/BackUp OS" in the
// user's home folder.
QString folder();
// Makes sure the folder (and "Meus Documentos" above it) exists. Returns
// false when a folder could not be made.
bool ensureFolder();
// The name of one day's automatic copy: "Copia de Bd DedUvevaro" + day + "_"
// + month + "_" + two-digit year + ".mdb", day and month without leading
// zeros ("Copia de Bd DedUvevaro5_12_26.mdb").
QString dailyFileName(const QDate& day);

// True when both paths name the same file (links followed). A target that
// does not exist yet is never the same file.
bool sameFile(const QString& a, const QString& b);

// Copies the program folder's database file to target, replacing target.
// Throws DbError with one of the numbers above.
void copyDatabaseTo(const QString& target);

}

// The automatic copy at the last exit: today's file in Backup::folder(),
// replacing that day's earlier copy. Errors are ignored; returns whether the
// copy was written.
bool BackupAutomatico();
