#include "committedrows.h"
#include "masterdata/windows/sconti.h"
#include "masterdatatest.h"

#include <QLineEdit>

// The discount windows' wiring on both sides: the checks and writes
// themselves, and which list rows a delete takes, are the store's
// (discountstore_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;

namespace {

const QString kConfirm = "Confermi aggiornamenti ?";
const QString kDuplicate = "Gli sconti per il cliente e la marca selezionati\nsono già presenti in archivio";

// What differs between the two sides.
struct Side {
    const char *label;
    DiscountSide side;
    QString party; // the party column
    QString word;  // the party in the messages
    QString table; // the discounts
    QString missing;
};

const Side kSides[] = {
    {"customers", DiscountSide::Customers, "CLIENTE", "Cliente", "TAB_SCONCLI",
     "Il cliente e la marca non esistono in archivio "},
    {"suppliers", DiscountSide::Suppliers, "FORNITORE", "Fornitore", "TAB_SCONFOR",
     "Il fornitore e la marca non esistono in archivio "},
};

// Brands ACM and BTX; customer 7 and supplier 1 with a personal list,
// customer 10 and supplier 4 with the standard one, customer 8 and
// supplier 2 with a personal list too. Customer 7 has 5,5 % on ACM and
// 10 % on every brand (999); supplier 1 has 10 % on ACM and on 999.
// Item X1 of ACM is in the sale lists of 7 and 8 from suppliers 1 and 2.
class DiscountWindowTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme'), ('BTX', 'Betax')");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, TIPOLISTINO) VALUES (7, 'Sette', 'P'), (8, 'Otto', 'P'), "
            "(10, 'Dieci', 'S')");
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Uno', 'P'), (2, 'Due', 'P'), "
            "(4, 'Quattro', 'S')");
        run("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA, SC_V1, SC_V2, SC_V3, PERC_RIC) VALUES (7, 'ACM', 5.5, 0, 0, 20), "
            "(7, '999', 10, 0, 0, 30)");
        run("INSERT INTO TAB_SCONFOR (FORNITORE, MARCA, SC_A1, SC_A2, SC_A3) VALUES (1, 'ACM', 10, 0, 0), "
            "(1, '999', 10, 0, 0)");
        run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (7, 'ACM', 'X1', 1), "
            "(7, 'ACM', 'X1', 2), (8, 'ACM', 'X1', 1), (8, 'ACM', 'X1', 2)");
    }

    static int personal(const Side &s) { return s.side == DiscountSide::Customers ? 7 : 1; }
    static int standardOnly(const Side &s) { return s.side == DiscountSide::Customers ? 10 : 4; }

    std::unique_ptr<DiscountWindow> open(const Side &s, bool inserting, int party = 0, const QString &brand = {})
    {
        auto window = std::make_unique<DiscountWindow>(*context, s.side, inserting, party, brand);
        answer();
        return window;
    }

    QLineEdit *line(DiscountWindow &window, const QString &name)
    {
        return qobject_cast<QLineEdit *>(window.field(name));
    }

    // The operator types in a field and leaves it; what the window queues
    // for after the leaving runs too.
    void leave(DiscountWindow &window, const QString &name, const QString &typed)
    {
        Orlavo::Testing::leave(line(window, name), typed);
        QApplication::processEvents();
    }

    // A stored discount of the personal party for a brand, as text.
    QString stored(const Side &s, const QString &column, const QString &brand) const
    {
        return text(QString("SELECT %1 FROM %2 WHERE %3 = %4 AND MARCA = '%5'")
                        .arg(column, s.table, s.party)
                        .arg(personal(s))
                        .arg(brand));
    }

    // The stored keys of LIST_VEN, "customer|supplier".
    QStringList saleRows()
    {
        return Orlavo::Testing::committedRows(*archives, "SELECT CLIENTE, FORNITORE FROM LIST_VEN");
    }
};

TEST_P(DiscountWindowTest, EveryFailingFieldTurnsRedAndTheLastSpeaks)
{
    for (const Side &s : kSides) {
        SCOPED_TRACE(s.label);
        const QString first = discountColumns(s.side).first();
        const QString third = discountColumns(s.side).last();
        auto window = open(s, true);
        // A discount above 100, one below 0, an unknown brand, no party.
        window->setValue(first, "120");
        window->setValue(third, "-1");
        window->setValue("MARCA", "ZZZ");
        EXPECT_FALSE(window->save());
        ASSERT_EQ(prompter.shown().size(), 1);
        EXPECT_EQ(prompter.shown().first().text, s.word + " obbligatorio");
        EXPECT_EQ(red(*window), (QStringList{s.party, "MARCA", first, third}));

        // The party with the standard list is refused, alone now.
        answer();
        window->setValue(first, "5");
        window->setValue(third, "0");
        window->setValue("MARCA", "ACM");
        window->setValue(s.party, QString::number(standardOnly(s)));
        EXPECT_FALSE(window->save());
        EXPECT_EQ(prompter.texts(), QStringList{s.word + " errato"});
        EXPECT_EQ(red(*window), QStringList{s.party});

        // A field left with a wrong value says so at once.
        answer();
        leave(*window, "MARCA", "QQQ");
        EXPECT_EQ(prompter.texts(), QStringList{"Marca errata"});
        EXPECT_TRUE(red(*window).contains("MARCA"));
    }
}

TEST_P(DiscountWindowTest, AnInsertAsksFirstAndAPairAlreadyStoredIsRefused)
{
    for (const Side &s : kSides) {
        SCOPED_TRACE(s.label);
        const QString first = discountColumns(s.side).first();
        auto window = open(s, true);
        window->setValue(s.party, QString::number(personal(s)));
        window->setValue("MARCA", "btx");
        window->setValue(first, "5,5");

        // Cancel writes nothing.
        answer({Prompter::Button::Cancel});
        EXPECT_FALSE(window->save());
        EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
        EXPECT_EQ(count(s.table), 2);

        answer({Prompter::Button::Ok});
        ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
        EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
        EXPECT_EQ(stored(s, first, "BTX"), "5.5");
        // Cleared for the next pair.
        EXPECT_TRUE(window->value(s.party).isEmpty());
        EXPECT_TRUE(window->value("MARCA").isEmpty());

        // The same pair again: refused with the pair's own text (the same on
        // both sides), the party red.
        window->setValue(s.party, QString::number(personal(s)));
        window->setValue("MARCA", "ACM");
        answer({Prompter::Button::Ok});
        EXPECT_FALSE(window->save());
        EXPECT_EQ(prompter.texts(), QStringList{kDuplicate});
        EXPECT_EQ(red(*window), QStringList{s.party});
        EXPECT_EQ(count(s.table), 3);
    }
}

TEST_P(DiscountWindowTest, TheModifyWindowShowsThePairAndSavesAChange)
{
    for (const Side &s : kSides) {
        SCOPED_TRACE(s.label);
        const QString first = discountColumns(s.side).first();
        const QString second = discountColumns(s.side).at(1);
        auto window = open(s, false, personal(s), "acm");
        ASSERT_TRUE(window->loaded()) << prompter.texts().join('|').toStdString();
        EXPECT_EQ(window->value(s.party) + "|" + window->value("MARCA"), QString::number(personal(s)) + "|ACM");
        EXPECT_EQ(window->value(first), s.side == DiscountSide::Customers ? "05,50" : "10,00");
        EXPECT_FALSE(window->hasChanges());

        answer({Prompter::Button::Ok});
        window->setValue(second, "3");
        ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
        EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
        EXPECT_EQ(stored(s, second, "ACM"), "3");
        // Shown again as stored.
        EXPECT_EQ(window->value(second), "03,00");
        EXPECT_FALSE(window->hasChanges());
    }
}

TEST_P(DiscountWindowTest, AMissingPairIsToldAndTheWindowIsNotLoaded)
{
    for (const Side &s : kSides) {
        SCOPED_TRACE(s.label);
        prompter.clear();
        DiscountWindow window(*context, s.side, false, personal(s), "BTX");
        EXPECT_FALSE(window.loaded());
        ASSERT_EQ(prompter.shown().size(), 1);
        EXPECT_EQ(prompter.shown().first().text, s.missing);
        EXPECT_EQ(prompter.shown().first().title, "Errore ...... ");
        // Nothing to delete.
        answer();
        EXPECT_FALSE(window.remove());
        EXPECT_TRUE(prompter.texts().isEmpty());
    }
}

TEST_P(DiscountWindowTest, ADeleteAsksAndTakesTheListRowsThePairProduced)
{
    // The customer's pair: its own sale rows of the brand go, customer 8's stay.
    auto customer = open(kSides[0], false, 7, "ACM");
    answer({Prompter::Button::No});
    EXPECT_FALSE(customer->remove());
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione sconti?"});
    EXPECT_EQ(count("TAB_SCONCLI"), 2);
    answer({Prompter::Button::Yes});
    EXPECT_TRUE(customer->remove());
    EXPECT_EQ(text("SELECT COUNT(*) FROM TAB_SCONCLI WHERE CLIENTE = 7 AND MARCA = 'ACM'"), "0");
    EXPECT_EQ(saleRows(), (QStringList{"8|1", "8|2"}));
}

ORLAVO_FOR_EACH_ENGINE(DiscountWindowTest);

} // namespace
