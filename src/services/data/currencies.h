#pragma once

#include "services/core/decimals.h"

namespace Orlavo::Services {

class DataAccess;

// The decimals of the open company's currencies, read from DIVISE: no row
// gives 0, a failed read or no company open gives 0 without remembering it.
Decimals currencyDecimals(DataAccess &db);

} // namespace Orlavo::Services
