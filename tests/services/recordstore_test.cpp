#include "services/data/recordstore.h"

#include "archives.h"
#include "services/data/writeunit.h"

#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace Orlavo::Services;
using Orlavo::Testing::EngineTest;

namespace {

const TableDef kMain{"PROVA_REC",
                     Target::Company,
                     {Column::key(Column::integer("ID")), Column::code("CODICE", 6), Column::text("NOME", 40),
                      Column::amount("IMPORTO"), Column::date("DATA_DOC"), Column::flagSN("ATTIVO"),
                      Column::insertOnly(Column::text("CREATO", 10))}};
const TableDef kPart{"PROVA_REC_EXT",
                     Target::Company,
                     {Column::key(Column::integer("ID")), Column::text("NOTE", 60), Column::amount("FIDO"),
                      Column::flagMinusOne("BLOCCATO")}};
// A table keyed by typed text, as the code tables are.
const TableDef kCodes{"PROVA_COD",
                      Target::Company,
                      {Column::key(Column::text("CODICE", 6)), Column::text("DESCRIZIONE", 40), Column::code("TIPO", 1),
                       Column::code("GRUPPO", 3)}};
const FamilyDef kFamily{
    {{&kMain, "Ins. prova", "Agg. prova", {}}, {&kPart, "Ins. prova ext", "Agg. prova ext", "Ins. tardiva ext"}}};

class RecordStoreTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (const char *sql :
             {"CREATE TABLE PROVA_REC (ID INTEGER NOT NULL PRIMARY KEY, CODICE VARCHAR(6), NOME VARCHAR(40), "
              "IMPORTO DOUBLE PRECISION, DATA_DOC DATE, ATTIVO VARCHAR(1), CREATO VARCHAR(10))",
              "CREATE TABLE PROVA_REC_EXT (ID INTEGER NOT NULL PRIMARY KEY, NOTE VARCHAR(60), "
              "FIDO DOUBLE PRECISION, BLOCCATO SMALLINT)",
              "CREATE TABLE PROVA_COD (CODICE VARCHAR(6) NOT NULL PRIMARY KEY, DESCRIZIONE VARCHAR(40), "
              "TIPO VARCHAR(1), GRUPPO VARCHAR(3))",
              "INSERT INTO PROVA_COD VALUES ('A1', 'Uno', 'R', 'G1')",
              "INSERT INTO PROVA_COD VALUES ('b2', 'Due', 'C', 'G1')",
              "INSERT INTO PROVA_COD VALUES ('C3', 'Tre', 'R', 'G2')"})
            run(QString::fromLatin1(sql));
    }

    // Plain SQL on the same connection, as another program would run it.
    void run(const QString &sql)
    {
        QSqlQuery q(db->connection());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }

    // The writes in a unit of their own, committed when they all succeed.
    bool write(const std::function<bool(WriteUnit &)> &writes)
    {
        WriteUnit unit(*db, "Prova", WriteUnit::Report::Quiet);
        return writes(unit) && unit.commit();
    }

    static Row sample(int id)
    {
        Row row(kMain);
        const std::pair<const char *, QVariant> values[] = {
            {"ID", id},       {"CODICE", "no1"},   {"NOME", "Rossi Srl"},           {"IMPORTO", 1234.5},
            {"ATTIVO", true}, {"CREATO", "MARIO"}, {"DATA_DOC", QDate(2025, 2, 28)}};
        for (const auto &[column, value] : values)
            row.set(QString::fromLatin1(column), value);
        return row;
    }

    // A committed value of row `id`.
    QVariant stored(const char *column, int id = 1, const char *table = "PROVA_REC") const
    {
        return archives->scalar(QStringLiteral("SELECT %1 FROM %2 WHERE ID = ?").arg(column, table), {id});
    }
};

} // namespace

TEST_P(RecordStoreTest, AnInsertedRowReadsBackEqual)
{
    Row blank(kMain);
    blank.set("ID", 2);
    ASSERT_TRUE(write(
        [&](WriteUnit &unit) { return insertRow(unit, sample(1), "Ins. 1") && insertRow(unit, blank, "Ins. 2"); }));
    const auto found = readRow(*db, kMain, {1});
    ASSERT_TRUE(found && found->has_value());
    // Each kind's stored form is the record's own test; here it reads back.
    EXPECT_TRUE(**found == sample(1));
    EXPECT_FALSE(readRow(*db, kMain, {3}).value().has_value());
    const auto rows = readRows(*db, kMain, "ID >= ?", {1}, "ID DESC");
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 2);
    EXPECT_TRUE(rows->at(0) == blank);
    EXPECT_TRUE(rows->at(1) == sample(1));

    // A failing statement is told by its step (the unit's rollback is the
    // data access's test).
    EXPECT_FALSE(write([&](WriteUnit &unit) { return insertRow(unit, sample(1), "Ins. doppio"); }));
    EXPECT_EQ(db->error().step, "Ins. doppio");
    EXPECT_EQ(archives->count("PROVA_REC"), 2);
}

TEST_P(RecordStoreTest, AnUpdateWritesOnlyTheChangedColumns)
{
    ASSERT_TRUE(write([](WriteUnit &unit) { return insertRow(unit, sample(1), "Ins."); }));
    const Row loaded = *readRow(*db, kMain, {1}).value();
    // Another workstation changes the name meanwhile.
    run("UPDATE PROVA_REC SET NOME = 'Altrove' WHERE ID = 1");

    Row now = loaded;
    now.set("IMPORTO", 99.999);
    now.set("CREATO", "LUIGI");
    now.set("ID", 7);
    int affected = -1;
    ASSERT_TRUE(write([&](WriteUnit &unit) { return updateRow(unit, now, loaded, "Agg.", &affected); }));
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(stored("NOME").toString(), "Altrove");
    EXPECT_DOUBLE_EQ(stored("IMPORTO").toDouble(), 100.0);
    EXPECT_EQ(stored("CREATO").toString(), "MARIO");

    // Nothing changed: no statement at all, so a table refusing writes is fine.
    ASSERT_EQ(Orlavo::Testing::refuseWrites(db->connection(), GetParam(), "PROVA_REC"), QString());
    Row same = loaded;
    same.setText("NOME", " Rossi Srl ");
    same.setText("IMPORTO", "1.234,50");
    EXPECT_TRUE(write([&](WriteUnit &unit) { return updateRow(unit, same, loaded, "Agg.", &affected); }));
    EXPECT_EQ(affected, 0);
}

TEST_P(RecordStoreTest, TextKeysCompareIgnoringCase)
{
    const auto found = readRow(*db, kCodes, {"B2"});
    ASSERT_TRUE(found && found->has_value());
    EXPECT_EQ((*found)->text("CODICE"), "b2");

    Row before = **found;
    before.set("CODICE", "B2");
    Row now = before;
    now.set("DESCRIZIONE", "Nuova");
    int updated = 0, deleted = 0;
    ASSERT_TRUE(write([&](WriteUnit &unit) { return updateRow(unit, now, before, "Agg.", &updated); }));
    EXPECT_EQ(updated, 1);
    EXPECT_EQ(archives->scalar("SELECT DESCRIZIONE FROM PROVA_COD WHERE CODICE = 'b2'").toString(),
              QStringLiteral("Nuova"));
    ASSERT_TRUE(write([&](WriteUnit &unit) { return deleteRow(unit, kCodes, {"B2"}, "Canc.", &deleted); }));
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(archives->count("PROVA_COD"), 2);
}

TEST_P(RecordStoreTest, APartIsWrittenOnceSomethingIsEnteredInIt)
{
    Record record(kFamily);
    record.setKey("ID", 1);
    record.main() = sample(1);
    record.part(1).set("BLOCCATO", false);
    ASSERT_TRUE(write([&](WriteUnit &unit) { return insertRecord(unit, kFamily, record); }));
    EXPECT_EQ(archives->count("PROVA_REC_EXT"), 0);

    const Record loaded = *readRecord(*db, kFamily, {1}).value();
    EXPECT_FALSE(loaded.stored(1));
    EXPECT_EQ(compareStored(*db, kFamily, loaded), StoredState::Same);

    // Entered later: inserted under its own step.
    Record now = loaded;
    now.setKey("ID", 1);
    now.part(1).set("NOTE", "Consegna al mattino");
    now.part(1).set("BLOCCATO", true);
    ASSERT_EQ(Orlavo::Testing::refuseWrites(db->connection(), GetParam(), "PROVA_REC_EXT"), QString());
    EXPECT_FALSE(write([&](WriteUnit &unit) { return updateRecord(unit, kFamily, now, loaded); }));
    EXPECT_EQ(db->error().step, "Ins. tardiva ext");
    ASSERT_EQ(Orlavo::Testing::allowWrites(db->connection(), GetParam(), "PROVA_REC_EXT"), QString());
    ASSERT_TRUE(write([&](WriteUnit &unit) { return updateRecord(unit, kFamily, now, loaded); }));
    EXPECT_EQ(stored("BLOCCATO", 1, "PROVA_REC_EXT").toInt(), -1);

    const Record reloaded = *readRecord(*db, kFamily, {1}).value();
    EXPECT_TRUE(reloaded.stored(1));
    EXPECT_TRUE(reloaded.part(1) == now.part(1));
    EXPECT_EQ(compareStored(*db, kFamily, reloaded), StoredState::Same);
    run("UPDATE PROVA_REC_EXT SET FIDO = 500 WHERE ID = 1");
    EXPECT_EQ(compareStored(*db, kFamily, reloaded), StoredState::Changed);
    run("DELETE FROM PROVA_REC WHERE ID = 1");
    EXPECT_EQ(compareStored(*db, kFamily, reloaded), StoredState::Gone);
}

TEST_P(RecordStoreTest, ChecksRunInTheirOrderAndOneColumnAlone)
{
    QHash<QString, QVariant> values{{"CODICE", "z9"}, {"NOME", QVariant()}, {"IMPORTO", 150.0}, {"TIPO", "C"}};
    CheckDef onlyForR = Check::range("IMPORTO", 0, 10, "Massimo 10");
    onlyForR.whenColumn = QStringLiteral("TIPO");
    onlyForR.whenValue = QStringLiteral("R");
    const QList<CheckDef> checks{
        Check::known("CODICE", "PROVA_COD", "CODICE", QStringLiteral("Codice sconosciuto")),
        Check::required("NOME", "Nome obbligatorio"),
        onlyForR,
        Check::range("IMPORTO", 0, 100, "Massimo 100"),
        Check::pattern("CODICE", "[A-Z][0-9]", "Formato"),
    };
    const auto valueOf = [&values](const QString &column) { return values.value(column); };
    // The messages of the problems found, in order.
    const auto messages = [&](const QString &only) {
        QStringList found;
        for (const FieldProblem &problem : runChecks(*db, checks, valueOf, only))
            found << problem.column + QLatin1Char(':') + problem.message;
        return found.join(QLatin1Char('|'));
    };
    EXPECT_EQ(messages({}),
              QStringLiteral("CODICE:Codice sconosciuto|NOME:Nome obbligatorio|IMPORTO:Massimo 100|CODICE:Formato"));
    EXPECT_EQ(messages("CODICE"), "CODICE:Codice sconosciuto|CODICE:Formato");
    values[QStringLiteral("TIPO")] = QStringLiteral("R");
    values[QStringLiteral("CODICE")] = QStringLiteral("c3");
    EXPECT_EQ(messages("IMPORTO"), "IMPORTO:Massimo 10|IMPORTO:Massimo 100");
    EXPECT_EQ(messages("CODICE"), "CODICE:Formato");
}

// A known value compares ignoring case and blanks, within the extra
// condition and the record's scope. In a number column a number the form
// read is looked up; text it could not read is one more unknown value,
// never an archive error.
TEST_P(RecordStoreTest, KnownHonoursTheConditionTheScopeAndTheColumnKind)
{
    // Value, extra condition, the record's group limiting the list (none when null), known.
    const std::tuple<const char *, const char *, const char *, bool> cases[] = {
        // clang-format off
        {"a1", "", nullptr, true}, {" B2 ", "", nullptr, true}, {"Z9", "", nullptr, false},
        {"B2", " AND TIPO = 'R'", nullptr, false}, {"A1", " AND TIPO = 'R'", nullptr, true}, {"C3", "", "g2", true},
        {"A1", "", "G2", false},
        // clang-format on
    };
    for (const auto &[value, extra, group, known] : cases) {
        CheckDef check =
            Check::known("CODICE", "PROVA_COD", "CODICE", QStringLiteral("Sconosciuto"), QString::fromLatin1(extra));
        if (group) {
            check.scopeColumn = QStringLiteral("GRUPPO_CLI");
            check.scopeTableColumn = QStringLiteral("GRUPPO");
        }
        const QVariant code = QString::fromLatin1(value), scope = QString::fromLatin1(group);
        const auto valueOf = [&](const QString &column) { return column == QLatin1String("CODICE") ? code : scope; };
        EXPECT_EQ(runChecks(*db, {check}, valueOf).isEmpty(), known) << value << extra << (group ? group : "");
    }

    run("INSERT INTO PROVA_REC (ID) VALUES (1)");
    const CheckDef record = Check::known("RIF", "PROVA_REC", "ID", QStringLiteral("Sconosciuto"));
    for (const char *typed : {"1", "2", "1a"}) {
        const QVariant value = normalised(Column::integer("RIF"), QString::fromLatin1(typed));
        EXPECT_EQ(runChecks(*db, {record}, [&value](const QString &) { return value; }).isEmpty(),
                  QLatin1String(typed) == QLatin1String("1"))
            << typed;
    }
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(prompter.shown().size(), 0) << prompter.texts().join(QLatin1Char('|')).toStdString();
}

ORLAVO_FOR_EACH_ENGINE(RecordStoreTest);
