#include "contexttest.h"
#include "customerwrites.h"
#include "fixtures.h"
#include "masterdata/stores/customerstore.h"
#include "masterdata/windows/f110anac.h"
#include "services/core/concurrency.h"
#include "services/data/standarddata.h"
#include "services/data/writeunit.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"

#include <QComboBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
using Mode = F110Anac::Mode;

namespace {

const QString kConfirm = QStringLiteral("Confermi registrazioni?");
const QString kDrop = QStringLiteral("Rinuncia operazioni su record corrente?");
const QString kDeleteQuestion = QStringLiteral("Confermi eliminazione Cliente?");
const QString kListWarning = QStringLiteral("Attenzione: disselezionando l'opzione del listino personalizzato \n"
                                            "si provoca la cancellazione dei listini del cliente.\n"
                                            "Confermi registrazioni?");

using Orlavo::Testing::ActingPrompter;

using Fields = QList<QPair<QString, QString>>;

// The fields a customer needs beyond the defaults to pass every check.
Fields valid(const QString &name)
{
    return {{QStringLiteral("RAG_SOC1"), name},
            {QStringLiteral("COND_PAG"), QStringLiteral("RD")},
            {QStringLiteral("TIPO_CLIENTE"), QStringLiteral("SC")}};
}

// Company "01" with its standard data and the counter of customer codes.
class F110AnacTest : public Orlavo::Testing::ContextTest<ActingPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        context->state.userType = 2;
        addStandardData();
    }

    // A statement of another workstation, on a connection of its own.
    void elsewhere(const QString &sql)
    {
        Orlavo::Testing::Workstation other(archives->config());
        ASSERT_TRUE(other.open());
        other.exec(sql);
    }

    std::unique_ptr<F110Anac> open(Mode mode, int code = 0)
    {
        auto window = std::make_unique<F110Anac>(*context, mode, code);
        EXPECT_TRUE(window->loaded());
        return window;
    }

    static void type(F110Anac &window, const Fields &fields)
    {
        for (const auto &[name, text] : fields)
            window.setValue(name, text);
    }

    // A stored customer, written by the store.
    int stored(const QString &name, const QHash<QString, QString> &main = {}, bool withRows = false)
    {
        Customer customer = newCustomer(context->db);
        for (const auto &[column, text] : valid(name))
            customer.main().setText(column, text);
        for (auto it = main.begin(); it != main.end(); ++it)
            customer.main().setText(it.key(), it.value());
        if (withRows) {
            customer.part(Contact).setText(QStringLiteral("RESPONSABILE"), name);
            customer.part(Personal).setText(QStringLiteral("CITTA_NASC"), QStringLiteral("ASTI"));
        }
        int code = 0;
        EXPECT_EQ(insertInto(context->db, customer, &code), Services::WriteEnd::Written);
        return code;
    }

    // The fields marked as failing, by name.
    static QStringList red(const F110Anac &window)
    {
        QStringList names;
        for (const QWidget *widget : window.findChildren<QWidget *>()) {
            if (widget->objectName().startsWith(QLatin1String("T_")) && hasFieldError(widget))
                names << widget->objectName().mid(2);
        }
        names.sort();
        return names;
    }

    // The last message is the database error of the save at that step.
    bool failedAt(const QString &step) const
    {
        const QString text = prompter.texts().last();
        return text.startsWith(QStringLiteral("Rilevato errore su Anagrafica clienti\n")) &&
               text.contains(QStringLiteral("Step ") + step + QLatin1Char('\n')) &&
               text.contains(QStringLiteral("scrittura bloccata"));
    }

    QVariant scalar(const QString &sql) { return archives->scalar(sql); }
    int counter() { return scalar(QStringLiteral("SELECT NUMERATORE FROM NUMERA WHERE NOME = 'ANAC'")).toInt(); }
    int rows(const char *table, int code)
    {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CLIENTE = %2").arg(QLatin1String(table)).arg(code))
            .toInt();
    }
    QString customerText(const char *column, int code)
    {
        return scalar(QStringLiteral("SELECT %1 FROM ANAG_CLI WHERE CLIENTE = %2").arg(QLatin1String(column)).arg(code))
            .toString();
    }
};

TEST_P(F110AnacTest, InsertsTakeConsecutiveCodesAndTheWindowStartsAgainWithTheDefaults)
{
    auto window = open(Mode::Insert);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Inserimento cliente"));
    int code = 0;
    for (const QString &name : {QStringLiteral("Rossi Srl"), QStringLiteral("Bianchi Spa")}) {
        SCOPED_TRACE(name.toStdString());
        type(*window, valid(name) + Fields{{QStringLiteral("CITTA_LEG"), QStringLiteral("Torino")}});
        window->tabs()->setCurrentIndex(2);
        window->field(QStringLiteral("RAG_SOC1"))->setFocus();
        prompter.clear();
        ASSERT_TRUE(window->save()) << prompter.texts().join(QLatin1Char('|')).toStdString();
        ++code;
        EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, QStringLiteral("Assegnato codice %1").arg(code)}));
        EXPECT_EQ(customerText("RAG_SOC1", code), name);
        EXPECT_EQ(counter(), code);

        // Ready for the next one: the defaults, the first tab, the secondary code.
        EXPECT_FALSE(window->hasChanges());
        EXPECT_TRUE(window->value(QStringLiteral("RAG_SOC1")).isEmpty());
        EXPECT_TRUE(window->value(QStringLiteral("CITTA_LEG")).isEmpty());
        EXPECT_EQ(window->value(QStringLiteral("CONTO_RICAVO")), QStringLiteral("041001"));
        EXPECT_EQ(window->value(QStringLiteral("CONTO_PATRIM")), QStringLiteral("012001"));
        EXPECT_EQ(static_cast<QComboBox *>(window->field(QStringLiteral("NAZIONE")))->currentText(),
                  QStringLiteral("ITALIA"));
        EXPECT_EQ(static_cast<QComboBox *>(window->field(QStringLiteral("UBICAZIONE")))->currentText(),
                  QStringLiteral("INTERNO"));
        EXPECT_EQ(window->tabs()->currentIndex(), 0);
        EXPECT_EQ(window->focusWidget(), window->field(QStringLiteral("CODICE2")));
    }
}

TEST_P(F110AnacTest, ContactAndPersonalRowsOnlyWhenTheirTabsWereFilled)
{
    struct Case {
        const char *label;
        Fields fields;
        int contact;
        int personal;
    };
    const QList<Case> cases = {
        {"main data only", {}, 0, 0},
        {"the main phone is not the contact's", {{QStringLiteral("TELEFONO1"), QStringLiteral("011 111")}}, 0, 0},
        {"the contact's phone", {{QStringLiteral("CONT_TELEFONO1"), QStringLiteral("011 222")}}, 1, 0},
        {"the closing day", {{QStringLiteral("GIORNO_CHIU"), QStringLiteral("LUNEDI'")}}, 1, 0},
        {"the place of birth", {{QStringLiteral("CITTA_NASC"), QStringLiteral("ASTI")}}, 0, 1},
        {"both", {{QStringLiteral("RESPONSABILE"), QStringLiteral("Mario")}, {QStringLiteral("SESSO"), "F"}}, 1, 1},
    };
    auto window = open(Mode::Insert);
    int code = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        type(*window, valid(QString::fromLatin1(c.label)) + c.fields);
        ASSERT_TRUE(window->save());
        ++code;
        EXPECT_EQ(rows("CONT_CLI", code), c.contact);
        EXPECT_EQ(rows("PERS_CLI", code), c.personal);
    }
    // Each phone in its own table.
    EXPECT_EQ(scalar(QStringLiteral("SELECT TELEFONO1 FROM CONT_CLI WHERE CLIENTE = 3")).toString(),
              QStringLiteral("011 222"));
    EXPECT_EQ(customerText("TELEFONO1", 3), QString());
    EXPECT_EQ(customerText("TELEFONO1", 2), QStringLiteral("011 111"));
}

TEST_P(F110AnacTest, EveryFailingFieldTurnsRedAndTheLastCheckSpeaksOnItsTab)
{
    struct Case {
        const char *label;
        Fields fields; // over a valid customer
        int startTab;
        QStringList failing;
        QString message;
        QString last;
        int tab;
    };
    const QList<Case> cases = {
        {"name last, on no tab",
         {{QStringLiteral("PROVINCIA_LEG"), QStringLiteral("ZZ")},
          {QStringLiteral("PART_IVA"), QStringLiteral("12345678901")},
          {QStringLiteral("RAG_SOC1"), QString()}},
         3,
         {QStringLiteral("PART_IVA"), QStringLiteral("PROVINCIA_LEG"), QStringLiteral("RAG_SOC1")},
         QStringLiteral("Ragione sociale - Obbligatoria !"),
         QStringLiteral("RAG_SOC1"),
         3},
        {"province of the administrative office after the others",
         {{QStringLiteral("DATA_NASC"), QStringLiteral("31/02/1980")},
          {QStringLiteral("SCONTO2"), QStringLiteral("120")},
          {QStringLiteral("PROVINCIA_AMM"), QStringLiteral("ZZ")}},
         4,
         {QStringLiteral("DATA_NASC"), QStringLiteral("PROVINCIA_AMM"), QStringLiteral("SCONTO2")},
         QStringLiteral("Sigla provincia sconosciuta ! "),
         QStringLiteral("PROVINCIA_AMM"),
         0},
        {"last visit on the contact tab",
         {{QStringLiteral("DATA_NASC"), QStringLiteral("1/13/1980")},
          {QStringLiteral("ULT_VISITA"), QStringLiteral("32/01/2020")}},
         0,
         {QStringLiteral("DATA_NASC"), QStringLiteral("ULT_VISITA")},
         QStringLiteral("Data ultima visita non valida !"),
         QStringLiteral("ULT_VISITA"),
         3},
        {"revenue account on the accounting tab",
         {{QStringLiteral("SCONTO1"), QStringLiteral("100")},
          {QStringLiteral("COND_PAG"), QString()},
          {QStringLiteral("CONTO_RICAVO"), QStringLiteral("012001")}},
         4,
         {QStringLiteral("COND_PAG"), QStringLiteral("CONTO_RICAVO"), QStringLiteral("SCONTO1")},
         QStringLiteral("Conto Ricavo sconosciuto ! "),
         QStringLiteral("CONTO_RICAVO"),
         2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        prompter.clear();
        auto window = open(Mode::Insert);
        type(*window, valid(QStringLiteral("Rossi")) + c.fields);
        window->tabs()->setCurrentIndex(c.startTab);
        EXPECT_FALSE(window->save());
        EXPECT_EQ(prompter.texts(), QStringList{c.message});
        EXPECT_EQ(red(*window), c.failing);
        EXPECT_EQ(window->tabs()->currentIndex(), c.tab);
        EXPECT_EQ(window->focusWidget(), window->field(c.last));
        EXPECT_EQ(archives->count(QStringLiteral("ANAG_CLI")), 0);
        EXPECT_EQ(counter(), 0);
    }

    // A field put right loses its mark at the next confirm.
    auto window = open(Mode::Insert);
    type(*window, valid(QString()) + Fields{{QStringLiteral("PART_IVA"), QStringLiteral("12345678901")}});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(red(*window), (QStringList{QStringLiteral("PART_IVA"), QStringLiteral("RAG_SOC1")}));
    window->setValue(QStringLiteral("PART_IVA"), QStringLiteral("12345678903"));
    EXPECT_FALSE(window->save());
    EXPECT_EQ(red(*window), QStringList{QStringLiteral("RAG_SOC1")});
    window->setValue(QStringLiteral("RAG_SOC1"), QStringLiteral("Rossi"));
    EXPECT_TRUE(window->save());
    EXPECT_EQ(customerText("PART_IVA", 1), QStringLiteral("12345678903"));
}

TEST_P(F110AnacTest, ADoubtfulTaxCodeIsKeptOnlyWhenTheOperatorSaysSo)
{
    // A valid personal code tells sex and birth date, a day from 41 a woman.
    const QList<std::tuple<QString, QString, QString>> people = {
        {QStringLiteral("VRDLRA85T41L219D"), QStringLiteral("F"), QStringLiteral("01/12/1985")},
        {QStringLiteral("RSSMRA70A02A479O"), QStringLiteral("M"), QStringLiteral("02/01/1970")},
    };
    for (const auto &[code, sex, birth] : people) {
        auto window = open(Mode::Insert);
        window->setValue(QStringLiteral("COD_FISC"), code);
        window->leaveField(QStringLiteral("COD_FISC"));
        EXPECT_EQ(window->value(QStringLiteral("SESSO")), sex) << code.toStdString();
        EXPECT_EQ(window->value(QStringLiteral("DATA_NASC")), birth) << code.toStdString();
    }
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();

    const QString shortCode = QStringLiteral("RSSMRA85T10A562");
    const QString question = QStringLiteral("Codice fiscale errato\nNon è completo.\nMantenere ugualmente");
    auto window = open(Mode::Insert);
    type(*window, valid(QStringLiteral("Rossi")) + Fields{{QStringLiteral("COD_FISC"), shortCode}});

    // Refused at confirm: the check's message, nothing written.
    prompter.queue(Prompter::Button::No);
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{question, QStringLiteral("Codice fiscale errato ! ")}));
    EXPECT_EQ(red(*window), QStringList{QStringLiteral("COD_FISC")});
    EXPECT_EQ(archives->count(QStringLiteral("ANAG_CLI")), 0);

    // Kept on leaving the field: not asked again, stored as typed.
    prompter.clear();
    prompter.queue(Prompter::Button::Yes);
    window->leaveField(QStringLiteral("COD_FISC"));
    EXPECT_EQ(prompter.texts(), QStringList{question});
    EXPECT_TRUE(red(*window).isEmpty());
    EXPECT_TRUE(window->value(QStringLiteral("SESSO")).isEmpty());
    prompter.clear();
    EXPECT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, QStringLiteral("Assegnato codice 1")}));
    EXPECT_EQ(customerText("COD_FISC", 1), shortCode);

    // Kept when asked at confirm.
    type(*window, valid(QStringLiteral("Bianchi")) + Fields{{QStringLiteral("COD_FISC"), QStringLiteral("X1")}});
    prompter.clear();
    prompter.queue(Prompter::Button::Yes);
    EXPECT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{question, kConfirm, QStringLiteral("Assegnato codice 2")}));
    EXPECT_EQ(customerText("COD_FISC", 2), QStringLiteral("X1"));
}

TEST_P(F110AnacTest, AnIdentifierOfAnotherCustomerIsAskedAbout)
{
    const int other =
        stored(QStringLiteral("Altro"), {{QStringLiteral("PART_IVA"), QStringLiteral("12345678903")},
                                         {QStringLiteral("COD_FISC"), QStringLiteral("RSSMRA70A02A479O")}});
    const QList<std::pair<QString, QString>> cases = {
        {QStringLiteral("PART_IVA"), QStringLiteral("Partita iva già presente in archivio !\nContinuare ugualmente?")},
        {QStringLiteral("COD_FISC"),
         QStringLiteral("Codice fiscale già presente in archivio !\nContinuare ugualmente?")},
    };
    int written = 1;
    for (const auto &[column, question] : cases) {
        SCOPED_TRACE(column.toStdString());
        auto window = open(Mode::Insert);
        type(*window, valid(QStringLiteral("Rossi")));
        window->setValue(column, customerText(column.toLatin1().constData(), other));
        prompter.clear();
        prompter.queue(Prompter::Button::No);
        EXPECT_FALSE(window->save());
        EXPECT_EQ(prompter.texts(), QStringList{question});
        EXPECT_EQ(archives->count(QStringLiteral("ANAG_CLI")), written);
        EXPECT_EQ(counter(), written);

        prompter.clear();
        prompter.queue(Prompter::Button::Yes);
        EXPECT_TRUE(window->save());
        EXPECT_EQ(prompter.texts().mid(0, 2), (QStringList{question, kConfirm}));
        EXPECT_EQ(archives->count(QStringLiteral("ANAG_CLI")), ++written);
    }

    // The customer's own value, as loaded, is no duplicate.
    auto window = open(Mode::Modify, other);
    window->setValue(QStringLiteral("RAG_SOC2"), QStringLiteral("Sede"));
    prompter.clear();
    EXPECT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
}

TEST_P(F110AnacTest, DroppingThePersonalPriceListDeletesItWithTheUpdateOrNothing)
{
    const QHash<QString, QString> personal = {{QStringLiteral("TIPOLISTINO"), QStringLiteral("P")}};
    const int code = stored(QStringLiteral("Rossi"), personal);
    const int other = stored(QStringLiteral("Bianchi"), personal);
    for (const int c : {code, other}) {
        run(QStringLiteral("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (%1, 'ACM', 'A1', 3)")
                .arg(c));
        run(QStringLiteral("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA) VALUES (%1, 'ACM')").arg(c));
    }
    auto window = open(Mode::Modify, code);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Modifica cliente"));
    EXPECT_EQ(window->value(QStringLiteral("TIPOLISTINO")), QStringLiteral("P"));
    type(*window, {{QStringLiteral("TIPOLISTINO"), QStringLiteral("S")},
                   {QStringLiteral("RAG_SOC1"), QStringLiteral("Rossi Spa")},
                   {QStringLiteral("CONT_TELEFONO1"), QStringLiteral("011 222")}});

    // The contact row fails after the lists were deleted: all rolled back.
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), QStringLiteral("CONT_CLI")),
              QString());
    prompter.queue(Prompter::Button::Ok);
    EXPECT_FALSE(window->save());
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_EQ(prompter.texts().first(), kListWarning);
    EXPECT_TRUE(failedAt(QStringLiteral("Agg. cont cli 2"))) << prompter.texts().last().toStdString();
    EXPECT_EQ(rows("LIST_VEN", code) + rows("TAB_SCONCLI", code), 2);
    EXPECT_EQ(customerText("TIPOLISTINO", code) + customerText("RAG_SOC1", code), QStringLiteral("PRossi"));
    EXPECT_EQ(window->value(QStringLiteral("CONT_TELEFONO1")), QStringLiteral("011 222"));
    EXPECT_EQ(window->value(QStringLiteral("TIPOLISTINO")), QStringLiteral("S"));

    ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), QStringLiteral("CONT_CLI")),
              QString());
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    EXPECT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{kListWarning});
    EXPECT_EQ(rows("LIST_VEN", code) + rows("TAB_SCONCLI", code), 0);
    EXPECT_EQ(rows("LIST_VEN", other) + rows("TAB_SCONCLI", other), 2);
    EXPECT_EQ(customerText("TIPOLISTINO", code) + customerText("RAG_SOC1", code), QStringLiteral("SRossi Spa"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TELEFONO1 FROM CONT_CLI WHERE CLIENTE = %1").arg(code)).toString(),
              QStringLiteral("011 222"));
    // The record reloaded: nothing left to write, the plain question next time.
    EXPECT_FALSE(window->hasChanges());
    window->setValue(QStringLiteral("RAG_SOC2"), QStringLiteral("Sede"));
    prompter.clear();
    EXPECT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
}

TEST_P(F110AnacTest, AUserWithoutWriteRightsWritesNothing)
{
    const int code = stored(QStringLiteral("Rossi"));
    context->state.userType = 0;
    auto insert = open(Mode::Insert);
    type(*insert, valid(QStringLiteral("Bianchi")));
    auto modify = open(Mode::Modify, code);
    modify->setValue(QStringLiteral("RAG_SOC1"), QStringLiteral("Verdi"));
    EXPECT_FALSE(insert->save());
    EXPECT_FALSE(modify->save());
    EXPECT_FALSE(modify->remove());
    ASSERT_EQ(prompter.texts().size(), 3);
    for (const QString &text : prompter.texts())
        EXPECT_TRUE(text.startsWith(QStringLiteral("Operazione non consentita : "))) << text.toStdString();
    EXPECT_EQ(archives->count(QStringLiteral("ANAG_CLI")), 1);
    EXPECT_EQ(customerText("RAG_SOC1", code), QStringLiteral("Rossi"));
    EXPECT_EQ(counter(), 1);
}

TEST_P(F110AnacTest, ARecordChangedOrDeletedElsewhereIsNotOverwritten)
{
    const int code = stored(QStringLiteral("Rossi"));
    auto window = open(Mode::Modify, code);
    window->setValue(QStringLiteral("RAG_SOC1"), QStringLiteral("Rossi Spa"));
    const auto changeElsewhere = [this, code] {
        elsewhere(QStringLiteral("UPDATE ANAG_CLI SET RAG_SOC2 = 'Altrove' WHERE CLIENTE = %1").arg(code));
    };

    // Changed: Cancel keeps the other workstation's row.
    prompter.onText = kConfirm;
    prompter.action = changeElsewhere;
    prompter.queue(Prompter::Button::Ok);
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, Services::Concurrency::changedElsewhere()}));
    EXPECT_EQ(prompter.shown().last().buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(customerText("RAG_SOC1", code) + customerText("RAG_SOC2", code), QStringLiteral("RossiAltrove"));

    // OK writes the operator's change over it.
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    prompter.queue(Prompter::Button::Ok);
    EXPECT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, Services::Concurrency::changedElsewhere()}));
    EXPECT_EQ(customerText("RAG_SOC1", code), QStringLiteral("Rossi Spa"));

    // Deleted: said so, and the row is not written again.
    window->setValue(QStringLiteral("RAG_SOC1"), QStringLiteral("Rossi Sas"));
    window->setValue(QStringLiteral("RESPONSABILE"), QStringLiteral("Mario"));
    prompter.clear();
    prompter.onText = kConfirm;
    prompter.action = [this, code] { elsewhere(QStringLiteral("DELETE FROM ANAG_CLI WHERE CLIENTE = %1").arg(code)); };
    prompter.queue(Prompter::Button::Ok);
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, Services::Concurrency::deletedElsewhere()}));
    EXPECT_EQ(prompter.titles().last(), QStringLiteral("Anagrafica clienti"));
    EXPECT_EQ(rows("ANAG_CLI", code) + rows("CONT_CLI", code), 0);

    // A delete meets the same check.
    const int second = stored(QStringLiteral("Bianchi"));
    auto doomed = open(Mode::Modify, second);
    prompter.clear();
    prompter.onText = kDeleteQuestion;
    prompter.action = [this, second] {
        elsewhere(QStringLiteral("UPDATE ANAG_CLI SET NOTE1 = 'Nuovo' WHERE CLIENTE = %1").arg(second));
    };
    prompter.queue(Prompter::Button::Ok);
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(doomed->remove());
    EXPECT_EQ(prompter.texts(), (QStringList{kDeleteQuestion, Services::Concurrency::changedElsewhere()}));
    EXPECT_EQ(rows("ANAG_CLI", second), 1);
}

TEST_P(F110AnacTest, AFailedInsertLeavesNoRowNoCodeTakenAndTheInput)
{
    auto window = open(Mode::Insert);
    type(*window, valid(QStringLiteral("Rossi")) + Fields{{QStringLiteral("RESPONSABILE"), QStringLiteral("Mario")}});
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), QStringLiteral("ANAG_CLI")),
              QString());
    prompter.queue(Prompter::Button::Ok);
    EXPECT_FALSE(window->save());
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_TRUE(failedAt(QStringLiteral("Ins. cli"))) << prompter.texts().last().toStdString();
    EXPECT_EQ(archives->count(QStringLiteral("ANAG_CLI")) + archives->count(QStringLiteral("CONT_CLI")), 0);
    EXPECT_EQ(counter(), 0);
    EXPECT_EQ(window->value(QStringLiteral("RAG_SOC1")), QStringLiteral("Rossi"));
    EXPECT_EQ(window->value(QStringLiteral("RESPONSABILE")), QStringLiteral("Mario"));
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);

    ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), QStringLiteral("ANAG_CLI")),
              QString());
    prompter.clear();
    EXPECT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, QStringLiteral("Assegnato codice 1")}));
}

TEST_P(F110AnacTest, DeletingTakesEveryRowOfThatCustomerOnly)
{
    const int code = stored(QStringLiteral("Rossi"), {}, true);
    const int other = stored(QStringLiteral("Bianchi"), {}, true);
    for (const int c : {code, other}) {
        run(QStringLiteral("INSERT INTO CONS_MERCE (CLIENTE, COD_LUOGO, DESC_LUOGO) VALUES (%1, 1, 'Cantiere')")
                .arg(c));
        run(QStringLiteral("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (%1, 'ACM', 'A1', 3)")
                .arg(c));
        run(QStringLiteral("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA) VALUES (%1, 'ACM')").arg(c));
    }
    const char *const tables[] = {"ANAG_CLI", "CONT_CLI", "PERS_CLI", "CONS_MERCE", "LIST_VEN", "TAB_SCONCLI"};
    const auto all = [&](int c) {
        int total = 0;
        for (const char *table : tables)
            total += rows(table, c);
        return total;
    };
    ASSERT_EQ(all(code), 6);

    // Inserting there is nothing to delete.
    EXPECT_FALSE(open(Mode::Insert)->remove());
    EXPECT_TRUE(prompter.texts().isEmpty());

    auto window = open(Mode::Modify, code);
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(all(code), 6);

    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    EXPECT_TRUE(window->remove());
    EXPECT_EQ(prompter.texts(), QStringList{kDeleteQuestion});
    for (const char *table : tables) {
        EXPECT_EQ(rows(table, code), 0) << table;
        EXPECT_EQ(rows(table, other), 1) << table;
    }
}

TEST_P(F110AnacTest, CancelAsksBeforeDroppingTheInput)
{
    const int code = stored(QStringLiteral("Rossi"));
    auto window = open(Mode::Modify, code);
    window->cancel();
    EXPECT_TRUE(prompter.texts().isEmpty());

    type(*window, {{QStringLiteral("RAG_SOC1"), QStringLiteral("Verdi")}, {QStringLiteral("SESSO"), "M"}});
    prompter.queue(Prompter::Button::No);
    window->cancel();
    EXPECT_EQ(prompter.texts(), QStringList{kDrop});
    EXPECT_EQ(window->value(QStringLiteral("RAG_SOC1")), QStringLiteral("Verdi"));
    EXPECT_TRUE(window->hasChanges());

    prompter.clear();
    prompter.queue(Prompter::Button::Yes);
    window->cancel();
    EXPECT_EQ(prompter.texts(), QStringList{kDrop});
    EXPECT_EQ(window->value(QStringLiteral("RAG_SOC1")), QStringLiteral("Rossi"));
    EXPECT_TRUE(window->value(QStringLiteral("SESSO")).isEmpty());
    EXPECT_FALSE(window->hasChanges());
    EXPECT_EQ(customerText("RAG_SOC1", code), QStringLiteral("Rossi"));
}

ORLAVO_FOR_EACH_ENGINE(F110AnacTest);

} // namespace
