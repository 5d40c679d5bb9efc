#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/rules/accountrules.h"
#include "masterdata/stores/accountroles.h"
#include "masterdata/stores/chartstore.h"
#include "masterdata/stores/partystore.h"
#include "masterdata/stores/paymentconditionstore.h"
#include "masterdata/stores/vatcodestore.h"
#include "masterdatatest.h"
#include "services/core/tablenames.h"
#include "services/data/writeunit.h"

// The tables of codes other records use: VAT codes, payment conditions and
// the chart of accounts. What they share (a code stored meanwhile, the lock
// held elsewhere, a row gone, the uses read again) is tested once, on the
// VAT codes; each table's checks, uses and kept columns on its own.

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Row;
using Orlavo::Services::WriteEnd;

namespace {

TEST(AccountRules, RolesAreTheDocumentedOnesAndFitTheirTypes)
{
    for (const char *role : {"CLI", "FOR", "RIC", "COS", "IVV", "IVA", "BOL", "SPB", "SPT", "ARP",
                             "ARA", "SPA", "SPP", "CAS", "BAN", "SPF", "UTI", "PER", "",    " ban "})
        EXPECT_TRUE(isAccountRole(role)) << role;
    for (const char *role : {"XYZ", "CL", "CLIE", "***"})
        EXPECT_FALSE(isAccountRole(role)) << role;
    EXPECT_EQ(accountRoles().size(), 18);

    const struct {
        const char *role, *type;
        bool fits;
    } cases[] = {
        {"RIC", "R", true}, {"RIC", "C", false}, {"RIC", "P", false}, {"COS", "C", true},  {"COS", "R", false},
        {"CLI", "P", true}, {"CLI", "R", false}, {"FOR", "C", false}, {"IVV", "R", false}, {"IVA", "C", false},
        {"CAS", "P", true}, {"BAN", "R", false}, {"ban", "p", true},  {"SPF", "P", true},  {"ARP", "C", true},
        {"SPT", "R", true}, {"UTI", "P", true},  {"", "C", true},     {"BOL", "", true},   {"CLI", "", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(roleFitsType(c.role, c.type), c.fits) << c.role << " " << c.type;

    EXPECT_EQ(accountTypeWord("c"), "COSTO");
    EXPECT_EQ(accountTypeWord("R"), "RICAVO");
    EXPECT_EQ(accountTypeWord("P"), "PATRIMONIALE");
    EXPECT_EQ(accountTypeWord("A"), "");
}

Row vatCode(const char *code, const char *description, const char *rate, const char *kind)
{
    Row row = newVatCode();
    row.setText("CODICE", code);
    row.setText("DESCRIZIONE", description);
    row.setText("ALIQUOTA", rate);
    row.setText("TIPO_CODICE", kind);
    return row;
}

// Kind, days "30/60", start, forced day, code.
Row condition(const char *kind, const char *days, const char *start, const char *forced, const char *code)
{
    Row row = newPaymentCondition();
    row.setText("CODICE", code);
    row.setText("DESC_COND", kind);
    const QStringList typed = QString::fromLatin1(days).split('/');
    for (int i = 0; i < typed.size(); ++i)
        row.setText(QStringLiteral("GIORN%1").arg(i + 1), typed.at(i));
    row.setText("DF_FM", start);
    row.setText("GGFORZ", forced);
    return row;
}

Row account(const char *group, const char *subgroup, const char *code, const char *description, const char *type,
            const char *role = "")
{
    Row row(chartTable());
    row.setText("GRUPPO", group);
    row.setText("SOTTOGRU", subgroup);
    row.setText("CODICE", code);
    row.setText("DESCRIZIONE", description);
    row.setText("TIPO_CONTO", type);
    row.setText("CONT_AUT", role);
    return row;
}

// The standard VAT codes (22, 10, 5, 4, E, N, S, X), payment conditions
// (RD, B30, R30, R60, R90, CON, XXX) and chart. Customer 1 names VAT 22 and
// B30, an item VAT 4, supplier 1 R60, a due date R90; invoices name N on a
// header slot, S on a row, 22 as a proposal's transport code and CON; a
// causal names VAT E, the company's base data VAT 10 (another company's
// 5). The journal names the cash and the revenue account 041001, causal
// CC1 the revenue account 041002. The standard causals are left out: only
// the test's own name a code.
class CodedTableTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        for (const char *sql : {
                 "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, CODICE_IVA, COND_PAG) VALUES (1, 'Rossi', '22', 'B30')",
                 "INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, COND_PAG) VALUES (1, 'Verdi', 'R60')",
                 "INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, COD_IVA) VALUES ('01', 'ACM', 'A1', '4')",
                 "INSERT INTO FVENDT (ANNO, NRO_INT, PERC_3, COND_PAG) VALUES ('2025', 1, 'N', 'CON')",
                 "INSERT INTO FVENDD (ANNO, NRO_INT, RIGA, COD_IVA) VALUES ('2025', 1, 1, 'S')",
                 "INSERT INTO FVENDT_PR (ANNO, NRO_INT, IVA_TRA) VALUES ('2025', 1, '22')",
                 "INSERT INTO SCADF (ANNO, NRO_INT, PROGR, COND_PAG) VALUES ('2025', 1, 1, 'R90')",
                 "DELETE FROM TAB_CAU_CONT",
                 "INSERT INTO TAB_CAU_CONT (TIPO_CAUSALE, CAUSALE, DESCRIZIONE, COD_IVA, DARE_1, AVERE_1) VALUES "
                 "('VE', 'FE', 'Esenti', 'E', NULL, NULL), ('CC', 'CC1', 'Servizi', NULL, '014001', '041002')",
                 "INSERT INTO servizi.DATIBASE (SOCIETA, PERCIVA) VALUES ('01', '10'), ('02', '5')",
                 // The journal's table, as its schema step makes it, where the archive has none yet.
                 "CREATE TABLE IF NOT EXISTS GIORN (ANNO VARCHAR(4) NOT NULL, NRO_INT INTEGER NOT NULL, "
                 "SEQUENZA INTEGER NOT NULL, CONTO VARCHAR(10), PRIMARY KEY (ANNO, NRO_INT, SEQUENZA))",
                 "INSERT INTO GIORN (ANNO, NRO_INT, SEQUENZA, CONTO) VALUES ('2025', 1, 1, '014001'), "
                 "('2025', 1, 2, '041001')",
             })
            run(QString::fromLatin1(sql));
        answer();
    }

    Row stored(const CodedTable &table, const QString &code)
    {
        const auto row = findCodedRow(context->db, table, code);
        return row && *row ? **row : Row(*table.def);
    }
    QStringList problems(const CodedTable &table, const Row &row, const QString &loaded = {}, const QString &only = {})
    {
        return Orlavo::Testing::problemTexts(checkCodedRow(context->db, table, row, loaded, only));
    }
    QStringList rows(const QString &sql) { return Orlavo::Testing::committedRows(*archives, sql); }
};

TEST_P(CodedTableTest, VatChecksRunInTheirOrderAndUntaxedKindsTakeNoRate)
{
    const QString positive = "ALIQUOTA:Aliquota Iva maggiore di zero";
    const QString untaxed = "ALIQUOTA:Aliquota Iva errata";
    const QString taken = "CODICE:Codice Percentuale Iva già presente in archivio";
    EXPECT_EQ(problems(vatCodes(), vatCode("", "", "-1", "P")),
              (QStringList{positive, "DESCRIZIONE:Descrizione Percentuale Iva - Obbligatoria !",
                           "CODICE:Codice Percentuale Iva - Obbligatorio !"}));
    const struct {
        const char *code, *rate, *kind, *loaded;
        QStringList expected;
    } cases[] = {
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
        EXPECT_EQ(problems(vatCodes(), vatCode(c.code, "Iva", c.rate, c.kind), c.loaded), c.expected)
            << c.code << " " << c.kind;
    // Leaving the code runs its checks only.
    EXPECT_EQ(problems(vatCodes(), vatCode("22", "", "-1", "P"), {}, "CODICE"), QStringList{taken});
}

TEST_P(CodedTableTest, PaymentConditionChecksRunInTheirOrder)
{
    const QString days = "Numero Giorni deve essere maggiore di zero";
    EXPECT_EQ(
        problems(paymentConditions(), condition("", "30/-60", "", "40", "")),
        (QStringList{"DF_FM:Inizio conteggio scadenze - Obbligatorio", "GIORN2:" + days,
                     "DESC_COND:Tipo Pagamento - Obbligatorio !", "CODICE:Condizione di Pagamento - Obbligatoria"}));
    const QString forced = "GGFORZ:Giorno da forzare errato";
    const QString taken = "CODICE:Condizione di Pagamento già presente in archivio !";
    const struct {
        const char *kind, *days, *start, *forced, *code, *loaded;
        QStringList expected;
    } cases[] = {
        {"R", "30/60/90/0", "F", "31", "R93", "", {}},
        {"R", "30", "F", "32", "R31", "", {forced}},
        {"R", "30", "F", "-1", "R31", "", {forced}},
        // Counted from the document date the forced day is not asked: it is written 0.
        {"R", "30", "D", "32", "R31", "", {}},
        {"B", "0/0/0/-1", "D", "0", "B1", "", {"GIORN4:" + days}},
        {"B", "-", "D", "0", "B1", "", {"GIORN1:" + days}},
        {"B", "30", "D", "0", "b30", "", {taken}},
        {"B", "30", "D", "0", "B30", "B30", {}},
        {"B", "30", "D", "0", "RD", "B30", {taken}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(problems(paymentConditions(), condition(c.kind, c.days, c.start, c.forced, c.code), c.loaded),
                  c.expected)
            << c.code << " " << c.days << " " << c.start << " " << c.forced;
}

TEST_P(CodedTableTest, AccountChecksRunInTheirOrder)
{
    const QString notFit = "CONT_AUT:Codice conto automatico non compatibile con il tipo conto";
    const QString taken = "CODICE:Conto di Contabilità già presente in archivio !";
    // The role first, then description, type, code, subgroup, group.
    EXPECT_EQ(problems(chartOfAccounts(), account("99", "999", "011001", "", "C", "RIC")),
              (QStringList{notFit, "DESCRIZIONE:Descrizione Conto - Obbligatoria !", taken,
                           "SOTTOGRU:Sottogruppo di appartenenza Conto sconosciuto !",
                           "GRUPPO:Gruppo di appartenenza Conto sconosciuto !"}));
    EXPECT_EQ(
        problems(chartOfAccounts(), account("", "", "", "", "", "XYZ")),
        (QStringList{"CONT_AUT:Codice conto automatico sconosciuto !", "DESCRIZIONE:Descrizione Conto - Obbligatoria !",
                     "TIPO_CONTO:Tipo conto - Obbligatorio !", "CODICE:Conto di Contabilità - Obbligatorio !",
                     "SOTTOGRU:Sottogruppo di appartenenza Conto - Obbligatorio !",
                     "GRUPPO:Gruppo di appartenenza Conto - Obbligatorio !"}));
    const struct {
        const char *code, *type, *role, *loaded;
        QStringList expected;
    } cases[] = {
        {"041099", "R", "RIC", "", {}},
        {"041099", "P", "RIC", "", {notFit}},
        {"041099", "R", "CAS", "", {notFit}},
        {"041099", "R", "SPT", "", {}},
        {"041099", "A", "", "", {"TIPO_CONTO:Tipo conto - Obbligatorio !"}},
        // A stored account keeps its own code; a new or renamed one must be free.
        {"041001", "R", "RIC", "041001", {}},
        {"041002", "R", "", "041001", {taken}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(problems(chartOfAccounts(), account("04", "041", c.code, "Ricavi", c.type, c.role), c.loaded),
                  c.expected)
            << c.code << " " << c.type << " " << c.role;
}

TEST_P(CodedTableTest, UsesAreTheRecordsNamingTheCodeInThisCompany)
{
    const struct {
        const CodedTable &table;
        const char *code;
        QStringList labels;
    } cases[] = {
        {vatCodes(), "22", {"Clienti", "Fatture"}},
        {vatCodes(), "4", {"Articoli"}},
        {vatCodes(), "N", {"Fatture"}},
        {vatCodes(), "S", {"Fatture"}},
        {vatCodes(), "E", {"Causali contabili"}},
        {vatCodes(), "10", {"Dati base"}},
        {vatCodes(), "5", {}}, // another company's default
        {vatCodes(), "X", {}},
        {paymentConditions(), "B30", {"Clienti"}},
        {paymentConditions(), "R60", {"Fornitori"}},
        {paymentConditions(), "R90", {"Scadenze"}},
        {paymentConditions(), "CON", {"Fatture"}},
        {paymentConditions(), "RD", {}},
    };
    for (const auto &c : cases) {
        const auto labels = codeUses(context->db, c.table, c.code);
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
    EXPECT_EQ(deleteRefusal(paymentConditions(), {"Clienti"}),
              "Impossibile eliminare Condizione di Pagamento,\nsono ancora presenti registrazioni su : Clienti");
}

TEST_P(CodedTableTest, VatWritesDeriveTheKindsTextAndRenameAFreeCode)
{
    const QString sql = "SELECT CODICE, DESCRIZIONE, ALIQUOTA, TIPO_CODICE, DESC_TIPO, BASE_IMP FROM TAB_PERIVA";
    EXPECT_EQ(insertCodedRow(context->db, vatCodes(), vatCode("21", "Iva 21", "21", "D")).end, WriteEnd::Written);
    EXPECT_TRUE(rows(sql).contains("21|Iva 21|21|D|NON DETRAIBILE|100"));

    Row changed = stored(vatCodes(), "21");
    changed.setText("TIPO_CODICE", "X");
    changed.setText("ALIQUOTA", "0");
    changed.setText("CODICE", "x21");
    EXPECT_EQ(updateCodedRow(context->db, vatCodes(), changed, stored(vatCodes(), "21")).end, WriteEnd::Written);
    EXPECT_TRUE(rows(sql).contains("X21|Iva 21|0|X|ESCLUSA|100"));
    EXPECT_EQ(count("TAB_PERIVA"), 9);

    EXPECT_EQ(deleteCodedRow(context->db, vatCodes(), stored(vatCodes(), "X21")).end, WriteEnd::Written);
    EXPECT_EQ(count("TAB_PERIVA"), 8);
    // Gone meanwhile: nothing to update or delete.
    EXPECT_EQ(updateCodedRow(context->db, vatCodes(), vatCode("X21", "Altro", "0", "X"), changed).end, WriteEnd::Gone);
    EXPECT_EQ(deleteCodedRow(context->db, vatCodes(), changed).end, WriteEnd::Gone);
    EXPECT_EQ(count("TAB_PERIVA"), 8);
}

TEST_P(CodedTableTest, AVatCodeInUseKeepsAllButItsDescriptionAndStays)
{
    const Row used = stored(vatCodes(), "4");
    Row described = used;
    described.setText("DESCRIZIONE", "Iva 4% beni primari");
    EXPECT_EQ(updateCodedRow(context->db, vatCodes(), described, used).end, WriteEnd::Written);

    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PERIVA"});
    const Row loaded = stored(vatCodes(), "4");
    const std::pair<const char *, const char *> kept[] = {
        {"ALIQUOTA", "5"}, {"TIPO_CODICE", "D"}, {"BASE_IMP", "50"}, {"CODICE", "44"}};
    for (const auto &[column, value] : kept) {
        Row row = loaded;
        row.setText("DESCRIZIONE", "Cambiata");
        row.setText(column, value);
        const Services::WriteResult written = updateCodedRow(context->db, vatCodes(), row, loaded);
        EXPECT_EQ(written.uses, QStringList{"Articoli"}) << column;
        EXPECT_EQ(written.end, WriteEnd::NothingChanged) << column;
    }
    EXPECT_EQ(deleteCodedRow(context->db, vatCodes(), loaded).uses, QStringList{"Articoli"});
    Orlavo::Testing::expectNothingWritten(before, context->db);
    EXPECT_EQ(count(Services::Tables::SEMAFORO), 0);
}

TEST_P(CodedTableTest, AConditionInUseKeepsOnlyItsCode)
{
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_COND_PAG"});
    const Row loaded = stored(paymentConditions(), "B30");
    Row renamed = loaded;
    renamed.setText("CODICE", "ZZ");
    EXPECT_EQ(updateCodedRow(context->db, paymentConditions(), renamed, loaded).uses, QStringList{"Clienti"});
    EXPECT_EQ(deleteCodedRow(context->db, paymentConditions(), loaded).uses, QStringList{"Clienti"});
    Orlavo::Testing::expectNothingWritten(before, context->db);
    // What the editor says then (the editor's wiring is the VAT editor's case).
    EXPECT_EQ(paymentConditions().usedMessage, "Condizione di Pagamento utilizzata: codice non modificabile");

    // Its days may change: the documents keep their own due dates.
    Row longer = loaded;
    longer.setText("GIORN1", "60");
    EXPECT_EQ(updateCodedRow(context->db, paymentConditions(), longer, loaded).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT GIORN1 FROM TAB_COND_PAG WHERE CODICE = 'B30'"), "60");
    // Counted from the document date, a forced day typed is written 0.
    EXPECT_EQ(insertCodedRow(context->db, paymentConditions(), condition("B", "60", "D", "10", "B60")).end,
              WriteEnd::Written);
    EXPECT_EQ(text("SELECT GIORN1 || '/' || GGFORZ FROM TAB_COND_PAG WHERE CODICE = 'B60'"), "60/0");
}

TEST_P(CodedTableTest, ACodeStoredElsewhereMeanwhileIsADuplicateWithNothingWritten)
{
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("INSERT INTO TAB_PERIVA (CODICE, DESCRIZIONE, ALIQUOTA) VALUES ('21', 'Altrui', 21)"));
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PERIVA"});
    const Services::WriteResult inserted = insertCodedRow(context->db, vatCodes(), vatCode("21", "Mia", "21", "P"));
    EXPECT_EQ(inserted.end, WriteEnd::Duplicate);
    EXPECT_EQ(inserted.column, "CODICE");
    // A rename onto it takes back the description written before the code.
    const Row loaded = stored(vatCodes(), "X");
    Row renamed = loaded;
    renamed.setText("DESCRIZIONE", "Esclusa art. 15");
    renamed.setText("CODICE", "21");
    EXPECT_EQ(updateCodedRow(context->db, vatCodes(), renamed, loaded).end, WriteEnd::Duplicate);
    Orlavo::Testing::expectNothingWritten(before, context->db);

    // The lock held elsewhere: said, and nothing written.
    ASSERT_TRUE(other.exec("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')"));
    answer();
    EXPECT_EQ(insertCodedRow(context->db, vatCodes(), vatCode("23", "Iva", "23", "P")).end, WriteEnd::LockHeld);
    EXPECT_EQ(deleteCodedRow(context->db, vatCodes(), loaded).end, WriteEnd::LockHeld);
    EXPECT_TRUE(prompter.texts().join('|').contains("ANNA"));
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(CodedTableTest, TheLowestAccountCarryingARoleIsProposed)
{
    const RoleAccount bank = roleAccount(context->db, "BAN");
    EXPECT_EQ(bank.code, "014002");
    EXPECT_EQ(bank.description, "BANCA C/C");
    EXPECT_EQ(roleAccount(context->db, "SPF").code, "051001"); // three closing accounts
    EXPECT_EQ(roleAccount(context->db, "XYZ").code, "");

    // A second bank account with a lower code wins, for the parties' defaults too.
    run("INSERT INTO TAB_PIANO_CONTI (GRUPPO, SOTTOGRU, CODICE, DESCRIZIONE, TIPO_CONTO, CONT_AUT) "
        "VALUES ('01', '014', '0140', 'BANCA POSTALE', 'P', 'BAN'), ('04', '041', '9', 'ALTRI RICAVI', 'R', 'RIC')");
    EXPECT_EQ(roleAccount(context->db, "ban").code, "0140");
    EXPECT_EQ(accountForRole(context->db, "RIC"), "041001");

    // Inside a write unit its own rows count.
    Services::WriteUnit unit(context->db, "Prova", Services::WriteUnit::Report::Quiet);
    ASSERT_TRUE(unit.execCompany("Prova", "UPDATE TAB_PIANO_CONTI SET CONT_AUT = 'CAS' WHERE CODICE = '011001'"));
    const auto cash = roleAccount(unit, "CAS");
    ASSERT_TRUE(cash);
    EXPECT_EQ(cash->code, "011001");
    EXPECT_EQ(cash->description, "IMPIANTI E MACCHINARI");
}

TEST_P(CodedTableTest, AnAccountsRenameLeavesJournalAndCausalsOnTheOldCode)
{
    const QString chart = "SELECT GRUPPO, SOTTOGRU, CODICE, DESCRIZIONE, TIPO_CONTO, CONT_AUT FROM TAB_PIANO_CONTI ";
    const QString named = "SELECT 'GIORN', CONTO FROM GIORN UNION ALL SELECT CAUSALE, AVERE_1 FROM TAB_CAU_CONT "
                          "WHERE CAUSALE = 'CC1'";
    EXPECT_EQ(insertCodedRow(context->db, chartOfAccounts(), account("04", "041", "41010", "Consulenze", "R")).end,
              WriteEnd::Written);
    EXPECT_EQ(rows(chart + "WHERE CODICE = '41010'"), QStringList{"04|041|41010|Consulenze|R|"});

    const QStringList before = rows(named);
    for (const auto &[code, renamedCode] : {std::pair{"041001", "041901"}, std::pair{"041002", "041902"}}) {
        const Row loaded = stored(chartOfAccounts(), code);
        Row renamed = loaded;
        renamed.setText("CODICE", renamedCode);
        renamed.setText("GRUPPO", "03");
        EXPECT_EQ(updateCodedRow(context->db, chartOfAccounts(), renamed, loaded).end, WriteEnd::Written) << code;
    }
    EXPECT_EQ(rows(chart + "WHERE CODICE LIKE '0410%' OR CODICE LIKE '0419%'"),
              (QStringList{"03|041|041901|MERCI C/VENDITE|R|RIC", "03|041|041902|PRESTAZIONI DI SERVIZI|R|",
                           "04|041|041003|RIMANENZE FINALI DI MERCI|R|"}));
    EXPECT_EQ(rows(named), before);
    EXPECT_EQ(count(Services::Tables::SEMAFORO), 0);
}

TEST_P(CodedTableTest, OnlyAnAccountTheJournalNamesIsKept)
{
    const struct {
        const char *code;
        bool inJournal;
    } cases[] = {{"041001", true}, {"014001", true}, {"041002", false}, {"011001", false}};
    for (const auto &c : cases) {
        const auto used = accountInJournal(context->db, c.code);
        ASSERT_TRUE(used);
        EXPECT_EQ(*used, c.inJournal) << c.code;
    }

    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PIANO_CONTI", "GIORN"});
    const Services::WriteResult refused =
        deleteCodedRow(context->db, chartOfAccounts(), stored(chartOfAccounts(), "041001"));
    EXPECT_TRUE(refused.refused());
    EXPECT_EQ(refused.end, WriteEnd::NothingChanged);
    Orlavo::Testing::expectNothingWritten(before, context->db);

    // Named by a causal only: deleted, and the causal keeps its code.
    const Row services = stored(chartOfAccounts(), "041002");
    const Services::WriteResult deleted = deleteCodedRow(context->db, chartOfAccounts(), services);
    EXPECT_FALSE(deleted.refused());
    EXPECT_EQ(deleted.end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT COUNT(*) FROM TAB_PIANO_CONTI WHERE CODICE = '041002'"), "0");
    EXPECT_EQ(text("SELECT AVERE_1 FROM TAB_CAU_CONT WHERE CAUSALE = 'CC1'"), "041002");

    // An archive without the journal's table has no entries.
    run("DROP TABLE GIORN");
    const auto used = accountInJournal(context->db, "041001");
    ASSERT_TRUE(used);
    EXPECT_FALSE(*used);
    EXPECT_EQ(deleteCodedRow(context->db, chartOfAccounts(), stored(chartOfAccounts(), "041001")).end,
              WriteEnd::Written);
    EXPECT_EQ(dbExits, 0);
}

// A whole-row rename onto a code stored meanwhile.
TEST_P(CodedTableTest, AnAccountRenamedOntoACodeStoredMeanwhileIsADuplicate)
{
    ASSERT_TRUE(Orlavo::Testing::Workstation(archives->config())
                    .exec("INSERT INTO TAB_PIANO_CONTI (GRUPPO, SOTTOGRU, CODICE, DESCRIZIONE, TIPO_CONTO) "
                          "VALUES ('04', '041', '041099', 'Altrui', 'R')"));
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PIANO_CONTI"});
    const Row loaded = stored(chartOfAccounts(), "041002");
    Row renamed = loaded;
    renamed.setText("DESCRIZIONE", "Servizi resi");
    renamed.setText("CODICE", "041099");
    const Services::WriteResult written = updateCodedRow(context->db, chartOfAccounts(), renamed, loaded);
    EXPECT_EQ(written.end, WriteEnd::Duplicate);
    EXPECT_EQ(written.column, "CODICE");
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

ORLAVO_FOR_EACH_ENGINE(CodedTableTest);

} // namespace
