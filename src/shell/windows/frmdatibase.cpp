#include "shell/windows/frmdatibase.h"

#include "services/core/tablenames.h"
#include "services/data/counters.h"
#include "ui/appcontext.h"
#include "ui/colours.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"
#include "ui/recordwindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Orlavo::Shell {

using Services::Prompter;
namespace Tables = Services::Tables;

namespace {

constexpr char kFrmdatibaseTitle[] = "Gestione Dati Base della Società";
constexpr char kFrmdatibaseTitleError[] = "Errore!";
constexpr char kFrmdatibaseConfirm[] = "Confermi modifiche ?";
constexpr char kSample[] = "Esempio";

// Column widths of DATIBASE.
constexpr int kBankLength = 5;
constexpr int kVatLength = 4;
constexpr int kWarehouseLength = 2;
constexpr int kFreeCaptionLength = 30;

// The choices of each option group, by the button's id.
const QStringList kPriceKinds = {QStringLiteral("L"), QStringLiteral("V"), QStringLiteral("R"), QStringLiteral("F")};

constexpr std::array<const char *, 4> kPriorityCaptions = {
    "Prezzo d'acquisto scontato da listino personalizzato", "Prezzo d'acquisto scontato da scheda articolo",
    "Prezzo d'acquisto da ultimo movimento di carico (C10)", "Prezzo d'acquisto fisso da scheda articolo"};
constexpr std::array<const char *, 4> kPriorityNames = {"T_prlistper", "T_prlistba", "T_prultco", "T_pracqf"};

const QString kMenu = QStringLiteral("MENU");

Ui::LookupRequest listOf(const QString &table, const char *title, QList<Services::LookupColumn> columns)
{
    Ui::LookupRequest request;
    request.table = table;
    request.title = QString::fromLatin1(title);
    request.columns = std::move(columns);
    return request;
}

Services::LookupColumn column(const char *name, const char *format, const char *heading)
{
    return {QString::fromLatin1(name), QString::fromLatin1(format), QString::fromLatin1(heading)};
}

// A field that only shows: not in the tab order, protected colours.
QLineEdit *shownField(const char *name, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

QRadioButton *choice(QButtonGroup *group, QLayout *layout, const QString &caption, const char *name, int id)
{
    auto *button = new QRadioButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    group->addButton(button, id);
    layout->addWidget(button);
    return button;
}

QGroupBox *choices(const QString &title, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    new QVBoxLayout(box);
    return box;
}

QCheckBox *tick(const QString &caption, const char *name, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

void check(QButtonGroup *group, int id)
{
    if (QAbstractButton *button = group->button(id))
        button->setChecked(true);
}

} // namespace

FrmDatiBase::FrmDatiBase(Ui::AppContext &context, QWidget *parent)
    : QDialog(parent), m_ctx(context), m_tabs(new QTabWidget(this)),
      m_save(new QPushButton(QStringLiteral("&Registra"), this)),
      m_cancel(new QPushButton(QStringLiteral("&Annulla"), this)),
      m_exit(new QPushButton(QStringLiteral("E&sci"), this))
{
    setObjectName(QStringLiteral("FrmDatiBase"));
    setWindowTitle(QString::fromUtf8(kFrmdatibaseTitle));
    m_pickColour = [this](const QColor &current, const QString &title) {
        return QColorDialog::getColor(current, this, title);
    };

    m_tabs->setObjectName(QStringLiteral("schede"));
    m_tabs->addTab(buildCompanyPage(), QStringLiteral("Dati società"));
    m_tabs->addTab(buildDocumentsPage(), QStringLiteral("Documenti di vendita"));
    m_tabs->addTab(buildStockPage(), QStringLiteral("Magazzino e articoli"));
    m_tabs->addTab(buildColoursPage(), QStringLiteral("Colori"));
    // The fields the checks speak of, for their red marks and the focus.
    m_form = new Ui::FormBinder(this);
    m_form->setTabs(m_tabs);
    const QList<std::pair<QString, QWidget *>> checked{
        {BaseField::VatPeriod, m_vatPeriod}, {BaseField::VatCode, m_vatCode},   {BaseField::Bank, m_bank},
        {BaseField::Year, m_year},           {BaseField::Warehouse, m_warehouse}, {BaseField::SearchFrom, m_searchFrom},
        {BaseField::SearchTo, m_searchTo}};
    for (const auto &[name, widget] : checked)
        m_form->bind(name, widget, 0, name);
    for (int i = 0; i < int(m_priorities.size()); ++i)
        m_form->bind(BaseField::priority(i), m_priorities[std::size_t(i)], 0, BaseField::priority(i));

    m_save->setObjectName(QStringLiteral("registra"));
    m_cancel->setObjectName(QStringLiteral("annulla"));
    m_exit->setObjectName(QStringLiteral("esci"));
    Ui::setLeavingTips(m_cancel, m_exit);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *button : {m_save, m_cancel, m_exit}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    connect(m_save, &QPushButton::clicked, this, &FrmDatiBase::save);
    connect(m_cancel, &QPushButton::clicked, this, &FrmDatiBase::cancel);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    // A field's check runs when the operator leaves it.
    for (QWidget *field :
         std::initializer_list<QWidget *>{m_bank, m_vatCode, m_warehouse, m_year, m_searchFrom, m_searchTo})
        field->installEventFilter(this);
    for (QSpinBox *field : m_priorities)
        field->installEventFilter(this);

    Ui::applyFieldColours(this, Ui::readFieldColours(m_ctx.settings, palette()));
    load();
}

QWidget *FrmDatiBase::buildCompanyPage()
{
    auto *page = new QWidget(this);
    m_company = shownField("D_societa", page);
    m_companyName = shownField("D_ragsoc", page);
    m_bank = new Ui::CodeField(kBankLength, page);
    m_bank->setObjectName(QStringLiteral("T_banca"));
    m_bankDescription = shownField("D_banca", page);
    m_vatCode = new Ui::CodeField(kVatLength, page);
    m_vatCode->setObjectName(QStringLiteral("T_periva"));
    m_vatDescription = shownField("D_periva", page);
    m_vatPeriod = new QPushButton(vatPeriodCaption(QString()), page);
    m_vatPeriod->setObjectName(QStringLiteral("liquiva"));
    m_vatPeriod->setAutoDefault(false);
    m_warehouse = new Ui::CodeField(kWarehouseLength, page);
    m_warehouse->setObjectName(QStringLiteral("T_magazzino"));
    m_warehouseDescription = shownField("D_magazzino", page);
    m_year = new Ui::NumberField(0, true, page);
    m_year->setObjectName(QStringLiteral("T_anno"));
    m_year->setMaxLength(4);
    m_separateNumbering =
        tick(QStringLiteral("Numeraz. Documenti di vendita separata per note d'accredito"), "numeraz", page);
    m_vatRegister = tick(QStringLiteral("Inversione registro IVA per note d'accredito"), "regiva", page);

    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('W'));
    for (QLineEdit *code : std::initializer_list<QLineEdit *>{m_company, m_bank, m_vatCode, m_warehouse, m_year})
        code->setFixedWidth(charWidth * 5 + 12);
    m_vatPeriod->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("TRIMESTRALE")) + 32);

    for (Ui::CodeField *code : {m_bank, m_vatCode, m_warehouse})
        code->setUpperCaseSwitch(&m_ctx.state.upperCaseKeys);
    connect(m_vatPeriod, &QPushButton::clicked, this, [this] {
        m_vatPeriod->setText(vatPeriodCaption(
            m_vatPeriod->text() == vatPeriodCaption(QStringLiteral("M")) ? QStringLiteral("T") : QStringLiteral("M")));
    });
    // The description beside a code follows what the field holds.
    connect(m_bank, &QLineEdit::textChanged, this,
            [this] { describe(m_bank, Tables::TAB_BAN_PAG, m_bankDescription); });
    connect(m_vatCode, &QLineEdit::textChanged, this,
            [this] { describe(m_vatCode, Tables::TAB_PERIVA, m_vatDescription); });
    connect(m_warehouse, &QLineEdit::textChanged, this,
            [this] { describe(m_warehouse, Tables::TAB_MAGAZZINI, m_warehouseDescription); });

    Ui::attachLookup(m_bank, m_ctx, [] {
        return listOf(Tables::TAB_BAN_PAG, "Lista BANCHE PAGAMENTO",
                      {column("CODICE", "05C", "COD."), column("DESCRIZIONE", "30C", "DESCRIZIONE")});
    });
    Ui::attachLookup(m_vatCode, m_ctx, [] {
        return listOf(Tables::TAB_PERIVA, "Lista ALIQUOTE I.V.A.",
                      {column("CODICE", "04C", "COD."), column("DESCRIZIONE", "30C", "DESCRIZIONE"),
                       column("DESC_TIPO", "15C", "TIPO"), column("TIPO_CODICE", "00C", "TIPO COD"),
                       column("ALIQUOTA", "06C", "ALIQ.")});
    });
    Ui::attachLookup(m_warehouse, m_ctx, [] {
        return listOf(Tables::TAB_MAGAZZINI, "Lista Magazzini",
                      {column("CODICE", "03C", "COD."), column("DESCRIZIONE", "30C", "DESCRIZIONE")});
    });

    auto *grid = new QGridLayout;
    const auto row = [grid, page](int at, const QString &caption, QWidget *field, QWidget *beside = nullptr) {
        auto *label = new QLabel(caption, page);
        label->setBuddy(field);
        grid->addWidget(label, at, 0);
        grid->addWidget(field, at, 1, Qt::AlignLeft);
        if (beside)
            grid->addWidget(beside, at, 2);
    };
    row(0, QStringLiteral("Società"), m_company, m_companyName);
    row(1, QStringLiteral("Banca Principale"), m_bank, m_bankDescription);
    row(2, QStringLiteral("Perc. I.V.A."), m_vatCode, m_vatDescription);
    row(3, QStringLiteral("Liquidazione I.V.A."), m_vatPeriod);
    row(4, QStringLiteral("Magazzino"), m_warehouse, m_warehouseDescription);
    row(5, QStringLiteral("Anno Elaborazione"), m_year);
    grid->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(m_separateNumbering);
    layout->addWidget(m_vatRegister);
    layout->addStretch(1);
    return page;
}

QWidget *FrmDatiBase::buildDocumentsPage()
{
    auto *page = new QWidget(this);
    m_priceKind = new QButtonGroup(page);
    m_discounts = new QButtonGroup(page);
    m_invoiceType = new QButtonGroup(page);
    m_invoicePrint = new QButtonGroup(page);
    m_orderRemainder = new QButtonGroup(page);

    QGroupBox *price = choices(QStringLiteral("Prezzo predefinito"), page);
    choice(m_priceKind, price->layout(), QStringLiteral("Listino"), "prezzoL", 0);
    choice(m_priceKind, price->layout(), QStringLiteral("Scontato"), "prezzoV", 1);
    choice(m_priceKind, price->layout(), QStringLiteral("Ricaricato"), "prezzoR", 2);
    choice(m_priceKind, price->layout(), QStringLiteral("Fisso"), "prezzoF", 3);
    QGroupBox *discounts = choices(QStringLiteral("Sconti su documenti"), page);
    choice(m_discounts, discounts->layout(), QStringLiteral("Sconto già calcolato"), "scontiSI", 0);
    choice(m_discounts, discounts->layout(), QStringLiteral("Visualizza sconti"), "scontiNO", 1);
    QGroupBox *type = choices(QStringLiteral("Tipo Fatttura"), page);
    choice(m_invoiceType, type->layout(), QStringLiteral("Normale"), "tipoFatturaN", 0);
    choice(m_invoiceType, type->layout(), QStringLiteral("Accompagnatoria"), "tipoFatturaA", 1);
    QGroupBox *print = choices(QStringLiteral("Stampa Fatttura"), page);
    choice(m_invoicePrint, print->layout(), QStringLiteral("Normale"), "stampaFatturaN", 0);
    choice(m_invoicePrint, print->layout(), QStringLiteral("Riepilogata"), "stampaFatturaR", 1);
    QGroupBox *orders = choices(QStringLiteral("Fatturazione di ordini non interamente evasi"), page);
    choice(m_orderRemainder, orders->layout(),
           QStringLiteral("Forzare lo status di fattutato ai dettagli ordine non interamente evasi"), "forzaSI", 0);
    choice(m_orderRemainder, orders->layout(),
           QStringLiteral("Inserire come nuova riga di ordine la parte eccedente la quantità fatturata"), "forzaNO", 1);

    m_vatRoundUp = tick(QStringLiteral("Arrotonda l'Iva calcolata alla Lira (o al centesimo di Euro) superiore"),
                        "arrotIva", page);
    m_separateDebitNotes =
        tick(QStringLiteral("Numeraz. Documenti di vendita separata per note di debito"), "numerazNoteDeb", page);
    m_printDetail = tick(QStringLiteral("Stampa dettagio"), "stampaDett", page);

    auto *top = new QHBoxLayout;
    auto *invoice = new QVBoxLayout;
    invoice->addWidget(type);
    invoice->addWidget(print);
    top->addWidget(price, 0, Qt::AlignTop);
    top->addWidget(discounts, 0, Qt::AlignTop);
    top->addLayout(invoice);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(m_vatRoundUp);
    layout->addWidget(m_separateDebitNotes);
    layout->addWidget(m_printDetail);
    layout->addWidget(orders);
    layout->addStretch(1);
    return page;
}

QWidget *FrmDatiBase::buildStockPage()
{
    auto *page = new QWidget(this);
    m_searchFrom = new Ui::DateField(page);
    m_searchFrom->setObjectName(QStringLiteral("T_ricercainizio"));
    m_searchTo = new Ui::DateField(page);
    m_searchTo->setObjectName(QStringLiteral("T_ricercafine"));
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12;
    m_searchFrom->setFixedWidth(dateWidth);
    m_searchTo->setFixedWidth(dateWidth);
    auto *dates = new QGroupBox(QStringLiteral("Ricerca movimenti"), page);
    auto *datesForm = new QFormLayout(dates);
    datesForm->addRow(QStringLiteral("Data inizio ricerca predefinito"), m_searchFrom);
    datesForm->addRow(QStringLiteral("Data fine ricerca predefinito"), m_searchTo);

    auto *priorities = new QGroupBox(QStringLiteral("Priorità del prezzo d'acquisto (da 1 a 4)"), page);
    auto *prioritiesForm = new QFormLayout(priorities);
    for (std::size_t i = 0; i < m_priorities.size(); ++i) {
        auto *field = new QSpinBox(priorities);
        field->setObjectName(QString::fromLatin1(kPriorityNames[i]));
        field->setRange(1, 4);
        m_priorities[i] = field;
        prioritiesForm->addRow(QString::fromUtf8(kPriorityCaptions[i]), field);
    }

    m_free1 = new Ui::TextField(kFreeCaptionLength, page);
    m_free1->setObjectName(QStringLiteral("T_libero1"));
    m_free2 = new Ui::TextField(kFreeCaptionLength, page);
    m_free2->setObjectName(QStringLiteral("T_libero2"));
    // Captions are shown as typed.
    m_free1->setUpperCaseSource([] { return false; });
    m_free2->setUpperCaseSource([] { return false; });
    auto *free = new QGroupBox(QStringLiteral("Campi liberi della scheda articolo"), page);
    auto *freeForm = new QFormLayout(free);
    freeForm->addRow(QStringLiteral("Libero 1"), m_free1);
    freeForm->addRow(QStringLiteral("Libero 2"), m_free2);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(dates);
    layout->addWidget(priorities);
    layout->addWidget(free);
    layout->addStretch(1);
    return page;
}

QPushButton *FrmDatiBase::colourButton(const QString &caption, const char *name, const char *key, const char *fallback,
                                       bool desktop)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this,
            [this, caption, key, fallback, desktop] { pickColour(caption, key, fallback, desktop); });
    return button;
}

QWidget *FrmDatiBase::buildColoursPage()
{
    auto *page = new QWidget(this);
    m_editableSample = new QLineEdit(QString::fromLatin1(kSample), page);
    m_editableSample->setObjectName(QStringLiteral("T_esempio"));
    m_editableSample->setReadOnly(true);
    m_editableSample->setFocusPolicy(Qt::NoFocus);
    m_protectedSample = shownField("D_esempio", page);
    m_protectedSample->setText(QString::fromLatin1(kSample));

    QPushButton *desktop = colourButton(QStringLiteral("Colore di sfondo della scrivania"), "coloreSfondo",
                                        "COLORESFONDO", Ui::kDefaultBackground, true);
    auto *editable = new QGroupBox(QStringLiteral("Colore campi editabili"), page);
    auto *editableRow = new QHBoxLayout(editable);
    editableRow->addWidget(colourButton(QStringLiteral("Testo"), "coloreEditF", "COLOREEDITF", "0", false));
    editableRow->addWidget(colourButton(QStringLiteral("Sfondo"), "coloreEditB", "COLOREEDITB", "16777215", false));
    editableRow->addWidget(m_editableSample, 1);
    auto *shown = new QGroupBox(QStringLiteral("Colore campi protetti"), page);
    auto *shownRow = new QHBoxLayout(shown);
    shownRow->addWidget(colourButton(QStringLiteral("Sfondo"), "coloreProB", "COLOREPROB", "2147483663", false));
    shownRow->addWidget(m_protectedSample, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(desktop, 0, Qt::AlignLeft);
    layout->addWidget(editable);
    layout->addWidget(shown);
    layout->addStretch(1);
    return page;
}

void FrmDatiBase::load()
{
    const Services::AppState &state = m_ctx.state;
    m_company->setText(state.company);
    m_companyName->setText(state.companyName);
    auto row = readBaseData(m_ctx.db, state.company);
    showData(row && row->has_value() ? **row : BaseData());
    m_loadedOptions = readBaseOptions(m_ctx.settings, state.year);
    showOptions(m_loadedOptions);
    m_shownData = collectData();
    m_shownOptions = collectOptions();
    Ui::clearFieldErrors(this);
}

void FrmDatiBase::showData(const BaseData &data)
{
    m_bank->setText(data.bank);
    m_vatCode->setText(data.vatCode);
    m_vatPeriod->setText(vatPeriodCaption(data.vatPeriod));
    m_separateNumbering->setChecked(data.separateNumbering);
    m_vatRegister->setChecked(data.vatRegister);
    m_warehouse->setText(data.warehouse);
}

void FrmDatiBase::showOptions(const BaseOptions &options)
{
    m_year->setText(options.year);
    check(m_priceKind, std::max(0, int(kPriceKinds.indexOf(options.priceKind))));
    check(m_discounts, options.discountsCalculated ? 0 : 1);
    check(m_invoiceType, options.invoiceType == QLatin1String("A") ? 1 : 0);
    check(m_invoicePrint, options.invoicePrint == QLatin1String("R") ? 1 : 0);
    check(m_orderRemainder, options.forceOrderInvoiced ? 0 : 1);
    m_vatRoundUp->setChecked(options.vatRoundUp);
    m_separateDebitNotes->setChecked(options.separateDebitNotes);
    m_printDetail->setChecked(options.printDetail);
    m_searchFrom->setText(options.searchFrom);
    m_searchTo->setText(options.searchTo);
    for (std::size_t i = 0; i < m_priorities.size(); ++i)
        m_priorities[i]->setValue(options.priorities[i]);
    m_free1->setText(options.free1);
    m_free2->setText(options.free2);
}

BaseData FrmDatiBase::collectData() const
{
    BaseData data;
    data.bank = m_bank->text().trimmed();
    data.vatCode = m_vatCode->text().trimmed();
    data.vatPeriod = vatPeriodLetter(m_vatPeriod->text()).value_or(QString());
    data.separateNumbering = m_separateNumbering->isChecked();
    data.vatRegister = m_vatRegister->isChecked();
    data.warehouse = m_warehouse->text().trimmed();
    return data;
}

BaseOptions FrmDatiBase::collectOptions() const
{
    BaseOptions options;
    options.year = m_year->text().trimmed();
    options.priceKind = kPriceKinds.value(m_priceKind->checkedId(), kPriceKinds.first());
    options.discountsCalculated = m_discounts->checkedId() != 1;
    // "Normale" keeps what stood in the key ("N" or "** NON USATO **").
    if (m_invoiceType->checkedId() == 1)
        options.invoiceType = QStringLiteral("A");
    else
        options.invoiceType =
            m_loadedOptions.invoiceType == QLatin1String("A") ? QStringLiteral("N") : m_loadedOptions.invoiceType;
    options.invoicePrint = m_invoicePrint->checkedId() == 1 ? QStringLiteral("R") : QStringLiteral("N");
    options.forceOrderInvoiced = m_orderRemainder->checkedId() == 0;
    options.vatRoundUp = m_vatRoundUp->isChecked();
    options.separateDebitNotes = m_separateDebitNotes->isChecked();
    options.printDetail = m_printDetail->isChecked();
    options.searchFrom = m_searchFrom->text().trimmed();
    options.searchTo = m_searchTo->text().trimmed();
    for (std::size_t i = 0; i < m_priorities.size(); ++i)
        options.priorities[i] = m_priorities[i]->value();
    options.free1 = m_free1->text();
    options.free2 = m_free2->text();
    return options;
}

void FrmDatiBase::describe(Ui::CodeField *field, const QString &table, QLineEdit *description)
{
    auto found = findTableCode(m_ctx.db, table, field->text());
    description->setText(found && found->has_value() ? (*found)->description : QString());
}

std::optional<Services::FieldProblem> FrmDatiBase::mark(const QList<Services::FieldProblem> &problems,
                                                       const QStringList &checked)
{
    for (const QString &name : checked) {
        m_form->markField(name, std::any_of(problems.begin(), problems.end(),
                                            [&name](const Services::FieldProblem &p) { return p.column == name; }));
    }
    if (problems.isEmpty())
        return std::nullopt;
    return problems.first();
}

void FrmDatiBase::refuse(const QString &message)
{
    m_ctx.prompter.warn(message, QString::fromUtf8(kFrmdatibaseTitleError));
}

bool FrmDatiBase::checkAll()
{
    const auto speaker = mark(checkBaseData(m_ctx.db, collectData(), collectOptions()), m_form->names());
    if (!speaker)
        return true;
    refuse(speaker->message);
    // The field losing the focus here is not being left by the operator.
    const QScopedValueRollback quiet(m_focusing, true);
    m_form->focusField(speaker->column);
    return false;
}

bool FrmDatiBase::checkField(QWidget *field)
{
    const QString name = m_form->nameOf(field);
    if (name.isEmpty())
        return true;
    const auto problems = checkBaseData(m_ctx.db, collectData(), collectOptions(), name);
    QStringList checked{name};
    if (name.startsWith(QLatin1String("PRIORITA"))) {
        checked.clear();
        for (int i = 0; i < int(m_priorities.size()); ++i)
            checked << BaseField::priority(i);
    }
    const auto speaker = mark(problems, checked);
    if (!speaker)
        return true;
    // The operator may go on: the field stays red until it is right, and
    // Registra checks everything again.
    refuse(speaker->message);
    return false;
}

bool FrmDatiBase::eventFilter(QObject *watched, QEvent *event)
{
    // A message box or a lookup list taking the focus is not leaving the
    // field, and on the way to the buttons Registra checks everything itself.
    auto *field = qobject_cast<QWidget *>(watched);
    if (field && !m_focusing && Ui::leavesField(event, {m_save, m_cancel, m_exit}))
        checkField(field);
    return QDialog::eventFilter(watched, event);
}

void FrmDatiBase::save()
{
    const BaseData data = collectData();
    const BaseOptions options = collectOptions();
    if (data == m_shownData && options == m_shownOptions)
        return;
    if (!m_ctx.db.checkWriteRights())
        return;
    if (!checkAll())
        return;
    if (m_ctx.prompter.ask(QString::fromUtf8(kFrmdatibaseConfirm), QString::fromUtf8(kFrmdatibaseTitle), Prompter::Icon::Question,
                           Prompter::Buttons::OkCancel, Prompter::Button::Cancel) != Prompter::Button::Ok)
        return;

    // The codes as their tables keep them, whatever case was typed.
    const auto entryOf = [this](const QString &table, const QString &code) {
        auto found = findTableCode(m_ctx.db, table, code);
        return found && found->has_value() ? **found : CodeEntry{code, {}};
    };
    const CodeEntry bank = entryOf(Tables::TAB_BAN_PAG, data.bank);
    const CodeEntry vat = entryOf(Tables::TAB_PERIVA, data.vatCode);
    BaseData stored = data;
    stored.bank = bank.code;
    stored.vatCode = vat.code;
    stored.warehouse = entryOf(Tables::TAB_MAGAZZINI, data.warehouse).code;
    Services::AppState &state = m_ctx.state;
    // Told to the operator already; nothing else is written and the input stays.
    if (!writeBaseData(m_ctx.db, state.company, stored))
        return;

    // The counters of a new year first (they take the archive lock
    // themselves), then the year. When they fail the year in use stays;
    // the field keeps the typed year, so Registra tries again.
    QString savedYear = m_shownOptions.year;
    if (options.year != savedYear && Services::Counters::verifyYearCounters(m_ctx.db, options.year)) {
        writeWorkingYear(m_ctx.settings, options.year);
        state.year = options.year;
        savedYear = options.year;
    }

    state.bankCode = stored.bank;
    state.bankDescription = bank.description;
    state.vatCode = stored.vatCode;
    state.vatDescription = vat.description;
    state.vatPeriod = stored.vatPeriod;
    state.separateNumbering = stored.separateNumbering;
    state.vatRegister = stored.vatRegister;
    state.warehouse = stored.warehouse;
    state.vatRoundUp = options.vatRoundUp ? QStringLiteral("SI") : QStringLiteral("NO");
    writeBaseOptions(m_ctx.settings, options);

    showData(stored);
    m_loadedOptions = options;
    m_shownData = stored;
    m_shownOptions = options;
    m_shownOptions.year = savedYear;
    if (m_onSaved)
        m_onSaved();
}

void FrmDatiBase::cancel()
{
    load();
}

void FrmDatiBase::pickColour(const QString &title, const char *key, const char *fallback, bool desktop)
{
    const QString name = QString::fromLatin1(key);
    const QString setting = m_ctx.settings.read(kMenu, name);
    const QColor current = Ui::colourFromSetting(setting.isEmpty() ? QString::fromLatin1(fallback) : setting,
                                             palette().color(QPalette::Button), palette());
    const QColor chosen = m_pickColour ? m_pickColour(current, title) : QColor();
    if (!chosen.isValid())
        return;
    m_ctx.settings.write(kMenu, name, Ui::settingFromColour(chosen));
    if (desktop) {
        if (m_onBackgroundChanged)
            m_onBackgroundChanged();
        return;
    }
    // The samples, and every field here, show the new colours at once.
    Ui::applyFieldColours(this, Ui::readFieldColours(m_ctx.settings, palette()));
}

} // namespace Orlavo::Shell
