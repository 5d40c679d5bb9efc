#pragma once

// What the agenda offers the main window: the windows it registers.

namespace Orlavo::Ui {
struct AppContext;
class WindowRegistry;
} // namespace Orlavo::Ui

namespace Orlavo::Agenda {

// Registers "mnuAgenda" (the menu entry and the toolbar's agenda button).
void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context);

} // namespace Orlavo::Agenda
