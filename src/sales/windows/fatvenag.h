#pragma once

#include "reporting/printcommand.h"
#include "sales/windows/fatvenin.h"

#include <functional>

class QPushButton;

namespace Orlavo::Sales {

// FatVenAg: a stored document in the invoice window. Conferma updates it
// (the stamp question when another workstation changed it meanwhile);
// "Annulla fattura" / "Ripristina fattura" cancel and restore a definitive
// one; Stampa prints it; "Toglie lo status di STAMPATA" takes the printed mark off; Elimina
// deletes a proposal; "Copia in fattura" opens a new invoice filled with
// a proposal, which stays as it is.
class FatVenAg : public FatVenIn
{
    Q_OBJECT
public:
    // The window of (year, number) in the family; loaded() false when the
    // document is not in the archive.
    static FatVenAg *open(Ui::AppContext &context, Family family, const QString &year, int number,
                          QWidget *parent = nullptr);

    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *unprintButton() const { return m_unprint; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *copyButton() const { return m_copy; }
    QPushButton *printButton() const { return m_print; }

    // The commands; true once done.
    // Stampa: the document's print (the summarised layout with
    // STAMPAFATTURA "R", its rows rebuilt first); a definitive document is
    // marked printed.
    bool print(Reporting::ReportOutput output = Reporting::ReportOutput::Preview, const QString &pdfPath = {});
    bool toggleCancelled();
    bool takeOffPrinted();
    bool remove();
    void copyIntoInvoice();

    // Where "Copia in fattura" opens the new invoice.
    void setCopyOpener(std::function<void(const SalesDocument &)> opener) { m_openCopy = std::move(opener); }
    // After a write: the list that opened the window reads again.
    void setOnWritten(std::function<void()> hook) { m_onWritten = std::move(hook); }

protected:
    void shown() override;
    void afterWrite() override;

private:
    FatVenAg(Ui::AppContext &context, const SalesDocument &stored, QWidget *parent);
    QPushButton *addButton(const QString &caption, const char *name);
    void changed();

    QPushButton *m_cancel = nullptr;
    QPushButton *m_unprint = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_print = nullptr;
    std::function<void(const SalesDocument &)> m_openCopy;
    std::function<void()> m_onWritten;
};

} // namespace Orlavo::Sales
