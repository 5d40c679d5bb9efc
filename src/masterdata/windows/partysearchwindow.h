#pragma once

#include "masterdata/rules/partysearch.h"
#include "reporting/printcommand.h"
#include "ui/lookuplist.h"

#include <QDialog>
#include <QHash>
#include <QList>

#include <functional>
#include <optional>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QVBoxLayout;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// What every search window shares: the filters on a "Selezione" box (coded
// ones with their F4 list), the buttons Lista, Stampa (when the window has
// a print), Annulla and Esci, the list of the rows the filters select and
// the same rows printed.
class SearchWindow : public QDialog
{
    Q_OBJECT
public:
    // A filter field by its name (the column it filters, or CODICE_DA and
    // CODICE_A for a range of codes).
    QLineEdit *field(const QString &name) const { return m_fields.value(name); }
    // An option box by its name.
    QCheckBox *option(const QString &name) const { return m_options.value(name); }

    // Lista: the rows on screen; the chosen one goes to chosen().
    void showList();
    // Stampa: the same rows in the window's report; false, and nothing
    // printed, in a window that has none.
    bool print(Reporting::ReportOutput output, const QString &pdfPath = {});
    bool print(bool preview);
    void clearFilters();

public slots:
    void TimStampa();
    void TimAnte();

protected:
    SearchWindow(Ui::AppContext &context, const QString &name, const QString &title, QWidget *parent);

    // The list of the rows the typed filters select, and the selection
    // printing them (nullopt when no formula can).
    struct Found {
        Ui::LookupRequest list;
        std::optional<QString> formula;
    };
    virtual Services::Outcome<Found> find() const = 0;
    // A row chosen in the list, its values in column order.
    virtual void chosen(const QStringList &values) = 0;
    // The print of the rows a formula selects; only asked of a window with
    // a Stampa button.
    virtual Reporting::PrintCommand printCommandOf(const QString &formula) const;
    // Run before the print, after the filters passed; false stops it.
    virtual bool beforePrint() { return true; }
    // Why the rows on screen cannot be printed.
    virtual QString unprintable() const;
    // The window's own options back to their start, besides the fields and
    // option boxes, which clearFilters empties.
    virtual void clearOptions() {}

    // A captioned filter at row, col of the box; a field of a coded column
    // offers its list on F4.
    QLineEdit *put(int row, int col, const QString &caption, const QString &name, int length, bool number = false,
                   int span = 1);
    // An option box at row, col of the box.
    QCheckBox *putOption(int row, int col, const QString &caption, const QString &name, int span = 1);
    int nextRow() const { return m_nextRow; }
    QVBoxLayout *mainLayout() const { return m_layout; }
    // The button row, last under everything else; Stampa when `printable`.
    void addButtons(bool printable = true);

    QString text(const char *name) const;
    std::optional<int> number(const char *name) const;
    bool ticked(const char *name) const;
    // The operator told what is wrong with the filters; nothing then.
    template <typename T> std::optional<T> told(const Services::Outcome<T> &outcome) const
    {
        if (outcome)
            return *outcome;
        sayRefused(outcome.failure().message);
        return std::nullopt;
    }

    Ui::AppContext &m_context;

private:
    void sayRefused(const QString &message) const;
    void placed(QWidget *widget, int row, int col, int span);

    QVBoxLayout *m_layout = nullptr;
    QGridLayout *m_grid = nullptr;
    int m_nextRow = 0;
    bool m_printable = false;
    QHash<QString, QLineEdit *> m_fields;
    QHash<QString, QCheckBox *> m_options;
};

// What the customer and the supplier searches share: codes, name, town
// (equal or contained), province, the party's type, VAT number, tax code;
// a chosen row's code goes to the hook.
class PartySearchWindow : public SearchWindow
{
    Q_OBJECT
public:
    QCheckBox *townPattern() const { return m_townPattern; }

    // The search of the typed filters; nothing after the operator was told
    // what is wrong with them.
    std::optional<PartySearch> search();

    // A row chosen in the list (opened in modify mode by the caller).
    void setOnChosen(std::function<void(int)> hook) { m_onChosen = std::move(hook); }

protected:
    // The window with the filters every party has, the party's type by its
    // column; rows from nextRow() on are the window's own.
    PartySearchWindow(Ui::AppContext &context, const QString &name, const QString &title, const QString &typeColumn,
                      const QString &typeCaption, QWidget *parent);

    virtual Services::Outcome<PartySearch> build() const = 0;
    virtual Ui::LookupRequest listRequestOf(const PartySearch &search) const = 0;
    Reporting::PrintCommand printCommandOf(const QString &formula) const override = 0;

    // The typed texts of the shared filters.
    void readShared(PartySearchFilters &filters) const;

private:
    Services::Outcome<Found> find() const override;
    void chosen(const QStringList &values) override;
    QString unprintable() const override;

    QCheckBox *m_townPattern = nullptr;
    std::function<void(int)> m_onChosen;
};

// The list of a search's rows over table, code first.
Ui::LookupRequest partyListRequest(const PartySearch &search, const QString &table, const QString &key,
                                   const QString &title);

} // namespace Orlavo::Masterdata
