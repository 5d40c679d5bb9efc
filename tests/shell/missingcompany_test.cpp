// A company whose archive is gone: the program goes on without it.
#include "contexttest.h"
#include "services/core/tablenames.h"
#include "services/data/schema.h"
#include "shell/windows/menu.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <gtest/gtest.h>

using namespace Orlavo;
using Orlavo::Testing::Engine;
using Orlavo::Testing::RecordingPrompter;

namespace {

class MissingCompanyTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
protected:
    void prepare() override
    {
        run(QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES ('01', 'Prima'), ('02', 'Seconda')")
                .arg(Services::Tables::SOCIETA));
        workAs(QStringLiteral("MARIO"), 2);
    }

    // Company 02 is registered, its archive is not there.
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

TEST_P(MissingCompanyTest, AtStartTheWindowOpensWithoutItAndChangingToItKeepsTheOpenCompany)
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

ORLAVO_FOR_EACH_ENGINE(MissingCompanyTest);

} // namespace
