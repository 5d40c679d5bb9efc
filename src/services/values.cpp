#include "values.h"

#include <QByteArray>

#include <cmath>
#include <cstdio>

namespace Orlavo::Services {

double roundDec(double value, int decimals)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    decimals = std::clamp(decimals, 0, 10);
    // 15 significant digits: "d.dddddddddddddde±x".
    char text[40];
    std::snprintf(text, sizeof text, "%.14e", value);
    const QByteArray s(text);
    const bool negative = s.startsWith('-');
    const qsizetype e = s.indexOf('e');
    QByteArray digits = s.mid(negative ? 1 : 0, e - (negative ? 1 : 0)).replace(".", "");
    const int exponent = s.mid(e + 1).toInt();
    // digits[0] stands for 10^exponent; keep the digits down to 10^-decimals.
    const int keep = exponent + 1 + decimals;
    if (keep < 0)
        return 0;
    if (keep >= digits.size())
        return value;
    bool up = digits[keep] >= '5';
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
    const QByteArray result = (negative ? QByteArray("-") : QByteArray()) + kept + 'e' + QByteArray::number(shift);
    return result.toDouble();
}

QString formatGrouped(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 10);
    const double rounded = roundDec(value, decimals);
    QString plain = QString::number(std::fabs(rounded), 'f', decimals);
    QString integer = plain.section(QLatin1Char('.'), 0, 0);
    const QString fraction = plain.section(QLatin1Char('.'), 1);
    for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
        integer.insert(i, QLatin1Char('.'));
    QString text = (rounded < 0 ? QStringLiteral("-") : QString()) + integer;
    if (decimals > 0)
        text += QLatin1Char(',') + fraction;
    return text;
}

} // namespace Orlavo::Services
