#include "files.h"
#include "includerules.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo::IncludeCheck;
using Orlavo::Testing::writeBytes;

namespace {

struct Case {
    const char *from;
    const char *include;
    bool angle;
    bool allowed;
};

void expectCases(const std::vector<Case> &cases, const QtModules &modules = {})
{
    for (const Case &c : cases) {
        const auto reason = forbidden(c.from, c.include, c.angle, modules);
        EXPECT_EQ(!reason.has_value(), c.allowed)
            << c.from << " -> " << c.include << (reason ? ": " + *reason : std::string(": allowed"));
    }
}

// Each layer includes downwards only; subsystems meet through rules,
// stores and the exported header; Qt modules follow the layer; the
// program's own headers are quoted and written from src/. What src/ already
// includes is allowed by the check the test command runs on the tree; here
// the refusals and the allowed kinds the tree does not have yet.
TEST(IncludeRules, TheLayoutTable)
{
    expectCases({
        // clang-format off
        // Within a subsystem.
        {"masterdata/stores/partyprints.h", "masterdata/windows/f110anac.h", false, false},
        // The shared layers.
        {"masterdata/rules/codetables.h", "services/data/dataaccess.h", false, false},
        {"masterdata/rules/envelope.h", "reporting/rules/reportlist.h", false, true},
        {"masterdata/rules/envelope.h", "reporting/printcommand.h", false, false},
        {"services/core/values.cpp", "services/data/dataaccess.h", false, false},
        {"reporting/rules/reportlist.cpp", "reporting/stores/reportfiles.h", false, false},
        {"ui/lookuplist.h", "masterdata/rules/codetables.h", false, false},
        // Between subsystems.
        {"shell/windows/menu.cpp", "masterdata/windows/f110anac.h", false, false},
        {"shell/stores/companyarchive.cpp", "masterdata/masterdata.h", false, false},
        {"shell/rules/password.cpp", "masterdata/rules/agentcode.h", false, true},
        {"sales/stores/invoiceposting.cpp", "warehouse/rules/effects.h", false, true},
        {"accounting/stores/journal.cpp", "sales/rules/totals.h", false, false},
        // Qt modules; without Qt's include root a plain Sql class is still known by its name.
        {"masterdata/rules/taxcodes.cpp", "QSqlQuery", true, false},
        {"services/data/counters.cpp", "QtSql/QSqlQuery", true, true},
        {"services/data/counters.cpp", "QtGui/QColor", true, false},
        // Own headers in quotes, from src/, in the layout.
        {"shell/windows/menu.cpp", "masterdata/windows/f110anac.h", true, false},
        {"masterdata/windows/f110anac.cpp", "f110anac.h", false, false},
        {"masterdata/other/thing.cpp", "services/core/values.h", false, false},
        {"shell/windows/menu_test.cpp", "menu_test.moc", false, true},
        // clang-format on
    });
}

TEST(IncludeRules, PlainQtHeadersAreKnownByTheirModuleFolder)
{
    // A Qt include root of a few headers, as the installed one lays them out.
    QTemporaryDir qt;
    for (const char *header :
         {"QtCore/QString", "QtWidgets/QWidget", "QtWidgets/QLineEdit", "QtSql/QSqlQuery", "QtGui/QColor"})
        ASSERT_TRUE(writeBytes(qt.filePath(QLatin1String(header)), "#include \"dummy.h\"\n"));
    const QtModules modules(qt.path().toStdString());
    EXPECT_EQ(modules.moduleOf("QString"), std::optional<std::string>("QtCore"));
    EXPECT_EQ(modules.moduleOf("QNoSuchClass"), std::nullopt);
    EXPECT_EQ(modules.moduleOf("vector"), std::nullopt);
    expectCases({{"masterdata/rules/taxcodes.h", "QWidget", true, false}}, modules);
}

// The program as the test command runs it: a deliberate bad include in a
// store makes it fail and name the file and the line.
TEST(IncludeCheckProgram, FailsNamingTheFileAndLineOfABadInclude)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString src = dir.path() + QStringLiteral("/src/");
    ASSERT_TRUE(writeBytes(src + QStringLiteral("masterdata/windows/f110anac.h"), "#pragma once\n"));
    ASSERT_TRUE(
        writeBytes(src + QStringLiteral("masterdata/stores/customerstore.cpp"),
                   "#include \"masterdata/stores/customerstore.h\"\n\n#include \"masterdata/windows/f110anac.h\"\n"));
    ASSERT_TRUE(
        writeBytes(src + QStringLiteral("masterdata/stores/customerstore.h"), "#pragma once\n#include <QString>\n"));

    QProcess check;
    check.start(QStringLiteral(ORLAVO_INCLUDECHECK), {src});
    ASSERT_TRUE(check.waitForFinished(30000));
    const QString errors = QString::fromUtf8(check.readAllStandardError());
    EXPECT_EQ(check.exitCode(), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("masterdata/stores/customerstore.cpp:3:"))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("masterdata/windows/f110anac.h"))) << errors.toStdString();
    EXPECT_EQ(errors.count(QStringLiteral("customerstore")), 1) << errors.toStdString();
}

} // namespace
