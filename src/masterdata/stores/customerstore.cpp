#include "masterdata/stores/customerstore.h"

#include "masterdata/rules/taxcodes.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/counters.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <QDate>

#include <functional>

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::Params;
namespace Tables = Services::Tables;

namespace {

constexpr char kLockArea[] = "TUTTO";
constexpr char kSaveWhere[] = "Anagrafica clienti";
constexpr char kDeleteWhere[] = "Modifica anacli";

// How a column is stored.
enum class Kind { Text, Code, Integer, Number, Date, OneZero, MinusOneZero };

struct Column {
    const char *name;
    Kind kind;
};

const QList<Column> &columnsOf(CustomerPart part)
{
    using K = Kind;
    static const QList<Column> main = {
        {"CLIENTE", K::Integer},
        {"CODICE2", K::Code},
        {"RAG_SOC1", K::Text},
        {"RAG_SOC2", K::Text},
        {"INDIRIZZO_LEG", K::Text},
        {"CITTA_LEG", K::Text},
        {"CAP_LEG", K::Code},
        {"PROVINCIA_LEG", K::Code},
        {"INDIRIZZO_AMM", K::Text},
        {"CITTA_AMM", K::Text},
        {"CAP_AMM", K::Code},
        {"PROVINCIA_AMM", K::Code},
        {"PART_IVA", K::Code},
        {"COD_FISC", K::Code},
        {"TELEFONO1", K::Text},
        {"TELEFONO2", K::Text},
        {"FAX", K::Text},
        {"E_MAIL", K::Text},
        {"COND_PAG", K::Code},
        {"NRO_CONTO", K::Text},
        {"COD_ATTIVITA", K::Code},
        {"COD_MERCE", K::Code},
        {"CODICE_IVA", K::Code},
        {"CONTO_RICAVO", K::Code},
        {"CONTO_PATRIM", K::Code},
        {"ELENCO_CLIENTI", K::Code},
        {"PERS_SOC", K::Code},
        {"TIPO_CLIENTE", K::Code},
        {"UBICAZIONE", K::Code},
        {"CODICE_ISO", K::Code},
        {"PART_IVA_CEE", K::Code},
        {"REGISTRO_IVA", K::Code},
        {"LIVELLO_SEGN", K::Integer},
        {"AGENTE", K::Integer},
        {"NOTE1", K::Text},
        {"BANCA_APP", K::Code},
        {"BANCA_PAG", K::Code},
        {"NAZIONE", K::Code},
        {"ZONA", K::Code},
        {"TIPOLISTINO", K::Code},
        {"SCONTO1", K::Number},
        {"SCONTO2", K::Number},
        {"SCONTO3", K::Number},
        {"SCFATT", K::OneZero},
        {"SUDDIVCANTIERE", K::MinusOneZero},
    };
    static const QList<Column> contact = {
        {"CLIENTE", K::Integer},  {"RESPONSABILE", K::Text},  {"DESCRIZIONE1", K::Text}, {"DESCRIZIONE2", K::Text},
        {"TELEFONO1", K::Text},   {"TELEFONO2", K::Text},     {"FAX", K::Text},          {"ORA_MAG", K::Text},
        {"GIORNO_CHIU", K::Code}, {"GIORNO_VISITA", K::Code}, {"ULT_VISITA", K::Date},   {"PROS_VISITA", K::Date},
    };
    static const QList<Column> personal = {
        {"CLIENTE", K::Integer}, {"SESSO", K::Code},    {"CITTA_NASC", K::Text}, {"PROV_NASC", K::Code},
        {"DATA_NASC", K::Date},  {"TIPO_DOC", K::Code}, {"NRO_DOC", K::Text},    {"ENTE_RIL", K::Text},
    };
    switch (part) {
    case CustomerPart::Contact: return contact;
    case CustomerPart::Personal: return personal;
    case CustomerPart::Main: break;
    }
    return main;
}

QString tableOf(CustomerPart part)
{
    switch (part) {
    case CustomerPart::Contact: return Tables::CONT_CLI;
    case CustomerPart::Personal: return Tables::PERS_CLI;
    case CustomerPart::Main: break;
    }
    return Tables::ANAG_CLI;
}

const QHash<QString, QString> &valuesOf(const Customer &customer, CustomerPart part)
{
    switch (part) {
    case CustomerPart::Contact: return customer.contact;
    case CustomerPart::Personal: return customer.personal;
    case CustomerPart::Main: break;
    }
    return customer.main;
}

bool isYes(const QString &text)
{
    return text.trimmed().toUpper() == QLatin1String("S");
}

QVariant bind(Kind kind, const QString &text)
{
    const QString trimmed = text.trimmed();
    switch (kind) {
    case Kind::Text: return Services::sqlText(trimmed);
    case Kind::Code: return Services::sqlText(trimmed.toUpper());
    case Kind::Integer: return trimmed.isEmpty() ? QVariant(QMetaType::fromType<int>()) : QVariant(trimmed.toInt());
    case Kind::Number: return Services::sqlNumber(trimmed, 2).toDouble();
    case Kind::Date: {
        const QDate date = Services::parseItalianDate(trimmed);
        return date.isValid() ? QVariant(date) : QVariant(QMetaType::fromType<QDate>());
    }
    case Kind::OneZero: return isYes(trimmed) ? 1 : 0;
    case Kind::MinusOneZero: return isYes(trimmed) ? -1 : 0;
    }
    return {};
}

QString shown(Kind kind, const QVariant &value)
{
    switch (kind) {
    case Kind::Number: return Services::formatGrouped(value.toDouble(), 2);
    case Kind::Date: {
        const QDate date = value.toDate();
        return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    }
    case Kind::OneZero:
    case Kind::MinusOneZero: return value.toInt() != 0 ? QStringLiteral("S") : QStringLiteral("N");
    case Kind::Integer: return value.isNull() ? QString() : QString::number(value.toInt());
    case Kind::Text:
    case Kind::Code: break;
    }
    return value.toString();
}

// Values compare as they would be stored.
bool samePart(const Customer &a, const Customer &b, CustomerPart part)
{
    for (const Column &column : columnsOf(part)) {
        const QString name = QString::fromLatin1(column.name);
        if (name == QLatin1String("CLIENTE"))
            continue;
        if (bind(column.kind, valuesOf(a, part).value(name)) != bind(column.kind, valuesOf(b, part).value(name)))
            return false;
    }
    return true;
}

bool entered(const Customer &customer, CustomerPart part)
{
    for (auto it = valuesOf(customer, part).begin(); it != valuesOf(customer, part).end(); ++it) {
        if (it.key() != QLatin1String("CLIENTE") && !it.value().trimmed().isEmpty())
            return true;
    }
    return false;
}

Params paramsOf(const Customer &customer, CustomerPart part, int code, bool withKey)
{
    Params params;
    for (const Column &column : columnsOf(part)) {
        const QString name = QString::fromLatin1(column.name);
        if (name == QLatin1String("CLIENTE")) {
            if (withKey)
                params << code;
            continue;
        }
        if (name == QLatin1String("LIVELLO_SEGN")) {
            if (withKey)
                params << 0; // written once, never changed here
            continue;
        }
        params << bind(column.kind, valuesOf(customer, part).value(name));
    }
    return params;
}

QString insertSql(CustomerPart part)
{
    const QStringList &names = customerColumns(part);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(tableOf(part), names.join(QStringLiteral(", ")),
             QStringList(names.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
}

QString updateSql(CustomerPart part)
{
    QStringList sets;
    for (const QString &name : customerColumns(part)) {
        if (name != QLatin1String("CLIENTE") && name != QLatin1String("LIVELLO_SEGN"))
            sets << name + QStringLiteral(" = ?");
    }
    return QStringLiteral("UPDATE %1 SET %2 WHERE CLIENTE = ?").arg(tableOf(part), sets.join(QStringLiteral(", ")));
}

bool exists(DataAccess &db, const QString &table, const QString &column, const QString &value,
            const QString &extra = {}, Services::Target target = Services::Target::Company)
{
    auto rows = db.openRecordset(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3%4").arg(column, table, Services::sqlUpperEquals(column), extra),
        {value.trimmed()}, target);
    return rows && !rows->isEmpty();
}

} // namespace

bool Customer::operator==(const Customer &other) const
{
    return samePart(*this, other, CustomerPart::Main) && samePart(*this, other, CustomerPart::Contact) &&
           samePart(*this, other, CustomerPart::Personal);
}

const QStringList &customerColumns(CustomerPart part)
{
    static const auto names = [](CustomerPart p) {
        QStringList list;
        for (const Column &column : columnsOf(p))
            list << QString::fromLatin1(column.name);
        return list;
    };
    static const QStringList main = names(CustomerPart::Main);
    static const QStringList contact = names(CustomerPart::Contact);
    static const QStringList personal = names(CustomerPart::Personal);
    switch (part) {
    case CustomerPart::Contact: return contact;
    case CustomerPart::Personal: return personal;
    case CustomerPart::Main: break;
    }
    return main;
}

Customer newCustomer(DataAccess &db)
{
    Customer customer;
    const auto first = [&db](const QString &sql, const QString &value) {
        auto rows = db.openRecordset(sql, {value});
        return rows && !rows->isEmpty() ? rows->first().at(0).toString() : QString();
    };
    const QString byRole =
        QStringLiteral("SELECT CODICE FROM %1 WHERE CONT_AUT = ? ORDER BY CODICE").arg(Tables::TAB_PIANO_CONTI);
    customer.main.insert(QStringLiteral("CONTO_RICAVO"), first(byRole, QStringLiteral("RIC")));
    customer.main.insert(QStringLiteral("CONTO_PATRIM"), first(byRole, QStringLiteral("CLI")));
    customer.main.insert(
        QStringLiteral("UBICAZIONE"),
        first(QStringLiteral("SELECT CODICE FROM %1 WHERE %2")
                  .arg(Tables::TAB_UBICAZIONE, Services::sqlUpperEquals(QStringLiteral("DESCRIZIONE"))),
              QStringLiteral("INTERNO")));
    customer.main.insert(QStringLiteral("NAZIONE"),
                         first(QStringLiteral("SELECT PAESE FROM %1 WHERE %2")
                                   .arg(Tables::TAB_PAESI, Services::sqlUpperEquals(QStringLiteral("DESCRIZIONE"))),
                               QStringLiteral("ITALIA")));
    return customer;
}

std::optional<StoredCustomer> loadCustomer(DataAccess &db, int code)
{
    StoredCustomer stored;
    for (const CustomerPart part : {CustomerPart::Main, CustomerPart::Contact, CustomerPart::Personal}) {
        auto rows = db.openRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE CLIENTE = ?")
                                         .arg(customerColumns(part).join(QStringLiteral(", ")), tableOf(part)),
                                     {code});
        if (!rows)
            return std::nullopt;
        if (rows->isEmpty()) {
            if (part == CustomerPart::Main)
                return std::nullopt;
            continue;
        }
        QHash<QString, QString> &values = part == CustomerPart::Main      ? stored.customer.main
                                          : part == CustomerPart::Contact ? stored.customer.contact
                                                                          : stored.customer.personal;
        for (const Column &column : columnsOf(part))
            values.insert(QString::fromLatin1(column.name), shown(column.kind, rows->first().value(column.name)));
        if (part == CustomerPart::Contact)
            stored.hasContact = true;
        if (part == CustomerPart::Personal)
            stored.hasPersonal = true;
    }
    return stored;
}

QList<CustomerProblem> checkCustomer(DataAccess &db, const Customer &customer, const QString &keptTaxCode,
                                     const QString &only)
{
    QList<CustomerProblem> problems;
    // One field's checks alone: the others neither fail nor query.
    const auto skipped = [&only](const char *column) { return !only.isEmpty() && only != QLatin1String(column); };
    const auto value = [&customer](const char *column) {
        const QString name = QString::fromLatin1(column);
        if (customer.personal.contains(name))
            return customer.personal.value(name).trimmed();
        if (customer.contact.contains(name))
            return customer.contact.value(name).trimmed();
        return customer.main.value(name).trimmed();
    };
    const auto fail = [&](const char *column, const char *message) {
        if (!skipped(column))
            problems << CustomerProblem{QString::fromLatin1(column), QString::fromUtf8(message)};
    };
    // A coded field: blank passes unless required; else it must be found.
    const auto code = [&](const char *column, const QString &table, const char *key, const char *unknown,
                          bool required = false, const QString &extra = {}) {
        if (skipped(column))
            return;
        const QString text = value(column);
        if (text.isEmpty()) {
            if (required)
                fail(column, unknown);
            return;
        }
        if (!exists(db, table, QString::fromLatin1(key), text, extra, Services::databaseOf(table)))
            fail(column, unknown);
    };
    const auto date = [&](const char *column, const char *message) {
        if (!value(column).isEmpty() && !Services::parseItalianDate(value(column)).isValid())
            fail(column, message);
    };

    code("TIPO_DOC", Tables::TAB_DOC_ID, "CODICE", "Codice tipo documento d'identità sconosciuto ! ");
    date("DATA_NASC", "Data nascita cliente non valida !");
    code("PROV_NASC", Tables::TAB_PROV, "CODICE", "Sigla provincia sconosciuta ! ");
    date("PROS_VISITA", "Data prossima visita non valida !");
    date("ULT_VISITA", "Data ultima visita non valida !");
    code("COD_MERCE", Tables::TAB_MERCE, "CODICE", "Codice Merceologico sconosciuto ! ");
    code("COD_ATTIVITA", Tables::TAB_ATTIVITA, "CODICE", "Codice Attività sconosciuto ! ");
    code("ZONA", Tables::TAB_ZONA, "CODICE", "Codice zona geografica per Agente sconosciuto ! ");
    if (const QString agent = value("AGENTE"); !agent.isEmpty() && !skipped("AGENTE")) {
        auto rows = db.openRecordset(
            QStringLiteral("SELECT FORNITORE FROM %1 WHERE FORNITORE = ? AND AGENTE = 'A'").arg(Tables::ANAG_FOR),
            {agent.toInt()});
        if (!rows || rows->isEmpty())
            fail("AGENTE", "Codice agente sconosciuto ! ");
    }
    code("REGISTRO_IVA", Tables::TAB_REGISTRI, "CODICE", "Codice ragistro IVA sconosciuto ! ");
    for (const char *discount : {"SCONTO1", "SCONTO2", "SCONTO3"}) {
        const double percent = Services::sqlNumber(value(discount), 2).toDouble();
        if (percent < 0 || percent > 99.99)
            fail(discount, "Percentuale sconto errata.");
    }
    code("BANCA_APP", Tables::TAB_BAN_APP, "CODICE", "Codice banca appoggio sconosciuto ! ");
    code("BANCA_PAG", Tables::TAB_BAN_PAG, "CODICE", "Codice banca pagamento sconosciuto ! ");
    if (value("COND_PAG").isEmpty())
        fail("COND_PAG", "Condizione pagamento obbligatoria");
    else
        code("COND_PAG", Tables::TAB_COND_PAG, "CODICE", "Codice Condizioni pagamento sconosciuto ! ");
    if (value("CONTO_PATRIM").isEmpty())
        fail("CONTO_PATRIM", "Conto Patrimoniale obbligatorio ! ");
    else
        code("CONTO_PATRIM", Tables::TAB_PIANO_CONTI, "CODICE", "Conto Patrimoniale sconosciuto ! ", false,
             QStringLiteral(" AND (TIPO_CONTO = 'P' OR TIPO_CONTO = 'A')"));
    if (value("CONTO_RICAVO").isEmpty())
        fail("CONTO_RICAVO", "Conto Ricavo obbligatorio ! ");
    else
        code("CONTO_RICAVO", Tables::TAB_PIANO_CONTI, "CODICE", "Conto Ricavo sconosciuto ! ", false,
             QStringLiteral(" AND TIPO_CONTO = 'R'"));
    code("CODICE_IVA", Tables::TAB_PERIVA, "CODICE", "Codice Iva Errato");
    // Chosen by description: a blank one is not found either.
    code("NAZIONE", Tables::TAB_PAESI, "PAESE", "Codice Nazione sconociuto ! ", true);
    code("UBICAZIONE", Tables::TAB_UBICAZIONE, "CODICE", "Area ubicazione del cliente sconosciuta ! ", true);
    code("TIPO_CLIENTE", Tables::TAB_TIPO_CLI, "CODICE", "Tipo cliente sconosciuto ! ", true);
    if (const QString taxCode = value("COD_FISC"); taxCode != keptTaxCode.trimmed() && doubtfulTaxCode(taxCode))
        fail("COD_FISC", "Codice fiscale errato ! ");
    if (const QString vat = value("PART_IVA"); !vat.isEmpty() && ctrlPartitaIva(vat) != 0)
        fail("PART_IVA", "Partita iva errata !");
    code("PROVINCIA_AMM", Tables::TAB_PROV, "CODICE", "Sigla provincia sconosciuta ! ");
    code("PROVINCIA_LEG", Tables::TAB_PROV, "CODICE", "Sigla provincia sconosciuta ! ");
    if (value("RAG_SOC1").isEmpty())
        fail("RAG_SOC1", "Ragione sociale - Obbligatoria !");
    if (!skipped("CODICE2") && heldByAnother(db, QStringLiteral("CODICE2"), value("CODICE2"), customer.code()))
        fail("CODICE2", "Codice secondario già presente in archivio !");
    return problems;
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

StoredState compareStored(DataAccess &db, const StoredCustomer &loaded)
{
    const auto now = loadCustomer(db, loaded.customer.code());
    if (!now)
        return StoredState::Gone;
    return now->customer == loaded.customer && now->hasContact == loaded.hasContact &&
                   now->hasPersonal == loaded.hasPersonal
               ? StoredState::Same
               : StoredState::Changed;
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

CustomerWrite insertCustomer(DataAccess &db, const Customer &customer, int *newCode)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return CustomerWrite::Failed;
    Services::WriteUnit unit(db, QString::fromUtf8(kSaveWhere));
    if (!unit.ok())
        return CustomerWrite::Failed;
    if (heldByAnother(db, QStringLiteral("CODICE2"), customer.main.value(QStringLiteral("CODICE2")), 0)) {
        unit.abandon();
        return CustomerWrite::SecondaryTaken;
    }
    const int code = Services::Counters::nextNumber(db, QStringLiteral("****ANAC"));
    if (code == 0) {
        unit.fail();
        return CustomerWrite::Failed;
    }
    bool written = unit.execCompany(QStringLiteral("Ins. cli"), insertSql(CustomerPart::Main),
                                    paramsOf(customer, CustomerPart::Main, code, true));
    if (written && entered(customer, CustomerPart::Contact))
        written = unit.execCompany(QStringLiteral("Ins. cont cli"), insertSql(CustomerPart::Contact),
                                   paramsOf(customer, CustomerPart::Contact, code, true));
    if (written && entered(customer, CustomerPart::Personal))
        written = unit.execCompany(QStringLiteral("Ins. pers cli"), insertSql(CustomerPart::Personal),
                                   paramsOf(customer, CustomerPart::Personal, code, true));
    if (!written || !unit.commit())
        return CustomerWrite::Failed;
    if (newCode)
        *newCode = code;
    return CustomerWrite::Written;
}

CustomerWrite updateCustomer(DataAccess &db, const Customer &customer, const StoredCustomer &loaded)
{
    const int code = loaded.customer.code();
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return CustomerWrite::Failed;
    Services::WriteUnit unit(db, QString::fromUtf8(kSaveWhere));
    if (unit.ok() &&
        heldByAnother(db, QStringLiteral("CODICE2"), customer.main.value(QStringLiteral("CODICE2")), code)) {
        unit.abandon();
        return CustomerWrite::SecondaryTaken;
    }
    const auto run = [&unit](const char *step, const QString &sql, const Params &params) {
        return unit.execCompany(QString::fromLatin1(step), sql, params);
    };
    bool written = unit.ok();
    if (written && !samePart(customer, loaded.customer, CustomerPart::Main)) {
        Params params = paramsOf(customer, CustomerPart::Main, code, false);
        params << code;
        written = run("Agg. cli", updateSql(CustomerPart::Main), params);
    }
    const auto personalList = [](const Customer &c) {
        return c.main.value(QStringLiteral("TIPOLISTINO")).trimmed().toUpper() == QLatin1String("P");
    };
    if (written && personalList(loaded.customer) && !personalList(customer)) {
        written =
            run("Canc. listvend", QStringLiteral("DELETE FROM %1 WHERE CLIENTE = ?").arg(Tables::LIST_VEN), {code}) &&
            run("Canc. scon cli", QStringLiteral("DELETE FROM %1 WHERE CLIENTE = ?").arg(Tables::TAB_SCONCLI), {code});
    }
    for (const auto &[part, had, updateStep, insertStep] :
         {std::tuple{CustomerPart::Contact, loaded.hasContact, "Agg. cont cli 1", "Agg. cont cli 2"},
          std::tuple{CustomerPart::Personal, loaded.hasPersonal, "Agg. pers cli 1", "Agg. pers cli 2"}}) {
        if (!written || samePart(customer, loaded.customer, part))
            continue;
        if (had) {
            Params params = paramsOf(customer, part, code, false);
            params << code;
            written = run(updateStep, updateSql(part), params);
        } else {
            written = run(insertStep, insertSql(part), paramsOf(customer, part, code, true));
        }
    }
    return written && unit.commit() ? CustomerWrite::Written : CustomerWrite::Failed;
}

bool deleteCustomer(DataAccess &db, int code)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return false;
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
            return false;
    }
    return unit.commit();
}

} // namespace Orlavo::Masterdata
