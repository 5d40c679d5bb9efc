#pragma once

#include "services/core/lookupcolumn.h"
#include "services/core/sqlterms.h"

#include <QList>
#include <QString>

namespace Orlavo::Ui {

// The statement of a lookup list and the values it binds.
struct LookupQuery {
    QString sql;
    Services::Params params;
};

// Builds the list's query: the columns' "X" conditions, their "C" filters
// (the typed text at the start of the value or of any word in it, without
// regard to case, "%" and "_" taken literally) and the caller's own
// condition (with the values it binds) joined by AND; a "K" statement replaces the whole. Rows come in
// the first column's order unless the statement orders them itself, and at
// most rowLimit + 1 are read, so the caller knows when the list was cut.
LookupQuery buildLookupQuery(const QString &table, const QList<Services::LookupColumn> &columns, const QString &condition,
                             int rowLimit, const Services::Params &conditionParams = {});

} // namespace Orlavo::Ui
