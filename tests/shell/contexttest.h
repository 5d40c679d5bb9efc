#pragma once

#include "appcontext.h"
#include "archives.h"
#include "scriptedprompter.h"

#include <gtest/gtest.h>

#include <memory>

namespace Orlavo::Testing {

// A window test run once per engine: fresh archives, the program's context
// on them with company "01" open, and an exit hook that counts instead of
// ending the process. The prompter type lets a test record more.
template <typename P = ScriptedPrompter>
class ContextTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Engine::Postgres && !PgServer::fromEnvironment().available() && !PgServer::required())
            GTEST_SKIP() << "no PostgreSQL test server";
        archives = std::make_unique<TestArchives>(GetParam());
        ASSERT_TRUE(archives->ready()) << archives->problem().toStdString();
        context = std::make_unique<Shell::AppContext>(archives->folder(), prompter);
        context->db.setExitHook([this](int) { ++dbExits; });
        context->db.setLockRetryDelay(1);
        ASSERT_TRUE(context->db.openServices(archives->config()));
        ASSERT_TRUE(context->db.openCompany(QStringLiteral("01")));
    }

    void TearDown() override
    {
        context.reset();
        archives.reset();
    }

    // Declared first, destroyed last: the archives outlive the connection.
    std::unique_ptr<TestArchives> archives;
    P prompter;
    std::unique_ptr<Shell::AppContext> context;
    int dbExits = 0;
};

} // namespace Orlavo::Testing
