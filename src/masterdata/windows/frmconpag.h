#pragma once

#include "ui/codetableeditor.h"

namespace Orlavo::Masterdata {

// frmConPag: the payment conditions. The description is composed as the
// kind, the days or the start of the count change; the operator may still
// write it over.
class FrmConPag : public Ui::CodeTableEditor
{
    Q_OBJECT
public:
    explicit FrmConPag(Ui::AppContext &context, QWidget *parent = nullptr);

protected:
    Services::Row emptyRow() const override;

private:
    void compose();
};

} // namespace Orlavo::Masterdata
