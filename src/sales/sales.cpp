#include "sales/sales.h"

#include "sales/windows/fatvenag.h"
#include "sales/windows/fatvenin.h"
#include "sales/windows/fatvenri.h"
#include "ui/appcontext.h"
#include "ui/windowregistry.h"

#include <QPointer>

namespace Orlavo::Sales {

namespace {

// A new document window of its mode; one of each mode at a time.
void openEntry(Ui::WindowHost &host, Ui::AppContext &context, FatVenIn::Mode mode, const QString &name)
{
    host.openSingle(name, [&context, mode] { return new FatVenIn(context, mode); });
}

// A proposal copied into a new invoice, the proposal untouched.
void openCopy(Ui::WindowHost &host, Ui::AppContext &context, const SalesDocument &proposal)
{
    auto *window = new FatVenIn(context, FatVenIn::Mode::Invoice);
    window->fillFrom(proposal);
    host.showTaskWindow(window);
}

// A stored document in its update window; `written` runs after each write.
void openStored(Ui::WindowHost &host, Ui::AppContext &context, Family family, const QString &year, int number,
                std::function<void()> written)
{
    const QString name = QStringLiteral("FATVENAG_%1_%2_%3").arg(int(family)).arg(year).arg(number);
    if (host.registerOpenWindow(name))
        return;
    FatVenAg *window = FatVenAg::open(context, family, year, number);
    if (!window) {
        context.prompter.error(QStringLiteral("La fattura non esiste più in archivio"), QStringLiteral("ERRORE"));
        host.unregisterOpenWindow(name);
        return;
    }
    window->setCopyOpener([&host, &context](const SalesDocument &proposal) { openCopy(host, context, proposal); });
    window->setOnWritten(std::move(written));
    host.showTaskWindow(window, name);
}

// The list of a family; a row opens its document.
void openList(Ui::WindowHost &host, Ui::AppContext &context, Family family, InvoiceFilter::Receipts receipts,
              const QString &name)
{
    host.openSingle(name, [&host, &context, family, receipts] {
        auto *list = new FatVenRi(context, family, receipts);
        const QPointer<FatVenRi> guard(list);
        list->setOnChosen([&host, &context, guard](Family chosen, const QString &year, int number) {
            openStored(host, context, chosen, year, number, [guard] {
                if (guard)
                    guard->search();
            });
        });
        return list;
    });
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
    registry.add(QStringLiteral("mnu_FVenModi"), [&context](Ui::WindowHost &host) {
        openList(host, context, Family::Definitive, InvoiceFilter::Receipts::Excluded, QStringLiteral("FATVENRI_EFFETT"));
    });
    registry.add(QStringLiteral("mnuricfiscmodi"), [&context](Ui::WindowHost &host) {
        openList(host, context, Family::Definitive, InvoiceFilter::Receipts::Only,
                 QStringLiteral("FATVENRI_EFFETT_RFISC"));
    });
    registry.add(QStringLiteral("mnu_PropFvendModi"), [&context](Ui::WindowHost &host) {
        openList(host, context, Family::Proposal, InvoiceFilter::Receipts::Included, QStringLiteral("FATVENRI_PROPOS"));
    });
}

} // namespace Orlavo::Sales
