#include "accounting/stores/journal.h"

#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "services/data/recordstore.h"
#include "services/data/writeunit.h"

#include <array>

namespace Orlavo::Accounting {

using namespace Services::Column;
using Services::ColumnDef;
using Services::Row;
using Services::TableDef;
namespace Tables = Services::Tables;

namespace {

ColumnDef figure(const QString &name)
{
    return notNull(amount(name, 2));
}

ColumnDef number(const QString &name)
{
    return notNull(integer(name));
}

ColumnDef word(const QString &name, int length)
{
    return notNull(code(name, length));
}

// The columns IVA and IVA2 share after their keys.
QList<ColumnDef> documentColumns()
{
    return {date(QStringLiteral("DATA_INT")), word(QStringLiteral("NRO_DOC"), 20), date(QStringLiteral("DATA_DOC")),
            number(QStringLiteral("NRO_REG")), date(QStringLiteral("DATA_REG"))};
}

QList<ColumnDef> originColumns()
{
    return {
        word(QStringLiteral("CCOS"), 6),     code(QStringLiteral("MOVIMENTO"), 3), number(QStringLiteral("CLIENTE")),
        number(QStringLiteral("FORNITORE")), code(QStringLiteral("TIPO"), 1),      code(QStringLiteral("SEGNO"), 1),
        code(QStringLiteral("CAUSALE"), 6),  code(QStringLiteral("CAUSALET"), 2),  figure(QStringLiteral("TOTALE"))};
}

// Where a kind's taxable goes in IVA, and its total and code in IVA2.
struct ExemptColumn {
    char kind;
    const char *column;
    const char *codeColumn;
};
constexpr std::array<ExemptColumn, 4> kExempt = {{{'E', "ESENTE", "COD_ESENTE"},
                                                  {'N', "NON_IMPONIBILE", "COD_NON_IMPONIBILE"},
                                                  {'S', "NON_SOGGETTA", "COD_NON_SOGGETTA"},
                                                  {'X', "ESCLUSA", "COD_ESCLUSA"}}};

const ExemptColumn *exemptOf(QChar kind)
{
    for (const ExemptColumn &e : kExempt) {
        if (kind.toUpper() == QLatin1Char(e.kind))
            return &e;
    }
    return nullptr;
}

void setCommon(Row &row, const JournalEntry &entry, const QString &stamp)
{
    row.set(QStringLiteral("ANNO"), entry.year);
    row.set(QStringLiteral("NRO_INT"), entry.number);
    row.set(QStringLiteral("DATA_INT"), entry.movementDate);
    row.set(QStringLiteral("NRO_DOC"), entry.documentNumber);
    row.set(QStringLiteral("DATA_DOC"), entry.documentDate);
    row.set(QStringLiteral("NRO_REG"), entry.registrationNumber);
    row.set(QStringLiteral("DATA_REG"), entry.registrationDate);
    row.set(QStringLiteral("MOVIMENTO"), entry.movement);
    row.set(QStringLiteral("CAUSALE"), entry.causal);
    row.set(QStringLiteral("CAUSALET"), entry.causalType);
    row.set(QStringLiteral("TOTALE"), Services::roundDec(entry.total, entry.decimals));
    row.set(QStringLiteral("TSTAMP"), stamp);
}

// The customer, supplier and cost centre of the entry: the first line's.
void setParties(Row &row, const JournalEntry &entry)
{
    if (entry.lines.isEmpty())
        return;
    const JournalLine &first = entry.lines.first();
    row.set(QStringLiteral("CCOS"), first.costCentre);
    row.set(QStringLiteral("CLIENTE"), first.customer);
    row.set(QStringLiteral("FORNITORE"), first.supplier);
}

QString byEntry()
{
    return QStringLiteral("ANNO = ? AND NRO_INT = ?");
}

} // namespace

const TableDef &journalTable()
{
    static const TableDef def{Tables::GIORN,
                              Services::Target::Company,
                              {key(code(QStringLiteral("ANNO"), 4)),     key(integer(QStringLiteral("NRO_INT"))),
                               date(QStringLiteral("DATA_INT")),         word(QStringLiteral("NRO_DOC"), 20),
                               date(QStringLiteral("DATA_DOC")),         number(QStringLiteral("NRO_REG")),
                               date(QStringLiteral("DATA_REG")),         number(QStringLiteral("NRO_IVA")),
                               number(QStringLiteral("NRO_ACCR")),       number(QStringLiteral("NRO_GIO")),
                               date(QStringLiteral("DATA_GIO")),         code(QStringLiteral("CONTO"), 10),
                               word(QStringLiteral("CCOS"), 6),          code(QStringLiteral("MOVIMENTO"), 3),
                               number(QStringLiteral("CLIENTE")),        number(QStringLiteral("FORNITORE")),
                               word(QStringLiteral("BAN_CAS"), 6),       notNull(text(QStringLiteral("ASSEGNO"), 20)),
                               figure(QStringLiteral("IMPORTO")),        code(QStringLiteral("SEGNO"), 1),
                               code(QStringLiteral("CAUSALE"), 6),       code(QStringLiteral("CAUSALET"), 2),
                               text(QStringLiteral("DESCRI"), 100),      text(QStringLiteral("DESCRI_GIORN"), 100),
                               key(integer(QStringLiteral("SEQUENZA"))), flagMinusOne(QStringLiteral("STAMPATO")),
                               word(QStringLiteral("TIPO_MOV"), 3),      flagMinusOne(QStringLiteral("ANNULLATA")),
                               figure(QStringLiteral("TOTALE")),         flagMinusOne(QStringLiteral("STA_GIO")),
                               text(QStringLiteral("TSTAMP"), 30)}};
    return def;
}

const TableDef &vatTable()
{
    static const TableDef def = [] {
        TableDef d{Tables::IVA,
                   Services::Target::Company,
                   {key(code(QStringLiteral("ANNO"), 4)), key(integer(QStringLiteral("NRO_INT"))),
                    key(code(QStringLiteral("COD_IVA"), 4))}};
        d.columns += documentColumns();
        d.columns += {number(QStringLiteral("NRO_IVA")), number(QStringLiteral("NRO_ACCR"))};
        d.columns += originColumns();
        d.columns.append(figure(QStringLiteral("IMPONIBILE")));
        for (const ExemptColumn &e : kExempt)
            d.columns.append(figure(QString::fromLatin1(e.column)));
        d.columns += {figure(QStringLiteral("IVA")),          notNull(percent(QStringLiteral("PERC"))),
                      flagMinusOne(QStringLiteral("DETRAZ")), flagMinusOne(QStringLiteral("ANNULLATA")),
                      figure(QStringLiteral("IMPODET")),      figure(QStringLiteral("IVADET")),
                      figure(QStringLiteral("IMPONODET")),    figure(QStringLiteral("IVANODET")),
                      text(QStringLiteral("TSTAMP"), 30)};
        return d;
    }();
    return def;
}

const TableDef &vatSummaryTable()
{
    static const TableDef def = [] {
        TableDef d{Tables::IVA2,
                   Services::Target::Company,
                   {key(code(QStringLiteral("ANNO"), 4)), key(integer(QStringLiteral("NRO_INT")))}};
        d.columns += documentColumns();
        d.columns += originColumns();
        for (int slot = 1; slot <= 5; ++slot) {
            for (const char *name : {"IMPONIBILE", "IVA", "PERC", "IMPODET", "IVADET", "IMPONODET", "IVANODET"})
                d.columns.append(figure(QStringLiteral("%1%2").arg(QLatin1String(name)).arg(slot)));
        }
        for (const ExemptColumn &e : kExempt)
            d.columns += {figure(QString::fromLatin1(e.column)), word(QString::fromLatin1(e.codeColumn), 4)};
        d.columns.append(text(QStringLiteral("TSTAMP"), 30));
        return d;
    }();
    return def;
}

bool writeJournal(Services::WriteUnit &unit, const JournalEntry &entry, const QString &stamp, const QString &debitStep,
                  const QString &creditStep)
{
    int sequence = 0;
    for (const QChar sign : {QLatin1Char('D'), QLatin1Char('A')}) {
        for (const JournalLine &line : entry.lines) {
            const double amount = Services::roundDec(line.amount, entry.decimals);
            if (line.sign != sign || amount == 0)
                continue;
            Row row(journalTable());
            setCommon(row, entry, stamp);
            row.set(QStringLiteral("SEQUENZA"), ++sequence);
            row.set(QStringLiteral("CONTO"), line.account);
            row.set(QStringLiteral("CCOS"), line.costCentre);
            row.set(QStringLiteral("CLIENTE"), line.customer);
            row.set(QStringLiteral("FORNITORE"), line.supplier);
            row.set(QStringLiteral("BAN_CAS"), line.bankOrCash);
            row.set(QStringLiteral("ASSEGNO"), line.cheque);
            row.set(QStringLiteral("IMPORTO"), amount);
            row.set(QStringLiteral("SEGNO"), QString(sign));
            row.set(QStringLiteral("DESCRI"), entry.description);
            row.set(QStringLiteral("DESCRI_GIORN"),
                    line.description.trimmed().isEmpty() ? entry.description : line.description);
            if (!Services::insertRow(unit, row, sign == QLatin1Char('D') ? debitStep : creditStep))
                return false;
        }
    }
    return true;
}

bool writeVat(Services::WriteUnit &unit, const JournalEntry &entry, const VatRecord &vat, const QString &stamp)
{
    // What the IVA rows and the IVA2 summary share.
    const auto vatRow = [&](const Services::TableDef &def) {
        Row row(def);
        setCommon(row, entry, stamp);
        setParties(row, entry);
        row.set(QStringLiteral("TIPO"), QString(vat.registerType));
        row.set(QStringLiteral("SEGNO"), QString(vat.sign));
        row.set(QStringLiteral("TOTALE"), Services::roundDec(vat.total, entry.decimals));
        return row;
    };
    Row summary = vatRow(vatSummaryTable());
    int slot = 0;
    for (const VatLine &line : vat.lines) {
        // The figures of a code, named as IVA names them and as a rate slot
        // of IVA2 names them with its number.
        const std::pair<const char *, double> figures[] = {
            {"IVA", line.vat},
            {"PERC", line.rate},
            {"IMPODET", line.deductibleTaxable},
            {"IVADET", line.deductibleVat},
            {"IMPONODET", line.nonDeductibleTaxable},
            {"IVANODET", line.nonDeductibleVat},
        };
        Row row = vatRow(vatTable());
        row.set(QStringLiteral("COD_IVA"), line.code);
        const ExemptColumn *exempt = exemptOf(line.kind);
        row.set(exempt ? QString::fromLatin1(exempt->column) : QStringLiteral("IMPONIBILE"), line.taxable);
        row.set(QStringLiteral("DETRAZ"), line.deductible);
        for (const auto &[name, value] : figures)
            row.set(QString::fromLatin1(name), value);
        if (!Services::insertRow(unit, row, QStringLiteral("Ins. Iva")))
            return false;

        if (exempt) {
            const QString column = QString::fromLatin1(exempt->column);
            summary.set(column, summary.number(column) + line.taxable);
            summary.set(QString::fromLatin1(exempt->codeColumn), line.code);
        } else if (slot < 5) {
            ++slot;
            summary.set(QStringLiteral("IMPONIBILE%1").arg(slot), line.taxable);
            for (const auto &[name, value] : figures)
                summary.set(QStringLiteral("%1%2").arg(QLatin1String(name)).arg(slot), value);
        }
    }
    return Services::insertRow(unit, summary, QStringLiteral("Ins. Iva2"));
}

bool deleteEntry(Services::WriteUnit &unit, const QString &year, int number, bool withVat)
{
    const Services::Params key{year, number};
    const auto remove = [&unit, &key](const QString &step, const QString &table) {
        return unit.execCompany(step, QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, byEntry()), key);
    };
    if (!remove(QStringLiteral("Canc Giorn 1"), Tables::GIORN))
        return false;
    return !withVat ||
           (remove(QStringLiteral("Canc iva2"), Tables::IVA2) && remove(QStringLiteral("Canc iva"), Tables::IVA));
}

Services::Outcome<QList<Row>> readJournal(Services::DataAccess &db, const QString &year, int number)
{
    return Services::readRows(db, journalTable(), byEntry(), {year, number}, QStringLiteral("SEQUENZA"));
}

Services::Outcome<bool> entryBalanced(Services::WriteUnit &unit, const QString &year, int number, int decimals)
{
    const auto sums = unit.read(QStringLiteral("SELECT SEGNO, SUM(IMPORTO) AS SOMMA FROM %1 WHERE %2 GROUP BY SEGNO")
                                    .arg(Tables::GIORN, byEntry()),
                                {year, number});
    if (!sums)
        return sums.failure();
    double debit = 0;
    double credit = 0;
    for (const auto &row : *sums) {
        const double sum = Services::roundDec(row.value(QStringLiteral("SOMMA")).toDouble(), decimals);
        if (row.value(QStringLiteral("SEGNO")).toString() == QLatin1String("D"))
            debit = sum;
        else
            credit = sum;
    }
    return debit == credit;
}

} // namespace Orlavo::Accounting
