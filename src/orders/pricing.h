#pragma once

#include "store/currency.h"

#include <QString>
#include <array>
#include <optional>
#include <stdexcept>

// The price of a service order: six parts rows (quantity times unit price),
// the labour, the discount and an informative percentage, computed on the
// texts of the price window's boxes.
namespace Pricing {

constexpr int Rows = 6;

// The texts of the boxes the computation reads and writes.
struct Boxes {
    std::array<QString, Rows> qtde;   // quantities
    std::array<QString, Rows> vlUn;   // unit prices
    std::array<QString, Rows> vl;     // line values (written)
    QString maoDeObra;                // labour
    QString desconto;                 // discount amount
    QString percentual;               // discount percentage (informative)
    QString vlPercentual;             // what the percentage amounts to (written)
    QString total;                    // sub-total (written)
    QString vlFinal;                  // final value (written)
};

// The amounts of a finished computation, exact (before any rounding for the
// screen).
struct Amounts {
    std::array<std::optional<Currency>, Rows> lines;   // empty for an emptied row
    Currency subTotal;
    Currency percentual;
    Currency vlFinal;
};

// A box text that has no currency value.
class Unreadable : public std::runtime_error {
public:
    explicit Unreadable(const QString& text);
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// The computation, in its steps: each row with a quantity and a unit price
// gets its line value, any other row loses quantity, unit price and line
// value; the line values and the labour make the sub-total; the percentage of
// the sub-total is shown beside it; the discount comes off for the final
// value. `subTotal` is the window's running sum. Throws Unreadable at the
// failing step: boxes changed before it keep their new texts and `subTotal`
// its partial sum.
Amounts calculate(Boxes& boxes, Currency& subTotal);

// The percentage value of a sub-total: subTotal times the leading number of
// the percentage text, over 100.
Currency percentValue(const Currency& subTotal, const QString& percentual);

// The "Fixed" format applied to a box's text: an empty text stays empty and a
// text that is not an amount is left unchanged.
QString fixedText(const QString& text);

}
