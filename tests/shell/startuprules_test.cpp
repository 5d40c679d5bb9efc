#include "shell/rules/startuprules.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Orlavo::Shell;
using Orlavo::Services::Isolation;

TEST(StartupRules, NormaliseDbTypeReadsTheTypeWord)
{
    // Value, the type as kept, whether it names a server.
    const std::tuple<const char *, const char *, bool> cases[] = {
        {"access2000", "ACCESS2000", false}, {"Access2000", "ACCESS2000", false}, {"ACCESS2000", "ACCESS2000", false},
        {"Access 2000", "ACCESS", false},    {"ACCESS", "ACCESS", false},         {"Access", "ACCESS", false},
        {"access", "ACCESS", false},         {"Access97", "ACCESS", false},
        // Only the three spellings count.
        {"aCCess", "aCCess", false}, {"aCCESS2000", "aCCESS2000", false}, {"sQL", "sQL", false},
        // The word may stand at the eighth character.
        {"Driver=Access2000", "ACCESS2000", false}, {"Driver=Access", "ACCESS", false},
        {"xxxxxxxSQL", "xxxxxxxSQL", true},       {"xxxxxxSQL", "xxxxxxSQL", false},
        {"xxxxxxxxSQL", "xxxxxxxxSQL", false},    {"Mio DB: Access", "Mio DB: Access", false},
        {"SQL", "SQL", true}, {"Sql", "Sql", true}, {"sql", "sql", true}, {"SQL Server", "SQL Server", true},
        {"SQ", "SQ", false},  {"", "", false},
    };
    for (const auto &[value, text, server] : cases) {
        const DbType type = normaliseDbType(QString::fromLatin1(value));
        EXPECT_EQ(type.text, QString::fromLatin1(text)) << value;
        EXPECT_EQ(type.server, server) << value;
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
    const std::pair<const char *, int> cases[] = {
        {"abc", 0}, {"", 0},  {"12x", 12}, {" 7", 7}, {"25", 25}, {"x12", 0},         {"-3", -3},
        {"+4", 4},  {"1 2", 1}, {"٣", 0},  {"3000000000", INT_MAX}, {"99999999999999999999", INT_MAX},
        {"-3000000000", -INT_MAX}};
    for (const auto &[value, number] : cases)
        EXPECT_EQ(leadingNumber(QString::fromUtf8(value)), number) << value;
}
