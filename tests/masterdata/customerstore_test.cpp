#include "contexttest.h"
#include "customerwrites.h"
#include "masterdata/stores/customerstore.h"
#include "masterdata/windows/codedlookups.h"
#include "services/core/tablenames.h"
#include "services/data/standarddata.h"
#include "services/data/writeunit.h"
#include "ui/appcontext.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Masterdata;
using Orlavo::Testing::Engine;
using Orlavo::Testing::RecordingPrompter;

namespace {

// Company "01" with its standard data (accounts, countries, payment terms)
// and the counter of customer codes.
class CustomerStoreTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        context->state.userType = 2;
        addStandardData();
    }

    // A customer that passes every check.
    Customer valid(const QString &name)
    {
        Customer customer = newCustomer(context->db);
        customer.main().setText(QStringLiteral("RAG_SOC1"), name);
        customer.main().setText(QStringLiteral("COND_PAG"), QStringLiteral("rd"));
        customer.main().setText(QStringLiteral("TIPO_CLIENTE"), QStringLiteral("SC"));
        return customer;
    }

    int insert(const Customer &customer)
    {
        int code = 0;
        EXPECT_EQ(insertInto(context->db, customer, &code), Services::WriteEnd::Written)
            << prompter.texts().join(QLatin1Char('|')).toStdString();
        return code;
    }

    QVariant scalar(const QString &sql) { return archives->scalar(sql); }
};

TEST_P(CustomerStoreTest, NewCustomersGetTheDefaultsAndConsecutiveCodes)
{
    const Customer fresh = newCustomer(context->db);
    EXPECT_EQ(fresh.main().text(QStringLiteral("CONTO_RICAVO")), QStringLiteral("041001"));
    EXPECT_EQ(fresh.main().text(QStringLiteral("CONTO_PATRIM")), QStringLiteral("012001"));
    EXPECT_EQ(fresh.main().text(QStringLiteral("NAZIONE")), QStringLiteral("I"));
    EXPECT_EQ(fresh.main().text(QStringLiteral("UBICAZIONE")), QStringLiteral("I"));

    Customer first = valid(QStringLiteral("Rossi Srl"));
    first.main().setText(QStringLiteral("SCONTO1"), QStringLiteral("12,5"));
    first.main().setText(QStringLiteral("SCFATT"), QStringLiteral("S"));
    first.main().setText(QStringLiteral("SUDDIVCANTIERE"), QStringLiteral("S"));
    first.part(Contact).setText(QStringLiteral("RESPONSABILE"), QStringLiteral("Mario"));
    EXPECT_EQ(insert(first), 1);
    EXPECT_EQ(insert(valid(QStringLiteral("Bianchi"))), 2);

    EXPECT_EQ(scalar(QStringLiteral("SELECT COND_PAG FROM ANAG_CLI WHERE CLIENTE = 1")).toString(),
              QStringLiteral("RD"));
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT SCONTO1 FROM ANAG_CLI WHERE CLIENTE = 1")).toDouble(), 12.5);
    EXPECT_EQ(scalar(QStringLiteral("SELECT SCFATT * 10 + SUDDIVCANTIERE FROM ANAG_CLI WHERE CLIENTE = 1")).toInt(), 9);
    EXPECT_EQ(scalar(QStringLiteral("SELECT LIVELLO_SEGN FROM ANAG_CLI WHERE CLIENTE = 2")).toInt(), 0);
    // Contact data only where some was entered.
    EXPECT_EQ(archives->count(QStringLiteral("CONT_CLI")), 1);
    EXPECT_EQ(archives->count(QStringLiteral("PERS_CLI")), 0);

    const auto loaded = loadCustomer(context->db, 1);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->stored(Contact));
    EXPECT_FALSE(loaded->stored(Personal));
    EXPECT_DOUBLE_EQ(loaded->main().number(QStringLiteral("SCONTO1")), 12.5);
    EXPECT_TRUE(loaded->main().flag(QStringLiteral("SUDDIVCANTIERE")));
    EXPECT_FALSE(loadCustomer(context->db, 99));
}

TEST_P(CustomerStoreTest, ChecksRunInOrderAndEveryFailureIsListed)
{
    // Nothing typed: the mandatory fields, the described ones included.
    QStringList columns;
    for (const Services::FieldProblem &p : checkCustomer(context->db, Customer(customerFamily()), {}))
        columns << p.column;
    EXPECT_EQ(columns, (QStringList{"COND_PAG", "CONTO_PATRIM", "CONTO_RICAVO", "NAZIONE", "UBICAZIONE", "TIPO_CLIENTE",
                                    "RAG_SOC1"}));

    run(QStringLiteral("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, AGENTE) VALUES (7, 'Fornitore', ' ')"));
    Customer wrong = valid(QStringLiteral("Verdi"));
    wrong.part(Personal).setText(QStringLiteral("DATA_NASC"), QStringLiteral("31/02/1980"));
    wrong.main().setText(QStringLiteral("AGENTE"), QStringLiteral("7")); // a supplier, not an agent
    wrong.main().setText(QStringLiteral("SCONTO2"), QStringLiteral("100"));
    wrong.main().setText(QStringLiteral("CONTO_RICAVO"), QStringLiteral("012001")); // a balance-sheet account
    wrong.main().setText(QStringLiteral("PART_IVA"), QStringLiteral("1234567890"));
    wrong.main().setText(QStringLiteral("COD_FISC"), QStringLiteral("RSSMRA85T10A562X"));
    QStringList messages;
    for (const Services::FieldProblem &p : checkCustomer(context->db, wrong, {}))
        messages << p.message;
    EXPECT_EQ(messages, (QStringList{"Data nascita cliente non valida !", "Codice agente sconosciuto ! ",
                                     "Percentuale sconto errata.", "Conto Ricavo sconosciuto ! ",
                                     "Codice fiscale errato ! ", "Partita iva errata !"}));
    // A field left alone: its own check, none of the others.
    const auto agentOnly = checkCustomer(context->db, wrong, {}, QStringLiteral("AGENTE"));
    ASSERT_EQ(agentOnly.size(), 1);
    EXPECT_EQ(agentOnly.first().message, QStringLiteral("Codice agente sconosciuto ! "));
    EXPECT_TRUE(checkCustomer(context->db, wrong, {}, QStringLiteral("RAG_SOC1")).isEmpty());

    // A tax code kept against the warning, and a VAT number as tax code, pass.
    Customer kept = valid(QStringLiteral("Neri"));
    kept.main().setText(QStringLiteral("COD_FISC"), QStringLiteral("RSSMRA85T10A562X"));
    EXPECT_TRUE(checkCustomer(context->db, kept, QStringLiteral("RSSMRA85T10A562X")).isEmpty());
    kept.main().setText(QStringLiteral("COD_FISC"), QStringLiteral("12345678903"));
    EXPECT_TRUE(checkCustomer(context->db, kept, {}).isEmpty());
}

TEST_P(CustomerStoreTest, ASecondaryCodeTakenMeanwhileWritesNothing)
{
    Customer first = valid(QStringLiteral("Rossi"));
    first.main().setText(QStringLiteral("CODICE2"), QStringLiteral("ros01"));
    insert(first);
    Customer second = valid(QStringLiteral("Rossini"));
    second.main().setText(QStringLiteral("CODICE2"), QStringLiteral("ROS01"));
    ASSERT_EQ(checkCustomer(context->db, second, {}).size(), 1);
    EXPECT_EQ(checkCustomer(context->db, second, {}).first().message,
              QStringLiteral("Codice secondario già presente in archivio !"));
    // Past the checks (another workstation was quicker): refused under the lock.
    int code = 0;
    EXPECT_EQ(insertInto(context->db, second, &code), Services::WriteEnd::Duplicate);
    EXPECT_EQ(archives->count(QStringLiteral("ANAG_CLI")), 1);
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_TRUE(heldByAnother(context->db, QStringLiteral("CODICE2"), QStringLiteral("Ros01"), 2));
    EXPECT_FALSE(heldByAnother(context->db, QStringLiteral("CODICE2"), QStringLiteral("ROS01"), 1));
}

TEST_P(CustomerStoreTest, UpdatesWriteWhatChangedAndDropThePersonalListWithIt)
{
    Customer customer = valid(QStringLiteral("Rossi"));
    customer.main().setText(QStringLiteral("TIPOLISTINO"), QStringLiteral("P"));
    const int code = insert(customer);
    run(QStringLiteral("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (%1, 'ACM', 'A1', 3)")
            .arg(code));
    run(QStringLiteral("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA) VALUES (%1, 'ACM')").arg(code));

    // A failure on the discounts rolls back the update of the customer too.
    auto loaded = loadCustomer(context->db, code);
    ASSERT_TRUE(loaded);
    Customer changed = *loaded;
    changed.main().setText(QStringLiteral("TIPOLISTINO"), QStringLiteral("S"));
    changed.main().setText(QStringLiteral("RAG_SOC1"), QStringLiteral("Rossi Spa"));
    changed.part(Personal).setText(QStringLiteral("SESSO"), QStringLiteral("M"));
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), QStringLiteral("TAB_SCONCLI")),
              QString());
    EXPECT_EQ(updateCustomer(context->db, changed, *loaded).end, Services::WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("Canc. scon cli")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT RAG_SOC1 FROM ANAG_CLI")).toString(), QStringLiteral("Rossi"));
    EXPECT_EQ(archives->count(QStringLiteral("LIST_VEN")), 1);

    ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), QStringLiteral("TAB_SCONCLI")),
              QString());
    EXPECT_EQ(updateCustomer(context->db, changed, *loaded).end, Services::WriteEnd::Written);
    EXPECT_EQ(scalar(QStringLiteral("SELECT RAG_SOC1 FROM ANAG_CLI")).toString(), QStringLiteral("Rossi Spa"));
    EXPECT_EQ(archives->count(QStringLiteral("LIST_VEN")) + archives->count(QStringLiteral("TAB_SCONCLI")), 0);
    // The personal row did not exist: it is inserted.
    EXPECT_EQ(scalar(QStringLiteral("SELECT SESSO FROM PERS_CLI")).toString(), QStringLiteral("M"));
}

TEST_P(CustomerStoreTest, StoredRowsAreComparedAndDeletedWithEverythingOfTheCustomer)
{
    Customer customer = valid(QStringLiteral("Rossi"));
    customer.part(Personal).setText(QStringLiteral("SESSO"), QStringLiteral("F"));
    const int code = insert(customer);
    const auto loaded = loadCustomer(context->db, code);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Services::compareStored(context->db, customerFamily(), *loaded), Services::StoredState::Same);
    run(QStringLiteral("UPDATE PERS_CLI SET CITTA_NASC = 'Roma'"));
    EXPECT_EQ(Services::compareStored(context->db, customerFamily(), *loaded), Services::StoredState::Changed);

    run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO) VALUES (%1, 1, 'Cantiere')").arg(code));
    run(QStringLiteral("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA) VALUES (%1, 'ACM')").arg(code));
    const auto uses = customerUsesOf(context->db, code);
    ASSERT_TRUE(uses);
    EXPECT_TRUE(uses->isEmpty());
    ASSERT_TRUE(deleteCustomer(context->db, code).written());
    for (const char *table : {"ANAG_CLI", "PERS_CLI", "CONS_MERCE", "TAB_SCONCLI"})
        EXPECT_EQ(archives->count(QString::fromLatin1(table)), 0) << table;
    EXPECT_EQ(Services::compareStored(context->db, customerFamily(), *loaded), Services::StoredState::Gone);
}

ORLAVO_FOR_EACH_ENGINE(CustomerStoreTest);

} // namespace

// The customer picker of the documents: codes with their names, never the
// standard-list party, and the agents' list only of agents.
TEST_P(CustomerStoreTest, PickersListTheirOwnPartiesOnly)
{
    insert(valid(QStringLiteral("Rossi Srl")));
    run(QStringLiteral("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (99999, 'LISTINO STANDARD')"));
    run(QStringLiteral("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, AGENTE) VALUES (7, 'AGENTE VERDI', 'A')"));
    run(QStringLiteral("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, AGENTE) VALUES (8, 'FORNITORE NERI', ' ')"));

    const CodedLookup *customers = partyLookup(QStringLiteral("CLIENTE"));
    ASSERT_NE(customers, nullptr);
    LookupList list(*context, codedLookupList(*customers));
    ASSERT_TRUE(list.load());
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.values(0), (QStringList{QStringLiteral("1"), QStringLiteral("Rossi Srl")}));
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Lista CLIENTI"));
    EXPECT_EQ(codedDescription(context->db, *customers, QStringLiteral("1")), QStringLiteral("Rossi Srl"));
    EXPECT_TRUE(codedDescription(context->db, *customers, QStringLiteral("99999")).isEmpty());

    const CodedLookup *agents = partyLookup(QStringLiteral("AGENTE"));
    ASSERT_NE(agents, nullptr);
    EXPECT_EQ(codedDescription(context->db, *agents, QStringLiteral("7")), QStringLiteral("AGENTE VERDI"));
    EXPECT_TRUE(codedDescription(context->db, *agents, QStringLiteral("8")).isEmpty());
    EXPECT_EQ(partyLookup(QStringLiteral("RAG_SOC1")), nullptr);
}
