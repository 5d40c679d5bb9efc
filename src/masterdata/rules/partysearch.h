#pragma once

#include "services/core/lookupcolumn.h"
#include "services/core/outcome.h"
#include "services/core/sqlterms.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Orlavo::Masterdata {

// A range of codes typed the wrong way round, in every search.
inline constexpr char kPartyRangeMessage[] = "Codice A deve essere maggiore di codice DA ";

// The filters the customer and the supplier searches share. Empty texts and
// missing numbers do not filter; texts are taken without surrounding blanks.
struct PartySearchFilters {
    std::optional<int> codeFrom;
    std::optional<int> codeTo;
    QString name; // RAG_SOC1 containing it
    QString town; // CITTA_LEG, equal or containing (townPattern)
    bool townPattern = false;
    QString province;  // PROVINCIA_LEG
    QString vatNumber; // PART_IVA
    QString taxCode;   // COD_FISC
    QString activity;  // COD_ATTIVITA
};

struct PartySearch {
    QString sql;       // the list, in code order
    QString condition; // its WHERE conditions alone, for a list of the table
    Services::Params params;
    // The list report's selection picking the same rows. nullopt when no
    // formula can: a condition only the statement can express, and a name
    // or town pattern holding "*" or "?" (wildcards in a formula, plain
    // characters on screen). The window then offers no print.
    std::optional<QString> formula;
};

// A text as a formula constant: in double quotes, a quote inside doubled.
QString formulaText(const QString &text);

// The statement's and a report formula's conditions over one table, built
// side by side so a print holds the rows on screen. Every typed value is
// bound; the formula names the columns {TABLE.COLUMN}.
class SearchConditions
{
public:
    // With `qualified` the statement names the columns TABLE.COLUMN, for a
    // list that joins other tables.
    explicit SearchConditions(const QString &table, bool qualified = false);

    void number(const QString &column, const char *op, int value);
    // A figure compared as a number (prices).
    void decimal(const QString &column, const char *op, double value);
    // Equal without regard to case: the formula compares texts that way.
    void equals(const QString &column, const QString &typed);
    // Anything but the text, case ignored; a row with no value differs too.
    void differs(const QString &column, const QString &typed);
    // A code the record kit keeps in capitals, compared as stored so the
    // column's index serves: "=", ">=", "<=".
    void code(const QString &column, const char *op, const QString &typed);
    // Holding the text anywhere, case ignored, every character literal.
    void contains(const QString &column, const QString &typed);
    // The text at the start of the value or of any word in it, case
    // ignored, every character literal.
    void wordStart(const QString &column, const QString &typed);
    // A flag the program writes, compared as it is (a blank included).
    void flag(const QString &column, const QString &value);
    // A condition no formula can express: the search is then not printable.
    void sqlOnly(const QString &condition);

    const QString &table() const { return m_table; }
    // The conditions joined by AND; empty when nothing filters.
    QString sql() const { return m_sql.join(QStringLiteral(" AND ")); }
    const Services::Params &params() const { return m_params; }
    // The same selection as a formula; nullopt when no formula can say it:
    // a condition only the statement expresses, a pattern holding "*" or
    // "?" (wildcards in a formula, plain characters on screen).
    std::optional<QString> formula() const;

private:
    QString name(const QString &column) const;
    QString field(const QString &column) const;
    // "{T.C} like before + typed + *"; a "*" or "?" typed makes the formula
    // inexact.
    QString formulaLike(const QString &column, const QString &before, const QString &typed);

    QString m_table;
    bool m_qualified = false;
    QStringList m_sql;
    Services::Params m_params;
    QStringList m_formula;
    bool m_formulaExact = true;
};

// The conditions over one table of parties; the reserved code is never
// selected.
class PartyConditions : public SearchConditions
{
public:
    PartyConditions(const QString &table, const QString &key, int reserved);

    PartySearch result() const;

private:
    QString m_key;
};

// The conditions of the shared filters over table; fails with
// kPartyRangeMessage when the codes are reversed.
Services::Outcome<PartyConditions> partyConditions(const QString &table, const QString &key, int reserved,
                                                   const PartySearchFilters &filters);

// The columns of a party list (code, second code, the two name lines,
// street and town of the registered office), in the order of the
// statement's SELECT.
QList<Services::LookupColumn> partyListColumns(const QString &key);

} // namespace Orlavo::Masterdata
