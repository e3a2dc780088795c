#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// The SHA-256 of a file's contents (empty for a file that cannot be read).
QByteArray fileDigest(const QString& file);

// A temporary home folder (HOME) while the object lives, for what the
// program keeps in the user's home (the backup folder).
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};
