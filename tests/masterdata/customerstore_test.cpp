#include "masterdata/stores/customerstore.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;

namespace {

// Company "01" with its standard data (accounts, countries, payment terms)
// and the counter of customer codes. What both registers share is tested
// here once; a failed insert taking no code, the supplier store's.
class CustomerStoreTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
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
        const auto written = insertCustomer(context->db, customer);
        EXPECT_EQ(written.end, WriteEnd::Written) << prompter.texts().join('|').toStdString();
        return int(written.code);
    }

    QStringList messages(const Customer &customer)
    {
        QStringList found;
        for (const Services::FieldProblem &p : checkCustomer(context->db, customer, {}))
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

    EXPECT_EQ(insert(valid("Rossi Srl")), 1);
    EXPECT_EQ(insert(valid("Bianchi")), 2);
    EXPECT_EQ(text("SELECT LIVELLO_SEGN FROM ANAG_CLI WHERE CLIENTE = 2"), "0");
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
    EXPECT_EQ(insertCustomer(context->db, second).end, WriteEnd::Duplicate);
    EXPECT_EQ(count("ANAG_CLI"), 2);
    EXPECT_EQ(count("SEMAFORO"), 0);
    EXPECT_TRUE(prompter.texts().isEmpty());
    // Its own secondary code is no one else's.
    EXPECT_FALSE(heldByAnother(context->db, customerParty(), "CODICE2", "ROS01", 1));
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
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "TAB_SCONCLI"), QString());
    ASSERT_EQ(updateCustomer(context->db, changed, *loaded).end, WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().last().contains("Canc. scon cli"));
    EXPECT_EQ(text("SELECT RAG_SOC1 FROM ANAG_CLI"), "Rossi");
    EXPECT_EQ(count("LIST_VEN"), 1);

    ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), "TAB_SCONCLI"), QString());
    EXPECT_EQ(updateCustomer(context->db, changed, *loaded).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT RAG_SOC1 FROM ANAG_CLI"), "Rossi Spa");
    EXPECT_EQ(count("LIST_VEN") + count("TAB_SCONCLI"), 0);
}

TEST_P(CustomerStoreTest, DeleteTakesEverythingOfTheCustomerOnly)
{
    Customer customer = valid("Rossi");
    customer.part(Contact).setText("RESPONSABILE", "Mario");
    customer.part(Personal).setText("SESSO", "F");
    const int code = insert(customer);
    // Another customer with rows of every kind keeps them.
    const int kept = insert(customer);
    for (const int c : {code, kept}) {
        run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO) VALUES (%1, 1, 'Cantiere')")
                .arg(c));
        run(QStringLiteral("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (%1, 'ACM', 'A1', 3)")
                .arg(c));
        run(QStringLiteral("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA) VALUES (%1, 'ACM')").arg(c));
    }
    ASSERT_TRUE(deleteCustomer(context->db, code).written());
    for (const char *table : {"ANAG_CLI", "CONT_CLI", "PERS_CLI", "CONS_MERCE", "LIST_VEN", "TAB_SCONCLI"}) {
        EXPECT_EQ(rowsOf(table, code), 0) << table;
        EXPECT_EQ(rowsOf(table, kept), 1) << table;
    }
}

ORLAVO_FOR_EACH_ENGINE(CustomerStoreTest);

} // namespace
