#pragma once

#include "masterdata/rules/partysearch.h"
#include "masterdatatest.h"
#include "reporting/stores/reportdata.h"
#include "ui/appcontext.h"
#include "ui/lookuplist.h"

#include <gtest/gtest.h>

namespace Orlavo::Testing {

using Codes = QList<int>;

// A search over a party table (ANAG_CLI, ANAG_FOR) of the archives.
class PartySearchTest : public MasterdataTest<>
{
protected:
    // The codes the statement selects, in its order.
    Codes listed(const QString &key, const QString &sql, const Services::Params &params)
    {
        const auto rows = context->db.openRecordset(sql, params);
        EXPECT_TRUE(rows.ok()) << sql.toStdString();
        Codes codes;
        if (rows) {
            for (const auto row : *rows)
                codes << row.integer(key);
        }
        return codes;
    }

    // The codes the report engine selects from the table with the formula.
    Codes printed(const QString &table, const QString &key, const QString &formula)
    {
        const QString column = table + QLatin1Char('.') + key;
        Reporting::ReportDefinition definition;
        definition.tables = {{table, 1}};
        definition.order = {column};
        Codes codes;
        for (const QString &code : reportRows(context->db, definition, formula, {column}))
            codes << code.toInt();
        return codes;
    }

    // What a party search must hold whatever its filters: the list and, when
    // it has one, the report formula select the expected codes; typed values
    // travel as parameters (no literal in the statement but the LIKE escape,
    // one value per placeholder).
    void expectSearch(const QString &table, const QString &key, const Masterdata::PartySearch &search,
                      const Codes &expected, bool printable)
    {
        // In code order: the print's order, and a large archive's first
        // screen comes without sorting every match.
        EXPECT_EQ(listed(key, search.sql, search.params), expected) << search.sql.toStdString();
        EXPECT_EQ(search.formula.has_value(), printable);
        if (search.formula) {
            EXPECT_EQ(printed(table, key, *search.formula), expected) << search.formula->toStdString();
        }
        QString statement = search.sql;
        statement.remove(QStringLiteral("ESCAPE '!'"));
        EXPECT_FALSE(statement.contains(QLatin1Char('\''))) << search.sql.toStdString();
        EXPECT_EQ(search.sql.count(QLatin1Char('?')), search.params.size());
    }
};

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
