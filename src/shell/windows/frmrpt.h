#pragma once

#include "reports/reportlayout.h"
#include "stores/reportbuild.h"
#include "windows/lisstam.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;

namespace Orlavo::Shell {

struct AppContext;

enum class ReportOutput { Preview, Printer, Pdf };

// A print command of a menu entry or task window.
struct PrintCommand {
    QString key;                    // report key in RPTINI.TXT
    ReportRequest request;          // selection formula, named texts, first page
    QString title;                  // e.g. "Stampa Documento di Trasporto"
    int copies = 1;                 // e.g. COPIEDDT for delivery notes
    ReportOutput output = ReportOutput::Preview;
    QString pdfPath;                // for ReportOutput::Pdf
};

// Chooses the report of the key (LisStam when it has several), builds each
// chosen one and previews, prints or writes it. Errors are shown to the
// operator with the engine's messages and never end the program; the
// calling window keeps its data. True when something was produced.
bool printReport(AppContext &context, const PrintCommand &command, QWidget *parent = nullptr,
                 const ChoiceAsker &ask = {});

// The report window: the pages at the size of the screen, page by page,
// with zoom, printing and PDF export.
class FrmRpt : public QWidget
{
    Q_OBJECT
public:
    FrmRpt(AppContext &context, ReportDocument document, const QString &title, int copies,
           QWidget *parent = nullptr);

    int pageCount() const { return int(m_document.pages.size()); }
    int currentPage() const { return m_page; }
    void showPage(int page);
    // Percent of the real size; 0 fits the page's width to the window.
    void setZoom(int percent);
    bool printDocument();
    bool exportPdf(const QString &path);
    const ReportDocument &document() const { return m_document; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void render();
    void askPdfPath();

    AppContext &m_ctx;
    ReportDocument m_document;
    int m_copies;
    int m_page = 0;
    int m_zoom = 0;
    QScrollArea *m_scroll;
    QLabel *m_view;
    QSpinBox *m_pageBox;
    QLabel *m_pageOf;
    QComboBox *m_zoomBox;
};

} // namespace Orlavo::Shell
