#pragma once

#include "masterdata/rules/suppliersearch.h"
#include "masterdata/windows/partysearchwindow.h"

namespace Orlavo::Masterdata {

// The supplier search, or the agent search by its flavour: the filters, the
// list "Lista FORNITORI" or "Lista AGENTI" of the rows they select, and the
// same rows printed (ANAFORL).
class AnaRicFo : public PartySearchWindow
{
    Q_OBJECT
public:
    AnaRicFo(Ui::AppContext &context, SupplierFlavour flavour, QWidget *parent = nullptr);

    SupplierFlavour flavour() const { return m_flavour; }
    // Besides the shared filters: TIPO_FORN.
    SupplierSearchFilters filters() const;
    // The list of the search, to show or to test.
    static Ui::LookupRequest listRequest(const SupplierSearch &search, SupplierFlavour flavour);

protected:
    Services::Outcome<PartySearch> build() const override;
    Ui::LookupRequest listRequestOf(const PartySearch &search) const override;
    Reporting::PrintCommand printCommandOf(const QString &formula) const override;

private:
    SupplierFlavour m_flavour;
};

} // namespace Orlavo::Masterdata
