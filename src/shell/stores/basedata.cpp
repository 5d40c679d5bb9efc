#include "shell/stores/basedata.h"

#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "services/data/recordstore.h"
#include "services/data/writeunit.h"

#include <QDate>

#include <algorithm>

namespace Orlavo::Shell {

using Services::DataAccess;
using Services::Outcome;
using Services::sqlText;
namespace Tables = Services::Tables;

namespace {

constexpr char kBaseDataWhere[] = "Modifica datibase";
constexpr char kUpdateStep[] = "Aggiorna datibase";
constexpr char kInsertStep[] = "Inserisce datibase";

constexpr char kSelect[] = "SELECT BANCA, PERCIVA, LIQUIVA, NUMERAZ, REGIVA, MAGAZZINO FROM %1 WHERE SOCIETA = ?";
constexpr char kBasedataUpdate[] = "UPDATE %1 SET BANCA = ?, PERCIVA = ?, NUMERAZ = ?, REGIVA = ?, LIQUIVA = ?, "
                           "MAGAZZINO = ? WHERE SOCIETA = ?";
constexpr char kBasedataInsert[] = "INSERT INTO %1 (BANCA, PERCIVA, NUMERAZ, REGIVA, LIQUIVA, MAGAZZINO, SOCIETA) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)";
constexpr char kFindCode[] = "SELECT CODICE, DESCRIZIONE FROM %1 WHERE %2";

const QString kMain = QStringLiteral("MAIN");
const QString kStock = QStringLiteral("MAGAZZINO");
const QString kItems = QStringLiteral("ARTICOLI");
const QString kYes = QStringLiteral("SI");
const QString kNo = QStringLiteral("NO");
constexpr std::array<const char *, 4> kPriorityKeys = {"PRLISTPER", "PRLISTBA", "PRULTCO", "PRACQF"};

// Flags are stored as -1 (true) and 0.
int flag(bool value)
{
    return value ? -1 : 0;
}

QString yesNo(bool value)
{
    return value ? kYes : kNo;
}

bool isYes(const QString &value)
{
    return value.trimmed().compare(kYes, Qt::CaseInsensitive) == 0;
}

QString upper(const QString &value)
{
    return value.trimmed().toUpper();
}

QString basedataDateText(const QString &typed)
{
    const QDate date = Services::parseItalianDate(typed);
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : typed.trimmed();
}

} // namespace

Outcome<std::optional<BaseData>> readBaseData(DataAccess &db, const QString &company)
{
    auto rows = db.openRecordset(QString::fromLatin1(kSelect).arg(Tables::DATIBASE), {company}, Services::Target::Services);
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<BaseData>();
    const auto row = rows->first();
    BaseData data;
    data.bank = row.text(QStringLiteral("BANCA"));
    data.vatCode = row.text(QStringLiteral("PERCIVA"));
    data.vatPeriod = row.text(QStringLiteral("LIQUIVA"));
    data.separateNumbering = row.integer(QStringLiteral("NUMERAZ")) != 0;
    data.vatRegister = row.integer(QStringLiteral("REGIVA")) != 0;
    data.warehouse = row.text(QStringLiteral("MAGAZZINO"));
    return std::optional<BaseData>(data);
}

bool writeBaseData(DataAccess &db, const QString &company, const BaseData &data)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return false;
    const Services::Params values = {data.bank,
                                     data.vatCode,
                                     flag(data.separateNumbering),
                                     flag(data.vatRegister),
                                     data.vatPeriod,
                                     sqlText(data.warehouse),
                                     company};
    Services::WriteUnit unit(db, QString::fromLatin1(kBaseDataWhere));
    if (!unit.execServices(QString::fromLatin1(kUpdateStep), QString::fromLatin1(kBasedataUpdate).arg(Tables::DATIBASE),
                           values))
        return false;
    if (db.rowsAffected() == 0 && !unit.execServices(QString::fromLatin1(kInsertStep),
                                                     QString::fromLatin1(kBasedataInsert).arg(Tables::DATIBASE), values))
        return false;
    return unit.commit();
}

Outcome<std::optional<CodeEntry>> findTableCode(DataAccess &db, const QString &table, const QString &code)
{
    const QString typed = code.trimmed();
    if (typed.isEmpty())
        return std::optional<CodeEntry>();
    auto rows = db.openRecordset(
        QString::fromLatin1(kFindCode).arg(table, Services::sqlUpperEquals(QStringLiteral("CODICE"))), {typed});
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<CodeEntry>();
    const auto row = rows->first();
    return std::optional<CodeEntry>(
        CodeEntry{row.text(QStringLiteral("CODICE")), row.text(QStringLiteral("DESCRIZIONE"))});
}

QString BaseField::priority(int position)
{
    return QStringLiteral("PRIORITA") + QString::number(position + 1);
}

QList<Services::FieldProblem> checkBaseData(DataAccess &db, const BaseData &data, const BaseOptions &options,
                                            const QString &only)
{
    namespace K = Services::Check;
    const auto m = [](const char *text) { return QString::fromUtf8(text); };
    const QString code = QStringLiteral("CODICE");
    // A period caption the window could not read leaves the letter blank.
    QList<Services::CheckDef> checks{
        K::required(BaseField::VatPeriod, m("Dati per liquidazione Iva errati")),
        K::required(BaseField::VatCode, m("Codice Iva obbligatorio")),
        K::known(BaseField::VatCode, Tables::TAB_PERIVA, code, m("Codice Iva errato")),
        K::required(BaseField::Bank, m("Banca principale obbligatoria")),
        K::known(BaseField::Bank, Tables::TAB_BAN_PAG, code, m("Banca principale errata")),
        K::required(BaseField::Year, m("Anno elaborazione errato")),
        K::custom(BaseField::Year, m("Anno elaborazione errato"),
                  [](const QVariant &v) { return isWorkingYear(v.toString()); }),
        K::known(BaseField::Warehouse, Tables::TAB_MAGAZZINI, code, m("Codice magazzino err"))};
    // With no bank at all the operator is told where banks are entered,
    // not that the one typed is wrong.
    bool noBanks = false;
    if (only.isEmpty() || only == BaseField::Bank) {
        auto banks = db.openRecordset(QStringLiteral("SELECT CODICE FROM %1").arg(Tables::TAB_BAN_PAG));
        noBanks = banks && banks->isEmpty();
    }
    if (noBanks) {
        checks.removeIf([](const Services::CheckDef &check) { return check.column == BaseField::Bank; });
        checks.insert(3, K::decide(BaseField::Bank,
                                   m("Inserire prima una banca in Contabilità > Banche > Banche Pagamento"),
                                   [](const QVariant &) { return false; }));
    }
    const QList<int> repeated = repeatedPriorities(options.priorities);
    for (int position = 0; position < int(options.priorities.size()); ++position)
        checks << K::custom(BaseField::priority(position), m("Dati ripetuti"),
                            [repeated, position](const QVariant &) { return !repeated.contains(position); });
    for (const QString &field : {BaseField::SearchFrom, BaseField::SearchTo})
        checks << K::custom(field, m("Data errata"), [](const QVariant &v) { return isSearchDate(v.toString()); });

    const bool priorities = only.startsWith(QLatin1String("PRIORITA"));
    if (!only.isEmpty())
        checks.removeIf([&](const Services::CheckDef &check) {
            return priorities ? !check.column.startsWith(QLatin1String("PRIORITA")) : check.column != only;
        });
    const QHash<QString, QVariant> values{
        {BaseField::VatPeriod, data.vatPeriod},    {BaseField::VatCode, data.vatCode},
        {BaseField::Bank, data.bank},              {BaseField::Year, options.year},
        {BaseField::Warehouse, data.warehouse},    {BaseField::SearchFrom, options.searchFrom},
        {BaseField::SearchTo, options.searchTo}};
    return Services::runChecks(db, checks, [&values](const QString &column) {
        // A priority's value is decided by its position, not read.
        return values.value(column, column.startsWith(QLatin1String("PRIORITA")) ? QVariant(1) : QVariant());
    });
}

BaseOptions readBaseOptions(const Services::Settings &settings, const QString &yearInUse)
{
    const auto main = [&settings](const char *key) { return settings.read(kMain, QString::fromLatin1(key)); };
    BaseOptions options;
    const QString year = main("ANNO").trimmed();
    options.year = year.isEmpty() ? yearInUse : year;

    const QString price = upper(settings.readOr(kMain, QStringLiteral("PREZZOBOLLA"), QStringLiteral("L")));
    options.priceKind =
        QStringList{QStringLiteral("L"), QStringLiteral("V"), QStringLiteral("R"), QStringLiteral("F")}.contains(price)
            ? price
            : QStringLiteral("L");
    options.discountsCalculated = upper(settings.readOr(kMain, QStringLiteral("SCONTICALCOLATI"), kYes)) != kNo;

    // "** NON USATO **" and the like are kept as they stand until changed.
    const QString invoiceType = main("TIPOFATTURA").trimmed();
    if (invoiceType.isEmpty())
        options.invoiceType = QStringLiteral("N");
    else if (invoiceType.compare(QLatin1String("A"), Qt::CaseInsensitive) == 0)
        options.invoiceType = QStringLiteral("A");
    else
        options.invoiceType = invoiceType;
    options.invoicePrint =
        upper(main("STAMPAFATTURA")) == QLatin1String("R") ? QStringLiteral("R") : QStringLiteral("N");
    options.vatRoundUp = isYes(main("ARROTIVASUPERIORE"));
    options.separateDebitNotes = isYes(main("NUMERAZNOTEDEBSEP"));
    options.printDetail = isYes(main("STAMPADETTFATT"));
    options.forceOrderInvoiced = isYes(main("FORZAQTAORDINE"));

    options.searchFrom = settings.read(kStock, QStringLiteral("RICERCAINIZIO")).trimmed();
    options.searchTo = settings.read(kStock, QStringLiteral("RICERCAFINE")).trimmed();
    for (std::size_t i = 0; i < kPriorityKeys.size(); ++i) {
        bool number = false;
        const int value = settings.read(kStock, QString::fromLatin1(kPriorityKeys[i])).trimmed().toInt(&number);
        options.priorities[i] = number ? value : kDefaultPriorities[i];
    }
    options.free1 = settings.read(kItems, QStringLiteral("LIBERO1"));
    options.free2 = settings.read(kItems, QStringLiteral("LIBERO2"));
    return options;
}

bool writeBaseOptions(const Services::Settings &settings, const BaseOptions &options)
{
    bool written = true;
    const auto put = [&settings, &written](const QString &section, const char *key, const QString &value) {
        written = settings.write(section, QString::fromLatin1(key), value) && written;
    };
    put(kMain, "PREZZOBOLLA", options.priceKind);
    put(kMain, "SCONTICALCOLATI", yesNo(options.discountsCalculated));
    put(kMain, "TIPOFATTURA", options.invoiceType);
    put(kMain, "STAMPAFATTURA", options.invoicePrint);
    put(kMain, "ARROTIVASUPERIORE", yesNo(options.vatRoundUp));
    put(kMain, "NUMERAZNOTEDEBSEP", yesNo(options.separateDebitNotes));
    put(kMain, "STAMPADETTFATT", yesNo(options.printDetail));
    put(kMain, "FORZAQTAORDINE", yesNo(options.forceOrderInvoiced));
    put(kStock, "RICERCAINIZIO", basedataDateText(options.searchFrom));
    put(kStock, "RICERCAFINE", basedataDateText(options.searchTo));
    const Priorities priorities = effectivePriorities(options.priorities);
    for (std::size_t i = 0; i < kPriorityKeys.size(); ++i)
        put(kStock, kPriorityKeys[i], QString::number(priorities[i]));
    put(kItems, "LIBERO1", options.free1);
    put(kItems, "LIBERO2", options.free2);
    return written;
}

bool writeWorkingYear(const Services::Settings &settings, const QString &year)
{
    return settings.write(kMain, QStringLiteral("ANNO"), year);
}

} // namespace Orlavo::Shell
