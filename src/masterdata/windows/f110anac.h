#pragma once

#include "masterdata/stores/customerstore.h"
#include "masterdata/windows/partywindow.h"

namespace Orlavo::Masterdata {

// The customer window: a new customer ("Inserimento cliente") or a stored
// one ("Modifica cliente") on five tabs, with its checks, writes, prints and
// delivery places.
class F110Anac : public PartyWindow
{
    Q_OBJECT
public:
    // Modify mode loads `code`; loaded() is false when it is missing.
    F110Anac(Ui::AppContext &context, Mode mode, int code = 0, QWidget *parent = nullptr);

    // The customer as the fields hold it.
    Customer customer() const { return record(); }

    bool printEnvelope();
    void openDeliveryPlaces();

protected:
    Services::Record newRecord() override;
    QList<Services::FieldProblem> problems(const Services::Record &typed, const QString &only) override;
    Reporting::PrintCommand cardPrint(int code) override;

private:
    void build();
    void fillCombos();
};

} // namespace Orlavo::Masterdata
