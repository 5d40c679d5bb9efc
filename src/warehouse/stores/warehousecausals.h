#pragma once

#include "masterdata/stores/codedtable.h"

#include <QString>
#include <QStringList>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Warehouse {

// TAB_CAU_MAG as a table of codes: code, description and the flag PMA
// (the causal's loads enter the average purchase price), admitted only on
// loads ("C...") and openings ("A..."). A causal used by movements is
// neither deleted nor renamed; a code of the table of effects neither,
// whether used or not: every movement of it would lose its effect.
//
// Its own type, so that the editor's source finds, by the table's type,
// the uses and writes below in place of the masterdata ones; reading,
// checking and inserting are the masterdata functions.
struct CausalTable : Masterdata::CodedTable {
};

const CausalTable &warehouseCausals();

// The label a code of the table of effects is used under.
inline constexpr char kEffectUse[] = "Effetti di magazzino";

// The uses of a causal: the table of effects first, then the movements.
Services::Outcome<QStringList> codeUses(Services::DataAccess &db, const CausalTable &table, const QString &code);
// A code of the table of effects is refused a rename and a deletion with
// kEffectUse among the uses; nothing is written. Else the masterdata write.
Services::WriteResult updateCodedRow(Services::DataAccess &db, const CausalTable &table, const Services::Row &row,
                                     const Services::Row &loaded);
Services::WriteResult deleteCodedRow(Services::DataAccess &db, const CausalTable &table, const Services::Row &loaded);

} // namespace Orlavo::Warehouse
