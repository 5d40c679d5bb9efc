#include "agenda/rules/agendarules.h"

#include "services/core/values.h"

#include <QRegularExpression>

namespace Orlavo::Agenda {

namespace {

QString timeText(int hours, int minutes)
{
    return QStringLiteral("%1.%2").arg(hours, 2, 10, QLatin1Char('0')).arg(minutes, 2, 10, QLatin1Char('0'));
}

int minutesOf(const QString &time)
{
    return time.left(2).toInt() * 60 + time.mid(3, 2).toInt();
}

} // namespace

std::optional<QString> parseTime(const QString &typed)
{
    const QString text = typed.trimmed();
    static const QRegularExpression separated(QStringLiteral("^(\\d{1,2})(?:[.:,](\\d{1,2}))?$"));
    static const QRegularExpression joined(QStringLiteral("^(\\d{1,2})(\\d{2})$"));
    QRegularExpressionMatch match = separated.match(text);
    if (!match.hasMatch())
        match = joined.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int hours = match.captured(1).toInt();
    const QString typedMinutes = match.captured(2);
    // "9.3" is half past nine, as a clock would read it.
    const int minutes = typedMinutes.size() == 1 ? typedMinutes.toInt() * 10 : typedMinutes.toInt();
    if (hours > 23 || minutes > 59)
        return std::nullopt;
    return timeText(hours, minutes);
}

std::optional<WorkingHours> parseWorkingHours(const QString &setting)
{
    const QStringList parts = setting.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    QStringList times;
    for (const QString &part : parts) {
        const auto time = parseTime(part);
        if (!time)
            return std::nullopt;
        times.append(*time);
    }
    // Each band has a length; the afternoon may start when the morning ends.
    if (times.at(1) <= times.at(0) || times.at(2) < times.at(1) || times.at(3) <= times.at(2))
        return std::nullopt;
    return WorkingHours{times.at(0), times.at(1), times.at(2), times.at(3)};
}

WorkingHours defaultWorkingHours()
{
    return *parseWorkingHours(QString::fromLatin1(kDefaultWorkingHours));
}

QList<Slot> daySlots(const WorkingHours &hours)
{
    QList<Slot> rows;
    const auto band = [&rows](const QString &from, const QString &to) {
        const int end = minutesOf(to);
        for (int start = minutesOf(from); start < end; start += 30) {
            const int next = std::min(start + 30, end);
            rows.append({timeText(start / 60, start % 60), timeText(next / 60, next % 60), true});
        }
    };
    if (hours.morningFrom > QLatin1String("00.00"))
        rows.append({QStringLiteral("00.00"), hours.morningFrom, false});
    band(hours.morningFrom, hours.morningTo);
    if (hours.morningTo < hours.afternoonFrom)
        rows.append({hours.morningTo, hours.afternoonFrom, false});
    band(hours.afternoonFrom, hours.afternoonTo);
    rows.append({hours.afternoonTo, QStringLiteral("24.00"), false});
    return rows;
}

int slotOf(const QList<Slot> &rows, const QString &time)
{
    for (int i = 0; i < rows.size(); ++i) {
        if (time >= rows.at(i).from && time < rows.at(i).to)
            return i;
    }
    return -1;
}

QString weekdayName(const QDate &day, bool shortForm)
{
    static const char *const names[] = {"Lunedì", "Martedì", "Mercoledì", "Giovedì", "Venerdì", "Sabato", "Domenica"};
    static const char *const shortNames[] = {"Lun", "Mar", "Mer", "Gio", "Ven", "Sab", "Dom"};
    if (!day.isValid())
        return {};
    const int index = day.dayOfWeek() - 1;
    return QString::fromUtf8(shortForm ? shortNames[index] : names[index]);
}

QString dayCaption(const QDate &day)
{
    static const char *const months[] = {"GEN.", "FEB.", "MAR.", "APR.", "MAG.", "GIU.",
                                         "LUG.", "AGO.", "SET.", "OTT.", "NOV.", "DIC."};
    if (!day.isValid())
        return {};
    return QStringLiteral("%1 %2").arg(day.day(), 2, 10, QLatin1Char('0')).arg(QLatin1String(months[day.month() - 1]));
}

QList<Services::FieldProblem> appointmentProblems(const AppointmentInput &input)
{
    QList<Services::FieldProblem> problems;
    const QString wrongTime = QStringLiteral("Ora errata");
    const auto from = parseTime(input.from);
    const auto to = parseTime(input.to);
    if (!input.from.trimmed().isEmpty() && !from)
        problems.append({QStringLiteral("ORA"), wrongTime});
    if (!input.to.trimmed().isEmpty() && !to)
        problems.append({QStringLiteral("ORA_A"), wrongTime});
    if (input.from.trimmed().isEmpty())
        problems.append({QStringLiteral("ORA"), QStringLiteral("Ora obbligatoria")});
    if (from && to && *to <= *from)
        problems.append({QStringLiteral("ORA_A"), QStringLiteral("Ora A deve essere maggiore di Ora DA")});
    if (!input.day.trimmed().isEmpty() && !Services::parseItalianDate(input.day).isValid())
        problems.append({QStringLiteral("GIORNO"), QStringLiteral("Data errata")});
    if (input.day.trimmed().isEmpty())
        problems.append({QStringLiteral("GIORNO"), QStringLiteral("Data obbligatoria")});
    return problems;
}

} // namespace Orlavo::Agenda
