#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace Orlavo::Services {

class DataAccess;
class WriteUnit;

// The progressive numbers of a company: NUMERA (documents, registrations)
// and NUMERA_S (printing and generation runs), one row per year and name.
// A key is the year's four digits followed by the counter's name.
namespace Counters {

// The limit of a new counter: the last number it gives is one less.
inline constexpr int kLimit = 99999;

// NextNumber: the next number of the key, taken inside the caller's write
// transaction (the row is held until the caller commits or rolls back). 0
// when none could be taken: error code 100 with "Non trovato il numeratore "
// or "Fine numeratori " & key as the step, or the database's own error.
int nextNumber(DataAccess &db, const QString &key);

// NextNumberS: the same on NUMERA_S, where a missing or spent counter ends
// the application: the message, then beforeExit (the connected mark), then
// the exit hook.
int nextNumberS(DataAccess &db, const QString &key, const std::function<void()> &beforeExit);

struct Counter {
    QString name;
    QString description;
};

// The counters every company has from its first year.
const QList<Counter> &firstYearCounters();
// The counters that carry on across years (customer and supplier codes),
// kept under the year "****".
const QList<Counter> &yearlessCounters();

// Inserts, inside the unit, the first-year counters of the year that are
// missing (and the yearless ones when asked); existing rows stay as they are.
bool insertFirstYearCounters(WriteUnit &unit, const QString &year, bool withYearless);

// "Verif. numeratori": under the archive lock and in one transaction, the
// previous year's counters are created for the year at 0 where missing;
// a company with no counters in the previous year gets the first-year set.
// A failure is reported to the operator; nothing is written then.
bool verifyYearCounters(DataAccess &db, const QString &year);

} // namespace Counters

} // namespace Orlavo::Services
