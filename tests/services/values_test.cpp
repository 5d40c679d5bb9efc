#include "services/core/values.h"

#include "archives.h"
#include "services/core/decimals.h"
#include "services/core/tablenames.h"
#include "services/data/currencies.h"
#include "services/data/schema.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <tuple>

#include <climits>
#include <cmath>

using namespace Orlavo::Services;
using Orlavo::Testing::Engine;
using Orlavo::Testing::EngineTest;

// Halves away from zero on the printed figure, at 15 significant digits.
TEST(Values, RoundDec)
{
    const std::tuple<double, int, double> cases[] = {
        // clang-format off
        {2.675, 2, 2.68}, {-1.005, 2, -1.01}, {-2.5, 0, -3}, {0.0049, 2, 0}, {99.995, 2, 100},
        {0.049999999999999996, 1, 0.1}, {-123456789012.345, 2, -123456789012.35}, {1e15 + 0.5, 0, 1e15 + 0.5},
        {1e300, 2, 1e300}, {1.23456789012345, 12, 1.2345678901}, {1.2345, -3, 1},
        // clang-format on
    };
    for (const auto &[value, decimals, expected] : cases)
        EXPECT_DOUBLE_EQ(roundDec(value, decimals), expected) << value << " at " << decimals;
    EXPECT_TRUE(std::isnan(roundDec(std::nan(""), 2)));
    EXPECT_EQ(roundDec(INFINITY, 2), INFINITY);
}

// A decimals argument: the formats take a digit 0-5 or a currency code
// (without a database: no decimals); roundGeneral takes any whole number
// as a count, 0 to 10.
TEST(Values, DecimalsArgument)
{
    const double value = 1.23456789016;
    const std::tuple<const char *, int, double> cases[] = {
        // clang-format off
        {"0", 0, 1}, {"5", 5, 1.23457}, {"6", 0, 1.234568}, {"100", 0, 1.2345678902},
        {"-1", 0, 1}, {" 3 ", 0, 1.235}, {"EUR", 0, 1},
        // clang-format on
    };
    Decimals noDatabase;
    for (const auto &[argument, decimals, general] : cases) {
        SCOPED_TRACE(argument);
        const QString arg = QString::fromLatin1(argument);
        EXPECT_EQ(noDatabase.of(arg), decimals);
        EXPECT_DOUBLE_EQ(roundGeneral(value, arg, noDatabase), general);
    }
}

// Days from 30/12/1899; years after 2500 count as the largest number.
TEST(Values, ItalianDatesAndTheirSerial)
{
    const std::tuple<const char *, QDate, int> dates[] = {
        // clang-format off
        {"31/12/1899", {1899, 12, 31}, 1}, {"1-1-02", {2002, 1, 1}, 37257}, {"01 01 2002", {2002, 1, 1}, 37257},
        {" 29/02/2024 ", {2024, 2, 29}, 45351}, {"1/1/30", {1930, 1, 1}, 10959}, {"31/12/29", {2029, 12, 31}, 47483},
        {"1/1/1800", {1800, 1, 1}, -36522}, {"31/12/2500", {2500, 12, 31}, 219512}, {"1/1/2501", {2501, 1, 1}, INT_MAX},
        // clang-format on
    };
    for (const auto &[text, date, serial] : dates) {
        EXPECT_EQ(parseItalianDate(QString::fromLatin1(text)), date) << text;
        EXPECT_EQ(dateSerial(QString::fromLatin1(text)), serial) << text;
    }
    for (const char *text : {"29/02/2023", "0/1/2024", "1/1/123", "1.1.2024", "1/1/2024x", "3/5"}) {
        EXPECT_FALSE(parseItalianDate(QString::fromLatin1(text)).isValid()) << text;
        EXPECT_EQ(dateSerial(QString::fromLatin1(text)), 0) << text;
    }
    // Every comma becomes a point; the empty text becomes "0".
    EXPECT_EQ(commaToPoint(QStringLiteral("1,2,3")) + commaToPoint(QString()), QStringLiteral("1.2.30"));
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

// Amounts grouped, with a zero whole amount blank; plain figures without
// groups nor a leading zero; SQL numbers with a point and no groups.
TEST_P(ValuesInLocale, FormatsOfAValue)
{
    const std::tuple<double, int, const char *, const char *, const char *> cases[] = {
        // clang-format off
        {1234567.891, 3, "1.234.567,891", "1234567,891", "1234567.891"},
        {-1234.5, 2, "-1.234,50", "-1234,50", "-1234.50"},   {0, 2, "0,00", ",00", "0.00"},
        {-0.4, 0, "", "", "0"},                              {-0.004, 2, "0,00", ",00", "0.00"},
        {-0.5, 2, "-0,50", "-,50", "-0.50"},                 {-1500.5, 0, "-1.501", "-1501", "-1501"},
        {999999999.995, 2, "1.000.000.000,00", "1000000000,00", "1000000000.00"},
        // clang-format on
    };
    for (const auto &[value, decimals, amount, plain, sql] : cases) {
        SCOPED_TRACE(testing::Message() << value << " at " << decimals);
        const QString grouped = QString::fromLatin1(amount);
        EXPECT_EQ(formatAmount(value, decimals), grouped);
        EXPECT_EQ(formatGrouped(value, decimals), grouped.isEmpty() ? QStringLiteral("0") : grouped);
        EXPECT_EQ(formatPlain(value, decimals), QString::fromLatin1(plain));
        EXPECT_EQ(sqlNumber(value, decimals), QString::fromLatin1(sql));
    }
    // Text takes a comma or a point for decimals; blank stays blank, other text is zero.
    const std::tuple<const char *, int, const char *> texts[] = {
        // clang-format off
        {"   ", 2, ""}, {"1.234,5", 2, "1234.50"}, {"1234.5", 2, "1234.50"}, {"abc", 2, "0.00"}, {"-0,125", 2, "-0.13"},
        // clang-format on
    };
    for (const auto &[text, decimals, expected] : texts)
        EXPECT_EQ(sqlNumber(QString::fromLatin1(text), decimals), QString::fromLatin1(expected)) << text;
}

INSTANTIATE_TEST_SUITE_P(Locales, ValuesInLocale, ::testing::Values(QLocale::Italian, QLocale::English),
                         [](const ::testing::TestParamInfo<QLocale::Language> &info) {
                             return QLocale::languageToCode(info.param).toStdString();
                         });

using DecimalsTest = EngineTest;

// A currency's decimals come from the open company's table, read once per
// company and kept until cleared; roundGeneral takes a code as well.
TEST_P(DecimalsTest, CurrencyDecimalsComeFromTheCompany)
{
    const QString setDecimals = QStringLiteral("UPDATE %1 SET NDEC = ? WHERE DIVISA = ?").arg(Tables::DIVISE);
    ASSERT_EQ(db->executeSql(
                  QStringLiteral("INSERT INTO %1 (DIVISA, DESCRIZIONE, NDEC) VALUES (?, ?, ?)").arg(Tables::DIVISE),
                  {QStringLiteral("XAU"), QStringLiteral("ORO"), 4}),
              kErrNone);
    Decimals decimals = currencyDecimals(*db);
    const std::pair<const char *, int> cases[] = {{"EUR", 2}, {"ITL", 0}, {"XAU", 4}, {"USD", 0}, {"3", 3}, {"eur", 0}};
    for (const auto &[argument, expected] : cases)
        EXPECT_EQ(decimals.of(QString::fromLatin1(argument)), expected) << argument;
    EXPECT_EQ(formatAmount(1500.5, QStringLiteral("ITL"), decimals), QStringLiteral("1.501"));
    EXPECT_DOUBLE_EQ(roundDec(1.23456, QStringLiteral("XAU"), decimals), 1.2346);
    EXPECT_DOUBLE_EQ(roundGeneral(2.675, QStringLiteral(" EUR "), decimals), 2.68);

    ASSERT_EQ(db->executeSql(setDecimals, {5, QStringLiteral("EUR")}), kErrNone);
    EXPECT_EQ(decimals.of(QStringLiteral("EUR")), 2); // kept from the first read
    // Another company: its own table, and the first company's answers go.
    const auto made =
        GetParam() == Engine::Sqlite
            ? Schema::createSqlite(archives->folder() + QStringLiteral("CONTAB02.MDB"), SchemaKind::Company)
            : Schema::createPostgres(db->connection(), QStringLiteral("contab02"), SchemaKind::Company);
    ASSERT_TRUE(made) << made.failure().detail.toStdString();
    ASSERT_TRUE(db->openCompany(QStringLiteral("02")));
    EXPECT_EQ(decimals.of(QStringLiteral("XAU")), 0);
    ASSERT_TRUE(db->openCompany(QStringLiteral("01")));
    EXPECT_EQ(decimals.of(QStringLiteral("EUR")), 5);
    // Reopening the same company keeps them until cleared.
    ASSERT_EQ(db->executeSql(setDecimals, {1, QStringLiteral("EUR")}), kErrNone);
    ASSERT_TRUE(db->openCompany(QStringLiteral("01")));
    EXPECT_EQ(decimals.of(QStringLiteral("EUR")), 5);
    decimals.clear();
    EXPECT_EQ(decimals.of(QStringLiteral("EUR")), 1);
    EXPECT_EQ(exits, 0);
}

ORLAVO_FOR_EACH_ENGINE(DecimalsTest);
