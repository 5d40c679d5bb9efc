#pragma once

#include "reporting/rules/reportdefinition.h"

#include <QHash>
#include <QLineF>
#include <QList>
#include <QSizeF>
#include <QVariant>

namespace Orlavo::Reporting {

// A report's rows as the engine reads them: values by "TABLE.COLUMN".
struct ReportRows {
    QHash<QString, int> columns;     // "TABLE.COLUMN" → position
    QList<QVariantList> rows;

    QVariant value(qsizetype row, const QString &column) const;
};

// What is drawn on a page, in millimetres from the page's top-left corner.
struct PageText {
    QRectF rect;
    QString text;
    ReportFont font;
    Qt::Alignment align;
};

struct ReportPage {
    QList<PageText> texts;
    QList<QLineF> lines;
    QList<QRectF> boxes;
};

struct ReportDocument {
    QString title;
    QSizeF pageSize;                 // millimetres, as the sheet lies: landscape is wider
    bool landscape = false;
    QList<ReportPage> pages;
};

// Lays the rows out band by band: report header once, page header and
// footer on every page, group headers and footers where the group's value
// changes, totals, "Pag. N" from the caller's first number.
ReportDocument layoutReport(const ReportDefinition &definition, const ReportRows &rows,
                            const QHash<QString, QString> &formulas, int firstPage = 1);

// A value as the field's format shows it.
QString formatValue(const QVariant &value, const FieldFormat &format, int decimals);

} // namespace Orlavo::Reporting
