#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class Database;

// The tables of the database file and the rows it is delivered with.
namespace Schema {

enum class FieldType { Text, Memo, Long, Integer, Currency, Date, Time, YesNo, AutoNumber };

struct Field {
    QString name;
    FieldType type;
};

struct Table {
    QString name;
    std::vector<Field> fields;
    QStringList indexes;   // fields with an index (several joined by commas: one index on them)
};

const std::vector<Table>& tables();
const Table* table(const QString& name);   // case-insensitive; nullptr when unknown

// Creates every table and index on an open, empty database.
void createTables(Database& db);
// Creates the indexes an older file lacks; quietly leaves them for another
// time when the file cannot be written now.
void addMissingIndexes(Database& db);
// Writes the first rows: company, settings, built-in statuses, first operator.
void insertDeliveredRows(Database& db);
// Creates a new delivered database file (fails if the file exists).
void createDatabaseFile(const QString& path, const QString& password = {});

// The stored form of an operator password: its value in octal, read as a
// decimal number (1234 -> 2322).
long long passwordToStored(long long password);

}
