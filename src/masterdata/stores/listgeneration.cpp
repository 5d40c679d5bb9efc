#include "masterdata/stores/listgeneration.h"

#include "masterdata/rules/itemprices.h"
#include "masterdata/rules/pricelistrules.h"
#include "masterdata/stores/pricelists.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <QHash>

#include <functional>

#include <optional>

namespace Orlavo::Masterdata {

using Services::Params;
using Services::WriteUnit;
namespace Tables = Services::Tables;
using End = GenerationResult::End;

namespace {

constexpr int kChunk = 2000;

using Values = QVariantList;

// The rows of a read as plain values, every column.
QList<Values> valuesOf(const Services::Recordset &set)
{
    QList<Values> rows;
    rows.reserve(set.size());
    const int columns = int(set.columns().size());
    for (const auto &row : set) {
        Values values;
        values.reserve(columns);
        for (int i = 0; i < columns; ++i)
            values.append(row.at(i));
        rows.append(values);
    }
    return rows;
}

// Rows in code order, a chunk at a time; all rows of one code (an item in
// several warehouses, a code with several suppliers) come in the same chunk.
// `select` is "SELECT ARTICOLO, ... FROM ... WHERE ...", `order` the order
// after the code.
class CodeChunks
{
public:
    CodeChunks(WriteUnit &unit, QString select, Params params, QString order)
        : m_unit(unit), m_select(std::move(select)), m_params(std::move(params)), m_order(std::move(order))
    {
    }

    // The next chunk; empty at the end, nullopt on a failed read.
    std::optional<QList<Values>> next()
    {
        if (m_finished)
            return QList<Values>{};
        auto rows = read(QStringLiteral(" AND ARTICOLO > ? ORDER BY ARTICOLO%1 LIMIT %2")
                             .arg(m_order.isEmpty() ? QString() : QStringLiteral(", ") + m_order)
                             .arg(kChunk),
                         m_started ? m_last : QVariant());
        if (!rows)
            return std::nullopt;
        m_started = true;
        if (rows->size() < kChunk) {
            m_finished = true;
            return rows;
        }
        // The last code may go on past the chunk: read it whole.
        const QString last = rows->last().first().toString();
        while (!rows->isEmpty() && rows->last().first().toString() == last)
            rows->removeLast();
        auto rest = read(QStringLiteral(" AND ARTICOLO = ?%1")
                             .arg(m_order.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + m_order),
                         last);
        if (!rest)
            return std::nullopt;
        rows->append(*rest);
        m_last = last;
        return rows;
    }

private:
    std::optional<QList<Values>> read(const QString &tail, const QVariant &code)
    {
        // The first chunk has no lower bound: every code is greater than ''.
        const QString sql = m_select + tail;
        auto set = m_unit.read(sql, m_params + Params{code.isNull() ? QVariant(QStringLiteral("")) : code});
        if (!set)
            return std::nullopt;
        return valuesOf(*set);
    }

    WriteUnit &m_unit;
    QString m_select;
    Params m_params;
    QString m_order;
    QVariant m_last;
    bool m_started = false;
    bool m_finished = false;
};

// An item's figures the lists take.
struct ListItem {
    double listPrice = 0;     // PREZZO_LIST
    double purchaseFixed = 0; // PREZZO_ACQ
    Discounts purchase{};     // SC_A1..3
    double purchaseNet = 0;   // PREZZO_ASC
    double saleFixed = 0;     // PREZZO_V1
    Discounts sale{};         // SC_V1..3
    double markup = 0;        // PERC_RIC
    double saleNet = 0;       // PREZZO_VSC
    double markedUpPrice = 0; // PREZZO_RIC
};

constexpr char kItemSelect[] = "SELECT ARTICOLO, MAGAZZINO, PREZZO_LIST, PREZZO_ACQ, SC_A1, SC_A2, SC_A3, PREZZO_ASC, "
                               "PREZZO_V1, SC_V1, SC_V2, SC_V3, PERC_RIC, PREZZO_VSC, PREZZO_RIC FROM %1 "
                               "WHERE MARCA = ?";

ListItem itemOf(const Values &v)
{
    auto d = [&v](int i) { return v.at(i).toDouble(); };
    return {d(2), d(3), {d(4), d(5), d(6)}, d(7), d(8), {d(9), d(10), d(11)}, d(12), d(13), d(14)};
}

// One item per code of rows in code and warehouse order: the default
// warehouse's, else the first.
QList<std::pair<QString, ListItem>> onePerCode(const QList<Values> &rows, const QString &warehouse)
{
    QList<std::pair<QString, ListItem>> items;
    QString code;
    bool fromDefault = false;
    for (const Values &row : rows) {
        const QString rowCode = row.at(0).toString();
        const bool isDefault = !warehouse.isEmpty() && row.at(1).toString().trimmed() == warehouse;
        if (rowCode != code || items.isEmpty()) {
            items.append({rowCode, itemOf(row)});
            code = rowCode;
            fromDefault = isDefault;
        } else if (isDefault && !fromDefault) {
            items.last().second = itemOf(row);
            fromDefault = true;
        }
    }
    return items;
}

// The items of the brand with codes from `first` to `last`, by code.
std::optional<QHash<QString, ListItem>> itemsBetween(WriteUnit &unit, const GenerationRequest &request,
                                                     const QString &first, const QString &last)
{
    auto set = unit.read(QString::fromLatin1(kItemSelect).arg(Tables::ARTICOLI) +
                             QStringLiteral(" AND ARTICOLO >= ? AND ARTICOLO <= ? ORDER BY ARTICOLO, MAGAZZINO"),
                         {request.brand, first, last});
    if (!set)
        return std::nullopt;
    QHash<QString, ListItem> found;
    for (const auto &[code, item] : onePerCode(valuesOf(*set), request.warehouse))
        found.insert(code, item);
    return found;
}

std::optional<qint64> count(WriteUnit &unit, const QString &sql, const Params &params)
{
    auto set = unit.read(sql, params);
    if (!set)
        return std::nullopt;
    return set->isEmpty() ? 0 : set->first().at(0).toLongLong();
}

// The party has a personal list.
std::optional<bool> personal(WriteUnit &unit, const QString &table, const QString &column, int party)
{
    auto n = count(
        unit, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ? AND TIPOLISTINO = 'P'").arg(table, column), {party});
    if (!n)
        return std::nullopt;
    return *n > 0;
}

GenerationResult refused(WriteUnit &unit, const QString &message)
{
    unit.abandon();
    return {End::Refused, message, 0};
}

// Tells the progress; false when the operator cancelled (the unit then
// rolls back).
bool goOn(WriteUnit &unit, const GenerationProgress &progress, const QString &label, qint64 done, qint64 total)
{
    if (!progress || progress(label, done, total))
        return true;
    unit.abandon();
    return false;
}

// Writes the chunks one after the other through `write` (the rows it
// wrote, nothing on a failure), telling the progress before the first and
// after each; commits at the end. Annulla rolls everything back.
GenerationResult writeChunks(WriteUnit &unit, CodeChunks &chunks, const GenerationProgress &progress,
                             const QString &label, qint64 total,
                             const std::function<std::optional<qint64>(const QList<Values> &rows)> &write)
{
    qint64 written = 0;
    if (!goOn(unit, progress, label, 0, total))
        return {End::Cancelled, {}, 0};
    for (;;) {
        auto rows = chunks.next();
        if (!rows)
            return {};
        if (rows->isEmpty())
            break;
        const auto done = write(*rows);
        if (!done)
            return {};
        written += *done;
        if (!goOn(unit, progress, label, written, total))
            return {End::Cancelled, {}, 0};
    }
    if (!unit.commit())
        return {};
    return {End::Done, {}, written};
}

QString labelOf(int supplier, const QString &brand)
{
    return QStringLiteral("Fornitore %1 - Marca %2").arg(supplier).arg(brand);
}

} // namespace

QString missingPurchaseListMessage(const QString &brand, int supplier)
{
    return QStringLiteral("Manca listino ACQUISTO per la marca ") + brand + QStringLiteral(" ed il fornitore  ") +
           QString::number(supplier) + QStringLiteral("\nGenerare il listino l'ACQUISTO quindi riprovare");
}

GenerationResult generatePurchaseList(Services::DataAccess &db, const GenerationRequest &request,
                                      const GenerationProgress &progress)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return {End::LockHeld, {}, 0};
    const bool standard = request.party == kStandardParty;
    WriteUnit unit(db, QStringLiteral("Genera list acq"));
    if (!standard) {
        const auto isPersonal = personal(unit, Tables::ANAG_FOR, QStringLiteral("FORNITORE"), request.party);
        if (!isPersonal)
            return {};
        if (!*isPersonal)
            return refused(unit, QStringLiteral("Fornitore errato"));
    }
    const auto total =
        count(unit, QStringLiteral("SELECT COUNT(DISTINCT ARTICOLO) FROM %1 WHERE MARCA = ?").arg(Tables::ARTICOLI),
              {request.brand});
    const auto supplierRows = brandRowsOf(unit, false, request.brand);
    if (!total || !supplierRows)
        return {};
    const BrandRows own = supplierRows->value(request.party);
    if (!unit.execCompany(standard ? QStringLiteral("Canc list acq base") : QStringLiteral("Canc list acq"),
                          QStringLiteral("DELETE FROM %1 WHERE FORNITORE = ? AND MARCA = ?").arg(Tables::LIST_ACQ),
                          {request.party, request.brand}))
        return {};

    const QString step = standard ? QStringLiteral("ins list acq base") : QStringLiteral("ins list acq");
    const QString insert =
        QStringLiteral("INSERT INTO %1 (FORNITORE, MARCA, ARTICOLO, PR_LISTINO, SC_A1, SC_A2, SC_A3, "
                       "PR_ACQUISTO, PR_ACQFISSO) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .arg(Tables::LIST_ACQ);
    CodeChunks chunks(unit, QString::fromLatin1(kItemSelect).arg(Tables::ARTICOLI), {request.brand},
                      QStringLiteral("MAGAZZINO"));
    return writeChunks(unit, chunks, progress, labelOf(request.party, request.brand), *total,
                       [&](const QList<Values> &rows) -> std::optional<qint64> {
                           qint64 written = 0;
                           for (const auto &[code, item] : onePerCode(rows, request.warehouse)) {
                               const Discounts d = standard ? item.purchase : own.chosen({item.purchase, 0}).discounts;
                               const double net =
                                   standard ? item.purchaseNet : purchaseNet(item.listPrice, d, request.decimals);
                               if (!unit.execCompany(step, insert,
                                                     {request.party, request.brand, code, item.listPrice, d[0], d[1],
                                                      d[2], net, item.purchaseFixed}))
                                   return std::nullopt;
                               ++written;
                           }
                           return written;
                       });
}

GenerationResult generateSaleList(Services::DataAccess &db, const GenerationRequest &request,
                                  const GenerationProgress &progress)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return {End::LockHeld, {}, 0};
    const bool standard = request.party == kStandardParty;
    WriteUnit unit(db, standard ? QStringLiteral("Gnera list vend base") : QStringLiteral("Generazione list vend"));
    QString purchaseWhere = QStringLiteral(" WHERE MARCA = ?");
    Params purchaseParams{request.brand};
    if (!standard) {
        const auto isPersonal = personal(unit, Tables::ANAG_CLI, QStringLiteral("CLIENTE"), request.party);
        if (!isPersonal)
            return {};
        if (!*isPersonal)
            return refused(unit, QStringLiteral("Cliente errato"));
        purchaseWhere = QStringLiteral(" WHERE FORNITORE = ? AND MARCA = ?");
        purchaseParams = {request.supplier, request.brand};
    }
    const auto total =
        count(unit, QStringLiteral("SELECT COUNT(*) FROM %1").arg(Tables::LIST_ACQ) + purchaseWhere, purchaseParams);
    const auto customerRows = brandRowsOf(unit, true, request.brand);
    if (!total || !customerRows)
        return {};
    if (!standard && *total == 0)
        return refused(unit, missingPurchaseListMessage(request.brand, request.supplier));
    const BrandRows own = customerRows->value(request.party);

    const bool deleted =
        standard
            ? unit.execCompany(QStringLiteral("Del list vend base"),
                               QStringLiteral("DELETE FROM %1 WHERE CLIENTE = ? AND MARCA = ?").arg(Tables::LIST_VEN),
                               {request.party, request.brand})
            : unit.execCompany(QStringLiteral("Del list vend"),
                               QStringLiteral("DELETE FROM %1 WHERE CLIENTE = ? AND MARCA = ? AND FORNITORE = ?")
                                   .arg(Tables::LIST_VEN),
                               {request.party, request.brand, request.supplier});
    if (!deleted)
        return {};

    const QString step = standard ? QStringLiteral("Ins list vend") : QStringLiteral("Insert list vend");
    const QString insert = QStringLiteral("INSERT INTO %1 (CLIENTE, MARCA, ARTICOLO, FORNITORE, %2) "
                                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                               .arg(Tables::LIST_VEN, QLatin1String(kSaleColumns));
    CodeChunks chunks(unit,
                      QStringLiteral("SELECT ARTICOLO, FORNITORE, PR_LISTINO, SC_A1, SC_A2, SC_A3, PR_ACQUISTO FROM %1")
                              .arg(Tables::LIST_ACQ) +
                          purchaseWhere,
                      purchaseParams, standard ? QStringLiteral("FORNITORE") : QString());
    return writeChunks(
        unit, chunks, progress, labelOf(standard ? request.party : request.supplier, request.brand), *total,
        [&](const QList<Values> &rows) -> std::optional<qint64> {
            const auto items =
                itemsBetween(unit, request, rows.first().first().toString(), rows.last().first().toString());
            if (!items)
                return std::nullopt;
            for (const Values &row : rows) {
                const QString code = row.at(0).toString();
                const ListItem item = items->value(code);
                const double listPrice = row.at(2).toDouble();
                const PurchaseFigures purchase{{row.at(3).toDouble(), row.at(4).toDouble(), row.at(5).toDouble()},
                                               row.at(6).toDouble()};
                const Params values =
                    standard
                        ? Params{listPrice,      item.sale[0],          item.sale[1],          item.sale[2],
                                 item.saleNet,   purchase.discounts[0], purchase.discounts[1], purchase.discounts[2],
                                 purchase.price, item.markup,           item.markedUpPrice,    item.saleFixed}
                        : saleValues(listPrice, request.decimals, own.chosen({item.sale, item.markup}), purchase,
                                     item.saleFixed);
                if (!unit.execCompany(step, insert, Params{request.party, request.brand, code, row.at(1)} + values))
                    return std::nullopt;
            }
            return qint64(rows.size());
        });
}

} // namespace Orlavo::Masterdata
