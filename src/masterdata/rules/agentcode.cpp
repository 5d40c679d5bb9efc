#include "masterdata/rules/agentcode.h"

namespace Orlavo::Masterdata {

bool isAgentCode(const QString &code)
{
    if (code.size() != 6 || (code.at(0) != QLatin1Char('A') && code.at(0) != QLatin1Char('a')))
        return false;
    for (int i = 1; i < 6; ++i) {
        if (code.at(i) < QLatin1Char('0') || code.at(i) > QLatin1Char('9'))
            return false;
    }
    return true;
}

std::optional<int> agentNumber(const QString &userCode)
{
    const QString code = userCode.trimmed();
    if (!isAgentCode(code))
        return std::nullopt;
    return code.mid(1).toInt();
}

} // namespace Orlavo::Masterdata
