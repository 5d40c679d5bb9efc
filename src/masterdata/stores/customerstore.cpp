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

constexpr char kSaveWhere[] = "Anagrafica clienti";
constexpr char kCustomerstoreDeleteWhere[] = "Modifica anacli";

const Services::TableDef &customerstoreMainTable()
{
    static const Services::TableDef def{Tables::ANAG_CLI, Services::Target::Company,
                                        partyColumns(Col::key(Col::integer(QStringLiteral("CLIENTE"))),
                                                     {
                                                         Col::code(QStringLiteral("CODICE_IVA"), 4),
                                                         Col::code(QStringLiteral("CONTO_RICAVO"), 6),
                                                         Col::flagSN(QStringLiteral("ELENCO_CLIENTI")),
                                                         Col::code(QStringLiteral("TIPO_CLIENTE"), 2),
                                                         // Written once, never changed here.
                                                         Col::insertOnly(Col::integer(QStringLiteral("LIVELLO_SEGN"))),
                                                         Col::integer(QStringLiteral("AGENTE")),
                                                         Col::code(QStringLiteral("ZONA"), 4),
                                                         Col::percent(QStringLiteral("SCONTO1")),
                                                         Col::percent(QStringLiteral("SCONTO2")),
                                                         Col::percent(QStringLiteral("SCONTO3")),
                                                         Col::flagOneZero(QStringLiteral("SCFATT")),
                                                         Col::flagMinusOne(QStringLiteral("SUDDIVCANTIERE")),
                                                     })};
    return def;
}

const Services::TableDef &customerstoreContactTable()
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
QList<Services::CheckDef> customerChecks(Services::DataAccess &db, const Customer &customer, const QString &keptTaxCode)
{
    using namespace PartyCheck;
    const auto discount = [](const char *column) {
        return Check::range(QString::fromLatin1(column), 0, 99.99, QStringLiteral("Percentuale sconto errata."));
    };
    // Chosen by description: a blank one is not found either.
    const auto described = [](const char *column, const QString &table, const char *message) {
        Services::CheckDef check = known(column, table, message);
        check.blankFails = true;
        return check;
    };
    const int code = customerCode(customer);
    return {
        known("TIPO_DOC", Tables::TAB_DOC_ID, "Codice tipo documento d'identità sconosciuto ! "),
        validDate("DATA_NASC", "Data nascita cliente non valida !"),
        known("PROV_NASC", Tables::TAB_PROV, "Sigla provincia sconosciuta ! "),
        validDate("PROS_VISITA", "Data prossima visita non valida !"),
        validDate("ULT_VISITA", "Data ultima visita non valida !"),
        known("COD_MERCE", Tables::TAB_MERCE, "Codice Merceologico sconosciuto ! "),
        known("COD_ATTIVITA", Tables::TAB_ATTIVITA, "Codice Attività sconosciuto ! "),
        known("ZONA", Tables::TAB_ZONA, "Codice zona geografica per Agente sconosciuto ! "),
        Check::custom(QStringLiteral("AGENTE"), QStringLiteral("Codice agente sconosciuto ! "),
                      [&db](const QVariant &agent) {
                          bool number = false;
                          const int supplier = agent.toString().toInt(&number);
                          return number && Services::valueKnown(db, Tables::ANAG_FOR, QStringLiteral("FORNITORE"),
                                                                supplier, QStringLiteral(" AND AGENTE = 'A'"));
                      }),
        known("REGISTRO_IVA", Tables::TAB_REGISTRI, "Codice ragistro IVA sconosciuto ! "),
        discount("SCONTO1"),
        discount("SCONTO2"),
        discount("SCONTO3"),
        known("BANCA_APP", Tables::TAB_BAN_APP, "Codice banca appoggio sconosciuto ! "),
        known("BANCA_PAG", Tables::TAB_BAN_PAG, "Codice banca pagamento sconosciuto ! "),
        required("COND_PAG", "Condizione pagamento obbligatoria"),
        known("COND_PAG", Tables::TAB_COND_PAG, "Codice Condizioni pagamento sconosciuto ! "),
        required("CONTO_PATRIM", "Conto Patrimoniale obbligatorio ! "),
        known("CONTO_PATRIM", Tables::TAB_PIANO_CONTI, "Conto Patrimoniale sconosciuto ! ",
              QStringLiteral(" AND (TIPO_CONTO = 'P' OR TIPO_CONTO = 'A')")),
        required("CONTO_RICAVO", "Conto Ricavo obbligatorio ! "),
        known("CONTO_RICAVO", Tables::TAB_PIANO_CONTI, "Conto Ricavo sconosciuto ! ",
              QStringLiteral(" AND TIPO_CONTO = 'R'")),
        known("CODICE_IVA", Tables::TAB_PERIVA, "Codice Iva Errato"),
        described("NAZIONE", Tables::TAB_PAESI, "Codice Nazione sconociuto ! "),
        described("UBICAZIONE", Tables::TAB_UBICAZIONE, "Area ubicazione del cliente sconosciuta ! "),
        described("TIPO_CLIENTE", Tables::TAB_TIPO_CLI, "Tipo cliente sconosciuto ! "),
        taxCode("Codice fiscale errato ! ", keptTaxCode),
        vatNumber("Partita iva errata !"),
        known("PROVINCIA_AMM", Tables::TAB_PROV, "Sigla provincia sconosciuta ! "),
        known("PROVINCIA_LEG", Tables::TAB_PROV, "Sigla provincia sconosciuta ! "),
        required("RAG_SOC1", "Ragione sociale - Obbligatoria !"),
        secondaryCode(db, customerParty(), code, "Codice secondario già presente in archivio !"),
    };
}

} // namespace

const Services::FamilyDef &customerFamily()
{
    static const Services::FamilyDef family{{
        {&customerstoreMainTable(), QStringLiteral("Ins. cli"), QStringLiteral("Agg. cli"), {}},
        {&customerstoreContactTable(), QStringLiteral("Ins. cont cli"), QStringLiteral("Agg. cont cli 1"),
         QStringLiteral("Agg. cont cli 2")},
        {&personalTable(), QStringLiteral("Ins. pers cli"), QStringLiteral("Agg. pers cli 1"),
         QStringLiteral("Agg. pers cli 2")},
    }};
    return family;
}

const PartyDef &customerParty()
{
    static const PartyDef party{Tables::ANAG_CLI,  QStringLiteral("CLIENTE"), QStringLiteral("****ANAC"),
                                &customerFamily(), &insertCustomer,           &updateCustomer,
                                &deleteCustomer,   &customerUsesOf};
    return party;
}

Customer newCustomer(DataAccess &db)
{
    Customer customer(customerFamily());
    Services::Row &main = customer.main();
    main.set(QStringLiteral("CONTO_RICAVO"), accountForRole(db, QStringLiteral("RIC")));
    main.set(QStringLiteral("CONTO_PATRIM"), accountForRole(db, QStringLiteral("CLI")));
    main.set(QStringLiteral("UBICAZIONE"),
             codeOfDescription(db, Tables::TAB_UBICAZIONE, QStringLiteral("CODICE"), QStringLiteral("INTERNO")));
    main.set(QStringLiteral("NAZIONE"),
             codeOfDescription(db, Tables::TAB_PAESI, QStringLiteral("PAESE"), QStringLiteral("ITALIA")));
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

const QList<RecordUse> &customerUses()
{
    // Delivery notes (BOLLET, "D.D.T.") join as their table is created; a
    // missing table is never queried.
    static const QList<RecordUse> uses = {
        {Tables::FVENDT, {QStringLiteral("CLIENTE")}, QStringLiteral("Fatture")},
        {Tables::MOVMAG, {QStringLiteral("CLIENTE")}, QStringLiteral("Movimenti di magazzino")},
    };
    return uses;
}

Services::Outcome<QStringList> customerUsesOf(DataAccess &db, int code)
{
    return usesOf(db, customerUses(), {code});
}

WriteResult insertCustomer(DataAccess &db, const Customer &customer)
{
    Customer first = customer;
    first.main().set(QStringLiteral("LIVELLO_SEGN"), 0);
    return insertParty(db, customerParty(), QString::fromUtf8(kSaveWhere), first);
}

WriteResult updateCustomer(DataAccess &db, const Customer &customer, const Customer &loaded)
{
    // Switching the personal list off takes the customer's lists with it.
    const auto dropLists = [&loaded](Services::WriteUnit &unit, const Customer &numbered) {
        return !dropsPersonalList(numbered, loaded) ||
               deletePartyRows(unit, customerCode(loaded),
                               {{"Canc. listvend", Tables::LIST_VEN, QStringLiteral("CLIENTE")},
                                {"Canc. scon cli", Tables::TAB_SCONCLI, QStringLiteral("CLIENTE")}});
    };
    return updateParty(db, customerParty(), QString::fromUtf8(kSaveWhere), customer, loaded, dropLists);
}

WriteResult deleteCustomer(DataAccess &db, int code)
{
    // The customer's own rows go with it: no orphans left behind.
    const QString key = QStringLiteral("CLIENTE");
    return deleteParty(db, QString::fromUtf8(kCustomerstoreDeleteWhere), code,
                       {{"Cancella anacli", Tables::ANAG_CLI, key},
                        {"Cancella cont cli", Tables::CONT_CLI, key},
                        {"Cancella pers cli", Tables::PERS_CLI, key},
                        {"Cancella consmerce", Tables::CONS_MERCE, key},
                        {"Canc. listvend", Tables::LIST_VEN, key},
                        {"Canc. scon cli", Tables::TAB_SCONCLI, key}});
}

} // namespace Orlavo::Masterdata
