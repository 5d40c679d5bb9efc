#include "masterdata/windows/f210arti.h"

#include "masterdata/rules/itemprices.h"
#include "masterdata/stores/itemprints.h"
#include "masterdata/windows/lisri.h"
#include "masterdata/windows/pricelistmenu.h"
#include "masterdata/windows/visfoto.h"
#include "services/core/concurrency.h"
#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"
#include "ui/frmrpt.h"
#include "ui/inputfields.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Services::Prompter;
namespace Tables = Services::Tables;

namespace {

constexpr char kF210artiConfirm[] = "Confermi aggiornamenti ?";
constexpr char kFieldTitle[] = "Errore!";
constexpr char kRatioField[] = "RAPPORTO_P1_P2";

// The three list prices: the list column, its VAT-inclusive twin, its decimals.
struct PriceColumns {
    const char *list;
    const char *inclusive;
    const char *decimals;
};
constexpr PriceColumns kF210artiPrices[] = {
    {"PREZZO_LIST", "PREZZO_IVA_INC", "NUM_DEC"},
    {"PREZZO_LIST_E", "PREZZO_IVA_INC_E", "NUM_DEC_E"},
    {"PREZZO_LIST_3", "PREZZO_IVA_INC_3", "NUM_DEC_3"},
};
// Figures shown with the decimals of price 1.
constexpr const char *kPrice1Figures[] = {"PREZZO_ACQ", "PREZZO_V1", "PREZZO_VSC", "PREZZO_ASC", "PREZZO_RIC"};

QString latin(const char *name)
{
    return QString::fromLatin1(name);
}

} // namespace

F210Arti::F210Arti(Ui::AppContext &context, Mode mode, const ItemKey &key, const QString &parameter, QWidget *parent)
    : FormWindow(context, itemFamily(), parent), m_mode(mode)
{
    setObjectName(QStringLiteral("f210arti"));
    setWindowTitle(mode == Mode::Insert ? QStringLiteral("Inserimento articolo") : QStringLiteral("Modifica articolo"));
    m_settings = readItemSettings(context.settings);
    build();
    attachLookups();
    if (mode == Mode::Modify) {
        const auto stored = loadItem(context.db, key);
        const auto components = loadComponents(context.db, key.brand, key.code);
        m_loaded = stored.has_value() && components;
        m_stored = stored.value_or(Item(itemFamily()));
        m_storedComponents = components ? *components : QList<Component>{};
        m_components = m_storedComponents;
        display(m_stored);
    } else {
        showNew();
        // A document codes a new item: brand, code and prices come with it.
        if (const auto coding = parseItemCoding(parameter)) {
            setValue(QStringLiteral("MARCA"), coding->brand);
            setValue(QStringLiteral("ARTICOLO"), coding->code);
            setValue(QStringLiteral("PREZZO_LIST"), coding->price1);
            setValue(QStringLiteral("PREZZO_LIST_E"), coding->price2);
            // Shown with the prices' decimals, their VAT-inclusive twins beside.
            for (int price : {0, 1}) {
                setNumber(latin(kF210artiPrices[price].list), number(latin(kF210artiPrices[price].list)));
                setNumber(latin(kF210artiPrices[price].inclusive),
                          withVat(number(latin(kF210artiPrices[price].list)), vatRate(), m_decimals[price]));
            }
            deriveNetPrices();
            showDescriptions();
        }
    }
    m_delete->setEnabled(mode == Mode::Modify && m_loaded);
}

void F210Arti::build()
{
    auto *layout = new QVBoxLayout(this);
    auto *head = new QGridLayout;
    put(head, 0, 0, QStringLiteral("Magazzino"), addCoded(QStringLiteral("MAGAZZINO"), 2));
    put(head, 0, 2, QStringLiteral("Marca"), addCoded(QStringLiteral("MARCA"), 3));
    put(head, 1, 0, QStringLiteral("Articolo"), addLine(QStringLiteral("ARTICOLO"), 30, QStringLiteral("C")), 3);
    put(head, 2, 0, QStringLiteral("Descrizione"), addLine(QStringLiteral("DESC_ART"), 60), 3);
    head->setColumnStretch(1, 1);
    head->setColumnStretch(3, 1);
    // The key of a stored item does not change.
    if (m_mode == Mode::Modify) {
        for (const char *key : {"MAGAZZINO", "MARCA", "ARTICOLO"})
            static_cast<Ui::InputField *>(field(latin(key)))->setReadOnly(true);
    }
    layout->addLayout(head);
    layout->addWidget(m_tabs, 1);
    const auto figure = [this](const char *name, int decimals = 3) {
        QWidget *w = addLine(latin(name), 14, QStringLiteral("N"), decimals);
        w->setMaximumWidth(130);
        return w;
    };

    {
        QWidget *tab = page(QStringLiteral("&Generale"));
        auto *grid = new QGridLayout(tab);
        put(grid, 0, 0, QStringLiteral("Tipo articolo"), addCoded(QStringLiteral("TIPO_ART"), 2));
        put(grid, 0, 2, QStringLiteral("Codice I.V.A."), addCoded(QStringLiteral("COD_IVA"), 4));
        put(grid, 1, 0, QStringLiteral("Codice a barre"), addLine(QStringLiteral("COD_BARRE"), 30));
        put(grid, 1, 2, QStringLiteral("Tipo codice"), addCombo(QStringLiteral("TIPO_BARRE")));
        put(grid, 2, 0, QStringLiteral("Unità di misura"), addCoded(QStringLiteral("UNITA_MIS"), 2));
        put(grid, 2, 2, QStringLiteral("Terza unità"), addCoded(QStringLiteral("UNITA_MIS3"), 2));
        put(grid, 3, 0, QStringLiteral("Seconda unità"), addCoded(QStringLiteral("UNITA_MIS2"), 2));
        put(grid, 3, 2, QStringLiteral("Rapporto"), figure("RAPPORTO"));
        put(grid, 4, 0, QStringLiteral("Tara"), figure("TARA"));
        put(grid, 4, 2, QStringLiteral("Peso specifico"), figure("PESO_SPECIF"));
        put(grid, 5, 0, QStringLiteral("Pezzi per conf."), figure("PEZZI_CONF"));
        put(grid, 5, 2, QStringLiteral("Provvigione %"), figure("PERC_PROV", 2));
        put(grid, 6, 0, QStringLiteral("Cat. merceologica"), addCoded(QStringLiteral("COD_MERCE"), 6));
        put(grid, 6, 2, QStringLiteral("Cat. statistica"), addCoded(QStringLiteral("COD_STATIS"), 12));
        put(grid, 7, 0, QStringLiteral("Conto ricavo"), addCoded(QStringLiteral("CONTO"), 6));
        put(grid, 7, 2, QStringLiteral("Centro di costo"), addCoded(QStringLiteral("CCOS"), 2));
        put(grid, 8, 0, QStringLiteral("Marca alternativa"), addCoded(QStringLiteral("MARCA_ALT"), 3));
        put(grid, 8, 2, QStringLiteral("Articolo alternativo"),
            addLine(QStringLiteral("ARTIC_ALT"), 30, QStringLiteral("C")));
        put(grid, 9, 0, QStringLiteral("Tempo approvvigionamento"), addLine(QStringLiteral("TEMPO_APPR"), 30));
        const QString section = QStringLiteral("ARTICOLI");
        put(grid, 10, 0, m_context.settings.readOr(section, QStringLiteral("LIBERO1"), QStringLiteral("Libero 1")),
            addLine(QStringLiteral("LIBERO1"), 60));
        put(grid, 10, 2, m_context.settings.readOr(section, QStringLiteral("LIBERO2"), QStringLiteral("Libero 2")),
            addLine(QStringLiteral("LIBERO2"), 60));
        auto *flags = new QHBoxLayout;
        flags->addWidget(addCheck(QStringLiteral("SPECIALE"), QStringLiteral("Articolo speciale")));
        flags->addWidget(addCheck(QStringLiteral("COMPOSTO"), QStringLiteral("Articolo composto")));
        flags->addWidget(addCheck(QStringLiteral("NON_USARE"), QStringLiteral("Non usare")));
        flags->addStretch();
        grid->addLayout(flags, 11, 1, 1, 3);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        grid->setRowStretch(12, 1);
    }
    {
        QWidget *tab = page(QStringLiteral("&Prezzi"));
        auto *grid = new QGridLayout(tab);
        grid->addWidget(new QLabel(QStringLiteral("Listino"), tab), 0, 1);
        grid->addWidget(new QLabel(QStringLiteral("I.V.A. compresa"), tab), 0, 2);
        const char *captions[] = {"Prezzo 1", "Prezzo 2", "Prezzo 3"};
        for (int i = 0; i < 3; ++i) {
            grid->addWidget(new QLabel(latin(captions[i]), tab), i + 1, 0);
            grid->addWidget(figure(kF210artiPrices[i].list, 5), i + 1, 1);
            grid->addWidget(figure(kF210artiPrices[i].inclusive, 5), i + 1, 2);
        }
        // Not a column: the settings' ratio of price 1 to price 2.
        auto *ratio = new Ui::NumberField(5, false, tab);
        ratio->setObjectName(QStringLiteral("T_") + latin(kRatioField));
        ratio->setMaximumWidth(130);
        ratio->setValue(m_settings.ratio);
        connect(ratio, &QLineEdit::editingFinished, this, [this, ratio] {
            m_settings.ratio = ratio->value();
            m_context.settings.write(QStringLiteral("ARTICOLI"), latin(kRatioField),
                                     Services::sqlNumber(m_settings.ratio, 5));
        });
        put(grid, 4, 0, QStringLiteral("Rapporto prezzo 1 / prezzo 2"), ratio);
        put(grid, 5, 0, QStringLiteral("Prezzo d'acquisto"), figure("PREZZO_ACQ", 5));
        put(grid, 5, 2, QStringLiteral("Prezzo di vendita fisso"), figure("PREZZO_V1", 5));
        const auto discounts = [&](int row, const char *caption, const char *prefix, const char *net) {
            grid->addWidget(new QLabel(latin(caption), tab), row, 0);
            auto *box = new QHBoxLayout;
            for (int i = 1; i <= 3; ++i)
                box->addWidget(figure(QStringLiteral("%1%2").arg(latin(prefix)).arg(i).toLatin1().constData(), 2));
            box->addWidget(new QLabel(QStringLiteral("Netto"), tab));
            QWidget *netField = figure(net, 5);
            static_cast<Ui::InputField *>(netField)->setReadOnly(true);
            box->addWidget(netField);
            box->addStretch();
            grid->addLayout(box, row, 1, 1, 3);
        };
        discounts(6, "Sconti di vendita %", "SC_V", "PREZZO_VSC");
        discounts(7, "Sconti d'acquisto %", "SC_A", "PREZZO_ASC");
        put(grid, 8, 0, QStringLiteral("Ricarico %"), figure("PERC_RIC", 2));
        QWidget *marked = figure("PREZZO_RIC", 5);
        static_cast<Ui::InputField *>(marked)->setReadOnly(true);
        put(grid, 8, 2, QStringLiteral("Prezzo ricaricato"), marked);
        grid->setColumnStretch(3, 1);
        grid->setRowStretch(9, 1);
    }
    {
        QWidget *tab = page(QStringLiteral("&Magazzino"));
        auto *grid = new QGridLayout(tab);
        const struct {
            const char *caption;
            const char *name;
            int decimals;
        } stock[] = {
            {"Giacenza iniziale", "GC_INIZ", 3},
            {"Valore iniziale", "VAL_INIZ", 2},
            {"Scorta minima", "SCORTA_MIN", 3},
            {"Esistenza", "ESISTENZA", 3},
            {"Impegnato", "IMPEGNATO", 3},
            {"Valore impegnato", "VAL_IMPEGN", 2},
            {"Ordinato", "ORDINATO", 3},
            {"Valore ordinato", "VAL_ORDIN", 2},
            {"Carichi da fornitore", "CARICO_F", 3},
            {"Altri carichi", "CARICO_A", 3},
            {"Valore carichi", "VAL_CARICO", 2},
            {"Ultimo costo d'acquisto", "ULT_COSTOA", 5},
            {"Scarichi per vendita", "SCARICO_V", 3},
            {"Altri scarichi", "SCARICO_A", 3},
            {"Valore scarichi", "VAL_SCARIC", 2},
        };
        int index = 0;
        for (const auto &s : stock) {
            put(grid, index / 2, (index % 2) * 2, latin(s.caption), figure(s.name, s.decimals));
            ++index;
        }
        const int row = (index + 1) / 2;
        put(grid, row, 0, QStringLiteral("Ultimo carico"),
            addLine(QStringLiteral("ULT_CARICO"), 10, QStringLiteral("D")));
        put(grid, row, 2, QStringLiteral("Ultimo scarico"),
            addLine(QStringLiteral("ULT_SCARIC"), 10, QStringLiteral("D")));
        m_available = new QLabel(tab);
        m_available->setObjectName(QStringLiteral("D_DISPONIBILE"));
        put(grid, row + 1, 0, QStringLiteral("Disponibile"), m_available);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        grid->setRowStretch(row + 2, 1);
    }
    {
        QWidget *tab = page(QStringLiteral("Co&mponenti"));
        auto *box = new QVBoxLayout(tab);
        m_grid = new QTableWidget(0, 4, tab);
        m_grid->setObjectName(QStringLiteral("Componenti"));
        m_grid->setHorizontalHeaderLabels({QStringLiteral("Marca"), QStringLiteral("Articolo"),
                                           QStringLiteral("Descrizione "), QStringLiteral("Qta")});
        m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_grid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
        box->addWidget(m_grid, 1);
        auto *entry = new QHBoxLayout;
        auto *brand = new Ui::CodeField(3, tab);
        brand->setObjectName(QStringLiteral("C_MARCA"));
        auto *code = new Ui::CodeField(30, tab);
        code->setObjectName(QStringLiteral("C_ARTICOLO"));
        auto *quantity = new Ui::NumberField(3, false, tab);
        quantity->setObjectName(QStringLiteral("C_QTA"));
        auto *add = new QPushButton(QStringLiteral("A&ggiungi"), tab);
        auto *drop = new QPushButton(QStringLiteral("&Togli riga"), tab);
        for (auto [caption, widget] :
             {std::pair<const char *, QWidget *>{"Marca", brand}, {"Articolo", code}, {"Qta", quantity}}) {
            entry->addWidget(new QLabel(latin(caption), tab));
            entry->addWidget(widget);
        }
        entry->addWidget(add);
        entry->addWidget(drop);
        entry->addStretch();
        box->addLayout(entry);
        connect(add, &QPushButton::clicked, this, [this, brand, code, quantity] {
            if (addComponent(brand->text(), code->text(), quantity->text())) {
                code->clear();
                quantity->clear();
            }
        });
        connect(drop, &QPushButton::clicked, this, [this] { removeComponent(m_grid->currentRow()); });
    }

    const auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(latin(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *print = button(QStringLiteral("&Stampa"), "B_Stampa");
    QPushButton *photo = button(QStringLiteral("&Foto"), "B_Foto");
    QPushButton *purchases = button(QStringLiteral("Listino ac&quisto"), "B_ListAcq");
    QPushButton *sales = button(QStringLiteral("Listino &vendita"), "B_ListVen");
    connect(purchases, &QPushButton::clicked, this, [this] { showPriceList(false); });
    connect(sales, &QPushButton::clicked, this, [this] { showPriceList(true); });
    purchases->setEnabled(m_mode == Mode::Modify);
    sales->setEnabled(m_mode == Mode::Modify);
    print->setEnabled(m_mode == Mode::Modify);
    photo->setEnabled(m_mode == Mode::Modify);
    QPushButton *save = button(QStringLiteral("&Conferma"), "B_Conferma");
    QPushButton *cancelButton = button(QStringLiteral("&Annulla"), "B_Annulla");
    m_delete = button(QStringLiteral("&Elimina"), "B_Elimina");
    QPushButton *exit = button(QStringLiteral("E&sci"), "B_Esci");
    connect(print, &QPushButton::clicked, this, [this] { printCard(true); });
    connect(photo, &QPushButton::clicked, this, [this] { showPhoto(); });
    connect(save, &QPushButton::clicked, this, [this] { this->save(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { remove(); });
    connect(exit, &QPushButton::clicked, this, [this] { close(); });
    setWaysOut({cancelButton, exit});
    auto *row = new QHBoxLayout;
    for (QPushButton *b : {print, photo, purchases, sales})
        row->addWidget(b);
    row->addStretch();
    for (QPushButton *b : {save, cancelButton, m_delete, exit})
        row->addWidget(b);
    layout->addLayout(row);
    fillFromTable(QStringLiteral("TIPO_BARRE"), Tables::TAB_TIPOBARRE, QStringLiteral("CODICE"));
}

void F210Arti::showNew()
{
    m_stored = newItem(m_context.db, m_settings);
    m_storedComponents.clear();
    m_components.clear();
    display(m_stored);
}

void F210Arti::display(const Item &item)
{
    for (int i = 0; i < 3; ++i)
        m_decimals[i] = item.main().integer(latin(kF210artiPrices[i].decimals));
    m_form->load(item);
    for (int i = 0; i < 3; ++i)
        setPriceDecimals(i, m_decimals[i]);
    showDescriptions();
    showComponents();
    m_available->setText(Services::formatPlain(
        available(item.main().number(QStringLiteral("ESISTENZA")), item.main().number(QStringLiteral("IMPEGNATO"))),
        3));
}

void F210Arti::setPriceDecimals(int price, int decimals)
{
    m_decimals[price] = decimals;
    QStringList names = {latin(kF210artiPrices[price].list), latin(kF210artiPrices[price].inclusive)};
    if (price == 0) {
        for (const char *name : kPrice1Figures)
            names << latin(name);
    }
    for (const QString &name : names)
        static_cast<Ui::NumberField *>(field(name))->setDecimals(decimals);
}

Item F210Arti::item() const
{
    Item typed = m_form->read(m_stored);
    for (int i = 0; i < 3; ++i)
        typed.main().set(latin(kF210artiPrices[i].decimals), m_decimals[i]);
    return typed;
}

bool F210Arti::hasChanges() const
{
    if (!m_loaded)
        return false;
    bool decimalsChanged = false;
    for (int i = 0; i < 3; ++i)
        decimalsChanged |= m_decimals[i] != m_stored.main().integer(latin(kF210artiPrices[i].decimals));
    return m_form->hasChanges() || decimalsChanged || m_components != m_storedComponents;
}

double F210Arti::number(const QString &name) const
{
    return static_cast<Ui::NumberField *>(field(name))->value();
}

void F210Arti::setNumber(const QString &name, double value)
{
    static_cast<Ui::NumberField *>(field(name))->setValue(value);
}

double F210Arti::vatRate() const
{
    auto rows =
        m_context.db.openRecordset(QStringLiteral("SELECT ALIQUOTA FROM %1 WHERE %2")
                                       .arg(Tables::TAB_PERIVA, Services::sqlUpperEquals(QStringLiteral("CODICE"))),
                                   {value(QStringLiteral("COD_IVA")).trimmed()});
    return rows && !rows->isEmpty() ? rows->first().at(0).toDouble() : 0;
}

void F210Arti::refuse(const QString &text, const QString &name)
{
    Ui::markFieldError(field(name), true);
    m_context.prompter.error(text, QString::fromLatin1(kFieldTitle));
}

// A price typed: its decimals counted and, when they differ from the item's,
// the operator says whether this item keeps them; a negative price is refused.
bool F210Arti::priceTyped(const QString &name)
{
    int price = 0;
    while (price < 3 && name != latin(kF210artiPrices[price].list) && name != latin(kF210artiPrices[price].inclusive))
        ++price;
    const int defaultDecimals = price == 1 ? m_settings.decimals2 : m_settings.decimals1;
    const int typed = typedDecimals(value(name), defaultDecimals);
    if (typed != m_decimals[price]) {
        const QString question =
            QStringLiteral("Sono stati digitati un numero di decimali diverso da quello previsto: \n"
                           "Previsti: %1   Digitati: %2\n"
                           "Mantenere i nuovi decimali SOLO per questo articolo ? ")
                .arg(m_decimals[price])
                .arg(typed);
        if (m_context.prompter.ask(question, windowTitle(), Prompter::Icon::Question, Prompter::Buttons::YesNo) ==
            Prompter::Button::Yes)
            setPriceDecimals(price, typed);
    }
    static_cast<Ui::NumberField *>(field(name))->normalise();
    if (number(name) < 0) {
        refuse(QStringLiteral("Prezzo di listino non può essere minore di zero !"), name);
        return false;
    }
    Ui::markFieldError(field(name), false);
    const double rate = vatRate();
    const int decimals = m_decimals[price];
    if (name == latin(kF210artiPrices[price].list))
        setNumber(latin(kF210artiPrices[price].inclusive), withVat(number(name), rate, decimals));
    else
        setNumber(latin(kF210artiPrices[price].list), withoutVat(number(name), rate, decimals));
    if (price == 0)
        deriveFromList(0);
    return true;
}

// Price 1 changed: price 2 by the ratio, then the net prices.
void F210Arti::deriveFromList(int price)
{
    if (price == 0 && m_settings.ratio != 0) {
        const double second = secondPrice(number(QStringLiteral("PREZZO_LIST")), m_settings.ratio, m_decimals[1]);
        setNumber(QStringLiteral("PREZZO_LIST_E"), second);
        setNumber(QStringLiteral("PREZZO_IVA_INC_E"), withVat(second, vatRate(), m_decimals[1]));
    }
    deriveNetPrices();
}

void F210Arti::deriveNetPrices()
{
    const double list = number(QStringLiteral("PREZZO_LIST"));
    const int decimals = m_decimals[0];
    const auto discount = [this](const char *prefix, int i) {
        return number(QStringLiteral("%1%2").arg(latin(prefix)).arg(i));
    };
    setNumber(QStringLiteral("PREZZO_VSC"),
              discounted(list, discount("SC_V", 1), discount("SC_V", 2), discount("SC_V", 3), decimals));
    const double purchase = discounted(list, discount("SC_A", 1), discount("SC_A", 2), discount("SC_A", 3), decimals);
    setNumber(QStringLiteral("PREZZO_ASC"), purchase);
    setNumber(QStringLiteral("PREZZO_RIC"), markedUp(purchase, number(QStringLiteral("PERC_RIC")), decimals));
}

void F210Arti::leaveField(const QString &name)
{
    for (const PriceColumns &price : kF210artiPrices) {
        if (name == latin(price.list) || name == latin(price.inclusive)) {
            priceTyped(name);
            return;
        }
    }
    if (auto *figure = qobject_cast<Ui::NumberField *>(field(name)))
        figure->normalise();
    if (name.startsWith(QLatin1String("SC_")) || name == QLatin1String("PERC_RIC"))
        deriveNetPrices();
    if (name == QLatin1String("ESISTENZA") || name == QLatin1String("IMPEGNATO"))
        m_available->setText(Services::formatPlain(
            available(number(QStringLiteral("ESISTENZA")), number(QStringLiteral("IMPEGNATO"))), 3));
    if (hasDescription(name))
        showDescription(name);
    // A brand brings its commission to an item that has none.
    if (name == QLatin1String("MARCA") && number(QStringLiteral("PERC_PROV")) == 0) {
        auto rows =
            m_context.db.openRecordset(QStringLiteral("SELECT PERC_PROV FROM %1 WHERE %2")
                                           .arg(Tables::TAB_MARCHE, Services::sqlUpperEquals(QStringLiteral("CODICE"))),
                                       {value(name).trimmed()});
        if (rows && !rows->isEmpty())
            setNumber(QStringLiteral("PERC_PROV"), rows->first().at(0).toDouble());
    }
    Ui::markFieldError(field(name), false);
    if (value(name).trimmed().isEmpty())
        return;
    const auto failing = checkItem(m_context.db, item(), m_mode == Mode::Insert, m_form->columnOfField(name));
    if (!failing.isEmpty())
        refuse(failing.first().message, name);
}

bool F210Arti::addComponent(const QString &brand, const QString &code, const QString &quantity)
{
    const ItemKey parent{value(QStringLiteral("MAGAZZINO")).trimmed(), value(QStringLiteral("MARCA")).trimmed(),
                         value(QStringLiteral("ARTICOLO")).trimmed()};
    const QString problem = componentProblem(m_context.db, parent, brand, code, quantity);
    if (!problem.isEmpty()) {
        m_context.prompter.error(problem, QString::fromLatin1(kFieldTitle));
        return false;
    }
    m_components.append({brand.trimmed().toUpper(), code.trimmed().toUpper(),
                         QString(quantity).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble()});
    showComponents();
    return true;
}

void F210Arti::removeComponent(int row)
{
    if (row < 0 || row >= m_components.size())
        return;
    m_components.removeAt(row);
    showComponents();
}

void F210Arti::showComponents()
{
    const QString warehouse = value(QStringLiteral("MAGAZZINO")).trimmed();
    m_grid->setRowCount(int(m_components.size()));
    for (int row = 0; row < m_components.size(); ++row) {
        const Component &c = m_components.at(row);
        QString description;
        if (const auto item = loadItem(m_context.db, {warehouse, c.brand, c.code}))
            description = item->main().text(QStringLiteral("DESC_ART"));
        const QStringList cells = {c.brand, c.code, description, Services::formatPlain(c.quantity, 3)};
        for (int col = 0; col < cells.size(); ++col)
            m_grid->setItem(row, col, new QTableWidgetItem(cells.at(col)));
    }
}

bool F210Arti::save()
{
    if (!m_loaded || !m_context.db.checkWriteRights() || !hasChanges())
        return false;
    const Item typed = item();
    const bool inserting = m_mode == Mode::Insert;
    const auto speaker = m_form->showProblems(checkItem(m_context.db, typed, inserting));
    if (speaker) {
        m_context.prompter.error(speaker->message, windowTitle());
        return false;
    }
    if (m_context.prompter.ask(QString::fromLatin1(kF210artiConfirm), windowTitle(), Prompter::Icon::Question,
                               Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
        return false;
    Services::WriteResult written;
    if (inserting) {
        written = insertItem(m_context.db, typed, m_components);
    } else {
        // Changed by another workstation since it was loaded: the operator decides.
        if (Services::compareStored(m_context.db, itemFamily(), m_stored) == Services::StoredState::Changed &&
            m_context.prompter.ask(Services::Concurrency::changedElsewhere(), windowTitle(), Prompter::Icon::Warning,
                                   Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
            return false;
        written = updateItem(m_context.db, typed, m_stored, m_components);
    }
    if (!written.written())
        return false;
    const ItemKey key = itemKey(typed);
    if (inserting) {
        showNew();
        m_tabs->setCurrentIndex(0);
        focusField(QStringLiteral("ARTICOLO"));
    } else if (const auto reloaded = loadItem(m_context.db, key)) {
        m_stored = *reloaded;
        m_storedComponents = m_components;
        display(m_stored);
    }
    if (m_onWritten)
        m_onWritten(key);
    return true;
}

void F210Arti::cancel()
{
    if (!mayDropChanges())
        return;
    m_components = m_storedComponents;
    display(m_stored);
}

bool F210Arti::remove()
{
    if (m_mode != Mode::Modify || !m_loaded || !m_context.db.checkWriteRights())
        return false;
    const ItemKey key = itemKey(m_stored);
    const auto refusal = itemDeleteRefusal(m_context.db, key);
    if (!refusal || !refusal->isEmpty()) {
        m_context.prompter.error(refusal ? *refusal : refusal.failure().message, QStringLiteral("Errore"));
        return false;
    }
    if (m_context.prompter.ask(QStringLiteral("Confermi eliminazione articolo?"), QStringLiteral("Eliminazione"),
                               Prompter::Icon::Question, Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
        return false;
    if (!deleteItem(m_context.db, key).written())
        return false;
    if (m_onWritten)
        m_onWritten(key);
    setClosing();
    close();
    return true;
}

bool F210Arti::printCard(bool preview)
{
    if (m_mode != Mode::Modify || !m_loaded)
        return false;
    Reporting::PrintCommand command = itemCardPrint(itemKey(m_stored));
    command.output = preview ? Reporting::ReportOutput::Preview : Reporting::ReportOutput::Printer;
    return Ui::printReport(m_context, command, this);
}

void F210Arti::showPriceList(bool sale)
{
    if (m_mode != Mode::Modify || !m_loaded)
        return;
    PriceListWindow list(m_context, sale ? PriceListKind::SaleDiscounted : PriceListKind::Purchase, false, this);
    list.field(QStringLiteral("MARCA"))->setText(m_stored.main().text(QStringLiteral("MARCA")));
    list.field(QStringLiteral("ARTICOLO"))->setText(m_stored.main().text(QStringLiteral("ARTICOLO")));
    list.setOnChosen([this, &list](PriceListKind kind, const QStringList &key) {
        openPriceListRow(m_context, kind, key, nullptr, &list);
    });
    // The item's rows at once; the filters stay to narrow them.
    QTimer::singleShot(0, &list, [&list] { list.showList(); });
    list.exec();
}

void F210Arti::showPhoto()
{
    if (m_mode != Mode::Modify || !m_loaded)
        return;
    VisFoto photo(m_context, itemKey(m_stored), this);
    // The photo is written by its window: the item as loaded follows it, so
    // the next save sees no change made elsewhere.
    connect(&photo, &VisFoto::photoChanged, this,
            [this](const QString &stored) { m_stored.main().set(QStringLiteral("FOTOGR"), stored); });
    photo.exec();
}

} // namespace Orlavo::Masterdata
