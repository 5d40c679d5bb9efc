#include "masterdata/rules/suppliersearch.h"
#include "partysearchtest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

using Orlavo::Testing::Codes;
constexpr auto Suppliers = SupplierFlavour::Suppliers;
constexpr auto Agents = SupplierFlavour::Agents;

// Suppliers (AGENTE ' ') and agents ('A') side by side, a row with no name,
// and the reserved code, which each case makes of its own kind. The filters
// both registers share are the customer search's (customersearch_test).
class SupplierSearchTest : public Orlavo::Testing::PartySearchTest
{
protected:
    void seed() override
    {
        // Code, flag, name, type.
        for (const char *row :
             {"1, ' ', 'Rossi Forniture', '01'", "2, 'A', 'ROSSI MARIO AGENTE', NULL", "3, ' ', 'Bianchi Srl', 'pr'",
              "4, 'A', 'Bianchi Sas', 'PR'", "5, ' ', NULL, '01'", "99999, ' ', 'Rossi listino standard', '01'"})
            run(QStringLiteral("INSERT INTO ANAG_FOR (FORNITORE, AGENTE, RAG_SOC1, TIPO_FORN) VALUES (%1)")
                    .arg(QString::fromUtf8(row)));
    }
};

SupplierSearchFilters with(auto set)
{
    SupplierSearchFilters f;
    set(f);
    return f;
}

TEST_P(SupplierSearchTest, ListAndReportSelectTheRowsOfTheFlavour)
{
    const struct {
        const char *label;
        SupplierFlavour flavour;
        SupplierSearchFilters filters;
        Codes expected;
    } cases[] = {
        {"suppliers only, never an agent", Suppliers, {}, {1, 3, 5}},
        {"agents only, never a supplier", Agents, {}, {2, 4}},
        {"a shared filter among agents", Agents, with([](auto &f) { f.name = "rossi"; }), {2}},
        {"supplier type, case ignored", Agents, with([](auto &f) { f.supplierType = "Pr"; }), {4}},
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

} // namespace
