#include "warehouse/rules/movementvalues.h"
#include "warehouse/rules/stockeffects.h"

#include <gtest/gtest.h>

using namespace Orlavo::Warehouse;

namespace {

StockMovement movement(const char *causal, double quantity, double value = 0, bool party = false)
{
    return {QString::fromLatin1(causal), quantity, value, QDate(2026, 5, 4), 8.55, party, party};
}

// An item with every figure in use.
ItemFigures busyItem()
{
    return {.onHand = 12.5,
            .loadedBySupplier = 40.25,
            .loadedOther = 3,
            .loadValue = 812.4,
            .lastLoad = QDate(2026, 1, 2),
            .lastCost = 7.1,
            .unloadedToCustomer = 30.75,
            .unloadedOther = 1,
            .unloadValue = 990.05,
            .lastUnload = QDate(2026, 2, 3),
            .committed = 4,
            .committedValue = 80,
            .ordered = 6,
            .orderedValue = 61.2};
}

} // namespace

TEST(StockEffects, EveryCausalTakenBackLeavesTheFiguresAsTheyWere)
{
    for (const QString &code : effectCodes()) {
        for (const bool party : {false, true}) {
            const ItemFigures before = busyItem();
            const StockMovement m = movement(code.toLatin1().constData(), 2.345, 47.11, party);
            const ItemFigures forward = applyMovement(before, m, Direction::Forward);
            if (code != QLatin1String("A10")) {
                EXPECT_NE(forward, before) << code.toStdString();
            }
            ItemFigures back = applyMovement(forward, m, Direction::Backward);
            // Dates and the last cost stay where the movement put them.
            back.lastLoad = before.lastLoad;
            back.lastUnload = before.lastUnload;
            back.lastCost = before.lastCost;
            EXPECT_EQ(back, before) << code.toStdString() << (party ? " with party" : "");
        }
    }
}

TEST(StockEffects, UnloadsAndLoadsByParty)
{
    ItemFigures item;
    item.onHand = 12;
    const StockMovement sale = movement("S10", 5, 50, true);
    ItemFigures after = applyMovement(item, sale, Direction::Forward);
    EXPECT_EQ(after.onHand, 7);
    EXPECT_EQ(after.unloadedToCustomer, 5);
    EXPECT_EQ(after.unloadValue, 50);
    EXPECT_EQ(after.lastUnload, QDate(2026, 5, 4));
    EXPECT_EQ(applyMovement(item, movement("S10", 5), Direction::Forward).unloadedOther, 5);

    const ItemFigures loaded = applyMovement(item, movement("C10", 4, 34.2, true), Direction::Forward);
    EXPECT_EQ(loaded.onHand, 16);
    EXPECT_EQ(loaded.loadedBySupplier, 4);
    EXPECT_EQ(loaded.lastCost, 8.55);
    EXPECT_EQ(loaded.lastLoad, QDate(2026, 5, 4));
    EXPECT_EQ(applyMovement(item, movement("CXC", 4, 34.2), Direction::Forward).lastCost, 0);
}

TEST(StockEffects, DecidedCausals)
{
    ItemFigures item = busyItem();
    // A customer's return: back in stock, off the sales, never a purchase.
    ItemFigures after = applyMovement(item, movement("C14", 2, 20, true), Direction::Forward);
    EXPECT_DOUBLE_EQ(after.onHand, 14.5);
    EXPECT_DOUBLE_EQ(after.unloadedToCustomer, 28.75);
    EXPECT_DOUBLE_EQ(after.unloadValue, 970.05);
    EXPECT_EQ(after.lastCost, item.lastCost);
    EXPECT_EQ(after.loadedBySupplier, item.loadedBySupplier);
    // An unload from committed stock lowers the stock on hand.
    after = applyMovement(item, movement("S50", 3, 60), Direction::Forward);
    EXPECT_DOUBLE_EQ(after.onHand, 9.5);
    EXPECT_DOUBLE_EQ(after.committed, 1);
    // Orders and commitments never touch the stock on hand.
    for (const char *code : {"C40", "S40", "C41", "S41"})
        EXPECT_EQ(applyMovement(item, movement(code, 3, 60), Direction::Forward).onHand, item.onHand) << code;
    EXPECT_FALSE(movesStock(QStringLiteral("C40")));
    EXPECT_TRUE(movesStock(QStringLiteral("S50")));
    // An opening sets its figures (taken back with every causal above).
    after = applyMovement(item, movement("A10", 10, 95), Direction::Forward);
    EXPECT_EQ(after.openingQuantity, 10);
    EXPECT_EQ(after.openingValue, 95);
    // A code outside the table changes nothing.
    EXPECT_EQ(applyMovement(item, movement("Z99", 3, 60), Direction::Forward), item);
    EXPECT_FALSE(hasEffect(QStringLiteral("C1")));
}

TEST(StockEffects, QuantitiesAddUpExactly)
{
    ItemFigures item;
    for (int i = 0; i < 10; ++i)
        item = applyMovement(item, movement("C10", 0.1, 0.1), Direction::Forward);
    EXPECT_EQ(item.onHand, 1.0);
    EXPECT_EQ(item.loadValue, 1.0);
}

TEST(MovementValues, PriceTotalAndAverage)
{
    EXPECT_DOUBLE_EQ(discountedPrice(1.33, {10, 5, 0}, 2), 1.14);
    EXPECT_DOUBLE_EQ(movementTotal(7, 1.33, {10, 5, 0}, 2), 7.96); // not 7 × 1,14
    EXPECT_DOUBLE_EQ(discountedPrice(10, {10, 5, 0}, 2), 8.55);
    EXPECT_DOUBLE_EQ(movementTotal(7, 1330, {10, 5, 0}, 0), 7960);

    const QDate today(2026, 6, 1);
    EXPECT_DOUBLE_EQ(averagePurchasePrice({{QDate(2026, 1, 1), 3, 10}, {QDate(2026, 2, 1), 7, 25}}, today, 2), 3.5);
    EXPECT_DOUBLE_EQ(averagePurchasePrice({{QDate(2026, 1, 1), 3, 10}}, today, 2), 3.33);
    EXPECT_DOUBLE_EQ(averagePurchasePrice({{QDate(2026, 1, 1), 3, 10}}, today, 3), 3.333);
    EXPECT_DOUBLE_EQ(averagePurchasePrice({}, today, 2), 0);
    // A load of 2001 is in lire: 19.363 lire count 10,00 € from 2002 on.
    const QList<Load> lire = {{QDate(2001, 12, 1), 1, 19363}, {QDate(2002, 1, 10), 1, 20}};
    EXPECT_DOUBLE_EQ(averagePurchasePrice(lire, QDate(2002, 2, 1), 2), 15);
    EXPECT_DOUBLE_EQ(averagePurchasePrice({{QDate(2001, 12, 1), 2, 19363}}, QDate(2001, 12, 31), 0), 9682);
}
