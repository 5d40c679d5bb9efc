#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Orlavo::Shell {

// One row of the main window's menu: a menu, an entry or a separator, in
// the order shown. The entry's name is its object name and the key under
// which a subsystem registers what it opens.
struct MenuRow {
    enum class Kind { Menu, Entry, Separator };
    // Who may see an entry (the user profile).
    enum Profile : unsigned {
        Everyone = 0,
        AdminOnly = 1,         // hidden to users of type 0, 1 and 3
        NotType3 = 2,          // hidden to users of type 3
        InvoiceGeneration = 4, // hidden unless MAIN GENERAFATTURE is "SI"
    };

    Kind kind = Kind::Entry;
    QString name;
    QString caption;   // "&" marks the mnemonic; "%1" stands for the program's name
    QString parent;    // the menu it belongs to; empty for the menu bar
    QString shortcut;  // a key sequence, e.g. "Ctrl+F"; empty for none
    unsigned profile = Everyone;
};

// The whole menu, menus before their entries.
const QList<MenuRow> &menuRows();

// The entries a user of this type does not see; generateInvoices is the
// GENERAFATTURE setting.
QStringList hiddenEntries(const QList<MenuRow> &rows, int userType, bool generateInvoices);

} // namespace Orlavo::Shell
