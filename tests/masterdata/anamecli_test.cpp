#include "masterdata/stores/deliveryplaces.h"
#include "masterdata/windows/anamecli.h"
#include "masterdatatest.h"
#include "ui/inputfields.h"

#include <QCheckBox>
#include <QTableWidget>

// The delivery places window's wiring; the writes themselves are the
// store's (deliveryplaces_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::leave;
using Orlavo::Testing::red;
using Fields = QList<QPair<QString, QString>>;

namespace {

const QString kConfirm = "Confermi registrazioni?";

// The places of customer 7, Rossi Srl; Moncalieri has one postal code.
class AnaMeCliTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'Rossi Srl')");
        run("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('10024', 'MONCALIERI', 'TO')");
        window = std::make_unique<AnaMeCli>(*context, 7);
    }

    void TearDown() override
    {
        window.reset();
        MasterdataTest::TearDown();
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

    QStringList column(int c)
    {
        const auto *grid = window->findChild<QTableWidget *>();
        QStringList cells;
        for (int r = 0; r < grid->rowCount(); ++r)
            cells << grid->item(r, c)->text();
        return cells;
    }

    QString stored() { return text("SELECT DESC_LUOGO || '/' || PREDEF FROM CONS_MERCE WHERE CLIENTE = 7"); }

    std::unique_ptr<AnaMeCli> window;
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
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(count("CONS_MERCE"), 0);
    EXPECT_EQ(field("DESC_LUOGO")->text(), "Mai");
    save({{"DESC_LUOGO", "Sede"}, {"CITTA", "Milano"}}, true, {});
    EXPECT_EQ(stored(), "Sede/-1");
    EXPECT_EQ(column(1), QStringList{"Sede"});

    const QString question = "L'elemento che si stà aggiornando esiste già in archivio \n"
                             "Procedere ugualmente con gli aggiornamenti ?";
    for (const Prompter::Button choice : {Prompter::Button::No, Prompter::Button::Yes}) {
        save({{"COD_LUOGO", "1"}, {"DESC_LUOGO", "Nuovo"}}, false, {Prompter::Button::Ok, choice});
        ASSERT_EQ(prompter.texts(), (QStringList{kConfirm, question}));
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
