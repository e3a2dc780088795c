#include "singleinstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace SingleInstance {

namespace {
int g_fd = -1;
QString g_path;
}

QString lockPath() {
    if (!g_path.isEmpty()) return g_path;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).isWritable())
        return QDir(runtime).filePath(QStringLiteral("tarvel.lock"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("tarvel-%1.lock").arg(::getuid()));
}

void setLockPath(const QString& path) {
    release();
    g_path = path;
}

bool held() { return g_fd >= 0; }

bool acquire() {
    if (g_fd >= 0) return true;
    const QByteArray name = QFile::encodeName(lockPath());
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A lock file that cannot be made must not stop the program: no other
    // copy can be told apart then, so the start goes on.
    if (fd < 0) return true;
    int rc;
    do rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return false;
    }
    // The holder's process id, for whoever looks at the file.
    if (::ftruncate(fd, 0) == 0) {
        const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
        (void)!::write(fd, pid.constData(), size_t(pid.size()));
    }
    g_fd = fd;
    return true;
}

void release() {
    if (g_fd < 0) return;
    ::flock(g_fd, LOCK_UN);
    ::close(g_fd);
    g_fd = -1;
}

}
