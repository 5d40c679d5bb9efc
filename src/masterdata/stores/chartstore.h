#pragma once

#include "masterdata/stores/codedtable.h"

#include <QString>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// The DESCRIZIONE of a code of a table keyed by CODICE (case ignored);
// empty for a blank or unknown code.
QString descriptionOfCode(Services::DataAccess &db, const QString &table, const QString &code);

// TAB_PIANO_CONTI: group, subgroup, code, description, type (C, R, P) and
// role. Its checks: the role first (known, and fit for the type), then
// description, type, code, subgroup and group. An account the journal names
// is renamed (the lines keep the old code) but never deleted.
const Services::TableDef &chartTable();
const CodedTable &chartOfAccounts();

// Whether journal lines name the account (the chart's one use). An archive
// without the journal's table has none.
Services::Outcome<bool> accountInJournal(Services::DataAccess &db, const QString &code);

} // namespace Orlavo::Masterdata
