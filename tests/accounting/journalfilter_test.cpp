#include "accounting/rules/journalfilter.h"

#include <gtest/gtest.h>

using namespace Orlavo::Accounting;

namespace {

// Account 041001, causal GIR, customer 7 and supplier 3 exist; nothing else.
bool known(FilterField field, const QString &code)
{
    switch (field) {
    case FilterField::Account: return code == "041001";
    case FilterField::Causal: return code == "GIR";
    case FilterField::Customer: return code == "7";
    case FilterField::Supplier: return code == "3";
    default: return false;
    }
}

} // namespace

TEST(JournalFilter, TheFirstWrongFilterSpeaks)
{
    const struct {
        const char *label;
        std::function<void(JournalFilterInput &)> set;
        FilterField field;
        QString message;
    } cases[] = {
        {"number without year", [](auto &in) { in.year.clear(), in.numberFrom = "3"; }, FilterField::Year,
         "Valorizzare anche Anno "},
        {"numbers reversed", [](auto &in) { in.numberFrom = "5", in.numberTo = "4"; }, FilterField::NumberTo,
         "Num. movimento A deve essere maggiore di Num. movimento DA"},
        {"movement date", [](auto &in) { in.movementTo = "31/02/2026"; }, FilterField::MovementTo,
         "Data movimento errata "},
        {"movement dates reversed", [](auto &in) { in.movementFrom = "02/03/2026", in.movementTo = "01/03/2026"; },
         FilterField::MovementTo, "Data movimento A deve essere maggiore di Data movimento DA"},
        {"registration date", [](auto &in) { in.registrationFrom = "1/13/2026"; }, FilterField::RegistrationFrom,
         "Data registrazione errata "},
        {"registration dates reversed",
         [](auto &in) { in.registrationFrom = "02/03/2026", in.registrationTo = "1/3/26"; },
         FilterField::RegistrationTo, "Data registrazione A deve essere maggiore di Data registrazione DA"},
        {"wildcard inside", [](auto &in) { in.account = "04*1"; }, FilterField::Account,
         "Carattere jolly '*' ammesso solo come ultimo carattere"},
        {"account needed", [](auto &in) { in.byAccount = true, in.account = "*"; }, FilterField::Account,
         "E' neccessario specificare un conto di contabilità"},
        {"unknown account", [](auto &in) { in.account = "041002"; }, FilterField::Account,
         "Conto di contabilità errato "},
        {"causal type", [](auto &in) { in.causalType = "ZZ"; }, FilterField::CausalType,
         "Tipo causale di contabilità errata "},
        {"causal", [](auto &in) { in.causal = "XX"; }, FilterField::Causal, "Causale di contabilità errata "},
        {"cost centre", [](auto &in) { in.costCentre = "9"; }, FilterField::CostCentre, "Cento di costo errato"},
        {"customer", [](auto &in) { in.customer = "8"; }, FilterField::Customer, "Cliente errato "},
        {"customer not a number", [](auto &in) { in.customer = "A"; }, FilterField::Customer, "Cliente errato "},
        {"supplier", [](auto &in) { in.supplier = "7"; }, FilterField::Supplier, "Fornitore errato "},
        {"summary start", [](auto &in) { in.summaryStart = "oggi"; }, FilterField::SummaryStart,
         "Data inizio riepilogo errata"},
        // In screen order: the dates before the account, the account before the parties.
        {"two wrong", [](auto &in) { in.supplier = "7", in.account = "1", in.movementFrom = "x"; },
         FilterField::MovementFrom, "Data movimento errata "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        JournalFilterInput in;
        in.year = "2026";
        c.set(in);
        const FilterCheck check = checkJournalFilter(in, known);
        ASSERT_TRUE(check.problem.has_value());
        EXPECT_EQ(check.problem->column, filterColumn(c.field));
        EXPECT_EQ(filterFieldOf(check.problem->column), c.field);
        EXPECT_EQ(check.problem->message, c.message);
    }
}

TEST(JournalFilter, TheSelectionReadsWhatWasTyped)
{
    JournalFilterInput in;
    in.year = "2026";
    in.numberFrom = "4";
    in.numberTo = "4";
    in.registrationFrom = "1/3/26";
    in.registrationTo = "01/03/2026";
    in.account = "04*";
    in.causal = "gir";
    in.customer = " 7 ";
    in.bankAndCash = RoleFilter::Excluded;
    const FilterCheck check = checkJournalFilter(in, known);
    ASSERT_FALSE(check.problem.has_value()) << check.problem->message.toStdString();
    const JournalSelection &s = check.selection;
    EXPECT_EQ(s.year, "2026");
    EXPECT_EQ(s.numberFrom, 4);
    EXPECT_EQ(s.numberTo, 4);
    EXPECT_EQ(s.registrationFrom, QDate(2026, 3, 1));
    EXPECT_EQ(s.registrationTo, QDate(2026, 3, 1));
    EXPECT_EQ(s.account, "04");
    EXPECT_TRUE(s.accountPrefix);
    EXPECT_EQ(s.causal, "GIR");
    EXPECT_EQ(s.customer, 7);
    EXPECT_EQ(s.bankAndCash, RoleFilter::Excluded);

    // Nothing typed: nothing filters, not even the year.
    const FilterCheck empty = checkJournalFilter({}, known);
    EXPECT_FALSE(empty.problem.has_value());
    EXPECT_TRUE(empty.selection.year.isEmpty());
    EXPECT_FALSE(empty.selection.numberFrom.has_value());
}
