#pragma once

#include "masterdata/stores/recorduses.h"
#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A table kept by one code column that an update may rename (VAT codes,
// payment conditions, the chart of accounts, the accounting causals): its
// checks, the records that use a code, what a used code keeps, the values a
// write derives, and the titles and labels of its statements.
struct CodedTable {
    const Services::TableDef *def = nullptr;
    QString key = QStringLiteral("CODICE");
    // The checks in the order the operator meets their messages; the Unique
    // check of the code runs only for a new or a renamed code.
    QList<Services::CheckDef> checks;
    // Checks that read the archive with the row's own values, in place of
    // `checks` when set.
    std::function<QList<Services::CheckDef>(Services::DataAccess &, const Services::Row &)> checksFor;
    // The records keyed by the code; a table not in the archive yet is skipped.
    QList<RecordUse> uses;
    // The records keyed by the code and the open company's code.
    QList<RecordUse> companyUses;
    // Columns a code in use keeps; the code keeps itself unless a rename
    // leaves the records that use it with the old code.
    QStringList keptWhenUsed;
    bool renameWhenUsed = false;
    // The values a write derives from the typed ones.
    std::function<void(Services::DataAccess &, Services::Row &)> complete;
    // An update writes every column, the code with them, where the code as
    // loaded is; else what changed, then the new code on its own.
    bool wholeRow = false;
    // The write units' operations and the statements' labels.
    QString saveTitle, deleteTitle;
    QString insertStep, updateStep, renameStep, deleteStep;
    // The same operation for every write and the steps named after the
    // table ("tab_periva").
    void name(const QString &operation, const QString &table);
    // What the operator reads: the refused deletion's first line, the
    // refused change of a code in use.
    QString deleteRefusedHead;
    QString usedMessage;
};

// Every row in code order; the row stored under the code (case ignored).
Services::Outcome<QList<Services::Row>> listCodedRows(Services::DataAccess &db, const CodedTable &table);
Services::Outcome<std::optional<Services::Row>> findCodedRow(Services::DataAccess &db, const CodedTable &table,
                                                             const QString &code);

// The failing checks, in order. `loadedCode` is the stored code the row was
// loaded under, empty for a new row; with `only`, that column's checks.
QList<Services::FieldProblem> checkCodedRow(Services::DataAccess &db, const CodedTable &table, const Services::Row &row,
                                            const QString &loadedCode, const QString &only = {});
// The message of a code found stored: the Unique check's.
QString takenMessage(Services::DataAccess &db, const CodedTable &table, const Services::Row &row);

// The stored row read again and compared with the row as loaded.
Services::StoredState storedState(Services::DataAccess &db, const CodedTable &table, const Services::Row &loaded);

// The labels of the records that use the code, each once, in list order.
Services::Outcome<QStringList> codeUses(Services::DataAccess &db, const CodedTable &table, const QString &code);
// The change asks the uses first: a rename, or a kept column changed.
bool touchesKept(Services::DataAccess &db, const CodedTable &table, const Services::Row &row,
                 const Services::Row &loaded);
// "Impossibile eliminare ...," and the uses on the next line.
QString deleteRefusal(const CodedTable &table, const QStringList &uses);

// The writes take the lock TUTTO and run in one write unit. A code found
// stored under the lock is Duplicate (its column the key), a row found gone
// is Gone, the uses are read again under the lock; nothing is written then.
Services::WriteResult insertCodedRow(Services::DataAccess &db, const CodedTable &table, const Services::Row &row);
Services::WriteResult updateCodedRow(Services::DataAccess &db, const CodedTable &table, const Services::Row &row,
                         const Services::Row &loaded);
Services::WriteResult deleteCodedRow(Services::DataAccess &db, const CodedTable &table, const Services::Row &loaded);

} // namespace Orlavo::Masterdata
