#include "masterdata/windows/supplierwindow.h"

#include "masterdata/stores/partyprints.h"
#include "masterdata/windows/codedlookups.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "ui/appcontext.h"
#include "ui/formbinder.h"
#include "ui/lookuplist.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;

namespace {

constexpr char kSupplierwindowContactPrefix[] = "CONT_";
constexpr char kWithholdingPrefix[] = "RIT_";
constexpr char kBank[] = "BANCA";
constexpr char kNotSubject[] = "Fornitore non soggetto a ritenuta d'imposta";

QString title(PartyWindow::Mode mode, SupplierFlavour flavour)
{
    return QStringLiteral("%1 anagrafica %2")
        .arg(mode == PartyWindow::Mode::Insert ? QStringLiteral("Codifica") : QStringLiteral("Variazione"),
             flavour == SupplierFlavour::Agents ? QStringLiteral("AGENTI") : QStringLiteral("FORNITORI"));
}

} // namespace

SupplierWindow::SupplierWindow(Ui::AppContext &context, Mode mode, SupplierFlavour flavour, int code, QWidget *parent)
    : PartyWindow(context, mode, supplierParty(), parent), m_flavour(flavour)
{
    setObjectName(mode == Mode::Insert ? QStringLiteral("AnaInFor") : QStringLiteral("AnaAgFor"));
    setWindowTitle(title(mode, flavour));
    setWords({mode == Mode::Insert ? QStringLiteral("Codifica Fornitori") : QStringLiteral("Aggiornamento Fornitore"),
              QStringLiteral("Elimina Fornitore"), QStringLiteral("fornitore"),
              flavour == SupplierFlavour::Agents ? QStringLiteral("Impossibile eliminare Agente,")
                                                 : QStringLiteral("Impossibile eliminare Fornitore,"),
              QStringLiteral("Confermi eliminazione Fornitore?"),
              QStringLiteral("Codice secondario già presente in archivio")});
    setPartPrefix(SupplierContact, QString::fromLatin1(kSupplierwindowContactPrefix));
    setPartPrefix(SupplierWithholding, QString::fromLatin1(kWithholdingPrefix));
    build();
    fillFromTable(QStringLiteral("NAZ_NASC"), Tables::TAB_PAESI, QStringLiteral("PAESE"));
    attachLookups();
    start(code);
}

void SupplierWindow::build()
{
    auto *layout = new QVBoxLayout(this);
    auto *head = new QGridLayout;
    buildHeader(head);
    layout->addLayout(head);
    layout->addWidget(m_tabs, 1);
    const auto contact = [this](const char *column, int length) {
        return addLine(QString::fromLatin1(kSupplierwindowContactPrefix) + QString::fromLatin1(column), length);
    };

    mainPage(QStringLiteral("Sito web"), addLine(QStringLiteral("WEB"), 100));
    // Commercial terms, the supplier type and the agent's commission.
    {
        QWidget *tab = page(QStringLiteral("C&ommerciale"));
        auto *grid = new QGridLayout(tab);
        put(grid, 0, 0, QStringLiteral("Condizione pagamento"), addCoded(QStringLiteral("COND_PAG"), 3), 3);
        // One bank field; its label tells and switches the kind.
        m_bankLabel = new QPushButton(tab);
        m_bankLabel->setObjectName(QStringLiteral("L_BANCA"));
        m_bankLabel->setFlat(true);
        m_bankLabel->setAutoDefault(false);
        m_bankLabel->setToolTip(QStringLiteral("Fare clic per passare da banca d'appoggio a banca di pagamento"));
        m_bankLabel->setStyleSheet(QStringLiteral("text-align: left; padding: 0;"));
        connect(m_bankLabel, &QPushButton::clicked, this, [this] { switchBankKind(); });
        grid->addWidget(m_bankLabel, 1, 0);
        grid->addWidget(addCoded(QString::fromLatin1(kBank), 5), 1, 1, 1, 3);
        put(grid, 2, 0, QStringLiteral("Conto corrente"), addLine(QStringLiteral("NRO_CONTO"), 20), 3);
        put(grid, 3, 0, QStringLiteral("Codice attività"), addCoded(QStringLiteral("COD_ATTIVITA"), 6), 3);
        put(grid, 4, 0, QStringLiteral("Gruppo merceologico"), addCoded(QStringLiteral("COD_MERCE"), 6), 3);
        put(grid, 5, 0, QStringLiteral("Tipo fornitore"), addCoded(QStringLiteral("TIPO_FORN"), 2), 3);
        m_typeWithholding = new QLabel(tab);
        m_typeWithholding->setObjectName(QStringLiteral("D_RITENUTA"));
        grid->addWidget(m_typeWithholding, 6, 1, 1, 3);
        QWidget *commission = addLine(QStringLiteral("PERC_PROV"), 6, QStringLiteral("N"));
        commission->setMaximumWidth(80);
        put(grid, 7, 0, QStringLiteral("Provvigione %"), commission);
        grid->addWidget(addCheck(QStringLiteral("TIPOLISTINO"), QStringLiteral("Listino personalizzato")), 8, 1, 1, 3);
        put(grid, 9, 0, QStringLiteral("Note"), addLine(QStringLiteral("NOTE1"), 250), 3);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(10, 1);
    }
    // Accounting.
    {
        QWidget *tab = page(QStringLiteral("Co&ntabilità"));
        auto *grid = new QGridLayout(tab);
        put(grid, 0, 0, QStringLiteral("Conto fornitore"), addCoded(QStringLiteral("CONTO_PATRIM"), 6));
        put(grid, 1, 0, QStringLiteral("Conto costo"), addCoded(QStringLiteral("CONTO_COSTO"), 6));
        put(grid, 2, 0, QStringLiteral("Tipo causale"), addCoded(QStringLiteral("TIPO_CAUSALE"), 2));
        put(grid, 3, 0, QStringLiteral("Causale"), addCoded(QStringLiteral("CAUSALE"), 6));
        put(grid, 4, 0, QStringLiteral("Registro IVA"), addCoded(QStringLiteral("REGISTRO_IVA"), 2));
        grid->addWidget(addCheck(QStringLiteral("ELENCO_FORN"), QStringLiteral("Compreso nell'elenco fornitori")), 5,
                        1);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(6, 1);
    }
    // Contact.
    {
        QWidget *tab = page(QStringLiteral("Con&tatti"));
        auto *grid = new QGridLayout(tab);
        put(grid, 0, 0, QStringLiteral("Responsabile"), addLine(QStringLiteral("RESPONSABILE"), 60), 3);
        put(grid, 1, 0, QStringLiteral("Recapito"), addLine(QStringLiteral("DESCRIZIONE1"), 60), 3);
        put(grid, 2, 0, QStringLiteral("Note recapito"), addLine(QStringLiteral("DESCRIZIONE2"), 60), 3);
        put(grid, 3, 0, QStringLiteral("Telefono"), contact("TELEFONO1", 20));
        put(grid, 3, 2, QStringLiteral("Telefono 2"), contact("TELEFONO2", 20));
        put(grid, 4, 0, QStringLiteral("Fax"), contact("FAX", 20));
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        grid->setRowStretch(5, 1);
    }
    // Withholding data, for the supplier types subject to it.
    {
        QWidget *tab = page(QStringLiteral("&Ritenuta"));
        auto *outer = new QVBoxLayout(tab);
        auto *box = new QGroupBox(QStringLiteral("DATI RITENUTA..."), tab);
        box->setObjectName(QStringLiteral("DatiRitenuta"));
        m_withholding = box;
        auto *grid = new QGridLayout(box);
        put(grid, 0, 0, QStringLiteral("Causale ritenuta"),
            addLine(QString::fromLatin1(kWithholdingPrefix) + QStringLiteral("CAUSALE"), 4, QStringLiteral("C")));
        put(grid, 0, 2, QStringLiteral("Sesso"), addSexCombo());
        put(grid, 1, 0, QStringLiteral("Data di nascita"),
            addLine(QStringLiteral("DATA_NASC"), 10, QStringLiteral("D")));
        put(grid, 1, 2, QStringLiteral("Nazione di nascita"), addCombo(QStringLiteral("NAZ_NASC")));
        put(grid, 2, 0, QStringLiteral("Luogo di nascita"), addLine(QStringLiteral("CITTA_NASC"), 40));
        put(grid, 2, 2, QStringLiteral("Prov."), addCoded(QStringLiteral("PROV_NASC"), 2));
        put(grid, 3, 0, QStringLiteral("F.I.R."), addLine(QStringLiteral("FIR"), 20, QStringLiteral("C")));
        put(grid, 3, 2, QStringLiteral("Matricola ENASARCO"), addLine(QStringLiteral("MATRIC_ENA"), 20));
        put(grid, 4, 0, QStringLiteral("Inizio rapporto"),
            addLine(QStringLiteral("INIZIO_RAP"), 10, QStringLiteral("D")));
        put(grid, 4, 2, QStringLiteral("Fine rapporto"), addLine(QStringLiteral("FINE_RAP"), 10, QStringLiteral("D")));
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        outer->addWidget(box);
        outer->addStretch(1);
    }

    auto *print = new QPushButton(QStringLiteral("&Stampa"), this);
    print->setObjectName(QStringLiteral("B_Stampa"));
    // A supplier not stored yet has nothing to print.
    print->setEnabled(mode() == Mode::Modify);
    connect(print, &QPushButton::clicked, this, [this] { printCard(true); });
    layout->addLayout(buttons({print}));
    setBankKind(false);
}

void SupplierWindow::setBankKind(bool toPay)
{
    m_bankToPay = toPay;
    m_bankLabel->setText(toPay ? QStringLiteral("Banca Pagamento") : QStringLiteral("Banca Appoggio"));
    form()->bind(QString::fromLatin1(kBank), field(QString::fromLatin1(kBank)), SupplierMain,
                 toPay ? QStringLiteral("BANCA_PAG") : QStringLiteral("BANCA_APP"));
}

void SupplierWindow::switchBankKind()
{
    setBankKind(!m_bankToPay);
    showDescription(QString::fromLatin1(kBank));
}

Services::Record SupplierWindow::completed(Services::Record typed) const
{
    // The code sits in the column of its kind, the other is blank.
    typed.main().set(m_bankToPay ? QStringLiteral("BANCA_APP") : QStringLiteral("BANCA_PAG"), QVariant());
    return typed;
}

void SupplierWindow::showing(const Services::Record &record)
{
    // The filled column tells the kind; none, a support bank.
    setBankKind(!record.main().isBlank(QStringLiteral("BANCA_PAG")));
}

void SupplierWindow::shown()
{
    showSupplierType();
}

void SupplierWindow::left(const QString &name)
{
    if (name == QLatin1String("TIPO_FORN"))
        showSupplierType();
}

void SupplierWindow::showSupplierType()
{
    const auto type = withholdingOfType(m_context.db, value(QStringLiteral("TIPO_FORN")));
    if (!type)
        m_typeWithholding->clear();
    else if (!type->subject)
        m_typeWithholding->setText(QString::fromLatin1(kNotSubject));
    else
        m_typeWithholding->setText(
            QStringLiteral("Ritenuta %1 %   Enasarco %2 %")
                .arg(Services::formatAmount(type->tax, 2), Services::formatAmount(type->pensionFund, 2)));
    m_withholding->setEnabled(type && type->subject);
}


Ui::LookupRequest SupplierWindow::lookupList(const QString &column) const
{
    Ui::LookupRequest request = PartyWindow::lookupList(column);
    // The causals of the type typed.
    if (column == QLatin1String("CAUSALE")) {
        request.condition = QStringLiteral("TIPO_CAUSALE = ?");
        request.conditionParams = {value(QStringLiteral("TIPO_CAUSALE")).trimmed().toUpper()};
    }
    return request;
}

Services::Record SupplierWindow::newRecord()
{
    return newSupplier(m_context.db, m_flavour);
}

QList<Services::FieldProblem> SupplierWindow::problems(const Services::Record &typed, const QString &only)
{
    return checkSupplier(m_context.db, typed, keptTaxCode(),
                         mode() == Mode::Insert ? SupplierWording::Insert : SupplierWording::Modify, only);
}

Reporting::PrintCommand SupplierWindow::cardPrint(int code)
{
    return supplierCardPrint(code);
}

} // namespace Orlavo::Masterdata
