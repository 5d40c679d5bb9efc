#include "sales/sales.h"

#include "sales/windows/fatvenin.h"
#include "ui/appcontext.h"
#include "ui/windowregistry.h"

namespace Orlavo::Sales {

namespace {

// A new document window of its mode; one of each mode at a time.
void openEntry(Ui::WindowHost &host, Ui::AppContext &context, FatVenIn::Mode mode, const QString &name)
{
    host.openSingle(name, [&context, mode] { return new FatVenIn(context, mode); });
}

} // namespace

void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context)
{
    // Each window adds its entry here as it is built; an entry without a
    // window stays disabled in the menu.
    registry.add(QStringLiteral("mnu_FVencod"), [&context](Ui::WindowHost &host) {
        openEntry(host, context, FatVenIn::Mode::Invoice, QStringLiteral("FATVENIN_EFFETT"));
    });
    registry.add(QStringLiteral("mnuricfiscemis"), [&context](Ui::WindowHost &host) {
        openEntry(host, context, FatVenIn::Mode::Receipt, QStringLiteral("FATVENIN_EFFETT_RFISC"));
    });
    registry.add(QStringLiteral("mnu_propFvendCodi"), [&context](Ui::WindowHost &host) {
        openEntry(host, context, FatVenIn::Mode::Proposal, QStringLiteral("FATVENIN_PROPOS"));
    });
}

} // namespace Orlavo::Sales
