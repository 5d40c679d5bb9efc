#include "warehouse/rules/priceproposal.h"

#include "services/core/values.h"

#include <algorithm>

namespace Orlavo::Warehouse {

namespace {

constexpr int kEuroYear = 2002;

} // namespace

QList<PriceSource> rankedSources(const ProposalRanks &ranks)
{
    QList<std::pair<int, PriceSource>> ranked;
    for (const auto &[rank, source] : {std::pair{ranks.lastLoad, PriceSource::LastLoad},
                                       std::pair{ranks.partyList, PriceSource::PartyList},
                                       std::pair{ranks.standardList, PriceSource::StandardList},
                                       std::pair{ranks.itemPrice, PriceSource::ItemPrice}}) {
        if (rank > 0)
            ranked.append({rank, source});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<PriceSource> sources;
    for (const auto &entry : ranked)
        sources << entry.second;
    return sources;
}

bool isUnloadCausal(const QString &causal)
{
    return causal.trimmed().toUpper().startsWith(QLatin1Char('S'));
}

ProposedPrice inCurrencyOf(ProposedPrice found, int foundYear, int year)
{
    if (foundYear < kEuroYear && year >= kEuroYear) {
        found.price = Services::roundDec(found.price / Services::kEuroLireRate, 2);
        found.decimals = 2;
    }
    return found;
}

int movementPriceDecimals(int year, int euroDecimals)
{
    return year < kEuroYear ? 0 : euroDecimals;
}

} // namespace Orlavo::Warehouse
