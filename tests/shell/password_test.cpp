#include "shell/rules/password.h"

#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

#include <random>

using namespace Orlavo::Shell;

namespace {

QString fromCodes(std::initializer_list<int> codes)
{
    QString text;
    for (const int code : codes)
        text.append(QChar(code));
    return text;
}

const QString kAlphanumeric = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");

// Every character Windows-1252 defines, control characters and space aside.
QString windows1252Characters()
{
    QString all;
    for (int code = 0x21; code <= 0xFF; ++code) {
        if (code == 0x7F || code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 || code == 0x9D
            || code == 0xA0)
            continue;
        all.append(fromWindows1252(code));
    }
    return all;
}

QString randomText(std::mt19937 &random, const QString &alphabet, int length)
{
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(alphabet.at(pick(random)));
    return text;
}

} // namespace

TEST(Password, WorkedExamples)
{
    // A=65: 65+65-52=78 "N", 65+1=66 "B".
    EXPECT_EQ(scramblePassword(QStringLiteral("A")), QStringLiteral("NB"));
    // A=65 B=66 C=67, n=3: 66+65-54=77 "M", 67+66-55=78 "N", 67+65-56=76 "L", 65+3=68 "D".
    EXPECT_EQ(scramblePassword(QStringLiteral("ABC")), QStringLiteral("MNLD"));
    EXPECT_EQ(scramblePassword(QString()), QString());
    EXPECT_EQ(unscramblePassword(QStringLiteral("NB")), QStringLiteral("A"));
    EXPECT_EQ(unscramblePassword(QStringLiteral("MNLD")), QStringLiteral("ABC"));
    EXPECT_TRUE(unscramblePassword(QString()).isEmpty());
}

TEST(Password, MoreExamplesWorkedOutByHand)
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
        // The euro sign is 0x80 = 128: 128+128-52, 128+1.
        {QStringLiteral("€"), fromCodes({204, 129})},
        // The trade mark sign is 0x99 = 153: 153+153-52, 153+1.
        {QStringLiteral("™"), fromCodes({254, 154})},
        // x=120 and "Š" 0x8A=138, n=2: 138+120-53, 138+120-54, 120+2.
        {QStringLiteral("xŠ"), fromCodes({205, 204, 122})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plain.toStdString());
        EXPECT_EQ(scramblePassword(c.plain), c.scrambled);
        EXPECT_EQ(unscramblePassword(c.scrambled), c.plain);
    }
}

TEST(Password, CodesAreThoseOfWindows1252)
{
    EXPECT_EQ(windows1252Code(QChar(0x20AC)), 0x80);
    EXPECT_EQ(windows1252Code(QChar(0x2122)), 0x99);
    EXPECT_EQ(windows1252Code(QChar(0x0178)), 0x9F);
    EXPECT_EQ(windows1252Code(QChar(u'è')), 0xE8);
    EXPECT_EQ(windows1252Code(QChar(u'A')), 0x41);
    EXPECT_EQ(windows1252Code(QChar(0x81)), 0x81);
    // U+0080 is not the euro sign, whose code it shares.
    EXPECT_EQ(windows1252Code(QChar(0x80)), std::nullopt);
    EXPECT_EQ(windows1252Code(QChar(0x03A9)), std::nullopt);
    for (int code = 1; code <= 255; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(windows1252Code(fromWindows1252(code)), code);
    }
}

TEST(Password, CodesOutsideTheRangeAreRefused)
{
    struct Case {
        const char *name;
        QString plain;
    };
    const QList<Case> cases = {
        // n=8: the step before last is 33+33-66 = 0.
        {"a code 0 on the way", QStringLiteral("!!!!!!!!")},
        {"character outside Windows-1252", QStringLiteral("prezzoΩ")},
        {"control character sharing the euro's code", fromCodes({0x80})},
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
        EXPECT_FALSE(isStorablePassword(c.plain));
    }
    EXPECT_EQ(scrambleCodes({33, 33, 33, 33, 33, 33, 33, 33}), std::nullopt);
    EXPECT_EQ(scrambleCodes({0}), std::nullopt);
    EXPECT_EQ(scrambleCodes({256}), std::nullopt);
}

TEST(Password, EveryAlphanumericPasswordUpToTwentyIsAccepted)
{
    // The extremes: the lowest and highest codes at every length.
    for (int length = 0; length <= kPasswordMaxLength; ++length) {
        for (const QChar ch : {QChar(u'0'), QChar(u'z'), QChar(u'A'), QChar(u'9')}) {
            const QString plain(length, ch);
            SCOPED_TRACE(plain.toStdString());
            EXPECT_TRUE(isStorablePassword(plain));
        }
    }
    // Mixed ones: 0 and z side by side give the widest sums.
    for (int length = 1; length <= kPasswordMaxLength; ++length) {
        QString alternate;
        for (int i = 0; i < length; ++i)
            alternate.append(i % 2 ? u'z' : u'0');
        EXPECT_TRUE(isStorablePassword(alternate)) << alternate.toStdString();
    }
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> lengths(1, kPasswordMaxLength);
    for (int i = 0; i < 20000; ++i) {
        const QString plain = randomText(random, kAlphanumeric, lengths(random));
        const std::optional<QString> scrambled = scramblePassword(plain);
        ASSERT_TRUE(scrambled.has_value()) << plain.toStdString();
        ASSERT_EQ(scrambled->size(), plain.size() + 1);
        ASSERT_EQ(unscramblePassword(*scrambled), plain);
    }
}

TEST(Password, UnscrambleInvertsEveryAcceptedPassword)
{
    const QString alphabet = windows1252Characters() + QStringLiteral(" ");
    std::mt19937 random(4242);
    std::uniform_int_distribution<int> lengths(1, 30);
    int accepted = 0;
    int refused = 0;
    for (int i = 0; i < 50000; ++i) {
        const QString plain = randomText(random, alphabet, lengths(random));
        const std::optional<QString> scrambled = scramblePassword(plain);
        if (!scrambled) {
            ++refused;
            continue;
        }
        ++accepted;
        ASSERT_EQ(scrambled->size(), plain.size() + 1) << plain.toStdString();
        for (const QChar ch : *scrambled)
            ASSERT_TRUE(ch.unicode() >= 1 && ch.unicode() <= 255) << plain.toStdString();
        ASSERT_EQ(unscramblePassword(*scrambled), plain) << plain.toStdString();
    }
    // Both kinds occur, so both branches were exercised.
    EXPECT_GT(accepted, 1000);
    EXPECT_GT(refused, 1000);
}

TEST(Password, StorableMeansAtMostTwentyScramblableCharacters)
{
    EXPECT_TRUE(isStorablePassword(QString()));
    EXPECT_TRUE(isStorablePassword(QString(20, u'k')));
    EXPECT_FALSE(isStorablePassword(QString(21, u'k')));
    EXPECT_TRUE(isStorablePassword(QStringLiteral("Qwerty!2026")));
    EXPECT_FALSE(isStorablePassword(QStringLiteral("Ω")));
    EXPECT_EQ(QString::fromUtf8(kPasswordNotAllowed),
              QStringLiteral("Password non ammessa: al massimo 20 caratteri tra lettere non accentate, cifre e simboli."));
}
