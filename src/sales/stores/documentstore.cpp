#include "sales/stores/documentstore.h"

#include "sales/rules/salesrows.h"
#include "sales/stores/salestables.h"
#include "services/data/dataaccess.h"
#include "services/data/recordstore.h"
#include "services/data/writeunit.h"

#include <algorithm>

namespace Orlavo::Sales {

using Services::Params;
using Services::Row;
using Services::TableDef;

namespace {

const QString kAnno = QStringLiteral("ANNO");
const QString kNroInt = QStringLiteral("NRO_INT");

QString byDocument()
{
    return QStringLiteral("ANNO = ? AND NRO_INT = ?");
}

// A row's source columns: kept for its own kind of source only.
void clearSources(Row &row)
{
    const QString kind = row.text(QStringLiteral("TIPO"));
    if (kind != QLatin1String("D")) {
        for (const char *column : {"ANNO_BOL", "NRO_BOL", "DATA_BOL", "RIGA_BOL", "NRO_RBO"})
            row.set(QString::fromLatin1(column), {});
    }
    if (kind != QLatin1String("B")) {
        for (const char *column : {"ANNO_ORD", "NRO_ORD", "DATA_ORD", "RIGA_ORD"})
            row.set(QString::fromLatin1(column), {});
    }
}

bool deleteFrom(Services::WriteUnit &unit, const TableDef &def, const QString &step, const Params &key)
{
    return unit.execCompany(step, QStringLiteral("DELETE FROM %1 WHERE %2").arg(def.table, byDocument()), key);
}

} // namespace

SalesDocument SalesDocument::empty(Family family)
{
    SalesDocument document;
    document.family = family;
    document.header = Row(headerTable(family));
    return document;
}

Row SalesDocument::newRow() const
{
    return Row(rowTable(family));
}

bool SalesDocument::operator==(const SalesDocument &other) const
{
    return family == other.family && header == other.header && delivery == other.delivery && rows == other.rows &&
           dueDates == other.dueDates;
}

bool writeDocument(Services::WriteUnit &unit, SalesDocument &document)
{
    const QVariant year = document.header.value(kAnno);
    const QVariant number = document.header.value(kNroInt);
    if (!Services::insertRow(unit, document.header, QStringLiteral("Ins. testata fatt")))
        return false;
    if (document.delivery && document.header.flag(QStringLiteral("ACCOMPAGNATORIA"))) {
        document.delivery->set(kAnno, year);
        document.delivery->set(kNroInt, number);
        if (!Services::insertRow(unit, *document.delivery, QStringLiteral("Ins. fvendacc")))
            return false;
    }
    int line = 0;
    for (Row &row : document.rows) {
        row.set(kAnno, year);
        row.set(kNroInt, number);
        row.set(QStringLiteral("RIGA"), ++line);
        row.set(QStringLiteral("IMPORTO"), 0.0);
        // A price shows at least the currency's decimals (25,00, not 25).
        row.set(QStringLiteral("NDEC"), std::max(currencyOfYear(year.toString()).decimals,
                                                 priceDecimals(row.number(QStringLiteral("PREZZO")))));
        clearSources(row);
        if (!Services::insertRow(unit, row, QStringLiteral("Ins. FVENDD")))
            return false;
    }
    for (Row &due : document.dueDates) {
        due.set(kAnno, year);
        due.set(kNroInt, number);
        if (!Services::insertRow(unit, due, QStringLiteral("Ins. scadf")))
            return false;
    }
    return true;
}

Services::Outcome<std::optional<SalesDocument>> readDocument(Services::DataAccess &db, Family family,
                                                             const QString &year, int number)
{
    const Params key{year, number};
    SalesDocument document = SalesDocument::empty(family);
    const auto header = Services::readRow(db, headerTable(family), key);
    if (!header)
        return header.failure();
    if (!*header)
        return std::optional<SalesDocument>();
    document.header = **header;
    const auto rows = Services::readRows(db, rowTable(family), byDocument(), key, QStringLiteral("RIGA"));
    if (!rows)
        return rows.failure();
    document.rows = *rows;
    if (hasDueDates(family)) {
        const auto delivery = Services::readRow(db, deliveryTable(family), key);
        if (!delivery)
            return delivery.failure();
        document.delivery = *delivery;
        const auto due = Services::readRows(db, dueDateTable(family), byDocument(), key, QStringLiteral("PROGR"));
        if (!due)
            return due.failure();
        document.dueDates = *due;
    }
    return std::optional<SalesDocument>(std::move(document));
}

bool deleteDocument(Services::WriteUnit &unit, Family family, const QString &year, int number)
{
    const Params key{year, number};
    if (hasDueDates(family) && (!deleteFrom(unit, dueDateTable(family), QStringLiteral("Canc. scadf"), key) ||
                                !deleteFrom(unit, deliveryTable(family), QStringLiteral("Canc. fvendacc"), key)))
        return false;
    return deleteFrom(unit, rowTable(family), QStringLiteral("Canc. FVENDD"), key) &&
           deleteFrom(unit, headerTable(family), QStringLiteral("Canc. testata fatt"), key);
}

bool emptySimulated(Services::WriteUnit &unit)
{
    return unit.execCompany(QStringLiteral("Canc. FVENDD_S"),
                            QStringLiteral("DELETE FROM %1").arg(rowTable(Family::Simulated).table)) &&
           unit.execCompany(QStringLiteral("Canc. FVENDT_S"),
                            QStringLiteral("DELETE FROM %1").arg(headerTable(Family::Simulated).table));
}

QList<Row> dueDateRows(const SalesDocument &document, const QList<Masterdata::DueLine> &lines)
{
    const Row &header = document.header;
    const Currency currency = currencyOfYear(document.year());
    QList<Row> rows;
    int progr = 0;
    for (const Masterdata::DueLine &line : lines) {
        ++progr;
        if (line.amount == 0 || !line.date.isValid())
            continue;
        Row due(dueDateTable(document.family));
        for (const char *column :
             {"ANNO", "NRO_INT", "NRO_DOC", "DATA_DOC", "NRO_REG", "DATA_REG", "MOVIMENTO", "CLIENTE", "AGENTE",
              "COND_PAG", "BANCA_APP", "BANCA_PAG", "CONTO_COR", "ABI", "CAB", "ABI_PAG", "CAB_PAG", "TSTAMP"})
            due.set(QString::fromLatin1(column), header.value(QString::fromLatin1(column)));
        due.set(QStringLiteral("PROGR"), progr);
        due.set(QStringLiteral("IMPORTO"), line.amount);
        due.set(QStringLiteral("IMPORTO_EUR"), euroValue(line.amount, currency));
        due.set(QStringLiteral("TOTALE_FAT"), header.value(QStringLiteral("TOTALE")));
        due.set(QStringLiteral("IMPO_PROV"), line.commission);
        due.set(QStringLiteral("SCADENZA"), line.date);
        rows.append(due);
    }
    return rows;
}

bool addCustomerInvoice(Services::WriteUnit &unit, int customer, const QString &year, const QDate &registered,
                        double taxable, double vat)
{
    const TableDef &def = customerTotalsTable();
    const Params key{customer, year};
    const auto stored = unit.readForUpdate(
        QStringLiteral("SELECT NRO_FATT FROM %1 WHERE CLIENTE = ? AND ANNO = ?").arg(def.table), key);
    if (!stored)
        return false;
    const QString step = QStringLiteral("Agg fatturato");
    if (stored->isEmpty()) {
        Row first(def);
        first.set(QStringLiteral("CLIENTE"), customer);
        first.set(kAnno, year);
        first.set(QStringLiteral("NRO_FATT"), 1);
        first.set(QStringLiteral("ULT_FATT"), registered);
        first.set(QStringLiteral("IMPONIBILE"), taxable);
        first.set(QStringLiteral("IVA"), vat);
        return Services::insertRow(unit, first, step);
    }
    return unit.execCompany(step,
                            QStringLiteral("UPDATE %1 SET NRO_FATT = NRO_FATT + 1, "
                                           "ULT_FATT = CASE WHEN ULT_FATT IS NULL OR ULT_FATT < ? THEN ? "
                                           "ELSE ULT_FATT END, "
                                           "IMPONIBILE = IMPONIBILE + ?, IVA = IVA + ? "
                                           "WHERE CLIENTE = ? AND ANNO = ?")
                                .arg(def.table),
                            {registered, registered, taxable, vat, customer, year});
}

bool takeOffCustomerInvoice(Services::WriteUnit &unit, int customer, const QString &year, int internal,
                            double taxable, double vat)
{
    // The last invoice's date becomes the latest of the others still valid.
    return unit.execCompany(
        QStringLiteral("Storno fatturato"),
        QStringLiteral("UPDATE %1 SET NRO_FATT = NRO_FATT - 1, IMPONIBILE = IMPONIBILE - ?, IVA = IVA - ?, "
                       "ULT_FATT = (SELECT MAX(DATA_REG) FROM %2 WHERE CLIENTE = ? AND ANNO = ? AND NRO_INT <> ? "
                       "AND ANNULLATA = 0) WHERE CLIENTE = ? AND ANNO = ?")
            .arg(customerTotalsTable().table, headerTable(Family::Definitive).table),
        {taxable, vat, customer, year, internal, customer, year});
}

bool writeWithholding(Services::WriteUnit &unit, const SalesDocument &document)
{
    const Row &header = document.header;
    Row entry(withholdingTable());
    for (const char *column : {"ANNO", "NRO_INT", "NRO_DOC", "DATA_DOC", "MOVIMENTO", "CLIENTE", "IMPON_RIT",
                               "PERC_RIT", "RITENUTA", "TSTAMP"})
        entry.set(QString::fromLatin1(column), header.value(QString::fromLatin1(column)));
    double taxable = 0;
    for (int i = 1; i <= 5; ++i)
        taxable += header.number(QStringLiteral("IMPONIB_%1").arg(i));
    entry.set(QStringLiteral("IMPON_FATT"), taxable);
    entry.set(QStringLiteral("TOT_FATT"), header.value(QStringLiteral("TOTALE")));
    return Services::insertRow(unit, entry, QStringLiteral("Ins. ritenuta d'acconto"));
}

} // namespace Orlavo::Sales
