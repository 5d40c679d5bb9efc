#pragma once

#include "archives.h"

#include <QStringList>

namespace Orlavo::Testing {

// Each row of a read, its values as `text` writes them joined by '|', the
// rows sorted: rows compare whatever their order.
template <typename Text> QStringList joinedRows(const Services::Recordset &rows, Text text)
{
    QStringList texts;
    for (const auto &row : rows) {
        QStringList values;
        for (int i = 0; i < int(rows.columns().size()); ++i)
            values << text(row.at(i));
        texts << values.join(QLatin1Char('|'));
    }
    texts.sort();
    return texts;
}

// The committed rows of a query, as another workstation reads them: each
// row its values joined by '|' (texts trimmed, figures to twelve digits),
// the rows sorted. A refused query fails the test.
inline QStringList committedRows(const TestArchives &archives, const QString &sql, const Services::Params &params = {})
{
    const auto rows = archives.rows(sql, params);
    if (!rows)
        return {};
    return joinedRows(*rows, [](const QVariant &value) {
        return value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'g', 12)
                                                   : value.toString().trimmed();
    });
}

} // namespace Orlavo::Testing
