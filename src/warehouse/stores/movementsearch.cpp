#include "warehouse/stores/movementsearch.h"

#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Warehouse {

namespace Tables = Services::Tables;

namespace {

bool known(Services::DataAccess &db, const QString &sql, const Services::Params &params)
{
    const auto rows = db.openRecordset(sql, params);
    return !rows || !rows->isEmpty();
}

} // namespace

QList<Services::FieldProblem> filterProblems(Services::DataAccess &db, const MovementFilter &filter)
{
    QList<Services::FieldProblem> problems;
    const QString item = filter.item.trimmed();
    const QString brand = filter.brand.trimmed();
    if (!item.isEmpty()) {
        QString sql = QStringLiteral("SELECT ARTICOLO FROM %1 WHERE UPPER(ARTICOLO) = UPPER(?)").arg(Tables::ARTICOLI);
        Services::Params params{item};
        if (!brand.isEmpty()) {
            sql += QStringLiteral(" AND UPPER(MARCA) = UPPER(?)");
            params << brand;
        }
        if (!known(db, sql, params))
            problems.append({QStringLiteral("ARTICOLO"), QStringLiteral("Codice Articolo non codificato !")});
    }
    if (!brand.isEmpty() &&
        !known(db, QStringLiteral("SELECT CODICE FROM %1 WHERE UPPER(CODICE) = UPPER(?)").arg(Tables::TAB_MARCHE),
               {brand}))
        problems.append({QStringLiteral("MARCA"), QStringLiteral("Marca non codificata !")});
    for (const auto &[column, text] : {std::pair{"DATA_DA", filter.from}, std::pair{"DATA_A", filter.to}}) {
        if (!text.trimmed().isEmpty() && !Services::parseItalianDate(text).isValid())
            problems.append({QString::fromLatin1(column), QStringLiteral("Data Registrazione errata !")});
    }
    return problems;
}

Services::Outcome<QList<FoundMovement>> searchMovements(Services::DataAccess &db, const MovementFilter &filter,
                                                        int limit)
{
    QStringList where;
    Services::Params params;
    const auto add = [&where, &params](const QString &condition, const QVariant &value) {
        where << condition;
        params << value;
    };
    if (!filter.year.trimmed().isEmpty())
        add(QStringLiteral("M.ANNO = ?"), filter.year.trimmed());
    if (!filter.brand.trimmed().isEmpty())
        add(QStringLiteral("UPPER(M.MARCA) = UPPER(?)"), filter.brand.trimmed());
    if (!filter.item.trimmed().isEmpty())
        add(QStringLiteral("UPPER(M.ARTICOLO) = UPPER(?)"), filter.item.trimmed());
    if (!filter.causal.trimmed().isEmpty())
        add(QStringLiteral("UPPER(M.CAUSALE) LIKE UPPER(?)"), filter.causal.trimmed());
    if (const QDate from = Services::parseItalianDate(filter.from); from.isValid())
        add(QStringLiteral("M.DATA_REG >= ?"), from);
    if (const QDate to = Services::parseItalianDate(filter.to); to.isValid())
        add(QStringLiteral("M.DATA_REG <= ?"), to);
    if (!filter.number.trimmed().isEmpty())
        add(QStringLiteral("M.NRO_REG = ?"), filter.number.trimmed().toInt());
    const auto rows = db.openRecordset(
        QStringLiteral("SELECT M.ANNO, M.NRO_REG, M.DATA_REG, M.MARCA, M.ARTICOLO, M.CAUSALE, M.NRO_DOC, "
                       "M.NRO_DOC_DDT, M.QUANTITA, M.PREZZO, M.NDEC, M.SCONTO1, M.SCONTO2, M.SCONTO3, M.PR_SCONTATO, "
                       "M.TOTALE, C.RAG_SOC1 AS NOME_CLI, F.RAG_SOC1 AS NOME_FOR FROM %1 M "
                       "LEFT JOIN %2 C ON C.CLIENTE = M.CLIENTE LEFT JOIN %3 F ON F.FORNITORE = M.FORNITORE%4 "
                       "ORDER BY M.ANNO, M.NRO_REG LIMIT ?")
            .arg(Tables::MOVMAG, Tables::ANAG_CLI, Tables::ANAG_FOR,
                 where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))),
        params + Services::Params{limit + 1});
    if (!rows)
        return rows.failure();
    QList<FoundMovement> found;
    for (const auto &row : *rows) {
        FoundMovement m;
        m.year = row.text(QStringLiteral("ANNO"));
        m.number = row.integer(QStringLiteral("NRO_REG"));
        m.date = row.value(QStringLiteral("DATA_REG")).toDate();
        m.brand = row.text(QStringLiteral("MARCA"));
        m.item = row.text(QStringLiteral("ARTICOLO"));
        m.causal = row.text(QStringLiteral("CAUSALE"));
        m.customer = row.text(QStringLiteral("NOME_CLI"));
        m.supplier = row.text(QStringLiteral("NOME_FOR"));
        const int invoice = row.integer(QStringLiteral("NRO_DOC"));
        m.document = invoice != 0 ? QString::number(invoice) : row.text(QStringLiteral("NRO_DOC_DDT"));
        m.quantity = row.number(QStringLiteral("QUANTITA"));
        m.price = row.number(QStringLiteral("PREZZO"));
        m.priceDecimals = row.integer(QStringLiteral("NDEC"));
        m.discounts[0] = row.number(QStringLiteral("SCONTO1"));
        m.discounts[1] = row.number(QStringLiteral("SCONTO2"));
        m.discounts[2] = row.number(QStringLiteral("SCONTO3"));
        m.netPrice = row.number(QStringLiteral("PR_SCONTATO"));
        m.total = row.number(QStringLiteral("TOTALE"));
        found << m;
    }
    return found;
}

} // namespace Orlavo::Warehouse
