// Archives the program cannot use fully. Utilità > Verifica archivi
// (SQLite's full check of the archives in use) names the damage; the
// program goes on without a company damaged or gone; archives that cannot
// be written open for reading, say why, and refuse every write up front.
#include "contexttest.h"
#include "services/core/tablenames.h"
#include "shell/stores/archivecheck.h"
#include "shell/stores/backup.h"
#include "shell/stores/loginstore.h"
#include "shell/windows/menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo;
using Orlavo::Testing::Engine;
using Orlavo::Testing::RecordingPrompter;

namespace {

// Companies 01 and 02 registered; 02 has no archive.
class UnusableCompanyTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
protected:
    void prepare() override
    {
        run(QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES ('01', 'Prima'), ('02', 'Seconda')")
                .arg(Services::Tables::SOCIETA));
        workAs(QStringLiteral("MARIO"), 2);
    }

    QString missingMessage() const
    {
        const QString next = QStringLiteral("\nScegliere un'altra società, registrarne una nuova o ripristinare "
                                            "l'archivio dall'ultimo salvataggio.");
        if (GetParam() == Engine::Sqlite)
            return QStringLiteral("L'archivio della società 02 non c'è: manca il file %1CONTAB02.MDB.")
                       .arg(archives->folder()) +
                   next;
        return QStringLiteral("L'archivio della società 02 non c'è: manca lo schema contab02 sul server.") + next;
    }

    bool companyEntryEnabled(const Shell::Menu &menu) const
    {
        const auto *entry = menu.findChild<QAction *>(QStringLiteral("modi_dati_base"));
        EXPECT_NE(entry, nullptr);
        return entry && entry->isEnabled();
    }
};

TEST_P(UnusableCompanyTest, SoundArchivesAreSaidSoAndDamageIsNamed)
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

    // At the next start it is said before any record is read.
    context->db.close();
    ASSERT_TRUE(context->db.openServices(archives->config()));
    prompter.clear();
    Shell::Menu next(*context);
    EXPECT_FALSE(next.openCurrentCompany());
    ASSERT_EQ(prompter.texts().size(), 1) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(prompter.texts().first().startsWith(told)) << prompter.texts().first().toStdString();
    EXPECT_EQ(dbExits, 0);
}

TEST_P(UnusableCompanyTest, AtStartTheWindowOpensWithoutItAndChangingToItKeepsTheOpenCompany)
{
    // As at a start: the services open, the company of CONT.INI not yet.
    ASSERT_TRUE(context->db.openServices(archives->config()));
    context->state.company = QStringLiteral("02");
    Shell::Menu menu(*context);
    EXPECT_FALSE(menu.openCurrentCompany());
    EXPECT_EQ(prompter.texts(), QStringList{missingMessage()});
    EXPECT_TRUE(context->state.company.isEmpty());
    EXPECT_FALSE(context->db.companyOpen());
    EXPECT_FALSE(companyEntryEnabled(menu));
    EXPECT_EQ(menu.findChild<QLabel *>(QStringLiteral("pannelloSocieta"))->text(),
              QStringLiteral("Nessuna società aperta"));
    EXPECT_FALSE(menu.findChild<QMenu *>(QStringLiteral("mnuGenerico"))->menuAction()->isEnabled());

    // Another company is chosen and opens; changing back to the missing one
    // keeps it open.
    QString chosen = QStringLiteral("01");
    menu.setCompanyChooser([&chosen] { return std::optional<QString>(chosen); });
    ASSERT_TRUE(menu.changeCompany());
    EXPECT_TRUE(companyEntryEnabled(menu));
    prompter.clear();
    chosen = QStringLiteral("02");
    EXPECT_FALSE(menu.changeCompany());
    EXPECT_EQ(prompter.texts(), QStringList{missingMessage()});
    EXPECT_EQ(context->state.company, QStringLiteral("01"));
    EXPECT_TRUE(context->db.companyOpen());
    EXPECT_TRUE(companyEntryEnabled(menu));
    EXPECT_EQ(dbExits, 0);
}

ORLAVO_FOR_EACH_ENGINE(UnusableCompanyTest);

QString refusal(const QString &reason)
{
    return QStringLiteral("Gli archivi sono aperti in sola lettura: %1\nNessuna modifica viene registrata.")
        .arg(reason);
}

class ReadOnlyTest : public UnusableCompanyTest
{
protected:
    void TearDown() override
    {
        for (const QString &path : m_closed)
            QFile::setPermissions(path, m_permissions.value(path));
        if (!m_reader.isEmpty() && context->db.openServices(archives->config())) {
            run(QStringLiteral("DROP OWNED BY %1").arg(m_reader));
            run(QStringLiteral("DROP ROLE %1").arg(m_reader));
        }
        UnusableCompanyTest::TearDown();
    }

    // Closes a file or folder to writing until the end of the test.
    void closeToWriting(const QString &path)
    {
        m_permissions.insert(path, QFile::permissions(path));
        m_closed << path;
        ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther |
                                                    QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
    }

    // A server user that may only read both schemas; the archives reopened as it.
    void reopenAsReader()
    {
        m_reader = QStringLiteral("lettore_%1").arg(QCoreApplication::applicationPid());
        const QString grants = QStringLiteral(
            "CREATE ROLE %1 LOGIN; GRANT USAGE ON SCHEMA servizi, contab01 TO %1; "
            "GRANT SELECT ON ALL TABLES IN SCHEMA servizi TO %1; GRANT SELECT ON ALL TABLES IN SCHEMA contab01 TO %1");
        run(grants.arg(m_reader));
        auto config = archives->config();
        config.server.user = m_reader;
        ASSERT_TRUE(context->db.openServices(config));
        ASSERT_TRUE(context->db.openCompany(QStringLiteral("01")));
    }

    // Every kind of write is refused once with the reason, nothing reaches
    // the engine, and reading goes on.
    void expectWritesRefused(const QString &reason)
    {
        EXPECT_EQ(context->db.readOnlyReason(), reason);
        prompter.clear();
        EXPECT_FALSE(context->db.checkWriteRights());
        EXPECT_FALSE(context->db.lockArchive(QStringLiteral("TUTTO")));
        {
            Services::WriteUnit unit(context->db, QStringLiteral("Anagrafica clienti"));
            EXPECT_FALSE(unit.execCompany(QStringLiteral("Prova"),
                                          QStringLiteral("DELETE FROM %1").arg(Services::Tables::SOCIETA_CONTAB)));
        }
        EXPECT_EQ(prompter.texts(), QStringList(3, refusal(reason)));
        const auto rows =
            context->db.openRecordset(QStringLiteral("SELECT RAG_SOC1 FROM %1").arg(Services::Tables::SOCIETA));
        ASSERT_TRUE(rows);
        EXPECT_EQ(rows->size(), 2);
        EXPECT_EQ(dbExits, 0);

        // The login's connection mark is not kept, and not complained of.
        prompter.clear();
        EXPECT_FALSE(Shell::LoginStore(context->db).markConnected(QStringLiteral("MARIO")));
        EXPECT_TRUE(Shell::clearConnected(context->db, context->settings));
        EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();

        Shell::Menu menu(*context);
        ASSERT_TRUE(menu.openCurrentCompany());
        const auto *panel = menu.findChild<QLabel *>(QStringLiteral("pannelloSocieta"));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->text(), QStringLiteral("Società 01 - ") + context->state.companyName +
                                     QStringLiteral(" - SOLA LETTURA: ") + reason);
    }

    QStringList m_closed;
    QHash<QString, QFileDevice::Permissions> m_permissions;
    QString m_reader;
};

TEST_P(ReadOnlyTest, AReadOnlyArchiveOrFolderOpensForReadingOnly)
{
    if (GetParam() == Engine::Postgres) {
        reopenAsReader();
        expectWritesRefused(QStringLiteral("sul server l'utente %1 può solo leggere lo schema servizi.").arg(m_reader));
        return;
    }
    const QString company = archives->folder() + QStringLiteral("CONTAB01.MDB");
    closeToWriting(company);
    ASSERT_TRUE(context->db.openCompany(QStringLiteral("01")));
    expectWritesRefused(QStringLiteral("l'archivio %1 è di sola lettura.").arg(company));

    // The folder alone: SQLite could not write its journal there.
    QFile::setPermissions(company, m_permissions.value(company));
    m_closed.clear();
    const QString folder = archives->folder().chopped(1);
    closeToWriting(folder);
    ASSERT_TRUE(context->db.openCompany(QStringLiteral("01")));
    expectWritesRefused(QStringLiteral("nella cartella %1/ non si può scrivere.").arg(folder));
}

ORLAVO_FOR_EACH_ENGINE(ReadOnlyTest);

} // namespace
