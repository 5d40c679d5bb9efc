#include "archives.h"
#include "services/core/tablenames.h"

#include <QDate>

#include <gtest/gtest.h>

using namespace Orlavo::Services;
using Orlavo::Testing::EngineTest;

namespace {

class CustomerTablesTest : public EngineTest
{
protected:
    int insert(const QString &table, const QList<std::pair<QString, QVariant>> &values)
    {
        QStringList columns;
        Params params;
        for (const auto &[column, value] : values) {
            columns << column;
            params << value;
        }
        const QString marks = QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(','));
        return db->executeSql(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(QLatin1Char(',')), marks),
            params);
    }
};

// Every column filled as the customer window writes it, at full width.
TEST_P(CustomerTablesTest, FullCustomerReadsBackAsWritten)
{
    const QString name = QStringLiteral("ROSSI FORNITURE INDUSTRIALI S.R.L. - DIVISIONE IMPIANTI NORD");
    ASSERT_EQ(name.size(), 60);
    QList<std::pair<QString, QVariant>> customer = {
        {"CLIENTE", 12345},     {"RAG_SOC1", name}, {"NOTE1", QString(250, QLatin1Char('n'))},
        {"LIVELLO_SEGN", 0},    {"AGENTE", 99998},  {"SCONTO1", 12.34},
        {"SCONTO2", 99.99},     {"SCONTO3", 0.05},  {"SCFATT", 1},
        {"SUDDIVCANTIERE", -1},
    };
    const QString texts = QStringLiteral(
        "CODICE2=ROS0001;RAG_SOC2=SEDE OPERATIVA;INDIRIZZO_LEG=VIA GARIBALDI 12;CITTA_LEG=TORINO;CAP_LEG=10122;"
        "PROVINCIA_LEG=TO;INDIRIZZO_AMM=CORSO FRANCIA 3;CITTA_AMM=RIVOLI;CAP_AMM=10098;PROVINCIA_AMM=TO;"
        "PART_IVA=01234567897;COD_FISC=RSSMRA80A41L219X;TELEFONO1=011 1234567;TELEFONO2=333 1234567;"
        "FAX=011 7654321;E_MAIL=ordini@rossi.example;COND_PAG=R60;NRO_CONTO=000012345678;COD_ATTIVITA=ATT001;"
        "COD_MERCE=MERC01;CODICE_IVA=22;CONTO_RICAVO=400100;CONTO_PATRIM=150100;ELENCO_CLIENTI=S;PERS_SOC=S;"
        "TIPO_CLIENTE=SP;UBICAZIONE=I;CODICE_ISO=IT;PART_IVA_CEE=IT01234567897;REGISTRO_IVA=V1;BANCA_APP=B0001;"
        "BANCA_PAG=P0002;NAZIONE=I;ZONA=NORD;TIPOLISTINO=P");
    for (const QString &pair : texts.split(QLatin1Char(';')))
        customer.append({pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1)});
    ASSERT_EQ(insert(Tables::ANAG_CLI, customer), kErrNone) << db->error().description.toStdString();
    ASSERT_EQ(
        db->executeSql(QStringLiteral("INSERT INTO %1 (CLIENTE, SESSO, CITTA_NASC, PROV_NASC, DATA_NASC, TIPO_DOC, "
                                      "NRO_DOC, ENTE_RIL) VALUES (12345, 'F', 'TORINO', 'TO', ?, 'C', "
                                      "'AX1234567', 'COMUNE DI TORINO')")
                           .arg(Tables::PERS_CLI),
                       {QDate(1980, 1, 1)}),
        kErrNone)
        << db->error().description.toStdString();

    const auto rows =
        db->openRecordset(QStringLiteral("SELECT * FROM %1 WHERE CLIENTE = ?").arg(Tables::ANAG_CLI), {12345});
    ASSERT_TRUE(rows && rows->size() == 1);
    const auto row = rows->first();
    for (const auto &[column, value] : customer) {
        const std::string what = column.toStdString();
        if (value.typeId() == QMetaType::Double)
            EXPECT_DOUBLE_EQ(row.number(column), value.toDouble()) << what;
        else if (value.typeId() == QMetaType::Int)
            EXPECT_EQ(row.integer(column), value.toInt()) << what;
        else
            EXPECT_EQ(row.text(column), value.toString()) << what;
    }
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT DATA_NASC FROM PERS_CLI WHERE CLIENTE = 12345")).toDate(),
              QDate(1980, 1, 1));

    // Left out, the numbers start at zero.
    ASSERT_EQ(insert(Tables::ANAG_CLI, {{"CLIENTE", 2}, {"RAG_SOC1", "BIANCHI"}}), kErrNone);
    const auto plain = db->openRecordset(
        QStringLiteral(
            "SELECT SCONTO1, SCONTO2, SCONTO3, SCFATT, SUDDIVCANTIERE, LIVELLO_SEGN FROM %1 WHERE CLIENTE = 2")
            .arg(Tables::ANAG_CLI));
    ASSERT_TRUE(plain && plain->size() == 1);
    for (const QString &column : plain->columns()) {
        EXPECT_FALSE(plain->first().isNull(column)) << column.toStdString();
        EXPECT_EQ(plain->first().number(column), 0.0) << column.toStdString();
    }

    // The widths hold: PostgreSQL refuses one character more.
    if (GetParam() == Engine::Postgres) {
        EXPECT_EQ(insert(Tables::ANAG_CLI, {{"CLIENTE", 3}, {"RAG_SOC1", name + QLatin1Char('X')}}), kErrDatabase);
        EXPECT_EQ(archives->count(Tables::ANAG_CLI), 2);
    }
}

TEST_P(CustomerTablesTest, SecondaryCodeIsUniqueOnlyWhenGiven)
{
    for (const auto &[table, key] : {std::pair{Tables::ANAG_CLI, QStringLiteral("CLIENTE")},
                                     std::pair{Tables::ANAG_FOR, QStringLiteral("FORNITORE")}}) {
        const QString sql =
            QStringLiteral("INSERT INTO %1 (%2, CODICE2, RAG_SOC1) VALUES (?, %3, 'X')").arg(table, key);
        EXPECT_EQ(db->executeSql(sql.arg(QStringLiteral("'A1'")), {1}), kErrNone);
        EXPECT_EQ(db->executeSql(sql.arg(QStringLiteral("'A1'")), {2}), kErrDatabase) << table.toStdString();
        EXPECT_EQ(db->executeSql(sql.arg(QStringLiteral("'a1'")), {8}), kErrDatabase) << table.toStdString();
        EXPECT_EQ(db->executeSql(sql.arg(QStringLiteral("'A2'")), {3}), kErrNone);
        EXPECT_EQ(db->executeSql(sql.arg(QStringLiteral("NULL")), {4}), kErrNone);
        EXPECT_EQ(db->executeSql(sql.arg(QStringLiteral("NULL")), {5}), kErrNone);
        EXPECT_EQ(db->executeSql(sql.arg(QStringLiteral("''")), {6}), kErrNone);
        EXPECT_EQ(db->executeSql(sql.arg(QStringLiteral("''")), {7}), kErrNone) << table.toStdString();
        EXPECT_EQ(archives->count(table), 6);
    }
}

TEST_P(CustomerTablesTest, KeysRefuseDuplicatesOnly)
{
    const QString place = QStringLiteral("INSERT INTO %1 (CLIENTE, COD_LUOGO, DESC_LUOGO, PREDEF) VALUES (?, ?, ?, ?)")
                              .arg(Tables::CONS_MERCE);
    EXPECT_EQ(db->executeSql(place, {10, 1, QStringLiteral("CANTIERE A"), -1}), kErrNone);
    EXPECT_EQ(db->executeSql(place, {10, 2, QStringLiteral("CANTIERE B"), 0}), kErrNone);
    EXPECT_EQ(db->executeSql(place, {11, 1, QStringLiteral("MAGAZZINO"), -1}), kErrNone);
    EXPECT_EQ(db->executeSql(place, {10, 1, QStringLiteral("ANCORA A"), 0}), kErrDatabase);

    // One sale-list row per supplier of the same customer's item.
    const QString sale = QStringLiteral("INSERT INTO %1 (CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO) VALUES (10, "
                                        "'ABC', 'VITE M8X40', ?, 1.5)")
                             .arg(Tables::LIST_VEN);
    EXPECT_EQ(db->executeSql(sale, {7}), kErrNone);
    EXPECT_EQ(db->executeSql(sale, {99999}), kErrNone);
    EXPECT_EQ(db->executeSql(sale, {7}), kErrDatabase);

    // One discount row per party and brand.
    const QString discount =
        QStringLiteral("INSERT INTO %1 (CLIENTE, MARCA, SC_V1) VALUES (10, ?, 5)").arg(Tables::TAB_SCONCLI);
    EXPECT_EQ(db->executeSql(discount, {QStringLiteral("ABC")}), kErrNone);
    EXPECT_EQ(db->executeSql(discount, {QStringLiteral("999")}), kErrNone);
    EXPECT_EQ(db->executeSql(discount, {QStringLiteral("ABC")}), kErrDatabase);
}

ORLAVO_FOR_EACH_ENGINE(CustomerTablesTest);

} // namespace
