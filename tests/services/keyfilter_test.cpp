#include "services/core/keyfilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

using namespace Orlavo::Services;

namespace {

// Every code from 0 to `to` the field takes, as typed (before any change).
QString allTaken(FieldType type, int to = 0xFFFF)
{
    QString all;
    for (int code = 0; code <= to; ++code) {
        if (keyFilter(code, type, false, false, {}) != 0)
            all.append(QChar(char16_t(code)));
    }
    return all;
}

QString ascii(int from, int to)
{
    QString all;
    for (int code = from; code <= to; ++code)
        all.append(QChar(char16_t(code)));
    return all;
}

const QString kBackspace(QChar(8));

} // namespace

TEST(KeyFilter, EachKindTakesItsOwnCharacters)
{
    EXPECT_EQ(allTaken(FieldType::Code), kBackspace + ascii(33, 122));
    EXPECT_EQ(allTaken(FieldType::Number), kBackspace + QStringLiteral(",-.0123456789"));
    EXPECT_EQ(allTaken(FieldType::Date), kBackspace + QStringLiteral(" -/0123456789"));
    // Text: ASCII from the blank to "~", then the old code page's 128-163
    // and the capitals of its small letters that Latin-1 has.
    const QString dos = QStringLiteral("ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜø£Ø×ƒáíóú");
    QString text = kBackspace + ascii(32, 126) + dos + QStringLiteral("ÂÀÊËÈÏÎÌÔÒÛÙÁÍÓÚ");
    std::sort(text.begin(), text.end());
    EXPECT_EQ(allTaken(FieldType::FreeText), text);
    // Digits and backspace pass even where nothing else would.
    for (const QChar c : kBackspace + QStringLiteral("0123456789"))
        EXPECT_EQ(filterKey(c, FieldType::Number, true, true, QStringLiteral("1,")), c);
}

TEST(KeyFilter, CapitalsFollowTheSwitchInCodesAndText)
{
    const struct {
        FieldType type;
        char16_t typed, on, off;
    } cases[] = {
        {FieldType::Code, u'a', u'A', u'a'},
        {FieldType::Code, u'z', u'Z', u'z'},
        {FieldType::Code, u'_', u'_', u'_'},
        {FieldType::FreeText, u'q', u'Q', u'q'},
        {FieldType::FreeText, u'è', u'È', u'è'},
        {FieldType::FreeText, u'ç', u'Ç', u'ç'},
        // Their capitals are outside the set: the small letters stay.
        {FieldType::FreeText, u'ÿ', u'ÿ', u'ÿ'},
        {FieldType::FreeText, u'ƒ', u'ƒ', u'ƒ'},
        {FieldType::Date, u'/', u'/', u'/'},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(filterKey(QChar(c.typed), c.type, false, true, {}), QChar(c.on)) << int(c.typed);
        EXPECT_EQ(filterKey(QChar(c.typed), c.type, false, false, {}), QChar(c.off)) << int(c.typed);
    }
}

TEST(KeyFilter, NumbersTakeOneCommaUnlessIntegersOnly)
{
    EXPECT_EQ(keyFilter('.', FieldType::Number, false, true, QStringLiteral("12")), ',');
    EXPECT_EQ(keyFilter(',', FieldType::Number, false, true, QStringLiteral("12")), ',');
    EXPECT_EQ(keyFilter('.', FieldType::Number, false, true, QStringLiteral("1,2")), 0);
    EXPECT_EQ(keyFilter(',', FieldType::Number, false, true, QStringLiteral(",")), 0);
    EXPECT_EQ(keyFilter(',', FieldType::Number, true, true, {}), 0);
    EXPECT_EQ(keyFilter('.', FieldType::Number, true, true, {}), 0);
    EXPECT_EQ(keyFilter('-', FieldType::Number, true, true, {}), '-');
    for (const char refused : {'F', 'f', 'I', 'i', '+', 'e'})
        EXPECT_EQ(keyFilter(refused, FieldType::Number, false, true, {}), 0) << refused;
}

TEST(KeyFilter, TextIsTakenWholeOrRefusedWhole)
{
    const struct {
        const char *incoming;
        FieldType type;
        bool flag;
        const char *rest;
        std::optional<const char *> taken;
    } cases[] = {
        {"caffè", FieldType::FreeText, false, "", "CAFFÈ"},
        {"ab\x01", FieldType::FreeText, false, "", std::nullopt},
        {"5 €", FieldType::FreeText, false, "", std::nullopt},
        // In text a backspace is no key: it would end up in the field.
        {"a\bb", FieldType::FreeText, false, "", std::nullopt},
        {"ab cd", FieldType::Code, false, "", std::nullopt},
        {"ab-1", FieldType::Code, false, "", "AB-1"},
        {"-12.5", FieldType::Number, false, "", "-12,5"},
        {"1.234,5", FieldType::Number, false, "", std::nullopt},
        {"25", FieldType::Number, false, "1,", "25"},
        {".5", FieldType::Number, false, "1", ",5"},
        {".5", FieldType::Number, false, "1,", std::nullopt},
        {"125", FieldType::Number, true, "", "125"},
        {"12.5", FieldType::Number, true, "", std::nullopt},
        {"31/12 2024", FieldType::Date, false, "", "31/12 2024"},
        {"31.12.2024", FieldType::Date, false, "", std::nullopt},
        {"", FieldType::Number, true, "1,5", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.incoming);
        const auto taken = filterText(QString::fromUtf8(c.incoming), c.type, c.flag, true, QString::fromUtf8(c.rest));
        ASSERT_EQ(taken.has_value(), c.taken.has_value());
        if (taken) {
            EXPECT_EQ(*taken, QString::fromUtf8(*c.taken));
        }
    }
}

TEST(KeyFilter, KeyCodesOutsideCharactersAreRefused)
{
    EXPECT_EQ(keyFilter(0xE8, FieldType::FreeText, false, true, {}), 0xC8); // è → È
    EXPECT_EQ(keyFilter(0x10000 + '1', FieldType::Number, false, true, {}), 0);
    EXPECT_EQ(keyFilter(-1, FieldType::FreeText, false, true, {}), 0);
}
