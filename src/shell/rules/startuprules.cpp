#include "shell/rules/startuprules.h"

#include <algorithm>
#include <climits>

namespace Orlavo::Shell {

namespace {

bool wordAt(const QString &value, qsizetype position, std::initializer_list<const char *> spellings)
{
    for (const char *word : spellings) {
        const QLatin1String w(word);
        if (value.mid(position, w.size()) == w)
            return true;
    }
    return false;
}

bool wordAtStartOrEighth(const QString &value, std::initializer_list<const char *> spellings)
{
    return wordAt(value, 0, spellings) || wordAt(value, 7, spellings);
}

} // namespace

DbType normaliseDbType(const QString &value)
{
    if (wordAtStartOrEighth(value, {"SQL", "Sql", "sql"}))
        return {value, true};
    if (wordAtStartOrEighth(value, {"Access2000", "ACCESS2000", "access2000"}))
        return {QStringLiteral("ACCESS2000"), false};
    if (wordAtStartOrEighth(value, {"Access", "ACCESS", "access"}))
        return {QStringLiteral("ACCESS"), false};
    return {value, false};
}

std::optional<Services::Isolation> isolationFromSetting(const QString &value)
{
    using Services::Isolation;
    if (value == QLatin1String("1"))
        return Isolation::Chaos;
    if (value == QLatin1String("2"))
        return Isolation::ReadCommitted;
    if (value == QLatin1String("3"))
        return Isolation::RepeatableRead;
    if (value == QLatin1String("4"))
        return Isolation::Serializable;
    return std::nullopt;
}

int leadingNumber(const QString &value)
{
    const QString text = value.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // Too many digits: the largest number, not one wrapped round.
    long long number = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i)
        number = std::min<long long>(number * 10 + (text[i].unicode() - '0'), INT_MAX);
    return int(negative ? -number : number);
}

} // namespace Orlavo::Shell
