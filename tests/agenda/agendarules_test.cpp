#include "agenda/rules/agendarules.h"

#include <gtest/gtest.h>

using namespace Orlavo::Agenda;

TEST(AgendaRules, TimesAreReadAsTypedAndKeptWithLeadingZeros)
{
    const struct {
        const char *typed;
        std::optional<QString> kept;
    } cases[] = {
        {"9", QStringLiteral("09.00")},
        {"9.30", QStringLiteral("09.30")},
        {"09:30", QStringLiteral("09.30")},
        {"0930", QStringLiteral("09.30")},
        {"930", QStringLiteral("09.30")},
        {"9.3", QStringLiteral("09.30")},
        {" 23.59 ", QStringLiteral("23.59")},
        {"0", QStringLiteral("00.00")},
        {"25", std::nullopt},
        {"9.60", std::nullopt},
        {"24.00", std::nullopt},
        {"", std::nullopt},
        {"9.30.1", std::nullopt},
        {"abc", std::nullopt},
        {"12345", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(parseTime(QString::fromLatin1(c.typed)), c.kept);
    }
}
