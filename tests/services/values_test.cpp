#include "values.h"

#include <gtest/gtest.h>

using namespace Orlavo::Services;

TEST(Values, RoundDecRoundsThePrintedFigureHalfAwayFromZero)
{
    const struct {
        double value;
        int decimals;
        double expected;
    } cases[] = {
        {2.675, 2, 2.68},   {1.005, 2, 1.01},    {-1.005, 2, -1.01}, {0.5, 0, 1},        {1.5, 0, 2},
        {2.5, 0, 3},        {-0.5, 0, -1},       {-2.5, 0, -3},      {0.125, 2, 0.13},   {0.0049, 2, 0},
        {0.005, 2, 0.01},   {99.995, 2, 100},    {9.9999, 3, 10},    {1234.5678, 0, 1235}, {0.1 + 0.2, 2, 0.3},
        {1e-20, 2, 0},      {123456789.125, 2, 123456789.13},        {1936.27, 0, 1936}, {0, 2, 0},
        {0.049999999999999996, 1, 0.1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at " << c.decimals);
        EXPECT_DOUBLE_EQ(roundDec(c.value, c.decimals), c.expected);
    }
}

TEST(Values, FormatGroupedUsesItalianSeparators)
{
    const struct {
        double value;
        int decimals;
        const char *expected;
    } cases[] = {
        {1234567.891, 2, "1.234.567,89"}, {-1234.5, 2, "-1.234,50"}, {0, 2, "0,00"},     {0, 0, "0"},
        {999.995, 2, "1.000,00"},         {100, 0, "100"},           {1000, 0, "1.000"}, {-0.004, 2, "0,00"},
        {2.675, 2, "2,68"},               {12, 3, "12,000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(formatGrouped(c.value, c.decimals), QString::fromLatin1(c.expected));
    }
}
