#pragma once

#include "ui/codetableeditor.h"
#include "ui/lookuplist.h"

namespace Orlavo::Masterdata {

// frmPiaCo: the chart of accounts, the fields over the list. Group and
// subgroup show their description; renaming an account the journal uses is
// asked first, and such an account is never deleted.
class FrmPiaCo : public Ui::CodeTableEditor
{
    Q_OBJECT
public:
    explicit FrmPiaCo(Ui::AppContext &context, QWidget *parent = nullptr);

protected:
    QString gridText(const Services::Row &row, const QString &column) const override;
    QString describe(const QString &column, const QString &code) const override;
    bool renameAccepted(const QString &loadedCode) override;
    QString deleteRefused(const QStringList &uses) const override;
};

// The print list of the chart, printed by group and subgroup (PIANOCON).
Ui::LookupRequest chartPrintList();

} // namespace Orlavo::Masterdata
