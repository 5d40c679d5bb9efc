#pragma once

#include "services/core/outcome.h"

#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

namespace Orlavo::Reporting {

// A report definition: where its rows come from and how each band of the
// page is drawn. Written in the text format described in docs/REPORTS.md.
struct ReportTable {
    QString name;       // as in the database, without schema
    int dataFile = 1;   // 1-based: which data-file code serves it
};

struct ReportJoin {
    bool left = false;
    ReportTable table;
    QString condition;  // selection-formula syntax
};

struct ReportFont {
    QString family;
    double size = 9;
    bool bold = false;
    bool italic = false;
};

// How a value becomes text.
struct FieldFormat {
    enum class Kind { Text, Amount, Integer, Date, Flag };
    Kind kind = Kind::Text;
    int decimals = 2;           // Amount: fixed decimals...
    QString decimalsColumn;     // ...or those of a column ("T.C"), so lire show none
    QString whenTrue;           // Flag texts for -1 and 0
    QString whenFalse;
};

struct ReportItem {
    enum class Kind { Text, Field, Sum, Count, Formula, PageNumber, Line, Box };
    Kind kind = Kind::Text;
    QRectF rect;                // millimetres, relative to the band
    QString text;               // Text: the text; PageNumber: its prefix
    QString column;             // Field/Sum: "TABLE.COLUMN"; Formula: the formula's name
    FieldFormat format;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    std::optional<ReportFont> font;
};

struct ReportBand {
    double height = 0;          // millimetres
    QList<ReportItem> items;
    bool isEmpty() const { return items.isEmpty() && height <= 0; }
};

struct ReportGroup {
    QString column;             // "TABLE.COLUMN"
    ReportBand header;
    ReportBand footer;
};

struct ReportDefinition {
    QString title;
    QSizeF paper{210, 297};     // millimetres, portrait; landscape turns it
    bool landscape = false;
    QMarginsF margins{15, 12, 15, 12};
    ReportFont font{QStringLiteral("DejaVu Sans"), 9, false, false};

    QList<ReportTable> tables;  // the first is the FROM table
    QList<ReportJoin> joins;
    QString filter;             // fixed condition, selection-formula syntax
    QStringList order;          // "TABLE.COLUMN" [DESC]

    ReportBand reportHeader;
    ReportBand pageHeader;
    QList<ReportGroup> groups;  // outermost first
    ReportBand detail;
    ReportBand reportFooter;
    ReportBand pageFooter;

    // Every "TABLE.COLUMN" the bands, groups and order read.
    QStringList columnsUsed() const;
    int dataFiles() const;
};

// Parses a definition; a failure's message is "Errore durante il caricamento"
// and its detail names the line.
Services::Outcome<ReportDefinition> parseReportDefinition(const QString &text);

} // namespace Orlavo::Reporting
