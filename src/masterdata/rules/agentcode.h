#pragma once

#include <QString>

#include <optional>

namespace Orlavo::Masterdata {

// Agents log in with their code: "A" (either case) and five digits.
bool isAgentCode(const QString &code);

// The agent number of an agent's login code ("A12345" → 12345).
std::optional<int> agentNumber(const QString &userCode);

} // namespace Orlavo::Masterdata
