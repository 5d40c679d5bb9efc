// A list's columns are wide enough for what they show.
#include "contexttest.h"
#include "services/core/tablenames.h"
#include "ui/lookuplist.h"

#include <QTableView>

#include <gtest/gtest.h>

using namespace Orlavo;

namespace {

class LookupWidthTest : public Orlavo::Testing::ContextTest<>
{
};

TEST_P(LookupWidthTest, ALongValueWidensItsColumnAndTheFormatStaysTheLeast)
{
    const QString longName = QStringLiteral("Consorzio Agrario Interprovinciale delle Valli");
    run(QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES ('N', '%2'), ('S', 'Sud')")
            .arg(Services::Tables::TAB_ZONA, longName));
    Ui::LookupRequest request;
    request.table = Services::Tables::TAB_ZONA;
    request.title = QStringLiteral("Lista ZONE");
    // The name is not the last column: nothing stretches it.
    request.columns = {{QStringLiteral("DESCRIZIONE"), QStringLiteral("10C"), QStringLiteral("Descrizione")},
                       {QStringLiteral("CODICE"), QStringLiteral("06C"), QStringLiteral("Codice")}};
    Ui::LookupList list(*context, request);
    ASSERT_TRUE(list.load());
    const QFontMetrics metrics = list.view()->fontMetrics();
    EXPECT_GE(list.view()->columnWidth(0), metrics.horizontalAdvance(longName));
    EXPECT_GE(list.view()->columnWidth(1), 6 * metrics.averageCharWidth());
}

ORLAVO_FOR_EACH_ENGINE(LookupWidthTest);

} // namespace
