#include "shell/stores/firstsetup.h"

#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/data/counters.h"
#include "services/data/schema.h"
#include "services/data/standarddata.h"
#include "services/data/writeunit.h"
#include "services/core/pgpass.h"
#include "shell/rules/password.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace Orlavo::Shell {

using Services::Failure;
using Services::Outcome;

namespace {

constexpr char kWhere[] = "Configurazione guidata";
// Column widths of SOCIETA.RAG_SOC1 and TAB_UTENTI.UTENTE.
constexpr int kCompanyNameLength = 60;
constexpr int kUserCodeLength = 20;
constexpr char kInsertCompany[] = "INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES (?, ?)";
constexpr char kInsertBaseData[] =
    "INSERT INTO %1 ( SOCIETA ,  BANCA ,  PERCIVA ,  NUMERAZ ,  LIQUIVA ,  DATASTAMP ) VALUES (?, ?, ?, ?, ?, ?)";
constexpr char kInsertAdmin[] =
    "INSERT INTO %1 (UTENTE, PWD, DESCRIZIONE, TIPO, NOME, COLLEGATO) VALUES (?, ?, ?, ?, ?, ?)";

// The rows of a new installation, in one transaction over both databases.
Outcome<void> writeFirstRows(const FirstSetup &setup, Services::Prompter &prompter)
{
    using namespace Services;
    AppState state;
    DataAccess db(state, prompter, QString());
    db.setExitHook([](int) {});
    ConnectionConfig config;
    config.dbType = setup.server ? QStringLiteral("SQL") : QStringLiteral("ACCESS2000");
    config.pathDb = asFolder(setup.pathDb);
    config.servicesFile = QStringLiteral("SERVIZI.MDB");
    config.server = setup.serverKeys;
    state.serverDb = setup.server;
    if (auto opened = db.openServices(config); !opened)
        return Failure{QStringLiteral("Gli archivi appena creati non si aprono."), opened.failure().message};
    if (auto opened = db.openCompany(setup.companyCode); !opened)
        return Failure{QStringLiteral("Gli archivi appena creati non si aprono."), opened.failure().message};

    const QString scrambled = scramblePassword(setup.adminPassword).value_or(QString());
    WriteUnit unit(db, QString::fromLatin1(kWhere), WriteUnit::Report::Quiet);
    const bool written =
        unit.execServices(QStringLiteral("Insert societa"), QString::fromLatin1(kInsertCompany).arg(Tables::SOCIETA),
                          {setup.companyCode, setup.companyName}) &&
        unit.execCompany(QStringLiteral("Insert societa contab"),
                         QString::fromLatin1(kInsertCompany).arg(Tables::SOCIETA_CONTAB),
                         {setup.companyCode, setup.companyName})
        // Placeholders that the base-data window asks to replace.
        &&
        unit.execServices(QStringLiteral("Insert datibase"), QString::fromLatin1(kInsertBaseData).arg(Tables::DATIBASE),
                          {setup.companyCode, QStringLiteral("-----"), QStringLiteral("--"), -1, QStringLiteral("M"),
                           QDate(1, 1, 1)}) &&
        unit.execServices(QStringLiteral("Insert utente"), QString::fromLatin1(kInsertAdmin).arg(Tables::TAB_UTENTI),
                          {setup.adminUser, sqlText(scrambled), QStringLiteral("AMMINISTRATORE"), QStringLiteral("2"),
                           setup.adminUser, QStringLiteral(" ")}) &&
        Counters::insertFirstYearCounters(unit, QString::number(setup.year), true) &&
        StandardData::apply(unit, SchemaKind::Services) && StandardData::apply(unit, SchemaKind::Company) &&
        unit.commit();
    if (!written)
        return unit.failure();
    return {};
}

Outcome<void> createSqliteArchives(const FirstSetup &setup, Services::Prompter &prompter)
{
    using Services::SchemaKind;
    const QString folder = Services::asFolder(setup.pathDb);
    if (!QDir().mkpath(folder))
        return Failure{QStringLiteral("Impossibile creare la cartella %1.").arg(folder), {}};
    const QString services = folder + QStringLiteral("SERVIZI.MDB");
    const QString company = folder + Services::companyFileName(setup.companyCode);
    for (const QString &file : {services, company}) {
        if (QFileInfo::exists(file))
            return Failure{QStringLiteral("L'archivio %1 esiste già: non viene sovrascritto.").arg(file), {}};
    }
    auto created = Services::Schema::createSqlite(services, SchemaKind::Services);
    if (created)
        created = Services::Schema::createSqlite(company, SchemaKind::Company);
    if (created)
        created = writeFirstRows(setup, prompter);
    if (!created) {
        QFile::remove(services);
        QFile::remove(company);
    }
    return created;
}

Outcome<void> createServerArchives(const FirstSetup &setup, Services::Prompter &prompter)
{
    using Services::SchemaKind;
    const QString name = QStringLiteral("orlavo-setup-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    Outcome<void> created;
    {
        QSqlDatabase db = setup.serverKeys.addConnection(name);
        const QString services = QString::fromLatin1(Services::kServicesSchema);
        const QString company = Services::companySchemaName(setup.companyCode);
        if (!db.open()) {
            created = Failure{QStringLiteral("Server dati non raggiungibile."), db.lastError().text()};
        } else if (Services::Schema::postgresSchemaExists(db, services) ||
                   Services::Schema::postgresSchemaExists(db, company)) {
            created = Failure{QStringLiteral("Gli archivi esistono già sul server: non vengono sovrascritti."), {}};
        } else {
            created = Services::Schema::createPostgres(db, services, SchemaKind::Services);
            if (created)
                created = Services::Schema::createPostgres(db, company, SchemaKind::Company);
            if (created)
                created = writeFirstRows(setup, prompter);
            if (!created) {
                for (const QString &schema : {company, services}) {
                    QSqlQuery drop(db);
                    drop.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
                }
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return created;
}

} // namespace

QList<Services::CheckDef> firstSetupChecks(const FirstSetup &setup)
{
    namespace K = Services::Check;
    const QString server = QStringLiteral("SERVER");
    const QString again = setup.adminPasswordAgain;
    return {
        K::when(K::required(SetupField::Folder, QStringLiteral("Indicare la cartella degli archivi.")), server, false),
        K::when(K::required(SetupField::Database, QStringLiteral("Indicare il nome del database sul server.")), server,
                true),
        K::required(SetupField::CompanyCode, QStringLiteral("Codice della Societa - Obbligatorio !")),
        K::custom(SetupField::CompanyCode, QStringLiteral("Il codice della società è di due caratteri, lettere o cifre."),
                  [](const QVariant &v) {
                      const QString code = v.toString();
                      return code.size() == 2 && Services::isValidCompanyCode(code);
                  }),
        K::required(SetupField::CompanyName, QStringLiteral("Ragione Sociale - Obbligatoria !")),
        K::length(SetupField::CompanyName, kCompanyNameLength,
                  QStringLiteral("La ragione sociale è al massimo di %1 caratteri.").arg(kCompanyNameLength)),
        K::required(SetupField::AdminUser, QStringLiteral("Digitare il Codice Utente!")),
        K::length(SetupField::AdminUser, kUserCodeLength,
                  QStringLiteral("Il codice utente è al massimo di %1 caratteri.").arg(kUserCodeLength)),
        K::custom(SetupField::AdminPassword, QString::fromUtf8(kPasswordNotAllowed),
                  [](const QVariant &v) { return isStorablePassword(v.toString()); }),
        K::decide(SetupField::AdminPassword, QStringLiteral("Discordanza fra nuove password\nRidigitarle entrambe"),
                  [again](const QVariant &v) { return v.toString() == again; }),
    };
}

std::optional<Services::FieldProblem> checkFirstSetup(const FirstSetup &setup)
{
    const QHash<QString, QVariant> values{{QStringLiteral("SERVER"), setup.server},
                                          {SetupField::Folder, setup.pathDb},
                                          {SetupField::Database, setup.serverKeys.database},
                                          {SetupField::CompanyCode, setup.companyCode},
                                          {SetupField::CompanyName, setup.companyName},
                                          {SetupField::AdminUser, setup.adminUser},
                                          {SetupField::AdminPassword, setup.adminPassword}};
    const auto problems =
        Services::localProblems(firstSetupChecks(setup), [&values](const QString &column) { return values.value(column); });
    return problems.isEmpty() ? std::nullopt : std::optional(problems.first());
}

Outcome<void> createArchives(const FirstSetup &setup, Services::Prompter &prompter)
{
    if (const auto problem = checkFirstSetup(setup))
        return Failure{problem->message, {}};
    return setup.server ? createServerArchives(setup, prompter) : createSqliteArchives(setup, prompter);
}

Outcome<void> storeServerPassword(const FirstSetup &setup)
{
    const Services::ServerKeys &keys = setup.serverKeys;
    if (!setup.server || keys.password.isEmpty())
        return {};
    const QString error = Services::storePgPassword(keys.host, keys.port, keys.database, keys.user, keys.password);
    if (!error.isEmpty())
        return Failure{QStringLiteral("La password del server non si può conservare."), error};
    return {};
}

bool writeFirstSettings(const Services::Settings &settings, const FirstSetup &setup)
{
    const QString main = QStringLiteral("MAIN");
    bool ok =
        settings.write(main, QStringLiteral("TIPODB"),
                       setup.server ? QStringLiteral("SQL") : QStringLiteral("ACCESS2000")) &&
        settings.write(main, QStringLiteral("PATHDB"), setup.server ? QString() : Services::asFolder(setup.pathDb)) &&
        settings.write(main, QStringLiteral("DB"), QStringLiteral("CONTABXX.MDB")) &&
        settings.write(main, QStringLiteral("DBSER"), QStringLiteral("SERVIZI.MDB")) &&
        settings.write(main, QStringLiteral("ANNO"), QString::number(setup.year)) &&
        settings.write(main, QStringLiteral("ISOLATIONLEVEL"), QStringLiteral("1")) &&
        settings.write(QStringLiteral("UTENTE"), QStringLiteral("NOME"), setup.adminUser) &&
        settings.write(QStringLiteral("UTENTE"), QStringLiteral("COLLEGATO"), QStringLiteral(" "));
    if (ok && setup.server) {
        const QString pg = QStringLiteral("POSTGRESQL");
        const Services::ServerKeys &keys = setup.serverKeys;
        ok = settings.write(pg, QStringLiteral("HOST"), keys.host) &&
             settings.write(pg, QStringLiteral("PORT"), QString::number(keys.port)) &&
             settings.write(pg, QStringLiteral("DATABASE"), keys.database) &&
             settings.write(pg, QStringLiteral("USER"), keys.user) &&
             // Never in clear here: the server's password is in ~/.pgpass.
             settings.write(pg, QStringLiteral("PASSWORD"), QString());
    }
    // SOCIETA last: until it is there the next start is still a first run.
    return ok && settings.write(main, QStringLiteral("SOCIETA"), setup.companyCode);
}

} // namespace Orlavo::Shell
