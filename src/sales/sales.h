#pragma once

// What sales documents offer the main window: the windows they register.

namespace Orlavo::Ui {
struct AppContext;
class WindowRegistry;
} // namespace Orlavo::Ui

namespace Orlavo::Sales {

// Registers the sales document windows under their menu entries.
void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context);

} // namespace Orlavo::Sales
