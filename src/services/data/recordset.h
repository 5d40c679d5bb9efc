#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class QSqlQuery;

namespace Orlavo::Services {

// A query's rows, fully fetched, read by column name without regard to
// case. Copies share the data; any number may be open at once.
class Recordset
{
public:
    class Row
    {
    public:
        QVariant value(const QString &column) const;
        // The value as text; null reads as empty.
        QString text(const QString &column) const { return value(column).toString(); }
        int integer(const QString &column) const { return value(column).toInt(); }
        double number(const QString &column) const { return value(column).toDouble(); }
        bool isNull(const QString &column) const { return value(column).isNull(); }
        // By position, for readers that know the select list.
        QVariant at(int position) const;

    private:
        friend class Recordset;
        Row(const Recordset *set, qsizetype index) : m_set(set), m_index(index) {}
        const Recordset *m_set;
        qsizetype m_index;
    };

    Recordset() = default;
    // Every row of an executed query; nothing when reading failed part-way.
    static std::optional<Recordset> fetchAll(QSqlQuery &query);

    qsizetype size() const { return m_rows.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    Row at(qsizetype index) const { return Row(this, index); }
    Row first() const { return at(0); }
    const QStringList &columns() const { return m_columns; }
    bool hasColumn(const QString &column) const { return m_index.contains(column.toUpper()); }

    class Iterator
    {
    public:
        Iterator(const Recordset *set, qsizetype i) : m_set(set), m_i(i) {}
        Row operator*() const { return m_set->at(m_i); }
        Iterator &operator++()
        {
            ++m_i;
            return *this;
        }
        bool operator!=(const Iterator &other) const { return m_i != other.m_i; }

    private:
        const Recordset *m_set;
        qsizetype m_i;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }

private:
    QStringList m_columns;
    QHash<QString, int> m_index; // upper-cased name → position
    QList<QVariantList> m_rows;
};

} // namespace Orlavo::Services
