#include "services/data/currencies.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Services {

Decimals currencyDecimals(DataAccess &db)
{
    DataAccess *access = &db;
    return Decimals(
        [access](const QString &code) -> std::optional<int> {
            if (!access->companyOpen())
                return std::nullopt;
            static const QString sql = QStringLiteral("SELECT NDEC FROM %1 WHERE DIVISA = ?").arg(Tables::DIVISE);
            auto rows = access->tryOpenRecordset(sql, {code});
            if (!rows)
                return std::nullopt;
            return rows->isEmpty() ? 0 : rows->first().integer(QStringLiteral("NDEC"));
        },
        [access] { return access->state().dbName; });
}

} // namespace Orlavo::Services
