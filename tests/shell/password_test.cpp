#include "rules/password.h"

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

TEST(Password, OneCharacterBecomesTwo)
{
    for (const int c : {int('a'), int('Z'), int('0'), int('!'), 27, 153}) {
        SCOPED_TRACE(c);
        const auto scrambled = scramblePassword(QString(QChar(c)));
        ASSERT_TRUE(scrambled.has_value());
        EXPECT_EQ(*scrambled, fromCodes({c + c - 52, c + 1}));
    }
}

TEST(Password, EmptyStaysEmpty)
{
    const auto scrambled = scramblePassword(QString());
    ASSERT_TRUE(scrambled.has_value());
    EXPECT_TRUE(scrambled->isEmpty());
    EXPECT_TRUE(unscramblePassword(QString()).isEmpty());
}

TEST(Password, ExamplesWorkedOutByHand)
{
    struct Case {
        QString plain;
        QString scrambled;
    };
    const QList<Case> cases = {
        // a=97 b=98 c=99, n=3: 98+97-54, 99+98-55, 99+97-56, 97+3.
        {QStringLiteral("abc"), fromCodes({141, 142, 140, 100})},
        // P=80 W=87 D=68 1=49, n=4: 87+80-55, 68+87-56, 49+68-57, 49+80-58, 80+4.
        {QStringLiteral("PWD1"), QStringLiteral("pc<GT")},
        // s=115 e=101 g=103 r=114 t=116 a=97, n=7: 101+115-58, 103+101-59, 114+103-60,
        // 101+114-61, 116+101-62, 97+116-63, then 97+115-64, 115+7.
        {QStringLiteral("segreta"), fromCodes({158, 145, 157, 154, 155, 150, 148, 122})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plain.toStdString());
        const auto scrambled = scramblePassword(c.plain);
        ASSERT_TRUE(scrambled.has_value());
        EXPECT_EQ(*scrambled, c.scrambled);
        EXPECT_EQ(scrambled->size(), c.plain.size() + 1);
        EXPECT_EQ(unscramblePassword(c.scrambled), c.plain);
    }
}

TEST(Password, UnscrambleGivesBackThePassword)
{
    const QStringList passwords = {
        QStringLiteral("x"),           QStringLiteral("segreta"),     QStringLiteral("ADMIN"),
        QStringLiteral("Password1"),   QStringLiteral("mario.rossi"), QStringLiteral("1234"),
        QStringLiteral("Qwerty!2026"), QStringLiteral("1è2"),         QStringLiteral("zzzzzzzz"),
        QStringLiteral("a b c"),       QStringLiteral("è1"),          QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
    };
    for (const QString &plain : passwords) {
        SCOPED_TRACE(plain.toStdString());
        const auto scrambled = scramblePassword(plain);
        ASSERT_TRUE(scrambled.has_value());
        EXPECT_EQ(scrambled->size(), plain.size() + 1);
        EXPECT_EQ(unscramblePassword(*scrambled), plain);
    }
}

TEST(Password, CharacterOutsideTheRangeIsRefused)
{
    struct Case {
        const char *name;
        QString plain;
    };
    const QList<Case> cases = {
        {"character above 255", QStringLiteral("prezzo€")},
        {"accented letters together", QStringLiteral("caffè")},
        {"NUL character", QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")},
        {"sum above 255", fromCodes({255, 255})},
        {"sum below 1", fromCodes({1, 1})},
        {"one character too low", fromCodes({26})},
        {"one character too high", fromCodes({154})},
        {"last step below 1", QString(120, u'0')},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(scramblePassword(c.plain).has_value());
    }
}
