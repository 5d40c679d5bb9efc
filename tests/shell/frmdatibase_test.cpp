#include "files.h"
#include "fixtures.h"
#include "services/core/tablenames.h"
#include "shell/stores/basedata.h"
#include "shell/windows/frmdatibase.h"
#include "shellfixtures.h"
#include "ui/fieldlook.h"

#include <QApplication>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Testing::readBytes;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kConfirm = QStringLiteral("Confermi modifiche ?");
const QStringList kCheckedFields = {"T_periva",   "T_banca",   "T_anno",   "T_magazzino",     "T_prlistper",
                                    "T_prlistba", "T_prultco", "T_pracqf", "T_ricercainizio", "T_ricercafine"};

// Company "01" with two banks, a VAT code and two warehouses, working in 2026.
class FrmDatiBaseTest : public Orlavo::Testing::WindowTest<FrmDatiBase>
{
protected:
    void prepare() override
    {
        for (const QString &sql :
             {QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES ('01', 'Ditta Prova Srl')")
                  .arg(Tables::SOCIETA),
              QStringLiteral("INSERT INTO %1 (SOCIETA, BANCA, PERCIVA, LIQUIVA, NUMERAZ, REGIVA, MAGAZZINO) "
                             "VALUES ('01', 'BPM01', 'E15', 'M', -1, 0, 'M1')")
                  .arg(Tables::DATIBASE),
              QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES ('BPM01', 'Banca Popolare'), "
                             "('CR002', 'Cassa Rurale')")
                  .arg(Tables::TAB_BAN_PAG),
              QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE, ALIQUOTA) VALUES ('E15', 'IVA 15%', 15)")
                  .arg(Tables::TAB_PERIVA),
              QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES ('M1', 'Centrale'), ('M2', 'Deposito')")
                  .arg(Tables::TAB_MAGAZZINI)})
            run(sql);
        workAs(QStringLiteral("MARIO"), 2);
        context->state.year = QStringLiteral("2026");
        context->state.bankCode = QStringLiteral("BPM01");
        context->state.upperCaseKeys = true;
        context->settings.write(QStringLiteral("MAIN"), QStringLiteral("ANNO"), QStringLiteral("2026"));
    }

    void open()
    {
        window = std::make_unique<FrmDatiBase>(*context);
        window->setOnSaved([this] { ++saves; });
        prompter.clear();
    }

    void set(const char *name, const QString &text) const { field(name)->setText(text); }
    bool ticked(const char *name) const { return child<QAbstractButton>(QString::fromLatin1(name))->isChecked(); }
    QStringList redFields() const
    {
        QStringList red;
        for (const QString &name : kCheckedFields) {
            if (Ui::hasFieldError(child(name)))
                red << name;
        }
        return red;
    }

    QString stored(const char *column) const
    {
        return archives
            ->scalar(
                QStringLiteral("SELECT %1 FROM %2 WHERE SOCIETA = '01'").arg(QLatin1String(column), Tables::DATIBASE))
            .toString();
    }
    QByteArray iniBytes() const { return readBytes(context->settings.path()); }

    int saves = 0;
};

} // namespace

TEST_P(FrmDatiBaseTest, EveryFailingCheckIsListedInTheWindowsOrder)
{
    using P = Services::FieldProblem;
    const BaseData data{QStringLiteral("BPM01"), QStringLiteral("E15"), QStringLiteral("M"), true, false,
                        QStringLiteral("M1")};
    const BaseOptions options = readBaseOptions(context->settings, QStringLiteral("2026"));
    const struct {
        const char *name;
        std::function<void(BaseData &, BaseOptions &)> edit;
        QList<P> problems;
    } cases[] = {
        {"unreadable period",
         [](BaseData &d, BaseOptions &) { d.vatPeriod.clear(); },
         {{"LIQUIVA", "Dati per liquidazione Iva errati"}}},
        {"no VAT code",
         [](BaseData &d, BaseOptions &) { d.vatCode.clear(); },
         {{"PERCIVA", "Codice Iva obbligatorio"}}},
        {"several, in order",
         [](BaseData &d, BaseOptions &o) {
             d.vatCode = "--", d.bank = "XX", d.warehouse = "ZZ", o.year = "25", o.searchTo = "31/02/2026";
         },
         {{"PERCIVA", "Codice Iva errato"},
          {"BANCA", "Banca principale errata"},
          {"ANNO", "Anno elaborazione errato"},
          {"MAGAZZINO", "Codice magazzino err"},
          {"RICERCAFINE", "Data errata"}}},
        {"no bank, no year",
         [](BaseData &d, BaseOptions &o) { d.bank.clear(), o.year.clear(); },
         {{"BANCA", "Banca principale obbligatoria"}, {"ANNO", "Anno elaborazione errato"}}},
        {"a repeated priority marks both",
         [](BaseData &, BaseOptions &o) {
             o.priorities = {1, 1, 3, 4};
         },
         {{"PRIORITA1", "Dati ripetuti"}, {"PRIORITA2", "Dati ripetuti"}}},
    };
    for (const auto &c : cases) {
        BaseData d = data;
        BaseOptions o = options;
        c.edit(d, o);
        EXPECT_EQ(checkBaseData(context->db, d, o), c.problems) << c.name;
    }
    // No bank at all: where banks are entered, whatever was typed.
    run(QStringLiteral("DELETE FROM %1").arg(Tables::TAB_BAN_PAG));
    EXPECT_EQ(checkBaseData(context->db, data, options),
              (QList<P>{{"BANCA", "Inserire prima una banca in Contabilità > Banche > Banche Pagamento"}}));
}

TEST_P(FrmDatiBaseTest, ARefusalMarksTheFieldsAndCodesAreStoredAsTheirTablesHaveThem)
{
    // A new company's placeholders, and Registra run from the bank field.
    run(QStringLiteral("UPDATE %1 SET BANCA = '-----', PERCIVA = '--'").arg(Tables::DATIBASE));
    open();
    showActive();
    click("regiva");
    field("T_banca")->setFocus();
    window->save();
    Orlavo::Testing::expectRefused(prompter, QStringLiteral("Codice Iva errato"), Prompter::Icon::Warning,
                                   Prompter::Buttons::Ok, QStringLiteral("Errore!"));
    EXPECT_EQ(redFields(), (QStringList{"T_periva", "T_banca"}));
    EXPECT_EQ(QApplication::focusWidget(), field("T_periva"));
    EXPECT_EQ(stored("BANCA"), "-----");

    prompter.clear();
    set("T_periva", QStringLiteral("e15"));
    set("T_banca", QStringLiteral("cr002"));
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_TRUE(redFields().isEmpty());
    EXPECT_EQ(stored("BANCA") + stored("PERCIVA") + stored("REGIVA"), "CR002E15-1");
    EXPECT_EQ(field("T_banca")->text() + context->state.vatDescription, "CR002IVA 15%");
}

TEST_P(FrmDatiBaseTest, ACompanyWithoutARowGetsOne)
{
    run(QStringLiteral("DELETE FROM %1").arg(Tables::DATIBASE));
    ASSERT_TRUE(writeBaseData(context->db, QStringLiteral("01"),
                              {QStringLiteral("BPM01"), QStringLiteral("E15"), QStringLiteral("T"), false, true, {}}));
    EXPECT_EQ(stored("BANCA") + stored("LIQUIVA") + stored("REGIVA"), "BPM01T-1");
    EXPECT_EQ(archives->count(Tables::DATIBASE), 1);
}

TEST_P(FrmDatiBaseTest, LeavingAFieldChecksThatFieldAloneButNotOnTheWayToAnnulla)
{
    open();
    showActive();
    set("T_banca", {}); // never left: not checked
    QLineEdit *warehouse = field("T_magazzino");
    warehouse->setFocus();
    QTest::keyClicks(warehouse, QStringLiteral("zz"));
    QTest::keyClick(warehouse, Qt::Key_Tab);
    EXPECT_EQ(prompter.texts(), QStringList{"Codice magazzino err"});
    EXPECT_EQ(redFields(), QStringList{"T_magazzino"});

    prompter.clear();
    warehouse->setFocus();
    QTest::keyClicks(warehouse, QStringLiteral("zz"));
    QTest::mouseClick(child<QAbstractButton>(QStringLiteral("annulla")), Qt::LeftButton);
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(warehouse->text() + field("T_banca")->text(), "M1BPM01");
}

TEST_P(FrmDatiBaseTest, OpensOnTheCompanyRowThenRegistraAsksAndWritesTheRowTheStateAndTheOptions)
{
    open();
    EXPECT_EQ(field("D_banca")->text() + field("D_periva")->text() + field("D_magazzino")->text(),
              "Banca PopolareIVA 15%Centrale");
    EXPECT_EQ(child<QAbstractButton>(QStringLiteral("liquiva"))->text(), "MENSILE");
    EXPECT_TRUE(ticked("numeraz") && !ticked("regiva") && ticked("prezzoL") && ticked("scontiSI"));
    // The two missing defaults are written back at once, nothing else.
    EXPECT_EQ(setting("MAIN", "PREZZOBOLLA") + setting("MAIN", "SCONTICALCOLATI"), "LSI");
    EXPECT_TRUE(setting("MAIN", "TIPOFATTURA").isEmpty());
    const QByteArray before = iniBytes();
    window->save();
    EXPECT_TRUE(prompter.shown().isEmpty()) << "nothing changed, nothing asked";

    for (const char *name : {"liquiva", "numeraz", "regiva", "prezzoF", "arrotIva"})
        click(name);
    set("T_banca", QStringLiteral("CR002"));
    set("T_magazzino", {});
    set("T_ricercainizio", QStringLiteral("1/3/2026"));
    const int priorities[] = {2, 1, 4, 3};
    for (int i = 0; i < 4; ++i)
        child<QSpinBox>(kCheckedFields.at(4 + i))->setValue(priorities[i]);
    set("T_libero1", QStringLiteral("Colore"));

    prompter.queue(Prompter::Button::Cancel);
    window->save();
    EXPECT_EQ(stored("BANCA") + context->state.bankCode, "BPM01BPM01");
    EXPECT_EQ(iniBytes(), before);

    window->save();
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().last().text, kConfirm);
    EXPECT_EQ(prompter.shown().last().buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(stored("LIQUIVA") + stored("NUMERAZ") + stored("REGIVA") + stored("BANCA"), "T0-1CR002");
    EXPECT_TRUE(stored("MAGAZZINO").isEmpty());
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
    const char *expected[][3] = {{"MAIN", "PREZZOBOLLA", "F"},    {"MAIN", "ARROTIVASUPERIORE", "SI"},
                                 {"MAIN", "ANNO", "2026"},        {"MAGAZZINO", "RICERCAINIZIO", "01/03/2026"},
                                 {"MAGAZZINO", "PRLISTPER", "2"}, {"ARTICOLI", "LIBERO1", "Colore"}};
    for (const auto &[section, key, value] : expected)
        EXPECT_EQ(setting(section, key), value) << key;

    const Services::AppState &state = context->state;
    EXPECT_EQ(state.bankCode + state.bankDescription, "CR002Cassa Rurale");
    EXPECT_EQ(state.vatCode + state.vatPeriod + state.warehouse + state.vatRoundUp, "E15TSI");
    EXPECT_EQ(saves, 1);
}

TEST_P(FrmDatiBaseTest, AFailedWriteLeavesTheSettingsAndTheStateAsTheyWere)
{
    for (const bool lockedByAnother : {true, false}) {
        SCOPED_TRACE(lockedByAnother ? "locked by another" : "failing statement");
        if (lockedByAnother) {
            run(QStringLiteral("INSERT INTO %1 (AREA, UTENTE) VALUES ('TUTTO', 'LUIGI')").arg(Tables::SEMAFORO));
        } else {
            run(QStringLiteral("DELETE FROM %1").arg(Tables::SEMAFORO));
            refuseWrites(Tables::DATIBASE);
        }
        open();
        set("T_banca", QStringLiteral("CR002"));
        set("T_anno", QStringLiteral("2027"));
        set("T_libero1", QStringLiteral("Nuovo"));
        const QByteArray before = iniBytes();
        window->save();

        ASSERT_EQ(prompter.shown().size(), 2);
        const QString told = prompter.shown().last().text;
        EXPECT_TRUE(lockedByAnother ? told.contains(QStringLiteral("in uso esclusivo dall'utente LUIGI"))
                                    : told.startsWith(QStringLiteral("Rilevato errore su Modifica datibase\n")))
            << told.toStdString();
        EXPECT_EQ(iniBytes(), before);
        EXPECT_EQ(stored("BANCA"), "BPM01");
        EXPECT_EQ(counters(QStringLiteral("2027")), 0);
        EXPECT_EQ(context->state.bankCode + context->state.year, "BPM012026");
        // The input stays; only the other workstation's lock is left.
        EXPECT_EQ(field("T_banca")->text() + field("T_anno")->text(), "CR0022027");
        EXPECT_EQ(archives->count(Tables::SEMAFORO), lockedByAnother ? 1 : 0);
        EXPECT_EQ(saves, 0);
    }
}

// Which counters a new year gets: the counters' own test. Counters that
// cannot be made keep the year in use; the rest is registered, the typed
// year stays and Registra tries again.
TEST_P(FrmDatiBaseTest, ANewYearGetsItsCountersBeforeItIsWritten)
{
    open();
    refuseWrites(Tables::NUMERA);
    set("T_anno", QStringLiteral("2027"));
    set("T_libero1", QStringLiteral("Colore"));
    window->save();
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_TRUE(prompter.shown().last().text.startsWith(QStringLiteral("Rilevato errore su Verif. numeratori")));
    EXPECT_EQ(setting("MAIN", "ANNO") + context->state.year, "20262026");
    EXPECT_EQ(setting("ARTICOLI", "LIBERO1"), "Colore");
    EXPECT_EQ(counters(QStringLiteral("2027")), 0);
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);

    refuseWrites(Tables::NUMERA, false);
    prompter.clear();
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(setting("MAIN", "ANNO") + context->state.year, "20272027");
    EXPECT_GT(counters(QStringLiteral("2027")), 0);
}

ORLAVO_FOR_EACH_ENGINE(FrmDatiBaseTest);
