#pragma once

#include "masterdata/rules/customersearch.h"
#include "masterdata/windows/partysearchwindow.h"

class QRadioButton;

namespace Orlavo::Masterdata {

// The customer search: the filters, the list "Lista CLIENTI" of the
// customers they select, and the same customers printed (ANACLIL).
class AnaRic : public PartySearchWindow
{
    Q_OBJECT
public:
    explicit AnaRic(Ui::AppContext &context, QWidget *parent = nullptr);

    QRadioButton *openOrdersOption() const { return m_openOrders; }

    // Besides the shared filters: TIPO_CLIENTE, AGENTE, ZONA.
    CustomerSearchFilters filters() const;
    // The list of the search, to show or to test.
    static Ui::LookupRequest listRequest(const CustomerSearch &search);

protected:
    Services::Outcome<PartySearch> build() const override;
    Ui::LookupRequest listRequestOf(const PartySearch &search) const override;
    Reporting::PrintCommand printCommandOf(const QString &formula) const override;
    void clearOptions() override;

private:
    CustomerSearchUser user() const;

    QRadioButton *m_all = nullptr;
    QRadioButton *m_openOrders = nullptr;
};

} // namespace Orlavo::Masterdata
