#include "shell/stores/companyarchive.h"

#include "masterdata/rules/taxcodes.h"
#include "masterdata/stores/postalcodes.h"
#include "services/data/recordstore.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/counters.h"
#include "services/data/dataaccess.h"
#include "services/data/prompter.h"
#include "services/data/schema.h"
#include "services/data/standarddata.h"
#include "services/data/writeunit.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include <memory>

namespace Orlavo::Shell {

using Services::DataAccess;
using Services::SchemaKind;
namespace Tables = Services::Tables;

namespace {

constexpr char kInsertWhere[] = "Inser. Società";
constexpr char kUpdateWhere[] = "Registra Societa";

// The company's own copy of its row: SOCIETA_CONTAB, same columns.
const Services::TableDef &copyTable()
{
    static const Services::TableDef def = [] {
        Services::TableDef copy = companyTable();
        copy.table = Tables::SOCIETA_CONTAB;
        copy.target = Services::Target::Company;
        return copy;
    }();
    return def;
}

Services::Row copyOf(const Services::Row &row)
{
    Services::Row copy(copyTable());
    for (const QString &name : copyTable().names())
        copy.set(name, row.value(name));
    return copy;
}

// The copy rewritten whole: a database found in place may hold an old one.
bool writeCopy(Services::WriteUnit &unit, const Services::Row &row, const QString &step)
{
    const Services::Row copy = copyOf(row);
    return Services::deleteRow(unit, copyTable(), copy.key(), step) && Services::insertRow(unit, copy, step);
}

bool standardRowExists(const QString &table, const QString &column, const QString &value)
{
    const auto rows = Services::StandardData::table(SchemaKind::Company, table);
    if (!rows)
        return false;
    const int position = int(rows->columns.indexOf(column));
    for (const QStringList &row : rows->rows) {
        if (row.value(position).compare(value.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// A company's database opened beside the program's own connection, for
// writing into a company that is not the open one. Its failures are shown
// by the caller, so it asks the operator nothing itself.
class CompanyAccess
{
public:
    explicit CompanyAccess(DataAccess &db) : m_state(db.state())
    {
        m_db = std::make_unique<DataAccess>(m_state, m_silent, QString());
        m_db->setExitHook([](int) {});
        m_db->setLockRetryDelay(50);
    }

    Services::Outcome<void> open(const Services::ConnectionConfig &config, const QString &code)
    {
        if (auto opened = m_db->openServices(config); !opened)
            return opened;
        return m_db->openCompany(code);
    }

    DataAccess &db() { return *m_db; }

private:
    Services::AppState m_state;
    Services::SilentPrompter m_silent;
    std::unique_ptr<DataAccess> m_db;
};

// A unit's failure shown on the program's connection, whichever ran it.
void reportFailure(DataAccess &shown, const DataAccess &failed, const char *where)
{
    if (&shown != &failed)
        shown.error() = failed.error();
    shown.reportDbError(QString::fromUtf8(where), false);
}

// The new company's database before its rows are written.
struct PreparedDatabase {
    bool created = false;
    bool ready = false;
};

PreparedDatabase prepareDatabase(DataAccess &db, const QString &code)
{
    const QString title = QStringLiteral("Errore!");
    if (db.engine() == Services::Engine::Sqlite) {
        const QString path = db.config().pathDb + Services::companyFileName(code);
        if (!QFileInfo::exists(path)) {
            auto created = Services::Schema::createSqlite(path, SchemaKind::Company);
            if (!created) {
                db.prompter().error(created.failure().message + QLatin1Char('\n') + created.failure().detail, title);
                return {};
            }
            return {true, true};
        }
        QString problem = Services::Schema::sqliteFileProblem(path);
        if (problem.isEmpty()) {
            if (auto ensured = Services::Schema::ensureSqlite(path, SchemaKind::Company); !ensured)
                problem = ensured.failure().message;
        }
        if (!problem.isEmpty()) {
            db.prompter().error(QStringLiteral("Esiste già il file %1, che non è l'archivio di una società:\n%2\n"
                                                  "Registrazione non eseguita.")
                                       .arg(path, problem),
                                   title);
            return {};
        }
        db.prompter().info(
            QStringLiteral("L'archivio %1 esiste già: la società userà i dati che contiene.").arg(path),
            QStringLiteral("Codifica Società"));
        return {false, true};
    }

    QSqlDatabase connection = db.connection();
    const QString schema = Services::companySchemaName(code);
    if (Services::Schema::postgresSchemaExists(connection, schema)) {
        if (auto ensured = Services::Schema::ensurePostgres(connection, schema, SchemaKind::Company); !ensured) {
            db.prompter().error(QStringLiteral("Sul server esiste già lo schema %1, che non è l'archivio di una "
                                                  "società:\n%2\nRegistrazione non eseguita.")
                                       .arg(schema, ensured.failure().message),
                                   title);
            return {};
        }
        db.prompter().info(
            QStringLiteral("Sul server esiste già l'archivio %1: la società userà i dati che contiene.").arg(schema),
            QStringLiteral("Codifica Società"));
        return {false, true};
    }
    {
        QSqlQuery may(connection);
        if (!may.exec(QStringLiteral("SELECT has_database_privilege(current_database(), 'CREATE')")) || !may.next() ||
            !may.value(0).toBool()) {
            db.prompter().error(QStringLiteral("L'utente del server dati non può creare archivi nel database %1.\n"
                                                  "Chiedere all'amministratore del server il permesso CREATE "
                                                  "sul database. Registrazione non eseguita.")
                                       .arg(db.config().server.database),
                                   title);
            return {};
        }
    }
    if (auto created = Services::Schema::createPostgres(connection, schema, SchemaKind::Company); !created) {
        db.prompter().error(created.failure().message + QLatin1Char('\n') + created.failure().detail, title);
        return {};
    }
    return {true, true};
}

void removeDatabase(DataAccess &db, const QString &code)
{
    if (db.engine() == Services::Engine::Sqlite) {
        QFile::remove(db.config().pathDb + Services::companyFileName(code));
        return;
    }
    QSqlQuery drop(db.connection());
    drop.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(Services::companySchemaName(code)));
}

bool writeNewCompany(DataAccess &db, const CompanyRecord &record)
{
    const Services::Row &row = record.main();
    Services::WriteUnit unit(db, QString::fromUtf8(kInsertWhere), Services::WriteUnit::Report::Quiet);
    return Services::StandardData::apply(unit, SchemaKind::Company) &&
           Services::Counters::insertFirstYearCounters(unit, QString::number(QDate::currentDate().year()), true) &&
           writeCopy(unit, row, QStringLiteral("Insert societa contab")) &&
           Services::insertRow(unit, row, QStringLiteral("Insert societa")) &&
           // Placeholders that the base-data window asks to replace.
           unit.execServices(
               QStringLiteral("Insert datibase"),
               QStringLiteral("INSERT INTO %1 ( SOCIETA ,  BANCA ,  PERCIVA ,  NUMERAZ ,  LIQUIVA ,  "
                              "DATASTAMP ) VALUES (?, ?, ?, ?, ?, ?)")
                   .arg(Tables::DATIBASE),
               {row.text(QStringLiteral("SOCIETA")), QStringLiteral("-----"), QStringLiteral("--"), -1,
                QStringLiteral("M"), QDate(1, 1, 1)}) &&
           unit.commit();
}

} // namespace

const Services::TableDef &companyTable()
{
    namespace C = Services::Column;
    static const Services::TableDef def{
        Tables::SOCIETA,
        Services::Target::Services,
        {C::key(C::code(QStringLiteral("SOCIETA"), 2)), C::text(QStringLiteral("RAG_SOC1"), 60),
         C::text(QStringLiteral("RAG_SOC2"), 60),       C::text(QStringLiteral("INDI_LEG"), 60),
         C::text(QStringLiteral("CITTA_LEG"), 40),      C::text(QStringLiteral("CAP_LEG"), 5),
         C::code(QStringLiteral("PROV_LEG"), 2),        C::text(QStringLiteral("INDI_AMM"), 60),
         C::text(QStringLiteral("CITTA_AMM"), 40),      C::text(QStringLiteral("CAP_AMM"), 5),
         C::code(QStringLiteral("PROV_AMM"), 2),        C::text(QStringLiteral("PARTIVA"), 11),
         C::text(QStringLiteral("COD_FIS"), 16),        C::text(QStringLiteral("TELEFONO1"), 20),
         C::text(QStringLiteral("TELEFONO2"), 20),      C::text(QStringLiteral("FAX"), 20),
         C::date(QStringLiteral("DATA_INI")),           C::text(QStringLiteral("NUM_CCIAA"), 20),
         C::date(QStringLiteral("DATA_CCIAA")),         C::text(QStringLiteral("NUM_TRIB"), 20),
         C::date(QStringLiteral("DATA_TRIB")),          C::text(QStringLiteral("CANC_TRIB"), 40),
         // The share capital is a whole number ("############"), blank when none.
         C::blankWhenZero(C::amount(QStringLiteral("CAP_SOC"), 0)), C::code(QStringLiteral("COD_ATTIV"), 6)}};
    return def;
}

const Services::FamilyDef &companyFamily()
{
    static const Services::FamilyDef family{{{&companyTable(), {}, {}, {}}}};
    return family;
}

CompanyRecord newCompany()
{
    return CompanyRecord(companyFamily());
}

CompanyReferences::CompanyReferences(DataAccess &db) : m_db(db)
{
}

bool CompanyReferences::provinceExists(const QString &code) const
{
    return Masterdata::provinceExists(m_db, code);
}

bool CompanyReferences::activityExists(const QString &code) const
{
    if (m_db.companyOpen())
        return Services::valueKnown(m_db, Tables::TAB_ATTIVITA, QStringLiteral("CODICE"), code);
    return standardRowExists(QStringLiteral("TAB_ATTIVITA"), QStringLiteral("CODICE"), code);
}

QList<Services::CheckDef> companyChecks(CompanyMode mode, const CompanyReferences &references)
{
    namespace K = Services::Check;
    const auto m = [](const char *text) { return QString::fromUtf8(text); };
    const QString code = QStringLiteral("SOCIETA");
    QList<Services::CheckDef> checks{
        K::required(code, m("Codice della Societa - Obbligatorio !")),
        K::pattern(code, QStringLiteral("^[A-Za-z0-9]{2}$"), m("Codice della Societa: due lettere o cifre !"))};
    if (mode == CompanyMode::Insert)
        checks << K::unique(code, Tables::SOCIETA, {code}, m("Codice della Societa già presente in archivio"));
    checks << K::required(QStringLiteral("RAG_SOC1"), m("Ragione Sociale - Obbligatoria !"))
           << K::custom(QStringLiteral("COD_ATTIV"), m("Codice attività sconosciuto !"),
                        [&references](const QVariant &v) { return references.activityExists(v.toString()); })
           << K::valid(QStringLiteral("DATA_INI"), m("Data inizio attività non valida !"))
           << K::valid(QStringLiteral("DATA_CCIAA"), m("Data iscrizione Camera di Commercio non valida !"))
           << K::valid(QStringLiteral("DATA_TRIB"), m("Data iscrizione Cancelleria del Tribunale non valida !"));
    for (const auto &[column, message] : {std::pair{"PROV_LEG", "Provincia della Sede Legale sconosciuta !"},
                                          std::pair{"PROV_AMM", "Provincia della Sede Amministrativa sconosciuta !"}})
        checks << K::custom(QString::fromLatin1(column), m(message),
                            [&references](const QVariant &v) { return references.provinceExists(v.toString()); });
    checks << K::custom(QStringLiteral("PARTIVA"), m("Partita iva errata !"),
                        [](const QVariant &v) { return Masterdata::ctrlPartitaIva(v.toString()) == 0; });
    return checks;
}

QList<Services::FieldProblem> checkCompany(DataAccess &db, const CompanyRecord &record, CompanyMode mode,
                                           const CompanyReferences &references, const QString &only)
{
    return Services::runChecks(
        db, companyChecks(mode, references), [&record](const QString &column) { return record.value(column); }, only);
}

std::optional<CompanyRecord> loadCompany(DataAccess &db, const QString &code)
{
    auto read = Services::readRecord(db, companyFamily(), {code});
    if (!read)
        return std::nullopt;
    if (!*read) {
        db.prompter().error(QStringLiteral("Il cliente non esiste in archivio "), QStringLiteral("Errore ...... "));
        return std::nullopt;
    }
    return **read;
}

bool registerCompany(DataAccess &db, const CompanyRecord &record)
{
    const QString code = record.main().text(QStringLiteral("SOCIETA"));
    // The first company has no archive whose lock could be taken.
    std::optional<Services::ArchiveLock> lock;
    if (db.companyOpen()) {
        lock.emplace(db, QString::fromLatin1(Services::kWholeArchive));
        if (!*lock)
            return false;
    }
    const PreparedDatabase prepared = prepareDatabase(db, code);
    if (!prepared.ready)
        return false;
    bool written = false;
    {
        CompanyAccess access(db);
        if (auto opened = access.open(db.config(), code); !opened) {
            db.error().code = Services::kErrDatabase;
            db.error().description = opened.failure().message;
            db.setStep(QStringLiteral("Apertura archivio società"));
            db.reportDbError(QString::fromUtf8(kInsertWhere), false);
        } else {
            written = writeNewCompany(access.db(), record);
            if (!written)
                reportFailure(db, access.db(), kInsertWhere);
        }
    }
    if (!written && prepared.created)
        removeDatabase(db, code);
    return written;
}

bool updateCompany(DataAccess &db, const CompanyRecord &record, const CompanyRecord &before)
{
    const QString code = before.main().text(QStringLiteral("SOCIETA"));
    std::optional<Services::ArchiveLock> lock;
    if (db.companyOpen()) {
        lock.emplace(db, QString::fromLatin1(Services::kWholeArchive));
        if (!*lock)
            return false;
    }
    // The copy in the company's own database: the open one, or opened here.
    std::optional<CompanyAccess> other;
    DataAccess *target = &db;
    if (!db.companyOpen() || db.state().company.compare(code, Qt::CaseInsensitive) != 0) {
        other.emplace(db);
        if (auto opened = other->open(db.config(), code); !opened) {
            db.prompter().error(
                QStringLiteral("L'archivio della società %1 non si apre:\n%2\nModifica non eseguita.")
                    .arg(code, opened.failure().message),
                QStringLiteral("Errore!"));
            return false;
        }
        target = &other->db();
    }
    Services::WriteUnit unit(*target, QString::fromUtf8(kUpdateWhere), Services::WriteUnit::Report::Quiet);
    const bool written =
        Services::updateRow(unit, record.main(), before.main(), QStringLiteral("Agg. Societa Servizi")) &&
        writeCopy(unit, record.main(), QStringLiteral("Agg. Societa Contab")) && unit.commit();
    if (!written)
        reportFailure(db, *target, kUpdateWhere);
    return written;
}

} // namespace Orlavo::Shell
