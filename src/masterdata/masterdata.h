#pragma once

// What master data offers the other subsystems' windows: the windows it
// registers for the main window's menu, and its pickers.

#include "masterdata/stores/postalcodes.h"
#include "masterdata/stores/pricelookup.h"

#include <functional>
#include <optional>

class QWidget;

namespace Orlavo::Ui {
struct AppContext;
class InputField;
struct LookupRequest;
class WindowHost;
class WindowRegistry;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// Registers under the menu's entry names what master data opens: the
// customer card and search, the code tables and the table windows with
// their print lists.
void registerWindows(Ui::WindowRegistry &registry, Ui::AppContext &context);

// "Lista C.A.P.": postal code, town and province of TAB_CAP, all of them or
// those of one town.
Ui::LookupRequest postalCodeList(const QString &town = {});

// The postal code and province of a town the operator typed: the only one,
// or the one picked from the town's list when it has several. Nothing when
// the town is unknown or the operator leaves the list.
std::optional<Place> placeOfTown(Ui::AppContext &context, const QString &town, QWidget *parent = nullptr);

// A row the operator picks from the whole "Lista C.A.P." (F4 on a postal
// code); nothing when he leaves the list.
struct PostalPlace {
    QString postalCode;
    QString town;
    QString province;
};
std::optional<PostalPlace> pickPostalCode(Ui::AppContext &context, QWidget *parent = nullptr);

// "Lista COMUNI": the Italian municipalities and their provinces.
Ui::LookupRequest townList();

// Makes a town field offer "Lista COMUNI" on F4 or double-click: the town
// picked is written in the field, then `picked` gets it (to fill the
// province and postal code as leaving the field would).
void offerTownList(Ui::InputField *field, Ui::AppContext &context, std::function<void(const Town &)> picked);

// "Lista CLIENTI": code and name of every customer but the standard-list
// one (99999), for another subsystem's customer field.
Ui::LookupRequest customerList();
// The name of a customer; empty when the code is unknown or 99999.
QString customerName(Ui::AppContext &context, const QString &code);

// "Lista FORNITORI" and the name of a supplier, as for customers.
Ui::LookupRequest supplierList();
QString supplierName(Ui::AppContext &context, const QString &code);

// The item window coding a new item from another window's "ARTICOD"
// parameter; `written` gets the item once stored.
void codeNewItem(Ui::WindowHost &host, Ui::AppContext &context, const QString &parameter,
                 std::function<void()> written = {});

// The sale list row a document row takes: the only one found by
// lookupListPrices, or the one the operator picks from "Listino prezzi
// ricaricati" (the sale view, or with `markedUpView` the suppliers' marked-up
// prices); nothing when there is none or he leaves the list.
std::optional<ListPrice> pickListPrice(const QList<ListPrice> &rows, bool markedUpView, QWidget *parent = nullptr);

} // namespace Orlavo::Masterdata
