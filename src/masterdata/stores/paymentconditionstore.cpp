#include "masterdata/stores/paymentconditionstore.h"

#include "services/core/tablenames.h"

namespace Orlavo::Masterdata {

using Services::Row;
namespace Col = Services::Column;
namespace Tables = Services::Tables;

namespace {

const QString kPaymentconditionstoreCode = QStringLiteral("CODICE");
const QString kPaymentconditionstoreKind = QStringLiteral("DESC_COND");
const QString kStart = QStringLiteral("DF_FM");
const QString kForcedDay = QStringLiteral("GGFORZ");
const QStringList kDays{QStringLiteral("GIORN1"), QStringLiteral("GIORN2"), QStringLiteral("GIORN3"),
                        QStringLiteral("GIORN4")};

// A whole number the form could read (text it could not stays text).
bool wholeNumber(const QVariant &value)
{
    return value.typeId() != QMetaType::QString;
}

CodedTable paymentConditionsOf()
{
    namespace Check = Services::Check;
    CodedTable table;
    table.def = &paymentConditionTable();
    table.checks << Check::required(kStart, QStringLiteral("Inizio conteggio scadenze - Obbligatorio"))
                 << Check::when(Check::custom(kForcedDay, QStringLiteral("Giorno da forzare errato"),
                                              [](const QVariant &day) {
                                                  return wholeNumber(day) && day.toInt() >= 0 && day.toInt() <= 31;
                                              }),
                                kStart, QStringLiteral("F"));
    for (const QString &days : kDays)
        table.checks << Check::custom(days, QStringLiteral("Numero Giorni deve essere maggiore di zero"),
                                      [](const QVariant &value) { return wholeNumber(value) && value.toInt() >= 0; });
    table.checks << Check::required(kPaymentconditionstoreKind, QStringLiteral("Tipo Pagamento - Obbligatorio !"))
                 << Check::required(kPaymentconditionstoreCode, QStringLiteral("Condizione di Pagamento - Obbligatoria"))
                 << Check::unique(kPaymentconditionstoreCode, Tables::TAB_COND_PAG, {kPaymentconditionstoreCode},
                                  QStringLiteral("Condizione di Pagamento già presente in archivio !"));

    table.uses << RecordUse{Tables::ANAG_CLI, {QStringLiteral("COND_PAG")}, QStringLiteral("Clienti")}
               << RecordUse{Tables::ANAG_FOR, {QStringLiteral("COND_PAG")}, QStringLiteral("Fornitori")};
    for (const QString &invoices : {Tables::FVENDT, Tables::FVENDT_PR})
        table.uses << RecordUse{invoices, {QStringLiteral("COND_PAG")}, QStringLiteral("Fatture")};
    for (const QString &dues : {Tables::SCADF, Tables::SCADF_PR})
        table.uses << RecordUse{dues, {QStringLiteral("COND_PAG")}, QStringLiteral("Scadenze")};

    table.complete = [](Services::DataAccess &, Row &row) {
        // Blank day fields are no instalment; the forced day belongs to a
        // count from the end of the month.
        for (const QString &column : kDays + QStringList{kForcedDay}) {
            if (row.isBlank(column))
                row.set(column, 0);
        }
        if (row.text(kStart) == QLatin1String("D"))
            row.set(kForcedDay, 0);
    };
    table.name(QStringLiteral("Gestione condizioni di pagamento"), QStringLiteral("tab_cond_pag"));
    table.deleteRefusedHead = QStringLiteral("Impossibile eliminare Condizione di Pagamento,");
    table.usedMessage = QStringLiteral("Condizione di Pagamento utilizzata: codice non modificabile");
    return table;
}

} // namespace

const Services::TableDef &paymentConditionTable()
{
    static const Services::TableDef def = [] {
        Services::TableDef t{
            Tables::TAB_COND_PAG,
            Services::Target::Company,
            {Col::key(Col::code(kPaymentconditionstoreCode, 3)), Col::text(QStringLiteral("DESCRIZIONE"), 40), Col::code(kPaymentconditionstoreKind, 1)}};
        for (const QString &days : kDays)
            t.columns << Col::integer(days);
        t.columns << Col::integer(kForcedDay) << Col::code(kStart, 1);
        return t;
    }();
    return def;
}

const CodedTable &paymentConditions()
{
    static const CodedTable table = paymentConditionsOf();
    return table;
}

const QList<std::pair<QString, QString>> &paymentKinds()
{
    static const QList<std::pair<QString, QString>> kinds = [] {
        QList<std::pair<QString, QString>> list;
        for (const QChar letter : QStringLiteral("DBRPCT"))
            list.append({QString(letter), conditionDescription(letter, {}, QLatin1Char('D'))});
        return list;
    }();
    return kinds;
}

Row newPaymentCondition()
{
    Row row(paymentConditionTable());
    for (const QString &column : kDays + QStringList{kForcedDay})
        row.set(column, 0);
    return row;
}

PaymentCondition paymentCondition(const Row &row)
{
    PaymentCondition condition;
    condition.code = row.text(kPaymentconditionstoreCode);
    const auto letter = [&row](const QString &column) {
        const QString text = row.text(column);
        return text.isEmpty() ? QChar() : text.at(0);
    };
    condition.kind = letter(kPaymentconditionstoreKind);
    for (int i = 0; i < 4; ++i)
        condition.days[size_t(i)] = wholeNumber(row.value(kDays.at(i))) ? row.integer(kDays.at(i)) : 0;
    condition.forcedDay = wholeNumber(row.value(kForcedDay)) ? row.integer(kForcedDay) : 0;
    condition.start = letter(kStart);
    return condition;
}

QString composedDescription(const Row &row)
{
    const PaymentCondition condition = paymentCondition(row);
    return conditionDescription(condition.kind, condition.days, condition.start);
}

} // namespace Orlavo::Masterdata
