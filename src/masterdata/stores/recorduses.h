#pragma once

#include "services/core/outcome.h"
#include "services/core/sqlterms.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A table that records uses of a master record (a customer, a supplier, an
// item): the table and its database, the columns that hold the record's
// key, in key order, and the word a refused deletion names it by.
struct RecordUse {
    QString table;
    QStringList columns;
    QString label;
    Services::Target database = Services::Target::Company;
};

// The labels of the uses that hold the key, each label once, in list order.
// A record's list names only tables that exist: documents join the list of
// the records they use as their tables are created. A read that fails (a
// lock conflict), or a use whose columns do not match the key, is a
// failure: the record must not be deleted on a guess.
Services::Outcome<QStringList> usesOf(Services::DataAccess &db, const QList<RecordUse> &uses,
                                      const Services::Params &key);

// Whether the use's table is in the archive: documents' tables arrive with
// later schema steps, and a statement on a missing table ends the program.
bool tableExists(Services::DataAccess &db, const RecordUse &use);

} // namespace Orlavo::Masterdata
