#include "masterdata/stores/customerstore.h"
#include "masterdata/stores/supplierstore.h"
#include "masterdatatest.h"

// The customer and supplier registers. What both share (identifiers, the
// secondary code, a list switched off rolled back with its update, every
// part of a record deleted) is tested on customers; a failed insert taking
// no code, on suppliers.

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;

namespace {

// Company "01" with its standard data (accounts, countries, payment terms,
// accounts by role: COS 031001, FOR 023001) and the counters of party
// codes; causal types AC purchases, VM sales and AR returns, a purchase
// causal, a support bank.
class PartyStoreTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        run("INSERT INTO TAB_TIPO_CAUS (CODICE, DESCRIZIONE) VALUES ('AR', 'RESI A FORNITORI')");
        run("INSERT INTO TAB_CAU_CONT (TIPO_CAUSALE, CAUSALE, DESCRIZIONE) VALUES ('AC', 'ACQ', 'ACQUISTI'), "
            "('VM', 'VEN', 'VENDITE')");
        run("INSERT INTO TAB_BAN_APP (CODICE, DESCRIZIONE) VALUES ('BA1', 'Banca appoggio')");
    }

    // Parties that pass every check.
    Customer validCustomer(const QString &name)
    {
        Customer customer = newCustomer(context->db);
        customer.main().setText("RAG_SOC1", name);
        customer.main().setText("COND_PAG", "rd");
        customer.main().setText("TIPO_CLIENTE", "SC");
        return customer;
    }
    Supplier validSupplier(const QString &name, SupplierFlavour flavour = SupplierFlavour::Suppliers)
    {
        Supplier supplier = newSupplier(context->db, flavour);
        supplier.main().setText("RAG_SOC1", name);
        supplier.main().setText("COND_PAG", "RD");
        return supplier;
    }

    // The code written.
    int added(const Services::WriteResult &written)
    {
        EXPECT_EQ(written.end, WriteEnd::Written) << prompter.texts().join('|').toStdString();
        return int(written.code);
    }
    int addCustomer(const Customer &customer) { return added(insertCustomer(context->db, customer)); }
    int addSupplier(const Supplier &supplier) { return added(insertSupplier(context->db, supplier)); }

    QStringList customerMessages(const Customer &customer)
    {
        return Orlavo::Testing::problemTexts(checkCustomer(context->db, customer, {}), false);
    }
    QStringList supplierMessages(const Supplier &supplier, SupplierWording wording = SupplierWording::Modify,
                                 const QString &only = {})
    {
        return Orlavo::Testing::problemTexts(checkSupplier(context->db, supplier, {}, wording, only), false);
    }

    int rowsOf(const char *table, int code)
    {
        return text(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CLIENTE = %2").arg(QLatin1String(table)).arg(code))
            .toInt();
    }
};

TEST_P(PartyStoreTest, NewCustomersGetTheDefaultsAndConsecutiveCodes)
{
    const Customer fresh = newCustomer(context->db);
    EXPECT_EQ(fresh.main().text("CONTO_RICAVO") + fresh.main().text("CONTO_PATRIM") + fresh.main().text("NAZIONE") +
                  fresh.main().text("UBICAZIONE"),
              "041001012001II");

    EXPECT_EQ(addCustomer(validCustomer("Rossi Srl")), 1);
    EXPECT_EQ(addCustomer(validCustomer("Bianchi")), 2);
    EXPECT_EQ(text("SELECT LIVELLO_SEGN FROM ANAG_CLI WHERE CLIENTE = 2"), "0");
}

TEST_P(PartyStoreTest, ChecksRunInOrderAndEveryFailureIsListed)
{
    // Nothing typed: the mandatory fields, the described ones included.
    QStringList columns;
    for (const Services::FieldProblem &p : checkCustomer(context->db, Customer(customerFamily()), {}))
        columns << p.column;
    EXPECT_EQ(columns, (QStringList{"COND_PAG", "CONTO_PATRIM", "CONTO_RICAVO", "NAZIONE", "UBICAZIONE", "TIPO_CLIENTE",
                                    "RAG_SOC1"}));

    run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, AGENTE) VALUES (7, 'Fornitore', ' ')");
    Customer wrong = validCustomer("Verdi");
    wrong.part(Personal).setText("DATA_NASC", "31/02/1980");
    wrong.main().setText("AGENTE", "7"); // a supplier, not an agent
    wrong.main().setText("SCONTO2", "100");
    wrong.main().setText("CONTO_RICAVO", "012001"); // a balance-sheet account
    wrong.main().setText("PART_IVA", "1234567890");
    wrong.main().setText("COD_FISC", "RSSMRA85T10A562X");
    EXPECT_EQ(customerMessages(wrong), (QStringList{"Data nascita cliente non valida !", "Codice agente sconosciuto ! ",
                                                    "Percentuale sconto errata.", "Conto Ricavo sconosciuto ! ",
                                                    "Codice fiscale errato ! ", "Partita iva errata !"}));

    // A tax code kept against the warning, and a VAT number as tax code, pass.
    Customer kept = validCustomer("Neri");
    kept.main().setText("COD_FISC", "RSSMRA85T10A562X");
    EXPECT_TRUE(checkCustomer(context->db, kept, "RSSMRA85T10A562X").isEmpty());
    kept.main().setText("COD_FISC", "12345678903");
    EXPECT_TRUE(customerMessages(kept).isEmpty());
}

TEST_P(PartyStoreTest, IdentifiersOfOtherCustomersAreFoundAndASecondaryCodeTakenMeanwhileWritesNothing)
{
    Customer first = validCustomer("Rossi");
    first.main().setText("CODICE2", "ros01");
    first.main().setText("PART_IVA", "12345678903");
    addCustomer(first);
    // A VAT number typed anew that another customer holds.
    Customer twin = validCustomer("Rossini");
    twin.main().setText("PART_IVA", "12345678903");
    const auto shared = sharedIdentifiers(context->db, customerParty(), twin, validCustomer("Rossini"));
    ASSERT_EQ(shared.size(), 1);
    EXPECT_EQ(shared.first().column, "PART_IVA");
    // Kept against the question: each one's own value, as loaded, is no duplicate.
    addCustomer(twin);
    const Customer own = *loadCustomer(context->db, 1);
    EXPECT_TRUE(sharedIdentifiers(context->db, customerParty(), own, own).isEmpty());

    Customer second = validCustomer("Verdi");
    second.main().setText("CODICE2", "ROS01");
    EXPECT_EQ(customerMessages(second), QStringList{"Codice secondario già presente in archivio !"});
    // Past the checks (another workstation was quicker): refused under the lock.
    EXPECT_EQ(insertCustomer(context->db, second).end, WriteEnd::Duplicate);
    EXPECT_EQ(count("ANAG_CLI"), 2);
    EXPECT_EQ(count("SEMAFORO"), 0);
    EXPECT_TRUE(prompter.texts().isEmpty());
    // Its own secondary code is no one else's.
    EXPECT_FALSE(heldByAnother(context->db, customerParty(), "CODICE2", "ROS01", 1));
}

TEST_P(PartyStoreTest, UpdatesWriteWhatChangedAndDropThePersonalListWithIt)
{
    Customer customer = validCustomer("Rossi");
    customer.main().setText("TIPOLISTINO", "P");
    const int code = addCustomer(customer);
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

TEST_P(PartyStoreTest, DeleteTakesEverythingOfTheCustomerOnly)
{
    Customer customer = validCustomer("Rossi");
    customer.part(Contact).setText("RESPONSABILE", "Mario");
    customer.part(Personal).setText("SESSO", "F");
    const int code = addCustomer(customer);
    // Another customer with rows of every kind keeps them.
    const int kept = addCustomer(customer);
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

TEST_P(PartyStoreTest, AgentsKeepTheirNameListAndSuppliersAreMarkedWithOneBlank)
{
    EXPECT_EQ(addSupplier(validSupplier("Bianchi Mario", SupplierFlavour::Agents)), 1);
    EXPECT_EQ(addSupplier(validSupplier("Forniture Srl")), 2);

    EXPECT_EQ(text("SELECT AGENTE FROM ANAG_FOR WHERE FORNITORE = 1"), "A");
    EXPECT_EQ(text("SELECT COUNT(*) FROM ANAG_FOR WHERE FORNITORE = 2 AND AGENTE = ' '"), "1");
    EXPECT_EQ(text("SELECT CODICE || RAG_SOC1 FROM AGENTI"), "1Bianchi Mario");
    const auto loaded = loadSupplier(context->db, 1);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(isAgent(*loaded));

    // Renamed, the agent's line follows.
    Supplier renamed = *loaded;
    renamed.main().setText("RAG_SOC1", "Bianchi Mario & C.");
    EXPECT_EQ(updateSupplier(context->db, renamed, *loaded).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT RAG_SOC1 FROM AGENTI WHERE CODICE = 1"), "Bianchi Mario & C.");
}

TEST_P(PartyStoreTest, ChecksRunInOrderWithEachWindowsWording)
{
    QStringList columns;
    for (const Services::FieldProblem &p :
         checkSupplier(context->db, Supplier(supplierFamily()), {}, SupplierWording::Modify))
        columns << p.column;
    EXPECT_EQ(columns, (QStringList{"COND_PAG", "CONTO_PATRIM", "CONTO_COSTO", "NAZIONE", "UBICAZIONE", "RAG_SOC1"}));

    const struct {
        const char *label;
        const char *column;
        const char *typed;
        const char *modify;
        const char *insert;
    } cases[] = {
        // One check of each kind; the provinces' wordings are the window's (partywindows_test).
        {"birth date", "DATA_NASC", "1980", "Data di nascita del fornitore errata!",
         "Data di nascita del fornitore errata !"},
        {"causal type of sales", "TIPO_CAUSALE", "VM", "Tipo Causale di contabilità errata!", nullptr},
        // An A type that is no purchase.
        {"causal type of returns", "TIPO_CAUSALE", "AR", "Tipo Causale di contabilità errata!", nullptr},
        {"goods category", "COD_MERCE", "ZZ", "Codice merceologico sconosciuto!", "Codice merceologico sconosciuto !"},
        {"support bank", "BANCA_APP", "ZZ", "Banca appoggio sconosciuta!", nullptr},
        {"paying bank", "BANCA_PAG", "BA1", "Banca pagamento sconosciuta!", nullptr},
        {"supplier account of costs", "CONTO_PATRIM", "031001", "Conto di contropartita patrimoniale sconosciuto!",
         nullptr},
        {"commission", "PERC_PROV", "100,01", "Percentuale Provvigione errata", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        Supplier supplier = validSupplier("Rossi");
        const bool withholding = supplierFamily().parts.at(SupplierWithholding).def->column(c.column);
        supplier.part(withholding ? SupplierWithholding : SupplierMain).setText(c.column, c.typed);
        EXPECT_EQ(supplierMessages(supplier), QStringList{c.modify});
        EXPECT_EQ(supplierMessages(supplier, SupplierWording::Insert), QStringList{c.insert ? c.insert : c.modify});
    }

    // A causal belongs to its type: without one it waits for it, with
    // another type it is not found.
    Supplier causal = validSupplier("Rossi");
    causal.main().setText("CAUSALE", "ACQ");
    EXPECT_EQ(supplierMessages(causal, SupplierWording::Modify, "CAUSALE"),
              QStringList{"Valorizzare prima il Tipo Causale"});
    causal.main().setText("TIPO_CAUSALE", "ac");
    EXPECT_TRUE(supplierMessages(causal).isEmpty());
    causal.main().setText("CAUSALE", "VEN");
    EXPECT_EQ(supplierMessages(causal), QStringList{"Causale di contabilità errata!"});
}

TEST_P(PartyStoreTest, SwitchingThePersonalListOffDeletesTheSuppliersLists)
{
    Supplier supplier = validSupplier("Forniture Srl");
    supplier.main().setText("TIPOLISTINO", "P");
    const int code = addSupplier(supplier);
    const int other = addSupplier(validSupplier("Altro fornitore"));
    for (int each : {code, other}) {
        run(QStringLiteral("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO) VALUES (%1, 'ACM', 'A1')").arg(each));
        run(QStringLiteral("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (4, 'ACM', 'A1', %1)")
                .arg(each));
        run(QStringLiteral("INSERT INTO TAB_SCONFOR (FORNITORE, MARCA) VALUES (%1, 'ACM')").arg(each));
    }
    const Supplier loaded = *loadSupplier(context->db, code);
    Supplier off = loaded;
    off.main().setText("TIPOLISTINO", "S");
    EXPECT_EQ(updateSupplier(context->db, off, loaded).end, WriteEnd::Written);
    // The other supplier's rows stay.
    for (const char *table : {"LIST_ACQ", "LIST_VEN", "TAB_SCONFOR"})
        EXPECT_EQ(text(QStringLiteral("SELECT FORNITORE FROM %1").arg(QLatin1String(table))), QString::number(other))
            << table;
}

TEST_P(PartyStoreTest, DeleteTakesEveryRowOfTheAgent)
{
    Supplier agent = validSupplier("Bianchi", SupplierFlavour::Agents);
    agent.part(SupplierWithholding).setText("SESSO", "M");
    const int code = addSupplier(agent);
    const int kept = addSupplier(validSupplier("Verdi", SupplierFlavour::Agents));
    EXPECT_EQ(deleteSupplier(context->db, code).end, WriteEnd::Written);
    // The family's other parts are the customer store's case.
    EXPECT_EQ(count("RIT_FOR"), 0);
    EXPECT_EQ(text("SELECT CODICE FROM AGENTI"), QString::number(kept));
    EXPECT_EQ(text("SELECT FORNITORE FROM ANAG_FOR"), QString::number(kept));
}

TEST_P(PartyStoreTest, ALockHeldOrAFailedInsertWritesNothingAndTakesNoCode)
{
    run("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')");
    EXPECT_EQ(insertSupplier(context->db, validSupplier("Rossi", SupplierFlavour::Agents)).end, WriteEnd::LockHeld);
    ASSERT_FALSE(prompter.texts().isEmpty());
    EXPECT_TRUE(prompter.texts().last().contains("in uso esclusivo dall'utente ANNA"));
    EXPECT_EQ(count("ANAG_FOR"), 0);
    run("DELETE FROM SEMAFORO");

    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "AGENTI"), QString());
    EXPECT_EQ(insertSupplier(context->db, validSupplier("Rossi", SupplierFlavour::Agents)).end, WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().last().contains("InsSqlAgenti")) << prompter.texts().last().toStdString();
    EXPECT_EQ(count("ANAG_FOR") + count("SEMAFORO"), 0);
    EXPECT_EQ(text("SELECT NUMERATORE FROM NUMERA WHERE NOME = 'ANAF'"), "0");
}

ORLAVO_FOR_EACH_ENGINE(PartyStoreTest);

} // namespace
