#pragma once

#include "masterdata/stores/codedtable.h"

#include <QList>
#include <QString>

namespace Orlavo::Masterdata {

// TAB_PERIVA: code, description, rate, kind (the letter and its text) and
// the base percentage, 100 unless typed.
const Services::TableDef &vatCodeTable();
const CodedTable &vatCodes();
// The six kinds in the order offered: the letter and its DESC_TIPO.
const QList<std::pair<QString, QString>> &vatKinds();
QString vatKindText(const QString &kind);
// A new code: kind "P", base 100.
Services::Row newVatCode();

} // namespace Orlavo::Masterdata
