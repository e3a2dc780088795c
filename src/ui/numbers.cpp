#include "numbers.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace Numbers {

const QLocale& brazil() {
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    return locale;
}

namespace {

// The leading number of a text as plain ASCII ("-12.5"), empty when none.
QByteArray leadingPart(const QString& text, bool wholeOnly) {
    QByteArray out;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace()) ++i;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) out += char(text[i++].unicode());
    bool digits = false;
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) { out += char(text[i++].unicode()); digits = true; }
    if (!wholeOnly && i < n && text[i] == QLatin1Char('.')) {
        out += '.';
        ++i;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) { out += char(text[i++].unicode()); digits = true; }
    }
    return digits ? out : QByteArray();
}

} // namespace

double leadingNumber(const QString& text) {
    const QByteArray part = leadingPart(text, false);
    if (part.isEmpty()) return 0.0;
    return std::strtod(part.constData(), nullptr);
}

qint64 leadingInteger(const QString& text) {
    const QByteArray part = leadingPart(text, true);
    if (part.isEmpty()) return 0;
    const bool negative = part.startsWith('-');
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (char c : part) {
        if (c < '0' || c > '9') continue;
        const int d = c - '0';
        if (value > (max - d) / 10) return negative ? std::numeric_limits<qint64>::min() : max;
        value = value * 10 + d;
    }
    return negative ? -value : value;
}

std::optional<Currency> currencyValue(const QString& text) { return Currency::parse(text); }

QString fixed(const Currency& value) { return value.toFixed(); }
QString currencyText(const Currency& value) { return value.toCurrencyText(); }

QString fixed(double value) {
    if (!std::isfinite(value)) return QString::number(value);
    QString s = QString::number(value, 'f', 2);
    if (s == QLatin1String("-0.00")) s = QStringLiteral("0.00");
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString plain(double value) {
    if (value == 0.0) return QStringLiteral("0");
    QString s = QString::number(value, 'g', 15);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    s.replace(QLatin1String("e+"), QLatin1String("E+"));
    s.replace(QLatin1String("e-"), QLatin1String("E-"));
    return s;
}

QString plain(const Currency& value) {
    const std::int64_t raw = value.raw();
    const bool negative = raw < 0;
    const std::uint64_t mag = negative ? std::uint64_t(0) - std::uint64_t(raw) : std::uint64_t(raw);
    QString out = negative ? QStringLiteral("-") : QString();
    out += QString::number(mag / std::uint64_t(Currency::Scale));
    QString frac = QString::number(mag % std::uint64_t(Currency::Scale)).rightJustified(4, QLatin1Char('0'));
    while (frac.endsWith(QLatin1Char('0'))) frac.chop(1);
    if (!frac.isEmpty()) out += QLatin1Char(',') + frac;
    return out;
}

QString shortDate(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString longDate(const QDate& date) {
    return date.isValid() ? brazil().toString(date, QStringLiteral("dddd, d 'de' MMMM 'de' yyyy")) : QString();
}

QString timeText(const QTime& time) {
    return time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : QString();
}

std::optional<QDate> dateValue(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,2})[/\\-.](\\d{1,2})[/\\-.](\\d{2}|\\d{4})\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return std::nullopt;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2) year += year < 30 ? 2000 : 1900;
    const QDate d(year, m.captured(2).toInt(), m.captured(1).toInt());
    if (!d.isValid()) return std::nullopt;
    return d;
}

std::optional<QTime> timeValue(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const QTime t(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    if (!t.isValid()) return std::nullopt;
    return t;
}

}
