#include "agenda/agenda.h"

#include "agenda/windows/frmage.h"
#include "ui/windowregistry.h"

namespace Orlavo::Agenda {

void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context)
{
    registry.add(QStringLiteral("mnuAgenda"), [&context](Ui::WindowHost &host) {
        host.openSingle(QStringLiteral("FRMAGE"), [&context] { return new FrmAge(context); });
    });
}

} // namespace Orlavo::Agenda
