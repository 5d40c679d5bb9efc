#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/stores/vatcodestore.h"
#include "services/core/tablenames.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Row;
using Orlavo::Services::WriteEnd;

namespace {

// The standard VAT codes (22, 10, 5, 4, E, N, S, X), named by a customer
// (22), an item (4), invoices (N on a header slot, S on a row, 22 as a
// proposal's transport code), a causal (E) and the company's base data
// (10); another company's base data names 5. The standard causals are
// left out: only the test's own names a code.
class VatCodeStoreTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        for (const char *sql : {
                 "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, CODICE_IVA) VALUES (1, 'Rossi', '22')",
                 "INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, COD_IVA) VALUES ('01', 'ACM', 'A1', '4')",
                 "INSERT INTO FVENDT (ANNO, NRO_INT, PERC_3) VALUES ('2025', 1, 'N')",
                 "INSERT INTO FVENDD (ANNO, NRO_INT, RIGA, COD_IVA) VALUES ('2025', 1, 1, 'S')",
                 "INSERT INTO FVENDT_PR (ANNO, NRO_INT, IVA_TRA) VALUES ('2025', 1, '22')",
                 "DELETE FROM TAB_CAU_CONT",
                 "INSERT INTO TAB_CAU_CONT (CAUSALE, COD_IVA) VALUES ('FE', 'E')",
                 "INSERT INTO servizi.DATIBASE (SOCIETA, PERCIVA) VALUES ('01', '10'), ('02', '5')",
             })
            run(QString::fromLatin1(sql));
    }

    static Row code(const char *code, const char *description, const char *rate, const char *kind)
    {
        Row row = newVatCode();
        row.setText("CODICE", code);
        row.setText("DESCRIZIONE", description);
        row.setText("ALIQUOTA", rate);
        row.setText("TIPO_CODICE", kind);
        return row;
    }
    Row stored(const QString &code)
    {
        const auto row = findCodedRow(context->db, vatCodes(), code);
        return row && *row ? **row : Row();
    }
    QStringList problems(const Row &row, const QString &loaded = {}, const QString &only = {})
    {
        QStringList found;
        for (const auto &p : checkCodedRow(context->db, vatCodes(), row, loaded, only))
            found << p.column + ':' + p.message;
        return found;
    }
    QStringList rows()
    {
        return Orlavo::Testing::committedRows(
            *archives, "SELECT CODICE, DESCRIZIONE, ALIQUOTA, TIPO_CODICE, DESC_TIPO, BASE_IMP FROM TAB_PERIVA");
    }
};

TEST_P(VatCodeStoreTest, ChecksRunInTheirOrderAndUntaxedKindsTakeNoRate)
{
    const QString positive = "ALIQUOTA:Aliquota Iva maggiore di zero";
    const QString untaxed = "ALIQUOTA:Aliquota Iva errata";
    const QString taken = "CODICE:Codice Percentuale Iva già presente in archivio";
    EXPECT_EQ(problems(code("", "", "-1", "P")),
              (QStringList{positive, "DESCRIZIONE:Descrizione Percentuale Iva - Obbligatoria !",
                           "CODICE:Codice Percentuale Iva - Obbligatorio !"}));
    const struct {
        const char *code, *rate, *kind, *loaded;
        QStringList expected;
    } cases[] = {
        {"21", "21", "P", "", {}},
        {"21", "21", "D", "", {}},
        {"Z", "0", "E", "", {}},
        {"Z", "4", "E", "", {untaxed}},
        {"Z", "0,01", "N", "", {untaxed}},
        {"Z", "4", "S", "", {untaxed}},
        {"Z", "-4", "X", "", {positive, untaxed}},
        // A new code or a renamed one must be free; a stored one keeps itself.
        {"e", "0", "E", "", {taken}},
        {"22", "22", "P", "22", {}},
        {"10", "22", "P", "22", {taken}},
        {"23", "22", "P", "22", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(problems(code(c.code, "Iva", c.rate, c.kind), c.loaded), c.expected) << c.code << " " << c.kind;
    // Leaving the code runs its checks only.
    EXPECT_EQ(problems(code("22", "", "-1", "P"), {}, "CODICE"), QStringList{taken});
}

TEST_P(VatCodeStoreTest, UsesAreTheRecordsNamingTheCodeInThisCompany)
{
    const struct {
        const char *code;
        QStringList labels;
    } cases[] = {
        {"22", {"Clienti", "Fatture"}},
        {"4", {"Articoli"}},
        {"N", {"Fatture"}},
        {"S", {"Fatture"}},
        {"E", {"Causali contabili"}},
        {"10", {"Dati base"}},
        {"5", {}}, // another company's default
        {"X", {}},
    };
    for (const auto &c : cases) {
        const auto labels = codeUses(context->db, vatCodes(), c.code);
        ASSERT_TRUE(labels);
        EXPECT_EQ(*labels, c.labels) << c.code;
    }
    // A table not in the archive (yet) is skipped, not fatal.
    CodedTable later = vatCodes();
    later.uses.prepend({"PROVA_NON_ANCORA", {"COD_IVA"}, "Documenti futuri"});
    const auto withLater = codeUses(context->db, later, "22");
    ASSERT_TRUE(withLater);
    EXPECT_EQ(*withLater, (QStringList{"Clienti", "Fatture"}));
    EXPECT_EQ(dbExits, 0);
    EXPECT_EQ(deleteRefusal(vatCodes(), {"Clienti", "Fatture"}),
              "Impossibile eliminare Codice Iva,\nsono ancora presenti registrazioni su : Clienti, Fatture");
}

TEST_P(VatCodeStoreTest, WritesDeriveTheKindsTextAndRenameAFreeCode)
{
    EXPECT_EQ(insertCodedRow(context->db, vatCodes(), code("21", "Iva 21", "21", "D")).end, WriteEnd::Written);
    EXPECT_TRUE(rows().contains("21|Iva 21|21|D|NON DETRAIBILE|100"));

    Row changed = stored("21");
    changed.setText("TIPO_CODICE", "X");
    changed.setText("ALIQUOTA", "0");
    changed.setText("CODICE", "x21");
    EXPECT_EQ(updateCodedRow(context->db, vatCodes(), changed, stored("21")).end, WriteEnd::Written);
    EXPECT_TRUE(rows().contains("X21|Iva 21|0|X|ESCLUSA|100"));
    EXPECT_EQ(count("TAB_PERIVA"), 9);

    EXPECT_EQ(deleteCodedRow(context->db, vatCodes(), stored("X21")).end, WriteEnd::Written);
    EXPECT_EQ(count("TAB_PERIVA"), 8);
    // Gone meanwhile: nothing to update or delete.
    EXPECT_EQ(updateCodedRow(context->db, vatCodes(), code("X21", "Altro", "0", "X"), changed).end,
              WriteEnd::Gone);
    EXPECT_EQ(deleteCodedRow(context->db, vatCodes(), changed).end, WriteEnd::Gone);
    EXPECT_EQ(count("TAB_PERIVA"), 8);
}

TEST_P(VatCodeStoreTest, ACodeInUseKeepsAllButItsDescriptionAndStays)
{
    const Row used = stored("4");
    Row described = used;
    described.setText("DESCRIZIONE", "Iva 4% beni primari");
    EXPECT_EQ(updateCodedRow(context->db, vatCodes(), described, used).end, WriteEnd::Written);

    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PERIVA"});
    const Row loaded = stored("4");
    const auto refused = [&](const char *column, const char *value) {
        Row row = loaded;
        row.setText("DESCRIZIONE", "Cambiata");
        row.setText(column, value);
        return updateCodedRow(context->db, vatCodes(), row, loaded);
    };
    const std::pair<const char *, const char *> kept[] = {
        {"ALIQUOTA", "5"}, {"TIPO_CODICE", "D"}, {"BASE_IMP", "50"}, {"CODICE", "44"}};
    for (const auto &[column, value] : kept) {
        const Services::WriteResult written = refused(column, value);
        EXPECT_EQ(written.uses, QStringList{"Articoli"}) << column;
        EXPECT_EQ(written.end, WriteEnd::NothingChanged) << column;
    }
    const Services::WriteResult deleted = deleteCodedRow(context->db, vatCodes(), loaded);
    EXPECT_EQ(deleted.uses, QStringList{"Articoli"});
    Orlavo::Testing::expectNothingWritten(before, context->db);
    EXPECT_EQ(count(Services::Tables::SEMAFORO), 0);
}

TEST_P(VatCodeStoreTest, ACodeStoredElsewhereMeanwhileIsADuplicateWithNothingWritten)
{
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("INSERT INTO TAB_PERIVA (CODICE, DESCRIZIONE, ALIQUOTA) VALUES ('21', 'Altrui', 21)"));
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PERIVA"});
    const Services::WriteResult inserted = insertCodedRow(context->db, vatCodes(), code("21", "Mia", "21", "P"));
    EXPECT_EQ(inserted.end, WriteEnd::Duplicate);
    EXPECT_EQ(inserted.column, "CODICE");
    // A rename onto it takes back the description written before the code.
    const Row loaded = stored("X");
    Row renamed = loaded;
    renamed.setText("DESCRIZIONE", "Esclusa art. 15");
    renamed.setText("CODICE", "21");
    EXPECT_EQ(updateCodedRow(context->db, vatCodes(), renamed, loaded).end, WriteEnd::Duplicate);
    Orlavo::Testing::expectNothingWritten(before, context->db);

    // The lock held elsewhere: said, and nothing written.
    ASSERT_TRUE(other.exec("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')"));
    answer();
    EXPECT_EQ(insertCodedRow(context->db, vatCodes(), code("23", "Iva", "23", "P")).end, WriteEnd::LockHeld);
    EXPECT_TRUE(prompter.texts().join('|').contains("ANNA"));
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

ORLAVO_FOR_EACH_ENGINE(VatCodeStoreTest);

} // namespace
