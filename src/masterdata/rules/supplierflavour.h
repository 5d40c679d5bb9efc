#pragma once

#include <QString>

namespace Orlavo::Masterdata {

// The supplier register serves suppliers and agents: an agent is a
// supplier row with AGENTE = 'A', an ordinary supplier has exactly one
// blank there (never empty or null).
enum class SupplierFlavour { Suppliers, Agents };

inline QString agentFlagOf(SupplierFlavour flavour)
{
    return flavour == SupplierFlavour::Agents ? QStringLiteral("A") : QStringLiteral(" ");
}

// The code never listed nor picked (the standard-list party).
inline constexpr int kReservedSupplier = 99999;

} // namespace Orlavo::Masterdata
