#pragma once

#include "store/currency.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>
#include <optional>

// Reading and showing numbers, money, dates and times. Always the Brazilian
// regional formats, whatever the machine's locale.
namespace Numbers {

// The pt-BR locale.
const QLocale& brazil();

// The leading-number value: optional blanks, optional sign, the leading
// digits, optionally "." and more digits; reading stops at the first other
// character. "" reads 0, "12abc" 12, "-3.5x" -3.5, "1,5" 1, "abc" 0.
double leadingNumber(const QString& text);
// The same, whole part only ("12.9" reads 12); saturates at the 64-bit range.
qint64 leadingInteger(const QString& text);

// The currency value: the whole text in pt-BR ("1.234,56", "25,5",
// "R$ 10,00"), kept to four places. Surrounding blanks are ignored; an empty
// or unreadable text gives nullopt.
std::optional<Currency> currencyValue(const QString& text);

// Money in the "Fixed" format ("1234,56") and the "Currency" format
// ("R$ 1.234,56").
QString fixed(const Currency& value);
QString currencyText(const Currency& value);
// A double in the "Fixed" format (two decimals, decimal comma, no grouping).
QString fixed(double value);
// A number written plainly: decimal comma, no grouping, as many decimals as
// needed, up to 15 significant digits ("25,5", "3", "0,1").
QString plain(double value);
// Money written plainly: decimal comma, no grouping, no trailing zeros
// ("25,5", "3", "0,1234").
QString plain(const Currency& value);

// Dates and times: short date "dd/MM/yyyy", long date
// ("sábado, 6 de dezembro de 2025"), time "HH:mm:ss".
QString shortDate(const QDate& date);
QString longDate(const QDate& date);
QString timeText(const QTime& time);
// Reads a typed date: "d/M/yyyy" or "d/M/yy" (years 00..29 -> 20xx,
// 30..99 -> 19xx); nullopt when not a valid date.
std::optional<QDate> dateValue(const QString& text);
// Reads a typed time: "H:mm" or "H:mm:ss".
std::optional<QTime> timeValue(const QString& text);

}
