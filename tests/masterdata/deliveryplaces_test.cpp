#include "masterdata/stores/deliveryplaces.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;
using Fields = QList<QPair<QString, QString>>;

namespace {

// Customer 7 without places; customer 8 has place 9, the default.
class DeliveryPlacesTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, PREDEF) VALUES (8, 9, 'Altro', -1)");
    }

    WriteEnd save(int code, const Fields &fields, bool isDefault, PlaceSave how = PlaceSave::Insert)
    {
        DeliveryPlace place = newDeliveryPlace(7, code);
        for (const auto &[column, typed] : fields)
            place.setText(column, typed);
        place.set("PREDEF", isDefault);
        const std::optional<DeliveryPlace> loaded = how == PlaceSave::Update
                                                        ? *findDeliveryPlace(context->db, 7, code).value()
                                                        : std::optional<DeliveryPlace>();
        return saveDeliveryPlace(context->db, place, how, loaded).end;
    }

    // "count/sum of the default flags/the default place" of customer 7.
    QString places()
    {
        return text("SELECT COUNT(*) FROM CONS_MERCE WHERE CLIENTE = 7") + '/' +
               text("SELECT COALESCE(SUM(PREDEF), 0) FROM CONS_MERCE WHERE CLIENTE = 7") + '/' +
               text("SELECT DESC_LUOGO FROM CONS_MERCE WHERE CLIENTE = 7 AND PREDEF = -1");
    }
};

// One default place per customer; a new number is the customer's highest
// plus one; a number stored meanwhile is a Duplicate until replaced whole.
TEST_P(DeliveryPlacesTest, ADefaultPlaceTakesTheFlagFromTheCustomersOthers)
{
    EXPECT_EQ(nextPlaceCode(context->db, 7), 1);
    ASSERT_EQ(save(1, {{"DESC_LUOGO", "Sede"}, {"RADIALE", "R1"}}, true), WriteEnd::Written);
    EXPECT_EQ(places(), "1/-1/Sede");
    EXPECT_EQ(save(2, {{"DESC_LUOGO", "Cantiere"}}, true), WriteEnd::Written);
    EXPECT_EQ(places(), "2/-1/Cantiere");
    EXPECT_EQ(text("SELECT PREDEF FROM CONS_MERCE WHERE CLIENTE = 8"), "-1");
    EXPECT_EQ(save(1, {{"DESC_LUOGO", "Sede"}, {"RADIALE", "R1"}}, true, PlaceSave::Update), WriteEnd::Written);
    EXPECT_EQ(places(), "2/-1/Sede");
    EXPECT_EQ(nextPlaceCode(context->db, 7), 3);

    EXPECT_EQ(save(1, {{"DESC_LUOGO", "Nuovo"}}, false), WriteEnd::Duplicate);
    EXPECT_EQ(places(), "2/-1/Sede");
    EXPECT_EQ(save(1, {{"DESC_LUOGO", "Nuovo"}}, false, PlaceSave::Replace), WriteEnd::Written);
    // The stored default gives way whole: nothing of it is left.
    EXPECT_TRUE(archives->scalar("SELECT RADIALE FROM CONS_MERCE WHERE DESC_LUOGO = 'Nuovo'").isNull());
    EXPECT_EQ(places(), "2/0/");

    EXPECT_EQ(deleteDeliveryPlace(context->db, 7, 2).end, WriteEnd::Written);
    EXPECT_EQ(deleteDeliveryPlace(context->db, 7, 2).end, WriteEnd::Gone);
    EXPECT_EQ(places(), "1/0/");
    EXPECT_EQ(count("SEMAFORO"), 0);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
}

// The insert refused after the others lost the flag: the flag comes back.
TEST_P(DeliveryPlacesTest, AFailedInsertGivesTheFlagBack)
{
    run("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, PREDEF) VALUES (7, 1, 'Sede', -1)");
    ASSERT_EQ(Orlavo::Testing::refuseInserts(context->db.connection(), GetParam(), "CONS_MERCE"), QString());
    EXPECT_EQ(save(2, {{"DESC_LUOGO", "Cantiere"}}, true), WriteEnd::Failed);
    // Reported once; the report's form is the write unit's.
    EXPECT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(places(), "1/-1/Sede");
    EXPECT_EQ(count("SEMAFORO"), 0);
}

ORLAVO_FOR_EACH_ENGINE(DeliveryPlacesTest);

} // namespace
