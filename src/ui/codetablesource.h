#pragma once

#include "services/core/outcome.h"
#include "services/core/record.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Ui {

// What the code-table editor asks of its table: the rows, the checks, the
// records that use a code, and the writes under the lock.
class CodeTableSource
{
public:
    virtual ~CodeTableSource() = default;

    virtual const Services::TableDef &table() const = 0;
    // The code column.
    virtual QString key() const = 0;
    // Every row in code order; none when the read failed (reported).
    virtual QList<Services::Row> rows() = 0;
    // The failing checks, in order; `loadedCode` is empty for a new row, and
    // with `only` they are that column's.
    virtual QList<Services::FieldProblem> check(const Services::Row &row, const QString &loadedCode,
                                                const QString &only = {}) = 0;
    // The message of a code found stored.
    virtual QString taken(const Services::Row &row) = 0;
    virtual Services::StoredState stored(const Services::Row &loaded) = 0;
    // The labels of the records that use the code.
    virtual Services::Outcome<QStringList> uses(const QString &code) = 0;
    // The change asks the uses first.
    virtual bool asksUses(const Services::Row &row, const Services::Row &loaded) = 0;
    // The refused change of a code in use; the refused deletion.
    virtual QString usedMessage() const = 0;
    virtual QString deleteRefused(const QStringList &uses) const = 0;
    virtual Services::WriteResult insert(const Services::Row &row) = 0;
    virtual Services::WriteResult update(const Services::Row &row, const Services::Row &loaded) = 0;
    virtual Services::WriteResult remove(const Services::Row &loaded) = 0;
};

// The source over a subsystem's description of a coded table: `Table`
// brings its def, key and usedMessage, and beside it, in its namespace, the
// functions listCodedRows, checkCodedRow, takenMessage, storedState,
// codeUses, touchesKept, deleteRefusal and insert-, update- and
// deleteCodedRow, each write ending with its result and its uses.
template <class Table> class CodedTableSource final : public CodeTableSource
{
public:
    CodedTableSource(Services::DataAccess &db, const Table &description) : m_db(db), m_table(description) {}

    const Services::TableDef &table() const override { return *m_table.def; }
    QString key() const override { return m_table.key; }
    QList<Services::Row> rows() override
    {
        auto rows = listCodedRows(m_db, m_table);
        return rows ? *rows : QList<Services::Row>();
    }
    QList<Services::FieldProblem> check(const Services::Row &row, const QString &loadedCode,
                                        const QString &only) override
    {
        return checkCodedRow(m_db, m_table, row, loadedCode, only);
    }
    QString taken(const Services::Row &row) override { return takenMessage(m_db, m_table, row); }
    Services::StoredState stored(const Services::Row &loaded) override { return storedState(m_db, m_table, loaded); }
    Services::Outcome<QStringList> uses(const QString &code) override { return codeUses(m_db, m_table, code); }
    bool asksUses(const Services::Row &row, const Services::Row &loaded) override
    {
        return touchesKept(m_db, m_table, row, loaded);
    }
    QString usedMessage() const override { return m_table.usedMessage; }
    QString deleteRefused(const QStringList &uses) const override { return deleteRefusal(m_table, uses); }
    Services::WriteResult insert(const Services::Row &row) override { return insertCodedRow(m_db, m_table, row); }
    Services::WriteResult update(const Services::Row &row, const Services::Row &loaded) override
    {
        return updateCodedRow(m_db, m_table, row, loaded);
    }
    Services::WriteResult remove(const Services::Row &loaded) override { return deleteCodedRow(m_db, m_table, loaded); }

private:
    Services::DataAccess &m_db;
    const Table &m_table;
};

} // namespace Orlavo::Ui
