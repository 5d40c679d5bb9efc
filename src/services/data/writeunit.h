#pragma once

#include "services/data/dataaccess.h"

namespace Orlavo::Services {

// The write pattern as a scope: begins both transactions, runs one
// statement at a time under its step label, and at the first failure rolls
// both back, restores the pointer and reports the error under the
// operation's name. Whatever is not committed is rolled back on leaving.
class WriteUnit
{
public:
    enum class Report { OnFailure, Quiet };

    WriteUnit(DataAccess &db, QString where, Report report = Report::OnFailure);
    ~WriteUnit();
    WriteUnit(const WriteUnit &) = delete;
    WriteUnit &operator=(const WriteUnit &) = delete;

    // Begun, nothing failed, not yet committed.
    bool ok() const { return m_begun && !m_failed && !m_committed; }

    bool exec(Target target, const QString &step, const QString &sql, const Params &params = {});
    bool execCompany(const QString &step, const QString &sql, const Params &params = {})
    {
        return exec(Target::Company, step, sql, params);
    }
    bool execServices(const QString &step, const QString &sql, const Params &params = {})
    {
        return exec(Target::Services, step, sql, params);
    }
    // A read inside the unit; a lock conflict fails the unit.
    Outcome<Recordset> read(const QString &sql, const Params &params = {}, Target target = Target::Company);
    // A read of rows the unit will change.
    Outcome<Recordset> readForUpdate(const QString &sql, const Params &params = {}, Target target = Target::Company);

    bool commit();
    // Rolls back and reports; for a failure the caller found itself.
    void fail();
    // Rolls back without a report (nothing to do after all).
    void abandon();

    const DbErrorState &error() const { return m_db.error(); }
    // Rows the last statement touched.
    int rowsAffected() const { return m_db.rowsAffected(); }
    Failure failure() const;

private:
    DataAccess &m_db;
    QString m_where;
    Report m_report;
    bool m_begun = false;
    bool m_failed = false;
    bool m_committed = false;
};

// The lock area of the whole archive: one writer of documents, movements
// and tables at a time.
inline constexpr char kWholeArchive[] = "TUTTO";

// The exclusive archive lock as a scope: taken on construction, released on
// leaving when it was taken here.
class ArchiveLock
{
public:
    ArchiveLock(DataAccess &db, const QString &area);
    ~ArchiveLock();
    ArchiveLock(const ArchiveLock &) = delete;
    ArchiveLock &operator=(const ArchiveLock &) = delete;

    explicit operator bool() const { return m_held; }
    bool release();

private:
    DataAccess &m_db;
    bool m_held = false;
};

} // namespace Orlavo::Services
