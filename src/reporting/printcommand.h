#pragma once

#include "reporting/stores/reportbuild.h"

#include <QString>

namespace Orlavo::Reporting {

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

} // namespace Orlavo::Reporting
