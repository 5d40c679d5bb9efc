#include "masterdata/stores/deliveryplaces.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

using Services::DataAccess;
namespace Tables = Services::Tables;

using Services::WriteEnd;
using Services::WriteResult;

namespace {

constexpr char kPlacesWhere[] = "Gestione luoghi consegna merce";

bool stored(Services::WriteUnit &unit, const DeliveryPlace &place, bool *found)
{
    auto rows = unit.read(QStringLiteral("SELECT COD_LUOGO FROM %1 WHERE %2")
                              .arg(Tables::CONS_MERCE, Services::keyCondition(deliveryPlaceTable())),
                          place.key());
    if (!rows)
        return false;
    *found = !rows->isEmpty();
    return true;
}

} // namespace

const Services::TableDef &deliveryPlaceTable()
{
    namespace Col = Services::Column;
    static const Services::TableDef def{
        Tables::CONS_MERCE,
        Services::Target::Company,
        {
            Col::key(Col::integer(QStringLiteral("CLIENTE"))),
            Col::key(Col::integer(QStringLiteral("COD_LUOGO"))),
            Col::text(QStringLiteral("DESC_LUOGO"), 60),
            Col::text(QStringLiteral("INDIRIZZO"), 60),
            Col::text(QStringLiteral("CITTA"), 40),
            Col::code(QStringLiteral("CAP"), 5),
            Col::code(QStringLiteral("PROV"), 2),
            Col::blankWhenZero(Col::amount(QStringLiteral("KKMM"), kDistanceDecimals)),
            Col::code(QStringLiteral("RADIALE"), 10),
            Col::flagMinusOne(QStringLiteral("PREDEF")),
        }};
    return def;
}

DeliveryPlace newDeliveryPlace(int customer, int code)
{
    DeliveryPlace place(deliveryPlaceTable());
    place.set(QStringLiteral("CLIENTE"), customer);
    if (code > 0)
        place.set(QStringLiteral("COD_LUOGO"), code);
    return place;
}

Services::Outcome<QList<DeliveryPlace>> listDeliveryPlaces(DataAccess &db, int customer)
{
    return Services::readRows(db, deliveryPlaceTable(), QStringLiteral("CLIENTE = ?"), {customer},
                              QStringLiteral("COD_LUOGO"));
}

Services::Outcome<std::optional<DeliveryPlace>> findDeliveryPlace(DataAccess &db, int customer, int code)
{
    return Services::readRow(db, deliveryPlaceTable(), {customer, code});
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

WriteResult saveDeliveryPlace(DataAccess &db, const DeliveryPlace &place, PlaceSave how,
                              const std::optional<DeliveryPlace> &loaded)
{
    const int customer = place.integer(QStringLiteral("CLIENTE"));
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kPlacesWhere));
    if (!unit.ok())
        return WriteResult::of(WriteEnd::Failed);
    if (how == PlaceSave::Insert) {
        // Stored meanwhile by another workstation: the caller asks again.
        bool found = false;
        if (!stored(unit, place, &found))
            return WriteResult::of(WriteEnd::Failed);
        if (found) {
            unit.abandon();
            return {WriteEnd::Duplicate, {}, QStringLiteral("COD_LUOGO"), 0, {}, {}};
        }
    }
    // One default place per customer: the others lose the flag.
    if (place.flag(QStringLiteral("PREDEF")) &&
        !unit.execCompany(
            QStringLiteral("Toglie predef."),
            QStringLiteral("UPDATE %1 SET PREDEF = 0 WHERE CLIENTE = ? AND COD_LUOGO <> ?").arg(Tables::CONS_MERCE),
            {customer, place.integer(QStringLiteral("COD_LUOGO"))}))
        return WriteResult::of(WriteEnd::Failed);
    if (how == PlaceSave::Replace &&
        !Services::deleteRow(unit, deliveryPlaceTable(), place.key(), QStringLiteral("Canc consmerce dupl..")))
        return WriteResult::of(WriteEnd::Failed);

    if (how == PlaceSave::Update) {
        // What changed from the row as loaded; a row gone meanwhile is no
        // update, changed or not.
        const DeliveryPlace before = loaded.value_or(newDeliveryPlace(customer, place.integer(QStringLiteral("COD_LUOGO"))));
        int affected = 0;
        if (!Services::updateRow(unit, place, before, QStringLiteral("Agg. consmerce ."), &affected))
            return WriteResult::of(WriteEnd::Failed);
        bool found = affected > 0;
        if (!found && !stored(unit, place, &found))
            return WriteResult::of(WriteEnd::Failed);
        if (!found) {
            unit.abandon();
            return WriteResult::of(WriteEnd::Gone);
        }
    } else if (!Services::insertRow(unit, place, QStringLiteral("Ins. consmerce ."))) {
        return WriteResult::of(WriteEnd::Failed);
    }
    return WriteResult::of(unit.commit() ? WriteEnd::Written : WriteEnd::Failed);
}

Services::WriteResult deleteDeliveryPlace(DataAccess &db, int customer, int code)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return Services::WriteResult::of(Services::WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kPlacesWhere));
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
