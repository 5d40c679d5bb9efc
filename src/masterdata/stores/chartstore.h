#pragma once

#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include <QList>
#include <QString>

#include <functional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A table kept by one code column that an update may change (the chart of
// accounts, the accounting causals): its checks, the titles of its error
// reports and the labels of its statements.
struct CodedTable {
    const Services::TableDef *def = nullptr;
    QString key;
    // In the order the operator meets their messages (none when the
    // table's own store makes them for each row). The Unique check of the
    // code runs for a new code or a changed one only.
    QList<Services::CheckDef> checks;
    QString saveTitle, deleteTitle;
    QString insertStep, updateStep, deleteStep;
};

// Every row in code order.
Services::Outcome<QList<Services::Row>> listCodedRows(Services::DataAccess &db, const CodedTable &table);
// The failing checks, in order. `loadedCode` is the code the row was loaded
// under, empty for a new row; with `only`, that column's checks.
QList<Services::FieldProblem> checkCodedRow(Services::DataAccess &db, const CodedTable &table, const Services::Row &row,
                                            const QString &loadedCode, const QString &only = {});

// The stored row read again and compared with the row as loaded, before
// an update or a delete.
Services::StoredState storedState(Services::DataAccess &db, const CodedTable &table, const Services::Row &loaded);

// How a deletion ended; `inUse` when the refusal found the row in use under
// the lock, and then nothing was deleted.
struct Deletion {
    Services::WriteResult result;
    bool inUse = false;
};

// The writes take the lock TUTTO and run in one write unit. A new code
// found stored under the lock is Duplicate (its column the key), a row
// found gone is Gone; nothing is written then.
Services::WriteResult insertCodedRow(Services::DataAccess &db, const CodedTable &table, const Services::Row &row);
// Every column written, the code too, where the code as loaded is.
Services::WriteResult updateCodedRow(Services::DataAccess &db, const CodedTable &table, const Services::Row &row,
                                     const Services::Row &loaded);
// `inUse`, asked under the lock, refuses the deletion when it says so.
Deletion deleteCodedRow(Services::DataAccess &db, const CodedTable &table, const Services::Row &loaded,
                        const std::function<Services::Outcome<bool>()> &inUse = {});

// The DESCRIZIONE of a code of a table keyed by CODICE (case ignored);
// empty for a blank or unknown code.
QString descriptionOfCode(Services::DataAccess &db, const QString &table, const QString &code);

// TAB_PIANO_CONTI: group, subgroup, code, description, type (C, R, P) and
// role. Its checks: the role first (known, and fit for the type), then
// description, type, code, subgroup and group.
const Services::TableDef &chartTable();
const CodedTable &chartOfAccounts();

// Whether journal lines name the account. An archive without the journal's
// table has none.
Services::Outcome<bool> accountInJournal(Services::DataAccess &db, const QString &code);
// The deletion, refused under the lock while the journal names the account.
Deletion deleteAccount(Services::DataAccess &db, const Services::Row &loaded);

} // namespace Orlavo::Masterdata
