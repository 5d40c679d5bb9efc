#pragma once

#include "services/core/outcome.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// The two phases of a backup, as the progress reports them: the consistent
// copies of the databases, then their way into the archive.
inline constexpr char kBackupPreparing[] = "Attendere, preparazione dati per salvataggio in corso";
inline constexpr char kBackupCopying[] = "Attendere, copia in corso";

// What a backup into a folder would take.
struct BackupPlan {
    // The files inside the archive: SERVIZI.MDB, CONTABnn.MDB, ... or the
    // server's dump, then LEGGIMI.TXT.
    QStringList items;
    // Room the work needs in the folder, temporary copies included.
    qint64 bytesNeeded = 0;
    // Free room in the folder; -1 when the system does not say.
    qint64 bytesAvailable = -1;
    // The archive's file name, unique in the folder at planning time.
    QString archiveName;
};

// Called with the work done so far, the whole work (same unit) and the
// phase's text; false cancels the backup.
using BackupProgress = std::function<bool(int done, int total, const QString &step)>;

// Whether a backup can be taken here; false with the operator's reason
// (no pg_dump for a server, an SQLite library without VACUUM INTO).
bool backupAvailable(const Services::DataAccess &db, QString *why = nullptr);

// Checks the folder (exists, writable) and measures the work. The plan is
// returned also when the room is short: backupSpaceProblem says so.
Services::Outcome<BackupPlan> planBackup(Services::DataAccess &db, const QString &folder,
                                         const QDateTime &when = QDateTime());

// "Spazio insufficiente ..." when the plan does not fit in the folder;
// empty when it does.
QString backupSpaceProblem(const BackupPlan &plan, const QString &folder);

// Megabytes as the messages show them: one decimal, rounded up ("12,3").
QString backupMegabytes(qint64 bytes);

// The archive "orlavo-salvataggio-yyyy-MM-dd-HHmm.tar" (then "-2", "-3"...
// when the name is taken) written in the folder: the services database and
// every company database, or the server's dump, copied at one instant, plus
// LEGGIMI.TXT. The path of the archive, or the failure in Italian; on any
// failure or cancel no file is left behind. `when` names and dates the
// archive (now when null).
Services::Outcome<QString> writeBackup(Services::DataAccess &db, const QString &targetFolder,
                                       const BackupProgress &progress = {}, const QDateTime &when = QDateTime());

} // namespace Orlavo::Shell
