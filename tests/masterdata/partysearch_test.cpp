#include "masterdata/rules/agentcode.h"
#include "masterdata/rules/customersearch.h"
#include "masterdata/rules/partysearch.h"
#include "masterdata/rules/suppliersearch.h"
#include "masterdata/windows/anaric.h"
#include "masterdata/windows/anaricfo.h"
#include "masterdatatest.h"
#include "reporting/stores/reportdata.h"
#include "ui/appcontext.h"
#include "ui/lookuplist.h"

#include <QCheckBox>

// The party searches: which rows each filter selects, the list and the
// report formula alike (the search rules), and the search windows' wiring:
// their filters reach the list and the print holds the list's rows. What
// both windows share (the list hook, the print refused to a wildcard, the
// filters cleared) is the supplier window's case; a coded filter's F4 is
// the lookup list's (lookuplist_test, lookups_test), what the print
// shows the list report's (partyprints_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

using Codes = QList<int>;
using Fields = QList<QPair<QString, QString>>;

// A search over a party table (ANAG_CLI, ANAG_FOR) of the archives.
class PartySearchTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    // The codes the statement selects, in its order.
    Codes listed(const QString &key, const QString &sql, const Services::Params &params)
    {
        const auto rows = context->db.openRecordset(sql, params);
        EXPECT_TRUE(rows.ok()) << sql.toStdString();
        Codes codes;
        if (rows) {
            for (const auto row : *rows)
                codes << row.integer(key);
        }
        return codes;
    }

    // The codes the report engine selects from the table with the formula.
    Codes printed(const QString &table, const QString &key, const QString &formula)
    {
        const QString column = table + QLatin1Char('.') + key;
        Reporting::ReportDefinition definition;
        definition.tables = {{table, 1}};
        definition.order = {column};
        Codes codes;
        for (const QString &code : Orlavo::Testing::reportRows(context->db, definition, formula, {column}))
            codes << code.toInt();
        return codes;
    }

    // What a party search must hold whatever its filters: the list and, when
    // it has one, the report formula select the expected codes; typed values
    // travel as parameters (no literal in the statement but the LIKE escape,
    // one value per placeholder).
    void expectSearch(const QString &table, const QString &key, const Masterdata::PartySearch &search,
                      const Codes &expected, bool printable)
    {
        // In code order: the print's order, and a large archive's first
        // screen comes without sorting every match.
        EXPECT_EQ(listed(key, search.sql, search.params), expected) << search.sql.toStdString();
        EXPECT_EQ(search.formula.has_value(), printable);
        if (search.formula) {
            EXPECT_EQ(printed(table, key, *search.formula), expected) << search.formula->toStdString();
        }
        QString statement = search.sql;
        statement.remove(QStringLiteral("ESCAPE '!'"));
        EXPECT_FALSE(statement.contains(QLatin1Char('\''))) << search.sql.toStdString();
        EXPECT_EQ(search.sql.count(QLatin1Char('?')), search.params.size());
    }
};

// The codes a search window's list shows, under its title.
inline Codes listedCodes(Ui::AppContext &context, const Ui::LookupRequest &request, const QString &title)
{
    Codes codes;
    for (const QString &code : Orlavo::Testing::listValues(context, request, title))
        codes << code.toInt();
    return codes;
}

const auto customers = [](auto set) { return Testing::with<CustomerSearchFilters>(set); };
const auto suppliers = [](auto set) { return Testing::with<SupplierSearchFilters>(set); };

// The customers the list and the report choose from: mixed case names, a
// name holding "%", one holding "_" beside one where "_" would match any
// character, quotes, a row with no name, and the reserved code. Orders: 1
// open (no flags), 2 closed, 3 cancelled, 4 open (flags 0), 10 closed and
// cancelled, and the reserved code open.
class CustomerSearchTest : public PartySearchTest
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
};

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
        {"code range", customers([](auto &f) { f.codeFrom = 2; f.codeTo = 5; }), {2, 3, 4, 5}},
        {"reserved code asked for", customers([](auto &f) { f.codeFrom = 99999; }), {}},
        {"name anywhere, case ignored", customers([](auto &f) { f.name = "rossi"; }), {1, 2, 10}},
        {"typed % is literal", customers([](auto &f) { f.name = "100%"; }), {3}},
        {"typed _ is literal", customers([](auto &f) { f.name = "di_lu"; }), {5}},
        {"quotes and apostrophe", customers([](auto &f) { f.name = "l'arte \"neri\""; }), {7}},
        {"blank name does not filter", customers([](auto &f) { f.name = "   "; }), {1, 2, 3, 4, 5, 6, 7, 8, 10, 11}},
        {"town exact", customers([](auto &f) { f.town = "MILANO"; }), {1, 2}},
        {"town pattern", customers([](auto &f) { f.town = "milano"; f.townPattern = true; }), {1, 2, 5}},
        // The filters both registers compare as equal, case ignored.
        {"province", customers([](auto &f) { f.province = "bo"; }), {6, 7}},
        {"customer type", customers([](auto &f) { f.customerType = "02"; }), {2, 4}},
        {"agent", customers([](auto &f) { f.agent = 54321; }), {3, 4, 10}},
        {"zone, case ignored", customers([](auto &f) { f.zone = "Nord"; }), {1, 2, 3}},
        {"all combined, joined by and",
         customers([](auto &f) {
             f.codeFrom = 1; f.codeTo = 4; f.name = "i"; f.province = "MI"; f.agent = 12345; f.zone = "NORD";
         }),
         {1, 2}},
        // Not printable: the formula's like would read "*" and "?" as wildcards.
        {"typed * on screen is literal", customers([](auto &f) { f.name = "r*s"; }), {11}, false},
        {"open orders", customers([](auto &f) { f.withOpenOrders = true; }), {1, 4}, false},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        const auto search = buildCustomerSearch(c.filters, {"MARIO", QString()});
        ASSERT_TRUE(search.ok()) << search.failure().message.toStdString();
        expectSearch("ANAG_CLI", "CLIENTE", *search, c.expected, c.printable);
        for (const std::optional<int> &number : {c.filters.codeFrom, c.filters.codeTo, c.filters.agent}) {
            if (number && *number >= 100) {
                EXPECT_FALSE(search->sql.contains(QString::number(*number))) << search->sql.toStdString();
            }
        }
    }
}

// Whatever agent he types, or none: the window fixes the field too.
TEST_P(CustomerSearchTest, AgentSeesOnlyHisCustomers)
{
    for (const std::optional<int> typed : {std::optional<int>(), std::optional<int>(54321)}) {
        CustomerSearchFilters filters;
        filters.agent = typed;
        const auto search = buildCustomerSearch(filters, {"a12345", "A"});
        ASSERT_TRUE(search.ok()) << search.failure().message.toStdString();
        expectSearch("ANAG_CLI", "CLIENTE", *search, {1, 2, 6}, true);
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

// Suppliers (AGENTE ' ') and agents ('A') side by side, a row with no name,
// and the reserved code, which each case makes of its own kind. The filters
// both registers share are the customer search's.
class SupplierSearchTest : public PartySearchTest
{
protected:
    void seed() override
    {
        // Code, flag, name, type, town.
        for (const char *row :
             {"1, ' ', 'Rossi Forniture', '01', 'TORINO'", "2, 'A', 'ROSSI MARIO AGENTE', NULL, 'TORINO'",
              "3, ' ', 'Bianchi Srl', 'pr', 'ASTI'", "4, 'A', 'Bianchi Sas', 'PR', 'TORINO'",
              "5, ' ', NULL, '01', 'TORINO'", "99999, ' ', 'Rossi listino standard', '01', 'TORINO'"})
            run(QStringLiteral("INSERT INTO ANAG_FOR (FORNITORE, AGENTE, RAG_SOC1, TIPO_FORN, CITTA_LEG) VALUES (%1)")
                    .arg(QString::fromUtf8(row)));
    }
};

TEST_P(SupplierSearchTest, ListAndReportSelectTheRowsOfTheFlavour)
{
    const struct {
        const char *label;
        SupplierFlavour flavour;
        SupplierSearchFilters filters;
        Codes expected;
    } cases[] = {
        {"suppliers only, never an agent", SupplierFlavour::Suppliers, {}, {1, 3, 5}},
        {"agents only, never a supplier", SupplierFlavour::Agents, {}, {2, 4}},
        {"a shared filter among agents", SupplierFlavour::Agents, suppliers([](auto &f) { f.name = "rossi"; }), {2}},
        {"supplier type, case ignored",
         SupplierFlavour::Agents,
         suppliers([](auto &f) { f.supplierType = "Pr"; }),
         {4}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        // The reserved code is of the kind searched for: only its code keeps it out.
        run(QStringLiteral("UPDATE ANAG_FOR SET AGENTE = '%1' WHERE FORNITORE = 99999").arg(agentFlagOf(c.flavour)));
        const auto search = buildSupplierSearch(c.filters, c.flavour);
        ASSERT_TRUE(search.ok()) << search.failure().message.toStdString();
        expectSearch("ANAG_FOR", "FORNITORE", *search, c.expected, true);
    }
}

ORLAVO_FOR_EACH_ENGINE(SupplierSearchTest);

// The search window on the customers above.
class AnaRicTest : public CustomerSearchTest
{
protected:
    // The codes the window's list shows for the typed filters.
    Codes listed(AnaRic &window, const Fields &fields)
    {
        for (const auto &[name, text] : fields)
            window.field(name)->setText(text);
        const auto search = window.search();
        EXPECT_TRUE(search && search->formula) << prompter.texts().join('|').toStdString();
        if (!search)
            return {};
        return listedCodes(*context, AnaRic::listRequest(*search), "Lista CLIENTI");
    }
};

// The town pattern's box is the supplier search window's case.
TEST_P(AnaRicTest, TheTypedFiltersReachTheList)
{
    AnaRic window(*context);
    EXPECT_EQ(listed(window, {{"RAG_SOC1", "rossi"}, {"AGENTE", "54321"}}), Codes{10});
    window.clearFilters();
    EXPECT_EQ(listed(window, {{"CITTA_LEG", "bologna"}}), (Codes{6, 7}));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();

    // Reversed codes are refused, for the list and the print alike.
    window.field("CODICE_DA")->setText("5");
    window.field("CODICE_A")->setText("2");
    EXPECT_FALSE(window.search().has_value());
    EXPECT_FALSE(window.print(true));
    EXPECT_EQ(prompter.texts(), QStringList(2, "Codice A deve essere maggiore di codice DA "));
}

// The agent's own number fills the field, which he cannot change.
TEST_P(AnaRicTest, AnAgentSeesOnlyHisOwnCustomers)
{
    context->state.user = "A12345";
    context->state.agentFlag = "A";
    AnaRic window(*context);
    QLineEdit *agent = window.field("AGENTE");
    EXPECT_TRUE(agent->isReadOnly());
    window.clearFilters();
    EXPECT_EQ(agent->text(), "12345");
    EXPECT_EQ(listed(window, {{"AGENTE", "12"}}), (Codes{1, 2, 6}));
}

ORLAVO_FOR_EACH_ENGINE(AnaRicTest);

// The search window on the suppliers and agents above.
class AnaRicFoTest : public SupplierSearchTest
{
protected:
    void seed() override
    {
        SupplierSearchTest::seed();
        useShippedReports();
        addStandardData();
    }

    // The codes the window's list shows for what is typed in it.
    Codes listed(AnaRicFo &window, const QString &title)
    {
        const auto search = window.search();
        EXPECT_TRUE(search && search->formula) << prompter.texts().join('|').toStdString();
        if (!search)
            return {};
        return listedCodes(*context, AnaRicFo::listRequest(*search, window.flavour()), title);
    }
};

TEST_P(AnaRicFoTest, EachFlavourListsAndPrintsOnlyItsOwnKind)
{
    const struct {
        SupplierFlavour flavour;
        const char *list;
        Codes all, torino;
    } cases[] = {
        {SupplierFlavour::Suppliers, "Lista FORNITORI", {1, 3, 5}, {1, 5}},
        {SupplierFlavour::Agents, "Lista AGENTI", {2, 4}, {2, 4}},
    };
    const QHash<int, QString> names = {
        {1, "Rossi Forniture"}, {2, "ROSSI MARIO AGENTE"}, {3, "Bianchi Srl"}, {4, "Bianchi Sas"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list);
        AnaRicFo window(*context, c.flavour);
        EXPECT_EQ(listed(window, c.list), c.all);
        window.field("CITTA_LEG")->setText("orin");
        window.townPattern()->setChecked(true);
        EXPECT_EQ(listed(window, c.list), c.torino);

        // Stampa prints the rows of the list, under the list's title.
        ASSERT_TRUE(window.print(Reporting::ReportOutput::Pdf, pdf())) << prompter.texts().join('|').toStdString();
        const QString printed = Orlavo::Testing::pdfText(pdf());
        EXPECT_TRUE(printed.contains(c.list)) << printed.toStdString();
        for (auto name = names.cbegin(); name != names.cend(); ++name)
            EXPECT_EQ(printed.contains(name.value()), c.torino.contains(name.key())) << name.value().toStdString();

        window.clearFilters();
        EXPECT_EQ(listed(window, c.list), c.all);
        EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
    }
}

TEST_P(AnaRicFoTest, TheChosenRowReachesTheHookAndAWildcardIsNotPrinted)
{
    AnaRicFo window(*context, SupplierFlavour::Suppliers);
    int chosen = 0;
    window.setOnChosen([&chosen](int code) { chosen = code; });
    window.field("RAG_SOC1")->setText("rossi");
    Orlavo::Testing::pickInNextList(&window, 0);
    window.showList();
    EXPECT_EQ(chosen, 1);

    // A "*" is literal on screen but a wildcard for the report: no print.
    answer();
    window.field("RAG_SOC1")->setText("*");
    EXPECT_FALSE(window.print(Reporting::ReportOutput::Pdf, pdf()));
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_TRUE(prompter.texts().first().startsWith("La stampa non può cercare i caratteri * e ?"));
}

ORLAVO_FOR_EACH_ENGINE(AnaRicFoTest);

} // namespace
