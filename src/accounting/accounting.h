#pragma once

// What accounting offers the main window: the windows it registers.

namespace Orlavo::Ui {
struct AppContext;
class WindowRegistry;
} // namespace Orlavo::Ui

namespace Orlavo::Accounting {

// Registers the accounting windows under their menu entries.
void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context);

} // namespace Orlavo::Accounting
