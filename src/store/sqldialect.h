#pragma once

#include <QDate>
#include <QString>

// Criteria and statements are written in the desktop-database dialect:
// #m/d/yyyy# dates, "text" literals, True/False, [bracketed names] and LIKE
// with * ? # [..] wildcards. These helpers turn them into SQLite's.
namespace SqlDialect {

// Translates one criterion or statement. Throws DbError on a malformed text
// (an unterminated literal or date).
QString translate(const QString& text);

// Quotes a text value for a criterion: 'text' with apostrophes doubled.
QString quote(const QString& text);

// A date literal for a criterion: #m/d/yyyy#.
QString dateLiteral(const QDate& date);

// Escapes the wildcards of a typed text for a LIKE pattern, so that it
// matches literally: * ? # [ become [*] [?] [#] [[].
QString likeLiteral(const QString& typed);

// "Field LIKE 'text*'" with the typed text matched literally.
QString beginsWith(const QString& field, const QString& typed);

}
