#include "shell/rules/menutable.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace Orlavo::Shell;

namespace {

TEST(MenuTable, NamesAreUniqueAndEveryParentComesFirst)
{
    QSet<QString> names;
    QSet<QString> menus;
    for (const MenuRow &row : menuRows()) {
        if (row.kind != MenuRow::Kind::Separator) {
            EXPECT_FALSE(row.name.isEmpty()) << row.caption.toStdString();
            EXPECT_FALSE(names.contains(row.name)) << row.name.toStdString();
            names.insert(row.name);
        }
        // Entries and separators sit in a menu; menus in another or on the bar.
        if (row.kind != MenuRow::Kind::Menu || !row.parent.isEmpty()) {
            EXPECT_TRUE(menus.contains(row.parent)) << row.name.toStdString() << " under " << row.parent.toStdString();
        }
        if (row.kind == MenuRow::Kind::Menu)
            menus.insert(row.name);
    }
}

TEST(MenuTable, TheProfileHidesByUserTypeAndInvoiceGeneration)
{
    const QStringList admin = {"mnuGesUtenti", "mnu_chiuriaprmag", "chius_esercizio"};
    const QStringList type3 = {"mnu_fvendita", "mnu_simulaFvend", "mnu_facq", "mnu_contabilita"};
    const QStringList generation = {"mnu_simulaFvend", "mnu_ddt_genfven"};
    const struct {
        int type;
        bool generate;
        QStringList hidden;
    } cases[] = {
        {2, true, {}}, {2, false, generation}, {1, true, admin}, {3, true, admin + type3}, {-1, true, {}},
    };
    for (const auto &c : cases) {
        QStringList expected = c.hidden;
        expected.sort();
        QStringList hidden = hiddenEntries(menuRows(), c.type, c.generate);
        hidden.sort();
        EXPECT_EQ(hidden, expected) << "type " << c.type << (c.generate ? " generating" : "");
    }
}

} // namespace
