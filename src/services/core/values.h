#pragma once

#include <QDate>
#include <QString>

namespace Orlavo::Services {

class Decimals;

// The lire/euro rate, fixed by law.
inline constexpr double kEuroLireRate = 1936.27;

// Rounds as a person reading the printed figure would: the value is first
// taken to 15 significant digits, then halves go away from zero at the
// given decimals (2.675 → 2.68, 1.005 → 1.01, -0.5 → -1).
double roundDec(double value, int decimals);
// The same with a decimals argument (a digit or a currency code).
double roundDec(double value, const QString &decimals, Decimals &resolver);

// Rounding with the decimals as text: a whole number is a count ("0" to
// "10"; below 0 is 0, more than 10 is 10, so "100" and "1000" are never
// currency codes); any other text is a currency code whose decimals the
// resolver gives (unknown: 0). Every mode rounds as roundDec does: the mode
// is kept for the callers that pass one.
double roundGeneral(double value, const QString &decimals, Decimals &resolver, int mode = 0);

// "1.234.567,89": rounded, comma for decimals, point for thousands, whatever
// the system locale.
QString formatGrouped(double value, int decimals);

// Amounts: "1.234.567,89", "-1.234,50", "0,00". With no decimals a zero
// amount is the empty text (a blank column, not a row of zeros).
QString formatAmount(double value, int decimals);
QString formatAmount(double value, const QString &decimals, Decimals &resolver);

// Figures with no thousands separators: "1234567,89". The integer part
// shows no leading zero, so 0.5 at 2 decimals is ",50" and 0 at 2 is ",00";
// with no decimals there is no comma and zero is the empty text.
QString formatPlain(double value, int decimals);
// The same for the thirteen-digit columns.
QString formatPlain13(double value, int decimals);

// A number written for SQL text: point for decimals, no separators, at
// least one integer digit ("1234.50", "0.00", "0"). Text is read with a
// comma or a point for decimals ("1.234,5" and "1234.5" alike); empty or
// blank text stays empty, text that is not a number counts as zero.
QString sqlNumber(double value, int decimals);
QString sqlNumber(const QString &value, int decimals);

// Text a figure field holds as a number: an optional sign, digits and one
// decimal comma or point ("12", "-0,5", ",25"); blanks around are ignored.
bool isNumberText(const QString &text);

// Every comma becomes a point; the empty text becomes "0".
QString commaToPoint(const QString &text);

// A day/month/year date as typed: "/", "-" or a blank between the parts,
// one or two digits for day and month, a year of four digits or of two
// (00-29 are 2000-2029, 30-99 are 1930-1999); surrounding blanks are
// ignored. Anything else gives an invalid date.
QDate parseItalianDate(const QString &text);

// Days since 30/12/1899 ("31/12/1899" is 1); 0 for text that is not a
// date, 2147483647 for a year after 2500.
int dateSerial(const QString &text);

} // namespace Orlavo::Services
