#pragma once

#include "warehouse/rules/movementvalues.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Warehouse {

// Where the movement window looks for the price of a new movement.
enum class PriceSource {
    LastLoad,     // the latest earlier C10 of the item (PRULTCO)
    PartyList,    // the supplier's or customer's list row (PRLISTPER)
    StandardList, // the standard list, party 99999 (PRLISTBA)
    ItemPrice,    // the item's own price and discounts (PRACQF)
};

// The rank of each source: 1 is tried first, 0 leaves the source out.
struct ProposalRanks {
    int lastLoad = 1;
    int partyList = 2;
    int standardList = 3;
    int itemPrice = 4;
};

// The sources in the order they are tried: by rank, equal ranks in the
// order above, sources ranked 0 or below left out.
QList<PriceSource> rankedSources(const ProposalRanks &ranks);

// Loads are the causals not beginning with "S".
bool isUnloadCausal(const QString &causal);

// A price found for the movement, with its discounts and decimals.
struct ProposedPrice {
    PriceSource source = PriceSource::ItemPrice;
    double price = 0;
    Discounts discounts{};
    int decimals = 2;
};

// A price of an earlier movement as a movement of `year` takes it: a lire
// price (a year before 2002) becomes euro at 2 decimals for a movement of
// 2002 or later.
ProposedPrice inCurrencyOf(ProposedPrice found, int foundYear, int year);

// The price decimals of a movement of `year`: 0 in lire, else `euroDecimals`.
int movementPriceDecimals(int year, int euroDecimals);

} // namespace Orlavo::Warehouse
