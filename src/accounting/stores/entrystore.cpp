#include "accounting/stores/entrystore.h"

#include "accounting/stores/entryupdate.h"
#include "accounting/stores/journal.h"
#include "services/core/tablenames.h"
#include "services/data/counters.h"
#include "services/data/dataaccess.h"
#include "services/data/recordstore.h"
#include "services/data/writeunit.h"

namespace Orlavo::Accounting {

using Services::FieldProblem;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {

bool known(Services::DataAccess &db, const QString &table, const QString &column, const QVariant &value)
{
    return Services::valueKnown(db, table, column, value);
}

// Customers and suppliers: 99999 is the standard list's party, never one
// an entry may name.
bool knownParty(Services::DataAccess &db, const QString &table, const QString &column, int code)
{
    return code != 99999 && known(db, table, column, code);
}

void checkRows(Services::DataAccess &db, const QList<EntryRow> &rows, const QString &side, const ManualEntry &entry,
               QList<FieldProblem> &problems)
{
    int n = 0;
    for (const EntryRow &row : compacted(rows)) {
        const QString column = side + QString::number(++n);
        const QString account = row.account.trimmed();
        if (account.isEmpty())
            problems.append({column, QStringLiteral("Conto obbligatorio")});
        else if (!known(db, Tables::TAB_PIANO_CONTI, QStringLiteral("CODICE"), account))
            problems.append({column, QStringLiteral("Conto errato")});
        // A row may leave its description to the entry's.
        if (row.description.trimmed().isEmpty() && entry.description.trimmed().isEmpty())
            problems.append({column, QStringLiteral("Descrizione obbligatoria")});
        // A cash receipt's amounts come from the split; an exempt code
        // leaves the VAT row at 0, and that row is simply not written.
        if (row.amount == 0 && entry.mode == EntryMode::General)
            problems.append({column, QStringLiteral("Importo obbligatorio")});
    }
}

struct VatCode {
    double rate = 0;
    QChar kind;
};

Services::Outcome<std::optional<VatCode>> vatCodeOf(Services::WriteUnit &unit, const QString &code)
{
    const auto rows = unit.read(
        QStringLiteral("SELECT ALIQUOTA, TIPO_CODICE FROM %1 WHERE CODICE = ?").arg(Tables::TAB_PERIVA), {code});
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<VatCode>();
    const auto row = rows->first();
    const QString kind = row.value(QStringLiteral("TIPO_CODICE")).toString().trimmed();
    return std::optional<VatCode>(
        VatCode{row.value(QStringLiteral("ALIQUOTA")).toDouble(), kind.isEmpty() ? QLatin1Char('P') : kind.at(0)});
}

JournalEntry journalOf(const ManualEntry &entry, int number, int registration)
{
    JournalEntry journal;
    journal.year = entry.year;
    journal.number = number;
    journal.movementDate = entry.movementDate;
    journal.registrationNumber = registration;
    journal.registrationDate = entry.registrationDate;
    journal.movement = entry.mode == EntryMode::CashReceipt ? QStringLiteral("RCO") : QStringLiteral("RCC");
    journal.causal = entry.causal;
    journal.causalType = causalTypeOf(entry.mode);
    journal.description = entry.description;
    journal.total = entry.total;
    journal.decimals = entry.decimals;
    for (const auto &[rows, sign] :
         {std::pair{&entry.debit, QLatin1Char('D')}, std::pair{&entry.credit, QLatin1Char('A')}}) {
        for (const EntryRow &row : compacted(*rows)) {
            JournalLine line;
            line.account = row.account;
            line.sign = sign;
            line.amount = row.amount;
            line.description = row.description;
            line.costCentre = entry.perRow ? row.costCentre : entry.costCentre;
            line.customer = entry.perRow ? row.customer : entry.customer;
            line.supplier = entry.perRow ? row.supplier : entry.supplier;
            if (entry.mode == EntryMode::CashReceipt)
                line.cheque = entry.vatCode;
            journal.lines.append(line);
        }
    }
    return journal;
}

VatRecord receiptVat(const ManualEntry &entry, const VatCode &code)
{
    const ReceiptSplit split = splitReceipt(entry.total, code.rate, entry.decimals);
    VatLine line;
    line.code = entry.vatCode.trimmed().toUpper();
    line.kind = code.kind;
    line.rate = code.rate;
    line.taxable = split.taxable;
    line.vat = split.vat;
    line.deductible = true;
    line.deductibleTaxable = code.rate != 0 ? split.taxable : 0;
    line.deductibleVat = split.vat;
    return {QLatin1Char('C'), QLatin1Char('A'), entry.total, {line}};
}

} // namespace

QString causalTypeOf(EntryMode mode)
{
    return mode == EntryMode::CashReceipt ? QStringLiteral("CO") : QStringLiteral("CC");
}

QList<FieldProblem> entryProblems(Services::DataAccess &db, const ManualEntry &entry)
{
    QList<FieldProblem> problems;
    checkRows(db, entry.debit, QStringLiteral("DARE"), entry, problems);
    checkRows(db, entry.credit, QStringLiteral("AVERE"), entry, problems);
    if (entry.total <= 0)
        problems.append({QStringLiteral("TOTALE"), QStringLiteral("Impoto totale errato")});
    if (!entry.costCentre.trimmed().isEmpty() &&
        !known(db, Tables::TAB_CCOS, QStringLiteral("CODICE"), entry.costCentre))
        problems.append({QStringLiteral("CCOS"), QStringLiteral("Centro di costo errato")});
    if (entry.supplier != 0 && !knownParty(db, Tables::ANAG_FOR, QStringLiteral("FORNITORE"), entry.supplier))
        problems.append({QStringLiteral("FORNITORE"), QStringLiteral("Fornitore errato ")});
    if (entry.customer != 0 && !knownParty(db, Tables::ANAG_CLI, QStringLiteral("CLIENTE"), entry.customer))
        problems.append({QStringLiteral("CLIENTE"), QStringLiteral("Cliente errato ")});
    if (entry.vatCode.trimmed().isEmpty()) {
        if (entry.mode == EntryMode::CashReceipt)
            problems.append({QStringLiteral("COD_IVA"), QStringLiteral("Codice Iva obbligatorio ")});
    } else if (!known(db, Tables::TAB_PERIVA, QStringLiteral("CODICE"), entry.vatCode.trimmed())) {
        problems.append({QStringLiteral("COD_IVA"), QStringLiteral("Codice Iva errato")});
    }
    if (entry.causal.trimmed().isEmpty())
        problems.append({QStringLiteral("CAUSALE"), QStringLiteral("Causale di contabilità obbligatoria")});
    else if (!Services::valueKnown(db, Tables::TAB_CAU_CONT, QStringLiteral("CAUSALE"), entry.causal.trimmed(), {},
                                   QStringLiteral("TIPO_CAUSALE"), causalTypeOf(entry.mode)))
        problems.append({QStringLiteral("CAUSALE"), QStringLiteral("Causale di contabilità errata")});
    if (!entry.registrationDate.isValid())
        problems.append({QStringLiteral("DATA_REG"), QStringLiteral("Data registrazione bbligatoria")});
    else if (!inWorkingYear(entry.registrationDate, entry.year))
        problems.append({QStringLiteral("DATA_REG"), QStringLiteral("Data registrazione errata")});
    return problems;
}

bool writeEntry(Services::WriteUnit &unit, const ManualEntry &entry, int number, int registration, const QString &stamp)
{
    const JournalEntry journal = journalOf(entry, number, registration);
    if (!writeJournal(unit, journal, stamp))
        return false;
    if (entry.mode != EntryMode::CashReceipt)
        return true;
    const auto code = vatCodeOf(unit, entry.vatCode.trimmed().toUpper());
    if (!code || !*code) {
        unit.fail();
        return false;
    }
    return writeVat(unit, journal, receiptVat(entry, **code), stamp);
}

Registered registerEntry(Services::DataAccess &db, const ManualEntry &entry, const QDateTime &now)
{
    Registered registered;
    const Services::ArchiveLock lock(db, QString::fromLatin1(kEntryLockArea));
    if (!lock) {
        registered.result = WriteResult::of(WriteEnd::LockHeld);
        return registered;
    }
    Services::WriteUnit unit(db, QString::fromLatin1(kEntryWhere));
    const int number = Services::Counters::nextNumber(db, entry.year + QStringLiteral("NROINT"));
    int registration = 0;
    if (number != 0 && entry.mode == EntryMode::CashReceipt)
        registration = Services::Counters::nextNumber(db, entry.year + QStringLiteral("CORRISPETTIVI"));
    if (number == 0 || (entry.mode == EntryMode::CashReceipt && registration == 0)) {
        unit.fail();
        return registered;
    }
    if (!writeEntry(unit, entry, number, registration, writeStamp(now)) || !unit.commit())
        return registered;
    registered = {WriteResult::of(WriteEnd::Written), number, registration};
    return registered;
}

Services::Outcome<std::optional<QString>> deleteRefusal(Services::DataAccess &db, const QString &year, int number)
{
    const auto loaded = loadEntry(db, year, number);
    if (!loaded)
        return loaded.failure();
    if (!*loaded)
        return std::optional<QString>();
    if ((*loaded)->printed)
        return std::optional<QString>(QStringLiteral("Impossibile eliminare, \nè già stato stampato il Giornale !"));
    if (!(*loaded)->manual())
        return std::optional<QString>(QStringLiteral("Impossibile eliminare da qui la registrazione;\n"
                                                     "Utilizzare l'applicazione che ha generato il movimento"));
    return std::optional<QString>();
}

WriteResult deleteManualEntry(Services::DataAccess &db, const QString &year, int number)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(kEntryLockArea));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromLatin1(kEntryWhere));
    const auto stored = unit.readForUpdate(
        QStringLiteral("SELECT CAUSALET FROM %1 WHERE ANNO = ? AND NRO_INT = ?").arg(Tables::GIORN), {year, number});
    if (!stored)
        return WriteResult::of(WriteEnd::Failed);
    if (stored->isEmpty())
        return WriteResult::of(WriteEnd::Gone);
    const bool receipt = stored->first().value(QStringLiteral("CAUSALET")).toString().trimmed() == QLatin1String("CO");
    if (!deleteEntry(unit, year, number, receipt) || !unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return WriteResult::of(WriteEnd::Written);
}

} // namespace Orlavo::Accounting
