// Damage inside an archive is found when it opens, not after a record is typed.
#include "archives.h"
#include "scriptedprompter.h"
#include "services/core/appstate.h"
#include "services/data/dataaccess.h"
#include "services/data/schema.h"

#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Orlavo::Services;
using Orlavo::Testing::Engine;
using Orlavo::Testing::TestArchives;

namespace {

// 4 KB of noise in the middle of the file, as a failing disk leaves it.
bool spoil(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray noise(4096, '\0');
    QRandomGenerator random(20261207);
    for (char &byte : noise)
        byte = char(random.bounded(256));
    return file.seek(file.size() / 2) && file.write(noise) == noise.size();
}

TEST(ArchiveDamage, ASpoiledCompanyArchiveIsRefusedAtOpening)
{
    TestArchives archives(Engine::Sqlite);
    ASSERT_TRUE(archives.ready()) << archives.problem().toStdString();
    const QString company = archives.folder() + QStringLiteral("CONTAB01.MDB");
    EXPECT_EQ(Schema::sqliteDamage(company), QString());
    EXPECT_EQ(Schema::sqliteDamage(company, true), QString());
    ASSERT_TRUE(spoil(company));

    const QString told = QStringLiteral("L'archivio %1 è danneggiato: ripristinarlo dall'ultimo salvataggio.").arg(company);
    EXPECT_TRUE(Schema::sqliteDamage(company).startsWith(told)) << Schema::sqliteDamage(company).toStdString();
    EXPECT_TRUE(Schema::sqliteDamage(company, true).startsWith(told));

    AppState state;
    Orlavo::Testing::RecordingPrompter prompter;
    DataAccess db(state, prompter, QString());
    int exits = 0;
    db.setExitHook([&exits](int) { ++exits; });
    ASSERT_TRUE(db.openServices(archives.config()));
    EXPECT_FALSE(db.openCompany(QStringLiteral("01")));
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(prompter.texts().join(QLatin1Char('\n')).contains(told)) << prompter.texts().join('|').toStdString();
}

} // namespace
