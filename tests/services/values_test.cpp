#include "services/core/values.h"

#include "archives.h"
#include "services/core/decimals.h"
#include "services/core/tablenames.h"
#include "services/data/currencies.h"
#include "services/data/schema.h"

#include <QByteArray>
#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <random>

using namespace Orlavo::Services;
using Orlavo::Testing::Engine;
using Orlavo::Testing::EngineTest;

TEST(Values, RoundDecRoundsThePrintedFigureHalfAwayFromZero)
{
    const struct {
        double value;
        int decimals;
        double expected;
    } cases[] = {
        {2.675, 2, 2.68},
        {1.005, 2, 1.01},
        {-1.005, 2, -1.01},
        {0.5, 0, 1},
        {1.5, 0, 2},
        {2.5, 0, 3},
        {-0.5, 0, -1},
        {-2.5, 0, -3},
        {0.125, 2, 0.13},
        {0.0049, 2, 0},
        {0.005, 2, 0.01},
        {99.995, 2, 100},
        {9.9999, 3, 10},
        {1234.5678, 0, 1235},
        {0.1 + 0.2, 2, 0.3},
        {1e-20, 2, 0},
        {123456789.125, 2, 123456789.13},
        {1936.27, 0, 1936},
        {0, 2, 0},
        {0.049999999999999996, 1, 0.1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at " << c.decimals);
        EXPECT_DOUBLE_EQ(roundDec(c.value, c.decimals), c.expected);
    }
}

namespace {

// The rounding as first written, through text: the fast one must agree
// with it on every value.
double roundThroughText(double value, int decimals)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    char text[40];
    std::snprintf(text, sizeof text, "%.14e", value);
    const QByteArray s(text);
    const bool negative = s.startsWith('-');
    const qsizetype e = s.indexOf('e');
    QByteArray digits = s.mid(negative ? 1 : 0, e - (negative ? 1 : 0)).replace(".", "");
    const int exponent = s.mid(e + 1).toInt();
    const int keep = exponent + 1 + decimals;
    if (keep < 0)
        return 0;
    if (keep >= digits.size())
        return value;
    const bool up = digits[keep] >= '5';
    digits.truncate(keep);
    QByteArray kept = digits.isEmpty() ? QByteArray("0") : digits;
    int shift = exponent + 1 - int(digits.size());
    if (up) {
        int i = int(kept.size()) - 1;
        while (i >= 0 && kept[i] == '9') {
            kept[i] = '0';
            --i;
        }
        if (i >= 0)
            kept[i] = char(kept[i] + 1);
        else
            kept.prepend('1');
        if (digits.isEmpty())
            shift = -decimals;
    } else if (digits.isEmpty()) {
        return 0;
    }
    return ((negative ? QByteArray("-") : QByteArray()) + kept + 'e' + QByteArray::number(shift)).toDouble();
}

} // namespace

TEST(Values, RoundDecKeepsFifteenDigitsAndLargeValues)
{
    const struct {
        double value;
        int decimals;
        double expected;
    } cases[] = {
        {123456789012.345, 2, 123456789012.35},
        {-123456789012.345, 2, -123456789012.35},
        {1e15 + 0.5, 0, 1e15 + 0.5},
        {999999999999999.0, 2, 999999999999999.0},
        {99999999999999.95, 1, 99999999999999.95},
        {0.00000123456, 10, 0.0000012346},
        {0.5, 10, 0.5},
        {1.2345, -3, 1},
        {1.23456789012345, 12, 1.2345678901},
        {-0.0000000000499, 10, 0},
        {-0.00000000005, 10, -0.0000000001},
        {1e300, 2, 1e300},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at " << c.decimals);
        EXPECT_DOUBLE_EQ(roundDec(c.value, c.decimals), c.expected);
    }
    EXPECT_TRUE(std::isnan(roundDec(std::nan(""), 2)));
    EXPECT_EQ(roundDec(INFINITY, 2), INFINITY);
}

TEST(Values, RoundDecAgreesWithTheTextRoundingBitForBit)
{
    std::mt19937_64 random(20261206);
    std::uniform_int_distribution<int> cents(-100000000, 100000000);
    std::uniform_int_distribution<int> scale(0, 8);
    std::uniform_int_distribution<int> places(0, 10);
    int differences = 0;
    for (int i = 0; i < 200000; ++i) {
        // Mostly figures with a few decimals and a half at the end, where
        // the rounding direction is decided.
        const double value = (cents(random) + (i % 2 ? 0.5 : 0.0)) / std::pow(10.0, scale(random));
        const int decimals = places(random);
        const double fast = roundDec(value, decimals);
        const double reference = roundThroughText(value, decimals);
        if (fast != reference && ++differences <= 5)
            ADD_FAILURE() << value << " at " << decimals << ": " << fast << " instead of " << reference;
    }
    EXPECT_EQ(differences, 0);
}

TEST(Values, DecimalsFromADigit)
{
    const struct {
        const char *argument;
        int expected; // -1: not a digit argument
    } cases[] = {
        {"0", 0}, {"1", 1},  {"2", 2},   {"5", 5},    {"6", -1},  {"9", -1},
        {"", -1}, {"a", -1}, {"10", -1}, {"EUR", -1}, {" 2", -1},
    };
    Decimals noDatabase;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.argument);
        const auto digit = Decimals::fromDigit(QString::fromLatin1(c.argument));
        EXPECT_EQ(digit.value_or(-1), c.expected);
        // Without a database every other argument counts as no decimals.
        EXPECT_EQ(noDatabase.of(QString::fromLatin1(c.argument)), std::max(c.expected, 0));
    }
}

TEST(Values, RoundGeneralTakesTheDecimalsAsACount)
{
    const struct {
        double value;
        const char *decimals;
        double expected;
    } cases[] = {
        {2.675, "2", 2.68},
        {1.23456789012, "10", 1.2345678901},
        {1.23456789016, "10", 1.2345678902},
        {1.23456789016, "9", 1.234567890},
        {2.5, "0", 3},
        {-2.5, "0", -3},
        {2.5, "abc", 3},
        {2.5, "", 3},
        {2.49, "EUR", 2},
        {1.23456, "12", 1.23456},
        {1.23456, "-1", 1},
        {-1.005, "2", -1.01},
        {1.0049, " 3 ", 1.005},
    };
    Decimals noDatabase;
    for (const auto &c : cases) {
        for (int mode : {0, 1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << c.value << " at \"" << c.decimals << "\" mode " << mode);
            EXPECT_DOUBLE_EQ(roundGeneral(c.value, QString::fromLatin1(c.decimals), noDatabase, mode), c.expected);
        }
    }
}

TEST(Values, RoundDecWithADecimalsArgument)
{
    const struct {
        double value;
        const char *decimals;
        double expected;
    } cases[] = {
        {2.675, "2", 2.68}, {2.675, "0", 3}, {2.67549, "5", 2.67549}, {2.675, "4", 2.675},
        {2.675, "1", 2.7},  {2.675, "6", 3}, {2.675, "", 3},          {2.675, "EUR", 3},
    };
    Decimals noDatabase;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at \"" << c.decimals << '"');
        EXPECT_DOUBLE_EQ(roundDec(c.value, QString::fromLatin1(c.decimals), noDatabase), c.expected);
    }
}

TEST(Values, CommaToPoint)
{
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"", "0"}, {"1,5", "1.5"}, {"1,2,3", "1.2.3"}, {"1.5", "1.5"}, {"abc", "abc"}, {" ", " "}, {",", "."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(commaToPoint(QString::fromLatin1(c.text)), QString::fromLatin1(c.expected));
    }
}

TEST(Values, DateSerialCountsDaysFromTheEndOf1899)
{
    const struct {
        const char *text;
        int expected;
    } cases[] = {
        {"31/12/1899", 1},
        {"30/12/1899", 0},
        {"1-1-02", 37257},
        {"1/1/2002", 37257},
        {"01 01 2002", 37257},
        {"1-1/2002", 37257},
        {" 1/1/2002 ", 37257},
        {"29/02/2024", 45351},
        {"1/1/30", 10959},
        {"31/12/29", 47483},
        {"15-08-99", 36387},
        {"1 1 00", 36526},
        {"1/1/1800", -36522},
        {"31/12/2500", 219512},
        {"1/1/2501", INT_MAX},
        {"31/12/2600", INT_MAX},
        {"30/02/2024", 0},
        {"29/02/2023", 0},
        {"1/13/2024", 0},
        {"0/1/2024", 0},
        {"1/1/123", 0},
        {"1/1/0000", 0},
        {"30/02/2600", 0},
        {"aa/bb/cccc", 0},
        {"", 0},
        {"1.1.2024", 0},
        {"001/1/2024", 0},
        {"1//2024", 0},
        {"1/1/20245", 0},
        {"1/1/2024x", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(dateSerial(QString::fromLatin1(c.text)), c.expected);
    }
}

TEST(Values, ParseItalianDate)
{
    const struct {
        const char *text;
        QDate expected;
    } cases[] = {
        {"5/3/2024", QDate(2024, 3, 5)}, {"15-08-99", QDate(1999, 8, 15)},
        {"1 1 00", QDate(2000, 1, 1)},   {"31/12/2600", QDate(2600, 12, 31)},
        {"29/2/2023", QDate()},          {"3/5", QDate()},
        {"5/3/2024/1", QDate()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseItalianDate(QString::fromLatin1(c.text)), c.expected);
    }
}

// The formatting runs under more than one default locale: the text must
// not change with it.
class ValuesInLocale : public ::testing::TestWithParam<QLocale::Language>
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(GetParam())); }
    void TearDown() override { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

TEST_P(ValuesInLocale, FormatAmount)
{
    const struct {
        double value;
        int decimals;
        const char *expected;
    } cases[] = {
        {1234567.891, 2, "1.234.567,89"},
        {-1234.5, 2, "-1.234,50"},
        {0, 2, "0,00"},
        {0, 0, ""},
        {0.4, 0, ""},
        {-0.4, 0, ""},
        {999999999.995, 2, "1.000.000.000,00"},
        {1500.5, 0, "1.501"},
        {-1500.5, 0, "-1.501"},
        {-0.004, 2, "0,00"},
        {0.5, 2, "0,50"},
        {12.3456, 4, "12,3456"},
        {123, 1, "123,0"},
        {999, 0, "999"},
        {1e15, 0, "1.000.000.000.000.000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at " << c.decimals);
        EXPECT_EQ(formatAmount(c.value, c.decimals), QString::fromLatin1(c.expected));
    }
}

TEST_P(ValuesInLocale, FormatGroupedIsUnchanged)
{
    EXPECT_EQ(formatGrouped(1234567.891, 2), QStringLiteral("1.234.567,89"));
    EXPECT_EQ(formatGrouped(0, 0), QStringLiteral("0"));
    EXPECT_EQ(formatGrouped(-1234.5, 2), QStringLiteral("-1.234,50"));
}

TEST_P(ValuesInLocale, FormatAmountWithADigitArgument)
{
    Decimals noDatabase;
    EXPECT_EQ(formatAmount(1500.5, QStringLiteral("0"), noDatabase), QStringLiteral("1.501"));
    EXPECT_EQ(formatAmount(1500.5, QStringLiteral("2"), noDatabase), QStringLiteral("1.500,50"));
    EXPECT_EQ(formatAmount(0, QStringLiteral("0"), noDatabase), QString());
    EXPECT_EQ(formatAmount(1.23456, QStringLiteral("5"), noDatabase), QStringLiteral("1,23456"));
}

TEST_P(ValuesInLocale, FormatPlainShowsNoLeadingZeroAndNoGroups)
{
    const struct {
        double value;
        int decimals;
        const char *expected;
    } cases[] = {
        {1234567.891, 2, "1234567,89"},
        {0.5, 2, ",50"},
        {0, 2, ",00"},
        {0, 0, ""},
        {0.4, 0, ""},
        {-0.5, 2, "-,50"},
        {12.5, 0, "13"},
        {-1234.5, 2, "-1234,50"},
        {0.004, 2, ",00"},
        {1.5, 1, "1,5"},
        {1e12, 1, "1000000000000,0"},
        {999999999.995, 2, "1000000000,00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at " << c.decimals);
        EXPECT_EQ(formatPlain(c.value, c.decimals), QString::fromLatin1(c.expected));
        EXPECT_EQ(formatPlain13(c.value, c.decimals), QString::fromLatin1(c.expected));
    }
}

TEST_P(ValuesInLocale, SqlNumberFromAValue)
{
    const struct {
        double value;
        int decimals;
        const char *expected;
    } cases[] = {
        {1234.5, 2, "1234.50"},          {0, 2, "0.00"}, {0, 0, "0"},         {-1234.567, 2, "-1234.57"},
        {1234567.891, 3, "1234567.891"}, {0.5, 0, "1"},  {-0.004, 2, "0.00"}, {0.25, 2, "0.25"},
        {1e12, 0, "1000000000000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " at " << c.decimals);
        EXPECT_EQ(sqlNumber(c.value, c.decimals), QString::fromLatin1(c.expected));
    }
}

TEST_P(ValuesInLocale, SqlNumberFromText)
{
    const struct {
        const char *text;
        int decimals;
        const char *expected;
    } cases[] = {
        {"", 2, ""},
        {"   ", 2, ""},
        {"1234,5", 2, "1234.50"},
        {"1.234,5", 2, "1234.50"},
        {"1234.5", 2, "1234.50"},
        {" 7 ", 0, "7"},
        {"abc", 2, "0.00"},
        {"-0,125", 2, "-0.13"},
        {"0", 0, "0"},
        {"1.234.567,891", 1, "1234567.9"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" at " << c.decimals);
        EXPECT_EQ(sqlNumber(QString::fromLatin1(c.text), c.decimals), QString::fromLatin1(c.expected));
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, ValuesInLocale, ::testing::Values(QLocale::Italian, QLocale::English),
                         [](const ::testing::TestParamInfo<QLocale::Language> &info) {
                             return QLocale::languageToCode(info.param).toStdString();
                         });

class DecimalsTest : public EngineTest
{
protected:
    void setEuroDecimals(int decimals)
    {
        ASSERT_EQ(db->executeSql(QStringLiteral("UPDATE %1 SET NDEC = ? WHERE DIVISA = ?").arg(Tables::DIVISE),
                                 {decimals, QStringLiteral("EUR")}),
                  0);
    }
    // A second company, "02", with the tables as first created.
    void makeSecondCompany()
    {
        const auto made =
            GetParam() == Engine::Sqlite
                ? Schema::createSqlite(archives->folder() + QStringLiteral("CONTAB02.MDB"), SchemaKind::Company)
                : Schema::createPostgres(db->connection(), QStringLiteral("contab02"), SchemaKind::Company);
        ASSERT_TRUE(made) << made.failure().detail.toStdString();
    }
};

TEST_P(DecimalsTest, CurrencyDecimalsComeFromTheCompany)
{
    ASSERT_EQ(db->executeSql(
                  QStringLiteral("INSERT INTO %1 (DIVISA, DESCRIZIONE, NDEC) VALUES (?, ?, ?)").arg(Tables::DIVISE),
                  {QStringLiteral("XAU"), QStringLiteral("ORO"), 4}),
              0);
    const struct {
        const char *argument;
        int expected;
    } cases[] = {{"EUR", 2}, {"ITL", 0}, {"XAU", 4}, {"USD", 0}, {"3", 3}, {"0", 0}, {"eur", 0}, {"", 0}, {"7", 0}};
    Decimals decimals = currencyDecimals(*db);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.argument);
        EXPECT_EQ(decimals.of(QString::fromLatin1(c.argument)), c.expected);
    }
    EXPECT_EQ(formatAmount(1500.5, QStringLiteral("ITL"), decimals), QStringLiteral("1.501"));
    EXPECT_EQ(formatAmount(1500.5, QStringLiteral("EUR"), decimals), QStringLiteral("1.500,50"));
    EXPECT_EQ(formatAmount(0, QStringLiteral("ITL"), decimals), QString());
    EXPECT_DOUBLE_EQ(roundDec(1.23456, QStringLiteral("XAU"), decimals), 1.2346);
    // RoundGeneral takes a currency code as well; numbers stay counts.
    EXPECT_DOUBLE_EQ(roundGeneral(2.675, QStringLiteral("EUR"), decimals), 2.68);
    EXPECT_DOUBLE_EQ(roundGeneral(2.675, QStringLiteral(" EUR "), decimals), 2.68);
    EXPECT_DOUBLE_EQ(roundGeneral(2.5, QStringLiteral("ITL"), decimals), 3);
    EXPECT_DOUBLE_EQ(roundGeneral(1.23456, QStringLiteral("XAU"), decimals), 1.2346);
    EXPECT_DOUBLE_EQ(roundGeneral(1.23456, QStringLiteral("USD"), decimals), 1);
    EXPECT_DOUBLE_EQ(roundGeneral(1.23456789016, QStringLiteral("100"), decimals), 1.2345678902);
    EXPECT_EQ(exits, 0);
}

TEST_P(DecimalsTest, CurrencyIsReadOncePerCompany)
{
    Decimals decimals = currencyDecimals(*db);
    EXPECT_EQ(decimals.of(QStringLiteral("EUR")), 2);
    setEuroDecimals(5);
    // Kept from the first read.
    EXPECT_EQ(decimals.of(QStringLiteral("EUR")), 2);
    EXPECT_EQ(formatAmount(1.5, QStringLiteral("EUR"), decimals), QStringLiteral("1,50"));

    // Another company: its own table, and the first company's answers go.
    makeSecondCompany();
    ASSERT_TRUE(db->openCompany(QStringLiteral("02")));
    EXPECT_EQ(decimals.of(QStringLiteral("EUR")), 2);
    ASSERT_TRUE(db->openCompany(QStringLiteral("01")));
    EXPECT_EQ(decimals.of(QStringLiteral("EUR")), 5);

    // Reopening the same company keeps them until cleared.
    setEuroDecimals(1);
    ASSERT_TRUE(db->openCompany(QStringLiteral("01")));
    EXPECT_EQ(decimals.of(QStringLiteral("EUR")), 5);
    decimals.clear();
    EXPECT_EQ(decimals.of(QStringLiteral("EUR")), 1);
    EXPECT_EQ(exits, 0);
}

ORLAVO_FOR_EACH_ENGINE(DecimalsTest);
