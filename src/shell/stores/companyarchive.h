#pragma once

#include "services/core/outcome.h"
#include "services/core/record.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
struct ConnectionConfig;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// One column of SOCIETA as the company windows edit it.
struct CompanyColumn {
    enum class Kind { Text, Date, Number };
    QString name;
    Kind kind = Kind::Text;
    int length = 0; // texts
};

// The columns in the order of the table (and of its INSERT).
const QList<CompanyColumn> &companyColumns();

// A company as typed: column name → text ("dd/mm/yyyy" for dates).
using CompanyRecord = QHash<QString, QString>;

enum class CompanyMode { Insert, Modify };

// Provinces and activities the checks read: the company tables when
// a company is open, else the standard data shipped with the program (the
// first company has no archive of its own yet).
class CompanyReferences
{
public:
    explicit CompanyReferences(Services::DataAccess &db);

    bool provinceExists(const QString &code) const;
    bool activityExists(const QString &code) const;

private:
    Services::DataAccess &m_db;
};

// The field checks in order; every failing one. The code's uniqueness is
// checked only for a new company.
QList<Services::FieldProblem> checkCompany(const CompanyRecord &record, CompanyMode mode, Services::DataAccess &db,
                                   const CompanyReferences &references);
// The check of one field alone (on leaving it).
std::optional<Services::FieldProblem> checkCompanyField(const QString &column, const CompanyRecord &record, CompanyMode mode,
                                                Services::DataAccess &db, const CompanyReferences &references);

// The registered company; nothing (after "Il cliente non esiste in
// archivio ") when the row is missing.
std::optional<CompanyRecord> loadCompany(Services::DataAccess &db, const QString &code);

// Registers a new company: its own database first (schema, standard data,
// first-year counters, its copy of the SOCIETA row), then the SOCIETA and
// DATIBASE rows of the services database, all in one transaction. A
// database that exists already is used when it is a company archive (the
// operator is told) and refuses the registration otherwise; a database
// created here is removed again when anything fails. Errors are reported.
bool registerCompany(Services::DataAccess &db, const CompanyRecord &record);

// Updates the company in the services database and its copy in its own
// database, in one transaction; errors are reported, nothing is written then.
bool updateCompany(Services::DataAccess &db, const CompanyRecord &record);

} // namespace Orlavo::Shell
