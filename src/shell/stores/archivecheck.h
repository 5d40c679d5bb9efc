#pragma once

#include <QString>
#include <QStringList>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// The SQLite archives in use: the services file and the open company's.
QStringList archiveFiles(const Services::DataAccess &db);

// SQLite's full integrity check of every archive in use: the damage found,
// one text per damaged archive; empty when all are sound.
QStringList archiveDamage(const Services::DataAccess &db);

} // namespace Orlavo::Shell
