#include "warehouse/stores/movementstore.h"

#include "masterdata/stores/pricelists.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/counters.h"
#include "services/data/dataaccess.h"
#include "services/data/prompter.h"
#include "services/data/recordstore.h"
#include "services/data/writeunit.h"
#include "warehouse/rules/movementvalues.h"
#include "warehouse/stores/movemententry.h"

namespace Orlavo::Warehouse {

using namespace Services::Column;
using Services::ColumnDef;
using Services::Row;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {


ColumnDef number(const QString &name)
{
    return notNull(integer(name));
}

ColumnDef word(const QString &name, int length)
{
    return notNull(code(name, length));
}

QList<ColumnDef> movementColumns()
{
    return {key(code(QStringLiteral("ANNO"), 4)),
            key(integer(QStringLiteral("NRO_REG"))),
            date(QStringLiteral("DATA_REG")),
            code(QStringLiteral("MAGAZZINO"), 2),
            code(QStringLiteral("MARCA"), 3),
            code(QStringLiteral("ARTICOLO"), 30),
            code(QStringLiteral("COD_BARRE"), 30),
            code(QStringLiteral("CAUSALE"), 3),
            code(QStringLiteral("UNITA_MIS"), 2),
            number(QStringLiteral("CLIENTE")),
            number(QStringLiteral("FORNITORE")),
            word(QStringLiteral("MOVIMENTO_FATT"), 3),
            word(QStringLiteral("ANNO_INT_FATT"), 4),
            number(QStringLiteral("NRO_INT_FATT")),
            number(QStringLiteral("NRO_REG_FATT")),
            number(QStringLiteral("NRO_DOC")),
            date(QStringLiteral("DATA_DOC")),
            word(QStringLiteral("MOVIMENTO_DDT"), 3),
            word(QStringLiteral("ANNO_DDT"), 4),
            number(QStringLiteral("NRO_REG_DDT")),
            notNull(text(QStringLiteral("NRO_DOC_DDT"), 20)),
            date(QStringLiteral("DATA_DOC_DDT")),
            notNull(quantity(QStringLiteral("QUANTITA"))),
            notNull(amount(QStringLiteral("PREZZO"), 5)),
            number(QStringLiteral("NDEC")),
            notNull(percent(QStringLiteral("SCONTO1"))),
            notNull(percent(QStringLiteral("SCONTO2"))),
            notNull(percent(QStringLiteral("SCONTO3"))),
            notNull(amount(QStringLiteral("PR_SCONTATO"), 5)),
            notNull(amount(QStringLiteral("TOTALE"))),
            text(QStringLiteral("COLLEG"), 30),
            text(QStringLiteral("LIBERO1"), 60),
            text(QStringLiteral("LIBERO2"), 60),
            text(QStringLiteral("NOTE1"), 255)};
}

// The figures as ARTICOLI keeps them, in the order of the UPDATE.
struct FigureColumn {
    const char *name;
    double ItemFigures::*figure;
};
constexpr FigureColumn kFigures[] = {
    {"ESISTENZA", &ItemFigures::onHand},
    {"ORDINATO", &ItemFigures::ordered},
    {"IMPEGNATO", &ItemFigures::committed},
    {"GC_INIZ", &ItemFigures::openingQuantity},
    {"VAL_INIZ", &ItemFigures::openingValue},
    {"CARICO_F", &ItemFigures::loadedBySupplier},
    {"CARICO_A", &ItemFigures::loadedOther},
    {"VAL_CARICO", &ItemFigures::loadValue},
    {"ULT_COSTOA", &ItemFigures::lastCost},
    {"VAL_ORDIN", &ItemFigures::orderedValue},
    {"SCARICO_V", &ItemFigures::unloadedToCustomer},
    {"SCARICO_A", &ItemFigures::unloadedOther},
    {"VAL_SCARIC", &ItemFigures::unloadValue},
    {"VAL_IMPEGN", &ItemFigures::committedValue},
};

QString movementstoreItemWhere()
{
    return QStringLiteral("MAGAZZINO = ? AND MARCA = ? AND ARTICOLO = ?");
}

Services::Params itemKey(const Row &movement)
{
    return {movement.text(QStringLiteral("MAGAZZINO")), movement.text(QStringLiteral("MARCA")),
            movement.text(QStringLiteral("ARTICOLO"))};
}

StockMovement effectOf(const Row &movement)
{
    StockMovement m;
    m.causal = movement.text(QStringLiteral("CAUSALE"));
    m.quantity = movement.number(QStringLiteral("QUANTITA"));
    m.value = movement.number(QStringLiteral("TOTALE"));
    m.date = movement.date(QStringLiteral("DATA_REG"));
    m.netPrice = movement.number(QStringLiteral("PR_SCONTATO"));
    m.supplier = movement.integer(QStringLiteral("FORNITORE")) != 0;
    m.customer = movement.integer(QStringLiteral("CLIENTE")) != 0;
    return m;
}

// A movement's own figures: net price and value from its price, discounts
// and quantity, at the decimals of its year.
void value(Row &movement)
{
    const Discounts discounts{movement.number(QStringLiteral("SCONTO1")), movement.number(QStringLiteral("SCONTO2")),
                              movement.number(QStringLiteral("SCONTO3"))};
    const double price = movement.number(QStringLiteral("PREZZO"));
    const int amountDecimals = movement.text(QStringLiteral("ANNO")) >= QLatin1String("2002") ? 2 : 0;
    const int priceDecimals = movement.integer(QStringLiteral("NDEC"));
    movement.set(QStringLiteral("PR_SCONTATO"), discountedPrice(price, discounts, priceDecimals));
    movement.set(QStringLiteral("TOTALE"),
                 movementTotal(movement.number(QStringLiteral("QUANTITA")), price, discounts, amountDecimals));
}

bool isPurchaseLoad(const QString &causal)
{
    const QString c = causal.trimmed().toUpper();
    return c.startsWith(QLatin1Char('C')) && c != QLatin1String("CXC");
}

// The item's price lists in step with its prices ("Agg. listino").
bool propagate(Services::WriteUnit &unit, const Services::Params &key)
{
    const auto stored =
        unit.read(QStringLiteral("SELECT MARCA, ARTICOLO, PREZZO_LIST, PREZZO_ACQ, PREZZO_V1, SC_V1, "
                                 "SC_V2, SC_V3, SC_A1, SC_A2, SC_A3, PERC_RIC, NUM_DEC FROM %1 WHERE %2")
                      .arg(Tables::ARTICOLI, movementstoreItemWhere()),
                  key);
    if (!stored)
        return false;
    if (stored->isEmpty())
        return true;
    const auto row = stored->first();
    const auto figure = [&row](const char *column) { return row.value(QString::fromLatin1(column)).toDouble(); };
    Masterdata::ListedItem item;
    item.brand = row.value(QStringLiteral("MARCA")).toString();
    item.code = row.value(QStringLiteral("ARTICOLO")).toString();
    item.listPrice = figure("PREZZO_LIST");
    item.purchaseFixed = figure("PREZZO_ACQ");
    item.saleFixed = figure("PREZZO_V1");
    item.saleDiscounts = {figure("SC_V1"), figure("SC_V2"), figure("SC_V3")};
    item.purchaseDiscounts = {figure("SC_A1"), figure("SC_A2"), figure("SC_A3")};
    item.markup = figure("PERC_RIC");
    item.decimals = row.value(QStringLiteral("NUM_DEC")).toInt();
    return Masterdata::propagateItemPrices(unit, item);
}

// A load gone from an item: its average again and its lists, its prices
// left as they are.
PriceUpdates averageOnly(int priceDecimals)
{
    PriceUpdates prices;
    prices.listPrice = prices.purchasePrice = false;
    prices.priceDecimals = priceDecimals;
    return prices;
}

// The window's price updates on the item, its average purchase price for a
// load, and its price lists brought in step.
bool updatePrices(Services::WriteUnit &unit, const Row &movement, const PriceUpdates &prices)
{
    const Services::Params key = itemKey(movement);
    const auto set = [&unit, &key](const QString &assignments, Services::Params values) {
        values += key;
        return unit.execCompany(
            QStringLiteral("Agg. articoli"),
            QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(Tables::ARTICOLI, assignments, movementstoreItemWhere()), values);
    };
    const double price = movement.number(QStringLiteral("PREZZO"));
    if (prices.listPrice) {
        if (!set(QStringLiteral("PREZZO_LIST = ?, NUM_DEC = ?"), {price, movement.integer(QStringLiteral("NDEC"))}))
            return false;
    } else if (prices.purchasePrice && !set(QStringLiteral("PREZZO_ACQ = ?"), {price})) {
        return false;
    }
    if (prices.secondPrice &&
        !set(QStringLiteral("PREZZO_LIST_E = ?, NUM_DEC_E = ?"), {*prices.secondPrice, prices.secondDecimals}))
        return false;
    if (prices.section && !set(QStringLiteral("PREZZO_LIST = ?, PREZZO_IVA_INC = ?, PERC_RIC = ?"),
                               {prices.section->listPrice, prices.section->withVat, prices.section->markup}))
        return false;
    if (isPurchaseLoad(movement.text(QStringLiteral("CAUSALE")))) {
        const auto average =
            averagePurchasePriceOf(unit, key.at(0).toString(), key.at(1).toString(), key.at(2).toString(),
                                   movement.date(QStringLiteral("DATA_REG")), prices.priceDecimals);
        if (!average || !set(QStringLiteral("PREZZO_MEDA = ?"), {*average}))
            return false;
    }
    return propagate(unit, key);
}

} // namespace

const Services::TableDef &movementTable()
{
    static const Services::TableDef def{Tables::MOVMAG, Services::Target::Company, movementColumns()};
    return def;
}

const Services::TableDef &causalTable()
{
    static const Services::TableDef def{Tables::TAB_CAU_MAG,
                                        Services::Target::Company,
                                        {key(code(QStringLiteral("CODICE"), 3)),
                                         text(QStringLiteral("DESCRIZIONE"), 40), flagMinusOne(QStringLiteral("PMA"))}};
    return def;
}

bool owned(const Row &movement)
{
    return movement.integer(QStringLiteral("NRO_INT_FATT")) != 0 ||
           movement.integer(QStringLiteral("NRO_REG_DDT")) != 0;
}

bool applyToItem(Services::WriteUnit &unit, const Row &movement, Direction direction, const QString &step)
{
    QStringList names;
    for (const FigureColumn &f : kFigures)
        names << QString::fromLatin1(f.name);
    const auto stored = unit.readForUpdate(QStringLiteral("SELECT %1, ULT_CARICO, ULT_SCARIC FROM %2 WHERE %3")
                                               .arg(names.join(QStringLiteral(", ")), Tables::ARTICOLI, movementstoreItemWhere()),
                                           itemKey(movement));
    if (!stored)
        return false;
    if (stored->isEmpty()) {
        unit.fail();
        return false;
    }
    const auto row = stored->first();
    ItemFigures figures;
    for (const FigureColumn &f : kFigures)
        figures.*f.figure = row.value(QString::fromLatin1(f.name)).toDouble();
    figures.lastLoad = row.value(QStringLiteral("ULT_CARICO")).toDate();
    figures.lastUnload = row.value(QStringLiteral("ULT_SCARIC")).toDate();
    const ItemFigures after = applyMovement(figures, effectOf(movement), direction);
    Services::Params values;
    QStringList assignments;
    for (const FigureColumn &f : kFigures) {
        assignments << QString::fromLatin1(f.name) + QStringLiteral(" = ?");
        values << after.*f.figure;
    }
    assignments << QStringLiteral("ULT_CARICO = ?") << QStringLiteral("ULT_SCARIC = ?");
    values << (after.lastLoad.isValid() ? QVariant(after.lastLoad) : QVariant(QMetaType::fromType<QDate>()))
           << (after.lastUnload.isValid() ? QVariant(after.lastUnload) : QVariant(QMetaType::fromType<QDate>()));
    values += itemKey(movement);
    return unit.execCompany(step,
                            QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                .arg(Tables::ARTICOLI, assignments.join(QStringLiteral(", ")), movementstoreItemWhere()),
                            values);
}

int writeDocumentMovement(Services::DataAccess &db, Services::WriteUnit &unit, Row movement)
{
    db.setStep(QStringLiteral("Incr numero per movmag"));
    const int number =
        Services::Counters::nextNumber(db, movement.text(QStringLiteral("ANNO")) + QStringLiteral("MOVMAG"));
    if (number == 0) {
        unit.fail();
        return 0;
    }
    movement.set(QStringLiteral("NRO_REG"), number);
    const Discounts discounts{movement.number(QStringLiteral("SCONTO1")), movement.number(QStringLiteral("SCONTO2")),
                              movement.number(QStringLiteral("SCONTO3"))};
    movement.set(QStringLiteral("PR_SCONTATO"), discountedPrice(movement.number(QStringLiteral("PREZZO")), discounts,
                                                                movement.integer(QStringLiteral("NDEC"))));
    if (!Services::insertRow(unit, movement, QStringLiteral("Ins. MOVMAG")) ||
        !applyToItem(unit, movement, Direction::Forward, QStringLiteral("Agg. ARTICOLI")))
        return 0;
    return number;
}

bool copyToDeleted(Services::DataAccess &db, Services::WriteUnit &unit, const QString &year, int number,
                   const QDateTime &now)
{
    QStringList columns = movementTable().names();
    const auto stored = unit.read(QStringLiteral("SELECT %1 FROM %2 WHERE ANNO = ? AND NRO_REG = ?")
                                      .arg(columns.join(QStringLiteral(", ")), Tables::MOVMAG),
                                  {year, number});
    if (!stored)
        return false;
    if (stored->isEmpty()) {
        db.prompter().error(QStringLiteral("Attenzione, non possibile trovare movimento %1 %2").arg(year).arg(number),
                            QStringLiteral("ERRORE"));
        unit.abandon();
        return false;
    }
    Services::Params values{now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))};
    QStringList targets{QStringLiteral("TSTAMP")};
    for (const QString &column : columns) {
        // The deleted copy keeps the delivery note's date as DATA_REG_DDT.
        targets << (column == QLatin1String("DATA_DOC_DDT") ? QStringLiteral("DATA_REG_DDT") : column);
        values << stored->first().value(column);
    }
    QStringList marks;
    for (qsizetype i = 0; i < targets.size(); ++i)
        marks << QStringLiteral("?");
    return unit.execCompany(
        QStringLiteral("Copia movmag"),
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(QStringLiteral("MOVMAG_DEL"), targets.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
        values);
}

Services::Outcome<double> averagePurchasePriceOf(Services::WriteUnit &unit, const QString &warehouse,
                                                 const QString &brand, const QString &code, const QDate &upTo,
                                                 int decimals)
{
    const auto opening =
        unit.read(QStringLiteral("SELECT MAX(DATA_REG) AS COMODATA FROM %1 WHERE CAUSALE = 'A10' AND DATA_REG <= ?")
                      .arg(Tables::MOVMAG),
                  {upTo});
    if (!opening)
        return opening.failure();
    const QDate start = opening->isEmpty() ? QDate() : opening->first().value(QStringLiteral("COMODATA")).toDate();
    const auto admitted =
        unit.read(QStringLiteral("SELECT CODICE FROM %1 WHERE PMA <> 0 ORDER BY CODICE").arg(Tables::TAB_CAU_MAG));
    if (!admitted)
        return admitted.failure();
    QStringList causals;
    for (const auto &row : *admitted)
        causals << row.value(QStringLiteral("CODICE")).toString();
    if (causals.isEmpty())
        causals << QStringLiteral("C10");
    QStringList marks;
    Services::Params params{warehouse, brand, code, upTo};
    for (const QString &causal : causals) {
        marks << QStringLiteral("?");
        params << causal;
    }
    QString where = QStringLiteral("%1 AND DATA_REG <= ? AND CAUSALE IN (%2) AND QUANTITA > 0")
                        .arg(movementstoreItemWhere(), marks.join(QStringLiteral(", ")));
    if (start.isValid()) {
        where += QStringLiteral(" AND DATA_REG >= ?");
        params << start;
    }
    // The euro years summed by the engine; the lire ones, few, one by one.
    const QDate euro(2002, 1, 1);
    const auto sums =
        unit.read(QStringLiteral("SELECT SUM(QUANTITA) AS Q, SUM(TOTALE) AS V FROM %1 WHERE %2 AND DATA_REG >= ?")
                      .arg(Tables::MOVMAG, where),
                  params + Services::Params{euro});
    if (!sums)
        return sums.failure();
    const auto lire = unit.read(QStringLiteral("SELECT DATA_REG, TOTALE, QUANTITA FROM %1 WHERE %2 AND DATA_REG < ?")
                                    .arg(Tables::MOVMAG, where),
                                params + Services::Params{euro});
    if (!lire)
        return lire.failure();
    QList<Load> lireLoads;
    for (const auto &row : *lire)
        lireLoads.append({row.value(QStringLiteral("DATA_REG")).toDate(),
                          row.value(QStringLiteral("QUANTITA")).toDouble(),
                          row.value(QStringLiteral("TOTALE")).toDouble()});
    double quantity = 0;
    double value = 0;
    if (!sums->isEmpty()) {
        quantity = sums->first().number(QStringLiteral("Q"));
        value = sums->first().number(QStringLiteral("V"));
    }
    return averagePurchasePrice(quantity, value, lireLoads, upTo, decimals);
}

WriteResult insertMovement(Services::DataAccess &db, Row movement, const PriceUpdates &prices)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QStringLiteral("Gestione MovMag"));
    const int number =
        Services::Counters::nextNumber(db, movement.text(QStringLiteral("ANNO")) + QStringLiteral("MOVMAG"));
    if (number == 0) {
        unit.fail();
        return WriteResult::of(WriteEnd::Failed, QStringLiteral("Incr numero per movmag"));
    }
    movement.set(QStringLiteral("NRO_REG"), number);
    value(movement);
    if (!Services::insertRow(unit, movement, QStringLiteral("Inserim. movmag")) ||
        !applyToItem(unit, movement, Direction::Forward, QStringLiteral("Agg. articoli")) ||
        !updatePrices(unit, movement, prices) || !unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    WriteResult written = WriteResult::of(WriteEnd::Written);
    written.code = number;
    return written;
}

WriteResult updateMovement(Services::DataAccess &db, const Row &before, Row after, const PriceUpdates &prices)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QStringLiteral("Gestione MovMag"));
    const auto stored =
        unit.readForUpdate(Services::selectSql(movementTable(), Services::keyCondition(movementTable())), before.key());
    if (!stored)
        return WriteResult::of(WriteEnd::Failed);
    if (stored->isEmpty())
        return WriteResult::of(WriteEnd::Gone);
    // A document took the movement meanwhile, or owned it already; another
    // workstation changed it since it was read.
    const Row current = Services::rowFrom(movementTable(), stored->first());
    if (owned(current))
        return WriteResult::refusedFor(changeRefusal());
    if (!(current == before))
        return WriteResult::of(WriteEnd::ChangedElsewhere);
    value(after);
    int changed = 0;
    if (!Services::updateRow(unit, after, before, QStringLiteral("Aggiorna Movmag "), &changed) ||
        !applyToItem(unit, before, Direction::Backward, QStringLiteral("Storno articoli")) ||
        !applyToItem(unit, after, Direction::Forward, QStringLiteral("Agg. articoli")) ||
        !updatePrices(unit, after, prices))
        return WriteResult::of(WriteEnd::Failed);
    // The old item no longer counts the movement in its average.
    if (itemKey(before) != itemKey(after) && isPurchaseLoad(before.text(QStringLiteral("CAUSALE")))) {
        if (!updatePrices(unit, before, averageOnly(prices.priceDecimals)))
            return WriteResult::of(WriteEnd::Failed);
    }
    if (!unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return WriteResult::of(WriteEnd::Written);
}

WriteResult deleteMovement(Services::DataAccess &db, const QString &year, int number, int priceDecimals,
                             const QDateTime &now)
{
    const Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return WriteResult::of(WriteEnd::LockHeld);
    Services::WriteUnit unit(db, QStringLiteral("Cancella MovMag"));
    const auto stored = unit.readForUpdate(
        Services::selectSql(movementTable(), Services::keyCondition(movementTable())), {year, number});
    if (!stored)
        return WriteResult::of(WriteEnd::Failed);
    if (stored->isEmpty())
        return WriteResult::of(WriteEnd::Gone);
    const Row movement = Services::rowFrom(movementTable(), stored->first());
    const auto refusal = deleteRefusal(db, movement);
    if (!refusal) {
        unit.fail();
        return WriteResult::of(WriteEnd::Failed);
    }
    if (!refusal->isEmpty())
        return WriteResult::refusedFor(*refusal);
    if (!copyToDeleted(db, unit, year, number, now) ||
        !unit.execCompany(QStringLiteral("canc. movmag"),
                          QStringLiteral("DELETE FROM %1 WHERE ANNO = ? AND NRO_REG = ?").arg(Tables::MOVMAG),
                          {year, number}) ||
        !applyToItem(unit, movement, Direction::Backward, QStringLiteral("storno art")))
        return WriteResult::of(WriteEnd::Failed);
    if (isPurchaseLoad(movement.text(QStringLiteral("CAUSALE")))) {
        if (!updatePrices(unit, movement, averageOnly(priceDecimals)))
            return WriteResult::of(WriteEnd::Failed);
    }
    if (!unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return WriteResult::of(WriteEnd::Written);
}

bool removeInvoiceMovements(Services::DataAccess &db, Services::WriteUnit &unit, const QString &year, int internal,
                            const QDateTime &now)
{
    const auto stored = unit.readForUpdate(
        Services::selectSql(movementTable(), QStringLiteral("ANNO_INT_FATT = ? AND NRO_INT_FATT = ?"),
                            QStringLiteral("ANNO, NRO_REG")),
        {year, internal});
    if (!stored)
        return false;
    for (const auto &record : *stored) {
        const Row movement = Services::rowFrom(movementTable(), record);
        const QString movementYear = movement.text(QStringLiteral("ANNO"));
        const int number = movement.integer(QStringLiteral("NRO_REG"));
        if (!copyToDeleted(db, unit, movementYear, number, now) ||
            !unit.execCompany(QStringLiteral("Cancella Movmag"),
                              QStringLiteral("DELETE FROM %1 WHERE ANNO = ? AND NRO_REG = ?").arg(Tables::MOVMAG),
                              {movementYear, number}) ||
            !applyToItem(unit, movement, Direction::Backward, QStringLiteral("Storno articoli")))
            return false;
    }
    return true;
}

Services::Outcome<std::optional<Row>> readMovement(Services::DataAccess &db, const QString &year, int number)
{
    return Services::readRow(db, movementTable(), {year, number});
}

} // namespace Orlavo::Warehouse
