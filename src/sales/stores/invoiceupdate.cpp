#include "sales/stores/invoiceupdate.h"

#include "accounting/rules/entryrules.h"
#include "accounting/stores/journal.h"
#include "sales/stores/invoicestate.h"
#include "sales/stores/salestables.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/prompter.h"
#include "services/data/recordstore.h"
#include "services/data/writeunit.h"
#include "warehouse/stores/movementstore.h"

namespace Orlavo::Sales {

using Services::Row;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {

constexpr char kInvoiceupdateOperation[] = "Codifica Fatture";

Posted ended(WriteEnd end, const QString &step = {})
{
    Posted posted;
    posted.result = WriteResult::of(end, step);
    return posted;
}

Posted refused(const QString &why)
{
    Posted posted;
    posted.result = WriteResult::refusedFor(why);
    return posted;
}

// The stored header read for update inside the unit; nothing when gone.
Services::Outcome<std::optional<Row>> lockedHeader(Services::WriteUnit &unit, Family family, const QString &year,
                                                   int number)
{
    const auto rows = unit.readForUpdate(
        Services::selectSql(headerTable(family), Services::keyCondition(headerTable(family))), {year, number});
    if (!rows)
        return Services::Failure{QString::fromUtf8(kInvoiceupdateOperation), QString()};
    if (rows->isEmpty())
        return std::optional<Row>{};
    return std::optional<Row>{Services::rowFrom(headerTable(family), rows->first())};
}

// The customer's totals less (or, for a credit note, plus) the document's.
bool takeOffCustomerTotals(Services::WriteUnit &unit, const Row &header)
{
    double taxable = 0, vat = 0;
    for (int i = 1; i <= kVatSlots; ++i) {
        taxable += header.number(QStringLiteral("IMPONIB_%1").arg(i));
        vat += header.number(QStringLiteral("IVA_%1").arg(i));
    }
    const double sign = isCreditNote(header.text(QStringLiteral("MOVIMENTO"))) ? -1 : 1;
    return takeOffCustomerInvoice(unit, header.integer(QStringLiteral("CLIENTE")), header.text(QStringLiteral("ANNO")),
                                  header.integer(QStringLiteral("NRO_INT")), sign * taxable, sign * vat);
}

// Update and restore share their course: only what they accept differs.
Posted repost(Services::DataAccess &db, InvoicePosting &posting, const SalesDocument &stored, bool overwrite,
              bool restoring)
{
    const QString year = stored.year();
    const int number = stored.number();
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return ended(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromUtf8(kInvoiceupdateOperation));
    const auto header = lockedHeader(unit, stored.family, year, number);
    if (!header)
        return ended(WriteEnd::Failed, db.error().step);
    if (!*header)
        return ended(WriteEnd::Gone);
    if (!overwrite && (*header)->text(QStringLiteral("TSTAMP")) != stored.header.text(QStringLiteral("TSTAMP")))
        return ended(WriteEnd::ChangedElsewhere);
    if (stored.family == Family::Definitive) {
        const bool cancelled = (*header)->integer(QStringLiteral("ANNULLATA")) != 0;
        if (restoring && !cancelled)
            return refused(QStringLiteral("Impossibile registrare, la Fattura non è annullata !"));
        const auto refusal = changeRefusal(db, year, number, restoring, restoring);
        if (!refusal) {
            unit.fail();
            return ended(WriteEnd::Failed, db.error().step);
        }
        if (!refusal->isEmpty())
            return refused(*refusal);
    }
    const auto current = readDocument(db, stored.family, year, number);
    if (!current || !current->has_value()) {
        unit.fail();
        return ended(WriteEnd::Failed, db.error().step);
    }
    Posted posted;
    const Row &h = (**current).header;
    posting.kept = InvoicePosting::Numbers{number, h.integer(QStringLiteral("NRO_REG")),
                                           h.integer(QStringLiteral("NRO_DOC")), h.integer(QStringLiteral("NRO_RIT"))};
    posting.document.family = stored.family;
    posting.document.header.set(QStringLiteral("ANNO"), year);
    // The states the update does not touch stay as stored; a restore takes
    // the cancel mark off.
    for (const char *column : {"STAMPATA", "SALDATA", "STA_GIO", "STA_IVA", "SCAD_SAL", "DATA_SAL"})
        posting.document.header.set(QString::fromLatin1(column), h.value(QString::fromLatin1(column)));
    posting.document.header.set(QStringLiteral("ANNULLATA"), false);
    if (!unpostInvoice(db, unit, **current, posting.now) || !postInvoiceIn(db, unit, posting, posted) ||
        !unit.commit()) {
        if (!posted.verification.isEmpty())
            db.prompter().error(posted.verification, QStringLiteral("Errore"));
        posted.result = WriteResult::of(WriteEnd::Failed, db.error().step);
        return posted;
    }
    posted.result = WriteResult::of(WriteEnd::Written);
    return posted;
}

} // namespace

bool unpostInvoice(Services::DataAccess &db, Services::WriteUnit &unit, const SalesDocument &stored,
                   const QDateTime &now)
{
    const Row &h = stored.header;
    const QString year = stored.year();
    const int number = stored.number();
    if (stored.family == Family::Definitive) {
        // A cancelled invoice gave its goods and totals back already.
        if (h.integer(QStringLiteral("ANNULLATA")) == 0 &&
            (!Warehouse::removeInvoiceMovements(db, unit, year, number, now) || !takeOffCustomerTotals(unit, h)))
            return false;
        if (!Accounting::deleteEntry(unit, year, number, true))
            return false;
        const int withholding = h.integer(QStringLiteral("NRO_RIT"));
        if (withholding != 0 && !Accounting::deleteEntry(unit, year, withholding, false))
            return false;
        if (!unit.execCompany(QStringLiteral("Canc. ritenuta d'acconto"),
                              QStringLiteral("DELETE FROM %1 WHERE ANNO = ? AND NRO_INT = ?").arg(Tables::RITENUTA),
                              {year, number}))
            return false;
    }
    return deleteDocument(unit, stored.family, year, number);
}

Posted updateInvoice(Services::DataAccess &db, InvoicePosting &posting, const SalesDocument &stored, bool overwrite)
{
    return repost(db, posting, stored, overwrite, false);
}

InvoicePosting storedPosting(const SalesDocument &stored)
{
    const Row &h = stored.header;
    InvoicePosting posting;
    posting.document = stored;
    posting.document.dueDates.clear();
    Summary &summary = posting.summary;
    for (int i = 0; i < kVatSlots; ++i) {
        VatSlot &slot = summary.vatSlots[size_t(i)];
        slot.code = h.text(QStringLiteral("PERC_%1").arg(i + 1)).trimmed();
        slot.taxable = h.number(QStringLiteral("IMPONIB_%1").arg(i + 1));
        slot.vat = h.number(QStringLiteral("IVA_%1").arg(i + 1));
    }
    summary.goods = h.number(QStringLiteral("TOTALE_MER"));
    summary.net = h.number(QStringLiteral("NETTO_MER"));
    summary.discount = summary.goods - summary.net;
    summary.total = h.number(QStringLiteral("TOTALE"));
    summary.totalEuro = h.number(QStringLiteral("TOTALE_EUR"));
    summary.withholdingBase = h.number(QStringLiteral("IMPON_RIT"));
    summary.withholding = h.number(QStringLiteral("RITENUTA"));
    summary.totalNet = h.number(QStringLiteral("TOT_NET"));
    summary.totalNetEuro = h.number(QStringLiteral("TOT_NET_EUR"));
    summary.weights = h.number(QStringLiteral("TOT_QTA"));
    summary.specialWeight = h.number(QStringLiteral("TOT_UTF"));
    for (const Row &due : stored.dueDates)
        posting.dueLines.append({due.date(QStringLiteral("SCADENZA")), due.number(QStringLiteral("IMPORTO")),
                                 due.number(QStringLiteral("IMPO_PROV"))});
    return posting;
}

Posted restoreInvoice(Services::DataAccess &db, const SalesDocument &stored)
{
    InvoicePosting posting = storedPosting(stored);
    return repost(db, posting, stored, false, true);
}

Posted cancelInvoice(Services::DataAccess &db, const QString &year, int number, const QDateTime &now)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return ended(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromUtf8(kInvoiceupdateOperation));
    const auto header = lockedHeader(unit, Family::Definitive, year, number);
    if (!header)
        return ended(WriteEnd::Failed, db.error().step);
    if (!*header)
        return ended(WriteEnd::Gone);
    const auto refusal = changeRefusal(db, year, number, true);
    if (!refusal) {
        unit.fail();
        return ended(WriteEnd::Failed, db.error().step);
    }
    if (!refusal->isEmpty())
        return refused(*refusal);
    const Row &h = **header;
    const int withholding = h.integer(QStringLiteral("NRO_RIT"));
    const QString stamp = Accounting::writeStamp(now);
    if (!Warehouse::removeInvoiceMovements(db, unit, year, number, now) || !takeOffCustomerTotals(unit, h) ||
        !unit.execCompany(QStringLiteral("Annulla testata fatt"),
                          QStringLiteral("UPDATE %1 SET ANNULLATA = -1, TSTAMP = ? WHERE ANNO = ? AND NRO_INT = ?")
                              .arg(headerTable(Family::Definitive).table),
                          {stamp, year, number}) ||
        !unit.execCompany(QStringLiteral("Annulla giorn"),
                          QStringLiteral("UPDATE %1 SET ANNULLATA = -1 WHERE ANNO = ? AND NRO_INT IN (?, ?)")
                              .arg(Tables::GIORN),
                          {year, number, withholding}) ||
        !unit.execCompany(QStringLiteral("Annulla iva"),
                          QStringLiteral("UPDATE %1 SET ANNULLATA = -1 WHERE ANNO = ? AND NRO_INT = ?").arg(Tables::IVA),
                          {year, number}) ||
        !unit.execCompany(QStringLiteral("Canc. iva2"),
                          QStringLiteral("DELETE FROM %1 WHERE ANNO = ? AND NRO_INT = ?").arg(Tables::IVA2),
                          {year, number}) ||
        !unit.execCompany(QStringLiteral("Canc. ritenuta d'acconto"),
                          QStringLiteral("DELETE FROM %1 WHERE ANNO = ? AND NRO_INT = ?").arg(Tables::RITENUTA),
                          {year, number}) ||
        !unit.execCompany(QStringLiteral("Annulla scadf"),
                          QStringLiteral("UPDATE %1 SET ANNULLATA = -1 WHERE ANNO = ? AND NRO_INT = ?")
                              .arg(dueDateTable(Family::Definitive).table),
                          {year, number}) ||
        !unit.commit())
        return ended(WriteEnd::Failed, db.error().step);
    return ended(WriteEnd::Written);
}

Posted deleteProposal(Services::DataAccess &db, Family family, const QString &year, int number)
{
    if (const QString refusal = deleteRefusal(family); !refusal.isEmpty())
        return refused(refusal);
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return ended(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QString::fromUtf8(kInvoiceupdateOperation));
    const auto header = lockedHeader(unit, family, year, number);
    if (!header)
        return ended(WriteEnd::Failed, db.error().step);
    if (!*header)
        return ended(WriteEnd::Gone);
    if (!deleteDocument(unit, family, year, number) || !unit.commit())
        return ended(WriteEnd::Failed, db.error().step);
    return ended(WriteEnd::Written);
}

} // namespace Orlavo::Sales
