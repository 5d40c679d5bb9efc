#pragma once

#include "services/core/outcome.h"

#include <QList>
#include <QString>

namespace Orlavo::Services {
class DataAccess;
struct AppState;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// One company as the choice lists it.
struct CompanyRow {
    QString code;
    QString name1;
    QString name2;
};

// Every company of the installation, in code order.
Services::Outcome<QList<CompanyRow>> listCompanies(Services::DataAccess &db);

// Reads the open company's base data, its name and the descriptions of its
// bank and VAT codes into the state. False when the company has no
// DATIBASE row: the values are then empty.
bool loadCompanyData(Services::DataAccess &db, Services::AppState &state);

} // namespace Orlavo::Shell
