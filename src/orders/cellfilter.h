#pragma once

#include "store/schema.h"

#include <QString>
#include <QVariant>

// The criterion of a list's cell filter: the rows whose field holds the same
// value as the cell the operator double-clicked, compared by the field's type.
// Text is compared as text (digits included), money as the exact amount,
// dates as dates, times as the time of day, yes/no as True or False, whole
// numbers as numbers. The value always enters the criterion as a literal of
// its type (a text quoted), never as typed text. An empty cell picks the rows
// where the field is empty.
namespace CellFilter {

// The field's type in a table of the database (Text when unknown).
Schema::FieldType fieldType(const QString& table, const QString& field);

// The field as a criterion names it: bracketed when the name holds blanks.
QString fieldRef(const QString& field);

// "Field = literal" for the stored value of a cell.
QString criterion(const QString& field, Schema::FieldType type, const QVariant& value);

// Whether the criterion of a field of this type compares dates or times (the
// lists order such a filter differently).
bool comparesDates(Schema::FieldType type);

}
