#include "reporting/rules/reportdefinition.h"
#include "services/core/inifile.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <tuple>

using namespace Orlavo::Reporting;

namespace {

QStringList list(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

// An item as its kind, text or column, format and own font:
// "SUM FATT.X amount 2", "TEXT 'Totale:' [DejaVu Sans 9 bold]".
QString describe(const ReportItem &item)
{
    static const char *const kinds[] = {"TEXT", "FIELD", "SUM", "COUNT", "FORMULA", "PAGENUMBER", "LINE", "BOX"};
    static const char *const formats[] = {"", " amount", " integer", " date", " flag"};
    const FieldFormat &f = item.format;
    QString out = QLatin1String(kinds[int(item.kind)]);
    if (!item.text.isEmpty())
        out += QStringLiteral(" '%1'").arg(item.text);
    if (!item.column.isEmpty())
        out += QLatin1Char(' ') + item.column;
    out += QLatin1String(formats[int(f.kind)]);
    if (f.kind == FieldFormat::Kind::Amount)
        out += QLatin1Char(' ') + (f.decimalsColumn.isEmpty() ? QString::number(f.decimals) : f.decimalsColumn);
    if (f.kind == FieldFormat::Kind::Flag)
        out += QStringLiteral(" %1/%2").arg(f.whenTrue, f.whenFalse);
    if (item.font)
        out +=
            QStringLiteral(" [%1 %2%3%4]")
                .arg(item.font->family)
                .arg(item.font->size)
                .arg(QLatin1String(item.font->bold ? " bold" : ""), QLatin1String(item.font->italic ? " italic" : ""));
    return out;
}

// A band as "height: item, item".
QString describe(const ReportBand &band)
{
    QStringList items;
    for (const ReportItem &item : band.items)
        items.append(describe(item));
    return QStringLiteral("%1: %2").arg(band.height).arg(items.join(QStringLiteral(", ")));
}

// Every section, both join kinds, two groups and each item kind.
const char kRegister[] =
    "# Registro fatture clienti\n; versione 2\n"
    "[REPORT]\nTITLE = Registro fatture clienti\nORIENTATION = landscape\n"
    "MARGINS = 10, 8, 12.5, 9\nFONT = DejaVu Serif, 10\n\n"
    "[DATA]\nTABLE = fatt_cli\nJOIN = LEFT ANAG_CLI, 2 ON {FATT_CLI.CLIENTE} = {ANAG_CLI.CODICE}\n"
    "join = inner tab_prov,3 on {ANAG_CLI.PROV} = {TAB_PROV.CODICE}\nFILTER = {FATT_CLI.PAGATA} = 0\n"
    "ORDER = fatt_cli.cliente\nORDER = FATT_CLI.DATA_DOC desc\n   # a comment after spaces\n"
    "[REPORTHEADER]\nHEIGHT = 20\nTEXT = 0,0,180,8 | Registro fatture | center bold size=14\n"
    "FORMULA = 0,10,180,5 | dicitura | italic\n"
    "  [pageheader]  \nheight = 12\nPAGENUMBER = 150,0,30,5 | Pag. | right\nLINE = 0, 11, 180, 11\n"
    "[GROUP1]\nBY = anag_cli.ragione_sociale\nHEIGHT = 6\n"
    "FIELD = 0,0,100,6 | ANAG_CLI.RAGIONE_SOCIALE | bold font=Liberation_Sans\n"
    "[GROUP1FOOTER]\nHEIGHT = 7\nCOUNT = 0,0,20,6 | ignorato | INTEGER\n"
    "SUM = 140,0,40,6 | FATT_CLI.TOTALE | right amount=FATT_CLI.DECIMALI\n"
    "[GROUP2HEADER]\nHEIGHT = 5\nFIELD = 0,0,40,5 | FATT_CLI.DATA_DOC | date\n[GROUP2]\nBY = FATT_CLI.DATA_DOC\n"
    "[DETAIL]\nHEIGHT = 5.5\nFIELD = 0,0,20,5 | FATT_CLI.NUMERO | integer right\n"
    "FIELD = 25,0,30,5 | FATT_CLI.TOTALE | amount=0\nFIELD = 60,0,20,5 | FATT_CLI.PAGATA | flag=Pagata/Aperta\n"
    "FIELD = 85,0,30,5 | FATT_CLI.IMPONIBILE | amount size=8\nBOX = 0, 0, 180, 5.5\n"
    "[REPORTFOOTER]\nHEIGHT = 8\ntext = 0,0,40,6 | Totale = generale:\n"
    "SUM = 140,0,40,6 | FATT_CLI.TOTALE | right amount=3\n"
    "[PAGEFOOTER]\nHEIGHT = 6\nFIELD = 1,2,40,5 | fatt_cli.numero | right LEFT\n";

ReportDefinition parsed(const QString &text)
{
    const auto outcome = parseReportDefinition(text);
    if (!outcome.ok()) {
        ADD_FAILURE() << "not loaded: " << outcome.failure().detail.toStdString();
        return {};
    }
    return *outcome;
}

TEST(ReportDefinitionTest, FullDefinitionParsesIntoItsStructure)
{
    const ReportDefinition def = parsed(QString::fromUtf8(kRegister));
    EXPECT_EQ(def.title, QStringLiteral("Registro fatture clienti"));
    EXPECT_TRUE(def.landscape);
    EXPECT_EQ(def.margins, QMarginsF(10, 8, 12.5, 9));
    EXPECT_EQ(def.font.family, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(def.font.size, 10);

    ASSERT_EQ(def.tables.size(), 1);
    EXPECT_EQ(def.tables[0].name, QStringLiteral("FATT_CLI"));
    QStringList joins;
    for (const ReportJoin &j : def.joins)
        joins.append(QStringLiteral("%1 %2,%3 ON %4")
                         .arg(QLatin1String(j.left ? "LEFT" : "INNER"), j.table.name)
                         .arg(j.table.dataFile)
                         .arg(j.condition));
    EXPECT_EQ(joins, list("LEFT ANAG_CLI,2 ON {FATT_CLI.CLIENTE} = {ANAG_CLI.CODICE}|"
                          "INNER TAB_PROV,3 ON {ANAG_CLI.PROV} = {TAB_PROV.CODICE}"));
    EXPECT_EQ(def.filter, QStringLiteral("{FATT_CLI.PAGATA} = 0"));
    EXPECT_EQ(def.order, list("FATT_CLI.CLIENTE|FATT_CLI.DATA_DOC DESC"));
    EXPECT_EQ(def.dataFiles(), 3);

    // Groups outermost first; items under [GROUPn] go to its header. An
    // item's own font starts from the report's.
    ASSERT_EQ(def.groups.size(), 2);
    EXPECT_EQ(def.groups[0].column, QStringLiteral("ANAG_CLI.RAGIONE_SOCIALE"));
    EXPECT_EQ(def.groups[1].column, QStringLiteral("FATT_CLI.DATA_DOC"));
    const std::pair<const ReportBand &, const char *> bands[] = {
        {def.reportHeader,
         "20: TEXT 'Registro fatture' [DejaVu Serif 14 bold], FORMULA DICITURA [DejaVu Serif 10 italic]"},
        {def.pageHeader, "12: PAGENUMBER 'Pag.', LINE"},
        {def.groups[0].header, "6: FIELD ANAG_CLI.RAGIONE_SOCIALE [Liberation Sans 10 bold]"},
        {def.groups[0].footer, "7: COUNT integer, SUM FATT_CLI.TOTALE amount FATT_CLI.DECIMALI"},
        {def.groups[1].header, "5: FIELD FATT_CLI.DATA_DOC date"},
        {def.groups[1].footer, "0: "},
        {def.detail,
         "5.5: FIELD FATT_CLI.NUMERO integer, FIELD FATT_CLI.TOTALE amount 0, "
         "FIELD FATT_CLI.PAGATA flag Pagata/Aperta, FIELD FATT_CLI.IMPONIBILE amount 2 [DejaVu Serif 8], BOX"},
        {def.reportFooter, "8: TEXT 'Totale = generale:', SUM FATT_CLI.TOTALE amount 3"},
        {def.pageFooter, "6: FIELD FATT_CLI.NUMERO"},
    };
    for (const auto &[band, expected] : bands)
        EXPECT_EQ(describe(band), QString::fromUtf8(expected));
    // The last alignment wins; an item is placed at x, y, width, height, a
    // line keeps its two ends.
    EXPECT_EQ(def.pageFooter.items[0].align, Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(def.pageFooter.items[0].rect, QRectF(1, 2, 40, 5));
    EXPECT_EQ(def.pageHeader.items[1].rect, QRectF(QPointF(0, 11), QPointF(180, 11)));

    // Every column the rows must carry, once each: not the formula's name,
    // nor the filter's or joins' columns.
    QStringList used = def.columnsUsed();
    used.sort();
    EXPECT_EQ(used, list("ANAG_CLI.RAGIONE_SOCIALE|FATT_CLI.CLIENTE|FATT_CLI.DATA_DOC|FATT_CLI.DECIMALI|"
                         "FATT_CLI.IMPONIBILE|FATT_CLI.NUMERO|FATT_CLI.PAGATA|FATT_CLI.TOTALE"));
}

// The load message, and a detail that starts with the faulty line and says
// what is wrong. No table at all is charged to [DATA] when it is there, to
// the last line otherwise; a group without BY to where it opens; the first
// fault is the one reported. A text starting with "+" follows a valid head
// of five lines, so its line is counted past comments and blanks.
TEST(ReportDefinitionTest, MalformedLinesNameTheirLine)
{
    const std::tuple<const char *, int, const char *> cases[] = {
        // clang-format off
        {"# nota\n\nTITLE = Prova\n[DATA]\nTABLE = X\n", 3, "fuori da una sezione"},
        {"[REPORT]\nTITOLO = x\n[DATA]\nTABLE = X\n", 2, "chiave sconosciuta"},
        {"[REPORT]\n\nORIENTATION = obliquo\n", 3, "orientamento"},
        {"[REPORT]\nMARGINS = 10, 10, dieci, 10\n", 2, "dieci"}, {"[REPORT]\nFONT = DejaVu Sans, 2\n", 2, "carattere"},
        {"[DATA]\nTABLE = servizi.TAB_PROV\n", 2, "tabella"},
        {"[DATA]\nTABLE = A\nJOIN = FULL B ON {A.X} = {B.X}\n", 3, "JOIN"},
        {"[DETAIL]\nHEIGHT = 5\n# fine\n", 2, "tabella"},
        {"[DATA]\r\nTABLE = A\r\n\r\n[DETAIL]\r\nHEIGHT = x\r\n", 5, "\"x\""},
        {"+[PIEDINO]\n", 6, "sezione sconosciuta"}, {"+[REPORTFOOTER\n", 6, "]"},
        {"+[GROUP2]\nBY = FATT_CLI.NUMERO\n", 6, "gruppo 2"}, {"+HEIGHT 5\n", 6, "="},
        {"+HEIGHT = nan\n", 6, "nan"}, {"+FIELD = 0,0,20 | A.B\n", 6, "4"},
        {"+BOX = 0,0,10,10 | riquadro\n", 6, "BOX"}, {"+IMAGE = 0,0,10,10 | logo.bmp\n", 6, "elemento sconosciuto"},
        {"+BY = FATT_CLI.CLIENTE\n", 6, "BY"}, {"+FIELD = 0,0,20,5 | A.B | right sottolineato\n", 6, "sottolineato"},
        {"+FIELD = 0,0,20,5 | A.B | flag=SI/NO/FORSE\n", 6, "flag"}, {"+FIELD = 0,0,20,5 | A.B | amount=11\n", 6, "11"},
        {"+[GROUP1]\nBY = CLIENTE\n", 7, "CLIENTE"}, {"+SUM = 0,0,20,5 | servizi.FATT_CLI.TOTALE\n", 6, "servizi."},
        {"+[GROUP1FOOTER]\nHEIGHT = 5\n\n[REPORTFOOTER]\nHEIGHT = 5\n", 6, "BY"},
        {"+HEIGHT = 5\nHEIGHT = x\n[NESSUNA]\n", 7, "\"x\""},
        // clang-format on
    };
    for (const auto &[text, line, reason] : cases) {
        QString definition = QString::fromUtf8(text);
        if (definition.startsWith(QLatin1Char('+')))
            definition.replace(0, 1, QStringLiteral("# prova\n[DATA]\nTABLE = FATT_CLI\n\n[DETAIL]\n"));
        const auto outcome = parseReportDefinition(definition);
        ASSERT_FALSE(outcome.ok()) << text;
        EXPECT_EQ(outcome.failure().message, QStringLiteral("Errore durante il caricamento"));
        const QString detail = outcome.failure().detail;
        EXPECT_TRUE(detail.startsWith(QStringLiteral("riga %1: ").arg(line)) &&
                    detail.contains(QString::fromUtf8(reason)))
            << text << " -> " << detail.toStdString();
    }
}

// The definitions shipped with the program load, and read only columns of the tables they name.
TEST(ReportDefinitionTest, ShippedDefinitionsLoad)
{
    const QDir folder(QStringLiteral(ORLAVO_SHIPPED_REPORTS));
    const QStringList files = folder.entryList({QStringLiteral("*.RPT"), QStringLiteral("*.rpt")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << folder.absolutePath().toStdString();
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const ReportDefinition def = parsed(Orlavo::Services::decodeSettingsText(file.readAll()));
        EXPECT_FALSE(def.detail.items.isEmpty());
        QStringList tables;
        for (const ReportTable &t : def.tables)
            tables.append(t.name);
        for (const ReportJoin &j : def.joins)
            tables.append(j.table.name);
        for (const QString &column : def.columnsUsed())
            EXPECT_TRUE(tables.contains(column.section(QLatin1Char('.'), 0, 0))) << column.toStdString();
    }
}

} // namespace
