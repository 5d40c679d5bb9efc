#pragma once

#include <QString>

namespace Orlavo::Services {

// The application folder, where CONT.INI, CONT.LOG and the BMP, RPT, RPTPERS
// and IMAGE folders lie: ORLAVO_HOME when set; else the executable's folder
// when it can be written (a build or an unpacked copy); else a per-user data
// folder, seeded on first use from the installed shared files.
QString applicationFolder();

// The folder for a given environment, executable folder and per-user
// folder; seeding copies the shared files that are missing.
QString chooseApplicationFolder(const QString &envHome, const QString &exeFolder, const QString &userFolder,
                                const QString &sharedFolder);

} // namespace Orlavo::Services
