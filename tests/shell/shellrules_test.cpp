// The shell's rules: passwords, base data, start-up settings, the menu table.
#include "shell/rules/basedatarules.h"
#include "shell/rules/menutable.h"
#include "shell/rules/password.h"
#include "shell/rules/startuprules.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <climits>

using namespace Orlavo::Shell;
using Orlavo::Services::Isolation;

namespace {

QString fromCodes(std::initializer_list<int> codes)
{
    QString text;
    for (const int code : codes)
        text.append(QChar(code));
    return text;
}

} // namespace

TEST(Password, ExamplesWorkedOutByHand)
{
    const struct {
        QString plain;
        QString scrambled;
    } cases[] = {
        {QString(), QString()},
        // A=65: 65+65-52 "N", 65+1 "B".
        {QStringLiteral("A"), QStringLiteral("NB")},
        // P=80 W=87 D=68 1=49, n=4: 87+80-55, 68+87-56, 49+68-57, 49+80-58, 80+4.
        {QStringLiteral("PWD1"), QStringLiteral("pc<GT")},
        // The euro sign is 0x80, as Windows-1252 has it.
        {QStringLiteral("€"), fromCodes({204, 129})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.plain.toStdString());
        EXPECT_EQ(scramblePassword(c.plain), c.scrambled);
        EXPECT_EQ(unscramblePassword(c.scrambled), c.plain);
    }
}

TEST(Password, CodesAreThoseOfWindows1252)
{
    EXPECT_EQ(windows1252Code(QChar(0x0178)), 0x9F);
    // U+0080 is not the euro sign, whose code it shares.
    EXPECT_EQ(windows1252Code(QChar(0x80)), std::nullopt);
    EXPECT_EQ(windows1252Code(QChar(0x03A9)), std::nullopt);
    for (int code = 1; code <= 255; ++code)
        EXPECT_EQ(windows1252Code(fromWindows1252(code)), code) << code;
}

TEST(Password, WhatCannotBeStoredIsRefused)
{
    const struct {
        const char *name;
        QString plain;
    } cases[] = {
        // n=8: the step before last is 33+33-66 = 0.
        {"a code 0 on the way", QStringLiteral("!!!!!!!!")},
        {"character outside Windows-1252", QStringLiteral("prezzoΩ")},
        {"one character too low", fromCodes({26})},
        // "š" is 154 in Windows-1252: 154+154-52 = 256.
        {"one character too high", QStringLiteral("š")},
        {"last step below 1", QString(120, u'0')},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(scramblePassword(c.plain).has_value());
        EXPECT_FALSE(isStorablePassword(c.plain));
    }
    // Scramblable, but longer than the column.
    EXPECT_TRUE(scramblePassword(QString(21, u'k')).has_value());
    EXPECT_FALSE(isStorablePassword(QString(21, u'k')));
}

TEST(Password, EveryAlphanumericPasswordUpToTwentyIsStorable)
{
    // Each step adds two neighbours: the lowest and highest codes repeated
    // give the smallest and largest sums at every length.
    for (int length = 0; length <= kPasswordMaxLength; ++length) {
        for (const QChar ch : {QChar(u'0'), QChar(u'z')})
            EXPECT_TRUE(isStorablePassword(QString(length, ch))) << length;
    }
}

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

TEST(MenuTable, NamesAreUniqueAndEveryParentComesFirst)
{
    QSet<QString> names;
    QSet<QString> menus;
    for (const MenuRow &row : menuRows()) {
        if (row.kind != MenuRow::Kind::Separator) {
            EXPECT_FALSE(row.name.isEmpty()) << row.caption.toStdString();
            EXPECT_FALSE(names.contains(row.name)) << row.name.toStdString();
            names.insert(row.name);
        }
        // Entries and separators sit in a menu; menus in another or on the bar.
        if (row.kind != MenuRow::Kind::Menu || !row.parent.isEmpty()) {
            EXPECT_TRUE(menus.contains(row.parent)) << row.name.toStdString() << " under " << row.parent.toStdString();
        }
        if (row.kind == MenuRow::Kind::Menu)
            menus.insert(row.name);
    }
}

TEST(MenuTable, TheProfileHidesByUserTypeAndInvoiceGeneration)
{
    const QStringList admin = {"mnuGesUtenti", "mnu_chiuriaprmag", "chius_esercizio"};
    const QStringList type3 = {"mnu_fvendita", "mnu_simulaFvend", "mnu_facq", "mnu_contabilita"};
    const QStringList generation = {"mnu_simulaFvend", "mnu_ddt_genfven"};
    const struct {
        int type;
        bool generate;
        QStringList hidden;
    } cases[] = {
        {2, true, {}}, {2, false, generation}, {1, true, admin}, {3, true, admin + type3}, {-1, true, {}},
    };
    for (const auto &c : cases) {
        QStringList expected = c.hidden;
        expected.sort();
        QStringList hidden = hiddenEntries(menuRows(), c.type, c.generate);
        hidden.sort();
        EXPECT_EQ(hidden, expected) << "type " << c.type << (c.generate ? " generating" : "");
    }
}
