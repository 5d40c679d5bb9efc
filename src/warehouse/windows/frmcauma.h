#pragma once

#include "ui/codetableeditor.h"
#include "ui/lookuplist.h"

namespace Orlavo::Ui {
class WindowRegistry;
} // namespace Orlavo::Ui

namespace Orlavo::Warehouse {

// frmCauMa: the warehouse causals, code, description and whether their
// loads enter the average purchase price.
class FrmCauMa : public Ui::CodeTableEditor
{
    Q_OBJECT
public:
    explicit FrmCauMa(Ui::AppContext &context, QWidget *parent = nullptr);

protected:
    QString deleteRefused(const QStringList &uses) const override;
};

// The print list of the causals (TABCAUMA).
Ui::LookupRequest warehouseCausalList();

// "TabCausMaga" opens the window, "St_TabCausMaga" prints the list.
void registerCausalWindows(Ui::WindowRegistry &registry, Ui::AppContext &context);

} // namespace Orlavo::Warehouse
