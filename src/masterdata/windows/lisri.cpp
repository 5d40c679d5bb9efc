#include "masterdata/windows/lisri.h"

#include "masterdata/rules/pricelistrules.h"
#include "masterdata/stores/listprints.h"
#include "masterdata/stores/listrowstore.h"
#include "services/core/tablenames.h"
#include "services/data/recordstore.h"
#include "ui/appcontext.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;

namespace {

constexpr char kStandardOption[] = "STANDARD";

bool isDiscounts(PriceListKind kind)
{
    return kind == PriceListKind::CustomerDiscounts || kind == PriceListKind::SupplierDiscounts;
}

bool forCustomers(PriceListKind kind)
{
    return kind != PriceListKind::Purchase && kind != PriceListKind::SupplierDiscounts;
}

QString lisriNameOf(PriceListKind kind)
{
    switch (kind) {
    case PriceListKind::Purchase: return QStringLiteral("LisAcqRi");
    case PriceListKind::CustomerDiscounts: return QStringLiteral("ScCliRi");
    case PriceListKind::SupplierDiscounts: return QStringLiteral("ScForRi");
    default: return QStringLiteral("LisVenRi");
    }
}

QString lisriTitleOf(PriceListKind kind, bool standard)
{
    QString title;
    switch (kind) {
    case PriceListKind::Purchase: title = QStringLiteral("Ricerca LISTINI ACQUISTO"); break;
    case PriceListKind::CustomerDiscounts: title = QStringLiteral("Ricerca SCONTI CLIENTI"); break;
    case PriceListKind::SupplierDiscounts: title = QStringLiteral("Ricerca SCONTI FORNITORI"); break;
    default: title = QStringLiteral("Ricerca LISTINI VENDITA"); break;
    }
    return standard ? title + QStringLiteral(" - Prezzi da Scheda Articolo") : title;
}

} // namespace

PriceListWindow::PriceListWindow(Ui::AppContext &context, PriceListKind kind, bool standard, QWidget *parent)
    : SearchWindow(context, lisriNameOf(kind), lisriTitleOf(kind, standard), parent), m_kind(kind), m_standard(standard)
{
    const bool customers = forCustomers(kind);
    const QString party = customers ? QStringLiteral("CLIENTE") : QStringLiteral("FORNITORE");
    QLineEdit *partyField = put(0, 0, customers ? QStringLiteral("Cliente") : QStringLiteral("Fornitore"), party, 5);
    if (!isDiscounts(kind)) {
        QCheckBox *standardBox = putOption(0, 2,
                                           customers ? QStringLiteral("Cliente per lisino standard")
                                                     : QStringLiteral("Fornitore per listino standard"),
                                           QString::fromLatin1(kStandardOption), 2);
        connect(standardBox, &QCheckBox::toggled, this, [partyField](bool on) {
            if (on)
                partyField->clear();
            partyField->setEnabled(!on);
        });
        standardBox->setChecked(standard);
        standardBox->setEnabled(!standard);
    }
    put(1, 0, QStringLiteral("Marca"), QStringLiteral("MARCA"), 3);
    if (!isDiscounts(kind)) {
        put(2, 0, QStringLiteral("Articolo"), QStringLiteral("ARTICOLO"), 30, false, 3);
        put(3, 0, QStringLiteral("Prezzo di listino da"), QStringLiteral("PREZZO_DA"), 14);
        put(3, 2, QStringLiteral("a"), QStringLiteral("PREZZO_A"), 14);
    }
    if (kind == PriceListKind::SaleDiscounted) {
        auto *views = new QHBoxLayout;
        m_discounted = new QRadioButton(QStringLiteral("Listino scontato"), this);
        m_discounted->setObjectName(QStringLiteral("O_Scontato"));
        m_markedUp = new QRadioButton(QStringLiteral("Listino ricaricato"), this);
        m_markedUp->setObjectName(QStringLiteral("O_Ricaricato"));
        m_discounted->setChecked(true);
        views->addWidget(m_discounted);
        views->addWidget(m_markedUp);
        views->addStretch();
        mainLayout()->addLayout(views);
    }
    addButtons(true);
}

PriceListKind PriceListWindow::kind() const
{
    if (m_markedUp && m_markedUp->isChecked())
        return PriceListKind::SaleMarkedUp;
    return m_kind;
}

PriceListFilters PriceListWindow::filters() const
{
    PriceListFilters f;
    f.party = number(forCustomers(m_kind) ? "CLIENTE" : "FORNITORE");
    f.standard = ticked(kStandardOption);
    f.brand = text("MARCA");
    f.item = text("ARTICOLO");
    f.priceFrom = text("PREZZO_DA");
    f.priceTo = text("PREZZO_A");
    f.decimals = listDecimals(m_context.settings);
    return f;
}

QString PriceListWindow::unknownCode() const
{
    const PriceListFilters f = filters();
    Services::DataAccess &db = m_context.db;
    const bool customers = forCustomers(m_kind);
    if (f.party && !f.standard &&
        !Services::valueKnown(db, customers ? Tables::ANAG_CLI : Tables::ANAG_FOR,
                              customers ? QStringLiteral("CLIENTE") : QStringLiteral("FORNITORE"), *f.party))
        return customers ? QStringLiteral("Codice Cliente non codificato !")
                         : QStringLiteral("Codice Fornitore non codificato !");
    if (!f.brand.isEmpty() && f.brand != QLatin1String(kStandardBrand) &&
        !Services::valueKnown(db, Tables::TAB_MARCHE, QStringLiteral("CODICE"), f.brand))
        return QStringLiteral("Marca non codificata !");
    if (!f.item.isEmpty() && !Services::valueKnown(db, Tables::ARTICOLI, QStringLiteral("ARTICOLO"), f.item, {},
                                                   f.brand.isEmpty() ? QString() : QStringLiteral("MARCA"), f.brand))
        return QStringLiteral("Codice Articolo non codificato !");
    return {};
}

Services::Outcome<SearchWindow::Found> PriceListWindow::find() const
{
    const QString unknown = unknownCode();
    if (!unknown.isEmpty())
        return Services::Failure{unknown, QString()};
    auto built = buildPriceListSearch(kind(), filters());
    if (!built)
        return built.failure();
    m_found = *built;
    Ui::LookupRequest request;
    request.table = built->from;
    request.title = built->title;
    request.columns = built->columns;
    request.condition = built->condition;
    request.conditionParams = built->params;
    return Found{request, kind() == PriceListKind::SaleDiscounted ? std::optional(QString()) : built->formula};
}

void PriceListWindow::chosen(const QStringList &values)
{
    const PriceListKind shown = kind();
    if (m_onChosen && values.size() >= keyColumnCount(shown))
        m_onChosen(shown, values.mid(0, keyColumnCount(shown)));
}

bool PriceListWindow::beforePrint()
{
    if (kind() != PriceListKind::SaleDiscounted || !m_found)
        return true;
    return fillSaleSummary(m_context.db, *m_found, m_context.state.user);
}

Reporting::PrintCommand PriceListWindow::printCommandOf(const QString &) const
{
    return m_found ? priceListPrint(kind(), *m_found, m_context.state.user) : Reporting::PrintCommand{};
}

void PriceListWindow::clearOptions()
{
    if (QCheckBox *box = option(QString::fromLatin1(kStandardOption)))
        box->setChecked(m_standard);
    if (m_discounted)
        m_discounted->setChecked(true);
}

} // namespace Orlavo::Masterdata
