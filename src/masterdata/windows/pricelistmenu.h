#pragma once

#include "masterdata/rules/pricelistsearch.h"

#include <QStringList>

class QWidget;

namespace Orlavo::Ui {
struct AppContext;
class WindowHost;
class WindowRegistry;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// The menu entries of discounts and price lists: codifica and lista of the
// discount tables, the lists of both price lists (personal and from the
// item card), their generation.
void registerPriceListWindows(Ui::WindowRegistry &registry, Ui::AppContext &context);

// Opens the window of a row chosen in a list, by the key the list carries:
// in the main window's frame with a host, else modal over `parent`. A
// discounted sale row (no supplier) asks which supplier's row when it has
// several.
void openPriceListRow(Ui::AppContext &context, PriceListKind kind, const QStringList &key, Ui::WindowHost *host,
                      QWidget *parent = nullptr);

} // namespace Orlavo::Masterdata
