#include "masterdata/rules/taxcodes.h"

#include <gtest/gtest.h>

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
