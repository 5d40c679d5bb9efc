#include "fixtures.h"
#include "services/core/tablenames.h"
#include "services/data/schema.h"
#include "shell/windows/frmsocieta.h"
#include "shell/windows/menu.h"
#include "shellfixtures.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"

#include <QAction>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kSocietaConfirm = QStringLiteral("Confermi registrazioni?");
const QString kYear = QString::number(QDate::currentDate().year());

using Fields = QList<std::pair<const char *, const char *>>;

class CompanyCardTest : public Orlavo::Testing::WindowTest<FrmSocieta>
{
protected:
    void prepare() override
    {
        for (const QString &table : {Tables::SOCIETA, Tables::SOCIETA_CONTAB})
            run(QStringLiteral("INSERT INTO %1 (SOCIETA, RAG_SOC1) VALUES ('01', 'Ditta Prova Srl')").arg(table));
        workAs(QStringLiteral("MARIO"), 2);
    }

    static void type(FrmSocieta &card, const Fields &fields)
    {
        for (const auto &[column, text] : fields) {
            card.field(QString::fromLatin1(column))->setText(QString::fromUtf8(text));
            card.field(QString::fromLatin1(column))->setModified(true);
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
    int companies() const { return archives->count(Tables::SOCIETA); }
    QVariant services(const QString &sql, const QString &code = QStringLiteral("02"))
    {
        return archives->scalar(sql.arg(Tables::SOCIETA) + QStringLiteral(" WHERE SOCIETA = ?"), {code});
    }
    // A value of a company's own database, read by another workstation.
    QString inCompany(const QString &code, const QString &sql, const Services::Params &params = {})
    {
        return Orlavo::Testing::firstColumn(archives->config(), code, sql, params).value(0);
    }
};

TEST_P(CompanyCardTest, TheChecksOfANewCompanyRefuseInTheCardsOrder)
{
    const CompanyReferences references(context->db);
    const struct {
        Fields fields; // over code "02" and a name
        const char *column;
        const char *message;
    } cases[] = {
        {{{"SOCIETA", ""}}, "SOCIETA", "Codice della Societa - Obbligatorio !"},
        {{{"SOCIETA", "A"}}, "SOCIETA", "Codice della Societa: due lettere o cifre !"},
        {{{"SOCIETA", "01"}}, "SOCIETA", "Codice della Societa già presente in archivio"},
        {{{"RAG_SOC1", ""}}, "RAG_SOC1", "Ragione Sociale - Obbligatoria !"},
        {{{"COD_ATTIV", "999999"}}, "COD_ATTIV", "Codice attività sconosciuto !"},
        {{{"DATA_CCIAA", "31/02/2020"}}, "DATA_CCIAA", "Data iscrizione Camera di Commercio non valida !"},
        {{{"PROV_AMM", "ZZ"}}, "PROV_AMM", "Provincia della Sede Amministrativa sconosciuta !"},
        {{{"PARTIVA", "01234567890"}}, "PARTIVA", "Partita iva errata !"},
    };
    for (const auto &c : cases) {
        CompanyRecord record = newCompany();
        for (const auto &[column, text] : Fields{{"SOCIETA", "02"}, {"RAG_SOC1", "Y"}} + c.fields)
            record.main().setText(QString::fromLatin1(column), QString::fromUtf8(text));
        EXPECT_EQ(checkCompany(context->db, record, CompanyMode::Insert, references),
                  (QList<Services::FieldProblem>{{QString::fromLatin1(c.column), QString::fromUtf8(c.message)}}))
            << c.message;
    }

    // The card: every failing field red, the topmost told, nothing written.
    FrmSocieta card(*context, CompanyMode::Insert);
    type(card, {{"PROV_LEG", "ZZ"}});
    EXPECT_FALSE(card.save());
    Orlavo::Testing::expectRefused(prompter, QStringLiteral("Codice della Societa - Obbligatorio !"),
                                   Prompter::Icon::Critical, Prompter::Buttons::Ok, QStringLiteral("Errore!"));
    for (const char *column : {"SOCIETA", "RAG_SOC1", "PROV_LEG"})
        EXPECT_TRUE(Ui::hasFieldError(card.field(QString::fromLatin1(column)))) << column;
    EXPECT_EQ(companies(), 1);
}

TEST_P(CompanyCardTest, ADoubtfulTaxCodeIsAskedOnce)
{
    FrmSocieta card(*context, CompanyMode::Insert);
    type(card, {{"SOCIETA", "02"}, {"RAG_SOC1", "Nuova Srl"}, {"COD_FIS", "RSSMRA85T10A562X"}});
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
    EXPECT_EQ(companies(), 1);
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    EXPECT_TRUE(card.save());
    EXPECT_EQ(prompter.texts(), QStringList{kSocietaConfirm});
    EXPECT_EQ(services(QStringLiteral("SELECT COD_FIS FROM %1")).toString(), QStringLiteral("RSSMRA85T10A562X"));
}

TEST_P(CompanyCardTest, AFailedRegistrationLeavesNoRowNoLockAndNeverOverwritesAnArchiveInPlace)
{
    refuseWrites(Tables::DATIBASE);
    EXPECT_FALSE(registerThroughCard({{"SOCIETA", "02"}, {"RAG_SOC1", "Nuova Srl"}}));
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("Insert datibase")));
    EXPECT_FALSE(companyDatabaseExists(QStringLiteral("02")));
    EXPECT_EQ(archives->count(Tables::DATIBASE), 0);
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);

    // Nor is something else under the name of company 04 ever overwritten.
    if (GetParam() == Engine::Sqlite) {
        QFile other(archives->folder() + Services::companyFileName(QStringLiteral("04")));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write("appunti") == 7);
    } else {
        run(QStringLiteral("CREATE SCHEMA contab04"));
    }
    EXPECT_FALSE(registerThroughCard({{"SOCIETA", "04"}, {"RAG_SOC1", "Quarta"}}));
    EXPECT_TRUE(prompter.texts().last().endsWith(QStringLiteral("Registrazione non eseguita.")));
    EXPECT_TRUE(companyDatabaseExists(QStringLiteral("04")));
    EXPECT_EQ(companies(), 1);
    refuseWrites(Tables::DATIBASE, false);

    // A company archive found in place keeps its data; the operator is told.
    ASSERT_TRUE(
        GetParam() == Engine::Sqlite
            ? Services::Schema::createSqlite(archives->folder() + Services::companyFileName(QStringLiteral("05")),
                                             Services::SchemaKind::Company)
            : Services::Schema::createPostgres(context->db.connection(), QStringLiteral("contab05"),
                                               Services::SchemaKind::Company));
    {
        Orlavo::Testing::Workstation other(archives->config(), QStringLiteral("05"));
        ASSERT_TRUE(other.open());
        ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES ('N', 'Nord')")));
    }
    prompter.clear();
    EXPECT_TRUE(registerThroughCard({{"SOCIETA", "05"}, {"RAG_SOC1", "Quinta"}}));
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("esiste già")));
    EXPECT_EQ(inCompany(QStringLiteral("05"), QStringLiteral("SELECT DESCRIZIONE FROM TAB_ZONA")), "Nord");
    EXPECT_EQ(inCompany(QStringLiteral("05"), QStringLiteral("SELECT RAG_SOC1 FROM SOCIETA")), "Quinta");
}

TEST_P(CompanyCardTest, RegistrationCreatesTheCompanyArchiveAndModifyKeepsBothCopiesInStep)
{
    // A company's tax code that is its VAT number needs no question.
    ASSERT_TRUE(registerThroughCard(
        {{"SOCIETA", "02"}, {"RAG_SOC1", "Nuova Srl"}, {"PARTIVA", "01234567897"}, {"COD_FIS", "01234567897"}}));
    EXPECT_EQ(prompter.texts(), QStringList{kSocietaConfirm});
    EXPECT_EQ(services(QStringLiteral("SELECT RAG_SOC1 FROM %1")).toString(), QStringLiteral("Nuova Srl"));
    ASSERT_TRUE(companyDatabaseExists(QStringLiteral("02")));
    EXPECT_EQ(inCompany(QStringLiteral("02"), QStringLiteral("SELECT PARTIVA FROM SOCIETA")), "01234567897");
    // Its standard data and this year's counters: what they hold is their
    // own tests' business.
    EXPECT_GT(inCompany(QStringLiteral("02"), QStringLiteral("SELECT COUNT(*) FROM TAB_PERIVA")).toInt(), 0);
    EXPECT_GT(
        inCompany(QStringLiteral("02"), QStringLiteral("SELECT COUNT(*) FROM NUMERA WHERE ANNO = ?"), {kYear}).toInt(),
        0);
    // Not the current company's: nothing changed there.
    EXPECT_EQ(context->state.company, QStringLiteral("01"));

    // The open company, then one whose archive is opened for the purpose.
    const QString sql = QStringLiteral("SELECT RAG_SOC1 FROM %1 WHERE SOCIETA = ?");
    for (const QString &code : {QStringLiteral("01"), QStringLiteral("02")}) {
        FrmSocieta card(*context, CompanyMode::Modify, code);
        ASSERT_TRUE(card.loaded());
        EXPECT_FALSE(card.hasChanges());
        type(card, {{"RAG_SOC1", code == QLatin1String("01") ? "Cambiata 01" : "Cambiata 02"}});
        prompter.queue(Prompter::Button::Ok);
        ASSERT_TRUE(card.save());
        EXPECT_EQ(services(QStringLiteral("SELECT RAG_SOC1 FROM %1"), code).toString(), "Cambiata " + code);
        EXPECT_EQ(inCompany(code, sql.arg(Tables::SOCIETA_CONTAB), {code}), "Cambiata " + code);
    }
    // A failure on the second copy leaves the first as it was.
    refuseWrites(Tables::SOCIETA_CONTAB);
    FrmSocieta card(*context, CompanyMode::Modify, QStringLiteral("01"));
    type(card, {{"RAG_SOC1", "Mai scritta"}});
    prompter.queue(Prompter::Button::Ok);
    EXPECT_FALSE(card.save());
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("Agg. Societa Contab")));
    EXPECT_EQ(services(QStringLiteral("SELECT RAG_SOC1 FROM %1"), QStringLiteral("01")).toString(), "Cambiata 01");
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);

    // A missing company is said so.
    prompter.clear();
    FrmSocieta missing(*context, CompanyMode::Modify, QStringLiteral("77"));
    EXPECT_FALSE(missing.loaded());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Il cliente non esiste in archivio ")});
}

TEST_P(CompanyCardTest, AbandoningInputIsAsked)
{
    FrmSocieta card(*context, CompanyMode::Insert);
    type(card, {{"RAG_SOC1", "Bozza"}});
    prompter.queue(Prompter::Button::No);
    card.cancel();
    EXPECT_EQ(card.field(QStringLiteral("RAG_SOC1"))->text(), QStringLiteral("Bozza"));
    prompter.queue(Prompter::Button::No);
    EXPECT_FALSE(card.close());
    EXPECT_EQ(prompter.texts(), (QStringList{QStringLiteral("Rinuncia ai dati ?"),
                                             QStringLiteral("Rinuncia operazioni sui dati correnti ?")}));
}

TEST_P(CompanyCardTest, TheFirstCompanyBecomesCurrent)
{
    // An installation with no company: only the services archive is open.
    context->state.company.clear();
    ASSERT_TRUE(context->db.openServices(archives->config()));
    run(QStringLiteral("DELETE FROM %1").arg(Tables::SOCIETA));
    Menu main(*context);
    main.setCompanyChooser([] { return std::optional<QString>(); });
    main.openCurrentCompany();
    QAction *insert = main.findChild<QAction *>(QStringLiteral("codi_azienda"));
    ASSERT_TRUE(insert && insert->isEnabled());
    insert->trigger();
    ASSERT_EQ(main.workspace()->subWindowList().size(), 1);
    auto *card = qobject_cast<FrmSocieta *>(main.workspace()->subWindowList().first()->widget());
    ASSERT_NE(card, nullptr);
    type(*card, {{"SOCIETA", "07"}, {"RAG_SOC1", "Prima Ditta"}});
    prompter.queue(Prompter::Button::Ok);
    ASSERT_TRUE(card->save());
    const Services::AppState &state = context->state;
    EXPECT_EQ(state.company + state.year + state.bankCode + state.vatCode, "07" + kYear + "-------");
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral("Prima Ditta")));
}

ORLAVO_FOR_EACH_ENGINE(CompanyCardTest);

} // namespace
