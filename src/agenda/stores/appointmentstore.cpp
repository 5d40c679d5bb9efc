#include "agenda/stores/appointmentstore.h"

#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/recordstore.h"
#include "services/data/writeunit.h"

namespace Orlavo::Agenda {

using Services::DataAccess;
using Services::Params;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {

constexpr char kAgendaWhere[] = "Inserimento Appuntam.";
// The customer code of the standard lists is nobody's appointment.
constexpr int kReservedCustomer = 99999;
constexpr char kColumns[] = "GIORNO, ORA, PROGR, ORA_A, OPERATORE, COD_CLI, CLIENTE, NOTE1, EVASO";
constexpr char kKey[] = "GIORNO = ? AND ORA = ? AND PROGR = ?";

QVariant textOrNull(const QString &text)
{
    return text.trimmed().isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text.trimmed());
}

Appointment appointmentOf(const Services::Recordset::Row &row)
{
    Appointment a;
    a.day = row.at(0).toDate();
    a.from = row.at(1).toString().trimmed();
    a.progr = row.at(2).toInt();
    a.to = row.at(3).toString().trimmed();
    a.operatorName = row.at(4).toString().trimmed();
    if (!row.at(5).isNull())
        a.customer = row.at(5).toInt();
    a.customerName = row.at(6).toString().trimmed();
    a.notes = row.at(7).toString().trimmed();
    a.done = row.at(8).toInt() != 0;
    return a;
}

Services::Outcome<QList<Appointment>> readAppointments(DataAccess &db, const QString &where, const Params &params,
                                                       const QString &order)
{
    auto set = db.tryOpenRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4")
                                       .arg(QLatin1String(kColumns), Tables::APPUNTAMENTI, where, order),
                                   params);
    if (!set)
        return Services::Failure{QString::fromLatin1(kAgendaWhere), db.error().description};
    QList<Appointment> found;
    for (const auto &row : *set)
        found.append(appointmentOf(row));
    return found;
}

// The values after the key, in column order.
Params valuesOf(const Appointment &a)
{
    return {textOrNull(a.to),
            textOrNull(a.operatorName),
            a.customer ? QVariant(*a.customer) : QVariant(QMetaType(QMetaType::Int)),
            textOrNull(a.customerName),
            textOrNull(a.notes),
            a.done ? -1 : 0};
}

Params keyOf(const Appointment &a)
{
    return {a.day, a.from, a.progr};
}

// The next PROGR of a day and time, read under the lock.
std::optional<int> nextProgr(Services::WriteUnit &unit, const QDate &day, const QString &from)
{
    auto set =
        unit.read(QStringLiteral("SELECT MAX(PROGR) FROM %1 WHERE GIORNO = ? AND ORA = ?").arg(Tables::APPUNTAMENTI),
                  {day, from});
    if (!set)
        return std::nullopt;
    return (set->isEmpty() ? 0 : set->first().at(0).toInt()) + 1;
}

} // namespace

Services::Outcome<QList<Appointment>> appointmentsBetween(DataAccess &db, const QDate &first, const QDate &last)
{
    return readAppointments(db, QStringLiteral("GIORNO >= ? AND GIORNO <= ?"), {first, last},
                            QStringLiteral("GIORNO, COALESCE(OPERATORE, '') DESC, ORA, PROGR"));
}

Services::Outcome<std::optional<Appointment>> loadAppointment(DataAccess &db, const QDate &day, const QString &from,
                                                              int progr)
{
    auto found = readAppointments(db, QString::fromLatin1(kKey), {day, from, progr}, QStringLiteral("PROGR"));
    if (!found)
        return found.failure();
    return found->isEmpty() ? std::nullopt : std::optional(found->first());
}

Services::Outcome<QStringList> knownOperators(DataAccess &db)
{
    auto set = db.tryOpenRecordset(QStringLiteral("SELECT DISTINCT OPERATORE FROM %1 WHERE OPERATORE IS NOT NULL "
                                                  "ORDER BY OPERATORE")
                                       .arg(Tables::APPUNTAMENTI));
    if (!set)
        return Services::Failure{QString::fromLatin1(kAgendaWhere), db.error().description};
    QStringList names;
    for (const auto &row : *set) {
        const QString name = row.at(0).toString().trimmed();
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

QList<Services::FieldProblem> checkAppointment(DataAccess &db, const AppointmentInput &input, const QString &customer)
{
    QList<Services::FieldProblem> problems = appointmentProblems(input);
    const QString code = customer.trimmed();
    if (!code.isEmpty()) {
        bool number = false;
        const int value = code.toInt(&number);
        if (!number || value == kReservedCustomer ||
            !Services::valueKnown(db, Tables::ANAG_CLI, QStringLiteral("CLIENTE"), value))
            problems.append({QStringLiteral("COD_CLI"), QString::fromLatin1(kUnknownCustomer)});
    }
    return problems;
}

WriteResult insertAppointment(DataAccess &db, const Appointment &appointment)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kAgendaWhere));
    const auto progr = nextProgr(unit, appointment.day, appointment.from);
    if (!progr)
        return WriteResult::of(WriteEnd::Failed);
    const QString step = QStringLiteral("Insert  appuntamento");
    if (!unit.execCompany(step,
                          QStringLiteral("INSERT INTO %1 (%2) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                              .arg(Tables::APPUNTAMENTI, QLatin1String(kColumns)),
                          Params{appointment.day, appointment.from, *progr} + valuesOf(appointment)) ||
        !unit.commit())
        return WriteResult::of(WriteEnd::Failed, step);
    WriteResult result = WriteResult::of(WriteEnd::Written);
    result.code = *progr;
    return result;
}

WriteResult updateAppointment(DataAccess &db, const Appointment &now, const Appointment &loaded)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kAgendaWhere));
    int progr = loaded.progr;
    // Moved: the next PROGR at the new day and time, so the key never collides.
    if (now.day != loaded.day || now.from != loaded.from) {
        const auto next = nextProgr(unit, now.day, now.from);
        if (!next)
            return WriteResult::of(WriteEnd::Failed);
        progr = *next;
    }
    const QString step = QStringLiteral("Update appuntamento");
    if (!unit.execCompany(step,
                          QStringLiteral("UPDATE %1 SET GIORNO = ?, ORA = ?, PROGR = ?, ORA_A = ?, OPERATORE = ?, "
                                         "COD_CLI = ?, CLIENTE = ?, NOTE1 = ?, EVASO = ? WHERE %2")
                              .arg(Tables::APPUNTAMENTI, QLatin1String(kKey)),
                          Params{now.day, now.from, progr} + valuesOf(now) + keyOf(loaded)))
        return WriteResult::of(WriteEnd::Failed, step);
    if (unit.rowsAffected() == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    if (!unit.commit())
        return WriteResult::of(WriteEnd::Failed, step);
    WriteResult result = WriteResult::of(WriteEnd::Written);
    result.code = progr;
    return result;
}

Services::StoredState compareAppointment(DataAccess &db, const Appointment &loaded)
{
    const auto stored = loadAppointment(db, loaded.day, loaded.from, loaded.progr);
    if (!stored || !*stored)
        return Services::StoredState::Gone;
    return **stored == loaded ? Services::StoredState::Same : Services::StoredState::Changed;
}

WriteResult deleteAppointment(DataAccess &db, const Appointment &appointment)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kAgendaWhere));
    const QString step = QStringLiteral("Del. appuntam");
    if (!unit.execCompany(step,
                          QStringLiteral("DELETE FROM %1 WHERE %2").arg(Tables::APPUNTAMENTI, QLatin1String(kKey)),
                          keyOf(appointment)))
        return WriteResult::of(WriteEnd::Failed, step);
    if (unit.rowsAffected() == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed, step);
}

WriteResult deleteDay(DataAccess &db, const QDate &day)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kAgendaWhere));
    const QString step = QStringLiteral("Del Appunt.");
    if (!unit.execCompany(step, QStringLiteral("DELETE FROM %1 WHERE GIORNO = ?").arg(Tables::APPUNTAMENTI), {day}) ||
        !unit.commit())
        return WriteResult::of(WriteEnd::Failed, step);
    return WriteResult::of(WriteEnd::Written);
}

AgendaSettings readAgendaSettings(const Services::Settings &settings)
{
    AgendaSettings read;
    const QString hours =
        settings.readOr(QStringLiteral("MAIN"), QStringLiteral("ORARIO"), QString::fromLatin1(kDefaultWorkingHours));
    const auto parsed = parseWorkingHours(hours);
    read.hours = parsed.value_or(defaultWorkingHours());
    read.hoursMalformed = !parsed;
    const QString section = QString::fromLatin1(kAgendaSection);
    read.hourColumn =
        settings.readOr(section, QString::fromLatin1(kHourColumnKey), QStringLiteral("N")).trimmed().toUpper() ==
        QLatin1String("S");
    for (const ColourSetting &colour : kColourSettings) {
        const QString key = QString::fromLatin1(colour.key);
        const QString value = settings.readOr(section, key, QString::fromLatin1(colour.defaultValue)).trimmed();
        bool number = false;
        value.toLongLong(&number);
        read.colours.insert(key, number ? value : QString::fromLatin1(colour.defaultValue));
    }
    return read;
}

} // namespace Orlavo::Agenda
