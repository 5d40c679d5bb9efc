#include "masterdata/rules/itemsearch.h"

#include "services/core/tablenames.h"

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;
using Services::LookupColumn;

namespace {

// The stock situation: ARTICOLI with its brand's description and
// DISPONIBILE, a view both the list and LISESART read.
constexpr char kSituation[] = "SITUAZIONE_ARTICOLI";
// The list and the print agree on every row's place: an item kept in two
// warehouses comes once per warehouse, in warehouse order.
constexpr char kOrder[] = "%1MARCA, %1ARTICOLO, %1MAGAZZINO";
// Always true: the order follows the conditions even when nothing filters.
constexpr char kNoFilter[] = "1 = 1";

LookupColumn itemsearchColumn(const QString &name, const char *format, const char *heading)
{
    return {name, QString::fromLatin1(format), QString::fromUtf8(heading)};
}

// The key, hidden, at the head of every item list.
QList<LookupColumn> keyColumns(const QString &prefix)
{
    return {itemsearchColumn(prefix + QStringLiteral("MAGAZZINO"), "00C", "MAGAZZINO"),
            itemsearchColumn(prefix + QStringLiteral("MARCA"), "00C", "MARCA"),
            itemsearchColumn(prefix + QStringLiteral("ARTICOLO"), "00C", "CODICE")};
}

bool reversed(const ItemFilters &filters)
{
    const QString from = filters.codeFrom.trimmed().toUpper();
    const QString to = filters.codeTo.trimmed().toUpper();
    return !from.isEmpty() && !to.isEmpty() && to < from;
}

void addShared(SearchConditions &where, const ItemFilters &filters, bool typeDiffers, bool categoryDiffers)
{
    where.code(QStringLiteral("MAGAZZINO"), "=", filters.warehouse);
    where.code(QStringLiteral("MARCA"), "=", filters.brand);
    where.code(QStringLiteral("ARTICOLO"), ">=", filters.codeFrom);
    where.code(QStringLiteral("ARTICOLO"), "<=", filters.codeTo);
    if (typeDiffers)
        where.differs(QStringLiteral("TIPO_ART"), filters.type);
    else
        where.code(QStringLiteral("TIPO_ART"), "=", filters.type);
    if (categoryDiffers)
        where.differs(QStringLiteral("COD_MERCE"), filters.goodsCategory);
    else
        where.code(QStringLiteral("COD_MERCE"), "=", filters.goodsCategory);
    where.code(QStringLiteral("COD_STATIS"), "=", filters.statCategory);
    // Barcodes are typed text, not codes of the kit.
    where.equals(QStringLiteral("COD_BARRE"), filters.barcode);
}

ItemSearch searchOf(const QString &from, const QList<LookupColumn> &columns, const SearchConditions &where,
                    const QString &orderPrefix)
{
    ItemSearch search;
    search.from = from;
    search.columns = columns;
    search.condition = where.sql();
    search.order = QString::fromLatin1(kOrder).arg(orderPrefix);
    search.params = where.params();
    search.formula = where.formula();
    return search;
}

// The figures of the stock situation. The flavour's own figure and its
// value come first, where the eye starts; the others keep their order
// (on hand with the opening stock, committed, ordered), then what is
// available and the minimum stock.
QList<LookupColumn> stockFigures(StockFlavour flavour)
{
    const QList<LookupColumn> onHand = {itemsearchColumn(QStringLiteral("ESISTENZA"), "10C", "ESISTENZA"),
                                        itemsearchColumn(QStringLiteral("GC_INIZ"), "10C", "GIAC. INIZ."),
                                        itemsearchColumn(QStringLiteral("VAL_INIZ"), "12C", "VAL. INIZ.")};
    const QList<LookupColumn> committed = {itemsearchColumn(QStringLiteral("IMPEGNATO"), "10C", "IMPEGNATO"),
                                           itemsearchColumn(QStringLiteral("VAL_IMPEGN"), "12C", "VAL. IMPEGN.")};
    const QList<LookupColumn> ordered = {itemsearchColumn(QStringLiteral("ORDINATO"), "10C", "ORDINATO"),
                                         itemsearchColumn(QStringLiteral("VAL_ORDIN"), "12C", "VAL. ORDIN.")};
    QList<LookupColumn> figures;
    switch (flavour) {
    case StockFlavour::OnHand: figures = onHand + committed + ordered; break;
    case StockFlavour::Committed: figures = committed + onHand + ordered; break;
    case StockFlavour::Ordered: figures = ordered + onHand + committed; break;
    }
    return figures + QList<LookupColumn>{itemsearchColumn(QStringLiteral("DISPONIBILE"), "10C", "DISPONIBILE"),
                                         itemsearchColumn(QStringLiteral("SCORTA_MIN"), "10C", "SCORTA MIN.")};
}

QLatin1String figureOf(StockFlavour flavour)
{
    static const char *const figures[] = {"ESISTENZA", "IMPEGNATO", "ORDINATO"};
    return QLatin1String(figures[int(flavour)]);
}

} // namespace

QString stockListTitle(StockFlavour flavour)
{
    return QStringLiteral("Situazione magazzino (%1)").arg(figureOf(flavour));
}

QString stockSearchTitle(StockFlavour flavour)
{
    return QStringLiteral("Ricerca per situazione magazzino (%1)").arg(figureOf(flavour));
}

QString ItemSearch::sql() const
{
    QStringList names;
    for (const LookupColumn &c : columns)
        names.append(c.name);
    QString statement = QStringLiteral("SELECT %1 FROM %2").arg(names.join(QStringLiteral(", ")), from);
    if (!condition.isEmpty())
        statement += QStringLiteral(" WHERE ") + condition;
    return statement + QStringLiteral(" ORDER BY ") + order;
}

QString ItemSearch::listCondition() const
{
    return (condition.isEmpty() ? QString::fromLatin1(kNoFilter) : condition) + QStringLiteral(" ORDER BY ") + order;
}

Services::Outcome<ItemSearch> buildStockSearch(const StockSearchFilters &filters, StockFlavour flavour)
{
    if (reversed(filters))
        return Services::Failure{QString::fromUtf8(kPartyRangeMessage), QString()};
    const QString table = QString::fromLatin1(kSituation);
    SearchConditions where(table);
    addShared(where, filters, filters.typeDiffers, filters.categoryDiffers);
    where.code(QStringLiteral("COD_IVA"), "=", filters.vatCode);
    where.code(QStringLiteral("UNITA_MIS"), "=", filters.unit);
    // The stock states are flags of the view: the report engine takes the
    // figures of a SQLite archive for texts and cannot compare them.
    const auto state = [&where](bool wanted, const char *itemsearchColumn) {
        if (wanted)
            where.flag(QString::fromLatin1(itemsearchColumn), QStringLiteral("S"));
    };
    state(filters.belowMinimum, "SOTTO_SCORTA");
    state(filters.onHand, "CON_ESISTENZA");
    state(filters.negative, "ESISTENZA_NEGATIVA");
    state(filters.openingStock, "CON_GIAC_INIZ");

    const QList<LookupColumn> columns =
        keyColumns(QString()) + QList<LookupColumn>{itemsearchColumn(QStringLiteral("MARCA"), "03C", "MARCA"),
                                                    itemsearchColumn(QStringLiteral("DESC_MARCA"), "20C", "DESCRIZIONE MARCA"),
                                                    itemsearchColumn(QStringLiteral("ARTICOLO"), "15C", "CODICE"),
                                                    itemsearchColumn(QStringLiteral("DESC_ART"), "30C", "DESCRIZIONE"),
                                                    itemsearchColumn(QStringLiteral("TIPO_ART"), "02C", "TIPO"),
                                                    itemsearchColumn(QStringLiteral("UNITA_MIS"), "02C", "U.M.")} +
        stockFigures(flavour);
    return searchOf(table, columns, where, QString());
}

Services::Outcome<ItemSearch> buildItemList(const ItemListFilters &filters, bool withPrice)
{
    if (reversed(filters))
        return Services::Failure{QString::fromUtf8(kPartyRangeMessage), QString()};
    const QString &items = Tables::ARTICOLI;
    SearchConditions where(items, true);
    addShared(where, filters, false, false);
    where.wordStart(QStringLiteral("DESC_ART"), filters.description);

    const QString from = QStringLiteral("%1 LEFT JOIN %2 ON %2.CODICE = %1.MARCA"
                                        " LEFT JOIN %3 ON %3.CODICE = %1.COD_MERCE"
                                        " LEFT JOIN %4 ON %4.CODICE = %1.TIPO_ART")
                             .arg(items, Tables::TAB_MARCHE, Tables::TAB_MERCE, Tables::TAB_TIPO_ART);
    const QString a = items + QLatin1Char('.');
    QList<LookupColumn> columns = keyColumns(a);
    columns << itemsearchColumn(QStringLiteral("CASE WHEN %1NON_USARE <> 0 THEN 'SI' END AS NON_USARE").arg(a), "03C",
                      "NON USARE")
            << itemsearchColumn(a + QStringLiteral("MARCA"), "03C", "MARCA")
            << itemsearchColumn(Tables::TAB_MARCHE + QStringLiteral(".DESCRIZIONE AS DESC_MARCA"), "20C", "DESCRIZIONE MARCA")
            << itemsearchColumn(a + QStringLiteral("ARTICOLO"), "15C", "CODICE")
            << itemsearchColumn(a + QStringLiteral("DESC_ART"), "30C", "DESCRIZIONE")
            << itemsearchColumn(a + QStringLiteral("UNITA_MIS"), "02C", "U.M.")
            << itemsearchColumn(a + QStringLiteral("ESISTENZA"), "10C", "ESISTENZA");
    if (withPrice)
        columns << itemsearchColumn(a + QStringLiteral("PREZZO_LIST"), "12C", "PREZZO LISTINO");
    columns << itemsearchColumn(a + QStringLiteral("COD_MERCE"), "06C", "GR. MERC.")
            << itemsearchColumn(Tables::TAB_MERCE + QStringLiteral(".DESCRIZIONE AS DESC_MERCE"), "20C", "DESCRIZIONE GRUPPO")
            << itemsearchColumn(a + QStringLiteral("TIPO_ART"), "02C", "TIPO")
            << itemsearchColumn(Tables::TAB_TIPO_ART + QStringLiteral(".DESCRIZIONE AS DESC_TIPO"), "20C", "DESCRIZIONE TIPO");
    return searchOf(from, columns, where, a);
}

} // namespace Orlavo::Masterdata
