#include "masterdata/stores/deliveryplaces.h"
#include "masterdata/windows/anamecli.h"
#include "masterdatatest.h"
#include "ui/inputfields.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>

// The delivery places window and its store, which has no other test.

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
using Orlavo::Testing::leave;
using Orlavo::Testing::red;
using Fields = QList<QPair<QString, QString>>;

namespace {

const QString kConfirm = "Confermi registrazioni?";

// The places of customer 7, Rossi Srl (none yet); customer 8 has place 9,
// the default. Moncalieri has one postal code.
class AnaMeCliTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void SetUp() override
    {
        MasterdataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'Rossi Srl')");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (8, 'Bianchi Spa')");
        place(8, 9, "Altro", -1);
        run("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('10024', 'MONCALIERI', 'TO')");
        window = std::make_unique<AnaMeCli>(*context, 7);
    }

    void TearDown() override
    {
        window.reset();
        MasterdataTest::TearDown();
    }

    void place(int customer, int code, const char *description, int isDefault = 0)
    {
        run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, PREDEF) VALUES (%1, %2, '%3', %4)")
                .arg(customer)
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

    // "count/sum of the default flags" of customer 7.
    QString places()
    {
        return text("SELECT COUNT(*) FROM CONS_MERCE WHERE CLIENTE = 7") + '/' +
               text("SELECT COALESCE(SUM(PREDEF), 0) FROM CONS_MERCE WHERE CLIENTE = 7");
    }
    QString defaultPlace() { return text("SELECT DESC_LUOGO FROM CONS_MERCE WHERE CLIENTE = 7 AND PREDEF = -1"); }

    std::unique_ptr<AnaMeCli> window;
};

TEST_P(AnaMeCliTest, TheListShowsTheCustomersPlacesByNumberAndANewOneGetsTheNext)
{
    EXPECT_EQ(window->windowTitle(), "Luoghi consegna merce - Cliente 7 Rossi Srl");
    // The first place is number 1, whatever other customers have.
    EXPECT_EQ(field("COD_LUOGO")->text(), "1");
    EXPECT_FALSE(window->findChild<QPushButton *>("elimina")->isEnabled());

    run("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, KKMM, PREDEF) VALUES (7, 12, 'Magazzino', 3.5, 0)");
    place(7, 2, "Cantiere", -1);
    place(7, 5, "Sede");
    window->reload();
    EXPECT_EQ(column(0), (QStringList{"2", "5", "12"}));
    EXPECT_EQ(column(1), (QStringList{"Cantiere", "Sede", "Magazzino"}));
    EXPECT_EQ(column(6), (QStringList{"", "", "3,50"}));
    EXPECT_EQ(column(8), (QStringList{"Sì", "", ""}));
    EXPECT_EQ(field("COD_LUOGO")->text(), "13");

    // A chosen row fills the fields and keeps its number; Nuovo gives the next.
    window->loadRow(0);
    EXPECT_EQ(field("DESC_LUOGO")->text(), "Cantiere");
    EXPECT_TRUE(window->defaultBox()->isChecked());
    EXPECT_TRUE(field("COD_LUOGO")->isReadOnly());
    EXPECT_TRUE(window->findChild<QPushButton *>("elimina")->isEnabled());
    window->newPlace();
    EXPECT_EQ(window->typed(), newDeliveryPlace(7, 13));
    EXPECT_FALSE(field("COD_LUOGO")->isReadOnly());
}

TEST_P(AnaMeCliTest, ADefaultPlaceTakesTheFlagFromTheOthers)
{
    save({{"DESC_LUOGO", "Sede"}, {"CITTA", "Milano"}, {"PROV", "mi"}, {"KKMM", "12,5"}, {"RADIALE", "r1"}}, true, {});
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(text("SELECT DESC_LUOGO || CITTA || PROV || RADIALE FROM CONS_MERCE WHERE CLIENTE = 7"),
              "SedeMilanoMIR1");
    EXPECT_DOUBLE_EQ(archives->scalar("SELECT KKMM FROM CONS_MERCE WHERE CLIENTE = 7").toDouble(), 12.5);
    EXPECT_EQ(places(), "1/-1");

    // The second default: exactly one left, the new one; other customers untouched.
    save({{"DESC_LUOGO", "Cantiere"}}, true, {});
    EXPECT_EQ(places() + defaultPlace(), "2/-1Cantiere");
    EXPECT_EQ(text("SELECT PREDEF FROM CONS_MERCE WHERE CLIENTE = 8"), "-1");

    // Made default on a change, the stored place takes the flag back.
    window->loadRow(0);
    window->defaultBox()->setChecked(true);
    window->save();
    EXPECT_EQ(places() + defaultPlace(), "2/-1Sede");

    // Cancel at the question: nothing written, the input stays.
    save({{"DESC_LUOGO", "Mai"}}, true, {Prompter::Button::Cancel});
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(places(), "2/-1");
    EXPECT_EQ(field("DESC_LUOGO")->text(), "Mai");
}

TEST_P(AnaMeCliTest, AddingAStoredNumberAsksBeforeReplacingIt)
{
    run("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, RADIALE, PREDEF) VALUES (7, 1, 'Vecchio', 'R9', 0)");
    const QString question = "L'elemento che si stà aggiornando esiste già in archivio \n"
                             "Procedere ugualmente con gli aggiornamenti ?";
    save({{"COD_LUOGO", "1"}, {"DESC_LUOGO", "Nuovo"}}, false, {Prompter::Button::Ok, Prompter::Button::No});
    ASSERT_EQ(prompter.texts(), (QStringList{kConfirm, question}));
    EXPECT_EQ(prompter.shown().last().buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(text("SELECT DESC_LUOGO || RADIALE FROM CONS_MERCE WHERE CLIENTE = 7"), "VecchioR9");

    // Yes: the stored row gives way to the new one, whole.
    answer({Prompter::Button::Ok, Prompter::Button::Yes});
    window->save();
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, question}));
    EXPECT_EQ(places(), "1/0");
    EXPECT_TRUE(archives->scalar("SELECT RADIALE FROM CONS_MERCE WHERE DESC_LUOGO = 'Nuovo'").isNull());
    EXPECT_EQ(count("SEMAFORO"), 0);
}

TEST_P(AnaMeCliTest, AMissingNumberAndAnUnknownProvinceAreRefused)
{
    const struct {
        const char *code, *province;
        QString message;
        QStringList failing;
    } cases[] = {
        {"", "ZZ", "Provincia errata", {"COD_LUOGO", "PROV"}},
        {"", "TO", "Occorre specificare un numero progressivo", {"COD_LUOGO"}},
        {"0", "", "Occorre specificare un numero progressivo", {"COD_LUOGO"}},
        {"3", "zz", "Provincia errata", {"PROV"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << "/" << c.province);
        save({{"COD_LUOGO", c.code}, {"DESC_LUOGO", "Sede"}, {"PROV", c.province}}, false, {});
        // Only the last failing check is said; every failing field is red.
        EXPECT_EQ(prompter.texts(), QStringList{c.message});
        EXPECT_EQ(prompter.titles(), QStringList{"Errore!"});
        EXPECT_EQ(red(*window), c.failing);
        EXPECT_EQ(places(), "0/0");
    }

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
    place(7, 1, "Sede");
    place(7, 2, "Cantiere");
    window->reload();
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        window->loadRow(1);
        answer({choice});
        window->remove();
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi ELIMINAZIONE ?"});
    }
    EXPECT_EQ(text("SELECT DESC_LUOGO FROM CONS_MERCE WHERE CLIENTE = 7"), "Sede");
    EXPECT_EQ(text("SELECT COUNT(*) FROM CONS_MERCE WHERE CLIENTE = 8"), "1");
    EXPECT_EQ(column(0), QStringList{"1"});
    EXPECT_EQ(field("COD_LUOGO")->text(), "2");
    EXPECT_EQ(count("SEMAFORO"), 0);
}

TEST_P(AnaMeCliTest, AFailedInsertGivesTheFlagBackAndKeepsTheInput)
{
    place(7, 1, "Sede", -1);
    // Inserts fail: the flag already taken from place 1 comes back.
    if (GetParam() == Engine::Sqlite) {
        run("CREATE TRIGGER nega_ins BEFORE INSERT ON CONS_MERCE BEGIN SELECT RAISE(ABORT, 'scrittura bloccata'); END");
    } else {
        run("CREATE FUNCTION nega_ins() RETURNS trigger LANGUAGE plpgsql AS "
            "$$ BEGIN RAISE EXCEPTION 'scrittura bloccata'; END $$");
        run("CREATE TRIGGER nega_ins BEFORE INSERT ON CONS_MERCE FOR EACH ROW EXECUTE FUNCTION nega_ins()");
    }
    save({{"DESC_LUOGO", "Cantiere"}, {"CITTA", "Torino"}}, true, {});
    ASSERT_EQ(prompter.shown().size(), 2);
    const QString report = prompter.texts().last();
    EXPECT_TRUE(report.startsWith("Rilevato errore su Gestione luoghi consegna merce\n") &&
                report.contains("\nStep Ins. consmerce .\n"))
        << report.toStdString();
    EXPECT_EQ(places() + defaultPlace(), "1/-1Sede");
    EXPECT_EQ(field("DESC_LUOGO")->text() + field("CITTA")->text(), "CantiereTorino");
    EXPECT_TRUE(window->defaultBox()->isChecked());
    EXPECT_EQ(count("SEMAFORO"), 0);

    // Once inserts pass the same input is stored.
    run(GetParam() == Engine::Sqlite ? "DROP TRIGGER nega_ins" : "DROP TRIGGER nega_ins ON CONS_MERCE");
    answer();
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(places() + defaultPlace(), "2/-1Cantiere");
}

ORLAVO_FOR_EACH_ENGINE(AnaMeCliTest);

} // namespace
