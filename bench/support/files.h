#pragma once

#include "support/bare.h"

#include "store/database.h"

#include <QString>
#include <memory>

class QTemporaryDir;

// A database file the benchmarks read, with both sides' connections open on
// it. Both keep their connection across iterations, as the program keeps one
// shared connection per process, so that opening and keying the file is not
// part of a measure that does not ask for it.
class BenchFiles {
    // First, so that it goes last, after the connections on its file.
    std::unique_ptr<QTemporaryDir> m_dir;

public:
    QString path;
    Database db;   // keeps the store's shared connection open, as the main window does
    std::unique_ptr<Bare::Connection> bare;

    // The generated file itself (see generator.h), opened on first use.
    static BenchFiles& generated();
    // A copy of the generated file in a temporary folder, made on first use
    // and made the program folder, for windows that may write: the generated
    // file stays as made.
    static BenchFiles& programCopy();
    // The generated million customers (see generator.h), used in place as
    // the program folder: the windows measured on it only read.
    static BenchFiles& largeCustomers();
    // The generated thousand customers, likewise.
    static BenchFiles& smallCustomers();

    // Makes this file's folder the program folder.
    void makeProgramFolder() const;

    ~BenchFiles();

private:
    void open(const QString& file);
};
