#include "agenda/rules/agendarules.h"
#include "../masterdata/masterdatatest.h"

#include <gtest/gtest.h>

using namespace Orlavo::Agenda;

namespace {

// "from-to" of each row, a row outside the bands marked with "*".
QStringList rowsOf(const QList<Slot> &rows)
{
    QStringList texts;
    for (const Slot &s : rows)
        texts << s.from + QLatin1Char('-') + s.to + (s.inBand ? "" : "*");
    return texts;
}

QStringList problemsOf(const char *day, const char *from, const char *to)
{
    return Orlavo::Testing::problemTexts(
        appointmentProblems({QString::fromLatin1(day), QString::fromLatin1(from), QString::fromLatin1(to)}));
}

} // namespace

TEST(AgendaRules, TimesAreReadAsTypedAndKeptWithLeadingZeros)
{
    const struct {
        const char *typed;
        std::optional<QString> kept;
    } cases[] = {
        {"9", QStringLiteral("09.00")},    {"09:30", QStringLiteral("09.30")},
        {"0930", QStringLiteral("09.30")}, {"930", QStringLiteral("09.30")},
        {"9.3", QStringLiteral("09.30")},  {" 23.59 ", QStringLiteral("23.59")},
        {"0", QStringLiteral("00.00")},    {"9.60", std::nullopt},
        {"24.00", std::nullopt},           {"", std::nullopt},
        {"9.30.1", std::nullopt},          {"12345", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(parseTime(QString::fromLatin1(c.typed)), c.kept);
    }
}

TEST(AgendaRules, WorkingHoursNeedFourTimesInOrder)
{
    const struct {
        const char *setting;
        std::optional<WorkingHours> hours;
    } cases[] = {
        {"08:00,12:30,15:00,19:00", WorkingHours{"08.00", "12.30", "15.00", "19.00"}},
        {" 8 , 1230 , 13:15 , 18 ", WorkingHours{"08.00", "12.30", "13.15", "18.00"}},
        // Hours typed as text would misplace 9 after 10: compared as times.
        {"9,10,11,12", WorkingHours{"09.00", "10.00", "11.00", "12.00"}},
        {"08:00,12:30,15:00", std::nullopt},
        {"08:00;12:30;15:00;19:00", std::nullopt},
        {"08:00,12:30,11:00,19:00", std::nullopt}, // afternoon before the morning's end
        {"08:00,08:00,15:00,19:00", std::nullopt}, // a morning of no time
        {"08:00,12:30,15:00,15:00", std::nullopt}, // an afternoon of no time
        // No pause: the afternoon starts when the morning ends.
        {"08:00,12:30,12:30,19:00", WorkingHours{"08.00", "12.30", "12.30", "19.00"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.setting);
        EXPECT_EQ(parseWorkingHours(QString::fromLatin1(c.setting)), c.hours);
    }
}

TEST(AgendaRules, RowsCoverTheDayWithHalfHoursInsideTheBands)
{
    EXPECT_EQ(rowsOf(daySlots(defaultWorkingHours())),
              (QStringList{"00.00-08.00*", "08.00-08.30", "08.30-09.00", "09.00-09.30", "09.30-10.00",
                           "10.00-10.30",  "10.30-11.00", "11.00-11.30", "11.30-12.00", "12.00-12.30",
                           "12.30-15.00*", "15.00-15.30", "15.30-16.00", "16.00-16.30", "16.30-17.00",
                           "17.00-17.30",  "17.30-18.00", "18.00-18.30", "18.30-19.00", "19.00-24.00*"}));

    // Half hours counted from each band's start, a band shorter than one.
    EXPECT_EQ(rowsOf(daySlots(WorkingHours{"06.50", "07.10", "07.20", "07.25"})),
              (QStringList{"00.00-06.50*", "06.50-07.10", "07.10-07.20*", "07.20-07.25", "07.25-24.00*"}));
    // An afternoon straight after the morning: no pause row.
    EXPECT_EQ(
        rowsOf(daySlots(WorkingHours{"09.00", "10.00", "10.00", "11.00"})),
        (QStringList{"00.00-09.00*", "09.00-09.30", "09.30-10.00", "10.00-10.30", "10.30-11.00", "11.00-24.00*"}));
    // A day starting at midnight has no row before it.
    EXPECT_EQ(
        rowsOf(daySlots(WorkingHours{"00.00", "01.00", "02.00", "03.00"})),
        (QStringList{"00.00-00.30", "00.30-01.00", "01.00-02.00*", "02.00-02.30", "02.30-03.00", "03.00-24.00*"}));

    // A time's row: the one it falls in, from its start to before its end.
    const QList<Slot> rows = daySlots(defaultWorkingHours());
    for (const auto &[time, row] : {std::pair{"00.00", 0}, std::pair{"07.59", 0}, std::pair{"08.00", 1},
                                    std::pair{"12.45", 10}, std::pair{"18.59", 18}, std::pair{"23.59", 19}})
        EXPECT_EQ(slotOf(rows, QString::fromLatin1(time)), row) << time;
    EXPECT_EQ(slotOf(rows, ""), -1);
}

TEST(AgendaRules, DayHeadersAreItalian)
{
    // The five-day view shows Sunday to Thursday; here the rest of the week.
    EXPECT_EQ(weekdayName(QDate(2026, 12, 12), false), "Sabato");
    EXPECT_EQ(weekdayName(QDate(2026, 12, 11), true), "Ven");
    EXPECT_EQ(dayCaption(QDate(2026, 12, 7)), "07 DIC.");
    EXPECT_EQ(dayCaption(QDate(2027, 1, 31)), "31 GEN.");
    EXPECT_EQ(weekdayName(QDate(), false), "");
    EXPECT_EQ(dayCaption(QDate()), "");
}

TEST(AgendaRules, ChecksComeInTheWindowsOrder)
{
    const QString required = QStringLiteral("ORA:Ora obbligatoria");
    const QString notLater = QStringLiteral("ORA_A:Ora A deve essere maggiore di Ora DA");
    const struct {
        const char *day, *from, *to;
        QStringList problems;
    } cases[] = {
        {"07/12/2026", "9", "", {}},
        {"7/12/26", "0", "0.01", {}},
        {"07/12/2026", "24", "", {"ORA:Ora errata"}},
        {"07/12/2026", "9", "9.75", {"ORA_A:Ora errata"}},
        {"07/12/2026", "  ", "10", {required}},
        {"07/12/2026", "", "25", {"ORA_A:Ora errata", required}},
        {"07/12/2026", "9.30", "0930", {notLater}},
        {"31/02/2026", "9", "10", {"GIORNO:Data errata"}},
        {"xx", "25", "abc", {"ORA:Ora errata", "ORA_A:Ora errata", "GIORNO:Data errata"}},
        {"", "", "", {required, "GIORNO:Data obbligatoria"}},
        {"32/12/2026", "11", "10", {notLater, "GIORNO:Data errata"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(problemsOf(c.day, c.from, c.to), c.problems) << c.day << "|" << c.from << "|" << c.to;
}
