#pragma once

#include "accounting/windows/entryform.h"

#include <functional>

namespace Orlavo::Accounting {

// ConACon: a stored entry changed or deleted ("Variazione registrazioni
// Conto a Conto", "Variazione Corrispettivi"). An entry typed by hand is
// written again whole; a generated one keeps its amounts, lines,
// registration date, customer, supplier and causal, and only its
// descriptions, accounts and cost centres change. An entry on the printed
// journal shows "STAMPATA" and is refused.
class ConACon : public EntryWindow
{
    Q_OBJECT
public:
    // The window on the entry; nothing when it is gone (the operator was
    // told) or could not be read.
    static ConACon *open(Ui::AppContext &context, const QString &year, int number, QWidget *parent = nullptr);

    const LoadedEntry &loadedEntry() const { return m_loaded; }
    // Typed by hand and written again whole ("CC", "CO").
    bool rewritten() const;

    // Registra: checks, "Confermi registrazioni?", the stamp question when
    // another workstation changed the entry meanwhile. True when written.
    bool save();
    // Elimina: the refusals, "Confermi eliminazione registrazione?". True
    // when deleted; the window closes.
    bool remove();

    // After a write or a delete (the list reads again).
    void setOnWritten(std::function<void()> hook) { m_onWritten = std::move(hook); }

private:
    ConACon(Ui::AppContext &context, const LoadedEntry &loaded, QWidget *parent);
    void display(const LoadedEntry &loaded);
    bool askOverwrite();
    void written();

    LoadedEntry m_loaded;
    std::function<void()> m_onWritten;
};

} // namespace Orlavo::Accounting
