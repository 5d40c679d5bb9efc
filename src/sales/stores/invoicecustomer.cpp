#include "sales/stores/invoicecustomer.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Sales {

namespace Tables = Services::Tables;

namespace {

constexpr int kInvoicecustomerStandardList = 99999;

} // namespace

Services::Outcome<std::optional<InvoiceCustomer>> invoiceCustomer(Services::DataAccess &db, int code)
{
    if (code == 0 || code == kInvoicecustomerStandardList)
        return std::optional<InvoiceCustomer>();
    const auto rows = db.openRecordset(
        QStringLiteral("SELECT RAG_SOC1, INDIRIZZO_LEG, CAP_LEG, CITTA_LEG, PROVINCIA_LEG, PART_IVA, COD_FISC, "
                       "COND_PAG, BANCA_APP, BANCA_PAG, CONTO_PATRIM, AGENTE, TIPOLISTINO, CONTO_RICAVO, CODICE_IVA, "
                       "SCONTO1, SCONTO2, SCONTO3, SCFATT, NAZIONE FROM %1 WHERE CLIENTE = ?")
            .arg(Tables::ANAG_CLI),
        {code});
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<InvoiceCustomer>();
    const auto row = rows->first();
    InvoiceCustomer c;
    c.name = row.text(QStringLiteral("RAG_SOC1"));
    c.address = row.text(QStringLiteral("INDIRIZZO_LEG"));
    c.postalCode = row.text(QStringLiteral("CAP_LEG"));
    c.town = row.text(QStringLiteral("CITTA_LEG"));
    c.province = row.text(QStringLiteral("PROVINCIA_LEG"));
    c.vatNumber = row.text(QStringLiteral("PART_IVA")).trimmed();
    c.taxCode = row.text(QStringLiteral("COD_FISC")).trimmed();
    c.paymentCondition = row.text(QStringLiteral("COND_PAG"));
    c.supportBank = row.text(QStringLiteral("BANCA_APP"));
    c.paymentBank = row.text(QStringLiteral("BANCA_PAG"));
    c.account = row.text(QStringLiteral("CONTO_PATRIM"));
    c.agent = row.integer(QStringLiteral("AGENTE"));
    c.priceList = row.text(QStringLiteral("TIPOLISTINO"));
    c.revenueAccount = row.text(QStringLiteral("CONTO_RICAVO"));
    c.vatCode = row.text(QStringLiteral("CODICE_IVA"));
    if (row.integer(QStringLiteral("SCFATT")) == 1)
        c.headerDiscounts = Discounts{row.number(QStringLiteral("SCONTO1")), row.number(QStringLiteral("SCONTO2")),
                                      row.number(QStringLiteral("SCONTO3"))};
    c.missingTaxIds = row.text(QStringLiteral("NAZIONE")).trimmed().toUpper() == QLatin1String("I") &&
                      c.vatNumber.isEmpty() && c.taxCode.isEmpty();
    const auto places = db.openRecordset(
        QStringLiteral("SELECT COD_LUOGO, DESC_LUOGO, INDIRIZZO, CITTA, CAP, PROV, PREDEF FROM %1 WHERE CLIENTE = ? "
                       "ORDER BY CASE WHEN PREDEF <> 0 THEN 0 ELSE 1 END, COD_LUOGO")
            .arg(Tables::CONS_MERCE),
        {code});
    if (!places)
        return places.failure();
    for (const auto &p : *places)
        c.places.append({p.integer(QStringLiteral("COD_LUOGO")), p.text(QStringLiteral("DESC_LUOGO")),
                         p.text(QStringLiteral("INDIRIZZO")), p.text(QStringLiteral("CITTA")),
                         p.text(QStringLiteral("CAP")), p.text(QStringLiteral("PROV")),
                         p.integer(QStringLiteral("PREDEF")) != 0});
    return std::optional<InvoiceCustomer>(c);
}

} // namespace Orlavo::Sales
