#include "masterdata/windows/lisrowedit.h"

#include "masterdata/rules/itemprices.h"
#include "masterdata/rules/pricelistrules.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "ui/appcontext.h"
#include "ui/formbinder.h"
#include "ui/inputfields.h"

#include <QGridLayout>
#include <QLabel>

namespace Orlavo::Masterdata {

namespace {

const QStringList kLisroweditPrices = {QStringLiteral("PR_LISTINO"),    QStringLiteral("PR_ACQUISTO"),
                             QStringLiteral("PR_ACQFISSO"),   QStringLiteral("PR_VENDITA"),
                             QStringLiteral("PR_RICARICATO"), QStringLiteral("PR_VENFISSO")};
const QStringList kPercents = {QStringLiteral("SC_A1"),   QStringLiteral("SC_A2"), QStringLiteral("SC_A3"),
                               QStringLiteral("SC_V1"),   QStringLiteral("SC_V2"), QStringLiteral("SC_V3"),
                               QStringLiteral("PERC_RIC")};

QString standardSuffix(int party)
{
    return party == kStandardParty ? QStringLiteral(" (listino base)") : QString();
}

} // namespace

ListRowWindow::ListRowWindow(Ui::AppContext &context, const Services::FamilyDef &family, const QString &name,
                             const QString &title, QWidget *parent)
    : ListEditWindow(context, family, name, title, false, parent), m_decimals(listDecimals(context.settings))
{
}

int ListRowWindow::addKey(const QStringList &parties)
{
    int row = 0;
    for (const QString &party : parties) {
        put(grid(), row++, 0,
            party == QLatin1String("CLIENTE") ? QStringLiteral("Cliente") : QStringLiteral("Fornitore"),
            addCoded(party, 5), 5);
        lock(party);
    }
    put(grid(), row++, 0, QStringLiteral("Marca"), addCoded(QStringLiteral("MARCA"), 3), 5);
    lock(QStringLiteral("MARCA"));
    QWidget *item = addLine(QStringLiteral("ARTICOLO"), 30);
    item->setMaximumWidth(260);
    put(grid(), row, 0, QStringLiteral("Articolo"), item);
    lock(QStringLiteral("ARTICOLO"));
    m_itemDescription = new QLabel(this);
    m_itemDescription->setObjectName(QStringLiteral("D_DESC_ARTICOLO"));
    grid()->addWidget(m_itemDescription, row++, 2, 1, 4);
    QWidget *listPrice = addLine(QStringLiteral("PR_LISTINO"), 14, QStringLiteral("N"), m_decimals);
    listPrice->setMaximumWidth(120);
    put(grid(), row, 0, QStringLiteral("Prezzo di listino"), listPrice);
    lock(QStringLiteral("PR_LISTINO"));
    return row + 1;
}

void ListRowWindow::addNumbers(int row, const QList<std::pair<QString, QString>> &fields)
{
    for (int i = 0; i < fields.size(); ++i) {
        const auto &[name, caption] = fields.at(i);
        if (name.isEmpty())
            continue; // a gap in the grid
        const int decimals = kLisroweditPrices.contains(name) ? m_decimals : 2;
        QWidget *figure = addLine(name, 14, QStringLiteral("N"), decimals);
        figure->setMaximumWidth(120);
        put(grid(), row + i / 3, 2 * (i % 3), caption, figure);
    }
}

void ListRowWindow::formatFields()
{
    const QStringList names = m_form->names();
    for (const QString &name : names) {
        const QString shown = value(name).trimmed();
        if (shown.isEmpty())
            continue;
        const double figure = Services::sqlNumber(shown, kMostPriceDecimals).toDouble();
        if (kPercents.contains(name))
            setValue(name, discountText(figure));
        else if (kLisroweditPrices.contains(name)) {
            const int decimals = priceDecimals(figure, m_decimals);
            if (auto *number = qobject_cast<Ui::NumberField *>(field(name)))
                number->setDecimals(decimals);
            showNumber(name, figure, decimals);
        }
    }
    if (m_itemDescription && m_context.db.companyOpen()) {
        auto rows = m_context.db.tryOpenRecordset(
            QStringLiteral("SELECT DESC_ART FROM ARTICOLI_LISTINO WHERE MARCA = ? AND ARTICOLO = ?"),
            {value(QStringLiteral("MARCA")), value(QStringLiteral("ARTICOLO"))});
        m_itemDescription->setText(rows && !rows->isEmpty() ? rows->first().at(0).toString().trimmed() : QString());
    }
}

void ListRowWindow::reportProblem(const QList<Services::FieldProblem> &problems, const QString &name)
{
    QList<Services::FieldProblem> own;
    for (const auto &p : problems) {
        if (p.column == name)
            own.append(p);
    }
    const auto problem = m_form->showProblems(own);
    if (problem)
        m_context.prompter.error(problem->message, QStringLiteral("Errore!"));
}

LisAcqAg::LisAcqAg(Ui::AppContext &context, const PurchaseListKey &key, QWidget *parent)
    : ListRowWindow(context, purchaseListFamily(), QStringLiteral("LisAcqAg"),
                    QStringLiteral("Listino di acquisto") + standardSuffix(key.supplier), parent),
      m_key(key)
{
    const int row = addKey({QStringLiteral("FORNITORE")});
    addNumbers(row, {{QStringLiteral("SC_A1"), QStringLiteral("Sconto 1")},
                     {QStringLiteral("SC_A2"), QStringLiteral("Sconto 2")},
                     {QStringLiteral("SC_A3"), QStringLiteral("Sconto 3")},
                     {QStringLiteral("PR_ACQUISTO"), QStringLiteral("Prezzo d'acquisto")},
                     {QStringLiteral("PR_ACQFISSO"), QStringLiteral("Prezzo d'acquisto fisso")}});
    padDiscounts({QStringLiteral("SC_A1"), QStringLiteral("SC_A2"), QStringLiteral("SC_A3")});
    addButtons();
    const auto stored = loadPurchaseRow(context.db, key);
    if (!stored || !*stored) {
        sayMissing(QString::fromLatin1(kPurchaseRowMissing));
        return;
    }
    display(**stored);
}

void LisAcqAg::leaveField(const QString &name)
{
    const Services::Record row = typed();
    reportProblem(purchaseRowProblems(row.main()), name);
    if (name.startsWith(QLatin1String("SC_A"))) {
        const Services::Row &r = row.main();
        showNumber(QStringLiteral("PR_ACQUISTO"),
                   purchaseNet(number(QStringLiteral("PR_LISTINO")),
                               {r.number(QStringLiteral("SC_A1")), r.number(QStringLiteral("SC_A2")),
                                r.number(QStringLiteral("SC_A3"))},
                               m_decimals),
                   m_decimals);
    }
}

QList<Services::FieldProblem> LisAcqAg::problems(const Services::Record &row)
{
    return purchaseRowProblems(row.main());
}

Services::WriteResult LisAcqAg::write(const Services::Record &row)
{
    return savePurchaseRow(m_context.db, row, m_stored, m_decimals);
}

std::optional<Services::Record> LisAcqAg::reread()
{
    auto stored = loadPurchaseRow(m_context.db, m_key);
    return stored && *stored ? std::optional(**stored) : std::nullopt;
}

QString LisAcqAg::deleteQuestion() const
{
    return QStringLiteral("Confermi eliminazione Listino di Acquisto?");
}

QString LisAcqAg::deleteRefusal()
{
    const auto refusal = purchaseDeleteRefusal(m_context.db, m_key);
    if (refusal)
        return *refusal;
    return refusal.failure().message + QLatin1Char('\n') + refusal.failure().detail;
}

Services::WriteResult LisAcqAg::erase()
{
    Services::WriteResult result = deletePurchaseRow(m_context.db, m_key);
    // A sale row took its price from it meanwhile: refused, and said why.
    if (result.end == Services::WriteEnd::ChangedElsewhere) {
        m_context.prompter.error(deleteRefusal(), windowTitle());
        result.end = Services::WriteEnd::Failed;
    }
    return result;
}

LisVenAg::LisVenAg(Ui::AppContext &context, const SaleListKey &key, QWidget *parent)
    : ListRowWindow(context, saleListFamily(), QStringLiteral("LisVenAg"),
                    QStringLiteral("Listino di vendita") + standardSuffix(key.customer), parent),
      m_key(key)
{
    const int row = addKey({QStringLiteral("CLIENTE"), QStringLiteral("FORNITORE")});
    addNumbers(row, {{QStringLiteral("SC_V1"), QStringLiteral("Sconto 1")},
                     {QStringLiteral("SC_V2"), QStringLiteral("Sconto 2")},
                     {QStringLiteral("SC_V3"), QStringLiteral("Sconto 3")},
                     {QStringLiteral("PR_VENDITA"), QStringLiteral("Prezzo di vendita")},
                     {QStringLiteral("PR_VENFISSO"), QStringLiteral("Prezzo di vendita fisso")},
                     {QString(), QString()},
                     {QStringLiteral("SC_A1"), QStringLiteral("Sconto acq. 1")},
                     {QStringLiteral("SC_A2"), QStringLiteral("Sconto acq. 2")},
                     {QStringLiteral("SC_A3"), QStringLiteral("Sconto acq. 3")},
                     {QStringLiteral("PR_ACQUISTO"), QStringLiteral("Prezzo d'acquisto")},
                     {QStringLiteral("PERC_RIC"), QStringLiteral("% Ricarico")},
                     {QStringLiteral("PR_RICARICATO"), QStringLiteral("Prezzo ricaricato")}});
    for (const char *name : {"SC_A1", "SC_A2", "SC_A3", "PR_ACQUISTO"})
        lock(QString::fromLatin1(name));
    padDiscounts(
        {QStringLiteral("SC_V1"), QStringLiteral("SC_V2"), QStringLiteral("SC_V3"), QStringLiteral("PERC_RIC")});
    addButtons();
    const auto stored = loadSaleRow(context.db, key);
    if (!stored || !*stored) {
        sayMissing(QString::fromLatin1(kSaleRowMissing));
        return;
    }
    display(**stored);
}

void LisVenAg::leaveField(const QString &name)
{
    const Services::Record row = typed();
    const Services::Row &r = row.main();
    reportProblem(saleRowProblems(r), name);
    if (name.startsWith(QLatin1String("SC_V"))) {
        showNumber(QStringLiteral("PR_VENDITA"),
                   discounted(number(QStringLiteral("PR_LISTINO")), r.number(QStringLiteral("SC_V1")),
                              r.number(QStringLiteral("SC_V2")), r.number(QStringLiteral("SC_V3")), m_decimals),
                   m_decimals);
    } else if (name == QLatin1String("PERC_RIC")) {
        showNumber(QStringLiteral("PR_RICARICATO"),
                   markedUp(number(QStringLiteral("PR_ACQUISTO")), r.number(name), m_decimals), m_decimals);
    }
}

QList<Services::FieldProblem> LisVenAg::problems(const Services::Record &row)
{
    return saleRowProblems(row.main());
}

Services::WriteResult LisVenAg::write(const Services::Record &row)
{
    return saveSaleRow(m_context.db, row, m_stored);
}

std::optional<Services::Record> LisVenAg::reread()
{
    auto stored = loadSaleRow(m_context.db, m_key);
    return stored && *stored ? std::optional(**stored) : std::nullopt;
}

QString LisVenAg::deleteQuestion() const
{
    return QStringLiteral("Confermi eliminazione Listino di Vendita?");
}

Services::WriteResult LisVenAg::erase()
{
    return deleteSaleRow(m_context.db, m_key);
}

} // namespace Orlavo::Masterdata
