#include "masterdata/stores/postalcodes.h"
#include "masterdata/windows/codedlookups.h"
#include "masterdatatest.h"

// Lookups of the master data: towns to postal codes and provinces (the
// postal codes of the company, then the Italian municipalities shipped in
// the services archive), and the coded fields' pickers.

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

using PostalCodesTest = Orlavo::Testing::ContextTest<>;

TEST_P(PostalCodesTest, ATownGivesItsPostalCodesElseTheProvinceOfTheMunicipality)
{
    for (const char *row : {"('10121', 'TORINO', 'TO')", "('10100', 'TORINO', 'TO')", "('10011', 'AGLIE''', 'TO')"})
        run(QStringLiteral("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ") + QString::fromLatin1(row));
    const struct {
        const char *town;
        QList<Place> places;
    } cases[] = {
        // In postal-code order, whatever the case.
        {" torino", {{"10100", "TO"}, {"10121", "TO"}}},
        {"aglie'", {{"10011", "TO"}}},
        // No postal code known: the municipality's province; accented capitals folded.
        {"Roma", {{QString(), "RM"}}},
        {"agliè", {{QString(), "TO"}}},
        {"  ", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(placesOfTown(context->db, QString::fromUtf8(c.town)), c.places) << c.town;
    EXPECT_TRUE(provinceExists(context->db, "to"));
    EXPECT_FALSE(provinceExists(context->db, "XX"));

    const auto rome = townOfCadastralCode(context->db, "H501");
    ASSERT_TRUE(rome.has_value());
    EXPECT_EQ(rome->name + ' ' + rome->province, "ROMA RM");
    EXPECT_FALSE(townOfCadastralCode(context->db, "Z404").has_value());
    EXPECT_FALSE(townOfCadastralCode(context->db, QString()).has_value());
}

ORLAVO_FOR_EACH_ENGINE(PostalCodesTest);

using CodedLookupsTest = Orlavo::Testing::ContextTest<>;

// Suppliers and agents share ANAG_FOR: each picker lists and describes its
// own kind only, and never the reserved code.
TEST_P(CodedLookupsTest, SupplierAndAgentPickersKeepToTheirKind)
{
    for (const char *row : {"1, ' ', 'ROSSI FORNITURE'", "2, 'A', 'VERDI AGENTE'", "3, ' ', 'NERI TRASPORTI'",
                            "99999, ' ', 'LISTINO STANDARD'"})
        run(QStringLiteral("INSERT INTO ANAG_FOR (FORNITORE, AGENTE, RAG_SOC1) VALUES (%1)").arg(row));
    const struct {
        const char *column, *flag, *title;
        QStringList listed;
        QStringList described; // codes 1, 2 and 99999
    } cases[] = {
        {"FORNITORE", " ", "Lista FORNITORI", {"1", "3"}, {"ROSSI FORNITURE", "", ""}},
        {"AGENTE", "A", "Lista AGENTI", {"2"}, {"", "VERDI AGENTE", ""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.column);
        // The reserved code of the picker's own kind: only its code keeps it out.
        run(QStringLiteral("UPDATE ANAG_FOR SET AGENTE = '%1' WHERE FORNITORE = 99999").arg(c.flag));
        const CodedLookup *lookup = partyLookup(QString::fromLatin1(c.column));
        ASSERT_NE(lookup, nullptr);
        EXPECT_EQ(Orlavo::Testing::listValues(*context, codedLookupList(*lookup), c.title), c.listed);
        QStringList described;
        for (const char *code : {"1", "2", "99999"})
            described << codedDescription(context->db, *lookup, QString::fromLatin1(code));
        EXPECT_EQ(described, c.described);
    }
}

ORLAVO_FOR_EACH_ENGINE(CodedLookupsTest);

} // namespace
