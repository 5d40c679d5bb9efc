#pragma once

#include <QList>
#include <QString>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A postal code of a town and the town's province.
struct Place {
    QString postalCode;
    QString province;

    bool operator==(const Place &) const = default;
};

// The postal codes of a town, case ignored, in postal-code order: from
// TAB_CAP when a company is open, else from the standard data shipped with
// the program (the first company has no archive of its own yet).
QList<Place> placesOfTown(Services::DataAccess &db, const QString &town);

// The province code is in TAB_PROV (case ignored).
bool provinceExists(Services::DataAccess &db, const QString &code);

} // namespace Orlavo::Masterdata
