#include "services/core/decimals.h"

namespace Orlavo::Services {

std::optional<int> Decimals::fromDigit(const QString &argument)
{
    if (argument.size() == 1 && argument[0] >= QLatin1Char('0') && argument[0] <= QLatin1Char('5'))
        return argument[0].unicode() - u'0';
    return std::nullopt;
}

void Decimals::clear()
{
    m_cache.clear();
    m_company.clear();
}

int Decimals::of(const QString &argument)
{
    if (const auto digit = fromDigit(argument))
        return *digit;
    if (argument.size() < 2 || !m_reader)
        return 0;

    const QString company = m_scope ? m_scope() : QString();
    if (company != m_company) {
        m_cache.clear();
        m_company = company;
    }
    if (const auto found = m_cache.constFind(argument); found != m_cache.constEnd())
        return *found;

    const std::optional<int> decimals = m_reader(argument);
    if (!decimals)
        return 0; // a failed read is not remembered: the next call tries again
    m_cache.insert(argument, *decimals);
    return *decimals;
}

} // namespace Orlavo::Services
