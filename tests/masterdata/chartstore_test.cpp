#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/rules/accountrules.h"
#include "masterdata/stores/accountroles.h"
#include "masterdata/stores/chartstore.h"
#include "masterdata/stores/partystore.h"
#include "services/core/tablenames.h"
#include "services/data/writeunit.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Row;
using Orlavo::Services::WriteEnd;

namespace {

const QString kNotFit = "CONT_AUT:Codice conto automatico non compatibile con il tipo conto";
const QString kUnknownRole = "CONT_AUT:Codice conto automatico sconosciuto !";

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

// The standard chart; causal CC1 names the revenue account 041002, journal
// lines name the revenue account 041001.
class ChartStoreTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        // The journal's table, as its schema step makes it, where the archive has none yet.
        run("CREATE TABLE IF NOT EXISTS GIORN (ANNO VARCHAR(4) NOT NULL, NRO_INT INTEGER NOT NULL, "
            "SEQUENZA INTEGER NOT NULL, CONTO VARCHAR(10), PRIMARY KEY (ANNO, NRO_INT, SEQUENZA))");
        run("INSERT INTO GIORN (ANNO, NRO_INT, SEQUENZA, CONTO) VALUES ('2025', 1, 1, '014001'), "
            "('2025', 1, 2, '041001')");
        run("INSERT INTO TAB_CAU_CONT (TIPO_CAUSALE, CAUSALE, DESCRIZIONE, DARE_1, AVERE_1) "
            "VALUES ('CC', 'CC1', 'Servizi', '014001', '041002')");
        answer();
    }

    static Row account(const char *group, const char *subgroup, const char *code, const char *description,
                       const char *type, const char *role = "")
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
    Row stored(const QString &code)
    {
        const auto rows = listCodedRows(context->db, chartOfAccounts());
        for (const Row &row : rows ? *rows : QList<Row>()) {
            if (row.text("CODICE") == code)
                return row;
        }
        return Row(chartTable());
    }
    QStringList problems(const Row &row, const QString &loaded = {}, const QString &only = {})
    {
        QStringList found;
        for (const auto &p : checkCodedRow(context->db, chartOfAccounts(), row, loaded, only))
            found << p.column + ':' + p.message;
        return found;
    }
    QStringList chart(const char *where)
    {
        return Orlavo::Testing::committedRows(
            *archives, QStringLiteral("SELECT GRUPPO, SOTTOGRU, CODICE, DESCRIZIONE, TIPO_CONTO, CONT_AUT "
                                      "FROM TAB_PIANO_CONTI WHERE %1")
                           .arg(QLatin1String(where)));
    }
    QStringList namedAccounts()
    {
        return Orlavo::Testing::committedRows(
            *archives, "SELECT 'GIORN', CONTO FROM GIORN UNION ALL SELECT CAUSALE, AVERE_1 FROM TAB_CAU_CONT "
                       "WHERE CAUSALE = 'CC1'");
    }
};

TEST_P(ChartStoreTest, TheLowestAccountCarryingARoleIsProposed)
{
    const RoleAccount bank = roleAccount(context->db, "BAN");
    EXPECT_EQ(bank.code, "014002");
    EXPECT_EQ(bank.description, "BANCA C/C");
    EXPECT_EQ(roleAccount(context->db, "SPF").code, "051001"); // three closing accounts
    EXPECT_EQ(roleAccount(context->db, "XYZ").code, "");
    EXPECT_EQ(roleAccount(context->db, "XYZ").description, "");

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

TEST_P(ChartStoreTest, EveryCheckRunsInItsOrderWithItsMessage)
{
    // The role first, then description, type, code, subgroup, group.
    EXPECT_EQ(problems(account("99", "999", "011001", "", "C", "RIC")),
              (QStringList{kNotFit, "DESCRIZIONE:Descrizione Conto - Obbligatoria !",
                           "CODICE:Conto di Contabilità già presente in archivio !",
                           "SOTTOGRU:Sottogruppo di appartenenza Conto sconosciuto !",
                           "GRUPPO:Gruppo di appartenenza Conto sconosciuto !"}));
    EXPECT_EQ(problems(account("", "", "", "", "", "XYZ")),
              (QStringList{kUnknownRole, "DESCRIZIONE:Descrizione Conto - Obbligatoria !",
                           "TIPO_CONTO:Tipo conto - Obbligatorio !", "CODICE:Conto di Contabilità - Obbligatorio !",
                           "SOTTOGRU:Sottogruppo di appartenenza Conto - Obbligatorio !",
                           "GRUPPO:Gruppo di appartenenza Conto - Obbligatorio !"}));

    const QString taken = "CODICE:Conto di Contabilità già presente in archivio !";
    const struct {
        const char *code, *type, *role, *loaded;
        QStringList expected;
    } cases[] = {
        {"041099", "R", "RIC", "", {}},
        {"041099", "P", "RIC", "", {kNotFit}},
        {"041099", "R", "CAS", "", {kNotFit}},
        {"041099", "R", "SPT", "", {}},
        {"041099", "A", "", "", {"TIPO_CONTO:Tipo conto - Obbligatorio !"}},
        // A stored account keeps its own code; a new or renamed one must be free.
        {"041001", "R", "RIC", "041001", {}},
        {"041002", "R", "", "041001", {taken}},
        {"041099", "R", "", "041001", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(problems(account("04", "041", c.code, "Ricavi", c.type, c.role), c.loaded), c.expected)
            << c.code << " " << c.type << " " << c.role;
    // Leaving the code runs its checks only.
    EXPECT_EQ(problems(account("", "", "041001", "", "", "XYZ"), {}, "CODICE"), QStringList{taken});
}

TEST_P(ChartStoreTest, ARenameLeavesJournalAndCausalsOnTheOldCode)
{
    EXPECT_EQ(
        insertCodedRow(context->db, chartOfAccounts(), account("04", "041", "41010", "Consulenze", "R")).end,
        WriteEnd::Written);
    EXPECT_EQ(chart("CODICE = '41010'"), QStringList{"04|041|41010|Consulenze|R|"});

    const QStringList named = namedAccounts();
    for (const auto &[code, renamedCode] : {std::pair{"041001", "041901"}, std::pair{"041002", "041902"}}) {
        const Row loaded = stored(code);
        Row renamed = loaded;
        renamed.setText("CODICE", renamedCode);
        renamed.setText("GRUPPO", "03");
        EXPECT_EQ(updateCodedRow(context->db, chartOfAccounts(), renamed, loaded).end, WriteEnd::Written)
            << code;
    }
    EXPECT_EQ(chart("CODICE LIKE '0410%' OR CODICE LIKE '0419%'"),
              (QStringList{"03|041|041901|MERCI C/VENDITE|R|RIC", "03|041|041902|PRESTAZIONI DI SERVIZI|R|",
                           "04|041|041003|RIMANENZE FINALI DI MERCI|R|"}));
    EXPECT_EQ(namedAccounts(), named);
    EXPECT_EQ(count(Services::Tables::SEMAFORO), 0);
}

TEST_P(ChartStoreTest, OnlyAnAccountTheJournalNamesIsKept)
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
    const Services::WriteResult refused = deleteCodedRow(context->db, chartOfAccounts(), stored("041001"));
    EXPECT_TRUE(refused.refused());
    EXPECT_EQ(refused.end, WriteEnd::NothingChanged);
    Orlavo::Testing::expectNothingWritten(before, context->db);

    // Named by a causal only: deleted, and the causal keeps its code.
    const Row services = stored("041002");
    const Services::WriteResult deleted = deleteCodedRow(context->db, chartOfAccounts(), services);
    EXPECT_FALSE(deleted.refused());
    EXPECT_EQ(deleted.end, WriteEnd::Written);
    EXPECT_TRUE(chart("CODICE = '041002'").isEmpty());
    EXPECT_TRUE(namedAccounts().contains("CC1|041002"));
    // Gone meanwhile: nothing to update or delete.
    EXPECT_EQ(deleteCodedRow(context->db, chartOfAccounts(), services).end, WriteEnd::Gone);
    EXPECT_EQ(updateCodedRow(context->db, chartOfAccounts(), services, services).end, WriteEnd::Gone);

    // An archive without the journal's table has no entries.
    run("DROP TABLE GIORN");
    const auto used = accountInJournal(context->db, "041001");
    ASSERT_TRUE(used);
    EXPECT_FALSE(*used);
    EXPECT_EQ(deleteCodedRow(context->db, chartOfAccounts(), stored("041001")).end, WriteEnd::Written);
    EXPECT_EQ(dbExits, 0);
}

TEST_P(ChartStoreTest, ACodeStoredMeanwhileIsADuplicateAndALockHeldElsewhereWritesNothing)
{
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("INSERT INTO TAB_PIANO_CONTI (GRUPPO, SOTTOGRU, CODICE, DESCRIZIONE, TIPO_CONTO) "
                           "VALUES ('04', '041', '041099', 'Altrui', 'R')"));
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_PIANO_CONTI"});
    const Services::WriteResult inserted =
        insertCodedRow(context->db, chartOfAccounts(), account("04", "041", "041099", "Mio", "R"));
    EXPECT_EQ(inserted.end, WriteEnd::Duplicate);
    EXPECT_EQ(inserted.column, "CODICE");
    const Row loaded = stored("041002");
    Row renamed = loaded;
    renamed.setText("DESCRIZIONE", "Servizi resi");
    renamed.setText("CODICE", "041099");
    EXPECT_EQ(updateCodedRow(context->db, chartOfAccounts(), renamed, loaded).end, WriteEnd::Duplicate);
    Orlavo::Testing::expectNothingWritten(before, context->db);

    ASSERT_TRUE(other.exec("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')"));
    answer();
    EXPECT_EQ(insertCodedRow(context->db, chartOfAccounts(), account("04", "041", "041098", "Mio", "R")).end,
              WriteEnd::LockHeld);
    EXPECT_EQ(deleteCodedRow(context->db, chartOfAccounts(), loaded).end, WriteEnd::LockHeld);
    EXPECT_TRUE(prompter.texts().join('|').contains("ANNA"));
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

ORLAVO_FOR_EACH_ENGINE(ChartStoreTest);

} // namespace
