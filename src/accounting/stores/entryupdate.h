#pragma once

#include "accounting/stores/entrystore.h"

namespace Orlavo::Accounting {

// An entry as loaded for modification: its lines in SEQUENZA order and
// the stamp of its first line, compared again before writing.
struct LoadedEntry {
    QString year;
    int number = 0;
    int registration = 0;
    QString causalType; // CAUSALET
    QString movement;   // MOVIMENTO
    QString stamp;
    bool printed = false; // a line is on the journal book
    QList<Services::Row> lines;

    // Typed by hand ("CC", "CO", "CA"): rewritten whole on modification.
    bool manual() const;
};
Services::Outcome<std::optional<LoadedEntry>> loadEntry(Services::DataAccess &db, const QString &year, int number);

// Refused once a line is on the journal book.
std::optional<QString> modifyRefusal(const LoadedEntry &loaded);

// An entry typed by hand, written again whole with its numbers and a new
// stamp (a cash receipt's VAT rows too), under the lock "CONTABILITA".
// ChangedElsewhere when the stored stamp is no longer the loaded one and
// the operator has not chosen to overwrite; Gone when it was deleted.
Services::WriteResult modifyManualEntry(Services::DataAccess &db, const LoadedEntry &loaded, const ManualEntry &entry,
                                        bool overwrite, const QDateTime &now = QDateTime::currentDateTime());

// What the operator may change on a line of a generated entry: amounts,
// signs and lines stay, since its VAT rows and documents hold them.
struct LineChange {
    int sequence = 0;
    QString account;
    QString description;
    QString costCentre;
};
struct EntryChange {
    QDate registrationDate;
    QString description;
    QList<LineChange> lines;
};

// A generated entry updated line by line in place. A line's bank is the
// payment bank kept on its account; a collection's or payment's bank
// reaches the due dates it settled; a changed account of an invoice's
// entry reaches that invoice, never another.
Services::WriteResult modifyGeneratedEntry(Services::DataAccess &db, const LoadedEntry &loaded,
                                           const EntryChange &change, bool overwrite,
                                           const QDateTime &now = QDateTime::currentDateTime());

} // namespace Orlavo::Accounting
