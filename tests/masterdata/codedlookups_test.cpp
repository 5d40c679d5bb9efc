#include "masterdata/windows/codedlookups.h"

#include <gtest/gtest.h>

using namespace Orlavo::Masterdata;

// Every coded field's list heads both its columns: a table's row by its
// description, a customer or an agent by name.
TEST(CodedLookups, BothColumnsHaveAHeading)
{
    const struct {
        const char *field, *heading;
    } cases[] = {{"ZONA", "Descrizione"}, {"PROVINCIA", "Descrizione"}, {"CONTO_RICAVO", "Descrizione"},
                 {"CLIENTE", "Ragione sociale"}, {"AGENTE", "Ragione sociale"}};
    for (const auto &c : cases) {
        const CodedLookup *lookup = partyLookup(QString::fromLatin1(c.field));
        ASSERT_NE(lookup, nullptr) << c.field;
        const auto request = codedLookupList(*lookup);
        ASSERT_EQ(request.columns.size(), 2);
        EXPECT_EQ(request.columns.at(0).heading, QStringLiteral("Codice")) << c.field;
        EXPECT_EQ(request.columns.at(1).heading, QString::fromLatin1(c.heading)) << c.field;
    }
}
