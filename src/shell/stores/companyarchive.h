#pragma once

#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
struct ConnectionConfig;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// SOCIETA in the services database; each company keeps a copy of its own
// row (SOCIETA_CONTAB) with the same columns.
const Services::TableDef &companyTable();
const Services::FamilyDef &companyFamily();

// A company as a one-part record.
using CompanyRecord = Services::Record;
CompanyRecord newCompany();

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

// The field checks in order. The code's uniqueness is checked only for a
// new company.
QList<Services::CheckDef> companyChecks(CompanyMode mode, const CompanyReferences &references);
// Every failing check; with `only`, the checks of that field alone (on
// leaving it).
QList<Services::FieldProblem> checkCompany(Services::DataAccess &db, const CompanyRecord &record, CompanyMode mode,
                                           const CompanyReferences &references, const QString &only = {});

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

// Writes what changed from `before` in the services database and rewrites
// the copy in the company's own database, in one transaction; errors are
// reported, nothing is written then.
bool updateCompany(Services::DataAccess &db, const CompanyRecord &record, const CompanyRecord &before);

} // namespace Orlavo::Shell
