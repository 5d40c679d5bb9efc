#include "agenda/windows/frmappin.h"
#include "contexttest.h"
#include "services/core/concurrency.h"
#include "ui/fieldlook.h"
#include "ui/lookuplist.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

// The appointment window's wiring: the checks and writes themselves are the
// store's (its own tests); here what the operator meets.

using namespace Orlavo;
using namespace Orlavo::Agenda;
using Orlavo::Services::Prompter;

namespace {

const QString kConfirm = "Confermi le registrazioni?";
const QString kDeleteQuestion = "Confermi eliminazione?";
const QDate kDay(2025, 12, 9);

// Customer 7 is Rossi Srl. On kDay: 09.30 ANNA with customer 7, 10.00 MARCO,
// 15.00 ANNA done; the day after: 09.30 ZENO.
class AppointmentWindowTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'Rossi Srl'), (8, 'Bianchi Spa')");
        store({kDay, "09.30", 0, "10.00", "ANNA", 7, "Rossi Srl", "Taglio", false});
        store({kDay, "10.00", 0, "", "MARCO", std::nullopt, "Verdi", "", false});
        store({kDay, "15.00", 0, "16.00", "ANNA", std::nullopt, "", "Fatto", true});
        store({kDay.addDays(1), "09.30", 0, "", "ZENO", std::nullopt, "", "", false});
    }

    // Through the store's insert: one appointment per day and time, PROGR 1.
    void store(const Appointment &a) { ASSERT_TRUE(insertAppointment(context->db, a).written()); }

    // The stored appointment, read by a connection of its own.
    std::optional<Appointment> stored(const QDate &day, const QString &from)
    {
        Orlavo::Testing::Workstation reader(archives->config());
        const auto found = loadAppointment(reader.db(), day, from, 1);
        return found ? *found : std::nullopt;
    }

    int count() const { return archives->count("APPUNTAMENTI"); }

    std::unique_ptr<FrmAppIn> edit(const QString &from, const QDate &day = kDay)
    {
        Appointment key;
        key.day = day;
        key.from = from;
        key.progr = 1;
        return std::make_unique<FrmAppIn>(*context, key);
    }

    void answer(std::initializer_list<Prompter::Button> buttons = {})
    {
        prompter.clear();
        for (const Prompter::Button b : buttons)
            prompter.queue(b);
    }

    static QLineEdit *field(FrmAppIn &window, const QString &column)
    {
        QLineEdit *found = window.field(column);
        EXPECT_NE(found, nullptr) << column.toStdString();
        return found;
    }

    static void type(FrmAppIn &window, const QString &column, const QString &text)
    {
        if (QLineEdit *line = field(window, column))
            line->setText(text);
    }

    // The operator types in a field and leaves it.
    static void leave(FrmAppIn &window, const QString &column, const QString &text)
    {
        QLineEdit *line = field(window, column);
        if (!line)
            return;
        line->setText(text);
        line->setModified(true);
        QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(line, &leaving);
        QApplication::processEvents();
    }

    // The fields marked as failing, by column.
    static QStringList red(const FrmAppIn &window)
    {
        QStringList columns;
        for (const QWidget *widget : window.findChildren<QWidget *>()) {
            if (widget->objectName().startsWith("T_") && Ui::hasFieldError(widget))
                columns << widget->objectName().mid(2);
        }
        columns.sort();
        return columns;
    }
};

// The checks and their messages are the rules' and the store's
// (agendarules_test, appointmentstore_test): here the wiring.
TEST_P(AppointmentWindowTest, ThreeWrongFieldsTurnRedAndTheFirstSpeaks)
{
    FrmAppIn window(*context, kDay, QString());
    type(window, "GIORNO", "32/01/2025");
    type(window, "ORA", "25");
    type(window, "COD_CLI", "55");
    EXPECT_FALSE(window.save());
    EXPECT_EQ(prompter.texts(), QStringList{"Ora errata"});
    EXPECT_EQ(red(window), (QStringList{"COD_CLI", "GIORNO", "ORA"}));
    EXPECT_EQ(count(), 4);

    // Put right, the marks go and the save asks.
    answer({Prompter::Button::Ok});
    type(window, "GIORNO", "11/12/2025");
    type(window, "ORA", "11");
    type(window, "COD_CLI", "8");
    EXPECT_TRUE(window.save()) << prompter.texts().join('|').toStdString();
    EXPECT_TRUE(red(window).isEmpty());
}

TEST_P(AppointmentWindowTest, ANewAppointmentIsWrittenAfterTheQuestion)
{
    FrmAppIn window(*context, kDay, "11.30");
    EXPECT_EQ(window.field("GIORNO")->text(), "09/12/2025");
    EXPECT_EQ(window.field("ORA")->text(), "11.30");
    // The operators already used.
    EXPECT_EQ(window.operatorBox()->count(), 3);

    int written = 0;
    window.setOnWritten([&written] { ++written; });
    type(window, "ORA", "9:5");
    type(window, "ORA_A", "1015");
    window.operatorBox()->setCurrentText("LUCA");
    // Leaving the code fills the name; an unknown code leaves it alone.
    type(window, "CLIENTE", "Sig. Neri");
    leave(window, "COD_CLI", "55");
    EXPECT_EQ(window.field("CLIENTE")->text(), "Sig. Neri");
    leave(window, "COD_CLI", "8");
    type(window, "NOTE1", "Prima visita");
    window.doneBox()->setChecked(true);

    // Cancel writes nothing and keeps what was typed.
    answer({Prompter::Button::Cancel});
    EXPECT_FALSE(window.save());
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(count(), 4);
    EXPECT_EQ(written, 0);

    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window.save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(written, 1);
    const auto row = stored(kDay, "09.50");
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->to, "10.15");
    EXPECT_EQ(row->operatorName, "LUCA");
    EXPECT_EQ(row->customer, 8);
    EXPECT_EQ(row->customerName, "Bianchi Spa");
    EXPECT_EQ(row->notes, "Prima visita");
    EXPECT_TRUE(row->done);

    // Ready for the next one on the same day, the new operator offered.
    EXPECT_EQ(window.field("GIORNO")->text(), "09/12/2025");
    EXPECT_TRUE(window.field("ORA")->text().isEmpty());
    EXPECT_GE(window.operatorBox()->findText("LUCA"), 0);
}

TEST_P(AppointmentWindowTest, AStoredOneIsShownAndItsChangesWritten)
{
    auto window = edit("09.30");
    ASSERT_TRUE(window->loaded());
    EXPECT_EQ(window->field("ORA_A")->text(), "10.00");
    EXPECT_EQ(window->field("COD_CLI")->text(), "7");

    type(*window, "NOTE1", "Taglio e piega");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(stored(kDay, "09.30")->notes, "Taglio e piega");

    // Moved to another time, the window follows the row: a second save
    // updates it again instead of finding it gone.
    type(*window, "ORA", "11");
    type(*window, "ORA_A", "12");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_FALSE(stored(kDay, "09.30").has_value());
    ASSERT_TRUE(stored(kDay, "11.00").has_value());
    type(*window, "NOTE1", "Spostato");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(stored(kDay, "11.00")->notes, "Spostato");
    EXPECT_EQ(count(), 4);
}

TEST_P(AppointmentWindowTest, OneDeletedElsewhereIsNotWrittenAgain)
{
    auto window = edit("10.00");
    ASSERT_TRUE(window->loaded());
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("DELETE FROM APPUNTAMENTI WHERE OPERATORE = 'MARCO'"));

    type(*window, "NOTE1", "Richiamare");
    answer({Prompter::Button::Ok});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, Services::Concurrency::deletedElsewhere()}));
    EXPECT_EQ(count(), 3);
    EXPECT_FALSE(stored(kDay, "10.00").has_value());
}

TEST_P(AppointmentWindowTest, OneChangedElsewhereAsksBeforeItIsOverwritten)
{
    auto window = edit("09.30");
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("UPDATE APPUNTAMENTI SET NOTE1 = 'Altro' WHERE OPERATORE = 'ANNA' AND ORA = '09.30'"));

    type(*window, "ORA_A", "10.30");
    answer({Prompter::Button::Ok, Prompter::Button::Cancel});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, Services::Concurrency::changedElsewhere()}));
    EXPECT_EQ(stored(kDay, "09.30")->to, "10.00");

    answer({Prompter::Button::Ok, Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, Services::Concurrency::changedElsewhere()}));
    EXPECT_EQ(stored(kDay, "09.30")->to, "10.30");
    EXPECT_EQ(stored(kDay, "09.30")->notes, "Taglio");
}

TEST_P(AppointmentWindowTest, DeleteAsksFirst)
{
    auto window = edit("09.30");
    answer({Prompter::Button::No});
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(prompter.texts(), QStringList{kDeleteQuestion});
    EXPECT_EQ(count(), 4);

    answer({Prompter::Button::Yes});
    EXPECT_TRUE(window->remove());
    EXPECT_FALSE(stored(kDay, "09.30").has_value());
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

TEST_P(AppointmentWindowTest, LeavingWithChangesAsksFirst)
{
    auto window = edit("09.30");
    window->show();
    answer();
    window->reject();
    EXPECT_TRUE(prompter.texts().isEmpty()) << "nothing changed: no question";
    EXPECT_FALSE(window->isVisible());

    window->show();
    type(*window, "NOTE1", "Spostato");
    answer({Prompter::Button::No});
    window->reject();
    EXPECT_EQ(prompter.texts(), QStringList{"Rinuncia operazioni su record corrente?"});
    EXPECT_TRUE(window->isVisible());
    answer({Prompter::Button::Yes});
    window->reject();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(stored(kDay, "09.30")->notes, "Taglio");
}

TEST_P(AppointmentWindowTest, TheBandListsTheDaysAppointmentsInIt)
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
    type(window, "ORA_A", "15");
    EXPECT_EQ(listed(), (QStringList{"09.30 10.00 ANNA", "10.00  MARCO"}));
    // Without an end the band runs to the end of the day.
    type(window, "ORA_A", "");
    EXPECT_EQ(listed(), (QStringList{"09.30 10.00 ANNA", "10.00  MARCO", "15.00 16.00 ANNA"}));
}

ORLAVO_FOR_EACH_ENGINE(AppointmentWindowTest);

} // namespace
