#include "fixtures.h"

#include "committedrows.h"

namespace Orlavo::Testing {

namespace {

// The text of every row of each table, nulls marked: rows compare whatever
// their order. A table that cannot be read holds "<unreadable>".
QHash<QString, QStringList> tableTexts(const Services::ConnectionConfig &config, const QStringList &tables)
{
    Workstation reader(config);
    EXPECT_TRUE(reader.open());
    const auto text = [](const QVariant &value) {
        return value.isNull() ? QStringLiteral("<null>") : value.toString();
    };
    QHash<QString, QStringList> all;
    for (const QString &table : tables) {
        const auto rows = reader.rows(QStringLiteral("SELECT * FROM ") + table);
        all.insert(table, rows ? joinedRows(*rows, text) : QStringList{QStringLiteral("<unreadable>")});
    }
    return all;
}

} // namespace

void expectRefused(const ScriptedPrompter &prompter, const QString &text, Services::Prompter::Icon icon,
                   Services::Prompter::Buttons buttons, const QString &title)
{
    ASSERT_EQ(prompter.shown().size(), 1) << prompter.texts().join(QLatin1Char('|')).toStdString();
    const ScriptedPrompter::Shown &shown = prompter.shown().first();
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.title, title);
    EXPECT_EQ(shown.icon, icon);
    EXPECT_EQ(shown.buttons, buttons);
}

Snapshot::Snapshot(const TestArchives &archives, const QStringList &tables)
    : m_config(archives.config()), m_before(tableTexts(m_config, tables))
{
}

void expectNothingWritten(const Snapshot &before, const Services::DataAccess &db)
{
    const QHash<QString, QStringList> now = tableTexts(before.m_config, before.m_before.keys());
    for (auto it = before.m_before.cbegin(); it != before.m_before.cend(); ++it)
        EXPECT_EQ(now.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_FALSE(db.inTransaction());
}

} // namespace Orlavo::Testing
