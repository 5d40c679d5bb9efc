#pragma once

#include "masterdata/rules/partysearch.h"
#include "ui/appcontext.h"
#include "ui/lookuplist.h"

#include <gtest/gtest.h>

#include <functional>

namespace Orlavo::Testing {

using Codes = QList<int>;

// What a party search must hold whatever its filters: the list and, when it
// has one, the report formula select the expected codes; typed values travel
// as parameters (no literal in the statement but the LIKE escape, one value
// per placeholder).
inline void expectSearch(const Masterdata::PartySearch &search, const Codes &expected, bool printable,
                         const std::function<Codes(const QString &, const Services::Params &)> &listed,
                         const std::function<Codes(const QString &)> &printed)
{
    // In code order: the print's order, and a large archive's first screen
    // comes without sorting every match.
    EXPECT_EQ(listed(search.sql, search.params), expected) << search.sql.toStdString();
    EXPECT_EQ(search.formula.has_value(), printable);
    if (search.formula) {
        EXPECT_EQ(printed(*search.formula), expected) << search.formula->toStdString();
    }
    QString statement = search.sql;
    statement.remove(QStringLiteral("ESCAPE '!'"));
    EXPECT_FALSE(statement.contains(QLatin1Char('\''))) << search.sql.toStdString();
    EXPECT_EQ(search.sql.count(QLatin1Char('?')), search.params.size());
}

// The codes a search window's list shows, under its title.
inline Codes listedCodes(Ui::AppContext &context, const Ui::LookupRequest &request, const QString &title)
{
    Ui::LookupList list(context, request);
    EXPECT_EQ(list.windowTitle(), title);
    EXPECT_TRUE(list.load());
    Codes codes;
    for (int row = 0; row < list.rowCount(); ++row)
        codes << list.values(row).first().toInt();
    return codes;
}

} // namespace Orlavo::Testing
