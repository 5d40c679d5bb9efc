#include "sales/rules/printrows.h"

#include <algorithm>

namespace Orlavo::Sales {

QList<PrintRow> summarisePrintRows(const QList<PrintRow> &rows)
{
    QList<PrintRow> result;
    for (const PrintRow &row : rows) {
        const auto same = std::find_if(result.begin(), result.end(), [&row](const PrintRow &kept) {
            return !row.item.isEmpty() && kept.brand == row.brand && kept.item == row.item &&
                   kept.price == row.price && kept.discounts == row.discounts && kept.vat == row.vat;
        });
        if (same == result.end()) {
            result.append(row);
            continue;
        }
        same->quantity += row.quantity;
        same->amount += row.amount;
    }
    std::stable_sort(result.begin(), result.end(), [](const PrintRow &a, const PrintRow &b) {
        if (a.brand != b.brand)
            return a.brand < b.brand;
        if (a.item != b.item)
            return a.item < b.item;
        if (a.price != b.price)
            return a.price < b.price;
        return a.row < b.row;
    });
    return result;
}

} // namespace Orlavo::Sales
