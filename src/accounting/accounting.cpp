#include "accounting/accounting.h"

#include "ui/windowregistry.h"

namespace Orlavo::Accounting {

void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context)
{
    // Each window adds its entry here as it is built; an entry without a
    // window stays disabled in the menu.
    (void)registry;
    (void)context;
}

} // namespace Orlavo::Accounting
