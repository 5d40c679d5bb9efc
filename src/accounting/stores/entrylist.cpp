#include "accounting/stores/entrylist.h"

#include "accounting/stores/causalstore.h"

#include "masterdata/stores/chartstore.h"

#include "services/core/sqlterms.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/recordstore.h"

namespace Orlavo::Accounting {

namespace Tables = Services::Tables;
using Services::Params;

namespace {

// A role group's accounts: only them, or every other (an account without
// a role included).
void roleCondition(RoleFilter filter, const char *first, const char *second, QStringList &where, Params &params)
{
    if (filter == RoleFilter::All)
        return;
    where << (filter == RoleFilter::Only ? QStringLiteral("B.CONT_AUT IN (?, ?)")
                                         : QStringLiteral("(B.CONT_AUT IS NULL OR B.CONT_AUT NOT IN (?, ?))"));
    params << QString::fromLatin1(first) << QString::fromLatin1(second);
}

void conditions(const JournalSelection &s, const QStringList &causalTypes, QStringList &where, Params &params)
{
    const auto add = [&where, &params](const char *condition, const QVariant &value) {
        where << QString::fromLatin1(condition);
        params << value;
    };
    if (!s.year.isEmpty())
        add("A.ANNO = ?", s.year);
    if (s.numberFrom)
        add("A.NRO_INT >= ?", *s.numberFrom);
    if (s.numberTo)
        add("A.NRO_INT <= ?", *s.numberTo);
    if (s.registrationFrom.isValid())
        add("A.DATA_REG >= ?", s.registrationFrom);
    if (s.registrationTo.isValid())
        add("A.DATA_REG <= ?", s.registrationTo);
    if (s.movementFrom.isValid())
        add("A.DATA_INT >= ?", s.movementFrom);
    if (s.movementTo.isValid())
        add("A.DATA_INT <= ?", s.movementTo);
    if (s.accountPrefix && !s.account.isEmpty())
        add("A.CONTO LIKE ? ESCAPE '!'", Services::escapeLike(s.account) + QLatin1Char('%'));
    else if (!s.account.isEmpty())
        add("A.CONTO = ?", s.account);
    if (!s.causalType.isEmpty())
        add("A.CAUSALET = ?", s.causalType);
    if (!causalTypes.isEmpty()) {
        QStringList marks;
        for (const QString &type : causalTypes) {
            marks << QStringLiteral("?");
            params << type;
        }
        where << QStringLiteral("A.CAUSALET IN (%1)").arg(marks.join(QStringLiteral(", ")));
    }
    if (!s.causal.isEmpty())
        add("A.CAUSALE = ?", s.causal);
    if (!s.costCentre.isEmpty())
        add("A.CCOS = ?", s.costCentre);
    if (s.customer)
        add("A.CLIENTE = ?", *s.customer);
    if (s.supplier)
        add("A.FORNITORE = ?", *s.supplier);
    roleCondition(s.parties, "CLI", "FOR", where, params);
    roleCondition(s.bankAndCash, "BAN", "CAS", where, params);
}

QChar firstOf(const QString &text)
{
    const QString t = text.trimmed().toUpper();
    return t.isEmpty() ? QChar() : t.at(0);
}

} // namespace

Services::Outcome<JournalList> listJournal(Services::DataAccess &db, const JournalSelection &selection,
                                           const QStringList &causalTypes, int limit)
{
    QStringList where;
    Params params;
    conditions(selection, causalTypes, where, params);
    params << limit + 1;
    const QString sql =
        QStringLiteral(
            "SELECT A.STA_GIO, A.ANNULLATA, A.ANNO, A.NRO_INT, A.SEQUENZA, A.DATA_REG, A.NRO_REG, A.DATA_INT, "
            "A.DESCRI_GIORN, A.CAUSALET, C.DESCRIZIONE AS DESC_CAUS, A.CAUSALE, A.CONTO, "
            "B.DESCRIZIONE AS DESC_CONTO, A.SEGNO, A.IMPORTO, A.CLIENTE, D.RAG_SOC1 AS RAG_CLI, A.FORNITORE, "
            "E.RAG_SOC1 AS RAG_FOR, A.NRO_DOC, A.DATA_DOC, A.ASSEGNO "
            "FROM %1 AS A LEFT JOIN %2 AS B ON A.CONTO = B.CODICE "
            "LEFT JOIN %3 AS C ON A.CAUSALET = C.CODICE "
            "LEFT JOIN %4 AS D ON A.CLIENTE = D.CLIENTE "
            "LEFT JOIN %5 AS E ON A.FORNITORE = E.FORNITORE%6 "
            "ORDER BY A.ANNO, A.NRO_INT, A.SEQUENZA LIMIT ?")
            .arg(Tables::GIORN, Tables::TAB_PIANO_CONTI, Tables::TAB_TIPO_CAUS, Tables::ANAG_CLI, Tables::ANAG_FOR,
                 where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")));
    const auto rows = db.openRecordset(sql, params);
    if (!rows)
        return rows.failure();
    JournalList list;
    for (const auto &row : *rows) {
        if (list.lines.size() == limit) {
            list.limited = true;
            break;
        }
        JournalListLine line;
        line.printed = row.integer(QStringLiteral("STA_GIO")) != 0;
        line.cancelled = row.integer(QStringLiteral("ANNULLATA")) != 0;
        line.year = row.text(QStringLiteral("ANNO"));
        line.number = row.integer(QStringLiteral("NRO_INT"));
        line.sequence = row.integer(QStringLiteral("SEQUENZA"));
        line.registrationDate = row.value(QStringLiteral("DATA_REG")).toDate();
        line.registrationNumber = row.integer(QStringLiteral("NRO_REG"));
        line.movementDate = row.value(QStringLiteral("DATA_INT")).toDate();
        line.description = row.text(QStringLiteral("DESCRI_GIORN"));
        line.causalType = row.text(QStringLiteral("CAUSALET"));
        line.causalTypeDescription = row.text(QStringLiteral("DESC_CAUS"));
        line.causal = row.text(QStringLiteral("CAUSALE"));
        line.account = row.text(QStringLiteral("CONTO"));
        line.accountDescription = row.text(QStringLiteral("DESC_CONTO"));
        line.sign = firstOf(row.text(QStringLiteral("SEGNO")));
        line.amount = row.number(QStringLiteral("IMPORTO"));
        line.customer = row.integer(QStringLiteral("CLIENTE"));
        line.customerName = row.text(QStringLiteral("RAG_CLI"));
        line.supplier = row.integer(QStringLiteral("FORNITORE"));
        line.supplierName = row.text(QStringLiteral("RAG_FOR"));
        line.documentNumber = row.text(QStringLiteral("NRO_DOC"));
        line.documentDate = row.value(QStringLiteral("DATA_DOC")).toDate();
        line.cheque = row.text(QStringLiteral("ASSEGNO"));
        list.lines << line;
    }
    return list;
}

bool filterValueKnown(Services::DataAccess &db, FilterField field, const QString &code)
{
    const QString typed = code.trimmed();
    switch (field) {
    case FilterField::Account:
        return Services::valueKnown(db, Tables::TAB_PIANO_CONTI, QStringLiteral("CODICE"), typed);
    case FilterField::CausalType:
        return Services::valueKnown(db, Tables::TAB_TIPO_CAUS, QStringLiteral("CODICE"), typed);
    case FilterField::Causal: return Services::valueKnown(db, Tables::TAB_CAU_CONT, QStringLiteral("CAUSALE"), typed);
    case FilterField::CostCentre: return Services::valueKnown(db, Tables::TAB_CCOS, QStringLiteral("CODICE"), typed);
    case FilterField::Customer:
        return Services::valueKnown(db, Tables::ANAG_CLI, QStringLiteral("CLIENTE"), typed.toInt());
    case FilterField::Supplier:
        return Services::valueKnown(db, Tables::ANAG_FOR, QStringLiteral("FORNITORE"), typed.toInt());
    default: return true;
    }
}

std::optional<AccountInfo> accountInfo(Services::DataAccess &db, const QString &code)
{
    const QString typed = code.trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    const auto rows =
        db.openRecordset(QStringLiteral("SELECT DESCRIZIONE, TIPO_CONTO, CONT_AUT FROM %1 WHERE %2")
                             .arg(Tables::TAB_PIANO_CONTI, Services::sqlUpperEquals(QStringLiteral("CODICE"))),
                         {typed});
    if (!rows || rows->isEmpty())
        return std::nullopt;
    const auto row = rows->first();
    return AccountInfo{row.text(QStringLiteral("DESCRIZIONE")).trimmed(),
                       firstOf(row.text(QStringLiteral("TIPO_CONTO"))), row.text(QStringLiteral("CONT_AUT")).trimmed()};
}

std::optional<CausalFill> causalFill(Services::DataAccess &db, const QString &code, EntryMode mode)
{
    const QString typed = code.trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    const auto rows =
        db.openRecordset(QStringLiteral("SELECT * FROM %1 WHERE %2 AND TIPO_CAUSALE = ?")
                             .arg(Tables::TAB_CAU_CONT, Services::sqlUpperEquals(QStringLiteral("CAUSALE"))),
                         {typed, causalTypeOf(mode)});
    if (!rows || rows->isEmpty())
        return std::nullopt;
    const auto row = rows->first();
    CausalFill fill;
    fill.description = row.text(QStringLiteral("DESCRIZIONE")).trimmed();
    for (int n = 1; n <= 3; ++n) {
        fill.debit << row.text(QStringLiteral("DARE_%1").arg(n)).trimmed();
        fill.credit << row.text(QStringLiteral("AVERE_%1").arg(n)).trimmed();
    }
    fill.vatCode = row.text(QStringLiteral("COD_IVA")).trimmed();
    return fill;
}

std::optional<double> vatRate(Services::DataAccess &db, const QString &code)
{
    const QString typed = code.trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    const auto rows = db.openRecordset(QStringLiteral("SELECT ALIQUOTA FROM %1 WHERE %2")
                                           .arg(Tables::TAB_PERIVA, Services::sqlUpperEquals(QStringLiteral("CODICE"))),
                                       {typed});
    if (!rows || rows->isEmpty())
        return std::nullopt;
    return rows->first().number(QStringLiteral("ALIQUOTA"));
}

QString supplierName(Services::DataAccess &db, const QString &code)
{
    bool number = false;
    const int supplier = code.trimmed().toInt(&number);
    if (!number || supplier == 99999)
        return {};
    const auto rows = db.openRecordset(
        QStringLiteral("SELECT RAG_SOC1 FROM %1 WHERE FORNITORE = ?").arg(Tables::ANAG_FOR), {supplier});
    return rows && !rows->isEmpty() ? rows->first().text(QStringLiteral("RAG_SOC1")).trimmed() : QString();
}

QString causalDescription(Services::DataAccess &db, const QString &code)
{
    if (code.trimmed().isEmpty())
        return {};
    const auto rows =
        db.openRecordset(QStringLiteral("SELECT DESCRIZIONE FROM %1 WHERE %2")
                             .arg(Tables::TAB_CAU_CONT, Services::sqlUpperEquals(QStringLiteral("CAUSALE"))),
                         {code.trimmed()});
    return rows && !rows->isEmpty() ? rows->first().text(QStringLiteral("DESCRIZIONE")).trimmed() : QString();
}

QString bankOrCashDescription(Services::DataAccess &db, const QString &code)
{
    if (code.trimmed() == QLatin1String(kCash))
        return QString::fromLatin1(kCashText);
    return Masterdata::descriptionOfCode(db, Tables::TAB_BAN_PAG, code).trimmed();
}

bool bankOrCashKnown(Services::DataAccess &db, const QString &code)
{
    const QString typed = code.trimmed();
    return typed == QLatin1String(kCash) ||
           (!typed.isEmpty() && Services::valueKnown(db, Tables::TAB_BAN_PAG, QStringLiteral("CODICE"), typed));
}

} // namespace Orlavo::Accounting
