#include "masterdata/stores/customerstore.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;
using Orlavo::Testing::insertInto;

namespace {

// Company "01" with its standard data (accounts, countries, payment terms)
// and the counter of customer codes.
class CustomerStoreTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void SetUp() override
    {
        MasterdataTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            addStandardData();
    }

    // A customer that passes every check.
    Customer valid(const QString &name)
    {
        Customer customer = newCustomer(context->db);
        customer.main().setText("RAG_SOC1", name);
        customer.main().setText("COND_PAG", "rd");
        customer.main().setText("TIPO_CLIENTE", "SC");
        return customer;
    }

    int insert(const Customer &customer)
    {
        int code = 0;
        EXPECT_EQ(insertInto(context->db, customer, &code), WriteEnd::Written)
            << prompter.texts().join('|').toStdString();
        return code;
    }

    QStringList messages(const Customer &customer, const QString &only = {})
    {
        QStringList found;
        for (const Services::FieldProblem &p : checkCustomer(context->db, customer, {}, only))
            found << p.message;
        return found;
    }

    int rowsOf(const char *table, int code)
    {
        return text(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CLIENTE = %2").arg(QLatin1String(table)).arg(code))
            .toInt();
    }
};

TEST_P(CustomerStoreTest, NewCustomersGetTheDefaultsAndConsecutiveCodes)
{
    const Customer fresh = newCustomer(context->db);
    EXPECT_EQ(fresh.main().text("CONTO_RICAVO") + fresh.main().text("CONTO_PATRIM") + fresh.main().text("NAZIONE") +
                  fresh.main().text("UBICAZIONE"),
              "041001012001II");

    Customer first = valid("Rossi Srl");
    first.main().setText("SCONTO1", "12,5");
    first.main().setText("SCFATT", "S");
    first.main().setText("SUDDIVCANTIERE", "S");
    first.part(Contact).setText("RESPONSABILE", "Mario");
    EXPECT_EQ(insert(first), 1);
    EXPECT_EQ(insert(valid("Bianchi")), 2);
    EXPECT_EQ(text("SELECT COND_PAG FROM ANAG_CLI WHERE CLIENTE = 1"), "RD");
    EXPECT_DOUBLE_EQ(archives->scalar("SELECT SCONTO1 FROM ANAG_CLI WHERE CLIENTE = 1").toDouble(), 12.5);
    EXPECT_EQ(text("SELECT SCFATT * 10 + SUDDIVCANTIERE FROM ANAG_CLI WHERE CLIENTE = 1"), "9");
    EXPECT_EQ(text("SELECT LIVELLO_SEGN FROM ANAG_CLI WHERE CLIENTE = 2"), "0");
    // Contact data only where some was entered.
    EXPECT_EQ(count("CONT_CLI"), 1);
    EXPECT_EQ(count("PERS_CLI"), 0);

    const auto loaded = loadCustomer(context->db, 1);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->stored(Contact));
    EXPECT_FALSE(loaded->stored(Personal));
    EXPECT_DOUBLE_EQ(loaded->main().number("SCONTO1"), 12.5);
    EXPECT_TRUE(loaded->main().flag("SUDDIVCANTIERE"));
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

    run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, AGENTE) VALUES (7, 'Fornitore', ' ')");
    Customer wrong = valid("Verdi");
    wrong.part(Personal).setText("DATA_NASC", "31/02/1980");
    wrong.main().setText("AGENTE", "7"); // a supplier, not an agent
    wrong.main().setText("SCONTO2", "100");
    wrong.main().setText("CONTO_RICAVO", "012001"); // a balance-sheet account
    wrong.main().setText("PART_IVA", "1234567890");
    wrong.main().setText("COD_FISC", "RSSMRA85T10A562X");
    EXPECT_EQ(messages(wrong), (QStringList{"Data nascita cliente non valida !", "Codice agente sconosciuto ! ",
                                            "Percentuale sconto errata.", "Conto Ricavo sconosciuto ! ",
                                            "Codice fiscale errato ! ", "Partita iva errata !"}));
    // A field left alone: its own check, none of the others.
    EXPECT_EQ(messages(wrong, "AGENTE"), QStringList{"Codice agente sconosciuto ! "});
    EXPECT_TRUE(messages(wrong, "RAG_SOC1").isEmpty());

    // A tax code kept against the warning, and a VAT number as tax code, pass.
    Customer kept = valid("Neri");
    kept.main().setText("COD_FISC", "RSSMRA85T10A562X");
    EXPECT_TRUE(checkCustomer(context->db, kept, "RSSMRA85T10A562X").isEmpty());
    kept.main().setText("COD_FISC", "12345678903");
    EXPECT_TRUE(messages(kept).isEmpty());
}

TEST_P(CustomerStoreTest, IdentifiersOfOtherCustomersAreFoundAndASecondaryCodeTakenMeanwhileWritesNothing)
{
    Customer first = valid("Rossi");
    first.main().setText("CODICE2", "ros01");
    first.main().setText("PART_IVA", "12345678903");
    insert(first);
    // A VAT number typed anew that another customer holds.
    Customer twin = valid("Rossini");
    twin.main().setText("PART_IVA", "12345678903");
    const auto shared = sharedIdentifiers(context->db, customerParty(), twin, valid("Rossini"));
    ASSERT_EQ(shared.size(), 1);
    EXPECT_EQ(shared.first().column, "PART_IVA");
    // Kept against the question: each one's own value, as loaded, is no duplicate.
    insert(twin);
    const Customer own = *loadCustomer(context->db, 1);
    EXPECT_TRUE(sharedIdentifiers(context->db, customerParty(), own, own).isEmpty());

    Customer second = valid("Verdi");
    second.main().setText("CODICE2", "ROS01");
    EXPECT_EQ(messages(second), QStringList{"Codice secondario già presente in archivio !"});
    // Past the checks (another workstation was quicker): refused under the lock.
    int none = 0;
    EXPECT_EQ(insertInto(context->db, second, &none), WriteEnd::Duplicate);
    EXPECT_EQ(count("ANAG_CLI"), 2);
    EXPECT_EQ(count("SEMAFORO"), 0);
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_TRUE(heldByAnother(context->db, customerParty(), "CODICE2", "Ros01", 2));
    EXPECT_FALSE(heldByAnother(context->db, customerParty(), "CODICE2", "ROS01", 1));
}

TEST_P(CustomerStoreTest, AFailedInsertTakesNoCode)
{
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "CONT_CLI"), QString());
    Customer customer = valid("Rossi");
    customer.part(Contact).setText("RESPONSABILE", "Mario");
    int code = 0;
    EXPECT_EQ(insertInto(context->db, customer, &code), WriteEnd::Failed);
    ASSERT_FALSE(prompter.texts().isEmpty());
    EXPECT_TRUE(prompter.texts().last().contains("Step Ins. cont cli\n")) << prompter.texts().last().toStdString();
    EXPECT_EQ(text("SELECT NUMERATORE FROM NUMERA WHERE NOME = 'ANAC'"), "0");
    EXPECT_EQ(count("ANAG_CLI") + count("SEMAFORO"), 0);
}

TEST_P(CustomerStoreTest, UpdatesWriteWhatChangedAndDropThePersonalListWithIt)
{
    Customer customer = valid("Rossi");
    customer.main().setText("TIPOLISTINO", "P");
    const int code = insert(customer);
    run(QStringLiteral("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (%1, 'ACM', 'A1', 3)")
            .arg(code));
    run(QStringLiteral("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA) VALUES (%1, 'ACM')").arg(code));

    // A failure on the discounts rolls back the update of the customer too.
    auto loaded = loadCustomer(context->db, code);
    ASSERT_TRUE(loaded);
    Customer changed = *loaded;
    changed.main().setText("TIPOLISTINO", "S");
    changed.main().setText("RAG_SOC1", "Rossi Spa");
    changed.part(Personal).setText("SESSO", "M");
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "TAB_SCONCLI"), QString());
    ASSERT_EQ(updateCustomer(context->db, changed, *loaded).end, WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().last().contains("Canc. scon cli"));
    EXPECT_EQ(text("SELECT RAG_SOC1 FROM ANAG_CLI"), "Rossi");
    EXPECT_EQ(count("LIST_VEN"), 1);

    ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), "TAB_SCONCLI"), QString());
    EXPECT_EQ(updateCustomer(context->db, changed, *loaded).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT RAG_SOC1 FROM ANAG_CLI"), "Rossi Spa");
    EXPECT_EQ(count("LIST_VEN") + count("TAB_SCONCLI"), 0);
    // The personal row did not exist: it is inserted.
    EXPECT_EQ(text("SELECT SESSO FROM PERS_CLI"), "M");
}

TEST_P(CustomerStoreTest, StoredRowsAreComparedAndDeletedWithEverythingOfTheCustomer)
{
    Customer customer = valid("Rossi");
    customer.part(Personal).setText("SESSO", "F");
    const int code = insert(customer);
    const auto loaded = loadCustomer(context->db, code);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Services::compareStored(context->db, customerFamily(), *loaded), Services::StoredState::Same);
    run("UPDATE PERS_CLI SET CITTA_NASC = 'Roma'");
    EXPECT_EQ(Services::compareStored(context->db, customerFamily(), *loaded), Services::StoredState::Changed);

    // Another customer with rows of every kind keeps them.
    Customer other = valid("Bianchi");
    other.part(Contact).setText("RESPONSABILE", "Anna");
    other.part(Personal).setText("SESSO", "F");
    const int kept = insert(other);
    for (const int c : {code, kept}) {
        run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO) VALUES (%1, 1, 'Cantiere')")
                .arg(c));
        run(QStringLiteral("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (%1, 'ACM', 'A1', 3)")
                .arg(c));
        run(QStringLiteral("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA) VALUES (%1, 'ACM')").arg(c));
    }
    const auto uses = customerUsesOf(context->db, code);
    ASSERT_TRUE(uses);
    EXPECT_TRUE(uses->isEmpty());
    ASSERT_TRUE(deleteCustomer(context->db, code).written());
    for (const char *table : {"ANAG_CLI", "CONT_CLI", "PERS_CLI", "CONS_MERCE", "LIST_VEN", "TAB_SCONCLI"}) {
        EXPECT_EQ(rowsOf(table, code), 0) << table;
        EXPECT_EQ(rowsOf(table, kept), 1) << table;
    }
    EXPECT_EQ(Services::compareStored(context->db, customerFamily(), *loaded), Services::StoredState::Gone);
}

ORLAVO_FOR_EACH_ENGINE(CustomerStoreTest);

} // namespace
