// Towns to postal codes and provinces: the postal codes of the company, then
// the Italian municipalities shipped in the services archive.
#include "masterdata/stores/postalcodes.h"

#include "contexttest.h"

#include <gtest/gtest.h>

using namespace Orlavo::Masterdata;

namespace {

class PostalCodesTest : public Orlavo::Testing::ContextTest<>
{
};

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

} // namespace
