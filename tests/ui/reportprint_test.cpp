#include "contexttest.h"
#include "files.h"
#include "reporting/stores/reportfiles.h"
#include "ui/appcontext.h"
#include "ui/frmrpt.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QPrinterInfo>
#include <QSpinBox>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using Orlavo::Testing::pdfPages;
using Orlavo::Testing::ScriptedPrompter;

namespace {

class ReportPrint : public Orlavo::Testing::ContextTest<>
{
protected:
    void prepare() override { useShippedReports(); }

    // A customised report with its own RPTINI.TXT line.
    void addCustom(const QString &key, const QString &file, const QString &codes, const char *definition)
    {
        const QString folder = context->state.pathRptPers;
        QFile ini(folder + "RPTINI.TXT");
        ASSERT_TRUE(QDir().mkpath(folder) && ini.open(QIODevice::Append));
        ini.write(QStringLiteral("1,%1,%2,\"%1 personale\",%3\r\n").arg(key, file, codes).toUtf8());
        ini.close();
        ASSERT_TRUE(!definition || Orlavo::Testing::writeBytes(folder + file, definition));
        context->reports = loadReportList(folder, context->state.pathRpt).entries;
    }

    QString pdf() const { return archives->folder() + "stampa.pdf"; }

    bool toPdf(const QString &key, const QString &formula = {})
    {
        PrintCommand command;
        command.key = key;
        command.request.formula = formula;
        command.output = ReportOutput::Pdf;
        command.pdfPath = pdf();
        QFile::remove(pdf());
        return printReport(*context, command, nullptr);
    }
};

} // namespace

// How each failure comes about is the report engine's test; here each one
// reaches the operator and the next print still works.
TEST_P(ReportPrint, FailuresAreReportedAndNeverFatal)
{
    const struct {
        const char *name;
        QString key;
        QString formula;
        QString message;
    } cases[] = {
        {"malformed formula", "TABPROV", "{TAB_PROV.CODICE} = ", "Selezione dei dati o formule non corretti"},
        {"missing definition", "MANCANTE", {}, "Il report "},
        {"table the company lacks", "SENZATAB", {}, "Errori durante apertura del Database"},
    };
    addCustom("MANCANTE", "MANCANTE.RPT", "S", nullptr);
    addCustom("SENZATAB", "SENZATAB.RPT", "C",
              "[REPORT]\nTITLE=x\n[DATA]\nTABLE=TAB_INESISTENTE,1\n[DETAIL]\nHEIGHT=6\n"
              "FIELD=0,0,30,6 | TAB_INESISTENTE.CODICE\n");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        prompter.clear();
        EXPECT_FALSE(toPdf(c.key, c.formula));
        ASSERT_EQ(prompter.shown().size(), 1) << prompter.texts().join('|').toStdString();
        EXPECT_TRUE(prompter.texts().first().startsWith(c.message)) << prompter.texts().first().toStdString();
        EXPECT_FALSE(QFile::exists(pdf()));
    }
    // The database is still usable after every failure: the list prints.
    EXPECT_TRUE(toPdf("TABPROV"));
    EXPECT_TRUE(pdfPages(pdf()).join('\n').contains("MILANO"));

    // No company open: its own message.
    context->db.close();
    ASSERT_TRUE(context->db.openServices(archives->config()));
    prompter.clear();
    EXPECT_FALSE(toPdf("TABATTIV"));
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_TRUE(prompter.texts().first().startsWith("Apertura del Database non riuscita"));
    EXPECT_EQ(dbExits, 0);
}

ORLAVO_FOR_EACH_ENGINE(ReportPrint);

TEST(FrmRpt, PreviewPagesPdfAndNoPrinter)
{
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    AppContext context(dir.path() + QLatin1Char('/'), prompter);
    ReportDocument document;
    document.title = "Prova";
    document.pageSize = QSizeF(210, 297);
    ReportPage page;
    page.texts.append(
        {QRectF(20, 20, 100, 8), QStringLiteral("Pagina"), ReportFont{"DejaVu Sans", 12, false, false}, Qt::AlignLeft});
    document.pages = QList<ReportPage>(3, page);
    FrmRpt window(context, document, "Stampa Documento di Trasporto", 3);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.resize(1366, 768);
    window.show();
    EXPECT_EQ(window.pageCount(), 3);
    window.findChild<QPushButton *>("ultimaPagina")->click();
    EXPECT_EQ(window.currentPage(), 2);
    EXPECT_EQ(window.findChild<QSpinBox *>("pagina")->value(), 3);

    const QString path = dir.filePath("anteprima.pdf");
    EXPECT_TRUE(window.exportPdf(path));
    EXPECT_EQ(pdfPages(path).size(), 3);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        EXPECT_FALSE(window.printDocument());
        EXPECT_EQ(prompter.texts(), QStringList{"Impostare stampante predefinita"});
    }
}
