#include "sales/stores/invoicesettings.h"
#include "services/core/settings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Sales;

// The two keys that moved to FATTURA are taken over from MAIN once, the
// old ones marked; every missing key is written back with its default.
TEST(InvoiceSettings, MovedKeysAreTakenOverAndDefaultsWrittenBack)
{
    QTemporaryDir dir;
    const Services::Settings settings(dir.filePath(QStringLiteral("CONT.INI")));
    settings.write("MAIN", "TIPOFATTURA", "ACC");
    settings.write("MAIN", "NUMERAZNOTEDEBSEP", "SI");
    settings.write("MAIN", "SCONTICALCOLATI", "NO");
    InvoiceSettings read = readInvoiceSettings(settings);
    EXPECT_TRUE(read.accompanying);
    EXPECT_TRUE(read.debitNotesApart);
    EXPECT_FALSE(read.computedDiscounts);
    EXPECT_TRUE(read.todayOnInvoice);
    EXPECT_EQ(read.priceSource, "L");
    EXPECT_EQ(settings.read("FATTURA", "TIPOFATTURA"), "A");
    EXPECT_EQ(settings.read("MAIN", "TIPOFATTURA"), "** NON USATO **");
    EXPECT_EQ(settings.read("FATTURA", "NUMERAZNOTEDEBSEP"), "SI");
    EXPECT_EQ(settings.read("MAIN", "NUMERAZNOTEDEBSEP"), "** NON USATO **");
    EXPECT_EQ(settings.read("MAIN", "PREZZOBOLLA"), "L");
    EXPECT_EQ(settings.read("IMPORTADOC", "ORDINAMENTODDTINFATT"), "1");
    EXPECT_EQ(settings.read("RITACC_SU_FVEND", "RITENUTA"), "NO");

    // Read again: the FATTURA values stand; a plain invoice kind stays "N".
    settings.write("FATTURA", "TIPOFATTURA", "N");
    read = readInvoiceSettings(settings);
    EXPECT_FALSE(read.accompanying);
    EXPECT_TRUE(read.debitNotesApart);

    ASSERT_TRUE(writeWithholdingSettings(settings, true, "RA1", "20", "RIT"));
    read = readInvoiceSettings(settings);
    EXPECT_TRUE(read.withholding);
    EXPECT_EQ(read.withholdingCausal + read.withholdingRate + read.withholdingAccount, "RA120RIT");
    ASSERT_TRUE(writeWithholdingSettings(settings, false, {}, {}, {}));
    EXPECT_FALSE(readInvoiceSettings(settings).withholding);
}
