#include "archives.h"
#include "committedrows.h"
#include "fixtures.h"
#include "services/data/standarddata.h"
#include "warehouse/rules/stockeffects.h"
#include "warehouse/stores/movementstore.h"
#include "warehouse/stores/warehousecausals.h"
#include "../masterdata/masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Warehouse;
using Orlavo::Services::Row;
using Orlavo::Services::WriteEnd;

namespace {

const QString kAverageRefused = "Impossibile utilizzare il calcolo dei prezzi medi d'acquisto \nsu causali di scarico ";
const QStringList kMoved{"Movimenti di magazzino"};

// The standard causals; a movement of the free causal X01.
class WarehouseCausalsTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        run("INSERT INTO TAB_CAU_MAG (CODICE, DESCRIZIONE, PMA) VALUES ('X01', 'Usata', 0), ('X02', 'Libera', 0)");
        run("INSERT INTO MOVMAG (ANNO, NRO_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, QUANTITA) "
            "VALUES ('2026', 1, '01', 'ABC', 'VITE', 'X01', 1)");
        answer();
    }

    static Row causal(const QString &code, const QString &description, bool average = false)
    {
        Row row(causalTable());
        row.setText("CODICE", code);
        row.setText("DESCRIZIONE", description);
        row.set("PMA", average);
        return row;
    }
    QStringList problems(const Row &row, const QString &loaded = {})
    {
        QStringList found;
        for (const auto &p : Masterdata::checkCodedRow(context->db, warehouseCausals(), row, loaded))
            found << p.column + ':' + p.message;
        return found;
    }
    Row loaded(const QString &code)
    {
        const auto row = Masterdata::findCodedRow(context->db, warehouseCausals(), code);
        EXPECT_TRUE(row && row->has_value()) << code.toStdString();
        return row && row->has_value() ? **row : Row(causalTable());
    }
    QString stored(const QString &code)
    {
        return Orlavo::Testing::committedRows(*archives, "SELECT DESCRIZIONE, PMA FROM TAB_CAU_MAG WHERE CODICE = ?",
                                              {code})
            .join(" / ");
    }
    QStringList uses(const QString &code) { return codeUses(context->db, warehouseCausals(), code).value(); }
};

TEST_P(WarehouseCausalsTest, ChecksRunInOrderAndTheAverageOnlyOnLoadsAndOpenings)
{
    const QString taken = "CODICE:Codice già presente in archivio";
    const QString refused = "PMA:" + kAverageRefused;
    const struct {
        const char *code;
        bool average;
        const char *loaded;
        QStringList expected;
    } cases[] = {
        // A blank code speaks alone, the average ticked or not.
        {"", true, "", {"CODICE:Codice obbligatorio"}},
        {"", false, "", {"CODICE:Codice obbligatorio"}},
        // An unload, stored or new, takes no average; the code speaks last.
        {"S10", true, "", {refused, taken}},
        {"s10", true, "S10", {refused}},
        {"S99", true, "", {refused}},
        {"X99", true, "", {refused}},
        {"S99", false, "", {}},
        // Loads and openings, typed in lower case too.
        {"C99", true, "", {}},
        {"c98", true, "", {}},
        {"A10", true, "A10", {}},
        {"A11", true, "", {}},
        // A stored code keeps its own; another one is taken.
        {"C10", false, "", {taken}},
        {"C10", true, "C11", {taken}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(problems(causal(c.code, "Prova", c.average), c.loaded), c.expected)
            << c.code << " " << c.average << " " << c.loaded;

    // The shipped causals: every code of the table of effects, the average
    // on C10 alone, each passing its checks.
    const auto standard = Services::StandardData::table(Services::SchemaKind::Company, "TAB_CAU_MAG");
    ASSERT_TRUE(standard);
    QStringList codes, averaged;
    for (const QStringList &values : standard->rows) {
        const Row row = loaded(values.at(0));
        codes << row.text("CODICE");
        if (row.flag("PMA"))
            averaged << row.text("CODICE");
        EXPECT_EQ(problems(row, row.text("CODICE")), QStringList()) << values.at(0).toStdString();
    }
    const QStringList effects = effectCodes();
    EXPECT_EQ(codes, effects);
    EXPECT_EQ(averaged, QStringList{"C10"});
}

TEST_P(WarehouseCausalsTest, ACausalInUseIsNeitherDeletedNorRenamed)
{
    EXPECT_EQ(uses("x01"), kMoved);
    EXPECT_EQ(uses("X02"), QStringList());
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_CAU_MAG", "MOVMAG"});
    const Row used = loaded("X01");
    const auto deleted = deleteCodedRow(context->db, warehouseCausals(), used);
    EXPECT_EQ(deleted.end, WriteEnd::NothingChanged);
    EXPECT_EQ(deleted.uses, kMoved);
    Row renamed = used;
    renamed.setText("CODICE", "X03");
    EXPECT_EQ(updateCodedRow(context->db, warehouseCausals(), renamed, used).uses, kMoved);
    Orlavo::Testing::expectNothingWritten(before, context->db);
    EXPECT_EQ(count("SEMAFORO"), 0);

    // Its description and its average may change.
    Row described = used;
    described.setText("DESCRIZIONE", "Usata e ridescritta");
    described.set("PMA", true);
    EXPECT_EQ(updateCodedRow(context->db, warehouseCausals(), described, used).end, WriteEnd::Written);
    EXPECT_EQ(stored("X01"), "Usata e ridescritta|-1");
}

TEST_P(WarehouseCausalsTest, ACodeOfTheTableOfEffectsStaysUsedOrNot)
{
    const QString effects = QString::fromLatin1(kEffectUse);
    EXPECT_EQ(uses("s10"), QStringList{effects});
    run("INSERT INTO MOVMAG (ANNO, NRO_REG, MAGAZZINO, MARCA, ARTICOLO, CAUSALE, QUANTITA) "
        "VALUES ('2026', 2, '01', 'ABC', 'VITE', 'C10', 1)");
    EXPECT_EQ(uses("C10"), (QStringList{effects, kMoved.first()}));

    const Orlavo::Testing::Snapshot before(*archives, {"TAB_CAU_MAG"});
    const Row unload = loaded("S10");
    const auto deleted = deleteCodedRow(context->db, warehouseCausals(), unload);
    EXPECT_EQ(deleted.end, WriteEnd::NothingChanged);
    EXPECT_EQ(deleted.uses, QStringList{effects});
    Row renamed = unload;
    renamed.setText("CODICE", "S99");
    EXPECT_EQ(updateCodedRow(context->db, warehouseCausals(), renamed, unload).uses, QStringList{effects});
    Orlavo::Testing::expectNothingWritten(before, context->db);

    Row described = unload;
    described.setText("DESCRIZIONE", "Vendita al banco");
    EXPECT_EQ(updateCodedRow(context->db, warehouseCausals(), described, unload).end, WriteEnd::Written);
    EXPECT_EQ(stored("S10"), "Vendita al banco|0");
}

TEST_P(WarehouseCausalsTest, AFreeCodeIsRenamedAndDeletedAndADuplicateFound)
{
    const Row free = loaded("X02");
    Row renamed = free;
    renamed.setText("CODICE", "c77");
    renamed.set("PMA", true);
    EXPECT_EQ(updateCodedRow(context->db, warehouseCausals(), renamed, free).end, WriteEnd::Written);
    EXPECT_EQ(stored("X02"), "");
    EXPECT_EQ(stored("C77"), "Libera|-1");
    EXPECT_EQ(deleteCodedRow(context->db, warehouseCausals(), loaded("C77")).end, WriteEnd::Written);
    EXPECT_EQ(stored("C77"), "");
    EXPECT_EQ(count("SEMAFORO"), 0);

    // Stored meanwhile by another workstation.
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("INSERT INTO TAB_CAU_MAG (CODICE, DESCRIZIONE, PMA) VALUES ('C60', 'Altrui', 0)"));
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_CAU_MAG"});
    const auto inserted = Masterdata::insertCodedRow(context->db, warehouseCausals(), causal("c60", "Mia"));
    EXPECT_EQ(inserted.end, WriteEnd::Duplicate);
    EXPECT_EQ(inserted.column, "CODICE");
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(WarehouseCausalsTest, AFailedWriteIsReportedUnderItsOperation)
{
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "TAB_CAU_MAG"), QString());
    EXPECT_EQ(Masterdata::insertCodedRow(context->db, warehouseCausals(), causal("C61", "Nuova")).end,
              WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().join('|').contains("Registra Causali di Magazzino"))
        << prompter.texts().join('|').toStdString();
    answer();
    EXPECT_EQ(deleteCodedRow(context->db, warehouseCausals(), loaded("X02")).end, WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().join('|').contains("Elimina Movimenti di Magazzino"))
        << prompter.texts().join('|').toStdString();
}

ORLAVO_FOR_EACH_ENGINE(WarehouseCausalsTest);

} // namespace
