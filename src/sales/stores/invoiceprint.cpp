#include "sales/stores/invoiceprint.h"

#include "sales/rules/documenttypes.h"
#include "sales/rules/printrows.h"
#include "services/core/tablenames.h"
#include "services/data/writeunit.h"

namespace Orlavo::Sales {

namespace Tables = Services::Tables;

Reporting::PrintCommand invoicePrint(const SalesDocument &document, bool summarised, const QString &user)
{
    const bool proposal = document.family == Family::Proposal;
    const QString header = proposal ? QStringLiteral("FVENDT_PR") : QStringLiteral("FVENDT");
    Reporting::PrintCommand command;
    command.key = proposal ? QStringLiteral("FATVEND_PR")
                           : summarised ? QStringLiteral("FATVENDRIEP") : QStringLiteral("FATVEND");
    QString formula = QStringLiteral("{%1.ANNO}='%2' and {%1.NRO_INT}=%3")
                          .arg(header, document.year())
                          .arg(document.number());
    if (command.key == QLatin1String("FATVENDRIEP"))
        formula += QStringLiteral(" and {FVENDD_R.UTENTE}='%1'").arg(QString(user).replace(QLatin1Char('\''),
                                                                                          QStringLiteral("''")));
    command.request.formula = formula;
    command.request.formulas =
        Reporting::parseNamedFormulas({documentHeading(document.header.text(QStringLiteral("MOVIMENTO")),
                                                       document.family)});
    command.title = QStringLiteral("Stampa Fattura");
    return command;
}

bool rebuildPrintRows(Services::DataAccess &db, const SalesDocument &document, const QString &user)
{
    QList<PrintRow> rows;
    for (const Services::Row &r : document.rows) {
        PrintRow p;
        p.row = r.integer(QStringLiteral("RIGA"));
        p.brand = r.text(QStringLiteral("MARCA")).trimmed();
        p.item = r.text(QStringLiteral("ARTICOLO")).trimmed();
        p.unit = r.text(QStringLiteral("UN_MIS")).trimmed();
        p.vat = r.text(QStringLiteral("COD_IVA")).trimmed();
        p.description = r.text(QStringLiteral("DESCRI"));
        p.free1 = r.text(QStringLiteral("LIBERO1"));
        p.free2 = r.text(QStringLiteral("LIBERO2"));
        p.quantity = r.number(QStringLiteral("QTA"));
        p.price = r.number(QStringLiteral("PREZZO"));
        p.amount = r.number(QStringLiteral("NETTO"));
        p.priceDecimals = r.integer(QStringLiteral("NDEC"));
        p.discounts = {r.number(QStringLiteral("SCONTO")), r.number(QStringLiteral("SCONTO2")),
                       r.number(QStringLiteral("SCONTO3"))};
        rows.append(p);
    }
    // A user without a name (a program run before any login) is the blank one.
    Services::WriteUnit unit(db, QStringLiteral("Stampa Fatture"));
    if (!unit.execCompany(QStringLiteral("Canc. FVENDD_R"),
                          QStringLiteral("DELETE FROM %1 WHERE UTENTE = COALESCE(?, '') AND ANNO = ? AND NRO_INT = ?")
                              .arg(Tables::FVENDD_R),
                          {user, document.year(), document.number()}))
        return false;
    int position = 0;
    for (const PrintRow &p : summarisePrintRows(rows)) {
        if (!unit.execCompany(
                QStringLiteral("Ins. FVENDD_R"),
                QStringLiteral("INSERT INTO %1 (UTENTE, ANNO, NRO_INT, RIGA, MARCA, ARTICOLO, UN_MIS, QTA, PREZZO, "
                               "NDEC, SCONTO, SCONTO2, SCONTO3, COD_IVA, DESCRI, NETTO, LIBERO1, LIBERO2) "
                               "VALUES (COALESCE(?, ''), ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                    .arg(Tables::FVENDD_R),
                {user, document.year(), document.number(), ++position, p.brand, p.item, p.unit, p.quantity, p.price,
                 p.priceDecimals, p.discounts[0], p.discounts[1], p.discounts[2], p.vat, p.description, p.amount,
                 p.free1, p.free2}))
            return false;
    }
    return unit.commit();
}

} // namespace Orlavo::Sales
