#include "masterdata/windows/f110anac.h"

#include "masterdata/masterdata.h"
#include "masterdata/rules/taxcodes.h"
#include "masterdata/stores/customerprints.h"
#include "masterdata/windows/anamecli.h"
#include "masterdata/windows/codedlookups.h"
#include "services/core/concurrency.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"
#include "ui/frmrpt.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Ui::InputField;
using Services::Prompter;
namespace Tables = Services::Tables;

namespace {

constexpr char kInsertTitle[] = "Inserimento cliente";
constexpr char kModifyTitle[] = "Modifica cliente";
constexpr char kSaveWhere[] = "Anagrafica clienti";
constexpr char kDeleteWhere[] = "Modifica anacli";
constexpr char kConfirm[] = "Confermi registrazioni?";
constexpr char kDropRecord[] = "Rinuncia operazioni su record corrente?";
constexpr char kListWarning[] = "Attenzione: disselezionando l'opzione del listino personalizzato \n"
                                "si provoca la cancellazione dei listini del cliente.";
constexpr char kContactPrefix[] = "CONT_";

// The contact's own phones and fax share their names with the main ones.
const QStringList &contactShared()
{
    static const QStringList names = {QStringLiteral("TELEFONO1"), QStringLiteral("TELEFONO2"), QStringLiteral("FAX")};
    return names;
}

QString contactField(const QString &column)
{
    return contactShared().contains(column) ? QString::fromLatin1(kContactPrefix) + column : column;
}

// Fields chosen by description and stored by code.
struct Choice {
    QString table;
    QString key;
};

const QHash<QString, Choice> &choiceFields()
{
    static const QHash<QString, Choice> fields = {
        {QStringLiteral("NAZIONE"), {Tables::TAB_PAESI, QStringLiteral("PAESE")}},
        {QStringLiteral("UBICAZIONE"), {Tables::TAB_UBICAZIONE, QStringLiteral("CODICE")}},
        {QStringLiteral("TIPO_CLIENTE"), {Tables::TAB_TIPO_CLI, QStringLiteral("CODICE")}},
        {QStringLiteral("TIPO_DOC"), {Tables::TAB_DOC_ID, QStringLiteral("CODICE")}},
    };
    return fields;
}

const QStringList &weekdays()
{
    static const QStringList days = {QStringLiteral("LUNEDI'"),    QStringLiteral("MARTEDI'"),
                                     QStringLiteral("MERCOLEDI'"), QStringLiteral("GIOVEDI'"),
                                     QStringLiteral("VENERDI'"),   QStringLiteral("SABATO"),
                                     QStringLiteral("DOMENICA")};
    return days;
}

// The part and column a field shows: "CONT_" names the contact's own
// phones and fax; any other name is the column of the part that has it.
std::pair<int, QString> placeOf(const QString &name)
{
    const auto &parts = customerFamily().parts;
    if (name.startsWith(QLatin1String(kContactPrefix)))
        return {Contact, name.mid(int(qstrlen(kContactPrefix)))};
    for (const int part : {Main, Contact, Personal}) {
        if (parts.at(part).def->column(name))
            return {part, name};
    }
    return {Main, name};
}

} // namespace

F110Anac::F110Anac(Ui::AppContext &context, Mode mode, int code, QWidget *parent)
    : QDialog(parent), m_context(context), m_mode(mode)
{
    setObjectName(QStringLiteral("f110anac"));
    setWindowTitle(QString::fromLatin1(mode == Mode::Insert ? kInsertTitle : kModifyTitle));
    m_form = new Ui::FormBinder(this);
    build();
    fillCombos();
    attachLookups();
    if (mode == Mode::Modify) {
        const auto stored = loadCustomer(context.db, code);
        m_loaded = stored.has_value();
        m_stored = stored.value_or(Customer(customerFamily()));
        m_delete->setEnabled(m_loaded);
        display(m_stored);
    } else {
        m_delete->setEnabled(false);
        showNew();
    }
}

void F110Anac::showNew()
{
    m_stored = newCustomer(m_context.db);
    display(m_stored);
}

QWidget *F110Anac::page(const QString &title)
{
    auto *widget = new QWidget(m_tabs);
    m_tabs->addTab(widget, title);
    return widget;
}

QWidget *F110Anac::addLine(const QString &name, int length, const QString &kind)
{
    Ui::InputField *field = nullptr;
    if (kind == QLatin1String("D"))
        field = new Ui::DateField(this);
    else if (kind == QLatin1String("N"))
        field = new Ui::NumberField(2, false, this);
    else if (kind == QLatin1String("C"))
        field = new Ui::CodeField(length, this);
    else
        field = new Ui::TextField(length, this);
    if (kind != QLatin1String("D") && kind != QLatin1String("N"))
        field->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    if (length > 0 && length <= 7)
        field->setMaximumWidth(20 + 11 * length);
    bindField(name, field);
    field->installEventFilter(this);
    return field;
}

void F110Anac::bindField(const QString &name, QWidget *widget)
{
    widget->setObjectName(QStringLiteral("T_") + name);
    const auto [part, column] = placeOf(name);
    m_form->bind(name, widget, part, column);
}

QWidget *F110Anac::field(const QString &name) const
{
    return m_form->widget(name);
}

QString F110Anac::fieldName(const QObject *widget) const
{
    return m_form->nameOf(widget);
}

QWidget *F110Anac::addCombo(const QString &name)
{
    auto *combo = new QComboBox(this);
    bindField(name, combo);
    combo->installEventFilter(this);
    return combo;
}

QWidget *F110Anac::addCheck(const QString &name, const QString &caption)
{
    auto *check = new QCheckBox(caption, this);
    bindField(name, check);
    return check;
}

QLabel *F110Anac::addDescription(const QString &name)
{
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("D_DESC_") + name);
    label->setMinimumWidth(180);
    m_descriptions.insert(name, label);
    return label;
}

void F110Anac::build()
{
    auto *layout = new QVBoxLayout(this);

    auto *head = new QGridLayout;
    m_code = new QLabel(this);
    m_code->setObjectName(QStringLiteral("D_CLIENTE"));
    m_code->setMinimumWidth(60);
    m_code->setFrameShape(QFrame::StyledPanel);
    head->addWidget(new QLabel(QStringLiteral("Codice"), this), 0, 0);
    head->addWidget(m_code, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("Codice secondario"), this), 0, 2);
    head->addWidget(addLine(QStringLiteral("CODICE2"), 7, QStringLiteral("C")), 0, 3);
    head->addWidget(new QLabel(QStringLiteral("Ragione sociale"), this), 1, 0);
    head->addWidget(addLine(QStringLiteral("RAG_SOC1"), 60), 1, 1, 1, 4);
    head->addWidget(addLine(QStringLiteral("RAG_SOC2"), 60), 2, 1, 1, 4);
    head->setColumnStretch(4, 1);
    layout->addLayout(head);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Tabs"));
    layout->addWidget(m_tabs, 1);

    // Label and field pairs on a grid, row by row.
    const auto put = [](QGridLayout *grid, int row, int col, const QString &caption, QWidget *field, int span = 1) {
        auto *label = new QLabel(caption);
        label->setBuddy(field);
        grid->addWidget(label, row, col);
        grid->addWidget(field, row, col + 1, 1, span);
    };
    const auto coded = [this](const QString &name, int length) {
        auto *box = new QWidget(this);
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(addLine(name, length, QStringLiteral("C")));
        row->addWidget(addDescription(name), 1);
        return box;
    };

    // Main: the offices, tax identifiers, contacts, country and kind.
    {
        QWidget *tab = page(QStringLiteral("&Principale"));
        auto *grid = new QGridLayout(tab);
        const auto office = [&](const QString &title, const QString &suffix) {
            auto *box = new QGroupBox(title, tab);
            auto *g = new QGridLayout(box);
            put(g, 0, 0, QStringLiteral("Indirizzo"), addLine(QStringLiteral("INDIRIZZO_") + suffix, 60), 5);
            put(g, 1, 0, QStringLiteral("Località"), addLine(QStringLiteral("CITTA_") + suffix, 40));
            put(g, 1, 2, QStringLiteral("C.A.P."), addLine(QStringLiteral("CAP_") + suffix, 5, QStringLiteral("C")));
            const QString province = QStringLiteral("PROVINCIA_") + suffix;
            put(g, 1, 4, QStringLiteral("Prov."), addLine(province, 2, QStringLiteral("C")));
            g->addWidget(addDescription(province), 2, 1, 1, 5);
            g->setColumnStretch(1, 1);
            return box;
        };
        grid->addWidget(office(QStringLiteral("Sede Legale"), QStringLiteral("LEG")), 0, 0, 1, 4);
        grid->addWidget(office(QStringLiteral("Sede Amministrativa"), QStringLiteral("AMM")), 1, 0, 1, 4);
        put(grid, 2, 0, QStringLiteral("Partita IVA"), addLine(QStringLiteral("PART_IVA"), 11, QStringLiteral("C")));
        put(grid, 2, 2, QStringLiteral("Codice fiscale"), addLine(QStringLiteral("COD_FISC"), 16, QStringLiteral("C")));
        put(grid, 3, 0, QStringLiteral("Telefono"), addLine(QStringLiteral("TELEFONO1"), 20));
        put(grid, 3, 2, QStringLiteral("Telefono 2"), addLine(QStringLiteral("TELEFONO2"), 20));
        put(grid, 4, 0, QStringLiteral("Fax"), addLine(QStringLiteral("FAX"), 20));
        put(grid, 4, 2, QStringLiteral("E-mail"), addLine(QStringLiteral("E_MAIL"), 60));
        put(grid, 5, 0, QStringLiteral("Nazione"), addCombo(QStringLiteral("NAZIONE")));
        put(grid, 5, 2, QStringLiteral("Ubicazione"), addCombo(QStringLiteral("UBICAZIONE")));
        put(grid, 6, 0, QStringLiteral("Tipo cliente"), addCombo(QStringLiteral("TIPO_CLIENTE")));
        put(grid, 6, 2, QStringLiteral("Posizione"), addCombo(QStringLiteral("PERS_SOC")));
        put(grid, 7, 0, QStringLiteral("Codice ISO"), addLine(QStringLiteral("CODICE_ISO"), 2, QStringLiteral("C")));
        put(grid, 7, 2, QStringLiteral("Partita IVA CEE"), addLine(QStringLiteral("PART_IVA_CEE"), 20));
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        grid->setRowStretch(8, 1);
    }
    // Commercial terms.
    {
        QWidget *tab = page(QStringLiteral("C&ommerciale"));
        auto *grid = new QGridLayout(tab);
        put(grid, 0, 0, QStringLiteral("Condizione pagamento"), coded(QStringLiteral("COND_PAG"), 3), 3);
        put(grid, 1, 0, QStringLiteral("Banca d'appoggio"), coded(QStringLiteral("BANCA_APP"), 5), 3);
        put(grid, 2, 0, QStringLiteral("Banca di pagamento"), coded(QStringLiteral("BANCA_PAG"), 5), 3);
        put(grid, 3, 0, QStringLiteral("Conto corrente"), addLine(QStringLiteral("NRO_CONTO"), 20), 3);
        put(grid, 4, 0, QStringLiteral("Agente"), coded(QStringLiteral("AGENTE"), 5), 3);
        put(grid, 5, 0, QStringLiteral("Zona"), coded(QStringLiteral("ZONA"), 4), 3);
        put(grid, 6, 0, QStringLiteral("Codice attività"), coded(QStringLiteral("COD_ATTIVITA"), 6), 3);
        put(grid, 7, 0, QStringLiteral("Gruppo merceologico"), coded(QStringLiteral("COD_MERCE"), 6), 3);
        auto *discounts = new QHBoxLayout;
        for (const char *name : {"SCONTO1", "SCONTO2", "SCONTO3"}) {
            QWidget *field = addLine(QString::fromLatin1(name), 6, QStringLiteral("N"));
            field->setMaximumWidth(80);
            discounts->addWidget(field);
        }
        discounts->addStretch();
        grid->addWidget(new QLabel(QStringLiteral("Sconti %")), 8, 0);
        grid->addLayout(discounts, 8, 1, 1, 3);
        grid->addWidget(addCheck(QStringLiteral("SCFATT"), QStringLiteral("Applica gli sconti in fattura")),
                        9, 1, 1, 3);
        grid->addWidget(addCheck(QStringLiteral("TIPOLISTINO"), QStringLiteral("Listino personalizzato")),
                        10, 1, 1, 3);
        grid->addWidget(addCheck(QStringLiteral("SUDDIVCANTIERE"), QStringLiteral("Fatturazione suddivisa per luogo di consegna")),
                        11, 1, 1, 3);
        put(grid, 12, 0, QStringLiteral("Note"), addLine(QStringLiteral("NOTE1"), 250), 3);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(13, 1);
    }
    // Accounting.
    {
        QWidget *tab = page(QStringLiteral("Co&ntabilità"));
        auto *grid = new QGridLayout(tab);
        put(grid, 0, 0, QStringLiteral("Conto cliente"), coded(QStringLiteral("CONTO_PATRIM"), 6));
        put(grid, 1, 0, QStringLiteral("Conto ricavo"), coded(QStringLiteral("CONTO_RICAVO"), 6));
        put(grid, 2, 0, QStringLiteral("Codice IVA"), coded(QStringLiteral("CODICE_IVA"), 4));
        put(grid, 3, 0, QStringLiteral("Registro IVA"), coded(QStringLiteral("REGISTRO_IVA"), 2));
        grid->addWidget(addCheck(QStringLiteral("ELENCO_CLIENTI"), QStringLiteral("Compreso nell'elenco clienti")),
                        4, 1);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(5, 1);
    }
    // Contact and visits.
    {
        QWidget *tab = page(QStringLiteral("Con&tatti"));
        auto *grid = new QGridLayout(tab);
        const auto line = [this](const char *column, int length, const QString &kind = {}) {
            return addLine(contactField(QString::fromLatin1(column)), length, kind);
        };
        put(grid, 0, 0, QStringLiteral("Responsabile"), line("RESPONSABILE", 60), 3);
        put(grid, 1, 0, QStringLiteral("Recapito"), line("DESCRIZIONE1", 60), 3);
        put(grid, 2, 0, QStringLiteral("Luogo scarico merce"), line("DESCRIZIONE2", 60), 3);
        put(grid, 3, 0, QStringLiteral("Telefono"), line("TELEFONO1", 20));
        put(grid, 3, 2, QStringLiteral("Telefono 2"), line("TELEFONO2", 20));
        put(grid, 4, 0, QStringLiteral("Fax"), line("FAX", 20));
        put(grid, 4, 2, QStringLiteral("Orario magazzino"), line("ORA_MAG", 30));
        put(grid, 5, 0, QStringLiteral("Giorno di chiusura"), addCombo(QStringLiteral("GIORNO_CHIU")));
        put(grid, 5, 2, QStringLiteral("Giorno di visita"), addCombo(QStringLiteral("GIORNO_VISITA")));
        put(grid, 6, 0, QStringLiteral("Ultima visita"), line("ULT_VISITA", 10, QStringLiteral("D")));
        put(grid, 6, 2, QStringLiteral("Prossima visita"), line("PROS_VISITA", 10, QStringLiteral("D")));
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        grid->setRowStretch(7, 1);
    }
    // A private person's data.
    {
        QWidget *tab = page(QStringLiteral("Dati &personali"));
        auto *grid = new QGridLayout(tab);
        put(grid, 0, 0, QStringLiteral("Sesso"), addCombo(QStringLiteral("SESSO")));
        put(grid, 0, 2, QStringLiteral("Data di nascita"),
            addLine(QStringLiteral("DATA_NASC"), 10, QStringLiteral("D")));
        put(grid, 1, 0, QStringLiteral("Luogo di nascita"), addLine(QStringLiteral("CITTA_NASC"), 40));
        auto *province = new QWidget(this);
        auto *row = new QHBoxLayout(province);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(addLine(QStringLiteral("PROV_NASC"), 2, QStringLiteral("C")));
        row->addWidget(addDescription(QStringLiteral("PROV_NASC")), 1);
        put(grid, 1, 2, QStringLiteral("Prov."), province);
        put(grid, 2, 0, QStringLiteral("Documento"), addCombo(QStringLiteral("TIPO_DOC")));
        put(grid, 2, 2, QStringLiteral("Numero"), addLine(QStringLiteral("NRO_DOC"), 20));
        put(grid, 3, 0, QStringLiteral("Rilasciato da"), addLine(QStringLiteral("ENTE_RIL"), 40), 3);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        grid->setRowStretch(4, 1);
    }
    m_form->setTabs(m_tabs);

    const auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    m_save = button(QStringLiteral("&Conferma"), "B_Conferma");
    m_cancel = button(QStringLiteral("&Annulla"), "B_Annulla");
    m_delete = button(QStringLiteral("&Elimina"), "B_Elimina");
    QPushButton *print = button(QStringLiteral("&Stampa"), "B_Stampa");
    QPushButton *envelope = button(QStringLiteral("&Busta"), "B_Busta");
    // A customer not stored yet has nothing to print.
    print->setEnabled(m_mode == Mode::Modify);
    envelope->setEnabled(m_mode == Mode::Modify);
    QPushButton *places = button(QStringLiteral("&Luoghi consegna"), "B_Luoghi");
    m_exit = button(QStringLiteral("E&sci"), "B_Esci");
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { cancel(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { remove(); });
    connect(print, &QPushButton::clicked, this, [this] { printCard(true); });
    connect(envelope, &QPushButton::clicked, this, [this] { printEnvelope(); });
    connect(places, &QPushButton::clicked, this, [this] { openDeliveryPlaces(); });
    connect(m_exit, &QPushButton::clicked, this, [this] { close(); });
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {print, envelope, places})
        buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton *b : {m_save, m_cancel, m_delete, m_exit})
        buttons->addWidget(b);
    layout->addLayout(buttons);
}

void F110Anac::fillCombos()
{
    const auto fill = [](QWidget *widget, const QList<std::pair<QString, QString>> &items) {
        auto *combo = static_cast<QComboBox *>(widget);
        combo->addItem(QString(), QString());
        for (const auto &[shown, code] : items)
            combo->addItem(shown, code);
    };
    for (auto it = choiceFields().begin(); it != choiceFields().end(); ++it) {
        QList<std::pair<QString, QString>> items;
        if (m_context.db.companyOpen()) {
            auto rows = m_context.db.openRecordset(
                QStringLiteral("SELECT %1, DESCRIZIONE FROM %2 ORDER BY DESCRIZIONE").arg(it->key, it->table), {},
                Services::databaseOf(it->table));
            if (rows) {
                for (const auto &row : *rows)
                    items.append({row.text(QStringLiteral("DESCRIZIONE")), row.text(it->key)});
            }
        }
        fill(field(it.key()), items);
    }
    QList<std::pair<QString, QString>> days;
    for (const QString &day : weekdays())
        days.append({day, day});
    fill(field(QStringLiteral("GIORNO_CHIU")), days);
    fill(field(QStringLiteral("GIORNO_VISITA")), days);
    fill(field(QStringLiteral("SESSO")),
         {{QStringLiteral("Maschile"), QStringLiteral("M")}, {QStringLiteral("Femminile"), QStringLiteral("F")}});
    fill(field(QStringLiteral("PERS_SOC")),
         {{QStringLiteral("Persona fisica"), QStringLiteral("P")}, {QStringLiteral("Società"), QStringLiteral("S")}});
}

void F110Anac::attachLookups()
{
    for (auto it = m_descriptions.begin(); it != m_descriptions.end(); ++it) {
        const QString name = it.key();
        const CodedLookup lookup = *partyLookup(name);
        auto *code = static_cast<Ui::CodeField *>(field(name));
        Ui::attachLookup(code, m_context, [lookup] { return codedLookupList(lookup); });
        connect(
            code, &Ui::CodeField::lookupRequested, this, [this, name] { showDescription(name); },
            Qt::QueuedConnection);
    }
    // F4 on a town offers the municipalities.
    for (const QString &suffix : {QStringLiteral("LEG"), QStringLiteral("AMM")}) {
        const QString town = QStringLiteral("CITTA_") + suffix;
        offerTownList(static_cast<Ui::InputField *>(field(town)), m_context, [this, town](const Town &) { leaveField(town); });
    }
    offerTownList(static_cast<Ui::InputField *>(field(QStringLiteral("CITTA_NASC"))), m_context,
                  [this](const Town &town) {
                      setValue(QStringLiteral("PROV_NASC"), town.province);
                      showDescription(QStringLiteral("PROV_NASC"));
                  });
    for (const QString &suffix : {QStringLiteral("LEG"), QStringLiteral("AMM")}) {
        auto *cap = static_cast<Ui::CodeField *>(field(QStringLiteral("CAP_") + suffix));
        connect(cap, &Ui::CodeField::lookupRequested, this, [this, suffix] {
            const auto chosen = pickPostalCode(m_context, this);
            if (!chosen)
                return;
            setValue(QStringLiteral("CAP_") + suffix, chosen->postalCode);
            setValue(QStringLiteral("CITTA_") + suffix, chosen->town);
            setValue(QStringLiteral("PROVINCIA_") + suffix, chosen->province);
            showDescription(QStringLiteral("PROVINCIA_") + suffix);
        });
    }
}

void F110Anac::setValue(const QString &name, const QString &text)
{
    m_form->setText(name, text);
}

QString F110Anac::value(const QString &name) const
{
    return m_form->text(name);
}

Customer F110Anac::customer() const
{
    return m_form->read(m_stored);
}

bool F110Anac::hasChanges() const
{
    return m_loaded && m_form->hasChanges();
}

void F110Anac::display(const Customer &c)
{
    m_form->load(c);
    const int code = customerCode(c);
    m_code->setText(code ? QString::number(code) : QString());
    m_keptTaxCode.clear();
    for (auto it = m_descriptions.begin(); it != m_descriptions.end(); ++it)
        showDescription(it.key());
}

void F110Anac::showDescription(const QString &name)
{
    if (QLabel *label = m_descriptions.value(name))
        label->setText(codedDescription(m_context.db, *partyLookup(name), value(name)));
}

bool F110Anac::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving a field for another runs its assistance; a message box or
    // list taking the focus, or the way out, does not.
    if (!m_closing && !fieldName(watched).isEmpty() && Ui::leavesField(event, {m_cancel, m_exit})) {
        auto *line = qobject_cast<Ui::InputField *>(watched);
        if (line && line->isModified()) {
            line->setModified(false);
            leaveField(fieldName(watched));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void F110Anac::leaveField(const QString &name)
{
    if (name.startsWith(QLatin1String("CITTA_"))) {
        const QString suffix = name.mid(6);
        if (const auto place = placeOfTown(m_context, value(name), this)) {
            if (!place->postalCode.isEmpty())
                setValue(QStringLiteral("CAP_") + suffix, place->postalCode);
            setValue(QStringLiteral("PROVINCIA_") + suffix, place->province);
            Ui::markFieldError(field(QStringLiteral("PROVINCIA_") + suffix), false);
            showDescription(QStringLiteral("PROVINCIA_") + suffix);
        }
        return;
    }
    if (name == QLatin1String("COD_FISC")) {
        const QString code = value(name).trimmed();
        setValue(name, code);
        if (code.isEmpty())
            return;
        const bool accepted = taxCodeKept(code);
        Ui::markFieldError(field(name), !accepted);
        if (accepted)
            showPerson(code);
        return;
    }
    if (auto *number = qobject_cast<Ui::NumberField *>(field(name)))
        number->normalise();
    if (m_descriptions.contains(name))
        showDescription(name);
    // A value given and refused: the confirm check's message at once.
    Ui::markFieldError(field(name), false);
    if (value(name).trimmed().isEmpty())
        return;
    const auto problems = checkCustomer(m_context.db, customer(), m_keptTaxCode, name);
    if (!problems.isEmpty()) {
        Ui::markFieldError(field(name), true);
        m_context.prompter.error(problems.first().message, windowTitle());
    }
}

bool F110Anac::taxCodeKept(const QString &code)
{
    if (code == m_keptTaxCode)
        return true;
    const auto doubt = doubtfulTaxCode(code);
    if (!doubt)
        return true;
    if (m_context.prompter.ask(
            QStringLiteral("Codice fiscale errato\n") + *doubt + QStringLiteral("\nMantenere ugualmente"),
            windowTitle(), Prompter::Icon::Question, Prompter::Buttons::YesNo) != Prompter::Button::Yes)
        return false;
    m_keptTaxCode = code;
    return true;
}

void F110Anac::showPerson(const QString &code)
{
    if (code.size() != 16)
        return;
    const auto person = personFromTaxCode(code);
    if (!person)
        return;
    setValue(QStringLiteral("SESSO"), QString(person->sex));
    setValue(QStringLiteral("DATA_NASC"), person->birth.toString(QStringLiteral("dd/MM/yyyy")));
    // The town of birth when its cadastral code is in the list; nothing is
    // said of one abroad or merged since.
    if (const auto town = townOfCadastralCode(m_context.db, person->birthplace)) {
        setValue(QStringLiteral("CITTA_NASC"), town->name);
        setValue(QStringLiteral("PROV_NASC"), town->province);
    }
}

void F110Anac::focusField(const QString &name)
{
    m_form->focusField(name);
}

bool F110Anac::checkAll()
{
    const Customer typed = customer();
    // The tax code's question comes with its check, in its place.
    const QString taxCode = typed.value(QStringLiteral("COD_FISC")).toString();
    auto problems = checkCustomer(m_context.db, typed, m_keptTaxCode);
    const auto isTaxCode = [](const Services::FieldProblem &p) { return p.column == QLatin1String("COD_FISC"); };
    if (std::any_of(problems.begin(), problems.end(), isTaxCode) && taxCodeKept(taxCode))
        problems.removeIf(isTaxCode);
    // The last failing check speaks; its tab comes forward.
    const auto speaker = m_form->showProblems(problems);
    if (!speaker)
        return true;
    m_context.prompter.error(speaker->message, windowTitle());
    focusField(speaker->column);
    return false;
}

bool F110Anac::confirmDuplicates(const Customer &typed)
{
    for (const Services::FieldProblem &shared : sharedIdentifiers(m_context.db, typed, m_stored)) {
        if (m_context.prompter.ask(shared.message + QStringLiteral("\nContinuare ugualmente?"), windowTitle(),
                                   Prompter::Icon::Question, Prompter::Buttons::YesNo) != Prompter::Button::Yes) {
            focusField(shared.column);
            return false;
        }
    }
    return true;
}

bool F110Anac::stillStored(bool forDelete)
{
    switch (Services::compareStored(m_context.db, customerFamily(), m_stored)) {
    case Services::StoredState::Same: return true;
    case Services::StoredState::Changed:
        return m_context.prompter.ask(Services::Concurrency::changedElsewhere(), windowTitle(), Prompter::Icon::Warning,
                                      Prompter::Buttons::OkCancel) == Prompter::Button::Ok;
    case Services::StoredState::Gone:
        m_context.prompter.error(Services::Concurrency::deletedElsewhere(),
                                 QString::fromLatin1(forDelete ? kDeleteWhere : kSaveWhere));
        return false;
    }
    return false;
}

bool F110Anac::save()
{
    if (!m_loaded || !m_context.db.checkWriteRights())
        return false;
    if (!hasChanges())
        return false;
    if (!checkAll())
        return false;
    const Customer typed = customer();
    if (!confirmDuplicates(typed))
        return false;
    QString question = QString::fromLatin1(kConfirm);
    if (m_mode == Mode::Modify && dropsPersonalList(typed, m_stored))
        question = QString::fromLatin1(kListWarning) + QLatin1Char('\n') + question;
    if (m_context.prompter.ask(question, windowTitle(), Prompter::Icon::Question, Prompter::Buttons::OkCancel) !=
        Prompter::Button::Ok)
        return false;

    Services::WriteResult written;
    if (m_mode == Mode::Insert) {
        written = insertCustomer(m_context.db, typed);
    } else {
        if (!stillStored(false))
            return false;
        written = updateCustomer(m_context.db, typed, m_stored);
    }
    const int code = int(written.code);
    if (written.end == Services::WriteEnd::Duplicate) {
        Ui::markFieldError(field(QStringLiteral("CODICE2")), true);
        m_context.prompter.error(QStringLiteral("Codice secondario già presente in archivio !"), windowTitle());
        focusField(QStringLiteral("CODICE2"));
        return false;
    }
    if (!written.written())
        return false;
    if (m_mode == Mode::Insert) {
        m_context.prompter.info(QStringLiteral("Assegnato codice ") + QString::number(code), windowTitle());
        showNew();
        m_tabs->setCurrentIndex(0);
        focusField(QStringLiteral("CODICE2"));
    } else if (const auto stored = loadCustomer(m_context.db, code)) {
        m_stored = *stored;
        display(m_stored);
    }
    if (m_onWritten)
        m_onWritten(code);
    return true;
}

void F110Anac::cancel()
{
    if (hasChanges() &&
        m_context.prompter.ask(QString::fromLatin1(kDropRecord), windowTitle(), Prompter::Icon::Question,
                               Prompter::Buttons::YesNo) != Prompter::Button::Yes)
        return;
    display(m_stored);
}

bool F110Anac::remove()
{
    if (m_mode != Mode::Modify || !m_loaded || !m_context.db.checkWriteRights())
        return false;
    const int code = customerCode(m_stored);
    const auto uses = customerUsesOf(m_context.db, code);
    if (!uses) {
        // Not known whether documents use the customer: nothing is deleted.
        m_context.prompter.error(QStringLiteral("Impossibile verificare le registrazioni del cliente:\n") +
                                     uses.failure().message,
                                 windowTitle());
        return false;
    }
    if (!uses->isEmpty()) {
        m_context.prompter.error(
            QStringLiteral("Impossibile eliminare Cliente,\nsono ancora presenti registrazioni su : ") +
                uses->join(QStringLiteral(", ")),
            windowTitle());
        return false;
    }
    if (m_context.prompter.ask(QStringLiteral("Confermi eliminazione Cliente?"), windowTitle(),
                               Prompter::Icon::Question, Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
        return false;
    if (!stillStored(true) || !deleteCustomer(m_context.db, code).written())
        return false;
    if (m_onWritten)
        m_onWritten(code);
    m_stored = Customer(customerFamily());
    m_closing = true;
    close();
    return true;
}

bool F110Anac::printCard(bool preview)
{
    if (m_mode != Mode::Modify || !m_loaded)
        return false;
    Reporting::PrintCommand command = customerCardPrint(customerCode(m_stored));
    command.output = preview ? Reporting::ReportOutput::Preview : Reporting::ReportOutput::Printer;
    return Ui::printReport(m_context, command, this);
}

bool F110Anac::printEnvelope()
{
    if (m_mode != Mode::Modify || !m_loaded)
        return false;
    auto command = customerEnvelopePrint(m_context.db, customerCode(m_stored));
    if (!command)
        return false;
    command->output = Reporting::ReportOutput::Preview;
    return Ui::printReport(m_context, *command, this);
}

void F110Anac::openDeliveryPlaces()
{
    if (m_mode == Mode::Insert) {
        m_context.prompter.info(QString::fromUtf8(kPlacesAfterInsert), windowTitle());
        return;
    }
    if (!m_loaded)
        return;
    AnaMeCli places(m_context, customerCode(m_stored), this);
    places.exec();
}

void F110Anac::TimStampa()
{
    printCard(false);
}

void F110Anac::TimAnte()
{
    printCard(true);
}

void F110Anac::closeEvent(QCloseEvent *event)
{
    if (!m_closing && hasChanges() &&
        m_context.prompter.ask(QString::fromLatin1(kDropRecord), windowTitle(), Prompter::Icon::Question,
                               Prompter::Buttons::YesNo) != Prompter::Button::Yes) {
        event->ignore();
        return;
    }
    m_closing = true;
    QDialog::closeEvent(event);
}

} // namespace Orlavo::Masterdata
