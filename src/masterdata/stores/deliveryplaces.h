#pragma once

#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A delivery place of a customer: a row of CONS_MERCE, keyed by customer
// (CLIENTE) and number (COD_LUOGO); KKMM is the distance in kilometres
// (empty when nought), PREDEF the default place (-1).
using DeliveryPlace = Services::Row;

// The decimals of the distance.
inline constexpr int kDistanceDecimals = 2;

const Services::TableDef &deliveryPlaceTable();
// An empty place of the customer.
DeliveryPlace newDeliveryPlace(int customer, int code = 0);

// The customer's places by number.
Services::Outcome<QList<DeliveryPlace>> listDeliveryPlaces(Services::DataAccess &db, int customer);
// One place; nullopt when it is not stored.
Services::Outcome<std::optional<DeliveryPlace>> findDeliveryPlace(Services::DataAccess &db, int customer, int code);
// The number a new place gets: the highest stored plus one, 1 for the first.
int nextPlaceCode(Services::DataAccess &db, int customer);
bool placeExists(Services::DataAccess &db, int customer, int code);

// How a place is written: a new one; a new one taking the place of the
// stored row with its number; the stored row changed.
enum class PlaceSave { Insert, Replace, Update };

// How a write ends: Duplicate when an insert finds the number stored under
// the lock, Gone when an update or delete finds no row (nothing written,
// nothing reported); a failure is reported.

// The writes take the lock TUTTO and run in one transaction; errors are
// reported under "Gestione luoghi consegna merce". A default place first
// takes the flag away from the customer's other places.
// An update writes what changed from `loaded`.
Services::WriteResult saveDeliveryPlace(Services::DataAccess &db, const DeliveryPlace &place, PlaceSave how,
                                        const std::optional<DeliveryPlace> &loaded = std::nullopt);
Services::WriteResult deleteDeliveryPlace(Services::DataAccess &db, int customer, int code);

} // namespace Orlavo::Masterdata
