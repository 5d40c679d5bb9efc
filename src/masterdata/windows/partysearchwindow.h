#pragma once

#include "masterdata/rules/partysearch.h"
#include "reporting/printcommand.h"

#include <QDialog>
#include <QHash>

#include <functional>
#include <optional>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QVBoxLayout;

namespace Orlavo::Ui {
struct AppContext;
struct LookupRequest;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// What the customer and the supplier searches share: the filters on a
// "Selezione" box (coded ones with their F4 list), the buttons Lista,
// Stampa, Annulla and Esci, the list of the rows the filters select and
// the same rows printed.
class PartySearchWindow : public QDialog
{
    Q_OBJECT
public:
    // A filter field by its column (CODICE_DA, CODICE_A, RAG_SOC1,
    // CITTA_LEG, PROVINCIA_LEG, PART_IVA, COD_FISC, COD_ATTIVITA and the
    // window's own).
    QLineEdit *field(const QString &name) const { return m_fields.value(name); }
    QCheckBox *townPattern() const { return m_townPattern; }

    // The search of the typed filters; nothing after the operator was told
    // what is wrong with them.
    std::optional<PartySearch> search();

    // Lista: the rows on screen; a chosen one's code goes to the hook.
    void showList();
    // Stampa: the same rows in the list report.
    bool print(Reporting::ReportOutput output, const QString &pdfPath = {});
    bool print(bool preview);
    void clearFilters();

    // A row chosen in the list (opened in modify mode by the caller).
    void setOnChosen(std::function<void(int)> hook) { m_onChosen = std::move(hook); }

public slots:
    void TimStampa();
    void TimAnte();

protected:
    // The window with the filters every party has: codes, name, town (equal
    // or contained), province, the party's type (typeColumn), VAT number,
    // tax code; rows from nextRow() on are the window's own.
    PartySearchWindow(Ui::AppContext &context, const QString &name, const QString &title, const QString &typeColumn,
                      const QString &typeCaption, QWidget *parent);

    virtual Services::Outcome<PartySearch> build() const = 0;
    virtual Ui::LookupRequest listRequestOf(const PartySearch &search) const = 0;
    virtual Reporting::PrintCommand printCommandOf(const QString &formula) const = 0;
    // The window's own options back to their start.
    virtual void clearOptions() {}

    // A captioned filter at row, col of the box; a field of a coded column
    // offers its list on F4.
    QLineEdit *put(int row, int col, const QString &caption, const QString &name, int length, bool number = false,
                   int span = 1);
    int nextRow() const { return m_nextRow; }
    QVBoxLayout *mainLayout() const { return m_layout; }
    // The button row, last under everything else.
    void addButtons();

    // The typed texts of the shared filters.
    void readShared(PartySearchFilters &filters) const;
    QString text(const char *name) const;
    std::optional<int> number(const char *name) const;

    Ui::AppContext &m_context;

private:
    QVBoxLayout *m_layout = nullptr;
    QGridLayout *m_grid = nullptr;
    int m_nextRow = 0;
    QHash<QString, QLineEdit *> m_fields;
    QCheckBox *m_townPattern = nullptr;
    std::function<void(int)> m_onChosen;
};

// The list of a search's rows over table, code first.
Ui::LookupRequest partyListRequest(const PartySearch &search, const QString &table, const QString &key,
                                   const QString &title);

} // namespace Orlavo::Masterdata
