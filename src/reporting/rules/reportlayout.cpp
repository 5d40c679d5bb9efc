#include "reporting/rules/reportlayout.h"

#include "services/core/values.h"

#include <QDate>
#include <QSet>

namespace Orlavo::Reporting {

namespace {

class Layout
{
public:
    Layout(const ReportDefinition &def, const ReportRows &rows, const QHash<QString, QString> &formulas,
           int firstPage)
        : m_def(def), m_rows(rows), m_formulas(formulas), m_firstPage(firstPage)
    {
        m_doc.title = def.title;
        m_doc.landscape = def.landscape;
        m_doc.pageSize = def.landscape ? def.paper.transposed() : def.paper;
        m_top = def.margins.top();
        m_bottom = m_doc.pageSize.height() - def.margins.bottom() - def.pageFooter.height;
        m_groupSums.resize(def.groups.size());
        m_groupCounts.fill(0, def.groups.size());
        // Every SUM adds up, wherever it is: a page footer's "a riportare"
        // needs no report total beside it.
        const auto collect = [this](const ReportBand &band) {
            for (const ReportItem &item : band.items)
                if (item.kind == ReportItem::Kind::Sum)
                    m_summed.insert(item.column);
        };
        for (const ReportGroup &g : def.groups) {
            collect(g.header);
            collect(g.footer);
        }
        for (const ReportBand *band :
             {&def.reportHeader, &def.pageHeader, &def.detail, &def.reportFooter, &def.pageFooter})
            collect(*band);
    }

    ReportDocument run();

private:
    void newPage();
    void closePage();
    // Opens a page, or a new one when the band does not fit on this one.
    void makeRoom(const ReportBand &band);
    // Places a band at the current height, on a new page when it does not fit.
    void place(const ReportBand &band, qsizetype row, int level);
    void draw(const ReportBand &band, double y, qsizetype row, int level);
    QString itemText(const ReportItem &item, qsizetype row, int level) const;
    void addRow(qsizetype row);

    const ReportDefinition &m_def;
    const ReportRows &m_rows;
    const QHash<QString, QString> &m_formulas;
    int m_firstPage;
    ReportDocument m_doc;
    double m_top = 0;
    double m_bottom = 0;
    double m_y = 0;
    bool m_pageOpen = false;
    // Totals per group level (index) and for the whole report.
    QList<QHash<QString, double>> m_groupSums;
    QList<int> m_groupCounts;
    QHash<QString, double> m_totalSums;
    int m_totalCount = 0;
    QSet<QString> m_summed;
};

void Layout::newPage()
{
    m_doc.pages.append(ReportPage{});
    m_pageOpen = true;
    m_y = m_top;
    if (!m_def.pageHeader.isEmpty()) {
        draw(m_def.pageHeader, m_y, -1, -1);
        m_y += m_def.pageHeader.height;
    }
}

void Layout::closePage()
{
    if (!m_pageOpen)
        return;
    if (!m_def.pageFooter.isEmpty())
        draw(m_def.pageFooter, m_bottom, -1, -1);
    m_pageOpen = false;
}

void Layout::makeRoom(const ReportBand &band)
{
    if (band.isEmpty())
        return;
    if (!m_pageOpen)
        newPage();
    // A band taller than a whole page is drawn anyway, cut at the page end.
    if (m_y + band.height > m_bottom + 1e-6 && m_y > m_top + m_def.pageHeader.height + 1e-6) {
        closePage();
        newPage();
    }
}

void Layout::place(const ReportBand &band, qsizetype row, int level)
{
    if (band.isEmpty())
        return;
    makeRoom(band);
    draw(band, m_y, row, level);
    m_y += band.height;
}

void Layout::draw(const ReportBand &band, double y, qsizetype row, int level)
{
    ReportPage &page = m_doc.pages.last();
    const QPointF origin(m_def.margins.left(), y);
    for (const ReportItem &item : band.items) {
        switch (item.kind) {
        case ReportItem::Kind::Line: page.lines.append(QLineF(item.rect.topLeft() + origin, item.rect.bottomRight() + origin)); break;
        case ReportItem::Kind::Box: page.boxes.append(item.rect.translated(origin)); break;
        default: {
            const QString text = itemText(item, row, level);
            if (!text.isEmpty())
                page.texts.append({item.rect.translated(origin), text, item.font.value_or(m_def.font), item.align});
        }
        }
    }
}

QString Layout::itemText(const ReportItem &item, qsizetype row, int level) const
{
    const auto decimalsFor = [&](qsizetype r) {
        if (item.format.decimalsColumn.isEmpty() || r < 0)
            return item.format.decimals;
        return m_rows.value(r, item.format.decimalsColumn).toInt();
    };
    // Totals read the decimals from the last row they counted.
    const qsizetype lastRow = row >= 0 ? row : qsizetype(m_rows.rows.size()) - 1;
    switch (item.kind) {
    case ReportItem::Kind::Text: return item.text;
    case ReportItem::Kind::Formula: return m_formulas.value(item.column);
    case ReportItem::Kind::PageNumber: {
        const QString number = QString::number(m_firstPage + m_doc.pages.size() - 1);
        return item.text.isEmpty() ? number : item.text + QLatin1Char(' ') + number;
    }
    case ReportItem::Kind::Field: return formatValue(m_rows.value(row, item.column), item.format, decimalsFor(row));
    case ReportItem::Kind::Sum: {
        const double sum = level >= 0 ? m_groupSums[level].value(item.column) : m_totalSums.value(item.column);
        return formatValue(sum, item.format, decimalsFor(lastRow));
    }
    case ReportItem::Kind::Count: return QString::number(level >= 0 ? m_groupCounts[level] : m_totalCount);
    default: return {};
    }
}

void Layout::addRow(qsizetype row)
{
    for (const QString &column : m_summed) {
        const double v = m_rows.value(row, column).toDouble();
        m_totalSums[column] += v;
        for (auto &sums : m_groupSums)
            sums[column] += v;
    }
    ++m_totalCount;
    for (int &count : m_groupCounts)
        ++count;
}

ReportDocument Layout::run()
{
    place(m_def.reportHeader, -1, -1);
    const int levels = int(m_def.groups.size());
    QVariantList current(levels);
    for (qsizetype row = 0; row < m_rows.rows.size(); ++row) {
        // The outermost group whose value changed closes every inner one.
        int changed = levels;
        for (int g = 0; g < levels; ++g) {
            if (row == 0 || m_rows.value(row, m_def.groups[g].column) != current[g]) {
                changed = g;
                break;
            }
        }
        if (row > 0) {
            for (int g = levels - 1; g >= changed; --g)
                place(m_def.groups[g].footer, row - 1, g);
        }
        for (int g = changed; g < levels; ++g) {
            current[g] = m_rows.value(row, m_def.groups[g].column);
            m_groupSums[g].clear();
            m_groupCounts[g] = 0;
            place(m_def.groups[g].header, row, g);
        }
        // The page break comes before the row counts, so the closing page's
        // footer and the next page's header leave it to the next page.
        makeRoom(m_def.detail);
        addRow(row);
        place(m_def.detail, row, -1);
    }
    if (!m_rows.rows.isEmpty()) {
        for (int g = levels - 1; g >= 0; --g)
            place(m_def.groups[g].footer, m_rows.rows.size() - 1, g);
    }
    place(m_def.reportFooter, -1, -1);
    if (!m_pageOpen && m_doc.pages.isEmpty())
        newPage();
    closePage();
    return m_doc;
}

} // namespace

QVariant ReportRows::value(qsizetype row, const QString &column) const
{
    const auto it = columns.constFind(column);
    if (row < 0 || row >= rows.size() || it == columns.cend())
        return {};
    return rows.at(row).value(*it);
}

QString formatValue(const QVariant &value, const FieldFormat &format, int decimals)
{
    if (value.isNull())
        return {};
    switch (format.kind) {
    case FieldFormat::Kind::Text: return value.toString();
    case FieldFormat::Kind::Amount: return Services::formatGrouped(value.toDouble(), decimals);
    case FieldFormat::Kind::Integer: return QString::number(qRound64(value.toDouble()));
    case FieldFormat::Kind::Flag: return value.toInt() != 0 ? format.whenTrue : format.whenFalse;
    case FieldFormat::Kind::Date: {
        // SQLite gives the ISO text, PostgreSQL a date.
        QDate date = value.toDate();
        if (!date.isValid())
            date = QDate::fromString(value.toString().left(10), Qt::ISODate);
        return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : value.toString();
    }
    }
    return value.toString();
}

ReportDocument layoutReport(const ReportDefinition &definition, const ReportRows &rows,
                            const QHash<QString, QString> &formulas, int firstPage)
{
    return Layout(definition, rows, formulas, firstPage).run();
}

} // namespace Orlavo::Reporting
