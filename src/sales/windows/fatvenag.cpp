#include "sales/windows/fatvenag.h"

#include "sales/stores/invoiceprint.h"
#include "sales/stores/invoicestate.h"
#include "sales/stores/invoiceupdate.h"
#include "ui/appcontext.h"
#include "ui/frmrpt.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace Orlavo::Sales {

using Services::Prompter;

FatVenAg *FatVenAg::open(Ui::AppContext &context, Family family, const QString &year, int number, QWidget *parent)
{
    const auto stored = readDocument(context.db, family, year, number);
    if (!stored || !stored->has_value())
        return nullptr;
    return new FatVenAg(context, **stored, parent);
}

FatVenAg::FatVenAg(Ui::AppContext &context, const SalesDocument &stored, QWidget *parent)
    : FatVenIn(context, stored, parent)
{
    const bool proposal = stored.family == Family::Proposal;
    m_print = addButton(QStringLiteral("S&tampa"), "stampa");
    m_cancel = addButton(QStringLiteral("Annulla fattura"), "annulla");
    m_unprint = addButton(QStringLiteral("Toglie lo status di STAMPATA"), "togliStampata");
    m_delete = addButton(QStringLiteral("&Elimina"), "elimina");
    m_copy = addButton(QStringLiteral("Copia in fattura"), "copiaInFattura");
    m_cancel->setToolTip(QStringLiteral("Annulla o Ripristina la fattura"));
    m_cancel->setVisible(!proposal);
    m_copy->setVisible(proposal);
    connect(m_print, &QPushButton::clicked, this, [this] { print(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { toggleCancelled(); });
    connect(m_unprint, &QPushButton::clicked, this, [this] { takeOffPrinted(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { remove(); });
    connect(m_copy, &QPushButton::clicked, this, &FatVenAg::copyIntoInvoice);
    shown();
}

QPushButton *FatVenAg::addButton(const QString &caption, const char *name)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    // Before Conferma and Esci.
    buttonRow()->insertWidget(buttonRow()->count() - 2, button);
    return button;
}

void FatVenAg::shown()
{
    if (!m_cancel)
        return;
    const auto &h = stored()->header;
    m_cancel->setText(h.integer(QStringLiteral("ANNULLATA")) != 0 ? QStringLiteral("Ripristina fattura")
                                                                  : QStringLiteral("Annulla fattura"));
    m_unprint->setEnabled(h.integer(QStringLiteral("STAMPATA")) != 0);
}

void FatVenAg::afterWrite()
{
    if (m_onWritten)
        m_onWritten();
}

void FatVenAg::changed()
{
    reload();
    if (m_onWritten)
        m_onWritten();
}

bool FatVenAg::print(Reporting::ReportOutput output, const QString &pdfPath)
{
    if (!mayDropChanges())
        return false;
    const SalesDocument &document = *stored();
    const QString user = context().state.user;
    const bool summarised =
        document.family == Family::Definitive &&
        context().settings.readOr(QStringLiteral("MAIN"), QStringLiteral("STAMPAFATTURA"), QStringLiteral("N"))
                .trimmed()
                .toUpper() == QLatin1String("R");
    if (summarised && !rebuildPrintRows(context().db, document, user))
        return false;
    Reporting::PrintCommand command = invoicePrint(document, summarised, user);
    command.output = output;
    command.pdfPath = pdfPath;
    if (!Ui::printReport(context(), command, this))
        return false;
    if (document.family == Family::Definitive && document.header.integer(QStringLiteral("STAMPATA")) == 0) {
        Posted marked;
        marked.result = setPrinted(context().db, document.family, document.year(), document.number(), true);
        if (written(marked))
            changed();
    }
    return true;
}

bool FatVenAg::toggleCancelled()
{
    if (!context().db.checkWriteRights())
        return false;
    const SalesDocument &document = *stored();
    if (document.family != Family::Definitive || !mayDropChanges())
        return false;
    const bool cancelled = document.header.integer(QStringLiteral("ANNULLATA")) != 0;
    if (!ask(cancelled ? QStringLiteral("Confermi il ripristino della fattura?")
                       : QStringLiteral("Confermi l'annullamento della fattura?"),
             true))
        return false;
    // Restoring posts the document again with its own stored figures.
    const Posted done = cancelled ? restoreInvoice(context().db, document)
                                  : cancelInvoice(context().db, document.year(), document.number());
    if (!written(done))
        return false;
    changed();
    return true;
}

bool FatVenAg::takeOffPrinted()
{
    if (!context().db.checkWriteRights() || !mayDropChanges())
        return false;
    const SalesDocument &document = *stored();
    const auto result = setPrinted(context().db, document.family, document.year(), document.number(), false);
    Posted done;
    done.result = result;
    if (!written(done))
        return false;
    changed();
    return true;
}

bool FatVenAg::remove()
{
    const SalesDocument &document = *stored();
    if (const QString refusal = deleteRefusal(document.family); !refusal.isEmpty()) {
        context().prompter.error(refusal, windowTitle());
        return false;
    }
    if (!context().db.checkWriteRights() ||
        !ask(QStringLiteral("Confermi l'eliminazione della registrazione?"), true))
        return false;
    if (!written(deleteProposal(context().db, document.family, document.year(), document.number())))
        return false;
    if (m_onWritten)
        m_onWritten();
    QDialog::reject();
    return true;
}

void FatVenAg::copyIntoInvoice()
{
    if (m_openCopy)
        m_openCopy(*stored());
}

} // namespace Orlavo::Sales
