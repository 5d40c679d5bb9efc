#include "accounting/rules/journalfilter.h"

#include "services/core/values.h"

namespace Orlavo::Accounting {

namespace {

constexpr char kYearToo[] = "Valorizzare anche Anno ";
constexpr char kNumbers[] = "Num. movimento A deve essere maggiore di Num. movimento DA";
constexpr char kMovementDate[] = "Data movimento errata ";
constexpr char kMovementRange[] = "Data movimento A deve essere maggiore di Data movimento DA";
constexpr char kRegistrationDate[] = "Data registrazione errata ";
constexpr char kRegistrationRange[] = "Data registrazione A deve essere maggiore di Data registrazione DA";
constexpr char kWildcard[] = "Carattere jolly '*' ammesso solo come ultimo carattere";
constexpr char kAccountNeeded[] = "E' neccessario specificare un conto di contabilità";
constexpr char kAccount[] = "Conto di contabilità errato ";
constexpr char kCausalType[] = "Tipo causale di contabilità errata ";
constexpr char kCausal[] = "Causale di contabilità errata ";
constexpr char kCostCentre[] = "Cento di costo errato";
constexpr char kCustomer[] = "Cliente errato ";
constexpr char kSupplier[] = "Fornitore errato ";
constexpr char kSummaryStart[] = "Data inizio riepilogo errata";

Services::FieldProblem problem(FilterField field, const char *message)
{
    return {filterColumn(field), QString::fromUtf8(message)};
}

constexpr std::pair<FilterField, const char *> kColumns[] = {
    {FilterField::Year, "ANNO"},
    {FilterField::NumberFrom, "NUMERO_DA"},
    {FilterField::NumberTo, "NUMERO_A"},
    {FilterField::MovementFrom, "DATA_MOV_DA"},
    {FilterField::MovementTo, "DATA_MOV_A"},
    {FilterField::RegistrationFrom, "DATA_REG_DA"},
    {FilterField::RegistrationTo, "DATA_REG_A"},
    {FilterField::Account, "CONTO"},
    {FilterField::CausalType, "CAUSALET"},
    {FilterField::Causal, "CAUSALE"},
    {FilterField::CostCentre, "CCOS"},
    {FilterField::Customer, "CLIENTE"},
    {FilterField::Supplier, "FORNITORE"},
    {FilterField::SummaryStart, "DATA_RIEPILOGO"},
};

std::optional<int> number(const QString &typed)
{
    bool ok = false;
    const int value = typed.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// An empty date filters nothing; text that is no date is refused.
bool readDate(const QString &typed, QDate &date)
{
    date = {};
    if (typed.trimmed().isEmpty())
        return true;
    date = Services::parseItalianDate(typed);
    return date.isValid();
}

std::optional<Services::FieldProblem> dates(const QString &fromText, const QString &toText, FilterField fromField,
                                   FilterField toField, const char *wrong, const char *range, QDate &from, QDate &to)
{
    if (!readDate(fromText, from))
        return problem(fromField, wrong);
    if (!readDate(toText, to))
        return problem(toField, wrong);
    if (from.isValid() && to.isValid() && to < from)
        return problem(toField, range);
    return std::nullopt;
}

std::optional<Services::FieldProblem> check(const JournalFilterInput &in, const FilterKnown &known, JournalSelection &out)
{
    out.year = in.year.trimmed();
    out.numberFrom = number(in.numberFrom);
    out.numberTo = number(in.numberTo);
    if ((out.numberFrom || out.numberTo) && out.year.isEmpty())
        return problem(FilterField::Year, kYearToo);
    if (out.numberFrom && out.numberTo && *out.numberTo < *out.numberFrom)
        return problem(FilterField::NumberTo, kNumbers);
    if (auto p = dates(in.movementFrom, in.movementTo, FilterField::MovementFrom, FilterField::MovementTo,
                       kMovementDate, kMovementRange, out.movementFrom, out.movementTo))
        return p;
    if (auto p =
            dates(in.registrationFrom, in.registrationTo, FilterField::RegistrationFrom, FilterField::RegistrationTo,
                  kRegistrationDate, kRegistrationRange, out.registrationFrom, out.registrationTo))
        return p;

    const QString account = in.account.trimmed().toUpper();
    const qsizetype star = account.indexOf(QLatin1Char('*'));
    if (star >= 0 && star != account.size() - 1)
        return problem(FilterField::Account, kWildcard);
    if (in.byAccount && (account.isEmpty() || account == QLatin1String("*")))
        return problem(FilterField::Account, kAccountNeeded);
    out.accountPrefix = star >= 0;
    out.account = out.accountPrefix ? account.left(star) : account;
    if (!out.accountPrefix && !account.isEmpty() && !known(FilterField::Account, account))
        return problem(FilterField::Account, kAccount);

    const struct {
        FilterField field;
        const QString &typed;
        QString &kept;
        const char *message;
    } codes[] = {
        {FilterField::CausalType, in.causalType, out.causalType, kCausalType},
        {FilterField::Causal, in.causal, out.causal, kCausal},
        {FilterField::CostCentre, in.costCentre, out.costCentre, kCostCentre},
    };
    for (const auto &c : codes) {
        c.kept = c.typed.trimmed().toUpper();
        if (!c.kept.isEmpty() && !known(c.field, c.kept))
            return problem(c.field, c.message);
    }

    const struct {
        FilterField field;
        const QString &typed;
        std::optional<int> &kept;
        const char *message;
    } parties[] = {
        {FilterField::Customer, in.customer, out.customer, kCustomer},
        {FilterField::Supplier, in.supplier, out.supplier, kSupplier},
    };
    for (const auto &p : parties) {
        if (p.typed.trimmed().isEmpty())
            continue;
        p.kept = number(p.typed);
        if (!p.kept || !known(p.field, QString::number(*p.kept)))
            return problem(p.field, p.message);
    }

    if (!readDate(in.summaryStart, out.summaryStart))
        return problem(FilterField::SummaryStart, kSummaryStart);
    out.parties = in.parties;
    out.bankAndCash = in.bankAndCash;
    return std::nullopt;
}

} // namespace

QString filterColumn(FilterField field)
{
    for (const auto &[f, column] : kColumns) {
        if (f == field)
            return QString::fromLatin1(column);
    }
    return QString();
}

std::optional<FilterField> filterFieldOf(const QString &column)
{
    for (const auto &[f, name] : kColumns) {
        if (column == QLatin1String(name))
            return f;
    }
    return std::nullopt;
}

FilterCheck checkJournalFilter(const JournalFilterInput &input, const FilterKnown &known)
{
    FilterCheck result;
    result.problem = check(input, known, result.selection);
    return result;
}

} // namespace Orlavo::Accounting
