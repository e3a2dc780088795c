#include "currency.h"

#include <QLocale>
#include <cmath>

namespace {

// Digits of |raw| as "units,frac" with `decimals` decimals (0..4), rounded
// half away from zero.
QString formatDigits(std::int64_t raw, int decimals, bool group) {
    std::int64_t step = 1;
    for (int i = decimals; i < 4; ++i) step *= 10;
    const bool negative = raw < 0;
    // Work on the magnitude as unsigned to keep INT64_MIN safe.
    std::uint64_t mag = negative ? std::uint64_t(0) - std::uint64_t(raw) : std::uint64_t(raw);
    mag = (mag + std::uint64_t(step) / 2) / std::uint64_t(step);
    std::uint64_t div = 1;
    for (int i = 0; i < decimals; ++i) div *= 10;
    const std::uint64_t units = mag / div;
    const std::uint64_t frac = mag % div;

    QString whole = QString::number(units);
    if (group) {
        for (int i = int(whole.size()) - 3; i > 0; i -= 3) whole.insert(i, QLatin1Char('.'));
    }
    QString out = negative && mag != 0 ? QStringLiteral("-") : QString();
    out += whole;
    if (decimals > 0) out += QLatin1Char(',') + QString::number(frac).rightJustified(decimals, QLatin1Char('0'));
    return out;
}

} // namespace

std::optional<Currency> Currency::parse(const QString& input) {
    QString s = input.trimmed();
    if (s.startsWith(QStringLiteral("R$"))) s = s.mid(2).trimmed();
    bool negative = false;
    if (s.startsWith(QLatin1Char('-'))) { negative = true; s = s.mid(1).trimmed(); }
    else if (s.startsWith(QLatin1Char('+'))) { s = s.mid(1).trimmed(); }
    if (s.startsWith(QStringLiteral("R$"))) s = s.mid(2).trimmed();
    if (s.isEmpty()) return std::nullopt;

    const int comma = int(s.indexOf(QLatin1Char(',')));
    if (comma >= 0 && s.indexOf(QLatin1Char(','), comma + 1) >= 0) return std::nullopt;
    QString whole = comma >= 0 ? s.left(comma) : s;
    const QString frac = comma >= 0 ? s.mid(comma + 1) : QString();
    if (whole.isEmpty() && frac.isEmpty()) return std::nullopt;

    // Grouping dots: each group after the first holds exactly three digits.
    if (whole.contains(QLatin1Char('.'))) {
        const QStringList groups = whole.split(QLatin1Char('.'));
        if (groups.first().isEmpty() || groups.first().size() > 3) return std::nullopt;
        for (int i = 1; i < groups.size(); ++i)
            if (groups[i].size() != 3) return std::nullopt;
        whole = groups.join(QString());
    }
    std::uint64_t units = 0;
    for (QChar c : whole) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        units = units * 10 + std::uint64_t(c.unicode() - '0');
        if (units > 900000000000000ULL) return std::nullopt;  // out of range
    }
    std::int64_t fracRaw = 0;
    for (int i = 0; i < 4; ++i) {
        fracRaw *= 10;
        if (i < frac.size()) {
            const QChar c = frac[i];
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
            fracRaw += c.unicode() - '0';
        }
    }
    // More decimals than the type keeps: the fifth rounds the fourth, half
    // away from zero, as every rounding of the type.
    for (int i = 4; i < frac.size(); ++i)
        if (frac[i] < QLatin1Char('0') || frac[i] > QLatin1Char('9')) return std::nullopt;
    if (frac.size() > 4 && frac[4] >= QLatin1Char('5')) ++fracRaw;
    const std::int64_t raw = std::int64_t(units) * Scale + fracRaw;
    return fromRaw(negative ? -raw : raw);
}

std::optional<Currency> Currency::fromReais(double reais) {
    const double raw = std::round(reais * double(Scale));
    // -2^63 and 2^63 are exact doubles; a NaN fails both comparisons.
    if (!(raw > -9223372036854775808.0 && raw < 9223372036854775808.0)) return std::nullopt;
    return fromRaw(std::int64_t(raw));
}

QString Currency::toFixed() const { return formatDigits(m_raw, 2, false); }

QString Currency::toCurrencyText() const {
    // Built by hand so that the text never depends on the machine's locale
    // (QLocale's currency text uses a non-breaking space).
    const QString digits = formatDigits(m_raw, 2, true);
    if (digits.startsWith(QLatin1Char('-'))) return QStringLiteral("-R$ ") + digits.mid(1);
    return QStringLiteral("R$ ") + digits;
}

Currency Currency::roundedToCents() const {
    const std::int64_t half = m_raw < 0 ? -50 : 50;
    return fromRaw((m_raw + half) / 100 * 100);
}

Currency Currency::percent(std::int64_t pct) const {
    const std::int64_t product = m_raw * pct;
    const std::int64_t half = product < 0 ? -50 : 50;
    return fromRaw((product + half) / 100);
}
