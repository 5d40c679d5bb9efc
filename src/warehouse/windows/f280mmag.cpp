#include "warehouse/windows/f280mmag.h"

#include "masterdata/masterdata.h"
#include "masterdata/rules/itemprices.h"
#include "services/core/concurrency.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"
#include "warehouse/stores/movementstore.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Warehouse {

using Services::Prompter;
using Services::Row;
using Services::WriteEnd;
namespace Tables = Services::Tables;

namespace {

constexpr char kInsertTitle[] = "Inserimento Moviemnti di magazzino";
constexpr char kModifyTitle[] = "Variazione Moviemnti di magazzino";
constexpr char kErrorTitle[] = "Errore";
constexpr char kConfirmInsert[] = "Confermi inserimento ?";
constexpr char kConfirmUpdate[] = "Confermi aggiornamenti ?";
constexpr char kAssigned[] = "Assegnato codice ";
constexpr char kDeleteQuestion[] = "Confermi eliminazione movimento?";
constexpr char kDeleteWarning[] = "Attenzione, stò per eliminare il movimento, confermi ? ";
constexpr char kLeaveQuestion[] = "Rinuncia operazioni su dati correnti ?";

// The three options, by their CONT.INI keys, and their captions.
constexpr std::pair<const char *, const char *> kOptions[] = {
    {"AGGIORNAARTICOLO", "Aggiorna prezzo di listino dell'articolo"},
    {"AGGIORNAPREZZOACQ", "Aggiorna prezzo d'acquisto dell'articolo"},
    {"AGGIORNAARTICOLO2", "Aggiorna prezzo 2 dell'articolo"},
};

// The fields whose change moves the net price and the total.
const QStringList kValueFields{QStringLiteral("QUANTITA"), QStringLiteral("PREZZO"), QStringLiteral("SCONTO1"),
                               QStringLiteral("SCONTO2"), QStringLiteral("SCONTO3")};

const QStringList kHistoryHeadings{QStringLiteral("N. reg."), QStringLiteral("Data"),      QStringLiteral("Caus."),
                                   QStringLiteral("U.M."),    QStringLiteral("Quantità"),  QStringLiteral("Nominativo"),
                                   QStringLiteral("N. doc."), QStringLiteral("Data doc."), QStringLiteral("Prezzo"),
                                   QStringLiteral("Sc.1"),    QStringLiteral("Sc.2"),      QStringLiteral("Sc.3"),
                                   QStringLiteral("Netto"),   QStringLiteral("Totale")};

QString utf(const char *text)
{
    return QString::fromUtf8(text);
}

QString plain(double value, int decimals)
{
    return value == 0 ? QString() : Services::formatPlain(value, decimals);
}

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

Ui::LookupRequest codeList(const QString &table, const QString &title)
{
    Ui::LookupRequest request;
    request.table = table;
    request.title = title;
    request.columns = {{QStringLiteral("CODICE"), QStringLiteral("06C"), QStringLiteral("Codice")},
                       {QStringLiteral("DESCRIZIONE"), QStringLiteral("30B"), QStringLiteral("Descrizione")}};
    return request;
}

} // namespace

F280MMag::F280MMag(Ui::AppContext &context, Mode mode, const QString &year, int number, QWidget *parent)
    : QDialog(parent), m_context(context), m_mode(mode), m_settings(readMovementSettings(context.settings)),
      m_stored(movementTable())
{
    setObjectName(QStringLiteral("f280mmag"));
    setWindowTitle(utf(mode == Mode::Insert ? kInsertTitle : kModifyTitle));
    build();
    if (mode == Mode::Insert) {
        clear();
        return;
    }
    const auto stored = readMovement(context.db, year, number);
    m_loaded = stored && stored->has_value();
    if (m_loaded)
        show(**stored);
}

Ui::InputField *F280MMag::addField(const QString &column, Ui::InputField *field, int width, bool typed)
{
    field->setObjectName((typed ? QStringLiteral("T_") : QStringLiteral("D_")) + column);
    field->setFixedWidth(width);
    field->setReadOnly(!typed);
    if (typed) {
        field->installEventFilter(this);
        field->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    } else {
        field->setFocusPolicy(Qt::NoFocus);
    }
    m_fields.insert(column, field);
    return field;
}

QWidget *F280MMag::withDescription(const QString &column, Ui::InputField *field, int width)
{
    auto *holder = new QWidget(this);
    auto *row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field);
    auto *label = new QLabel(holder);
    label->setObjectName(QStringLiteral("D_DESC_") + column);
    label->setMinimumWidth(width);
    m_descriptions.insert(column, label);
    row->addWidget(label, 1);
    if (auto *code = qobject_cast<Ui::CodeField *>(field))
        Ui::leaveOnPick(code, this, [this, column] { fieldLeft(column); });
    return holder;
}

QWidget *F280MMag::makeFields()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto put = [grid](int row, int col, const QString &caption, QWidget *field, int span = 1) {
        return Ui::addLabelled(grid, row, col, caption, field, span);
    };
    const auto coded = [this](const QString &column, int length, int width, std::function<Ui::LookupRequest()> list) {
        auto *code = new Ui::CodeField(length, this);
        addField(column, code, width);
        Ui::attachLookup(code, m_context, std::move(list));
        return code;
    };
    const auto figure = [this](const QString &column, int decimals, int width = 90) {
        auto *number = new Ui::NumberField(decimals, false, this);
        number->setAlignment(Qt::AlignRight);
        return addField(column, number, width);
    };
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;

    put(0, 0, QStringLiteral("Anno"), addField(QStringLiteral("ANNO"), new Ui::CodeField(4, this), 60, false));
    put(0, 2, QStringLiteral("N. reg."),
        addField(QStringLiteral("NRO_REG"), new Ui::NumberField(0, true, this), 80, false));
    put(0, 4, QStringLiteral("Data reg."), addField(QStringLiteral("DATA_REG"), new Ui::DateField(this), dateWidth));
    put(0, 6, QStringLiteral("Magazzino"),
        withDescription(QStringLiteral("MAGAZZINO"),
                        coded(QStringLiteral("MAGAZZINO"), 2, 40,
                              [] { return codeList(Tables::TAB_MAGAZZINI, QStringLiteral("Lista MAGAZZINI")); }),
                        150));

    put(1, 0, QStringLiteral("Cod. barre"), addField(QStringLiteral("COD_BARRE"), new Ui::CodeField(30, this), 150), 3);
    put(1, 4, QStringLiteral("Marca"),
        withDescription(QStringLiteral("MARCA"),
                        coded(QStringLiteral("MARCA"), 3, 50,
                              [] { return codeList(Tables::TAB_MARCHE, QStringLiteral("Lista MARCHE")); }),
                        120));
    put(1, 6, QStringLiteral("Articolo"),
        withDescription(
            QStringLiteral("ARTICOLO"),
            coded(QStringLiteral("ARTICOLO"), 30, 150,
                  [this] {
                      Ui::LookupRequest request;
                      request.table = Tables::ARTICOLI;
                      request.title = QStringLiteral("Lista ARTICOLI");
                      request.columns = {
                          {QStringLiteral("ARTICOLO"), QStringLiteral("15C"), QStringLiteral("Articolo")},
                          {QStringLiteral("MARCA"), QStringLiteral("05B"), QStringLiteral("Marca")},
                          {QStringLiteral("DESC_ART"), QStringLiteral("30C"), QStringLiteral("Descrizione")},
                          {QStringLiteral("ESISTENZA"), QStringLiteral("10N3"), QStringLiteral("Esistenza")}};
                      request.condition = QStringLiteral("MAGAZZINO = ?");
                      request.conditionParams = {value(QStringLiteral("MAGAZZINO"))};
                      return request;
                  }),
            220));
    m_newItem = new QPushButton(QStringLiteral("Nuovo articolo"), this);
    m_newItem->setObjectName(QStringLiteral("nuovoArticolo"));
    m_newItem->setAutoDefault(false);
    connect(m_newItem, &QPushButton::clicked, this, &F280MMag::codeNewItem);
    grid->addWidget(m_newItem, 1, 8);

    put(2, 0, QStringLiteral("Causale"),
        withDescription(QStringLiteral("CAUSALE"),
                        coded(QStringLiteral("CAUSALE"), 3, 50,
                              [] { return codeList(Tables::TAB_CAU_MAG, QStringLiteral("Lista CAUSALI MAGAZZINO")); }),
                        170),
        3);
    put(2, 4, QStringLiteral("Unità mis."),
        withDescription(QStringLiteral("UNITA_MIS"),
                        coded(QStringLiteral("UNITA_MIS"), 2, 40,
                              [] { return codeList(Tables::TAB_UNTMIS, QStringLiteral("Lista UNITA' DI MISURA")); }),
                        120));
    put(2, 6, QStringLiteral("Quantità"), figure(QStringLiteral("QUANTITA"), 3, 110));

    put(3, 0, QStringLiteral("Fornitore"),
        withDescription(QStringLiteral("FORNITORE"),
                        coded(QStringLiteral("FORNITORE"), 5, 60, [] { return Masterdata::supplierList(); }), 200),
        3);
    put(3, 4, QStringLiteral("Cliente"),
        withDescription(QStringLiteral("CLIENTE"),
                        coded(QStringLiteral("CLIENTE"), 5, 60, [] { return Masterdata::customerList(); }), 200),
        3);

    put(4, 0, QStringLiteral("N. doc."), addField(QStringLiteral("NRO_DOC_DDT"), new Ui::TextField(20, this), 120));
    put(4, 2, QStringLiteral("Data doc."),
        addField(QStringLiteral("DATA_DOC_DDT"), new Ui::DateField(this), dateWidth));
    auto *link = new QWidget(this);
    auto *linkRow = new QHBoxLayout(link);
    linkRow->setContentsMargins(0, 0, 0, 0);
    linkRow->addWidget(addField(QStringLiteral("COLLEG"), new Ui::TextField(30, this), 200));
    m_vehicles = new QPushButton(QStringLiteral("Lista VEICOLI"), this);
    m_vehicles->setObjectName(QStringLiteral("listaVeicoli"));
    m_vehicles->setAutoDefault(false);
    // The vehicle register comes with its own window; until then the list
    // has nothing to show.
    m_vehicles->setVisible(m_settings.vehicleLink);
    m_vehicles->setEnabled(false);
    m_vehicles->setToolTip(QStringLiteral("Registro veicoli non ancora disponibile"));
    linkRow->addWidget(m_vehicles);
    linkRow->addStretch(1);
    m_linkLabel = put(4, 4, m_settings.linkCaption, link, 3);

    put(5, 0, QStringLiteral("Prezzo"), figure(QStringLiteral("PREZZO"), 2, 110));
    put(5, 2, QStringLiteral("Prezzo 2"), figure(QStringLiteral("PREZZO2"), m_settings.secondDecimals, 110));
    auto *discounts = new QWidget(this);
    auto *discountRow = new QHBoxLayout(discounts);
    discountRow->setContentsMargins(0, 0, 0, 0);
    for (const char *column : {"SCONTO1", "SCONTO2", "SCONTO3"})
        discountRow->addWidget(figure(QString::fromLatin1(column), 2, 60));
    discountRow->addStretch(1);
    put(5, 4, QStringLiteral("Sconti %"), discounts);
    auto *net = new Ui::NumberField(5, false, this);
    put(5, 6, QStringLiteral("Prezzo netto"), addField(QStringLiteral("PR_SCONTATO"), net, 110, false));
    auto *total = new Ui::NumberField(2, false, this);
    put(6, 6, QStringLiteral("Totale"), addField(QStringLiteral("TOTALE"), total, 110, false));
    net->setAlignment(Qt::AlignRight);
    total->setAlignment(Qt::AlignRight);

    put(6, 0, QStringLiteral("Note"), addField(QStringLiteral("NOTE1"), new Ui::TextField(255, this), 420), 5);
    field(QStringLiteral("NOTE1"))->setMaximumWidth(QWIDGETSIZE_MAX);
    field(QStringLiteral("NOTE1"))->setMinimumWidth(420);
    put(7, 0, QStringLiteral("Libero 1"), addField(QStringLiteral("LIBERO1"), new Ui::TextField(60, this), 250), 3);
    put(7, 4, QStringLiteral("Libero 2"), addField(QStringLiteral("LIBERO2"), new Ui::TextField(60, this), 250), 3);
    m_document = new QLabel(this);
    m_document->setObjectName(QStringLiteral("documento"));
    grid->addWidget(m_document, 8, 0, 1, 8);
    grid->setColumnStretch(9, 1);
    return box;
}

QWidget *F280MMag::makeSide()
{
    auto *side = new QWidget(this);
    auto *row = new QHBoxLayout(side);
    row->setContentsMargins(0, 0, 0, 0);
    auto *options = new QGroupBox(QStringLiteral("Opzioni"), side);
    auto *optionRows = new QVBoxLayout(options);
    const bool presets[] = {m_settings.updateItem, m_settings.updatePurchase, m_settings.updateItem2};
    int i = 0;
    for (const auto &[key, caption] : kOptions) {
        auto *box = new QCheckBox(utf(caption), options);
        box->setObjectName(QString::fromLatin1(key));
        box->setChecked(presets[i++]);
        connect(box, &QCheckBox::toggled, this, &F280MMag::optionToggled);
        m_options.insert(QString::fromLatin1(key), box);
        optionRows->addWidget(box);
    }
    row->addWidget(options);

    // The item's list price, its VAT-inclusive twin and markup, typed here
    // to change the item with the movement.
    auto *section = new QGroupBox(QStringLiteral("Listino articolo"), side);
    auto *sectionGrid = new QGridLayout(section);
    int column = 0;
    for (const auto &[name, caption] :
         {std::pair{"PREZZO_LIST", "Prezzo listino"}, std::pair{"PREZZO_IVA_INC", "Prezzo IVA inclusa"},
          std::pair{"PERC_RIC", "% ricarico"}}) {
        auto *number = new Ui::NumberField(2, false, section);
        number->setAlignment(Qt::AlignRight);
        sectionGrid->addWidget(new QLabel(utf(caption), section), 0, column);
        sectionGrid->addWidget(addField(QString::fromLatin1(name), number, 110), 1, column++);
    }
    auto *onHand = new QLabel(section);
    onHand->setObjectName(QStringLiteral("esistenza"));
    m_descriptions.insert(QStringLiteral("ESISTENZA"), onHand);
    sectionGrid->addWidget(new QLabel(QStringLiteral("Esistenza"), section), 0, column);
    sectionGrid->addWidget(onHand, 1, column);
    row->addWidget(section, 1);
    return side;
}

QWidget *F280MMag::makeHistory()
{
    m_history = new QTableWidget(0, int(kHistoryHeadings.size()), this);
    m_history->setObjectName(QStringLiteral("storico"));
    m_history->setHorizontalHeaderLabels(kHistoryHeadings);
    m_history->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_history->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_history->verticalHeader()->hide();
    m_history->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_history->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Stretch);
    m_history->setMinimumHeight(fontMetrics().height() * 8);
    auto *box = new QGroupBox(QStringLiteral("Movimenti dell'articolo"), this);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_history);
    return box;
}

void F280MMag::build()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makeFields());
    layout->addWidget(makeSide());
    layout->addWidget(makeHistory(), 1);
    auto *buttons = new QHBoxLayout;
    const auto button = [this, buttons](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    buttons->addStretch(1);
    m_save = button(QStringLiteral("&Conferma"), "conferma");
    m_delete = button(QStringLiteral("&Elimina"), "elimina");
    m_exit = button(QStringLiteral("E&sci"), "esci");
    m_delete->setVisible(m_mode == Mode::Modify);
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { remove(); });
    connect(m_exit, &QPushButton::clicked, this, &F280MMag::reject);
    layout->addLayout(buttons);
    resize(1180, 660);
}

Ui::InputField *F280MMag::field(const QString &column) const
{
    return m_fields.value(column);
}

QString F280MMag::value(const QString &column) const
{
    const Ui::InputField *f = field(column);
    return f ? f->text().trimmed() : QString();
}

void F280MMag::setValue(const QString &column, const QString &text)
{
    Ui::InputField *f = field(column);
    if (!f)
        return;
    f->setText(text);
    fieldLeft(column);
}

QString F280MMag::description(const QString &column) const
{
    const QLabel *label = m_descriptions.value(column);
    return label ? label->text() : QString();
}

QString F280MMag::linkCaption() const
{
    return m_linkLabel->text();
}

QCheckBox *F280MMag::option(const QString &key) const
{
    return m_options.value(key);
}

int F280MMag::year() const
{
    return value(QStringLiteral("ANNO")).toInt();
}

int F280MMag::priceDecimals() const
{
    return movementPriceDecimals(year(), 2);
}

double F280MMag::number(const QString &column) const
{
    return Services::sqlNumber(value(column), 5).toDouble();
}

void F280MMag::setNumber(const QString &column, double value, int decimals)
{
    auto *f = static_cast<Ui::NumberField *>(field(column));
    f->setDecimals(decimals);
    f->setText(plain(value, decimals));
}

void F280MMag::clear()
{
    for (Ui::InputField *f : std::as_const(m_fields))
        f->clear();
    for (QLabel *label : std::as_const(m_descriptions))
        label->clear();
    Ui::clearFieldErrors(this);
    m_item.reset();
    m_sectionEdited = false;
    m_stored = Row(movementTable());
    const QString working = m_context.state.year;
    field(QStringLiteral("ANNO"))->setText(working);
    // Today, or the year's last day once the working year is past.
    const QDate today = QDate::currentDate();
    const int y = working.toInt();
    const QDate date = y == today.year() ? today : y < today.year() ? QDate(y, 12, 31) : QDate(y, 1, 1);
    field(QStringLiteral("DATA_REG"))->setText(dateText(date));
    field(QStringLiteral("MAGAZZINO"))->setText(m_context.state.warehouse);
    describe(QStringLiteral("MAGAZZINO"));
    static_cast<Ui::NumberField *>(field(QStringLiteral("PREZZO")))->setDecimals(priceDecimals());
    m_document->clear();
    m_history->setRowCount(0);
    markShown();
}

void F280MMag::show(const Row &movement)
{
    m_stored = movement;
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        const QString &column = it.key();
        if (!movementTable().column(column))
            continue;
        const QVariant v = movement.value(column);
        QString text;
        if (v.metaType().id() == QMetaType::QDate)
            text = dateText(v.toDate());
        else if (v.metaType().id() == QMetaType::Double)
            text =
                plain(v.toDouble(), column == QLatin1String("QUANTITA")      ? 3
                                    : column == QLatin1String("PREZZO")      ? movement.integer(QStringLiteral("NDEC"))
                                    : column == QLatin1String("PR_SCONTATO") ? movement.integer(QStringLiteral("NDEC"))
                                                                             : 2);
        else if (column == QLatin1String("CLIENTE") || column == QLatin1String("FORNITORE") ||
                 column == QLatin1String("NRO_REG"))
            text = v.toInt() == 0 ? QString() : QString::number(v.toInt());
        else
            text = v.toString();
        if (auto *number = qobject_cast<Ui::NumberField *>(it.value()); number && column == QLatin1String("PREZZO"))
            number->setDecimals(movement.integer(QStringLiteral("NDEC")));
        it.value()->setText(text);
    }
    for (const char *column : {"MAGAZZINO", "MARCA", "CAUSALE", "UNITA_MIS", "FORNITORE", "CLIENTE"})
        describe(QString::fromLatin1(column));
    const auto card = findItem(m_context.db, value(QStringLiteral("MAGAZZINO")), value(QStringLiteral("MARCA")),
                               value(QStringLiteral("ARTICOLO")));
    showItem(card ? *card : std::nullopt);
    if (owned(movement)) {
        const int invoice = movement.integer(QStringLiteral("NRO_INT_FATT"));
        m_document->setText(invoice != 0 ? QStringLiteral("Movimento della fattura n. %1 del %2")
                                               .arg(movement.integer(QStringLiteral("NRO_DOC")))
                                               .arg(dateText(movement.date(QStringLiteral("DATA_DOC"))))
                                         : QStringLiteral("Movimento del D.d.T. n. %1 del %2")
                                               .arg(movement.text(QStringLiteral("NRO_DOC_DDT")),
                                                    dateText(movement.date(QStringLiteral("DATA_DOC_DDT")))));
    }
    markShown();
}

void F280MMag::markShown()
{
    QStringList texts;
    for (const Ui::InputField *f : std::as_const(m_fields))
        texts << f->objectName() + QLatin1Char('=') + f->text();
    texts.sort();
    m_shown = texts.join(QLatin1Char('\n'));
}

bool F280MMag::hasChanges() const
{
    QStringList texts;
    for (const Ui::InputField *f : std::as_const(m_fields))
        texts << f->objectName() + QLatin1Char('=') + f->text();
    texts.sort();
    return texts.join(QLatin1Char('\n')) != m_shown;
}

void F280MMag::describe(const QString &column)
{
    QLabel *label = m_descriptions.value(column);
    if (!label)
        return;
    const QString code = value(column);
    QString text;
    if (code.isEmpty()) {
    } else if (column == QLatin1String("CLIENTE")) {
        text = Masterdata::customerName(m_context, code);
    } else if (column == QLatin1String("FORNITORE")) {
        text = Masterdata::supplierName(m_context, code);
    } else {
        const QString table = column == QLatin1String("MAGAZZINO") ? Tables::TAB_MAGAZZINI
                              : column == QLatin1String("MARCA")   ? Tables::TAB_MARCHE
                              : column == QLatin1String("CAUSALE") ? Tables::TAB_CAU_MAG
                                                                   : Tables::TAB_UNTMIS;
        const auto rows = m_context.db.openRecordset(
            QStringLiteral("SELECT DESCRIZIONE FROM %1 WHERE UPPER(CODICE) = UPPER(?)").arg(table), {code},
            Services::databaseOf(table));
        if (rows && !rows->isEmpty())
            text = rows->first().text(QStringLiteral("DESCRIZIONE"));
    }
    label->setText(text);
}

void F280MMag::fieldLeft(const QString &column)
{
    if (column == QLatin1String("COD_BARRE")) {
        itemLeft(true);
    } else if (column == QLatin1String("MARCA") || column == QLatin1String("ARTICOLO") ||
               column == QLatin1String("MAGAZZINO")) {
        describe(column);
        itemLeft(false);
    } else if (column == QLatin1String("CAUSALE") || column == QLatin1String("FORNITORE") ||
               column == QLatin1String("CLIENTE")) {
        describe(column);
        propose();
    } else if (column == QLatin1String("UNITA_MIS")) {
        describe(column);
    } else if (column == QLatin1String("PREZZO")) {
        // The price keeps the decimals typed.
        auto *price = static_cast<Ui::NumberField *>(field(column));
        price->setDecimals(Masterdata::typedDecimals(price->text(), priceDecimals()));
        price->normalise();
        revalue();
    } else if (kValueFields.contains(column)) {
        static_cast<Ui::NumberField *>(field(column))->normalise();
        revalue();
    } else if (column == QLatin1String("PREZZO_LIST") || column == QLatin1String("PREZZO_IVA_INC") ||
               column == QLatin1String("PERC_RIC")) {
        sectionLeft(column);
    }
}

void F280MMag::itemLeft(bool byBarcode)
{
    const QString warehouse = value(QStringLiteral("MAGAZZINO"));
    Services::Outcome<std::optional<ItemCard>> card = std::optional<ItemCard>();
    if (byBarcode) {
        if (value(QStringLiteral("COD_BARRE")).isEmpty())
            return;
        card = findItemByBarcode(m_context.db, warehouse, value(QStringLiteral("COD_BARRE")));
    } else if (!value(QStringLiteral("ARTICOLO")).isEmpty()) {
        card = findItem(m_context.db, warehouse, value(QStringLiteral("MARCA")), value(QStringLiteral("ARTICOLO")));
    }
    if (!card)
        return;
    showItem(*card);
    if (*card) {
        field(QStringLiteral("MARCA"))->setText((*card)->brand);
        field(QStringLiteral("ARTICOLO"))->setText((*card)->code);
        describe(QStringLiteral("MARCA"));
        if (value(QStringLiteral("UNITA_MIS")).isEmpty()) {
            field(QStringLiteral("UNITA_MIS"))->setText((*card)->unit);
            describe(QStringLiteral("UNITA_MIS"));
        }
        propose();
    }
}

void F280MMag::showItem(const std::optional<ItemCard> &card)
{
    m_item = card;
    m_sectionEdited = false;
    m_descriptions.value(QStringLiteral("ARTICOLO"))->setText(card ? card->description : QString());
    m_descriptions.value(QStringLiteral("ESISTENZA"))
        ->setText(card ? Services::formatPlain(card->onHand, 3) : QString());
    setNumber(QStringLiteral("PREZZO_LIST"), card ? card->listPrice : 0, card ? card->decimals : 2);
    setNumber(QStringLiteral("PREZZO_IVA_INC"), card ? card->withVat : 0, card ? card->decimals : 2);
    setNumber(QStringLiteral("PERC_RIC"), card ? card->markup : 0, 2);
    showHistory();
}

void F280MMag::showHistory()
{
    m_history->setRowCount(0);
    if (!m_item)
        return;
    const auto lines = itemHistory(m_context.db, m_item->warehouse, m_item->brand, m_item->code);
    if (!lines)
        return;
    m_history->setRowCount(int(lines->size()));
    for (int r = 0; r < lines->size(); ++r) {
        const HistoryLine &line = lines->at(r);
        const QStringList cells{QString::number(line.number),
                                dateText(line.date),
                                line.causal,
                                line.unit,
                                Services::formatPlain(line.quantity, 3),
                                line.name,
                                line.document,
                                dateText(line.documentDate),
                                plain(line.price, line.priceDecimals),
                                plain(line.discounts[0], 2),
                                plain(line.discounts[1], 2),
                                plain(line.discounts[2], 2),
                                plain(line.netPrice, line.priceDecimals),
                                Services::formatPlain(line.total, 2)};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            if (c == 4 || c >= 8)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_history->setItem(r, c, item);
        }
    }
    m_history->resizeColumnsToContents();
    m_history->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Stretch);
}

// A price proposed into an empty price field, once item and causal are known.
void F280MMag::propose()
{
    if (!value(QStringLiteral("PREZZO")).isEmpty() || !m_item || value(QStringLiteral("CAUSALE")).isEmpty())
        return;
    ProposalRequest request;
    request.year = value(QStringLiteral("ANNO"));
    request.date = Services::parseItalianDate(value(QStringLiteral("DATA_REG")));
    if (!request.date.isValid())
        request.date = QDate(year(), 12, 31);
    request.causal = value(QStringLiteral("CAUSALE")).toUpper();
    request.warehouse = m_item->warehouse;
    request.brand = m_item->brand;
    request.code = m_item->code;
    request.supplier = value(QStringLiteral("FORNITORE")).toInt();
    request.customer = value(QStringLiteral("CLIENTE")).toInt();
    request.number = value(QStringLiteral("NRO_REG")).toInt();
    const auto proposed = proposePrice(m_context.db, request, m_settings.ranks);
    if (!proposed || !*proposed)
        return;
    const ProposedPrice &found = **proposed;
    const int decimals = year() < 2002 ? 0 : found.decimals;
    setNumber(QStringLiteral("PREZZO"), found.price, decimals);
    for (int i = 0; i < 3; ++i)
        setNumber(QStringLiteral("SCONTO%1").arg(i + 1), found.discounts[i], 2);
    revalue();
}

void F280MMag::revalue()
{
    const Discounts discounts{number(QStringLiteral("SCONTO1")), number(QStringLiteral("SCONTO2")),
                              number(QStringLiteral("SCONTO3"))};
    const int decimals = static_cast<Ui::NumberField *>(field(QStringLiteral("PREZZO")))->decimals();
    const double price = number(QStringLiteral("PREZZO"));
    setNumber(QStringLiteral("PR_SCONTATO"), discountedPrice(price, discounts, decimals), decimals);
    setNumber(QStringLiteral("TOTALE"),
              movementTotal(number(QStringLiteral("QUANTITA")), price, discounts, year() < 2002 ? 0 : 2),
              year() < 2002 ? 0 : 2);
}

// List price and VAT-inclusive price follow each other at the item's rate.
void F280MMag::sectionLeft(const QString &column)
{
    if (!m_item)
        return;
    m_sectionEdited = true;
    const int decimals = m_item->decimals;
    static_cast<Ui::NumberField *>(field(column))->normalise();
    if (column == QLatin1String("PREZZO_LIST"))
        setNumber(QStringLiteral("PREZZO_IVA_INC"), Masterdata::withVat(number(column), m_item->vatRate, decimals),
                  decimals);
    else if (column == QLatin1String("PREZZO_IVA_INC"))
        setNumber(QStringLiteral("PREZZO_LIST"), Masterdata::withoutVat(number(column), m_item->vatRate, decimals),
                  decimals);
}

void F280MMag::optionToggled()
{
    m_settings.updateItem = m_options.value(QStringLiteral("AGGIORNAARTICOLO"))->isChecked();
    m_settings.updatePurchase = m_options.value(QStringLiteral("AGGIORNAPREZZOACQ"))->isChecked();
    m_settings.updateItem2 = m_options.value(QStringLiteral("AGGIORNAARTICOLO2"))->isChecked();
    writeMovementOptions(m_context.settings, m_settings);
}

Row F280MMag::typed() const
{
    Row row = m_stored;
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        const Services::ColumnDef *def = movementTable().column(it.key());
        if (def && it.key() != QLatin1String("PR_SCONTATO") && it.key() != QLatin1String("TOTALE"))
            row.setText(it.key(), it.value()->text());
    }
    row.set(QStringLiteral("ANNO"), value(QStringLiteral("ANNO")));
    row.set(QStringLiteral("NRO_REG"), value(QStringLiteral("NRO_REG")).toInt());
    row.set(QStringLiteral("NDEC"), static_cast<Ui::NumberField *>(field(QStringLiteral("PREZZO")))->decimals());
    return row;
}

PriceUpdates F280MMag::priceUpdates() const
{
    PriceUpdates prices;
    prices.listPrice = m_settings.updateItem;
    prices.purchasePrice = m_settings.updatePurchase;
    if (m_settings.updateItem2 && !value(QStringLiteral("PREZZO2")).isEmpty()) {
        prices.secondPrice = number(QStringLiteral("PREZZO2"));
        prices.secondDecimals = Masterdata::typedDecimals(value(QStringLiteral("PREZZO2")), m_settings.secondDecimals);
    }
    if (m_sectionEdited)
        prices.section =
            PriceUpdates::Section{number(QStringLiteral("PREZZO_LIST")), number(QStringLiteral("PREZZO_IVA_INC")),
                                  number(QStringLiteral("PERC_RIC"))};
    prices.priceDecimals = m_settings.priceDecimals;
    return prices;
}

bool F280MMag::refuse(const QString &message)
{
    m_context.prompter.error(message, utf(kErrorTitle));
    return false;
}

bool F280MMag::confirm(const QString &question)
{
    return m_context.prompter.ask(question, windowTitle(), Prompter::Icon::Question, Prompter::Buttons::OkCancel) ==
           Prompter::Button::Ok;
}

void F280MMag::written()
{
    if (m_onWritten)
        m_onWritten();
}

// A change or deletion: its refusal shown, or the window closed once written.
bool F280MMag::ended(const Services::WriteResult &write)
{
    if (!write.refusal.isEmpty())
        return refuse(write.refusal);
    if (write.end == WriteEnd::Gone)
        return refuse(Services::Concurrency::deletedElsewhere());
    if (!write.written())
        return false;
    markShown();
    written();
    QDialog::accept();
    return true;
}

bool F280MMag::save()
{
    if (!m_context.db.checkWriteRights())
        return false;
    TypedMovement movement;
    movement.movement = typed();
    movement.price = value(QStringLiteral("PREZZO"));
    movement.secondPrice = value(QStringLiteral("PREZZO2"));
    movement.quantity = value(QStringLiteral("QUANTITA"));
    movement.documentDate = value(QStringLiteral("DATA_DOC_DDT"));
    movement.workingYear = m_context.state.year;
    Ui::clearFieldErrors(this);
    const QList<Services::FieldProblem> problems = movementProblems(m_context.db, movement);
    if (!problems.isEmpty()) {
        for (const Services::FieldProblem &problem : problems)
            Ui::markFieldError(field(problem.column), true);
        field(problems.last().column)->setFocus(Qt::OtherFocusReason);
        return refuse(problems.last().message);
    }
    if (m_mode == Mode::Modify && owned(m_stored))
        return refuse(changeRefusal());
    if (!confirm(utf(m_mode == Mode::Insert ? kConfirmInsert : kConfirmUpdate)))
        return false;
    if (m_mode == Mode::Insert) {
        const Services::WriteResult result = insertMovement(m_context.db, movement.movement, priceUpdates());
        if (!result.written())
            return false;
        m_context.prompter.info(utf(kAssigned) + QString::number(result.code), windowTitle());
        written();
        clear();
        field(QStringLiteral("DATA_REG"))->setFocus(Qt::OtherFocusReason);
        return true;
    }
    Services::WriteResult write = updateMovement(m_context.db, m_stored, movement.movement, priceUpdates());
    if (write.end == WriteEnd::ChangedElsewhere) {
        // Changed elsewhere since it was read: on OK the typed figures go
        // over the movement as it is now.
        if (!confirm(Services::Concurrency::changedElsewhere()))
            return false;
        const auto current = readMovement(m_context.db, m_stored.text(QStringLiteral("ANNO")),
                                          m_stored.integer(QStringLiteral("NRO_REG")));
        if (!current)
            return false;
        if (!*current)
            return refuse(Services::Concurrency::deletedElsewhere());
        m_stored = **current;
        write = updateMovement(m_context.db, m_stored, typed(), priceUpdates());
    }
    return ended(write);
}

bool F280MMag::remove()
{
    if (m_mode != Mode::Modify || !m_context.db.checkWriteRights())
        return false;
    const auto refusal = deleteRefusal(m_context.db, m_stored);
    if (!refusal)
        return false;
    if (!refusal->isEmpty())
        return refuse(*refusal);
    if (m_context.prompter.ask(utf(kDeleteQuestion), windowTitle(), Prompter::Icon::Question, Prompter::Buttons::YesNo,
                               Prompter::Button::No) != Prompter::Button::Yes ||
        m_context.prompter.ask(utf(kDeleteWarning), windowTitle(), Prompter::Icon::Warning, Prompter::Buttons::OkCancel,
                               Prompter::Button::Cancel) != Prompter::Button::Ok)
        return false;
    return ended(deleteMovement(m_context.db, m_stored.text(QStringLiteral("ANNO")),
                                m_stored.integer(QStringLiteral("NRO_REG")), m_settings.priceDecimals));
}

void F280MMag::codeNewItem()
{
    if (!m_openNewItem)
        return;
    Masterdata::ItemCoding coding;
    coding.brand = value(QStringLiteral("MARCA"));
    coding.code = value(QStringLiteral("ARTICOLO"));
    coding.price1 = value(QStringLiteral("PREZZO"));
    m_openNewItem(Masterdata::itemCodingParameter(coding));
}

void F280MMag::reject()
{
    if (!hasChanges() || m_context.prompter.ask(utf(kLeaveQuestion), windowTitle(), Prompter::Icon::Question,
                                                Prompter::Buttons::YesNo) == Prompter::Button::Yes)
        QDialog::reject();
}

bool F280MMag::eventFilter(QObject *watched, QEvent *event)
{
    auto *line = qobject_cast<Ui::InputField *>(watched);
    if (line && line->isModified() && Ui::leavesField(event, {m_exit})) {
        line->setModified(false);
        fieldLeft(m_fields.key(line));
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace Orlavo::Warehouse
