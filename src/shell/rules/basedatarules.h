#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace Orlavo::Shell {

// The four sources of the purchase price, each with its priority 1..4:
// custom price list, item card discounted, last loading move, item card fixed.
using Priorities = std::array<int, 4>;
inline constexpr Priorities kDefaultPriorities{1, 2, 3, 4};

// "MENSILE" or "TRIMESTRALE" for the stored letter; "T" is quarterly,
// anything else monthly.
QString vatPeriodCaption(const QString &letter);
// The letter of a caption; nothing for any other text.
std::optional<QString> vatPeriodLetter(const QString &caption);

// Every counter key begins with the year's four digits.
bool isWorkingYear(const QString &text);
// The positions (0..3) holding a priority another one holds too.
QList<int> repeatedPriorities(const Priorities &priorities);
// The priorities when they are 1..4 in some order, else the default order.
Priorities effectivePriorities(const Priorities &priorities);
// A default search date: empty, or a date as typed in a date field.
bool isSearchDate(const QString &text);

} // namespace Orlavo::Shell
