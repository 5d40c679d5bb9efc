#include "reporting/rules/reportdefinition.h"
#include "services/core/inifile.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

using namespace Orlavo::Reporting;

namespace {

QStringList list(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

// An item as its kind with its text or column: "TEXT 'Totale:'", "FIELD A.X", "COUNT".
QString describe(const ReportItem &item)
{
    static const char *const kinds[] = {"TEXT", "FIELD", "SUM", "COUNT", "FORMULA", "PAGENUMBER", "LINE", "BOX"};
    QString out = QLatin1String(kinds[int(item.kind)]);
    if (!item.text.isEmpty())
        out += QStringLiteral(" '%1'").arg(item.text);
    if (!item.column.isEmpty())
        out += QLatin1Char(' ') + item.column;
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

QString describe(const FieldFormat &f)
{
    static const char *const kinds[] = {"text", "amount", "integer", "date", "flag"};
    QString out = QLatin1String(kinds[int(f.kind)]);
    if (f.kind == FieldFormat::Kind::Amount)
        out += QLatin1Char(' ') + (f.decimalsColumn.isEmpty() ? QString::number(f.decimals) : f.decimalsColumn);
    if (f.kind == FieldFormat::Kind::Flag)
        out += QStringLiteral(" %1/%2").arg(f.whenTrue, f.whenFalse);
    return out;
}

QString describe(const std::optional<ReportFont> &font)
{
    if (!font)
        return {};
    return QStringLiteral("%1 %2").arg(font->family).arg(font->size) + QLatin1String(font->bold ? " bold" : "") +
           QLatin1String(font->italic ? " italic" : "");
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
    "[pageheader]\nheight = 12\nPAGENUMBER = 150,0,30,5 | Pag. | right\nLINE = 0, 11, 180, 11\n"
    "[GROUP1]\nBY = anag_cli.ragione_sociale\nHEIGHT = 6\n"
    "FIELD = 0,0,100,6 | ANAG_CLI.RAGIONE_SOCIALE | bold font=Liberation_Sans\n"
    "[GROUP1FOOTER]\nHEIGHT = 7\nCOUNT = 0,0,20,6 | | integer\n"
    "SUM = 140,0,40,6 | FATT_CLI.TOTALE | right amount=FATT_CLI.DECIMALI\n"
    "[GROUP2HEADER]\nHEIGHT = 5\nFIELD = 0,0,40,5 | FATT_CLI.DATA_DOC | date\n[GROUP2]\nBY = FATT_CLI.DATA_DOC\n"
    "[DETAIL]\nHEIGHT = 5.5\nFIELD = 0,0,20,5 | FATT_CLI.NUMERO | integer right\n"
    "FIELD = 25,0,30,5 | FATT_CLI.TOTALE | amount=0\nFIELD = 60,0,20,5 | FATT_CLI.PAGATA | flag=Pagata/Aperta\n"
    "FIELD = 85,0,30,5 | FATT_CLI.IMPONIBILE | amount size=8\nBOX = 0, 0, 180, 5.5\n"
    "[REPORTFOOTER]\nHEIGHT = 8\nTEXT = 0,0,40,6 | Totale generale:\n"
    "SUM = 140,0,40,6 | FATT_CLI.TOTALE | right amount=3\n"
    "[PAGEFOOTER]\nHEIGHT = 6\nFIELD = 0,0,40,5 | fatt_cli.numero | left\n";

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
    EXPECT_EQ(describe(def.font), QStringLiteral("DejaVu Serif 10"));

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

    // Groups outermost first; items under [GROUPn] go to its header.
    ASSERT_EQ(def.groups.size(), 2);
    EXPECT_EQ(def.groups[0].column, QStringLiteral("ANAG_CLI.RAGIONE_SOCIALE"));
    EXPECT_EQ(def.groups[1].column, QStringLiteral("FATT_CLI.DATA_DOC"));
    EXPECT_EQ(describe(def.reportHeader), QStringLiteral("20: TEXT 'Registro fatture', FORMULA DICITURA"));
    EXPECT_EQ(describe(def.pageHeader), QStringLiteral("12: PAGENUMBER 'Pag.', LINE"));
    EXPECT_EQ(describe(def.groups[0].header), QStringLiteral("6: FIELD ANAG_CLI.RAGIONE_SOCIALE"));
    EXPECT_EQ(describe(def.groups[0].footer), QStringLiteral("7: COUNT, SUM FATT_CLI.TOTALE"));
    EXPECT_EQ(describe(def.groups[1].header), QStringLiteral("5: FIELD FATT_CLI.DATA_DOC"));
    EXPECT_EQ(describe(def.groups[1].footer), QStringLiteral("0: "));
    EXPECT_EQ(describe(def.detail), QStringLiteral("5.5: FIELD FATT_CLI.NUMERO, FIELD FATT_CLI.TOTALE, "
                                                   "FIELD FATT_CLI.PAGATA, FIELD FATT_CLI.IMPONIBILE, BOX"));
    EXPECT_EQ(describe(def.reportFooter), QStringLiteral("8: TEXT 'Totale generale:', SUM FATT_CLI.TOTALE"));
    EXPECT_EQ(describe(def.pageFooter), QStringLiteral("6: FIELD FATT_CLI.NUMERO"));

    // An item's own font starts from the report's.
    ASSERT_EQ(def.reportHeader.items.size(), 2);
    EXPECT_EQ(describe(def.reportHeader.items[0].font), QStringLiteral("DejaVu Serif 14 bold"));
    EXPECT_EQ(describe(def.reportHeader.items[1].font), QStringLiteral("DejaVu Serif 10 italic"));
}

TEST(ReportDefinitionTest, DefaultsWhenTheReportSectionIsMissing)
{
    const ReportDefinition def = parsed(QStringLiteral("[DATA]\nTABLE = MAGAZZINO\n"));
    const ReportDefinition defaults;
    EXPECT_FALSE(def.landscape);
    EXPECT_EQ(def.margins, defaults.margins);
    EXPECT_EQ(describe(def.font), describe(defaults.font));
    EXPECT_TRUE(def.groups.isEmpty() && def.joins.isEmpty() && def.order.isEmpty() && def.detail.isEmpty());
}

// Comments, blank lines, indentation and Windows line ends change nothing.
TEST(ReportDefinitionTest, CommentsBlankLinesAndLineEndsAreIgnored)
{
    const QString plain = QStringLiteral("[DATA]\nTABLE = FATT_CLI\n[DETAIL]\nHEIGHT = 5\n"
                                         "FIELD = 0,0,20,5 | FATT_CLI.NUMERO | right\n");
    const QString texts[] = {
        plain,
        QStringLiteral("# intestazione\n\n; altra nota\n[DATA]\n   \n  # rientrato\nTABLE = FATT_CLI\n\n"
                       "[DETAIL]\n; nota\nHEIGHT = 5\n\t\nFIELD = 0,0,20,5 | FATT_CLI.NUMERO | right\n#fine"),
        QString(plain).replace(QStringLiteral("\n"), QStringLiteral("\r\n")),
        QStringLiteral("  [DATA]  \n   TABLE=FATT_CLI\n[DETAIL]\nHEIGHT   =5\n"
                       "  FIELD=0 , 0 , 20 , 5|FATT_CLI.NUMERO|   right   \n"),
    };
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        const ReportDefinition def = parsed(text);
        ASSERT_EQ(def.tables.size(), 1);
        EXPECT_EQ(def.tables[0].name, QStringLiteral("FATT_CLI"));
        ASSERT_EQ(describe(def.detail), QStringLiteral("5: FIELD FATT_CLI.NUMERO"));
        EXPECT_EQ(def.detail.items[0].align, Qt::AlignRight | Qt::AlignVCenter);
        EXPECT_EQ(def.detail.items[0].rect, QRectF(0, 0, 20, 5));
    }
}

// The load message, and a detail that starts with the faulty line (0: any line) and says what is wrong.
void expectFault(const QString &text, int line, const char *reason)
{
    SCOPED_TRACE(text.toStdString());
    const auto outcome = parseReportDefinition(text);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.failure().message, QStringLiteral("Errore durante il caricamento"));
    const QString detail = outcome.failure().detail;
    const QString where = line > 0 ? QStringLiteral("riga %1: ").arg(line) : QStringLiteral("riga ");
    EXPECT_TRUE(detail.startsWith(where) && detail.contains(QString::fromUtf8(reason))) << detail.toStdString();
}

TEST(ReportDefinitionTest, MalformedLinesNameTheirLine)
{
    struct Fault {
        const char *text;
        int line;
        const char *reason; // a piece of the detail
    };
    const Fault whole[] = {
        {"# nota\n\nTITLE = Prova\n[DATA]\nTABLE = X\n", 3, "fuori da una sezione"},
        // [REPORT] keys.
        {"[REPORT]\nTITOLO = x\n[DATA]\nTABLE = X\n", 2, "chiave sconosciuta"},
        {"[REPORT]\n\nORIENTATION = obliquo\n", 3, "orientamento"},
        {"[REPORT]\nTITLE = x\nPAPER = 210\n", 3, "2"},
        {"[REPORT]\nPAPER = 220, 110\n", 2, "formato carta"},
        {"[REPORT]\nPAPER = 0, 297\n", 2, "formato carta"},
        {"[REPORT]\nMARGINS = 10, 10, 10\n", 2, "4"},
        {"[REPORT]\nMARGINS = 10, 10, dieci, 10\n", 2, "dieci"},
        {"[REPORT]\nFONT = DejaVu Sans\n", 2, "carattere"},
        {"[REPORT]\nFONT = DejaVu Sans, 2\n", 2, "carattere"},
        {"[REPORT]\nFONT = , 9\n", 2, "carattere"},
        {"[REPORT]\nFONT = DejaVu Sans, nan\n", 2, "carattere"},
        // [DATA] keys.
        {"[DATA]\nTABLE = X\nGROUP = X.Y\n", 3, "chiave sconosciuta"},
        {"[DATA]\nTABLE = FATT CLI\n", 2, "tabella"},
        {"[DATA]\nTABLE = servizi.TAB_PROV\n", 2, "tabella"},
        {"[DATA]\nTABLE = FATT_CLI, 0\n", 2, "tabella"},
        {"[DATA]\nTABLE = A\nJOIN = LEFT B\n", 3, "JOIN"},
        {"[DATA]\nTABLE = A\nJOIN = FULL B ON {A.X} = {B.X}\n", 3, "JOIN"},
        {"[DATA]\nTABLE = A\nJOIN = INNER B,0 ON {A.X} = {B.X}\n", 3, "tabella"},
        {"[DATA]\nTABLE = A\nORDER = A.X GIU\n", 3, "ORDER"},
        {"[DATA]\nTABLE = A\nORDER = A.X DESC A.Y\n", 3, "ORDER"},
        {"[DATA]\nTABLE = A\nORDER =\n", 3, "ORDER"},
        {"[DATA]\nTABLE = A\nORDER = 1A.X\n", 3, "1A.X"},
        // No table at all: charged to [DATA] when it is there, to some line otherwise.
        {"[REPORT]\nTITLE = x\n\n[DATA]\nFILTER = {A.X} = 1\n[DETAIL]\n", 4, "tabella"},
        {"", 0, "tabella"},
        {"# nulla\n; ancora nulla\n", 0, "tabella"},
        {"[DETAIL]\nHEIGHT = 5\n", 0, "tabella"},
        {"[DATA]\r\nTABLE = A\r\n\r\n[DETAIL]\r\nHEIGHT = x\r\n", 5, "\"x\""},
    };
    for (const Fault &f : whole)
        expectFault(QString::fromUtf8(f.text), f.line, f.reason);

    // After a valid head of five lines, so each fault's line is counted past comments and blanks.
    const QString head = QStringLiteral("# prova\n[DATA]\nTABLE = FATT_CLI\n\n[DETAIL]\n");
    const Fault afterHead[] = {
        // Sections.
        {"[PIEDINO]\n", 6, "sezione sconosciuta"},
        {"[]\n", 6, "sezione sconosciuta"},
        {"[REPORTFOOTER\n", 6, "]"},
        {"[GROUP0]\n", 6, "sezione sconosciuta"},
        {"[GROUP2]\nBY = FATT_CLI.NUMERO\n", 6, "gruppo 2"},
        {"[GROUP1]\nBY = FATT_CLI.CLIENTE\n[GROUP3FOOTER]\n", 8, "gruppo 3"},
        {"HEIGHT 5\n", 6, "="},
        // Bad numbers.
        {"HEIGHT = alto\n", 6, "alto"},
        {"HEIGHT = -1\n", 6, "-1"},
        {"HEIGHT = 1000.5\n", 6, "1000.5"},
        {"HEIGHT =\n", 6, "numero"},
        {"HEIGHT = 5,5\n", 6, "1"},
        {"HEIGHT = nan\n", 6, "nan"},
        {"HEIGHT = inf\n", 6, "inf"},
        {"FIELD = 0,0,20 | FATT_CLI.NUMERO\n", 6, "4"},
        {"TEXT = 0,zero,20,5 | Totale\n", 6, "zero"},
        {"LINE = 0, 5, 180\n", 6, "4"},
        {"BOX = 0,0,10,10 | riquadro\n", 6, "BOX"},
        {"LINE = 0, 5, -180, 5\n", 6, "-180"},
        // Items.
        {"IMAGE = 0,0,10,10 | logo.bmp\n", 6, "elemento sconosciuto"},
        {"TEXT = 0,0,10,10\n", 6, "TEXT"},
        {"TEXT = 0,0,10,10 | a | b | c\n", 6, "TEXT"},
        {"FORMULA = 0,0,10,10 |  | bold\n", 6, "FORMULA"},
        {"BY = FATT_CLI.CLIENTE\n", 6, "BY"},
        // Options.
        {"FIELD = 0,0,20,5 | FATT_CLI.NUMERO | right sottolineato\n", 6, "sottolineato"},
        {"TEXT = 0,0,20,5 | x | size=3\n", 6, "3"},
        {"TEXT = 0,0,20,5 | x | size=grande\n", 6, "grande"},
        {"TEXT = 0,0,20,5 | x | size=nan\n", 6, "nan"},
        {"TEXT = 0,0,20,5 | x | font=\n", 6, "carattere"},
        {"FIELD = 0,0,20,5 | FATT_CLI.PAGATA | flag=SI\n", 6, "flag"},
        {"FIELD = 0,0,20,5 | FATT_CLI.PAGATA | flag=SI/NO/FORSE\n", 6, "flag"},
        {"FIELD = 0,0,20,5 | FATT_CLI.TOTALE | amount=11\n", 6, "11"},
        {"FIELD = 0,0,20,5 | FATT_CLI.TOTALE | amount=DEC\n", 6, "DEC"},
        // Column names.
        {"[GROUP1]\nBY = CLIENTE\n", 7, "CLIENTE"},
        {"FIELD = 0,0,20,5 | NUMERO\n", 6, "NUMERO"},
        {"SUM = 0,0,20,5 | servizi.FATT_CLI.TOTALE\n", 6, "servizi.FATT_CLI.TOTALE"},
        {"FIELD = 0,0,20,5 | \n", 6, "colonna"},
        // A group without BY is charged to where it opens.
        {"[GROUP1FOOTER]\nHEIGHT = 5\n\n[REPORTFOOTER]\nHEIGHT = 5\n", 6, "BY"},
        {"[GROUP1]\nBY = FATT_CLI.CLIENTE\n[GROUP2HEADER]\nHEIGHT = 5\n[GROUP2FOOTER]\n", 8, "BY"},
        // The first fault is the one reported.
        {"HEIGHT = 5\nHEIGHT = x\n[NESSUNA]\n", 7, "\"x\""},
    };
    for (const Fault &f : afterHead)
        expectFault(head + QString::fromUtf8(f.text), f.line, f.reason);
}

// A SUM is an amount unless told otherwise; COUNT and PAGENUMBER read no column. Lines keep their
// ends in whatever direction they run; boxes are x, y, w, h.
TEST(ReportDefinitionTest, ItemsAndTheirOptions)
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment center = Qt::AlignHCenter | Qt::AlignVCenter;
    struct Case {
        const char *line, *item, *format;
        Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
        const char *font = ""; // empty: the item keeps the report's
        QRectF rect = QRectF(0, 0, 1, 1);
    };
    const Case cases[] = {
        // Kinds and content.
        {"TEXT = 0,0,1,1 | Totale: | right", "TEXT 'Totale:'", "text", right},
        {"TEXT = 0,0,1,1 | ", "TEXT", "text"},
        {"text = 0,0,1,1 | a = b", "TEXT 'a = b'", "text"},
        {"FIELD = 1,2,3,4 | fatt_cli.numero", "FIELD FATT_CLI.NUMERO", "text", left, "", QRectF(1, 2, 3, 4)},
        {"SUM = 0,0,1,1 | FATT_CLI.TOTALE", "SUM FATT_CLI.TOTALE", "amount 2"},
        {"SUM = 0,0,1,1 | FATT_CLI.COLLI | integer", "SUM FATT_CLI.COLLI", "integer"},
        {"COUNT = 0,0,1,1 | ignorato", "COUNT", "text"},
        {"FORMULA = 0,0,1,1 | Dicitura", "FORMULA DICITURA", "text"},
        {"PAGENUMBER = 0,0,1,1 | Pagina", "PAGENUMBER 'Pagina'", "text"},
        {"PAGENUMBER = 0,0,1,1 |", "PAGENUMBER", "text"},
        {"LINE = 0, 5, 180, 5", "LINE", "text", left, "", QRectF(QPointF(0, 5), QPointF(180, 5))},
        {"LINE = 100, 0, 20, 7", "LINE", "text", left, "", QRectF(QPointF(100, 0), QPointF(20, 7))},
        {"line = 30,0,30,12.5", "LINE", "text", left, "", QRectF(QPointF(30, 0), QPointF(30, 12.5))},
        {"BOX = 10, 2, 50, 8", "BOX", "text", left, "", QRectF(10, 2, 50, 8)},
        // Options; the last alignment wins.
        {"FIELD = 0,0,1,1 | A.X | right center", "FIELD A.X", "text", center},
        {"FIELD = 0,0,1,1 | A.X | RIGHT BOLD", "FIELD A.X", "text", right, "DejaVu Sans 9 bold"},
        {"FIELD = 0,0,1,1 | A.X | amount", "FIELD A.X", "amount 2"},
        {"FIELD = 0,0,1,1 | A.X | amount=0", "FIELD A.X", "amount 0"},
        {"FIELD = 0,0,1,1 | A.X | amount=10", "FIELD A.X", "amount 10"},
        {"FIELD = 0,0,1,1 | A.X | amount=valute.decimali", "FIELD A.X", "amount VALUTE.DECIMALI"},
        {"FIELD = 0,0,1,1 | A.X | integer", "FIELD A.X", "integer"},
        {"FIELD = 0,0,1,1 | A.X | date center", "FIELD A.X", "date", center},
        {"FIELD = 0,0,1,1 | A.X | flag=Pagata/Aperta", "FIELD A.X", "flag Pagata/Aperta"},
        {"FIELD = 0,0,1,1 | A.X | italic font=Times_New_Roman size=11.5", "FIELD A.X", "text", left,
         "Times New Roman 11.5 italic"},
        {"FIELD = 0,0,1,1 | A.X | bold italic", "FIELD A.X", "text", left, "DejaVu Sans 9 bold italic"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const ReportDefinition def =
            parsed(QStringLiteral("[DATA]\nTABLE = A\n[PAGEFOOTER]\n") + QLatin1String(c.line));
        ASSERT_EQ(def.pageFooter.items.size(), 1);
        const ReportItem &item = def.pageFooter.items[0];
        EXPECT_EQ(describe(item), QString::fromUtf8(c.item));
        EXPECT_EQ(describe(item.format), QString::fromUtf8(c.format));
        EXPECT_EQ(item.align, c.align);
        EXPECT_EQ(describe(item.font), QString::fromUtf8(c.font));
        EXPECT_EQ(item.rect.topLeft(), c.rect.topLeft());
        EXPECT_EQ(item.rect.bottomRight(), c.rect.bottomRight());
    }
}

// Every column the rows must carry, once each: not the formula's name, nor the filter's or joins' columns.
TEST(ReportDefinitionTest, ColumnsUsedListsEachColumnOnce)
{
    QStringList used = parsed(QString::fromUtf8(kRegister)).columnsUsed();
    used.sort();
    EXPECT_EQ(used, list("ANAG_CLI.RAGIONE_SOCIALE|FATT_CLI.CLIENTE|FATT_CLI.DATA_DOC|FATT_CLI.DECIMALI|"
                         "FATT_CLI.IMPONIBILE|FATT_CLI.NUMERO|FATT_CLI.PAGATA|FATT_CLI.TOTALE"));
}

TEST(ReportDefinitionTest, ColumnsUsedByEachKindOfPlace)
{
    struct Case {
        const char *body, *expected; // sorted
    };
    const Case cases[] = {
        {"", ""},
        {"[DATA]\nORDER = A.X DESC\nORDER = A.Y\nORDER = a.x\n", "A.X|A.Y"},
        {"[GROUP1]\nBY = A.G\n", "A.G"},
        {"[DETAIL]\nFIELD = 0,0,1,1 | A.IMPORTO | amount=A.DEC\nFIELD = 0,0,1,1 | A.DEC | integer\n",
         "A.DEC|A.IMPORTO"},
        {"[PAGEFOOTER]\nSUM = 0,0,1,1 | A.IMPORTO\n", "A.IMPORTO"},
        // Count, text, formula, page number and line read nothing.
        {"[PAGEHEADER]\nCOUNT = 0,0,1,1 |\nTEXT = 0,0,1,1 | A.X\nFORMULA = 0,0,1,1 | A\n"
         "PAGENUMBER = 0,0,1,1 | Pag.\nLINE = 0,0,1,1\n",
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        QStringList used = parsed(QStringLiteral("[DATA]\nTABLE = A\n") + QLatin1String(c.body)).columnsUsed();
        used.sort();
        EXPECT_EQ(used, list(c.expected));
    }
}

TEST(ReportDefinitionTest, DataFilesIsTheHighestFileNamed)
{
    struct Case {
        const char *data;
        int files;
    };
    const Case cases[] = {
        {"TABLE = A", 1},
        {"TABLE = A, 3", 3},
        {"TABLE = A\nJOIN = LEFT B,2 ON {A.X} = {B.X}", 2},
        {"TABLE = A,4\nJOIN = INNER B ON {A.X} = {B.X}", 4},
        {"TABLE = A\nJOIN = INNER B,5 ON {A.X} = {B.X}\nJOIN = LEFT C , 9 ON {B.Y} = {C.Y}", 9},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(parsed(QStringLiteral("[DATA]\n") + QLatin1String(c.data)).dataFiles(), c.files);
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
