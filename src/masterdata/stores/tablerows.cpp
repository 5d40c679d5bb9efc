#include "masterdata/stores/tablerows.h"

#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::WriteEnd;
using Services::WriteResult;

namespace {


} // namespace

Services::Outcome<QList<FormRow>> listFormRows(DataAccess &db, const TableForm &form)
{
    return Services::readRows(db, form.def, {}, {}, form.keyColumns().join(QStringLiteral(", ")));
}

Services::Outcome<std::optional<FormRow>> findFormRow(DataAccess &db, const TableForm &form, const FormRow &row)
{
    return Services::readRow(db, form.def, row.key());
}

WriteResult insertFormRow(DataAccess &db, const TableForm &form, const FormRow &row)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, form.saveWhere);
    auto stored = unit.read(Services::selectSql(form.def, Services::keyCondition(form.def)), row.key(), form.target);
    if (!stored)
        return WriteResult::of(WriteEnd::Failed);
    if (!stored->isEmpty()) {
        unit.abandon();
        return {WriteEnd::Duplicate, {}, form.keyColumns().first(), 0, {}, {}};
    }
    const QString step = form.table + QStringLiteral(" Insert ");
    if (!Services::insertRow(unit, row, step) || !unit.commit())
        return WriteResult::of(WriteEnd::Failed, step);
    return WriteResult::of(WriteEnd::Written);
}

WriteResult updateFormRow(DataAccess &db, const TableForm &form, const FormRow &row, const FormRow &loaded)
{
    if (row.changedFrom(loaded).isEmpty())
        return WriteResult::of(WriteEnd::NothingChanged);
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, form.saveWhere);
    const QString step = form.table + QStringLiteral(" Update ");
    int affected = 0;
    if (!Services::updateRow(unit, row, loaded, step, &affected))
        return WriteResult::of(WriteEnd::Failed, step);
    if (affected == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed, step);
}

WriteResult deleteFormRow(DataAccess &db, const TableForm &form, const FormRow &row)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, form.deleteWhere);
    const QString step = form.table + QStringLiteral(" Cancella tabl");
    int affected = 0;
    if (!Services::deleteRow(unit, form.def, row.key(), step, &affected))
        return WriteResult::of(WriteEnd::Failed, step);
    if (affected == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed, step);
}

} // namespace Orlavo::Masterdata
