#pragma once

// What the warehouse offers the main window: the windows it registers.

namespace Orlavo::Ui {
struct AppContext;
class WindowRegistry;
} // namespace Orlavo::Ui

namespace Orlavo::Warehouse {

// Registers the warehouse windows under their menu entries.
void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context);

} // namespace Orlavo::Warehouse
