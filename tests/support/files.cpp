#include "files.h"

#include <QCryptographicHash>
#include <QFile>
#include <gtest/gtest.h>

QByteArray fileDigest(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

FileSnapshot::FileSnapshot(const QString& file) : m_file(file) {
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    m_bytes = f.readAll();
}

void FileSnapshot::putBack() const {
    QFile f(m_file);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << m_file.toStdString();
    EXPECT_EQ(f.write(m_bytes), m_bytes.size());
}

TemporaryHome::TemporaryHome() : m_old(qgetenv("HOME")) {
    EXPECT_TRUE(m_dir.isValid());
    qputenv("HOME", QFile::encodeName(m_dir.path()));
}

TemporaryHome::~TemporaryHome() { qputenv("HOME", m_old); }
