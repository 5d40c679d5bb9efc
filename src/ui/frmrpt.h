#pragma once

#include "reporting/printcommand.h"
#include "reporting/rules/reportlayout.h"
#include "ui/lisstam.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;

namespace Orlavo::Ui {

struct AppContext;

// Chooses the report of the key (LisStam when it has several), builds each
// chosen one and previews, prints or writes it. Errors are shown to the
// operator with the engine's messages and never end the program; the
// calling window keeps its data. True when something was produced.
bool printReport(AppContext &context, const Reporting::PrintCommand &command, QWidget *parent = nullptr,
                 const ChoiceAsker &ask = {});

// The report window: the pages at the size of the screen, page by page,
// with zoom, printing and PDF export.
class FrmRpt : public QWidget
{
    Q_OBJECT
public:
    FrmRpt(AppContext &context, Reporting::ReportDocument document, const QString &title, int copies,
           QWidget *parent = nullptr);

    int pageCount() const { return int(m_document.pages.size()); }
    int currentPage() const { return m_page; }
    void showPage(int page);
    // Percent of the real size; 0 fits the page's width to the window.
    void setZoom(int percent);
    bool printDocument();
    bool exportPdf(const QString &path);
    const Reporting::ReportDocument &document() const { return m_document; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void render();
    void askPdfPath();

    AppContext &m_ctx;
    Reporting::ReportDocument m_document;
    int m_copies;
    int m_page = 0;
    int m_zoom = 0;
    QScrollArea *m_scroll;
    QLabel *m_view;
    QSpinBox *m_pageBox;
    QLabel *m_pageOf;
    QComboBox *m_zoomBox;
};

} // namespace Orlavo::Ui
