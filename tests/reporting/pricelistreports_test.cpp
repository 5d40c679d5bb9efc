#include "archives.h"
#include "files.h"
#include "reporting/reportpainter.h"
#include "reporting/stores/reportbuild.h"
#include "reporting/stores/reportfiles.h"
#include "services/data/writeunit.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace Orlavo;
using namespace Orlavo::Reporting;
using Services::Params;
using Services::WriteUnit;

// Customers 101 and 102, suppliers 201 and 202; 99999, the standard list's
// code, is in neither register and brand 999 is not among the brands. Item
// ACM/TR10 is kept in two warehouses with two descriptions: the lists show
// the first warehouse's. BET/ZZ9 is on a list but not among the items.
class PriceListReports : public Testing::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        WriteUnit unit(*db, QStringLiteral("Prova"));
        const auto insert = [&unit](const char *table, const char *columns, const QList<Params> &rows) {
            const int width = int(QString::fromUtf8(columns).count(QLatin1Char(',')) + 1);
            QStringList marks(width, QStringLiteral("?"));
            for (const Params &row : rows) {
                if (!unit.execCompany(QStringLiteral("Ins."),
                                      QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                          .arg(QString::fromUtf8(table), QString::fromUtf8(columns), marks.join(',')),
                                      row))
                    return false;
            }
            return true;
        };
        ASSERT_TRUE(insert("ANAG_CLI", "CLIENTE, RAG_SOC1", {{101, "ROSSI MARIO SRL"}, {102, "VERDI & FIGLI SNC"}}));
        ASSERT_TRUE(
            insert("ANAG_FOR", "FORNITORE, RAG_SOC1", {{201, "FERRAMENTA NORD SPA"}, {202, "UTENSILI SUD SRL"}}));
        ASSERT_TRUE(insert("TAB_MARCHE", "CODICE, DESCRIZIONE", {{"ACM", "ACME UTENSILI"}, {"BET", "BETA ATTREZZI"}}));
        ASSERT_TRUE(insert("ARTICOLI", "MAGAZZINO, MARCA, ARTICOLO, DESC_ART",
                           {{"02", "ACM", "TR10", "TRAPANO DEL DEPOSITO"},
                            {"01", "ACM", "TR10", "TRAPANO A COLONNA"},
                            {"01", "BET", "CH-22", "CHIAVE A TUBO 22"}}));
        ASSERT_TRUE(insert("TAB_SCONCLI", "CLIENTE, MARCA, SC_V1, SC_V2, SC_V3, PERC_RIC",
                           {{101, "ACM", 10.0, 5.0, 2.5, 30.0},
                            {101, "999", 3.0, 0.0, 0.0, 20.0},
                            {99999, "BET", 7.5, 0.0, 0.0, 25.0}}));
        ASSERT_TRUE(insert("LIST_ACQ",
                           "FORNITORE, MARCA, ARTICOLO, PR_LISTINO, SC_A1, SC_A2, SC_A3, PR_ACQUISTO, PR_ACQFISSO",
                           {{201, "ACM", "TR10", 1234.5, 10.0, 5.0, 0.0, 1055.5, 0.0},
                            {202, "ACM", "TR10", 1300.0, 12.0, 0.0, 0.0, 1144.0, 0.0},
                            {201, "BET", "CH-22", 8.9, 0.0, 0.0, 0.0, 8.9, 7.5},
                            {202, "BET", "ZZ9", 3.25, 0.0, 0.0, 0.0, 3.25, 0.0},
                            {99999, "ACM", "TR10", 1200.0, 0.0, 0.0, 0.0, 1200.0, 0.0},
                            {99999, "BET", "CH-22", 9.5, 5.0, 0.0, 0.0, 9.03, 0.0}}));
        // Two users' prints under way: each reads its own rows.
        ASSERT_TRUE(insert("LIST_VEN_RIEP",
                           "UTENTE, CLIENTE, MARCA, ARTICOLO, PR_LISTINO, SC_V1, SC_V2, SC_V3, PR_VENDITA, PR_VENFISSO",
                           {{"MARIO", 101, "ACM", "TR10", 1234.5, 20.0, 10.0, 0.0, 888.84, 0.0},
                            {"MARIO", 101, "BET", "CH-22", 8.9, 0.0, 0.0, 0.0, 8.9, 8.5},
                            {"MARIO", 102, "ACM", "TR10", 1234.5, 15.0, 0.0, 0.0, 1049.33, 0.0},
                            {"LUIGI", 99999, "ACM", "TR10", 1200.0, 10.0, 0.0, 0.0, 1080.0, 0.0},
                            {"LUIGI", 99999, "BET", "CH-22", 9.5, 0.0, 0.0, 0.0, 9.5, 0.0}}));
        // The sale discounts (33) are not the marked-up list's: it shows the purchase ones.
        ASSERT_TRUE(insert("LIST_VEN",
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
        const auto entry = std::find_if(list.entries.cbegin(), list.entries.cend(),
                                        [&key](const ReportEntry &e) { return e.key == key; });
        if (entry == list.entries.cend()) {
            ADD_FAILURE() << "no RPTINI.TXT line for " << key.toStdString();
            return {};
        }
        ReportRequest request;
        request.formula = formula;
        const auto document = buildReport(*db, *entry, request);
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

struct Expected {
    const char *key;
    const char *formula;
    QList<QStringList> lines; // each line's texts left to right; the lines in order
    QStringList absent;
    int rows;
};

// The first line at or after from holding the texts in that order, or -1.
qsizetype findLine(const QStringList &lines, qsizetype from, const QStringList &texts)
{
    for (qsizetype i = from; i < lines.size(); ++i) {
        qsizetype at = 0;
        bool all = true;
        for (const QString &t : texts) {
            at = lines[i].indexOf(t, at);
            if (at < 0) {
                all = false;
                break;
            }
            at += t.size();
        }
        if (all)
            return i;
    }
    return -1;
}

TEST_P(PriceListReports, EachListPrintsItsRowsWithNamesAndDescriptionsInOrder)
{
    const std::vector<Expected> cases = {
        {"SCONCLI",
         "",
         {{"Sconti clienti"},
          {"101", "ROSSI MARIO SRL", "999", "3,00", "0,00", "0,00", "20,00"},
          {"101", "ROSSI MARIO SRL", "ACM", "ACME UTENSILI", "10,00", "5,00", "2,50", "30,00"},
          {"99999", "BET", "BETA ATTREZZI", "7,50", "0,00", "0,00", "25,00"}},
         {"FERRAMENTA"},
         3},
        // The personal lists' selection leaves out the standard one.
        {"LISACQPE",
         "{LIST_ACQ.FORNITORE} <> 99999",
         {{"LISTINO ACQUISTO"},
          {"201", "FERRAMENTA NORD SPA", "ACM", "TR10", "TRAPANO A COLONNA", "1.234,50", "10,00", "5,00", "0,00",
           "1.055,50", "0,00"},
          {"202", "UTENSILI SUD SRL", "ACM", "TR10", "TRAPANO A COLONNA", "1.300,00", "12,00", "0,00", "0,00",
           "1.144,00", "0,00"},
          {"201", "FERRAMENTA NORD SPA", "BET", "CH-22", "CHIAVE A TUBO 22", "8,90", "0,00", "0,00", "0,00", "8,90",
           "7,50"},
          {"202", "UTENSILI SUD SRL", "BET", "ZZ9", "3,25", "0,00", "0,00", "0,00", "3,25", "0,00"}},
         {"99999", "1.200,00", "TRAPANO DEL DEPOSITO"},
         4},
        {"LISVSCPE",
         "{LIST_VEN_RIEP.UTENTE} = 'MARIO'",
         {{"LISTINO VENDITA SCONTATO"},
          {"101", "ROSSI MARIO SRL", "ACM", "TR10", "TRAPANO A COLONNA", "1.234,50", "20,00", "10,00", "0,00", "888,84",
           "0,00"},
          {"101", "ROSSI MARIO SRL", "BET", "CH-22", "CHIAVE A TUBO 22", "8,90", "0,00", "0,00", "0,00", "8,90",
           "8,50"},
          {"102", "VERDI & FIGLI SNC", "ACM", "TR10", "TRAPANO A COLONNA", "1.234,50", "15,00", "0,00", "0,00",
           "1.049,33", "0,00"}},
         {"99999", "1.080,00", "TRAPANO DEL DEPOSITO"},
         3},
        {"LISVRIPE",
         "{LIST_VEN.CLIENTE} <> 99999",
         {{"LISTINO VENDITA RICARICATO"},
          {"101", "ROSSI MARIO SRL"},
          {"101", "ACM", "TR10", "TRAPANO A COLONNA", "201", "FERRAMENTA NORD SPA", "1.234,50", "10,00", "5,00", "0,00",
           "1.055,50", "30,00", "1.372,15"},
          {"101", "ACM", "TR10", "TRAPANO A COLONNA", "99999", "1.200,00", "0,00", "0,00", "0,00", "1.200,00", "30,00",
           "1.560,00"},
          {"102", "VERDI & FIGLI SNC"},
          {"102", "BET", "CH-22", "CHIAVE A TUBO 22", "201", "FERRAMENTA NORD SPA", "8,90", "0,00", "0,00", "0,00",
           "8,90", "25,00", "11,13"}},
         {"33,00", "1.440,00", "UTENSILI SUD", "TRAPANO DEL DEPOSITO"},
         3},
    };
    for (const Expected &c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.formula);
        const QStringList pages = printed(QString::fromUtf8(c.key), QString::fromUtf8(c.formula));
        ASSERT_EQ(pages.size(), 1);
        const QString text = pages.first();
        const QStringList lines = text.split(QLatin1Char('\n'));
        qsizetype from = 0;
        for (const QStringList &expected : c.lines) {
            const qsizetype at = findLine(lines, from, expected);
            EXPECT_GE(at, 0) << "missing, or out of order: " << expected.join(" | ").toStdString() << "\n"
                             << text.toStdString();
            from = at < 0 ? from : at + 1;
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
