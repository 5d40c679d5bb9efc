#include "archives.h"
#include "services/core/tablenames.h"

#include <QDate>

#include <gtest/gtest.h>

// The customer tables as the schema makes them, written with plain SQL.

using namespace Orlavo::Services;
using Orlavo::Testing::EngineTest;

namespace {

class CustomerTablesTest : public EngineTest
{
protected:
    int exec(const QString &sql, const Params &params = {}) { return db->executeSql(sql, params); }
};

// Every column filled as the customer window writes it, at full width.
TEST_P(CustomerTablesTest, FullCustomerReadsBackAsWritten)
{
    const QString name = "ROSSI FORNITURE INDUSTRIALI S.R.L. - DIVISIONE IMPIANTI NORD";
    const QString values =
        "CLIENTE=12345;RAG_SOC1=" + name + ";NOTE1=" + QString(250, 'n') +
        ";LIVELLO_SEGN=0;AGENTE=99998;SCONTO1=12.34;SCONTO2=99.99;SCONTO3=0.05;SCFATT=1;SUDDIVCANTIERE=-1;"
        "CODICE2=ROS0001;RAG_SOC2=SEDE OPERATIVA;INDIRIZZO_LEG=VIA GARIBALDI 12;CITTA_LEG=TORINO;CAP_LEG=00122;"
        "PROVINCIA_LEG=TO;INDIRIZZO_AMM=CORSO FRANCIA 3;CITTA_AMM=RIVOLI;CAP_AMM=10098;PROVINCIA_AMM=TO;"
        "PART_IVA=01234567897;COD_FISC=RSSMRA80A41L219X;TELEFONO1=011 1234567;TELEFONO2=333 1234567;"
        "FAX=011 7654321;E_MAIL=ordini@rossi.example;COND_PAG=R60;NRO_CONTO=000012345678;COD_ATTIVITA=ATT001;"
        "COD_MERCE=MERC01;CODICE_IVA=22;CONTO_RICAVO=400100;CONTO_PATRIM=150100;ELENCO_CLIENTI=S;PERS_SOC=S;"
        "TIPO_CLIENTE=SP;UBICAZIONE=I;CODICE_ISO=IT;PART_IVA_CEE=IT01234567897;REGISTRO_IVA=V1;BANCA_APP=B0001;"
        "BANCA_PAG=P0002;NAZIONE=I;ZONA=NORD;TIPOLISTINO=P";
    QStringList columns;
    Params params;
    for (const QString &pair : values.split(';')) {
        columns << pair.section('=', 0, 0);
        params << pair.section('=', 1);
    }
    ASSERT_EQ(exec(QStringLiteral("INSERT INTO ANAG_CLI (%1) VALUES (%2)")
                       .arg(columns.join(','), QStringList(columns.size(), "?").join(',')),
                   params),
              kErrNone)
        << db->error().description.toStdString();
    ASSERT_EQ(exec("INSERT INTO PERS_CLI (CLIENTE, DATA_NASC) VALUES (12345, ?)", {QDate(1980, 1, 1)}), kErrNone);
    const auto rows = db->openRecordset("SELECT * FROM ANAG_CLI WHERE CLIENTE = 12345");
    ASSERT_TRUE(rows && rows->size() == 1);
    for (qsizetype i = 0; i < columns.size(); ++i)
        EXPECT_EQ(rows->first().text(columns[i]), params[i].toString()) << columns[i].toStdString();
    EXPECT_EQ(archives->scalar("SELECT DATA_NASC FROM PERS_CLI").toDate(), QDate(1980, 1, 1));

    // Left out, the numbers start at zero.
    ASSERT_EQ(exec("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (2, 'BIANCHI')"), kErrNone);
    EXPECT_EQ(archives->scalar("SELECT SCONTO1 + SCONTO2 + SCONTO3 + SCFATT + SUDDIVCANTIERE + LIVELLO_SEGN "
                               "FROM ANAG_CLI WHERE CLIENTE = 2")
                  .toString(),
              "0");
    // The widths hold: PostgreSQL refuses one character more.
    if (GetParam() == Engine::Postgres) {
        EXPECT_EQ(exec("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (3, ?)", {name + 'X'}), kErrDatabase);
    }
}

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
        {"ANAG_FOR", "FORNITORE, RAG_SOC1, CODICE2", {"1, 'X', 'A1'", "4, 'X', NULL", "5, 'X', NULL", "2, 'X', 'A1'"}},
        {"CONS_MERCE", "CLIENTE, COD_LUOGO, DESC_LUOGO", {"10, 1, 'A'", "10, 2, 'B'", "11, 1, 'C'", "10, 1, 'D'"}},
        // One sale-list row per supplier of the same customer's item.
        {"LIST_VEN",
         "CLIENTE, MARCA, ARTICOLO, FORNITORE",
         {"10, 'ABC', 'VITE', 7", "10, 'ABC', 'VITE', 99999", "10, 'ABC', 'VITE', 7"}},
        // One discount row per party and brand.
        {"TAB_SCONCLI", "CLIENTE, MARCA", {"10, 'ABC'", "10, '999'", "11, 'ABC'", "10, 'ABC'"}},
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
