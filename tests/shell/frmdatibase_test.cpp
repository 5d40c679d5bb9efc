#include "contexttest.h"
#include "services/core/tablenames.h"
#include "shell/stores/basedata.h"
#include "shell/windows/frmdatibase.h"
#include "shell/windows/menu.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/lookuplist.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
using Orlavo::Testing::RecordingPrompter;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kConfirm = QStringLiteral("Confermi modifiche ?");
const QStringList kCheckedFields = {"T_periva",   "T_banca",   "T_anno",   "T_magazzino",     "T_prlistper",
                                    "T_prlistba", "T_prultco", "T_pracqf", "T_ricercainizio", "T_ricercafine"};

// Company "01" with a bank, a VAT code and two warehouses, working in 2026.
class FrmDatiBaseTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        run(QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES ('01', 'Ditta Prova Srl')").arg(Tables::SOCIETA));
        run(QStringLiteral("INSERT INTO %1 (SOCIETA, BANCA, PERCIVA, LIQUIVA, NUMERAZ, REGIVA, MAGAZZINO) "
                           "VALUES ('01', 'BPM01', 'E15', 'M', -1, 0, 'M1')")
                .arg(Tables::DATIBASE));
        run(QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES ('BPM01', 'Banca Popolare'), "
                           "('CR002', 'Cassa Rurale')")
                .arg(Tables::TAB_BAN_PAG));
        run(QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE, ALIQUOTA, TIPO_CODICE, DESC_TIPO) "
                           "VALUES ('E15', 'IVA 15%', 15, 'P', 'DETRAIBILE')")
                .arg(Tables::TAB_PERIVA));
        run(QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES ('M1', 'Centrale'), ('M2', 'Deposito')")
                .arg(Tables::TAB_MAGAZZINI));
        Services::AppState &state = context->state;
        state.company = QStringLiteral("01");
        state.companyName = QStringLiteral("Ditta Prova Srl");
        state.year = QStringLiteral("2026");
        state.bankCode = QStringLiteral("BPM01");
        state.user = QStringLiteral("MARIO");
        state.userType = 2;
        state.upperCaseKeys = true;
        context->settings.write(QStringLiteral("MAIN"), QStringLiteral("ANNO"), QStringLiteral("2026"));
    }

    void TearDown() override
    {
        window.reset();
        ContextTest::TearDown();
    }

    void open()
    {
        window = std::make_unique<FrmDatiBase>(*context);
        window->setColourPicker([this](const QColor &current, const QString &) {
            offered = current;
            return picked;
        });
        window->setOnBackgroundChanged([this] { ++repaints; });
        window->setOnSaved([this] { ++saves; });
        prompter.clear();
    }
    void showActive()
    {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T = QWidget> T *child(const QString &name) const
    {
        auto *widget = window->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QLineEdit *field(const char *name) const { return child<QLineEdit>(QString::fromLatin1(name)); }
    void set(const char *name, const QString &text) const { field(name)->setText(text); }
    void click(const char *name) const { child<QAbstractButton>(QString::fromLatin1(name))->click(); }
    bool ticked(const char *name) const { return child<QAbstractButton>(QString::fromLatin1(name))->isChecked(); }
    QString period() const { return child<QAbstractButton>(QStringLiteral("liquiva"))->text(); }
    void setPriorities(const Priorities &values) const
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            child<QSpinBox>(kCheckedFields.at(4 + qsizetype(i)))->setValue(values[i]);
    }
    QStringList redFields() const
    {
        QStringList red;
        for (const QString &name : kCheckedFields) {
            if (hasFieldError(child(name)))
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
    QString setting(const char *section, const char *key) const
    {
        return context->settings.read(QString::fromLatin1(section), QString::fromLatin1(key));
    }
    QByteArray iniBytes() const
    {
        QFile file(context->settings.path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    int counters(const char *year, const char *where = "1 = 1") const
    {
        return archives
            ->scalar(QStringLiteral("SELECT COUNT(*) AS N FROM %1 WHERE ANNO = ? AND %2")
                         .arg(Tables::NUMERA, QLatin1String(where)),
                     {QString::fromLatin1(year)})
            .toInt();
    }

    void refuseWrites(const QString &table)
    {
        ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), table), QString());
    }
    void allowWrites(const QString &table)
    {
        ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), table), QString());
    }

    std::unique_ptr<FrmDatiBase> window;
    QColor picked;
    QColor offered;
    int repaints = 0;
    int saves = 0;
};

} // namespace

TEST_P(FrmDatiBaseTest, OpensOnTheCompanyRowAndWritesBackTheTwoMissingDefaults)
{
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Gestione Dati Base della Società"));
    EXPECT_EQ(field("D_societa")->text(), "01");
    EXPECT_EQ(field("D_banca")->text(), "Banca Popolare");
    EXPECT_EQ(field("D_periva")->text(), "IVA 15%");
    EXPECT_EQ(field("D_magazzino")->text(), "Centrale");
    EXPECT_EQ(period(), "MENSILE");
    EXPECT_TRUE(ticked("numeraz"));
    EXPECT_FALSE(ticked("regiva"));
    EXPECT_EQ(field("T_anno")->text(), "2026");
    EXPECT_TRUE(ticked("prezzoL") && ticked("scontiSI"));
    EXPECT_EQ(setting("MAIN", "PREZZOBOLLA"), "L");
    EXPECT_EQ(setting("MAIN", "SCONTICALCOLATI"), "SI");
    EXPECT_TRUE(setting("MAIN", "TIPOFATTURA").isEmpty());
    EXPECT_TRUE(prompter.shown().isEmpty());

    // Stored values show as they are; none is rewritten.
    run(QStringLiteral("UPDATE %1 SET LIQUIVA = 'T'").arg(Tables::DATIBASE));
    context->settings.write(QStringLiteral("MAIN"), QStringLiteral("PREZZOBOLLA"), QStringLiteral("R"));
    context->settings.write(QStringLiteral("MAIN"), QStringLiteral("SCONTICALCOLATI"), QStringLiteral("NO"));
    context->settings.write(QStringLiteral("MAIN"), QStringLiteral("TIPOFATTURA"), QStringLiteral("** NON USATO **"));
    open();
    EXPECT_EQ(period(), "TRIMESTRALE");
    EXPECT_TRUE(ticked("prezzoR") && ticked("scontiNO") && ticked("tipoFatturaN"));
    EXPECT_EQ(setting("MAIN", "SCONTICALCOLATI"), "NO");

    // The unused invoice type stays through a registration that leaves it be.
    set("T_libero1", QStringLiteral("Colore"));
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(setting("MAIN", "TIPOFATTURA"), "** NON USATO **");
    EXPECT_EQ(setting("ARTICOLI", "LIBERO1"), "Colore");
}

TEST_P(FrmDatiBaseTest, NewCompanyPlaceholdersAreRefusedUntilRealCodesAreGiven)
{
    run(QStringLiteral("UPDATE %1 SET BANCA = '-----', PERCIVA = '--'").arg(Tables::DATIBASE));
    open();
    showActive();
    click("regiva");

    // The VAT code comes before the bank; both are marked. Registra run
    // from the bank field (by its key) tells only the VAT code's message.
    field("T_banca")->setFocus();
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{"Codice Iva errato"});
    EXPECT_EQ(prompter.titles(), QStringList{"Errore!"});
    EXPECT_EQ(redFields(), (QStringList{"T_periva", "T_banca"}));
    EXPECT_EQ(QApplication::focusWidget(), field("T_periva"));

    prompter.clear();
    set("T_periva", QStringLiteral("e15"));
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{"Banca principale errata"});
    EXPECT_EQ(redFields(), QStringList{"T_banca"});
    EXPECT_EQ(QApplication::focusWidget(), field("T_banca"));
    EXPECT_EQ(stored("BANCA"), "-----");

    // Codes match without regard to case and are kept as the tables have them.
    prompter.clear();
    set("T_banca", QStringLiteral("cr002"));
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_TRUE(redFields().isEmpty());
    EXPECT_EQ(stored("BANCA") + stored("PERCIVA") + stored("REGIVA"), "CR002E15-1");
    EXPECT_EQ(field("T_banca")->text(), "CR002");
    EXPECT_EQ(context->state.vatDescription, "IVA 15%");

    // A failing field on another page brings its page forward.
    prompter.clear();
    auto *tabs = child<QTabWidget>(QStringLiteral("schede"));
    tabs->setCurrentIndex(0);
    set("T_ricercafine", QStringLiteral("31/02/2026"));
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{"Data errata"});
    EXPECT_EQ(redFields(), QStringList{"T_ricercafine"});
    EXPECT_TRUE(tabs->currentWidget()->isAncestorOf(child(QStringLiteral("T_ricercafine"))));
}

TEST_P(FrmDatiBaseTest, ACompanyWithoutARowGetsOne)
{
    run(QStringLiteral("DELETE FROM %1").arg(Tables::DATIBASE));
    open();
    EXPECT_TRUE(field("T_banca")->text().isEmpty());
    set("T_banca", QStringLiteral("BPM01"));
    set("T_periva", QStringLiteral("E15"));
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(stored("BANCA") + stored("LIQUIVA"), "BPM01M");
    EXPECT_EQ(archives->count(Tables::DATIBASE), 1);
}

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
        QString only = {};
    } cases[] = {
        {"all right", [](BaseData &, BaseOptions &) {}, {}},
        {"unreadable period", [](BaseData &d, BaseOptions &) { d.vatPeriod.clear(); },
         {{"LIQUIVA", "Dati per liquidazione Iva errati"}}},
        {"no VAT code", [](BaseData &d, BaseOptions &) { d.vatCode.clear(); }, {{"PERCIVA", "Codice Iva obbligatorio"}}},
        {"codes in any case", [](BaseData &d, BaseOptions &) { d.vatCode = "e15", d.bank = "bpm01", d.warehouse = "m2"; },
         {}},
        {"several, in order",
         [](BaseData &d, BaseOptions &o) {
             d.bank = "XX", d.warehouse = "ZZ", o.year = "25", o.searchTo = "31/02/2026";
         },
         {{"BANCA", "Banca principale errata"},
          {"ANNO", "Anno elaborazione errato"},
          {"MAGAZZINO", "Codice magazzino err"},
          {"RICERCAFINE", "Data errata"}}},
        {"no bank, no year", [](BaseData &d, BaseOptions &o) { d.bank.clear(), o.year.clear(); },
         {{"BANCA", "Banca principale obbligatoria"}, {"ANNO", "Anno elaborazione errato"}}},
        {"a repeated priority marks both", [](BaseData &, BaseOptions &o) { o.priorities = {1, 1, 3, 4}; },
         {{"PRIORITA1", "Dati ripetuti"}, {"PRIORITA2", "Dati ripetuti"}}},
        {"one field alone", [](BaseData &d, BaseOptions &) { d.bank = "XX", d.warehouse = "ZZ"; },
         {{"MAGAZZINO", "Codice magazzino err"}}, QStringLiteral("MAGAZZINO")},
        {"a priority's check covers the four", [](BaseData &, BaseOptions &o) { o.priorities = {2, 2, 2, 1}; },
         {{"PRIORITA1", "Dati ripetuti"}, {"PRIORITA2", "Dati ripetuti"}, {"PRIORITA3", "Dati ripetuti"}},
         QStringLiteral("PRIORITA4")},
    };
    for (const auto &c : cases) {
        BaseData d = data;
        BaseOptions o = options;
        c.edit(d, o);
        EXPECT_EQ(checkBaseData(context->db, d, o, c.only), c.problems) << c.name;
    }
    // No bank at all: where banks are entered, whatever was typed.
    run(QStringLiteral("DELETE FROM %1").arg(Tables::TAB_BAN_PAG));
    EXPECT_EQ(checkBaseData(context->db, data, options),
              (QList<P>{{"BANCA", "Inserire prima una banca in Contabilità > Banche > Banche Pagamento"}}));
}

TEST_P(FrmDatiBaseTest, LeavingAFieldChecksThatFieldAlone)
{
    open();
    showActive();
    // A bank never left is not checked.
    set("T_banca", {});
    QLineEdit *warehouse = field("T_magazzino");
    warehouse->setFocus();
    QTest::keyClicks(warehouse, QStringLiteral("zz"));
    QTest::keyClick(warehouse, Qt::Key_Tab);
    EXPECT_EQ(prompter.texts(), QStringList{"Codice magazzino err"});
    EXPECT_EQ(redFields(), QStringList{"T_magazzino"});

    prompter.clear();
    warehouse->setFocus();
    QTest::keyClicks(warehouse, QStringLiteral("m2"));
    QTest::keyClick(warehouse, Qt::Key_Tab);
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_TRUE(redFields().isEmpty());
    EXPECT_EQ(field("D_magazzino")->text(), "Deposito");

    // On the way to Annulla nothing is checked.
    warehouse->setFocus();
    QTest::keyClicks(warehouse, QStringLiteral("zz"));
    QTest::mouseClick(child<QAbstractButton>(QStringLiteral("annulla")), Qt::LeftButton);
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(warehouse->text() + field("T_banca")->text(), "M1BPM01");
}

TEST_P(FrmDatiBaseTest, RegistraAsksThenWritesTheRowTheStateAndTheOptions)
{
    open();
    const QByteArray before = iniBytes();
    window->save();
    EXPECT_TRUE(prompter.shown().isEmpty()) << "nothing changed, nothing asked";

    click("liquiva");
    EXPECT_EQ(period(), "TRIMESTRALE");
    click("numeraz");
    click("regiva");
    set("T_banca", QStringLiteral("CR002"));
    set("T_magazzino", {});
    for (const char *name : {"prezzoF", "scontiNO", "tipoFatturaA", "stampaFatturaR", "arrotIva", "numerazNoteDeb",
                             "stampaDett", "forzaSI"})
        click(name);
    set("T_ricercainizio", QStringLiteral("1/3/2026"));
    setPriorities({2, 1, 4, 3});
    set("T_libero1", QStringLiteral("Colore"));
    set("T_libero2", QStringLiteral("Taglia"));

    // Cancelled: nothing anywhere.
    prompter.queue(Prompter::Button::Cancel);
    window->save();
    EXPECT_EQ(stored("BANCA"), "BPM01");
    EXPECT_EQ(iniBytes(), before);
    EXPECT_EQ(context->state.bankCode, "BPM01");

    window->save();
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().last().text, kConfirm);
    EXPECT_EQ(prompter.shown().last().icon, Prompter::Icon::Question);
    EXPECT_EQ(prompter.shown().last().buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(stored("LIQUIVA") + stored("NUMERAZ") + stored("REGIVA") + stored("BANCA"), "T0-1CR002");
    EXPECT_TRUE(stored("MAGAZZINO").isEmpty());
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
    const struct {
        const char *section, *key, *value;
    } expected[] = {{"MAIN", "PREZZOBOLLA", "F"},
                    {"MAIN", "SCONTICALCOLATI", "NO"},
                    {"MAIN", "TIPOFATTURA", "A"},
                    {"MAIN", "STAMPAFATTURA", "R"},
                    {"MAIN", "ARROTIVASUPERIORE", "SI"},
                    {"MAIN", "NUMERAZNOTEDEBSEP", "SI"},
                    {"MAIN", "STAMPADETTFATT", "SI"},
                    {"MAIN", "FORZAQTAORDINE", "SI"},
                    {"MAIN", "ANNO", "2026"},
                    {"MAGAZZINO", "RICERCAINIZIO", "01/03/2026"},
                    {"MAGAZZINO", "RICERCAFINE", ""},
                    {"MAGAZZINO", "PRLISTPER", "2"},
                    {"MAGAZZINO", "PRLISTBA", "1"},
                    {"MAGAZZINO", "PRULTCO", "4"},
                    {"MAGAZZINO", "PRACQF", "3"},
                    {"ARTICOLI", "LIBERO1", "Colore"},
                    {"ARTICOLI", "LIBERO2", "Taglia"}};
    for (const auto &e : expected)
        EXPECT_EQ(setting(e.section, e.key), e.value) << e.key;

    const Services::AppState &state = context->state;
    EXPECT_EQ(state.bankCode + state.bankDescription, "CR002Cassa Rurale");
    EXPECT_EQ(state.vatCode + state.vatPeriod + state.warehouse + state.vatRoundUp, "E15TSI");
    EXPECT_FALSE(state.separateNumbering);
    EXPECT_TRUE(state.vatRegister);
    EXPECT_EQ(saves, 1);

    // Back to monthly.
    click("liquiva");
    window->save();
    EXPECT_EQ(stored("LIQUIVA"), "M");
    EXPECT_EQ(saves, 2);
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
        click("prezzoV");
        const QByteArray before = iniBytes();
        window->save();

        ASSERT_EQ(prompter.shown().size(), 2);
        const QString told = prompter.shown().last().text;
        EXPECT_TRUE(lockedByAnother ? told.contains(QStringLiteral("in uso esclusivo dall'utente LUIGI"))
                                    : told.startsWith(QStringLiteral("Rilevato errore su Modifica datibase\n")))
            << told.toStdString();
        EXPECT_EQ(iniBytes(), before);
        EXPECT_EQ(stored("BANCA"), "BPM01");
        EXPECT_EQ(counters("2027"), 0);
        EXPECT_EQ(context->state.bankCode + context->state.year, "BPM012026");
        EXPECT_EQ(field("T_banca")->text() + field("T_anno")->text(), "CR0022027");
        // Only the other workstation's lock is left.
        EXPECT_EQ(archives->count(Tables::SEMAFORO), lockedByAnother ? 1 : 0);
        EXPECT_EQ(saves, 0);
    }
}

TEST_P(FrmDatiBaseTest, ANewYearGetsItsCountersBeforeItIsWritten)
{
    run(QStringLiteral("INSERT INTO %1 (ANNO, NOME, DESCRIZIONE, NUMERATORE, MAX_NUMERA) VALUES "
                       "('2026', 'FVEND', 'Fatture di vendita', 57, 500), ('2026', 'DDT', 'Trasporto', 12, 800)")
            .arg(Tables::NUMERA));
    open();
    set("T_anno", QStringLiteral("2027"));
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(setting("MAIN", "ANNO") + context->state.year, "20272027");
    EXPECT_EQ(counters("2027"), 2);
    EXPECT_EQ(counters("2027", "NUMERATORE = 0 AND MAX_NUMERA = 99999 AND NOME IN ('FVEND', 'DDT')"), 2);
    EXPECT_EQ(counters("2026", "NUMERATORE = 57 AND NOME = 'FVEND'"), 1);
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);

    // Registered: the same year again is no change.
    prompter.clear();
    window->save();
    EXPECT_TRUE(prompter.shown().isEmpty());

    // Counters that cannot be made keep the year; the rest is registered.
    refuseWrites(Tables::NUMERA);
    set("T_anno", QStringLiteral("2028"));
    set("T_libero1", QStringLiteral("Colore"));
    window->save();
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_TRUE(prompter.shown().last().text.startsWith(QStringLiteral("Rilevato errore su Verif. numeratori")));
    EXPECT_EQ(setting("MAIN", "ANNO") + context->state.year, "20272027");
    EXPECT_EQ(setting("ARTICOLI", "LIBERO1"), "Colore");
    EXPECT_EQ(counters("2028"), 0);
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);

    // The typed year stays, and Registra tries again.
    EXPECT_EQ(field("T_anno")->text(), "2028");
    allowWrites(Tables::NUMERA);
    window->save();
    EXPECT_EQ(setting("MAIN", "ANNO"), "2028");
    EXPECT_EQ(counters("2028"), 2);
}

TEST_P(FrmDatiBaseTest, ColourButtonsWriteTheirKeyAtOnce)
{
    open();
    picked = QColor(255, 0, 0);
    click("coloreSfondo");
    EXPECT_EQ(offered, QColor(0, 0, 192));
    EXPECT_EQ(setting("MENU", "COLORESFONDO"), "255");
    EXPECT_EQ(repaints, 1);

    picked = QColor(0, 128, 0);
    click("coloreEditB");
    EXPECT_EQ(setting("MENU", "COLOREEDITB"), "32768");
    EXPECT_EQ(field("T_esempio")->palette().color(QPalette::Base), picked);
    EXPECT_EQ(repaints, 1);

    // A cancelled dialog changes nothing.
    const QString shownBefore = setting("MENU", "COLOREPROB");
    picked = QColor();
    click("coloreProB");
    EXPECT_EQ(setting("MENU", "COLOREPROB"), shownBefore);
    picked = QColor(10, 20, 30);
    click("coloreProB");
    EXPECT_EQ(setting("MENU", "COLOREPROB"), "1971210");
    EXPECT_EQ(field("D_esempio")->palette().color(QPalette::Base), picked);
}

TEST_P(FrmDatiBaseTest, PrioritiesThatAreNotOneToFourAreWrittenInTheDefaultOrder)
{
    const struct {
        Priorities given, written;
    } cases[] = {{{4, 3, 2, 1}, {4, 3, 2, 1}}, {{5, 6, 7, 8}, {1, 2, 3, 4}}, {{2, 2, 3, 4}, {1, 2, 3, 4}}};
    for (const auto &c : cases) {
        BaseOptions options = readBaseOptions(context->settings, QStringLiteral("2026"));
        options.priorities = c.given;
        ASSERT_TRUE(writeBaseOptions(context->settings, options));
        EXPECT_EQ(readBaseOptions(context->settings, QStringLiteral("2026")).priorities, c.written) << c.given[0];
    }
}

TEST_P(FrmDatiBaseTest, LookupsListTheirTablesAndFillTheField)
{
    const struct {
        const char *field, *title, *code, *description, *descriptionField;
    } cases[] = {{"T_magazzino", "Lista Magazzini", "M2", "Deposito", "D_magazzino"}};
    open();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        set(c.field, {});
        QString title;
        QTimer::singleShot(0, [&] {
            if (auto *list = qobject_cast<LookupList *>(QApplication::activeModalWidget())) {
                title = list->windowTitle();
                list->choose(list->findPrefix(QString::fromLatin1(c.code)));
            }
        });
        QTest::keyClick(field(c.field), Qt::Key_F4);
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(field(c.field)->text(), c.code);
        EXPECT_EQ(field(c.descriptionField)->text(), c.description);
    }
}

TEST_P(FrmDatiBaseTest, TheMenuOpensOneWindowThatRepaintsTheDesktopAndShowsTheYear)
{
    Menu menu(*context);
    ASSERT_TRUE(menu.openCurrentCompany());
    auto *entry = menu.findChild<QAction *>(QStringLiteral("modi_dati_base"));
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    entry->trigger();
    EXPECT_EQ(menu.taskWindowCount(), 1);
    auto *opened = menu.findChild<FrmDatiBase *>();
    ASSERT_NE(opened, nullptr);

    opened->setColourPicker([](const QColor &, const QString &) { return QColor(0, 255, 0); });
    opened->findChild<QAbstractButton *>(QStringLiteral("coloreSfondo"))->click();
    EXPECT_EQ(menu.workspace()->background().color(), QColor(0, 255, 0));

    opened->findChild<QLineEdit *>(QStringLiteral("T_anno"))->setText(QStringLiteral("2027"));
    opened->save();
    EXPECT_EQ(menu.findChild<QLabel *>(QStringLiteral("pannelloAnno"))->text(), "Anno 2027");
}

ORLAVO_FOR_EACH_ENGINE(FrmDatiBaseTest);
