#include "shell/rules/basedatarules.h"

#include "services/core/values.h"

#include <algorithm>

namespace Orlavo::Shell {

namespace {
constexpr char kMonthly[] = "MENSILE";
constexpr char kQuarterly[] = "TRIMESTRALE";
} // namespace

QString vatPeriodCaption(const QString &letter)
{
    return QString::fromLatin1(letter.trimmed().toUpper() == QLatin1String("T") ? kQuarterly : kMonthly);
}

std::optional<QString> vatPeriodLetter(const QString &caption)
{
    if (caption == QLatin1String(kMonthly) || caption == QLatin1String(kQuarterly))
        return caption.left(1);
    return std::nullopt;
}

bool isWorkingYear(const QString &text)
{
    return text.size() == 4 && std::all_of(text.begin(), text.end(),
                                           [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

QList<int> repeatedPriorities(const Priorities &priorities)
{
    QList<int> repeated;
    for (int i = 0; i < int(priorities.size()); ++i) {
        for (int j = 0; j < int(priorities.size()); ++j) {
            if (i != j && priorities[i] == priorities[j]) {
                repeated.append(i);
                break;
            }
        }
    }
    return repeated;
}

Priorities effectivePriorities(const Priorities &priorities)
{
    Priorities sorted = priorities;
    std::sort(sorted.begin(), sorted.end());
    return sorted == kDefaultPriorities ? priorities : kDefaultPriorities;
}

bool isSearchDate(const QString &text)
{
    return text.trimmed().isEmpty() || Services::parseItalianDate(text).isValid();
}

} // namespace Orlavo::Shell
