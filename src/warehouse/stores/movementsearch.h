#pragma once

#include "services/core/outcome.h"
#include "services/core/record.h"

#include <QDate>
#include <QList>
#include <QString>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Warehouse {

// The movement search's filters as typed; blanks filter nothing.
struct MovementFilter {
    QString year;
    QString brand, item;
    QString causal; // LIKE, "%" and "_" typed as they are
    QString from, to; // registration dates
    QString number;
};

// The filters' problems in the order of the fields: unknown item and brand,
// dates that are no dates.
QList<Services::FieldProblem> filterProblems(Services::DataAccess &db, const MovementFilter &filter);

// One movement of the list.
struct FoundMovement {
    QString year;
    int number = 0;
    QDate date;
    QString brand, item, causal;
    QString customer, supplier; // names
    QString document;
    double quantity = 0, price = 0;
    int priceDecimals = 2; // NDEC
    double discounts[3] = {0, 0, 0};
    double netPrice = 0, total = 0;
};

// The movements the filters let through, by year and number: at most
// `limit`, and one more when there are more.
inline constexpr int kSearchLimit = 10000;
Services::Outcome<QList<FoundMovement>> searchMovements(Services::DataAccess &db, const MovementFilter &filter,
                                                        int limit = kSearchLimit);

} // namespace Orlavo::Warehouse
