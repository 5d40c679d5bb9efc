#pragma once

#include "services/core/outcome.h"
#include "services/core/record.h"

#include <QDate>
#include <QList>
#include <QString>

namespace Orlavo::Services {
class DataAccess;
class WriteUnit;
} // namespace Orlavo::Services

namespace Orlavo::Accounting {

// One debit or credit line of an entry.
struct JournalLine {
    QString account;
    QChar sign; // 'D' debit, 'A' credit
    double amount = 0;
    QString description; // DESCRI_GIORN; blank: the entry's description
    QString costCentre;
    int customer = 0;
    int supplier = 0;
    QString bankOrCash; // BAN_CAS
    QString cheque;     // ASSEGNO: a cheque, or a cash receipt's VAT code
};

// An entry of the general journal, as every writer of accounting data
// hands it over: invoices, payments, closings and the entry windows.
struct JournalEntry {
    QString year;
    int number = 0; // NRO_INT
    QDate movementDate;
    QString documentNumber;
    QDate documentDate;
    int registrationNumber = 0;
    QDate registrationDate;
    QString movement; // "RCC", "RCO", "PAG", "VFM", ...
    QString causal;
    QString causalType;
    QString description;
    double total = 0;
    int decimals = 2; // the currency's amount decimals
    QList<JournalLine> lines;
};

// The VAT of one code of an entry: its kind (TIPO_CODICE) decides where
// the taxable goes.
struct VatLine {
    QString code;
    QChar kind; // P, D, E, N, S, X
    double rate = 0;
    double taxable = 0;
    double vat = 0;
    bool deductible = true;
    double deductibleTaxable = 0;
    double deductibleVat = 0;
    double nonDeductibleTaxable = 0;
    double nonDeductibleVat = 0;
};

// The VAT side of an entry: its register ('V' sales, 'A' purchases, 'C'
// cash receipts), sign, gross total and its codes.
struct VatRecord {
    QChar registerType;
    QChar sign;
    double total = 0;
    QList<VatLine> lines;
};

const Services::TableDef &journalTable();
const Services::TableDef &vatTable();
const Services::TableDef &vatSummaryTable();

// The entry's lines into GIORN inside the caller's unit: debit lines
// first, then credit lines, SEQUENZA from 1, lines of no amount left out,
// the total and the entry's description on every line. Step labels
// "Ins. ContoDare" and "Ins. ContoAvere" unless the caller names others.
bool writeJournal(Services::WriteUnit &unit, const JournalEntry &entry, const QString &stamp,
                  const QString &debitStep = QStringLiteral("Ins. ContoDare"),
                  const QString &creditStep = QStringLiteral("Ins. ContoAvere"));

// One IVA row per code and the IVA2 summary of the entry: the taxable in
// the column of its kind; kinds P and D fill the five rate slots in the
// order they first appear, the exempt kinds their own total with the code.
bool writeVat(Services::WriteUnit &unit, const JournalEntry &entry, const VatRecord &vat, const QString &stamp);

// The entry's journal lines, and its VAT rows when `withVat`.
bool deleteEntry(Services::WriteUnit &unit, const QString &year, int number, bool withVat);

// The lines of an entry as written, by SEQUENZA.
Services::Outcome<QList<Services::Row>> readJournal(Services::DataAccess &db, const QString &year, int number);

// Read back inside the unit: debit and credit of the entry add up to the
// same figure at the currency's decimals.
Services::Outcome<bool> entryBalanced(Services::WriteUnit &unit, const QString &year, int number, int decimals);

} // namespace Orlavo::Accounting
