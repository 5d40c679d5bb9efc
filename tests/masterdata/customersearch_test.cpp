#include "masterdata/rules/agentcode.h"
#include "masterdata/rules/customersearch.h"
#include "partysearchtest.h"
#include "reporting/rules/selectionformula.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Masterdata;

namespace {

const char kConnection[] = "customersearch_test";

// The customers the list and the report choose from: mixed case names, a
// name holding "%", one holding "_" beside one where "_" would match any
// character, quotes, a row with no name, and the reserved code.
const char *const kRows[] = {
    "1, 'C1', 'Rossi Mario', NULL, 'Via Roma 1', 'Milano', 'MI', '01234567890', 'RSSMRA80A01F205X', '01', 12345, "
    "'NORD', 'COMM'",
    "2, 'C2', 'ROSSI & FIGLI SRL', 'Ingrosso', 'Via Po 2', 'milano', 'mi', '09876543210', NULL, '02', 12345, 'NORD', "
    "'IND'",
    "3, NULL, 'Bianchi 100% Srl', NULL, 'Corso Francia 3', 'Torino', 'TO', '11111111111', NULL, '01', 54321, 'nord', "
    "'comm'",
    "4, NULL, 'Bianchi 100 Srl', NULL, NULL, 'Torino', 'TO', NULL, NULL, '02', 54321, 'SUD', NULL",
    "5, NULL, 'Verdi_Luigi', NULL, NULL, 'Milano Marittima', 'RA', NULL, 'VRDLGU70B02H199Z', '01', NULL, 'SUD', 'COMM'",
    "6, NULL, 'VerdiXLuigi', NULL, NULL, 'Bologna', 'BO', NULL, NULL, NULL, 12345, NULL, NULL",
    "7, NULL, 'L''Arte \"Neri\" Snc', NULL, NULL, 'Bologna', 'bo', NULL, NULL, NULL, NULL, NULL, NULL",
    "8, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL",
    "10, NULL, 'rossini sas', NULL, NULL, 'Roma', 'RM', NULL, NULL, '01', 54321, NULL, NULL",
    "11, NULL, 'Star*Shop', NULL, NULL, 'Roma', 'RM', NULL, NULL, NULL, NULL, NULL, NULL",
    "99999, NULL, 'Rossi listino standard', NULL, NULL, 'Milano', 'MI', '01234567890', NULL, '01', 12345, 'NORD', "
    "'COMM'",
};

// Orders: 1 open (no flags), 2 closed, 3 cancelled, 4 open (flags 0), 10
// closed and cancelled, and the reserved code open.
const char *const kOrders[] = {"1, NULL, NULL", "2, -1, 0", "3, 0, -1", "4, 0, 0", "10, -1, -1", "99999, NULL, NULL"};

using Codes = QList<int>;

class CustomerSearchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", QLatin1String(kConnection));
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        exec("CREATE TABLE ANAG_CLI (CLIENTE INTEGER NOT NULL PRIMARY KEY, CODICE2 VARCHAR(7), RAG_SOC1 VARCHAR(60),"
             " RAG_SOC2 VARCHAR(60), INDIRIZZO_LEG VARCHAR(60), CITTA_LEG VARCHAR(40), PROVINCIA_LEG VARCHAR(2),"
             " PART_IVA VARCHAR(11), COD_FISC VARCHAR(16), TIPO_CLIENTE VARCHAR(2), AGENTE INTEGER, ZONA VARCHAR(4),"
             " COD_ATTIVITA VARCHAR(6))");
        for (const char *row : kRows)
            exec(QStringLiteral("INSERT INTO ANAG_CLI VALUES (%1)").arg(QString::fromUtf8(row)));
        exec("CREATE TABLE OFFERT (CLIENTE INTEGER, CHIUSA SMALLINT, ANNULLATA SMALLINT)");
        for (const char *row : kOrders)
            exec(QStringLiteral("INSERT INTO OFFERT VALUES (%1)").arg(QString::fromUtf8(row)));
    }

    void TearDown() override
    {
        {
            QSqlDatabase db = QSqlDatabase::database(QLatin1String(kConnection), false);
            db.close();
        }
        QSqlDatabase::removeDatabase(QLatin1String(kConnection));
    }

    static QSqlDatabase db() { return QSqlDatabase::database(QLatin1String(kConnection)); }

    static void exec(const QString &sql)
    {
        QSqlQuery q(db());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    static void exec(const char *sql) { exec(QString::fromUtf8(sql)); }

    // The first column of every row, as the statement orders them.
    static Codes select(const QString &sql, const QVariantList &params)
    {
        QSqlQuery q(db());
        EXPECT_TRUE(q.prepare(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        for (const QVariant &value : params)
            q.addBindValue(value);
        EXPECT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        Codes codes;
        while (q.next())
            codes.append(q.value(0).toInt());
        return codes;
    }

    static Codes sorted(Codes codes)
    {
        std::sort(codes.begin(), codes.end());
        return codes;
    }

    // The rows the report engine prints for the formula: the formula's
    // columns resolved as the engine does, from the table's own record.
    static Codes printed(const QString &formula)
    {
        const QSqlRecord record = db().record("ANAG_CLI");
        const ColumnResolver resolve = [record](const QString &table,
                                                const QString &column) -> std::optional<FormulaColumn> {
            if (table != QLatin1String("ANAG_CLI") || record.indexOf(column) < 0)
                return std::nullopt;
            return FormulaColumn{table + QLatin1Char('.') + column,
                                 record.field(column).metaType().id() == QMetaType::QString};
        };
        const auto condition = translateSelection(formula, resolve);
        EXPECT_TRUE(condition.ok()) << formula.toStdString() << ": "
                                    << (condition ? std::string() : condition.failure().detail.toStdString());
        if (!condition)
            return {};
        QString sql = "SELECT ANAG_CLI.CLIENTE FROM ANAG_CLI ANAG_CLI";
        if (!condition->sql.isEmpty())
            sql += " WHERE (" + condition->sql + QLatin1Char(')');
        return sorted(select(sql, condition->params));
    }
};

struct Case {
    const char *label;
    CustomerSearchFilters filters;
    Codes expected;
    bool printable = true; // a formula selecting the same rows exists
};

CustomerSearchFilters with(auto set)
{
    CustomerSearchFilters f;
    set(f);
    return f;
}

TEST_F(CustomerSearchTest, ListAndReportSelectTheSameCustomers)
{
    // clang-format off
    const QList<Case> cases = {
        {"no filter: all but the reserved code", {}, {1, 2, 3, 4, 5, 6, 7, 8, 10, 11}},
        {"code range", with([](auto &f) { f.codeFrom = 2; f.codeTo = 5; }), {2, 3, 4, 5}},
        {"range of one code", with([](auto &f) { f.codeFrom = 3; f.codeTo = 3; }), {3}},
        {"reserved code asked for", with([](auto &f) { f.codeFrom = 99999; }), {}},
        {"name anywhere, case ignored", with([](auto &f) { f.name = "rossi"; }), {1, 2, 10}},
        {"typed % is literal", with([](auto &f) { f.name = "100%"; }), {3}},
        {"typed _ is literal", with([](auto &f) { f.name = "di_lu"; }), {5}},
        {"double quotes in the name", with([](auto &f) { f.name = "\"neri\""; }), {7}},
        {"apostrophe in the name", with([](auto &f) { f.name = "l'arte"; }), {7}},
        {"surrounding blanks ignored", with([](auto &f) { f.name = "  bianchi 100  "; }), {3, 4}},
        {"blank name does not filter", with([](auto &f) { f.name = "   "; }), {1, 2, 3, 4, 5, 6, 7, 8, 10, 11}},
        {"text that looks like SQL", with([](auto &f) { f.name = "' OR '1'='1"; }), {}},
        {"town exact", with([](auto &f) { f.town = "MILANO"; }), {1, 2}},
        {"town pattern", with([](auto &f) { f.town = "milano"; f.townPattern = true; }), {1, 2, 5}},
        {"town exact is not a pattern", with([](auto &f) { f.town = "OLO"; }), {}},
        {"province", with([](auto &f) { f.province = "bo"; }), {6, 7}},
        {"VAT number", with([](auto &f) { f.vatNumber = "01234567890"; }), {1}},
        {"tax code, case ignored", with([](auto &f) { f.taxCode = "vrdlgu70b02h199z"; }), {5}},
        {"customer type", with([](auto &f) { f.customerType = "02"; }), {2, 4}},
        {"agent", with([](auto &f) { f.agent = 54321; }), {3, 4, 10}},
        {"zone, case ignored", with([](auto &f) { f.zone = "Nord"; }), {1, 2, 3}},
        {"activity", with([](auto &f) { f.activity = "COMM"; }), {1, 3, 5}},
        {"all combined, joined by and",
         with([](auto &f) {
             f.codeFrom = 1; f.codeTo = 4; f.name = "i"; f.province = "MI"; f.agent = 12345; f.zone = "NORD";
         }),
         {1, 2}},
        // Not printable: the formula's like would read "*" as a wildcard.
        {"typed * on screen is literal", with([](auto &f) { f.name = "r*s"; }), {11}, false},
        {"typed ? on screen is literal", with([](auto &f) { f.town = "m?"; f.townPattern = true; }), {}, false},
        {"open orders", with([](auto &f) { f.withOpenOrders = true; }), {1, 4}, false},
    };
    // clang-format on

    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const auto search = buildCustomerSearch(c.filters, {"MARIO", QString()});
        ASSERT_TRUE(search.ok()) << search.failure().message.toStdString();
        Testing::expectSearch(*search, c.expected, c.printable, select, printed);
        for (const std::optional<int> &number : {c.filters.codeFrom, c.filters.codeTo, c.filters.agent}) {
            if (number && *number >= 100) {
                EXPECT_FALSE(search->sql.contains(QString::number(*number))) << search->sql.toStdString();
            }
        }
    }
}

TEST_F(CustomerSearchTest, AgentSeesOnlyHisCustomers)
{
    struct AgentCase {
        const char *label;
        CustomerSearchUser user;
        std::optional<int> typedAgent;
        Codes expected;
    };
    const QList<AgentCase> cases = {
        {"agent, nothing typed", {"A12345", "A"}, std::nullopt, {1, 2, 6}},
        {"agent typing another agent", {"a12345", "A"}, 54321, {1, 2, 6}},
        {"other agent", {"A54321", "A"}, 12345, {3, 4, 10}},
        {"agent with no customers", {"A00007", "A"}, std::nullopt, {}},
    };
    for (const AgentCase &c : cases) {
        SCOPED_TRACE(c.label);
        CustomerSearchFilters filters;
        filters.agent = c.typedAgent;
        const auto search = buildCustomerSearch(filters, c.user);
        ASSERT_TRUE(search.ok()) << search.failure().message.toStdString();
        EXPECT_EQ(sorted(select(search->sql, search->params)), c.expected);
        ASSERT_TRUE(search->formula.has_value());
        EXPECT_EQ(printed(*search->formula), c.expected) << search->formula->toStdString();
    }
}

TEST(CustomerSearch, ReversedCodesAndAnAgentWithoutNumberAreRefused)
{
    CustomerSearchFilters filters;
    filters.codeFrom = 10;
    filters.codeTo = 9;
    const auto reversed = buildCustomerSearch(filters, {});
    ASSERT_FALSE(reversed.ok());
    EXPECT_EQ(reversed.failure().message, "Codice A deve essere maggiore di codice DA ");
    const auto noNumber = buildCustomerSearch({}, {"MARIO", "A"});
    ASSERT_FALSE(noNumber.ok());
    EXPECT_EQ(noNumber.failure().message, "Utente agente senza numero di agente");
}

// An agent's login code is "A" and five digits; the digits are his number.
TEST(CustomerSearch, AgentNumberComesFromTheLoginCode)
{
    const QList<std::pair<const char *, std::optional<int>>> cases = {
        {"A12345", 12345}, {"a00042", 42}, {" A12345 ", 12345}, {"A1234", {}}, {"B12345", {}},
        {"A123456", {}},   {"A1234X", {}}, {"A１２３４５", {}}, {"", {}},
    };
    for (const auto &[code, expected] : cases) {
        EXPECT_EQ(agentNumber(QString::fromUtf8(code)), expected) << code;
        EXPECT_EQ(isAgentCode(QString::fromUtf8(code).trimmed()), expected.has_value()) << code;
    }
}

// The list window reads the statement's rows by the names of its columns.
TEST(CustomerSearch, ListColumnsAreTheStatementsColumns)
{
    QStringList names;
    for (const Orlavo::Services::LookupColumn &column : customerListColumns())
        names.append(column.name);
    EXPECT_TRUE(buildCustomerSearch({}, {})->sql.startsWith("SELECT " + names.join(", ") + " FROM ANAG_CLI WHERE "));
}

} // namespace
