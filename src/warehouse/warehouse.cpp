#include "warehouse/warehouse.h"

#include "masterdata/masterdata.h"
#include "ui/appcontext.h"
#include "ui/windowregistry.h"
#include "warehouse/windows/f280mmag.h"
#include "warehouse/windows/f280rmag.h"
#include "warehouse/windows/frmcauma.h"

#include <QPointer>

namespace Orlavo::Warehouse {

namespace {

// A movement window, new or on a stored movement; `written` runs after each
// write (the list that opened it reads again).
void openMovement(Ui::WindowHost &host, Ui::AppContext &context, const QString &year, int number,
                  std::function<void()> written = {})
{
    const bool stored = number != 0;
    const QString name = stored ? QStringLiteral("F280MMAG_%1_%2").arg(year).arg(number) : QStringLiteral("F280MMAG");
    if (host.registerOpenWindow(name))
        return;
    auto *window = new F280MMag(context, stored ? F280MMag::Mode::Modify : F280MMag::Mode::Insert, year, number);
    if (!window->loaded()) {
        context.prompter.error(QStringLiteral("Il movimento non esiste in archivio "), QStringLiteral("Errore"));
        delete window;
        host.unregisterOpenWindow(name);
        return;
    }
    window->setNewItemOpener(
        [&host, &context](const QString &parameter) { Masterdata::codeNewItem(host, context, parameter); });
    window->setOnWritten(std::move(written));
    host.showTaskWindow(window, name, stored ? QStringLiteral("MMAGAGG") : QStringLiteral("MMAGINS"));
}

} // namespace

void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context)
{
    // Each window adds its entry here as it is built; an entry without a
    // window stays disabled in the menu.
    registerCausalWindows(registry, context);
    registry.add(QStringLiteral("codi_movimenti"),
                 [&context](Ui::WindowHost &host) { openMovement(host, context, {}, 0); });
    registry.add(QStringLiteral("modi_movimenti"), [&context](Ui::WindowHost &host) {
        host.openSingle(QStringLiteral("F280RMAG"), [&host, &context] {
            auto *list = new F280RMag(context);
            const QPointer<F280RMag> guard(list);
            list->setOnChosen([&host, &context, guard](const QString &year, int number) {
                openMovement(host, context, year, number, [guard] {
                    if (guard)
                        guard->search();
                });
            });
            return list;
        });
    });
}

} // namespace Orlavo::Warehouse
