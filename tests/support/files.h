#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// The SHA-256 of a file's contents (empty for a file that cannot be read).
QByteArray fileDigest(const QString& file);

// A file's bytes as they stand now, to be put back later as after a write
// that never reached the disk.
class FileSnapshot {
public:
    explicit FileSnapshot(const QString& file);
    // Writes the kept bytes over the file (a test failure when it cannot).
    void putBack() const;

private:
    QString m_file;
    QByteArray m_bytes;
};

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
