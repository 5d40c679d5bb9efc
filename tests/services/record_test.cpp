#include "services/core/record.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Orlavo::Services;

static void PrintTo(const QVariant &value, std::ostream *out)
{
    *out << value.typeName() << '(' << value.toString().toStdString() << ')';
}

namespace {
const ColumnDef kPerson = Column::flag("PERS_SOC", QStringLiteral("P"), QStringLiteral("S"));
} // namespace

// Each kind as the record keeps it, as the form shows it and as the
// statement binds it, and back.
TEST(Record, ShownParsedStoredAndReadBack)
{
    const std::tuple<ColumnDef, QVariant, const char *, QVariant> cases[] = {
        // clang-format off
        {Column::text("NOME", 40), QStringLiteral("Rossi Srl"), "Rossi Srl", QStringLiteral("Rossi Srl")},
        {Column::integer("GIORNI"), qlonglong(-30), "-30", qlonglong(-30)},
        {Column::amount("FIDO"), 1234567.5, "1234567,50", 1234567.5},
        {Column::amount("FIDO", 0), 1234.0, "1234", 1234.0},
        {Column::date("DATA_NASC"), QDate(2025, 2, 1), "01/02/2025", QDate(2025, 2, 1)},
        {Column::flagSN("ELENCO"), false, "N", "N"},   {Column::flagOneZero("SCFATT"), true, "S", 1},
        {Column::flagMinusOne("SUDDIV"), true, "S", -1}, {kPerson, false, "S", QStringLiteral("S")},
        // clang-format on
    };
    for (const auto &[column, value, shown, stored] : cases) {
        SCOPED_TRACE(column.name.toStdString() + " " + shown);
        EXPECT_EQ(shownText(column, value), QString::fromUtf8(shown));
        EXPECT_EQ(parsedText(column, QString::fromUtf8(shown)), value);
        EXPECT_EQ(storedValue(column, value), stored);
        EXPECT_EQ(fromStored(column, stored), value);
    }
}

// Values are kept as they would be stored: trimmed, upper-case codes,
// rounded figures; text the form could not read stays, and binds as null.
TEST(Record, BlanksUnreadableTextAndRounding)
{
    ColumnDef nullableAmount = Column::amount("FIDO");
    nullableAmount.nullable = true;
    const std::tuple<ColumnDef, QVariant, QVariant, bool> cases[] = {
        // clang-format off
        {Column::text("NOME", 40), QStringLiteral("   "), {}, true},
        {Column::code("ZONA", 4), QStringLiteral(" no1 "), QStringLiteral("NO1"), false},
        {Column::date("DATA"), QStringLiteral(" 1-2-25 "), QDate(2025, 2, 1), false},
        {Column::amount("FIDO"), QVariant(), 0.0, false}, {nullableAmount, QStringLiteral(" "), {}, true},
        {Column::percent("SCONTO", 1), -0.05, -0.1, false},
        {Column::date("DATA"), QStringLiteral("31/02/2025"), QStringLiteral("31/02/2025"), true},
        // clang-format on
    };
    for (const auto &[column, input, kept, storedNull] : cases) {
        SCOPED_TRACE(column.name.toStdString() + " <" + input.toString().toStdString() + ">");
        EXPECT_EQ(normalised(column, input), kept);
        EXPECT_EQ(storedValue(column, input).isNull(), storedNull);
    }
    // A flag never stores null: the off value.
    EXPECT_EQ(storedValue(Column::flagSN("ELENCO"), QVariant()), QStringLiteral("N"));
    // The form shows what it could not read.
    EXPECT_EQ(shownText(Column::date("DATA"), QStringLiteral("31/02/2025")), QStringLiteral("31/02/2025"));

    // Stored flags read back whatever their case, blanks or number.
    const ColumnDef sn = Column::flagSN("ELENCO"), minusOne = Column::flagMinusOne("SUDDIV");
    const std::tuple<const ColumnDef &, QVariant, bool> flags[] = {
        {sn, QStringLiteral(" s"), true}, {minusOne, 1, true}, {kPerson, QStringLiteral("p"), true}};
    for (const auto &[column, stored, on] : flags)
        EXPECT_EQ(fromStored(column, stored), QVariant(on))
            << column.name.toStdString() << " " << stored.toString().toStdString();
}

// Rows compare as they would be stored; the key is bound as stored; a
// change is what would store differently. (What an update leaves out, key
// and insert-only columns, is the store's test.)
TEST(Record, RowsCompareAsStored)
{
    const TableDef table{QStringLiteral("PROVA"),
                         Target::Company,
                         {Column::key(Column::code("CODICE", 6)), Column::key(Column::integer("RIGA")),
                          Column::text("NOME", 40), Column::amount("FIDO"), Column::flagSN("ELENCO"),
                          Column::date("DATA")}};
    Row untouched(table), blanked(table);
    blanked.setText(QStringLiteral("NOME"), QStringLiteral("  "));
    blanked.setText(QStringLiteral("FIDO"), QString());
    blanked.setText(QStringLiteral("ELENCO"), QStringLiteral("N"));
    blanked.set(QStringLiteral("DATA"), QDate());
    EXPECT_TRUE(blanked == untouched && untouched == blanked);
    EXPECT_FALSE(blanked.anyEntered());

    Row before(table);
    before.setText(QStringLiteral("CODICE"), QStringLiteral(" ab "));
    before.set(QStringLiteral("RIGA"), 3);
    before.set(QStringLiteral("NOME"), QStringLiteral("Rossi"));
    EXPECT_EQ(before.key(), (Params{QStringLiteral("AB"), qlonglong(3)}));
    Row now = before;
    now.set(QStringLiteral("NOME"), QStringLiteral("rossi"));
    now.setText(QStringLiteral("FIDO"), QStringLiteral("0,001"));
    now.setText(QStringLiteral("ELENCO"), QStringLiteral("s"));
    EXPECT_EQ(now.changedFrom(before), (QStringList{QStringLiteral("NOME"), QStringLiteral("ELENCO")}));
}

// Checks decided without the archive; a known value is for the archive to say.
TEST(Record, ChecksDecidedWithoutTheArchive)
{
    const QString m = QStringLiteral("m");
    const CheckDef range = Check::range(QStringLiteral("SCONTO"), 0, 100, m);
    const CheckDef length = Check::length(QStringLiteral("CAP"), 5, m);
    const CheckDef pattern = Check::pattern(QStringLiteral("CAP"), QStringLiteral("[0-9]{5}"), m);
    const CheckDef valid = Check::valid(QStringLiteral("DATA"), m);
    const CheckDef even =
        Check::custom(QStringLiteral("GIORNI"), m, [](const QVariant &v) { return v.toInt() % 2 == 0; });
    const CheckDef known =
        Check::known(QStringLiteral("ZONA"), QStringLiteral("TAB_ZONE"), QStringLiteral("CODICE"), m);
    const CheckDef knownRequired =
        Check::knownRequired(QStringLiteral("ZONA"), QStringLiteral("TAB_ZONE"), QStringLiteral("CODICE"), m);
    const std::optional<bool> archive;
    const std::tuple<const CheckDef &, QVariant, std::optional<bool>> cases[] = {
        // clang-format off
        {range, QVariant(), true}, {range, 100.0, true}, {range, 100.01, false},
        {length, QStringLiteral("201000"), false}, {pattern, QStringLiteral("x20100"), false},
        {valid, QDate(2025, 2, 1), true},
        {valid, normalised(Column::date("DATA"), QStringLiteral("31/02/2025")), false}, {even, 3, false},
        {even, QVariant(), true}, {known, QVariant(), true}, {known, QStringLiteral("NO1"), archive},
        {knownRequired, QStringLiteral(" "), false}, {knownRequired, QStringLiteral("NO1"), archive},
        // clang-format on
    };
    for (const auto &[check, value, passes] : cases) {
        SCOPED_TRACE(testing::Message() << int(check.kind) << " <" << value.toString().toStdString() << ">");
        EXPECT_EQ(passesLocally(check, value), passes);
    }
}
