#pragma once

// The invoices worked by hand that the posting tests and the workstation
// worker post: rows 4 × 25,00 at 22 % and 5 × 10,00 at 10 %, customer 7.

#include "sales/stores/invoiceposting.h"
#include "services/data/counters.h"
#include "services/data/standarddata.h"
#include "services/data/writeunit.h"

namespace Orlavo::Sales::Worked {

inline const QString kWorkedYear = QStringLiteral("2025");

inline std::optional<VatRate> rates(const QString &code)
{
    if (code == QLatin1String("22"))
        return VatRate{22, QStringLiteral("IVA 22%")};
    if (code == QLatin1String("10"))
        return VatRate{10, QStringLiteral("IVA 10%")};
    return std::nullopt;
}

struct Line {
    const char *item; // "" for a row of text and amount
    double quantity;
    double price;
    const char *vat;
    const char *account;
};

inline const QList<Line> kWorked{{"VITE", 4, 25, "22", "R1"}, {"DADO", 5, 10, "10", "R2"}};

// The customer and the two items the worked invoices name, and the counters
// of their year, in the caller's unit.
inline bool seedWorkedInvoices(Services::WriteUnit &unit)
{
    if (!Services::StandardData::apply(unit, Services::SchemaKind::Services) ||
        !Services::StandardData::apply(unit, Services::SchemaKind::Company) ||
        !Services::Counters::insertFirstYearCounters(unit, kWorkedYear, false))
        return false;
    for (const char *sql :
         {"INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'EDILIZIA ROSSI')",
          "INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, ESISTENZA) VALUES ('01', 'ABC', 'VITE', 20)",
          "INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, ESISTENZA) VALUES ('01', 'ABC', 'DADO', 20)"}) {
        if (!unit.execCompany(QStringLiteral("Prova"), QString::fromUtf8(sql)))
            return false;
    }
    return true;
}

// 30/60/90 days, month's end.
inline QList<Masterdata::DueLine> dueLines(double amount)
{
    Masterdata::PaymentCondition condition;
    condition.days = {30, 60, 90, 0};
    condition.start = QLatin1Char('F');
    return Masterdata::computeDueDates(amount, 2, QDate(2025, 1, 15), condition, 0).lines;
}

// The columns of a row, by name.
inline void fill(Services::Row &row, std::initializer_list<std::pair<const char *, QVariant>> values)
{
    for (const auto &[column, value] : values)
        row.set(QString::fromLatin1(column), value);
}

inline InvoicePosting workedInvoice(const char *type, const QList<Line> &lines, double discount = 0,
                                    double transport = 0, double withholdingRate = -1,
                                    Family family = Family::Definitive)
{
    InvoicePosting p;
    p.document = SalesDocument::empty(family);
    Services::Row &h = p.document.header;
    fill(h, {{"ANNO", kWorkedYear}, {"MOVIMENTO", QString::fromLatin1(type)}, {"CAUSALE", "VM"}, {"CLIENTE", 7}});
    fill(h, {{"DATA_REG", QDate(2025, 1, 15)}, {"DATA_DOC", QDate(2025, 1, 15)}, {"COND_PAG", "R36"}});
    fill(h, {{"CONTO_CLI", "C1"}, {"CONTO_IVA", "IVV"}, {"CONTO_SCONTI", "SC"}, {"CONTO_TRA", "TR"}});
    SummaryInput input;
    input.type = QString::fromLatin1(type);
    input.currency = currencyOfYear(kWorkedYear);
    input.headerDiscounts = {discount, 0, 0};
    if (transport != 0) {
        input.transport = {transport, QStringLiteral("22")};
        fill(h, {{"SPESE_TRA", transport}, {"IVA_TRA", "22"}});
    }
    h.set(QStringLiteral("SCONTO1"), discount);
    if (withholdingRate >= 0) {
        input.withholding = true;
        input.withholdingRate = withholdingRate;
        fill(h, {{"PERC_RIT", withholdingRate}, {"CONTO_RIT", "RIT"}, {"DATA_RIT", QDate(2025, 1, 20)}});
    }
    for (const Line &line : lines) {
        Services::Row row = p.document.newRow();
        const QString item = QString::fromLatin1(line.item);
        if (!item.isEmpty())
            fill(row, {{"MAGAZ", "01"}, {"MARCA", "ABC"}, {"ARTICOLO", item}});
        fill(row, {{"QTA", line.quantity}, {"PREZZO", line.price}, {"COD_IVA", QString::fromLatin1(line.vat)}});
        row.set(QStringLiteral("NETTO"), line.quantity == 0 ? line.price : line.quantity * line.price);
        row.set(QStringLiteral("CONTO"), QString::fromLatin1(line.account));
        p.document.rows.append(row);
        SummaryRow summaryRow;
        summaryRow.vatCode = QString::fromLatin1(line.vat);
        summaryRow.quantity = line.quantity;
        summaryRow.price = line.price;
        summaryRow.amount = row.number(QStringLiteral("NETTO"));
        summaryRow.item = !item.isEmpty();
        input.rows.append(summaryRow);
    }
    p.summary = summarise(input, {}, rates);
    p.dueLines = dueLines(p.summary.totalNet);
    return p;
}

} // namespace Orlavo::Sales::Worked
