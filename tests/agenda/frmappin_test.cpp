#include "agenda/windows/frmappin.h"
#include "agendawindowtest.h"
#include "services/core/concurrency.h"

#include <QCheckBox>
#include <QComboBox>

// The appointment window's wiring: the checks and writes themselves are the
// rules' and the store's (agendarules_test, appointmentstore_test); here
// what the operator meets.

using namespace Orlavo;
using namespace Orlavo::Agenda;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

const QString kConfirm = "Confermi le registrazioni?";
const QDate kDay(2025, 12, 9);

// Customer 7 is Rossi Srl. On kDay: 09.30 ANNA with customer 7, 10.00 MARCO,
// 15.00 ANNA done; the day after: 09.30 ZENO.
class FrmAppInTest : public Testing::MasterdataTest<Testing::RecordingPrompter>
{
protected:
    // Through the store's insert: one appointment per day and time, PROGR 1.
    void store(const Appointment &a) { ASSERT_TRUE(insertAppointment(context->db, a).written()); }

    void seed() override
    {
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'Rossi Srl'), (8, 'Bianchi Spa')");
        store({kDay, "09.30", 0, "10.00", "ANNA", 7, "Rossi Srl", "Taglio", false});
        store({kDay, "10.00", 0, "", "MARCO", std::nullopt, "Verdi", "", false});
        store({kDay, "15.00", 0, "16.00", "ANNA", std::nullopt, "", "Fatto", true});
        store({kDay.addDays(1), "09.30", 0, "", "ZENO", std::nullopt, "", "", false});
    }

    // The stored appointment, read by a connection of its own.
    std::optional<Appointment> stored(const QString &from)
    {
        Testing::Workstation reader(archives->config());
        const auto found = loadAppointment(reader.db(), kDay, from, 1);
        return found ? *found : std::nullopt;
    }

    std::unique_ptr<FrmAppIn> edit(const char *from)
    {
        return std::make_unique<FrmAppIn>(*context, Appointment{kDay, from, 1, "", "", std::nullopt, "", "", false});
    }
};

TEST_P(FrmAppInTest, ThreeWrongFieldsTurnRedAndTheFirstSpeaks)
{
    FrmAppIn window(*context, kDay, QString());
    window.field("GIORNO")->setText("32/01/2025");
    window.field("ORA")->setText("25");
    window.field("COD_CLI")->setText("55");
    EXPECT_FALSE(window.save());
    EXPECT_EQ(prompter.texts(), QStringList{"Ora errata"});
    EXPECT_EQ(red(window), (QStringList{"COD_CLI", "GIORNO", "ORA"}));

    // Put right, the marks go and the save asks.
    answer({Prompter::Button::Ok});
    window.field("GIORNO")->setText("11/12/2025");
    window.field("ORA")->setText("11");
    window.field("COD_CLI")->setText("8");
    EXPECT_TRUE(window.save()) << prompter.texts().join('|').toStdString();
    EXPECT_TRUE(red(window).isEmpty());
}

TEST_P(FrmAppInTest, ANewAppointmentIsWrittenAfterTheQuestion)
{
    FrmAppIn window(*context, kDay, "11.30");
    // The operators already used.
    EXPECT_EQ(window.operatorBox()->count(), 3);

    int written = 0;
    window.setOnWritten([&written] { ++written; });
    window.field("ORA")->setText("9:5");
    window.field("ORA_A")->setText("1015");
    window.operatorBox()->setCurrentText("LUCA");
    // Leaving the code fills the name.
    Testing::leave(window.field("COD_CLI"), "8");
    window.field("NOTE1")->setText("Prima visita");
    window.doneBox()->setChecked(true);

    // Cancel writes nothing and keeps what was typed.
    answer({Prompter::Button::Cancel});
    EXPECT_FALSE(window.save());
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(count("APPUNTAMENTI"), 4);

    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window.save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(written, 1);
    Appointment expected{kDay, "09.50", 1, "10.15", "LUCA", 8, "Bianchi Spa", "Prima visita", true};
    EXPECT_EQ(stored("09.50"), expected);

    // Ready for the next one on the same day, the new operator offered.
    EXPECT_EQ(window.field("GIORNO")->text(), "09/12/2025");
    EXPECT_TRUE(window.field("ORA")->text().isEmpty());
    EXPECT_GE(window.operatorBox()->findText("LUCA"), 0);
}

TEST_P(FrmAppInTest, AStoredOneIsShownAndTheWindowFollowsItWhenMoved)
{
    auto window = edit("09.30");
    ASSERT_TRUE(window->loaded());
    EXPECT_EQ(window->field("ORA_A")->text(), "10.00");
    EXPECT_EQ(window->field("COD_CLI")->text(), "7");

    // Moved to another time: a second save updates it again instead of
    // finding it gone.
    window->field("ORA")->setText("11");
    window->field("ORA_A")->setText("12");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_FALSE(stored("09.30").has_value());
    window->field("NOTE1")->setText("Spostato");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    ASSERT_TRUE(stored("11.00").has_value());
    EXPECT_EQ(stored("11.00")->notes, "Spostato");
    EXPECT_EQ(count("APPUNTAMENTI"), 4);
}

TEST_P(FrmAppInTest, OneChangedElsewhereAsksOneDeletedElsewhereIsNotWrittenAgain)
{
    auto window = edit("09.30");
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("UPDATE APPUNTAMENTI SET NOTE1 = 'Altro' WHERE OPERATORE = 'ANNA' AND ORA = '09.30'"));
    window->field("ORA_A")->setText("10.30");
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        answer({Prompter::Button::Ok, choice});
        EXPECT_EQ(window->save(), choice == Prompter::Button::Ok);
        EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, Services::Concurrency::changedElsewhere()}));
        EXPECT_EQ(stored("09.30")->to, choice == Prompter::Button::Ok ? "10.30" : "10.00");
    }
    EXPECT_EQ(stored("09.30")->notes, "Taglio");

    ASSERT_TRUE(other.exec("DELETE FROM APPUNTAMENTI WHERE OPERATORE = 'ANNA' AND ORA = '09.30'"));
    window->field("NOTE1")->setText("Richiamare");
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, Services::Concurrency::deletedElsewhere()}));
    EXPECT_EQ(count("APPUNTAMENTI"), 3);
}

TEST_P(FrmAppInTest, DeleteAsksFirstNoByDefault)
{
    auto window = edit("09.30");
    answer({Prompter::Button::No});
    prompter.defaults.clear();
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione?"});
    EXPECT_EQ(prompter.defaults, (QList<std::optional<Prompter::Button>>{Prompter::Button::No}));
    EXPECT_EQ(count("APPUNTAMENTI"), 4);

    answer({Prompter::Button::Yes});
    EXPECT_TRUE(window->remove());
    EXPECT_FALSE(stored("09.30").has_value());
    EXPECT_EQ(count("APPUNTAMENTI"), 3);
}

TEST_P(FrmAppInTest, LeavingWithChangesAsksFirst)
{
    auto window = edit("09.30");
    window->show();
    window->reject();
    EXPECT_TRUE(prompter.texts().isEmpty()) << "nothing changed: no question";
    EXPECT_FALSE(window->isVisible());

    window->show();
    window->field("NOTE1")->setText("Spostato");
    for (const Prompter::Button choice : {Prompter::Button::No, Prompter::Button::Yes}) {
        answer({choice});
        window->reject();
        EXPECT_EQ(prompter.texts(), QStringList{"Rinuncia operazioni su record corrente?"});
        EXPECT_EQ(window->isVisible(), choice == Prompter::Button::No);
    }
}

TEST_P(FrmAppInTest, TheBandListsTheDaysAppointmentsInIt)
{
    FrmAppIn window(*context, kDay, "9");
    // The list's rows as "DALLE ALLE OPERATORE".
    const auto listed = [&window] {
        QStringList rows;
        QTimer::singleShot(0, [&rows] {
            if (auto *list = qobject_cast<Ui::LookupList *>(QApplication::activeModalWidget())) {
                for (int row = 0; row < list->rowCount(); ++row)
                    rows << list->values(row).mid(1, 3).join(' ').trimmed();
                list->reject();
            }
        });
        window.showBand();
        return rows;
    };
    // 15.00 is the band's end; ZENO's is another day.
    window.field("ORA_A")->setText("15");
    EXPECT_EQ(listed(), (QStringList{"09.30 10.00 ANNA", "10.00  MARCO"}));
    // Without an end the band runs to the end of the day.
    window.field("ORA_A")->clear();
    EXPECT_EQ(listed(), (QStringList{"09.30 10.00 ANNA", "10.00  MARCO", "15.00 16.00 ANNA"}));
}

ORLAVO_FOR_EACH_ENGINE(FrmAppInTest);

} // namespace
