#include "pricing.h"

#include "ui/numbers.h"

namespace Pricing {

Unreadable::Unreadable(const QString& text)
    : std::runtime_error(QStringLiteral("Tipo incompatível: \"%1\" não é um valor.").arg(text).toStdString()),
      m_text(text) {}

namespace {

Currency amountOf(const QString& text) {
    const std::optional<Currency> value = Numbers::currencyValue(text);
    if (!value) throw Unreadable(text);
    return *value;
}

} // namespace

Currency percentValue(const Currency& subTotal, const QString& percentual) {
    return subTotal.percent(Numbers::leadingInteger(percentual));
}

Amounts calculate(Boxes& b, Currency& subTotal) {
    Amounts out;
    subTotal = Currency();
    // Quantities are whole numbers (the box takes digits only), so each line
    // value is exact: the unit price's four places times the quantity.
    for (int i = 0; i < Rows; ++i) {
        if (!b.qtde[i].isEmpty() && !b.vlUn[i].isEmpty()) {
            const Currency line = amountOf(b.vlUn[i]) * Numbers::leadingInteger(b.qtde[i]);
            b.vl[i] = Numbers::plain(line);
        } else {
            b.vl[i].clear();
            b.vlUn[i].clear();
            b.qtde[i].clear();
        }
    }
    for (int i = 0; i < Rows; ++i) {
        if (b.vl[i].isEmpty()) continue;
        out.lines[i] = amountOf(b.vl[i]);
        subTotal += *out.lines[i];
    }
    if (!b.maoDeObra.isEmpty()) subTotal += amountOf(b.maoDeObra);
    for (int i = 0; i < Rows; ++i) b.vl[i] = fixedText(b.vl[i]);
    out.percentual = percentValue(subTotal, b.percentual);
    b.vlPercentual = Numbers::currencyText(out.percentual);
    b.total = Numbers::currencyText(subTotal);
    out.vlFinal = b.desconto.isEmpty() ? subTotal : subTotal - amountOf(b.desconto);
    b.vlFinal = Numbers::currencyText(out.vlFinal);
    out.subTotal = subTotal;
    return out;
}

QString fixedText(const QString& text) {
    if (text.isEmpty()) return text;
    const std::optional<Currency> value = Numbers::currencyValue(text);
    return value ? Numbers::fixed(*value) : text;
}

}
