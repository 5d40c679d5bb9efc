#include "sales/windows/documentrows.h"

#include "masterdata/masterdata.h"
#include "sales/stores/documentstore.h"
#include "sales/stores/invoicechecks.h"
#include "sales/stores/invoiceentry.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"

#include <QHeaderView>

namespace Orlavo::Sales {

namespace Tables = Services::Tables;

namespace {

constexpr char kTitle[] = "Errore";
constexpr char kWrongItem[] = "Codice Articolo errato";
constexpr char kWrongUnit[] = "Codice unità di misura errato";
constexpr char kWrongVat[] = "Codice Iva errato";
constexpr char kWrongAccount[] = "Conto ricavo errato";
constexpr char kWrongCostCentre[] = "Centro di costo dell'articolo errato";
constexpr char kWrongQuantity[] = "Quantità errata";
constexpr char kWrongPrice[] = "Prezzo errato";
constexpr char kWrongCommissionRate[] = "Percentuale provvigione errata";
constexpr char kDeleteRows[] = "Confermi cancellazione\ndelle righe selezionate ?";

// The grid's columns, their stored column and their width in characters.
struct ColumnShape {
    const char *heading;
    const char *column;
    int chars;
};
constexpr ColumnShape kShapes[DocumentRows::ColumnCount] = {
    {"Marca", "MARCA", 5},      {"Articolo", "ARTICOLO", 14}, {"Descrizione", "DESCRI", 28},
    {"U.M.", "UN_MIS", 4},      {"Quantità", "QTA", 9},       {"Prezzo", "PREZZO", 10},
    {"Sconti", "SCONTO", 9},    {"Importo", "NETTO", 12},     {"IVA", "COD_IVA", 5},
    {"Conto", "CONTO", 8},      {"C.C.", "CCOS", 4},          {"% Provv.", "PERC_PROV", 7},
    {"Provv.", "IMPO_PROV", 9}, {"Libero 1", "LIBERO1", 12},  {"Libero 2", "LIBERO2", 12},
};

QString documentrowsUtf(const char *text)
{
    return QString::fromUtf8(text);
}

QString figureText(double value, int decimals)
{
    return value == 0 ? QString() : Services::formatPlain(value, decimals);
}

} // namespace

DocumentRows::DocumentRows(Ui::AppContext &context, std::function<RowContext()> rowContext, QWidget *parent)
    : QTableWidget(0, ColumnCount, parent), m_context(context), m_rowContext(std::move(rowContext))
{
    setObjectName(QStringLiteral("righe"));
    QStringList headings;
    for (const ColumnShape &shape : kShapes)
        headings.append(documentrowsUtf(shape.heading));
    setHorizontalHeaderLabels(headings);
    const int unit = fontMetrics().horizontalAdvance(QLatin1Char('M'));
    for (int c = 0; c < ColumnCount; ++c)
        setColumnWidth(c, kShapes[c].chars * unit * 7 / 10 + 12);
    horizontalHeader()->setSectionResizeMode(Description, QHeaderView::Stretch);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    connect(this, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (!m_filling)
            edited(row, column);
    });
    keepEmptyLast();
}

void DocumentRows::setFreeCaptions(const QString &first, const QString &second)
{
    if (!first.isEmpty())
        setHorizontalHeaderItem(Free1, new QTableWidgetItem(first));
    if (!second.isEmpty())
        setHorizontalHeaderItem(Free2, new QTableWidgetItem(second));
}

int DocumentRows::columnOf(const QString &rowColumn)
{
    for (int c = 0; c < ColumnCount; ++c) {
        if (rowColumn == QLatin1String(kShapes[c].column))
            return c;
    }
    if (rowColumn == QLatin1String("SCONTO2") || rowColumn == QLatin1String("SCONTO3"))
        return Discount;
    return Item;
}

QString DocumentRows::cell(int row, int column) const
{
    const QTableWidgetItem *i = item(row, column);
    return i ? i->text().trimmed() : QString();
}

void DocumentRows::setText(int row, int column, const QString &text)
{
    const bool filling = m_filling;
    m_filling = true;
    QTableWidgetItem *i = item(row, column);
    if (!i) {
        i = new QTableWidgetItem;
        setItem(row, column, i);
    }
    if (column == Quantity || column == Price || column == Amount || column == CommissionRate || column == Commission)
        i->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (column == Amount || column == Commission)
        i->setFlags(i->flags() & ~Qt::ItemIsEditable);
    i->setText(text);
    m_filling = filling;
}

void DocumentRows::setCell(int row, int column, const QString &text)
{
    while (rowCount() <= row) {
        const bool filling = m_filling;
        m_filling = true;
        insertRow(rowCount());
        m_extras.append(Extra{});
        m_filling = filling;
    }
    setText(row, column, text);
    edited(row, column);
}

bool DocumentRows::cellMarked(int row, int column) const
{
    const QTableWidgetItem *i = item(row, column);
    return i && i->background().color() == Qt::red;
}

void DocumentRows::markCell(int row, int column, bool failing)
{
    if (!item(row, column))
        setText(row, column, QString());
    const bool filling = m_filling;
    m_filling = true;
    item(row, column)->setBackground(failing ? QBrush(Qt::red) : QBrush());
    m_filling = filling;
}

bool DocumentRows::rowEmpty(int row) const
{
    for (int c = 0; c < ColumnCount; ++c) {
        if (c != Amount && c != Commission && !cell(row, c).isEmpty())
            return false;
    }
    return true;
}

void DocumentRows::keepEmptyLast()
{
    if (rowCount() > 0 && rowEmpty(rowCount() - 1))
        return;
    const bool filling = m_filling;
    m_filling = true;
    insertRow(rowCount());
    m_extras.append(Extra{});
    for (int c = 0; c < ColumnCount; ++c)
        setText(rowCount() - 1, c, QString());
    m_filling = filling;
}

double DocumentRows::figure(int row, int column) const
{
    const QString text = cell(row, column);
    return Services::isNumberText(text) ? Services::sqlNumber(text, 5).toDouble() : 0;
}

void DocumentRows::warn(const QString &text)
{
    m_context.prompter.warn(text, documentrowsUtf(kTitle));
}

bool DocumentRows::knownCode(const QString &table, const QString &code) const
{
    return codeDescription(m_context.db, codeTable(table), code).has_value();
}

void DocumentRows::edited(int row, int column)
{
    markCell(row, column, false);
    const QString text = cell(row, column);
    switch (column) {
    case Brand:
    case Item:
        // A new code on a row that held an item is looked up afresh, its
        // brand included.
        if (column == Brand)
            m_extras[row].brandTyped = !text.isEmpty();
        else if (m_extras.at(row).hasItem && !m_extras.at(row).brandTyped)
            setText(row, Brand, QString());
        itemLeft(row, column == Item);
        break;
    case Unit:
        if (!text.isEmpty() && !knownCode(Tables::TAB_UNTMIS, text)) {
            markCell(row, column, true);
            warn(documentrowsUtf(kWrongUnit));
        }
        break;
    case Vat:
        if (!text.isEmpty() && !knownCode(Tables::TAB_PERIVA, text)) {
            markCell(row, column, true);
            warn(documentrowsUtf(kWrongVat));
        }
        emit changed();
        break;
    case Account:
        if (!text.isEmpty() && !knownCode(Tables::TAB_PIANO_CONTI, text)) {
            markCell(row, column, true);
            warn(documentrowsUtf(kWrongAccount));
        }
        break;
    case CostCentre:
        if (!text.isEmpty() && !knownCode(Tables::TAB_CCOS, text)) {
            markCell(row, column, true);
            warn(documentrowsUtf(kWrongCostCentre));
        }
        break;
    case Quantity:
    case Price:
        if (!text.isEmpty() && !Services::isNumberText(text)) {
            markCell(row, column, true);
            warn(documentrowsUtf(column == Quantity ? kWrongQuantity : kWrongPrice));
            break;
        }
        if (column == Quantity)
            checkStock(row);
        revalue(row);
        break;
    case Discount:
        if (!parseDiscountText(text)) {
            markCell(row, column, true);
            warn(documentrowsUtf(kWrongDiscount));
            break;
        }
        revalue(row);
        break;
    case CommissionRate:
        m_extras[row].rateTyped = !text.isEmpty();
        if (!text.isEmpty() && !Services::isNumberText(text)) {
            markCell(row, column, true);
            warn(documentrowsUtf(kWrongCommissionRate));
            break;
        }
        if (const auto problem = commissionRateProblem(figure(row, column))) {
            markCell(row, column, true);
            warn(*problem);
            break;
        }
        revalue(row);
        break;
    default:
        break;
    }
    keepEmptyLast();
}

void DocumentRows::itemLeft(int row, bool byCode)
{
    Extra &extra = m_extras[row];
    const QString code = cell(row, Item);
    if (code.isEmpty()) {
        extra = Extra{};
        emit changed();
        return;
    }
    if (!byCode && !extra.hasItem)
        return;
    const RowContext context = m_rowContext();
    auto found = rowItem(m_context.db, context.warehouse, cell(row, Brand), code);
    if (found && !found->has_value() && cell(row, Brand).isEmpty())
        found = rowItemByBarcode(m_context.db, context.warehouse, code);
    if (!found)
        return;
    if (!found->has_value()) {
        extra.hasItem = false;
        markCell(row, Item, true);
        // With the stock checked the item is looked for in the warehouse.
        warn(context.checkStock ? QStringLiteral("L'articolo %1\nnon esiste in archivio; Riiserirlo. ").arg(code)
                                : documentrowsUtf(kWrongItem));
        emit changed();
        return;
    }
    const RowItem &it = **found;
    extra.hasItem = true;
    extra.brandTyped = false;
    extra.warehouse = it.warehouse;
    extra.weight = it.specificWeight;
    extra.special = it.special;
    extra.itemRate = it.commission;
    extra.brandRate = it.brandCommission;
    extra.onHand = it.onHand;
    setText(row, Brand, it.brand);
    setText(row, Item, it.code);
    setText(row, Description, it.description);
    setText(row, Unit, it.unit);
    setText(row, Vat, context.vatCode.isEmpty() ? it.vatCode : context.vatCode);
    setText(row, Account, context.account.isEmpty() ? it.account : context.account);
    setText(row, CostCentre, it.costCentre);
    if (cell(row, Quantity).isEmpty())
        setText(row, Quantity, QStringLiteral("1"));

    // The price its settings propose: the customer's or the standard list
    // row (picked when several suppliers have one), else the item's own.
    PriceFigures figures = it.figures;
    const auto lookup =
        Masterdata::lookupListPrices(m_context.db, context.customer, it.brand, it.code, context.type, false);
    if (lookup && !lookup->rows.isEmpty()) {
        const bool markedUp = context.priceSetting.trimmed().toUpper() == QLatin1String("R");
        if (const auto picked = Masterdata::pickListPrice(lookup->rows, markedUp, this))
            figures = listFigures(*picked);
    }
    const RowPrice price = proposeRowPrice(context.priceSetting, context.computedDiscounts, figures, it.second,
                                           it.third, context.priceDecimals);
    setText(row, Price, figureText(price.price, std::max(context.priceDecimals, Sales::priceDecimals(price.price))));
    setText(row, Discount, discountText(price.discounts));
    for (int c : {Brand, Item, Unit, Vat, Account, CostCentre, Price, Discount})
        markCell(row, c, false);
    checkStock(row);
    revalue(row);
}

void DocumentRows::checkStock(int row)
{
    const Extra &extra = m_extras.at(row);
    if (!extra.hasItem || !m_rowContext().checkStock)
        return;
    if (extra.onHand - figure(row, Quantity) < 0)
        warn(QStringLiteral("L'articolo %1\nha raggiunto esitenza negativa; Controllare Articolo. ").arg(cell(row, Item)));
}

void DocumentRows::revalue(int row)
{
    const RowContext context = m_rowContext();
    const Discounts discounts = parseDiscountText(cell(row, Discount)).value_or(Discounts{});
    const double amount = rowAmount(figure(row, Quantity), figure(row, Price), discounts);
    Extra &extra = m_extras[row];
    double rate = figure(row, CommissionRate);
    if (!extra.rateTyped) {
        rate = commissionRate(std::nullopt, {context.agentRate.has_value(), context.agentRate.value_or(0),
                                             extra.itemRate, extra.brandRate});
        if (!context.agentRate)
            rate = 0;
        setText(row, CommissionRate, figureText(rate, 2));
    }
    const bool priced = !cell(row, Price).isEmpty() || !cell(row, Quantity).isEmpty();
    setText(row, Amount, priced ? Services::formatAmount(amount, context.amountDecimals) : QString());
    setText(row, Commission,
            figureText(rowCommission(rate, amount, context.amountDecimals), context.amountDecimals));
    if (rowAmountTooHigh(amount)) {
        markCell(row, Amount, true);
        warn(documentrowsUtf(kRowAmountTooHigh));
    }
    emit changed();
}

void DocumentRows::refreshCommissions()
{
    for (int row = 0; row < rowCount(); ++row) {
        if (!rowEmpty(row))
            revalue(row);
    }
}

QList<Services::Row> DocumentRows::rows(const SalesDocument &document) const
{
    const RowContext context = m_rowContext();
    QList<Services::Row> result;
    for (int row = 0; row < rowCount(); ++row) {
        if (rowEmpty(row))
            continue;
        const Extra &extra = m_extras.at(row);
        Services::Row r = document.newRow();
        const auto text = [&](const char *column, int c) { r.set(QString::fromLatin1(column), cell(row, c)); };
        if (!cell(row, Item).isEmpty())
            r.set(QStringLiteral("MAGAZ"), extra.warehouse.isEmpty() ? context.warehouse : extra.warehouse);
        text("MARCA", Brand);
        text("ARTICOLO", Item);
        text("DESCRI", Description);
        text("UN_MIS", Unit);
        text("COD_IVA", Vat);
        text("CONTO", Account);
        text("CCOS", CostCentre);
        text("LIBERO1", Free1);
        text("LIBERO2", Free2);
        r.set(QStringLiteral("TIPO"), extra.type);
        r.set(QStringLiteral("QTA"), figure(row, Quantity));
        r.set(QStringLiteral("PREZZO"), figure(row, Price));
        const Discounts d = parseDiscountText(cell(row, Discount)).value_or(Discounts{});
        r.set(QStringLiteral("SCONTO"), d[0]);
        r.set(QStringLiteral("SCONTO2"), d[1]);
        r.set(QStringLiteral("SCONTO3"), d[2]);
        r.set(QStringLiteral("NETTO"), rowAmount(figure(row, Quantity), figure(row, Price), d));
        r.set(QStringLiteral("PERC_PROV"), figure(row, CommissionRate));
        r.set(QStringLiteral("IMPO_PROV"), figure(row, Commission));
        r.set(QStringLiteral("AGENTE"), 0);
        result.append(r);
    }
    return result;
}

QList<SummaryRow> DocumentRows::summaryRows() const
{
    QList<SummaryRow> result;
    for (int row = 0; row < rowCount(); ++row) {
        if (rowEmpty(row))
            continue;
        const Extra &extra = m_extras.at(row);
        SummaryRow s;
        s.vatCode = cell(row, Vat).toUpper();
        s.quantity = figure(row, Quantity);
        s.price = figure(row, Price);
        s.amount = rowAmount(s.quantity, s.price, parseDiscountText(cell(row, Discount)).value_or(Discounts{}));
        s.item = !cell(row, Brand).isEmpty() && !cell(row, Item).isEmpty();
        s.specificWeight = extra.weight;
        s.special = extra.special;
        s.specialTotal = extra.specialTotal;
        result.append(s);
    }
    return result;
}

double DocumentRows::commissionTotal() const
{
    double total = 0;
    for (int row = 0; row < rowCount(); ++row)
        total += figure(row, Commission);
    return total;
}

QList<Services::FieldProblem> DocumentRows::typedProblems() const
{
    QList<Services::FieldProblem> problems;
    for (int row = 0; row < rowCount(); ++row) {
        if (rowEmpty(row))
            continue;
        const auto add = [&](int column, const QString &message) {
            problems.append({rowColumn(documentRow(row), QString::fromLatin1(kShapes[column].column)), message});
        };
        const auto bad = [&](int column) {
            return !cell(row, column).isEmpty() && !Services::isNumberText(cell(row, column));
        };
        if (bad(Quantity))
            add(Quantity, documentrowsUtf(kWrongQuantity));
        if (bad(Price))
            add(Price, documentrowsUtf(kWrongPrice));
        if (!parseDiscountText(cell(row, Discount)))
            add(Discount, documentrowsUtf(kWrongDiscount));
        if (bad(CommissionRate))
            add(CommissionRate, documentrowsUtf(kWrongCommissionRate));
        else if (const auto problem = commissionRateProblem(figure(row, CommissionRate)))
            add(CommissionRate, *problem);
    }
    return problems;
}

void DocumentRows::showSpecialRow(const std::optional<SummaryRow> &row, qsizetype at, const QString &description,
                                  const QString &unit, const QString &account)
{
    const bool filling = m_filling;
    m_filling = true;
    for (int r = rowCount() - 1; r >= 0; --r) {
        if (m_extras.at(r).specialTotal) {
            removeRow(r);
            m_extras.removeAt(r);
        }
    }
    if (row) {
        const int target = gridRow(int(at));
        insertRow(target);
        Extra extra;
        extra.hasItem = true;
        extra.specialTotal = true;
        extra.rateTyped = true;
        extra.warehouse = m_rowContext().warehouse;
        m_extras.insert(target, extra);
        const int decimals = m_rowContext().amountDecimals;
        for (int c = 0; c < ColumnCount; ++c)
            setText(target, c, QString());
        setText(target, Brand, m_special.first);
        setText(target, Item, m_special.second);
        setText(target, Description, description);
        setText(target, Unit, unit);
        setText(target, Quantity, figureText(row->quantity, Sales::priceDecimals(row->quantity)));
        setText(target, Price, figureText(row->price, std::max(2, Sales::priceDecimals(row->price))));
        setText(target, Amount, Services::formatAmount(row->amount, decimals));
        setText(target, Vat, row->vatCode);
        setText(target, Account, account);
        // The program's row: the operator does not type in it.
        for (int c = 0; c < ColumnCount; ++c)
            item(target, c)->setFlags(item(target, c)->flags() & ~Qt::ItemIsEditable);
    }
    m_filling = filling;
    keepEmptyLast();
}

int DocumentRows::gridRow(int index) const
{
    int seen = -1;
    int after = 0; // past the last row with something typed
    for (int row = 0; row < rowCount(); ++row) {
        if (rowEmpty(row))
            continue;
        if (++seen == index)
            return row;
        after = row + 1;
    }
    return after;
}

int DocumentRows::documentRow(int gridRow) const
{
    int index = 0;
    for (int row = 0; row < gridRow; ++row) {
        if (!rowEmpty(row))
            ++index;
    }
    return index;
}

void DocumentRows::showRows(const QList<Services::Row> &rows)
{
    clearRows();
    m_filling = true;
    const RowContext context = m_rowContext();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const Services::Row &r = rows.at(i);
        const int row = int(i);
        if (row >= rowCount()) {
            insertRow(row);
            m_extras.append(Extra{});
        }
        Extra &extra = m_extras[row];
        extra.warehouse = r.text(QStringLiteral("MAGAZ")).trimmed();
        extra.type = r.text(QStringLiteral("TIPO")).trimmed();
        extra.hasItem = !r.text(QStringLiteral("ARTICOLO")).trimmed().isEmpty();
        extra.rateTyped = true;
        extra.specialTotal = !m_special.second.isEmpty() &&
                             r.text(QStringLiteral("MARCA")).trimmed() == m_special.first &&
                             r.text(QStringLiteral("ARTICOLO")).trimmed() == m_special.second;
        // What the row does not store but its figures need: the item's
        // weight, special mark, stock and commission rates.
        if (extra.hasItem && !extra.specialTotal) {
            const auto found = rowItem(m_context.db, extra.warehouse.isEmpty() ? context.warehouse : extra.warehouse,
                                       r.text(QStringLiteral("MARCA")), r.text(QStringLiteral("ARTICOLO")));
            if (found && found->has_value()) {
                extra.weight = (*found)->specificWeight;
                extra.special = (*found)->special;
                extra.itemRate = (*found)->commission;
                extra.brandRate = (*found)->brandCommission;
                extra.onHand = (*found)->onHand;
            }
        }
        for (int c : {Brand, Item, Description, Unit, Vat, Account, CostCentre, Free1, Free2})
            setText(row, c, r.text(QString::fromLatin1(kShapes[c].column)).trimmed());
        const double q = r.number(QStringLiteral("QTA"));
        const double p = r.number(QStringLiteral("PREZZO"));
        setText(row, Quantity, figureText(q, Sales::priceDecimals(q)));
        setText(row, Price, figureText(p, std::max(context.priceDecimals, Sales::priceDecimals(p))));
        const Discounts d{r.number(QStringLiteral("SCONTO")), r.number(QStringLiteral("SCONTO2")),
                          r.number(QStringLiteral("SCONTO3"))};
        setText(row, Discount, discountText(d));
        setText(row, Amount, Services::formatAmount(r.number(QStringLiteral("NETTO")), context.amountDecimals));
        setText(row, CommissionRate, figureText(r.number(QStringLiteral("PERC_PROV")), 2));
        setText(row, Commission, figureText(r.number(QStringLiteral("IMPO_PROV")), context.amountDecimals));
    }
    m_filling = false;
    keepEmptyLast();
    emit changed();
}

void DocumentRows::clearRows()
{
    const bool filling = m_filling;
    m_filling = true;
    setRowCount(0);
    m_extras.clear();
    m_filling = filling;
    keepEmptyLast();
}

void DocumentRows::insertRowAtSelection()
{
    const int at = currentRow() < 0 ? rowCount() - 1 : currentRow();
    m_filling = true;
    insertRow(at);
    m_extras.insert(at, Extra{});
    for (int c = 0; c < ColumnCount; ++c)
        setText(at, c, QString());
    m_filling = false;
    setCurrentCell(at, Item);
}

bool DocumentRows::removeSelectedRows()
{
    QList<int> chosen;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        chosen.append(index.row());
    if (chosen.isEmpty())
        return false;
    if (m_context.prompter.ask(documentrowsUtf(kDeleteRows), documentrowsUtf(kTitle), Services::Prompter::Icon::Question,
                               Services::Prompter::Buttons::YesNo) != Services::Prompter::Button::Yes)
        return false;
    std::sort(chosen.begin(), chosen.end(), std::greater<>());
    for (int row : chosen) {
        removeRow(row);
        m_extras.removeAt(row);
    }
    keepEmptyLast();
    emit changed();
    return true;
}

} // namespace Orlavo::Sales
