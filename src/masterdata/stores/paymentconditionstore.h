#pragma once

#include "masterdata/rules/duedates.h"
#include "masterdata/stores/vatcodestore.h"

#include <QList>
#include <QString>

namespace Orlavo::Masterdata {

// TAB_COND_PAG: code, description, kind of payment (DESC_COND), the days
// to each instalment (GIORN1..4), the forced day (GGFORZ) and the start of
// the count (DF_FM, 'D' or 'F'). A count from the document date writes the
// forced day 0; a condition in use is neither deleted nor renamed.
const Services::TableDef &paymentConditionTable();
const CodedTable &paymentConditions();
// The six kinds in the order offered: the letter and its name.
const QList<std::pair<QString, QString>> &paymentKinds();
// A new condition: no kind, no start, every day field 0.
Services::Row newPaymentCondition();
// The condition the due-date rule reads; the description it composes.
PaymentCondition paymentCondition(const Services::Row &row);
QString composedDescription(const Services::Row &row);

} // namespace Orlavo::Masterdata
