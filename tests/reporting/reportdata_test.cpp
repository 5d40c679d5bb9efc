#include "archives.h"
#include "insertrows.h"
#include "reporting/rules/reportdefinition.h"
#include "reporting/stores/reportdata.h"
#include "services/core/tablenames.h"
#include "services/data/writeunit.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

using namespace Orlavo;
using namespace Orlavo::Reporting;
using Services::WriteUnit;
using Testing::insertRows;

// A report's tables bound to the databases by its data-file codes, and its
// selection formula run on every engine: numbers compare as numbers, texts
// without regard to case, whatever the table holds.
class ReportSelection : public Testing::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // DDL is not a statement the server prepares: run it directly.
        QSqlQuery create(db->connection());
        ASSERT_TRUE(create.exec(QStringLiteral("CREATE TABLE PROVA_SEL (ID INTEGER PRIMARY KEY, NOME VARCHAR(40), "
                                               "CITTA VARCHAR(40), IMPORTO DOUBLE PRECISION, "
                                               "QTA INTEGER, PAGATO SMALLINT, PAGATO_IL DATE)")))
            << create.lastError().text().toStdString();
        const QVariant noText = Services::sqlText(QString()), noNumber(QMetaType::fromType<double>()),
                       noInteger(QMetaType::fromType<int>()), noDate(QMetaType::fromType<QDate>());
        WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_TRUE(insertRows(unit, "PROVA_SEL", "ID, NOME, CITTA, IMPORTO, QTA, PAGATO, PAGATO_IL",
                               {{1, "Rossi Mario", "Roma", 120.5, 3, -1, QDate(2024, 1, 1)},
                                {2, "ROSSINI", "roma", 12.5, 10, 0, noDate},
                                {3, "bianchi", "L'Aquila", -12.5, noInteger, -1, QDate(2024, 2, 29)},
                                {4, "Vite 3\" inox", "MILANO", 0.0, 7, 0, noDate},
                                {5, noText, "Milano", noNumber, 1, noInteger, noDate},
                                {6, "Ross_i%", noText, 99.99, 0, -1, QDate(2024, 3, 1)},
                                {7, "verdi", "l'aquila", 1000.0, 25, 0, noDate},
                                {8, "O'Brien", "Bari", 5.0, 2, -1, QDate(2023, 12, 31)},
                                {9, "Rossoi Carlo", "Bari", 50.0, 4, 0, noDate}}));
        ASSERT_TRUE(insertRows(unit, "ARTICOLI", "MAGAZZINO, MARCA, ARTICOLO, ESISTENZA",
                               {{"01", "ACM", "S1", 5.0}, {"01", "ACM", "S2", 40.0}, {"01", "ACM", "S3", -3.0}}));
        ASSERT_TRUE(insertRows(unit, "servizi.DATIBASE", "SOCIETA, NUMERAZ", {{"T1", 2}, {"T2", 10}, {"T3", -1}}));
        // Company 01 in both databases, its province told apart.
        ASSERT_TRUE(insertRows(unit, Services::Tables::SOCIETA_CONTAB, "SOCIETA, PROV_LEG", {{"01", "MI"}}) &&
                    insertRows(unit, Services::Tables::SOCIETA, "SOCIETA, PROV_LEG", {{"01", "TO"}}));
        ASSERT_TRUE(unit.commit());
    }

    // The values of column key (TABLE.COLUMN) the report of those [DATA]
    // lines reads with the formula, sorted as plain texts (the engines'
    // collations differ); the failure's detail when it is refused.
    QString selected(const char *data, const char *codes, const char *formula, const QString &key)
    {
        const auto definition = parseReportDefinition(
            QStringLiteral("[DATA]\n%1\n[DETAIL]\nFIELD = 0,0,9,5 | %2\n").arg(QString::fromUtf8(data), key));
        if (!definition)
            return QStringLiteral("definizione: ") + definition.failure().detail;
        const auto query = buildReportQuery(*db, *definition, QString::fromUtf8(codes), QString::fromUtf8(formula));
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

TEST_P(ReportSelection, CodesBindTheDatabasesAndFormulasSelectOnEveryEngine)
{
    const char *const society =
        "TABLE = SOCIETA, 1\nJOIN = INNER TAB_PROV, 2 ON {TAB_PROV.CODICE} = {SOCIETA.PROV_LEG}";
    const char *const trial = "TABLE = PROVA_SEL, 1";
    const struct {
        const char *data, *codes, *formula, *key, *expected;
    } cases[] = {
        // The company first and the services second, or both the services.
        {society, "CS", "", "TAB_PROV.DESCRIZIONE", "MILANO"},
        {society, "SS", "", "TAB_PROV.DESCRIZIONE", "TORINO"},
        // Quotes inside texts, LIKE's literal "_" and "%".
        {trial, "C", "{prova_sel.citta} = \"l'aquila\"", "PROVA_SEL.ID", "3 7"},
        {trial, "C", "{PROVA_SEL.NOME} like 'ROSS_I%'", "PROVA_SEL.ID", "6"},
        // Nulls, AND before OR.
        {trial, "C", "not IsNull({PROVA_SEL.CITTA}) and {PROVA_SEL.NOME} like 'ross*'", "PROVA_SEL.ID", "1 2 9"},
        {trial, "C", "{PROVA_SEL.PAGATO} = true and {PROVA_SEL.IMPORTO} > 100 or {PROVA_SEL.QTA} >= 10", "PROVA_SEL.ID",
         "1 2 7"},
        // DOUBLE PRECISION: as texts "120.5" and "1000" would come before "99.99".
        {trial, "C", "{PROVA_SEL.IMPORTO} > -12.5 and {PROVA_SEL.IMPORTO} <= 99.99", "PROVA_SEL.ID", "2 4 6 8 9"},
        // DATE against Date(y, m, d), both ends kept, on every engine.
        {trial, "C", "{PROVA_SEL.PAGATO_IL} >= Date(2024,1,1) and {PROVA_SEL.PAGATO_IL} <= Date(2024,2,29)",
         "PROVA_SEL.ID", "1 3"},
        // A view's column that is a table's column keeps its type.
        {"TABLE = SITUAZIONE_ARTICOLI, 1", "C", "{SITUAZIONE_ARTICOLI.ESISTENZA} > 5", "SITUAZIONE_ARTICOLI.ARTICOLO",
         "S2"},
        // SMALLINT of the services database.
        {"TABLE = DATIBASE, 1", "S", "{DATIBASE.NUMERAZ} >= 2 and {DATIBASE.SOCIETA} like 't*'", "DATIBASE.SOCIETA",
         "T1 T2"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.codes << " " << c.formula);
        EXPECT_EQ(selected(c.data, c.codes, c.formula, QString::fromUtf8(c.key)), QString::fromUtf8(c.expected));
    }
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

ORLAVO_FOR_EACH_ENGINE(ReportSelection);

} // namespace
