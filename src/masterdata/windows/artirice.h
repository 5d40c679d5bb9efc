#pragma once

#include "masterdata/windows/artielri.h"

namespace Orlavo::Masterdata {

// The stock search in its flavour (ESISTENZA, IMPEGNATO, ORDINATO): besides
// the shared filters, type and goods category equal or "diverso da", VAT
// code, unit and the stock options; the list of the stock situation and the
// same rows printed (LISESART).
class ArtiRice : public ItemSearchWindow
{
    Q_OBJECT
public:
    ArtiRice(Ui::AppContext &context, StockFlavour flavour, QWidget *parent = nullptr);

    StockFlavour flavour() const { return m_flavour; }
    StockSearchFilters filters() const;

protected:
    Services::Outcome<ItemSearch> build() const override;
    Reporting::PrintCommand printCommandOf(const QString &formula) const override;

private:
    StockFlavour m_flavour;
};

} // namespace Orlavo::Masterdata
