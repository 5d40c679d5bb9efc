#include "archives.h"

#include <gtest/gtest.h>

// The keys of the customer tables as the schema makes them, written with
// plain SQL. That every column the registers write is there is their
// stores' tests.

using namespace Orlavo::Services;
using Orlavo::Testing::EngineTest;

namespace {

class CustomerTablesTest : public EngineTest
{
protected:
    int exec(const QString &sql, const Params &params = {}) { return db->executeSql(sql, params); }
};

// The keys refuse a second row with the same values, and only that.
TEST_P(CustomerTablesTest, KeysRefuseDuplicatesOnly)
{
    const struct {
        const char *table;
        const char *columns;
        QList<const char *> rows; // the last one repeats a key
    } cases[] = {
        // The secondary code is unique only when given, whatever its case.
        {"ANAG_CLI",
         "CLIENTE, RAG_SOC1, CODICE2",
         {"1, 'X', 'A1'", "3, 'X', 'A2'", "4, 'X', NULL", "5, 'X', NULL", "6, 'X', ''", "7, 'X', ''", "8, 'X', 'a1'"}},
        // One sale-list row per supplier of the same customer's item.
        {"LIST_VEN",
         "CLIENTE, MARCA, ARTICOLO, FORNITORE",
         {"10, 'ABC', 'VITE', 7", "10, 'ABC', 'VITE', 99999", "10, 'ABC', 'VITE', 7"}},
    };
    for (const auto &c : cases) {
        for (qsizetype i = 0; i < c.rows.size(); ++i) {
            SCOPED_TRACE(testing::Message() << c.table << ": " << c.rows[i]);
            const bool repeated = i == c.rows.size() - 1;
            EXPECT_EQ(exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(QLatin1String(c.table), QLatin1String(c.columns), QLatin1String(c.rows[i]))),
                      repeated ? kErrDatabase : kErrNone);
        }
        EXPECT_EQ(archives->count(c.table), c.rows.size() - 1) << c.table;
    }
}

ORLAVO_FOR_EACH_ENGINE(CustomerTablesTest);

} // namespace
