#include "sales/stores/invoicesearch.h"

#include "sales/stores/salestables.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Sales {

Services::Outcome<InvoiceList> searchInvoices(Services::DataAccess &db, const InvoiceFilter &filter)
{
    QStringList where{QStringLiteral("T.ANNO = ?")};
    Services::Params params{filter.year};
    if (filter.from != 0) {
        where << QStringLiteral("T.NRO_DOC >= ?");
        params << filter.from;
    }
    if (filter.to != 0) {
        where << QStringLiteral("T.NRO_DOC <= ?");
        params << filter.to;
    }
    if (filter.customer != 0) {
        where << QStringLiteral("T.CLIENTE = ?");
        params << filter.customer;
    }
    if (filter.receipts == InvoiceFilter::Receipts::Only)
        where << QStringLiteral("T.MOVIMENTO = 'VFR'");
    else if (filter.receipts == InvoiceFilter::Receipts::Excluded)
        where << QStringLiteral("T.MOVIMENTO <> 'VFR'");
    const auto rows = db.openRecordset(
        QStringLiteral("SELECT T.ANNO, T.NRO_INT, T.NRO_DOC, T.DATA_DOC, T.MOVIMENTO, T.TIPOFATT, T.CLIENTE, "
                       "C.RAG_SOC1, T.TOTALE, T.STAMPATA, T.ANNULLATA FROM %1 T LEFT JOIN %2 C ON C.CLIENTE = "
                       "T.CLIENTE WHERE %3 ORDER BY T.ANNO, T.TIPOFATT, T.NRO_DOC, T.NRO_INT LIMIT %4")
            .arg(headerTable(filter.family).table, Services::Tables::ANAG_CLI, where.join(QStringLiteral(" AND ")))
            .arg(kInvoiceListLimit + 1),
        params);
    if (!rows)
        return rows.failure();
    InvoiceList list;
    for (const auto &r : *rows) {
        if (list.rows.size() == kInvoiceListLimit) {
            list.limited = true;
            break;
        }
        list.rows.append({r.at(0).toString(), r.at(1).toInt(), r.at(2).toInt(), r.at(3).toDate(),
                          r.at(4).toString().trimmed(), r.at(5).toString().trimmed(), r.at(6).toInt(),
                          r.at(7).toString().trimmed(), r.at(8).toDouble(), r.at(9).toInt() != 0,
                          r.at(10).toInt() != 0});
    }
    return list;
}

} // namespace Orlavo::Sales
