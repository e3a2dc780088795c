#pragma once

#include <QMetaType>
#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

// An exact amount of money: a 64-bit count of ten-thousandths of a real.
// Never converted through a double.
class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(std::int64_t tenThousandths) { Currency c; c.m_raw = tenThousandths; return c; }
    static constexpr Currency fromCents(std::int64_t cents) { return fromRaw(cents * 100); }
    static constexpr Currency fromUnits(std::int64_t reais) { return fromRaw(reais * Scale); }

    // Reads regional pt-BR text: "1.234,56", "25,5", "-3", "R$ 10,00".
    // Grouping dots are optional; decimals beyond the fourth round the
    // fourth (half away from zero); letters or a second comma make the text
    // unreadable (nullopt).
    static std::optional<Currency> parse(const QString& text);
    // An amount in reais kept as a floating-point number (as older files
    // hold some), rounded half away from zero to four places; nullopt when
    // it is beyond the type's range or not a number.
    static std::optional<Currency> fromReais(double reais);

    constexpr std::int64_t raw() const { return m_raw; }
    constexpr bool isZero() const { return m_raw == 0; }

    // "Fixed": two decimals, decimal comma, no grouping ("1234,56").
    QString toFixed() const;
    // "Currency": the regional currency format ("R$ 1.234,56").
    QString toCurrencyText() const;

    // Rounds to cents (half away from zero), as shown on screen and paper.
    Currency roundedToCents() const;

    constexpr Currency operator+(Currency o) const { return fromRaw(m_raw + o.m_raw); }
    constexpr Currency operator-(Currency o) const { return fromRaw(m_raw - o.m_raw); }
    constexpr Currency operator-() const { return fromRaw(-m_raw); }
    constexpr Currency operator*(std::int64_t n) const { return fromRaw(m_raw * n); }
    Currency& operator+=(Currency o) { m_raw += o.m_raw; return *this; }
    Currency& operator-=(Currency o) { m_raw -= o.m_raw; return *this; }
    // Percentage of the amount, rounded to four places (half away from zero).
    Currency percent(std::int64_t pct) const;

    constexpr auto operator<=>(const Currency&) const = default;

private:
    std::int64_t m_raw = 0;
};

Q_DECLARE_METATYPE(Currency)
