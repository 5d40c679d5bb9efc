#include "masterdata/stores/deliveryplaces.h"
#include "masterdata/windows/anamecli.h"
#include "masterdatatest.h"
#include "ui/inputfields.h"

#include <QCheckBox>

// A customer's delivery places: one default place, the next number, a
// number stored meanwhile (the store), then the window's wiring.

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;
using Fields = QList<QPair<QString, QString>>;
using Orlavo::Services::Prompter;
using Orlavo::Testing::leave;
using Orlavo::Testing::red;

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

// The places of customer 7, Rossi Srl; Moncalieri has one postal code.
class AnaMeCliTest : public Orlavo::Testing::WindowFixture<AnaMeCli, Orlavo::Testing::MasterdataTest<>>
{
protected:
    void seed() override
    {
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'Rossi Srl')");
        run("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('10024', 'MONCALIERI', 'TO')");
        window = std::make_unique<AnaMeCli>(*context, 7);
    }

    void place(int code, const char *description, int isDefault = 0)
    {
        run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, PREDEF) VALUES (7, %1, '%2', %3)")
                .arg(code)
                .arg(QLatin1String(description))
                .arg(isDefault));
    }

    QLineEdit *field(const char *column) { return window->field(QString::fromLatin1(column)); }

    // A new place typed and registered, the answers given to the questions.
    void save(const Fields &fields, bool isDefault, std::initializer_list<Prompter::Button> answers)
    {
        window->newPlace();
        for (const auto &[column, typed] : fields)
            window->field(column)->setText(typed);
        window->defaultBox()->setChecked(isDefault);
        answer(answers);
        window->save();
    }

    QStringList column(int c) const { return Orlavo::Testing::gridColumn(*window, c); }

    QString stored() { return text("SELECT DESC_LUOGO || '/' || PREDEF FROM CONS_MERCE WHERE CLIENTE = 7"); }
};

TEST_P(AnaMeCliTest, TheListShowsTheCustomersPlacesByNumberAndANewOneGetsTheNext)
{
    place(12, "Magazzino");
    place(2, "Cantiere", -1);
    window->reload();
    EXPECT_EQ(column(0) + column(1), (QStringList{"2", "12", "Cantiere", "Magazzino"}));
    EXPECT_EQ(field("COD_LUOGO")->text(), "13");

    // A chosen row fills the fields and keeps its number; Nuovo gives the next.
    window->loadRow(0);
    EXPECT_EQ(field("DESC_LUOGO")->text(), "Cantiere");
    EXPECT_TRUE(window->defaultBox()->isChecked());
    EXPECT_TRUE(field("COD_LUOGO")->isReadOnly());
    window->newPlace();
    EXPECT_EQ(field("COD_LUOGO")->text(), "13");
    EXPECT_FALSE(field("COD_LUOGO")->isReadOnly());
}

TEST_P(AnaMeCliTest, APlaceIsSavedAfterTheQuestionAndAStoredNumberIsReplacedOnlyOnYes)
{
    save({{"DESC_LUOGO", "Mai"}}, true, {Prompter::Button::Cancel});
    EXPECT_EQ(prompter.texts(), QStringList{Testing::kConfirmRegistrations});
    EXPECT_EQ(count("CONS_MERCE"), 0);
    EXPECT_EQ(field("DESC_LUOGO")->text(), "Mai");
    save({{"DESC_LUOGO", "Sede"}, {"CITTA", "Milano"}}, true, {});
    EXPECT_EQ(stored(), "Sede/-1");
    EXPECT_EQ(column(1), QStringList{"Sede"});

    const QString question = "L'elemento che si stà aggiornando esiste già in archivio \n"
                             "Procedere ugualmente con gli aggiornamenti ?";
    for (const Prompter::Button choice : {Prompter::Button::No, Prompter::Button::Yes}) {
        save({{"COD_LUOGO", "1"}, {"DESC_LUOGO", "Nuovo"}}, false, {Prompter::Button::Ok, choice});
        ASSERT_EQ(prompter.texts(), (QStringList{Testing::kConfirmRegistrations, question}));
        EXPECT_EQ(stored(), choice == Prompter::Button::Yes ? "Nuovo/0" : "Sede/-1");
    }
}

TEST_P(AnaMeCliTest, AMissingNumberAndAnUnknownProvinceAreRefused)
{
    // Only the last failing check is said; every failing field is red.
    save({{"COD_LUOGO", ""}, {"DESC_LUOGO", "Sede"}, {"PROV", "ZZ"}}, false, {});
    EXPECT_EQ(prompter.texts(), QStringList{"Provincia errata"});
    EXPECT_EQ(red(*window), (QStringList{"COD_LUOGO", "PROV"}));
    EXPECT_EQ(count("CONS_MERCE"), 0);

    // On leaving: the province is checked at once, the town fills postal
    // code and province and clears the mark, the number is checked.
    window->newPlace();
    answer();
    leave(field("PROV"), "ZZ");
    EXPECT_EQ(prompter.texts(), QStringList{"Provincia errata"});
    leave(field("CITTA"), "Moncalieri");
    EXPECT_EQ(field("CAP")->text() + field("PROV")->text(), "10024TO");
    EXPECT_TRUE(red(*window).isEmpty());
    leave(field("COD_LUOGO"), "");
    EXPECT_EQ(prompter.texts().value(1), "Occorre specificare un numero progressivo");
}

TEST_P(AnaMeCliTest, DeleteRemovesTheChosenPlaceAfterTheQuestion)
{
    place(1, "Sede");
    place(2, "Cantiere");
    window->reload();
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        window->loadRow(1);
        answer({choice});
        window->remove();
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi ELIMINAZIONE ?"});
        EXPECT_EQ(count("CONS_MERCE"), choice == Prompter::Button::Ok ? 1 : 2);
    }
    EXPECT_EQ(stored(), "Sede/0");
    EXPECT_EQ(column(0), QStringList{"1"});
}

ORLAVO_FOR_EACH_ENGINE(AnaMeCliTest);

} // namespace
