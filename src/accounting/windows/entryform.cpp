#include "accounting/windows/entryform.h"

#include "accounting/stores/entrylist.h"
#include "accounting/windows/journalfilterpanel.h"
#include "masterdata/masterdata.h"
#include "masterdata/stores/chartstore.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Accounting {

using Services::Prompter;
namespace Tables = Services::Tables;

namespace {

// The grids' hidden columns: what a row keeps besides what it shows.
constexpr int kCustomerColumn = 4;
constexpr int kSupplierColumn = 5;
constexpr int kCostCentreColumn = 6;
constexpr int kRoleColumn = 7;
constexpr int kTypeColumn = 8;
constexpr int kSequenceColumn = 9;
constexpr int kColumns = 10;
constexpr int kMinimumRows = 5;
constexpr int kShownRows = 4;

constexpr char kEntryformErrorTitle[] = "ERRORE";
constexpr char kLeaveQuestion[] = "Rinuncia operazioni su dati correnti ?";
constexpr char kWrongAccount[] = "Conto errato";
constexpr char kNoAccount[] = "Conto obbligatorio";
constexpr char kWrongCausal[] = "Causale di contabilità errata";
constexpr char kWrongBank[] = "Cassa o Banca pagamento errata";
constexpr char kWrongCustomer[] = "Cliente errato ";
constexpr char kWrongSupplier[] = "Fornitore errato ";
constexpr char kWrongCostCentre[] = "Centro di costo errato";
constexpr char kToEntry[] = "Applica al movimento";
constexpr char kToRow[] = "Applica alla riga selezionara";
constexpr char kSelectedRow[] = "Riga sel: %1 Col: %2";
const QColor kFailingBackground(255, 0, 0);
const QColor kFailingText(255, 255, 255);
constexpr int kFailingRole = Qt::UserRole + 1;

QString latin(const char *text)
{
    return QString::fromUtf8(text);
}

QString amountText(double amount, int decimals)
{
    return Services::sqlNumber(amount, decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

double amountOf(const QString &text, int decimals)
{
    return Services::sqlNumber(text, decimals).toDouble();
}

// The editors of a row's cells: the fields of the account, the row's
// description and its amount, each with its kind's filter.
class CellDelegate : public QStyledItemDelegate
{
public:
    CellDelegate(const bool *upperCase, std::function<int()> decimals, QObject *parent)
        : QStyledItemDelegate(parent), m_upperCase(upperCase), m_decimals(std::move(decimals))
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        switch (index.column()) {
        case EntryWindow::AccountColumn: return new Ui::CodeField(6, parent);
        case EntryWindow::TextColumn: {
            auto *text = new Ui::TextField(100, parent);
            text->setUpperCaseSwitch(m_upperCase);
            return text;
        }
        case EntryWindow::AmountColumn: return new Ui::NumberField(m_decimals(), false, parent);
        default: return nullptr;
        }
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *number = qobject_cast<Ui::NumberField *>(editor))
            number->normalise();
        QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    const bool *m_upperCase;
    std::function<int()> m_decimals;
};

bool rowEmpty(const QTableWidget *table, int row)
{
    for (int column : {int(EntryWindow::AccountColumn), int(EntryWindow::TextColumn), int(EntryWindow::AmountColumn)}) {
        const QTableWidgetItem *item = table->item(row, column);
        if (item && !item->text().trimmed().isEmpty() &&
            !(column == EntryWindow::AmountColumn && amountOf(item->text(), 5) == 0))
            return false;
    }
    return true;
}

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

EntryWindow::EntryWindow(Ui::AppContext &context, EntryMode mode, QWidget *parent)
    : QDialog(parent), m_context(context), m_mode(mode)
{
}

int EntryWindow::decimals() const
{
    // Lire before the euro: amounts without decimals.
    const int year = value(QStringLiteral("ANNO")).trimmed().toInt();
    return year > 0 && year < 2002 ? 0 : 2;
}

QPushButton *EntryWindow::makeButton(const QString &caption, const char *name)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

Ui::InputField *EntryWindow::addField(const QString &column, Ui::InputField *field, int width, bool typed)
{
    field->setObjectName((typed ? QStringLiteral("T_") : QStringLiteral("D_")) + column);
    field->setFixedWidth(width);
    field->setReadOnly(!typed);
    if (!typed)
        field->setFocusPolicy(Qt::NoFocus);
    m_fields.insert(column, field);
    if (typed) {
        field->installEventFilter(this);
        field->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    }
    return field;
}

Ui::CodeField *EntryWindow::addCoded(const QString &column, int length, int width,
                                     std::function<Ui::LookupRequest()> list)
{
    auto *code = new Ui::CodeField(length, this);
    addField(column, code, width);
    Ui::attachLookup(code, m_context, std::move(list));
    Ui::leaveOnPick(code, this, [this, column] { fieldLeft(column); });
    return code;
}

QLabel *EntryWindow::addDescription(const QString &column, int width)
{
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("D_DESC_") + column);
    label->setMinimumWidth(width);
    m_descriptions.insert(column, label);
    return label;
}

QWidget *EntryWindow::makeHeader()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto put = [grid](int row, int col, const QString &caption, QWidget *field, int span = 1) {
        return Ui::addLabelled(grid, row, col, caption, field, span);
    };
    const auto coded = [this](const QString &column, int length, int width,
                              std::function<Ui::LookupRequest()> list) -> QWidget * {
        Ui::CodeField *code = addCoded(column, length, width, std::move(list));
        auto *holder = new QWidget(this);
        auto *row = new QHBoxLayout(holder);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(code);
        row->addWidget(addDescription(column, 170), 1);
        return holder;
    };
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;

    put(0, 0, QStringLiteral("Anno"), addField(QStringLiteral("ANNO"), new Ui::CodeField(4, this), 60, false));
    put(0, 2, QStringLiteral("Data Mov."), addField(QStringLiteral("DATA_INT"), new Ui::DateField(this), dateWidth));
    put(0, 4, QStringLiteral("N. Mov."),
        addField(QStringLiteral("NRO_INT"), new Ui::NumberField(0, true, this), 80, false));
    m_causalType = new QLabel(this);
    m_causalType->setObjectName(QStringLiteral("D_TIPO_CAUSALE"));
    put(0, 6, QStringLiteral("Tipo causale"), m_causalType);
    m_printed = new QLabel(QStringLiteral("STAMPATA"), this);
    m_printed->setObjectName(QStringLiteral("stampata"));
    QFont bold = m_printed->font();
    bold.setBold(true);
    m_printed->setFont(bold);
    m_printed->setStyleSheet(QStringLiteral("color: #c00000"));
    m_printed->hide();
    grid->addWidget(m_printed, 0, 8);

    const QString mode = causalTypeOf(m_mode);
    put(1, 0, QStringLiteral("Causale"),
        coded(QStringLiteral("CAUSALE"), 6, 80, [mode] { return codedList(CodedList::Causals, mode); }), 3);
    auto *description = new Ui::TextField(100, this);
    put(1, 4, QStringLiteral("Descrizione"), addField(QStringLiteral("DESCRI"), description, 420), 5);
    description->setMinimumWidth(420);
    description->setMaximumWidth(QWIDGETSIZE_MAX);

    auto *total = new Ui::NumberField(2, false, this);
    put(2, 0, QStringLiteral("Totale mov."), addField(QStringLiteral("TOTALE"), total, 120));
    total->setAlignment(Qt::AlignRight);
    put(2, 2, QStringLiteral("Data Reg."), addField(QStringLiteral("DATA_REG"), new Ui::DateField(this), dateWidth));
    put(2, 4, QStringLiteral("N. Reg."),
        addField(QStringLiteral("NRO_REG"), new Ui::NumberField(0, true, this), 80, false));
    put(2, 6, QStringLiteral("Cod. iva"),
        coded(QStringLiteral("COD_IVA"), 4, 60, [] { return codedList(CodedList::VatCodes); }), 3);

    put(3, 0, QStringLiteral("Banca"),
        coded(QStringLiteral("BANCA"), 5, 80, [] { return codedList(CodedList::Banks); }), 3);
    field(QStringLiteral("BANCA"))->setToolTip(QStringLiteral("Codice banca di pagamento, *** per la cassa"));
    put(3, 4, QStringLiteral("N. Doc."), addField(QStringLiteral("NRO_DOC"), new Ui::TextField(20, this), 120, false));
    put(3, 6, QStringLiteral("Data Doc."),
        addField(QStringLiteral("DATA_DOC"), new Ui::DateField(this), dateWidth, false));
    grid->setColumnStretch(9, 1);
    return box;
}

QWidget *EntryWindow::makeParties()
{
    auto *box = new QGroupBox(QStringLiteral("Cliente, fornitore e centro di costo"), this);
    auto *layout = new QGridLayout(box);
    m_toEntry = new QRadioButton(latin(kToEntry), box);
    m_toEntry->setObjectName(QStringLiteral("applicaMovimento"));
    m_toRow = new QRadioButton(latin(kToRow), box);
    m_toRow->setObjectName(QStringLiteral("applicaRiga"));
    m_toEntry->setChecked(true);
    auto *choice = new QButtonGroup(box);
    choice->addButton(m_toEntry);
    choice->addButton(m_toRow);
    connect(m_toRow, &QRadioButton::toggled, this, [this](bool toRow) {
        if (m_filling)
            return;
        if (toRow) {
            // Every row starts from what the entry had.
            const QScopedValueRollback guard(m_filling, true);
            for (QTableWidget *table : {m_debit, m_credit}) {
                for (int row = 0; row < table->rowCount(); ++row) {
                    if (rowEmpty(table, row))
                        continue;
                    table->item(row, kCustomerColumn)->setText(value(QStringLiteral("CLIENTE")).trimmed());
                    table->item(row, kSupplierColumn)->setText(value(QStringLiteral("FORNITORE")).trimmed());
                    table->item(row, kCostCentreColumn)->setText(value(QStringLiteral("CCOS")).trimmed().toUpper());
                }
            }
            showRowParties();
        }
        updateStatus();
    });
    layout->addWidget(m_toEntry, 0, 0, 1, 2);
    layout->addWidget(m_toRow, 0, 2, 1, 4);

    addCoded(QStringLiteral("CLIENTE"), 5, 80, [] { return Masterdata::customerList(); });
    addCoded(QStringLiteral("FORNITORE"), 5, 80, [] { return codedList(CodedList::Suppliers); });
    addCoded(QStringLiteral("CCOS"), 2, 80, [] { return codedList(CodedList::CostCentres); });
    int col = 0;
    for (const auto &[caption, column] :
         {std::pair{"Cliente", "CLIENTE"}, std::pair{"Fornitore", "FORNITORE"}, std::pair{"Centro di costo", "CCOS"}}) {
        layout->addWidget(new QLabel(latin(caption), box), 1, col);
        layout->addWidget(m_fields.value(latin(column)), 1, col + 1);
        layout->addWidget(addDescription(latin(column), 150), 1, col + 2);
        layout->setColumnStretch(col + 2, 1);
        col += 3;
    }
    return box;
}

QTableWidget *EntryWindow::makeTable(EntrySide side)
{
    const bool debit = side == EntrySide::Debit;
    auto *table = new QTableWidget(0, kColumns, this);
    table->setObjectName(debit ? QStringLiteral("grigliaDare") : QStringLiteral("grigliaAvere"));
    table->setHorizontalHeaderLabels({debit ? QStringLiteral("Conto DARE") : QStringLiteral("Conto AVERE"),
                                      QStringLiteral("Descrizione conto"), QStringLiteral("Descrizione"),
                                      QStringLiteral("Importo"), QStringLiteral("Cliente"), QStringLiteral("Fornitore"),
                                      QStringLiteral("C. costo"), QStringLiteral("Cont. aut."), QStringLiteral("Tipo"),
                                      QStringLiteral("Seq.")});
    for (int column = kCustomerColumn; column < kColumns; ++column)
        table->setColumnHidden(column, true);
    table->setItemDelegate(new CellDelegate(
        &m_context.state.upperCaseKeys, [this] { return decimals(); }, table));
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
    table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 10);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->setColumnWidth(AccountColumn, 90);
    table->setColumnWidth(AccountTextColumn, 150);
    table->horizontalHeader()->setSectionResizeMode(TextColumn, QHeaderView::Stretch);
    table->setColumnWidth(AmountColumn, 100);
    // Four lines shown, the others a scroll away.
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() +
                          kShownRows * table->verticalHeader()->defaultSectionSize() + 2 * table->frameWidth());
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    table->installEventFilter(this);
    connect(table, &QTableWidget::itemChanged, this, [this, side](QTableWidgetItem *item) {
        if (m_filling)
            return;
        const int row = item->row();
        const int column = item->column();
        // After the editor has closed: a message may then take the focus.
        QMetaObject::invokeMethod(
            this, [this, side, row, column] { cellEdited(side, row, column); }, Qt::QueuedConnection);
    });
    connect(table, &QTableWidget::cellDoubleClicked, this, [this, side, table](int row, int column) {
        if (column == AccountColumn)
            pickAccount(side, row);
        else if (table->item(row, column) && (table->item(row, column)->flags() & Qt::ItemIsEditable))
            table->editItem(table->item(row, column));
    });
    connect(table, &QTableWidget::currentCellChanged, this,
            [this, side](int row, int, int, int) { rowSelected(side, row); });
    return table;
}

QWidget *EntryWindow::makeGrid(EntrySide side)
{
    auto *box = new QWidget(this);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *title = new QLabel(side == EntrySide::Debit ? QStringLiteral("DARE") : QStringLiteral("AVERE"), box);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    QTableWidget *table = makeTable(side);
    (side == EntrySide::Debit ? m_debit : m_credit) = table;
    layout->addWidget(table);
    auto *sum = new QLabel(box);
    sum->setObjectName(side == EntrySide::Debit ? QStringLiteral("D_TOTALE_DARE") : QStringLiteral("D_TOTALE_AVERE"));
    sum->setAlignment(Qt::AlignRight);
    (side == EntrySide::Debit ? m_debitTotal : m_creditTotal) = sum;
    layout->addWidget(sum);
    return box;
}

void EntryWindow::build(const QList<QPushButton *> &buttons)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makeHeader());
    layout->addWidget(makeParties());
    auto *grids = new QHBoxLayout;
    grids->addWidget(makeGrid(EntrySide::Debit), 1);
    grids->addWidget(makeGrid(EntrySide::Credit), 1);
    layout->addLayout(grids);
    layout->addStretch(1);
    auto *bottom = new QHBoxLayout;
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("statusRiga"));
    m_status->setMinimumWidth(220);
    bottom->addWidget(m_status);
    bottom->addStretch(1);
    for (QPushButton *button : buttons)
        bottom->addWidget(button);
    layout->addLayout(bottom);
    m_causalType->setText(QStringLiteral("%1  %2").arg(
        causalTypeOf(m_mode),
        Masterdata::descriptionOfCode(m_context.db, Tables::TAB_TIPO_CAUS, causalTypeOf(m_mode))));
    // The VAT code serves the cash receipts.
    if (m_mode == EntryMode::General)
        field(QStringLiteral("COD_IVA"))->parentWidget()->setEnabled(false);
    Ui::applyFieldColours(this, Ui::readFieldColours(m_context.settings, palette()));
    resize(1240, sizeHint().height());
}

QLineEdit *EntryWindow::field(const QString &column) const
{
    return m_fields.value(column);
}

QString EntryWindow::value(const QString &column) const
{
    const QLineEdit *line = field(column);
    return line ? line->text() : QString();
}

void EntryWindow::setValue(const QString &column, const QString &text)
{
    Ui::InputField *line = m_fields.value(column);
    if (!line)
        return;
    line->setText(text);
    if (auto *number = qobject_cast<Ui::NumberField *>(line))
        number->normalise();
    if (auto *date = qobject_cast<Ui::DateField *>(line))
        date->normalise();
    line->setModified(false);
    fieldLeft(column);
}

QString EntryWindow::description(const QString &column) const
{
    const QLabel *label = m_descriptions.value(column);
    return label ? label->text() : QString();
}

QTableWidget *EntryWindow::grid(EntrySide side) const
{
    return side == EntrySide::Debit ? m_debit : m_credit;
}

QString EntryWindow::cell(EntrySide side, int row, int column) const
{
    return cellText(grid(side), row, column);
}

void EntryWindow::setCell(EntrySide side, int row, int column, const QString &text)
{
    QTableWidget *table = grid(side);
    if (row < 0 || row >= table->rowCount())
        return;
    {
        const QScopedValueRollback guard(m_filling, true);
        table->item(row, column)
            ->setText(column == AmountColumn && !text.trimmed().isEmpty()
                          ? amountText(amountOf(text, decimals()), decimals())
                          : text);
    }
    cellEdited(side, row, column);
}

bool EntryWindow::cellMarked(EntrySide side, int row, int column) const
{
    const QTableWidgetItem *item = grid(side)->item(row, column);
    return item && item->data(kFailingRole).toBool();
}

void EntryWindow::selectRow(EntrySide side, int row)
{
    grid(side)->setCurrentCell(row, AccountColumn);
    rowSelected(side, row);
}

void EntryWindow::pickAccount(EntrySide side, int row)
{
    QTableWidgetItem *item = grid(side)->item(row, AccountColumn);
    if (!item || !(item->flags() & Qt::ItemIsEditable))
        return;
    const auto chosen = Ui::showLookupList(m_context, codedList(CodedList::Accounts), this);
    if (chosen && !chosen->isEmpty())
        setCell(side, row, AccountColumn, chosen->first());
}

bool EntryWindow::perRow() const
{
    return m_toRow->isChecked();
}

void EntryWindow::setPerRow(bool perRow)
{
    (perRow ? m_toRow : m_toEntry)->setChecked(true);
}

QString EntryWindow::statusText() const
{
    return m_status->text();
}

double EntryWindow::sideTotal(EntrySide side) const
{
    double sum = 0;
    for (const EntryRow &row : rows(side))
        sum += row.amount;
    return Services::roundDec(sum, decimals());
}

QList<EntryRow> EntryWindow::rows(EntrySide side) const
{
    const QTableWidget *table = grid(side);
    QList<EntryRow> list;
    for (int row = 0; row < table->rowCount(); ++row) {
        EntryRow r;
        r.account = cellText(table, row, AccountColumn).trimmed().toUpper();
        r.description = cellText(table, row, TextColumn).trimmed();
        r.amount = amountOf(cellText(table, row, AmountColumn), decimals());
        const QString type = cellText(table, row, kTypeColumn).trimmed();
        r.accountType = type.isEmpty() ? QChar() : type.at(0);
        r.customer = cellText(table, row, kCustomerColumn).trimmed().toInt();
        r.supplier = cellText(table, row, kSupplierColumn).trimmed().toInt();
        r.costCentre = cellText(table, row, kCostCentreColumn).trimmed().toUpper();
        list << r;
    }
    return list;
}

void EntryWindow::setRow(EntrySide side, int row, const EntryRow &value, int sequence)
{
    QTableWidget *table = grid(side);
    const QScopedValueRollback guard(m_filling, true);
    const auto info = accountInfo(m_context.db, value.account);
    table->item(row, AccountColumn)->setText(value.account);
    table->item(row, AccountTextColumn)->setText(info ? info->description : QString());
    table->item(row, TextColumn)->setText(value.description);
    table->item(row, AmountColumn)
        ->setText(value.account.isEmpty() && value.amount == 0 ? QString() : amountText(value.amount, decimals()));
    table->item(row, kCustomerColumn)->setText(value.customer ? QString::number(value.customer) : QString());
    table->item(row, kSupplierColumn)->setText(value.supplier ? QString::number(value.supplier) : QString());
    table->item(row, kCostCentreColumn)->setText(value.costCentre);
    table->item(row, kRoleColumn)->setText(info ? info->role : QString());
    table->item(row, kTypeColumn)->setText(info && !info->type.isNull() ? QString(info->type) : QString());
    table->item(row, kSequenceColumn)->setText(sequence ? QString::number(sequence) : QString());
}

void EntryWindow::keepRows(EntrySide side)
{
    QTableWidget *table = grid(side);
    int last = -1;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (!rowEmpty(table, row) || !cellText(table, row, kSequenceColumn).isEmpty())
            last = row;
    }
    // A locked entry keeps its lines; else one empty row to type in.
    const int wanted = std::max(kMinimumRows, m_locked ? last + 1 : last + 2);
    {
        const QScopedValueRollback guard(m_filling, true);
        while (table->rowCount() > wanted)
            table->removeRow(table->rowCount() - 1);
    }
    addRows(side, wanted);
}

void EntryWindow::addRows(EntrySide side, int count)
{
    QTableWidget *table = grid(side);
    const QScopedValueRollback guard(m_filling, true);
    while (table->rowCount() < count) {
        const int row = table->rowCount();
        table->insertRow(row);
        for (int column = 0; column < kColumns; ++column) {
            auto *item = new QTableWidgetItem;
            if (column == AccountTextColumn || column >= kCustomerColumn || m_locked)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (column == AmountColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
}

void EntryWindow::setLines(EntrySide side, const QList<std::pair<EntryRow, int>> &lines)
{
    {
        const QScopedValueRollback guard(m_filling, true);
        grid(side)->setRowCount(0);
    }
    addRows(side, int(lines.size()));
    for (int row = 0; row < lines.size(); ++row)
        setRow(side, row, lines.at(row).first, lines.at(row).second);
    keepRows(side);
}

void EntryWindow::compactGrid(EntrySide side)
{
    QList<std::pair<EntryRow, int>> kept;
    const QList<EntryRow> all = rows(side);
    for (int row = 0; row < all.size(); ++row) {
        const int sequence = cellText(grid(side), row, kSequenceColumn).toInt();
        if (!all.at(row).isEmpty() || sequence)
            kept.append({all.at(row), sequence});
    }
    setLines(side, kept);
}

void EntryWindow::cellEdited(EntrySide side, int row, int column)
{
    QTableWidget *table = grid(side);
    if (row >= table->rowCount())
        return;
    if (column == AccountColumn) {
        accountLeft(side, row);
    } else if (column == AmountColumn) {
        const QScopedValueRollback guard(m_filling, true);
        markCell(side, row, column, false);
    }
    keepRows(side);
    updateTotals();
}

void EntryWindow::accountLeft(EntrySide side, int row)
{
    QTableWidget *table = grid(side);
    const QString code = cellText(table, row, AccountColumn).trimmed().toUpper();
    const auto info = code.isEmpty() ? std::nullopt : accountInfo(m_context.db, code);
    {
        const QScopedValueRollback guard(m_filling, true);
        table->item(row, AccountColumn)->setText(code);
        table->item(row, AccountTextColumn)->setText(info ? info->description : QString());
        table->item(row, kRoleColumn)->setText(info ? info->role : QString());
        table->item(row, kTypeColumn)->setText(info && !info->type.isNull() ? QString(info->type) : QString());
        markCell(side, row, AccountColumn, !code.isEmpty() && !info);
    }
    if (!code.isEmpty() && !info) {
        error(latin(kWrongAccount));
        table->setCurrentCell(row, AccountColumn);
        return;
    }
    resplit();
}

void EntryWindow::resplit()
{
    if (m_mode != EntryMode::CashReceipt || m_locked)
        return;
    const double total = amountOf(value(QStringLiteral("TOTALE")), decimals());
    const double rate = vatRate(m_context.db, value(QStringLiteral("COD_IVA"))).value_or(0);
    QList<EntryRow> debit = rows(EntrySide::Debit);
    QList<EntryRow> credit = rows(EntrySide::Credit);
    applyReceiptSplit(debit, credit, total, Accounting::splitReceipt(total, rate, decimals()));
    const QScopedValueRollback guard(m_filling, true);
    for (const auto &[side, list] : {std::pair{EntrySide::Debit, &debit}, std::pair{EntrySide::Credit, &credit}}) {
        for (int row = 0; row < list->size(); ++row) {
            if (!list->at(row).account.isEmpty())
                grid(side)->item(row, AmountColumn)->setText(amountText(list->at(row).amount, decimals()));
        }
    }
    updateTotals();
}

void EntryWindow::updateTotals()
{
    m_debitTotal->setText(
        QStringLiteral("Totale Dare  %1").arg(Services::formatAmount(sideTotal(EntrySide::Debit), decimals())));
    m_creditTotal->setText(
        QStringLiteral("Totale Avere  %1").arg(Services::formatAmount(sideTotal(EntrySide::Credit), decimals())));
}

void EntryWindow::rowSelected(EntrySide side, int row)
{
    if (row < 0)
        return;
    m_selectedSide = side;
    m_selectedRow = row;
    if (perRow())
        showRowParties();
    updateStatus();
}

void EntryWindow::updateStatus()
{
    if (!perRow() || m_selectedRow < 0) {
        m_status->clear();
        return;
    }
    m_status->setText(latin(kSelectedRow)
                          .arg(m_selectedRow + 1)
                          .arg(m_selectedSide == EntrySide::Debit ? QStringLiteral("Dare") : QStringLiteral("Avere")));
}

void EntryWindow::showRowParties()
{
    if (m_selectedRow < 0)
        return;
    const QTableWidget *table = grid(m_selectedSide);
    const QScopedValueRollback guard(m_filling, true);
    for (const auto &[column, cellColumn] :
         {std::pair{"CLIENTE", kCustomerColumn}, std::pair{"FORNITORE", kSupplierColumn},
          std::pair{"CCOS", kCostCentreColumn}}) {
        const QString name = latin(column);
        m_fields.value(name)->setText(cellText(table, m_selectedRow, cellColumn));
        m_fields.value(name)->setModified(false);
        markHeader(name, false);
    }
    describeParties();
}

void EntryWindow::describeParties()
{
    m_descriptions.value(QStringLiteral("CLIENTE"))
        ->setText(Masterdata::customerName(m_context, value(QStringLiteral("CLIENTE"))).trimmed());
    m_descriptions.value(QStringLiteral("FORNITORE"))
        ->setText(supplierName(m_context.db, value(QStringLiteral("FORNITORE"))));
    m_descriptions.value(QStringLiteral("CCOS"))
        ->setText(Masterdata::descriptionOfCode(m_context.db, Tables::TAB_CCOS, value(QStringLiteral("CCOS"))));
}

void EntryWindow::storeOnRow(const QString &column)
{
    if (!perRow() || m_selectedRow < 0)
        return;
    const int cellColumn = column == QLatin1String("CLIENTE")     ? kCustomerColumn
                           : column == QLatin1String("FORNITORE") ? kSupplierColumn
                                                                  : kCostCentreColumn;
    const QScopedValueRollback guard(m_filling, true);
    grid(m_selectedSide)->item(m_selectedRow, cellColumn)->setText(value(column).trimmed().toUpper());
}

void EntryWindow::fieldLeft(const QString &column)
{
    if (column == QLatin1String("CAUSALE")) {
        causalLeft();
    } else if (column == QLatin1String("TOTALE")) {
        resplit();
    } else if (column == QLatin1String("COD_IVA")) {
        codedLeft(column);
        resplit();
    } else if (column == QLatin1String("BANCA") || column == QLatin1String("CCOS")) {
        codedLeft(column);
    } else if (column == QLatin1String("CLIENTE") || column == QLatin1String("FORNITORE")) {
        partyLeft(column);
    }
}

void EntryWindow::causalLeft()
{
    const QString code = value(QStringLiteral("CAUSALE")).trimmed().toUpper();
    QLabel *label = m_descriptions.value(QStringLiteral("CAUSALE"));
    markHeader(QStringLiteral("CAUSALE"), false);
    if (code.isEmpty()) {
        label->clear();
        return;
    }
    const auto fill = causalFill(m_context.db, code, m_mode);
    if (!fill) {
        label->clear();
        markHeader(QStringLiteral("CAUSALE"), true);
        error(latin(kWrongCausal));
        field(QStringLiteral("CAUSALE"))->setFocus(Qt::OtherFocusReason);
        return;
    }
    label->setText(fill->description);
    if (value(QStringLiteral("DESCRI")).trimmed().isEmpty())
        field(QStringLiteral("DESCRI"))->setText(fill->description);
    for (const auto &[side, accounts] :
         {std::pair{EntrySide::Debit, &fill->debit}, std::pair{EntrySide::Credit, &fill->credit}}) {
        for (int row = 0; row < accounts->size(); ++row) {
            if (accounts->at(row).isEmpty())
                continue;
            {
                const QScopedValueRollback guard(m_filling, true);
                grid(side)->item(row, AccountColumn)->setText(accounts->at(row));
            }
            accountLeft(side, row);
            keepRows(side);
        }
    }
    if (m_mode == EntryMode::CashReceipt && !fill->vatCode.isEmpty()) {
        field(QStringLiteral("COD_IVA"))->setText(fill->vatCode);
        codedLeft(QStringLiteral("COD_IVA"));
    }
    resplit();
}

void EntryWindow::codedLeft(const QString &column)
{
    const QString code = value(column).trimmed().toUpper();
    QLabel *label = m_descriptions.value(column);
    markHeader(column, false);
    if (code.isEmpty()) {
        label->clear();
        if (column == QLatin1String("CCOS"))
            storeOnRow(column);
        return;
    }
    if (column == QLatin1String("COD_IVA")) {
        label->setText(Masterdata::descriptionOfCode(m_context.db, Tables::TAB_PERIVA, code));
        return;
    }
    const bool bank = column == QLatin1String("BANCA");
    const bool known =
        bank ? bankOrCashKnown(m_context.db, code) : filterValueKnown(m_context.db, FilterField::CostCentre, code);
    if (!known) {
        label->clear();
        markHeader(column, true);
        error(latin(bank ? kWrongBank : kWrongCostCentre));
        field(column)->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (bank) {
        label->setText(bankOrCashDescription(m_context.db, code));
        return;
    }
    label->setText(Masterdata::descriptionOfCode(m_context.db, Tables::TAB_CCOS, code));
    storeOnRow(column);
}

void EntryWindow::partyLeft(const QString &column)
{
    const QString code = value(column).trimmed();
    QLabel *label = m_descriptions.value(column);
    const bool customer = column == QLatin1String("CLIENTE");
    markHeader(column, false);
    if (code.isEmpty()) {
        label->clear();
        storeOnRow(column);
        return;
    }
    const QString name =
        customer ? Masterdata::customerName(m_context, code).trimmed() : supplierName(m_context.db, code);
    const bool known = code.toInt() != 99999 &&
                       filterValueKnown(m_context.db, customer ? FilterField::Customer : FilterField::Supplier, code);
    if (!known) {
        label->clear();
        markHeader(column, true);
        error(latin(customer ? kWrongCustomer : kWrongSupplier));
        field(column)->setFocus(Qt::OtherFocusReason);
        return;
    }
    label->setText(name);
    storeOnRow(column);
}

void EntryWindow::error(const QString &message)
{
    m_context.prompter.error(message, latin(kEntryformErrorTitle));
}

bool EntryWindow::confirm(const QString &question)
{
    return m_context.prompter.ask(question, windowTitle(), Prompter::Icon::Question, Prompter::Buttons::OkCancel) ==
           Prompter::Button::Ok;
}

void EntryWindow::markHeader(const QString &column, bool failing)
{
    if (QWidget *widget = m_fields.value(column))
        Ui::markFieldError(widget, failing);
}

void EntryWindow::markCell(EntrySide side, int row, int column, bool failing)
{
    QTableWidgetItem *item = grid(side)->item(row, column);
    if (!item)
        return;
    item->setData(kFailingRole, failing);
    item->setData(Qt::BackgroundRole, failing ? QVariant(kFailingBackground) : QVariant());
    item->setData(Qt::ForegroundRole, failing ? QVariant(kFailingText) : QVariant());
}

void EntryWindow::clearMarks()
{
    const QScopedValueRollback guard(m_filling, true);
    for (Ui::InputField *widget : std::as_const(m_fields))
        Ui::markFieldError(widget, false);
    for (EntrySide side : {EntrySide::Debit, EntrySide::Credit}) {
        for (int row = 0; row < grid(side)->rowCount(); ++row) {
            for (int column : {int(AccountColumn), int(TextColumn), int(AmountColumn)})
                markCell(side, row, column, false);
        }
    }
}

// A problem's column: a header field, or "DARE<n>" / "AVERE<n>" for the
// n-th row, whose cell the message names.
void EntryWindow::focusProblem(const QString &column, const QString &message)
{
    for (const auto &[prefix, side] :
         {std::pair{QStringLiteral("DARE"), EntrySide::Debit}, std::pair{QStringLiteral("AVERE"), EntrySide::Credit}}) {
        bool number = false;
        const int row = column.startsWith(prefix) ? column.mid(prefix.size()).toInt(&number) - 1 : -1;
        if (!number || row < 0)
            continue;
        const int cellColumn = message.startsWith(QLatin1String("Descrizione")) ? TextColumn
                               : message.startsWith(QLatin1String("Importo"))   ? AmountColumn
                                                                                : AccountColumn;
        if (row < grid(side)->rowCount()) {
            const QScopedValueRollback guard(m_filling, true);
            markCell(side, row, cellColumn, true);
        }
        return;
    }
    markHeader(column, true);
}

bool EntryWindow::passesChecks(ManualEntry &entry)
{
    clearMarks();
    compactGrid(EntrySide::Debit);
    compactGrid(EntrySide::Credit);
    entry = typed();
    const QList<Services::FieldProblem> problems = entryProblems(m_context.db, entry);
    for (const Services::FieldProblem &problem : problems)
        focusProblem(problem.column, problem.message);
    if (!problems.isEmpty()) {
        // The last check that failed speaks, and its field takes the cursor.
        const Services::FieldProblem &speaker = problems.last();
        error(speaker.message);
        if (QWidget *widget = m_fields.value(speaker.column)) {
            widget->setFocus(Qt::OtherFocusReason);
        } else {
            const EntrySide side =
                speaker.column.startsWith(QLatin1String("DARE")) ? EntrySide::Debit : EntrySide::Credit;
            const int row = speaker.column.mid(side == EntrySide::Debit ? 4 : 5).toInt() - 1;
            grid(side)->setFocus(Qt::OtherFocusReason);
            grid(side)->setCurrentCell(row, AccountColumn);
        }
        return false;
    }
    double debit = 0;
    double credit = 0;
    for (const EntryRow &row : entry.debit)
        debit += row.amount;
    for (const EntryRow &row : entry.credit)
        credit += row.amount;
    if (const auto unbalanced = balanceProblem(entry.total, debit, credit, entry.decimals)) {
        error(*unbalanced);
        return false;
    }
    return true;
}

bool EntryWindow::passesLineChecks()
{
    clearMarks();
    QList<std::tuple<EntrySide, int, int, QString>> problems;
    for (EntrySide side : {EntrySide::Debit, EntrySide::Credit}) {
        const QTableWidget *table = grid(side);
        for (int row = 0; row < table->rowCount(); ++row) {
            if (cellText(table, row, kSequenceColumn).isEmpty())
                continue;
            const QString account = cellText(table, row, AccountColumn).trimmed();
            if (account.isEmpty())
                problems.append({side, row, int(AccountColumn), latin(kNoAccount)});
            else if (!accountInfo(m_context.db, account))
                problems.append({side, row, int(AccountColumn), latin(kWrongAccount)});
            const QString centre = cellText(table, row, kCostCentreColumn).trimmed();
            if (perRow() && !centre.isEmpty() && !filterValueKnown(m_context.db, FilterField::CostCentre, centre))
                problems.append({side, row, int(AccountColumn), latin(kWrongCostCentre)});
        }
    }
    const QString centre = value(QStringLiteral("CCOS")).trimmed();
    const bool centreWrong =
        !perRow() && !centre.isEmpty() && !filterValueKnown(m_context.db, FilterField::CostCentre, centre);
    for (const auto &[side, row, column, message] : problems) {
        const QScopedValueRollback guard(m_filling, true);
        markCell(side, row, column, true);
    }
    if (centreWrong) {
        markHeader(QStringLiteral("CCOS"), true);
        error(latin(kWrongCostCentre));
        return false;
    }
    if (!problems.isEmpty()) {
        error(std::get<3>(problems.last()));
        return false;
    }
    return true;
}

ManualEntry EntryWindow::typed() const
{
    ManualEntry entry;
    entry.mode = m_mode;
    entry.year = value(QStringLiteral("ANNO")).trimmed();
    entry.movementDate = Services::parseItalianDate(value(QStringLiteral("DATA_INT")));
    entry.causal = value(QStringLiteral("CAUSALE")).trimmed().toUpper();
    entry.description = value(QStringLiteral("DESCRI")).trimmed();
    entry.decimals = decimals();
    entry.total = amountOf(value(QStringLiteral("TOTALE")), entry.decimals);
    entry.registrationDate = Services::parseItalianDate(value(QStringLiteral("DATA_REG")));
    entry.vatCode = value(QStringLiteral("COD_IVA")).trimmed().toUpper();
    entry.bank = value(QStringLiteral("BANCA")).trimmed().toUpper();
    entry.perRow = perRow();
    // Applied to the rows, the header fields only show the selected row's.
    if (!entry.perRow) {
        entry.customer = value(QStringLiteral("CLIENTE")).trimmed().toInt();
        entry.supplier = value(QStringLiteral("FORNITORE")).trimmed().toInt();
        entry.costCentre = value(QStringLiteral("CCOS")).trimmed().toUpper();
    }
    entry.debit = rows(EntrySide::Debit);
    entry.credit = rows(EntrySide::Credit);
    return entry;
}

EntryChange EntryWindow::change() const
{
    EntryChange change;
    change.registrationDate = Services::parseItalianDate(value(QStringLiteral("DATA_REG")));
    change.description = value(QStringLiteral("DESCRI")).trimmed();
    for (EntrySide side : {EntrySide::Debit, EntrySide::Credit}) {
        const QTableWidget *table = grid(side);
        for (int row = 0; row < table->rowCount(); ++row) {
            const int sequence = cellText(table, row, kSequenceColumn).toInt();
            if (!sequence)
                continue;
            LineChange line;
            line.sequence = sequence;
            line.account = cellText(table, row, AccountColumn).trimmed().toUpper();
            line.description = cellText(table, row, TextColumn).trimmed();
            line.costCentre = perRow() ? cellText(table, row, kCostCentreColumn).trimmed().toUpper()
                                       : value(QStringLiteral("CCOS")).trimmed().toUpper();
            change.lines << line;
        }
    }
    return change;
}

QString EntryWindow::snapshot() const
{
    QStringList parts;
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
        parts << it.key() + QLatin1Char('=') + it.value()->text().trimmed();
    parts.sort();
    parts << (perRow() ? QStringLiteral("riga") : QStringLiteral("movimento"));
    for (EntrySide side : {EntrySide::Debit, EntrySide::Credit}) {
        const QTableWidget *table = grid(side);
        for (int row = 0; row < table->rowCount(); ++row) {
            if (rowEmpty(table, row))
                continue;
            QStringList cells;
            for (int column = 0; column < kColumns; ++column)
                cells << cellText(table, row, column).trimmed();
            parts << cells.join(QLatin1Char('|'));
        }
    }
    return parts.join(QLatin1Char('\n'));
}

void EntryWindow::markShown()
{
    m_shown = snapshot();
}

bool EntryWindow::hasChanges() const
{
    return snapshot() != m_shown;
}

void EntryWindow::clearEntry()
{
    {
        const QScopedValueRollback guard(m_filling, true);
        for (Ui::InputField *line : std::as_const(m_fields)) {
            line->clear();
            line->setModified(false);
        }
        for (QLabel *label : std::as_const(m_descriptions))
            label->clear();
        m_toEntry->setChecked(true);
        m_debit->setRowCount(0);
        m_credit->setRowCount(0);
    }
    m_selectedRow = -1;
    const QString year = m_context.state.year;
    field(QStringLiteral("ANNO"))->setText(year);
    const QDate today = QDate::currentDate();
    static_cast<Ui::DateField *>(m_fields.value(QStringLiteral("DATA_INT")))->setDate(today);
    static_cast<Ui::DateField *>(m_fields.value(QStringLiteral("DATA_REG")))
        ->setDate(proposedRegistrationDate(year, today));
    static_cast<Ui::NumberField *>(m_fields.value(QStringLiteral("TOTALE")))->setDecimals(decimals());
    keepRows(EntrySide::Debit);
    keepRows(EntrySide::Credit);
    clearMarks();
    updateTotals();
    updateStatus();
    markShown();
}

void EntryWindow::showEntry(const LoadedEntry &loaded)
{
    const Services::Row &first = loaded.lines.first();
    {
        const QScopedValueRollback guard(m_filling, true);
        m_debit->setRowCount(0);
        m_credit->setRowCount(0);
    }
    field(QStringLiteral("ANNO"))->setText(loaded.year);
    static_cast<Ui::NumberField *>(m_fields.value(QStringLiteral("TOTALE")))->setDecimals(decimals());
    field(QStringLiteral("NRO_INT"))->setText(QString::number(loaded.number));
    static_cast<Ui::DateField *>(m_fields.value(QStringLiteral("DATA_INT")))
        ->setDate(first.date(QStringLiteral("DATA_INT")));
    static_cast<Ui::DateField *>(m_fields.value(QStringLiteral("DATA_REG")))
        ->setDate(first.date(QStringLiteral("DATA_REG")));
    field(QStringLiteral("NRO_REG"))->setText(loaded.registration ? QString::number(loaded.registration) : QString());
    field(QStringLiteral("CAUSALE"))->setText(first.text(QStringLiteral("CAUSALE")).trimmed());
    m_descriptions.value(QStringLiteral("CAUSALE"))
        ->setText(causalDescription(m_context.db, first.text(QStringLiteral("CAUSALE"))));
    field(QStringLiteral("DESCRI"))->setText(first.text(QStringLiteral("DESCRI")).trimmed());
    field(QStringLiteral("TOTALE"))->setText(amountText(first.number(QStringLiteral("TOTALE")), decimals()));
    field(QStringLiteral("NRO_DOC"))->setText(first.text(QStringLiteral("NRO_DOC")).trimmed());
    static_cast<Ui::DateField *>(m_fields.value(QStringLiteral("DATA_DOC")))
        ->setDate(first.date(QStringLiteral("DATA_DOC")));
    if (m_mode == EntryMode::CashReceipt) {
        field(QStringLiteral("COD_IVA"))->setText(first.text(QStringLiteral("ASSEGNO")).trimmed());
        codedLeft(QStringLiteral("COD_IVA"));
    }
    QString bank;
    for (const Services::Row &line : loaded.lines)
        bank = bank.isEmpty() ? line.text(QStringLiteral("BAN_CAS")).trimmed() : bank;
    field(QStringLiteral("BANCA"))->setText(bank);
    m_descriptions.value(QStringLiteral("BANCA"))
        ->setText(bank.isEmpty() ? QString() : bankOrCashDescription(m_context.db, bank));
    m_causalType->setText(QStringLiteral("%1  %2").arg(
        loaded.causalType.trimmed(),
        Masterdata::descriptionOfCode(m_context.db, Tables::TAB_TIPO_CAUS, loaded.causalType.trimmed())));

    // One customer, supplier and cost centre on every line: the entry's.
    bool shared = true;
    for (const Services::Row &line : loaded.lines) {
        for (const char *column : {"CLIENTE", "FORNITORE", "CCOS"})
            shared = shared && line.text(latin(column)).trimmed() == first.text(latin(column)).trimmed();
    }
    {
        const QScopedValueRollback guard(m_filling, true);
        setPerRow(!shared);
    }
    QList<std::pair<EntryRow, int>> debit;
    QList<std::pair<EntryRow, int>> credit;
    for (const Services::Row &line : loaded.lines) {
        EntryRow row;
        row.account = line.text(QStringLiteral("CONTO")).trimmed();
        row.description = line.text(QStringLiteral("DESCRI_GIORN")).trimmed();
        row.amount = line.number(QStringLiteral("IMPORTO"));
        row.customer = line.integer(QStringLiteral("CLIENTE"));
        row.supplier = line.integer(QStringLiteral("FORNITORE"));
        row.costCentre = line.text(QStringLiteral("CCOS")).trimmed();
        const bool isDebit = line.text(QStringLiteral("SEGNO")).trimmed() == QLatin1String("D");
        (isDebit ? debit : credit).append({row, line.integer(QStringLiteral("SEQUENZA"))});
    }
    setLines(EntrySide::Debit, debit);
    setLines(EntrySide::Credit, credit);
    const auto header = [this, &first](const char *column) {
        const QString text = first.text(latin(column)).trimmed();
        field(latin(column))->setText(text == QLatin1String("0") ? QString() : text);
    };
    header("CLIENTE");
    header("FORNITORE");
    header("CCOS");
    describeParties();
    m_printed->setVisible(loaded.printed);
    m_selectedRow = -1;
    clearMarks();
    updateTotals();
    updateStatus();
    markShown();
}

void EntryWindow::lockGenerated()
{
    m_locked = true;
    for (const char *column :
         {"CAUSALE", "TOTALE", "DATA_REG", "DATA_INT", "COD_IVA", "BANCA", "CLIENTE", "FORNITORE"}) {
        Ui::InputField *line = m_fields.value(latin(column));
        line->setReadOnly(true);
        line->setFocusPolicy(Qt::NoFocus);
    }
    const QScopedValueRollback guard(m_filling, true);
    for (QTableWidget *table : {m_debit, m_credit}) {
        for (int row = 0; row < table->rowCount(); ++row) {
            const bool line = !cellText(table, row, kSequenceColumn).isEmpty();
            for (int column = 0; column < kColumns; ++column) {
                QTableWidgetItem *item = table->item(row, column);
                Qt::ItemFlags flags = item->flags();
                const bool editable = line && (column == AccountColumn || column == TextColumn);
                item->setFlags(editable ? flags | Qt::ItemIsEditable : flags & ~Qt::ItemIsEditable);
            }
        }
    }
    markShown();
}

bool EntryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_debit || watched == m_credit) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_F4) {
        auto *table = static_cast<QTableWidget *>(watched);
        if (table->currentColumn() == AccountColumn) {
            pickAccount(table == m_debit ? EntrySide::Debit : EntrySide::Credit, table->currentRow());
            return true;
        }
    }
    auto *line = qobject_cast<QLineEdit *>(watched);
    if (line && line->isModified() && Ui::leavesField(event, {m_exit})) {
        line->setModified(false);
        fieldLeft(m_fields.key(static_cast<Ui::InputField *>(line)));
    }
    return QDialog::eventFilter(watched, event);
}

bool EntryWindow::mayDropInput()
{
    return !hasChanges() || m_context.prompter.ask(latin(kLeaveQuestion), windowTitle(), Prompter::Icon::Question,
                                                   Prompter::Buttons::YesNo) == Prompter::Button::Yes;
}

void EntryWindow::reject()
{
    if (mayDropInput())
        QDialog::reject();
}

} // namespace Orlavo::Accounting
