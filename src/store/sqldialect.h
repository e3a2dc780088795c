#pragma once

#include <QDate>
#include <QString>
#include <QTime>

class Currency;

// Criteria and statements are written in the desktop-database dialect:
// #m/d/yyyy# dates, #h:mm:ss# times, CCur(n.nnnn) money, "text" literals, True/False, [bracketed names] and LIKE
// with * ? # [..] wildcards. These helpers turn them into SQLite's.
namespace SqlDialect {

// Translates one criterion or statement. Throws DbError on a malformed text:
// an unterminated literal or date, a comment, unbalanced parentheses, a NUL
// character or a second statement.
QString translate(const QString& text);

// Quotes a text value for a criterion: 'text' with apostrophes doubled. A
// text holding a NUL character cannot be carried by a criterion: DbError
// (DbErrorCode::InvalidText). A lone surrogate becomes U+FFFD, as stored.
QString quote(const QString& text);

// A text as the store keeps it: every lone UTF-16 surrogate becomes U+FFFD
// (the replacement character), so that a stored text and a criterion read it
// alike and it never turns into a "?" wildcard on the way to the engine.
QString storedText(const QString& text);

// A date literal for a criterion: #m/d/yyyy#.
QString dateLiteral(const QDate& date);

// A time-of-day literal for a criterion on a time field: #h:mm:ss#.
QString timeLiteral(const QTime& time);

// A money literal for a criterion on a currency field: CCur(150.5), the
// exact amount (the store keeps money as a count of ten-thousandths, so a
// bare number would not compare).
QString currencyLiteral(const Currency& amount);

// Escapes the wildcards of a typed text for a LIKE pattern, so that it
// matches literally: * ? # [ become [*] [?] [#] [[]; lone surrogates become
// U+FFFD as in storedText().
QString likeLiteral(const QString& typed);

// "Field LIKE 'text*'" with the typed text matched literally.
QString beginsWith(const QString& field, const QString& typed);

// The literal start of a LIKE pattern in this dialect (up to its first
// wildcard; a one-character set such as [*] counts as its character).
QString likePrefix(const QString& pattern);

}
