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
// program's own headers are quoted and written from src/.
TEST(IncludeRules, TheLayoutTable)
{
    expectCases({
        // clang-format off
        // Within a subsystem.
        {"masterdata/windows/f110anac.cpp", "masterdata/stores/customerstore.h", false, true},
        {"masterdata/windows/f110anac.cpp", "masterdata/rules/taxcodes.h", false, true},
        {"masterdata/stores/customerstore.cpp", "masterdata/rules/taxcodes.h", false, true},
        {"masterdata/stores/partyprints.h", "masterdata/windows/f110anac.h", false, false},
        {"masterdata/rules/customersearch.h", "masterdata/stores/customerstore.h", false, false},
        {"masterdata/rules/customersearch.h", "masterdata/windows/anaric.h", false, false},
        {"masterdata/masterdata.cpp", "masterdata/windows/anaric.h", false, true},
        // The shared layers.
        {"masterdata/rules/codetables.h", "services/core/sqlterms.h", false, true},
        {"masterdata/rules/codetables.h", "services/data/dataaccess.h", false, false},
        {"masterdata/rules/envelope.h", "reporting/rules/reportlist.h", false, true},
        {"masterdata/rules/envelope.h", "reporting/printcommand.h", false, false},
        {"masterdata/stores/partyprints.h", "reporting/printcommand.h", false, true},
        {"masterdata/stores/partyprints.h", "ui/frmrpt.h", false, false},
        {"masterdata/windows/anaric.cpp", "ui/lookuplist.h", false, true},
        {"services/core/values.cpp", "services/data/dataaccess.h", false, false},
        {"services/data/counters.cpp", "services/data/writeunit.h", false, true},
        {"services/data/counters.cpp", "ui/inputfields.h", false, false},
        {"services/data/counters.cpp", "masterdata/rules/taxcodes.h", false, false},
        {"reporting/rules/reportlist.cpp", "reporting/stores/reportfiles.h", false, false},
        {"reporting/stores/reportbuild.cpp", "services/data/dataaccess.h", false, true},
        {"reporting/reportpainter.cpp", "ui/fieldlook.h", false, false},
        {"ui/lookuplist.h", "reporting/printcommand.h", false, true},
        {"ui/lookuplist.h", "masterdata/rules/codetables.h", false, false},
        // Between subsystems.
        {"shell/windows/menu.cpp", "masterdata/masterdata.h", false, true},
        {"shell/windows/menu.cpp", "masterdata/windows/f110anac.h", false, false},
        {"shell/stores/companyarchive.cpp", "masterdata/stores/postalcodes.h", false, true},
        {"shell/stores/companyarchive.cpp", "masterdata/masterdata.h", false, false},
        {"shell/rules/password.cpp", "masterdata/rules/agentcode.h", false, true},
        {"shell/rules/password.cpp", "masterdata/stores/customerstore.h", false, false},
        {"sales/stores/invoiceposting.cpp", "accounting/stores/journal.h", false, true},
        {"sales/stores/invoiceposting.cpp", "warehouse/rules/effects.h", false, true},
        {"accounting/stores/journal.cpp", "sales/rules/totals.h", false, false},
        {"warehouse/rules/effects.cpp", "accounting/rules/causals.h", false, false},
        {"vehicles/windows/register.cpp", "warehouse/warehouse.h", false, true},
        {"agenda/windows/frmage.cpp", "sales/sales.h", false, false},
        {"masterdata/windows/f110anac.cpp", "shell/windows/menu.h", false, false},
        // Qt modules; without Qt's include root a plain Sql class is still known by its name.
        {"masterdata/rules/taxcodes.cpp", "QString", true, true},
        {"masterdata/rules/taxcodes.cpp", "optional", true, true},
        {"masterdata/rules/taxcodes.cpp", "QtSql/QSqlQuery", true, false},
        {"masterdata/rules/taxcodes.cpp", "QSqlQuery", true, false},
        {"masterdata/rules/taxcodes.cpp", "QtConcurrent/QtConcurrent", true, false},
        {"services/core/values.cpp", "QtGui/QColor", true, false},
        {"services/data/counters.cpp", "QtSql/QSqlQuery", true, true},
        {"services/data/counters.cpp", "QtGui/QColor", true, false},
        {"masterdata/stores/customerstore.cpp", "QtSql/QSqlQuery", true, true},
        {"masterdata/stores/customerstore.cpp", "QtWidgets/QLineEdit", true, false},
        {"masterdata/stores/partyprints.cpp", "QtGui/QFont", true, true},
        {"masterdata/stores/partyprints.cpp", "QtPrintSupport/QPrinter", true, false},
        {"reporting/reportpainter.cpp", "QtGui/QPainter", true, true},
        {"masterdata/windows/f110anac.cpp", "QtWidgets/QLineEdit", true, true},
        // Own headers in quotes, from src/, in the layout.
        {"shell/windows/menu.cpp", "masterdata/windows/f110anac.h", true, false},
        {"masterdata/windows/f110anac.cpp", "services/core/values.h", true, false},
        {"masterdata/windows/f110anac.cpp", "f110anac.h", false, false},
        {"masterdata/windows/f110anac.cpp", "../stores/customerstore.h", false, false},
        {"masterdata/other/thing.cpp", "services/core/values.h", false, false},
        {"shell/windows/menu_test.cpp", "menu_test.moc", false, true},
        // clang-format on
    });
}

TEST(IncludeRules, PlainQtHeadersAreKnownByTheirModuleFolder)
{
    // A Qt include root of a few headers, as the installed one lays them out.
    QTemporaryDir qt;
    for (const char *header : {"QtCore/QString", "QtWidgets/QWidget", "QtWidgets/QLineEdit", "QtSql/QSqlQuery",
                               "QtGui/QColor", "QtPrintSupport/QPrinter"})
        ASSERT_TRUE(writeBytes(qt.filePath(QLatin1String(header)), "#include \"dummy.h\"\n"));
    const QtModules modules(qt.path().toStdString());
    EXPECT_EQ(modules.moduleOf("QWidget"), std::optional<std::string>("QtWidgets"));
    EXPECT_EQ(modules.moduleOf("QString"), std::optional<std::string>("QtCore"));
    EXPECT_EQ(modules.moduleOf("QtSql/QSqlQuery"), std::optional<std::string>("QtSql"));
    EXPECT_EQ(modules.moduleOf("QNoSuchClass"), std::nullopt);
    EXPECT_EQ(modules.moduleOf("vector"), std::nullopt);
    expectCases(
        {
            {"masterdata/rules/taxcodes.h", "QString", true, true},
            {"masterdata/rules/taxcodes.h", "QWidget", true, false},
            {"services/core/values.h", "QColor", true, false},
            {"services/data/recordset.h", "QSqlQuery", true, true},
            {"services/data/recordset.h", "QColor", true, false},
            {"masterdata/stores/customerstore.h", "QLineEdit", true, false},
            {"masterdata/stores/customerstore.h", "QColor", true, true},
            {"reporting/reportpainter.h", "QPrinter", true, false},
            {"masterdata/windows/f110anac.h", "QLineEdit", true, true},
            {"ui/frmrpt.cpp", "QPrinter", true, true},
        },
        modules);
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

    // Without it the same tree passes.
    ASSERT_TRUE(writeBytes(src + QStringLiteral("masterdata/stores/customerstore.cpp"),
                           "#include \"masterdata/stores/customerstore.h\"\n"));
    check.start(QStringLiteral(ORLAVO_INCLUDECHECK), {src});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
}

} // namespace
