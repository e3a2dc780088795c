#include "files.h"

#include <QCryptographicHash>
#include <QFile>
#include <gtest/gtest.h>

QByteArray fileDigest(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

TemporaryHome::TemporaryHome() : m_old(qgetenv("HOME")) {
    EXPECT_TRUE(m_dir.isValid());
    qputenv("HOME", QFile::encodeName(m_dir.path()));
}

TemporaryHome::~TemporaryHome() { qputenv("HOME", m_old); }
