#pragma once

#include "dataaccess.h"

#include <QList>
#include <QString>

namespace Orlavo::Shell {

// One column of a lookup list: the table's column, its spec (two digits of
// width in characters, a letter, then an optional text whose use the letter
// gives) and the heading shown.
struct LookupColumn {
    QString name;
    QString spec;
    QString heading;
};

// A column spec taken apart. Letters: "C" filters on the text (typed by the
// operator), "X" adds a ready condition, "K" gives the whole statement;
// "B" and "F" list the column like any other. Width 0 hides the column.
struct ColumnSpec {
    int width = 0;
    QChar letter;
    QString extra;

    static ColumnSpec parse(const QString &spec);
    bool hidden() const { return width == 0; }
};

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
LookupQuery buildLookupQuery(const QString &table, const QList<LookupColumn> &columns, const QString &condition,
                             int rowLimit, const Services::Params &conditionParams = {});

// "%", "_" and the escape character itself made literal for LIKE ... ESCAPE '!'.
QString escapeLike(const QString &text);

} // namespace Orlavo::Shell
