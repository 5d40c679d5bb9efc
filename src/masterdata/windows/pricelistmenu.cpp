#include "masterdata/windows/pricelistmenu.h"

#include "masterdata/masterdata.h"
#include "masterdata/stores/pricelookup.h"
#include "masterdata/windows/lisge.h"
#include "masterdata/windows/lisri.h"
#include "masterdata/windows/lisrowedit.h"
#include "masterdata/windows/pricepick.h"
#include "masterdata/windows/sconti.h"
#include "ui/appcontext.h"
#include "ui/waitcursor.h"
#include "ui/windowregistry.h"

namespace Orlavo::Masterdata {

namespace {

// Shows an edit window: in the frame under its name, or modal.
void present(ListEditWindow *window, const QString &name, Ui::WindowHost *host)
{
    if (!window->loaded()) {
        delete window;
        if (host)
            host->unregisterOpenWindow(name);
        return;
    }
    if (host) {
        host->showTaskWindow(window, name);
        return;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->exec();
}

void openList(Ui::WindowHost &host, Ui::AppContext &context, PriceListKind kind, bool standard)
{
    const QString name = QStringLiteral("LISTINI_%1_%2").arg(int(kind)).arg(standard ? 1 : 0);
    host.openSingle(name, [&host, &context, kind, standard] {
        auto *list = new PriceListWindow(context, kind, standard);
        list->setOnChosen([&host, &context](PriceListKind shown, const QStringList &key) {
            openPriceListRow(context, shown, key, &host);
        });
        return list;
    });
}

void openDiscounts(Ui::WindowHost &host, Ui::AppContext &context, DiscountSide side)
{
    const QString name = side == DiscountSide::Customers ? QStringLiteral("SCCLIIN") : QStringLiteral("SCFORIN");
    host.openSingle(name, [&context, side] { return new DiscountWindow(context, side, true); });
}

void openGeneration(Ui::WindowHost &host, Ui::AppContext &context, ListGenerationWindow::Kind kind)
{
    host.openSingle(kind == ListGenerationWindow::Kind::Sale ? QStringLiteral("LISVENGE") : QStringLiteral("LISACQGE"),
                    [&context, kind] { return new ListGenerationWindow(context, kind); });
}

} // namespace

void openPriceListRow(Ui::AppContext &context, PriceListKind kind, const QStringList &key, Ui::WindowHost *host,
                      QWidget *parent)
{
    if (key.size() < keyColumnCount(kind))
        return;
    const int party = key.at(0).toInt();
    QString name;
    ListEditWindow *window = nullptr;
    switch (kind) {
    case PriceListKind::CustomerDiscounts:
    case PriceListKind::SupplierDiscounts: {
        const bool customers = kind == PriceListKind::CustomerDiscounts;
        name = QStringLiteral("%1_%2_%3")
                   .arg(customers ? QStringLiteral("SCONTCLI") : QStringLiteral("SCONTFOR"), key.at(0), key.at(1));
        if (host && host->registerOpenWindow(name))
            return;
        const Ui::WaitCursor wait;
        window = new DiscountWindow(context, customers ? DiscountSide::Customers : DiscountSide::Suppliers, false,
                                    party, key.at(1), parent);
        break;
    }
    case PriceListKind::Purchase:
        name = QStringLiteral("LISACQAG_%1_%2_%3").arg(key.at(0), key.at(1), key.at(2));
        if (host && host->registerOpenWindow(name))
            return;
        window = new LisAcqAg(context, {party, key.at(1), key.at(2)}, parent);
        break;
    case PriceListKind::SaleDiscounted:
    case PriceListKind::SaleMarkedUp: {
        int supplier = 0;
        if (kind == PriceListKind::SaleMarkedUp) {
            supplier = key.at(3).toInt();
        } else {
            // The discounted list shows a row per item: the supplier's row is picked.
            const auto rows = listPricesOf(context.db, party, key.at(1), key.at(2));
            if (!rows)
                return;
            const auto picked = pickListPrice(*rows, false, parent);
            if (!picked)
                return;
            supplier = picked->supplier;
        }
        name = QStringLiteral("LISVENAG_%1_%2_%3_%4").arg(key.at(0), key.at(1), key.at(2)).arg(supplier);
        if (host && host->registerOpenWindow(name))
            return;
        window = new LisVenAg(context, {party, key.at(1), key.at(2), supplier}, parent);
        break;
    }
    }
    present(window, name, host);
}

void registerPriceListWindows(Ui::WindowRegistry &registry, Ui::AppContext &context)
{
    registry.add(QStringLiteral("MnuScCliCod"),
                 [&context](Ui::WindowHost &host) { openDiscounts(host, context, DiscountSide::Customers); });
    registry.add(QStringLiteral("mnuScForCod"),
                 [&context](Ui::WindowHost &host) { openDiscounts(host, context, DiscountSide::Suppliers); });
    registry.add(QStringLiteral("MnuScCliMod"), [&context](Ui::WindowHost &host) {
        openList(host, context, PriceListKind::CustomerDiscounts, false);
    });
    registry.add(QStringLiteral("mnuScForMod"), [&context](Ui::WindowHost &host) {
        openList(host, context, PriceListKind::SupplierDiscounts, false);
    });
    registry.add(QStringLiteral("mnu_listAcqMod"),
                 [&context](Ui::WindowHost &host) { openList(host, context, PriceListKind::Purchase, false); });
    registry.add(QStringLiteral("mnu_listacqbase"),
                 [&context](Ui::WindowHost &host) { openList(host, context, PriceListKind::Purchase, true); });
    registry.add(QStringLiteral("mnu_listVenMod"),
                 [&context](Ui::WindowHost &host) { openList(host, context, PriceListKind::SaleDiscounted, false); });
    registry.add(QStringLiteral("mnu_listvenbase"),
                 [&context](Ui::WindowHost &host) { openList(host, context, PriceListKind::SaleDiscounted, true); });
    registry.add(QStringLiteral("mnu_genListAcq"), [&context](Ui::WindowHost &host) {
        openGeneration(host, context, ListGenerationWindow::Kind::Purchase);
    });
    registry.add(QStringLiteral("mnu_listVenGen"),
                 [&context](Ui::WindowHost &host) { openGeneration(host, context, ListGenerationWindow::Kind::Sale); });
}

} // namespace Orlavo::Masterdata
