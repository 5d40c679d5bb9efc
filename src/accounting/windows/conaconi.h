#pragma once

#include "accounting/windows/entryform.h"

namespace Orlavo::Accounting {

// ConAConI: a new entry typed by hand, account to account ("Codifica
// registrazioni Conto a Conto") or a cash receipt ("Registrazioni
// Corrispettivi"). Registra checks, asks, writes under the lock with the
// year's numbers, tells them and empties the window for the next entry;
// Annulla empties it after asking.
class ConAConI : public EntryWindow
{
    Q_OBJECT
public:
    ConAConI(Ui::AppContext &context, EntryMode mode, QWidget *parent = nullptr);

    // Registra; true when the entry was written.
    bool save();
    // Annulla: the typed entry dropped, after the question.
    void cancel();
};

} // namespace Orlavo::Accounting
