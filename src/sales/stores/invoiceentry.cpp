#include "sales/stores/invoiceentry.h"

#include "masterdata/stores/paymentconditionstore.h"
#include "sales/stores/salestables.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/recordstore.h"

namespace Orlavo::Sales {

namespace Tables = Services::Tables;

namespace {

const QString kItemColumns = QStringLiteral(
    "A.MAGAZZINO, A.MARCA, A.ARTICOLO, A.DESC_ART, A.UNITA_MIS, A.COD_IVA, A.CONTO, A.CCOS, A.PREZZO_LIST, "
    "A.SC_V1, A.SC_V2, A.SC_V3, A.PREZZO_VSC, A.PREZZO_RIC, A.PREZZO_V1, A.PREZZO_LIST_E, A.PREZZO_LIST_3, "
    "A.NUM_DEC, A.PERC_PROV, M.PERC_PROV, A.PESO_SPECIF, A.SPECIALE, A.ESISTENZA");

Services::Outcome<std::optional<RowItem>> readItem(Services::DataAccess &db, const QString &condition,
                                                   const Services::Params &params)
{
    const auto rows = db.tryOpenRecordset(
        QStringLiteral("SELECT %1 FROM %2 A LEFT JOIN %3 M ON M.CODICE = A.MARCA WHERE %4 ORDER BY A.MARCA")
            .arg(kItemColumns, Tables::ARTICOLI, Tables::TAB_MARCHE, condition),
        params);
    if (!rows)
        return Services::Failure{QStringLiteral("Lettura articolo"), db.error().description};
    if (rows->isEmpty())
        return std::optional<RowItem>{};
    const auto &r = rows->first();
    const auto text = [&r](int i) { return r.at(i).toString().trimmed(); };
    const auto number = [&r](int i) { return r.at(i).toDouble(); };
    RowItem item;
    item.warehouse = text(0);
    item.brand = text(1);
    item.code = text(2);
    item.description = text(3);
    item.unit = text(4);
    item.vatCode = text(5);
    item.account = text(6);
    item.costCentre = text(7);
    item.figures.list = number(8);
    item.figures.discounts = {number(9), number(10), number(11)};
    item.figures.discounted = number(12);
    item.figures.markedUp = number(13);
    item.figures.fixed = number(14);
    item.second = number(15);
    item.third = number(16);
    item.decimals = r.at(17).toInt();
    item.commission = number(18);
    item.brandCommission = number(19);
    item.specificWeight = number(20);
    item.special = r.at(21).toInt() != 0;
    item.onHand = number(22);
    return std::optional<RowItem>{item};
}

} // namespace

Services::Outcome<std::optional<RowItem>> rowItem(Services::DataAccess &db, const QString &warehouse,
                                                  const QString &brand, const QString &code)
{
    if (brand.trimmed().isEmpty())
        return readItem(db, QStringLiteral("A.MAGAZZINO = ? AND A.ARTICOLO = ?"),
                        {warehouse.trimmed(), code.trimmed().toUpper()});
    return readItem(db, QStringLiteral("A.MAGAZZINO = ? AND A.MARCA = ? AND A.ARTICOLO = ?"),
                    {warehouse.trimmed(), brand.trimmed().toUpper(), code.trimmed().toUpper()});
}

Services::Outcome<std::optional<RowItem>> rowItemByBarcode(Services::DataAccess &db, const QString &warehouse,
                                                           const QString &barcode)
{
    return readItem(db, QStringLiteral("A.MAGAZZINO = ? AND A.COD_BARRE = ?"), {warehouse.trimmed(), barcode.trimmed()});
}

PriceFigures listFigures(const Masterdata::ListPrice &row)
{
    return {row.listPrice, row.sale, row.salePrice, row.markedUpPrice, row.fixedPrice};
}

Services::Outcome<QHash<QString, VatRate>> vatRates(Services::DataAccess &db)
{
    const auto rows = db.tryOpenRecordset(
        QStringLiteral("SELECT CODICE, ALIQUOTA, DESCRIZIONE FROM %1").arg(Tables::TAB_PERIVA), {});
    if (!rows)
        return Services::Failure{QStringLiteral("Lettura codici IVA"), db.error().description};
    QHash<QString, VatRate> rates;
    for (const auto &r : *rows)
        rates.insert(r.at(0).toString().trimmed().toUpper(), {r.at(1).toDouble(), r.at(2).toString().trimmed()});
    return rates;
}

Services::Outcome<std::optional<Masterdata::PaymentCondition>> paymentConditionOf(Services::DataAccess &db,
                                                                                  const QString &code)
{
    const auto rows = Services::readRows(db, Masterdata::paymentConditionTable(), QStringLiteral("UPPER(CODICE) = UPPER(?)"),
                                         {code.trimmed()});
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<Masterdata::PaymentCondition>{};
    return std::optional<Masterdata::PaymentCondition>{Masterdata::paymentCondition(rows->first())};
}

Services::Outcome<std::optional<double>> agentRate(Services::DataAccess &db, int agent)
{
    const auto rows = db.tryOpenRecordset(
        QStringLiteral("SELECT PERC_PROV FROM %1 WHERE FORNITORE = ? AND AGENTE = 'A'").arg(Tables::ANAG_FOR),
        {agent});
    if (!rows)
        return Services::Failure{QStringLiteral("Lettura agente"), db.error().description};
    if (rows->isEmpty())
        return std::optional<double>{};
    return std::optional<double>{rows->first().at(0).toDouble()};
}

Services::Outcome<LatestDates> latestDates(Services::DataAccess &db, Family family, const QString &year,
                                           const QString &series)
{
    const auto rows = db.tryOpenRecordset(
        QStringLiteral("SELECT MAX(DATA_REG), MAX(DATA_DOC) FROM %1 WHERE ANNO = ? AND "
                       "COALESCE(TIPOFATT, '') = COALESCE(?, '')")
            .arg(headerTable(family).table),
        {year, series.trimmed()});
    if (!rows)
        return Services::Failure{QStringLiteral("Lettura fatture"), db.error().description};
    if (rows->isEmpty())
        return LatestDates{};
    return LatestDates{rows->first().at(0).toDate(), rows->first().at(1).toDate()};
}

} // namespace Orlavo::Sales

namespace Orlavo::Sales {

std::optional<QString> codeDescription(Services::DataAccess &db, const CodeSource &source, const QString &code)
{
    if (code.trimmed().isEmpty())
        return std::nullopt;
    bool number = true;
    const int numeric = code.trimmed().toInt(&number);
    if (source.numeric && !number)
        return std::nullopt;
    const QString match = source.numeric ? QStringLiteral("%1 = ?") : QStringLiteral("UPPER(%1) = UPPER(?)");
    const auto rows = db.openRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE %3%4")
                                           .arg(source.description, source.table, match.arg(source.key),
                                                source.condition.isEmpty() ? QString()
                                                                           : QStringLiteral(" AND ") + source.condition),
                                       {source.numeric ? QVariant(numeric) : QVariant(code.trimmed())},
                                       Services::databaseOf(source.table));
    if (!rows || rows->isEmpty())
        return std::nullopt;
    return rows->first().at(0).toString().trimmed();
}

} // namespace Orlavo::Sales
