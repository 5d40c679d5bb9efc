#include "contexttest.h"
#include "masterdata/stores/deliveryplaces.h"
#include "masterdata/windows/anamecli.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
namespace Tables = Orlavo::Services::Tables;

namespace {

constexpr int kCustomer = 7;
const QString kConfirm = QStringLiteral("Confermi registrazioni?");
const QString kDuplicate = QStringLiteral("L'elemento che si stà aggiornando esiste già in archivio \n"
                                          "Procedere ugualmente con gli aggiornamenti ?");

using Fields = QList<QPair<QString, QString>>;

// Customer 7 with no places, customer 8 with one; Moncalieri with one
// postal code.
class AnaMeCliTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        context->state.userType = 2;
        run(QStringLiteral("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'Rossi Srl')"));
        run(QStringLiteral("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (8, 'Bianchi Spa')"));
        run(QStringLiteral(
            "INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, PREDEF) VALUES (8, 9, 'Altro', -1)"));
        run(QStringLiteral("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('10024', 'MONCALIERI', 'TO')"));
        // The standard provinces come with the archives.
        ASSERT_EQ(archives->count(QStringLiteral("servizi.TAB_PROV WHERE CODICE IN ('TO', 'MI')")), 2);
    }

    std::unique_ptr<AnaMeCli> open() { return std::make_unique<AnaMeCli>(*context, kCustomer); }

    static void type(AnaMeCli &window, const Fields &fields, bool isDefault = false)
    {
        for (const auto &[column, text] : fields)
            window.field(column)->setText(text);
        window.defaultBox()->setChecked(isDefault);
    }

    // Types a new place and confirms it.
    void add(AnaMeCli &window, const Fields &fields, bool isDefault = false)
    {
        window.newPlace();
        type(window, fields, isDefault);
        prompter.queue(Prompter::Button::Ok);
        window.save();
    }

    static QStringList column(const QTableWidget &grid, int c)
    {
        QStringList cells;
        for (int r = 0; r < grid.rowCount(); ++r)
            cells << grid.item(r, c)->text();
        return cells;
    }

    QVariant scalar(const QString &sql) { return archives->scalar(sql); }
    QString places()
    {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM CONS_MERCE WHERE CLIENTE = 7")).toString() +
               QStringLiteral("/") +
               scalar(QStringLiteral("SELECT COALESCE(SUM(PREDEF), 0) FROM CONS_MERCE WHERE CLIENTE = 7")).toString();
    }

    // Inserts into CONS_MERCE fail from now on; updates and deletes pass.
    void refuseInserts()
    {
        if (GetParam() == Engine::Sqlite) {
            run(QStringLiteral("CREATE TRIGGER nega_ins_luoghi BEFORE INSERT ON CONS_MERCE "
                               "BEGIN SELECT RAISE(ABORT, 'scrittura bloccata'); END"));
        } else {
            run(QStringLiteral("CREATE FUNCTION nega_ins_luoghi() RETURNS trigger LANGUAGE plpgsql AS "
                               "$$ BEGIN RAISE EXCEPTION 'scrittura bloccata'; END $$"));
            run(QStringLiteral("CREATE TRIGGER nega_ins_luoghi BEFORE INSERT ON CONS_MERCE "
                               "FOR EACH ROW EXECUTE FUNCTION nega_ins_luoghi()"));
        }
    }
};

TEST_P(AnaMeCliTest, TheListShowsTheCustomersPlacesByNumberAndANewOneGetsTheNext)
{
    auto window = open();
    EXPECT_EQ(window->objectName(), QStringLiteral("AnaMeCli"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Luoghi consegna merce - Cliente 7 Rossi Srl"));
    auto *grid = window->findChild<QTableWidget *>();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowCount(), 0);
    // The first place is number 1, whatever other customers have.
    EXPECT_EQ(window->field(QStringLiteral("COD_LUOGO"))->text(), QStringLiteral("1"));
    EXPECT_FALSE(window->findChild<QPushButton *>(QStringLiteral("elimina"))->isEnabled());

    run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, KKMM, PREDEF) "
                       "VALUES (7, 12, 'Magazzino', 3.5, 0)"));
    run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, CITTA, PREDEF) "
                       "VALUES (7, 2, 'Cantiere', 'Moncalieri', -1)"));
    run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, PREDEF) VALUES (7, 5, 'Sede', 0)"));
    window->reload();
    // By number, not by text or by insertion; only this customer's.
    EXPECT_EQ(column(*grid, 0), (QStringList{"2", "5", "12"}));
    EXPECT_EQ(column(*grid, 1), (QStringList{"Cantiere", "Sede", "Magazzino"}));
    EXPECT_EQ(column(*grid, 6), (QStringList{"", "", "3,50"}));
    EXPECT_EQ(column(*grid, 8), (QStringList{QStringLiteral("Sì"), "", ""}));
    EXPECT_EQ(window->field(QStringLiteral("COD_LUOGO"))->text(), QStringLiteral("13"));
    EXPECT_EQ(nextPlaceCode(context->db, 8), 10);

    // A chosen row fills the fields and keeps its number.
    window->loadRow(0);
    EXPECT_EQ(window->field(QStringLiteral("DESC_LUOGO"))->text(), QStringLiteral("Cantiere"));
    EXPECT_EQ(window->field(QStringLiteral("CITTA"))->text(), QStringLiteral("Moncalieri"));
    EXPECT_TRUE(window->defaultBox()->isChecked());
    EXPECT_TRUE(window->field(QStringLiteral("COD_LUOGO"))->isReadOnly());
    EXPECT_TRUE(window->findChild<QPushButton *>(QStringLiteral("elimina"))->isEnabled());

    // Nuovo: empty fields, the next number, typed freely.
    window->newPlace();
    EXPECT_EQ(window->typed(), newDeliveryPlace(window->customer(), 13));
    EXPECT_FALSE(window->field(QStringLiteral("COD_LUOGO"))->isReadOnly());
    EXPECT_FALSE(window->loaded().has_value());
}

TEST_P(AnaMeCliTest, ADefaultPlaceTakesTheFlagFromTheOthers)
{
    auto window = open();
    add(*window,
        {{"DESC_LUOGO", "Sede"},
         {"INDIRIZZO", "Via Roma 1"},
         {"CITTA", "Milano"},
         {"CAP", "20100"},
         {"PROV", "mi"},
         {"KKMM", "12,5"},
         {"RADIALE", "r1"}},
        true);
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(scalar(QStringLiteral("SELECT DESC_LUOGO || '|' || INDIRIZZO || '|' || CITTA || '|' || CAP || '|' || "
                                    "PROV || '|' || RADIALE FROM CONS_MERCE WHERE CLIENTE = 7 AND COD_LUOGO = 1"))
                  .toString(),
              QStringLiteral("Sede|Via Roma 1|Milano|20100|MI|R1"));
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT KKMM FROM CONS_MERCE WHERE COD_LUOGO = 1")).toDouble(), 12.5);
    EXPECT_EQ(places(), QStringLiteral("1/-1"));

    // The second default: exactly one left, the new one; other customers untouched.
    add(*window, {{"DESC_LUOGO", "Cantiere"}}, true);
    EXPECT_EQ(places(), QStringLiteral("2/-1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT PREDEF FROM CONS_MERCE WHERE CLIENTE = 7 AND COD_LUOGO = 2")).toInt(), -1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT PREDEF FROM CONS_MERCE WHERE CLIENTE = 8")).toInt(), -1);

    // A change of a place that is not the default leaves the flag alone.
    window->loadRow(0);
    window->field(QStringLiteral("DESC_LUOGO"))->setText(QStringLiteral("Sede legale"));
    prompter.queue(Prompter::Button::Ok);
    window->save();
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT DESC_LUOGO FROM CONS_MERCE WHERE CLIENTE = 7 AND COD_LUOGO = 1")).toString(),
        QStringLiteral("Sede legale"));
    EXPECT_EQ(places(), QStringLiteral("2/-1"));

    // Made default on a change, it takes the flag back.
    window->loadRow(0);
    window->defaultBox()->setChecked(true);
    prompter.queue(Prompter::Button::Ok);
    window->save();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COD_LUOGO FROM CONS_MERCE WHERE CLIENTE = 7 AND PREDEF = -1")).toInt(), 1);
    EXPECT_EQ(places(), QStringLiteral("2/-1"));

    // Cancel at the question: nothing written.
    prompter.clear();
    window->newPlace();
    type(*window, {{"DESC_LUOGO", "Mai"}});
    prompter.queue(Prompter::Button::Cancel);
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(places(), QStringLiteral("2/-1"));
    EXPECT_EQ(window->field(QStringLiteral("DESC_LUOGO"))->text(), QStringLiteral("Mai"));
}

TEST_P(AnaMeCliTest, AddingAStoredNumberAsksBeforeReplacingIt)
{
    run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, RADIALE, PREDEF) "
                       "VALUES (7, 1, 'Vecchio', 'R9', 0)"));
    auto window = open();
    window->newPlace();
    type(*window, {{"COD_LUOGO", "1"}, {"DESC_LUOGO", "Nuovo"}});
    prompter.queue(Prompter::Button::Ok);
    prompter.queue(Prompter::Button::No);
    window->save();
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, kDuplicate}));
    EXPECT_EQ(prompter.shown().last().buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(scalar(QStringLiteral("SELECT DESC_LUOGO || RADIALE FROM CONS_MERCE WHERE CLIENTE = 7")).toString(),
              QStringLiteral("VecchioR9"));
    EXPECT_EQ(window->field(QStringLiteral("DESC_LUOGO"))->text(), QStringLiteral("Nuovo"));

    // Yes: the stored row gives way to the new one, whole.
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    prompter.queue(Prompter::Button::Yes);
    window->save();
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, kDuplicate}));
    EXPECT_EQ(places(), QStringLiteral("1/0"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT DESC_LUOGO FROM CONS_MERCE WHERE CLIENTE = 7")).toString(),
              QStringLiteral("Nuovo"));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT RADIALE FROM CONS_MERCE WHERE CLIENTE = 7")).isNull());
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);
}

TEST_P(AnaMeCliTest, AMissingNumberAndAnUnknownProvinceAreRefused)
{
    auto window = open();
    auto *number = window->field(QStringLiteral("COD_LUOGO"));
    auto *province = window->field(QStringLiteral("PROV"));
    const QList<std::tuple<const char *, const char *, QString, bool, bool>> cases = {
        {"", "ZZ", QStringLiteral("Provincia errata"), true, true},
        {"", "TO", QStringLiteral("Occorre specificare un numero progressivo"), true, false},
        {"0", "", QStringLiteral("Occorre specificare un numero progressivo"), true, false},
        {"3", "zz", QStringLiteral("Provincia errata"), false, true},
    };
    for (const auto &[code, prov, message, numberRed, provinceRed] : cases) {
        SCOPED_TRACE(message.toStdString() + " " + code + "/" + prov);
        prompter.clear();
        window->newPlace();
        type(*window, {{"COD_LUOGO", code}, {"DESC_LUOGO", "Sede"}, {"PROV", prov}});
        window->save();
        // Only the last failing check is said; every failing field is red.
        EXPECT_EQ(prompter.texts(), QStringList{message});
        EXPECT_EQ(prompter.titles(), QStringList{QStringLiteral("Errore!")});
        EXPECT_EQ(hasFieldError(number), numberRed);
        EXPECT_EQ(hasFieldError(province), provinceRed);
        EXPECT_EQ(places(), QStringLiteral("0/0"));
    }

    // On leaving the fields: the province is checked at once, the town
    // fills postal code and province, a good province loses the mark.
    prompter.clear();
    window->newPlace();
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    province->setText(QStringLiteral("ZZ"));
    province->setModified(true);
    QApplication::sendEvent(province, &leaving);
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Provincia errata")});
    EXPECT_TRUE(hasFieldError(province));
    auto *town = window->field(QStringLiteral("CITTA"));
    town->setText(QStringLiteral("Moncalieri"));
    town->setModified(true);
    QApplication::sendEvent(town, &leaving);
    EXPECT_EQ(window->field(QStringLiteral("CAP"))->text(), QStringLiteral("10024"));
    EXPECT_EQ(province->text(), QStringLiteral("TO"));
    EXPECT_FALSE(hasFieldError(province));
    number->clear();
    QApplication::sendEvent(number, &leaving);
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Occorre specificare un numero progressivo"));
    EXPECT_TRUE(hasFieldError(number));

    // Without write rights nothing is asked nor written.
    context->state.userType = 0;
    prompter.clear();
    window->newPlace();
    type(*window, {{"DESC_LUOGO", "Sede"}});
    window->save();
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_NE(prompter.texts().first(), kConfirm);
    EXPECT_EQ(places(), QStringLiteral("0/0"));
}

TEST_P(AnaMeCliTest, DeleteRemovesTheChosenPlaceAfterTheQuestion)
{
    run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO) VALUES (7, 1, 'Sede')"));
    run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO) VALUES (7, 2, 'Cantiere')"));
    auto window = open();
    window->loadRow(1);
    prompter.queue(Prompter::Button::Cancel);
    window->remove();
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi ELIMINAZIONE ?")});
    EXPECT_EQ(places(), QStringLiteral("2/0"));

    window->loadRow(1);
    prompter.queue(Prompter::Button::Ok);
    window->remove();
    EXPECT_EQ(scalar(QStringLiteral("SELECT DESC_LUOGO FROM CONS_MERCE WHERE CLIENTE = 7")).toString(),
              QStringLiteral("Sede"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM CONS_MERCE WHERE CLIENTE = 8")).toInt(), 1);
    EXPECT_EQ(window->findChild<QTableWidget *>()->rowCount(), 1);
    EXPECT_EQ(window->field(QStringLiteral("COD_LUOGO"))->text(), QStringLiteral("2"));
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);
}

TEST_P(AnaMeCliTest, ADatabaseFailureWritesNothingAndKeepsTheInput)
{
    run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO, PREDEF) VALUES (7, 1, 'Sede', -1)"));
    auto window = open();
    window->newPlace();
    type(*window, {{"DESC_LUOGO", "Cantiere"}, {"CITTA", "Torino"}, {"PROV", "TO"}}, true);
    const DeliveryPlace typed = window->typed();

    // The flag taken from place 1 comes back when the insert fails.
    refuseInserts();
    prompter.queue(Prompter::Button::Ok);
    window->save();
    ASSERT_EQ(prompter.shown().size(), 2);
    const QString report = prompter.texts().last();
    EXPECT_TRUE(report.startsWith(QStringLiteral("Rilevato errore su Gestione luoghi consegna merce\n")))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("\nStep Ins. consmerce .\n"))) << report.toStdString();
    EXPECT_EQ(places(), QStringLiteral("1/-1"));
    EXPECT_EQ(window->typed(), typed);
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);

    // Every write refused: the same.
    run(GetParam() == Engine::Sqlite ? QStringLiteral("DROP TRIGGER nega_ins_luoghi")
                                     : QStringLiteral("DROP TRIGGER nega_ins_luoghi ON CONS_MERCE"));
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), Tables::CONS_MERCE), QString());
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    window->save();
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_TRUE(
        prompter.texts().last().startsWith(QStringLiteral("Rilevato errore su Gestione luoghi consegna merce")));
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("\nStep Toglie predef.\n")));
    EXPECT_EQ(places(), QStringLiteral("1/-1"));
    EXPECT_EQ(window->typed(), typed);

    // The lock was let go: once writes pass the same input is stored.
    ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), Tables::CONS_MERCE), QString());
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(places(), QStringLiteral("2/-1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT DESC_LUOGO FROM CONS_MERCE WHERE CLIENTE = 7 AND PREDEF = -1")).toString(),
              QStringLiteral("Cantiere"));
}

ORLAVO_FOR_EACH_ENGINE(AnaMeCliTest);

} // namespace
