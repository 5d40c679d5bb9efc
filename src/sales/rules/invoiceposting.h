#pragma once

#include "sales/rules/documenttypes.h"

#include <QChar>
#include <QDate>
#include <QList>
#include <QString>

namespace Orlavo::Sales {

// The counters a document takes its numbers from, each named with the
// year first: the internal number (definitive documents share NROINT with
// the journal; a proposal's internal number is its document number), the
// registration and the document number of its type and series.
struct InvoiceCounters {
    QString internal; // empty for a proposal
    QString registration;
    QString document;
};
// Credit notes ("VT...") count apart while `creditNotesApart` (base data
// NUMERAZ); debit notes ("VFD") while `debitNotesApart`
// (NUMERAZNOTEDEBSEP "SI"); proposals on the "_PR" twins.
InvoiceCounters invoiceCounters(const QString &year, const QString &type, const QString &series, Family family,
                                bool creditNotesApart, bool debitNotesApart);

// One line of an invoice's journal entry.
struct PostingLine {
    QString account;
    QChar sign; // 'D' or 'A'
    double amount = 0;
    QString description;
    int customer = 0;
    bool operator==(const PostingLine &) const = default;
};

// What the entry of an invoice is made of.
struct InvoiceFigures {
    QString type;
    int documentNumber = 0;
    QDate documentDate;
    int customer = 0;
    QString customerName;
    QString customerAccount;
    double total = 0; // TOTALE
    QString discountAccount;
    double discount = 0;
    // Row amounts in row order with their revenue accounts, and their sum
    // as the summary rounded it (TOTALE_MER).
    QList<std::pair<QString, double>> rows;
    double goods = 0;
    int decimals = 2;
    QString transportAccount, bankAccount, stampAccount;
    double transport = 0, bank = 0, stamp = 0;
    QString vatAccount;
    double vat = 0;
};

// "Emissione " and the type's description in lower case: the entry's text.
QString entryDescription(const QString &typeDescription);

// The customer line (the total, debit on an invoice, credit on a credit
// note, named after the customer or "Cliente generico"), the discounts
// line, then one line per revenue account (VAT-only types have none), the
// expenses added to their accounts' lines, the VAT line last. A counter
// line is credit on an invoice and debit on a credit note, swapped when its
// amount is negative, and always positive. Lines of no amount are left out.
// The revenue lines are rounded per account and the largest one takes what
// rounding leaves, so they add up to the goods total and the entry balances.
QList<PostingLine> invoiceLines(const InvoiceFigures &figures);

// The withholding entry: the customer's line of the amount withheld, credit
// on an invoice, and the withholding account's opposite line.
QList<PostingLine> withholdingLines(const InvoiceFigures &figures, const QString &withholdingAccount, double amount);
QString withholdingDescription(int documentNumber, const QDate &documentDate);

} // namespace Orlavo::Sales
