#include "masterdata/stores/supplierstore.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;

namespace {

// Company "01" with its standard data: accounts by role (COS 031001, FOR
// 023001), causal types (AC purchases, VM sales, AR returns) and a
// purchase causal. What both registers share is the customer
// store's (customerstore_test): identifiers, the secondary code, a list switched off rolled back with its update.
class SupplierStoreTest : public Orlavo::Testing::StandardDataTest<>
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

    Supplier valid(const QString &name, SupplierFlavour flavour = SupplierFlavour::Suppliers)
    {
        Supplier supplier = newSupplier(context->db, flavour);
        supplier.main().setText("RAG_SOC1", name);
        supplier.main().setText("COND_PAG", "RD");
        return supplier;
    }

    int insert(const Supplier &supplier)
    {
        const auto written = insertSupplier(context->db, supplier);
        EXPECT_EQ(written.end, WriteEnd::Written) << prompter.texts().join('|').toStdString();
        return int(written.code);
    }

    QStringList messages(const Supplier &supplier, SupplierWording wording = SupplierWording::Modify,
                         const QString &only = {})
    {
        QStringList found;
        for (const Services::FieldProblem &p : checkSupplier(context->db, supplier, {}, wording, only))
            found << p.message;
        return found;
    }
};

TEST_P(SupplierStoreTest, AgentsKeepTheirNameListAndSuppliersAreMarkedWithOneBlank)
{
    EXPECT_EQ(insert(valid("Bianchi Mario", SupplierFlavour::Agents)), 1);
    EXPECT_EQ(insert(valid("Forniture Srl")), 2);

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

TEST_P(SupplierStoreTest, ChecksRunInOrderWithEachWindowsWording)
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
        // One check of each kind; the provinces' wordings are the window's (supplierwindow_test).
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
        Supplier supplier = valid("Rossi");
        const bool withholding = supplierFamily().parts.at(SupplierWithholding).def->column(c.column);
        supplier.part(withholding ? SupplierWithholding : SupplierMain).setText(c.column, c.typed);
        EXPECT_EQ(messages(supplier), QStringList{c.modify});
        EXPECT_EQ(messages(supplier, SupplierWording::Insert), QStringList{c.insert ? c.insert : c.modify});
    }

    // A causal belongs to its type: without one it waits for it, with
    // another type it is not found.
    Supplier causal = valid("Rossi");
    causal.main().setText("CAUSALE", "ACQ");
    EXPECT_EQ(messages(causal, SupplierWording::Modify, "CAUSALE"), QStringList{"Valorizzare prima il Tipo Causale"});
    causal.main().setText("TIPO_CAUSALE", "ac");
    EXPECT_TRUE(messages(causal).isEmpty());
    causal.main().setText("CAUSALE", "VEN");
    EXPECT_EQ(messages(causal), QStringList{"Causale di contabilità errata!"});
}

TEST_P(SupplierStoreTest, SwitchingThePersonalListOffDeletesTheSuppliersLists)
{
    Supplier supplier = valid("Forniture Srl");
    supplier.main().setText("TIPOLISTINO", "P");
    const int code = insert(supplier);
    const int other = insert(valid("Altro fornitore"));
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

TEST_P(SupplierStoreTest, DeleteTakesEveryRowOfTheAgent)
{
    Supplier agent = valid("Bianchi", SupplierFlavour::Agents);
    agent.part(SupplierWithholding).setText("SESSO", "M");
    const int code = insert(agent);
    const int kept = insert(valid("Verdi", SupplierFlavour::Agents));
    EXPECT_EQ(deleteSupplier(context->db, code).end, WriteEnd::Written);
    // The family's other parts are the customer store's case.
    EXPECT_EQ(count("RIT_FOR"), 0);
    EXPECT_EQ(text("SELECT CODICE FROM AGENTI"), QString::number(kept));
    EXPECT_EQ(text("SELECT FORNITORE FROM ANAG_FOR"), QString::number(kept));
}

TEST_P(SupplierStoreTest, ALockHeldOrAFailedInsertWritesNothingAndTakesNoCode)
{
    run("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')");
    EXPECT_EQ(insertSupplier(context->db, valid("Rossi", SupplierFlavour::Agents)).end, WriteEnd::LockHeld);
    ASSERT_FALSE(prompter.texts().isEmpty());
    EXPECT_TRUE(prompter.texts().last().contains("in uso esclusivo dall'utente ANNA"));
    EXPECT_EQ(count("ANAG_FOR"), 0);
    run("DELETE FROM SEMAFORO");

    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "AGENTI"), QString());
    EXPECT_EQ(insertSupplier(context->db, valid("Rossi", SupplierFlavour::Agents)).end, WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().last().contains("InsSqlAgenti")) << prompter.texts().last().toStdString();
    EXPECT_EQ(count("ANAG_FOR") + count("SEMAFORO"), 0);
    EXPECT_EQ(text("SELECT NUMERATORE FROM NUMERA WHERE NOME = 'ANAF'"), "0");
}

ORLAVO_FOR_EACH_ENGINE(SupplierStoreTest);

} // namespace
