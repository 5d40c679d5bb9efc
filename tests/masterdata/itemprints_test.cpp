#include "masterdata/stores/itemprints.h"
#include "masterdatatest.h"
#include "ui/frmrpt.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

// Company "01" with its standard data; brand ACM with two items in
// warehouse 01, one of them also in warehouse 02.
class ItemPrints : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void SetUp() override
    {
        MasterdataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        useShippedReports();
        addStandardData();
        for (const char *sql : {
                 "INSERT INTO TAB_MAGAZZINI (CODICE, DESCRIZIONE) VALUES ('02', 'DEPOSITO NORD')",
                 "INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'ACME UTENSILI')",
                 "INSERT INTO TAB_MERCE (CODICE, DESCRIZIONE) VALUES ('UT', 'UTENSILERIA')",
                 "INSERT INTO TAB_CCOS (CODICE, DESCRIZIONE) VALUES ('PR', 'PRODUZIONE')",
                 // A code with a quote: the selection must still name it exactly.
                 "INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, COD_BARRE, TIPO_BARRE, COD_MERCE, "
                 "COD_IVA, UNITA_MIS, UNITA_MIS2, RAPPORTO, PREZZO_LIST, PREZZO_IVA_INC, NUM_DEC, PREZZO_LIST_E, "
                 "NUM_DEC_E, PREZZO_LIST_3, NUM_DEC_3, PREZZO_ACQ, SC_A1, PREZZO_V1, SC_V1, SC_V2, PERC_RIC, "
                 "ESISTENZA, IMPEGNATO, ULT_CARICO, VAL_CARICO, CONTO, CCOS, COMPOSTO, NON_USARE, FOTOGR) VALUES "
                 "('01', 'ACM', 'TR\"10', 'TRAPANO A COLONNA', '8001234567890', '13', 'UT', '22', 'PZ', 'CF', 6, "
                 "12.345, 15.061, 3, 10.5, 2, 1234, 0, 7.125, 12.5, 14.2, 10, 2.5, 30, 42.5, 4, '2026-02-27', "
                 "1875.4, '041001', 'PR', -1, 0, '01_ACM_TR_10.png')",
                 "INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART) VALUES ('01', 'ACM', 'TR10', "
                 "'ALTRO TRAPANO'), ('02', 'ACM', 'TR\"10', 'TRAPANO DEL DEPOSITO')",
             })
            run(QString::fromUtf8(sql));
    }

    QString print(const ItemKey &key)
    {
        Reporting::PrintCommand command = itemCardPrint(key);
        command.output = Reporting::ReportOutput::Pdf;
        command.pdfPath = archives->folder() + "scheda.pdf";
        EXPECT_TRUE(Ui::printReport(*context, command)) << prompter.texts().join('|').toStdString();
        EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
        pages = Orlavo::Testing::pdfPages(command.pdfPath);
        return pages.join('\n');
    }

    QStringList pages;
};

} // namespace

TEST_P(ItemPrints, TheCardHoldsTheChosenItemsFiguresWithTheirDecimals)
{
    const QString card = print({"01", "ACM", "TR\"10"});
    EXPECT_EQ(pages.size(), 1);
    const QStringList present = {
        "Scheda articolo", "TR\"10", "TRAPANO A COLONNA", "MAGAZZINO PRINCIPALE", "ACME UTENSILI", "8001234567890",
        "EAN 13", "UTENSILERIA", "PEZZI", "CF", "6,000", "IVA 22%",
        // Each list price with its own decimals; purchase and sale with those of price 1.
        "12,345", "15,061", "10,50", "1.234", "7,125", "12,50", "14,200", "10,00", "2,50", "30,00",
        // Stock, accounts.
        "42,500", "4,000", "27/02/2026", "1.875,40", "041001", "MERCI C/VENDITE", "PRODUZIONE", "01_ACM_TR_10.png"};
    for (const QString &p : present)
        EXPECT_TRUE(card.contains(p)) << "missing " << p.toStdString() << "\n" << card.toStdString();
    for (const char *absent : {"ALTRO TRAPANO", "TRAPANO DEL DEPOSITO", "DEPOSITO NORD"})
        EXPECT_FALSE(card.contains(absent)) << absent << "\n" << card.toStdString();
}

ORLAVO_FOR_EACH_ENGINE(ItemPrints);
