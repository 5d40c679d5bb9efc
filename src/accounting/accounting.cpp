#include "accounting/accounting.h"

#include "accounting/windows/conaconi.h"
#include "accounting/windows/conaconl.h"
#include "accounting/windows/frmcaucon.h"
#include "ui/appcontext.h"
#include "ui/lookuplist.h"
#include "ui/windowregistry.h"

namespace Orlavo::Accounting {

void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context)
{
    // Each window adds its entry here as it is built; an entry without a
    // window stays disabled in the menu.
    registry.add(QStringLiteral("TabCausContabilita"), [&context](Ui::WindowHost &host) {
        host.openSingle(QStringLiteral("FRMCAUCON"), [&context] { return new FrmCauCon(context); });
    });
    registry.add(QStringLiteral("St_TabCausContabilita"), [&context](Ui::WindowHost &host) {
        Ui::LookupList list(context, causalPrintList(), host.hostWidget());
        if (list.load())
            list.exec();
    });
    // Entries typed by hand: new ones, and the lists that open them to change.
    for (const auto &[insert, modify, mode] :
         {std::tuple{"mnuConaConINS", "mnuConaConMOD", EntryMode::General},
          std::tuple{"regi_corrispettivi", "modi_corrispettivi", EntryMode::CashReceipt}}) {
        registry.add(QString::fromLatin1(insert), [&context, mode](Ui::WindowHost &host) {
            host.openSingle(mode == EntryMode::CashReceipt ? QStringLiteral("CONACONI_CO") : QStringLiteral("CONACONI_CC"),
                            [&context, mode] { return new ConAConI(context, mode); });
        });
        registry.add(QString::fromLatin1(modify),
                     [&context, mode](Ui::WindowHost &host) { openEntryList(host, context, mode); });
    }
}

} // namespace Orlavo::Accounting
