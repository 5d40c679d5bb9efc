#include "masterdata/stores/supplierstore.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {

namespace Col = Services::Column;
namespace Check = Services::Check;

constexpr char kInsertWhere[] = "Codifica Fornitori";
constexpr char kUpdateWhere[] = "Aggiornamento Fornitore";
constexpr char kSupplierstoreDeleteWhere[] = "Elimina Fornitore";
constexpr char kUsedBy[] = "Articoli";

QString key()
{
    return QStringLiteral("FORNITORE");
}

const Services::TableDef &supplierstoreMainTable()
{
    static const Services::TableDef def{
        Tables::ANAG_FOR, Services::Target::Company,
        partyColumns(Col::key(Col::integer(key())),
                     {
                         Col::text(QStringLiteral("WEB"), 100),
                         Col::code(QStringLiteral("TIPO_CAUSALE"), 2),
                         Col::code(QStringLiteral("CAUSALE"), 6),
                         Col::code(QStringLiteral("CONTO_COSTO"), 6),
                         Col::flagSN(QStringLiteral("ELENCO_FORN")),
                         Col::code(QStringLiteral("TIPO_FORN"), 2),
                         // 'A' an agent, one blank a supplier: never empty nor null.
                         Col::flag(QStringLiteral("AGENTE"), QStringLiteral("A"), QStringLiteral(" ")),
                         Col::percent(QStringLiteral("PERC_PROV")),
                     })};
    return def;
}

const Services::TableDef &supplierstoreContactTable()
{
    static const Services::TableDef def{Tables::CONT_FOR,
                                        Services::Target::Company,
                                        {
                                            Col::key(Col::integer(key())),
                                            Col::text(QStringLiteral("RESPONSABILE"), 60),
                                            Col::text(QStringLiteral("DESCRIZIONE1"), 60),
                                            Col::text(QStringLiteral("DESCRIZIONE2"), 60),
                                            Col::text(QStringLiteral("TELEFONO1"), 20),
                                            Col::text(QStringLiteral("TELEFONO2"), 20),
                                            Col::text(QStringLiteral("FAX"), 20),
                                        }};
    return def;
}

const Services::TableDef &withholdingTable()
{
    // The withholding causal and FIR are short codes kept as typed.
    static const Services::TableDef def{Tables::RIT_FOR,
                                        Services::Target::Company,
                                        {
                                            Col::key(Col::integer(key())),
                                            Col::code(QStringLiteral("CAUSALE"), 4),
                                            Col::text(QStringLiteral("CITTA_NASC"), 40),
                                            Col::code(QStringLiteral("PROV_NASC"), 2),
                                            Col::code(QStringLiteral("NAZ_NASC"), 3),
                                            Col::date(QStringLiteral("DATA_NASC")),
                                            Col::code(QStringLiteral("FIR"), 20),
                                            Col::text(QStringLiteral("MATRIC_ENA"), 20),
                                            Col::date(QStringLiteral("INIZIO_RAP")),
                                            Col::date(QStringLiteral("FINE_RAP")),
                                            Col::code(QStringLiteral("SESSO"), 1),
                                        }};
    return def;
}

// The confirm checks in their order. The insert window's own wordings
// stand beside the others.
QList<Services::CheckDef> supplierChecks(DataAccess &db, const Supplier &supplier, const QString &keptTaxCode,
                                         SupplierWording wording)
{
    using namespace PartyCheck;
    const bool inserting = wording == SupplierWording::Insert;
    const auto say = [inserting](const char *modify, const char *insert) { return inserting ? insert : modify; };
    const auto described = [](const char *column, const QString &table, const char *message) {
        Services::CheckDef check = known(column, table, message);
        check.blankFails = true;
        return check;
    };
    const QString causalType = supplier.main().text(QStringLiteral("TIPO_CAUSALE"));
    // A causal belongs to its type: typed without one, the type comes first.
    Services::CheckDef causal =
        causalType.isEmpty()
            ? Check::custom(QStringLiteral("CAUSALE"), QStringLiteral("Valorizzare prima il Tipo Causale"),
                            [](const QVariant &) { return false; })
            : known("CAUSALE", Tables::TAB_CAU_CONT, "Causale di contabilità errata!");
    if (!causalType.isEmpty()) {
        causal.tableColumn = QStringLiteral("CAUSALE");
        causal.scopeColumn = QStringLiteral("TIPO_CAUSALE");
        causal.scopeTableColumn = QStringLiteral("TIPO_CAUSALE");
    }
    const bool bankToPay = !supplier.main().isBlank(QStringLiteral("BANCA_PAG"));
    return {
        validDate("FINE_RAP", "Data di fine rapporto con il fornitore errata!"),
        validDate("INIZIO_RAP", "Data di inizio rapporto con il fornitore errata!"),
        known("NAZ_NASC", Tables::TAB_PAESI, "Nazione di nascita del cliente sconosciuta!"),
        validDate("DATA_NASC", say("Data di nascita del fornitore errata!", "Data di nascita del fornitore errata !")),
        known("PROV_NASC", Tables::TAB_PROV, "Provoncia di nascita del cliente sconosciuta!"),
        causal,
        // Purchase causal types: beginning with A, not with AR.
        known("TIPO_CAUSALE", Tables::TAB_TIPO_CAUS, "Tipo Causale di contabilità errata!",
              QStringLiteral(" AND CODICE LIKE 'A%' AND CODICE NOT LIKE 'AR%'")),
        known("COD_MERCE", Tables::TAB_MERCE,
              say("Codice merceologico sconosciuto!", "Codice merceologico sconosciuto !")),
        known("COD_ATTIVITA", Tables::TAB_ATTIVITA,
              say("Codice attivita sconosciuto !", "Codice attività sconosciuto !")),
        known("REGISTRO_IVA", Tables::TAB_REGISTRI,
              say("Tipo registro I.V.A. sconosciuto!", "Tipo registro I.V.A. sconosciuto !")),
        bankToPay ? known("BANCA_PAG", Tables::TAB_BAN_PAG, "Banca pagamento sconosciuta!")
                  : known("BANCA_APP", Tables::TAB_BAN_APP, "Banca appoggio sconosciuta!"),
        required("COND_PAG", "Condizione di pagamento obbligatoria"),
        known("COND_PAG", Tables::TAB_COND_PAG,
              say("Condizioni di pagamento sconosciute!", "Condizioni di pagamento sconosciute")),
        required("CONTO_PATRIM", "Conto di contropartita patrimoniale obbligatorio!"),
        known("CONTO_PATRIM", Tables::TAB_PIANO_CONTI, "Conto di contropartita patrimoniale sconosciuto!",
              QStringLiteral(" AND (TIPO_CONTO = 'P' OR TIPO_CONTO = 'A')")),
        required("CONTO_COSTO", "Conto di economico di ricavo obbligatorio!"),
        known("CONTO_COSTO", Tables::TAB_PIANO_CONTI, "Conto di economico di ricavo sconosciuto!"),
        described("NAZIONE", Tables::TAB_PAESI, "Nazione sconosciuta!"),
        described("UBICAZIONE", Tables::TAB_UBICAZIONE,
                  say("Area geografica di ubicazione del cliente sconosciuta!",
                      "Area geografica di ubicazione sconosciuta !")),
        Check::range(QStringLiteral("PERC_PROV"), 0, 100, QStringLiteral("Percentuale Provvigione errata")),
        known("TIPO_FORN", Tables::TAB_TIPO_FOR, say("Tipo fornitore sconosciuto!", "Tipo fornitore sconosciuto !")),
        taxCode("Codice Fiscale errato!", keptTaxCode),
        vatNumber("Partita iva errata !"),
        known("PROVINCIA_AMM", Tables::TAB_PROV,
              say("Provincia di Sede amministrativa sconosciuta!", "Sigla provincia sconosciuta ! ")),
        known("PROVINCIA_LEG", Tables::TAB_PROV,
              say("Provincia di Sede legale sconosciuta! ", "Sigla provincia sconosciuta ! ")),
        required("RAG_SOC1", "Ragione sociale obbligatoria!"),
        secondaryCode(db, supplierParty(), supplierCode(supplier), "Codice secondario già presente in archivio"),
    };
}

// An agent's line in AGENTI: added when missing, renamed with its supplier row.
bool keepAgentLine(Services::WriteUnit &unit, DataAccess &db, const Supplier &numbered, bool inserting)
{
    if (!isAgent(numbered))
        return true;
    const int code = supplierCode(numbered);
    const QString name1 = numbered.main().text(QStringLiteral("RAG_SOC1"));
    const QString name2 = numbered.main().text(QStringLiteral("RAG_SOC2"));
    bool listed = false;
    if (!inserting) {
        auto rows =
            db.openRecordset(QStringLiteral("SELECT CODICE FROM %1 WHERE CODICE = ?").arg(Tables::AGENTI), {code});
        if (!rows)
            return false;
        listed = !rows->isEmpty();
    }
    if (listed)
        return unit.execCompany(
            QStringLiteral(" AggSqlAgenti  "),
            QStringLiteral("UPDATE %1 SET RAG_SOC1 = ?, RAG_SOC2 = ? WHERE CODICE = ?").arg(Tables::AGENTI),
            {name1, name2, code});
    return unit.execCompany(
        QString::fromLatin1(inserting ? "InsSqlAgenti" : "InsSqlAgenti     "),
        QStringLiteral("INSERT INTO %1 (CODICE, RAG_SOC1, RAG_SOC2) VALUES (?, ?, ?)").arg(Tables::AGENTI),
        {code, name1, name2});
}

} // namespace

const Services::FamilyDef &supplierFamily()
{
    static const Services::FamilyDef family{{
        {&supplierstoreMainTable(), QStringLiteral("InsSqlAnag_FOR "), QStringLiteral(" AggSqlAnag_for  "), {}},
        {&supplierstoreContactTable(), QStringLiteral("  InsSqlCont_FOR "), QStringLiteral(" Agg/InsSqlCont_FOR      "),
         QStringLiteral(" Agg/InsSqlCont_FOR      ")},
        {&withholdingTable(), QStringLiteral(" InsSqlRit_FOR "), QStringLiteral(" Agg/InsSqlRit_FOR      "),
         QStringLiteral(" Agg/InsSqlRit_FOR      ")},
    }};
    return family;
}

const PartyDef &supplierParty()
{
    static const PartyDef party{Tables::ANAG_FOR, key(),           QStringLiteral("****ANAF"), &supplierFamily(),
                                &insertSupplier,  &updateSupplier, &deleteSupplier,            &supplierUsesOf};
    return party;
}

Supplier newSupplier(DataAccess &db, SupplierFlavour flavour)
{
    Supplier supplier(supplierFamily());
    Services::Row &main = supplier.main();
    main.set(QStringLiteral("AGENTE"), flavour == SupplierFlavour::Agents);
    main.set(QStringLiteral("CONTO_COSTO"), accountForRole(db, QStringLiteral("COS")));
    main.set(QStringLiteral("CONTO_PATRIM"), accountForRole(db, QStringLiteral("FOR")));
    main.set(QStringLiteral("NAZIONE"),
             codeOfDescription(db, Tables::TAB_PAESI, QStringLiteral("PAESE"), QStringLiteral("ITALIA")));
    main.set(QStringLiteral("UBICAZIONE"),
             codeOfDescription(db, Tables::TAB_UBICAZIONE, QStringLiteral("CODICE"), QStringLiteral("INTERNO")));
    return supplier;
}

std::optional<Supplier> loadSupplier(DataAccess &db, int code)
{
    auto record = Services::readRecord(db, supplierFamily(), {code});
    if (!record)
        return std::nullopt;
    return *record;
}

std::optional<WithholdingOfType> withholdingOfType(DataAccess &db, const QString &type)
{
    if (type.trimmed().isEmpty())
        return std::nullopt;
    auto rows = db.openRecordset(QStringLiteral("SELECT RITENUTA, PERC_RIT, PERC_ENA FROM %1 WHERE %2")
                                     .arg(Tables::TAB_TIPO_FOR, Services::sqlUpperEquals(QStringLiteral("CODICE"))),
                                 {type.trimmed()});
    if (!rows || rows->isEmpty())
        return std::nullopt;
    const auto &row = rows->first();
    return WithholdingOfType{row.text(QStringLiteral("RITENUTA")).trimmed().toUpper() == QLatin1String("S"),
                             row.value(QStringLiteral("PERC_RIT")).toDouble(),
                             row.value(QStringLiteral("PERC_ENA")).toDouble()};
}

QList<Services::FieldProblem> checkSupplier(DataAccess &db, const Supplier &supplier, const QString &keptTaxCode,
                                            SupplierWording wording, const QString &only)
{
    return Services::runChecks(
        db, supplierChecks(db, supplier, keptTaxCode, wording),
        [&supplier](const QString &column) { return supplier.value(column); }, only);
}

const QList<RecordUse> &supplierUses()
{
    // The supplier's price-list rows stand for the items it supplies.
    static const QList<RecordUse> uses = {
        {Tables::LIST_ACQ, {key()}, QString::fromLatin1(kUsedBy)},
        {Tables::LIST_VEN, {key()}, QString::fromLatin1(kUsedBy)},
        {Tables::TAB_SCONFOR, {key()}, QString::fromLatin1(kUsedBy)},
        {Tables::MOVMAG, {key()}, QStringLiteral("Movimenti di magazzino")},
    };
    return uses;
}

Services::Outcome<QStringList> supplierUsesOf(DataAccess &db, int code)
{
    return usesOf(db, supplierUses(), {code});
}

WriteResult insertSupplier(DataAccess &db, const Supplier &supplier)
{
    return insertParty(
        db, supplierParty(), QString::fromLatin1(kInsertWhere), supplier,
        [&db](Services::WriteUnit &unit, const Supplier &numbered) { return keepAgentLine(unit, db, numbered, true); });
}

WriteResult updateSupplier(DataAccess &db, const Supplier &supplier, const Supplier &loaded)
{
    const auto agentAndLists = [&db, &loaded](Services::WriteUnit &unit, const Supplier &numbered) {
        if (!keepAgentLine(unit, db, numbered, false))
            return false;
        // Switching the personal list off takes the supplier's lists with it.
        return !dropsPersonalList(numbered, loaded) ||
               deletePartyRows(unit, supplierCode(loaded),
                               {{"CancListAcq     ", Tables::LIST_ACQ, key()},
                                {"CancListVen     ", Tables::LIST_VEN, key()},
                                {"CancSconFor     ", Tables::TAB_SCONFOR, key()}});
    };
    return updateParty(db, supplierParty(), QString::fromLatin1(kUpdateWhere), supplier, loaded, agentAndLists);
}

WriteResult deleteSupplier(DataAccess &db, int code)
{
    return deleteParty(db, QString::fromLatin1(kSupplierstoreDeleteWhere), code,
                       {{" DelSqlAnag_for  ", Tables::ANAG_FOR, key()},
                        {"DelSqlAgenti", Tables::AGENTI, QStringLiteral("CODICE")},
                        {" DelSqlCont_for  ", Tables::CONT_FOR, key()},
                        {"DelSqlRit_for", Tables::RIT_FOR, key()}});
}

} // namespace Orlavo::Masterdata
