#include "masterdata/windows/anaric.h"

#include "masterdata/rules/agentcode.h"
#include "masterdata/stores/partyprints.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/lookuplist.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

AnaRic::AnaRic(Ui::AppContext &context, QWidget *parent)
    : PartySearchWindow(context, QStringLiteral("AnaRic"), QStringLiteral("Ricerca CLIENTI"),
                        QStringLiteral("TIPO_CLIENTE"), QStringLiteral("Tipo cliente"), parent)
{
    const int row = nextRow();
    put(row, 0, QStringLiteral("Agente"), QStringLiteral("AGENTE"), 5);
    put(row, 2, QStringLiteral("Zona"), QStringLiteral("ZONA"), 4);
    put(row + 1, 0, QStringLiteral("Codice attività"), QStringLiteral("COD_ATTIVITA"), 6);

    m_all = new QRadioButton(QStringLiteral("Lista tutti i Clienti"), this);
    m_all->setObjectName(QStringLiteral("O_Tutti"));
    m_all->setChecked(true);
    m_openOrders = new QRadioButton(QStringLiteral("Lista solo i Clienti con Ordini a fronte"), this);
    m_openOrders->setObjectName(QStringLiteral("O_Ordini"));
    // Orders are not kept yet: there is nothing to look for.
    m_openOrders->setEnabled(false);
    m_openOrders->setToolTip(QStringLiteral("Disponibile con la gestione degli ordini"));
    mainLayout()->addWidget(m_all);
    mainLayout()->addWidget(m_openOrders);

    // An agent sees his own customers: the agent filter is his number.
    const CustomerSearchUser who = user();
    if (!who.agentFlag.trimmed().isEmpty()) {
        QLineEdit *agent = field(QStringLiteral("AGENTE"));
        if (const auto number = agentNumber(who.code))
            agent->setText(QString::number(*number));
        agent->setReadOnly(true);
        agent->setObjectName(QStringLiteral("D_AGENTE"));
    }
    addButtons();
}

CustomerSearchUser AnaRic::user() const
{
    return {m_context.state.user, m_context.state.agentFlag};
}

CustomerSearchFilters AnaRic::filters() const
{
    CustomerSearchFilters f;
    readShared(f);
    f.customerType = text("TIPO_CLIENTE");
    f.agent = number("AGENTE");
    f.zone = text("ZONA");
    f.withOpenOrders = m_openOrders->isChecked();
    return f;
}

Services::Outcome<PartySearch> AnaRic::build() const
{
    return buildCustomerSearch(filters(), user());
}

Ui::LookupRequest AnaRic::listRequest(const CustomerSearch &search)
{
    return partyListRequest(search, Services::Tables::ANAG_CLI, QStringLiteral("CLIENTE"),
                            QStringLiteral("Lista CLIENTI"));
}

Ui::LookupRequest AnaRic::listRequestOf(const PartySearch &search) const
{
    return listRequest(search);
}

Reporting::PrintCommand AnaRic::printCommandOf(const QString &formula) const
{
    return customerListPrint(formula);
}

void AnaRic::clearOptions()
{
    m_all->setChecked(true);
}

} // namespace Orlavo::Masterdata
