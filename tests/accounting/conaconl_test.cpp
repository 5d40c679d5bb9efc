#include "accounting/windows/conacon.h"
#include "accounting/windows/conaconl.h"
#include "accounting/windows/journalfilterpanel.h"
#include "entrywindowtest.h"
#include "ui/fieldlook.h"

#include <QLineEdit>
#include <QTableWidget>

// The entry list's wiring: the filters' statement on both engines, a wrong
// filter's message, and a chosen entry opened and deleted.

using namespace Orlavo;
using namespace Orlavo::Accounting;
using Orlavo::Services::Prompter;

namespace {

class ConAConLTest : public Testing::EntryWindowTest
{
protected:
    void seed() override
    {
        EntryWindowTest::seed();
        if (HasFatalFailure())
            return;
        // 1: a transfer on 15/03; 2: a cash receipt; 3: a transfer on 01/02.
        storeEntry(EntryMode::General);
        storeEntry(EntryMode::CashReceipt);
        storeEntry(EntryMode::General);
        run(QStringLiteral("UPDATE GIORN SET DATA_REG = '%1-03-15' WHERE NRO_INT = 1").arg(year));
        run(QStringLiteral("UPDATE GIORN SET DATA_REG = '%1-02-01' WHERE NRO_INT = 3").arg(year));
    }

    // The listed lines as "number/sequence".
    static QStringList listed(const ConAConL &list)
    {
        QStringList shown;
        for (int row = 0; row < list.grid()->rowCount(); ++row)
            shown << list.grid()->item(row, 2)->text() + QLatin1Char('/') + list.grid()->item(row, 3)->text();
        return shown;
    }

    static void filter(ConAConL &list, FilterField field, const QString &text) { list.filters()->setText(field, text); }
};

TEST_P(ConAConLTest, TheFiltersPickTheLinesOfTheModesEntries)
{
    ConAConL list(*context, EntryMode::General);
    EXPECT_EQ(list.filters()->field(FilterField::Year)->text(), year);
    ASSERT_TRUE(list.search());
    EXPECT_EQ(listed(list), (QStringList{"1/1", "1/2", "3/1", "3/2"}));
    // Row by row: amount on its side, the registration reference.
    EXPECT_EQ(list.grid()->item(1, 12)->text(), "50,00");
    EXPECT_TRUE(list.grid()->item(1, 11)->text().isEmpty());
    EXPECT_EQ(list.grid()->item(0, 18)->text(), QString("0 - 15/03/%1").arg(year));

    const struct {
        const char *label;
        FilterField field;
        QString text;
        QStringList lines;
    } cases[] = {
        {"account", FilterField::Account, "014001", {"1/1", "3/1"}},
        {"account start", FilterField::Account, "0140*", {"1/1", "1/2", "3/1", "3/2"}},
        {"registered from", FilterField::RegistrationFrom, "01/03/" + year, {"1/1", "1/2"}},
        {"registered until", FilterField::RegistrationTo, "28/02/" + year, {"3/1", "3/2"}},
        {"number from", FilterField::NumberFrom, "2", {"3/1", "3/2"}},
        {"number until", FilterField::NumberTo, "2", {"1/1", "1/2"}},
        {"causal", FilterField::Causal, "GIR", {}},
        {"supplier", FilterField::Supplier, "3", {}},
        {"another year", FilterField::Year, "2001", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ConAConL one(*context, EntryMode::General);
        filter(one, c.field, c.text);
        ASSERT_TRUE(one.search()) << prompter.texts().join('|').toStdString();
        EXPECT_EQ(listed(one), c.lines);
    }

    // The role groups: the transfers' lines are all on bank and cash.
    const struct {
        RoleFilter parties, money;
        QStringList lines;
    } roles[] = {{RoleFilter::All, RoleFilter::Excluded, {}},
                 {RoleFilter::Excluded, RoleFilter::Only, {"1/1", "1/2", "3/1", "3/2"}},
                 {RoleFilter::Only, RoleFilter::All, {}}};
    for (const auto &r : roles) {
        list.filters()->setRoles(r.parties, r.money);
        ASSERT_TRUE(list.search());
        EXPECT_EQ(listed(list), r.lines) << int(r.parties) << int(r.money);
    }

    ConAConL receipts(*context, EntryMode::CashReceipt);
    ASSERT_TRUE(receipts.search());
    EXPECT_EQ(listed(receipts), (QStringList{"2/1", "2/2", "2/3"}));
    EXPECT_EQ(receipts.grid()->item(0, 20)->text(), "22");
    EXPECT_EQ(prompter.texts(), QStringList{});
}

TEST_P(ConAConLTest, AWrongFilterSpeaksAndListsNothing)
{
    ConAConL list(*context, EntryMode::General);
    ASSERT_TRUE(list.search());
    filter(list, FilterField::Account, "999999");
    filter(list, FilterField::Customer, "55");
    EXPECT_FALSE(list.search());
    EXPECT_EQ(prompter.texts(), QStringList{"Conto di contabilità errato "});
    EXPECT_TRUE(Ui::hasFieldError(list.filters()->field(FilterField::Account)));
    EXPECT_FALSE(Ui::hasFieldError(list.filters()->field(FilterField::Customer)));
    EXPECT_EQ(list.grid()->rowCount(), 4) << "the list stays as it was";

    answer();
    filter(list, FilterField::Account, "");
    EXPECT_FALSE(list.search());
    EXPECT_EQ(prompter.texts(), QStringList{"Cliente errato "});
    EXPECT_FALSE(Ui::hasFieldError(list.filters()->field(FilterField::Account)));
    EXPECT_TRUE(Ui::hasFieldError(list.filters()->field(FilterField::Customer)));
}

TEST_P(ConAConLTest, AChosenEntryOpensAndIsDeletedAfterTheQuestion)
{
    ConAConL list(*context, EntryMode::CashReceipt);
    ConACon *shown = nullptr;
    list.setPresenter([&shown](ConACon *window) { shown = window; });
    ASSERT_TRUE(list.search());
    EXPECT_EQ(list.openRow(1), shown);
    ASSERT_NE(shown, nullptr);
    const std::unique_ptr<ConACon> window(shown);
    EXPECT_EQ(window->value("NRO_INT"), "2");

    answer({Prompter::Button::Cancel});
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione registrazione?"});
    EXPECT_EQ(rowsOf("GIORN", 2), 3);

    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->remove()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(rowsOf("GIORN", 2), 0);
    EXPECT_EQ(archives->count("GIORN"), 4) << "the transfers stay";
    // The list reads again.
    EXPECT_EQ(list.grid()->rowCount(), 0);
}

ORLAVO_FOR_EACH_ENGINE(ConAConLTest);

} // namespace
