#include "shell/rules/startuprules.h"

#include <QList>

#include <gtest/gtest.h>

#include <climits>

using namespace Orlavo::Shell;
using Orlavo::Services::Isolation;

TEST(StartupRules, NormaliseDbTypeReadsTheTypeWord)
{
    struct Case {
        QString value;
        QString text;
        bool server;
    };
    const QList<Case> cases = {
        {QStringLiteral("access2000"), QStringLiteral("ACCESS2000"), false},
        {QStringLiteral("Access2000"), QStringLiteral("ACCESS2000"), false},
        {QStringLiteral("ACCESS2000"), QStringLiteral("ACCESS2000"), false},
        {QStringLiteral("Access 2000"), QStringLiteral("ACCESS"), false},
        {QStringLiteral("ACCESS"), QStringLiteral("ACCESS"), false},
        {QStringLiteral("Access"), QStringLiteral("ACCESS"), false},
        {QStringLiteral("access"), QStringLiteral("ACCESS"), false},
        {QStringLiteral("Access97"), QStringLiteral("ACCESS"), false},
        // Only the three spellings count.
        {QStringLiteral("aCCess"), QStringLiteral("aCCess"), false},
        {QStringLiteral("aCCESS2000"), QStringLiteral("aCCESS2000"), false},
        // The word may stand at the eighth character.
        {QStringLiteral("Driver=Access2000"), QStringLiteral("ACCESS2000"), false},
        {QStringLiteral("Driver=Access"), QStringLiteral("ACCESS"), false},
        {QStringLiteral("xxxxxxxSQL"), QStringLiteral("xxxxxxxSQL"), true},
        {QStringLiteral("xxxxxxSQL"), QStringLiteral("xxxxxxSQL"), false},
        {QStringLiteral("xxxxxxxxSQL"), QStringLiteral("xxxxxxxxSQL"), false},
        {QStringLiteral("Mio DB: Access"), QStringLiteral("Mio DB: Access"), false},
        {QStringLiteral("SQL"), QStringLiteral("SQL"), true},
        {QStringLiteral("Sql"), QStringLiteral("Sql"), true},
        {QStringLiteral("sql"), QStringLiteral("sql"), true},
        {QStringLiteral("SQL Server"), QStringLiteral("SQL Server"), true},
        {QStringLiteral("sQL"), QStringLiteral("sQL"), false},
        {QStringLiteral("SQ"), QStringLiteral("SQ"), false},
        {QString(), QString(), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        const DbType type = normaliseDbType(c.value);
        EXPECT_EQ(type.text, c.text);
        EXPECT_EQ(type.server, c.server);
    }
}

TEST(StartupRules, IsolationFromSettingKnowsFourLevels)
{
    struct Case {
        QString value;
        std::optional<Isolation> level;
    };
    const QList<Case> cases = {
        {QStringLiteral("1"), Isolation::Chaos},
        {QStringLiteral("2"), Isolation::ReadCommitted},
        {QStringLiteral("3"), Isolation::RepeatableRead},
        {QStringLiteral("4"), Isolation::Serializable},
        {QStringLiteral("0"), std::nullopt},
        {QStringLiteral("5"), std::nullopt},
        {QStringLiteral("7"), std::nullopt},
        {QStringLiteral("16"), std::nullopt},
        {QStringLiteral("01"), std::nullopt},
        {QStringLiteral("abc"), std::nullopt},
        {QString(), std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(isolationFromSetting(c.value), c.level);
    }
    // The codes the settings name.
    EXPECT_EQ(int(*isolationFromSetting(QStringLiteral("1"))), 16);
    EXPECT_EQ(int(*isolationFromSetting(QStringLiteral("2"))), 4096);
    EXPECT_EQ(int(*isolationFromSetting(QStringLiteral("3"))), 65536);
    EXPECT_EQ(int(*isolationFromSetting(QStringLiteral("4"))), 1048576);
}

TEST(StartupRules, LeadingNumberReadsTheDigitsAtTheStart)
{
    struct Case {
        QString value;
        int number;
    };
    const QList<Case> cases = {
        {QStringLiteral("abc"), 0},
        {QString(), 0},
        {QStringLiteral("12x"), 12},
        {QStringLiteral(" 7"), 7},
        {QStringLiteral("25"), 25},
        {QStringLiteral("x12"), 0},
        {QStringLiteral("-3"), -3},
        {QStringLiteral("+4"), 4},
        {QStringLiteral("1 2"), 1},
        {QStringLiteral("٣"), 0},
        // Too large for a number of rows: the largest, never a negative.
        {QStringLiteral("3000000000"), INT_MAX},
        {QStringLiteral("99999999999999999999"), INT_MAX},
        {QStringLiteral("-3000000000"), -INT_MAX},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(leadingNumber(c.value), c.number);
    }
}
