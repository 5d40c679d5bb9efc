#include "archives.h"
#include "masterdata/stores/customerstore.h"
#include "masterdata/stores/itemstore.h"
#include "masterdata/stores/supplierstore.h"

using namespace Orlavo;

namespace {

class MovementUsesTest : public Testing::EngineTest
{
};

} // namespace

// A movement keeps its item, supplier and customer from deletion.
TEST_P(MovementUsesTest, MovementsKeepTheirPartiesAndItem)
{
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO MOVMAG (ANNO, NRO_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, "
                                          "CLIENTE, FORNITORE, QUANTITA) "
                                          "VALUES ('2026', 1, '01', 'ABC', 'VITE-10', 'S10', 12, 34, 1.5)")));
    const QStringList moved{QStringLiteral("Movimenti di magazzino")};
    EXPECT_EQ(Masterdata::customerUsesOf(*db, 12).value(), moved);
    EXPECT_EQ(Masterdata::supplierUsesOf(*db, 34).value(), moved);
    EXPECT_EQ(Masterdata::customerUsesOf(*db, 34).value(), QStringList());
    EXPECT_EQ(
        Masterdata::itemDeleteRefusal(*db, {QStringLiteral("01"), QStringLiteral("ABC"), QStringLiteral("VITE-10")})
            .value(),
        QStringLiteral("Impossibile eliminare l'articolo, esistono ancora movimenti"));
    EXPECT_EQ(
        Masterdata::itemDeleteRefusal(*db, {QStringLiteral("01"), QStringLiteral("ABC"), QStringLiteral("VITE-12")})
            .value(),
        QString());
}

ORLAVO_FOR_EACH_ENGINE(MovementUsesTest);
