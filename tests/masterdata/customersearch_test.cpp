#include "masterdata/rules/agentcode.h"
#include "masterdata/rules/customersearch.h"
#include "partysearchtest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

using Orlavo::Testing::Codes;

// The customers the list and the report choose from: mixed case names, a
// name holding "%", one holding "_" beside one where "_" would match any
// character, quotes, a row with no name, and the reserved code. Orders: 1
// open (no flags), 2 closed, 3 cancelled, 4 open (flags 0), 10 closed and
// cancelled, and the reserved code open.
class CustomerSearchTest : public Orlavo::Testing::PartySearchTest
{
protected:
    void seed() override
    {
        // Code, name, town, province, type, agent, zone.
        for (const char *row : {
                 "1, 'Rossi Mario', 'Milano', 'MI', '01', 12345, 'NORD'",
                 "2, 'ROSSI & FIGLI SRL', 'milano', 'mi', '02', 12345, 'NORD'",
                 "3, 'Bianchi 100% Srl', 'Torino', 'TO', '01', 54321, 'nord'",
                 "4, 'Bianchi 100 Srl', 'Torino', 'TO', '02', 54321, 'SUD'",
                 "5, 'Verdi_Luigi', 'Milano Marittima', 'RA', '01', NULL, 'SUD'",
                 "6, 'VerdiXLuigi', 'Bologna', 'BO', NULL, 12345, NULL",
                 "7, 'L''Arte \"Neri\" Snc', 'Bologna', 'bo', NULL, NULL, NULL",
                 "8, NULL, NULL, NULL, NULL, NULL, NULL",
                 "10, 'rossini sas', 'Roma', 'RM', '01', 54321, NULL",
                 "11, 'Star*Shop', 'Roma', 'RM', NULL, NULL, NULL",
                 "99999, 'Rossi listino standard', 'Milano', 'MI', '01', 12345, 'NORD'",
             })
            run(QStringLiteral(
                    "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, CITTA_LEG, PROVINCIA_LEG, TIPO_CLIENTE, AGENTE, "
                    "ZONA) VALUES (%1)")
                    .arg(QString::fromUtf8(row)));
        run("CREATE TABLE OFFERT (CLIENTE INTEGER, CHIUSA SMALLINT, ANNULLATA SMALLINT)");
        run("INSERT INTO OFFERT VALUES (1, NULL, NULL), (2, -1, 0), (3, 0, -1), (4, 0, 0), (10, -1, -1), "
            "(99999, NULL, NULL)");
    }

    void expect(const CustomerSearch &search, const Codes &expected, bool printable = true)
    {
        expectSearch("ANAG_CLI", "CLIENTE", search, expected, printable);
    }
};

CustomerSearchFilters with(auto set)
{
    CustomerSearchFilters f;
    set(f);
    return f;
}

TEST_P(CustomerSearchTest, ListAndReportSelectTheSameCustomers)
{
    const struct {
        const char *label;
        CustomerSearchFilters filters;
        Codes expected;
        bool printable = true; // a formula selecting the same rows exists
    } cases[] = {
        // clang-format off
        {"no filter: all but the reserved code", {}, {1, 2, 3, 4, 5, 6, 7, 8, 10, 11}},
        {"code range", with([](auto &f) { f.codeFrom = 2; f.codeTo = 5; }), {2, 3, 4, 5}},
        {"range of one code", with([](auto &f) { f.codeFrom = 3; f.codeTo = 3; }), {3}},
        {"reserved code asked for", with([](auto &f) { f.codeFrom = 99999; }), {}},
        {"name anywhere, case ignored", with([](auto &f) { f.name = "rossi"; }), {1, 2, 10}},
        {"typed % is literal", with([](auto &f) { f.name = "100%"; }), {3}},
        {"typed _ is literal", with([](auto &f) { f.name = "di_lu"; }), {5}},
        {"quotes and apostrophe", with([](auto &f) { f.name = "l'arte \"neri\""; }), {7}},
        {"blank name does not filter", with([](auto &f) { f.name = "   "; }), {1, 2, 3, 4, 5, 6, 7, 8, 10, 11}},
        {"town exact", with([](auto &f) { f.town = "MILANO"; }), {1, 2}},
        {"town pattern", with([](auto &f) { f.town = "milano"; f.townPattern = true; }), {1, 2, 5}},
        // The filters both registers compare as equal, case ignored.
        {"province", with([](auto &f) { f.province = "bo"; }), {6, 7}},
        {"customer type", with([](auto &f) { f.customerType = "02"; }), {2, 4}},
        {"agent", with([](auto &f) { f.agent = 54321; }), {3, 4, 10}},
        {"zone, case ignored", with([](auto &f) { f.zone = "Nord"; }), {1, 2, 3}},
        {"all combined, joined by and",
         with([](auto &f) {
             f.codeFrom = 1; f.codeTo = 4; f.name = "i"; f.province = "MI"; f.agent = 12345; f.zone = "NORD";
         }),
         {1, 2}},
        // Not printable: the formula's like would read "*" and "?" as wildcards.
        {"typed * on screen is literal", with([](auto &f) { f.name = "r*s"; }), {11}, false},
        {"open orders", with([](auto &f) { f.withOpenOrders = true; }), {1, 4}, false},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        const auto search = buildCustomerSearch(c.filters, {"MARIO", QString()});
        ASSERT_TRUE(search.ok()) << search.failure().message.toStdString();
        expect(*search, c.expected, c.printable);
        for (const std::optional<int> &number : {c.filters.codeFrom, c.filters.codeTo, c.filters.agent}) {
            if (number && *number >= 100) {
                EXPECT_FALSE(search->sql.contains(QString::number(*number))) << search->sql.toStdString();
            }
        }
    }
}

// Whatever agent he types, or none: the window fixes the field too (anaric_test).
TEST_P(CustomerSearchTest, AgentSeesOnlyHisCustomers)
{
    for (const std::optional<int> typed : {std::optional<int>(), std::optional<int>(54321)}) {
        CustomerSearchFilters filters;
        filters.agent = typed;
        const auto search = buildCustomerSearch(filters, {"a12345", "A"});
        ASSERT_TRUE(search.ok()) << search.failure().message.toStdString();
        expect(*search, {1, 2, 6});
    }
}

ORLAVO_FOR_EACH_ENGINE(CustomerSearchTest);

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

} // namespace
