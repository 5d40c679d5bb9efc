#include "warehouse/rules/stockeffects.h"

#include "services/core/values.h"

#include <algorithm>
#include <vector>

namespace Orlavo::Warehouse {

using Services::roundDec;

namespace {

// The figure a step changes; "by party" figures pick theirs from the movement.
enum class Figure {
    OnHand,
    OpeningQuantity,
    OpeningValue,
    LoadByParty,
    UnloadByParty,
    LoadedBySupplier,
    LoadValue,
    UnloadedToCustomer,
    UnloadValue,
    Committed,
    CommittedValue,
    Ordered,
    OrderedValue,
};

// A step adds (+1) or subtracts (-1) the quantity or the value.
struct Step {
    Figure figure;
    int sign;
    bool value;
};

enum Marks { None = 0, LastLoad = 1, LastUnload = 2, LastCost = 4, SetsOpening = 8 };

struct Effect {
    const char *codes;
    std::vector<Step> steps;
    int marks = None;
};

constexpr Step q(Figure f, int sign)
{
    return {f, sign, false};
}

constexpr Step v(Figure f, int sign)
{
    return {f, sign, true};
}

const std::vector<Effect> &effects()
{
    using F = Figure;
    static const std::vector<Effect> table = {
        {"A10", {q(F::OnHand, 1), q(F::OpeningQuantity, 1), v(F::OpeningValue, 1)}, SetsOpening},
        {"C10 C11 C12 C13 C15 C16 C17 C18 C30",
         {q(F::OnHand, 1), q(F::LoadByParty, 1), v(F::LoadValue, 1)},
         LastLoad | LastCost},
        {"CXC", {q(F::OnHand, 1), q(F::LoadByParty, 1), v(F::LoadValue, 1)}},
        {"S10 SXC S11 S12", {q(F::OnHand, -1), q(F::UnloadByParty, 1), v(F::UnloadValue, 1)}, LastUnload},
        // Goods coming back from a customer, a credit note's return among them.
        {"C14 C19 C20", {q(F::OnHand, 1), q(F::UnloadedToCustomer, -1), v(F::UnloadValue, -1)}},
        {"S20", {q(F::OnHand, -1), q(F::LoadedBySupplier, -1), v(F::LoadValue, -1)}},
        {"S30", {q(F::OnHand, -1), q(F::UnloadByParty, 1), v(F::UnloadValue, 1)}},
        {"C31", {q(F::OnHand, -1), q(F::LoadByParty, -1), v(F::LoadValue, -1)}},
        {"S31", {q(F::OnHand, 1), q(F::UnloadByParty, -1), v(F::UnloadValue, -1)}},
        {"C40", {q(F::Ordered, 1), v(F::OrderedValue, 1)}},
        {"S40", {q(F::Committed, 1), v(F::CommittedValue, 1)}},
        {"C41", {q(F::Committed, -1), v(F::CommittedValue, -1)}},
        {"S41", {q(F::Ordered, -1), v(F::OrderedValue, -1)}},
        {"C50",
         {q(F::OnHand, 1), q(F::LoadByParty, 1), v(F::LoadValue, 1), q(F::Ordered, -1), v(F::OrderedValue, -1)},
         LastLoad},
        // An unload from committed stock: the goods leave.
        {"S50",
         {q(F::OnHand, -1), q(F::UnloadByParty, 1), v(F::UnloadValue, 1), q(F::Committed, -1),
          v(F::CommittedValue, -1)},
         LastUnload},
    };
    return table;
}

const Effect *effectOf(const QString &causal)
{
    const QString code = causal.trimmed().toUpper();
    if (code.size() != 3)
        return nullptr;
    for (const Effect &effect : effects()) {
        if (QString::fromLatin1(effect.codes).split(QLatin1Char(' ')).contains(code))
            return &effect;
    }
    return nullptr;
}

double &figureOf(ItemFigures &f, Figure figure, const StockMovement &m)
{
    switch (figure) {
    case Figure::OnHand: return f.onHand;
    case Figure::OpeningQuantity: return f.openingQuantity;
    case Figure::OpeningValue: return f.openingValue;
    case Figure::LoadByParty: return m.supplier ? f.loadedBySupplier : f.loadedOther;
    case Figure::UnloadByParty: return m.customer ? f.unloadedToCustomer : f.unloadedOther;
    case Figure::LoadedBySupplier: return f.loadedBySupplier;
    case Figure::LoadValue: return f.loadValue;
    case Figure::UnloadedToCustomer: return f.unloadedToCustomer;
    case Figure::UnloadValue: return f.unloadValue;
    case Figure::Committed: return f.committed;
    case Figure::CommittedValue: return f.committedValue;
    case Figure::Ordered: return f.ordered;
    case Figure::OrderedValue: return f.orderedValue;
    }
    return f.onHand;
}

} // namespace

ItemFigures applyMovement(const ItemFigures &figures, const StockMovement &movement, Direction direction)
{
    ItemFigures after = figures;
    const Effect *effect = effectOf(movement.causal);
    if (!effect)
        return after;
    const int way = direction == Direction::Forward ? 1 : -1;
    const bool opening = effect->marks & SetsOpening;
    for (const Step &step : effect->steps) {
        double &figure = figureOf(after, step.figure, movement);
        const double amount = step.value ? movement.value : movement.quantity;
        // An opening sets its figures going forward; going back it takes
        // them away again.
        const bool sets = opening && direction == Direction::Forward && step.figure != Figure::OnHand;
        const double next = sets ? amount : figure + way * step.sign * amount;
        figure = roundDec(next, step.value ? 2 : 3);
    }
    if (direction == Direction::Forward) {
        if (effect->marks & LastLoad)
            after.lastLoad = movement.date;
        if (effect->marks & LastUnload)
            after.lastUnload = movement.date;
        if (effect->marks & LastCost)
            after.lastCost = movement.netPrice;
    }
    return after;
}

bool hasEffect(const QString &causal)
{
    return effectOf(causal) != nullptr;
}

bool movesStock(const QString &causal)
{
    const Effect *effect = effectOf(causal);
    if (!effect)
        return false;
    for (const Step &step : effect->steps) {
        if (step.figure == Figure::OnHand)
            return true;
    }
    return false;
}

QList<QString> effectCodes()
{
    QList<QString> codes;
    for (const Effect &effect : effects())
        codes += QString::fromLatin1(effect.codes).split(QLatin1Char(' '));
    std::sort(codes.begin(), codes.end());
    return codes;
}

} // namespace Orlavo::Warehouse
