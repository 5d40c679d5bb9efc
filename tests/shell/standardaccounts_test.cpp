// A new company, registered through the company card or made by the
// configuration utility, holds every default the other windows look up:
// the accounts of each role, their groups, and the codes customers,
// suppliers and items propose.

#include "contexttest.h"
#include "fixtures.h"
#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/data/schema.h"
#include "services/data/standarddata.h"
#include "services/data/writeunit.h"
#include "shell/stores/firstsetup.h"
#include "shell/windows/frmsocieta.h"

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Services::SchemaKind;
using Orlavo::Testing::Engine;
using Orlavo::Testing::RecordingPrompter;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kCosts = QStringLiteral("C");
const QString kRevenues = QStringLiteral("R");
const QString kBalance = QStringLiteral("P");
const QStringList kIncomeStatement = {kCosts, kRevenues};

// The default roles: the account types each may have.
struct Role {
    const char *code;
    QStringList types;
};
const QList<Role> kRoles = {
    {"CLI", {kBalance}},       {"FOR", {kBalance}},       {"IVV", {kBalance}},       {"IVA", {kBalance}},
    {"CAS", {kBalance}},       {"BAN", {kBalance}},       {"UTI", {kBalance}},       {"PER", {kBalance}},
    {"RIC", {kRevenues}},      {"COS", {kCosts}},         {"ARP", kIncomeStatement}, {"ARA", kIncomeStatement},
    {"BOL", kIncomeStatement}, {"SPB", kIncomeStatement}, {"SPT", kIncomeStatement}, {"SPA", kIncomeStatement},
    {"SPP", kIncomeStatement},
};
const QString kClosingMark = QStringLiteral("SPF");

class NewCompanyTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        context->state.company = QStringLiteral("01");
        context->state.user = QStringLiteral("MARIO");
        context->state.userType = 2;
    }

    void TearDown() override
    {
        company.reset();
        ContextTest::TearDown();
        server.reset();
    }

    // Company "02" registered through the card, in an installation whose
    // services database holds its standard data as the configuration left it.
    void registerCompany()
    {
        {
            Services::WriteUnit unit(context->db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
            ASSERT_TRUE(Services::StandardData::apply(unit, SchemaKind::Services) && unit.commit())
                << context->db.error().description.toStdString();
        }
        FrmSocieta card(*context, CompanyMode::Insert);
        for (const auto &[column, text] : {std::pair{QStringLiteral("SOCIETA"), QStringLiteral("02")},
                                           std::pair{QStringLiteral("RAG_SOC1"), QStringLiteral("Nuova Srl")}}) {
            card.field(column)->setText(text);
            card.field(column)->setModified(true);
        }
        prompter.queue(Prompter::Button::Ok);
        ASSERT_TRUE(card.save()) << prompter.texts().join(QLatin1Char('|')).toStdString();
        open(archives->config(), QStringLiteral("02"));
    }

    // Company "01" of a new installation made by the configuration utility,
    // beside the test archives: another folder or another server database.
    void configureInstallation()
    {
        FirstSetup setup;
        setup.companyCode = QStringLiteral("01");
        setup.companyName = QStringLiteral("Ditta Prova");
        setup.adminPassword = setup.adminPasswordAgain = QStringLiteral("segreta");
        setup.year = 2026;
        Services::ConnectionConfig config;
        if (GetParam() == Engine::Sqlite) {
            setup.pathDb = archives->folder() + QStringLiteral("INSTALLAZIONE");
            config.servicesFile = QStringLiteral("SERVIZI.MDB");
            config.dbType = QStringLiteral("ACCESS2000");
            config.pathDb = Services::asFolder(setup.pathDb);
        } else {
            server = std::make_unique<Orlavo::Testing::ServerDatabase>();
            ASSERT_TRUE(server->error().isEmpty()) << server->error().toStdString();
            setup.server = true;
            setup.serverKeys = server->keys();
            config = server->config();
        }
        Orlavo::Testing::ScriptedPrompter quiet;
        const auto created = createArchives(setup, quiet);
        ASSERT_TRUE(created) << created.failure().message.toStdString() << created.failure().detail.toStdString();
        open(config, setup.companyCode);
    }

    void open(const Services::ConnectionConfig &config, const QString &code)
    {
        company = std::make_unique<Orlavo::Testing::Workstation>(config, code);
        ASSERT_TRUE(company->open());
    }

    Services::Recordset rows(const QString &sql, const Services::Params &params = {})
    {
        return company->rows(sql, params).value_or(Services::Recordset());
    }

    QStringList column(const QString &sql, const Services::Params &params = {})
    {
        QStringList values;
        for (const auto &row : rows(sql, params))
            values << row.at(0).toString();
        return values;
    }

    int count(const QString &table)
    {
        const auto counted = rows(QStringLiteral("SELECT COUNT(*) FROM ") + table);
        return counted.isEmpty() ? -1 : counted.first().at(0).toInt();
    }

    void expectEveryDefault()
    {
        // Each role names exactly one account, as the documents look it up.
        QStringList known{kClosingMark};
        for (const Role &role : kRoles) {
            const QString code = QString::fromLatin1(role.code);
            SCOPED_TRACE(role.code);
            known << code;
            const auto accounts =
                rows(QStringLiteral("SELECT CODICE , DESCRIZIONE , TIPO_CONTO FROM TAB_PIANO_CONTI WHERE CONT_AUT = ?"),
                     {code});
            EXPECT_EQ(accounts.size(), 1);
            if (accounts.size() != 1)
                continue;
            EXPECT_TRUE(role.types.contains(accounts.first().text(QStringLiteral("TIPO_CONTO"))))
                << accounts.first().text(QStringLiteral("CODICE")).toStdString() << " "
                << accounts.first().text(QStringLiteral("TIPO_CONTO")).toStdString();
            EXPECT_FALSE(accounts.first().text(QStringLiteral("DESCRIZIONE")).isEmpty());
        }
        // No mistyped role hides among them.
        for (const QString &role :
             column(QStringLiteral("SELECT DISTINCT CONT_AUT FROM TAB_PIANO_CONTI WHERE CONT_AUT IS NOT NULL")))
            EXPECT_TRUE(known.contains(role)) << role.toStdString();

        // The closing and opening accounts carry the mark and nothing else.
        const auto closing =
            rows(QStringLiteral("SELECT DESCRIZIONE , TIPO_CONTO FROM TAB_PIANO_CONTI WHERE CONT_AUT = ? "
                                "ORDER BY DESCRIZIONE"),
                 {kClosingMark});
        QStringList closingNames;
        for (const auto &row : closing) {
            closingNames << row.text(QStringLiteral("DESCRIZIONE"));
            EXPECT_EQ(row.text(QStringLiteral("TIPO_CONTO")), kBalance);
        }
        EXPECT_EQ(closingNames,
                  (QStringList{QStringLiteral("CONTO ECONOMICO"), QStringLiteral("STATO PATRIMONIALE DI APERTURA"),
                               QStringLiteral("STATO PATRIMONIALE DI CHIUSURA")}));

        // Every account sits in an existing group and subgroup, has a type,
        // and a subgroup never spans two groups.
        EXPECT_EQ(column(QStringLiteral("SELECT CODICE FROM TAB_PIANO_CONTI P WHERE NOT EXISTS "
                                        "(SELECT 1 FROM TAB_GRUPP G WHERE G.CODICE = P.GRUPPO) OR NOT EXISTS "
                                        "(SELECT 1 FROM TAB_SOGRUP S WHERE S.CODICE = P.SOTTOGRU) "
                                        "OR TIPO_CONTO IS NULL OR TIPO_CONTO NOT IN (?, ?, ?)"),
                         {kCosts, kRevenues, kBalance}),
                  QStringList());
        EXPECT_EQ(column(QStringLiteral("SELECT SOTTOGRU FROM TAB_PIANO_CONTI GROUP BY SOTTOGRU "
                                        "HAVING COUNT(DISTINCT GRUPPO) > 1")),
                  QStringList());

        // What a new customer, supplier or item proposes.
        EXPECT_EQ(column(QStringLiteral("SELECT PAESE FROM %1 WHERE %2")
                             .arg(Tables::TAB_PAESI, Services::sqlUpperEquals(QStringLiteral("DESCRIZIONE"))),
                         {QStringLiteral("ITALIA")}),
                  QStringList{QStringLiteral("I")});
        EXPECT_EQ(column(QStringLiteral("SELECT CODICE FROM %1 WHERE %2")
                             .arg(Tables::TAB_UBICAZIONE, Services::sqlUpperEquals(QStringLiteral("DESCRIZIONE"))),
                         {QStringLiteral("INTERNO")})
                      .size(),
                  1);
        EXPECT_EQ(column(QStringLiteral("SELECT CODICE FROM %1 WHERE CODICE = ?").arg(Tables::TAB_TIPO_FOR),
                         {QStringLiteral("NO")})
                      .size(),
                  1);
        for (const QString &table : {Tables::TAB_TIPO_CLI, Tables::TAB_COND_PAG, Tables::TAB_PERIVA}) {
            SCOPED_TRACE(table.toStdString());
            EXPECT_GE(count(table), 1);
        }
    }

    std::unique_ptr<Orlavo::Testing::Workstation> company;

    std::unique_ptr<Orlavo::Testing::ServerDatabase> server;
};

TEST_P(NewCompanyTest, RegisteredCompanyHasEveryDefault)
{
    ASSERT_NO_FATAL_FAILURE(registerCompany());
    expectEveryDefault();
}

TEST_P(NewCompanyTest, ConfiguredCompanyHasEveryDefault)
{
    ASSERT_NO_FATAL_FAILURE(configureInstallation());
    expectEveryDefault();
}

TEST_P(NewCompanyTest, StandardDataAppliedAgainChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(configureInstallation());
    QHash<QString, int> before;
    for (const SchemaKind kind : {SchemaKind::Services, SchemaKind::Company}) {
        for (const auto &table : Services::StandardData::tables(kind)) {
            const QString name = kind == SchemaKind::Services ? QStringLiteral("servizi.") + table.name : table.name;
            before.insert(name, count(name));
            EXPECT_GE(before[name], int(table.rows.size())) << name.toStdString();
        }
    }
    // Only the standard rows, none lost to a repeated code.
    for (const QString &table : {Tables::TAB_GRUPP, Tables::TAB_SOGRUP, Tables::TAB_PIANO_CONTI})
        EXPECT_EQ(before[table], int(Services::StandardData::table(SchemaKind::Company, table).value().rows.size()))
            << table.toStdString();

    const QString sales =
        column(QStringLiteral("SELECT CODICE FROM TAB_PIANO_CONTI WHERE CONT_AUT = ?"), {QStringLiteral("RIC")})
            .value(0);
    ASSERT_FALSE(sales.isEmpty());
    {
        Services::WriteUnit unit(company->db(), QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        ASSERT_TRUE(unit.execCompany(QStringLiteral("Prova"),
                                     QStringLiteral("UPDATE TAB_PIANO_CONTI SET DESCRIZIONE = ? WHERE CODICE = ?"),
                                     {QStringLiteral("VENDITE AL DETTAGLIO"), sales}) &&
                    unit.commit());
    }
    {
        Services::WriteUnit unit(company->db(), QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        ASSERT_TRUE(Services::StandardData::apply(unit, SchemaKind::Services) &&
                    Services::StandardData::apply(unit, SchemaKind::Company) && unit.commit())
            << company->db().error().description.toStdString();
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        EXPECT_EQ(count(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(column(QStringLiteral("SELECT DESCRIZIONE FROM TAB_PIANO_CONTI WHERE CODICE = ?"), {sales}),
              QStringList{QStringLiteral("VENDITE AL DETTAGLIO")});
}

ORLAVO_FOR_EACH_ENGINE(NewCompanyTest);

} // namespace
