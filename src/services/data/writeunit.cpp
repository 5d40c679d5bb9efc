#include "services/data/writeunit.h"

namespace Orlavo::Services {

WriteUnit::WriteUnit(DataAccess &db, QString where, Report report)
    : m_db(db), m_where(std::move(where)), m_report(report)
{
    m_begun = m_db.beginTransBoth();
    if (!m_begun)
        fail();
}

WriteUnit::~WriteUnit()
{
    if (m_begun && !m_committed && !m_failed)
        m_db.rollbackTransBoth();
}

bool WriteUnit::exec(Target target, const QString &step, const QString &sql, const Params &params)
{
    if (!ok())
        return false;
    m_db.setStep(step);
    const int code = target == Target::Company ? m_db.executeSql(sql, params) : m_db.executeSqlServices(sql, params);
    if (code == kErrNone)
        return true;
    fail();
    return false;
}

Outcome<Recordset> WriteUnit::read(const QString &sql, const Params &params, Target target)
{
    if (!ok())
        return Failure{m_where, m_db.error().description};
    auto rows = m_db.openRecordset(sql, params, target);
    if (!rows)
        fail();
    return rows;
}

Outcome<Recordset> WriteUnit::readForUpdate(const QString &sql, const Params &params, Target target)
{
    if (!ok())
        return Failure{m_where, m_db.error().description};
    auto rows = m_db.openRecordsetForUpdate(sql, params, target);
    if (!rows)
        fail();
    return rows;
}

bool WriteUnit::commit()
{
    if (!ok())
        return false;
    if (m_db.commitTransBoth()) {
        m_committed = true;
        return true;
    }
    fail();
    return false;
}

void WriteUnit::fail()
{
    if (m_failed)
        return;
    m_failed = true;
    // A unit that never began must not roll back someone else's transaction.
    if (m_begun)
        m_db.rollbackTransBoth();
    m_db.setBusy(false);
    // A refusal of read-only archives has been told already.
    if (m_report == Report::OnFailure && m_db.error().code != kErrReadOnly)
        m_db.reportDbError(m_where, false);
}

void WriteUnit::abandon()
{
    if (!ok())
        return;
    m_failed = true;
    m_db.rollbackTransBoth();
}

Failure WriteUnit::failure() const
{
    const DbErrorState &e = m_db.error();
    return Failure{m_where, QStringLiteral("Step %1 - Errore DB: %2 - %3").arg(e.step, e.number, e.description)};
}

ArchiveLock::ArchiveLock(DataAccess &db, const QString &area) : m_db(db)
{
    m_held = m_db.lockArchive(area);
}

ArchiveLock::~ArchiveLock()
{
    release();
}

bool ArchiveLock::release()
{
    if (m_held && m_db.unlockArchive())
        m_held = false;
    return !m_held;
}

} // namespace Orlavo::Services
