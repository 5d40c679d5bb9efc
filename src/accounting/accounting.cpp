#include "accounting/accounting.h"

#include "accounting/windows/frmcaucon.h"
#include "ui/appcontext.h"
#include "ui/lookuplist.h"
#include "ui/windowregistry.h"

namespace Orlavo::Accounting {

void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context)
{
    registry.add(QStringLiteral("TabCausContabilita"), [&context](Ui::WindowHost &host) {
        host.openSingle(QStringLiteral("FRMCAUCON"), [&context] { return new FrmCauCon(context); });
    });
    registry.add(QStringLiteral("St_TabCausContabilita"), [&context](Ui::WindowHost &host) {
        Ui::LookupList list(context, causalPrintList(), host.hostWidget());
        if (list.load())
            list.exec();
    });
}

} // namespace Orlavo::Accounting
