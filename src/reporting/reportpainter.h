#pragma once

#include "reporting/rules/reportlayout.h"

#include "services/core/outcome.h"

#include <QPageLayout>

class QImage;
class QPainter;

namespace Orlavo::Reporting {

// The sheet of the document for a PDF or a printer: its size in millimetres
// (A4 when it has none), its orientation, no margins.
QPageLayout reportPageLayout(const ReportDocument &document);

// Draws one page on any device: the painter's device gives the scale.
void paintReportPage(QPainter &painter, const ReportDocument &document, int page);

// One page as an image at the given resolution, for the preview.
QImage renderReportPage(const ReportDocument &document, int page, double dpi);

// The whole document as a PDF file, fonts embedded. Fails with "Disco
// pieno" when the file cannot be written whole.
Services::Outcome<void> writeReportPdf(const ReportDocument &document, const QString &path);

// The family used for a font: the one asked, when installed, else one the
// system ships.
QString availableFamily(const QString &family);

} // namespace Orlavo::Reporting
