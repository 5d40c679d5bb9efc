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
    void seed() override
    {
        useShippedReports();
        addStandardData();
        for (const char *sql : {
                 "INSERT INTO TAB_MAGAZZINI (CODICE, DESCRIZIONE) VALUES ('02', 'DEPOSITO NORD')",
                 "INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'ACME UTENSILI')",
                 // A code with a quote: the selection must still name it exactly.
                 "INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, PREZZO_LIST, PREZZO_IVA_INC, NUM_DEC, "
                 "PREZZO_LIST_E, NUM_DEC_E, PREZZO_LIST_3, NUM_DEC_3, PREZZO_ACQ, PREZZO_V1, ESISTENZA, IMPEGNATO) "
                 "VALUES ('01', 'ACM', 'TR\"10', 'TRAPANO A COLONNA', 12.345, 15.061, 3, 10.5, 2, 1234, 0, 7.125, "
                 "14.2, 42.5, 4)",
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
        return Orlavo::Testing::pdfText(command.pdfPath);
    }
};

} // namespace

TEST_P(ItemPrints, TheCardHoldsTheChosenItemsFiguresWithTheirDecimals)
{
    const QString card = print({"01", "ACM", "TR\"10"});
    const QStringList present = {"Scheda articolo", "TR\"10", "TRAPANO A COLONNA", "MAGAZZINO PRINCIPALE",
                                 "ACME UTENSILI",
                                 // Each list price with its own decimals; purchase and sale with those of price 1.
                                 "12,345", "15,061", "10,50", "1.234", "7,125", "14,200", "42,500", "4,000"};
    for (const QString &p : present)
        EXPECT_TRUE(card.contains(p)) << "missing " << p.toStdString() << "\n" << card.toStdString();
    for (const char *absent : {"ALTRO TRAPANO", "TRAPANO DEL DEPOSITO", "DEPOSITO NORD"})
        EXPECT_FALSE(card.contains(absent)) << absent << "\n" << card.toStdString();
}

ORLAVO_FOR_EACH_ENGINE(ItemPrints);
