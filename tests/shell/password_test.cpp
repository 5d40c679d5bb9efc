#include "shell/rules/password.h"

#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

using namespace Orlavo::Shell;

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
