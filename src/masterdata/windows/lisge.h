#pragma once

#include "masterdata/stores/listgeneration.h"

#include <QDialog>
#include <QHash>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// The generation of a price list for a brand: LisAcqGe (a supplier with a
// personal list, or "Forn. Standard") and LisVenGe (a customer with a
// personal list and a supplier, or "Cli. Standard"). The run shows its
// progress; its Annulla rolls the whole run back.
class ListGenerationWindow : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { Purchase, Sale };
    ListGenerationWindow(Ui::AppContext &context, Kind kind, QWidget *parent = nullptr);

    QLineEdit *field(const QString &name) const { return m_fields.value(name); }
    QCheckBox *standard() const { return m_standard; }

    // Genera: the checks, the question, the run; true when it was done.
    bool generate();

private:
    QLineEdit *addCoded(int row, const QString &caption, const QString &name, int length);
    void describe(const QString &name);
    std::optional<int> code(const QString &name) const;
    // The filters' refusal, in the window's order; empty when they pass.
    QString refusal() const;

    Ui::AppContext &m_context;
    Kind m_kind;
    QGridLayout *m_grid = nullptr;
    QHash<QString, QLineEdit *> m_fields;
    QHash<QString, QLabel *> m_descriptions;
    QCheckBox *m_standard = nullptr;
};

} // namespace Orlavo::Masterdata
