#pragma once

#include "accounting/rules/entryrules.h"
#include "services/core/outcome.h"
#include "services/core/record.h"

#include <QDateTime>

namespace Orlavo::Services {
class DataAccess;
class WriteUnit;
} // namespace Orlavo::Services

namespace Orlavo::Accounting {

// Writers of entries take the archive lock under this area and report
// their failures under this title.
inline constexpr char kEntryLockArea[] = "CONTABILITA";
inline constexpr char kEntryWhere[] = "Inserim. Conto a Conto ";

// The two kinds of entry typed by hand: account to account (causal type
// "CC", movement "RCC") and cash receipts ("CO", "RCO", with VAT).
enum class EntryMode { General, CashReceipt };
QString causalTypeOf(EntryMode mode);

// An entry as the entry window holds it.
struct ManualEntry {
    EntryMode mode = EntryMode::General;
    QString year;
    QDate movementDate;
    QString causal;
    QString description;
    double total = 0;
    QDate registrationDate;
    QString vatCode;
    QString bank;
    int customer = 0;
    int supplier = 0;
    QString costCentre;
    // Customer, supplier and cost centre of each row instead of the
    // header's ("Applica alla riga selezionara").
    bool perRow = false;
    QList<EntryRow> debit;
    QList<EntryRow> credit;
    int decimals = 2;
};

// The checks before registering, in their order; the window shows the
// last failing one. A row's problem names its column "DARE<n>" or
// "AVERE<n>" (n from 1, after the empty rows were removed).
QList<Services::FieldProblem> entryProblems(Services::DataAccess &db, const ManualEntry &entry);

// The entry's lines and, for a cash receipt, its VAT rows, under the
// numbers given, inside the caller's unit.
bool writeEntry(Services::WriteUnit &unit, const ManualEntry &entry, int number, int registration,
                const QString &stamp);

// A new entry: under the lock "CONTABILITA", in one write unit, its number
// from the year's NROINT counter (and a cash receipt's registration number
// from CORRISPETTIVI), its lines and, for a cash receipt, its IVA and IVA2
// rows. The rows are taken as they are: the checks are the window's.
struct Registered {
    Services::WriteResult result;
    int number = 0;
    int registration = 0;
};
Registered registerEntry(Services::DataAccess &db, const ManualEntry &entry,
                         const QDateTime &now = QDateTime::currentDateTime());

// Deletes an entry typed by hand and, for a cash receipt, its VAT rows,
// under the lock "CONTABILITA". Refused once printed on the journal book,
// and for an entry another program generated.
Services::WriteResult deleteManualEntry(Services::DataAccess &db, const QString &year, int number);
// Why an entry may not be deleted here, or nothing.
Services::Outcome<std::optional<QString>> deleteRefusal(Services::DataAccess &db, const QString &year, int number);

} // namespace Orlavo::Accounting
