// Archives that cannot be written open for reading, say why, and refuse
// every write up front.
#include "contexttest.h"
#include "services/core/tablenames.h"
#include "shell/stores/loginstore.h"
#include "shell/windows/menu.h"

#include <QFile>
#include <QCoreApplication>
#include <QLabel>

#include <gtest/gtest.h>

using namespace Orlavo;
using Orlavo::Testing::Engine;
using Orlavo::Testing::RecordingPrompter;

namespace {

QString refusal(const QString &reason)
{
    return QStringLiteral("Gli archivi sono aperti in sola lettura: %1\nNessuna modifica viene registrata.")
        .arg(reason);
}

class ReadOnlyTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
protected:
    void prepare() override
    {
        run(QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES ('01', 'Prima')").arg(Services::Tables::SOCIETA));
        workAs(QStringLiteral("MARIO"), 2);
    }

    void TearDown() override
    {
        for (const QString &path : m_closed)
            QFile::setPermissions(path, m_permissions.value(path));
        if (!m_reader.isEmpty() && context->db.openServices(archives->config())) {
            run(QStringLiteral("DROP OWNED BY %1").arg(m_reader));
            run(QStringLiteral("DROP ROLE %1").arg(m_reader));
        }
        ContextTest::TearDown();
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
        EXPECT_EQ(rows->size(), 1);
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
