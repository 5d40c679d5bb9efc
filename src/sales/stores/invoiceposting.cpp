#include "sales/stores/invoiceposting.h"

#include "accounting/rules/entryrules.h"
#include "accounting/stores/journal.h"
#include "sales/rules/invoiceposting.h"
#include "sales/rules/salesrows.h"
#include "sales/stores/salestables.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/counters.h"
#include "services/data/dataaccess.h"
#include "services/data/prompter.h"
#include "services/data/writeunit.h"
#include "warehouse/stores/movementstore.h"

#include <algorithm>

namespace Orlavo::Sales {

using Services::Row;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {

constexpr char kInvoicepostingOperation[] = "Codifica Fatture";
const QString kMovementsUnsupported =
    QStringLiteral("Righe da D.d.T. o da ordini non ancora registrabili: \nimpossibile registrare la fattura");

// One text of a statement's single row; empty when there is none.
QString single(Services::WriteUnit &unit, const QString &sql, const Services::Params &params,
               Services::Target target = Services::Target::Company)
{
    const auto rows = unit.read(sql, params, target);
    return rows && !rows->isEmpty() ? rows->first().at(0).toString() : QString();
}

// Base data NUMERAZ: credit notes numbered apart.
bool creditNotesApart(Services::DataAccess &db, Services::WriteUnit &unit)
{
    const auto rows = unit.read(QStringLiteral("SELECT NUMERAZ FROM %1 WHERE SOCIETA = ?").arg(Tables::DATIBASE),
                                {db.state().company}, Services::Target::Services);
    return rows && !rows->isEmpty() && rows->first().integer(QStringLiteral("NUMERAZ")) != 0;
}

int next(Services::DataAccess &db, Services::WriteUnit &unit, const QString &counter, const QString &step)
{
    db.setStep(step);
    const int number = Services::Counters::nextNumber(db, counter);
    if (number == 0)
        unit.fail();
    return number;
}

bool isItemRow(const Row &row)
{
    return !row.text(QStringLiteral("ARTICOLO")).isEmpty() && !row.text(QStringLiteral("MARCA")).isEmpty() &&
           !row.text(QStringLiteral("MAGAZ")).isEmpty();
}

QString movementCausal(const QString &type)
{
    return type.trimmed().toUpper() == QLatin1String("VTM") ? QStringLiteral("C14") : QStringLiteral("S11");
}

// The summary's figures on the header, with the numbers and the stamp.
void fillHeader(Row &header, const Summary &summary, const QList<Masterdata::DueLine> &dueLines,
                const Currency &currency)
{
    header.set(QStringLiteral("TOTALE_MER"), summary.goods);
    header.set(QStringLiteral("NETTO_MER"), summary.net);
    for (int i = 0; i < kVatSlots; ++i) {
        const VatSlot &slot = summary.vatSlots.at(i);
        header.set(QStringLiteral("IMPONIB_%1").arg(i + 1), slot.taxable);
        header.set(QStringLiteral("IVA_%1").arg(i + 1), slot.vat);
        header.set(QStringLiteral("PERC_%1").arg(i + 1), slot.code);
    }
    header.set(QStringLiteral("TOTALE"), summary.total);
    header.set(QStringLiteral("TOTALE_EUR"), euroValue(summary.total, currency));
    header.set(QStringLiteral("IMPON_RIT"), summary.withholdingBase);
    header.set(QStringLiteral("RITENUTA"), summary.withholding);
    header.set(QStringLiteral("TOT_NET"), summary.totalNet);
    header.set(QStringLiteral("TOT_NET_EUR"), euroValue(summary.totalNet, currency));
    header.set(QStringLiteral("TOT_QTA"), summary.weights);
    header.set(QStringLiteral("TOT_UTF"), summary.specialWeight);
    for (int i = 0; i < 4; ++i) {
        const bool given = i < dueLines.size() && dueLines.at(i).date.isValid();
        header.set(QStringLiteral("SCAD%1").arg(i + 1), given ? QVariant(dueLines.at(i).date) : QVariant());
        header.set(QStringLiteral("IMPOSC%1").arg(i + 1), given ? dueLines.at(i).amount : 0.0);
    }
}

// The stock movements of an item row: the item itself, or a composite's
// components in their order, each quantity times the component's. The
// row keeps the first movement's number.
bool moveStock(Services::DataAccess &db, Services::WriteUnit &unit, const Row &header, Row &row)
{
    const QString year = header.text(QStringLiteral("ANNO"));
    Row movement(Warehouse::movementTable());
    const auto put = [&movement](const char *column, const QVariant &value) {
        movement.set(QString::fromLatin1(column), value);
    };
    put("ANNO", year);
    put("DATA_REG", header.value(QStringLiteral("DATA_REG")));
    put("MAGAZZINO", row.value(QStringLiteral("MAGAZ")));
    put("CAUSALE", movementCausal(header.text(QStringLiteral("MOVIMENTO"))));
    put("UNITA_MIS", row.value(QStringLiteral("UN_MIS")));
    put("CLIENTE", header.value(QStringLiteral("CLIENTE")));
    put("FORNITORE", 0);
    put("ANNO_INT_FATT", year);
    put("NRO_INT_FATT", header.value(QStringLiteral("NRO_INT")));
    put("NRO_REG_FATT", header.value(QStringLiteral("NRO_REG")));
    put("NRO_DOC", header.value(QStringLiteral("NRO_DOC")));
    put("DATA_DOC", header.value(QStringLiteral("DATA_DOC")));
    put("MOVIMENTO_FATT", header.value(QStringLiteral("MOVIMENTO")));
    put("LIBERO1", row.value(QStringLiteral("LIBERO1")));
    put("LIBERO2", row.value(QStringLiteral("LIBERO2")));
    put("NOTE1", row.text(QStringLiteral("DESCRI")).left(255));

    const QString brand = row.text(QStringLiteral("MARCA"));
    const QString code = row.text(QStringLiteral("ARTICOLO"));
    const auto components =
        unit.read(QStringLiteral("SELECT C.MARCA, C.ARTICOLO, C.QTA FROM %1 C JOIN %2 A ON A.MARCA = C.MARCA_P AND "
                                 "A.ARTICOLO = C.ARTICOLO_P AND A.MAGAZZINO = ? WHERE C.MARCA_P = ? AND "
                                 "C.ARTICOLO_P = ? AND A.COMPOSTO <> 0 ORDER BY C.PROGR")
                      .arg(Tables::ARTICOMP, Tables::ARTICOLI),
                  {row.value(QStringLiteral("MAGAZ")), brand, code});
    if (!components)
        return false;
    const double quantity = row.number(QStringLiteral("QTA"));
    int first = 0;
    if (components->isEmpty()) {
        put("MARCA", brand);
        put("ARTICOLO", code);
        put("QUANTITA", quantity);
        put("PREZZO", row.value(QStringLiteral("PREZZO")));
        // The net price is rounded to these: never fewer than the currency's.
        put("NDEC", std::max(currencyOfYear(year).decimals, priceDecimals(row.number(QStringLiteral("PREZZO")))));
        put("SCONTO1", row.value(QStringLiteral("SCONTO")));
        put("SCONTO2", row.value(QStringLiteral("SCONTO2")));
        put("SCONTO3", row.value(QStringLiteral("SCONTO3")));
        put("TOTALE", Services::roundDec(row.number(QStringLiteral("NETTO")), currencyOfYear(year).decimals));
        first = Warehouse::writeDocumentMovement(db, unit, movement);
    } else {
        // Decision: components move their quantity without a value; the
        // row's amount stays the composite's.
        for (const auto &component : *components) {
            put("MARCA", component.value(QStringLiteral("MARCA")));
            put("ARTICOLO", component.value(QStringLiteral("ARTICOLO")));
            put("QUANTITA", quantity * component.number(QStringLiteral("QTA")));
            const int number = Warehouse::writeDocumentMovement(db, unit, movement);
            if (number == 0)
                return false;
            if (first == 0)
                first = number;
        }
    }
    if (first == 0)
        return false;
    row.set(QStringLiteral("ANNO_MOV"), year);
    row.set(QStringLiteral("NUM_MOV"), first);
    return true;
}

Accounting::JournalEntry journalEntry(const Row &header, int number, const QString &description,
                                      const Currency &currency)
{
    Accounting::JournalEntry entry;
    entry.year = header.text(QStringLiteral("ANNO"));
    entry.number = number;
    entry.movementDate = header.date(QStringLiteral("DATA_REG"));
    entry.documentNumber = QString::number(header.integer(QStringLiteral("NRO_DOC")));
    entry.documentDate = header.date(QStringLiteral("DATA_DOC"));
    entry.registrationNumber = header.integer(QStringLiteral("NRO_REG"));
    entry.registrationDate = header.date(QStringLiteral("DATA_REG"));
    entry.movement = header.text(QStringLiteral("MOVIMENTO"));
    entry.causal = entry.movement;
    entry.causalType = header.text(QStringLiteral("CAUSALE"));
    entry.description = description;
    entry.total = header.number(QStringLiteral("TOTALE"));
    entry.decimals = currency.decimals;
    return entry;
}

void addLines(Accounting::JournalEntry &entry, const QList<PostingLine> &lines)
{
    for (const PostingLine &line : lines) {
        Accounting::JournalLine journal;
        journal.account = line.account;
        journal.sign = line.sign;
        journal.amount = line.amount;
        journal.description = line.description;
        journal.customer = line.customer;
        entry.lines.append(journal);
    }
}

InvoiceFigures figuresOf(const SalesDocument &document, const Summary &summary, const QString &customerName,
                         const Currency &currency)
{
    const Row &h = document.header;
    InvoiceFigures f;
    f.type = h.text(QStringLiteral("MOVIMENTO"));
    f.documentNumber = h.integer(QStringLiteral("NRO_DOC"));
    f.documentDate = h.date(QStringLiteral("DATA_DOC"));
    f.customer = h.integer(QStringLiteral("CLIENTE"));
    f.customerName = customerName;
    f.customerAccount = h.text(QStringLiteral("CONTO_CLI"));
    f.total = summary.total;
    f.discountAccount = h.text(QStringLiteral("CONTO_SCONTI"));
    f.discount = summary.discount;
    for (const Row &row : document.rows)
        f.rows.append({row.text(QStringLiteral("CONTO")), row.number(QStringLiteral("NETTO"))});
    f.goods = summary.goods;
    f.decimals = currency.decimals;
    f.transportAccount = h.text(QStringLiteral("CONTO_TRA"));
    f.bankAccount = h.text(QStringLiteral("CONTO_BAN"));
    f.stampAccount = h.text(QStringLiteral("CONTO_BOL"));
    f.transport = h.number(QStringLiteral("SPESE_TRA"));
    f.bank = h.number(QStringLiteral("SPESE_BAN"));
    f.stamp = h.number(QStringLiteral("BOLLI"));
    f.vatAccount = h.text(QStringLiteral("CONTO_IVA"));
    for (const VatSlot &slot : summary.vatSlots)
        f.vat += slot.vat;
    f.vat = Services::roundDec(f.vat, currency.decimals);
    return f;
}

// The VAT of the slots, each with its code's kind and rate.
bool vatRecordOf(Services::WriteUnit &unit, const SalesDocument &document, const Summary &summary,
                 Accounting::VatRecord &record)
{
    record.registerType = QLatin1Char('V');
    record.sign = customerSign(document.header.text(QStringLiteral("MOVIMENTO"))) == QLatin1Char('D')
                      ? QLatin1Char('A')
                      : QLatin1Char('D');
    for (const VatSlot &slot : summary.vatSlots) {
        if (slot.code.isEmpty())
            continue;
        const auto rows =
            unit.read(QStringLiteral("SELECT TIPO_CODICE, ALIQUOTA FROM %1 WHERE CODICE = ?").arg(Tables::TAB_PERIVA),
                      {slot.code});
        if (!rows)
            return false;
        Accounting::VatLine line;
        line.code = slot.code;
        const QString kind = rows->isEmpty() ? QString() : rows->first().text(QStringLiteral("TIPO_CODICE"));
        line.kind = kind.isEmpty() ? QLatin1Char('P') : kind.at(0).toUpper();
        line.rate = rows->isEmpty() ? 0 : rows->first().number(QStringLiteral("ALIQUOTA"));
        line.taxable = slot.taxable;
        line.vat = slot.vat;
        // Decision: the settlement reads IMPODET/IVADET.
        line.deductibleTaxable = slot.taxable;
        line.deductibleVat = slot.vat;
        record.lines.append(line);
        record.total += slot.taxable + slot.vat;
    }
    return true;
}

bool same(double a, double b, int decimals)
{
    return Services::sqlNumber(a, decimals) == Services::sqlNumber(b, decimals);
}

// Step 13: what was written read back inside the unit. Empty when right,
// else the failure's text.
Services::Outcome<QString> verify(Services::WriteUnit &unit, const SalesDocument &document, const Currency &currency)
{
    const Row &h = document.header;
    const Services::Params key{h.value(QStringLiteral("ANNO")), h.value(QStringLiteral("NRO_INT"))};
    const bool definitive = document.family == Family::Definitive;
    if (definitive) {
        const auto rows = unit.read(QStringLiteral("SELECT MAGAZ, MARCA, ARTICOLO, TIPO, ANNO_MOV, NUM_MOV FROM %1 "
                                                   "WHERE ANNO = ? AND NRO_INT = ? ORDER BY RIGA")
                                        .arg(rowTable(document.family).table),
                                    key);
        if (!rows)
            return rows.failure();
        for (const auto &row : *rows) {
            if (row.text(QStringLiteral("ARTICOLO")).isEmpty() || row.text(QStringLiteral("MARCA")).isEmpty() ||
                row.text(QStringLiteral("MAGAZ")).isEmpty() || row.text(QStringLiteral("TIPO")) == QLatin1String("D"))
                continue;
            const QString found =
                single(unit,
                       QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ANNO = ? AND NRO_REG = ? AND "
                                      "MAGAZZINO = ? AND CAUSALE = ? AND NRO_DOC = ? AND "
                                      "ANNO_INT_FATT = ? AND NRO_INT_FATT = ?")
                           .arg(Tables::MOVMAG),
                       {row.value(QStringLiteral("ANNO_MOV")), row.value(QStringLiteral("NUM_MOV")),
                        row.value(QStringLiteral("MAGAZ")), movementCausal(h.text(QStringLiteral("MOVIMENTO"))),
                        h.value(QStringLiteral("NRO_DOC")), key.at(0), key.at(1)});
            if (!unit.ok())
                return Services::Failure{QString::fromUtf8(kInvoicepostingOperation), QString()};
            if (found.toInt() != 1)
                return verificationFailure(false);
        }
    }
    if (!definitive)
        return QString();
    const int decimals = currency.decimals;
    const double total = h.number(QStringLiteral("TOTALE"));
    const auto balanced = Accounting::entryBalanced(unit, key.at(0).toString(), key.at(1).toInt(), decimals);
    if (!balanced)
        return balanced.failure();
    const auto sum = [&unit, &key](const QString &columns, const QString &table) {
        return single(unit, QStringLiteral("SELECT SUM(%1) FROM %2 WHERE ANNO = ? AND NRO_INT = ?").arg(columns, table),
                      key)
            .toDouble();
    };
    QStringList summaryColumns;
    for (int i = 1; i <= kVatSlots; ++i)
        summaryColumns << QStringLiteral("IMPONIBILE%1 + IVA%1").arg(i);
    summaryColumns << QStringLiteral("ESENTE + ESCLUSA + NON_IMPONIBILE + NON_SOGGETTA");
    const double vatRows =
        sum(QStringLiteral("IMPONIBILE + IVA + ESENTE + ESCLUSA + NON_IMPONIBILE + NON_SOGGETTA"), Tables::IVA);
    const double vatSummary = sum(summaryColumns.join(QStringLiteral(" + ")), Tables::IVA2);
    // A missing due date is a sum short of the amount to pay.
    const double dues = sum(QStringLiteral("IMPORTO"), dueDateTable(document.family).table);
    if (!unit.ok())
        return Services::Failure{QString::fromUtf8(kInvoicepostingOperation), QString()};
    if (!*balanced || !same(vatRows, total, decimals) || !same(vatSummary, total, decimals) ||
        !same(dues, h.number(QStringLiteral("TOT_NET")), decimals))
        return verificationFailure(true);
    return QString();
}

} // namespace

QString verificationFailure(bool accounts)
{
    return QStringLiteral("La registrazione non è avvenuta correttamente: \n") +
           (accounts ? QStringLiteral("Errori durante le registrazioni contabili; ")
                     : QStringLiteral("Errori durante le registrazioni gestionali; ")) +
           QStringLiteral("\nRiprovare ");
}

bool postInvoiceIn(Services::DataAccess &db, Services::WriteUnit &unit, InvoicePosting &posting, Posted &posted)
{
    SalesDocument &document = posting.document;
    Row &header = document.header;
    const bool definitive = document.family == Family::Definitive;
    // Simulated invoices number from the copy of the counters, never from
    // the real ones: the generation's simulation writes them itself.
    if (document.family == Family::Simulated) {
        db.prompter().error(QStringLiteral("Le fatture simulate non si registrano"), QString::fromUtf8(kInvoicepostingOperation));
        unit.abandon();
        return false;
    }
    for (const Row &row : document.rows) {
        const QString kind = row.text(QStringLiteral("TIPO"));
        if (kind == QLatin1String("D") || kind == QLatin1String("B")) {
            db.prompter().error(kMovementsUnsupported, QString::fromUtf8(kInvoicepostingOperation));
            unit.abandon();
            return false;
        }
    }
    const QString year = header.text(QStringLiteral("ANNO"));
    const QString type = header.text(QStringLiteral("MOVIMENTO"));
    const Currency currency = currencyOfYear(year);
    const InvoiceCounters counters =
        invoiceCounters(year, type, header.text(QStringLiteral("TIPOFATT")), document.family,
                        isCreditNote(type) && creditNotesApart(db, unit), posting.debitNotesApart);

    // Numbers (step 6).
    if (posting.kept) {
        posted.internal = posting.kept->internal;
        posted.registration = posting.kept->registration;
        posted.document = posting.kept->document;
        if (definitive && posting.summary.withholding != 0) {
            posted.withholdingEntry = posting.kept->withholdingEntry;
            if (posted.withholdingEntry == 0)
                posted.withholdingEntry =
                    next(db, unit, counters.internal, QStringLiteral("Incrementa NROINT ritenuta"));
            if (posted.withholdingEntry == 0)
                return false;
        }
    } else if (definitive) {
        posted.internal = next(db, unit, counters.internal, QStringLiteral("Incrementa NROINT"));
        if (posted.internal == 0)
            return false;
        if (posting.summary.withholding != 0) {
            posted.withholdingEntry = next(db, unit, counters.internal, QStringLiteral("Incrementa NROINT ritenuta"));
            if (posted.withholdingEntry == 0)
                return false;
        }
    }
    if (!posting.kept) {
        posted.registration =
            next(db, unit, counters.registration, QStringLiteral("Incrementa numero registrazione"));
        posted.document = posted.registration == 0
                              ? 0
                              : next(db, unit, counters.document, QStringLiteral("Incrementa numero documento"));
        if (posted.document == 0)
            return false;
        if (!definitive)
            posted.internal = posted.document;
    }
    const QString stamp = Accounting::writeStamp(posting.now);
    header.set(QStringLiteral("NRO_INT"), posted.internal);
    header.set(QStringLiteral("NRO_REG"), posted.registration);
    header.set(QStringLiteral("NRO_DOC"), posted.document);
    header.set(QStringLiteral("DATA_INT"), header.value(QStringLiteral("DATA_REG")));
    header.set(QStringLiteral("NRO_RIT"), posted.withholdingEntry);
    header.set(QStringLiteral("TSTAMP"), stamp);
    header.set(QStringLiteral("UTENTE"), db.state().user);
    fillHeader(header, posting.summary, posting.dueLines, currency);
    // The banks' codes go with the document to its due dates (the bank
    // receipts read them there).
    for (const auto &[bank, table, abi, cab] :
         {std::tuple{"BANCA_APP", Tables::TAB_BAN_APP, "ABI", "CAB"},
          std::tuple{"BANCA_PAG", Tables::TAB_BAN_PAG, "ABI_PAG", "CAB_PAG"}}) {
        const QString code = header.text(QString::fromLatin1(bank)).trimmed();
        QString abiCode, cabCode;
        if (!code.isEmpty()) {
            const auto found = unit.read(QStringLiteral("SELECT ABI, CAB FROM %1 WHERE CODICE = ?").arg(table), {code});
            if (!found)
                return false;
            if (!found->isEmpty()) {
                abiCode = found->first().text(QStringLiteral("ABI")).trimmed();
                cabCode = found->first().text(QStringLiteral("CAB")).trimmed();
            }
        }
        header.set(QString::fromLatin1(abi), abiCode);
        header.set(QString::fromLatin1(cab), cabCode);
    }
    // The delivery block carries the document's number and date.
    if (document.delivery) {
        document.delivery->set(QStringLiteral("NRO_DOC"), posted.document);
        document.delivery->set(QStringLiteral("DATA_DOC"), header.value(QStringLiteral("DATA_DOC")));
    }

    // Stock (step 8), before the rows so each row names its movement.
    if (definitive) {
        for (Row &row : document.rows) {
            if (isItemRow(row) && !moveStock(db, unit, header, row))
                return false;
        }
    }
    document.dueDates = dueDateRows(document, posting.dueLines);
    if (!writeDocument(unit, document))
        return false;

    if (definitive) {
        // VAT and journal (step 9).
        const QString customerName =
            single(unit, QStringLiteral("SELECT RAG_SOC1 FROM %1 WHERE CLIENTE = ?").arg(Tables::ANAG_CLI),
                   {header.value(QStringLiteral("CLIENTE"))});
        const QString typeDescription =
            single(unit, QStringLiteral("SELECT DESCRIZIONE FROM %1 WHERE CODICE = ?").arg(Tables::TAB_TIPO_DOC),
                   {type}, Services::Target::Services);
        const InvoiceFigures figures = figuresOf(document, posting.summary, customerName, currency);
        Accounting::JournalEntry entry = journalEntry(
            header, posted.internal, entryDescription(typeDescription.isEmpty() ? type : typeDescription), currency);
        addLines(entry, invoiceLines(figures));
        Accounting::VatRecord vat;
        if (!vatRecordOf(unit, document, posting.summary, vat) || !Accounting::writeVat(unit, entry, vat, stamp) ||
            !Accounting::writeJournal(unit, entry, stamp, QStringLiteral("Ins. giorn cli"),
                                      QStringLiteral("Ins. giorn conti")))
            return false;

        // The withholding entry (step 11).
        if (posted.withholdingEntry != 0) {
            Accounting::JournalEntry withheld = journalEntry(
                header, posted.withholdingEntry,
                withholdingDescription(posted.document, header.date(QStringLiteral("DATA_DOC"))), currency);
            withheld.movement = QStringLiteral("RCC");
            withheld.causal = QStringLiteral("RA1");
            withheld.causalType = QStringLiteral("RA");
            withheld.registrationDate = withheld.movementDate = header.date(QStringLiteral("DATA_RIT"));
            withheld.total = posting.summary.withholding;
            addLines(withheld,
                     withholdingLines(figures, header.text(QStringLiteral("CONTO_RIT")), posting.summary.withholding));
            if (!Accounting::writeJournal(unit, withheld, stamp) || !writeWithholding(unit, document))
                return false;
        }

        // The customer's yearly totals (step 12); a credit note takes off.
        const double sign = isCreditNote(type) ? -1 : 1;
        if (!addCustomerInvoice(unit, header.integer(QStringLiteral("CLIENTE")), year,
                                header.date(QStringLiteral("DATA_REG")), sign * posting.summary.taxable(),
                                sign * figures.vat))
            return false;
    }

    // Read back (step 13).
    db.setStep(QStringLiteral("Verifica registrazioni"));
    const auto verified = verify(unit, document, currency);
    if (!verified) {
        unit.fail();
        return false;
    }
    if (!verified->isEmpty()) {
        posted.verification = *verified;
        unit.abandon();
        return false;
    }
    db.setStep(QStringLiteral("Conferma registrazioni"));
    return true;
}

Posted postInvoice(Services::DataAccess &db, InvoicePosting &posting)
{
    Posted posted;
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock) {
        posted.result = WriteResult::of(WriteEnd::LockHeld);
        return posted;
    }
    Services::WriteUnit unit(db, QString::fromUtf8(kInvoicepostingOperation));
    if (!postInvoiceIn(db, unit, posting, posted) || !unit.commit()) {
        if (!posted.verification.isEmpty())
            db.prompter().error(posted.verification, QStringLiteral("Errore"));
        posted.result = WriteResult::of(WriteEnd::Failed, db.error().step);
        return posted;
    }
    posted.result = WriteResult::of(WriteEnd::Written);
    return posted;
}

} // namespace Orlavo::Sales
