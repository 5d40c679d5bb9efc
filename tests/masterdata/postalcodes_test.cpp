#include "masterdata/stores/postalcodes.h"

#include "contexttest.h"

#include <gtest/gtest.h>

using namespace Orlavo::Masterdata;

namespace {

class PostalCodesTest : public Orlavo::Testing::ContextTest<>
{
};

TEST_P(PostalCodesTest, TownsGivePostalCodesWhateverTheCase)
{
    for (const char *row : {"('10121', 'TORINO', 'TO')", "('10100', 'TORINO', 'TO')", "('20100', 'MILANO', 'MI')"})
        run(QStringLiteral("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ") + QString::fromLatin1(row));
    const auto places = placesOfTown(context->db, QStringLiteral(" torino"));
    ASSERT_EQ(places.size(), 2);
    EXPECT_EQ(places.first(), (Place{QStringLiteral("10100"), QStringLiteral("TO")}));
    EXPECT_EQ(places.last(), (Place{QStringLiteral("10121"), QStringLiteral("TO")}));
    // A town of the list without a postal code known gives its province only.
    EXPECT_EQ(placesOfTown(context->db, QStringLiteral("Roma")), (QList<Place>{{QString(), QStringLiteral("RM")}}));
    EXPECT_TRUE(placesOfTown(context->db, QStringLiteral("  ")).isEmpty());
    EXPECT_TRUE(provinceExists(context->db, QStringLiteral("to")));
    EXPECT_FALSE(provinceExists(context->db, QStringLiteral("XX")));
}

ORLAVO_FOR_EACH_ENGINE(PostalCodesTest);

} // namespace
