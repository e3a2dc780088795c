// The price computation and the warranty a delivered appliance leaves with.
#include "orders/checkout.h"
#include "orders/pricing.h"
#include "support/testmain.h"

#include <gtest/gtest.h>

using Pricing::Boxes;

TEST(Pricing, ComputesLineValuesSubTotalPercentageAndFinalValue) {
    struct PriceCase {
        const char* name;
        std::vector<std::pair<const char*, const char*>> rows;   // quantity, unit price
        const char *maoDeObra, *desconto, *percentual;
        std::vector<const char*> vl;   // line values shown
        const char* shown;             // total|percentage value|final value
    };
    const std::vector<PriceCase> cases = {
        {"percentage is informative", {{"3", "10,5"}}, "20", "5", "10", {"31,50"}, "R$ 51,50|R$ 5,15|R$ 46,50"},
        {"zero quantity", {{"0", "12"}}, "", "", "", {"0,00"}, "R$ 0,00|R$ 0,00|R$ 0,00"},
        {"quantity without price and price without quantity are emptied", {{"2", ""}, {"", "7,5"}, {"1", "4"}}, "", "",
         "", {"", "", "4,00"}, "R$ 4,00|R$ 0,00|R$ 4,00"},
        {"four places summed exactly, shown rounded", {{"3", "0,3333"}, {"1", "0,0050"}}, "", "", "", {"1,00", "0,01"},
         "R$ 1,00|R$ 0,00|R$ 1,00"},
        {"five decimals read to four, rounded", {{"99", "0,00005"}}, "", "", "", {"0,01"}, "R$ 0,01|R$ 0,00|R$ 0,01"},
        {"discount above the sub-total", {{"1", "10"}}, "", "13,5", "", {"10,00"}, "R$ 10,00|R$ 0,00|-R$ 3,50"},
        {"six rows, labour and grouping", {{"99", "9999"}, {"1", "1"}, {"1", "1"}, {"1", "1"}, {"1", "1"}, {"2", "0,5"}},
         "1000", "", "50", {"989901,00", "1,00", "1,00", "1,00", "1,00", "1,00"},
         "R$ 990.906,00|R$ 495.453,00|R$ 990.906,00"},
        {"nothing typed", {}, "", "", "", {}, "R$ 0,00|R$ 0,00|R$ 0,00"},
        {"percentage rounded, not cut", {{"1", "20,0099"}}, "", "", "50", {"20,01"}, "R$ 20,01|R$ 10,01|R$ 20,01"},
    };
    for (const PriceCase& c : cases) {
        SCOPED_TRACE(c.name);
        Boxes b;
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            b.qtde[i] = QString::fromUtf8(c.rows[i].first);
            b.vlUn[i] = QString::fromUtf8(c.rows[i].second);
            b.vl[i] = QStringLiteral("99,99");   // left from an earlier computation
        }
        b.maoDeObra = QString::fromUtf8(c.maoDeObra);
        b.desconto = QString::fromUtf8(c.desconto);
        b.percentual = QString::fromUtf8(c.percentual);
        Currency subTotal = Currency::fromUnits(7);
        const Pricing::Amounts a = Pricing::calculate(b, subTotal);
        for (int i = 0; i < Pricing::Rows; ++i) {
            const QString expected = i < int(c.vl.size()) ? QString::fromUtf8(c.vl[i]) : QString();
            EXPECT_EQ(b.vl[i], expected) << "row " << i;
            EXPECT_EQ(a.lines[i].has_value(), !expected.isEmpty()) << "row " << i;
            EXPECT_TRUE(!expected.isEmpty() || (b.qtde[i].isEmpty() && b.vlUn[i].isEmpty())) << "row " << i;
        }
        EXPECT_EQ(QStringList({b.total, b.vlPercentual, b.vlFinal}).join('|'), QString::fromUtf8(c.shown));
        EXPECT_EQ(subTotal, a.subTotal);
    }
}

TEST(Pricing, AnUnreadableAmountStopsAtItsStep) {
    Boxes b;
    b.qtde = {"2", "1"};
    b.vlUn[0] = "10";
    b.maoDeObra = "1,2,3";
    b.total = "R$ 9,00";
    Currency subTotal;
    EXPECT_THROW(Pricing::calculate(b, subTotal), Pricing::Unreadable);
    // The rows were done, the labour was not: the line keeps its plain text,
    // the running sum its rows, the totals their old texts.
    EXPECT_EQ(QStringList({b.vl[0], b.qtde[1], b.total}).join('|'), "20||R$ 9,00");
    EXPECT_EQ(subTotal, Currency::fromUnits(20));
}

TEST(Checkout, WarrantyByTypeAndStatus) {
    using namespace Checkout;
    const QDate today(2026, 1, 10);
    const QDate earlier(2026, 2, 1);
    const QString other = QStringLiteral("CORTESIA");
    struct Case {
        QString tipo, status, dias;
        Warranty expected;
    };
    const std::vector<Case> cases = {
        {Orcamento, Pronto, "90", {true, QDate(2026, 4, 10)}}, {Orcamento, Pronto, "0", {true, today}},
        {Orcamento, Pronto, "-5", {false, QDate(2026, 1, 5)}}, {Orcamento, SemConserto, "90", {false, today}},
        {GarantiaServico, Pronto, "0", {true, earlier}},       {GarantiaServico, Pronto, "-1", {false, earlier}},
        {GarantiaServico, SemConserto, "0", {false, today}},   {GarantiaFabrica, Pronto, "90", {false, today}},
        {GarantiaFabrica, SemConserto, "90", {false, today}},  {other, Pronto, "90", {false, earlier}},
        {other, SemConserto, "90", {false, today}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.tipo + " / " + c.status + " / " + c.dias).toStdString());
        EXPECT_EQ(warranty(c.tipo, c.status, c.dias, earlier, today), c.expected);
    }
}

TARVEL_TEST_MAIN()
