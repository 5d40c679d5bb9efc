#include "masterdata/windows/sconti.h"

#include "masterdata/rules/pricelistrules.h"
#include "masterdata/windows/codedlookups.h"
#include "services/core/values.h"
#include "ui/appcontext.h"
#include "ui/formbinder.h"
#include "ui/lookuplist.h"

#include <QGridLayout>
#include <QLabel>

namespace Orlavo::Masterdata {

namespace {

constexpr char kScontiPersonalOnly[] = "TIPOLISTINO = 'P'";

QString scontiTitleOf(DiscountSide side, bool inserting)
{
    const QString who = side == DiscountSide::Customers ? QStringLiteral("clienti") : QStringLiteral("fornitori");
    return (inserting ? QStringLiteral("Inserimento sconti ") : QStringLiteral("Variazione sconti ")) + who;
}

QString scontiNameOf(DiscountSide side, bool inserting)
{
    if (side == DiscountSide::Customers)
        return inserting ? QStringLiteral("ScCliIn") : QStringLiteral("ScontCli");
    return inserting ? QStringLiteral("ScForIn") : QStringLiteral("ScontFor");
}

} // namespace

DiscountWindow::DiscountWindow(Ui::AppContext &context, DiscountSide side, bool inserting, int party,
                               const QString &brand, QWidget *parent)
    : ListEditWindow(context, discountFamily(side), scontiNameOf(side, inserting), scontiTitleOf(side, inserting), inserting,
                     parent),
      m_side(side)
{
    const QString partyName = partyColumn(side);
    const bool customers = side == DiscountSide::Customers;
    put(grid(), 0, 0, customers ? QStringLiteral("Cliente") : QStringLiteral("Fornitore"), addCoded(partyName, 5), 5);
    put(grid(), 1, 0, QStringLiteral("Marca"), addCoded(QStringLiteral("MARCA"), 3), 5);
    const QStringList discounts = discountColumns(side);
    for (int i = 0; i < discounts.size(); ++i)
        put(grid(), 2, 2 * i, QStringLiteral("Sconto %1").arg(i + 1), addLine(discounts.at(i), 6, QStringLiteral("N")));
    if (customers)
        put(grid(), 3, 0, QStringLiteral("% Ricarico"), addLine(QStringLiteral("PERC_RIC"), 6, QStringLiteral("N")));
    padDiscounts(customers ? discounts + QStringList{QStringLiteral("PERC_RIC")} : discounts);
    addButtons();

    if (inserting) {
        display(emptyRow());
        return;
    }
    lock(partyName);
    lock(QStringLiteral("MARCA"));
    const auto stored = loadDiscounts(context.db, side, party, brand);
    if (!stored || !*stored) {
        sayMissing(missingPairMessage(side));
        return;
    }
    display(**stored);
}

void DiscountWindow::leaveField(const QString &name)
{
    if (hasDescription(name))
        showDescriptions();
    describeBrand();
    const auto problem = m_form->showProblems(checkDiscounts(m_context.db, typed(), inserting(), name));
    if (problem)
        m_context.prompter.error(problem->message, QStringLiteral("Errore!"));
}

QList<Services::FieldProblem> DiscountWindow::problems(const Services::Record &row)
{
    return checkDiscounts(m_context.db, row, inserting());
}

Services::WriteResult DiscountWindow::write(const Services::Record &row)
{
    return inserting() ? insertDiscounts(m_context.db, row) : updateDiscounts(m_context.db, row, m_stored);
}

std::optional<Services::Record> DiscountWindow::reread()
{
    const Services::Row &key = m_stored.main();
    auto stored =
        loadDiscounts(m_context.db, m_side, key.integer(partyColumn(m_side)), key.text(QStringLiteral("MARCA")));
    if (!stored || !*stored)
        return std::nullopt;
    return **stored;
}

Services::Record DiscountWindow::emptyRow() const
{
    return newDiscounts(m_side);
}

QString DiscountWindow::deleteQuestion() const
{
    return QStringLiteral("Confermi eliminazione sconti?");
}

Services::WriteResult DiscountWindow::erase()
{
    const Services::Row &key = m_stored.main();
    return deleteDiscounts(m_context.db, m_side, key.integer(partyColumn(m_side)), key.text(QStringLiteral("MARCA")));
}

void DiscountWindow::formatFields()
{
    QStringList columns = discountColumns(m_side);
    if (m_side == DiscountSide::Customers)
        columns.append(QStringLiteral("PERC_RIC"));
    for (const QString &column : columns) {
        const QString shown = value(column).trimmed();
        if (shown.isEmpty())
            continue;
        setValue(column, discountText(Services::sqlNumber(shown, 2).toDouble()));
    }
    describeBrand();
}

QString DiscountWindow::duplicateMessage() const
{
    return QStringLiteral("Gli sconti per il cliente e la marca selezionati\nsono già presenti in archivio");
}

Ui::LookupRequest DiscountWindow::lookupList(const QString &column) const
{
    Ui::LookupRequest request = FormWindow::lookupList(column);
    if (column == partyColumn(m_side)) {
        request.condition = request.condition.isEmpty()
                                ? QString::fromLatin1(kScontiPersonalOnly)
                                : request.condition + QStringLiteral(" AND ") + QString::fromLatin1(kScontiPersonalOnly);
    }
    return request;
}

void DiscountWindow::describeBrand()
{
    if (value(QStringLiteral("MARCA")).trimmed() != QLatin1String(kStandardBrand))
        return;
    if (auto *label = findChild<QLabel *>(QStringLiteral("D_DESC_MARCA")))
        label->setText(QStringLiteral("Marca standard"));
}

} // namespace Orlavo::Masterdata
