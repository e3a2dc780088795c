#include "backup.h"

#include "store/clock.h"
#include "store/database.h"
#include "store/dberror.h"
#include "store/programfolder.h"
#include "ui/messagebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#include <sys/stat.h>

namespace Backup {

namespace {

[[noreturn]] void fail(int number, const QString& description) {
    throw DbError(number, description, programTitle());
}

// Whether a write of the copy failed for want of space, as the system said
// it: the errno of the failed write (a short write leaves the file's own
// error unset) or the file's error.
bool noSpace(const QFileDevice& file, int writeErrno) {
    return writeErrno == ENOSPC || writeErrno == EDQUOT || file.error() == QFileDevice::ResourceError;
}

// The failure of a write of the copy, with its cause in the operator's
// words; read before the file is given up, which sets an error of its own.
DbError writeError(int number, const QString& words, const QFileDevice& file, int writeErrno, const QString& target) {
    if (noSpace(file, writeErrno))
        return DbError(Error::IoError,
                       QStringLiteral("Não há espaço livre no disco para gravar '%1': libere espaço no disco ou "
                                      "escolha outro local e tente novamente.")
                           .arg(target),
                       programTitle());
    return DbError(number, words.arg(target, file.errorString()), programTitle());
}

} // namespace

QString folder() { return QDir::home().filePath(QStringLiteral("Meus Documentos/BackUp OS")); }

bool ensureFolder() { return QDir().mkpath(folder()); }

QString dailyFileName(const QDate& day) {
    return QStringLiteral("Copia de Bd DedUvevaro%1_%2_%3.mdb")
        .arg(day.day())
        .arg(day.month())
        .arg(day.year() % 100, 2, 10, QLatin1Char('0'));
}

bool sameFile(const QString& a, const QString& b) {
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0) return false;
    if (::stat(QFile::encodeName(b).constData(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void copyDatabaseTo(const QString& target) {
    const QString source = ProgramFolder::databasePath();
    if (!QFileInfo(source).isFile())
        fail(Error::FileNotFound, QStringLiteral("Arquivo não encontrado: '%1'").arg(source));
    if (sameFile(source, target))
        fail(Error::PathAccess, QStringLiteral("O destino é o próprio Banco de Dados: '%1'").arg(target));
    if (Database::openInThisProcess(source))
        fail(Error::InUse, QStringLiteral("Permissão negada: o Banco de Dados está aberto neste programa"));
    // A journal left by a copy that stopped in the middle of a write: one
    // read through the engine rolls it back, so the copy is consistent.
    if (QFileInfo(source + QStringLiteral("-journal")).size() > 0) {
        try {
            Database db = Database::openDefault();
            db.scalar(QStringLiteral("SELECT count(*) FROM TblConfig"));
        } catch (const DbError&) {
            // The copy below goes on; the file is copied as it is.
        }
    }
    const Database::ExclusiveUse lock(source);
    if (!lock.held())
        fail(Error::InUse, QStringLiteral("Permissão negada: o Banco de Dados está aberto em outro programa"));

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        fail(Error::InUse, QStringLiteral("Permissão negada: '%1' (%2)").arg(source, in.errorString()));
    if (QFileInfo(target).isDir())
        fail(Error::PathAccess, QStringLiteral("Erro de acesso ao caminho/arquivo: '%1' é uma pasta").arg(target));

    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        fail(Error::PathAccess,
             QStringLiteral("Erro de acesso ao caminho/arquivo: '%1' (%2)").arg(target, out.errorString()));
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        errno = 0;
        if (out.write(chunk) != chunk.size()) {
            const int writeErrno = errno;
            const DbError e =
                writeError(Error::IoError, QStringLiteral("Erro de gravação em '%1' (%2)"), out, writeErrno, target);
            out.cancelWriting();
            throw e;
        }
    }
    if (in.error() != QFileDevice::NoError) {
        const QString why = in.errorString();
        out.cancelWriting();
        fail(Error::IoError, QStringLiteral("Erro de leitura em '%1' (%2)").arg(source, why));
    }
    errno = 0;
    if (!out.commit()) {
        const int writeErrno = errno;
        const int number = out.error() == QFileDevice::RenameError || out.error() == QFileDevice::PermissionsError
                               ? Error::PathAccess
                               : Error::IoError;
        throw writeError(number, QStringLiteral("Não foi possível gravar '%1' (%2)"), out, writeErrno, target);
    }
}

}

bool BackupAutomatico() {
    try {
        Backup::ensureFolder();
        Backup::copyDatabaseTo(QDir(Backup::folder()).filePath(Backup::dailyFileName(Clock::today())));
        return true;
    } catch (const std::exception&) {
        return false;   // the exit goes on without its copy
    }
}
