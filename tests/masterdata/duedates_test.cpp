#include "masterdata/rules/duedates.h"

#include <gtest/gtest.h>

using namespace Orlavo::Masterdata;

namespace {

PaymentCondition condition(const char *code, std::array<int, 4> days, char start, int forcedDay = 0)
{
    return {QString::fromLatin1(code), QLatin1Char('R'), days, forcedDay, QLatin1Char(start)};
}

QDate day(const char *text)
{
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd/MM/yyyy"));
}

// One figure of every line, in line order.
QList<double> figuresOf(const DueDates &dates, double DueLine::*figure)
{
    QList<double> figures;
    for (const DueLine &line : dates.lines)
        figures.append(line.*figure);
    return figures;
}

QStringList datesOf(const DueDates &dates)
{
    QStringList shown;
    for (const DueLine &line : dates.lines)
        shown.append(line.date.toString(QStringLiteral("dd/MM/yyyy")));
    return shown;
}

} // namespace

TEST(DueDates, InstalmentsAreRoundedAndTheRemainderGoesToTheFirst)
{
    const struct {
        double amount;
        int decimals;
        QList<double> lines;
    } cases[] = {
        {100.00, 2, {33.34, 33.33, 33.33}},
        {100.01, 2, {33.33, 33.34, 33.34}},
        {1000000, 0, {333334, 333333, 333333}},
        {-100.00, 2, {-33.34, -33.33, -33.33}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.amount);
        const DueDates dates =
            computeDueDates(c.amount, c.decimals, day("10/01/2025"), condition("R90", {30, 60, 90, 0}, 'D'), 0);
        EXPECT_EQ(figuresOf(dates, &DueLine::amount), c.lines);
        EXPECT_EQ(dates.amountImbalance, 0);
    }
}

TEST(DueDates, DaysCountAsMonthsOrDaysFromTheDocumentOrItsMonthsEnd)
{
    const struct {
        const char *from;
        std::array<int, 4> days;
        char start;
        int forcedDay;
        QStringList due;
    } cases[] = {
        // 30 days are a month: 31 February runs on into March.
        {"31/01/2025", {30, 0, 0, 0}, 'D', 0, {"03/03/2025"}},
        {"31/01/2024", {30, 0, 0, 0}, 'D', 0, {"02/03/2024"}},
        // Month 13 is January of the next year, as often as needed.
        {"15/11/2024", {60, 0, 0, 0}, 'F', 0, {"31/01/2025"}},
        {"10/11/2024", {390, 0, 0, 0}, 'D', 0, {"10/12/2025"}},
        // Other days count as days, to their month's end with "F".
        {"10/03/2025", {45, 0, 0, 0}, 'F', 0, {"30/04/2025"}},
        {"10/03/2025", {45, 0, 0, 0}, 'D', 0, {"24/04/2025"}},
        {"10/03/2025", {45, 0, 0, 0}, 'F', 10, {"10/05/2025"}},
        // A forced day past the month's length gives its last day.
        {"10/02/2025", {30, 0, 0, 0}, 'F', 31, {"30/04/2025"}},
        {"15/11/2024", {30, 60, 0, 0}, 'F', 0, {"31/12/2024", "31/01/2025"}},
        // No days: one line at the document date, or its month's end.
        {"15/11/2024", {0, 0, 0, 0}, 'D', 0, {"15/11/2024"}},
        {"15/11/2024", {0, 0, 0, 0}, 'F', 0, {"30/11/2024"}},
        // Line k takes the k-th filled day field.
        {"10/01/2025", {0, 30, 0, 60}, 'D', 0, {"10/02/2025", "10/03/2025"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.from);
        const DueDates dates = computeDueDates(100, 2, day(c.from), condition("C01", c.days, c.start, c.forcedDay), 0);
        EXPECT_EQ(datesOf(dates), c.due);
    }
}

TEST(DueDates, TheCommissionIsSharedInProportionAndTheLastLineTakesTheRest)
{
    const struct {
        double amount;
        std::array<int, 4> days;
        double commission;
        QList<double> shares;
    } cases[] = {
        {100.00, {30, 60, 0, 0}, 10.00, {5.00, 5.00}},
        {100.00, {30, 60, 90, 0}, 10.00, {3.33, 3.33, 3.34}},
        {100.00, {30, 60, 90, 0}, 0.02, {0.01, 0.01, 0.00}},
        {35.07, {30, 60, 0, 0}, 2.25, {1.12, 1.13}},
        {100.00, {30, 0, 0, 0}, 0, {0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.commission);
        const DueDates dates =
            computeDueDates(c.amount, 2, day("15/11/2024"), condition("C01", c.days, 'F'), c.commission);
        EXPECT_EQ(figuresOf(dates, &DueLine::commission), c.shares);
        EXPECT_EQ(dates.commission, c.commission);
        EXPECT_EQ(dates.commissionImbalance, 0);
    }

    // Lines of 60 and 40 share 10 as 6 and 4.
    DueDates split;
    split.lines = {{day("01/01/2025"), 60, 0}, {day("01/02/2025"), 40, 0}};
    shareCommission(split, 10, 2);
    EXPECT_EQ(figuresOf(split, &DueLine::commission), (QList<double>{6, 4}));
}

TEST(DueDates, CodesFromXXXOnAreTypedByHandAndOtherXCodesStayOpen)
{
    for (const char *code : {"XXX", "XY", "xz", "YYY"}) {
        SCOPED_TRACE(code);
        EXPECT_TRUE(computesNothing(QString::fromLatin1(code)));
        const DueDates dates = computeDueDates(100, 2, day("10/01/2025"), condition(code, {30, 0, 0, 0}, 'D'), 5);
        EXPECT_TRUE(dates.lines.isEmpty());
        EXPECT_EQ(dates.amountImbalance, 100);
        EXPECT_EQ(dates.commissionImbalance, 5);
    }
    const DueDates open = computeDueDates(100, 2, day("10/01/2025"), condition("X30", {30, 0, 0, 0}, 'D'), 0);
    EXPECT_FALSE(computesNothing(QStringLiteral("X30")));
    EXPECT_TRUE(open.open);
    EXPECT_EQ(datesOf(open), QStringList{"10/02/2025"});
    EXPECT_FALSE(computeDueDates(100, 2, day("10/01/2025"), condition("R30", {30, 0, 0, 0}, 'D'), 0).open);
}

TEST(DueDates, TheDescriptionFollowsKindDaysAndStart)
{
    EXPECT_EQ(conditionDescription(QLatin1Char('R'), {30, 60, 90, 0}, QLatin1Char('F')),
              QStringLiteral("RIC. BAN. 30/60/90 GG DF FM"));
    EXPECT_EQ(conditionDescription(QLatin1Char('b'), {30, 0, 0, 0}, QLatin1Char('D')),
              QStringLiteral("BONIFICO 30 GG DF"));
    EXPECT_EQ(conditionDescription(QLatin1Char('T'), {30, 60, 90, 120}, QLatin1Char('D')),
              QStringLiteral("AD.PRE. 30/60/90/120 GG DF"));
    EXPECT_EQ(conditionDescription(QLatin1Char('D'), {0, 0, 0, 0}, QLatin1Char('D')),
              QStringLiteral("RIMESSA DIRETTA"));
    EXPECT_EQ(conditionDescription(QLatin1Char('Q'), {30, 0, 0, 0}, QLatin1Char('D')), QString());
}
