#pragma once

#include "archives.h"

#include <QStringList>

namespace Orlavo::Testing {

// The committed rows of a query, as another workstation reads them: each
// row its values joined by '|' (texts trimmed, figures to twelve digits),
// the rows sorted. A refused query fails the test.
inline QStringList committedRows(const TestArchives &archives, const QString &sql, const Services::Params &params = {})
{
    Workstation reader(archives.config());
    const auto rows = reader.rows(sql, params);
    QStringList texts;
    if (!rows)
        return texts;
    for (const auto &row : *rows) {
        QStringList values;
        for (int i = 0; i < int(rows->columns().size()); ++i) {
            const QVariant value = row.at(i);
            values << (value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'g', 12)
                                                           : value.toString().trimmed());
        }
        texts << values.join(QLatin1Char('|'));
    }
    texts.sort();
    return texts;
}

} // namespace Orlavo::Testing
