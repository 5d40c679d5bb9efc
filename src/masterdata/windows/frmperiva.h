#pragma once

#include "ui/codetableeditor.h"
#include "ui/lookuplist.h"

namespace Orlavo::Masterdata {

// frmPerIva: the VAT codes with their rate, kind and base percentage.
class FrmPerIva : public Ui::CodeTableEditor
{
    Q_OBJECT
public:
    explicit FrmPerIva(Ui::AppContext &context, QWidget *parent = nullptr);

protected:
    Services::Row emptyRow() const override;
};

// The print list of the VAT rates, printed with the report TABIVA.
Ui::LookupRequest vatRateList();

} // namespace Orlavo::Masterdata
