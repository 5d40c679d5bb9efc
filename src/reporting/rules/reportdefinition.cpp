#include "reporting/rules/reportdefinition.h"

#include <QRegularExpression>

#include <algorithm>

namespace Orlavo::Reporting {

using Services::Failure;
using Services::Outcome;

namespace {

constexpr char kLoadError[] = "Errore durante il caricamento";

class Parser
{
public:
    Outcome<ReportDefinition> parse(const QString &text);

private:
    bool fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("riga %1: %2").arg(m_line).arg(why);
        return false;
    }
    bool section(const QString &name);
    bool entry(const QString &key, const QString &value);
    bool reportEntry(const QString &key, const QString &value);
    bool dataEntry(const QString &key, const QString &value);
    bool bandEntry(ReportBand &band, const QString &key, const QString &value);
    bool numbers(const QString &text, int count, QList<double> *out);
    std::optional<ReportTable> table(const QString &text);
    std::optional<QString> column(const QString &text);
    bool options(const QString &text, ReportItem &item);
    std::optional<ReportFont> font(const QString &text);

    ReportDefinition m_def;
    QString m_section;
    ReportBand *m_band = nullptr;
    ReportGroup *m_group = nullptr;
    int m_line = 0;
    int m_lastLine = 0;      // the last line that was not blank or a comment
    int m_dataLine = 0;      // where [DATA] first opens
    QList<int> m_groupLines; // where each group first opens
    QString m_error;
};

// "TABLE.COLUMN" in upper case, or nothing for anything else.
std::optional<QString> Parser::column(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*\\.[A-Za-z_][A-Za-z0-9_]*$"));
    const QString c = text.trimmed();
    if (!shape.match(c).hasMatch()) {
        fail(QStringLiteral("colonna non valida \"%1\"").arg(c));
        return std::nullopt;
    }
    return c.toUpper();
}

std::optional<ReportTable> Parser::table(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*)\\s*(?:,\\s*([1-9]))?$"));
    const auto m = shape.match(text.trimmed());
    if (!m.hasMatch()) {
        fail(QStringLiteral("tabella non valida \"%1\"").arg(text.trimmed()));
        return std::nullopt;
    }
    return ReportTable{m.captured(1).toUpper(), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt()};
}

bool Parser::numbers(const QString &text, int count, QList<double> *out)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return fail(QStringLiteral("attesi %1 numeri in \"%2\"").arg(count).arg(text.trimmed()));
    for (const QString &p : parts) {
        bool ok = false;
        const double v = p.trimmed().toDouble(&ok);
        // Written so that "nan" fails too.
        if (!ok || !(v >= 0 && v <= 1000))
            return fail(QStringLiteral("numero non valido \"%1\"").arg(p.trimmed()));
        out->append(v);
    }
    return true;
}

std::optional<ReportFont> Parser::font(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool ok = false;
    const double size = parts.value(1).trimmed().toDouble(&ok);
    if (parts.size() != 2 || parts[0].trimmed().isEmpty() || !ok || !(size >= 4 && size <= 72)) {
        fail(QStringLiteral("carattere non valido \"%1\"").arg(text.trimmed()));
        return std::nullopt;
    }
    return ReportFont{parts[0].trimmed(), size, false, false};
}

bool Parser::options(const QString &text, ReportItem &item)
{
    for (const QString &option : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString name = option.section(QLatin1Char('='), 0, 0).toLower();
        const QString value = option.section(QLatin1Char('='), 1);
        const auto ensureFont = [&]() -> ReportFont & {
            if (!item.font)
                item.font = m_def.font;
            return *item.font;
        };
        if (name == QLatin1String("left"))
            item.align = Qt::AlignLeft | Qt::AlignVCenter;
        else if (name == QLatin1String("center"))
            item.align = Qt::AlignHCenter | Qt::AlignVCenter;
        else if (name == QLatin1String("right"))
            item.align = Qt::AlignRight | Qt::AlignVCenter;
        else if (name == QLatin1String("bold"))
            ensureFont().bold = true;
        else if (name == QLatin1String("italic"))
            ensureFont().italic = true;
        else if (name == QLatin1String("size")) {
            bool ok = false;
            const double size = value.toDouble(&ok);
            if (!ok || !(size >= 4 && size <= 72))
                return fail(QStringLiteral("dimensione non valida \"%1\"").arg(value));
            ensureFont().size = size;
        } else if (name == QLatin1String("font")) {
            if (value.isEmpty())
                return fail(QStringLiteral("carattere mancante"));
            ensureFont().family = QString(value).replace(QLatin1Char('_'), QLatin1Char(' '));
        } else if (name == QLatin1String("amount")) {
            item.format.kind = FieldFormat::Kind::Amount;
            bool digit = false;
            const int decimals = value.toInt(&digit);
            if (value.isEmpty()) {
                item.format.decimals = 2;
            } else if (digit && decimals >= 0 && decimals <= 10) {
                item.format.decimals = decimals;
            } else {
                const auto c = column(value);
                if (!c)
                    return false;
                item.format.decimalsColumn = *c;
            }
        } else if (name == QLatin1String("integer")) {
            item.format.kind = FieldFormat::Kind::Integer;
        } else if (name == QLatin1String("date")) {
            item.format.kind = FieldFormat::Kind::Date;
        } else if (name == QLatin1String("flag")) {
            item.format.kind = FieldFormat::Kind::Flag;
            const QStringList texts = value.split(QLatin1Char('/'));
            if (texts.size() != 2)
                return fail(QStringLiteral("flag vuole due testi, \"SI/NO\""));
            item.format.whenTrue = texts[0];
            item.format.whenFalse = texts[1];
        } else {
            return fail(QStringLiteral("opzione sconosciuta \"%1\"").arg(option));
        }
    }
    return true;
}

bool Parser::reportEntry(const QString &key, const QString &value)
{
    if (key == QLatin1String("TITLE")) {
        m_def.title = value;
    } else if (key == QLatin1String("ORIENTATION")) {
        if (value.compare(QLatin1String("LANDSCAPE"), Qt::CaseInsensitive) == 0)
            m_def.landscape = true;
        else if (value.compare(QLatin1String("PORTRAIT"), Qt::CaseInsensitive) == 0)
            m_def.landscape = false;
        else
            return fail(QStringLiteral("orientamento \"%1\"").arg(value));
    } else if (key == QLatin1String("PAPER")) {
        QList<double> size;
        if (!numbers(value, 2, &size))
            return false;
        // Portrait measures: ORIENTATION turns the sheet.
        if (size[0] < 10 || size[1] < 10 || size[0] > size[1])
            return fail(QStringLiteral("formato carta \"%1\": larghezza e altezza in verticale, almeno 10 mm")
                            .arg(value));
        m_def.paper = QSizeF(size[0], size[1]);
    } else if (key == QLatin1String("MARGINS")) {
        QList<double> m;
        if (!numbers(value, 4, &m))
            return false;
        m_def.margins = QMarginsF(m[0], m[1], m[2], m[3]);
    } else if (key == QLatin1String("FONT")) {
        const auto f = font(value);
        if (!f)
            return false;
        m_def.font = *f;
    } else {
        return fail(QStringLiteral("chiave sconosciuta \"%1\"").arg(key));
    }
    return true;
}

bool Parser::dataEntry(const QString &key, const QString &value)
{
    if (key == QLatin1String("TABLE")) {
        const auto t = table(value);
        if (!t)
            return false;
        m_def.tables.append(*t);
    } else if (key == QLatin1String("JOIN")) {
        static const QRegularExpression shape(
            QStringLiteral("^(INNER|LEFT)\\s+(\\S+(?:\\s*,\\s*[1-9])?)\\s+ON\\s+(.+)$"),
            QRegularExpression::CaseInsensitiveOption);
        const auto m = shape.match(value);
        if (!m.hasMatch())
            return fail(QStringLiteral("JOIN vuole \"INNER|LEFT TABELLA[,file] ON condizione\""));
        const auto t = table(m.captured(2));
        if (!t)
            return false;
        m_def.joins.append({m.captured(1).compare(QLatin1String("LEFT"), Qt::CaseInsensitive) == 0, *t,
                            m.captured(3).trimmed()});
    } else if (key == QLatin1String("FILTER")) {
        m_def.filter = value;
    } else if (key == QLatin1String("ORDER")) {
        const QStringList parts = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.isEmpty() || parts.size() > 2
            || (parts.size() == 2 && parts[1].compare(QLatin1String("DESC"), Qt::CaseInsensitive) != 0
                && parts[1].compare(QLatin1String("ASC"), Qt::CaseInsensitive) != 0))
            return fail(QStringLiteral("ORDER vuole \"TABELLA.COLONNA [DESC]\""));
        const auto c = column(parts[0]);
        if (!c)
            return false;
        m_def.order.append(parts.size() == 2 ? *c + QLatin1Char(' ') + parts[1].toUpper() : *c);
    } else {
        return fail(QStringLiteral("chiave sconosciuta \"%1\"").arg(key));
    }
    return true;
}

bool Parser::bandEntry(ReportBand &band, const QString &key, const QString &value)
{
    if (key == QLatin1String("HEIGHT")) {
        QList<double> h;
        if (!numbers(value, 1, &h))
            return false;
        band.height = h[0];
        return true;
    }
    if (key == QLatin1String("BY")) {
        if (!m_group)
            return fail(QStringLiteral("BY vale solo in un gruppo"));
        const auto c = column(value);
        if (!c)
            return false;
        m_group->column = *c;
        return true;
    }
    ReportItem item;
    const QStringList parts = value.split(QLatin1Char('|'));
    if (key == QLatin1String("LINE") || key == QLatin1String("BOX")) {
        QList<double> n;
        if (parts.size() != 1 || !numbers(parts[0], 4, &n))
            return parts.size() == 1 ? false : fail(QStringLiteral("%1 vuole quattro numeri").arg(key));
        item.kind = key == QLatin1String("LINE") ? ReportItem::Kind::Line : ReportItem::Kind::Box;
        // A line keeps its two ends in the rectangle's corners.
        item.rect = key == QLatin1String("LINE") ? QRectF(QPointF(n[0], n[1]), QPointF(n[2], n[3]))
                                                 : QRectF(n[0], n[1], n[2], n[3]);
        band.items.append(item);
        return true;
    }
    static const QHash<QString, ReportItem::Kind> kinds = {
        {QStringLiteral("TEXT"), ReportItem::Kind::Text},        {QStringLiteral("FIELD"), ReportItem::Kind::Field},
        {QStringLiteral("SUM"), ReportItem::Kind::Sum},          {QStringLiteral("COUNT"), ReportItem::Kind::Count},
        {QStringLiteral("FORMULA"), ReportItem::Kind::Formula},  {QStringLiteral("PAGENUMBER"), ReportItem::Kind::PageNumber}};
    const auto kind = kinds.constFind(key);
    if (kind == kinds.cend())
        return fail(QStringLiteral("elemento sconosciuto \"%1\"").arg(key));
    if (parts.size() < 2 || parts.size() > 3)
        return fail(QStringLiteral("%1 vuole \"x,y,larghezza,altezza | contenuto | opzioni\"").arg(key));
    item.kind = *kind;
    QList<double> r;
    if (!numbers(parts[0], 4, &r))
        return false;
    item.rect = QRectF(r[0], r[1], r[2], r[3]);
    const QString content = parts[1].trimmed();
    switch (item.kind) {
    case ReportItem::Kind::Field:
    case ReportItem::Kind::Sum: {
        const auto c = column(content);
        if (!c)
            return false;
        item.column = *c;
        break;
    }
    case ReportItem::Kind::Formula:
        if (content.isEmpty())
            return fail(QStringLiteral("FORMULA vuole il nome della formula"));
        item.column = content.toUpper();
        break;
    case ReportItem::Kind::Count: break;
    default: item.text = content; break;
    }
    if (item.kind == ReportItem::Kind::Sum)
        item.format.kind = FieldFormat::Kind::Amount;
    if (parts.size() == 3 && !options(parts[2], item))
        return false;
    band.items.append(item);
    return true;
}

bool Parser::section(const QString &name)
{
    m_section = name.toUpper();
    m_band = nullptr;
    m_group = nullptr;
    static const QRegularExpression groupShape(QStringLiteral("^GROUP([1-9])(HEADER|FOOTER)?$"));
    if (m_section == QLatin1String("DATA") && m_dataLine == 0)
        m_dataLine = m_line;
    if (m_section == QLatin1String("REPORT") || m_section == QLatin1String("DATA"))
        return true;
    if (m_section == QLatin1String("REPORTHEADER"))
        m_band = &m_def.reportHeader;
    else if (m_section == QLatin1String("PAGEHEADER"))
        m_band = &m_def.pageHeader;
    else if (m_section == QLatin1String("DETAIL"))
        m_band = &m_def.detail;
    else if (m_section == QLatin1String("REPORTFOOTER"))
        m_band = &m_def.reportFooter;
    else if (m_section == QLatin1String("PAGEFOOTER"))
        m_band = &m_def.pageFooter;
    else if (const auto m = groupShape.match(m_section); m.hasMatch()) {
        const int level = m.captured(1).toInt();
        if (level > m_def.groups.size() + 1)
            return fail(QStringLiteral("gruppo %1 senza il gruppo %2").arg(level).arg(level - 1));
        if (level == m_def.groups.size() + 1) {
            m_def.groups.append(ReportGroup{});
            m_groupLines.append(m_line);
        }
        m_group = &m_def.groups[level - 1];
        if (m.captured(2) == QLatin1String("HEADER"))
            m_band = &m_group->header;
        else if (m.captured(2) == QLatin1String("FOOTER"))
            m_band = &m_group->footer;
        else
            m_band = &m_group->header;   // [GROUPn] holds BY; items there go to the header
    } else {
        return fail(QStringLiteral("sezione sconosciuta [%1]").arg(name));
    }
    return true;
}

bool Parser::entry(const QString &key, const QString &value)
{
    if (m_section.isEmpty())
        return fail(QStringLiteral("voce fuori da una sezione"));
    if (m_section == QLatin1String("REPORT"))
        return reportEntry(key, value);
    if (m_section == QLatin1String("DATA"))
        return dataEntry(key, value);
    return bandEntry(*m_band, key, value);
}

Outcome<ReportDefinition> Parser::parse(const QString &text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        ++m_line;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        m_lastLine = m_line;
        bool ok = true;
        if (line.startsWith(QLatin1Char('['))) {
            ok = line.endsWith(QLatin1Char(']')) ? section(line.mid(1, line.size() - 2).trimmed())
                                                 : fail(QStringLiteral("sezione senza \"]\""));
        } else {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            ok = eq > 0 ? entry(line.left(eq).trimmed().toUpper(), line.mid(eq + 1).trimmed())
                        : fail(QStringLiteral("manca \"=\""));
        }
        if (!ok)
            return Failure{QString::fromUtf8(kLoadError), m_error};
    }
    // What is missing at the end is charged to the section that lacks it, or
    // to the last line when the section is not there at all.
    if (m_def.tables.isEmpty()) {
        m_line = m_dataLine > 0 ? m_dataLine : std::max(m_lastLine, 1);
        fail(QStringLiteral("nessuna tabella in [DATA]"));
        return Failure{QString::fromUtf8(kLoadError), m_error};
    }
    for (qsizetype g = 0; g < m_def.groups.size(); ++g) {
        if (m_def.groups[g].column.isEmpty()) {
            m_line = m_groupLines[g];
            fail(QStringLiteral("gruppo %1 senza BY").arg(g + 1));
            return Failure{QString::fromUtf8(kLoadError), m_error};
        }
    }
    return m_def;
}

} // namespace

QStringList ReportDefinition::columnsUsed() const
{
    QStringList used;
    const auto add = [&used](const QString &c) {
        if (!c.isEmpty() && !used.contains(c))
            used.append(c);
    };
    const auto addBand = [&](const ReportBand &band) {
        for (const ReportItem &item : band.items) {
            if (item.kind == ReportItem::Kind::Field || item.kind == ReportItem::Kind::Sum)
                add(item.column);
            add(item.format.decimalsColumn);
        }
    };
    for (const ReportGroup &g : groups) {
        add(g.column);
        addBand(g.header);
        addBand(g.footer);
    }
    for (const QString &o : order)
        add(o.section(QLatin1Char(' '), 0, 0));
    for (const ReportBand *band : {&reportHeader, &pageHeader, &detail, &reportFooter, &pageFooter})
        addBand(*band);
    return used;
}

int ReportDefinition::dataFiles() const
{
    int files = 0;
    for (const ReportTable &t : tables)
        files = std::max(files, t.dataFile);
    for (const ReportJoin &j : joins)
        files = std::max(files, j.table.dataFile);
    return files;
}

Outcome<ReportDefinition> parseReportDefinition(const QString &text)
{
    return Parser().parse(text);
}

} // namespace Orlavo::Reporting
