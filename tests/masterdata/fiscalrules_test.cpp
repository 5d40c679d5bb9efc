#include "masterdata/rules/taxcodes.h"
#include "masterdata/rules/vatrules.h"

#include <gtest/gtest.h>

// The fiscal rules: VAT numbers and tax codes, VAT rounding and the
// manual-VAT tolerance.

using namespace Orlavo::Masterdata;

TEST(TaxCodes, VatNumberCheckDigit)
{
    EXPECT_EQ(ctrlPartitaIva(QStringLiteral("12345678903")), 0);
    EXPECT_EQ(ctrlPartitaIva(QStringLiteral("00000000000")), 0);
    // A wrong last digit, a short number, blanks, letters.
    for (const char *bad : {"12345678902", "", "1234567890 ", "1234567890A"})
        EXPECT_EQ(ctrlPartitaIva(QString::fromLatin1(bad)), 1) << bad;
    // Only the first 11 places count, as the field holds them.
    EXPECT_EQ(ctrlPartitaIva(QStringLiteral("123456789039")), 0);
}

TEST(TaxCodes, PersonalCodeChecksRunInOrderWithTheirMessages)
{
    QString message;
    EXPECT_TRUE(ctrlCodFisc(QStringLiteral("RSSMRA85T10A562S"), &message));
    EXPECT_TRUE(ctrlCodFisc(QStringLiteral(" rssmra85t10a562s "), &message));
    EXPECT_TRUE(ctrlCodFisc(QStringLiteral("   "), &message));
    EXPECT_TRUE(message.isEmpty());

    const struct {
        const char *code;
        const char *message;
    } cases[] = {
        // Length comes first, whatever else is wrong.
        {"12", "Non è completo."},
        {"RSSMRA85T10A56ZS", "Il formato corretto è 'xxx xxx 99x99 x999x'\n(x = lettere, 9 = numeri)"},
        {"RSSMRA85F10A562S",
         "Il mese (9º carattere) deve essere una delle seguenti lettere\n'A B C D E H L M P R S T'"},
        {"RSSMRA85T32A562S", "Il giorno (10º e 11º carattere) deve essere compreso tra 1 e 31 oppure tra 41 e 71"},
        {"RSSMRA85T00A562S", "Il giorno (10º e 11º carattere) deve essere compreso tra 1 e 31 oppure tra 41 e 71"},
        {"RSSMRA85T72A562S", "Il giorno (10º e 11º carattere) deve essere compreso tra 1 e 31 oppure tra 41 e 71"},
        {"VRDLGU70A41F205Z", "Il discriminante (ultimo carattere) dovrebbe essere 'V'"},
    };
    for (const auto &c : cases) {
        message.clear();
        EXPECT_FALSE(ctrlCodFisc(QString::fromLatin1(c.code), &message)) << c.code;
        EXPECT_EQ(message, QString::fromUtf8(c.message)) << c.code;
    }
}

TEST(TaxCodes, SexAndBirthDateComeFromAValidCode)
{
    const QDate today(2026, 12, 6);
    const auto man = personFromTaxCode(QStringLiteral("RSSMRA85T10A562S"), today);
    ASSERT_TRUE(man.has_value());
    EXPECT_EQ(man->sex, QLatin1Char('M'));
    EXPECT_EQ(man->birth, QDate(1985, 12, 10));

    EXPECT_EQ(man->birthplace, "A562"); // the cadastral code of the town of birth
    const auto woman = personFromTaxCode(QStringLiteral("VRDLGU70A41F205V"), today);
    ASSERT_TRUE(woman.has_value());
    EXPECT_EQ(woman->sex, QLatin1Char('F'));
    EXPECT_EQ(woman->birth, QDate(1970, 1, 1));

    // 20yy unless that date is still to come.
    EXPECT_EQ(personFromTaxCode(QStringLiteral("RSSMRA05A01A562L"), today)->birth, QDate(2005, 1, 1));
    EXPECT_EQ(personFromTaxCode(QStringLiteral("RSSMRA26A01A562Q"), today)->birth, QDate(2026, 1, 1));
    EXPECT_EQ(personFromTaxCode(QStringLiteral("RSSMRA26T31A562G"), today)->birth, QDate(1926, 12, 31));

    EXPECT_FALSE(personFromTaxCode(QStringLiteral("RSSMRA85T10A562A"), today).has_value());
    EXPECT_FALSE(personFromTaxCode(QString(), today).has_value());
}

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
