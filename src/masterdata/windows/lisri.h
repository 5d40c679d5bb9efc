#pragma once

#include "masterdata/rules/pricelistsearch.h"
#include "masterdata/windows/partysearchwindow.h"

#include <functional>
#include <optional>

class QRadioButton;

namespace Orlavo::Masterdata {

// The lists of price lists and discounts: LisAcqRi (purchase lists),
// LisVenRi (sale lists, discounted or marked up), ScCliRi and ScForRi
// (discount tables). Personal lists, or the standard list alone ("Prezzi
// da Scheda Articolo"); a chosen row goes to the hook, which opens it.
class PriceListWindow : public SearchWindow
{
    Q_OBJECT
public:
    // `kind` is Purchase, SaleDiscounted (both sale views), CustomerDiscounts
    // or SupplierDiscounts.
    PriceListWindow(Ui::AppContext &context, PriceListKind kind, bool standard, QWidget *parent = nullptr);

    // The list shown: for the sale lists, the view chosen.
    PriceListKind kind() const;
    QRadioButton *markedUpView() const { return m_markedUp; }
    void setOnChosen(std::function<void(PriceListKind, const QStringList &)> hook) { m_onChosen = std::move(hook); }

protected:
    Services::Outcome<Found> find() const override;
    void chosen(const QStringList &values) override;
    Reporting::PrintCommand printCommandOf(const QString &formula) const override;
    bool beforePrint() override;
    void clearOptions() override;

private:
    PriceListFilters filters() const;
    // The first typed code not in the archive, as the operator is told.
    QString unknownCode() const;

    PriceListKind m_kind;
    bool m_standard;
    QRadioButton *m_discounted = nullptr;
    QRadioButton *m_markedUp = nullptr;
    mutable std::optional<PriceListSearch> m_found;
    std::function<void(PriceListKind, const QStringList &)> m_onChosen;
};

} // namespace Orlavo::Masterdata
