#include "services/core/values.h"

#include "services/core/decimals.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace Orlavo::Services {

namespace {

constexpr std::uint64_t kTens[] = {1ULL,
                                   10ULL,
                                   100ULL,
                                   1000ULL,
                                   10000ULL,
                                   100000ULL,
                                   1000000ULL,
                                   10000000ULL,
                                   100000000ULL,
                                   1000000000ULL,
                                   10000000000ULL,
                                   100000000000ULL,
                                   1000000000000ULL,
                                   10000000000000ULL,
                                   100000000000000ULL,
                                   1000000000000000ULL};

// Longest fixed text of a double: 309 integer digits, the point, ten decimals.
constexpr int kFixedRoom = 340;

struct NumberStyle {
    char point;       // decimal separator
    bool grouped;     // points between thousands
    bool zeroInteger; // a zero integer part shows as "0", not as nothing
};

// The already rounded value written at `decimals` in the given style.
QString compose(double rounded, int decimals, NumberStyle style)
{
    char plain[kFixedRoom];
    const auto written =
        std::to_chars(plain, plain + sizeof plain, std::fabs(rounded), std::chars_format::fixed, decimals);
    if (written.ec != std::errc())
        return {};
    const char *end = written.ptr;
    const char *dot = decimals > 0 ? end - decimals - 1 : end;
    int integerDigits = int(dot - plain);
    if (!style.zeroInteger && integerDigits == 1 && plain[0] == '0')
        integerDigits = 0;

    char text[kFixedRoom + kFixedRoom / 3];
    char *out = text;
    if (rounded < 0)
        *out++ = '-';
    for (int i = 0; i < integerDigits; ++i) {
        if (style.grouped && i > 0 && (integerDigits - i) % 3 == 0)
            *out++ = '.';
        *out++ = plain[i];
    }
    if (decimals > 0) {
        *out++ = style.point;
        out = std::copy(dot + 1, end, out);
    }
    return QString::fromLatin1(text, out - text);
}

int clampDecimals(int decimals)
{
    return std::clamp(decimals, 0, 10);
}

} // namespace

double roundDec(double value, int decimals)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    decimals = clampDecimals(decimals);
    // 15 significant digits: "d.dddddddddddddde±x".
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 14);
    if (written.ec != std::errc())
        return value;
    std::uint64_t digits = std::uint64_t(text[0] - '0');
    for (int i = 2; i < 16; ++i)
        digits = digits * 10 + std::uint64_t(text[i] - '0');
    int exponent = 0;
    for (const char *p = text + 18; p < written.ptr; ++p)
        exponent = exponent * 10 + (*p - '0');
    if (text[17] == '-')
        exponent = -exponent;

    // The first digit stands for 10^exponent; keep the digits down to 10^-decimals.
    const int keep = exponent + 1 + decimals;
    if (keep < 0)
        return 0;
    if (keep >= 15)
        return value;
    std::uint64_t kept = digits / kTens[15 - keep];
    if (digits / kTens[14 - keep] % 10 >= 5)
        ++kept;
    if (kept == 0)
        return 0;
    // Both operands are exact, so the quotient is the double nearest to the
    // decimal figure.
    const double rounded = double(kept) / double(kTens[decimals]);
    return value < 0 ? -rounded : rounded;
}

double roundDec(double value, const QString &decimals, Decimals &resolver)
{
    return roundDec(value, resolver.of(decimals));
}

double roundGeneral(double value, const QString &decimals, Decimals &resolver, int /*mode*/)
{
    bool ok = false;
    const int count = decimals.trimmed().toInt(&ok);
    if (ok)
        return roundDec(value, clampDecimals(count));
    return roundDec(value, resolver.of(decimals.trimmed()));
}

QString formatGrouped(double value, int decimals)
{
    decimals = clampDecimals(decimals);
    return compose(roundDec(value, decimals), decimals, {',', true, true});
}

QString formatAmount(double value, int decimals)
{
    decimals = clampDecimals(decimals);
    const double rounded = roundDec(value, decimals);
    if (decimals == 0 && rounded == 0)
        return {};
    return compose(rounded, decimals, {',', true, true});
}

QString formatAmount(double value, const QString &decimals, Decimals &resolver)
{
    return formatAmount(value, resolver.of(decimals));
}

QString formatPlain(double value, int decimals)
{
    decimals = clampDecimals(decimals);
    return compose(roundDec(value, decimals), decimals, {',', false, false});
}

QString formatPlain13(double value, int decimals)
{
    // Thirteen integer places instead of twelve: wider numbers are never
    // cut, so the text is the same.
    return formatPlain(value, decimals);
}

QString sqlNumber(double value, int decimals)
{
    decimals = clampDecimals(decimals);
    return compose(roundDec(value, decimals), decimals, {'.', false, true});
}

QString sqlNumber(const QString &value, int decimals)
{
    QString text = value.trimmed();
    if (text.isEmpty())
        return {};
    if (text.contains(QLatin1Char(','))) {
        text.remove(QLatin1Char('.'));
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    return sqlNumber(ok ? number : 0.0, decimals);
}

QString commaToPoint(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("0");
    QString converted = text;
    converted.replace(QLatin1Char(','), QLatin1Char('.'));
    return converted;
}

QDate parseItalianDate(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^([0-9]{1,2})[/\- ]([0-9]{1,2})[/\- ]([0-9]{4}|[0-9]{2})$)"));
    const auto match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return {};
    const int day = match.capturedView(1).toInt();
    const int month = match.capturedView(2).toInt();
    int year = match.capturedView(3).toInt();
    if (match.capturedLength(3) == 2)
        year += year < 30 ? 2000 : 1900;
    // QDate knows no year 0.
    if (year == 0)
        return {};
    return QDate(year, month, day);
}

int dateSerial(const QString &text)
{
    const QDate date = parseItalianDate(text);
    if (!date.isValid())
        return 0;
    if (date.year() > 2500)
        return INT_MAX;
    return int(QDate(1899, 12, 30).daysTo(date));
}

bool isNumberText(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+([.,]\\d*)?|[.,]\\d+)\\s*$"));
    return number.match(text).hasMatch();
}

} // namespace Orlavo::Services
