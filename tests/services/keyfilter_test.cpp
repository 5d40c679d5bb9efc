#include "services/core/keyfilter.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Orlavo::Services;

// Each kind's set at its edges: codes take "!" to "z", text the printable
// ASCII and the old code page's letters; digits and backspace pass even
// where nothing else would. Capitals follow the switch in codes and text,
// as long as the capital is in the set (ÿ and ƒ stay small). Numbers take
// one decimal comma, typed with either key, unless integers only. Key
// codes that are no character are refused.
TEST(KeyFilter, KeyCodes)
{
    const FieldType code = FieldType::Code, text = FieldType::FreeText, number = FieldType::Number;
    const std::tuple<int, FieldType, bool, bool, const char *, int> cases[] = {
        // clang-format off
        {' ', code, false, true, "", 0}, {'!', code, false, true, "", '!'}, {'{', code, false, true, "", 0},
        {'~', text, false, true, "", '~'}, {127, text, false, true, "", 0}, {u'€', text, false, true, "", 0},
        {'/', FieldType::Date, false, true, "", '/'}, {'.', FieldType::Date, false, true, "", 0},
        {8, number, true, true, "1,", 8}, {'7', number, true, true, "1,", '7'},
        {'a', code, false, true, "", 'A'}, {'a', code, false, false, "", 'a'}, {u'è', text, false, true, "", u'È'},
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
