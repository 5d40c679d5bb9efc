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
    // Each level with the code the settings know it by.
    const std::pair<const char *, int> levels[] = {{"1", 16}, {"2", 4096}, {"3", 65536}, {"4", 1048576}};
    for (const auto &[value, code] : levels) {
        const std::optional<Isolation> level = isolationFromSetting(QString::fromLatin1(value));
        ASSERT_TRUE(level) << value;
        EXPECT_EQ(int(*level), code) << value;
    }
    for (const char *value : {"0", "5", "7", "16", "01", "abc", ""})
        EXPECT_EQ(isolationFromSetting(QString::fromLatin1(value)), std::nullopt) << value;
}

TEST(StartupRules, LeadingNumberReadsTheDigitsAtTheStart)
{
    // Too large for a number of rows: the largest, never a negative.
    const std::pair<const char *, int> cases[] = {{"abc", 0},
                                                  {"", 0},
                                                  {"12x", 12},
                                                  {" 7", 7},
                                                  {"25", 25},
                                                  {"x12", 0},
                                                  {"-3", -3},
                                                  {"+4", 4},
                                                  {"1 2", 1},
                                                  {"٣", 0},
                                                  {"3000000000", INT_MAX},
                                                  {"99999999999999999999", INT_MAX},
                                                  {"-3000000000", -INT_MAX}};
    for (const auto &[value, number] : cases)
        EXPECT_EQ(leadingNumber(QString::fromUtf8(value)), number) << value;
}
