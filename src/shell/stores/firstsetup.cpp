#include "shell/stores/firstsetup.h"

#include "shell/stores/foundarchives.h"

#include "masterdata/stores/accountroles.h"
#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/data/counters.h"
#include "services/data/prompter.h"
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
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

namespace Orlavo::Shell {

using Services::Failure;
using Services::Outcome;

namespace {

constexpr char kSetupWhere[] = "Configurazione guidata";
// The hidden folder a new installation is built in.
constexpr char kBuildFolder[] = ".configurazione-";
// Column widths of SOCIETA.RAG_SOC1 and TAB_UTENTI.UTENTE.
constexpr int kCompanyNameLength = 60;
constexpr int kUserCodeLength = 20;
// TAB_BAN_PAG.DESCRIZIONE and NRO_CONTO.
constexpr int kBankNameLength = 40;
constexpr int kAccountLength = 20;

bool fiveDigits(const QString &code)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{5}$"));
    return digits.match(code).hasMatch();
}
constexpr char kInsertCompany[] = "INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES (?, ?)";
constexpr char kInsertBaseData[] =
    "INSERT INTO %1 ( SOCIETA ,  BANCA ,  PERCIVA ,  NUMERAZ ,  LIQUIVA ,  DATASTAMP ) VALUES (?, ?, ?, ?, ?, ?)";
constexpr char kInsertBank[] =
    "INSERT INTO %1 (CODICE, DESCRIZIONE, ABI, CAB, NRO_CONTO, FIDO, CNT_CONTAB) VALUES (?, ?, ?, ?, ?, 0, ?)";
constexpr char kInsertAdmin[] =
    "INSERT INTO %1 (UTENTE, PWD, DESCRIZIONE, TIPO, NOME, COLLEGATO) VALUES (?, ?, ?, ?, ?, ?)";

bool hasBank(const FirstSetup &setup)
{
    return !(setup.bankName + setup.bankAbi + setup.bankCab + setup.bankAccount).trimmed().isEmpty();
}

bool insertFirstBank(Services::WriteUnit &unit, const FirstSetup &setup)
{
    // The bank's account: the one carrying the bank role.
    const auto account = Masterdata::roleAccount(unit, QStringLiteral("BAN"));
    if (!account)
        return false;
    return unit.execCompany(QStringLiteral("Insert banca"),
                            QString::fromLatin1(kInsertBank).arg(Services::Tables::TAB_BAN_PAG),
                            {kFirstBankCode, setup.bankName, setup.bankAbi, setup.bankCab,
                             Services::sqlText(setup.bankAccount), account->code});
}

// The rows of a new installation, in one transaction over both databases;
// on a server the two schemas are made in the same transaction, so an
// interruption leaves nothing there.
Outcome<void> writeFirstRows(const FirstSetup &setup, const QString &folder, Services::Prompter &prompter)
{
    using namespace Services;
    AppState state;
    DataAccess db(state, prompter, QString());
    db.setExitHook([](int) {});
    ConnectionConfig config;
    config.dbType = setup.server ? QStringLiteral("SQL") : QStringLiteral("ACCESS2000");
    config.pathDb = folder;
    config.servicesFile = QStringLiteral("SERVIZI.MDB");
    config.server = setup.serverKeys;
    config.creating = setup.server;
    state.serverDb = setup.server;
    if (auto opened = db.openServices(config); !opened)
        return Failure{QStringLiteral("Gli archivi appena creati non si aprono."), opened.failure().message};
    if (auto opened = db.openCompany(setup.companyCode); !opened)
        return Failure{QStringLiteral("Gli archivi appena creati non si aprono."), opened.failure().message};

    WriteUnit unit(db, QString::fromLatin1(kSetupWhere), WriteUnit::Report::Quiet);
    if (setup.server) {
        const QString company = companySchemaName(setup.companyCode);
        Outcome<void> built = Schema::buildPostgres(db.connection(), QString::fromLatin1(kServicesSchema), SchemaKind::Services);
        if (built)
            built = Schema::buildPostgres(db.connection(), company, SchemaKind::Company);
        if (built && !QSqlQuery(db.connection()).exec(QStringLiteral("SET LOCAL search_path TO %1").arg(company)))
            built = Failure{QStringLiteral("Creazione archivio %1").arg(company), {}};
        if (!built) {
            unit.abandon();
            return built;
        }
    }
    const QString scrambled = scramblePassword(setup.adminPassword).value_or(QString());
    const bool written =
        unit.execServices(QStringLiteral("Insert societa"), QString::fromLatin1(kInsertCompany).arg(Tables::SOCIETA),
                          {setup.companyCode, setup.companyName}) &&
        unit.execCompany(QStringLiteral("Insert societa contab"),
                         QString::fromLatin1(kInsertCompany).arg(Tables::SOCIETA_CONTAB),
                         {setup.companyCode, setup.companyName})
        // Placeholders that the base-data window asks to replace.
        &&
        unit.execServices(QStringLiteral("Insert datibase"), QString::fromLatin1(kInsertBaseData).arg(Tables::DATIBASE),
                          {setup.companyCode, hasBank(setup) ? kFirstBankCode : QStringLiteral("-----"),
                           setup.vatCode.isEmpty() ? QStringLiteral("--") : setup.vatCode, -1, QStringLiteral("M"),
                           QDate(1, 1, 1)}) &&
        unit.execServices(QStringLiteral("Insert utente"), QString::fromLatin1(kInsertAdmin).arg(Tables::TAB_UTENTI),
                          {setup.adminUser, sqlText(scrambled), QStringLiteral("AMMINISTRATORE"), QStringLiteral("2"),
                           setup.adminUser, QStringLiteral(" ")}) &&
        Counters::insertFirstYearCounters(unit, QString::number(setup.year), true) &&
        StandardData::apply(unit, SchemaKind::Services) && StandardData::apply(unit, SchemaKind::Company) &&
        (!hasBank(setup) || insertFirstBank(unit, setup)) && unit.commit();
    if (!written)
        return unit.failure();
    return {};
}

// Built whole in a hidden folder beside, then moved in: the company file
// first, the services file last, so a services file in place always has its
// rows. What an interrupted run left in the hidden folder goes at the next.
Outcome<void> createSqliteArchives(const FirstSetup &setup, Services::Prompter &prompter)
{
    const QString folder = Services::asFolder(setup.pathDb);
    if (!QDir().mkpath(folder))
        return Failure{QStringLiteral("Impossibile creare la cartella %1.").arg(folder), {}};
    QDir place(folder);
    for (const QString &stale : place.entryList({QString::fromLatin1(kBuildFolder) + QLatin1Char('*')},
                                                QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        QDir(place.filePath(stale)).removeRecursively();
    QTemporaryDir build(folder + QLatin1String(kBuildFolder) + QStringLiteral("XXXXXX"));
    if (!build.isValid())
        return Failure{QStringLiteral("Impossibile scrivere nella cartella %1.").arg(folder), build.errorString()};
    const QString scratch = Services::asFolder(build.path());
    const QString services = QStringLiteral("SERVIZI.MDB");
    const QString company = Services::companyFileName(setup.companyCode);
    for (const QString &file : {services, company}) {
        if (QFileInfo::exists(folder + file))
            return Failure{QStringLiteral("L'archivio %1 esiste già: non viene sovrascritto.").arg(folder + file), {}};
    }
    auto created = Services::Schema::createSqlite(scratch + services, Services::SchemaKind::Services);
    if (created)
        created = Services::Schema::createSqlite(scratch + company, Services::SchemaKind::Company);
    if (created)
        created = writeFirstRows(setup, scratch, prompter);
    if (!created)
        return created;
    if (!QFile::rename(scratch + company, folder + company))
        return Failure{QStringLiteral("Impossibile spostare l'archivio %1 nella cartella %2.").arg(company, folder), {}};
    if (!QFile::rename(scratch + services, folder + services)) {
        QFile::remove(folder + company);
        return Failure{QStringLiteral("Impossibile spostare l'archivio %1 nella cartella %2.").arg(services, folder), {}};
    }
    return {};
}

Outcome<void> createServerArchives(const FirstSetup &setup, Services::Prompter &prompter)
{
    return writeFirstRows(setup, QString(), prompter);
}

// The server's password in ~/.pgpass; nothing to do for SQLite or none.
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

// What to do with archives found in place: use them, make them again, or
// stop with the reason. Nothing found: create them.
Outcome<FirstSetup> settleFound(const FirstSetup &setup, const FoundArchives &found, Services::Prompter &prompter)
{
    using State = FoundArchives::State;
    using Button = Services::Prompter::Button;
    const QString title = QString::fromLatin1(kSetupWhere);
    switch (found.state) {
    case State::Kept:
        return Failure{found.refusal, {}};
    case State::Whole: {
        const QString question =
            QStringLiteral("In %1 ci sono già gli archivi del programma, non registrati in CONT.INI: società %2 \"%3\", "
                           "amministratore %4.\nUsarli?")
                .arg(found.place, found.companyCode, found.companyName, found.adminUser);
        if (prompter.ask(question, title, Services::Prompter::Icon::Question, Services::Prompter::Buttons::YesNo,
                         Button::Yes) != Button::Yes)
            return Failure{QStringLiteral("Configurazione interrotta: gli archivi esistenti restano come sono."), {}};
        FirstSetup registered = setup;
        registered.companyCode = found.companyCode;
        registered.companyName = found.companyName;
        registered.adminUser = found.adminUser;
        return registered;
    }
    case State::HalfMade: {
        const QString question = QStringLiteral("In %1 c'è quanto resta di una configurazione interrotta, senza dati:\n"
                                                "%2\nRifare gli archivi da capo?")
                                     .arg(found.place, found.leftovers.join(QLatin1Char('\n')));
        if (prompter.ask(question, title, Services::Prompter::Icon::Question, Services::Prompter::Buttons::YesNo,
                         Button::Yes) != Button::Yes)
            return Failure{QStringLiteral("Configurazione interrotta: gli archivi incompleti restano come sono."), {}};
        if (auto removed = removeLeftovers(setup, found); !removed)
            return removed.failure();
        break;
    }
    case State::Nothing:
        break;
    }
    auto created = setup.server ? createServerArchives(setup, prompter) : createSqliteArchives(setup, prompter);
    if (!created)
        return created.failure();
    return setup;
}

} // namespace

QStringList standardVatCodes()
{
    QStringList codes;
    if (const auto table = Services::StandardData::table(Services::SchemaKind::Company, QStringLiteral("TAB_PERIVA"))) {
        const int code = int(table->columns.indexOf(QStringLiteral("CODICE")));
        const int description = int(table->columns.indexOf(QStringLiteral("DESCRIZIONE")));
        for (const QStringList &row : table->rows)
            codes << row.value(code) + QStringLiteral(" - ") + row.value(description);
    }
    return codes;
}

QList<Services::CheckDef> firstSetupChecks(const FirstSetup &setup)
{
    namespace K = Services::Check;
    const QString server = QStringLiteral("SERVER");
    const QString again = setup.adminPasswordAgain;
    const bool bank = hasBank(setup);
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
        K::decide(SetupField::BankName, QStringLiteral("Descrizione Banca Pagamento - Obbligatoria !"),
                  [bank](const QVariant &v) { return !bank || !v.toString().trimmed().isEmpty(); }),
        K::length(SetupField::BankName, kBankNameLength,
                  QStringLiteral("La descrizione della banca è al massimo di %1 caratteri.").arg(kBankNameLength)),
        K::decide(SetupField::BankAbi, QStringLiteral("Il codice A.B.I. è di 5 cifre."),
                  [bank](const QVariant &v) { return !bank || fiveDigits(v.toString()); }),
        K::decide(SetupField::BankCab, QStringLiteral("Il codice C.A.B. è di 5 cifre."),
                  [bank](const QVariant &v) { return !bank || fiveDigits(v.toString()); }),
        K::length(SetupField::BankAccount, kAccountLength,
                  QStringLiteral("Il numero di conto è al massimo di %1 caratteri.").arg(kAccountLength)),
        K::custom(SetupField::VatCode, QStringLiteral("Codice IVA sconosciuto."),
                  [](const QVariant &v) {
                      const QString code = v.toString();
                      const QStringList known = standardVatCodes();
                      return code.isEmpty() || std::any_of(known.begin(), known.end(), [&code](const QString &entry) {
                                 return entry.startsWith(code + QStringLiteral(" - "));
                             });
                  }),
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
                                          {SetupField::AdminPassword, setup.adminPassword},
                                          {SetupField::BankName, setup.bankName},
                                          {SetupField::BankAbi, setup.bankAbi},
                                          {SetupField::BankCab, setup.bankCab},
                                          {SetupField::BankAccount, setup.bankAccount},
                                          {SetupField::VatCode, setup.vatCode}};
    const auto problems =
        Services::localProblems(firstSetupChecks(setup), [&values](const QString &column) { return values.value(column); });
    return problems.isEmpty() ? std::nullopt : std::optional(problems.first());
}

Outcome<FirstSetup> createArchives(const FirstSetup &setup, Services::Prompter &prompter)
{
    if (const auto problem = checkFirstSetup(setup))
        return Failure{problem->message, {}};
    if (auto stored = storeServerPassword(setup); !stored)
        return stored.failure();
    const auto found = findArchives(setup);
    if (!found)
        return found.failure();
    return settleFound(setup, *found, prompter);
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
        // Item prices are in euro cents from the start.
        settings.write(QStringLiteral("ARTICOLI"), QStringLiteral("DECIMALI_PREZZO1"), QStringLiteral("2")) &&
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
