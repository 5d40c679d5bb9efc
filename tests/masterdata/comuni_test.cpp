// The list of Italian municipalities shipped in the services archive.
#include "archives.h"
#include "masterdata/rules/taxcodes.h"
#include "masterdata/stores/postalcodes.h"
#include "services/core/tablenames.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace Orlavo::Masterdata;
using Orlavo::Testing::EngineTest;

namespace {

TEST(TaxCodeBirthplace, IsTheCadastralCode)
{
    const struct {
        const char *code, *birthplace;
    } cases[] = {
        {"RSSMRA80A01H501U", "H501"},
        {"VRDLGU75D45Z404N", "Z404"},
    };
    for (const auto &c : cases) {
        const auto person = personFromTaxCode(QString::fromLatin1(c.code), QDate(2026, 12, 7));
        ASSERT_TRUE(person.has_value()) << c.code;
        EXPECT_EQ(person->birthplace, QString::fromLatin1(c.birthplace)) << c.code;
    }
}

class ComuniTest : public EngineTest
{
};

TEST_P(ComuniTest, ATownGivesItsProvinceAndACadastralCodeItsTown)
{
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(Orlavo::Services::Tables::TAB_COMUNI))
                  .toInt(),
              7904);
    // No postal code of Aglié is known: the list still gives its province.
    EXPECT_EQ(placesOfTown(*db, QStringLiteral("agliè")), (QList<Place>{{QString(), QStringLiteral("TO")}}));
    EXPECT_TRUE(placesOfTown(*db, QStringLiteral("Atlantide")).isEmpty());
    // A postal code known wins over the list.
    QSqlQuery q(db->connection());
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO %1 (CAP, CITTA, PROVINCIA) VALUES ('10011', 'AGLIE''', 'TO')")
                           .arg(Orlavo::Services::Tables::TAB_CAP)));
    EXPECT_EQ(placesOfTown(*db, QStringLiteral("Agliè")), (QList<Place>{{QString(), QStringLiteral("TO")}}));
    EXPECT_EQ(placesOfTown(*db, QStringLiteral("aglie'")), (QList<Place>{{QStringLiteral("10011"), QStringLiteral("TO")}}));

    const auto rome = townOfCadastralCode(*db, QStringLiteral("H501"));
    ASSERT_TRUE(rome.has_value());
    EXPECT_EQ(rome->name, QStringLiteral("ROMA"));
    EXPECT_EQ(rome->province, QStringLiteral("RM"));
    EXPECT_FALSE(townOfCadastralCode(*db, QStringLiteral("Z404")).has_value());
    EXPECT_FALSE(townOfCadastralCode(*db, QString()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Engines, ComuniTest,
                         ::testing::Values(Orlavo::Testing::Engine::Sqlite, Orlavo::Testing::Engine::Postgres),
                         Orlavo::Testing::engineName);

} // namespace
