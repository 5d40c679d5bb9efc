#pragma once

#include "masterdata/stores/itemstore.h"
#include "reporting/printcommand.h"

namespace Orlavo::Masterdata {

// The item card (SCHEDART) of one item: identity, prices, discounts, stock,
// units and accounts.
Reporting::PrintCommand itemCardPrint(const ItemKey &key);

} // namespace Orlavo::Masterdata
