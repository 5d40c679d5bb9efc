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

// A table of codes that other records name (VAT codes, payment
// conditions): one row per code under the key CODICE, renamed by an update,
// and neither deleted nor changed in its kept columns while some record
// uses the code.
struct UsedCodeTable {
    const Services::TableDef *def = nullptr;
    // The checks in the order the operator meets their messages; the Unique
    // check of the code runs only for a new or a renamed code.
    QList<Services::CheckDef> checks;
    // The records keyed by the code; a table not in the archive yet is skipped.
    QList<RecordUse> uses;
    // The records keyed by the code and the open company's code.
    QList<RecordUse> companyUses;
    // Columns a code in use keeps (the code always keeps itself).
    QStringList keptWhenUsed;
    // The values a write derives from the typed ones.
    std::function<void(Services::Row &)> complete;
    QString where; // the write unit's operation
    QString insertStep, updateStep, renameStep, deleteStep;
    // The operation and the steps named after the table ("tab_periva").
    void name(const QString &operation, const QString &table);
    // What the operator reads: the refused deletion's first line, the
    // refused change of a code in use.
    QString deleteRefusedHead;
    QString usedMessage;
};

// How a write ended; `uses` names the records that refused it, and then
// nothing was written (`result.end` is NothingChanged).
struct CodeWrite {
    Services::WriteResult result;
    QStringList uses;
    bool refused() const { return !uses.isEmpty(); }
};

// Every row in code order; the row stored under the code (case ignored).
Services::Outcome<QList<Services::Row>> listUsedCodes(Services::DataAccess &db, const UsedCodeTable &table);
Services::Outcome<std::optional<Services::Row>> findUsedCode(Services::DataAccess &db, const UsedCodeTable &table,
                                                             const QString &code);

// The failing checks, in order. `loadedCode` is the stored code the row was
// loaded under, empty for a new row; with `only`, that column's checks.
QList<Services::FieldProblem> checkUsedCode(Services::DataAccess &db, const UsedCodeTable &table,
                                            const Services::Row &row, const QString &loadedCode,
                                            const QString &only = {});

// The labels of the records that use the code, each once, in list order.
Services::Outcome<QStringList> codeUses(Services::DataAccess &db, const UsedCodeTable &table, const QString &code);
// The change asks the uses first: a rename, or a kept column changed.
bool touchesKept(const UsedCodeTable &table, const Services::Row &row, const Services::Row &loaded);
// "Impossibile eliminare ...," and the uses on the next line.
QString deleteRefusal(const UsedCodeTable &table, const QStringList &uses);

// The writes take the lock TUTTO and run in one write unit. A code found
// stored under the lock is Duplicate (column CODICE), a row found gone is
// Gone, the uses are read again under the lock; nothing is written then.
CodeWrite insertUsedCode(Services::DataAccess &db, const UsedCodeTable &table, const Services::Row &row);
// Writes what changed from the row as loaded, then the new code, if any.
CodeWrite updateUsedCode(Services::DataAccess &db, const UsedCodeTable &table, const Services::Row &row,
                         const Services::Row &loaded);
CodeWrite deleteUsedCode(Services::DataAccess &db, const UsedCodeTable &table, const Services::Row &loaded);

// TAB_PERIVA: code, description, rate, kind (the letter and its text) and
// the base percentage, 100 unless typed.
const Services::TableDef &vatCodeTable();
const UsedCodeTable &vatCodes();
// The six kinds in the order offered: the letter and its DESC_TIPO.
const QList<std::pair<QString, QString>> &vatKinds();
QString vatKindText(const QString &kind);
// A new code: kind "P", base 100.
Services::Row newVatCode();

} // namespace Orlavo::Masterdata
