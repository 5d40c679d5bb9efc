#pragma once

#include "agenda/rules/agendarules.h"
#include "services/core/outcome.h"
#include "services/core/record.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
class Settings;
} // namespace Orlavo::Services

namespace Orlavo::Agenda {

// One appointment of APPUNTAMENTI, keyed by day, start time and PROGR.
struct Appointment {
    QDate day;
    QString from; // "HH.MM"
    int progr = 0;
    QString to; // "HH.MM" or blank
    QString operatorName;
    std::optional<int> customer; // COD_CLI
    QString customerName;        // CLIENTE: the customer's name or free text
    QString notes;
    bool done = false; // EVASO
    bool operator==(const Appointment &) const = default;
};

// The appointments from `first` to `last`, each day's in the order its
// column shows them: operator (descending), time, PROGR.
Services::Outcome<QList<Appointment>> appointmentsBetween(Services::DataAccess &db, const QDate &first,
                                                          const QDate &last);
Services::Outcome<std::optional<Appointment>> loadAppointment(Services::DataAccess &db, const QDate &day,
                                                              const QString &from, int progr);
// The operators already used, for the operator's list.
Services::Outcome<QStringList> knownOperators(Services::DataAccess &db);

// Every check in the window's order, the customer's last ("Cliente
// errato": a code not in ANAG_CLI, or 99999).
QList<Services::FieldProblem> checkAppointment(Services::DataAccess &db, const AppointmentInput &input,
                                               const QString &customer);

// The writes, under the lock TUTTO in one write unit ("Inserimento
// Appuntam."). A new appointment takes PROGR = MAX(PROGR) + 1 of its day and
// time, read under the lock; the code of the result is the PROGR given.
Services::WriteResult insertAppointment(Services::DataAccess &db, const Appointment &appointment);
// Updates the appointment stored as `loaded` (its old key). Moved to
// another day or time it takes the next PROGR there. Gone when the row is
// no longer stored.
Services::WriteResult updateAppointment(Services::DataAccess &db, const Appointment &now, const Appointment &loaded);
// Whether the stored row is still the loaded one.
Services::StoredState compareAppointment(Services::DataAccess &db, const Appointment &loaded);
Services::WriteResult deleteAppointment(Services::DataAccess &db, const Appointment &appointment);
// Every appointment of the day ("Del Appunt.").
Services::WriteResult deleteDay(Services::DataAccess &db, const QDate &day);

// The agenda's settings, each missing key written back with its default:
// the working hours (a malformed ORARIO gives way to the default, the file
// left alone, and `hoursMalformed` says so), the hour column, the colours
// as stored numbers by key (a value that is no number reads as its default).
struct AgendaSettings {
    WorkingHours hours;
    bool hoursMalformed = false;
    bool hourColumn = false;
    QHash<QString, QString> colours;
};
AgendaSettings readAgendaSettings(const Services::Settings &settings);

} // namespace Orlavo::Agenda
