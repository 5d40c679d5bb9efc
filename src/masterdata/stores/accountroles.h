#pragma once

#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
class WriteUnit;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// The account a role proposes: its code and description; both empty when
// no account carries the role.
struct RoleAccount {
    QString code;
    QString description;
};

// The account of the chart carrying the role in CONT_AUT. Several may
// carry one ("SPF" marks every closing account): the lowest code wins, on
// every engine.
RoleAccount roleAccount(Services::DataAccess &db, const QString &role);
// The same read inside a write unit (rows the unit wrote count); nothing
// when the read failed, and the unit has failed with it.
std::optional<RoleAccount> roleAccount(Services::WriteUnit &unit, const QString &role);

} // namespace Orlavo::Masterdata
