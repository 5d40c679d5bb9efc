#include "contexttest.h"
#include "masterdata/rules/suppliersearch.h"
#include "partysearchtest.h"
#include "reporting/stores/reportdata.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

using Orlavo::Testing::Codes;
constexpr auto Suppliers = SupplierFlavour::Suppliers;
constexpr auto Agents = SupplierFlavour::Agents;

// Suppliers (AGENTE ' ') and agents ('A') side by side: mixed case, a name
// holding "%", one holding "_" beside one where "_" would match any
// character, quotes, a row with no name, and the reserved code, which each
// case makes of its own kind.
class SupplierSearchTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // Code, flag, name, town, province, VAT number, tax code, type, activity.
        for (const char *row : {
                 "1, ' ', 'Rossi Forniture', 'Torino', 'TO', '01234567890', NULL, '01', 'COMM'",
                 "2, 'A', 'ROSSI MARIO AGENTE', 'torino', 'to', NULL, 'RSSMRA70A02A479X', NULL, 'COMM'",
                 "3, ' ', 'Bianchi 100% Srl', 'Milano', 'MI', '11111111111', NULL, '02', 'IND'",
                 "4, 'A', 'Bianchi 100 Sas', 'Milano', 'MI', NULL, NULL, '02', 'comm'",
                 "5, ' ', 'Verdi_Luigi', 'Milano Marittima', 'RA', NULL, 'VRDLGU70B02H199Z', '01', NULL",
                 "6, ' ', 'VerdiXLuigi', 'Bologna', 'BO', NULL, NULL, NULL, NULL",
                 "7, 'A', 'L''Arte \"Neri\" Snc', 'Bologna', 'bo', NULL, NULL, NULL, NULL",
                 "8, ' ', NULL, NULL, NULL, NULL, NULL, NULL, NULL",
                 "9, ' ', 'Star*Shop', 'Roma', 'RM', NULL, NULL, '01', NULL",
                 "99999, ' ', 'Rossi listino standard', 'Torino', 'TO', '01234567890', NULL, '01', 'COMM'",
             })
            run(QStringLiteral("INSERT INTO ANAG_FOR (FORNITORE, AGENTE, RAG_SOC1, CITTA_LEG, PROVINCIA_LEG, "
                               "PART_IVA, COD_FISC, TIPO_FORN, COD_ATTIVITA) VALUES (%1)")
                    .arg(QString::fromUtf8(row)));
    }

    Codes listed(const QString &sql, const Services::Params &params)
    {
        const auto rows = context->db.openRecordset(sql, params);
        EXPECT_TRUE(rows.ok()) << sql.toStdString();
        Codes codes;
        if (rows) {
            for (const auto row : *rows)
                codes << row.integer("FORNITORE");
        }
        return codes;
    }

    // The rows the report engine selects with the formula, on ANAG_FOR.
    Codes printed(const QString &formula)
    {
        Reporting::ReportDefinition definition;
        definition.tables = {{QStringLiteral("ANAG_FOR"), 1}};
        definition.order = {QStringLiteral("ANAG_FOR.FORNITORE")};
        const auto query = Reporting::buildReportQuery(context->db, definition, QStringLiteral("C"), formula);
        EXPECT_TRUE(query.ok()) << formula.toStdString() << ": "
                                << (query ? std::string() : query.failure().detail.toStdString());
        if (!query)
            return {};
        const auto rows = Reporting::readReportRows(context->db, *query);
        EXPECT_TRUE(rows.ok());
        Codes codes;
        for (qsizetype row = 0; rows && row < rows->rows.size(); ++row)
            codes << rows->value(row, QStringLiteral("ANAG_FOR.FORNITORE")).toInt();
        return codes;
    }
};

SupplierSearchFilters with(auto set)
{
    SupplierSearchFilters f;
    set(f);
    return f;
}

TEST_P(SupplierSearchTest, ListAndReportSelectTheSameRowsOfTheFlavour)
{
    const struct {
        const char *label;
        SupplierFlavour flavour;
        SupplierSearchFilters filters;
        Codes expected;
        bool printable = true; // a formula selecting the same rows exists
    } cases[] = {
        // clang-format off
        {"suppliers only, never an agent", Suppliers, {}, {1, 3, 5, 6, 8, 9}},
        {"agents only, never a supplier", Agents, {}, {2, 4, 7}},
        {"code range", Suppliers, with([](auto &f) { f.codeFrom = 2; f.codeTo = 6; }), {3, 5, 6}},
        {"reserved code asked for", Agents, with([](auto &f) { f.codeFrom = 7; }), {7}},
        {"name anywhere, case ignored", Suppliers, with([](auto &f) { f.name = "rossi"; }), {1}},
        {"the same name among agents", Agents, with([](auto &f) { f.name = "rossi"; }), {2}},
        {"typed % is literal", Suppliers, with([](auto &f) { f.name = "100%"; }), {3}},
        {"typed _ is literal", Suppliers, with([](auto &f) { f.name = "di_lu"; }), {5}},
        {"quotes and apostrophe", Agents, with([](auto &f) { f.name = "l'arte \"neri\""; }), {7}},
        {"text that looks like SQL", Suppliers, with([](auto &f) { f.name = "' OR '1'='1"; }), {}},
        {"town exact, case ignored", Agents, with([](auto &f) { f.town = "TORINO"; }), {2}},
        {"town exact is not a pattern", Suppliers, with([](auto &f) { f.town = "milano"; }), {3}},
        {"town pattern", Suppliers, with([](auto &f) { f.town = "milano"; f.townPattern = true; }), {3, 5}},
        {"province", Agents, with([](auto &f) { f.province = "BO"; }), {7}},
        {"VAT number", Suppliers, with([](auto &f) { f.vatNumber = " 01234567890 "; }), {1}},
        {"tax code, case ignored", Agents, with([](auto &f) { f.taxCode = "rssmra70a02a479x"; }), {2}},
        {"supplier type", Suppliers, with([](auto &f) { f.supplierType = "01"; }), {1, 5, 9}},
        {"activity, case ignored", Agents, with([](auto &f) { f.activity = "Comm"; }), {2, 4}},
        {"all combined, joined by and",
         Suppliers, with([](auto &f) { f.codeTo = 5; f.name = "i"; f.province = "mi"; f.supplierType = "02"; }), {3}},
        // Not printable: the formula's like would read "*" and "?" as wildcards.
        {"typed * on screen is literal", Suppliers, with([](auto &f) { f.name = "r*s"; }), {9}, false},
        {"typed ? on screen is literal", Agents, with([](auto &f) { f.name = "?"; }), {}, false},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        // The reserved code is of the kind searched for: only its code keeps it out.
        run(QStringLiteral("UPDATE ANAG_FOR SET AGENTE = '%1' WHERE FORNITORE = 99999").arg(agentFlagOf(c.flavour)));
        const auto search = buildSupplierSearch(c.filters, c.flavour);
        ASSERT_TRUE(search.ok()) << search.failure().message.toStdString();
        Testing::expectSearch(
            *search, c.expected, c.printable,
            [this](const QString &sql, const Services::Params &params) { return listed(sql, params); },
            [this](const QString &formula) { return printed(formula); });
    }
}

ORLAVO_FOR_EACH_ENGINE(SupplierSearchTest);

TEST(SupplierSearch, ReversedCodesAreRefused)
{
    SupplierSearchFilters filters;
    filters.codeFrom = 10;
    filters.codeTo = 9;
    for (const SupplierFlavour flavour : {Suppliers, Agents}) {
        const auto reversed = buildSupplierSearch(filters, flavour);
        ASSERT_FALSE(reversed.ok());
        EXPECT_EQ(reversed.failure().message, "Codice A deve essere maggiore di codice DA ");
    }
}

// The list window reads the statement's rows by the names of its columns.
TEST(SupplierSearch, ListColumnsAreTheStatementsColumns)
{
    QStringList names;
    for (const Orlavo::Services::LookupColumn &column : supplierListColumns())
        names.append(column.name);
    EXPECT_EQ(names.first(), "FORNITORE");
    EXPECT_TRUE(
        buildSupplierSearch({}, Agents)->sql.startsWith("SELECT " + names.join(", ") + " FROM ANAG_FOR WHERE "));
}

} // namespace
