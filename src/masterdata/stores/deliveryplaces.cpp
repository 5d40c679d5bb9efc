#include "masterdata/stores/deliveryplaces.h"

#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::Params;
namespace Tables = Services::Tables;

namespace {

constexpr char kLockArea[] = "TUTTO";
constexpr char kWhere[] = "Gestione luoghi consegna merce";
constexpr char kColumns[] = "COD_LUOGO, DESC_LUOGO, INDIRIZZO, CITTA, CAP, PROV, KKMM, RADIALE, PREDEF";
constexpr int kDefault = -1;

DeliveryPlace placeFrom(const Services::Recordset::Row &row)
{
    DeliveryPlace place;
    place.code = row.text(QStringLiteral("COD_LUOGO"));
    place.description = row.text(QStringLiteral("DESC_LUOGO"));
    place.address = row.text(QStringLiteral("INDIRIZZO"));
    place.town = row.text(QStringLiteral("CITTA"));
    place.postalCode = row.text(QStringLiteral("CAP"));
    place.province = row.text(QStringLiteral("PROV"));
    // No distance given: the field stays empty.
    if (row.number(QStringLiteral("KKMM")) != 0)
        place.distance = Services::sqlNumber(row.number(QStringLiteral("KKMM")), kDistanceDecimals)
                             .replace(QLatin1Char('.'), QLatin1Char(','));
    place.radial = row.text(QStringLiteral("RADIALE"));
    place.isDefault = row.integer(QStringLiteral("PREDEF")) != 0;
    return place;
}

// The columns after the key, in the order of kColumns.
Params valuesOf(const DeliveryPlace &place)
{
    return {Services::sqlText(place.description.trimmed()),
            Services::sqlText(place.address.trimmed()),
            Services::sqlText(place.town.trimmed()),
            Services::sqlText(place.postalCode.trimmed().toUpper()),
            Services::sqlText(place.province.trimmed().toUpper()),
            Services::sqlNumber(place.distance.trimmed(), kDistanceDecimals).toDouble(),
            Services::sqlText(place.radial.trimmed().toUpper()),
            place.isDefault ? kDefault : 0};
}

bool stored(Services::WriteUnit &unit, int customer, int code, bool *found)
{
    auto rows = unit.read(
        QStringLiteral("SELECT COD_LUOGO FROM %1 WHERE CLIENTE = ? AND COD_LUOGO = ?").arg(Tables::CONS_MERCE),
        {customer, code});
    if (!rows)
        return false;
    *found = !rows->isEmpty();
    return true;
}

} // namespace

Services::Outcome<QList<DeliveryPlace>> listDeliveryPlaces(DataAccess &db, int customer)
{
    auto rows = db.openRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE CLIENTE = ? ORDER BY COD_LUOGO")
                                     .arg(QString::fromLatin1(kColumns), Tables::CONS_MERCE),
                                 {customer});
    if (!rows)
        return rows.failure();
    QList<DeliveryPlace> places;
    places.reserve(rows->size());
    for (const auto &row : *rows)
        places << placeFrom(row);
    return places;
}

Services::Outcome<std::optional<DeliveryPlace>> findDeliveryPlace(DataAccess &db, int customer, int code)
{
    auto rows = db.openRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE CLIENTE = ? AND COD_LUOGO = ?")
                                     .arg(QString::fromLatin1(kColumns), Tables::CONS_MERCE),
                                 {customer, code});
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<DeliveryPlace>();
    return std::optional<DeliveryPlace>(placeFrom(rows->first()));
}

int nextPlaceCode(DataAccess &db, int customer)
{
    auto rows = db.openRecordset(
        QStringLiteral("SELECT MAX(COD_LUOGO) AS ULTIMO FROM %1 WHERE CLIENTE = ?").arg(Tables::CONS_MERCE),
        {customer});
    if (!rows || rows->isEmpty())
        return 1;
    return rows->first().integer(QStringLiteral("ULTIMO")) + 1;
}

bool placeExists(DataAccess &db, int customer, int code)
{
    auto rows = db.openRecordset(
        QStringLiteral("SELECT COD_LUOGO FROM %1 WHERE CLIENTE = ? AND COD_LUOGO = ?").arg(Tables::CONS_MERCE),
        {customer, code});
    return rows && !rows->isEmpty();
}

Services::WriteResult saveDeliveryPlace(DataAccess &db, int customer, const DeliveryPlace &place, PlaceSave how)
{
    const int code = place.code.trimmed().toInt();
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return Services::WriteResult::of(Services::WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kWhere));
    if (!unit.ok())
        return Services::WriteResult::of(Services::WriteEnd::Failed);
    if (how == PlaceSave::Insert) {
        // Stored meanwhile by another workstation: the caller asks again.
        bool found = false;
        if (!stored(unit, customer, code, &found))
            return Services::WriteResult::of(Services::WriteEnd::Failed);
        if (found) {
            unit.abandon();
            return Services::WriteResult::of(Services::WriteEnd::Duplicate);
        }
    }
    // One default place per customer.
    if (place.isDefault &&
        !unit.execCompany(QStringLiteral("Toglie predef."),
                          QStringLiteral("UPDATE %1 SET PREDEF = 0 WHERE CLIENTE = ?").arg(Tables::CONS_MERCE),
                          {customer}))
        return Services::WriteResult::of(Services::WriteEnd::Failed);
    if (how == PlaceSave::Replace &&
        !unit.execCompany(QStringLiteral("Canc consmerce dupl.."),
                          QStringLiteral("DELETE FROM %1 WHERE CLIENTE = ? AND COD_LUOGO = ?").arg(Tables::CONS_MERCE),
                          {customer, code}))
        return Services::WriteResult::of(Services::WriteEnd::Failed);

    Params params = valuesOf(place);
    if (how == PlaceSave::Update) {
        params << customer << code;
        if (!unit.execCompany(QStringLiteral("Agg. consmerce ."),
                              QStringLiteral("UPDATE %1 SET DESC_LUOGO = ?, INDIRIZZO = ?, CITTA = ?, CAP = ?, "
                                             "PROV = ?, KKMM = ?, RADIALE = ?, PREDEF = ? "
                                             "WHERE CLIENTE = ? AND COD_LUOGO = ?")
                                  .arg(Tables::CONS_MERCE),
                              params))
            return Services::WriteResult::of(Services::WriteEnd::Failed);
        if (db.rowsAffected() == 0) {
            unit.abandon();
            return Services::WriteResult::of(Services::WriteEnd::Gone);
        }
    } else {
        params.prepend(code);
        params.prepend(customer);
        if (!unit.execCompany(QStringLiteral("Ins. consmerce ."),
                              QStringLiteral("INSERT INTO %1 (CLIENTE, %2) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                                  .arg(Tables::CONS_MERCE, QString::fromLatin1(kColumns)),
                              params))
            return Services::WriteResult::of(Services::WriteEnd::Failed);
    }
    return Services::WriteResult::of(unit.commit() ? Services::WriteEnd::Written : Services::WriteEnd::Failed);
}

Services::WriteResult deleteDeliveryPlace(DataAccess &db, int customer, int code)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return Services::WriteResult::of(Services::WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kWhere));
    if (!unit.execCompany(QStringLiteral("Cancella consmerce"),
                          QStringLiteral("DELETE FROM %1 WHERE CLIENTE = ? AND COD_LUOGO = ?").arg(Tables::CONS_MERCE),
                          {customer, code}))
        return Services::WriteResult::of(Services::WriteEnd::Failed);
    if (db.rowsAffected() == 0) {
        unit.abandon();
        return Services::WriteResult::of(Services::WriteEnd::Gone);
    }
    return Services::WriteResult::of(unit.commit() ? Services::WriteEnd::Written : Services::WriteEnd::Failed);
}

} // namespace Orlavo::Masterdata
