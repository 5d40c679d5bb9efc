#pragma once

class QApplication;

namespace Orlavo::Shell {

// Italian for Qt's own texts ("Sì", "Annulla", "Avanti >") and for numbers,
// whatever the system locale.
void installItalian(QApplication &app);

} // namespace Orlavo::Shell
