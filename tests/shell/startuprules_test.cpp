#include "shell/rules/startuprules.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Orlavo::Shell;
using Orlavo::Services::Isolation;

TEST(StartupRules, NormaliseDbTypeReadsTheTypeWord)
{
    // The word at the start or at the eighth character, in one of three
    // spellings: Access is kept by its name, anything else as it was typed.
    const std::pair<const char *, const char *> access[] = {
        {"access2000", "ACCESS2000"}, {"Driver=Access2000", "ACCESS2000"}, {"Access 2000", "ACCESS"}};
    for (const auto &[value, text] : access) {
        const DbType type = normaliseDbType(QString::fromLatin1(value));
        EXPECT_TRUE(type.text == QLatin1String(text) && !type.server) << value;
    }
    const std::pair<const char *, bool> kept[] = {
        {"xxxxxxxSQL", true}, {"Sql", true}, {"aCCess", false}, {"xxxxxxSQL", false}, {"xxxxxxxxSQL", false}};
    for (const auto &[value, server] : kept) {
        const DbType type = normaliseDbType(QString::fromLatin1(value));
        EXPECT_TRUE(type.text == QLatin1String(value) && type.server == server) << value;
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
        {"abc", 0}, {"12x", 12}, {"-3", -3}, {"٣", 0}, {"3000000000", INT_MAX}, {"-3000000000", -INT_MAX}};
    for (const auto &[value, number] : cases)
        EXPECT_EQ(leadingNumber(QString::fromUtf8(value)), number) << value;
}
