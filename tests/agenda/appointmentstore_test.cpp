#include "agenda/stores/appointmentstore.h"
#include "agendawindowtest.h"
#include "committedrows.h"
#include "files.h"
#include "fixtures.h"
#include "services/core/inifile.h"
#include "services/core/settings.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>

using namespace Orlavo;
using namespace Orlavo::Agenda;
using Orlavo::Services::StoredState;
using Orlavo::Services::WriteEnd;

namespace Orlavo::Agenda {
// An appointment in a failure message.
void PrintTo(const Appointment &a, std::ostream *out)
{
    *out << a.day.toString(Qt::ISODate).toStdString() << ' ' << a.from.toStdString() << " #" << a.progr << " -"
         << a.to.toStdString() << " [" << a.operatorName.toStdString() << "] " << (a.customer ? *a.customer : 0) << ' '
         << a.customerName.toStdString() << " / " << a.notes.toStdString() << (a.done ? " evaso" : "");
}
} // namespace Orlavo::Agenda

namespace {

const QDate kMonday(2026, 12, 7);

Appointment appointment(const QDate &day, const char *from, const char *notes = "", const char *who = "MARIO")
{
    return {day, from, 0, "", who, std::nullopt, "", notes, false};
}

class AppointmentStoreTest : public Testing::EngineTest
{
protected:
    // Written, and the PROGR it took.
    int add(const Appointment &a)
    {
        const Services::WriteResult result = insertAppointment(*db, a);
        EXPECT_EQ(result.end, WriteEnd::Written) << db->error().description.toStdString();
        return int(result.code);
    }

    Appointment loaded(const QDate &day, const char *from, int progr)
    {
        const auto found = loadAppointment(*db, day, QString::fromLatin1(from), progr);
        EXPECT_TRUE(found && found->has_value()) << from << " " << progr;
        return found && found->has_value() ? found->value() : Appointment{};
    }

    // The committed rows as "GIORNO|ORA|PROGR|NOTE1", in key order.
    QStringList stored()
    {
        return Testing::committedRows(*archives, QStringLiteral("SELECT GIORNO, ORA, PROGR, NOTE1 FROM APPUNTAMENTI"));
    }
};

TEST_P(AppointmentStoreTest, AppointmentsAtTheSameDayAndTimeAreNumberedInTurn)
{
    Appointment full = appointment(kMonday, "09.00", "prima visita");
    full.to = QStringLiteral("09.45");
    full.customer = 7;
    full.customerName = QStringLiteral("Rossi Mario");
    full.done = true;
    EXPECT_EQ(add(full), 1);
    EXPECT_EQ(add(appointment(kMonday, "09.00", "seconda")), 2);
    // Another time or another day numbers from one.
    EXPECT_EQ(add(appointment(kMonday, "09.30", "mezz'ora dopo")), 1);
    EXPECT_EQ(add(appointment(kMonday.addDays(1), "09.00", "martedi")), 1);

    full.progr = 1;
    EXPECT_EQ(loaded(kMonday, "09.00", 1), full);
    // Blank fields come back blank, no customer as none.
    Appointment plain = appointment(kMonday, "09.00", "seconda");
    plain.progr = 2;
    EXPECT_EQ(loaded(kMonday, "09.00", 2), plain);

    // The next is one past the highest: a number freed below is not taken again.
    ASSERT_TRUE(deleteAppointment(*db, loaded(kMonday, "09.00", 1)).written());
    EXPECT_EQ(add(appointment(kMonday, "09.00", "terza")), 3);
    EXPECT_EQ(stored(), (QStringList{"2026-12-07|09.00|2|seconda", "2026-12-07|09.00|3|terza",
                                     "2026-12-07|09.30|1|mezz'ora dopo", "2026-12-08|09.00|1|martedi"}));

    // Deleting a day leaves the others, from their first minute.
    add(appointment(kMonday.addDays(-1), "23.59", "domenica"));
    add(appointment(kMonday, "23.59", "ultimo"));
    add(appointment(kMonday.addDays(1), "00.00", "mezzanotte"));
    EXPECT_TRUE(deleteDay(*db, kMonday).written());
    EXPECT_EQ(stored(), (QStringList{"2026-12-06|23.59|1|domenica", "2026-12-08|00.00|1|mezzanotte",
                                     "2026-12-08|09.00|1|martedi"}));
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);
    EXPECT_FALSE(db->inTransaction());
}

TEST_P(AppointmentStoreTest, AMovedAppointmentTakesTheNextNumberWhereItGoes)
{
    add(appointment(kMonday, "09.00", "a1"));
    add(appointment(kMonday, "09.00", "a2"));
    add(appointment(kMonday, "10.00", "b1"));

    const struct {
        int fromDay;
        const char *from;
        int progr;
        int toDay;
        const char *to, *notes;
        int newProgr;
    } steps[] = {
        {0, "10.00", 1, 0, "09.00", "b1 spostato", 3}, // where 1 and 2 are taken
        {0, "09.00", 2, 0, "09.00", "a2 corretto", 2}, // changed where it stands: its number stays
        {0, "09.00", 1, 1, "09.00", "a1", 1},          // another day at the same time: numbered there from one
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.notes);
        const Appointment was = loaded(kMonday.addDays(step.fromDay), step.from, step.progr);
        Appointment now = was;
        now.day = kMonday.addDays(step.toDay);
        now.from = QString::fromLatin1(step.to);
        now.notes = QString::fromLatin1(step.notes);
        now.to = QStringLiteral("23.00");
        const Services::WriteResult result = updateAppointment(*db, now, was);
        EXPECT_EQ(result.end, WriteEnd::Written);
        EXPECT_EQ(result.code, step.newProgr);
        now.progr = step.newProgr;
        EXPECT_EQ(loaded(now.day, step.to, step.newProgr), now);
    }
    EXPECT_EQ(stored(), (QStringList{"2026-12-07|09.00|2|a2 corretto", "2026-12-07|09.00|3|b1 spostato",
                                     "2026-12-08|09.00|1|a1"}));
}

TEST_P(AppointmentStoreTest, AnAppointmentChangedOrDeletedElsewhereIsToldAndNothingIsWritten)
{
    Appointment a = appointment(kMonday, "09.00", "uno");
    a.to = QStringLiteral("10.00");
    a.customer = 12;
    a.customerName = QStringLiteral("Bianchi");
    add(a);
    add(appointment(kMonday, "11.00", "altro"));
    const Appointment mine = loaded(kMonday, "09.00", 1);
    EXPECT_EQ(compareAppointment(*db, mine), StoredState::Same);
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE APPUNTAMENTI SET COD_CLI = NULL")));
    EXPECT_EQ(compareAppointment(*db, mine), StoredState::Changed);
    ASSERT_TRUE(other.exec(QStringLiteral("DELETE FROM APPUNTAMENTI WHERE GIORNO = ? AND ORA = ? AND PROGR = ?"),
                           {kMonday, QStringLiteral("09.00"), 1}));
    EXPECT_EQ(compareAppointment(*db, mine), StoredState::Gone);

    const Testing::Snapshot before(*archives, {"APPUNTAMENTI", "SEMAFORO"});
    Appointment edited = mine;
    edited.notes = QStringLiteral("modificato");
    EXPECT_EQ(updateAppointment(*db, edited, mine).end, WriteEnd::Gone);
    // Moved to a time with appointments: still gone, no number taken there.
    edited.from = QStringLiteral("11.00");
    EXPECT_EQ(updateAppointment(*db, edited, mine).end, WriteEnd::Gone);
    EXPECT_EQ(deleteAppointment(*db, mine).end, WriteEnd::Gone);
    Testing::expectNothingWritten(before, *db);
    EXPECT_EQ(stored(), QStringList{"2026-12-07|11.00|1|altro"});
}

TEST_P(AppointmentStoreTest, FiveDaysAreReadInTheColumnsOrderAndEachOperatorIsKnownOnce)
{
    // Outside the range, on either side.
    add(appointment(kMonday.addDays(-1), "10.00", "prima", " BRUNO "));
    add(appointment(kMonday.addDays(5), "10.00", "dopo"));
    // Each day: operators in descending order (none last), then time, then number.
    add(appointment(kMonday, "10.00", "anna 10", "ANNA"));
    add(appointment(kMonday, "15.00", "mario 15", "MARIO"));
    add(appointment(kMonday, "09.00", "nessuno", ""));
    add(appointment(kMonday, "08.30", "mario 8.30", "MARIO"));
    add(appointment(kMonday, "08.00", "anna 8", "ANNA"));
    add(appointment(kMonday, "15.00", "mario 15 bis", "MARIO"));
    add(appointment(kMonday.addDays(4), "07.00", "venerdi", "ANNA"));

    const auto found = appointmentsBetween(*db, kMonday, kMonday.addDays(4));
    ASSERT_TRUE(found);
    QStringList order;
    for (const Appointment &a : *found)
        order << QStringLiteral("%1 %2 %3 #%4").arg(a.day.day()).arg(a.operatorName, a.from).arg(a.progr);
    EXPECT_EQ(order, (QStringList{"7 MARIO 08.30 #1", "7 MARIO 15.00 #1", "7 MARIO 15.00 #2", "7 ANNA 08.00 #1",
                                  "7 ANNA 10.00 #1", "7  09.00 #1", "11 ANNA 07.00 #1"}));
    const auto names = knownOperators(*db);
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (QStringList{"ANNA", "BRUNO", "MARIO"}));
}

TEST_P(AppointmentStoreTest, ALockHeldElsewhereRefusesEveryWrite)
{
    add(appointment(kMonday, "09.00", "uno"));
    const Appointment stored = loaded(kMonday, "09.00", 1);
    ASSERT_TRUE(Testing::Workstation(archives->config())
                    .exec(QStringLiteral("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')")));
    const Testing::Snapshot before(*archives, {"APPUNTAMENTI", "SEMAFORO"});
    prompter.clear();

    EXPECT_EQ(insertAppointment(*db, appointment(kMonday, "10.00")).end, WriteEnd::LockHeld);
    Appointment edited = stored;
    edited.notes = QStringLiteral("modificato");
    EXPECT_EQ(updateAppointment(*db, edited, stored).end, WriteEnd::LockHeld);
    EXPECT_EQ(deleteAppointment(*db, stored).end, WriteEnd::LockHeld);
    EXPECT_EQ(deleteDay(*db, kMonday).end, WriteEnd::LockHeld);
    EXPECT_EQ(prompter.texts().size(), 4);
    Testing::expectNothingWritten(before, *db);
}

TEST_P(AppointmentStoreTest, TheCustomerIsCheckedLast)
{
    // 99999 stands for the standard lists in the register: nobody's appointment.
    ASSERT_TRUE(
        Testing::Workstation(archives->config())
            .exec(QStringLiteral("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'Sette'), (99999, 'Listino')")));
    const auto problems = [this](const AppointmentInput &input, const char *customer) {
        return Testing::problemTexts(checkAppointment(*db, input, QString::fromLatin1(customer)));
    };
    const AppointmentInput fine{QStringLiteral("07/12/2026"), QStringLiteral("9"), QStringLiteral("10")};
    for (const char *known : {"", " 7 "})
        EXPECT_EQ(problems(fine, known), QStringList{}) << known;
    for (const char *unknown : {"8", "99999", "7,5"})
        EXPECT_EQ(problems(fine, unknown), QStringList{"COD_CLI:Cliente errato"}) << unknown;
    // After the checks of the window.
    EXPECT_EQ(problems({QString(), QStringLiteral("25"), QString()}, "8"),
              (QStringList{"ORA:Ora errata", "GIORNO:Data obbligatoria", "COD_CLI:Cliente errato"}));
}

// A second workstation (tests/services/dbworker.cpp) adding `count`
// appointments at 07/12/2026 09.00 once the go file exists.
QProcess *startAdding(const Testing::TestArchives &archives, const QString &user, int count, const QString &go)
{
    return Testing::startWorker(archives, QStringLiteral(ORLAVO_DBWORKER),
                                {QStringLiteral("appointments"), user, QString::number(count)}, go);
}

TEST_P(AppointmentStoreTest, TwoWorkstationsAddingAtTheSameTimeNumberFromOneWithoutGaps)
{
    constexpr int kEach = 200;
    const QString go = archives->folder() + QStringLiteral("via");
    QProcess *anna = startAdding(*archives, QStringLiteral("ANNA"), kEach, go);
    QProcess *bruno = startAdding(*archives, QStringLiteral("BRUNO"), kEach, go);
    QFile(go).open(QIODevice::WriteOnly);

    // PROGR given → the note of the appointment that took it.
    QHash<int, QString> given;
    for (const auto &[process, user] : {std::pair{anna, "ANNA"}, std::pair{bruno, "BRUNO"}}) {
        const QStringList lines = Testing::finishWorker(process, 300000).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty()) << user;
        EXPECT_EQ(lines.last().trimmed(), "DONE") << lines.join('|').toStdString();
        int n = 0;
        for (const QString &line : lines) {
            if (!line.startsWith(QLatin1String("P ")))
                continue;
            const int progr = line.mid(2).trimmed().toInt();
            EXPECT_FALSE(given.contains(progr)) << "PROGR " << progr << " given twice";
            given.insert(progr, QStringLiteral("%1 %2").arg(QLatin1String(user)).arg(++n));
        }
        EXPECT_EQ(n, kEach) << user;
    }
    ASSERT_EQ(given.size(), 2 * kEach);
    QList<int> numbers = given.keys();
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers.first(), 1);
    EXPECT_EQ(numbers.last(), 2 * kEach);

    // Each number stored once, on the appointment that was told it.
    Testing::Workstation reader(archives->config());
    const auto rows = reader.rows(QStringLiteral("SELECT PROGR, NOTE1 FROM APPUNTAMENTI"));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->size(), 2 * kEach);
    for (const auto &row : *rows)
        EXPECT_EQ(row.at(1).toString(), given.value(row.at(0).toInt())) << row.at(0).toInt();
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);
}

ORLAVO_FOR_EACH_ENGINE(AppointmentStoreTest);

// The agenda's settings in a CONT.INI of their own.
class AgendaSettingsTest : public ::testing::Test
{
protected:
    QString path() const { return dir.filePath(QStringLiteral("CONT.INI")); }
    void write(const char *text) { ASSERT_TRUE(Testing::writeBytes(path(), text)); }
    QString value(const char *section, const char *key) const
    {
        return Services::IniFile(path()).read(QString::fromLatin1(section), QString::fromLatin1(key));
    }

    QTemporaryDir dir;
};

TEST_F(AgendaSettingsTest, MissingKeysAreWrittenBackWithTheirDefaults)
{
    write("[MAIN]\nUTENTE=MARIO\n[APPUNTAMENTI]\nCOLOREDISP_B=\n");
    const AgendaSettings read = readAgendaSettings(Services::Settings(path()));
    EXPECT_EQ(read.hours, (WorkingHours{"08.00", "12.30", "15.00", "19.00"}));
    EXPECT_FALSE(read.hoursMalformed);
    EXPECT_FALSE(read.hourColumn);

    EXPECT_EQ(value("MAIN", "ORARIO"), "08:00,12:30,15:00,19:00");
    EXPECT_EQ(value("MAIN", "UTENTE"), "MARIO");
    EXPECT_EQ(value("APPUNTAMENTI", "COLONNE"), "N");
    // A key present but blank counts as missing.
    EXPECT_EQ(value("APPUNTAMENTI", "COLOREDISP_B"), "16777215");
    EXPECT_EQ(read.colours.value("COLOREDISP_B"), "16777215");

    // Read again, nothing more to write.
    const QByteArray written = Testing::readBytes(path());
    readAgendaSettings(Services::Settings(path()));
    EXPECT_EQ(Testing::readBytes(path()), written);
}

TEST_F(AgendaSettingsTest, StoredValuesAreKeptAndWhatIsWrongReadsAsItsDefault)
{
    write("[MAIN]\nORARIO=7.30,12,14,18.30\n[APPUNTAMENTI]\nCOLONNE=S\nCOLOREDISP_B=255\n"
          "COLOREPARI_B=rosso\nCOLOREDATA_F= 65280 \n");
    const AgendaSettings read = readAgendaSettings(Services::Settings(path()));
    EXPECT_EQ(read.hours, (WorkingHours{"07.30", "12.00", "14.00", "18.30"}));
    EXPECT_FALSE(read.hoursMalformed);
    EXPECT_TRUE(read.hourColumn);
    EXPECT_EQ(read.colours.value("COLOREDISP_B"), "255");
    EXPECT_EQ(read.colours.value("COLOREPARI_B"), "15790320");
    EXPECT_EQ(read.colours.value("COLOREDATA_F"), "65280");
    EXPECT_EQ(value("MAIN", "ORARIO"), "7.30,12,14,18.30");
    EXPECT_EQ(value("APPUNTAMENTI", "COLOREDISP_B"), "255");

    // Malformed hours give way to the default and stay in the file.
    write("[MAIN]\nORARIO=19:00,15:00,12:30,08:00\n[APPUNTAMENTI]\nCOLONNE=X\n");
    const AgendaSettings malformed = readAgendaSettings(Services::Settings(path()));
    EXPECT_TRUE(malformed.hoursMalformed);
    EXPECT_EQ(malformed.hours, defaultWorkingHours());
    EXPECT_FALSE(malformed.hourColumn);
    EXPECT_EQ(value("MAIN", "ORARIO"), "19:00,15:00,12:30,08:00");
}

} // namespace
