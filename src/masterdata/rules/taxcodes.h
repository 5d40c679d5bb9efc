#pragma once

#include <QChar>
#include <QDate>
#include <QString>

#include <optional>

namespace Orlavo::Masterdata {

// CtrlPartitaIva: the Italian VAT number's check digit. 1 when the number
// is wrong (a blank anywhere in its 11 places, a letter, a wrong last
// digit), 0 when it is right.
int ctrlPartitaIva(const QString &text);

// CtrlCodFisc: a personal tax code of 16 characters, checked in order
// (length, format, month letter, day, check letter). An empty text is
// valid. On failure, message gets the operator's text.
bool ctrlCodFisc(const QString &text, QString *message = nullptr);

// What a valid 16-character tax code says of its holder.
struct TaxCodePerson {
    QChar sex; // 'M' or 'F'
    QDate birth;
    QString birthplace; // the cadastral code of the town (or "Z..." abroad)
};

// The sex and birth date of a tax code that passes ctrlCodFisc; a two-digit
// year is 20yy unless that date would be after today, else 19yy.
std::optional<TaxCodePerson> personFromTaxCode(const QString &code, const QDate &today = QDate::currentDate());

// A tax code the operator must confirm: the failing check's message, or
// nothing when the code is blank, valid, or an 11-digit VAT number (a
// firm's tax code is often its VAT number).
std::optional<QString> doubtfulTaxCode(const QString &code);

} // namespace Orlavo::Masterdata
