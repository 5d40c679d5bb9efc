#include "archives.h"
#include "files.h"
#include "insertrows.h"
#include "reporting/reportpainter.h"
#include "reporting/stores/reportbuild.h"
#include "reporting/stores/reportfiles.h"
#include "services/data/writeunit.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

using namespace Orlavo;
using namespace Orlavo::Reporting;
using Services::WriteUnit;
using Testing::insertRows;

// Customers 101 and 102, suppliers 201 and 202; 99999, the standard list's
// code, is in neither register and brand 999 is not among the brands. Item
// ACM/TR10 is kept in two warehouses with two descriptions: the lists show
// the first warehouse's.
class PriceListReports : public Testing::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_TRUE(
            insertRows(unit, "ANAG_CLI", "CLIENTE, RAG_SOC1", {{101, "ROSSI MARIO SRL"}, {102, "VERDI & FIGLI SNC"}}));
        ASSERT_TRUE(insertRows(unit, "ANAG_FOR", "FORNITORE, RAG_SOC1",
                               {{201, "FERRAMENTA NORD SPA"}, {202, "UTENSILI SUD SRL"}}));
        ASSERT_TRUE(insertRows(unit, "TAB_MARCHE", "CODICE, DESCRIZIONE",
                               {{"ACM", "ACME UTENSILI"}, {"BET", "BETA ATTREZZI"}}));
        ASSERT_TRUE(insertRows(unit, "ARTICOLI", "MAGAZZINO, MARCA, ARTICOLO, DESC_ART",
                               {{"02", "ACM", "TR10", "TRAPANO DEL DEPOSITO"},
                                {"01", "ACM", "TR10", "TRAPANO A COLONNA"},
                                {"01", "BET", "CH-22", "CHIAVE A TUBO 22"}}));
        ASSERT_TRUE(insertRows(unit, "TAB_SCONCLI", "CLIENTE, MARCA, SC_V1, SC_V2, SC_V3, PERC_RIC",
                               {{101, "ACM", 10.0, 5.0, 2.5, 30.0},
                                {101, "999", 3.0, 0.0, 0.0, 20.0},
                                {99999, "BET", 7.5, 0.0, 0.0, 25.0}}));
        // The sale discounts (33) are not the marked-up list's: it shows the purchase ones.
        ASSERT_TRUE(
            insertRows(unit, "LIST_VEN",
                       "CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO, SC_V1, PR_VENDITA, SC_A1, SC_A2, SC_A3, "
                       "PR_ACQUISTO, PERC_RIC, PR_RICARICATO",
                       {{101, "ACM", "TR10", 201, 1234.5, 33.0, 827.12, 10.0, 5.0, 0.0, 1055.5, 30.0, 1372.15},
                        {101, "ACM", "TR10", 99999, 1200.0, 33.0, 804.0, 0.0, 0.0, 0.0, 1200.0, 30.0, 1560.0},
                        {102, "BET", "CH-22", 201, 8.9, 33.0, 5.96, 0.0, 0.0, 0.0, 8.9, 25.0, 11.13},
                        {99999, "ACM", "TR10", 99999, 1200.0, 33.0, 804.0, 0.0, 0.0, 0.0, 1200.0, 20.0, 1440.0},
                        {99999, "BET", "CH-22", 202, 9.5, 33.0, 6.37, 5.0, 0.0, 0.0, 9.03, 20.0, 10.84}}));
        ASSERT_TRUE(unit.commit());
    }

    // The report of the shipped list, written to a PDF as a print command
    // writes it; its text as pdftotext lays it out, one entry per page.
    QStringList printed(const QString &key, const QString &formula)
    {
        const auto list =
            loadReportList(archives->folder() + QStringLiteral("RPTPERS/"), QStringLiteral(ORLAVO_SHIPPED_REPORTS));
        EXPECT_TRUE(list.damaged.isEmpty()) << list.damaged.join(' ').toStdString();
        const QList<ReportEntry> entries = entriesForKey(list.entries, key);
        if (entries.size() != 1) {
            ADD_FAILURE() << "not one RPTINI.TXT line for " << key.toStdString();
            return {};
        }
        ReportRequest request;
        request.formula = formula;
        const auto document = buildReport(*db, entries.first(), request);
        if (!document) {
            ADD_FAILURE() << document.failure().message.toStdString() << ": "
                          << document.failure().detail.toStdString();
            return {};
        }
        const QString pdf = archives->folder() + key + QStringLiteral(".pdf");
        const auto written = writeReportPdf(*document, pdf);
        EXPECT_TRUE(written.ok());
        return Testing::pdfPages(pdf);
    }
};

// Each list's heading, then lines holding the texts in that order, one line
// after the other: the first row with every column, the next ones by what
// tells them apart (the order, a name or a description the joins did not
// find). What must not print, and the count of rows.
TEST_P(PriceListReports, EachListPrintsItsRowsWithNamesAndDescriptionsInOrder)
{
    const struct {
        const char *key, *formula;
        QList<QStringList> lines;
        QStringList absent;
        int rows;
    } cases[] = {
        {"SCONCLI",
         "",
         {{"Sconti clienti"},
          {"101", "ROSSI MARIO SRL", "999", "3,00", "0,00", "0,00", "20,00"},
          {"101", "ROSSI MARIO SRL", "ACM", "ACME UTENSILI", "10,00"},
          {"99999", "BET", "BETA ATTREZZI", "7,50"}},
         {"FERRAMENTA"},
         3},
        // The personal lists' selection leaves out the standard one.
        {"LISVRIPE",
         "{LIST_VEN.CLIENTE} <> 99999",
         {{"LISTINO VENDITA RICARICATO"},
          {"101", "ROSSI MARIO SRL"},
          {"101", "ACM", "TR10", "TRAPANO A COLONNA", "201", "FERRAMENTA NORD SPA", "1.234,50", "10,00", "5,00", "0,00",
           "1.055,50", "30,00", "1.372,15"},
          {"101", "ACM", "TR10", "99999", "1.200,00"},
          {"102", "VERDI & FIGLI SNC"},
          {"102", "BET", "CH-22", "CHIAVE A TUBO 22", "201", "FERRAMENTA NORD SPA", "8,90"}},
         {"33,00", "1.440,00", "UTENSILI SUD", "TRAPANO DEL DEPOSITO"},
         3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.formula);
        const QStringList pages = printed(QString::fromUtf8(c.key), QString::fromUtf8(c.formula));
        ASSERT_EQ(pages.size(), 1);
        const QString text = pages.first();
        qsizetype from = 0;
        for (const QStringList &expected : c.lines) {
            QStringList texts;
            for (const QString &t : expected)
                texts.append(QRegularExpression::escape(t));
            const auto line =
                QRegularExpression(QStringLiteral("^.*") + texts.join(QStringLiteral(".*")) + QStringLiteral(".*$"),
                                   QRegularExpression::MultilineOption)
                    .match(text, from);
            EXPECT_TRUE(line.hasMatch()) << "missing, or out of order: " << expected.join(" | ").toStdString() << "\n"
                                         << text.toStdString();
            from = line.hasMatch() ? line.capturedEnd() : from;
        }
        for (const QString &a : c.absent)
            EXPECT_FALSE(text.contains(a)) << a.toStdString() << "\n" << text.toStdString();
        const auto total = QRegularExpression(QStringLiteral("Totale righe:\\s+(\\d+)")).match(text);
        EXPECT_EQ(total.captured(1).toInt(), c.rows) << text.toStdString();
    }
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
}

ORLAVO_FOR_EACH_ENGINE(PriceListReports);

} // namespace
