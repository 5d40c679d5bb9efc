#include "contexttest.h"
#include "services/core/tablenames.h"
#include "services/data/counters.h"
#include "services/data/schema.h"
#include "shell/windows/frmsocieta.h"
#include "shell/windows/menu.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlQuery>

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

const QString kConfirm = QStringLiteral("Confermi registrazioni?");
const QString kYear = QString::number(QDate::currentDate().year());

using Fields = QList<QPair<QString, QString>>;

class CompanyCardTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (const QString &table : {Tables::SOCIETA, Tables::SOCIETA_CONTAB}) {
            QSqlQuery q(context->db.connection());
            ASSERT_TRUE(q.exec(
                QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES ('01', 'Ditta Prova Srl')").arg(table)));
        }
        context->state.company = QStringLiteral("01");
        context->state.user = QStringLiteral("MARIO");
        context->state.userType = 2;
    }

    void TearDown() override
    {
        menu.reset();
        ContextTest::TearDown();
    }

    static void type(FrmSocieta &card, const Fields &fields)
    {
        for (const auto &[column, text] : fields) {
            card.field(column)->setText(text);
            card.field(column)->setModified(true);
        }
    }

    // Registers a company through the card, confirming.
    bool registerThroughCard(const Fields &fields)
    {
        FrmSocieta card(*context, CompanyMode::Insert);
        type(card, fields);
        prompter.queue(Prompter::Button::Ok);
        return card.save();
    }

    bool companyDatabaseExists(const QString &code)
    {
        if (GetParam() == Engine::Sqlite)
            return QFileInfo::exists(archives->folder() + Services::companyFileName(code));
        return Services::Schema::postgresSchemaExists(context->db.connection(), Services::companySchemaName(code));
    }

    QVariant services(const QString &sql, const Services::Params &params = {}) { return archives->scalar(sql, params); }

    // A value of another company's database, through a connection of its own.
    QVariant inCompany(const QString &code, const QString &sql, const Services::Params &params = {})
    {
        Services::AppState state;
        Services::SilentPrompter silent;
        Services::DataAccess other(state, silent, QString());
        other.setExitHook([](int) {});
        if (!other.openServices(archives->config()) || !other.openCompany(code))
            return {};
        auto rows = other.openRecordset(sql, params);
        return rows && !rows->isEmpty() ? rows->first().at(0) : QVariant();
    }

    Menu &openMenu(std::optional<QString> chosen)
    {
        menu = std::make_unique<Menu>(*context);
        menu->setCompanyChooser([chosen] { return chosen; });
        return *menu;
    }

    std::unique_ptr<Menu> menu;
};

TEST_P(CompanyCardTest, RegistrationCreatesTheCompanyArchiveAndItsRows)
{
    ASSERT_TRUE(registerThroughCard({{QStringLiteral("SOCIETA"), QStringLiteral("02")},
                                     {QStringLiteral("RAG_SOC1"), QStringLiteral("Nuova Srl")},
                                     {QStringLiteral("PARTIVA"), QStringLiteral("01234567897")},
                                     {QStringLiteral("PROV_LEG"), QStringLiteral("TO")},
                                     {QStringLiteral("DATA_INI"), QStringLiteral("01/02/2020")},
                                     {QStringLiteral("CAP_SOC"), QStringLiteral("10000")}}));
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(services(QStringLiteral("SELECT RAG_SOC1 FROM %1 WHERE SOCIETA = '02'").arg(Tables::SOCIETA)).toString(),
              QStringLiteral("Nuova Srl"));
    EXPECT_EQ(services(QStringLiteral("SELECT DATA_INI FROM %1 WHERE SOCIETA = '02'").arg(Tables::SOCIETA)).toDate(),
              QDate(2020, 2, 1));
    EXPECT_DOUBLE_EQ(
        services(QStringLiteral("SELECT CAP_SOC FROM %1 WHERE SOCIETA = '02'").arg(Tables::SOCIETA)).toDouble(),
        10000.0);
    // The placeholders the base-data window asks to replace.
    EXPECT_EQ(
        services(
            QStringLiteral("SELECT BANCA || PERCIVA || LIQUIVA FROM %1 WHERE SOCIETA = '02'").arg(Tables::DATIBASE))
            .toString(),
        QStringLiteral("-------M"));

    ASSERT_TRUE(companyDatabaseExists(QStringLiteral("02")));
    EXPECT_EQ(
        inCompany(QStringLiteral("02"), QStringLiteral("SELECT PARTIVA FROM SOCIETA WHERE SOCIETA = '02'")).toString(),
        QStringLiteral("01234567897"));
    EXPECT_EQ(inCompany(QStringLiteral("02"), QStringLiteral("SELECT COUNT(*) FROM TAB_PERIVA")).toInt(), 8);
    EXPECT_EQ(inCompany(QStringLiteral("02"),
                        QStringLiteral("SELECT MAX_NUMERA FROM NUMERA WHERE ANNO = ? AND NOME = ?"),
                        {kYear, QStringLiteral("FVENDADOC_NA")})
                  .toInt(),
              99999);
    // Not the current company's: nothing changed there.
    EXPECT_EQ(context->state.company, QStringLiteral("01"));
}

TEST_P(CompanyCardTest, FieldErrorsRefuseBeforeAnyWrite)
{
    const QList<std::tuple<Fields, QString, QString>> cases = {
        {{{QStringLiteral("RAG_SOC1"), QStringLiteral("X")}},
         QStringLiteral("SOCIETA"),
         QStringLiteral("Codice della Societa - Obbligatorio !")},
        {{{QStringLiteral("SOCIETA"), QStringLiteral("A")}},
         QStringLiteral("SOCIETA"),
         QStringLiteral("Codice della Societa: due lettere o cifre !")},
        {{{QStringLiteral("SOCIETA"), QStringLiteral("01")}},
         QStringLiteral("SOCIETA"),
         QStringLiteral("Codice della Societa già presente in archivio")},
        {{{QStringLiteral("SOCIETA"), QStringLiteral("02")}},
         QStringLiteral("RAG_SOC1"),
         QStringLiteral("Ragione Sociale - Obbligatoria !")},
        {{{QStringLiteral("COD_ATTIV"), QStringLiteral("999999")}},
         QStringLiteral("COD_ATTIV"),
         QStringLiteral("Codice attività sconosciuto !")},
        {{{QStringLiteral("DATA_CCIAA"), QStringLiteral("31/02/2020")}},
         QStringLiteral("DATA_CCIAA"),
         QStringLiteral("Data iscrizione Camera di Commercio non valida !")},
        {{{QStringLiteral("DATA_TRIB"), QStringLiteral("2020")}},
         QStringLiteral("DATA_TRIB"),
         QStringLiteral("Data iscrizione Cancelleria del Tribunale non valida !")},
        {{{QStringLiteral("PROV_AMM"), QStringLiteral("ZZ")}},
         QStringLiteral("PROV_AMM"),
         QStringLiteral("Provincia della Sede Amministrativa sconosciuta !")},
        {{{QStringLiteral("PARTIVA"), QStringLiteral("01234567890")}},
         QStringLiteral("PARTIVA"),
         QStringLiteral("Partita iva errata !")},
    };
    for (const auto &[fields, column, message] : cases) {
        prompter.clear();
        FrmSocieta card(*context, CompanyMode::Insert);
        type(card,
             {{QStringLiteral("SOCIETA"), QStringLiteral("02")}, {QStringLiteral("RAG_SOC1"), QStringLiteral("Y")}});
        if (column == QLatin1String("SOCIETA"))
            type(card, {{QStringLiteral("SOCIETA"), QString()}});
        if (column == QLatin1String("RAG_SOC1"))
            type(card, {{QStringLiteral("RAG_SOC1"), QString()}});
        type(card, fields);
        EXPECT_FALSE(card.save()) << message.toStdString();
        EXPECT_EQ(prompter.texts(), QStringList{message});
        EXPECT_TRUE(hasFieldError(card.field(column))) << column.toStdString();
    }
    EXPECT_EQ(services(QStringLiteral("SELECT COUNT(*) FROM %1").arg(Tables::SOCIETA)).toInt(), 1);
    EXPECT_FALSE(companyDatabaseExists(QStringLiteral("02")));
}

TEST_P(CompanyCardTest, ADoubtfulTaxCodeIsAskedOnceAndAVatNumberPasses)
{
    FrmSocieta card(*context, CompanyMode::Insert);
    type(card, {{QStringLiteral("SOCIETA"), QStringLiteral("02")},
                {QStringLiteral("RAG_SOC1"), QStringLiteral("Nuova Srl")},
                {QStringLiteral("COD_FIS"), QStringLiteral("RSSMRA85T10A562X")}});
    prompter.queue(Prompter::Button::No);
    EXPECT_FALSE(card.save());
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_TRUE(prompter.texts().first().startsWith(QStringLiteral("Codice fiscale errato\n")));
    EXPECT_TRUE(prompter.texts().first().endsWith(QStringLiteral("\nMantenere ugualmente")));

    // Kept once, not asked again; the confirmation refused writes nothing.
    prompter.clear();
    prompter.queue(Prompter::Button::Yes);
    prompter.queue(Prompter::Button::Cancel);
    EXPECT_FALSE(card.save());
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    EXPECT_TRUE(card.save());
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
    EXPECT_EQ(services(QStringLiteral("SELECT COD_FIS FROM %1 WHERE SOCIETA = '02'").arg(Tables::SOCIETA)).toString(),
              QStringLiteral("RSSMRA85T10A562X"));

    // A company's tax code that is its VAT number needs no question.
    prompter.clear();
    ASSERT_TRUE(registerThroughCard({{QStringLiteral("SOCIETA"), QStringLiteral("03")},
                                     {QStringLiteral("RAG_SOC1"), QStringLiteral("Terza Spa")},
                                     {QStringLiteral("COD_FIS"), QStringLiteral("12345678903")}}));
    EXPECT_EQ(prompter.texts(), QStringList{kConfirm});
}

TEST_P(CompanyCardTest, AFailedRegistrationLeavesNoRowAndNoArchive)
{
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), Tables::DATIBASE), QString());
    EXPECT_FALSE(registerThroughCard({{QStringLiteral("SOCIETA"), QStringLiteral("02")},
                                      {QStringLiteral("RAG_SOC1"), QStringLiteral("Nuova Srl")}}));
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("Insert datibase")));
    EXPECT_EQ(services(QStringLiteral("SELECT COUNT(*) FROM %1").arg(Tables::SOCIETA)).toInt(), 1);
    EXPECT_EQ(services(QStringLiteral("SELECT COUNT(*) FROM %1").arg(Tables::DATIBASE)).toInt(), 0);
    EXPECT_FALSE(companyDatabaseExists(QStringLiteral("02")));
    // The lock went with the failure.
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);
}

TEST_P(CompanyCardTest, AnArchiveInPlaceIsUsedOnlyWhenItIsACompanyArchive)
{
    // Something else under the name of company 04 is never overwritten.
    if (GetParam() == Engine::Sqlite) {
        QFile other(archives->folder() + Services::companyFileName(QStringLiteral("04")));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("appunti");
    } else {
        QSqlQuery q(context->db.connection());
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE SCHEMA contab04")));
    }
    EXPECT_FALSE(registerThroughCard(
        {{QStringLiteral("SOCIETA"), QStringLiteral("04")}, {QStringLiteral("RAG_SOC1"), QStringLiteral("Quarta")}}));
    EXPECT_TRUE(prompter.texts().last().endsWith(QStringLiteral("Registrazione non eseguita.")));
    EXPECT_TRUE(companyDatabaseExists(QStringLiteral("04")));
    EXPECT_EQ(services(QStringLiteral("SELECT COUNT(*) FROM %1").arg(Tables::SOCIETA)).toInt(), 1);

    // A company archive found in place keeps its data; the operator is told.
    if (GetParam() == Engine::Sqlite) {
        ASSERT_TRUE(Services::Schema::createSqlite(archives->folder() + Services::companyFileName(QStringLiteral("05")),
                                                   Services::SchemaKind::Company));
    } else {
        ASSERT_TRUE(Services::Schema::createPostgres(context->db.connection(), QStringLiteral("contab05"),
                                                     Services::SchemaKind::Company));
    }
    ASSERT_TRUE(inCompany(QStringLiteral("05"), QStringLiteral("SELECT COUNT(*) FROM NUMERA")).isValid());
    {
        QSqlQuery q(context->db.connection());
        const QString table =
            GetParam() == Engine::Sqlite ? QStringLiteral("TAB_ZONA") : QStringLiteral("contab05.TAB_ZONA");
        if (GetParam() == Engine::Sqlite) {
            Services::AppState state;
            Services::SilentPrompter silent;
            Services::DataAccess other(state, silent, QString());
            ASSERT_TRUE(other.openServices(archives->config()));
            ASSERT_TRUE(other.openCompany(QStringLiteral("05")));
            ASSERT_EQ(
                other.executeSql(QStringLiteral("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES ('N', 'Nord')")), 0);
        } else {
            ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES ('N', 'Nord')").arg(table)));
        }
    }
    prompter.clear();
    EXPECT_TRUE(registerThroughCard(
        {{QStringLiteral("SOCIETA"), QStringLiteral("05")}, {QStringLiteral("RAG_SOC1"), QStringLiteral("Quinta")}}));
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("esiste già")));
    EXPECT_EQ(inCompany(QStringLiteral("05"), QStringLiteral("SELECT DESCRIZIONE FROM TAB_ZONA WHERE CODICE = 'N'"))
                  .toString(),
              QStringLiteral("Nord"));
    EXPECT_EQ(inCompany(QStringLiteral("05"), QStringLiteral("SELECT RAG_SOC1 FROM SOCIETA")).toString(),
              QStringLiteral("Quinta"));
}

TEST_P(CompanyCardTest, ModifyKeepsBothCopiesInStep)
{
    ASSERT_TRUE(registerThroughCard({{QStringLiteral("SOCIETA"), QStringLiteral("02")},
                                     {QStringLiteral("RAG_SOC1"), QStringLiteral("Nuova Srl")}}));
    // The open company, then one whose archive is opened for the purpose.
    for (const QString &code : {QStringLiteral("01"), QStringLiteral("02")}) {
        prompter.clear();
        FrmSocieta card(*context, CompanyMode::Modify, code);
        ASSERT_TRUE(card.loaded());
        EXPECT_FALSE(card.hasChanges());
        type(card, {{QStringLiteral("RAG_SOC1"), QStringLiteral("Cambiata ") + code},
                    {QStringLiteral("CITTA_LEG"), QStringLiteral("Torino")}});
        prompter.queue(Prompter::Button::Ok);
        ASSERT_TRUE(card.save());
        const QString sql = QStringLiteral("SELECT RAG_SOC1 FROM %1 WHERE SOCIETA = ?");
        EXPECT_EQ(services(sql.arg(Tables::SOCIETA), {code}).toString(), QStringLiteral("Cambiata ") + code);
        EXPECT_EQ(inCompany(code, sql.arg(Tables::SOCIETA_CONTAB), {code}).toString(),
                  QStringLiteral("Cambiata ") + code);
    }
    // A failure on the second copy leaves the first as it was.
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), QStringLiteral("SOCIETA")),
              QString());
    FrmSocieta card(*context, CompanyMode::Modify, QStringLiteral("01"));
    type(card, {{QStringLiteral("RAG_SOC1"), QStringLiteral("Mai scritta")}});
    prompter.queue(Prompter::Button::Ok);
    EXPECT_FALSE(card.save());
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("Agg. Societa Contab")));
    EXPECT_EQ(services(QStringLiteral("SELECT RAG_SOC1 FROM %1 WHERE SOCIETA = '01'").arg(Tables::SOCIETA)).toString(),
              QStringLiteral("Cambiata 01"));
    EXPECT_EQ(archives->count(QStringLiteral("SEMAFORO")), 0);

    // A missing company is said so.
    prompter.clear();
    FrmSocieta missing(*context, CompanyMode::Modify, QStringLiteral("77"));
    EXPECT_FALSE(missing.loaded());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Il cliente non esiste in archivio ")});
}

TEST_P(CompanyCardTest, AbandoningInputIsAsked)
{
    FrmSocieta card(*context, CompanyMode::Insert);
    type(card, {{QStringLiteral("RAG_SOC1"), QStringLiteral("Bozza")}});
    prompter.queue(Prompter::Button::No);
    card.cancel();
    EXPECT_EQ(card.field(QStringLiteral("RAG_SOC1"))->text(), QStringLiteral("Bozza"));
    prompter.queue(Prompter::Button::Yes);
    card.cancel();
    EXPECT_TRUE(card.field(QStringLiteral("RAG_SOC1"))->text().isEmpty());
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Rinuncia ai dati ?"), QStringLiteral("Rinuncia ai dati ?")}));

    type(card, {{QStringLiteral("RAG_SOC1"), QStringLiteral("Bozza")}});
    prompter.clear();
    prompter.queue(Prompter::Button::No);
    EXPECT_FALSE(card.close());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Rinuncia operazioni sui dati correnti ?")});
}

TEST_P(CompanyCardTest, TheFirstCompanyBecomesCurrent)
{
    // An installation with no company: only the services archive is open.
    context->state.company.clear();
    ASSERT_TRUE(context->db.openServices(archives->config()));
    {
        QSqlQuery q(context->db.connection());
        ASSERT_TRUE(q.exec(QStringLiteral("DELETE FROM %1").arg(Tables::SOCIETA)));
    }
    Menu &main = openMenu(std::nullopt);
    main.openCurrentCompany();
    QAction *insert = main.findChild<QAction *>(QStringLiteral("codi_azienda"));
    ASSERT_NE(insert, nullptr);
    ASSERT_TRUE(insert->isEnabled());
    insert->trigger();
    ASSERT_EQ(main.workspace()->subWindowList().size(), 1);
    auto *card = qobject_cast<FrmSocieta *>(main.workspace()->subWindowList().first()->widget());
    ASSERT_NE(card, nullptr);
    type(*card, {{QStringLiteral("SOCIETA"), QStringLiteral("07")},
                 {QStringLiteral("RAG_SOC1"), QStringLiteral("Prima Ditta")}});
    prompter.queue(Prompter::Button::Ok);
    ASSERT_TRUE(card->save());
    EXPECT_EQ(context->state.company, QStringLiteral("07"));
    EXPECT_EQ(context->state.year, kYear);
    EXPECT_EQ(context->state.bankCode, QStringLiteral("-----"));
    EXPECT_EQ(context->state.vatCode, QStringLiteral("--"));
    EXPECT_EQ(context->settings.read(QStringLiteral("MAIN"), QStringLiteral("SOCIETA")), QStringLiteral("07"));
    EXPECT_EQ(context->settings.read(QStringLiteral("MAIN"), QStringLiteral("ANNO")), kYear);
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral("Prima Ditta")));
}

TEST_P(CompanyCardTest, ANewCompanyChosenGivesACustomerNumberAtOnce)
{
    ASSERT_TRUE(registerThroughCard({{QStringLiteral("SOCIETA"), QStringLiteral("02")},
                                     {QStringLiteral("RAG_SOC1"), QStringLiteral("Nuova Srl")}}));
    {
        QSqlQuery q(context->db.connection());
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE %1 SET BANCA = '00001', PERCIVA = '22'").arg(Tables::DATIBASE)));
    }
    Menu &main = openMenu(QStringLiteral("02"));
    ASSERT_TRUE(main.changeCompany());
    EXPECT_EQ(context->state.company, QStringLiteral("02"));
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral("Nuova Srl")));
    for (int expected : {1, 2}) {
        ASSERT_TRUE(context->db.beginTransBoth());
        EXPECT_EQ(Services::Counters::nextNumber(context->db, QStringLiteral("****ANAC")), expected);
        ASSERT_TRUE(context->db.commitTransBoth());
    }
}

ORLAVO_FOR_EACH_ENGINE(CompanyCardTest);

} // namespace
