#pragma once

#include "services/core/record.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Agenda {

// Times are kept as "HH.MM" with leading zeros: text order is time order.
// A typed time: "9", "9.30", "09:30", "0930"; nothing when it is no time
// (hours 0-23, minutes 0-59) or blank.
std::optional<QString> parseTime(const QString &typed);

// The working hours of section MAIN, key ORARIO: morning start and end,
// afternoon start and end, written "08:00,12:30,15:00,19:00".
inline constexpr char kDefaultWorkingHours[] = "08:00,12:30,15:00,19:00";
struct WorkingHours {
    QString morningFrom, morningTo, afternoonFrom, afternoonTo; // "HH.MM"
    bool operator==(const WorkingHours &) const = default;
};
// Nothing unless the text holds four times in order (the afternoon may
// start when the morning ends).
std::optional<WorkingHours> parseWorkingHours(const QString &setting);
WorkingHours defaultWorkingHours();

// One row of the day columns: appointments starting from `from` (included)
// to `to` (excluded). Half hours inside the two bands; one row before the
// morning (unless it starts at midnight), one for the pause between the
// bands (when there is one) and one after the afternoon, so no appointment
// is ever out of sight.
struct Slot {
    QString from;
    QString to; // "24.00" for the last row
    bool inBand = true;
    bool operator==(const Slot &) const = default;
};
QList<Slot> daySlots(const WorkingHours &hours);
// The row an appointment starting at `time` goes in; -1 for no time.
int slotOf(const QList<Slot> &rows, const QString &time);

// Headers of the day columns: "Domenica" ... "Sabato" or "Dom" ... "Sab";
// the day with the month's abbreviation, "07 DIC.".
QString weekdayName(const QDate &day, bool shortForm);
QString dayCaption(const QDate &day);

// What the operator typed in an appointment's window.
struct AppointmentInput {
    QString day;  // "dd/mm/yyyy"
    QString from; // start time as typed
    QString to;   // end time as typed, may be blank
};
// The checks that need no archive, in the window's order: times ("Ora
// errata"), start required ("Ora obbligatoria"), end after start ("Ora A
// deve essere maggiore di Ora DA"), day ("Data errata", "Data
// obbligatoria"). Columns ORA, ORA_A, GIORNO.
QList<Services::FieldProblem> appointmentProblems(const AppointmentInput &input);
inline constexpr char kUnknownCustomer[] = "Cliente errato";

// The colours of section APPUNTAMENTI: key and default, as R + 256·G +
// 65536·B. Background and text of alternate rows, free slots, the
// selection and the day headers.
struct ColourSetting {
    const char *key;
    const char *defaultValue;
};
inline constexpr ColourSetting kColourSettings[] = {
    {"COLOREPARI_B", "15790320"},      // 240,240,240
    {"COLOREPARI_F", "0"},             // black
    {"COLOREDISP_B", "16777215"},      // white
    {"COLOREDISP_F", "0"},             // black
    {"COLORESELEZIONE_B", "14120960"}, // 0,120,215
    {"COLORESELEZIONE_F", "16777215"}, // white
    {"COLOREDATA_B", "12582912"},      // 0,0,192
    {"COLOREDATA_F", "16777215"},      // white
};
inline constexpr char kAgendaSection[] = "APPUNTAMENTI";
inline constexpr char kHourColumnKey[] = "COLONNE";

} // namespace Orlavo::Agenda
