#pragma once

#include "accounting/rules/journalfilter.h"
#include "accounting/stores/entrystore.h"

#include <QStringList>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Accounting {

// One journal line as the listings show it.
struct JournalListLine {
    bool printed = false;   // STA_GIO
    bool cancelled = false; // ANNULLATA
    QString year;
    int number = 0;
    int sequence = 0;
    QDate registrationDate;
    int registrationNumber = 0;
    QDate movementDate;
    QString description; // DESCRI_GIORN
    QString causalType;
    QString causalTypeDescription;
    QString causal;
    QString account;
    QString accountDescription;
    QChar sign; // 'D' or 'A'
    double amount = 0;
    int customer = 0;
    QString customerName;
    int supplier = 0;
    QString supplierName;
    QString documentNumber;
    QDate documentDate;
    QString cheque;
};

struct JournalList {
    QList<JournalListLine> lines;
    bool limited = false; // more lines matched than `limit`
};

// The journal lines the selection picks, by year, number and sequence;
// `causalTypes` keeps only entries of those types (the entry lists: "CC"
// or "CO"). Every value bound; at most `limit` lines.
Services::Outcome<JournalList> listJournal(Services::DataAccess &db, const JournalSelection &selection,
                                           const QStringList &causalTypes, int limit);

// Whether a coded filter names something the archive knows.
bool filterValueKnown(Services::DataAccess &db, FilterField field, const QString &code);

// What an entry row keeps of its account: description, type and role.
struct AccountInfo {
    QString description;
    QChar type;
    QString role;
};
std::optional<AccountInfo> accountInfo(Services::DataAccess &db, const QString &code);

// A causal of the entry's mode, as choosing it fills the entry: three
// debit and three credit accounts (empty where none), and a cash
// receipt's VAT code.
struct CausalFill {
    QString description;
    QStringList debit;
    QStringList credit;
    QString vatCode;
};
std::optional<CausalFill> causalFill(Services::DataAccess &db, const QString &code, EntryMode mode);

// A VAT code's rate (0 when it has none); nothing when the code is unknown.
std::optional<double> vatRate(Services::DataAccess &db, const QString &code);

// A supplier's name; empty when unknown or 99999.
QString supplierName(Services::DataAccess &db, const QString &code);

// A causal's description, whatever its type; empty when unknown.
QString causalDescription(Services::DataAccess &db, const QString &code);

// A payment bank of TAB_BAN_PAG, or "***" for cash ("CASSA").
bool bankOrCashKnown(Services::DataAccess &db, const QString &code);
QString bankOrCashDescription(Services::DataAccess &db, const QString &code);

} // namespace Orlavo::Accounting
