#include "masterdata/stores/customerstore.h"

#include "masterdata/rules/taxcodes.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/counters.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <QDate>


namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::Params;
namespace Tables = Services::Tables;

namespace {

using Services::WriteEnd;
using Services::WriteResult;
namespace Col = Services::Column;
namespace Check = Services::Check;

constexpr char kLockArea[] = "TUTTO";
constexpr char kSaveWhere[] = "Anagrafica clienti";
constexpr char kDeleteWhere[] = "Modifica anacli";

const Services::TableDef &mainTable()
{
    static const Services::TableDef def{
        Tables::ANAG_CLI,
        Services::Target::Company,
        {
            Col::key(Col::integer(QStringLiteral("CLIENTE"))),
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
            Col::code(QStringLiteral("CODICE_IVA"), 4),
            Col::code(QStringLiteral("CONTO_RICAVO"), 6),
            Col::code(QStringLiteral("CONTO_PATRIM"), 6),
            Col::flagSN(QStringLiteral("ELENCO_CLIENTI")),
            Col::code(QStringLiteral("PERS_SOC"), 1),
            Col::code(QStringLiteral("TIPO_CLIENTE"), 2),
            Col::code(QStringLiteral("UBICAZIONE"), 1),
            Col::code(QStringLiteral("CODICE_ISO"), 2),
            Col::code(QStringLiteral("PART_IVA_CEE"), 20),
            Col::code(QStringLiteral("REGISTRO_IVA"), 2),
            // Written once, never changed here.
            Col::insertOnly(Col::integer(QStringLiteral("LIVELLO_SEGN"))),
            Col::integer(QStringLiteral("AGENTE")),
            Col::text(QStringLiteral("NOTE1"), 250),
            Col::code(QStringLiteral("BANCA_APP"), 5),
            Col::code(QStringLiteral("BANCA_PAG"), 5),
            Col::code(QStringLiteral("NAZIONE"), 3),
            Col::code(QStringLiteral("ZONA"), 4),
            Col::flag(QStringLiteral("TIPOLISTINO"), QStringLiteral("P"), QStringLiteral("S")),
            Col::percent(QStringLiteral("SCONTO1")),
            Col::percent(QStringLiteral("SCONTO2")),
            Col::percent(QStringLiteral("SCONTO3")),
            Col::flagOneZero(QStringLiteral("SCFATT")),
            Col::flagMinusOne(QStringLiteral("SUDDIVCANTIERE")),
        }};
    return def;
}

const Services::TableDef &contactTable()
{
    static const Services::TableDef def{Tables::CONT_CLI,
                                        Services::Target::Company,
                                        {
                                            Col::key(Col::integer(QStringLiteral("CLIENTE"))),
                                            Col::text(QStringLiteral("RESPONSABILE"), 60),
                                            Col::text(QStringLiteral("DESCRIZIONE1"), 60),
                                            Col::text(QStringLiteral("DESCRIZIONE2"), 60),
                                            Col::text(QStringLiteral("TELEFONO1"), 20),
                                            Col::text(QStringLiteral("TELEFONO2"), 20),
                                            Col::text(QStringLiteral("FAX"), 20),
                                            Col::text(QStringLiteral("ORA_MAG"), 30),
                                            Col::code(QStringLiteral("GIORNO_CHIU"), 10),
                                            Col::code(QStringLiteral("GIORNO_VISITA"), 10),
                                            Col::date(QStringLiteral("ULT_VISITA")),
                                            Col::date(QStringLiteral("PROS_VISITA")),
                                        }};
    return def;
}

const Services::TableDef &personalTable()
{
    static const Services::TableDef def{Tables::PERS_CLI,
                                        Services::Target::Company,
                                        {
                                            Col::key(Col::integer(QStringLiteral("CLIENTE"))),
                                            Col::code(QStringLiteral("SESSO"), 1),
                                            Col::text(QStringLiteral("CITTA_NASC"), 40),
                                            Col::code(QStringLiteral("PROV_NASC"), 2),
                                            Col::date(QStringLiteral("DATA_NASC")),
                                            Col::code(QStringLiteral("TIPO_DOC"), 2),
                                            Col::text(QStringLiteral("NRO_DOC"), 20),
                                            Col::text(QStringLiteral("ENTE_RIL"), 40),
                                        }};
    return def;
}

// The confirm checks that are data; the agent, tax code, VAT number and
// secondary code are functions of the moment and join in their places.
QList<Services::CheckDef> customerChecks(Services::DataAccess &db, const Customer &customer,
                                         const QString &keptTaxCode)
{
    const auto unknown = [](const char *column, const QString &table, const char *key, const char *message,
                            const QString &extra = {}) {
        return Check::known(QString::fromLatin1(column), table, QString::fromLatin1(key), QString::fromUtf8(message),
                            extra);
    };
    const auto described = [](const char *column, const QString &table, const char *key, const char *message) {
        return Check::knownRequired(QString::fromLatin1(column), table, QString::fromLatin1(key),
                                    QString::fromUtf8(message));
    };
    const auto required = [](const char *column, const char *message) {
        return Check::required(QString::fromLatin1(column), QString::fromUtf8(message));
    };
    const auto validDate = [](const char *column, const char *message) {
        return Check::valid(QString::fromLatin1(column), QString::fromUtf8(message));
    };
    const auto discount = [](const char *column) {
        return Check::range(QString::fromLatin1(column), 0, 99.99, QStringLiteral("Percentuale sconto errata."));
    };
    const int code = customerCode(customer);
    return {
        unknown("TIPO_DOC", Tables::TAB_DOC_ID, "CODICE", "Codice tipo documento d'identità sconosciuto ! "),
        validDate("DATA_NASC", "Data nascita cliente non valida !"),
        unknown("PROV_NASC", Tables::TAB_PROV, "CODICE", "Sigla provincia sconosciuta ! "),
        validDate("PROS_VISITA", "Data prossima visita non valida !"),
        validDate("ULT_VISITA", "Data ultima visita non valida !"),
        unknown("COD_MERCE", Tables::TAB_MERCE, "CODICE", "Codice Merceologico sconosciuto ! "),
        unknown("COD_ATTIVITA", Tables::TAB_ATTIVITA, "CODICE", "Codice Attività sconosciuto ! "),
        unknown("ZONA", Tables::TAB_ZONA, "CODICE", "Codice zona geografica per Agente sconosciuto ! "),
        Check::custom(QStringLiteral("AGENTE"), QStringLiteral("Codice agente sconosciuto ! "),
                      [&db](const QVariant &agent) {
                          bool number = false;
                          const int supplier = agent.toString().toInt(&number);
                          return number && Services::valueKnown(db, Tables::ANAG_FOR, QStringLiteral("FORNITORE"),
                                                                supplier, QStringLiteral(" AND AGENTE = 'A'"));
                      }),
        unknown("REGISTRO_IVA", Tables::TAB_REGISTRI, "CODICE", "Codice ragistro IVA sconosciuto ! "),
        discount("SCONTO1"),
        discount("SCONTO2"),
        discount("SCONTO3"),
        unknown("BANCA_APP", Tables::TAB_BAN_APP, "CODICE", "Codice banca appoggio sconosciuto ! "),
        unknown("BANCA_PAG", Tables::TAB_BAN_PAG, "CODICE", "Codice banca pagamento sconosciuto ! "),
        required("COND_PAG", "Condizione pagamento obbligatoria"),
        unknown("COND_PAG", Tables::TAB_COND_PAG, "CODICE", "Codice Condizioni pagamento sconosciuto ! "),
        required("CONTO_PATRIM", "Conto Patrimoniale obbligatorio ! "),
        unknown("CONTO_PATRIM", Tables::TAB_PIANO_CONTI, "CODICE", "Conto Patrimoniale sconosciuto ! ",
                QStringLiteral(" AND (TIPO_CONTO = 'P' OR TIPO_CONTO = 'A')")),
        required("CONTO_RICAVO", "Conto Ricavo obbligatorio ! "),
        unknown("CONTO_RICAVO", Tables::TAB_PIANO_CONTI, "CODICE", "Conto Ricavo sconosciuto ! ",
                QStringLiteral(" AND TIPO_CONTO = 'R'")),
        unknown("CODICE_IVA", Tables::TAB_PERIVA, "CODICE", "Codice Iva Errato"),
        // Chosen by description: a blank one is not found either.
        described("NAZIONE", Tables::TAB_PAESI, "PAESE", "Codice Nazione sconociuto ! "),
        described("UBICAZIONE", Tables::TAB_UBICAZIONE, "CODICE", "Area ubicazione del cliente sconosciuta ! "),
        described("TIPO_CLIENTE", Tables::TAB_TIPO_CLI, "CODICE", "Tipo cliente sconosciuto ! "),
        Check::custom(QStringLiteral("COD_FISC"), QStringLiteral("Codice fiscale errato ! "),
                      [kept = keptTaxCode.trimmed()](const QVariant &taxCode) {
                          return taxCode.toString() == kept || !doubtfulTaxCode(taxCode.toString());
                      }),
        Check::custom(QStringLiteral("PART_IVA"), QStringLiteral("Partita iva errata !"),
                      [](const QVariant &vat) { return ctrlPartitaIva(vat.toString()) == 0; }),
        unknown("PROVINCIA_AMM", Tables::TAB_PROV, "CODICE", "Sigla provincia sconosciuta ! "),
        unknown("PROVINCIA_LEG", Tables::TAB_PROV, "CODICE", "Sigla provincia sconosciuta ! "),
        required("RAG_SOC1", "Ragione sociale - Obbligatoria !"),
        Check::custom(QStringLiteral("CODICE2"), QStringLiteral("Codice secondario già presente in archivio !"),
                      [&db, code](const QVariant &secondary) {
                          return !heldByAnother(db, QStringLiteral("CODICE2"), secondary.toString(), code);
                      }),
    };
}

} // namespace

const Services::FamilyDef &customerFamily()
{
    static const Services::FamilyDef family{{
        {&mainTable(), QStringLiteral("Ins. cli"), QStringLiteral("Agg. cli"), {}},
        {&contactTable(), QStringLiteral("Ins. cont cli"), QStringLiteral("Agg. cont cli 1"),
         QStringLiteral("Agg. cont cli 2")},
        {&personalTable(), QStringLiteral("Ins. pers cli"), QStringLiteral("Agg. pers cli 1"),
         QStringLiteral("Agg. pers cli 2")},
    }};
    return family;
}

Customer newCustomer(DataAccess &db)
{
    Customer customer(customerFamily());
    const auto first = [&db](const QString &sql, const QString &value) {
        auto rows = db.openRecordset(sql, {value});
        return rows && !rows->isEmpty() ? rows->first().at(0).toString() : QString();
    };
    const QString byRole =
        QStringLiteral("SELECT CODICE FROM %1 WHERE CONT_AUT = ? ORDER BY CODICE").arg(Tables::TAB_PIANO_CONTI);
    Services::Row &main = customer.main();
    main.set(QStringLiteral("CONTO_RICAVO"), first(byRole, QStringLiteral("RIC")));
    main.set(QStringLiteral("CONTO_PATRIM"), first(byRole, QStringLiteral("CLI")));
    main.set(QStringLiteral("UBICAZIONE"),
             first(QStringLiteral("SELECT CODICE FROM %1 WHERE %2")
                       .arg(Tables::TAB_UBICAZIONE, Services::sqlUpperEquals(QStringLiteral("DESCRIZIONE"))),
                   QStringLiteral("INTERNO")));
    main.set(QStringLiteral("NAZIONE"),
             first(QStringLiteral("SELECT PAESE FROM %1 WHERE %2")
                       .arg(Tables::TAB_PAESI, Services::sqlUpperEquals(QStringLiteral("DESCRIZIONE"))),
                   QStringLiteral("ITALIA")));
    return customer;
}

std::optional<Customer> loadCustomer(DataAccess &db, int code)
{
    auto record = Services::readRecord(db, customerFamily(), {code});
    if (!record)
        return std::nullopt;
    return *record;
}

QList<Services::FieldProblem> checkCustomer(DataAccess &db, const Customer &customer, const QString &keptTaxCode,
                                            const QString &only)
{
    return Services::runChecks(
        db, customerChecks(db, customer, keptTaxCode),
        [&customer](const QString &column) { return customer.value(column); }, only);
}

bool heldByAnother(DataAccess &db, const QString &column, const QString &value, int code)
{
    if (value.trimmed().isEmpty())
        return false;
    auto rows = db.openRecordset(QStringLiteral("SELECT CLIENTE FROM %1 WHERE %2 AND CLIENTE <> ?")
                                     .arg(Tables::ANAG_CLI, Services::sqlUpperEquals(column)),
                                 {value.trimmed(), code});
    return rows && !rows->isEmpty();
}

QList<Services::FieldProblem> sharedIdentifiers(DataAccess &db, const Customer &typed, const Customer &loaded)
{
    QList<Services::FieldProblem> shared;
    for (const auto &[column, message] :
         {std::pair{QStringLiteral("PART_IVA"), QStringLiteral("Partita iva già presente in archivio !")},
          std::pair{QStringLiteral("COD_FISC"), QStringLiteral("Codice fiscale già presente in archivio !")}}) {
        const QString now = typed.main().text(column);
        // The customer's own value, as loaded, is no duplicate.
        if (now.isEmpty() || now == loaded.main().text(column))
            continue;
        if (heldByAnother(db, column, now, customerCode(typed)))
            shared << Services::FieldProblem{column, message};
    }
    return shared;
}

bool dropsPersonalList(const Customer &typed, const Customer &loaded)
{
    const QString column = QStringLiteral("TIPOLISTINO");
    return loaded.main().flag(column) && !typed.main().flag(column);
}

const QList<RecordUse> &customerUses()
{
    // Invoices (FVENDT, "Fatture") and delivery notes (BOLLET, "D.D.T.")
    // join as their tables are created; a missing table is never queried.
    static const QList<RecordUse> uses;
    return uses;
}

Services::Outcome<QStringList> customerUsesOf(DataAccess &db, int code)
{
    return usesOf(db, customerUses(), {code});
}

WriteResult insertCustomer(DataAccess &db, const Customer &customer)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromUtf8(kSaveWhere));
    if (!unit.ok())
        return WriteResult::of(WriteEnd::Failed);
    if (heldByAnother(db, QStringLiteral("CODICE2"), customer.main().text(QStringLiteral("CODICE2")), 0)) {
        unit.abandon();
        return {WriteEnd::Duplicate, {}, QStringLiteral("CODICE2"), 0};
    }
    const int code = Services::Counters::nextNumber(db, QStringLiteral("****ANAC"));
    if (code == 0) {
        unit.fail();
        return WriteResult::of(WriteEnd::Failed);
    }
    Customer numbered = customer;
    numbered.setKey(QStringLiteral("CLIENTE"), code);
    numbered.main().set(QStringLiteral("LIVELLO_SEGN"), 0);
    if (!Services::insertRecord(unit, customerFamily(), numbered) || !unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return {WriteEnd::Written, {}, {}, code};
}

WriteResult updateCustomer(DataAccess &db, const Customer &customer, const Customer &loaded)
{
    const int code = customerCode(loaded);
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromUtf8(kSaveWhere));
    if (!unit.ok())
        return WriteResult::of(WriteEnd::Failed);
    if (heldByAnother(db, QStringLiteral("CODICE2"), customer.main().text(QStringLiteral("CODICE2")), code)) {
        unit.abandon();
        return {WriteEnd::Duplicate, {}, QStringLiteral("CODICE2"), code};
    }
    if (customer == loaded) {
        unit.abandon();
        return WriteResult::of(WriteEnd::NothingChanged);
    }
    Customer numbered = customer;
    numbered.setKey(QStringLiteral("CLIENTE"), code);
    const auto &parts = customerFamily().parts;
    bool written = Services::updateRow(unit, numbered.main(), loaded.main(), parts.at(Main).updateStep);
    if (written && dropsPersonalList(numbered, loaded)) {
        written = unit.execCompany(QStringLiteral("Canc. listvend"),
                                   QStringLiteral("DELETE FROM %1 WHERE CLIENTE = ?").arg(Tables::LIST_VEN), {code}) &&
                  unit.execCompany(QStringLiteral("Canc. scon cli"),
                                   QStringLiteral("DELETE FROM %1 WHERE CLIENTE = ?").arg(Tables::TAB_SCONCLI), {code});
    }
    // The parts after the lists, as they always were written.
    Customer partsOnly = numbered;
    partsOnly.main() = loaded.main();
    if (!written || !Services::updateRecord(unit, customerFamily(), partsOnly, loaded) || !unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return {WriteEnd::Written, {}, {}, code};
}

WriteResult deleteCustomer(DataAccess &db, int code)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromUtf8(kDeleteWhere));
    // The customer's own rows go with it: no orphans left behind.
    const QList<std::pair<const char *, QString>> steps = {
        {"Cancella anacli", Tables::ANAG_CLI},   {"Cancella cont cli", Tables::CONT_CLI},
        {"Cancella pers cli", Tables::PERS_CLI}, {"Cancella consmerce", Tables::CONS_MERCE},
        {"Canc. listvend", Tables::LIST_VEN},    {"Canc. scon cli", Tables::TAB_SCONCLI},
    };
    for (const auto &[step, table] : steps) {
        if (!unit.execCompany(QString::fromLatin1(step), QStringLiteral("DELETE FROM %1 WHERE CLIENTE = ?").arg(table),
                              {code}))
            return WriteResult::of(WriteEnd::Failed, QString::fromLatin1(step));
    }
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed);
}

} // namespace Orlavo::Masterdata
