#include "masterdata/rules/vatrules.h"

#include <gtest/gtest.h>

using namespace Orlavo::Masterdata;

TEST(VatRounding, RoundsUpOnlyWhatIsInexact)
{
    struct Case {
        double value;
        int decimals;
        double up;
        double nearest;
    } cases[] = {
        {22 * 10.05 / 100, 2, 2.22, 2.21},   // 2,211
        {22 * 45.50 / 100, 2, 10.01, 10.01}, // exact, whatever the binary figure
        {10.001, 2, 10.01, 10.00},           {10.00, 2, 10.00, 10.00},
        {22 * 50.25 / 100, 2, 11.06, 11.06}, // 11,055: halves away from zero
        {10 * 12345.0 / 100, 0, 1235, 1235}, // lire: 1.234,5
        {20 * 12347.0 / 100, 0, 2470, 2469}, // lire: 2.469,4
        {-10.001, 2, -10.01, -10.00},        // a negative VAT in magnitude
        {0.0001, 3, 0.001, 0.000},
    };
    for (const Case &c : cases) {
        EXPECT_DOUBLE_EQ(roundVat(c.value, c.decimals, true), c.up) << c.value;
        EXPECT_DOUBLE_EQ(roundVat(c.value, c.decimals, false), c.nearest) << c.value;
    }
}

TEST(ManualVat, AcceptedWithinThreeThousandthsOrOneUnit)
{
    EXPECT_TRUE(manualVatAccepted(100.30, 100.00, 2, false));
    EXPECT_TRUE(manualVatAccepted(99.70, 100.00, 2, false));
    EXPECT_FALSE(manualVatAccepted(100.31, 100.00, 2, false));
    EXPECT_FALSE(manualVatAccepted(100.40, 100.00, 2, false));
    EXPECT_FALSE(manualVatAccepted(101.00, 100.00, 2, false));
    // A cent can always be corrected, though it is more than 0,3 %.
    EXPECT_TRUE(manualVatAccepted(2.22, 2.21, 2, false));
    EXPECT_FALSE(manualVatAccepted(2.23, 2.21, 2, false));
    // Nothing computed: nothing to correct.
    EXPECT_FALSE(manualVatAccepted(100.40, 0, 2, false));
    EXPECT_FALSE(manualVatAccepted(5, 0, 2, true));
    // VAT-only documents take any figure; credit notes compare magnitudes.
    EXPECT_TRUE(manualVatAccepted(150, 100, 2, true));
    EXPECT_TRUE(manualVatAccepted(-100.30, -100.00, 2, false));
}
