// Utilità > Verifica archivi: SQLite's full check of the archives in use.
#include "contexttest.h"
#include "services/core/tablenames.h"
#include "shell/stores/archivecheck.h"
#include "shell/stores/backup.h"
#include "shell/windows/menu.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo;
using Orlavo::Testing::Engine;
using Orlavo::Testing::RecordingPrompter;

namespace {

class ArchiveCheckTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
};

TEST_P(ArchiveCheckTest, SoundArchivesAreSaidSoAndDamageIsNamed)
{
    Shell::Menu menu(*context);
    auto *entry = menu.findChild<QAction *>(QStringLiteral("verifica_archivi"));
    ASSERT_NE(entry, nullptr);
    if (GetParam() == Engine::Postgres) {
        // The server's archives are checked with the server's own tools.
        EXPECT_FALSE(entry->isEnabled());
        EXPECT_TRUE(Shell::archiveFiles(context->db).isEmpty());
        return;
    }
    const QString company = archives->folder() + QStringLiteral("CONTAB01.MDB");
    entry->trigger();
    EXPECT_EQ(
        prompter.texts(),
        QStringList{QStringLiteral("Gli archivi sono integri:\n%1SERVIZI.MDB\n%2").arg(archives->folder(), company)});

    // A page of the company file spoiled under the open program.
    run(QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES ('01', 'Prima')").arg(Services::Tables::SOCIETA));
    {
        QFile file(company);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(file.size() / 2 / 4096 * 4096));
        ASSERT_EQ(file.write(QByteArray(4096, '\xFF')), 4096);
    }
    prompter.clear();
    entry->trigger();
    ASSERT_EQ(prompter.texts().size(), 1);
    const QString told =
        QStringLiteral("L'archivio %1 è danneggiato: ripristinarlo dall'ultimo salvataggio.").arg(company);
    EXPECT_TRUE(prompter.texts().first().startsWith(told)) << prompter.texts().first().toStdString();

    // Nor does a backup copy it over the good ones.
    QTemporaryDir target;
    const auto backup = Shell::writeBackup(context->db, target.path());
    ASSERT_FALSE(backup);
    EXPECT_TRUE(backup.failure().message.startsWith(told));
    EXPECT_TRUE(backup.failure().message.endsWith(QStringLiteral("\nIl salvataggio non è stato fatto.")));
    EXPECT_TRUE(QDir(target.path()).isEmpty());

    // At the next start it is said before any record is read, and the
    // program goes on without the company.
    context->db.close();
    ASSERT_TRUE(context->db.openServices(archives->config()));
    context->state.company = QStringLiteral("01");
    prompter.clear();
    Shell::Menu next(*context);
    EXPECT_FALSE(next.openCurrentCompany());
    ASSERT_EQ(prompter.texts().size(), 1) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(prompter.texts().first().startsWith(told)) << prompter.texts().first().toStdString();
    EXPECT_TRUE(context->state.company.isEmpty());
    EXPECT_EQ(dbExits, 0);
}

ORLAVO_FOR_EACH_ENGINE(ArchiveCheckTest);

} // namespace
