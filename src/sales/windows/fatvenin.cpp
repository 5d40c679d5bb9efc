#include "sales/windows/fatvenin.h"

#include "masterdata/masterdata.h"
#include "masterdata/rules/vatrules.h"
#include "masterdata/stores/accountroles.h"
#include "sales/stores/invoicechecks.h"
#include "sales/stores/invoiceentry.h"
#include "sales/stores/invoiceupdate.h"
#include "sales/stores/salestables.h"
#include "sales/windows/documentrows.h"
#include "sales/windows/documenttotals.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Orlavo::Sales {

using Services::Prompter;
using Services::Row;
namespace Tables = Services::Tables;

namespace {

constexpr char kInvoiceTitle[] = "Emissione Fatture di Vendita";
constexpr char kReceiptTitle[] = "Emissione Ricevuta fiscale  ";
constexpr char kProposalSuffix[] = " (PROPOSTA)";
constexpr char kErrorTitle[] = "ERRORE";
constexpr char kRoundUpQuestion[] =
    "Attenzione, il calcolo dell'Iva prevede l'arrotondamento al centesimo superiore. Si è proprio sicuri ? ";
constexpr char kSeriesQuestion[] = "Attenzione, si è scelta una numerazione speciale. Si è proprio sicuri ? ";
constexpr char kConfirmQuestion[] = "Confermi registrazioni?";
constexpr char kLeaveQuestion[] = "Rinuncia operazioni su dati correnti ?";

// The header columns whose change moves the figures.
const QStringList kFigureColumns{
    QStringLiteral("MOVIMENTO"), QStringLiteral("DATA_DOC"),  QStringLiteral("COND_PAG"),  QStringLiteral("SCONTO1"),
    QStringLiteral("SCONTO2"),   QStringLiteral("SCONTO3"),   QStringLiteral("SPESE_TRA"), QStringLiteral("IVA_TRA"),
    QStringLiteral("SPESE_BAN"), QStringLiteral("IVA_BAN"),   QStringLiteral("BOLLI"),     QStringLiteral("IVA_BOL"),
    QStringLiteral("PERC_RIT"),  QStringLiteral("IMPON_RIT"), QStringLiteral("DATA_REG")};

// Columns stored as typed text, dates and figures.
const QStringList kTextColumns{
    QStringLiteral("MOVIMENTO"), QStringLiteral("CONTO_CLI"),    QStringLiteral("CONTO_IVA"), QStringLiteral("CAUSALE"),
    QStringLiteral("CCOS"),      QStringLiteral("COND_PAG"),     QStringLiteral("BANCA_APP"), QStringLiteral("BANCA_PAG"),
    QStringLiteral("CONTO_COR"), QStringLiteral("BOLLA"),        QStringLiteral("ORDINE"),    QStringLiteral("CONTO_SCONTI"),
    QStringLiteral("IVA_TRA"),   QStringLiteral("CONTO_TRA"),    QStringLiteral("IVA_BAN"),   QStringLiteral("CONTO_BAN"),
    QStringLiteral("IVA_BOL"),   QStringLiteral("CONTO_BOL")};
const QStringList kFigureFields{QStringLiteral("SCONTO1"),   QStringLiteral("SCONTO2"),  QStringLiteral("SCONTO3"),
                                QStringLiteral("SPESE_TRA"), QStringLiteral("SPESE_BAN"), QStringLiteral("BOLLI"),
                                QStringLiteral("PERC_PROV")};
const QStringList kDeliveryColumns{QStringLiteral("DESTINA1"),    QStringLiteral("DESTINA2"),
                                   QStringLiteral("DESTINA3"),    QStringLiteral("DESTINA_CAP"),
                                   QStringLiteral("DESTINA_PROV"), QStringLiteral("CAUS_TRA")};

QString fatveninUtf(const char *text)
{
    return QString::fromUtf8(text);
}

Ui::LookupRequest codeList(const QString &table, const QString &title, const QString &condition = {})
{
    Ui::LookupRequest request;
    request.table = table;
    request.title = title;
    request.columns = {{QStringLiteral("CODICE"), QStringLiteral("08C"), QStringLiteral("Codice")},
                       {QStringLiteral("DESCRIZIONE"), QStringLiteral("30B"), QStringLiteral("Descrizione")}};
    request.condition = condition;
    return request;
}

Ui::LookupRequest agentList()
{
    Ui::LookupRequest request;
    request.table = Tables::ANAG_FOR;
    request.title = QStringLiteral("Lista AGENTI");
    request.columns = {{QStringLiteral("FORNITORE"), QStringLiteral("06N"), QStringLiteral("Codice")},
                       {QStringLiteral("RAG_SOC1"), QStringLiteral("40B"), QStringLiteral("Ragione sociale")}};
    request.condition = QStringLiteral("AGENTE = 'A'");
    return request;
}

} // namespace

FatVenIn::FatVenIn(Ui::AppContext &context, Mode mode, QWidget *parent)
    : QDialog(parent), m_context(context), m_mode(mode), m_settings(readInvoiceSettings(context.settings))
{
    setObjectName(QStringLiteral("FatVenIn"));
    QString title = fatveninUtf(mode == Mode::Receipt ? kReceiptTitle : kInvoiceTitle);
    if (mode == Mode::Proposal)
        title += fatveninUtf(kProposalSuffix);
    setWindowTitle(title);
    if (const auto rates = vatRates(context.db))
        m_rates = *rates;
    build();
    clear();
}

FatVenIn::FatVenIn(Ui::AppContext &context, const SalesDocument &stored, QWidget *parent)
    : QDialog(parent), m_context(context),
      m_mode(stored.family == Family::Proposal ? Mode::Proposal
             : stored.header.text(QStringLiteral("MOVIMENTO")).trimmed() == QLatin1String("VFR") ? Mode::Receipt
                                                                                                 : Mode::Invoice),
      m_settings(readInvoiceSettings(context.settings)), m_stored(stored)
{
    setObjectName(QStringLiteral("FatVenAg"));
    QString title = m_mode == Mode::Receipt ? QStringLiteral("Modifica Ricevuta fiscale")
                                            : QStringLiteral("Modifica Fatture di Vendita");
    if (m_mode == Mode::Proposal)
        title += fatveninUtf(kProposalSuffix);
    setWindowTitle(title);
    if (const auto rates = vatRates(context.db))
        m_rates = *rates;
    build();
    // Type and series keep the number their counter gave.
    m_fields->field(QStringLiteral("MOVIMENTO"))->setReadOnly(true);
    m_series->setEnabled(false);
    showStored(stored);
}

FatVenIn::~FatVenIn() = default;

QString FatVenIn::rowsSnapshot() const
{
    QStringList cells;
    for (int row = 0; row < m_rows->rowCount(); ++row)
        for (int column = 0; column < DocumentRows::ColumnCount; ++column)
            cells.append(m_rows->cell(row, column));
    return cells.join(QChar(0x1f));
}

bool FatVenIn::reload()
{
    const auto read = readDocument(m_context.db, m_stored->family, m_stored->year(), m_stored->number());
    if (!read || !read->has_value())
        return false;
    m_stored = **read;
    showStored(*m_stored);
    return true;
}

void FatVenIn::showStored(const SalesDocument &document)
{
    const Row &h = document.header;
    m_loading = true;
    m_computing = true;
    m_fields->clear();
    m_rows->clearRows();
    m_dues->clear();
    m_places->clear();
    m_fields->setValue(QStringLiteral("ANNO"), document.year());
    const auto dateText = [&h](const char *column) {
        const QDate date = h.date(QString::fromLatin1(column));
        return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    };
    m_fields->setValue(QStringLiteral("DATA_REG"), dateText("DATA_REG"));
    m_fields->setValue(QStringLiteral("DATA_DOC"), dateText("DATA_DOC"));
    // The VAT as stored, typed over or not, stays while its slot does.
    m_summary = storedPosting(document).summary;
    m_computing = false;
    fillFrom(document);
    m_fields->setNumber(QStringLiteral("PERC_PROV"), h.number(QStringLiteral("PERC_PROV")), 2);
    // The due dates as stored, until what they come from changes.
    QList<Masterdata::DueLine> dues;
    for (const Row &due : document.dueDates)
        dues.append({due.date(QStringLiteral("SCADENZA")), due.number(QStringLiteral("IMPORTO")),
                     due.number(QStringLiteral("IMPO_PROV"))});
    m_dues->show(dues, decimals());
    m_dueSource = m_lastSource;
    recompute();
    QStringList states;
    if (h.integer(QStringLiteral("STAMPATA")) != 0)
        states << QStringLiteral("STAMPATA");
    if (h.integer(QStringLiteral("ANNULLATA")) != 0)
        states << QStringLiteral("ANNULLATA");
    m_numbers->setText(QStringLiteral("N. doc. %1   N. reg. %2   N. interno %3%4")
                           .arg(h.integer(QStringLiteral("NRO_DOC")))
                           .arg(h.integer(QStringLiteral("NRO_REG")))
                           .arg(h.integer(QStringLiteral("NRO_INT")))
                           .arg(states.isEmpty() ? QString() : QStringLiteral("   ") + states.join(QLatin1Char(' '))));
    for (Ui::InputField *field : findChildren<Ui::InputField *>())
        field->setModified(false);
    m_shown = m_fields->snapshot();
    m_rowsShown = rowsSnapshot();
    m_loading = false;
    shown();
}

QWidget *FatVenIn::makeHeader()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;
    auto &f = *m_fields;
    Ui::addLabelled(grid, 0, 0, QStringLiteral("Tipo doc."),
                    f.addCoded(QStringLiteral("MOVIMENTO"), 3, 50, codeTable(Tables::TAB_TIPO_DOC),
                               [] { return codeList(Tables::TAB_TIPO_DOC, QStringLiteral("Lista TIPI DOCUMENTO"),
                                                    QStringLiteral("CODICE LIKE 'V%'")); },
                               180),
                    3);
    m_series = new QComboBox(box);
    m_series->setObjectName(QStringLiteral("T_TIPOFATT"));
    m_series->addItem(QStringLiteral("Numerazione ordinaria"), QString());
    for (const char *letter : {"A", "B", "C"})
        m_series->addItem(QStringLiteral("Numerazione /") + QLatin1String(letter), QString::fromLatin1(letter));
    Ui::addLabelled(grid, 0, 4, QStringLiteral("Serie"), m_series);
    Ui::addLabelled(grid, 0, 6, QStringLiteral("Anno"), f.add(QStringLiteral("ANNO"), new Ui::CodeField(4, box), 50, false));
    m_numbers = new QLabel(box);
    m_numbers->setObjectName(QStringLiteral("numeri"));
    grid->addWidget(m_numbers, 1, 6, 1, 3);
    Ui::addLabelled(grid, 1, 0, QStringLiteral("Data reg."),
                    f.add(QStringLiteral("DATA_REG"), new Ui::DateField(box), dateWidth));
    Ui::addLabelled(grid, 1, 2, QStringLiteral("Data doc."),
                    f.add(QStringLiteral("DATA_DOC"), new Ui::DateField(box), dateWidth));
    Ui::addLabelled(grid, 1, 4, QStringLiteral("Cliente"),
                    f.addCoded(QStringLiteral("CLIENTE"), 5, 60,
                               {Tables::ANAG_CLI, QStringLiteral("CLIENTE"), QStringLiteral("RAG_SOC1"),
                                QStringLiteral("CLIENTE <> 99999"), true},
                               [] { return Masterdata::customerList(); }, 260),
                    3);
    auto *customer = new QWidget(box);
    auto *lines = new QVBoxLayout(customer);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(0);
    for (const char *name : {"INDIRIZZO", "LOCALITA", "PARTITA_IVA", "CODICE_FISCALE"})
        lines->addWidget(f.addLabel(QString::fromLatin1(name), customer));
    grid->addWidget(customer, 2, 5, 2, 3);
    grid->setColumnStretch(8, 1);
    return box;
}

QWidget *FatVenIn::makeAccounts()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    auto &f = *m_fields;
    const auto account = [](const QString &title) {
        return [title] { return codeList(Tables::TAB_PIANO_CONTI, title); };
    };
    const CodeSource accounts = codeTable(Tables::TAB_PIANO_CONTI);
    Ui::addLabelled(grid, 0, 0, QStringLiteral("Conto cliente"),
                    f.addCoded(QStringLiteral("CONTO_CLI"), 6, 70, accounts, account(QStringLiteral("Lista CONTI"))));
    Ui::addLabelled(grid, 0, 2, QStringLiteral("Conto IVA"),
                    f.addCoded(QStringLiteral("CONTO_IVA"), 6, 70, accounts, account(QStringLiteral("Lista CONTI"))));
    Ui::addLabelled(grid, 1, 0, QStringLiteral("Tipo causale"),
                    f.addCoded(QStringLiteral("CAUSALE"), 2, 40, codeTable(Tables::TAB_TIPO_CAUS),
                               [] { return codeList(Tables::TAB_TIPO_CAUS, QStringLiteral("Lista TIPI CAUSALE"),
                                                    QStringLiteral("CODICE LIKE 'V%'")); }));
    Ui::addLabelled(grid, 1, 2, QStringLiteral("Centro di costo"),
                    f.addCoded(QStringLiteral("CCOS"), 2, 40, codeTable(Tables::TAB_CCOS),
                               [] { return codeList(Tables::TAB_CCOS, QStringLiteral("Lista CENTRI DI COSTO")); }));
    Ui::addLabelled(grid, 2, 0, QStringLiteral("Pagamento"),
                    f.addCoded(QStringLiteral("COND_PAG"), 3, 50, codeTable(Tables::TAB_COND_PAG),
                               [] { return codeList(Tables::TAB_COND_PAG, QStringLiteral("Lista CONDIZIONI PAGAMENTO")); }));
    Ui::addLabelled(grid, 2, 2, QStringLiteral("Agente"),
                    f.addCoded(QStringLiteral("AGENTE"), 5, 60,
                               {Tables::ANAG_FOR, QStringLiteral("FORNITORE"), QStringLiteral("RAG_SOC1"),
                                QStringLiteral("AGENTE = 'A'"), true},
                               [] { return agentList(); }));
    Ui::addLabelled(grid, 3, 0, QStringLiteral("Banca appoggio"),
                    f.addCoded(QStringLiteral("BANCA_APP"), 5, 60, codeTable(Tables::TAB_BAN_APP),
                               [] { return codeList(Tables::TAB_BAN_APP, QStringLiteral("Lista BANCHE APPOGGIO")); }));
    Ui::addLabelled(grid, 3, 2, QStringLiteral("% provvigione"),
                    f.add(QStringLiteral("PERC_PROV"), new Ui::NumberField(2, false, page), 70));
    Ui::addLabelled(grid, 4, 0, QStringLiteral("Banca pagamento"),
                    f.addCoded(QStringLiteral("BANCA_PAG"), 5, 60, codeTable(Tables::TAB_BAN_PAG),
                               [] { return codeList(Tables::TAB_BAN_PAG, QStringLiteral("Lista BANCHE PAGAMENTO")); }));
    Ui::addLabelled(grid, 4, 2, QStringLiteral("C/C"), f.add(QStringLiteral("CONTO_COR"), new Ui::TextField(20, page), 160));
    Ui::addLabelled(grid, 5, 0, QStringLiteral("Rif. bolla"), f.add(QStringLiteral("BOLLA"), new Ui::TextField(60, page), 220));
    Ui::addLabelled(grid, 5, 2, QStringLiteral("Rif. ordine"), f.add(QStringLiteral("ORDINE"), new Ui::TextField(60, page), 220));
    auto *discounts = new QWidget(page);
    auto *row = new QHBoxLayout(discounts);
    row->setContentsMargins(0, 0, 0, 0);
    for (const char *column : {"SCONTO1", "SCONTO2", "SCONTO3"})
        row->addWidget(f.add(QString::fromLatin1(column), new Ui::NumberField(2, false, discounts), 60));
    row->addStretch(1);
    Ui::addLabelled(grid, 6, 0, QStringLiteral("Sconti %"), discounts);
    Ui::addLabelled(grid, 6, 2, QStringLiteral("Conto sconti"),
                    f.addCoded(QStringLiteral("CONTO_SCONTI"), 6, 70, accounts, account(QStringLiteral("Lista CONTI"))));
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(4, 1);
    return page;
}

QWidget *FatVenIn::makeExpenses()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    auto &f = *m_fields;
    grid->addWidget(new QLabel(QStringLiteral("Importo"), page), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Codice IVA"), page), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Conto"), page), 0, 3);
    const CodeSource vat = codeTable(Tables::TAB_PERIVA);
    const CodeSource accounts = codeTable(Tables::TAB_PIANO_CONTI);
    int r = 1;
    for (const auto &[amount, code, acct, caption] :
         {std::tuple{"SPESE_TRA", "IVA_TRA", "CONTO_TRA", "Spese trasporto"},
          std::tuple{"SPESE_BAN", "IVA_BAN", "CONTO_BAN", "Spese bancarie"},
          std::tuple{"BOLLI", "IVA_BOL", "CONTO_BOL", "Bolli"}}) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption), page), r, 0);
        grid->addWidget(f.add(QString::fromLatin1(amount), new Ui::NumberField(2, false, page), 100), r, 1);
        grid->addWidget(f.addCoded(QString::fromLatin1(code), 4, 50, vat,
                                   [] { return codeList(Tables::TAB_PERIVA, QStringLiteral("Lista CODICI IVA")); }, 140),
                        r, 2);
        grid->addWidget(f.addCoded(QString::fromLatin1(acct), 6, 70, accounts,
                                   [] { return codeList(Tables::TAB_PIANO_CONTI, QStringLiteral("Lista CONTI")); }, 160),
                        r, 3);
        ++r;
    }
    grid->setRowStretch(r, 1);
    grid->setColumnStretch(4, 1);
    return page;
}

QWidget *FatVenIn::makeWithholding()
{
    auto *page = new QWidget(this);
    auto *layout = new QHBoxLayout(page);
    auto &f = *m_fields;
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;

    auto *withholding = new QGroupBox(QStringLiteral("Ritenuta d'acconto"), page);
    auto *wg = new QGridLayout(withholding);
    m_withholding = new QCheckBox(QStringLiteral("Applica ritenuta"), withholding);
    m_withholding->setObjectName(QStringLiteral("T_RITENUTA_SI"));
    connect(m_withholding, &QCheckBox::toggled, this, [this](bool ticked) {
        if (ticked && !m_loading)
            proposeWithholding();
        recompute();
    });
    wg->addWidget(m_withholding, 0, 0, 1, 2);
    Ui::addLabelled(wg, 1, 0, QStringLiteral("Causale"),
                    f.add(QStringLiteral("CAUSALE_RIT"), new Ui::CodeField(3, withholding), 50));
    Ui::addLabelled(wg, 2, 0, QStringLiteral("Imponibile"),
                    f.add(QStringLiteral("IMPON_RIT"), new Ui::NumberField(2, false, withholding), 100));
    Ui::addLabelled(wg, 3, 0, QStringLiteral("Percentuale"),
                    f.add(QStringLiteral("PERC_RIT"), new Ui::NumberField(2, false, withholding), 60));
    Ui::addLabelled(wg, 4, 0, QStringLiteral("Conto"),
                    f.addCoded(QStringLiteral("CONTO_RIT"), 6, 70, codeTable(Tables::TAB_PIANO_CONTI),
                               [] { return codeList(Tables::TAB_PIANO_CONTI, QStringLiteral("Lista CONTI")); }, 140));
    Ui::addLabelled(wg, 5, 0, QStringLiteral("Data reg."),
                    f.add(QStringLiteral("DATA_RIT"), new Ui::DateField(withholding), dateWidth));
    wg->setRowStretch(6, 1);
    layout->addWidget(withholding);

    auto *delivery = new QGroupBox(QStringLiteral("Fattura accompagnatoria"), page);
    auto *dg = new QGridLayout(delivery);
    m_accompanying = new QCheckBox(QStringLiteral("Accompagnatoria"), delivery);
    m_accompanying->setObjectName(QStringLiteral("T_ACCOMPAGNATORIA"));
    dg->addWidget(m_accompanying, 0, 0, 1, 2);
    m_places = new QComboBox(delivery);
    m_places->setObjectName(QStringLiteral("destinazioni"));
    connect(m_places, &QComboBox::activated, this, &FatVenIn::placeChosen);
    Ui::addLabelled(dg, 1, 0, QStringLiteral("Destinazione"), m_places);
    int r = 2;
    for (const char *column : {"DESTINA1", "DESTINA2", "DESTINA3"}) {
        Ui::addLabelled(dg, r, 0, r == 2 ? QStringLiteral("Destinatario") : QString(),
                        f.add(QString::fromLatin1(column), new Ui::TextField(60, delivery), 300));
        ++r;
    }
    Ui::addLabelled(dg, r++, 0, QStringLiteral("C.A.P."), f.add(QStringLiteral("DESTINA_CAP"), new Ui::CodeField(5, delivery), 60));
    Ui::addLabelled(dg, r++, 0, QStringLiteral("Provincia"),
                    f.addCoded(QStringLiteral("DESTINA_PROV"), 2, 40, codeTable(Tables::TAB_PROV),
                               [] { return codeList(Tables::TAB_PROV, QStringLiteral("Lista PROVINCE")); }, 120));
    Ui::addLabelled(dg, r++, 0, QStringLiteral("Causale trasporto"),
                    f.addCoded(QStringLiteral("CAUS_TRA"), 2, 40, codeTable(Tables::TAB_TRASP),
                               [] { return codeList(Tables::TAB_TRASP, QStringLiteral("Lista CAUSALI TRASPORTO")); }, 140));
    dg->setRowStretch(r, 1);
    layout->addWidget(delivery, 1);
    return page;
}

QWidget *FatVenIn::makeRows()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    m_rows = new DocumentRows(m_context, [this] { return rowContext(); }, page);
    if (m_specialItem)
        m_rows->setSpecialItem(m_specialItem->brand, m_specialItem->code);
    m_rows->setFreeCaptions(m_settings.free1Caption, m_settings.free2Caption);
    connect(m_rows, &DocumentRows::changed, this, [this] { recompute(); });
    layout->addWidget(m_rows, 1);
    auto *buttons = new QHBoxLayout;
    auto *insert = new QPushButton(QStringLiteral("Inserisci riga"), page);
    insert->setObjectName(QStringLiteral("inserisciRiga"));
    insert->setAutoDefault(false);
    connect(insert, &QPushButton::clicked, m_rows, &DocumentRows::insertRowAtSelection);
    auto *remove = new QPushButton(QStringLiteral("Elimina righe"), page);
    remove->setObjectName(QStringLiteral("eliminaRighe"));
    remove->setAutoDefault(false);
    connect(remove, &QPushButton::clicked, m_rows, &DocumentRows::removeSelectedRows);
    buttons->addWidget(insert);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return page;
}

QWidget *FatVenIn::makeFigures()
{
    auto *box = new QWidget(this);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *totals = new QGroupBox(QStringLiteral("Totali"), box);
    auto *tl = new QVBoxLayout(totals);
    m_totals = new TotalsPanel(totals);
    connect(m_totals, &TotalsPanel::vatTyped, this, [this] { recompute(); });
    tl->addWidget(m_totals);
    layout->addWidget(totals, 3);
    auto *dues = new QGroupBox(QStringLiteral("Scadenze"), box);
    auto *dl = new QVBoxLayout(dues);
    m_dues = new DueDatePanel(dues);
    dl->addWidget(m_dues);
    layout->addWidget(dues, 2);
    return box;
}

void FatVenIn::build()
{
    m_priceDecimals = m_context.settings
                          .readOr(QStringLiteral("ARTICOLI"), QStringLiteral("DECIMALI_PREZZO1"), QStringLiteral("2"))
                          .toInt();
    // The item the special totals bill, when they are kept.
    if (m_settings.specialTotals && !m_settings.specialItem.trimmed().isEmpty()) {
        const auto found = rowItem(m_context.db, m_context.state.warehouse, m_settings.specialBrand,
                                   m_settings.specialItem);
        if (found && found->has_value())
            m_specialItem = **found;
    }
    m_fields = new DocumentFields(m_context, this, [this](const QString &column) { fieldLeft(column); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makeHeader());
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(makeRows(), QStringLiteral("Righe"));
    m_tabs->addTab(makeAccounts(), QStringLiteral("Dati contabili"));
    m_tabs->addTab(makeExpenses(), QStringLiteral("Spese"));
    m_tabs->addTab(makeWithholding(), QStringLiteral("Ritenuta e consegna"));
    m_fields->setTabs(m_tabs);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(makeFigures());
    auto *buttons = new QHBoxLayout;
    m_buttons = buttons;
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("stato"));
    buttons->addWidget(m_status, 1);
    m_confirm = new QPushButton(QStringLiteral("&Conferma"), this);
    m_confirm->setObjectName(QStringLiteral("conferma"));
    m_confirm->setAutoDefault(false);
    connect(m_confirm, &QPushButton::clicked, this, [this] { confirm(); });
    m_exit = new QPushButton(QStringLiteral("E&sci"), this);
    m_exit->setObjectName(QStringLiteral("esci"));
    m_exit->setAutoDefault(false);
    connect(m_exit, &QPushButton::clicked, this, &FatVenIn::reject);
    buttons->addWidget(m_confirm);
    buttons->addWidget(m_exit);
    layout->addLayout(buttons);
    resize(1300, 720);
}

QString FatVenIn::year() const
{
    // A stored document keeps its own year.
    return m_stored ? m_stored->year() : m_context.state.year;
}

int FatVenIn::decimals() const
{
    return currencyOfYear(year()).decimals;
}

void FatVenIn::clear()
{
    m_computing = true;
    m_fields->clear();
    m_rows->clearRows();
    m_dues->clear();
    m_places->clear();
    m_series->setCurrentIndex(0);
    m_customer.reset();
    m_agentRate.reset();
    m_summary = Summary{};
    m_dueSource.clear();
    auto &f = *m_fields;
    f.setValue(QStringLiteral("ANNO"), year());
    f.setValue(QStringLiteral("MOVIMENTO"), m_mode == Mode::Receipt ? QStringLiteral("VFR") : QStringLiteral("VFM"));
    f.setValue(QStringLiteral("CAUSALE"), QStringLiteral("VM"));
    f.setValue(QStringLiteral("CONTO_IVA"), Masterdata::roleAccount(m_context.db, QStringLiteral("IVV")).code);
    m_accompanying->setChecked(m_settings.accompanying);
    proposeDates();
    m_withholding->setChecked(false);
    m_withholding->setChecked(m_settings.withholding);
    m_computing = false;
    recompute();
    for (Ui::InputField *field : findChildren<Ui::InputField *>())
        field->setModified(false);
    m_shown = m_fields->snapshot();
}

void FatVenIn::proposeWithholding()
{
    // The last causal, rate and account used, and the registration date,
    // into the fields still empty.
    auto &f = *m_fields;
    const auto propose = [&f](const QString &column, const QString &text) {
        if (f.value(column).isEmpty())
            f.setValue(column, text);
    };
    propose(QStringLiteral("CAUSALE_RIT"), m_settings.withholdingCausal);
    propose(QStringLiteral("PERC_RIT"), m_settings.withholdingRate);
    propose(QStringLiteral("CONTO_RIT"), m_settings.withholdingAccount);
    propose(QStringLiteral("DATA_RIT"), value(QStringLiteral("DATA_REG")));
}

void FatVenIn::proposeDates()
{
    QDate date = QDate::currentDate();
    if (QString::number(date.year()) != year())
        date = QDate(year().toInt(), 12, 31);
    if (!m_settings.todayOnInvoice) {
        const auto latest = latestDates(m_context.db, m_mode == Mode::Proposal ? Family::Proposal : Family::Definitive,
                                        year(), m_series->currentData().toString());
        if (latest && latest->registered.isValid())
            date = latest->registered;
    }
    m_fields->setValue(QStringLiteral("DATA_REG"), date.toString(QStringLiteral("dd/MM/yyyy")));
    m_fields->setValue(QStringLiteral("DATA_DOC"), date.toString(QStringLiteral("dd/MM/yyyy")));
}

QString FatVenIn::value(const QString &column) const
{
    return m_fields->value(column);
}

void FatVenIn::setValue(const QString &column, const QString &text)
{
    Ui::InputField *field = m_fields->field(column);
    if (!field)
        return;
    field->setText(text);
    m_fields->describe(column);
    fieldLeft(column);
}

void FatVenIn::fieldLeft(const QString &column)
{
    m_fields->mark(column, false);
    if (column == QLatin1String("CLIENTE"))
        customerLeft();
    else if (column == QLatin1String("AGENTE"))
        agentLeft();
    else if (column == QLatin1String("MOVIMENTO") || column == QLatin1String("PERC_PROV"))
        m_rows->refreshCommissions();
    if (kFigureColumns.contains(column))
        recompute();
}

void FatVenIn::customerLeft()
{
    auto &f = *m_fields;
    for (const char *name : {"INDIRIZZO", "LOCALITA", "PARTITA_IVA", "CODICE_FISCALE"})
        f.label(QString::fromLatin1(name))->clear();
    m_places->clear();
    m_customer.reset();
    const QString code = value(QStringLiteral("CLIENTE"));
    if (code.isEmpty())
        return;
    const auto found = invoiceCustomer(m_context.db, code.toInt());
    if (!found)
        return;
    if (!found->has_value()) {
        f.mark(QStringLiteral("CLIENTE"), true);
        if (!m_loading)
            m_context.prompter.warn(fatveninUtf(kWrongCustomer), fatveninUtf(kErrorTitle));
        return;
    }
    m_customer = **found;
    const InvoiceCustomer &c = *m_customer;
    f.setDescription(QStringLiteral("CLIENTE"), c.name);
    f.label(QStringLiteral("INDIRIZZO"))->setText(c.address);
    f.label(QStringLiteral("LOCALITA"))
        ->setText(QStringLiteral("%1 %2 %3").arg(c.postalCode, c.town, c.province).simplified());
    f.label(QStringLiteral("PARTITA_IVA"))->setText(QStringLiteral("Partita Iva : ") + c.vatNumber);
    f.label(QStringLiteral("CODICE_FISCALE"))->setText(QStringLiteral("Codice Fiscale : ") + c.taxCode);
    f.setValue(QStringLiteral("COND_PAG"), c.paymentCondition);
    f.setValue(QStringLiteral("BANCA_APP"), c.supportBank);
    f.setValue(QStringLiteral("BANCA_PAG"), c.paymentBank);
    f.setValue(QStringLiteral("CONTO_CLI"), c.account);
    f.setValue(QStringLiteral("AGENTE"), c.agent == 0 ? QString() : QString::number(c.agent));
    const Discounts discounts = c.headerDiscounts.value_or(Discounts{});
    f.setNumber(QStringLiteral("SCONTO1"), discounts[0], 2);
    f.setNumber(QStringLiteral("SCONTO2"), discounts[1], 2);
    f.setNumber(QStringLiteral("SCONTO3"), discounts[2], 2);
    m_places->addItem(QString(), -1);
    for (const InvoicePlace &place : c.places)
        m_places->addItem(QStringLiteral("%1 - %2").arg(place.code).arg(place.description), place.code);
    if (!c.places.isEmpty()) {
        m_places->setCurrentIndex(1);
        placeChosen(1);
    }
    if (!m_loading && c.missingTaxIds && value(QStringLiteral("MOVIMENTO")).toUpper() != QLatin1String("VFR"))
        m_context.prompter.warn(fatveninUtf(kMissingTaxIds), fatveninUtf(kErrorTitle));
    agentLeft();
}

void FatVenIn::agentLeft()
{
    m_agentRate.reset();
    const QString code = value(QStringLiteral("AGENTE"));
    if (!code.isEmpty()) {
        if (const auto rate = agentRate(m_context.db, code.toInt()); rate && rate->has_value()) {
            m_agentRate = **rate;
            m_fields->setNumber(QStringLiteral("PERC_PROV"), **rate, 2);
        }
    }
    m_rows->refreshCommissions();
    recompute();
}

void FatVenIn::placeChosen(int index)
{
    if (!m_customer)
        return;
    const int code = m_places->itemData(index).toInt();
    for (const InvoicePlace &place : m_customer->places) {
        if (place.code != code)
            continue;
        m_fields->setValue(QStringLiteral("DESTINA1"), place.description);
        m_fields->setValue(QStringLiteral("DESTINA2"), place.address);
        m_fields->setValue(QStringLiteral("DESTINA3"), place.town);
        m_fields->setValue(QStringLiteral("DESTINA_CAP"), place.postalCode);
        m_fields->setValue(QStringLiteral("DESTINA_PROV"), place.province);
    }
}

RowContext FatVenIn::rowContext() const
{
    RowContext c;
    c.warehouse = m_context.state.warehouse;
    c.customer = value(QStringLiteral("CLIENTE")).toInt();
    c.type = value(QStringLiteral("MOVIMENTO")).toUpper();
    if (m_customer) {
        c.vatCode = m_customer->vatCode;
        c.account = m_customer->revenueAccount;
    }
    c.agentRate = m_agentRate;
    if (m_agentRate && !value(QStringLiteral("PERC_PROV")).isEmpty())
        c.agentRate = m_fields->number(QStringLiteral("PERC_PROV"), 2);
    c.amountDecimals = decimals();
    c.priceDecimals = m_priceDecimals;
    c.priceSetting = m_settings.priceSource;
    c.computedDiscounts = m_settings.computedDiscounts;
    c.checkStock = m_settings.checkNegativeStock;
    return c;
}

void FatVenIn::recompute()
{
    if (m_computing)
        return;
    m_computing = true;
    const auto figure = [this](const char *column) { return m_fields->number(QString::fromLatin1(column), 2); };
    const auto expense = [this](const char *amount, const char *vat) {
        Expense e;
        const QString text = value(QString::fromLatin1(amount));
        if (!text.isEmpty() && Services::isNumberText(text))
            e.amount = Services::sqlNumber(text, 2).toDouble();
        e.vatCode = value(QString::fromLatin1(vat)).toUpper();
        return e;
    };
    SummaryInput input;
    input.type = value(QStringLiteral("MOVIMENTO")).toUpper();
    input.currency = currencyOfYear(year());
    input.vatRoundUp = m_context.state.vatRoundUp.trimmed().toUpper() == QLatin1String("SI");
    input.headerDiscounts = {figure("SCONTO1"), figure("SCONTO2"), figure("SCONTO3")};
    input.transport = expense("SPESE_TRA", "IVA_TRA");
    input.bank = expense("SPESE_BAN", "IVA_BAN");
    input.stamp = expense("BOLLI", "IVA_BOL");
    input.rows = m_rows->summaryRows();
    input.withholding = m_withholding->isChecked();
    input.withholdingRate = figure("PERC_RIT");
    if (m_specialItem)
        input.specialItem = SpecialItem{m_specialItem->vatCode, m_specialItem->figures.list};

    // What the operator typed over the computed figures stays while its
    // slot's code and taxable (or the withholding's taxable) stay.
    Summary previous = m_summary;
    for (int slot = 0; slot < kVatSlots; ++slot) {
        if (const auto typed = m_totals->typedVat(slot))
            previous.vatSlots[size_t(slot)].vat = *typed;
    }
    previous.withholdingBase = figure("IMPON_RIT");
    const QHash<QString, VatRate> rates = m_rates;
    m_summary = summarise(input, previous, [&rates](const QString &code) -> std::optional<VatRate> {
        const auto found = rates.find(code.toUpper());
        return found == rates.end() ? std::nullopt : std::optional<VatRate>(*found);
    });
    if (m_summary.failed)
        m_context.prompter.warn(fatveninUtf(kTooManyVatCodes), fatveninUtf(kErrorTitle));
    else if (m_specialItem)
        m_rows->showSpecialRow(m_summary.specialRow, m_summary.specialRowAt, m_specialItem->description,
                               m_specialItem->unit,
                               m_customer && !m_customer->revenueAccount.isEmpty() ? m_customer->revenueAccount
                                                                                   : m_specialItem->account);
    const int d = decimals();
    m_totals->show(m_summary, d);
    m_fields->setNumber(QStringLiteral("IMPON_RIT"), input.withholding ? m_summary.withholdingBase : 0, d);

    // Due dates: computed from the condition, or typed for the open ones.
    const QString condition = value(QStringLiteral("COND_PAG"));
    const double commission = m_rows->commissionTotal();
    const QDate documentDate = Services::parseItalianDate(value(QStringLiteral("DATA_DOC")));
    const QString source = QStringLiteral("%1|%2|%3|%4")
                               .arg(condition, documentDate.toString(Qt::ISODate))
                               .arg(m_summary.totalNet, 0, 'f', d)
                               .arg(commission, 0, 'f', d);
    m_lastSource = source;
    // What the operator changed in the lines stays until the amount, the
    // date, the condition or the commissions change; only then is the
    // condition read.
    if (source != m_dueSource && !condition.isEmpty() && !Masterdata::computesNothing(condition) &&
        documentDate.isValid()) {
        const auto read = paymentConditionOf(m_context.db, condition);
        if (read && read->has_value()) {
            const auto dates = Masterdata::computeDueDates(m_summary.totalNet, d, documentDate, **read, commission);
            m_dues->show(dates.lines, d);
            m_dueSource = source;
        }
    }
    double amounts = 0, shares = 0;
    for (const Masterdata::DueLine &line : m_dues->lines()) {
        amounts += line.amount;
        shares += line.commission;
    }
    m_dues->showImbalance(m_summary.totalNet - amounts, commission - shares, d);
    m_computing = false;
}

Row FatVenIn::header() const
{
    Row h(headerTable(m_mode == Mode::Proposal ? Family::Proposal : Family::Definitive));
    h.set(QStringLiteral("ANNO"), year());
    for (const QString &column : kTextColumns)
        h.set(column, value(column).toUpper());
    h.set(QStringLiteral("CONTO_COR"), value(QStringLiteral("CONTO_COR")));
    h.set(QStringLiteral("BOLLA"), value(QStringLiteral("BOLLA")));
    h.set(QStringLiteral("ORDINE"), value(QStringLiteral("ORDINE")));
    h.set(QStringLiteral("TIPOFATT"), m_series->currentData().toString());
    h.set(QStringLiteral("DATA_REG"), Services::parseItalianDate(value(QStringLiteral("DATA_REG"))));
    h.set(QStringLiteral("DATA_DOC"), Services::parseItalianDate(value(QStringLiteral("DATA_DOC"))));
    h.set(QStringLiteral("CLIENTE"), value(QStringLiteral("CLIENTE")).toInt());
    h.set(QStringLiteral("AGENTE"), value(QStringLiteral("AGENTE")).toInt());
    for (const QString &column : kFigureFields) {
        const QString text = value(column);
        if (!text.isEmpty() && Services::isNumberText(text))
            h.set(column, Services::sqlNumber(text, 5).toDouble());
    }
    if (m_withholding->isChecked()) {
        h.set(QStringLiteral("CAUSALE_RIT"), value(QStringLiteral("CAUSALE_RIT")).toUpper());
        h.set(QStringLiteral("CONTO_RIT"), value(QStringLiteral("CONTO_RIT")).toUpper());
        h.set(QStringLiteral("PERC_RIT"), m_fields->number(QStringLiteral("PERC_RIT"), 2));
        h.set(QStringLiteral("DATA_RIT"), Services::parseItalianDate(value(QStringLiteral("DATA_RIT"))));
    }
    h.set(QStringLiteral("ACCOMPAGNATORIA"), m_accompanying->isChecked());
    return h;
}

std::optional<Row> FatVenIn::delivery() const
{
    if (!m_accompanying->isChecked())
        return std::nullopt;
    Row d(deliveryTable(m_mode == Mode::Proposal ? Family::Proposal : Family::Definitive));
    for (const QString &column : kDeliveryColumns)
        d.set(column, column == QLatin1String("DESTINA_PROV") || column == QLatin1String("CAUS_TRA")
                          ? value(column).toUpper()
                          : value(column));
    return d;
}

bool FatVenIn::vatAccepted()
{
    // The VAT typed over a slot is held to its tolerance against the
    // computed one.
    if (isVatOnly(value(QStringLiteral("MOVIMENTO")).toUpper()))
        return true;
    const bool roundUp = m_context.state.vatRoundUp.trimmed().toUpper() == QLatin1String("SI");
    for (int slot = 0; slot < kVatSlots; ++slot) {
        const VatSlot &shown = m_summary.vatSlots.at(size_t(slot));
        if (shown.code.isEmpty())
            continue;
        const auto rate = m_rates.value(shown.code.toUpper());
        const double computed = Masterdata::roundVat(shown.taxable * rate.rate / 100, decimals(), roundUp);
        if (Services::roundDec(shown.vat, decimals()) != computed &&
            !Masterdata::manualVatAccepted(shown.vat, computed, decimals(), isVatOnly(value(QStringLiteral("MOVIMENTO")))))
            return false;
    }
    return true;
}

TypedInvoice FatVenIn::typed()
{
    recompute();
    TypedInvoice invoice;
    invoice.document = SalesDocument::empty(m_mode == Mode::Proposal ? Family::Proposal : Family::Definitive);
    invoice.document.header = header();
    invoice.document.delivery = delivery();
    invoice.document.rows = m_rows->rows(invoice.document);
    const Row &h = invoice.document.header;
    for (Row &row : invoice.document.rows) {
        for (const char *column : {"CLIENTE", "MOVIMENTO", "AGENTE"})
            row.set(QString::fromLatin1(column), h.value(QString::fromLatin1(column)));
    }
    invoice.document.header.set(QStringLiteral("TOT_PROV"), m_rows->commissionTotal());
    for (const char *column : {"DATA_DOC", "DATA_REG", "SPESE_TRA", "SPESE_BAN", "BOLLI", "DATA_RIT", "PERC_RIT"})
        invoice.typed.insert(QString::fromLatin1(column), value(QString::fromLatin1(column)));
    invoice.withholding = m_withholding->isChecked();
    for (const DueDatePanel::Typed &line : m_dues->typed())
        invoice.dues.append({line.date, line.amount, line.commission});
    double amounts = 0, shares = 0;
    for (const Masterdata::DueLine &line : m_dues->lines()) {
        amounts += line.amount;
        shares += line.commission;
    }
    invoice.dueImbalance = m_summary.totalNet - amounts;
    invoice.commissionImbalance = m_rows->commissionTotal() - shares;
    invoice.checkCommissions = m_settings.checkCommissions;
    invoice.newDocument = true;
    invoice.workingYear = year();
    invoice.vatAccepted = vatAccepted();
    invoice.creditNotesApart = m_context.state.separateNumbering;
    invoice.debitNotesApart = m_settings.debitNotesApart;
    return invoice;
}

void FatVenIn::clearMarks()
{
    Ui::clearFieldErrors(this);
    m_totals->markVat(false);
    for (int row = 0; row < m_rows->rowCount(); ++row) {
        for (int column = 0; column < DocumentRows::ColumnCount; ++column)
            m_rows->markCell(row, column, false);
    }
}

void FatVenIn::showProblems(const QList<Services::FieldProblem> &problems)
{
    for (const Services::FieldProblem &problem : problems) {
        if (problem.column.startsWith(QLatin1String("RIGA"))) {
            const qsizetype dot = problem.column.indexOf(QLatin1Char('.'));
            const int row = m_rows->gridRow(problem.column.mid(4, dot - 4).toInt() - 1);
            m_rows->markCell(row, DocumentRows::columnOf(problem.column.mid(dot + 1)), true);
        } else if (QWidget *due = m_dues->field(problem.column)) {
            Ui::markFieldError(due, true);
        } else if (problem.column.startsWith(QLatin1String("IVA_")) && problem.column.size() == 5) {
            m_totals->markVat(true);
        } else {
            m_fields->mark(problem.column, true);
        }
    }
    const Services::FieldProblem &first = problems.first();
    if (first.column.startsWith(QLatin1String("RIGA")))
        m_tabs->setCurrentIndex(0);
    else
        m_fields->focus(first.column);
    m_context.prompter.error(first.message, fatveninUtf(kErrorTitle));
}

bool FatVenIn::ask(const QString &question, bool yesNo)
{
    const auto answer = m_context.prompter.ask(question, windowTitle(), Prompter::Icon::Question,
                                               yesNo ? Prompter::Buttons::YesNo : Prompter::Buttons::OkCancel);
    return answer == (yesNo ? Prompter::Button::Yes : Prompter::Button::Ok);
}

bool FatVenIn::confirm()
{
    if (!m_context.db.checkWriteRights())
        return false;
    clearMarks();
    TypedInvoice invoice = typed();
    invoice.newDocument = !m_stored;

    // Figures typed in the rows that do not read, then the document's checks.
    QList<Services::FieldProblem> problems = m_rows->typedProblems();
    for (const char *column : {"SCONTO1", "SCONTO2", "SCONTO3"}) {
        const QString text = value(QString::fromLatin1(column));
        if (!text.isEmpty() &&
            (!Services::isNumberText(text) || !headerDiscountValid(Services::sqlNumber(text, 2).toDouble())))
            problems.append({QString::fromLatin1(column), fatveninUtf(kWrongDiscount)});
    }
    problems += invoiceProblems(m_context.db, invoice);
    if (!problems.isEmpty()) {
        showProblems(problems);
        return false;
    }
    if (m_context.state.vatRoundUp.trimmed().toUpper() == QLatin1String("SI") && !ask(fatveninUtf(kRoundUpQuestion), true))
        return false;
    if (!m_series->currentData().toString().isEmpty() && !ask(fatveninUtf(kSeriesQuestion), true))
        return false;
    if (!ask(fatveninUtf(kConfirmQuestion), false))
        return false;
    recompute();
    if (m_summary.failed)
        return false;
    if (m_stored)
        return updateStored(invoice);

    InvoicePosting posting = this->posting(invoice);
    m_posted = postInvoice(m_context.db, posting);
    if (!m_posted.result.written())
        return false;
    if (m_mode != Mode::Proposal)
        writeWithholdingSettings(m_context.settings, invoice.withholding, value(QStringLiteral("CAUSALE_RIT")),
                                 value(QStringLiteral("PERC_RIT")), value(QStringLiteral("CONTO_RIT")));
    m_settings = readInvoiceSettings(m_context.settings);
    const QString type = invoice.document.header.text(QStringLiteral("MOVIMENTO"));
    const QString date = value(QStringLiteral("DATA_DOC"));
    clear();
    m_status->setText(QStringLiteral("Registrato documento %1 n. %2 del %3 (n. interno %4)")
                          .arg(type)
                          .arg(m_posted.document)
                          .arg(date)
                          .arg(m_posted.internal));
    return true;
}

InvoicePosting FatVenIn::posting(const TypedInvoice &invoice)
{
    InvoicePosting posting;
    posting.document = invoice.document;
    posting.summary = m_summary;
    posting.dueLines = m_dues->lines();
    posting.debitNotesApart = m_settings.debitNotesApart;
    return posting;
}

void FatVenIn::tell(const QString &text)
{
    m_context.prompter.info(text, windowTitle());
}

bool FatVenIn::written(const Posted &posted)
{
    switch (posted.result.end) {
    case Services::WriteEnd::Written:
        return true;
    case Services::WriteEnd::NothingChanged:
        if (!posted.result.refusal.isEmpty())
            m_context.prompter.error(posted.result.refusal, fatveninUtf(kErrorTitle));
        return false;
    case Services::WriteEnd::ChangedElsewhere:
        m_context.prompter.error(QStringLiteral("La Fattura è stata modificata da un altro utente "),
                                 fatveninUtf(kErrorTitle));
        reload();
        return false;
    case Services::WriteEnd::Gone:
        m_context.prompter.error(QStringLiteral("La fattura non esiste più in archivio"), fatveninUtf(kErrorTitle));
        return false;
    default:
        // The lock's and the store's own messages have been shown.
        return false;
    }
}

bool FatVenIn::updateStored(const TypedInvoice &invoice)
{
    // Commissions brought to nothing are asked about first.
    if (m_stored->header.number(QStringLiteral("TOT_PROV")) != 0 && m_rows->commissionTotal() == 0 &&
        !ask(QStringLiteral("Si è scelto di azzerare le provvigioni: Confermi l'operazione?"), true))
        return false;
    InvoicePosting posting = this->posting(invoice);
    m_posted = updateInvoice(m_context.db, posting, *m_stored, false);
    if (m_posted.result.end == Services::WriteEnd::ChangedElsewhere) {
        if (!ask(QStringLiteral("La Fattura è stata modificata da un altro utente  Si vuole aggiornare ugualmente ?"),
                 true))
            return false;
        InvoicePosting again = this->posting(invoice);
        m_posted = updateInvoice(m_context.db, again, *m_stored, true);
    }
    if (!written(m_posted))
        return false;
    tell(QStringLiteral("Registrazione avvenuta con successo"));
    reload();
    afterWrite();
    return true;
}

bool FatVenIn::hasChanges() const
{
    if (m_fields->snapshot() != m_shown)
        return true;
    if (m_stored)
        return rowsSnapshot() != m_rowsShown;
    return !m_rows->summaryRows().isEmpty();
}

void FatVenIn::fillFrom(const SalesDocument &document)
{
    const Row &h = document.header;
    const auto text = [&h](const QString &column) { return h.text(column).trimmed(); };
    for (const QString &column : kTextColumns)
        m_fields->setValue(column, text(column));
    m_fields->setValue(QStringLiteral("CLIENTE"), h.integer(QStringLiteral("CLIENTE")) == 0
                                                      ? QString()
                                                      : QString::number(h.integer(QStringLiteral("CLIENTE"))));
    customerLeft();
    for (const QString &column : kTextColumns)
        m_fields->setValue(column, text(column));
    for (const QString &column : kFigureFields)
        m_fields->setNumber(column, h.number(column), 2);
    m_fields->setValue(QStringLiteral("AGENTE"), h.integer(QStringLiteral("AGENTE")) == 0
                                                     ? QString()
                                                     : QString::number(h.integer(QStringLiteral("AGENTE"))));
    m_accompanying->setChecked(h.flag(QStringLiteral("ACCOMPAGNATORIA")));
    const int series = m_series->findData(h.text(QStringLiteral("TIPOFATT")).trimmed());
    m_series->setCurrentIndex(series < 0 ? 0 : series);
    const bool withholding = h.number(QStringLiteral("PERC_RIT")) != 0 || h.integer(QStringLiteral("NRO_RIT")) != 0 ||
                             !h.text(QStringLiteral("CONTO_RIT")).trimmed().isEmpty();
    const bool loading = m_loading;
    m_loading = true; // the figures are the document's, not the last ones used
    m_withholding->setChecked(withholding);
    m_loading = loading;
    m_fields->setValue(QStringLiteral("CAUSALE_RIT"), h.text(QStringLiteral("CAUSALE_RIT")).trimmed());
    m_fields->setValue(QStringLiteral("CONTO_RIT"), h.text(QStringLiteral("CONTO_RIT")).trimmed());
    m_fields->setNumber(QStringLiteral("PERC_RIT"), h.number(QStringLiteral("PERC_RIT")), 2);
    const QDate withheld = h.date(QStringLiteral("DATA_RIT"));
    m_fields->setValue(QStringLiteral("DATA_RIT"), withheld.isValid() ? withheld.toString(QStringLiteral("dd/MM/yyyy"))
                                                                     : QString());
    if (document.delivery) {
        for (const QString &column : kDeliveryColumns)
            m_fields->setValue(column, document.delivery->text(column).trimmed());
    }
    agentLeft();
    m_rows->showRows(document.rows);
    recompute();
}

bool FatVenIn::mayDropChanges()
{
    return !hasChanges() || ask(fatveninUtf(kLeaveQuestion), true);
}

void FatVenIn::reject()
{
    if (!mayDropChanges())
        return;
    QDialog::reject();
}

} // namespace Orlavo::Sales
