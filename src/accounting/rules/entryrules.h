#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Accounting {

// A cash receipt's total split at the VAT code's rate: the taxable rounded
// to the currency's decimals, the VAT what is left.
struct ReceiptSplit {
    double taxable = 0;
    double vat = 0;
};
ReceiptSplit splitReceipt(double total, double rate, int decimals);

// A row of an entry's debit or credit grid as the operator filled it.
struct EntryRow {
    QString account;
    QString description;
    double amount = 0;
    // The account's type (C, R, P) once it is known in the chart.
    QChar accountType;
    // Applied to the row alone ("Applica alla riga selezionara").
    int customer = 0;
    int supplier = 0;
    QString costCentre;

    bool isEmpty() const { return account.trimmed().isEmpty() && description.trimmed().isEmpty() && amount == 0; }
};

// The rows without the empty ones, the following moved up.
QList<EntryRow> compacted(const QList<EntryRow> &rows);

// The cash receipt's rows after a change of total, VAT code or account:
// a single debit row with an account takes the total; with exactly two
// credit rows with an account, the one on a balance-sheet account gets the
// VAT and the other the taxable. Two of the same kind: no split.
void applyReceiptSplit(QList<EntryRow> &debit, QList<EntryRow> &credit, double total, const ReceiptSplit &split);

// The balance check: each side's sum against the entry's total, compared
// as printed at the currency's decimals; the message with total minus sum,
// or nothing when both sides balance.
std::optional<QString> balanceProblem(double total, double debitSum, double creditSum, int decimals);

// The registration date proposed in the working year: today while the
// year runs, 31/12 once it is past, 01/01 before it starts.
QDate proposedRegistrationDate(const QString &workingYear, const QDate &today);
bool inWorkingYear(const QDate &date, const QString &workingYear);

// The write stamp of the journal rows: year, month and day without
// leading zeros, then the time with milliseconds ("2025-3-7-14:05:09.123").
QString writeStamp(const QDateTime &now);

} // namespace Orlavo::Accounting
