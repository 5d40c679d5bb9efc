#include "sales/stores/invoicestate.h"

#include "accounting/rules/entryrules.h"
#include "sales/stores/salestables.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <QDateTime>

namespace Orlavo::Sales {

using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {

const QString kHead = QStringLiteral("Impossibile registrare, ");

} // namespace

Services::Outcome<QString> changeRefusal(Services::DataAccess &db, const QString &year, int number, bool forCancel,
                                         bool forRestore)
{
    const Services::Params key{year, number};
    const auto header = db.openRecordset(
        QStringLiteral("SELECT STA_GIO, STA_IVA, STAMPATA, ANNULLATA, NRO_RIT FROM %1 WHERE ANNO = ? AND NRO_INT = ?")
            .arg(headerTable(Family::Definitive).table),
        key);
    if (!header)
        return header.failure();
    if (header->isEmpty())
        return QString();
    const auto h = header->first();
    // The lines of the invoice's entry and of its withholding entry.
    const auto printed = db.openRecordset(
        QStringLiteral("SELECT COUNT(*) AS N FROM %1 WHERE ANNO = ? AND NRO_INT IN (?, ?) AND STA_GIO <> 0")
            .arg(Tables::GIORN),
        {year, number, h.integer(QStringLiteral("NRO_RIT"))});
    if (!printed)
        return printed.failure();
    if (printed->first().integer(QStringLiteral("N")) > 0 || h.integer(QStringLiteral("STA_GIO")) != 0 ||
        h.integer(QStringLiteral("STA_IVA")) != 0)
        return kHead + QStringLiteral("è già stato stampato il Giornale o il Registro Iva !");
    const auto paid = db.openRecordset(QStringLiteral("SELECT COUNT(*) AS N, COUNT(DATA_SAL) AS P FROM %1 "
                                                      "WHERE ANNO = ? AND NRO_INT = ?")
                                           .arg(dueDateTable(Family::Definitive).table),
                                       key);
    if (!paid)
        return paid.failure();
    const int dues = paid->first().integer(QStringLiteral("N"));
    const int settled = paid->first().integer(QStringLiteral("P"));
    if (dues > 0 && settled == dues)
        return kHead + QStringLiteral("la Fattura è interamente saldata !");
    if (settled > 0)
        return kHead + QStringLiteral("la Fattura ha già delle scadenze saldate !");
    if (!forCancel && h.integer(QStringLiteral("STAMPATA")) != 0)
        return kHead + QStringLiteral("la Fattura è stampata !");
    if (!forRestore && h.integer(QStringLiteral("ANNULLATA")) != 0)
        return kHead + QStringLiteral("la Fattura è annullata !");
    return QString();
}

QString deleteRefusal(Family family)
{
    switch (family) {
    case Family::Definitive: return QStringLiteral("Non abilitato su fatture effettive");
    case Family::Simulated: return QStringLiteral("Non abilitato in SIMULAZIONE");
    case Family::Proposal: return QString();
    }
    return QString();
}

WriteResult setPrinted(Services::DataAccess &db, Family family, const QString &year, int number, bool printed)
{
    Services::WriteUnit unit(db, QStringLiteral("Stampa Fatture"));
    const QString table = headerTable(family).table;
    if (!unit.execCompany(
            QStringLiteral("Agg. stampata"),
            QStringLiteral("UPDATE %1 SET STAMPATA = ?, TSTAMP = ? WHERE ANNO = ? AND NRO_INT = ?").arg(table),
            {printed ? -1 : 0, Accounting::writeStamp(QDateTime::currentDateTime()), year, number}))
        return WriteResult::of(WriteEnd::Failed);
    if (db.rowsAffected() == 0) {
        unit.abandon();
        return WriteResult::of(WriteEnd::Gone);
    }
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed);
}

} // namespace Orlavo::Sales
