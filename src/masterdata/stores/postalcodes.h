#pragma once

#include <QList>
#include <QString>

#include <optional>

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
// the program (the first company has no archive of its own yet). A town
// with no postal code known still gives its province, from the list of
// municipalities, with a blank postal code.
QList<Place> placesOfTown(Services::DataAccess &db, const QString &town);

// A municipality of the list shipped with the program.
struct Town {
    QString name;
    QString province;
};
// The town of a cadastral code (a tax code's birthplace); nothing for one
// not in the list (abroad, or merged into another since).
std::optional<Town> townOfCadastralCode(Services::DataAccess &db, const QString &code);

// The province code is in TAB_PROV (case ignored).
bool provinceExists(Services::DataAccess &db, const QString &code);

} // namespace Orlavo::Masterdata
