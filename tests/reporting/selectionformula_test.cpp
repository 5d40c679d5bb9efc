#include "reporting/rules/selectionformula.h"

#include <QDate>
#include <QStringList>

#include <gtest/gtest.h>

using namespace Orlavo::Services;
using namespace Orlavo::Reporting;

namespace {

const QString kMessage = QStringLiteral("Selezione dei dati o formule non corretti");

// The columns of an invoice report: provinces (services tables carry their
// schema), invoices and customers; text columns marked with a star.
std::optional<FormulaColumn> invoiceReport(const QString &table, const QString &column)
{
    static const QStringList columns = QStringLiteral("servizi.TAB_PROV.CODICE* servizi.TAB_PROV.DESCRIZIONE* "
                                                      "FATT_CLI.NUMERO FATT_CLI.DATA_DOC FATT_CLI.TOTALE "
                                                      "FATT_CLI.PAGATA FATT_CLI.CLIENTE* ANAG_CLI.CODICE*")
                                           .split(QLatin1Char(' '));
    for (const QString &c : columns) {
        const QString name = c.chopped(c.endsWith(QLatin1Char('*')) ? 1 : 0),
                      wanted = table + QLatin1Char('.') + column;
        if (name == wanted || name == QStringLiteral("servizi.") + wanted)
            return FormulaColumn{name, c.endsWith(QLatin1Char('*'))};
    }
    return std::nullopt;
}

// The bound values as "type:value", so a test sees both.
QString describe(const QVariantList &values)
{
    QStringList out;
    for (const QVariant &v : values)
        out.append(QStringLiteral("%1:%2").arg(QLatin1String(v.typeName()), v.isNull() ? QStringLiteral("NULL")
                                                                            : v.typeId() == QMetaType::QDate
                                                                                ? v.toDate().toString(Qt::ISODate)
                                                                                : v.toString()));
    return out.join(QLatin1Char(' '));
}

// What a translated condition must always be: one value per '?' and no
// value written into the text; or the refusal with its reason.
void expectWellFormed(const Outcome<SqlCondition> &result)
{
    if (!result) {
        EXPECT_EQ(result.failure().message, kMessage);
        EXPECT_FALSE(result.failure().detail.isEmpty());
        return;
    }
    QString bare = result->sql;
    bare.remove(QStringLiteral(" ESCAPE '\\'"));
    EXPECT_FALSE(bare.contains(QLatin1Char('\'')) || bare.contains(QLatin1Char('"'))) << result->sql.toStdString();
    EXPECT_EQ(bare.count(QLatin1Char('?')), result->params.size()) << result->sql.toStdString();
}

// A blank formula selects everything.
const struct Translation {
    const char *formula, *sql, *params;
} kTranslations[] = {
    // clang-format off
    {"", "", ""},
    {"{TAB_PROV.CODICE} = 'MI'", "UPPER(servizi.TAB_PROV.CODICE) = UPPER(?)", "QString:MI"},
    {"{Servizi.Tab_Prov.codice} <> \"rm\"", "UPPER(servizi.TAB_PROV.CODICE) <> UPPER(?)", "QString:rm"},
    {"{a.b.FATT_CLI.NUMERO} = 1", "FATT_CLI.NUMERO = ?", "qlonglong:1"},
    {"{FATT_CLI.NUMERO} >= 007 and {FATT_CLI.TOTALE} < -12.5", "FATT_CLI.NUMERO >= ? AND FATT_CLI.TOTALE < ?",
     "qlonglong:7 double:-12.5"},
    {"{FATT_CLI.DATA_DOC} >= Date(2024,1,1) AND {FATT_CLI.DATA_DOC} <= date( 2024 , 2 , 29 )",
     "FATT_CLI.DATA_DOC >= ? AND FATT_CLI.DATA_DOC <= ?", "QDate:2024-01-01 QDate:2024-02-29"},
    {"{FATT_CLI.PAGATA} = true Or {FATT_CLI.PAGATA} = FALSE", "FATT_CLI.PAGATA = ? OR FATT_CLI.PAGATA = ?",
     "int:-1 int:0"},
    {"{TAB_PROV.DESCRIZIONE} LIKE \"?0%_\\*\"", "UPPER(servizi.TAB_PROV.DESCRIZIONE) LIKE UPPER(?) ESCAPE '\\'",
     "QString:_0\\%\\_\\\\%"},
    // NOT takes the comparison that follows, not the AND.
    {"not {FATT_CLI.NUMERO} = 1 and not not {FATT_CLI.TOTALE} = 2",
     "NOT (FATT_CLI.NUMERO = ?) AND NOT (NOT (FATT_CLI.TOTALE = ?))", "qlonglong:1 qlonglong:2"},
    {"{FATT_CLI.CLIENTE} = {ANAG_CLI.CODICE}", "UPPER(FATT_CLI.CLIENTE) = UPPER(ANAG_CLI.CODICE)", ""},
    {"\t5\n<\r\n{FATT_CLI.NUMERO} ", "? < FATT_CLI.NUMERO", "qlonglong:5"},
    // clang-format on
};

TEST(SelectionFormula, TranslatesToBoundCondition)
{
    for (const Translation &c : kTranslations) {
        SCOPED_TRACE(c.formula);
        const auto result = translateSelection(QString::fromUtf8(c.formula), invoiceReport);
        ASSERT_TRUE(result) << result.failure().detail.toStdString();
        EXPECT_EQ(result->sql, QString::fromUtf8(c.sql));
        EXPECT_EQ(describe(result->params), QString::fromUtf8(c.params));
        expectWellFormed(result);
    }
}

TEST(SelectionFormula, MistakesAreRefusedWithTheReason)
{
    const std::pair<const char *, const char *> cases[] = {
        // clang-format off
        {"{TAB_PROV.CODICE} =", "manca un valore, alla fine della formula"}, {"= 'MI'", "manca un valore prima di '='"},
        {"true", "un valore da solo non è una condizione"}, {"{TAB_PROV.CODICE} not like 'A*'", "manca il confronto"},
        {"IsNull({ALTRA.CODICE})", "campo sconosciuto {ALTRA.CODICE}"}, {"{TAB_PROV} = 'MI'", "{TABELLA.COLONNA}"},
        {"{TAB_PROV.CODICE = 'MI'", "campo senza '}'"},
        {"{TAB_PROV.CODICE} = 'MI", "testo senza virgolette di chiusura, al carattere 21"},
        {"(({FATT_CLI.NUMERO} = 1)", "parentesi aperta e non chiusa, al carattere 1"},
        {"{FATT_CLI.NUMERO} = 1,5", "testo in più"},
        {"{FATT_CLI.NUMERO} = 1e5", "numero non valido '1e5'"}, {"{FATT_CLI.NUMERO} = - 1", "segno '-' senza numero"},
        {"{FATT_CLI.NUMERO} != 1", "carattere non ammesso '!', al carattere 19"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,2,30)", "data non valida 30/2/2024"},
        {"UpperCase({TAB_PROV.CODICE}) = 'MI'", "funzione sconosciuta o fuori posto 'UPPERCASE'"},
        {"'M*' like {TAB_PROV.CODICE}", "like vuole a sinistra un campo di testo"},
        {"{FATT_CLI.DATA_DOC} >= '2024-01-01'", "confronto tra un testo e un valore che non è testo"},
        // clang-format on
    };
    for (const auto &[formula, reason] : cases) {
        const auto result = translateSelection(QString::fromUtf8(formula), invoiceReport);
        ASSERT_FALSE(result) << formula << " -> " << result->sql.toStdString();
        EXPECT_EQ(result.failure().message, kMessage);
        EXPECT_TRUE(result.failure().detail.contains(QString::fromUtf8(reason)))
            << formula << " -> " << result.failure().detail.toStdString();
    }
}

// Deep nesting is refused, not overflowed; every cut of every valid formula
// gives a well-formed condition or a refusal.
TEST(SelectionFormula, NestedAndTruncatedFormulasNeverBreakIt)
{
    const QString comparison = QStringLiteral("{FATT_CLI.NUMERO} = 1");
    const std::pair<QString, bool> nested[] = {
        {QString(50, QLatin1Char('(')) + comparison + QString(50, QLatin1Char(')')), true},
        {QString(10000, QLatin1Char('(')) + comparison + QString(10000, QLatin1Char(')')), false},
        {QStringLiteral("not ").repeated(10000) + comparison, false},
    };
    for (const auto &[formula, accepted] : nested) {
        const auto result = translateSelection(formula, invoiceReport);
        EXPECT_EQ(bool(result), accepted) << formula.left(40).toStdString();
        if (!accepted) {
            EXPECT_TRUE(result.failure().detail.contains(QStringLiteral("troppi livelli")));
        }
        expectWellFormed(result);
    }
    for (const Translation &c : kTranslations) {
        const QString formula = QString::fromUtf8(c.formula);
        for (qsizetype n = 0; n <= formula.size(); ++n) {
            SCOPED_TRACE(formula.left(n).toStdString());
            expectWellFormed(translateSelection(formula.left(n), invoiceReport));
            expectWellFormed(translateSelection(formula.mid(n), invoiceReport));
        }
    }
}

// What a translated condition selects on each engine is the report data's
// test (reportdata_test), on a table of its own.

} // namespace
