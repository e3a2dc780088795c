#include "cellfilter.h"

#include "store/currency.h"
#include "store/sqldialect.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace CellFilter {

using T = Schema::FieldType;

Schema::FieldType fieldType(const QString& table, const QString& field) {
    if (const Schema::Table* t = Schema::table(table))
        for (const Schema::Field& f : t->fields)
            if (f.name.compare(field, Qt::CaseInsensitive) == 0) return f.type;
    return T::Text;
}

QString fieldRef(const QString& field) {
    for (QChar c : field)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_')) return QLatin1Char('[') + field + QLatin1Char(']');
    return field;
}

bool comparesDates(Schema::FieldType type) { return type == T::Date || type == T::Time; }

namespace {

bool isEmpty(const QVariant& value) {
    return !value.isValid() || value.isNull() ||
           (value.typeId() == QMetaType::QString && value.toString().isEmpty());
}

QDate dateOf(const QVariant& v) {
    return v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
}

QTime timeOf(const QVariant& v) {
    return v.typeId() == QMetaType::QDateTime ? v.toDateTime().time() : v.toTime();
}

Currency moneyOf(const QVariant& v) {
    if (v.userType() == qMetaTypeId<Currency>()) return v.value<Currency>();
    if (v.typeId() == QMetaType::QString) return Currency::parse(v.toString()).value_or(Currency());
    return Currency::fromUnits(v.toLongLong());
}

} // namespace

QString criterion(const QString& field, Schema::FieldType type, const QVariant& value) {
    const QString ref = fieldRef(field);
    if (isEmpty(value)) {
        const QString isNull = ref + QStringLiteral(" IS NULL");
        return type == T::Text || type == T::Memo ? QLatin1Char('(') + isNull + QStringLiteral(" OR ") + ref +
                                                        QStringLiteral(" = '')")
                                                  : isNull;
    }
    QString literal;
    switch (type) {
    case T::Text:
    case T::Memo:
        literal = SqlDialect::quote(value.toString());
        break;
    case T::Long:
    case T::Integer:
    case T::AutoNumber:
        literal = QString::number(value.toLongLong());
        break;
    case T::Currency:
        literal = SqlDialect::currencyLiteral(moneyOf(value));
        break;
    case T::Date:
        literal = SqlDialect::dateLiteral(dateOf(value));
        break;
    case T::Time:
        literal = SqlDialect::timeLiteral(timeOf(value));
        break;
    case T::YesNo:
        literal = value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        break;
    }
    return ref + QStringLiteral(" = ") + literal;
}

}
