#include "masterdata/stores/supplierstore.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;

namespace {

// Company "01" with its standard data: accounts by role (COS 031001, FOR
// 023001), supplier types (OR not subject to withholding, PR and AG
// subject), causal types (AC purchases, VM sales) and a purchase causal.
class SupplierStoreTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void SetUp() override
    {
        MasterdataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addStandardData();
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
    Supplier agent = valid("Bianchi Mario", SupplierFlavour::Agents);
    EXPECT_EQ(agent.main().text("CONTO_COSTO") + agent.main().text("CONTO_PATRIM") + agent.main().text("NAZIONE") +
                  agent.main().text("UBICAZIONE"),
              "031001023001II");
    agent.main().setText("PERC_PROV", "7,5");
    agent.part(SupplierWithholding).setText("CAUSALE", "a");
    agent.part(SupplierWithholding).setText("FIR", "x12");
    agent.part(SupplierWithholding).setText("INIZIO_RAP", "01/03/2020");
    EXPECT_EQ(insert(agent), 1);
    EXPECT_EQ(insert(valid("Forniture Srl")), 2);

    EXPECT_EQ(text("SELECT AGENTE FROM ANAG_FOR WHERE FORNITORE = 1"), "A");
    EXPECT_EQ(text("SELECT COUNT(*) FROM ANAG_FOR WHERE FORNITORE = 2 AND AGENTE = ' '"), "1");
    EXPECT_EQ(text("SELECT CODICE || RAG_SOC1 FROM AGENTI"), "1Bianchi Mario");
    // Withholding data as typed; no contact entered, no contact row.
    EXPECT_EQ(text("SELECT CAUSALE || FIR FROM RIT_FOR WHERE FORNITORE = 1"), "AX12");
    EXPECT_EQ(count("CONT_FOR"), 0);
    const auto loaded = loadSupplier(context->db, 1);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(isAgent(*loaded));
    EXPECT_DOUBLE_EQ(loaded->main().number("PERC_PROV"), 7.5);
    EXPECT_EQ(loaded->part(SupplierWithholding).date("INIZIO_RAP"), QDate(2020, 3, 1));

    // Renamed, the agent's line follows; one lost meanwhile is written again.
    Supplier renamed = *loaded;
    renamed.main().setText("RAG_SOC1", "Bianchi Mario & C.");
    EXPECT_EQ(updateSupplier(context->db, renamed, *loaded).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT RAG_SOC1 FROM AGENTI WHERE CODICE = 1"), "Bianchi Mario & C.");
    run("DELETE FROM AGENTI");
    const Supplier before = *loadSupplier(context->db, 1);
    Supplier again = before;
    again.main().setText("RAG_SOC2", "Zona nord");
    EXPECT_EQ(updateSupplier(context->db, again, before).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT RAG_SOC2 FROM AGENTI WHERE CODICE = 1"), "Zona nord");
    EXPECT_EQ(updateSupplier(context->db, again, again).end, WriteEnd::NothingChanged);
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
        {"end of relationship", "FINE_RAP", "31/02/2021", "Data di fine rapporto con il fornitore errata!", nullptr},
        {"country of birth", "NAZ_NASC", "ZZ", "Nazione di nascita del cliente sconosciuta!", nullptr},
        {"birth date", "DATA_NASC", "1980", "Data di nascita del fornitore errata!",
         "Data di nascita del fornitore errata !"},
        {"province of birth", "PROV_NASC", "QQ", "Provoncia di nascita del cliente sconosciuta!", nullptr},
        {"causal type of sales", "TIPO_CAUSALE", "VM", "Tipo Causale di contabilità errata!", nullptr},
        {"causal type of returns", "TIPO_CAUSALE", "AR", "Tipo Causale di contabilità errata!", nullptr},
        {"goods category", "COD_MERCE", "ZZ", "Codice merceologico sconosciuto!", "Codice merceologico sconosciuto !"},
        {"activity", "COD_ATTIVITA", "ZZ", "Codice attivita sconosciuto !", "Codice attività sconosciuto !"},
        {"support bank", "BANCA_APP", "ZZ", "Banca appoggio sconosciuta!", nullptr},
        {"paying bank", "BANCA_PAG", "BA1", "Banca pagamento sconosciuta!", nullptr},
        {"payment condition", "COND_PAG", "ZZ", "Condizioni di pagamento sconosciute!",
         "Condizioni di pagamento sconosciute"},
        {"supplier account of costs", "CONTO_PATRIM", "031001", "Conto di contropartita patrimoniale sconosciuto!",
         nullptr},
        {"commission", "PERC_PROV", "100,01", "Percentuale Provvigione errata", nullptr},
        {"supplier type", "TIPO_FORN", "ZZ", "Tipo fornitore sconosciuto!", "Tipo fornitore sconosciuto !"},
        {"administrative province", "PROVINCIA_AMM", "QQ", "Provincia di Sede amministrativa sconosciuta!",
         "Sigla provincia sconosciuta ! "},
        {"registered province", "PROVINCIA_LEG", "QQ", "Provincia di Sede legale sconosciuta! ",
         "Sigla provincia sconosciuta ! "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        Supplier supplier = valid("Rossi");
        const auto [part, column] = [&c]() -> std::pair<int, QString> {
            for (int p : {SupplierMain, SupplierWithholding}) {
                if (supplierFamily().parts.at(p).def->column(c.column))
                    return {p, c.column};
            }
            return {SupplierMain, c.column};
        }();
        supplier.part(part).setText(column, c.typed);
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

TEST_P(SupplierStoreTest, SwitchingThePersonalListOffDeletesTheSuppliersListsInTheSameTransaction)
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
    // Named by list rows, a supplier cannot be deleted.
    EXPECT_EQ(*supplierUsesOf(context->db, code), QStringList{"Articoli"});

    const Supplier loaded = *loadSupplier(context->db, code);
    Supplier off = loaded;
    off.main().setText("TIPOLISTINO", "S");
    off.main().setText("RAG_SOC1", "Forniture Spa");
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "TAB_SCONFOR"), QString());
    EXPECT_EQ(updateSupplier(context->db, off, loaded).end, WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().last().contains("CancSconFor")) << prompter.texts().last().toStdString();
    EXPECT_EQ(count("LIST_ACQ") + count("LIST_VEN") + count("TAB_SCONFOR"), 6);
    EXPECT_EQ(text(QStringLiteral("SELECT RAG_SOC1 FROM ANAG_FOR WHERE FORNITORE = %1").arg(code)), "Forniture Srl");

    ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), "TAB_SCONFOR"), QString());
    EXPECT_EQ(updateSupplier(context->db, off, loaded).end, WriteEnd::Written);
    // The other supplier's rows stay.
    for (const char *table : {"LIST_ACQ", "LIST_VEN", "TAB_SCONFOR"})
        EXPECT_EQ(text(QStringLiteral("SELECT FORNITORE FROM %1").arg(QLatin1String(table))), QString::number(other))
            << table;
    EXPECT_TRUE(supplierUsesOf(context->db, code)->isEmpty());
}

TEST_P(SupplierStoreTest, DeleteTakesEveryRowOfTheAgent)
{
    Supplier agent = valid("Bianchi", SupplierFlavour::Agents);
    agent.part(SupplierContact).setText("RESPONSABILE", "Luca");
    agent.part(SupplierWithholding).setText("SESSO", "M");
    const int code = insert(agent);
    const int kept = insert(valid("Verdi", SupplierFlavour::Agents));
    EXPECT_EQ(deleteSupplier(context->db, code).end, WriteEnd::Written);
    for (const char *table : {"ANAG_FOR", "AGENTI", "CONT_FOR", "RIT_FOR"})
        EXPECT_EQ(text(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = %3")
                           .arg(QLatin1String(table),
                                QLatin1String(strcmp(table, "AGENTI") ? "FORNITORE" : "CODICE"))
                           .arg(code)),
                  "0")
            << table;
    EXPECT_EQ(text("SELECT CODICE FROM AGENTI"), QString::number(kept));
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
