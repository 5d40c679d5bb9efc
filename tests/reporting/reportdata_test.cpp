#include "archives.h"
#include "reporting/stores/reportdata.h"
#include "services/data/writeunit.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using namespace Orlavo;
using namespace Orlavo::Reporting;
using Services::Target;
using Services::WriteUnit;

// A formula on a report's columns: numbers compare as numbers, texts without
// regard to case, on every engine and whatever the table holds.
class ReportColumnKinds : public Testing::EngineTest
{
protected:
    // The values of column key (TABLE.COLUMN) the report reads with the
    // formula, sorted as plain texts (the engines' collations differ); the
    // failure's detail when it is refused.
    QString selected(const QString &key, const QString &codes, const QString &formula)
    {
        ReportDefinition definition;
        definition.tables = {{key.section(QLatin1Char('.'), 0, 0), 1}};
        definition.order = {key};
        const auto query = buildReportQuery(*db, definition, codes, formula);
        if (!query)
            return QStringLiteral("rifiutata: ") + query.failure().detail;
        const auto rows = readReportRows(*db, *query);
        if (!rows)
            return QStringLiteral("lettura fallita: ") + rows.failure().detail;
        QStringList values;
        for (qsizetype r = 0; r < rows->rows.size(); ++r)
            values.append(rows->value(r, key).toString());
        values.sort();
        return values.join(QLatin1Char(' '));
    }
};

TEST_P(ReportColumnKinds, NumberColumnsCompareAsNumbersAndTextsWithoutCase)
{
    {
        WriteUnit unit(*db, QStringLiteral("Prova"));
        // Prices whose text order differs from their number order: as texts
        // "9.99" and "2.5" come after "10" and "1000".
        const QList<Services::Params> prices = {
            {7, "ACM", "A1", 9.99, 0.0}, {7, "ACM", "A2", 10.0, 5.0},   {7, "ACM", "a3", 100.0, 0.0},
            {8, "ACM", "A4", 2.5, 12.5}, {8, "BET", "A5", 1000.0, 0.0},
        };
        for (const auto &p : prices)
            ASSERT_TRUE(unit.execCompany(QStringLiteral("Ins."),
                                         QStringLiteral("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO, "
                                                        "SC_A1) VALUES (?, ?, ?, ?, ?)"),
                                         p));
        for (const auto &[code, stock] : {std::pair{"S1", 5.0}, {"S2", 40.0}, {"S3", -3.0}})
            ASSERT_TRUE(unit.execCompany(QStringLiteral("Ins."),
                                         QStringLiteral("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, ESISTENZA) "
                                                        "VALUES ('01', 'ACM', ?, ?)"),
                                         {code, stock}));
        for (const auto &[company, numbering] : {std::pair{"T1", 2}, {"T2", 10}, {"T3", -1}})
            ASSERT_TRUE(unit.execServices(
                QStringLiteral("Ins."), QStringLiteral("INSERT INTO servizi.DATIBASE (SOCIETA, NUMERAZ) VALUES (?, ?)"),
                {company, numbering}));
        ASSERT_TRUE(unit.commit());
    }
    const struct {
        const char *key;
        const char *codes;
        const char *formula;
        const char *expected;
    } cases[] = {
        // DOUBLE PRECISION of a company table.
        {"LIST_ACQ.ARTICOLO", "C", "{LIST_ACQ.PR_LISTINO} >= 10", "A2 A5 a3"},
        // Texts still without regard to case.
        {"LIST_ACQ.ARTICOLO", "C", "{LIST_ACQ.ARTICOLO} = 'A3' or {LIST_ACQ.MARCA} like 'b*'", "A5 a3"},
        // A view's column that is a table's column keeps its type.
        {"SITUAZIONE_ARTICOLI.ARTICOLO", "C", "{SITUAZIONE_ARTICOLI.ESISTENZA} > 5", "S2"},
        // SMALLINT of the services database.
        {"DATIBASE.SOCIETA", "S", "{DATIBASE.NUMERAZ} >= 2 and {DATIBASE.SOCIETA} like 't*'", "T1 T2"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.formula);
        EXPECT_EQ(selected(QString::fromUtf8(c.key), QString::fromUtf8(c.codes), QString::fromUtf8(c.formula)),
                  QString::fromUtf8(c.expected));
    }
    // A number column is not a text: comparing it with one is the formula's mistake.
    EXPECT_TRUE(selected(QStringLiteral("LIST_ACQ.ARTICOLO"), QStringLiteral("C"),
                         QStringLiteral("{LIST_ACQ.PR_LISTINO} = '10'"))
                    .startsWith(QStringLiteral("rifiutata: confronto tra un testo")));
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

ORLAVO_FOR_EACH_ENGINE(ReportColumnKinds);

} // namespace
