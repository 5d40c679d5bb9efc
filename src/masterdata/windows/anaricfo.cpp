#include "masterdata/windows/anaricfo.h"

#include "masterdata/stores/partyprints.h"
#include "services/core/tablenames.h"
#include "ui/lookuplist.h"

namespace Orlavo::Masterdata {

namespace {

bool agents(SupplierFlavour flavour)
{
    return flavour == SupplierFlavour::Agents;
}

} // namespace

AnaRicFo::AnaRicFo(Ui::AppContext &context, SupplierFlavour flavour, QWidget *parent)
    : PartySearchWindow(context, QStringLiteral("AnaRicFo"),
                        agents(flavour) ? QStringLiteral("Ricerca AGENTI") : QStringLiteral("Ricerca FORNITORI"),
                        QStringLiteral("TIPO_FORN"), QStringLiteral("Tipo fornitore"), parent),
      m_flavour(flavour)
{
    put(nextRow(), 0, QStringLiteral("Codice attività"), QStringLiteral("COD_ATTIVITA"), 6);
    addButtons();
}

SupplierSearchFilters AnaRicFo::filters() const
{
    SupplierSearchFilters f;
    readShared(f);
    f.supplierType = text("TIPO_FORN");
    return f;
}

Services::Outcome<PartySearch> AnaRicFo::build() const
{
    return buildSupplierSearch(filters(), m_flavour);
}

Ui::LookupRequest AnaRicFo::listRequest(const SupplierSearch &search, SupplierFlavour flavour)
{
    return partyListRequest(search, Services::Tables::ANAG_FOR, QStringLiteral("FORNITORE"),
                            agents(flavour) ? QStringLiteral("Lista AGENTI") : QStringLiteral("Lista FORNITORI"));
}

Ui::LookupRequest AnaRicFo::listRequestOf(const PartySearch &search) const
{
    return listRequest(search, m_flavour);
}

Reporting::PrintCommand AnaRicFo::printCommandOf(const QString &formula) const
{
    return supplierListPrint(formula, m_flavour);
}

} // namespace Orlavo::Masterdata
