#include "masterdata/stores/postalcodes.h"

#include "services/data/recordstore.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/standarddata.h"

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;

QList<Place> placesOfTown(Services::DataAccess &db, const QString &town)
{
    QList<Place> found;
    if (town.trimmed().isEmpty())
        return found;
    if (db.companyOpen()) {
        auto rows = db.openRecordset(QStringLiteral("SELECT CAP, PROVINCIA FROM %1 WHERE %2 ORDER BY CAP")
                                         .arg(Tables::TAB_CAP, Services::sqlUpperEquals(QStringLiteral("CITTA"))),
                                     {town.trimmed()});
        if (rows) {
            for (const auto &row : *rows)
                found << Place{row.text(QStringLiteral("CAP")), row.text(QStringLiteral("PROVINCIA"))};
        }
    } else if (const auto table =
                   Services::StandardData::table(Services::SchemaKind::Company, QStringLiteral("TAB_CAP"))) {
        const auto cap = table->columns.indexOf(QStringLiteral("CAP"));
        const auto city = table->columns.indexOf(QStringLiteral("CITTA"));
        const auto province = table->columns.indexOf(QStringLiteral("PROVINCIA"));
        for (const QStringList &row : table->rows) {
            if (row.value(city).compare(town.trimmed(), Qt::CaseInsensitive) == 0)
                found << Place{row.value(cap), row.value(province)};
        }
    }
    if (found.isEmpty()) {
        // The list is in capitals; accented capitals are folded here, as
        // SQLite's UPPER folds only ASCII.
        auto rows = db.openRecordset(QStringLiteral("SELECT PROVINCIA FROM %1 WHERE COMUNE = ?").arg(Tables::TAB_COMUNI),
                                     {town.trimmed().toUpper()}, Services::Target::Services);
        if (rows && !rows->isEmpty())
            found << Place{QString(), rows->first().text(QStringLiteral("PROVINCIA"))};
    }
    return found;
}

std::optional<Town> townOfCadastralCode(Services::DataAccess &db, const QString &code)
{
    if (code.trimmed().isEmpty())
        return std::nullopt;
    auto rows = db.openRecordset(
        QStringLiteral("SELECT COMUNE, PROVINCIA FROM %1 WHERE %2")
            .arg(Tables::TAB_COMUNI, Services::sqlUpperEquals(QStringLiteral("CODICE_CATASTALE"))),
        {code.trimmed()}, Services::Target::Services);
    if (!rows || rows->isEmpty())
        return std::nullopt;
    return Town{rows->first().text(QStringLiteral("COMUNE")), rows->first().text(QStringLiteral("PROVINCIA"))};
}

bool provinceExists(Services::DataAccess &db, const QString &code)
{
    return Services::valueKnown(db, Tables::TAB_PROV, QStringLiteral("CODICE"), code);
}

} // namespace Orlavo::Masterdata
