#include "services/core/keyfilter.h"

#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>

using namespace Orlavo::Services;

namespace {

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
    // Text: ASCII from the blank to "~", then the old code page's 128-163
    // and the capitals of its small letters that Latin-1 has.
    QString text = kBackspace + ascii(32, 126) + QStringLiteral("ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜø£Ø×ƒáíóú") +
                   QStringLiteral("ÂÀÊËÈÏÎÌÔÒÛÙÁÍÓÚ");
    std::sort(text.begin(), text.end());
    const std::pair<FieldType, QString> kinds[] = {
        {FieldType::Code, kBackspace + ascii(33, 122)},
        {FieldType::Number, kBackspace + QStringLiteral(",-.0123456789")},
        {FieldType::Date, kBackspace + QStringLiteral(" -/0123456789")},
        {FieldType::FreeText, text},
    };
    for (const auto &[type, expected] : kinds) {
        QString taken;
        for (int code = 0; code <= 0xFFFF; ++code) {
            if (keyFilter(code, type, false, false, {}) != 0)
                taken.append(QChar(char16_t(code)));
        }
        EXPECT_EQ(taken, expected) << int(type);
    }
    // Digits and backspace pass even where nothing else would.
    for (const QChar c : kBackspace + QStringLiteral("0123456789"))
        EXPECT_EQ(filterKey(c, FieldType::Number, true, true, QStringLiteral("1,")), c);
}

// Capitals follow the switch in codes and text, as long as the capital is
// in the set (ÿ and ƒ stay small). Numbers take one decimal comma, typed
// with either key, unless integers only. Key codes that are no character
// are refused.
TEST(KeyFilter, KeyCodes)
{
    const FieldType code = FieldType::Code, text = FieldType::FreeText, number = FieldType::Number;
    const std::tuple<int, FieldType, bool, bool, const char *, int> cases[] = {
        // clang-format off
        {'a', code, false, true, "", 'A'}, {'a', code, false, false, "", 'a'}, {'_', code, false, true, "", '_'},
        {'q', text, false, true, "", 'Q'}, {u'è', text, false, true, "", u'È'}, {u'è', text, false, false, "", u'è'},
        {u'ÿ', text, false, true, "", u'ÿ'}, {'.', number, false, true, "12", ','}, {',', number, false, true, "12", ','},
        {'.', number, false, true, "1,2", 0}, {',', number, true, true, "", 0}, {'-', number, true, true, "", '-'},
        {'e', number, false, true, "", 0}, {0x10000 + '1', number, false, true, "", 0}, {-1, text, false, true, "", 0},
        // clang-format on
    };
    for (const auto &[key, type, integersOnly, upper, text, taken] : cases)
        EXPECT_EQ(keyFilter(key, type, integersOnly, upper, QLatin1String(text)), taken) << key;
}

// Pasted text: in text a backspace is no key, it would end up in the field.
TEST(KeyFilter, TextIsTakenWholeOrRefusedWhole)
{
    const std::tuple<const char *, FieldType, bool, const char *, const char *> cases[] = {
        // clang-format off
        {"caffè", FieldType::FreeText, false, "", "CAFFÈ"}, {"5 €", FieldType::FreeText, false, "", nullptr},
        {"a\bb", FieldType::FreeText, false, "", nullptr}, {"ab cd", FieldType::Code, false, "", nullptr},
        {"-12.5", FieldType::Number, false, "", "-12,5"}, {"1.234,5", FieldType::Number, false, "", nullptr},
        {"25", FieldType::Number, false, "1,", "25"}, {".5", FieldType::Number, false, "1,", nullptr},
        {"12.5", FieldType::Number, true, "", nullptr}, {"31.12.2024", FieldType::Date, false, "", nullptr},
        // clang-format on
    };
    for (const auto &[incoming, type, integersOnly, rest, taken] : cases) {
        const auto result = filterText(QString::fromUtf8(incoming), type, integersOnly, true, QString::fromUtf8(rest));
        EXPECT_EQ(result.value_or(QStringLiteral("<refused>")),
                  taken ? QString::fromUtf8(taken) : QStringLiteral("<refused>"))
            << incoming;
    }
}
