#pragma once

#include "archives.h"
#include "reporting/stores/reportfiles.h"
#include "scriptedprompter.h"
#include "services/data/standarddata.h"
#include "services/data/writeunit.h"
#include "ui/appcontext.h"

#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <memory>

namespace Orlavo::Testing {

// A window test run once per engine: fresh archives, the program's context
// on them with company "01" open, and an exit hook that counts instead of
// ending the process. The prompter type lets a test record more.
template <typename P = ScriptedPrompter> class ContextTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Engine::Postgres && !PgServer::fromEnvironment().available() && !PgServer::required())
            GTEST_SKIP() << "no PostgreSQL test server";
        archives = std::make_unique<TestArchives>(GetParam());
        ASSERT_TRUE(archives->ready()) << archives->problem().toStdString();
        context = std::make_unique<Ui::AppContext>(archives->folder(), prompter);
        context->db.setExitHook([this](int) { ++dbExits; });
        context->db.setLockRetryDelay(1);
        ASSERT_TRUE(context->db.openServices(archives->config()));
        ASSERT_TRUE(context->db.openCompany(QStringLiteral("01")));
        prepare();
    }

    // What a fixture adds once the archives are open; not run for a test
    // skipped or already failed.
    virtual void prepare() {}

    // The state after a login of `user` of type `type`, company "01" current.
    void workAs(const QString &user, int type)
    {
        context->state.company = QStringLiteral("01");
        context->state.user = user;
        context->state.userType = type;
    }

    // A statement of the test's own on the company, outside the program.
    void run(const QString &sql)
    {
        QSqlQuery q(context->db.connection());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }

    // The reports shipped with the program, found as it finds them.
    void useShippedReports()
    {
        context->state.pathRpt = QStringLiteral(ORLAVO_SHIPPED_REPORTS);
        context->state.pathRptPers = archives->folder() + QStringLiteral("RPTPERS/");
        context->reports = Reporting::loadReportList(context->state.pathRptPers, context->state.pathRpt).entries;
    }

    // The standard data of a new company (accounts, countries, payment
    // terms …) and its counters of customer and supplier codes.
    void addStandardData()
    {
        Services::WriteUnit unit(context->db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        ASSERT_TRUE(Services::StandardData::apply(unit, Services::SchemaKind::Services) &&
                    Services::StandardData::apply(unit, Services::SchemaKind::Company) &&
                    unit.execCompany(QStringLiteral("Prova"),
                                     QStringLiteral("INSERT INTO NUMERA (ANNO, NOME, NUMERATORE, MAX_NUMERA) "
                                                    "VALUES ('****', 'ANAC', 0, 99999), ('****', 'ANAF', 0, 99999)")) &&
                    unit.commit())
            << context->db.error().description.toStdString();
    }

    void TearDown() override
    {
        context.reset();
        archives.reset();
    }

    // Declared first, destroyed last: the archives outlive the connection.
    std::unique_ptr<TestArchives> archives;
    P prompter;
    std::unique_ptr<Ui::AppContext> context;
    int dbExits = 0;
};

} // namespace Orlavo::Testing
