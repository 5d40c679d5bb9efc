#include "contexttest.h"
#include "files.h"
#include "masterdata/windows/tablewindow.h"
#include "reporting/rules/reportlist.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
namespace Tables = Orlavo::Services::Tables;

namespace {

using Orlavo::Testing::ActingPrompter;

using Fields = QList<QPair<QString, QString>>;

class TableWindowTest : public Orlavo::Testing::ContextTest<ActingPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        context->state.userType = 2;
        run(QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES ('03069', 'INTESA SANPAOLO')")
                .arg(Tables::TAB_ABI));
        run(QStringLiteral("INSERT INTO TAB_CAB (ABI, CAB, BANCA, CITTA) VALUES ('03069', '01000', 'TORINO CENTRO', "
                           "'TORINO')"));
    }

    std::unique_ptr<TableWindow> open(const char *name)
    {
        const TableForm *form = findTableForm(QString::fromLatin1(name));
        EXPECT_NE(form, nullptr);
        return std::make_unique<TableWindow>(*context, *form);
    }

    static void type(TableWindow &window, const Fields &fields)
    {
        for (const auto &[column, text] : fields)
            window.setValue(column, text);
    }

    QStringList red(TableWindow &window) const
    {
        QStringList columns;
        for (const FormField &field : window.form().fields) {
            if (hasFieldError(window.field(field.column)))
                columns << field.column;
        }
        return columns;
    }

    QVariant scalar(const QString &sql) { return archives->scalar(sql); }
};

TEST_P(TableWindowTest, AllChecksRunAndTheLastFailingOneIsShown)
{
    const QList<std::tuple<const char *, Fields, QString, QStringList>> cases = {
        {"frmCap", {}, QStringLiteral("C.A.P. -Obbligatorio !"), {"CAP", "CITTA", "PROVINCIA"}},
        {"frmCap",
         {{"CAP", "10100"}, {"CITTA", "Torino"}, {"PROVINCIA", "ZZ"}},
         QStringLiteral("Provincia sconosciuta !"),
         {"PROVINCIA"}},
        {"frmCab",
         {{"ABI", "99999"}, {"CAB", "01000"}, {"PROV", "ZZ"}},
         QStringLiteral("Codice A.B.I. sconosciuto !"),
         {"ABI", "BANCA", "PROV"}},
        {"frmCab",
         {{"ABI", "03069"}, {"CAB", "01000"}, {"BANCA", "Doppione"}},
         QStringLiteral("Codice Filiale già presente in archivio !"),
         {"CAB"}},
        {"frmBanApp",
         {{"CODICE", "B1"}, {"DESCRIZIONE", "Banca"}, {"ABI", "03069"}, {"CAB", "99999"}},
         QStringLiteral("Codice C.A.B. sconosciuto !"),
         {"CAB"}},
        {"frmBanApp",
         {},
         QStringLiteral("Codice Banca d'Appoggio - Obbligatorio !"),
         {"CODICE", "DESCRIZIONE", "ABI", "CAB"}},
        {"frmBanPag",
         {{"CODICE", "B1"}, {"DESCRIZIONE", "Banca"}, {"ABI", "03069"}, {"CAB", "01000"}, {"CNT_CONTAB", "ZZZ"}},
         QStringLiteral("Conto non presente sul Piano dei Conti !"),
         {"CNT_CONTAB"}},
        {"frmPaesi", {{"PAESE", "XX"}}, QStringLiteral("Descrizione paese - Obbligatoria !"), {"DESCRIZIONE"}},
        {"frmTipFo",
         {{"CODICE", "PR"}, {"DESCRIZIONE", "Professionista"}, {"RITENUTA", "S"}, {"PERC_RIT", "0"}},
         QStringLiteral("Percentuale Ritenuta d'Acconto deve essere maggiore di zero"),
         {"PERC_RIT"}},
        {"frmMarca",
         {{"CODICE", "ACM"}, {"DESCRIZIONE", "Acme"}, {"PERC_PROV", "-1"}},
         QStringLiteral("Percentuale Provvigione Agente deve essere maggiore di zero"),
         {"PERC_PROV"}},
    };
    for (const auto &[name, fields, message, failing] : cases) {
        SCOPED_TRACE(name + (QStringLiteral(" ") + message).toStdString());
        prompter.clear();
        auto window = open(name);
        type(*window, fields);
        window->save();
        EXPECT_EQ(prompter.texts(), QStringList{message});
        EXPECT_EQ(prompter.titles(), QStringList{QStringLiteral("Errore!")});
        EXPECT_EQ(red(*window), failing);
    }
    // Not subject to withholding: no rate needed.
    prompter.clear();
    auto types = open("frmTipFo");
    type(*types, {{"CODICE", "OR"}, {"DESCRIZIONE", "Ordinario"}, {"RITENUTA", "N"}});
    prompter.queue(Prompter::Button::Ok);
    types->save();
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi inserimento ?")});
    EXPECT_EQ(scalar(QStringLiteral("SELECT RITENUTA FROM TAB_TIPO_FOR WHERE CODICE = 'OR'")).toString(),
              QStringLiteral("N"));
}

TEST_P(TableWindowTest, RowsAreInsertedChangedAndDeletedByTheirWholeKey)
{
    auto window = open("frmCap");
    for (const char *town : {"torino", "moncalieri"}) {
        type(*window, {{"CAP", "10100"}, {"CITTA", town}, {"PROVINCIA", "to"}});
        prompter.queue(Prompter::Button::Ok);
        window->save();
    }
    // Codes upper case, texts as typed; the list in key order.
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TAB_CAP WHERE PROVINCIA = 'TO'")).toInt(), 2);
    ASSERT_EQ(window->findChild<QTableWidget *>()->rowCount(), 2);

    // A stored row shown again and saved unchanged is refused.
    prompter.clear();
    window->loadRow(1);
    EXPECT_EQ(window->value(QStringLiteral("CITTA")), QStringLiteral("torino"));
    EXPECT_TRUE(static_cast<QLineEdit *>(window->field(QStringLiteral("CAP")))->isReadOnly());
    window->save();
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Aggiornamento non consentito.")});

    // Deleting removes that town only.
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    window->remove();
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi eliminazione ?")});
    EXPECT_EQ(scalar(QStringLiteral("SELECT CITTA FROM TAB_CAP")).toString(), QStringLiteral("moncalieri"));

    // Nothing loaded, or no code: refused before any question.
    prompter.clear();
    window->remove();
    type(*window, {{"CAP", "10100"}, {"CITTA", "x"}, {"PROVINCIA", "TO"}});
    window->remove();
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Codice errato."), QStringLiteral("Eliminazione non consentita.")}));

    // A change of a stored row.
    auto countries = open("frmPaesi");
    type(*countries, {{"PAESE", "i"}, {"COD_ISO", "it"}, {"DESCRIZIONE", "ITALIA"}});
    prompter.queue(Prompter::Button::Ok);
    countries->save();
    countries->loadRow(0);
    countries->setValue(QStringLiteral("DESCRIZIONE"), QStringLiteral("REPUBBLICA ITALIANA"));
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    countries->save();
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi aggiornamento ?")});
    EXPECT_EQ(scalar(QStringLiteral("SELECT COD_ISO || DESCRIZIONE FROM TAB_PAESI WHERE PAESE = 'I'")).toString(),
              QStringLiteral("ITREPUBBLICA ITALIANA"));
}

TEST_P(TableWindowTest, AKeyStoredElsewhereMeanwhileGetsTheWindowsMessage)
{
    auto window = open("frmPaesi");
    type(*window, {{"PAESE", "F"}, {"DESCRIZIONE", "FRANCIA"}});
    prompter.onText = QStringLiteral("Confermi inserimento ?");
    prompter.action = [this] {
        Services::AppState state;
        Services::SilentPrompter silent;
        Services::DataAccess other(state, silent, QString());
        ASSERT_TRUE(other.openServices(archives->config()));
        ASSERT_TRUE(other.openCompany(QStringLiteral("01")));
        ASSERT_EQ(other.executeSql(QStringLiteral("INSERT INTO TAB_PAESI (PAESE, DESCRIZIONE) VALUES ('f', 'Altra')")),
                  0);
    };
    prompter.queue(Prompter::Button::Ok);
    window->save();
    EXPECT_EQ(prompter.texts(), (QStringList{QStringLiteral("Confermi inserimento ?"),
                                             QStringLiteral("Codice Paese già presente in archivio !")}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT DESCRIZIONE FROM TAB_PAESI")).toString(), QStringLiteral("Altra"));
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);
    EXPECT_EQ(window->value(QStringLiteral("DESCRIZIONE")), QStringLiteral("FRANCIA"));

    // A row deleted elsewhere before a change is said so, nothing written.
    window->reload();
    window->loadRow(0);
    window->setValue(QStringLiteral("DESCRIZIONE"), QStringLiteral("Mai"));
    prompter.clear();
    prompter.onText = QStringLiteral("Confermi aggiornamento ?");
    prompter.action = [this] { run(QStringLiteral("DELETE FROM TAB_PAESI")); };
    prompter.queue(Prompter::Button::Ok);
    window->save();
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_TRUE(prompter.texts().last().startsWith(QStringLiteral("Il record è stato eliminato da altri utenti")));
    EXPECT_EQ(archives->count(QStringLiteral("TAB_PAESI")), 0);
}

TEST_P(TableWindowTest, TheBranchLookupListsTheTypedBankOnlyAndTheListPrints)
{
    run(QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES ('02008', 'UNICREDIT')").arg(Tables::TAB_ABI));
    run(QStringLiteral("INSERT INTO TAB_CAB (ABI, CAB, BANCA) VALUES ('02008', '01600', 'ROMA CORSO')"));
    run(QStringLiteral("INSERT INTO TAB_CAB (ABI, CAB, BANCA) VALUES ('03069', '01001', 'TORINO NORD')"));
    const TableForm *banks = findTableForm(QStringLiteral("frmBanApp"));
    const FormLookup &branches = *banks->field(QStringLiteral("CAB"))->lookup;
    LookupRequest request;
    request.table = branches.table;
    request.columns = branches.columns;
    request.condition = Services::sqlUpperEquals(branches.scopeTableColumn);
    request.conditionParams = {QStringLiteral("03069")};
    LookupList list(*context, request);
    ASSERT_TRUE(list.load());
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.values(1), (QStringList{"03069", "01001", "TORINO NORD"}));

    // The branch's town fills its postal code and province.
    run(QStringLiteral("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('10121', 'TORINO', 'TO')"));
    auto window = open("frmCab");
    auto *town = static_cast<QLineEdit *>(window->field(QStringLiteral("CITTA")));
    town->setText(QStringLiteral("Torino"));
    town->setModified(true);
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(town, &leaving);
    EXPECT_EQ(window->value(QStringLiteral("CAP")), QStringLiteral("10121"));
    EXPECT_EQ(window->value(QStringLiteral("PROV")), QStringLiteral("TO"));

    useShippedReports();
    LookupList print(*context, tableFormList(*findTableForm(QStringLiteral("frmCab"))));
    ASSERT_TRUE(print.load());
    const QString pdf = archives->folder() + QStringLiteral("filiali.pdf");
    ASSERT_TRUE(print.print(ReportOutput::Pdf, pdf)) << prompter.texts().join(QLatin1Char('|')).toStdString();
    const QString text = Orlavo::Testing::pdfPages(pdf).join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("ROMA CORSO")));
    EXPECT_TRUE(text.indexOf(QStringLiteral("ROMA CORSO")) < text.indexOf(QStringLiteral("TORINO CENTRO")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Totale righe:\\s+3"))));
}

ORLAVO_FOR_EACH_ENGINE(TableWindowTest);

} // namespace
