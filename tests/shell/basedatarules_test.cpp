#include "shell/rules/basedatarules.h"

#include <gtest/gtest.h>

using namespace Orlavo::Shell;

namespace {

TEST(BaseDataRules, VatPeriodCaptionsAndLetters)
{
    for (const auto &[letter, caption] : {std::pair{" t ", "TRIMESTRALE"}, std::pair{"X", "MENSILE"}})
        EXPECT_EQ(vatPeriodCaption(QString::fromLatin1(letter)), QLatin1String(caption)) << letter;
    EXPECT_EQ(vatPeriodLetter(QStringLiteral("MENSILE")), QStringLiteral("M"));
    EXPECT_EQ(vatPeriodLetter(QStringLiteral("TRIMESTRALE")), QStringLiteral("T"));
    EXPECT_EQ(vatPeriodLetter(QStringLiteral("mensile")), std::nullopt);
}

TEST(BaseDataRules, WorkingYearsAndSearchDates)
{
    for (const char *year : {"2026", "0000"})
        EXPECT_TRUE(isWorkingYear(QString::fromLatin1(year))) << year;
    for (const char *year : {"26", "20266", "2O26", " 2026", ""})
        EXPECT_FALSE(isWorkingYear(QString::fromLatin1(year))) << year;
    for (const char *date : {"", "  ", "1/2/2026", "31/12/26", "01-01-2026"})
        EXPECT_TRUE(isSearchDate(QString::fromLatin1(date))) << date;
    for (const char *date : {"31/02/2026", "1/2", "domani"})
        EXPECT_FALSE(isSearchDate(QString::fromLatin1(date))) << date;
}

TEST(BaseDataRules, PrioritiesMustBeOneToFourOnce)
{
    const struct {
        Priorities given;
        QList<int> repeated;
        Priorities effective;
    } cases[] = {
        {{4, 3, 2, 1}, {}, {4, 3, 2, 1}},
        {{2, 2, 2, 1}, {0, 1, 2}, kDefaultPriorities},
        {{1, 2, 3, 5}, {}, kDefaultPriorities},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(repeatedPriorities(c.given), c.repeated);
        EXPECT_EQ(effectivePriorities(c.given), c.effective);
    }
}

} // namespace
