#include "shell/stores/companydata.h"

#include "services/core/appstate.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

#include <QDate>

namespace Orlavo::Shell {

using Services::DataAccess;
namespace Tables = Services::Tables;

namespace {
constexpr char kCompanies[] = "SELECT SOCIETA, RAG_SOC1, RAG_SOC2 FROM %1 ORDER BY SOCIETA";
constexpr char kBaseData[] = "SELECT BANCA, PERCIVA, LIQUIVA, NUMERAZ, REGIVA, DATASTAMP, MAGAZZINO FROM %1 "
                             "WHERE SOCIETA = ?";
constexpr char kCompanyName[] = "SELECT RAG_SOC1 FROM %1 WHERE SOCIETA = ?";
constexpr char kDescription[] = "SELECT DESCRIZIONE FROM %1 WHERE CODICE = ?";

// A description of a code, empty when the code, its row or (while the
// table is not kept yet) the table itself is missing.
QString describe(DataAccess &db, const QString &table, const QString &code)
{
    if (code.isEmpty())
        return {};
    auto rows = db.tryOpenRecordset(QString::fromLatin1(kDescription).arg(table), {code});
    return rows && !rows->isEmpty() ? rows->first().text(QStringLiteral("DESCRIZIONE")) : QString();
}

QString companydataDateText(const QVariant &value)
{
    if (value.isNull())
        return {};
    const QDate date = value.toDate();
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : value.toString();
}
} // namespace

Services::Outcome<QList<CompanyRow>> listCompanies(DataAccess &db)
{
    auto rows = db.openRecordset(QString::fromLatin1(kCompanies).arg(Tables::SOCIETA), {}, Services::Target::Services);
    if (!rows)
        return rows.failure();
    QList<CompanyRow> companies;
    for (const auto &r : *rows)
        companies.append({r.text(QStringLiteral("SOCIETA")), r.text(QStringLiteral("RAG_SOC1")),
                          r.text(QStringLiteral("RAG_SOC2"))});
    return companies;
}

bool loadCompanyData(DataAccess &db, Services::AppState &state)
{
    state.bankCode.clear();
    state.vatCode.clear();
    state.vatPeriod.clear();
    state.separateNumbering = false;
    state.vatRegister = false;
    state.baseDataDate.clear();
    state.warehouse.clear();

    auto base = db.openRecordset(QString::fromLatin1(kBaseData).arg(Tables::DATIBASE), {state.company}, Services::Target::Services);
    const bool found = base && !base->isEmpty();
    if (found) {
        const auto row = base->first();
        state.bankCode = row.text(QStringLiteral("BANCA"));
        state.vatCode = row.text(QStringLiteral("PERCIVA"));
        state.vatPeriod = row.text(QStringLiteral("LIQUIVA"));
        state.separateNumbering = row.integer(QStringLiteral("NUMERAZ")) != 0;
        state.vatRegister = row.integer(QStringLiteral("REGIVA")) != 0;
        state.baseDataDate = companydataDateText(row.value(QStringLiteral("DATASTAMP")));
        state.warehouse = row.text(QStringLiteral("MAGAZZINO"));
    }
    auto name = db.openRecordset(QString::fromLatin1(kCompanyName).arg(Tables::SOCIETA), {state.company}, Services::Target::Services);
    state.companyName = name && !name->isEmpty() ? name->first().text(QStringLiteral("RAG_SOC1")) : QString();
    state.bankDescription = describe(db, Tables::TAB_BAN_PAG, state.bankCode);
    state.vatDescription = describe(db, Tables::TAB_PERIVA, state.vatCode);
    return found;
}

} // namespace Orlavo::Shell
