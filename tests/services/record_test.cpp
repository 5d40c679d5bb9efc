#include "services/core/record.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace Orlavo::Services;

static void PrintTo(const QVariant &value, std::ostream *out)
{
    *out << value.typeName() << '(' << value.toString().toStdString() << ')';
}

namespace {

struct RoundTrip {
    const char *name;
    ColumnDef column;
    QVariant value;  // as the record keeps it
    QString shown;   // as the form shows it
    QVariant stored; // as the statement binds it
};

void PrintTo(const RoundTrip &c, std::ostream *out)
{
    *out << c.name;
}

class RecordRoundTrip : public ::testing::TestWithParam<RoundTrip>
{
};

const RoundTrip kRoundTrips[] = {
    {"Text", Column::text("NOME", 40), QStringLiteral("Rossi Srl"), QStringLiteral("Rossi Srl"),
     QStringLiteral("Rossi Srl")},
    {"Code", Column::code("ZONA", 4), QStringLiteral("NO1"), QStringLiteral("NO1"), QStringLiteral("NO1")},
    {"Integer", Column::integer("GIORNI"), qlonglong(-30), QStringLiteral("-30"), qlonglong(-30)},
    {"Amount", Column::amount("FIDO"), 1234567.5, QStringLiteral("1234567,50"), 1234567.5},
    {"NegativeAmount", Column::amount("FIDO"), -0.5, QStringLiteral("-0,50"), -0.5},
    {"WholeAmount", Column::amount("FIDO", 0), 1234.0, QStringLiteral("1234"), 1234.0},
    {"Quantity", Column::quantity("QTA"), 1500.125, QStringLiteral("1500,125"), 1500.125},
    {"Percent", Column::percent("SCONTO"), 22.5, QStringLiteral("22,50"), 22.5},
    {"Date", Column::date("DATA_NASC"), QDate(2025, 2, 1), QStringLiteral("01/02/2025"), QDate(2025, 2, 1)},
    {"FlagSNOn", Column::flagSN("ELENCO"), true, QStringLiteral("S"), QStringLiteral("S")},
    {"FlagSNOff", Column::flagSN("ELENCO"), false, QStringLiteral("N"), QStringLiteral("N")},
    {"FlagOneZeroOn", Column::flagOneZero("SCFATT"), true, QStringLiteral("S"), 1},
    {"FlagOneZeroOff", Column::flagOneZero("SCFATT"), false, QStringLiteral("N"), 0},
    {"FlagMinusOneOn", Column::flagMinusOne("SUDDIV"), true, QStringLiteral("S"), -1},
    {"FlagMinusOneOff", Column::flagMinusOne("SUDDIV"), false, QStringLiteral("N"), 0},
    {"FlagPersonOn", Column::flag("PERS_SOC", QStringLiteral("P"), QStringLiteral("S")), true, QStringLiteral("P"),
     QStringLiteral("P")},
    {"FlagPersonOff", Column::flag("PERS_SOC", QStringLiteral("P"), QStringLiteral("S")), false, QStringLiteral("S"),
     QStringLiteral("S")},
};

} // namespace

TEST_P(RecordRoundTrip, ShownParsedStoredAndReadBack)
{
    const RoundTrip &c = GetParam();
    EXPECT_EQ(shownText(c.column, c.value), c.shown);
    EXPECT_EQ(parsedText(c.column, shownText(c.column, c.value)), c.value);
    EXPECT_EQ(storedValue(c.column, c.value), c.stored);
    EXPECT_EQ(fromStored(c.column, storedValue(c.column, c.value)), c.value);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RecordRoundTrip, ::testing::ValuesIn(kRoundTrips),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Record, BlanksUnreadableTextAndRounding)
{
    ColumnDef nullableAmount = Column::amount("FIDO");
    nullableAmount.nullable = true;
    const struct {
        ColumnDef column;
        QVariant input;
        QVariant kept; // null for a blank
        bool storedNull;
    } cases[] = {
        {Column::text("NOME", 40), QStringLiteral("   "), {}, true},
        {Column::text("NOME", 40), QStringLiteral("  Bianchi "), QStringLiteral("Bianchi"), false},
        {Column::code("ZONA", 4), QStringLiteral(" no1 "), QStringLiteral("NO1"), false},
        {Column::date("DATA"), QStringLiteral(""), {}, true},
        {Column::date("DATA"), QStringLiteral(" 1-2-25 "), QDate(2025, 2, 1), false},
        {Column::date("DATA"), QDateTime(QDate(2025, 2, 1), QTime(0, 0)), QDate(2025, 2, 1), false},
        {Column::integer("GIORNI"), QStringLiteral(" "), {}, true},
        {Column::integer("GIORNI"), QStringLiteral(" 60 "), qlonglong(60), false},
        {Column::amount("FIDO"), QStringLiteral(""), 0.0, false},
        {Column::amount("FIDO"), QVariant(), 0.0, false},
        {nullableAmount, QStringLiteral(" "), {}, true},
        {Column::amount("FIDO"), 2.675, 2.68, false},
        {Column::quantity("QTA"), 1.0005, 1.001, false},
        {Column::percent("SCONTO", 1), -0.05, -0.1, false},
        {Column::flagSN("ELENCO"), QVariant(), false, false},
        // Typed text the form could not read stays, and binds as null.
        {Column::date("DATA"), QStringLiteral("31/02/2025"), QStringLiteral("31/02/2025"), true},
        {Column::integer("GIORNI"), QStringLiteral("12a"), QStringLiteral("12a"), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.column.name.toStdString() + " <" + c.input.toString().toStdString() + ">");
        EXPECT_EQ(normalised(c.column, c.input), c.kept);
        EXPECT_EQ(storedValue(c.column, c.input).isNull(), c.storedNull);
    }
    // A flag never stores null: the off value.
    EXPECT_EQ(storedValue(Column::flagSN("ELENCO"), QVariant()), QStringLiteral("N"));
    // Typed amounts round on entry too; the form shows what it could not read.
    EXPECT_EQ(parsedText(Column::amount("FIDO"), QStringLiteral("2,675")), 2.68);
    EXPECT_EQ(parsedText(Column::amount("FIDO"), QStringLiteral(" ")), 0.0);
    EXPECT_EQ(shownText(Column::date("DATA"), QStringLiteral("31/02/2025")), QStringLiteral("31/02/2025"));
}

TEST(Record, StoredFlagsReadBackWhateverTheirCaseOrNumber)
{
    const ColumnDef sn = Column::flagSN("ELENCO");
    const ColumnDef minusOne = Column::flagMinusOne("SUDDIV");
    const ColumnDef person = Column::flag("PERS_SOC", QStringLiteral("P"), QStringLiteral("S"));
    const struct {
        const ColumnDef &column;
        QVariant stored;
        bool on;
    } cases[] = {
        {sn, QStringLiteral(" s"), true},
        {sn, QStringLiteral("N"), false},
        {sn, QVariant(), false},
        {sn, QString(), false},
        {minusOne, -1, true},
        {minusOne, 1, true},
        {minusOne, 0, false},
        {person, QStringLiteral("p"), true},
        {person, QStringLiteral("S"), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.column.name.toStdString() + " <" + c.stored.toString().toStdString() + ">");
        EXPECT_EQ(fromStored(c.column, c.stored), QVariant(c.on));
    }
}

namespace {

const TableDef kTable{QStringLiteral("PROVA"),
                      Target::Company,
                      {Column::key(Column::code("CODICE", 6)), Column::key(Column::integer("RIGA")),
                       Column::text("NOME", 40), Column::amount("FIDO"), Column::flagSN("ELENCO"), Column::date("DATA"),
                       Column::insertOnly(Column::text("CREATO", 10))}};

} // namespace

TEST(Record, RowsCompareAsStoredAndChangesLeaveKeyAndInsertOnlyOut)
{
    Row untouched(kTable);
    Row blanked(kTable);
    blanked.setText(QStringLiteral("NOME"), QStringLiteral("  "));
    blanked.setText(QStringLiteral("FIDO"), QString());
    blanked.setText(QStringLiteral("ELENCO"), QStringLiteral("N"));
    blanked.set(QStringLiteral("DATA"), QDate());
    EXPECT_TRUE(blanked == untouched);
    EXPECT_TRUE(untouched == blanked);
    EXPECT_FALSE(blanked.anyEntered());
    EXPECT_TRUE(blanked.changedFrom(untouched).isEmpty());

    Row before(kTable);
    before.setText(QStringLiteral("CODICE"), QStringLiteral(" ab "));
    before.set(QStringLiteral("RIGA"), 3);
    before.set(QStringLiteral("NOME"), QStringLiteral("Rossi"));
    before.set(QStringLiteral("CREATO"), QStringLiteral("MARIO"));
    EXPECT_EQ(before.key(), (Params{QStringLiteral("AB"), qlonglong(3)}));
    EXPECT_TRUE(before.anyEntered());

    Row now = before;
    now.set(QStringLiteral("CODICE"), QStringLiteral("AC"));
    now.set(QStringLiteral("RIGA"), 4);
    now.set(QStringLiteral("CREATO"), QStringLiteral("LUIGI"));
    EXPECT_TRUE(now.changedFrom(before).isEmpty());
    EXPECT_FALSE(now == before);

    now.set(QStringLiteral("NOME"), QStringLiteral("rossi"));
    now.setText(QStringLiteral("FIDO"), QStringLiteral("0,001"));
    now.setText(QStringLiteral("ELENCO"), QStringLiteral("s"));
    EXPECT_EQ(now.changedFrom(before), (QStringList{QStringLiteral("NOME"), QStringLiteral("ELENCO")}));

    // Only the key entered: nothing worth writing.
    Row keyOnly(kTable);
    keyOnly.set(QStringLiteral("CODICE"), QStringLiteral("AB"));
    keyOnly.set(QStringLiteral("RIGA"), 1);
    EXPECT_FALSE(keyOnly.anyEntered());
    keyOnly.setText(QStringLiteral("ELENCO"), QStringLiteral("S"));
    EXPECT_TRUE(keyOnly.anyEntered());
}

TEST(Record, ChecksDecidedWithoutTheArchive)
{
    const CheckDef required = Check::required(QStringLiteral("NOME"), QStringLiteral("m"));
    const CheckDef range = Check::range(QStringLiteral("SCONTO"), 0, 100, QStringLiteral("m"));
    const CheckDef length = Check::length(QStringLiteral("CAP"), 5, QStringLiteral("m"));
    const CheckDef pattern = Check::pattern(QStringLiteral("CAP"), QStringLiteral("[0-9]{5}"), QStringLiteral("m"));
    const CheckDef valid = Check::valid(QStringLiteral("DATA"), QStringLiteral("m"));
    const CheckDef even = Check::custom(QStringLiteral("GIORNI"), QStringLiteral("m"),
                                        [](const QVariant &v) { return v.toInt() % 2 == 0; });
    const CheckDef known =
        Check::known(QStringLiteral("ZONA"), QStringLiteral("TAB_ZONE"), QStringLiteral("CODICE"), QStringLiteral("m"));
    const CheckDef knownRequired = Check::knownRequired(QStringLiteral("ZONA"), QStringLiteral("TAB_ZONE"),
                                                        QStringLiteral("CODICE"), QStringLiteral("m"));
    const std::optional<bool> archive;
    const struct {
        const CheckDef &check;
        QVariant value;
        std::optional<bool> passes;
    } cases[] = {
        {required, QVariant(), false},
        {required, QStringLiteral("  "), false},
        {required, QStringLiteral("x"), true},
        {range, QVariant(), true},
        {range, 0.0, true},
        {range, 100.0, true},
        {range, 100.01, false},
        {range, -0.01, false},
        {length, QStringLiteral("20100"), true},
        {length, QStringLiteral("201000"), false},
        {pattern, QStringLiteral("20100"), true},
        {pattern, QStringLiteral("201000"), false},
        {pattern, QStringLiteral("x20100"), false},
        {pattern, QString(), true},
        {valid, QDate(2025, 2, 1), true},
        {valid, qlonglong(12), true},
        {valid, normalised(Column::date("DATA"), QStringLiteral("31/02/2025")), false},
        {valid, normalised(Column::integer("GIORNI"), QStringLiteral("12a")), false},
        {valid, QVariant(), true},
        {even, 4, true},
        {even, 3, false},
        {even, QVariant(), true},
        {known, QVariant(), true},
        {known, QStringLiteral("NO1"), archive},
        {knownRequired, QStringLiteral(" "), false},
        {knownRequired, QStringLiteral("NO1"), archive},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.check.kind));
        SCOPED_TRACE(c.value.toString().toStdString());
        EXPECT_EQ(passesLocally(c.check, c.value), c.passes);
    }
}
