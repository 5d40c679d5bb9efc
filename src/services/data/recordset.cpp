#include "services/data/recordset.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Orlavo::Services {

QVariant Recordset::Row::value(const QString &column) const
{
    const auto it = m_set->m_index.constFind(column.toUpper());
    if (it == m_set->m_index.cend() || m_index < 0 || m_index >= m_set->m_rows.size())
        return {};
    return m_set->m_rows.at(m_index).at(*it);
}

QVariant Recordset::Row::at(int position) const
{
    if (m_index < 0 || m_index >= m_set->m_rows.size())
        return {};
    return m_set->m_rows.at(m_index).value(position);
}

std::optional<Recordset> Recordset::fetchAll(QSqlQuery &query)
{
    Recordset set;
    const QSqlRecord record = query.record();
    const int count = record.count();
    for (int i = 0; i < count; ++i) {
        const QString name = record.fieldName(i);
        set.m_columns.append(name);
        // The first of two equal names wins, as a join's "SELECT *" reads.
        set.m_index.insert(name.toUpper(), set.m_index.value(name.toUpper(), i));
    }
    while (query.next()) {
        QVariantList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i)
            row.append(query.value(i));
        set.m_rows.append(std::move(row));
    }
    if (query.lastError().isValid())
        return std::nullopt;
    return set;
}

} // namespace Orlavo::Services
