#pragma once

#include "contexttest.h"
#include "services/core/tablenames.h"
#include "widgets.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <memory>

namespace Orlavo::Testing {

// No PostgreSQL test server, and none required: the server's cases are skipped.
inline bool skipPostgres()
{
    return !PgServer::fromEnvironment().available() && !PgServer::required();
}

// The first column of a read on the archives by another workstation, with
// the company open; no company named: the services alone.
inline QStringList firstColumn(const Services::ConnectionConfig &config, const QString &company, const QString &sql,
                               const Services::Params &params = {})
{
    Workstation reader(config, company);
    EXPECT_TRUE(reader.open()) << sql.toStdString();
    const auto target = company.isEmpty() ? Services::Target::Services : Services::Target::Company;
    QStringList values;
    const auto rows = reader.open() ? reader.rows(sql, params, target) : std::nullopt;
    for (const auto &row : rows.value_or(Services::Recordset()))
        values << row.at(0).toString();
    return values;
}

// A window test run once per engine: the window goes before the archives,
// and no archive failure ended the program.
template <typename W, typename P = ScriptedPrompter> class WindowTest : public ContextTest<P>
{
protected:
    void TearDown() override
    {
        EXPECT_EQ(this->dbExits, 0);
        window.reset();
        ContextTest<P>::TearDown();
    }

    template <typename T = QWidget> T *child(const QString &name) const { return named<T>(window.get(), name); }
    QLineEdit *field(const char *name) const { return child<QLineEdit>(QString::fromLatin1(name)); }
    void click(const char *name) const { child<QAbstractButton>(QString::fromLatin1(name))->click(); }
    QString setting(const char *section, const char *key) const
    {
        return this->context->settings.read(QString::fromLatin1(section), QString::fromLatin1(key));
    }
    void showActive() const
    {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // A year's counters, as committed.
    int counters(const QString &year) const
    {
        return this->archives
            ->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ANNO = ?").arg(Services::Tables::NUMERA), {year})
            .toInt();
    }
    // Writes to the table fail, on either engine, until allowed again.
    void refuseWrites(const QString &table, bool refuse = true)
    {
        const auto change = refuse ? &Orlavo::Testing::refuseWrites : &Orlavo::Testing::allowWrites;
        ASSERT_EQ(change(this->context->db.connection(), this->GetParam(), table), QString());
    }

    std::unique_ptr<W> window;
};

} // namespace Orlavo::Testing
