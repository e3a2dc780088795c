#include "support/files.h"

#include "support/generator.h"

#include "store/programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

BenchFiles::~BenchFiles() = default;

void BenchFiles::open(const QString& file) {
    path = file;
    db = Database(path, QString::fromUtf8(ConnectWithPassword));
    bare = std::make_unique<Bare::Connection>(path);
}

BenchFiles& BenchFiles::generated() {
    static BenchFiles f;
    if (f.path.isEmpty()) f.open(BenchData::ensureDatabase());
    return f;
}

void BenchFiles::makeProgramFolder() const { ProgramFolder::setPath(QFileInfo(path).absolutePath()); }

BenchFiles& BenchFiles::largeCustomers() {
    static BenchFiles f;
    if (f.path.isEmpty()) f.open(BenchData::ensureLargeCustomers());
    return f;
}

BenchFiles& BenchFiles::smallCustomers() {
    static BenchFiles f;
    if (f.path.isEmpty()) f.open(BenchData::ensureSmallCustomers());
    return f;
}

BenchFiles& BenchFiles::programCopy() {
    static BenchFiles f;
    if (f.path.isEmpty()) {
        BenchData::ensureDatabase();
        f.m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tarvel-bench-XXXXXX"));
        const QString copy = BenchData::copyDatabase(f.m_dir->path());
        ProgramFolder::setPath(f.m_dir->path());
        f.open(copy);
    }
    return f;
}
