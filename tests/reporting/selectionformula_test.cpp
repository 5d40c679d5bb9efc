#include "archives.h"
#include "reporting/rules/selectionformula.h"
#include "services/data/writeunit.h"

#include <QDate>
#include <QHash>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>

using namespace Orlavo;
using namespace Orlavo::Services;
using namespace Orlavo::Reporting;
using Orlavo::Testing::EngineTest;

namespace {

const QString kMessage = QStringLiteral("Selezione dei dati o formule non corretti");

// The columns of an invoice report: provinces (services tables carry their
// schema), invoices and customers.
std::optional<FormulaColumn> invoiceReport(const QString &table, const QString &column)
{
    static const QHash<QString, FormulaColumn> columns = {
        {QStringLiteral("TAB_PROV.CODICE"), {QStringLiteral("servizi.TAB_PROV.CODICE"), true}},
        {QStringLiteral("TAB_PROV.DESCRIZIONE"), {QStringLiteral("servizi.TAB_PROV.DESCRIZIONE"), true}},
        {QStringLiteral("FATT_CLI.NUMERO"), {QStringLiteral("FATT_CLI.NUMERO"), false}},
        {QStringLiteral("FATT_CLI.DATA_DOC"), {QStringLiteral("FATT_CLI.DATA_DOC"), false}},
        {QStringLiteral("FATT_CLI.TOTALE"), {QStringLiteral("FATT_CLI.TOTALE"), false}},
        {QStringLiteral("FATT_CLI.PAGATA"), {QStringLiteral("FATT_CLI.PAGATA"), false}},
        {QStringLiteral("FATT_CLI.CLIENTE"), {QStringLiteral("FATT_CLI.CLIENTE"), true}},
        {QStringLiteral("ANAG_CLI.CODICE"), {QStringLiteral("ANAG_CLI.CODICE"), true}},
    };
    const auto it = columns.constFind(table + QLatin1Char('.') + column);
    if (it == columns.constEnd())
        return std::nullopt;
    return *it;
}

// A bound value as "type:value", so a test sees both.
QString describe(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("%1:NULL").arg(QString::fromLatin1(value.typeName()));
    if (value.typeId() == QMetaType::QDate)
        return QStringLiteral("QDate:") + value.toDate().toString(Qt::ISODate);
    return QStringLiteral("%1:%2").arg(QString::fromLatin1(value.typeName()), value.toString());
}

QStringList describe(const QVariantList &values)
{
    QStringList out;
    for (const QVariant &value : values)
        out.append(describe(value));
    return out;
}

// '?' outside quoted literals, as the data-access layer counts them.
int placeholders(const QString &sql)
{
    int count = 0;
    QChar quote;
    for (const QChar ch : sql) {
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
        } else if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            quote = ch;
        } else if (ch == QLatin1Char('?')) {
            ++count;
        }
    }
    return count;
}

// What a translated condition must always be: one value per '?', no value
// written into the text, parentheses paired.
void expectWellFormed(const Outcome<SqlCondition> &result)
{
    if (!result) {
        EXPECT_EQ(result.failure().message, kMessage);
        EXPECT_FALSE(result.failure().detail.isEmpty());
        return;
    }
    const QString &sql = result->sql;
    EXPECT_EQ(placeholders(sql), result->params.size()) << sql.toStdString();
    QString bare = sql;
    bare.remove(QStringLiteral(" ESCAPE '\\'"));
    for (const QChar ch : bare) {
        const bool allowed = ch.isLetter() || ch == QLatin1Char('_') || ch == QLatin1Char('.') ||
                             ch == QLatin1Char(' ') || ch == QLatin1Char('(') || ch == QLatin1Char(')') ||
                             ch == QLatin1Char('?') || ch == QLatin1Char('<') || ch == QLatin1Char('>') ||
                             ch == QLatin1Char('=');
        EXPECT_TRUE(allowed) << "'" << QString(ch).toStdString() << "' in " << sql.toStdString();
    }
    int open = 0;
    for (const QChar ch : bare) {
        open += ch == QLatin1Char('(') ? 1 : ch == QLatin1Char(')') ? -1 : 0;
        EXPECT_GE(open, 0) << sql.toStdString();
    }
    EXPECT_EQ(open, 0) << sql.toStdString();
}

struct Translation {
    const char *formula;
    const char *sql;
    QStringList params;
};

const QList<Translation> kTranslations = {
    {"{TAB_PROV.CODICE} = 'MI'", "UPPER(servizi.TAB_PROV.CODICE) = UPPER(?)", {"QString:MI"}},
    {"{servizi.TAB_PROV.CODICE} <> \"rm\"", "UPPER(servizi.TAB_PROV.CODICE) <> UPPER(?)", {"QString:rm"}},
    {"{ tab_prov.codice } > 'm'", "UPPER(servizi.TAB_PROV.CODICE) > UPPER(?)", {"QString:m"}},
    {"{FATT_CLI.NUMERO} >= 100 and {FATT_CLI.NUMERO} < 200",
     "FATT_CLI.NUMERO >= ? AND FATT_CLI.NUMERO < ?",
     {"qlonglong:100", "qlonglong:200"}},
    {"{FATT_CLI.TOTALE} > -12.5", "FATT_CLI.TOTALE > ?", {"double:-12.5"}},
    {"{FATT_CLI.TOTALE} <= +3", "FATT_CLI.TOTALE <= ?", {"qlonglong:3"}},
    {"{FATT_CLI.NUMERO} = 007", "FATT_CLI.NUMERO = ?", {"qlonglong:7"}},
    {"{FATT_CLI.TOTALE}<>0.10", "FATT_CLI.TOTALE <> ?", {"double:0.1"}},
    {"{FATT_CLI.DATA_DOC} >= Date(2024,1,1) AND {FATT_CLI.DATA_DOC} <= date( 2024 , 12 , 31 )",
     "FATT_CLI.DATA_DOC >= ? AND FATT_CLI.DATA_DOC <= ?",
     {"QDate:2024-01-01", "QDate:2024-12-31"}},
    {"{FATT_CLI.DATA_DOC} = DATE(2024,2,29)", "FATT_CLI.DATA_DOC = ?", {"QDate:2024-02-29"}},
    {"{FATT_CLI.PAGATA} = true Or {FATT_CLI.PAGATA} = FALSE",
     "FATT_CLI.PAGATA = ? OR FATT_CLI.PAGATA = ?",
     {"int:-1", "int:0"}},
    {"{TAB_PROV.DESCRIZIONE} like 'L''AQ*'",
     "UPPER(servizi.TAB_PROV.DESCRIZIONE) LIKE UPPER(?) ESCAPE '\\'",
     {"QString:L'AQ%"}},
    {"{TAB_PROV.DESCRIZIONE} LIKE \"?0%_\\*\"",
     "UPPER(servizi.TAB_PROV.DESCRIZIONE) LIKE UPPER(?) ESCAPE '\\'",
     {"QString:_0\\%\\_\\\\%"}},
    {"{TAB_PROV.DESCRIZIONE} Like \"*\"",
     "UPPER(servizi.TAB_PROV.DESCRIZIONE) LIKE UPPER(?) ESCAPE '\\'",
     {"QString:%"}},
    {"\"3\"\" INOX\" = {FATT_CLI.CLIENTE}", "UPPER(?) = UPPER(FATT_CLI.CLIENTE)", {"QString:3\" INOX"}},
    {"{TAB_PROV.CODICE} = 'a\"b'", "UPPER(servizi.TAB_PROV.CODICE) = UPPER(?)", {"QString:a\"b"}},
    {"{TAB_PROV.CODICE} = ''", "UPPER(servizi.TAB_PROV.CODICE) = UPPER(?)", {"QString:"}},
    {"IsNull({TAB_PROV.DESCRIZIONE})", "servizi.TAB_PROV.DESCRIZIONE IS NULL", {}},
    {"not isnull({FATT_CLI.DATA_DOC})", "NOT (FATT_CLI.DATA_DOC IS NULL)", {}},
    {"NOT ({FATT_CLI.NUMERO} = 1 Or {FATT_CLI.NUMERO} = 2)",
     "NOT (FATT_CLI.NUMERO = ? OR FATT_CLI.NUMERO = ?)",
     {"qlonglong:1", "qlonglong:2"}},
    // NOT takes the comparison that follows, not the AND.
    {"not {FATT_CLI.NUMERO} = 1 and {FATT_CLI.TOTALE} = 2",
     "NOT (FATT_CLI.NUMERO = ?) AND FATT_CLI.TOTALE = ?",
     {"qlonglong:1", "qlonglong:2"}},
    {"not not {FATT_CLI.NUMERO} = 1", "NOT (NOT (FATT_CLI.NUMERO = ?))", {"qlonglong:1"}},
    {"({FATT_CLI.NUMERO} = 1 or {FATT_CLI.NUMERO} = 2) and ({TAB_PROV.CODICE} = 'MI')",
     "(FATT_CLI.NUMERO = ? OR FATT_CLI.NUMERO = ?) AND (UPPER(servizi.TAB_PROV.CODICE) = UPPER(?))",
     {"qlonglong:1", "qlonglong:2", "QString:MI"}},
    {"{FATT_CLI.NUMERO} = 1 or ({FATT_CLI.NUMERO} = 2 and {FATT_CLI.PAGATA} = true) or {FATT_CLI.NUMERO} = 3",
     "FATT_CLI.NUMERO = ? OR (FATT_CLI.NUMERO = ? AND FATT_CLI.PAGATA = ?) OR FATT_CLI.NUMERO = ?",
     {"qlonglong:1", "qlonglong:2", "int:-1", "qlonglong:3"}},
    {"((({FATT_CLI.NUMERO} = 1)))", "(((FATT_CLI.NUMERO = ?)))", {"qlonglong:1"}},
    {"{FATT_CLI.CLIENTE} = {ANAG_CLI.CODICE}", "UPPER(FATT_CLI.CLIENTE) = UPPER(ANAG_CLI.CODICE)", {}},
    {"{FATT_CLI.NUMERO}<{FATT_CLI.TOTALE}", "FATT_CLI.NUMERO < FATT_CLI.TOTALE", {}},
    {"\t{FATT_CLI.NUMERO}\n=\r\n7 ", "FATT_CLI.NUMERO = ?", {"qlonglong:7"}},
    {"5 < {FATT_CLI.NUMERO}", "? < FATT_CLI.NUMERO", {"qlonglong:5"}},
};

} // namespace

TEST(SelectionFormula, TranslatesToBoundCondition)
{
    for (const Translation &c : kTranslations) {
        SCOPED_TRACE(c.formula);
        const auto result = translateSelection(QString::fromUtf8(c.formula), invoiceReport);
        ASSERT_TRUE(result) << result.failure().detail.toStdString();
        EXPECT_EQ(result->sql, QString::fromUtf8(c.sql));
        EXPECT_EQ(describe(result->params), c.params);
        expectWellFormed(result);
    }
}

TEST(SelectionFormula, BlankFormulaSelectsEverything)
{
    int asked = 0;
    const ColumnResolver counting = [&](const QString &table, const QString &column) {
        ++asked;
        return invoiceReport(table, column);
    };
    for (const char *formula : {"", " ", "\t\n  \r\n"}) {
        SCOPED_TRACE(formula);
        const auto result = translateSelection(QString::fromUtf8(formula), counting);
        ASSERT_TRUE(result);
        EXPECT_TRUE(result->sql.isEmpty());
        EXPECT_TRUE(result->params.isEmpty());
    }
    EXPECT_EQ(asked, 0);
}

TEST(SelectionFormula, EmptyTextIsBoundAsTextNotNull)
{
    const auto result = translateSelection(QStringLiteral("{TAB_PROV.CODICE} = \"\""), invoiceReport);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->params.size(), 1);
    EXPECT_FALSE(result->params.first().isNull());
    EXPECT_EQ(result->params.first().typeId(), QMetaType::QString);
}

TEST(SelectionFormula, ResolverGetsTableAndColumnWithoutSchema)
{
    const QList<std::pair<const char *, QStringList>> cases = {
        {"{TAB_PROV.CODICE} = 'x'", {"TAB_PROV/CODICE"}},
        {"{servizi.TAB_PROV.CODICE} = 'x'", {"TAB_PROV/CODICE"}},
        {"{Servizi.Tab_Prov.codice} = 'x'", {"TAB_PROV/CODICE"}},
        {"{a.b.FATT_CLI.NUMERO} = 1", {"FATT_CLI/NUMERO"}},
        {"{FATT_CLI.CLIENTE} = {ANAG_CLI.CODICE} or isnull({fatt_cli.data_doc})",
         {"FATT_CLI/CLIENTE", "ANAG_CLI/CODICE", "FATT_CLI/DATA_DOC"}},
        {"{ALTRA.CODICE} = 1", {"ALTRA/CODICE"}},
    };
    for (const auto &[formula, expected] : cases) {
        SCOPED_TRACE(formula);
        QStringList asked;
        const ColumnResolver recording = [&](const QString &table, const QString &column) {
            asked.append(table + QLatin1Char('/') + column);
            return invoiceReport(table, column);
        };
        (void)translateSelection(QString::fromUtf8(formula), recording);
        EXPECT_EQ(asked, expected);
    }
}

TEST(SelectionFormula, MistakesAreRefusedWithTheReason)
{
    const QList<std::pair<const char *, const char *>> cases = {
        {"{TAB_PROV.CODICE} =", "manca un valore, alla fine della formula"},
        {"{TAB_PROV.CODICE} = ", "manca un valore"},
        {"= 'MI'", "manca un valore prima di '='"},
        {"{TAB_PROV.CODICE}", "un campo da solo non è una condizione"},
        {"'MI'", "un valore da solo non è una condizione"},
        {"true", "un valore da solo"},
        {"({FATT_CLI.NUMERO})", "un campo da solo"},
        {"{TAB_PROV.CODICE} not like 'A*'", "manca il confronto"},
        {"1 = 1", "confronto tra due valori"},
        {"'A' = 'a'", "confronto tra due valori"},
        {"Date(2024,1,1) < Date(2025,1,1)", "confronto tra due valori"},
        {"{TAB_PROV.NONESISTE} = 'x'", "campo sconosciuto {TAB_PROV.NONESISTE}"},
        {"{ALTRA.CODICE} = 'x'", "campo sconosciuto {ALTRA.CODICE}"},
        {"IsNull({ALTRA.CODICE})", "campo sconosciuto {ALTRA.CODICE}"},
        {"{TAB_PROV} = 'MI'", "{TABELLA.COLONNA}"},
        {"{TAB_PROV.} = 'MI'", "{TABELLA.COLONNA}"},
        {"{.CODICE} = 'MI'", "{TABELLA.COLONNA}"},
        {"{servizi..CODICE} = 'MI'", "{TABELLA.COLONNA}"},
        {"{TAB PROV.CODICE} = 'MI'", "{TABELLA.COLONNA}"},
        {"{} = 'MI'", "{TABELLA.COLONNA}"},
        {"{TAB_PROV.CODICE = 'MI'", "campo senza '}'"},
        {"{TAB_PROV.CODICE} = 'MI", "testo senza virgolette di chiusura, al carattere 21"},
        {"{TAB_PROV.CODICE} = \"MI''", "testo senza virgolette di chiusura"},
        {"{TAB_PROV.CODICE} = 'L''", "testo senza virgolette di chiusura"},
        {"({FATT_CLI.NUMERO} = 1", "parentesi aperta e non chiusa, al carattere 1"},
        {"(({FATT_CLI.NUMERO} = 1)", "parentesi aperta e non chiusa"},
        {"{FATT_CLI.NUMERO} = 1)", "parentesi chiusa senza apertura"},
        {"({FATT_CLI.NUMERO} = 1))", "parentesi chiusa senza apertura"},
        {"({FATT_CLI.NUMERO} = 1 {FATT_CLI.NUMERO} = 2)", "atteso ')'"},
        {"()", "manca un valore"},
        {"{FATT_CLI.NUMERO} = 1 {FATT_CLI.NUMERO}", "testo in più"},
        {"{FATT_CLI.NUMERO} = 1,5", "testo in più"},
        {"{FATT_CLI.NUMERO} = 1 and", "manca un valore, alla fine della formula"},
        {"{FATT_CLI.NUMERO} = 1 or or {FATT_CLI.NUMERO} = 2", "manca un valore prima di 'or'"},
        {"and {FATT_CLI.NUMERO} = 1", "manca un valore prima di 'and'"},
        {"not", "manca un valore"},
        {"{FATT_CLI.NUMERO} = 1.", "numero non valido"},
        {"{FATT_CLI.NUMERO} = .5", "carattere non ammesso '.'"},
        {"{FATT_CLI.NUMERO} = 1.2.3", "numero non valido '1.2.3'"},
        {"{FATT_CLI.NUMERO} = 12abc", "numero non valido '12abc'"},
        {"{FATT_CLI.NUMERO} = 1e5", "numero non valido '1e5'"},
        {"{FATT_CLI.NUMERO} = -", "segno '-' senza numero"},
        {"{FATT_CLI.NUMERO} = - 1", "segno '-' senza numero"},
        {"{FATT_CLI.NUMERO} = 99999999999999999999", "numero fuori dai limiti"},
        {"{FATT_CLI.NUMERO} == 1", "manca un valore prima di '='"},
        {"{FATT_CLI.NUMERO} => 1", "manca un valore prima di '>'"},
        {"{FATT_CLI.NUMERO} != 1", "carattere non ammesso '!', al carattere 19"},
        {"{FATT_CLI.NUMERO} = 1 & {FATT_CLI.NUMERO} = 2", "carattere non ammesso '&'"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,2,30)", "data non valida 30/2/2024"},
        {"{FATT_CLI.DATA_DOC} = Date(2023,2,29)", "data non valida"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,13,1)", "data non valida"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,0,1)", "data non valida"},
        {"{FATT_CLI.DATA_DOC} = Date(0,1,1)", "data non valida"},
        {"{FATT_CLI.DATA_DOC} = Date(10000,1,1)", "data non valida"},
        {"{FATT_CLI.DATA_DOC} = Date(-2024,1,1)", "data non valida"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,1,99999999999)", "data non valida"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,1)", "tre numeri (anno, mese, giorno), non 2"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,1,1,1)", "tre numeri (anno, mese, giorno), non 4"},
        {"{FATT_CLI.DATA_DOC} = Date()", "tre numeri (anno, mese, giorno), non 0"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,1,1.5)", "Date vuole numeri interi"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,,1)", "Date vuole numeri interi"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,'1',1)", "Date vuole numeri interi"},
        {"{FATT_CLI.DATA_DOC} = Date 2024,1,1", "Date vuole anno, mese e giorno tra parentesi"},
        {"{FATT_CLI.DATA_DOC} = Date", "Date vuole anno, mese e giorno tra parentesi"},
        {"{FATT_CLI.DATA_DOC} = Date(2024,1,1", "Date: parentesi aperta e non chiusa"},
        {"{FATT_CLI.DATA_DOC} = Date(2024 1 1)", "Date: atteso ',' oppure ')'"},
        {"{FATT_CLI.DATA_DOC} = Date(2024;1;1)", "carattere non ammesso ';'"},
        {"{FATT_CLI.DATA_DOC} = CurrentDate", "parola sconosciuta 'CURRENTDATE'"},
        {"{FATT_CLI.DATA_DOC} = Today()", "funzione sconosciuta o fuori posto 'TODAY'"},
        {"UpperCase({TAB_PROV.CODICE}) = 'MI'", "funzione sconosciuta o fuori posto 'UPPERCASE'"},
        {"{TAB_PROV.CODICE} = MI", "parola sconosciuta 'MI'"},
        {"IsNull('A')", "IsNull vuole un solo campo"},
        {"IsNull()", "IsNull vuole un solo campo"},
        {"IsNull {TAB_PROV.CODICE}", "IsNull vuole un solo campo"},
        {"IsNull({TAB_PROV.CODICE}, {TAB_PROV.DESCRIZIONE})", "IsNull vuole un solo campo"},
        {"IsNull({TAB_PROV.CODICE}", "IsNull vuole un solo campo"},
        {"IsNull({TAB_PROV.CODICE}) = true", "testo in più"},
        {"{TAB_PROV.CODICE} = IsNull({TAB_PROV.CODICE})", "funzione sconosciuta o fuori posto 'ISNULL'"},
        {"{FATT_CLI.NUMERO} like '1*'", "like vuole a sinistra un campo di testo"},
        {"'M*' like {TAB_PROV.CODICE}", "like vuole a sinistra un campo di testo"},
        {"{TAB_PROV.CODICE} like {TAB_PROV.DESCRIZIONE}", "like vuole a destra un testo tra virgolette"},
        {"{TAB_PROV.CODICE} like 5", "like vuole a destra un testo tra virgolette"},
        {"{TAB_PROV.CODICE} like", "manca un valore"},
        {"{FATT_CLI.NUMERO} = 'MI'", "confronto tra un testo e un valore che non è testo"},
        {"{TAB_PROV.CODICE} = 5", "confronto tra un testo e un valore che non è testo"},
        {"{TAB_PROV.CODICE} = {FATT_CLI.NUMERO}", "confronto tra un testo e un valore che non è testo"},
        {"{TAB_PROV.CODICE} = true", "confronto tra un testo e un valore che non è testo"},
        {"{FATT_CLI.DATA_DOC} >= '2024-01-01'", "confronto tra un testo e un valore che non è testo"},
        {"{FATT_CLI.NUMERO} = (1)", "un valore non va tra parentesi"},
        {"{FATT_CLI.NUMERO} = ١", "carattere non ammesso"},
    };
    for (const auto &[formula, reason] : cases) {
        SCOPED_TRACE(formula);
        const auto result = translateSelection(QString::fromUtf8(formula), invoiceReport);
        ASSERT_FALSE(result) << result->sql.toStdString();
        EXPECT_EQ(result.failure().message, kMessage);
        EXPECT_TRUE(result.failure().detail.contains(QString::fromUtf8(reason)))
            << result.failure().detail.toStdString();
    }
}

TEST(SelectionFormula, NestingBeyondTheLimitIsRefusedNotOverflowed)
{
    const QString comparison = QStringLiteral("{FATT_CLI.NUMERO} = 1");
    const QList<std::pair<QString, bool>> cases = {
        {QString(50, QLatin1Char('(')) + comparison + QString(50, QLatin1Char(')')), true},
        {QStringLiteral("not ").repeated(50) + comparison, true},
        {QString(10000, QLatin1Char('(')) + comparison + QString(10000, QLatin1Char(')')), false},
        {QStringLiteral("not ").repeated(10000) + comparison, false},
        {QStringLiteral("not (").repeated(10000) + comparison, false},
    };
    for (const auto &[formula, accepted] : cases) {
        SCOPED_TRACE(formula.left(40).toStdString());
        const auto result = translateSelection(formula, invoiceReport);
        EXPECT_EQ(bool(result), accepted);
        if (!accepted) {
            EXPECT_TRUE(result.failure().detail.contains(QStringLiteral("troppi livelli")))
                << result.failure().detail.toStdString();
        }
        expectWellFormed(result);
    }
}

TEST(SelectionFormula, NoResolverMeansNoColumns)
{
    const auto result = translateSelection(QStringLiteral("{TAB_PROV.CODICE} = 'MI'"), ColumnResolver());
    ASSERT_FALSE(result);
    EXPECT_TRUE(result.failure().detail.contains(QStringLiteral("campo sconosciuto")));
}

TEST(SelectionFormula, TruncatedAndRandomFormulasNeverBreakIt)
{
    // Every cut of every valid formula.
    for (const Translation &c : kTranslations) {
        const QString formula = QString::fromUtf8(c.formula);
        for (qsizetype n = 0; n <= formula.size(); ++n) {
            SCOPED_TRACE(formula.left(n).toStdString());
            expectWellFormed(translateSelection(formula.left(n), invoiceReport));
            expectWellFormed(translateSelection(formula.mid(n), invoiceReport));
        }
    }
    // Random strings of the formula's own pieces, and of raw characters.
    const QStringList pieces = {
        QStringLiteral("{TAB_PROV.CODICE}"),
        QStringLiteral("{FATT_CLI.NUMERO}"),
        QStringLiteral("{FATT_CLI.DATA_DOC}"),
        QStringLiteral("{servizi.TAB_PROV.DESCRIZIONE}"),
        QStringLiteral("{X.Y}"),
        QStringLiteral("{"),
        QStringLiteral("}"),
        QStringLiteral("'"),
        QStringLiteral("\""),
        QStringLiteral("'a''b'"),
        QStringLiteral("\"3\"\"\""),
        QStringLiteral("("),
        QStringLiteral(")"),
        QStringLiteral(" and "),
        QStringLiteral(" OR "),
        QStringLiteral(" not "),
        QStringLiteral(" like "),
        QStringLiteral("="),
        QStringLiteral("<"),
        QStringLiteral(">"),
        QStringLiteral("<>"),
        QStringLiteral(">="),
        QStringLiteral("Date("),
        QStringLiteral(","),
        QStringLiteral("2024"),
        QStringLiteral("-1.5"),
        QStringLiteral("IsNull("),
        QStringLiteral("true"),
        QStringLiteral("*"),
        QStringLiteral("?"),
        QStringLiteral("%"),
        QStringLiteral("\\"),
        QStringLiteral("è"),
        QStringLiteral(" "),
        QStringLiteral("-"),
        QStringLiteral("."),
        QStringLiteral("x"),
    };
    const QString characters = QStringLiteral("{}()'\"=<>!.,*?%_\\-+ 0123456789abcdefgorTNDLIKEè\t\n");
    QRandomGenerator random(20240531);
    for (int round = 0; round < 20000; ++round) {
        QString formula;
        const int length = random.bounded(1, 16);
        for (int i = 0; i < length; ++i) {
            if (round % 2 == 0)
                formula += pieces.at(random.bounded(int(pieces.size())));
            else
                formula += characters.at(random.bounded(int(characters.size())));
        }
        SCOPED_TRACE(formula.toStdString());
        expectWellFormed(translateSelection(formula, invoiceReport));
    }
}

// ---- the translated condition against the databases

namespace {

struct Row {
    int id;
    QVariant name, city, date, amount, quantity, paid;
};

QVariant noText()
{
    return sqlText(QString());
}
QVariant noDate()
{
    return QVariant(QMetaType::fromType<QDate>());
}
QVariant noNumber()
{
    return QVariant(QMetaType::fromType<double>());
}
QVariant noInteger()
{
    return QVariant(QMetaType::fromType<int>());
}

const QList<Row> kRows = {
    {1, QStringLiteral("Rossi Mario"), QStringLiteral("Roma"), QDate(2024, 1, 15), 120.5, 3, -1},
    {2, QStringLiteral("ROSSINI"), QStringLiteral("roma"), QDate(2024, 3, 31), 12.5, 10, 0},
    {3, QStringLiteral("bianchi"), QStringLiteral("L'Aquila"), QDate(2024, 4, 1), -12.5, noInteger(), -1},
    {4, QStringLiteral("Vite 3\" inox"), QStringLiteral("MILANO"), noDate(), 0.0, 7, 0},
    {5, noText(), QStringLiteral("Milano"), QDate(2023, 12, 31), noNumber(), 1, noInteger()},
    {6, QStringLiteral("Ross_i%"), noText(), QDate(2024, 2, 29), 99.99, 0, -1},
    {7, QStringLiteral("verdi"), QStringLiteral("l'aquila"), QDate(2024, 3, 1), 1000.0, 25, 0},
    {8, QStringLiteral("O'Brien"), QStringLiteral("Bari"), QDate(2025, 1, 1), 5.0, 2, -1},
    {9, QStringLiteral("Rossoi Carlo"), QStringLiteral("Bari"), QDate(2024, 6, 30), 50.0, 4, 0},
};

std::optional<FormulaColumn> trialTable(const QString &table, const QString &column)
{
    if (table != QLatin1String("PROVA_SEL"))
        return std::nullopt;
    static const QHash<QString, bool> columns = {
        {QStringLiteral("ID"), false},       {QStringLiteral("NOME"), true},     {QStringLiteral("CITTA"), true},
        {QStringLiteral("DATA_DOC"), false}, {QStringLiteral("IMPORTO"), false}, {QStringLiteral("QTA"), false},
        {QStringLiteral("PAGATO"), false},
    };
    const auto it = columns.constFind(column);
    if (it == columns.constEnd())
        return std::nullopt;
    return FormulaColumn{QStringLiteral("PROVA_SEL.") + column, *it};
}

// Formula and the condition a developer would write by hand for it.
const QList<std::pair<const char *, const char *>> kSelections = {
    {"{PROVA_SEL.CITTA} = 'ROMA'", "UPPER(CITTA) = 'ROMA'"},
    {"{prova_sel.citta} = \"l'aquila\"", "UPPER(CITTA) = 'L''AQUILA'"},
    {"{PROVA_SEL.CITTA} = 'L''AQUILA'", "UPPER(CITTA) = 'L''AQUILA'"},
    {"{PROVA_SEL.NOME} = \"vite 3\"\" INOX\"", "NOME = 'Vite 3\" inox'"},
    {"{PROVA_SEL.NOME} <> 'rossini'", "UPPER(NOME) <> 'ROSSINI'"},
    {"{PROVA_SEL.NOME} > 'r'", "UPPER(NOME) > 'R'"},
    {"{PROVA_SEL.NOME} like 'ross*'", "UPPER(NOME) LIKE 'ROSS%'"},
    {"{PROVA_SEL.NOME} LIKE '?ianchi'", "UPPER(NOME) LIKE '_IANCHI'"},
    {"{PROVA_SEL.NOME} like 'ROSS_I%'", "UPPER(NOME) = 'ROSS_I%'"},
    {"{PROVA_SEL.NOME} like '*3\" *'", "UPPER(NOME) LIKE '%3\" %'"},
    {"{PROVA_SEL.NOME} like \"o'*\"", "UPPER(NOME) LIKE 'O''%'"},
    {"{PROVA_SEL.DATA_DOC} >= Date(2024,2,29) and {PROVA_SEL.DATA_DOC} <= Date(2024,3,31)",
     "DATA_DOC >= '2024-02-29' AND DATA_DOC <= '2024-03-31'"},
    {"{PROVA_SEL.DATA_DOC} < Date(2024,1,1) OR {PROVA_SEL.DATA_DOC} > date(2024,12,31)",
     "DATA_DOC < '2024-01-01' OR DATA_DOC > '2024-12-31'"},
    {"IsNull({PROVA_SEL.DATA_DOC})", "DATA_DOC IS NULL"},
    {"isnull({PROVA_SEL.NOME}) or isnull({PROVA_SEL.CITTA})", "NOME IS NULL OR CITTA IS NULL"},
    {"not IsNull({PROVA_SEL.CITTA}) and {PROVA_SEL.NOME} like 'ross*'",
     "CITTA IS NOT NULL AND UPPER(NOME) LIKE 'ROSS%'"},
    {"({PROVA_SEL.CITTA} = 'roma' or {PROVA_SEL.CITTA} = 'milano') and not ({PROVA_SEL.PAGATO} = true or "
     "{PROVA_SEL.QTA} > 8)",
     "(UPPER(CITTA) = 'ROMA' OR UPPER(CITTA) = 'MILANO') AND NOT (PAGATO = -1 OR QTA > 8)"},
    {"{PROVA_SEL.PAGATO} = true and {PROVA_SEL.IMPORTO} > 100 or {PROVA_SEL.QTA} >= 10",
     "(PAGATO = -1 AND IMPORTO > 100) OR QTA >= 10"},
    {"not {PROVA_SEL.PAGATO} = true or {PROVA_SEL.QTA} < 1", "(NOT PAGATO = -1) OR QTA < 1"},
    {"{PROVA_SEL.IMPORTO} > -12.5 and {PROVA_SEL.IMPORTO} <= 12.5", "IMPORTO > -12.5 AND IMPORTO <= 12.5"},
    {"{PROVA_SEL.IMPORTO} = 99.99", "IMPORTO = 99.99"},
    {"{PROVA_SEL.PAGATO} = FALSE", "PAGATO = 0"},
    {"{PROVA_SEL.QTA} > {PROVA_SEL.IMPORTO}", "QTA > IMPORTO"},
    {"{PROVA_SEL.CITTA} = 'bari' AND ({PROVA_SEL.QTA} = 4 OR {PROVA_SEL.IMPORTO} = 12.5)",
     "UPPER(CITTA) = 'BARI' AND (QTA = 4 OR IMPORTO = 12.5)"},
};

} // namespace

class SelectionFormulaEngine : public EngineTest
{
protected:
    void fill()
    {
        // DDL is not a statement the server prepares: run it directly.
        QSqlQuery create(db->connection());
        ASSERT_TRUE(create.exec(QStringLiteral("CREATE TABLE PROVA_SEL (ID INTEGER PRIMARY KEY, NOME VARCHAR(40), "
                                               "CITTA VARCHAR(40), DATA_DOC DATE, IMPORTO DOUBLE PRECISION, "
                                               "QTA INTEGER, PAGATO SMALLINT)")))
            << create.lastError().text().toStdString();
        WriteUnit unit(*db, QStringLiteral("Prova selezione"));
        for (const Row &row : kRows)
            ASSERT_TRUE(
                unit.execCompany(QStringLiteral("Ins."),
                                 QStringLiteral("INSERT INTO PROVA_SEL (ID, NOME, CITTA, DATA_DOC, IMPORTO, QTA, "
                                                "PAGATO) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                                 {row.id, row.name, row.city, row.date, row.amount, row.quantity, row.paid}));
        ASSERT_TRUE(unit.commit());
    }

    QList<int> ids(const QString &condition, const Params &params = {})
    {
        QList<int> found;
        auto rows =
            db->openRecordset(QStringLiteral("SELECT ID FROM PROVA_SEL WHERE %1 ORDER BY ID").arg(condition), params);
        EXPECT_TRUE(rows) << condition.toStdString();
        if (rows)
            for (const auto &row : *rows)
                found.append(row.integer(QStringLiteral("ID")));
        return found;
    }
};

TEST_P(SelectionFormulaEngine, SelectsTheRowsOfTheHandWrittenCondition)
{
    fill();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(ids(QStringLiteral("1 = 1")).size(), kRows.size());
    for (const auto &[formula, byHand] : kSelections) {
        SCOPED_TRACE(formula);
        const QList<int> expected = ids(QString::fromUtf8(byHand));
        // Each case tells rows apart: some in, some out.
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_LT(expected.size(), kRows.size());
        const auto condition = translateSelection(QString::fromUtf8(formula), trialTable);
        ASSERT_TRUE(condition) << condition.failure().detail.toStdString();
        EXPECT_EQ(ids(condition->sql, condition->params), expected) << condition->sql.toStdString();
    }
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

ORLAVO_FOR_EACH_ENGINE(SelectionFormulaEngine);
