#pragma once

#include <QChar>
#include <QString>

namespace Orlavo::Sales {

// The three families of tables a sales document lives in: definitive
// (posted), proposals (own numbering, posted nowhere) and the simulated
// invoices of a generation run.
enum class Family { Definitive, Proposal, Simulated };

// Document types are codes of the document types table beginning with
// "V". Any "VT..." is a credit note; "VFI" and "VTI" carry VAT only.
bool isCreditNote(const QString &type);
bool isVatOnly(const QString &type);
// The sign of the customer's journal line: 'A' for credit notes, else 'D'.
QChar customerSign(const QString &type);

// The printed heading, always as the report's named text:
// "DICITURA='NOTA D' ACCREDITO'". "VFR" is a tax receipt; a type the
// program does not name is an invoice, or a credit note when "VT...".
QString documentHeading(const QString &type, Family family);

// A document's currency follows its year: "2002" and after (as text) euro
// with 2 decimals, before it lire with none.
struct Currency {
    QString name; // "EURO" or "LIRE"
    int decimals = 2;
    bool lire() const { return decimals == 0; }
};
Currency currencyOfYear(const QString &year);

// An amount's euro value, to 2 decimals: lire divided by the fixed rate,
// euro as they are.
double euroValue(double amount, const Currency &currency);

} // namespace Orlavo::Sales
