#pragma once

#include "masterdata/stores/supplierstore.h"
#include "masterdata/windows/partywindow.h"

class QLabel;
class QPushButton;

namespace Orlavo::Masterdata {

// The supplier window: a new supplier or agent ("AnaInFor", "Codifica
// anagrafica FORNITORI" / "AGENTI") or a stored one ("AnaAgFor",
// "Variazione anagrafica FORNITORI" / "AGENTI"), with the withholding data
// of the supplier types subject to it.
class SupplierWindow : public PartyWindow
{
    Q_OBJECT
public:
    // Modify mode loads `code`; loaded() is false when it is missing.
    SupplierWindow(Ui::AppContext &context, Mode mode, SupplierFlavour flavour, int code = 0,
                   QWidget *parent = nullptr);

    SupplierFlavour flavour() const { return m_flavour; }
    Supplier supplier() const { return record(); }

    // The bank's kind: a paying bank ("Banca Pagamento", BANCA_PAG) or a
    // support bank ("Banca Appoggio", BANCA_APP); the label's click switches it.
    bool bankToPay() const { return m_bankToPay; }
    void switchBankKind();
    // The withholding section, enabled for a supplier type subject to it.
    QWidget *withholdingSection() const { return m_withholding; }

protected:
    Services::Record newRecord() override;
    QList<Services::FieldProblem> problems(const Services::Record &typed, const QString &only) override;
    Reporting::PrintCommand cardPrint(int code) override;
    Services::Record completed(Services::Record typed) const override;
    void showing(const Services::Record &record) override;
    void shown() override;
    void left(const QString &name) override;
    Ui::LookupRequest lookupList(const QString &column) const override;

private:
    void build();
    void setBankKind(bool toPay);
    void showSupplierType();

    SupplierFlavour m_flavour;
    bool m_bankToPay = false;
    QPushButton *m_bankLabel = nullptr;
    QLabel *m_typeWithholding = nullptr;
    QWidget *m_withholding = nullptr;
};

} // namespace Orlavo::Masterdata
