#include "shell/stores/archivecheck.h"

#include "services/data/dataaccess.h"
#include "services/data/schema.h"

namespace Orlavo::Shell {

QStringList archiveFiles(const Services::DataAccess &db)
{
    if (db.engine() != Services::Engine::Sqlite)
        return {};
    const Services::ConnectionConfig &config = db.config();
    QStringList files{config.pathDb + config.servicesFile};
    if (db.companyOpen())
        files << config.pathDb + Services::companyFileName(db.companyCode());
    return files;
}

QStringList archiveDamage(const Services::DataAccess &db)
{
    QStringList damage;
    for (const QString &file : archiveFiles(db)) {
        if (const QString found = Services::Schema::sqliteDamage(file, true); !found.isEmpty())
            damage << found;
    }
    return damage;
}

} // namespace Orlavo::Shell
