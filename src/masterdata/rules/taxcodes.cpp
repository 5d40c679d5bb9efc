#include "masterdata/rules/taxcodes.h"

#include <QRegularExpression>

#include <array>

namespace Orlavo::Masterdata {

namespace {
constexpr char kIncomplete[] = "Non è completo.";
constexpr char kFormat[] = "Il formato corretto è 'xxx xxx 99x99 x999x'\n(x = lettere, 9 = numeri)";
constexpr char kMonth[] = "Il mese (9º carattere) deve essere una delle seguenti lettere\n'A B C D E H L M P R S T'";
constexpr char kDay[] = "Il giorno (10º e 11º carattere) deve essere compreso tra 1 e 31 oppure tra 41 e 71";
constexpr char kCheck[] = "Il discriminante (ultimo carattere) dovrebbe essere '%1'";
constexpr char kMonths[] = "ABCDEHLMPRST";
// The published values of the characters in odd places, A to Z; digits
// count as the letters A to J.
constexpr std::array<int, 26> kOddValues = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                            20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

bool isLetter(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Letters at 1-6, 9, 12, 16; digits at 7-8, 10-11, 13-15 (counting from 1).
bool wellFormed(const QString &code)
{
    for (int i = 0; i < 16; ++i) {
        const int place = i + 1;
        const bool digit = (place >= 7 && place <= 8) || (place >= 10 && place <= 11) || (place >= 13 && place <= 15);
        if (digit ? !isDigit(code.at(i)) : !isLetter(code.at(i)))
            return false;
    }
    return true;
}

QChar checkLetter(const QString &code)
{
    int sum = 0;
    for (int i = 0; i < 15; ++i) {
        const QChar c = code.at(i);
        const int index = isDigit(c) ? c.unicode() - u'0' : c.unicode() - u'A';
        // Places 1, 3, ... 15 are the odd ones.
        sum += i % 2 == 0 ? kOddValues.at(index) : index;
    }
    return QChar(u'A' + sum % 26);
}
} // namespace

int ctrlPartitaIva(const QString &text)
{
    const QString number = text.leftJustified(11, QLatin1Char(' '), true);
    for (const QChar c : number) {
        if (!isDigit(c))
            return 1;
    }
    int total = 0;
    for (int i = 0; i < 10; ++i) {
        const int digit = number.at(i).unicode() - u'0';
        if (i % 2 == 0) {
            total += digit;
        } else {
            const int doubled = digit * 2;
            total += doubled / 10 + doubled % 10;
        }
    }
    const int expected = (10 - total % 10) % 10;
    return expected == number.at(10).unicode() - u'0' ? 0 : 1;
}

bool ctrlCodFisc(const QString &text, QString *message)
{
    const QString code = text.trimmed().toUpper();
    const auto fail = [message](const QString &why) {
        if (message)
            *message = why;
        return false;
    };
    if (code.isEmpty())
        return true;
    if (code.size() != 16)
        return fail(QString::fromUtf8(kIncomplete));
    if (!wellFormed(code))
        return fail(QString::fromUtf8(kFormat));
    if (!QLatin1String(kMonths).contains(code.at(8)))
        return fail(QString::fromUtf8(kMonth));
    const int day = code.mid(9, 2).toInt();
    if (!((day >= 1 && day <= 31) || (day >= 41 && day <= 71)))
        return fail(QString::fromUtf8(kDay));
    const QChar expected = checkLetter(code);
    if (code.at(15) != expected)
        return fail(QString::fromUtf8(kCheck).arg(expected));
    return true;
}

std::optional<TaxCodePerson> personFromTaxCode(const QString &text, const QDate &today)
{
    const QString code = text.trimmed().toUpper();
    if (code.size() != 16 || !ctrlCodFisc(code))
        return std::nullopt;
    int day = code.mid(9, 2).toInt();
    const QChar sex = day < 32 ? QLatin1Char('M') : QLatin1Char('F');
    if (day > 40)
        day -= 40;
    const int month = int(QLatin1String(kMonths).indexOf(code.at(8))) + 1;
    const int yy = code.mid(6, 2).toInt();
    QDate birth(2000 + yy, month, day);
    if (!birth.isValid() || birth > today)
        birth = QDate(1900 + yy, month, day);
    if (!birth.isValid())
        return std::nullopt;
    const QString place = code.mid(11, 4);
    return TaxCodePerson{sex, birth, place};
}

std::optional<QString> doubtfulTaxCode(const QString &code)
{
    const QString trimmed = code.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    static const QRegularExpression elevenDigits(QStringLiteral("^[0-9]{11}$"));
    if (elevenDigits.match(trimmed).hasMatch() && ctrlPartitaIva(trimmed) == 0)
        return std::nullopt;
    QString message;
    if (ctrlCodFisc(trimmed, &message))
        return std::nullopt;
    return message;
}

} // namespace Orlavo::Masterdata
