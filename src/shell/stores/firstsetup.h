#pragma once

#include "services/core/outcome.h"
#include "services/core/record.h"
#include "services/data/dataaccess.h"

#include <QString>

#include <optional>

namespace Orlavo::Services {
class Prompter;
class Settings;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// What the configuration utility asks on a first run.
struct FirstSetup {
    bool server = false;
    QString pathDb;                  // folder of the SQLite files
    Services::ServerKeys serverKeys; // PostgreSQL
    QString companyCode;
    QString companyName;
    QString adminUser = QStringLiteral("ADMIN");
    QString adminPassword;
    QString adminPasswordAgain;
    int year = 0;
    // Optional: the main bank (the first paying bank, on the chart's bank
    // account) and the default VAT code of the base data.
    QString bankName;
    QString bankAbi;
    QString bankCab;
    QString bankAccount;
    QString vatCode = QStringLiteral("22");
};

// The fields of the configuration, as its problems name them.
namespace SetupField {
inline const QString Folder = QStringLiteral("PATH_DB");
inline const QString Database = QStringLiteral("DATABASE");
inline const QString CompanyCode = QStringLiteral("SOCIETA");
inline const QString CompanyName = QStringLiteral("RAG_SOC");
inline const QString AdminUser = QStringLiteral("UTENTE");
inline const QString AdminPassword = QStringLiteral("PASSWORD");
inline const QString BankName = QStringLiteral("DESCRIZIONE");
inline const QString BankAbi = QStringLiteral("ABI");
inline const QString BankCab = QStringLiteral("CAB");
inline const QString BankAccount = QStringLiteral("NRO_CONTO");
inline const QString VatCode = QStringLiteral("PERCIVA");
} // namespace SetupField

// The code the main bank gets in the paying banks.
inline const QString kFirstBankCode = QStringLiteral("01");

// The VAT codes a new company starts with, as "code - description".
QStringList standardVatCodes();

// The checks in the order the utility asks, and the first failing one.
QList<Services::CheckDef> firstSetupChecks(const FirstSetup &setup);
std::optional<Services::FieldProblem> checkFirstSetup(const FirstSetup &setup);

// Creates the services and company databases with their first rows: the
// company in both, its base data with placeholders, the administrator, all
// or nothing. Archives of ours already in place are offered for use when
// whole, made again when an interrupted run left them without data, and
// otherwise never touched. A server's password goes first to the client's
// password file (~/.pgpass, owner only), never to CONT.INI: when it cannot
// be kept nothing is created. Gives the setup to register in CONT.INI: the
// found company and administrator when existing archives are used.
Services::Outcome<FirstSetup> createArchives(const FirstSetup &setup, Services::Prompter &prompter);

// CONT.INI for the new installation; false when it cannot be written.
bool writeFirstSettings(const Services::Settings &settings, const FirstSetup &setup);

} // namespace Orlavo::Shell
