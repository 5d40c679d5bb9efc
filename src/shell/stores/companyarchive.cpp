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
#include <QRegularExpression>
#include <QSqlQuery>

#include <cmath>
#include <memory>

namespace Orlavo::Shell {

using Services::DataAccess;
using Services::Params;
using Services::SchemaKind;
namespace Tables = Services::Tables;

namespace {

constexpr char kLockArea[] = "TUTTO";
constexpr char kInsertWhere[] = "Inser. Società";
constexpr char kUpdateWhere[] = "Registra Societa";

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

// The value a column binds: texts trimmed on the right, dates as dates,
// the share capital a whole number ("############").
QVariant bindValue(const CompanyColumn &column, const QString &text)
{
    switch (column.kind) {
    case CompanyColumn::Kind::Date: {
        const QDate date = Services::parseItalianDate(text);
        return date.isValid() ? QVariant(date) : QVariant(QMetaType::fromType<QDate>());
    }
    case CompanyColumn::Kind::Number: return std::round(Services::commaToPoint(text.trimmed()).toDouble());
    case CompanyColumn::Kind::Text: break;
    }
    QString value = text;
    while (value.endsWith(QLatin1Char(' ')))
        value.chop(1);
    return Services::sqlText(value);
}

Params valuesOf(const CompanyRecord &record, bool withCode)
{
    Params params;
    for (const CompanyColumn &column : companyColumns()) {
        if (withCode || column.name != QLatin1String("SOCIETA"))
            params << bindValue(column, record.value(column.name));
    }
    return params;
}

QString insertStatement(const QString &table)
{
    QStringList names;
    for (const CompanyColumn &column : companyColumns())
        names << column.name;
    return QStringLiteral("INSERT INTO %1 ( %2)  VALUES  (%3)")
        .arg(table, names.join(QStringLiteral(", ")),
             QStringList(names.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
}

QString updateStatement(const QString &table)
{
    QStringList sets;
    for (const CompanyColumn &column : companyColumns()) {
        if (column.name != QLatin1String("SOCIETA"))
            sets << column.name + QStringLiteral(" = ?");
    }
    return QStringLiteral("UPDATE %1 SET %2 WHERE SOCIETA = ?").arg(table, sets.join(QStringLiteral(", ")));
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
    const QString code = record.value(QStringLiteral("SOCIETA")).trimmed();
    Services::WriteUnit unit(db, QString::fromUtf8(kInsertWhere), Services::WriteUnit::Report::Quiet);
    return Services::StandardData::apply(unit, SchemaKind::Company) &&
           Services::Counters::insertFirstYearCounters(unit, QString::number(QDate::currentDate().year()), true) &&
           // A database found in place may hold an old copy of the row.
           unit.execCompany(QStringLiteral("Insert societa contab"),
                            QStringLiteral("DELETE FROM %1 WHERE SOCIETA = ?").arg(Tables::SOCIETA_CONTAB), {code}) &&
           unit.execCompany(QStringLiteral("Insert societa contab"), insertStatement(Tables::SOCIETA_CONTAB),
                            valuesOf(record, true)) &&
           unit.execServices(QStringLiteral("Insert societa"), insertStatement(Tables::SOCIETA),
                             valuesOf(record, true)) &&
           // Placeholders that the base-data window asks to replace.
           unit.execServices(
               QStringLiteral("Insert datibase"),
               QStringLiteral("INSERT INTO %1 ( SOCIETA ,  BANCA ,  PERCIVA ,  NUMERAZ ,  LIQUIVA ,  "
                              "DATASTAMP ) VALUES (?, ?, ?, ?, ?, ?)")
                   .arg(Tables::DATIBASE),
               {code, QStringLiteral("-----"), QStringLiteral("--"), -1, QStringLiteral("M"), QDate(1, 1, 1)}) &&
           unit.commit();
}

} // namespace

const QList<CompanyColumn> &companyColumns()
{
    using K = CompanyColumn::Kind;
    static const QList<CompanyColumn> columns = {
        {QStringLiteral("SOCIETA"), K::Text, 2},    {QStringLiteral("RAG_SOC1"), K::Text, 60},
        {QStringLiteral("RAG_SOC2"), K::Text, 60},  {QStringLiteral("INDI_LEG"), K::Text, 60},
        {QStringLiteral("CITTA_LEG"), K::Text, 40}, {QStringLiteral("CAP_LEG"), K::Text, 5},
        {QStringLiteral("PROV_LEG"), K::Text, 2},   {QStringLiteral("INDI_AMM"), K::Text, 60},
        {QStringLiteral("CITTA_AMM"), K::Text, 40}, {QStringLiteral("CAP_AMM"), K::Text, 5},
        {QStringLiteral("PROV_AMM"), K::Text, 2},   {QStringLiteral("PARTIVA"), K::Text, 11},
        {QStringLiteral("COD_FIS"), K::Text, 16},   {QStringLiteral("TELEFONO1"), K::Text, 20},
        {QStringLiteral("TELEFONO2"), K::Text, 20}, {QStringLiteral("FAX"), K::Text, 20},
        {QStringLiteral("DATA_INI"), K::Date},      {QStringLiteral("NUM_CCIAA"), K::Text, 20},
        {QStringLiteral("DATA_CCIAA"), K::Date},    {QStringLiteral("NUM_TRIB"), K::Text, 20},
        {QStringLiteral("DATA_TRIB"), K::Date},     {QStringLiteral("CANC_TRIB"), K::Text, 40},
        {QStringLiteral("CAP_SOC"), K::Number},     {QStringLiteral("COD_ATTIV"), K::Text, 6},
    };
    return columns;
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

std::optional<Services::FieldProblem> checkCompanyField(const QString &column, const CompanyRecord &record, CompanyMode mode,
                                                DataAccess &db, const CompanyReferences &references)
{
    const QString value = record.value(column);
    const auto problem = [&column](const char *message) {
        return std::optional<Services::FieldProblem>(Services::FieldProblem{column, QString::fromUtf8(message)});
    };
    if (column == QLatin1String("SOCIETA")) {
        if (isBlank(value))
            return problem("Codice della Societa - Obbligatorio !");
        static const QRegularExpression twoLettersOrDigits(QStringLiteral("^[A-Za-z0-9]{2}$"));
        if (!twoLettersOrDigits.match(value.trimmed()).hasMatch())
            return problem("Codice della Societa: due lettere o cifre !");
        if (mode == CompanyMode::Insert && Services::valueKnown(db, Tables::SOCIETA, QStringLiteral("SOCIETA"), value))
            return problem("Codice della Societa già presente in archivio");
    } else if (column == QLatin1String("RAG_SOC1")) {
        if (isBlank(value))
            return problem("Ragione Sociale - Obbligatoria !");
    } else if (column == QLatin1String("COD_ATTIV")) {
        if (!isBlank(value) && !references.activityExists(value))
            return problem("Codice attività sconosciuto !");
    } else if (column == QLatin1String("DATA_INI") || column == QLatin1String("DATA_CCIAA") ||
               column == QLatin1String("DATA_TRIB")) {
        if (!isBlank(value) && !Services::parseItalianDate(value).isValid()) {
            if (column == QLatin1String("DATA_INI"))
                return problem("Data inizio attività non valida !");
            if (column == QLatin1String("DATA_CCIAA"))
                return problem("Data iscrizione Camera di Commercio non valida !");
            return problem("Data iscrizione Cancelleria del Tribunale non valida !");
        }
    } else if (column == QLatin1String("PROV_LEG") || column == QLatin1String("PROV_AMM")) {
        if (!isBlank(value) && !references.provinceExists(value)) {
            return problem(column == QLatin1String("PROV_LEG") ? "Provincia della Sede Legale sconosciuta !"
                                                               : "Provincia della Sede Amministrativa sconosciuta !");
        }
    } else if (column == QLatin1String("PARTIVA")) {
        if (!isBlank(value) && Masterdata::ctrlPartitaIva(value) != 0)
            return problem("Partita iva errata !");
    }
    return std::nullopt;
}

QList<Services::FieldProblem> checkCompany(const CompanyRecord &record, CompanyMode mode, DataAccess &db,
                                   const CompanyReferences &references)
{
    static const QStringList order = {
        QStringLiteral("SOCIETA"),  QStringLiteral("RAG_SOC1"),   QStringLiteral("COD_ATTIV"),
        QStringLiteral("DATA_INI"), QStringLiteral("DATA_CCIAA"), QStringLiteral("DATA_TRIB"),
        QStringLiteral("PROV_LEG"), QStringLiteral("PROV_AMM"),   QStringLiteral("PARTIVA")};
    QList<Services::FieldProblem> problems;
    for (const QString &column : order) {
        if (auto problem = checkCompanyField(column, record, mode, db, references))
            problems << *problem;
    }
    return problems;
}

std::optional<CompanyRecord> loadCompany(DataAccess &db, const QString &code)
{
    auto rows = db.openRecordset(QStringLiteral("SELECT * FROM %1 WHERE SOCIETA = ?").arg(Tables::SOCIETA), {code}, Services::Target::Services);
    if (!rows)
        return std::nullopt;
    if (rows->isEmpty()) {
        db.prompter().error(QStringLiteral("Il cliente non esiste in archivio "), QStringLiteral("Errore ...... "));
        return std::nullopt;
    }
    const auto row = rows->first();
    CompanyRecord record;
    for (const CompanyColumn &column : companyColumns()) {
        const QVariant value = row.value(column.name);
        switch (column.kind) {
        case CompanyColumn::Kind::Date: {
            const QDate date = value.toDate();
            record.insert(column.name, date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString());
            break;
        }
        case CompanyColumn::Kind::Number:
            record.insert(column.name, value.isNull() ? QString() : QString::number(std::llround(value.toDouble())));
            break;
        case CompanyColumn::Kind::Text: record.insert(column.name, value.toString()); break;
        }
    }
    return record;
}

bool registerCompany(DataAccess &db, const CompanyRecord &record)
{
    const QString code = record.value(QStringLiteral("SOCIETA")).trimmed().toUpper();
    CompanyRecord stored = record;
    stored.insert(QStringLiteral("SOCIETA"), code);
    // The first company has no archive whose lock could be taken.
    std::optional<Services::ArchiveLock> lock;
    if (db.companyOpen()) {
        lock.emplace(db, QString::fromLatin1(kLockArea));
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
            written = writeNewCompany(access.db(), stored);
            if (!written)
                reportFailure(db, access.db(), kInsertWhere);
        }
    }
    if (!written && prepared.created)
        removeDatabase(db, code);
    return written;
}

bool updateCompany(DataAccess &db, const CompanyRecord &record)
{
    const QString code = record.value(QStringLiteral("SOCIETA")).trimmed();
    std::optional<Services::ArchiveLock> lock;
    if (db.companyOpen()) {
        lock.emplace(db, QString::fromLatin1(kLockArea));
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
    Params params = valuesOf(record, false);
    params << code;
    Services::WriteUnit unit(*target, QString::fromUtf8(kUpdateWhere), Services::WriteUnit::Report::Quiet);
    const bool written =
        unit.execServices(QStringLiteral("Agg. Societa Servizi"), updateStatement(Tables::SOCIETA), params) &&
        unit.execCompany(QStringLiteral("Agg. Societa Contab"), updateStatement(Tables::SOCIETA_CONTAB), params) &&
        unit.commit();
    if (!written)
        reportFailure(db, *target, kUpdateWhere);
    return written;
}

} // namespace Orlavo::Shell
