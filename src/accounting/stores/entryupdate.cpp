#include "accounting/stores/entryupdate.h"

#include "accounting/stores/journal.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/recordstore.h"
#include "services/data/writeunit.h"

#include <algorithm>

namespace Orlavo::Accounting {

using Services::Row;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {

// The stamp of the entry's first line, read under the lock: nothing when
// the entry is gone.
std::optional<QString> storedStamp(Services::WriteUnit &unit, const LoadedEntry &loaded, bool *failed)
{
    const auto rows = unit.readForUpdate(
        QStringLiteral("SELECT TSTAMP FROM %1 WHERE ANNO = ? AND NRO_INT = ? ORDER BY SEQUENZA").arg(Tables::GIORN),
        {loaded.year, loaded.number});
    *failed = !rows;
    if (!rows || rows->isEmpty())
        return std::nullopt;
    return rows->first().value(QStringLiteral("TSTAMP")).toString();
}

// Before writing: gone, changed elsewhere (unless overwriting), or fine.
std::optional<WriteResult> concurrency(Services::WriteUnit &unit, const LoadedEntry &loaded, bool overwrite)
{
    bool failed = false;
    const std::optional<QString> stamp = storedStamp(unit, loaded, &failed);
    if (failed)
        return WriteResult::of(WriteEnd::Failed);
    if (!stamp)
        return WriteResult::of(WriteEnd::Gone);
    if (*stamp != loaded.stamp && !overwrite)
        return WriteResult::of(WriteEnd::ChangedElsewhere);
    return std::nullopt;
}

struct InvoiceAccount {
    const char *table;
    const char *column;
    const char *step;
};
constexpr InvoiceAccount kInvoiceAccounts[] = {
    {"FVENDT", "CONTO_CLI", "Inerimento Upd. FVEND ContoCli"},
    {"FVENDT", "CONTO_IVA", "Inerimento Upd. FVEND ContoIva"},
    {"FVENDT", "CONTO_TRA", "Inerimento Upd. FVEND ContoTras"},
    {"FVENDT", "CONTO_BAN", "Inerimento Upd. FVEND ContoBan"},
    {"FVENDT", "CONTO_BOL", "Inerimento Upd. FVEND ContoBol"},
    {"FVENDT", "CONTO_SCONTI", "Inerimento Upd. FVEND ContoArr"},
    {"FVENDD", "CONTO", "Inerimento Upd. FVEND ContoRic"},
};

bool fromSalesInvoice(const QString &movement)
{
    const QString m = movement.trimmed().toUpper();
    return m.startsWith(QLatin1String("VF")) || m.startsWith(QLatin1String("VT"));
}

// A changed account of an invoice's entry, carried to that invoice only.
bool carryToInvoice(Services::WriteUnit &unit, const LoadedEntry &loaded, const QString &before, const QString &after)
{
    for (const InvoiceAccount &a : kInvoiceAccounts) {
        const QString sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE ANNO = ? AND NRO_INT = ? AND %2 = ?")
                                .arg(QLatin1String(a.table), QLatin1String(a.column));
        if (!unit.execCompany(QString::fromLatin1(a.step), sql, {after, loaded.year, loaded.number, before}))
            return false;
    }
    return true;
}

std::optional<QString> bankOfAccount(Services::WriteUnit &unit, const QString &account, bool *failed)
{
    const auto rows =
        unit.read(QStringLiteral("SELECT CODICE FROM %1 WHERE CNT_CONTAB = ? ORDER BY CODICE").arg(Tables::TAB_BAN_PAG),
                  {account});
    *failed = !rows;
    if (!rows || rows->isEmpty())
        return std::nullopt;
    return rows->first().value(QStringLiteral("CODICE")).toString();
}

} // namespace

bool LoadedEntry::manual() const
{
    const QString type = causalType.trimmed().toUpper();
    return type == QLatin1String("CC") || type == QLatin1String("CO") || type == QLatin1String("CA");
}

Services::Outcome<std::optional<LoadedEntry>> loadEntry(Services::DataAccess &db, const QString &year, int number)
{
    const auto lines = readJournal(db, year, number);
    if (!lines)
        return lines.failure();
    if (lines->isEmpty())
        return std::optional<LoadedEntry>();
    LoadedEntry loaded;
    loaded.year = year;
    loaded.number = number;
    loaded.lines = *lines;
    const Row &first = lines->first();
    loaded.registration = first.integer(QStringLiteral("NRO_REG"));
    loaded.causalType = first.text(QStringLiteral("CAUSALET"));
    loaded.movement = first.text(QStringLiteral("MOVIMENTO"));
    loaded.stamp = first.text(QStringLiteral("TSTAMP"));
    for (const Row &line : *lines)
        loaded.printed = loaded.printed || line.flag(QStringLiteral("STA_GIO"));
    return std::optional<LoadedEntry>(loaded);
}

std::optional<QString> modifyRefusal(const LoadedEntry &loaded)
{
    if (loaded.printed)
        return QStringLiteral("Impossibile registrare, \nè già stato stampato il Giornale !");
    return std::nullopt;
}

WriteResult modifyManualEntry(Services::DataAccess &db, const LoadedEntry &loaded, const ManualEntry &entry,
                              bool overwrite, const QDateTime &now)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(kEntryLockArea));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kEntryWhere));
    if (const auto refused = concurrency(unit, loaded, overwrite))
        return *refused;
    const bool receipt = loaded.causalType.trimmed().toUpper() == QLatin1String("CO");
    if (!deleteEntry(unit, loaded.year, loaded.number, receipt) ||
        !writeEntry(unit, entry, loaded.number, loaded.registration, writeStamp(now)) || !unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return WriteResult::of(WriteEnd::Written);
}

WriteResult modifyGeneratedEntry(Services::DataAccess &db, const LoadedEntry &loaded, const EntryChange &change,
                                 bool overwrite, const QDateTime &now)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(kEntryLockArea));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kEntryWhere));
    if (const auto refused = concurrency(unit, loaded, overwrite))
        return *refused;
    const QString stamp = writeStamp(now);
    QString settlingBank;
    for (const LineChange &line : change.lines) {
        const auto stored = std::find_if(loaded.lines.cbegin(), loaded.lines.cend(), [&line](const Row &row) {
            return row.integer(QStringLiteral("SEQUENZA")) == line.sequence;
        });
        if (stored == loaded.lines.cend())
            continue;
        bool failed = false;
        const QString bank = bankOfAccount(unit, line.account, &failed).value_or(QString());
        if (failed)
            return WriteResult::of(WriteEnd::Failed);
        if (settlingBank.isEmpty())
            settlingBank = bank;
        const QString step = stored->text(QStringLiteral("SEGNO")) == QLatin1String("D")
                                 ? QStringLiteral("Agg. ContoDare")
                                 : QStringLiteral("Agg. ContoAvere");
        const QString sql = QStringLiteral("UPDATE %1 SET DATA_REG = ?, CCOS = ?, DESCRI_GIORN = ?, DESCRI = ?, "
                                           "BAN_CAS = ?, CONTO = ?, TSTAMP = ? "
                                           "WHERE ANNO = ? AND NRO_INT = ? AND SEQUENZA = ?")
                                .arg(Tables::GIORN);
        if (!unit.execCompany(step, sql,
                              {change.registrationDate, line.costCentre.trimmed(), line.description, change.description,
                               bank, line.account.trimmed().toUpper(), stamp, loaded.year, loaded.number,
                               line.sequence}))
            return WriteResult::of(WriteEnd::Failed);
        const QString before = stored->text(QStringLiteral("CONTO"));
        const QString after = line.account.trimmed().toUpper();
        if (fromSalesInvoice(loaded.movement) && before != after && !carryToInvoice(unit, loaded, before, after))
            return WriteResult::of(WriteEnd::Failed);
    }
    // A collection or payment keeps the due dates it settled on its bank.
    const QString type = loaded.causalType.trimmed().toUpper();
    if ((type == QLatin1String("IC") || type == QLatin1String("PG")) && !settlingBank.isEmpty()) {
        const int year = loaded.year.toInt();
        const QString sql = QStringLiteral("UPDATE %1 SET BANCA_SAL = ? WHERE DATA_SAL >= ? AND DATA_SAL <= ? "
                                           "AND NRO_GIO_S = ? AND BANCA_SAL <> ''")
                                .arg(Tables::SCADF);
        if (!unit.execCompany(QStringLiteral("Agg. Scadf"), sql,
                              {settlingBank, QDate(year, 1, 1), QDate(year, 12, 31), loaded.number}))
            return WriteResult::of(WriteEnd::Failed);
    }
    if (!unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return WriteResult::of(WriteEnd::Written);
}

} // namespace Orlavo::Accounting
