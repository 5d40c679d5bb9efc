#include "masterdata/stores/partystore.h"

#include "masterdata/rules/taxcodes.h"
#include "masterdata/stores/accountroles.h"
#include "services/core/tablenames.h"
#include "services/data/counters.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::FieldProblem;
using Services::Record;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {

constexpr char kSecondary[] = "CODICE2";

QString firstValue(DataAccess &db, const QString &sql, const QString &value)
{
    auto rows = db.openRecordset(sql, {value});
    return rows && !rows->isEmpty() ? rows->first().at(0).toString() : QString();
}

} // namespace

QList<Services::ColumnDef> partyColumns(const Services::ColumnDef &key, const QList<Services::ColumnDef> &own)
{
    namespace Col = Services::Column;
    QList<Services::ColumnDef> columns{key};
    columns += {
        Col::code(QStringLiteral("CODICE2"), 7),
        Col::text(QStringLiteral("RAG_SOC1"), 60),
        Col::text(QStringLiteral("RAG_SOC2"), 60),
        Col::text(QStringLiteral("INDIRIZZO_LEG"), 60),
        Col::text(QStringLiteral("CITTA_LEG"), 40),
        Col::code(QStringLiteral("CAP_LEG"), 5),
        Col::code(QStringLiteral("PROVINCIA_LEG"), 2),
        Col::text(QStringLiteral("INDIRIZZO_AMM"), 60),
        Col::text(QStringLiteral("CITTA_AMM"), 40),
        Col::code(QStringLiteral("CAP_AMM"), 5),
        Col::code(QStringLiteral("PROVINCIA_AMM"), 2),
        Col::code(QStringLiteral("PART_IVA"), 11),
        Col::code(QStringLiteral("COD_FISC"), 16),
        Col::text(QStringLiteral("TELEFONO1"), 20),
        Col::text(QStringLiteral("TELEFONO2"), 20),
        Col::text(QStringLiteral("FAX"), 20),
        Col::text(QStringLiteral("E_MAIL"), 60),
        Col::code(QStringLiteral("COND_PAG"), 3),
        Col::text(QStringLiteral("NRO_CONTO"), 20),
        Col::code(QStringLiteral("COD_ATTIVITA"), 6),
        Col::code(QStringLiteral("COD_MERCE"), 6),
        Col::code(QStringLiteral("CONTO_PATRIM"), 6),
        Col::code(QStringLiteral("PERS_SOC"), 1),
        Col::code(QStringLiteral("UBICAZIONE"), 1),
        Col::code(QStringLiteral("CODICE_ISO"), 2),
        Col::code(QStringLiteral("PART_IVA_CEE"), 20),
        Col::code(QStringLiteral("REGISTRO_IVA"), 2),
        Col::text(QStringLiteral("NOTE1"), 250),
        Col::code(QStringLiteral("BANCA_APP"), 5),
        Col::code(QStringLiteral("BANCA_PAG"), 5),
        Col::code(QStringLiteral("NAZIONE"), 3),
        Col::flag(QStringLiteral("TIPOLISTINO"), QStringLiteral("P"), QStringLiteral("S")),
    };
    return columns + own;
}

bool heldByAnother(DataAccess &db, const PartyDef &party, const QString &column, const QString &value, int code)
{
    if (value.trimmed().isEmpty())
        return false;
    auto rows = db.openRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE %3 AND %1 <> ?")
                                     .arg(party.key, party.table, Services::sqlUpperEquals(column)),
                                 {value.trimmed(), code});
    return rows && !rows->isEmpty();
}

QList<FieldProblem> sharedIdentifiers(DataAccess &db, const PartyDef &party, const Record &typed, const Record &loaded)
{
    QList<FieldProblem> shared;
    for (const auto &[column, message] :
         {std::pair{QStringLiteral("PART_IVA"), QStringLiteral("Partita iva già presente in archivio !")},
          std::pair{QStringLiteral("COD_FISC"), QStringLiteral("Codice fiscale già presente in archivio !")}}) {
        const QString now = typed.main().text(column);
        // The party's own value, as loaded, is no duplicate.
        if (now.isEmpty() || now == loaded.main().text(column))
            continue;
        if (heldByAnother(db, party, column, now, typed.main().integer(party.key)))
            shared << FieldProblem{column, message};
    }
    return shared;
}

bool dropsPersonalList(const Record &typed, const Record &loaded)
{
    const QString column = QStringLiteral("TIPOLISTINO");
    return loaded.main().flag(column) && !typed.main().flag(column);
}

QString accountForRole(DataAccess &db, const QString &role)
{
    return roleAccount(db, role).code;
}

QString codeOfDescription(DataAccess &db, const QString &table, const QString &keyColumn, const QString &description)
{
    return firstValue(db,
                      QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %1")
                          .arg(keyColumn, table, Services::sqlUpperEquals(QStringLiteral("DESCRIZIONE"))),
                      description);
}

namespace PartyCheck {

Services::CheckDef known(const char *column, const QString &table, const char *message, const QString &extra)
{
    // Countries are keyed by PAESE, every other table by CODICE.
    const QString key = table == Tables::TAB_PAESI ? QStringLiteral("PAESE") : QStringLiteral("CODICE");
    return Services::Check::known(QString::fromLatin1(column), table, key, QString::fromUtf8(message), extra);
}

Services::CheckDef required(const char *column, const char *message)
{
    return Services::Check::required(QString::fromLatin1(column), QString::fromUtf8(message));
}

Services::CheckDef validDate(const char *column, const char *message)
{
    return Services::Check::valid(QString::fromLatin1(column), QString::fromUtf8(message));
}

Services::CheckDef taxCode(const char *message, const QString &kept)
{
    return Services::Check::custom(QStringLiteral("COD_FISC"), QString::fromUtf8(message),
                                   [kept = kept.trimmed()](const QVariant &taxCode) {
                                       return taxCode.toString() == kept || !doubtfulTaxCode(taxCode.toString());
                                   });
}

Services::CheckDef vatNumber(const char *message)
{
    return Services::Check::custom(QStringLiteral("PART_IVA"), QString::fromUtf8(message),
                                   [](const QVariant &vat) { return ctrlPartitaIva(vat.toString()) == 0; });
}

Services::CheckDef secondaryCode(DataAccess &db, const PartyDef &party, int code, const char *message)
{
    return Services::Check::custom(
        QString::fromLatin1(kSecondary), QString::fromUtf8(message), [&db, party, code](const QVariant &secondary) {
            return !heldByAnother(db, party, QString::fromLatin1(kSecondary), secondary.toString(), code);
        });
}

} // namespace PartyCheck

WriteResult insertParty(DataAccess &db, const PartyDef &party, const QString &where, const Record &record,
                        const PartyRows &afterMain)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, where);
    if (!unit.ok())
        return WriteResult::of(WriteEnd::Failed);
    const QString secondary = QString::fromLatin1(kSecondary);
    if (heldByAnother(db, party, secondary, record.main().text(secondary), 0)) {
        unit.abandon();
        return {WriteEnd::Duplicate, {}, secondary, 0, {}, {}};
    }
    const int code = Services::Counters::nextNumber(db, party.counter);
    if (code == 0) {
        unit.fail();
        return WriteResult::of(WriteEnd::Failed);
    }
    Record numbered = record;
    numbered.setKey(party.key, code);
    const auto &parts = party.family->parts;
    if (!Services::insertRow(unit, numbered.main(), parts.first().insertStep) ||
        (afterMain && !afterMain(unit, numbered)) || !Services::insertRecord(unit, *party.family, numbered, 1) ||
        !unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return {WriteEnd::Written, {}, {}, code, {}, {}};
}

WriteResult updateParty(DataAccess &db, const PartyDef &party, const QString &where, const Record &record,
                        const Record &loaded, const PartyRows &afterMain)
{
    const int code = loaded.main().integer(party.key);
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, where);
    if (!unit.ok())
        return WriteResult::of(WriteEnd::Failed);
    const QString secondary = QString::fromLatin1(kSecondary);
    if (heldByAnother(db, party, secondary, record.main().text(secondary), code)) {
        unit.abandon();
        return {WriteEnd::Duplicate, {}, secondary, code, {}, {}};
    }
    if (record == loaded) {
        unit.abandon();
        return WriteResult::of(WriteEnd::NothingChanged);
    }
    Record numbered = record;
    numbered.setKey(party.key, code);
    const auto &parts = party.family->parts;
    if (!Services::updateRow(unit, numbered.main(), loaded.main(), parts.first().updateStep) ||
        (afterMain && !afterMain(unit, numbered)) ||
        !Services::updateRecord(unit, *party.family, numbered, loaded, 1) || !unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return {WriteEnd::Written, {}, {}, code, {}, {}};
}

bool deletePartyRows(Services::WriteUnit &unit, int code, const QList<PartyRowsOf> &steps)
{
    for (const PartyRowsOf &rows : steps) {
        if (!unit.execCompany(QString::fromLatin1(rows.step),
                              QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(rows.table, rows.column), {code}))
            return false;
    }
    return true;
}

WriteResult deleteParty(DataAccess &db, const QString &where, int code, const QList<PartyRowsOf> &steps)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, where);
    if (!deletePartyRows(unit, code, steps))
        return WriteResult::of(WriteEnd::Failed);
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed);
}

} // namespace Orlavo::Masterdata
