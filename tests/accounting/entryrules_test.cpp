#include "accounting/rules/entryrules.h"
#include "entrywindowtest.h"

#include <gtest/gtest.h>

using namespace Orlavo::Accounting;
using Orlavo::Testing::entryRow;

TEST(EntryRules, ReceiptSplit)
{
    struct Case {
        double total, rate;
        int decimals;
        double taxable, vat;
    } cases[] = {
        {122.00, 22, 2, 100.00, 22.00},    {100.00, 22, 2, 81.97, 18.03}, {10.00, 10, 2, 9.09, 0.91},
        {1200003, 20, 0, 1000003, 200000}, {50.00, 0, 2, 50.00, 0},
    };
    for (const Case &c : cases) {
        const ReceiptSplit split = splitReceipt(c.total, c.rate, c.decimals);
        EXPECT_DOUBLE_EQ(split.taxable, c.taxable) << c.total;
        EXPECT_DOUBLE_EQ(split.vat, c.vat) << c.total;
    }
}

TEST(EntryRules, SplitGoesToTheRowsByAccountType)
{
    const EntryRow cash = entryRow("CASSA", 0, "", QLatin1Char('P'));
    const EntryRow revenue = entryRow("RICAVI", 0, "", QLatin1Char('R'));
    const EntryRow vat = entryRow("IVAVEN", 0, "", QLatin1Char('P'));
    QList<EntryRow> debit{cash, EntryRow{}};
    QList<EntryRow> credit{vat, revenue};
    applyReceiptSplit(debit, credit, 122, splitReceipt(122, 22, 2));
    EXPECT_DOUBLE_EQ(debit[0].amount, 122);
    EXPECT_DOUBLE_EQ(credit[0].amount, 22);
    EXPECT_DOUBLE_EQ(credit[1].amount, 100);
    // Two balance-sheet credits: no split, the balance check will speak.
    QList<EntryRow> twoSheets{vat, cash};
    applyReceiptSplit(debit, twoSheets, 122, splitReceipt(122, 22, 2));
    EXPECT_DOUBLE_EQ(twoSheets[0].amount, 0);
    EXPECT_DOUBLE_EQ(twoSheets[1].amount, 0);
}

TEST(EntryRules, EmptyRowsAreRemoved)
{
    const QList<EntryRow> rows{{}, entryRow("A", 0), {}, entryRow("", 0, "nota"), entryRow("", 5)};
    const QList<EntryRow> kept = compacted(rows);
    ASSERT_EQ(kept.size(), 3);
    EXPECT_EQ(kept[0].account, QStringLiteral("A"));
    EXPECT_EQ(kept[1].description, QStringLiteral("nota"));
    EXPECT_DOUBLE_EQ(kept[2].amount, 5);
}

TEST(EntryRules, BalanceMessages)
{
    EXPECT_EQ(balanceProblem(0.30, 0.1 + 0.2, 0.30, 2), std::nullopt);
    EXPECT_EQ(balanceProblem(100, 100, 99.99, 2), QStringLiteral("Squadratura importi AVERE : 0,01"));
    EXPECT_EQ(balanceProblem(100, 101, 100, 2), QStringLiteral("Squadratura importi DARE : -1,00"));
    EXPECT_EQ(balanceProblem(1000, 1200, 900, 2),
              QStringLiteral("Squadratura importi DARE e AVERE: \nDARE : -200,00   AVERE : 100,00"));
    EXPECT_EQ(balanceProblem(1000, 1000, 999, 0), QStringLiteral("Squadratura importi AVERE : 1"));
}

TEST(EntryRules, RegistrationDateAndStamp)
{
    EXPECT_EQ(proposedRegistrationDate(QStringLiteral("2026"), QDate(2026, 12, 7)), QDate(2026, 12, 7));
    EXPECT_EQ(proposedRegistrationDate(QStringLiteral("2025"), QDate(2026, 12, 7)), QDate(2025, 12, 31));
    EXPECT_EQ(proposedRegistrationDate(QStringLiteral("2027"), QDate(2026, 12, 7)), QDate(2027, 1, 1));
    EXPECT_TRUE(inWorkingYear(QDate(2025, 1, 1), QStringLiteral("2025")));
    EXPECT_FALSE(inWorkingYear(QDate(2024, 12, 31), QStringLiteral("2025")));
    EXPECT_EQ(writeStamp(QDateTime(QDate(2025, 3, 7), QTime(14, 5, 9, 123))), QStringLiteral("2025-3-7-14:05:09.123"));
}
