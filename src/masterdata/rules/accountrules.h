#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace Orlavo::Masterdata {

// The account types of the chart: the stored letter and the word the
// operator chooses ("C" COSTO, "R" RICAVO, "P" PATRIMONIALE).
const QList<std::pair<QString, QString>> &accountTypes();
// The word of a letter; empty for a letter that is no type.
QString accountTypeWord(const QString &letter);

// The roles an account may carry in CONT_AUT, each with what it marks: the
// accounts the documents, payments and closings propose by default.
const QList<std::pair<QString, QString>> &accountRoles();
// A blank role (no role) or one of the list.
bool isAccountRole(const QString &role);
// Whether an account of this type may carry the role: revenue for "RIC",
// cost for "COS", balance sheet for the parties', VAT, cash and bank
// roles; any type for the others and for no role.
bool roleFitsType(const QString &role, const QString &type);

} // namespace Orlavo::Masterdata
