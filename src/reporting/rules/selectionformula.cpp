#include "reporting/rules/selectionformula.h"

#include <QDate>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace Orlavo::Reporting {

using Services::Failure;
using Services::Outcome;

namespace {

const char kMessage[] = "Selezione dei dati o formule non corretti";

// Parentheses and NOTs nest no deeper than this: the parser recurses.
constexpr int kMaxDepth = 200;

// Flags are stored as -1 (true) and 0 (false).
constexpr int kTrue = -1;
constexpr int kFalse = 0;

enum class Tok { End, Field, Number, Text, Word, LParen, RParen, Comma, Op };

struct Token {
    Tok kind = Tok::End;
    qsizetype pos = 0;
    QString text;   // word upper-cased, operator, text value, field's column
    QString table;  // field's table
    QVariant value; // number
};

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isName(const QString &part)
{
    return !part.isEmpty() && std::all_of(part.begin(), part.end(), isNameChar);
}

// A value or a column as one side of a comparison.
struct Operand {
    enum class Kind { Field, Text, Number, Date, Flag } kind = Kind::Number;
    QString sql; // the column's name, or "?"
    QVariant value;
    bool isText = false;
};

// A translated piece of condition; grouped when it is a parenthesis.
struct Piece {
    QString sql;
    QVariantList params;
    bool grouped = false;
};

// The LIKE pattern: * and ? become % and _, and a literal %, _ or \ is
// escaped with \.
QString likePattern(const QString &text)
{
    QString pattern;
    pattern.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('*')) {
            pattern += QLatin1Char('%');
        } else if (c == QLatin1Char('?')) {
            pattern += QLatin1Char('_');
        } else {
            if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
                pattern += QLatin1Char('\\');
            pattern += c;
        }
    }
    return pattern;
}

class Translator
{
public:
    Translator(const QString &formula, const ColumnResolver &resolve) : m_formula(formula), m_resolve(resolve) {}

    Outcome<SqlCondition> run()
    {
        Piece whole;
        if (!tokenize() || !parseOr(whole))
            return *m_failure;
        if (current().kind != Tok::End) {
            if (current().kind == Tok::RParen)
                failAt(current(), QStringLiteral("parentesi chiusa senza apertura"));
            else
                failAt(current(), QStringLiteral("testo in più dopo la condizione"));
            return *m_failure;
        }
        return SqlCondition{whole.sql, whole.params};
    }

private:
    // ---- tokens

    bool tokenize()
    {
        const qsizetype n = m_formula.size();
        qsizetype i = 0;
        while (i < n) {
            const QChar c = m_formula.at(i);
            if (c.isSpace()) {
                ++i;
                continue;
            }
            Token token;
            token.pos = i;
            if (c == QLatin1Char('{')) {
                if (!readField(token, i))
                    return false;
            } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                if (!readText(token, i))
                    return false;
            } else if (isAsciiDigit(c) || c == QLatin1Char('-') || c == QLatin1Char('+')) {
                if (!readNumber(token, i))
                    return false;
            } else if (c.isLetter() || c == QLatin1Char('_')) {
                qsizetype j = i;
                while (j < n && isNameChar(m_formula.at(j)))
                    ++j;
                token.kind = Tok::Word;
                token.text = m_formula.mid(i, j - i).toUpper();
                i = j;
            } else if (c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char(',')) {
                token.kind = c == QLatin1Char('(') ? Tok::LParen : c == QLatin1Char(')') ? Tok::RParen : Tok::Comma;
                ++i;
            } else if (c == QLatin1Char('=') || c == QLatin1Char('<') || c == QLatin1Char('>')) {
                token.kind = Tok::Op;
                token.text = c;
                ++i;
                const QChar next = i < n ? m_formula.at(i) : QChar();
                if ((c == QLatin1Char('<') && (next == QLatin1Char('>') || next == QLatin1Char('='))) ||
                    (c == QLatin1Char('>') && next == QLatin1Char('='))) {
                    token.text += next;
                    ++i;
                }
            } else {
                return fail(i, QStringLiteral("carattere non ammesso '%1'").arg(c));
            }
            m_tokens.append(token);
        }
        Token end;
        end.pos = n;
        m_tokens.append(end);
        return true;
    }

    // {TABLE.COLUMN}, the table possibly behind a schema prefix.
    bool readField(Token &token, qsizetype &i)
    {
        const qsizetype close = m_formula.indexOf(QLatin1Char('}'), i + 1);
        if (close < 0)
            return fail(i, QStringLiteral("campo senza '}' di chiusura"));
        const QString inside = m_formula.mid(i + 1, close - i - 1).trimmed();
        const QStringList parts = inside.split(QLatin1Char('.'));
        if (parts.size() < 2 || !std::all_of(parts.begin(), parts.end(), isName))
            return fail(i, QStringLiteral("campo {%1} non scritto come {TABELLA.COLONNA}").arg(inside));
        token.kind = Tok::Field;
        token.table = parts.at(parts.size() - 2).toUpper();
        token.text = parts.last().toUpper();
        i = close + 1;
        return true;
    }

    // 'text' or "text"; the quote doubled inside stands for itself.
    bool readText(Token &token, qsizetype &i)
    {
        const QChar quote = m_formula.at(i);
        QString value = QStringLiteral("");
        qsizetype j = i + 1;
        for (;;) {
            if (j >= m_formula.size())
                return fail(i, QStringLiteral("testo senza virgolette di chiusura"));
            const QChar c = m_formula.at(j);
            if (c == quote) {
                if (j + 1 < m_formula.size() && m_formula.at(j + 1) == quote) {
                    value += quote;
                    j += 2;
                    continue;
                }
                break;
            }
            value += c;
            ++j;
        }
        token.kind = Tok::Text;
        token.text = value;
        i = j + 1;
        return true;
    }

    // [sign] digits [. digits], the point as decimal separator.
    bool readNumber(Token &token, qsizetype &i)
    {
        const qsizetype n = m_formula.size();
        qsizetype j = i;
        if (!isAsciiDigit(m_formula.at(j))) {
            ++j;
            if (j >= n || !isAsciiDigit(m_formula.at(j)))
                return fail(i, QStringLiteral("segno '%1' senza numero").arg(m_formula.at(i)));
        }
        while (j < n && isAsciiDigit(m_formula.at(j)))
            ++j;
        bool decimal = false;
        if (j < n && m_formula.at(j) == QLatin1Char('.')) {
            decimal = true;
            ++j;
            if (j >= n || !isAsciiDigit(m_formula.at(j)))
                return fail(i, QStringLiteral("numero non valido '%1'").arg(m_formula.mid(i, j - i)));
            while (j < n && isAsciiDigit(m_formula.at(j)))
                ++j;
        }
        if (j < n && (isNameChar(m_formula.at(j)) || m_formula.at(j) == QLatin1Char('.'))) {
            qsizetype k = j;
            while (k < n && (isNameChar(m_formula.at(k)) || m_formula.at(k) == QLatin1Char('.')))
                ++k;
            return fail(i, QStringLiteral("numero non valido '%1'").arg(m_formula.mid(i, k - i)));
        }
        const QString written = m_formula.mid(i, j - i);
        bool ok = false;
        if (decimal) {
            const double number = written.toDouble(&ok);
            if (!ok || !std::isfinite(number))
                return fail(i, QStringLiteral("numero fuori dai limiti '%1'").arg(written));
            token.value = number;
        } else {
            const qlonglong number = written.toLongLong(&ok);
            if (!ok)
                return fail(i, QStringLiteral("numero fuori dai limiti '%1'").arg(written));
            token.value = number;
        }
        token.kind = Tok::Number;
        token.text = written;
        i = j;
        return true;
    }

    // ---- conditions

    const Token &current() const { return m_tokens.at(m_at); }
    void advance()
    {
        if (m_at + 1 < m_tokens.size())
            ++m_at;
    }
    bool atWord(const char *word) const { return current().kind == Tok::Word && current().text == QLatin1String(word); }

    // One more level of parentheses or NOT.
    class Level
    {
    public:
        explicit Level(int &depth) : m_depth(depth) { ++m_depth; }
        ~Level() { --m_depth; }
        Level(const Level &) = delete;
        Level &operator=(const Level &) = delete;
        bool tooDeep() const { return m_depth > kMaxDepth; }

    private:
        int &m_depth;
    };

    bool parseOr(Piece &out)
    {
        if (!parseAnd(out))
            return false;
        while (atWord("OR")) {
            advance();
            Piece right;
            if (!parseAnd(right))
                return false;
            join(out, QStringLiteral(" OR "), right);
        }
        return true;
    }

    bool parseAnd(Piece &out)
    {
        if (!parseNot(out))
            return false;
        while (atWord("AND")) {
            advance();
            Piece right;
            if (!parseNot(right))
                return false;
            join(out, QStringLiteral(" AND "), right);
        }
        return true;
    }

    static void join(Piece &left, const QString &word, const Piece &right)
    {
        left.sql += word + right.sql;
        left.params += right.params;
        left.grouped = false;
    }

    bool parseNot(Piece &out)
    {
        if (!atWord("NOT"))
            return parsePrimary(out);
        const Level level(m_depth);
        if (level.tooDeep())
            return failAt(current(), QStringLiteral("troppi livelli di parentesi o di not"));
        advance();
        Piece inner;
        if (!parseNot(inner))
            return false;
        out.sql =
            inner.grouped ? QStringLiteral("NOT ") + inner.sql : QStringLiteral("NOT (") + inner.sql + QLatin1Char(')');
        out.params = inner.params;
        out.grouped = false;
        return true;
    }

    bool parsePrimary(Piece &out)
    {
        if (current().kind == Tok::LParen) {
            const Level level(m_depth);
            if (level.tooDeep())
                return failAt(current(), QStringLiteral("troppi livelli di parentesi o di not"));
            const Token open = current();
            advance();
            Piece inner;
            if (!parseOr(inner))
                return false;
            if (current().kind != Tok::RParen) {
                if (current().kind == Tok::End)
                    return failAt(open, QStringLiteral("parentesi aperta e non chiusa"));
                return failAt(current(), QStringLiteral("atteso ')', and oppure or"));
            }
            advance();
            out.sql = QLatin1Char('(') + inner.sql + QLatin1Char(')');
            out.params = inner.params;
            out.grouped = true;
            return true;
        }
        if (atWord("ISNULL"))
            return parseIsNull(out);
        return parseComparison(out);
    }

    bool parseIsNull(Piece &out)
    {
        const Token name = current();
        advance();
        if (current().kind != Tok::LParen || m_tokens.at(m_at + 1).kind != Tok::Field ||
            m_tokens.at(m_at + 2).kind != Tok::RParen)
            return failAt(name, QStringLiteral("IsNull vuole un solo campo tra parentesi: IsNull({TABELLA.COLONNA})"));
        advance();
        Operand field;
        if (!resolveField(current(), field))
            return false;
        advance();
        advance();
        out.sql = field.sql + QStringLiteral(" IS NULL");
        return true;
    }

    bool parseComparison(Piece &out)
    {
        Operand left;
        if (!parseOperand(left))
            return false;
        const Token op = current();
        const bool like = atWord("LIKE");
        if (op.kind != Tok::Op && !like) {
            const QString what = left.kind == Operand::Kind::Field ? QStringLiteral("un campo da solo")
                                                                   : QStringLiteral("un valore da solo");
            return failAt(op, QStringLiteral("%1 non è una condizione: manca il confronto").arg(what));
        }
        advance();
        Operand right;
        if (!parseOperand(right))
            return false;

        const auto constant = [](const Operand &o) { return o.kind != Operand::Kind::Field; };
        if (like) {
            if (left.kind != Operand::Kind::Field || !left.isText)
                return failAt(op, QStringLiteral("like vuole a sinistra un campo di testo"));
            if (right.kind != Operand::Kind::Text)
                return failAt(op, QStringLiteral("like vuole a destra un testo tra virgolette"));
            out.sql = QStringLiteral("UPPER(%1) LIKE UPPER(?) ESCAPE '\\'").arg(left.sql);
            out.params = {likePattern(right.value.toString())};
            return true;
        }
        if (constant(left) && constant(right))
            return failAt(op, QStringLiteral("confronto tra due valori: serve almeno un campo"));
        if (left.isText != right.isText)
            return failAt(op, QStringLiteral("confronto tra un testo e un valore che non è testo"));
        const auto side = [&](const Operand &o) {
            return left.isText ? QStringLiteral("UPPER(%1)").arg(o.sql) : o.sql;
        };
        out.sql = side(left) + QLatin1Char(' ') + op.text + QLatin1Char(' ') + side(right);
        for (const Operand *o : {&left, &right})
            if (constant(*o))
                out.params.append(o->value);
        return true;
    }

    bool parseOperand(Operand &out)
    {
        const Token token = current();
        switch (token.kind) {
        case Tok::Field:
            if (!resolveField(token, out))
                return false;
            advance();
            return true;
        case Tok::Text:
            out = {Operand::Kind::Text, QStringLiteral("?"), token.text, true};
            advance();
            return true;
        case Tok::Number:
            out = {Operand::Kind::Number, QStringLiteral("?"), token.value, false};
            advance();
            return true;
        case Tok::Word:
            if (token.text == QLatin1String("TRUE") || token.text == QLatin1String("FALSE")) {
                out = {Operand::Kind::Flag, QStringLiteral("?"), token.text == QLatin1String("TRUE") ? kTrue : kFalse,
                       false};
                advance();
                return true;
            }
            if (token.text == QLatin1String("DATE"))
                return parseDate(out);
            for (const char *keyword : {"AND", "OR", "NOT", "LIKE"})
                if (token.text == QLatin1String(keyword))
                    return failAt(token, QStringLiteral("manca un valore prima di '%1'").arg(token.text.toLower()));
            if (m_tokens.at(m_at + 1).kind == Tok::LParen || token.text == QLatin1String("ISNULL"))
                return failAt(token, QStringLiteral("funzione sconosciuta o fuori posto '%1'").arg(token.text));
            return failAt(token, QStringLiteral("parola sconosciuta '%1'").arg(token.text));
        case Tok::End: return failAt(token, QStringLiteral("manca un valore"));
        case Tok::Op: return failAt(token, QStringLiteral("manca un valore prima di '%1'").arg(token.text));
        case Tok::LParen: return failAt(token, QStringLiteral("un valore non va tra parentesi"));
        case Tok::RParen:
        case Tok::Comma: return failAt(token, QStringLiteral("manca un valore"));
        }
        return failAt(token, QStringLiteral("manca un valore"));
    }

    // Date(year, month, day), three whole numbers making a real date.
    bool parseDate(Operand &out)
    {
        const Token name = current();
        advance();
        if (current().kind != Tok::LParen)
            return failAt(name, QStringLiteral("Date vuole anno, mese e giorno tra parentesi"));
        advance();
        QList<qlonglong> parts;
        if (current().kind != Tok::RParen) {
            for (;;) {
                if (current().kind != Tok::Number || current().value.typeId() != QMetaType::LongLong)
                    return failAt(current(), QStringLiteral("Date vuole numeri interi"));
                parts.append(current().value.toLongLong());
                advance();
                if (current().kind != Tok::Comma)
                    break;
                advance();
            }
        }
        if (current().kind != Tok::RParen) {
            if (current().kind == Tok::End)
                return failAt(name, QStringLiteral("Date: parentesi aperta e non chiusa"));
            return failAt(current(), QStringLiteral("Date: atteso ',' oppure ')'"));
        }
        advance();
        if (parts.size() != 3)
            return failAt(name, QStringLiteral("Date vuole tre numeri (anno, mese, giorno), non %1").arg(parts.size()));
        const qlonglong year = parts.at(0), month = parts.at(1), day = parts.at(2);
        const bool inRange = year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
        const QDate date = inRange ? QDate(int(year), int(month), int(day)) : QDate();
        if (!date.isValid())
            return failAt(name, QStringLiteral("data non valida %1/%2/%3").arg(day).arg(month).arg(year));
        out = {Operand::Kind::Date, QStringLiteral("?"), date, false};
        return true;
    }

    bool resolveField(const Token &token, Operand &out)
    {
        const std::optional<FormulaColumn> column = m_resolve ? m_resolve(token.table, token.text) : std::nullopt;
        if (!column || column->sqlName.isEmpty())
            return failAt(token, QStringLiteral("campo sconosciuto {%1.%2}").arg(token.table, token.text));
        out = {Operand::Kind::Field, column->sqlName, QVariant(), column->isText};
        return true;
    }

    // ---- failures

    bool fail(qsizetype pos, const QString &reason)
    {
        const QString where = pos >= m_formula.size() ? QStringLiteral("alla fine della formula")
                                                      : QStringLiteral("al carattere %1").arg(pos + 1);
        m_failure = Failure{QString::fromUtf8(kMessage), reason + QStringLiteral(", ") + where};
        return false;
    }
    bool failAt(const Token &token, const QString &reason) { return fail(token.pos, reason); }

    const QString &m_formula;
    const ColumnResolver &m_resolve;
    QList<Token> m_tokens;
    qsizetype m_at = 0;
    int m_depth = 0;
    std::optional<Failure> m_failure;
};

} // namespace

Outcome<SqlCondition> translateSelection(const QString &formula, const ColumnResolver &resolve)
{
    if (formula.trimmed().isEmpty())
        return SqlCondition{};
    return Translator(formula, resolve).run();
}

} // namespace Orlavo::Reporting
