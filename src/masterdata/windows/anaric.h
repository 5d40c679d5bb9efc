#pragma once

#include "masterdata/rules/customersearch.h"

#include <QDialog>
#include <QHash>

#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QCheckBox;

namespace Orlavo::Ui {
struct AppContext;
struct LookupRequest;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// The customer search: the filters, the list "Lista CLIENTI" of the
// customers they select, and the same customers printed (ANACLIL).
class AnaRic : public QDialog
{
    Q_OBJECT
public:
    explicit AnaRic(Ui::AppContext &context, QWidget *parent = nullptr);

    // A filter field by its column (CODICE_DA, CODICE_A, RAG_SOC1,
    // CITTA_LEG, PROVINCIA_LEG, PART_IVA, COD_FISC, TIPO_CLIENTE, AGENTE,
    // ZONA, COD_ATTIVITA).
    QLineEdit *field(const QString &name) const { return m_fields.value(name); }
    QCheckBox *townPattern() const { return m_townPattern; }
    QRadioButton *openOrdersOption() const { return m_openOrders; }

    CustomerSearchFilters filters() const;
    // The search of the typed filters; nothing after the operator was told
    // what is wrong with them.
    std::optional<CustomerSearch> search();
    // The list of the search, to show or to test.
    static Ui::LookupRequest listRequest(const CustomerSearch &search);

    // Lista: the customers on screen; a chosen one goes to the hook.
    void showList();
    // Stampa: the same customers in the report, previewed or printed.
    bool print(bool preview);
    void clearFilters();

    // A customer chosen in the list (opened in modify mode by the caller).
    void setOnChosen(std::function<void(int)> hook) { m_onChosen = std::move(hook); }

public slots:
    void TimStampa();
    void TimAnte();

private:
    QLineEdit *addField(const QString &name, int length, bool number = false);
    CustomerSearchUser user() const;

    Ui::AppContext &m_context;
    QHash<QString, QLineEdit *> m_fields;
    QCheckBox *m_townPattern = nullptr;
    QRadioButton *m_all = nullptr;
    QRadioButton *m_openOrders = nullptr;
    std::function<void(int)> m_onChosen;
};

} // namespace Orlavo::Masterdata
