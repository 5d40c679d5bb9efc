#include "inifile.h"
#include "rules/reportdefinition.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QStringList>

#include <gtest/gtest.h>

using namespace Orlavo::Shell;

namespace {

const QString kLoadError = QStringLiteral("Errore durante il caricamento");

QString lines(const QStringList &text)
{
    return text.join(QLatin1Char('\n'));
}

// A customer-invoice register: every section, both join kinds, two groups and
// each item kind and format.
const QStringList kRegister = {
    QStringLiteral("# Registro fatture clienti"),
    QStringLiteral("; versione 2"),
    QStringLiteral("[REPORT]"),
    QStringLiteral("TITLE = Registro fatture clienti"),
    QStringLiteral("ORIENTATION = landscape"),
    QStringLiteral("MARGINS = 10, 8, 12.5, 9"),
    QStringLiteral("FONT = DejaVu Serif, 10"),
    QStringLiteral(""),
    QStringLiteral("[DATA]"),
    QStringLiteral("TABLE = fatt_cli"),
    QStringLiteral("JOIN = LEFT ANAG_CLI, 2 ON {FATT_CLI.CLIENTE} = {ANAG_CLI.CODICE}"),
    QStringLiteral("join = inner tab_prov,3 on {ANAG_CLI.PROV} = {TAB_PROV.CODICE}"),
    QStringLiteral("FILTER = {FATT_CLI.PAGATA} = 0"),
    QStringLiteral("ORDER = fatt_cli.cliente"),
    QStringLiteral("ORDER = FATT_CLI.DATA_DOC desc"),
    QStringLiteral("   # a comment after spaces"),
    QStringLiteral("[REPORTHEADER]"),
    QStringLiteral("HEIGHT = 20"),
    QStringLiteral("TEXT = 0,0,180,8 | Registro fatture | center bold size=14"),
    QStringLiteral("FORMULA = 0,10,180,5 | dicitura | italic"),
    QStringLiteral("[pageheader]"),
    QStringLiteral("height = 12"),
    QStringLiteral("PAGENUMBER = 150,0,30,5 | Pag. | right"),
    QStringLiteral("LINE = 0, 11, 180, 11"),
    QStringLiteral("[GROUP1]"),
    QStringLiteral("BY = anag_cli.ragione_sociale"),
    QStringLiteral("HEIGHT = 6"),
    QStringLiteral("FIELD = 0,0,100,6 | ANAG_CLI.RAGIONE_SOCIALE | bold font=Liberation_Sans"),
    QStringLiteral("[GROUP1FOOTER]"),
    QStringLiteral("HEIGHT = 7"),
    QStringLiteral("COUNT = 0,0,20,6 | | integer"),
    QStringLiteral("SUM = 140,0,40,6 | FATT_CLI.TOTALE | right amount=FATT_CLI.DECIMALI"),
    QStringLiteral("[GROUP2HEADER]"),
    QStringLiteral("HEIGHT = 5"),
    QStringLiteral("FIELD = 0,0,40,5 | FATT_CLI.DATA_DOC | date"),
    QStringLiteral("[GROUP2]"),
    QStringLiteral("BY = FATT_CLI.DATA_DOC"),
    QStringLiteral("[DETAIL]"),
    QStringLiteral("HEIGHT = 5.5"),
    QStringLiteral("FIELD = 0,0,20,5 | FATT_CLI.NUMERO | integer right"),
    QStringLiteral("FIELD = 25,0,30,5 | FATT_CLI.TOTALE | amount=0"),
    QStringLiteral("FIELD = 60,0,20,5 | FATT_CLI.PAGATA | flag=Pagata/Aperta"),
    QStringLiteral("FIELD = 85,0,30,5 | FATT_CLI.IMPONIBILE | amount size=8"),
    QStringLiteral("BOX = 0, 0, 180, 5.5"),
    QStringLiteral("[REPORTFOOTER]"),
    QStringLiteral("HEIGHT = 8"),
    QStringLiteral("TEXT = 0,0,40,6 | Totale generale:"),
    QStringLiteral("SUM = 140,0,40,6 | FATT_CLI.TOTALE | right amount=3"),
    QStringLiteral("[PAGEFOOTER]"),
    QStringLiteral("HEIGHT = 6"),
    QStringLiteral("FIELD = 0,0,40,5 | fatt_cli.numero | left"),
};

void expectRect(const QRectF &actual, double x, double y, double w, double h)
{
    EXPECT_DOUBLE_EQ(actual.x(), x);
    EXPECT_DOUBLE_EQ(actual.y(), y);
    EXPECT_DOUBLE_EQ(actual.width(), w);
    EXPECT_DOUBLE_EQ(actual.height(), h);
}

TEST(ReportDefinitionTest, FullDefinitionParsesIntoItsStructure)
{
    const auto parsed = parseReportDefinition(lines(kRegister));
    ASSERT_TRUE(parsed.ok()) << parsed.failure().detail.toStdString();
    const ReportDefinition &def = *parsed;

    EXPECT_EQ(def.title, QStringLiteral("Registro fatture clienti"));
    EXPECT_TRUE(def.landscape);
    EXPECT_DOUBLE_EQ(def.margins.left(), 10);
    EXPECT_DOUBLE_EQ(def.margins.top(), 8);
    EXPECT_DOUBLE_EQ(def.margins.right(), 12.5);
    EXPECT_DOUBLE_EQ(def.margins.bottom(), 9);
    EXPECT_EQ(def.font.family, QStringLiteral("DejaVu Serif"));
    EXPECT_DOUBLE_EQ(def.font.size, 10);
    EXPECT_FALSE(def.font.bold);
    EXPECT_FALSE(def.font.italic);

    ASSERT_EQ(def.tables.size(), 1);
    EXPECT_EQ(def.tables[0].name, QStringLiteral("FATT_CLI"));
    EXPECT_EQ(def.tables[0].dataFile, 1);
    ASSERT_EQ(def.joins.size(), 2);
    EXPECT_TRUE(def.joins[0].left);
    EXPECT_EQ(def.joins[0].table.name, QStringLiteral("ANAG_CLI"));
    EXPECT_EQ(def.joins[0].table.dataFile, 2);
    EXPECT_EQ(def.joins[0].condition, QStringLiteral("{FATT_CLI.CLIENTE} = {ANAG_CLI.CODICE}"));
    EXPECT_FALSE(def.joins[1].left);
    EXPECT_EQ(def.joins[1].table.name, QStringLiteral("TAB_PROV"));
    EXPECT_EQ(def.joins[1].table.dataFile, 3);
    EXPECT_EQ(def.joins[1].condition, QStringLiteral("{ANAG_CLI.PROV} = {TAB_PROV.CODICE}"));
    EXPECT_EQ(def.filter, QStringLiteral("{FATT_CLI.PAGATA} = 0"));
    EXPECT_EQ(def.order, (QStringList{QStringLiteral("FATT_CLI.CLIENTE"), QStringLiteral("FATT_CLI.DATA_DOC DESC")}));

    // Report header: a centred bold title in a larger size and the caller's text.
    EXPECT_DOUBLE_EQ(def.reportHeader.height, 20);
    ASSERT_EQ(def.reportHeader.items.size(), 2);
    {
        const ReportItem &title = def.reportHeader.items[0];
        EXPECT_EQ(title.kind, ReportItem::Kind::Text);
        EXPECT_EQ(title.text, QStringLiteral("Registro fatture"));
        expectRect(title.rect, 0, 0, 180, 8);
        EXPECT_EQ(title.align, Qt::AlignHCenter | Qt::AlignVCenter);
        ASSERT_TRUE(title.font.has_value());
        EXPECT_EQ(title.font->family, QStringLiteral("DejaVu Serif"));
        EXPECT_DOUBLE_EQ(title.font->size, 14);
        EXPECT_TRUE(title.font->bold);
        EXPECT_FALSE(title.font->italic);

        const ReportItem &formula = def.reportHeader.items[1];
        EXPECT_EQ(formula.kind, ReportItem::Kind::Formula);
        EXPECT_EQ(formula.column, QStringLiteral("DICITURA"));
        ASSERT_TRUE(formula.font.has_value());
        EXPECT_TRUE(formula.font->italic);
        EXPECT_FALSE(formula.font->bold);
        EXPECT_DOUBLE_EQ(formula.font->size, 10);
    }

    // Page header: page number and a line kept as its two ends.
    EXPECT_DOUBLE_EQ(def.pageHeader.height, 12);
    ASSERT_EQ(def.pageHeader.items.size(), 2);
    EXPECT_EQ(def.pageHeader.items[0].kind, ReportItem::Kind::PageNumber);
    EXPECT_EQ(def.pageHeader.items[0].text, QStringLiteral("Pag."));
    EXPECT_EQ(def.pageHeader.items[0].align, Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_FALSE(def.pageHeader.items[0].font.has_value());
    EXPECT_EQ(def.pageHeader.items[1].kind, ReportItem::Kind::Line);
    EXPECT_EQ(def.pageHeader.items[1].rect.topLeft(), QPointF(0, 11));
    EXPECT_EQ(def.pageHeader.items[1].rect.bottomRight(), QPointF(180, 11));

    // Groups, outermost first; [GROUPn] items go to the header.
    ASSERT_EQ(def.groups.size(), 2);
    const ReportGroup &customer = def.groups[0];
    EXPECT_EQ(customer.column, QStringLiteral("ANAG_CLI.RAGIONE_SOCIALE"));
    EXPECT_DOUBLE_EQ(customer.header.height, 6);
    ASSERT_EQ(customer.header.items.size(), 1);
    EXPECT_EQ(customer.header.items[0].kind, ReportItem::Kind::Field);
    EXPECT_EQ(customer.header.items[0].column, QStringLiteral("ANAG_CLI.RAGIONE_SOCIALE"));
    ASSERT_TRUE(customer.header.items[0].font.has_value());
    EXPECT_EQ(customer.header.items[0].font->family, QStringLiteral("Liberation Sans"));
    EXPECT_TRUE(customer.header.items[0].font->bold);
    EXPECT_DOUBLE_EQ(customer.footer.height, 7);
    ASSERT_EQ(customer.footer.items.size(), 2);
    EXPECT_EQ(customer.footer.items[0].kind, ReportItem::Kind::Count);
    EXPECT_EQ(customer.footer.items[0].format.kind, FieldFormat::Kind::Integer);
    EXPECT_EQ(customer.footer.items[1].kind, ReportItem::Kind::Sum);
    EXPECT_EQ(customer.footer.items[1].column, QStringLiteral("FATT_CLI.TOTALE"));
    EXPECT_EQ(customer.footer.items[1].format.kind, FieldFormat::Kind::Amount);
    EXPECT_EQ(customer.footer.items[1].format.decimalsColumn, QStringLiteral("FATT_CLI.DECIMALI"));

    const ReportGroup &day = def.groups[1];
    EXPECT_EQ(day.column, QStringLiteral("FATT_CLI.DATA_DOC"));
    EXPECT_DOUBLE_EQ(day.header.height, 5);
    ASSERT_EQ(day.header.items.size(), 1);
    EXPECT_EQ(day.header.items[0].format.kind, FieldFormat::Kind::Date);
    EXPECT_TRUE(day.footer.isEmpty());

    // Detail: formats, alignment, a box.
    EXPECT_DOUBLE_EQ(def.detail.height, 5.5);
    ASSERT_EQ(def.detail.items.size(), 5);
    {
        const ReportItem &number = def.detail.items[0];
        EXPECT_EQ(number.column, QStringLiteral("FATT_CLI.NUMERO"));
        EXPECT_EQ(number.format.kind, FieldFormat::Kind::Integer);
        EXPECT_EQ(number.align, Qt::AlignRight | Qt::AlignVCenter);
        expectRect(number.rect, 0, 0, 20, 5);

        const ReportItem &lire = def.detail.items[1];
        EXPECT_EQ(lire.format.kind, FieldFormat::Kind::Amount);
        EXPECT_EQ(lire.format.decimals, 0);
        EXPECT_TRUE(lire.format.decimalsColumn.isEmpty());
        EXPECT_EQ(lire.align, Qt::AlignLeft | Qt::AlignVCenter);

        const ReportItem &paid = def.detail.items[2];
        EXPECT_EQ(paid.format.kind, FieldFormat::Kind::Flag);
        EXPECT_EQ(paid.format.whenTrue, QStringLiteral("Pagata"));
        EXPECT_EQ(paid.format.whenFalse, QStringLiteral("Aperta"));

        const ReportItem &net = def.detail.items[3];
        EXPECT_EQ(net.format.kind, FieldFormat::Kind::Amount);
        EXPECT_EQ(net.format.decimals, 2);
        ASSERT_TRUE(net.font.has_value());
        EXPECT_DOUBLE_EQ(net.font->size, 8);
        EXPECT_EQ(net.font->family, QStringLiteral("DejaVu Serif"));

        const ReportItem &box = def.detail.items[4];
        EXPECT_EQ(box.kind, ReportItem::Kind::Box);
        expectRect(box.rect, 0, 0, 180, 5.5);
    }

    EXPECT_DOUBLE_EQ(def.reportFooter.height, 8);
    ASSERT_EQ(def.reportFooter.items.size(), 2);
    EXPECT_EQ(def.reportFooter.items[0].text, QStringLiteral("Totale generale:"));
    EXPECT_EQ(def.reportFooter.items[1].format.kind, FieldFormat::Kind::Amount);
    EXPECT_EQ(def.reportFooter.items[1].format.decimals, 3);

    EXPECT_DOUBLE_EQ(def.pageFooter.height, 6);
    ASSERT_EQ(def.pageFooter.items.size(), 1);
    EXPECT_EQ(def.pageFooter.items[0].column, QStringLiteral("FATT_CLI.NUMERO"));
}

TEST(ReportDefinitionTest, DefaultsWhenTheReportSectionIsMissing)
{
    const auto parsed = parseReportDefinition(QStringLiteral("[DATA]\nTABLE = MAGAZZINO\n"));
    ASSERT_TRUE(parsed.ok()) << parsed.failure().detail.toStdString();
    const ReportDefinition def;
    EXPECT_FALSE(parsed->landscape);
    EXPECT_EQ(parsed->margins, def.margins);
    EXPECT_EQ(parsed->font.family, def.font.family);
    EXPECT_DOUBLE_EQ(parsed->font.size, def.font.size);
    EXPECT_TRUE(parsed->groups.isEmpty());
    EXPECT_TRUE(parsed->joins.isEmpty());
    EXPECT_TRUE(parsed->order.isEmpty());
    EXPECT_TRUE(parsed->detail.isEmpty());
    EXPECT_EQ(parsed->dataFiles(), 1);
}

// Comments, blank lines, indentation and Windows line ends change nothing.
TEST(ReportDefinitionTest, CommentsBlankLinesAndLineEndsAreIgnored)
{
    const QString plain = QStringLiteral("[DATA]\nTABLE = FATT_CLI\n[DETAIL]\nHEIGHT = 5\n"
                                         "FIELD = 0,0,20,5 | FATT_CLI.NUMERO | right\n");
    struct Case {
        const char *name;
        QString text;
    };
    const QList<Case> cases = {
        {"plain", plain},
        {"comments and blanks",
         QStringLiteral("# intestazione\n\n; altra nota\n[DATA]\n   \n  # rientrato\nTABLE = FATT_CLI\n\n"
                        "[DETAIL]\n; nota\nHEIGHT = 5\n\t\nFIELD = 0,0,20,5 | FATT_CLI.NUMERO | right\n#fine")},
        {"windows line ends", QString(plain).replace(QStringLiteral("\n"), QStringLiteral("\r\n"))},
        {"indented with spaces around =", QStringLiteral("  [DATA]  \n   TABLE=FATT_CLI\n[DETAIL]\nHEIGHT   =5\n"
                                                         "  FIELD=0 , 0 , 20 , 5|FATT_CLI.NUMERO|   right   \n")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = parseReportDefinition(c.text);
        ASSERT_TRUE(parsed.ok()) << parsed.failure().detail.toStdString();
        ASSERT_EQ(parsed->tables.size(), 1);
        EXPECT_EQ(parsed->tables[0].name, QStringLiteral("FATT_CLI"));
        EXPECT_DOUBLE_EQ(parsed->detail.height, 5);
        ASSERT_EQ(parsed->detail.items.size(), 1);
        EXPECT_EQ(parsed->detail.items[0].column, QStringLiteral("FATT_CLI.NUMERO"));
        EXPECT_EQ(parsed->detail.items[0].align, Qt::AlignRight | Qt::AlignVCenter);
        expectRect(parsed->detail.items[0].rect, 0, 0, 20, 5);
    }
}

// Each malformed line gives the load message and names its own line.
TEST(ReportDefinitionTest, MalformedLinesNameTheirLine)
{
    const QString head = QStringLiteral("# prova\n[DATA]\nTABLE = FATT_CLI\n\n[DETAIL]\n"); // lines 1-5
    struct Case {
        const char *name;
        QString text;
        int line;
        QString detailPart; // a piece of the reason
    };
    const QList<Case> cases = {
        // Sections.
        {"unknown section", head + QStringLiteral("[PIEDINO]\n"), 6, QStringLiteral("sezione sconosciuta")},
        {"empty section name", head + QStringLiteral("[]\n"), 6, QStringLiteral("sezione sconosciuta")},
        {"section without bracket", head + QStringLiteral("[REPORTFOOTER\n"), 6, QStringLiteral("]")},
        {"group zero", head + QStringLiteral("[GROUP0]\n"), 6, QStringLiteral("sezione sconosciuta")},
        {"group 2 before group 1", head + QStringLiteral("[GROUP2]\nBY = FATT_CLI.NUMERO\n"), 6,
         QStringLiteral("gruppo 2")},
        {"group 3 after group 1", head + QStringLiteral("[GROUP1]\nBY = FATT_CLI.CLIENTE\n[GROUP3FOOTER]\n"), 8,
         QStringLiteral("gruppo 3")},
        {"key outside a section", QStringLiteral("# nota\n\nTITLE = Prova\n[DATA]\nTABLE = X\n"), 3,
         QStringLiteral("fuori da una sezione")},
        {"line without =", head + QStringLiteral("HEIGHT 5\n"), 6, QStringLiteral("=")},
        // [REPORT] keys.
        {"unknown report key", QStringLiteral("[REPORT]\nTITOLO = x\n[DATA]\nTABLE = X\n"), 2,
         QStringLiteral("chiave sconosciuta")},
        {"bad orientation", QStringLiteral("[REPORT]\n\nORIENTATION = obliquo\n"), 3, QStringLiteral("orientamento")},
        {"paper with one measure", QStringLiteral("[REPORT]\nTITLE = x\nPAPER = 210\n"), 3, QStringLiteral("2")},
        {"paper given sideways", QStringLiteral("[REPORT]\nPAPER = 220, 110\n"), 2, QStringLiteral("formato carta")},
        {"paper of no size", QStringLiteral("[REPORT]\nPAPER = 0, 297\n"), 2, QStringLiteral("formato carta")},
        {"three margins", QStringLiteral("[REPORT]\nMARGINS = 10, 10, 10\n"), 2, QStringLiteral("4")},
        {"margin not a number", QStringLiteral("[REPORT]\nMARGINS = 10, 10, dieci, 10\n"), 2, QStringLiteral("dieci")},
        {"report font without size", QStringLiteral("[REPORT]\nFONT = DejaVu Sans\n"), 2, QStringLiteral("carattere")},
        {"report font too small", QStringLiteral("[REPORT]\nFONT = DejaVu Sans, 2\n"), 2, QStringLiteral("carattere")},
        {"report font without family", QStringLiteral("[REPORT]\nFONT = , 9\n"), 2, QStringLiteral("carattere")},
        {"report font size not a number", QStringLiteral("[REPORT]\nFONT = DejaVu Sans, nan\n"), 2,
         QStringLiteral("carattere")},
        // [DATA] keys.
        {"unknown data key", QStringLiteral("[DATA]\nTABLE = X\nGROUP = X.Y\n"), 3,
         QStringLiteral("chiave sconosciuta")},
        {"table with a space", QStringLiteral("[DATA]\nTABLE = FATT CLI\n"), 2, QStringLiteral("tabella")},
        {"table with schema", QStringLiteral("[DATA]\nTABLE = servizi.TAB_PROV\n"), 2, QStringLiteral("tabella")},
        {"table on data file 0", QStringLiteral("[DATA]\nTABLE = FATT_CLI, 0\n"), 2, QStringLiteral("tabella")},
        {"join without ON", QStringLiteral("[DATA]\nTABLE = A\nJOIN = LEFT B\n"), 3, QStringLiteral("JOIN")},
        {"join of an unknown kind", QStringLiteral("[DATA]\nTABLE = A\nJOIN = FULL B ON {A.X} = {B.X}\n"), 3,
         QStringLiteral("JOIN")},
        {"join on a bad table", QStringLiteral("[DATA]\nTABLE = A\nJOIN = INNER B,0 ON {A.X} = {B.X}\n"), 3,
         QStringLiteral("tabella")},
        {"order with a bad direction", QStringLiteral("[DATA]\nTABLE = A\nORDER = A.X GIU\n"), 3,
         QStringLiteral("ORDER")},
        {"order with three words", QStringLiteral("[DATA]\nTABLE = A\nORDER = A.X DESC A.Y\n"), 3,
         QStringLiteral("ORDER")},
        {"empty order", QStringLiteral("[DATA]\nTABLE = A\nORDER =\n"), 3, QStringLiteral("ORDER")},
        // Bad numbers.
        {"height not a number", head + QStringLiteral("HEIGHT = alto\n"), 6, QStringLiteral("alto")},
        {"negative height", head + QStringLiteral("HEIGHT = -1\n"), 6, QStringLiteral("-1")},
        {"height beyond 1000", head + QStringLiteral("HEIGHT = 1000.5\n"), 6, QStringLiteral("1000.5")},
        {"empty height", head + QStringLiteral("HEIGHT =\n"), 6, QStringLiteral("numero")},
        {"height with decimal comma", head + QStringLiteral("HEIGHT = 5,5\n"), 6, QStringLiteral("1")},
        {"height nan", head + QStringLiteral("HEIGHT = nan\n"), 6, QStringLiteral("nan")},
        {"height inf", head + QStringLiteral("HEIGHT = inf\n"), 6, QStringLiteral("inf")},
        {"rect with three numbers", head + QStringLiteral("FIELD = 0,0,20 | FATT_CLI.NUMERO\n"), 6,
         QStringLiteral("4")},
        {"rect with a word", head + QStringLiteral("TEXT = 0,zero,20,5 | Totale\n"), 6, QStringLiteral("zero")},
        {"line with three numbers", head + QStringLiteral("LINE = 0, 5, 180\n"), 6, QStringLiteral("4")},
        {"box with content", head + QStringLiteral("BOX = 0,0,10,10 | riquadro\n"), 6, QStringLiteral("BOX")},
        {"negative line end", head + QStringLiteral("LINE = 0, 5, -180, 5\n"), 6, QStringLiteral("-180")},
        // Items.
        {"unknown item", head + QStringLiteral("IMAGE = 0,0,10,10 | logo.bmp\n"), 6,
         QStringLiteral("elemento sconosciuto")},
        {"item without content", head + QStringLiteral("TEXT = 0,0,10,10\n"), 6, QStringLiteral("TEXT")},
        {"item with four parts", head + QStringLiteral("TEXT = 0,0,10,10 | a | b | c\n"), 6, QStringLiteral("TEXT")},
        {"formula without name", head + QStringLiteral("FORMULA = 0,0,10,10 |  | bold\n"), 6,
         QStringLiteral("FORMULA")},
        {"BY outside a group", head + QStringLiteral("BY = FATT_CLI.CLIENTE\n"), 6, QStringLiteral("BY")},
        // Options.
        {"unknown option", head + QStringLiteral("FIELD = 0,0,20,5 | FATT_CLI.NUMERO | right sottolineato\n"), 6,
         QStringLiteral("sottolineato")},
        {"size too small", head + QStringLiteral("TEXT = 0,0,20,5 | x | size=3\n"), 6, QStringLiteral("3")},
        {"size not a number", head + QStringLiteral("TEXT = 0,0,20,5 | x | size=grande\n"), 6,
         QStringLiteral("grande")},
        {"size nan", head + QStringLiteral("TEXT = 0,0,20,5 | x | size=nan\n"), 6, QStringLiteral("nan")},
        {"font without name", head + QStringLiteral("TEXT = 0,0,20,5 | x | font=\n"), 6, QStringLiteral("carattere")},
        {"flag with one text", head + QStringLiteral("FIELD = 0,0,20,5 | FATT_CLI.PAGATA | flag=SI\n"), 6,
         QStringLiteral("flag")},
        {"flag with three texts", head + QStringLiteral("FIELD = 0,0,20,5 | FATT_CLI.PAGATA | flag=SI/NO/FORSE\n"), 6,
         QStringLiteral("flag")},
        {"amount with 11 decimals", head + QStringLiteral("FIELD = 0,0,20,5 | FATT_CLI.TOTALE | amount=11\n"), 6,
         QStringLiteral("11")},
        // Column names.
        {"group by a bare column", head + QStringLiteral("[GROUP1]\nBY = CLIENTE\n"), 7, QStringLiteral("CLIENTE")},
        {"field with a bare column", head + QStringLiteral("FIELD = 0,0,20,5 | NUMERO\n"), 6, QStringLiteral("NUMERO")},
        {"sum with three parts", head + QStringLiteral("SUM = 0,0,20,5 | servizi.FATT_CLI.TOTALE\n"), 6,
         QStringLiteral("servizi.FATT_CLI.TOTALE")},
        {"field with an empty column", head + QStringLiteral("FIELD = 0,0,20,5 | \n"), 6, QStringLiteral("colonna")},
        {"order by a column starting with a digit", QStringLiteral("[DATA]\nTABLE = A\nORDER = 1A.X\n"), 3,
         QStringLiteral("1A.X")},
        {"decimals from a bad column", head + QStringLiteral("FIELD = 0,0,20,5 | FATT_CLI.TOTALE | amount=DEC\n"), 6,
         QStringLiteral("DEC")},
        // Checks made at the end still name a line.
        {"group without BY", head + QStringLiteral("[GROUP1FOOTER]\nHEIGHT = 5\n\n[REPORTFOOTER]\nHEIGHT = 5\n"), 6,
         QStringLiteral("BY")},
        {"second group without BY",
         head + QStringLiteral("[GROUP1]\nBY = FATT_CLI.CLIENTE\n[GROUP2HEADER]\nHEIGHT = 5\n[GROUP2FOOTER]\n"), 8,
         QStringLiteral("BY")},
        {"no TABLE in [DATA]", QStringLiteral("[REPORT]\nTITLE = x\n\n[DATA]\nFILTER = {A.X} = 1\n[DETAIL]\n"), 4,
         QStringLiteral("tabella")},
        // The first fault is the one reported.
        {"first of two faults", head + QStringLiteral("HEIGHT = 5\nHEIGHT = x\n[NESSUNA]\n"), 7,
         QStringLiteral("\"x\"")},
        {"fault after Windows line ends", QStringLiteral("[DATA]\r\nTABLE = A\r\n\r\n[DETAIL]\r\nHEIGHT = x\r\n"), 5,
         QStringLiteral("\"x\"")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = parseReportDefinition(c.text);
        if (parsed.ok()) {
            ADD_FAILURE() << "loaded";
            continue;
        }
        EXPECT_EQ(parsed.failure().message, kLoadError);
        const QString detail = parsed.failure().detail;
        EXPECT_TRUE(detail.startsWith(QStringLiteral("riga %1: ").arg(c.line))) << detail.toStdString();
        EXPECT_TRUE(detail.contains(c.detailPart)) << detail.toStdString();
    }
}

// A definition without any [DATA] names a line too.
TEST(ReportDefinitionTest, MissingDataSectionNamesALine)
{
    struct Case {
        const char *name;
        QString text;
    };
    const QList<Case> cases = {
        {"empty text", QString()},
        {"only comments", QStringLiteral("# nulla\n; ancora nulla\n")},
        {"bands only", QStringLiteral("[DETAIL]\nHEIGHT = 5\n")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = parseReportDefinition(c.text);
        if (parsed.ok()) {
            ADD_FAILURE() << "loaded";
            continue;
        }
        EXPECT_EQ(parsed.failure().message, kLoadError);
        EXPECT_TRUE(parsed.failure().detail.startsWith(QStringLiteral("riga ")))
            << parsed.failure().detail.toStdString();
        EXPECT_TRUE(parsed.failure().detail.contains(QStringLiteral("tabella")))
            << parsed.failure().detail.toStdString();
    }
}

TEST(ReportDefinitionTest, OptionsAndAlignment)
{
    struct Case {
        const char *name;
        QString options;
        Qt::Alignment align;
        FieldFormat::Kind kind;
        int decimals;
        QString decimalsColumn;
        bool hasFont;
        QString family;
        double size;
        bool bold;
        bool italic;
    };
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    const auto center = Qt::AlignHCenter | Qt::AlignVCenter;
    const QString base = QStringLiteral("DejaVu Sans");
    const QList<Case> cases = {
        {"none", QString(), left, FieldFormat::Kind::Text, 2, {}, false, {}, 0, false, false},
        {"right", QStringLiteral("right"), right, FieldFormat::Kind::Text, 2, {}, false, {}, 0, false, false},
        {"last alignment wins",
         QStringLiteral("right center"),
         center,
         FieldFormat::Kind::Text,
         2,
         {},
         false,
         {},
         0,
         false,
         false},
        {"upper-case names",
         QStringLiteral("RIGHT BOLD"),
         right,
         FieldFormat::Kind::Text,
         2,
         {},
         true,
         base,
         9,
         true,
         false},
        {"amount", QStringLiteral("amount"), left, FieldFormat::Kind::Amount, 2, {}, false, {}, 0, false, false},
        {"amount for lire",
         QStringLiteral("amount=0"),
         left,
         FieldFormat::Kind::Amount,
         0,
         {},
         false,
         {},
         0,
         false,
         false},
        {"amount with 10 decimals",
         QStringLiteral("amount=10"),
         left,
         FieldFormat::Kind::Amount,
         10,
         {},
         false,
         {},
         0,
         false,
         false},
        {"amount by column",
         QStringLiteral("amount=valute.decimali"),
         left,
         FieldFormat::Kind::Amount,
         2,
         QStringLiteral("VALUTE.DECIMALI"),
         false,
         {},
         0,
         false,
         false},
        {"integer", QStringLiteral("integer"), left, FieldFormat::Kind::Integer, 2, {}, false, {}, 0, false, false},
        {"date", QStringLiteral("date center"), center, FieldFormat::Kind::Date, 2, {}, false, {}, 0, false, false},
        {"font, size, italic",
         QStringLiteral("italic font=Times_New_Roman size=11.5"),
         left,
         FieldFormat::Kind::Text,
         2,
         {},
         true,
         QStringLiteral("Times New Roman"),
         11.5,
         false,
         true},
        {"bold and italic",
         QStringLiteral("bold italic"),
         left,
         FieldFormat::Kind::Text,
         2,
         {},
         true,
         base,
         9,
         true,
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed =
            parseReportDefinition(QStringLiteral("[DATA]\nTABLE = A\n[DETAIL]\nFIELD = 1,2,3,4 | A.X | ") + c.options);
        ASSERT_TRUE(parsed.ok()) << parsed.failure().detail.toStdString();
        ASSERT_EQ(parsed->detail.items.size(), 1);
        const ReportItem &item = parsed->detail.items[0];
        EXPECT_EQ(item.align, c.align);
        EXPECT_EQ(item.format.kind, c.kind);
        EXPECT_EQ(item.format.decimals, c.decimals);
        EXPECT_EQ(item.format.decimalsColumn, c.decimalsColumn);
        ASSERT_EQ(item.font.has_value(), c.hasFont);
        if (c.hasFont) {
            EXPECT_EQ(item.font->family, c.family);
            EXPECT_DOUBLE_EQ(item.font->size, c.size);
            EXPECT_EQ(item.font->bold, c.bold);
            EXPECT_EQ(item.font->italic, c.italic);
        }
    }
}

// A SUM is an amount unless told otherwise; COUNT and PAGENUMBER read no column.
TEST(ReportDefinitionTest, ItemKindsKeepTheirContent)
{
    struct Case {
        const char *name;
        QString line;
        ReportItem::Kind kind;
        QString text;
        QString column;
        FieldFormat::Kind format;
    };
    const QList<Case> cases = {
        {"text",
         QStringLiteral("TEXT = 0,0,1,1 | Totale: | right"),
         ReportItem::Kind::Text,
         QStringLiteral("Totale:"),
         {},
         FieldFormat::Kind::Text},
        {"empty text", QStringLiteral("TEXT = 0,0,1,1 | "), ReportItem::Kind::Text, {}, {}, FieldFormat::Kind::Text},
        {"field",
         QStringLiteral("FIELD = 0,0,1,1 | fatt_cli.numero"),
         ReportItem::Kind::Field,
         {},
         QStringLiteral("FATT_CLI.NUMERO"),
         FieldFormat::Kind::Text},
        {"sum",
         QStringLiteral("SUM = 0,0,1,1 | FATT_CLI.TOTALE"),
         ReportItem::Kind::Sum,
         {},
         QStringLiteral("FATT_CLI.TOTALE"),
         FieldFormat::Kind::Amount},
        {"sum as integer",
         QStringLiteral("SUM = 0,0,1,1 | FATT_CLI.COLLI | integer"),
         ReportItem::Kind::Sum,
         {},
         QStringLiteral("FATT_CLI.COLLI"),
         FieldFormat::Kind::Integer},
        {"count",
         QStringLiteral("COUNT = 0,0,1,1 | ignorato"),
         ReportItem::Kind::Count,
         {},
         {},
         FieldFormat::Kind::Text},
        {"formula",
         QStringLiteral("FORMULA = 0,0,1,1 | Dicitura"),
         ReportItem::Kind::Formula,
         {},
         QStringLiteral("DICITURA"),
         FieldFormat::Kind::Text},
        {"page number",
         QStringLiteral("PAGENUMBER = 0,0,1,1 | Pagina"),
         ReportItem::Kind::PageNumber,
         QStringLiteral("Pagina"),
         {},
         FieldFormat::Kind::Text},
        {"page number without prefix",
         QStringLiteral("PAGENUMBER = 0,0,1,1 |"),
         ReportItem::Kind::PageNumber,
         {},
         {},
         FieldFormat::Kind::Text},
        {"lower-case key",
         QStringLiteral("text = 0,0,1,1 | a = b"),
         ReportItem::Kind::Text,
         QStringLiteral("a = b"),
         {},
         FieldFormat::Kind::Text},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = parseReportDefinition(QStringLiteral("[DATA]\nTABLE = A\n[PAGEFOOTER]\n") + c.line);
        ASSERT_TRUE(parsed.ok()) << parsed.failure().detail.toStdString();
        ASSERT_EQ(parsed->pageFooter.items.size(), 1);
        const ReportItem &item = parsed->pageFooter.items[0];
        EXPECT_EQ(item.kind, c.kind);
        EXPECT_EQ(item.text, c.text);
        EXPECT_EQ(item.column, c.column);
        EXPECT_EQ(item.format.kind, c.format);
    }
}

// Lines keep their ends in whatever direction they run; boxes are x, y, w, h.
TEST(ReportDefinitionTest, LinesAndBoxes)
{
    struct Case {
        const char *name;
        QString line;
        ReportItem::Kind kind;
        QPointF first;
        QPointF second;
    };
    const QList<Case> cases = {
        {"horizontal line", QStringLiteral("LINE = 0, 5, 180, 5"), ReportItem::Kind::Line, {0, 5}, {180, 5}},
        {"line right to left", QStringLiteral("LINE = 100, 0, 20, 7"), ReportItem::Kind::Line, {100, 0}, {20, 7}},
        {"vertical line", QStringLiteral("line = 30,0,30,12.5"), ReportItem::Kind::Line, {30, 0}, {30, 12.5}},
        {"box", QStringLiteral("BOX = 10, 2, 50, 8"), ReportItem::Kind::Box, {10, 2}, {60, 10}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = parseReportDefinition(QStringLiteral("[DATA]\nTABLE = A\n[REPORTFOOTER]\n") + c.line);
        ASSERT_TRUE(parsed.ok()) << parsed.failure().detail.toStdString();
        ASSERT_EQ(parsed->reportFooter.items.size(), 1);
        const ReportItem &item = parsed->reportFooter.items[0];
        EXPECT_EQ(item.kind, c.kind);
        EXPECT_EQ(item.rect.topLeft(), c.first);
        EXPECT_EQ(item.rect.bottomRight(), c.second);
    }
}

// Every column the rows must carry, once each, whichever band reads it.
TEST(ReportDefinitionTest, ColumnsUsedListsEachColumnOnce)
{
    const auto parsed = parseReportDefinition(lines(kRegister));
    ASSERT_TRUE(parsed.ok()) << parsed.failure().detail.toStdString();
    const QStringList used = parsed->columnsUsed();
    const QStringList expected = {
        QStringLiteral("ANAG_CLI.RAGIONE_SOCIALE"), // group 1 and its header field
        QStringLiteral("FATT_CLI.TOTALE"),          // group footer, detail and report footer
        QStringLiteral("FATT_CLI.DECIMALI"),        // decimals of the group total
        QStringLiteral("FATT_CLI.DATA_DOC"),        // group 2, its header and the order
        QStringLiteral("FATT_CLI.CLIENTE"),         // order only
        QStringLiteral("FATT_CLI.NUMERO"),          // detail and page footer
        QStringLiteral("FATT_CLI.PAGATA"),          QStringLiteral("FATT_CLI.IMPONIBILE"),
    };
    for (const QString &column : expected) {
        SCOPED_TRACE(column.toStdString());
        EXPECT_EQ(used.count(column), 1);
    }
    EXPECT_EQ(used.size(), expected.size()) << used.join(QLatin1Char(',')).toStdString();
    // Neither the formula's name nor the filter's or joins' columns are read from the rows.
    EXPECT_FALSE(used.contains(QStringLiteral("DICITURA")));
    EXPECT_FALSE(used.contains(QStringLiteral("ANAG_CLI.CODICE")));
    for (const QString &column : used)
        EXPECT_FALSE(column.contains(QLatin1Char(' '))) << column.toStdString();
}

TEST(ReportDefinitionTest, ColumnsUsedByEachKindOfPlace)
{
    struct Case {
        const char *name;
        QString body;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"nothing", QString(), {}},
        {"order with direction",
         QStringLiteral("[DATA]\nORDER = A.X DESC\nORDER = A.Y\nORDER = a.x\n"),
         {QStringLiteral("A.X"), QStringLiteral("A.Y")}},
        {"group only", QStringLiteral("[GROUP1]\nBY = A.G\n"), {QStringLiteral("A.G")}},
        {"decimals column of a text field",
         QStringLiteral("[DETAIL]\nFIELD = 0,0,1,1 | A.IMPORTO | amount=A.DEC\nFIELD = 0,0,1,1 | A.DEC | integer\n"),
         {QStringLiteral("A.IMPORTO"), QStringLiteral("A.DEC")}},
        {"sum in the page footer",
         QStringLiteral("[PAGEFOOTER]\nSUM = 0,0,1,1 | A.IMPORTO\n"),
         {QStringLiteral("A.IMPORTO")}},
        {"count, text, formula and page number read nothing",
         QStringLiteral("[PAGEHEADER]\nCOUNT = 0,0,1,1 |\nTEXT = 0,0,1,1 | A.X\nFORMULA = 0,0,1,1 | A\n"
                        "PAGENUMBER = 0,0,1,1 | Pag.\nLINE = 0,0,1,1\n"),
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = parseReportDefinition(QStringLiteral("[DATA]\nTABLE = A\n") + c.body);
        ASSERT_TRUE(parsed.ok()) << parsed.failure().detail.toStdString();
        QStringList used = parsed->columnsUsed();
        QStringList expected = c.expected;
        used.sort();
        expected.sort();
        EXPECT_EQ(used, expected) << used.join(QLatin1Char(',')).toStdString();
    }
}

TEST(ReportDefinitionTest, DataFilesIsTheHighestFileNamed)
{
    struct Case {
        const char *name;
        QString data;
        int files;
    };
    const QList<Case> cases = {
        {"one table", QStringLiteral("TABLE = A"), 1},
        {"table on file 3", QStringLiteral("TABLE = A, 3"), 3},
        {"join on file 2", QStringLiteral("TABLE = A\nJOIN = LEFT B,2 ON {A.X} = {B.X}"), 2},
        {"join on file 1 after table on 4", QStringLiteral("TABLE = A,4\nJOIN = INNER B ON {A.X} = {B.X}"), 4},
        {"two joins",
         QStringLiteral("TABLE = A\nJOIN = INNER B,5 ON {A.X} = {B.X}\nJOIN = LEFT C , 9 ON {B.Y} = {C.Y}"), 9},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = parseReportDefinition(QStringLiteral("[DATA]\n") + c.data);
        ASSERT_TRUE(parsed.ok()) << parsed.failure().detail.toStdString();
        EXPECT_EQ(parsed->dataFiles(), c.files);
    }
}

// The definitions shipped with the program load, and read only columns of
// the tables they name.
TEST(ReportDefinitionTest, ShippedDefinitionsLoad)
{
    const QDir folder(QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../reports"));
    const QStringList files = folder.entryList({QStringLiteral("*.RPT"), QStringLiteral("*.rpt")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << folder.absolutePath().toStdString();
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto parsed = parseReportDefinition(Orlavo::Services::decodeSettingsText(file.readAll()));
        if (!parsed.ok()) {
            ADD_FAILURE() << parsed.failure().detail.toStdString();
            continue;
        }
        EXPECT_FALSE(parsed->detail.items.isEmpty());
        QStringList tables;
        for (const ReportTable &t : parsed->tables)
            tables.append(t.name);
        for (const ReportJoin &j : parsed->joins)
            tables.append(j.table.name);
        for (const QString &column : parsed->columnsUsed())
            EXPECT_TRUE(tables.contains(column.section(QLatin1Char('.'), 0, 0))) << column.toStdString();
    }
}

} // namespace
