#pragma once

#include "stores/companyarchive.h"

#include <optional>

class QWidget;

namespace Orlavo::Shell {

struct AppContext;
struct LookupRequest;

// "Lista C.A.P.": postal code, town and province of TAB_CAP, all of them or
// those of one town.
LookupRequest postalCodeList(const QString &town = {});

// The postal code and province of a town the operator typed: the only one,
// or the one picked from the town's list when it has several. Nothing when
// the town is unknown or the operator leaves the list.
std::optional<CompanyReferences::Place> placeOfTown(AppContext &context, const QString &town,
                                                    QWidget *parent = nullptr);

// A row the operator picks from the whole "Lista C.A.P." (F4 on a postal
// code); nothing when he leaves the list.
struct PostalPlace {
    QString postalCode;
    QString town;
    QString province;
};
std::optional<PostalPlace> pickPostalCode(AppContext &context, QWidget *parent = nullptr);

} // namespace Orlavo::Shell
