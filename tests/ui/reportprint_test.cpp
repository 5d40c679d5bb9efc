#include "archives.h"
#include "contexttest.h"
#include "files.h"
#include "reporting/stores/reportdata.h"
#include "reporting/stores/reportfiles.h"
#include "scriptedprompter.h"
#include "services/core/tablenames.h"
#include "services/data/writeunit.h"
#include "ui/appcontext.h"
#include "ui/frmrpt.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QPrinterInfo>
#include <QSpinBox>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using Orlavo::Testing::Engine;
using Orlavo::Testing::pdfPages;
using Orlavo::Testing::PgServer;
using Orlavo::Testing::ScriptedPrompter;
using Orlavo::Testing::TestArchives;

namespace {

void writeText(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

// A company row whose province is read from the services database.
const char kJoinReport[] = R"(
[REPORT]
TITLE=Societa e province
[DATA]
TABLE=SOCIETA,1
JOIN=INNER TAB_PROV,2 ON {TAB_PROV.CODICE}={SOCIETA.PROV_LEG}
[DETAIL]
HEIGHT=6
FIELD=0,0,30,6 | SOCIETA.RAG_SOC1
FIELD=40,0,60,6 | TAB_PROV.DESCRIZIONE
)";

const char kDicituraReport[] = R"(
[REPORT]
TITLE=Prova dicitura
[DATA]
TABLE=TAB_PROV,1
FILTER={TAB_PROV.CODICE}='RM'
[PAGEHEADER]
HEIGHT=10
FORMULA=0,0,170,8 | DICITURA | center bold
[DETAIL]
HEIGHT=6
FIELD=0,0,100,6 | TAB_PROV.DESCRIZIONE
)";

class ReportPrint : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        context->state.pathRpt = QStringLiteral(ORLAVO_SHIPPED_REPORTS);
        context->state.pathRptPers = archives->folder() + QStringLiteral("RPTPERS/");
        reload();
    }

    void reload() { context->reports = loadReportList(context->state.pathRptPers, context->state.pathRpt).entries; }

    // A customised report with its own RPTINI.TXT line.
    void addCustom(const QString &key, const QString &file, const QString &codes, const char *definition)
    {
        const QString folder = context->state.pathRptPers;
        QFile ini(folder + QStringLiteral("RPTINI.TXT"));
        QDir().mkpath(folder);
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write(QStringLiteral("1,%1,%2,\"%1 personale\",%3\r\n").arg(key, file, codes).toUtf8());
        ini.close();
        if (definition)
            writeText(folder + file, QString::fromUtf8(definition));
        reload();
    }

    QString pdf() const { return archives->folder() + QStringLiteral("stampa.pdf"); }

    bool toPdf(const QString &key, const QString &formula = {}, const QHash<QString, QString> &formulas = {},
               const ChoiceAsker &ask = {})
    {
        PrintCommand command;
        command.key = key;
        command.request.formula = formula;
        command.request.formulas = formulas;
        command.output = ReportOutput::Pdf;
        command.pdfPath = pdf();
        QFile::remove(pdf());
        return printReport(*context, command, nullptr, ask);
    }
};

} // namespace

TEST_P(ReportPrint, ProvincesListHasEveryRowAndAPageNumberOnEveryPage)
{
    ASSERT_TRUE(toPdf(QStringLiteral("TABPROV"))) << prompter.texts().join(QLatin1Char('|')).toStdString();
    const QStringList pages = pdfPages(pdf());
    ASSERT_GE(pages.size(), 2);
    for (int i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Pag. %1").arg(i + 1)));
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Provincie")));
    }
    const QString all = pages.join(QLatin1Char('\n'));
    for (const char *line : {"AG", "AGRIGENTO", "L'AQUILA", "VV", "VIBO VALENTIA", "EE", "ESTERO"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(line))) << line;
    EXPECT_TRUE(all.contains(QStringLiteral("Totale righe:")));
    EXPECT_TRUE(all.contains(QStringLiteral("108")));
    // In code order.
    EXPECT_LT(all.indexOf(QStringLiteral("AGRIGENTO")), all.indexOf(QStringLiteral("ALESSANDRIA")));
    EXPECT_LT(all.indexOf(QStringLiteral("ALESSANDRIA")), all.indexOf(QStringLiteral("VITERBO")));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(ReportPrint, FormulaSelectsTheRowsAndNamedTextsPrint)
{
    ASSERT_TRUE(toPdf(QStringLiteral("TABPROV"),
                      QStringLiteral("{servizi.TAB_PROV.DESCRIZIONE} like 'pe*' and not {TAB_PROV.CODICE}='PE'")));
    const QString all = pdfPages(pdf()).join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("PERUGIA")));
    EXPECT_TRUE(all.contains(QStringLiteral("PESARO E URBINO")));
    EXPECT_FALSE(all.contains(QStringLiteral("PESCARA")));
    EXPECT_FALSE(all.contains(QStringLiteral("ROMA")));

    addCustom(QStringLiteral("DICITURA"), QStringLiteral("DICITURA.RPT"), QStringLiteral("S"), kDicituraReport);
    ASSERT_TRUE(
        toPdf(QStringLiteral("DICITURA"), {}, parseNamedFormulas({QStringLiteral("DICITURA='PROPOSTA DI FATTURA'")})));
    const QString named = pdfPages(pdf()).join(QLatin1Char('\n'));
    EXPECT_TRUE(named.contains(QStringLiteral("PROPOSTA DI FATTURA")));
    EXPECT_TRUE(named.contains(QStringLiteral("ROMA")));
    EXPECT_FALSE(named.contains(QStringLiteral("MILANO")));
}

TEST_P(ReportPrint, DataFileCodesBindTheCompanyFirstAndTheServicesSecond)
{
    {
        Services::WriteUnit unit(context->db, QStringLiteral("Prova"));
        ASSERT_TRUE(unit.execCompany(QStringLiteral("Ins."),
                                     QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1, PROV_LEG) VALUES (?, ?, ?)")
                                         .arg(Services::Tables::SOCIETA_CONTAB),
                                     {QStringLiteral("01"), QStringLiteral("COPIA AZIENDA"), QStringLiteral("MI")}));
        ASSERT_TRUE(unit.execServices(QStringLiteral("Ins."),
                                      QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1, PROV_LEG) VALUES (?, ?, ?)")
                                          .arg(Services::Tables::SOCIETA),
                                      {QStringLiteral("01"), QStringLiteral("ELENCO SERVIZI"), QStringLiteral("TO")}));
        ASSERT_TRUE(unit.commit());
    }
    addCustom(QStringLiteral("UNIONE"), QStringLiteral("UNIONE.RPT"), QStringLiteral("CS"), kJoinReport);
    ASSERT_TRUE(toPdf(QStringLiteral("UNIONE")));
    QString all = pdfPages(pdf()).join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("COPIA AZIENDA")));
    EXPECT_TRUE(all.contains(QStringLiteral("MILANO")));
    EXPECT_FALSE(all.contains(QStringLiteral("ELENCO SERVIZI")));

    // Both files from the services database: its own SOCIETA row.
    addCustom(QStringLiteral("UNIONE2"), QStringLiteral("UNIONE.RPT"), QStringLiteral("SS"), nullptr);
    ASSERT_TRUE(toPdf(QStringLiteral("UNIONE2")));
    all = pdfPages(pdf()).join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("ELENCO SERVIZI")));
    EXPECT_TRUE(all.contains(QStringLiteral("TORINO")));
}

TEST_P(ReportPrint, ChoosingBetweenTwoReportsOfOneKey)
{
    addCustom(QStringLiteral("TABPROV"), QStringLiteral("ALTRA.RPT"), QStringLiteral("S"), kDicituraReport);
    int asked = 0;
    const ChoiceAsker cancel = [&asked](const QList<ReportEntry> &choices) {
        ++asked;
        EXPECT_EQ(choices.size(), 2);
        return QList<ReportEntry>{};
    };
    EXPECT_FALSE(toPdf(QStringLiteral("TABPROV"), {}, {}, cancel));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(context->state.openMode, QStringLiteral("NO"));
    EXPECT_FALSE(QFile::exists(pdf()));

    const ChoiceAsker standard = [](const QList<ReportEntry> &choices) { return QList<ReportEntry>{choices.last()}; };
    ASSERT_TRUE(toPdf(QStringLiteral("TABPROV"), {}, {}, standard));
    EXPECT_EQ(context->state.openMode, QStringLiteral("SI"));
    EXPECT_TRUE(pdfPages(pdf()).join(QLatin1Char('\n')).contains(QStringLiteral("AGRIGENTO")));
}

TEST_P(ReportPrint, FailuresAreReportedAndNeverFatal)
{
    const struct {
        const char *name;
        QString key;
        QString formula;
        QString message;
    } cases[] = {
        {"key without reports", QStringLiteral("NESSUNO"), {}, QStringLiteral("Nessun tabulato per la stampa NESSUNO")},
        {"malformed formula", QStringLiteral("TABPROV"), QStringLiteral("{TAB_PROV.CODICE} = "),
         QStringLiteral("Selezione dei dati o formule non corretti")},
        {"unknown column", QStringLiteral("TABPROV"), QStringLiteral("{TAB_PROV.NON_ESISTE} = 1"),
         QStringLiteral("Selezione dei dati o formule non corretti")},
        {"missing definition", QStringLiteral("MANCANTE"), {}, QStringLiteral("Il report ")},
        {"malformed definition", QStringLiteral("ROTTO"), {}, QStringLiteral("Errore durante il caricamento")},
        {"table the company lacks",
         QStringLiteral("SENZATAB"),
         {},
         QStringLiteral("Errori durante apertura del Database")},
    };
    addCustom(QStringLiteral("MANCANTE"), QStringLiteral("MANCANTE.RPT"), QStringLiteral("S"), nullptr);
    addCustom(QStringLiteral("ROTTO"), QStringLiteral("ROTTO.RPT"), QStringLiteral("S"), "[REPORT]\nTITOLO=x\n");
    addCustom(QStringLiteral("SENZATAB"), QStringLiteral("SENZATAB.RPT"), QStringLiteral("C"),
              "[REPORT]\nTITLE=x\n[DATA]\nTABLE=TAB_INESISTENTE,1\n[DETAIL]\nHEIGHT=6\n"
              "FIELD=0,0,30,6 | TAB_INESISTENTE.CODICE\n");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        prompter.clear();
        EXPECT_FALSE(toPdf(c.key, c.formula));
        ASSERT_EQ(prompter.shown().size(), 1) << prompter.texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(prompter.texts().first().startsWith(c.message)) << prompter.texts().first().toStdString();
        EXPECT_FALSE(QFile::exists(pdf()));
    }
    EXPECT_EQ(dbExits, 0);
    // The database is still usable after every failure.
    EXPECT_TRUE(toPdf(QStringLiteral("TABPROV")));
}

TEST_P(ReportPrint, MissingCompanyDatabaseIsItsOwnMessage)
{
    context->db.close();
    ASSERT_TRUE(context->db.openServices(archives->config()));
    prompter.clear();
    EXPECT_FALSE(toPdf(QStringLiteral("TABATTIV")));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.texts().first().startsWith(QStringLiteral("Apertura del Database non riuscita")));
    EXPECT_EQ(dbExits, 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, ReportPrint, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         Orlavo::Testing::engineName);

TEST(FrmRpt, PreviewPagesZoomAndNoPrinter)
{
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    AppContext context(dir.path() + QLatin1Char('/'), prompter);
    ReportDocument document;
    document.title = QStringLiteral("Prova");
    document.pageSize = QSizeF(210, 297);
    for (int i = 0; i < 3; ++i) {
        ReportPage page;
        page.texts.append({QRectF(20, 20, 100, 8), QStringLiteral("Pagina %1").arg(i + 1),
                           ReportFont{QStringLiteral("DejaVu Sans"), 12, false, false}, Qt::AlignLeft});
        document.pages.append(page);
    }
    FrmRpt window(context, document, QStringLiteral("Stampa Documento di Trasporto"), 3);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.resize(1366, 768);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Stampa Documento di Trasporto"));
    EXPECT_EQ(window.pageCount(), 3);
    window.findChild<QPushButton *>(QStringLiteral("ultimaPagina"))->click();
    EXPECT_EQ(window.currentPage(), 2);
    EXPECT_EQ(window.findChild<QSpinBox *>(QStringLiteral("pagina"))->value(), 3);
    window.findChild<QPushButton *>(QStringLiteral("paginaPrecedente"))->click();
    EXPECT_EQ(window.currentPage(), 1);
    auto *view = window.findChild<QLabel *>(QStringLiteral("vistaPagina"));
    window.setZoom(100);
    const int full = view->pixmap().width();
    window.setZoom(50);
    EXPECT_NEAR(view->pixmap().width() * 2, full, 4);
    // 210 mm at 96 dpi.
    EXPECT_NEAR(full / view->pixmap().devicePixelRatio(), 210 / 25.4 * 96, 3);

    const QString path = dir.filePath(QStringLiteral("anteprima.pdf"));
    EXPECT_TRUE(window.exportPdf(path));
    EXPECT_EQ(pdfPages(path).size(), 3);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        EXPECT_FALSE(window.printDocument());
        EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Impostare stampante predefinita")});
    }
}
