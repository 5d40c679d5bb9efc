#pragma once

#include "services/data/schema.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Orlavo::Services {

class WriteUnit;

// The rows every new archive starts with (VAT codes, a warehouse, ...),
// kept as readable files in schema/dati/<servizi|contab>/<TABLE>.txt: the
// first line names the columns, "*" marking those of the key; then one row
// per line, fields separated by ";"; "#" lines are comments.
namespace StandardData {

struct Table {
    QString name;
    QStringList columns;
    QList<int> key; // positions of the key columns
    QList<QStringList> rows;
};

// Every table of the kind, in name order.
QList<Table> tables(SchemaKind kind);
std::optional<Table> table(SchemaKind kind, const QString &name);

// Parses one file's text; nothing when the header is missing or has no key.
std::optional<Table> parse(const QString &name, const QString &text);

// Inserts, inside the unit, each standard row whose key is absent: applied
// again it neither duplicates nor overwrites what the operator changed.
bool apply(WriteUnit &unit, SchemaKind kind);

} // namespace StandardData

} // namespace Orlavo::Services
