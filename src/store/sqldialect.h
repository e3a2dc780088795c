#pragma once

#include <QDate>
#include <QString>
#include <QTime>

class Currency;

// Criteria and statements are written in the desktop-database dialect:
// #m/d/yyyy# dates, #h:mm:ss# times, CCur(n.nnnn) money, "text" literals, True/False, [bracketed names] and LIKE
// with * ? # [..] wildcards. These helpers turn them into SQLite's.
namespace SqlDialect {

// Translates one criterion or statement. Throws DbError on a malformed text
// (an unterminated literal or date).
QString translate(const QString& text);

// Quotes a text value for a criterion: 'text' with apostrophes doubled.
QString quote(const QString& text);

// A date literal for a criterion: #m/d/yyyy#.
QString dateLiteral(const QDate& date);

// A time-of-day literal for a criterion on a time field: #h:mm:ss#.
QString timeLiteral(const QTime& time);

// A money literal for a criterion on a currency field: CCur(150.5), the
// exact amount (the store keeps money as a count of ten-thousandths, so a
// bare number would not compare).
QString currencyLiteral(const Currency& amount);

// Escapes the wildcards of a typed text for a LIKE pattern, so that it
// matches literally: * ? # [ become [*] [?] [#] [[].
QString likeLiteral(const QString& typed);

// "Field LIKE 'text*'" with the typed text matched literally.
QString beginsWith(const QString& field, const QString& typed);

}
