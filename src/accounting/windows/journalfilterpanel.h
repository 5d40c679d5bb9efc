#pragma once

#include "accounting/rules/journalfilter.h"

#include <QHash>
#include <QWidget>

class QComboBox;
class QLineEdit;

namespace Orlavo::Ui {
struct AppContext;
class InputField;
struct LookupRequest;
} // namespace Orlavo::Ui

namespace Orlavo::Accounting {

// The lists the journal's windows offer on a coded field: "Lista CONTI",
// "Lista TIPO CAUSALI", "Lista CAUSALI DI CONTABILITA'" (of one causal type
// when given), "Lista CODICI IVA", "Lista BANCHE PAGAMENTO", "Lista
// FORNITORI" (not 99999), "Lista CENTRI DI COSTO".
enum class CodedList { Accounts, CausalTypes, Causals, VatCodes, Banks, Suppliers, CostCentres };
Ui::LookupRequest codedList(CodedList list, const QString &causalType = {});

// The filters of the journal listings, for every window that lists journal
// lines: year, movement numbers and dates, registration dates, account
// (a trailing "*" for every account starting so), causal type, causal,
// cost centre, customer, supplier, the summary's start date and the role
// groups of accounts. Coded filters offer their lists on F4 or
// double-click.
class JournalFilterPanel : public QWidget
{
    Q_OBJECT
public:
    struct Options {
        // Empty: the causal type is a filter; else the list's own types,
        // the field hidden and the causals' list kept to them.
        QStringList causalTypes;
        bool summaryStart = true;
        bool byAccount = false;
    };

    JournalFilterPanel(Ui::AppContext &context, Options options, QWidget *parent = nullptr);

    QLineEdit *field(FilterField filter) const;
    void setText(FilterField filter, const QString &text);
    void setRoles(RoleFilter parties, RoleFilter bankAndCash);
    JournalFilterInput input() const;

    // The selection; nothing after the first wrong filter's message, its
    // field red and the cursor on it.
    std::optional<JournalSelection> selection();

private:
    Ui::InputField *add(FilterField filter, Ui::InputField *field, int width);
    QComboBox *roleBox(const QString &name);

    Ui::AppContext &m_context;
    Options m_options;
    QHash<FilterField, Ui::InputField *> m_fields;
    QComboBox *m_parties = nullptr;
    QComboBox *m_bankAndCash = nullptr;
};

} // namespace Orlavo::Accounting
