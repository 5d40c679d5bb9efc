#include "contexttest.h"
#include "files.h"
#include "masterdata/stores/tableimport.h"
#include "masterdata/windows/frmimport.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
using Orlavo::Testing::RecordingPrompter;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kTitle = QStringLiteral("Importa da file");

// "n: a | b | c" per line, so a mismatch reads at a glance.
QStringList describe(const QList<ImportLine> &lines)
{
    QStringList out;
    for (const ImportLine &line : lines)
        out << QStringLiteral("%1: %2").arg(line.number).arg(line.fields.join(QStringLiteral(" | ")));
    return out;
}

QStringList describe(const QList<RefusedLine> &lines)
{
    QStringList out;
    for (const RefusedLine &line : lines)
        out << QStringLiteral("%1: %2").arg(line.line).arg(line.reason);
    return out;
}

TEST(ImportReading, SeparatorEncodingHeaderBlankLinesAndQuotes)
{
    struct Case {
        const char *name;
        ImportKind kind;
        QByteArray bytes;
        char separator;
        bool utf8;
        bool header;
        QStringList lines;
    };
    const QList<Case> cases = {
        {"UTF-8 with BOM, CRLF, header, blank line, blanks around fields",
         ImportKind::PostalCodes,
         "\xEF\xBB\xBF"
         "CAP;CITTA;PROVINCIA\r\n47121;FORLÌ;FC\r\n\r\n 00118 ; Roma ;rm\r\n",
         ';',
         true,
         true,
         {QStringLiteral("2: 47121 | FORLÌ | FC"), QStringLiteral("4: 00118 | Roma | rm")}},
        {"Latin-1 bytes, Windows apostrophe, last line without its end",
         ImportKind::PostalCodes,
         "47121;FORL\xCC;FC\n67100;L\x92"
         "AQUILA;AQ",
         ';',
         false,
         false,
         {QStringLiteral("1: 47121 | FORLÌ | FC"), QStringLiteral("2: 67100 | L\u2019AQUILA | AQ")}},
        {"comma with quoted fields",
         ImportKind::PostalCodes,
         "00185,\"ROMA, CENTRO\",RM\n \"10121\" , \"Via \"\"Po\"\"\",TO\n10122,L\"ANGOLO,TO\n",
         ',',
         true,
         false,
         {QStringLiteral("1: 00185 | ROMA, CENTRO | RM"), QStringLiteral("2: 10121 | Via \"Po\" | TO"),
          QStringLiteral("3: 10122 | L\"ANGOLO | TO")}},
        {"tab, header in another case with blanks",
         ImportKind::Countries,
         " paese\t Cod_Iso \tdescrizione\nI\tIT\tITALIA\nD\tDE\tGERMANIA, REPUBBLICA FEDERALE\n",
         '\t',
         true,
         true,
         {QStringLiteral("2: I | IT | ITALIA"), QStringLiteral("3: D | DE | GERMANIA, REPUBBLICA FEDERALE")}},
        {"semicolon wins a tie with comma",
         ImportKind::Banks,
         "01005;BANCA NAZIONALE, ROMA\n03069;INTESA, MILANO\n",
         ';',
         true,
         false,
         {QStringLiteral("1: 01005 | BANCA NAZIONALE, ROMA"), QStringLiteral("2: 03069 | INTESA, MILANO")}},
        {"the separator most lines agree on, not the first line's",
         ImportKind::PostalCodes,
         "10121;TORINO;TO\n00185,ROMA,RM\n20121,MILANO,MI\n",
         ',',
         true,
         false,
         {QStringLiteral("1: 10121;TORINO;TO"), QStringLiteral("2: 00185 | ROMA | RM"),
          QStringLiteral("3: 20121 | MILANO | MI")}},
        {"column names after the first line are data",
         ImportKind::Banks,
         "01005;BNL\nCODICE;DESCRIZIONE\n",
         ';',
         true,
         false,
         {QStringLiteral("1: 01005 | BNL"), QStringLiteral("2: CODICE | DESCRIZIONE")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ImportText text = readImportText(c.bytes, importLayout(c.kind).columnNames());
        EXPECT_EQ(text.separator, QLatin1Char(c.separator));
        EXPECT_EQ(text.utf8, c.utf8);
        EXPECT_EQ(text.header, c.header);
        EXPECT_EQ(describe(text.lines), c.lines);
    }
}

// One line of a kind against a table holding a Rome postal code, the
// provinces RM, MI, TO, bank 01005 and country I.
QString classifyOne(ImportKind kind, const QByteArray &line)
{
    ImportReference reference;
    reference.provinces = {QStringLiteral("RM"), QStringLiteral("MI"), QStringLiteral("TO")};
    reference.banks = {QStringLiteral("01005")};
    reference.addRow(importLayout(ImportKind::PostalCodes),
                     {QStringLiteral("00118"), QStringLiteral("Roma"), QStringLiteral("RM")});
    reference.addRow(importLayout(ImportKind::Countries),
                     {QStringLiteral("I"), QStringLiteral("IT"), QStringLiteral("ITALIA")});
    const ImportPreview preview =
        classifyImport(kind, readImportText(line, importLayout(kind).columnNames()), reference);
    if (preview.refused.size() == 1)
        return preview.refused.first().reason;
    if (preview.added.size() == 1)
        return QStringLiteral("nuova ") + preview.added.first().values.join(QLatin1Char('|'));
    if (preview.changed.size() == 1)
        return QStringLiteral("modificata ") + preview.changed.first().values.join(QLatin1Char('|')) +
               QStringLiteral(" su ") + preview.changed.first().storedKey.join(QLatin1Char('|'));
    if (preview.unchanged.size() == 1)
        return QStringLiteral("invariata");
    return QStringLiteral("?");
}

TEST(ImportClassification, EachLineIsNewChangedUnchangedOrRefusedWithItsReason)
{
    const QByteArray town41(41, 'A');
    const QByteArray name50(50, 'B');
    const QList<std::tuple<ImportKind, QByteArray, QString>> cases = {
        {ImportKind::PostalCodes, "00118;Roma;RM", QStringLiteral("invariata")},
        {ImportKind::PostalCodes, "00118;ROMA;rm", QStringLiteral("modificata 00118|ROMA|RM su 00118|Roma|RM")},
        {ImportKind::PostalCodes, "00119;Roma;rm", QStringLiteral("nuova 00119|Roma|RM")},
        {ImportKind::PostalCodes, "0011;Roma;RM", QStringLiteral("C.A.P. non di cinque cifre")},
        {ImportKind::PostalCodes, "0011A;Roma;RM", QStringLiteral("C.A.P. non di cinque cifre")},
        {ImportKind::PostalCodes, "001180;Roma;RM", QStringLiteral("C.A.P. non di cinque cifre")},
        {ImportKind::PostalCodes, "00118;Roma;zz", QStringLiteral("provincia sconosciuta: ZZ")},
        {ImportKind::PostalCodes, "00118;;RM", QStringLiteral("chiave vuota")},
        {ImportKind::PostalCodes, "00118;Roma", QStringLiteral("numero di campi errato (2 invece di 3)")},
        {ImportKind::PostalCodes, "00118;Roma;RM;X", QStringLiteral("numero di campi errato (4 invece di 3)")},
        {ImportKind::PostalCodes, "00118;" + town41 + ";RM", QStringLiteral("campo troppo lungo: CITTA")},
        {ImportKind::BankBranches, "01005;03200;BNL Roma;Via Veneto 1;Roma;00187;rm",
         QStringLiteral("nuova 01005|03200|BNL Roma|Via Veneto 1|Roma|00187|RM")},
        {ImportKind::BankBranches, "01005;03200;;;;;", QStringLiteral("nuova 01005|03200|||||")},
        {ImportKind::BankBranches, "99999;03200;X;;;;", QStringLiteral("A.B.I. sconosciuto: 99999")},
        {ImportKind::BankBranches, "1005;03200;X;;;;", QStringLiteral("A.B.I. non di cinque cifre")},
        {ImportKind::BankBranches, "01005;3200;X;;;;", QStringLiteral("C.A.B. non di cinque cifre")},
        {ImportKind::BankBranches, "01005;03200;X;;;0018;RM", QStringLiteral("C.A.P. non di cinque cifre")},
        {ImportKind::BankBranches, "01005;03200;X;;;;XX", QStringLiteral("provincia sconosciuta: XX")},
        {ImportKind::BankBranches, "01005;;X;;;;", QStringLiteral("chiave vuota")},
        {ImportKind::BankBranches, "01005;03200;" + name50 + "B;;;;", QStringLiteral("campo troppo lungo: BANCA")},
        {ImportKind::Banks, "1005;BNL", QStringLiteral("A.B.I. non di cinque cifre")},
        {ImportKind::Banks, "01005;" + name50, QStringLiteral("nuova 01005|") + QString::fromLatin1(name50)},
        {ImportKind::Banks, "01005;" + name50 + "B", QStringLiteral("campo troppo lungo: DESCRIZIONE")},
        {ImportKind::Countries, "I;IT;ITALIA", QStringLiteral("invariata")},
        {ImportKind::Countries, "i;it;Italia", QStringLiteral("modificata I|IT|Italia su I")},
        {ImportKind::Countries, "ABCD;AB;X", QStringLiteral("campo troppo lungo: PAESE")},
        {ImportKind::Countries, ";IT;ITALIA", QStringLiteral("chiave vuota")},
    };
    for (const auto &[kind, line, expected] : cases) {
        SCOPED_TRACE(line.toStdString());
        EXPECT_EQ(classifyOne(kind, line), expected);
    }
}

// Postal codes 10000 upwards with a refused line every `every` good ones.
struct PostalFile {
    QByteArray bytes;
    QList<RefusedLine> refused;
    int good = 0;
};

QString provinceOf(int i)
{
    static const QStringList provinces = {QStringLiteral("TO"), QStringLiteral("MI"), QStringLiteral("RM"),
                                          QStringLiteral("NA"), QStringLiteral("FI"), QStringLiteral("FC")};
    return provinces[i % provinces.size()];
}

PostalFile postalFile(int good, int every)
{
    const QList<std::pair<QString, QString>> bad = {
        {QStringLiteral("19999;SOLO DUE"), QStringLiteral("numero di campi errato (2 invece di 3)")},
        {QStringLiteral("1234;Roma;RM"), QStringLiteral("C.A.P. non di cinque cifre")},
        {QStringLiteral("00100;Roma;ZZ"), QStringLiteral("provincia sconosciuta: ZZ")},
        {QStringLiteral(";Roma;RM"), QStringLiteral("chiave vuota")},
        // Line of postal code 10005, in other case.
        {QStringLiteral("10005;COMUNE 5;") + provinceOf(5).toLower(), QStringLiteral("riga ripetuta nel file")},
        {QStringLiteral("10001;Comune 1;") + provinceOf(1), QStringLiteral("riga ripetuta nel file")},
    };
    PostalFile file;
    QStringList lines = {QStringLiteral("CAP;CITTA;PROVINCIA")};
    for (int i = 0; i < good; ++i) {
        lines << QStringLiteral("%1;Comune %2;%3").arg(10000 + i).arg(i).arg(provinceOf(i));
        if (i % 1000 == 999)
            lines << QString();
        if (i >= 10 && i % every == 0) {
            const auto &[text, reason] = bad[file.refused.size() % bad.size()];
            lines << text;
            file.refused.append({int(lines.size()), reason});
        }
    }
    file.good = good;
    file.bytes = lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
    return file;
}

class TableImportTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        context->state.user = QStringLiteral("MARIO");
        context->state.userType = 2;
    }

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = archives->folder() + name;
        EXPECT_TRUE(Orlavo::Testing::writeBytes(path, bytes));
        return path;
    }

    ImportPreview preview(ImportKind kind, const QByteArray &bytes)
    {
        auto read = previewImport(context->db, kind, bytes);
        EXPECT_TRUE(read);
        return read ? *read : ImportPreview{};
    }

    int rows(const QString &table) const { return archives->count(table); }
    int locks() const { return archives->count(Tables::SEMAFORO); }
    QString value(const QString &sql, const Services::Params &params = {}) const
    {
        return archives->scalar(sql, params).toString();
    }

    void exec(const QString &sql)
    {
        QSqlQuery q(context->db.connection());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
};

TEST_P(TableImportTest, PostalCodesRefusedByLineStoredOnceUnchangedWhenImportedAgain)
{
    const PostalFile generated = postalFile(3000, 250);
    const QString path = file(QStringLiteral("cap.txt"), generated.bytes);

    auto first = previewImportFile(context->db, ImportKind::PostalCodes, path);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->text.header);
    EXPECT_EQ(describe(first->refused), describe(generated.refused));
    EXPECT_EQ(first->added.size(), generated.good);
    EXPECT_TRUE(first->changed.isEmpty());
    EXPECT_TRUE(first->unchanged.isEmpty());

    QList<std::pair<int, int>> progress;
    const ImportApplied applied = applyImport(context->db, *first, [&](int done, int total) {
        progress.append({done, total});
        return true;
    });
    ASSERT_EQ(applied.result, ImportApplied::Result::Written);
    EXPECT_EQ(applied.inserted, generated.good);
    EXPECT_EQ(applied.updated, 0);
    EXPECT_EQ(rows(Tables::TAB_CAP), generated.good);
    EXPECT_EQ(locks(), 0);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.first(), std::make_pair(0, generated.good));
    EXPECT_EQ(progress.last(), std::make_pair(generated.good, generated.good));
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    // The first of two equal keys is the one stored.
    EXPECT_EQ(
        value(QStringLiteral("SELECT CITTA || '/' || PROVINCIA FROM TAB_CAP WHERE CAP = ?"), {QStringLiteral("10005")}),
        QStringLiteral("Comune 5/") + provinceOf(5));

    auto again = previewImportFile(context->db, ImportKind::PostalCodes, path);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->unchanged.size(), generated.good);
    EXPECT_TRUE(again->added.isEmpty());
    EXPECT_TRUE(again->changed.isEmpty());
    EXPECT_EQ(describe(again->refused), describe(generated.refused));
    EXPECT_FALSE(again->hasWork());

    // A town written in another case is the same row, changed; another
    // name is another row, since the town is part of the key.
    const ImportPreview edited =
        preview(ImportKind::PostalCodes,
                QStringLiteral("10007;COMUNE 7;%1\n10008;Comune Otto;%2\n").arg(provinceOf(7), provinceOf(8)).toUtf8());
    ASSERT_EQ(edited.changed.size(), 1);
    EXPECT_EQ(edited.changed.first().line, 1);
    ASSERT_EQ(edited.added.size(), 1);
    EXPECT_EQ(edited.added.first().line, 2);
    const ImportApplied second = applyImport(context->db, edited);
    ASSERT_EQ(second.result, ImportApplied::Result::Written);
    EXPECT_EQ(second.updated, 1);
    EXPECT_EQ(rows(Tables::TAB_CAP), generated.good + 1);
    EXPECT_EQ(value(QStringLiteral("SELECT CITTA FROM TAB_CAP WHERE CAP = ?"), {QStringLiteral("10007")}),
              QStringLiteral("COMUNE 7"));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM TAB_CAP WHERE CAP = ?"), {QStringLiteral("10008")}),
              QStringLiteral("2"));
}

TEST_P(TableImportTest, CancelWritesNothing)
{
    const PostalFile generated = postalFile(2000, 500);
    const QString path = file(QStringLiteral("cap.txt"), generated.bytes);

    // Annulla in the window.
    {
        FrmImport dialog(*context, ImportKind::PostalCodes);
        ASSERT_TRUE(dialog.load(path));
        auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("annulla"));
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(), QStringLiteral("Annulla"));
        dialog.show();
        cancel->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(dialog.written(), 0);
    }
    EXPECT_EQ(rows(Tables::TAB_CAP), 0);
    EXPECT_TRUE(prompter.shown().isEmpty());

    // Stopped half-way through the writes.
    auto read = previewImportFile(context->db, ImportKind::PostalCodes, path);
    ASSERT_TRUE(read);
    int last = 0;
    const ImportApplied applied = applyImport(context->db, *read, [&](int done, int) {
        last = done;
        return done < 1000;
    });
    EXPECT_EQ(applied.result, ImportApplied::Result::Cancelled);
    EXPECT_EQ(last, 1000);
    EXPECT_EQ(rows(Tables::TAB_CAP), 0);
    EXPECT_EQ(locks(), 0);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(TableImportTest, BranchesNeedTheirBankAndChangedOnesAreUpdated)
{
    const QByteArray branches = "ABI;CAB;BANCA;INDIRI;CITTA;CAP;PROV\n"
                                "01005;03200;BNL Roma;Via Veneto 1;Roma;00187;rm\n"
                                "99999;01600;Banca Ignota;;;;\n"
                                "03069;01600;Intesa Milano;;Milano;20121;MI\n";
    // No bank registered yet: every branch refers to an unknown one.
    const ImportPreview before = preview(ImportKind::BankBranches, branches);
    EXPECT_EQ(describe(before.refused), (QStringList{QStringLiteral("2: A.B.I. sconosciuto: 01005"),
                                                     QStringLiteral("3: A.B.I. sconosciuto: 99999"),
                                                     QStringLiteral("4: A.B.I. sconosciuto: 03069")}));

    const ImportPreview banks = preview(ImportKind::Banks, "01005;Banca Nazionale del Lavoro\n03069;Intesa Sanpaolo\n");
    ASSERT_EQ(applyImport(context->db, banks).result, ImportApplied::Result::Written);
    EXPECT_EQ(rows(Tables::TAB_ABI), 2);

    const ImportPreview after = preview(ImportKind::BankBranches, branches);
    EXPECT_EQ(describe(after.refused), QStringList{QStringLiteral("3: A.B.I. sconosciuto: 99999")});
    EXPECT_EQ(after.added.size(), 2);
    ASSERT_EQ(applyImport(context->db, after).result, ImportApplied::Result::Written);
    EXPECT_EQ(rows(Tables::TAB_CAB), 2);
    EXPECT_EQ(
        value(QStringLiteral("SELECT BANCA || '/' || INDIRI || '/' || PROV FROM TAB_CAB WHERE ABI = ? AND CAB = ?"),
              {QStringLiteral("01005"), QStringLiteral("03200")}),
        QStringLiteral("BNL Roma/Via Veneto 1/RM"));

    // The name changed, the address gone: updated in place.
    const ImportPreview changed = preview(ImportKind::BankBranches, "01005;03200;BNL Roma Veneto;;Roma;00187;RM\n"
                                                                    "03069;01600;Intesa Milano;;Milano;20121;MI\n");
    ASSERT_EQ(changed.changed.size(), 1);
    EXPECT_EQ(changed.unchanged, QList<int>{2});
    const ImportApplied applied = applyImport(context->db, changed);
    ASSERT_EQ(applied.result, ImportApplied::Result::Written);
    EXPECT_EQ(applied.updated, 1);
    EXPECT_EQ(applied.inserted, 0);
    EXPECT_EQ(rows(Tables::TAB_CAB), 2);
    EXPECT_EQ(value(QStringLiteral("SELECT BANCA FROM TAB_CAB WHERE ABI = ? AND CAB = ?"),
                    {QStringLiteral("01005"), QStringLiteral("03200")}),
              QStringLiteral("BNL Roma Veneto"));
    EXPECT_TRUE(archives
                    ->scalar(QStringLiteral("SELECT INDIRI FROM TAB_CAB WHERE ABI = ? AND CAB = ?"),
                             {QStringLiteral("01005"), QStringLiteral("03200")})
                    .isNull());
}

TEST_P(TableImportTest, CountriesKeepTheirCodesInUpperCase)
{
    exec(QStringLiteral("INSERT INTO TAB_PAESI (PAESE, COD_ISO, DESCRIZIONE) VALUES ('I', 'IT', 'ITALIA')"));
    exec(QStringLiteral("INSERT INTO TAB_PAESI (PAESE, COD_ISO, DESCRIZIONE) VALUES ('A', 'AT', 'AUSTRIA')"));
    const ImportPreview read = preview(ImportKind::Countries, "i;it;Italia\na;at;AUSTRIA\nzzz;zz;Paese di prova\n");
    EXPECT_EQ(read.changed.size(), 1);
    EXPECT_EQ(read.unchanged, QList<int>{2});
    EXPECT_EQ(read.added.size(), 1);
    const ImportApplied applied = applyImport(context->db, read);
    ASSERT_EQ(applied.result, ImportApplied::Result::Written);
    EXPECT_EQ(rows(Tables::TAB_PAESI), 3);
    EXPECT_EQ(value(QStringLiteral("SELECT COD_ISO || '/' || DESCRIZIONE FROM TAB_PAESI WHERE PAESE = 'I'")),
              QStringLiteral("IT/Italia"));
    EXPECT_EQ(value(QStringLiteral("SELECT COD_ISO || '/' || DESCRIZIONE FROM TAB_PAESI WHERE PAESE = 'ZZZ'")),
              QStringLiteral("ZZ/Paese di prova"));
}

TEST_P(TableImportTest, AFailedWriteLeavesTheTableEmptyAndTheArchiveUnlocked)
{
    const bool sqlite = GetParam() == Engine::Sqlite;
    const QStringList lastLineRefused =
        sqlite ? QStringList{QStringLiteral("CREATE TRIGGER nega_ultima BEFORE INSERT ON TAB_CAP WHEN NEW.CAP = "
                                            "'10999' BEGIN SELECT RAISE(ABORT, 'scrittura bloccata'); END")}
               : QStringList{QStringLiteral("CREATE FUNCTION nega_ultima() RETURNS trigger LANGUAGE plpgsql AS $$ "
                                            "BEGIN IF NEW.CAP = '10999' THEN RAISE EXCEPTION 'scrittura bloccata'; "
                                            "END IF; RETURN NEW; END $$"),
                             QStringLiteral("CREATE TRIGGER nega_ultima BEFORE INSERT ON TAB_CAP FOR EACH ROW "
                                            "EXECUTE FUNCTION nega_ultima()")};
    const ImportPreview read = preview(ImportKind::PostalCodes, "10121;Torino;TO\n20121;Milano;MI\n10999;Ultima;TO\n");
    ASSERT_EQ(read.added.size(), 3);

    const QList<std::tuple<const char *, std::function<void()>, int>> cases = {
        {"every write refused",
         [&] {
             EXPECT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), Tables::TAB_CAP), QString());
         },
         1},
        {"the last line refused",
         [&] {
             EXPECT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), Tables::TAB_CAP), QString());
             for (const QString &sql : lastLineRefused)
                 exec(sql);
         },
         3},
    };
    for (const auto &[name, refuse, failingLine] : cases) {
        SCOPED_TRACE(name);
        prompter.clear();
        refuse();
        const ImportApplied applied = applyImport(context->db, read);
        EXPECT_EQ(applied.result, ImportApplied::Result::Failed);
        EXPECT_EQ(rows(Tables::TAB_CAP), 0);
        EXPECT_EQ(locks(), 0);
        ASSERT_EQ(prompter.shown().size(), 1);
        const QString report = prompter.shown().first().text;
        EXPECT_TRUE(report.startsWith(QStringLiteral("Rilevato errore su Importa tabella\n"))) << report.toStdString();
        EXPECT_TRUE(report.contains(QStringLiteral("Step Importa TAB_CAP riga %1\n").arg(failingLine)))
            << report.toStdString();
    }
}

TEST_P(TableImportTest, AnArchiveInUseElsewhereIsLeftAlone)
{
    exec(QStringLiteral("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')"));
    const ImportPreview read = preview(ImportKind::PostalCodes, "10121;Torino;TO\n");
    EXPECT_EQ(applyImport(context->db, read).result, ImportApplied::Result::Failed);
    EXPECT_EQ(rows(Tables::TAB_CAP), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT UTENTE FROM SEMAFORO WHERE AREA = 'TUTTO'")), QStringLiteral("ANNA"));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown().first().text.contains(QStringLiteral("ANNA")))
        << prompter.texts().first().toStdString();
}

TEST_P(TableImportTest, RowsWrittenElsewhereSinceThePreviewAreComparedAgain)
{
    const ImportPreview read = preview(ImportKind::PostalCodes, "10121;Torino;TO\n20121;Milano;MI\n00185;Roma;RM\n");
    ASSERT_EQ(read.added.size(), 3);
    // Another workstation, between the preview and Conferma.
    exec(QStringLiteral("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('10121', 'Torino', 'TO')"));
    exec(QStringLiteral("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('20121', 'MILANO', 'MI')"));
    const ImportApplied applied = applyImport(context->db, read);
    ASSERT_EQ(applied.result, ImportApplied::Result::Written);
    EXPECT_EQ(applied.inserted, 1);
    EXPECT_EQ(applied.updated, 1);
    EXPECT_EQ(rows(Tables::TAB_CAP), 3);
    EXPECT_EQ(value(QStringLiteral("SELECT CITTA FROM TAB_CAP WHERE CAP = '20121'")), QStringLiteral("Milano"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
}

// A file with one unchanged, one changed, one new and two refused lines.
const QByteArray kMixed = "CAP;CITTA;PROVINCIA\n"
                          "10121;Torino;TO\n"
                          "1012;Torino;TO\n"
                          "20121;MILANO;MI\n"
                          "00185;Roma;RM\n"
                          "00185;ROMA;rm\n";

TEST_P(TableImportTest, TheWindowShowsTheCountsAndTheRefusedLinesThenWrites)
{
    exec(QStringLiteral("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('10121', 'Torino', 'TO')"));
    exec(QStringLiteral("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('20121', 'Milano', 'MI')"));
    const QString path = file(QStringLiteral("misto.csv"), kMixed);

    FrmImport dialog(*context, ImportKind::PostalCodes);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Importa da file - C.A.P."));
    auto *confirm = dialog.findChild<QPushButton *>(QStringLiteral("conferma"));
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(confirm->text(), QStringLiteral("Conferma"));
    EXPECT_FALSE(confirm->isEnabled());
    ASSERT_TRUE(dialog.load(path));
    EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("conteggi"))->text(),
              QStringLiteral("Nuove: 1  Modificate: 1  Invariate: 1  Scartate: 2"));
    auto *refused = dialog.findChild<QTableWidget *>(QStringLiteral("scartate"));
    ASSERT_EQ(refused->rowCount(), 2);
    EXPECT_EQ(refused->horizontalHeaderItem(0)->text(), QStringLiteral("Riga"));
    EXPECT_EQ(refused->horizontalHeaderItem(1)->text(), QStringLiteral("Motivo"));
    EXPECT_EQ(refused->item(0, 0)->text(), QStringLiteral("3"));
    EXPECT_EQ(refused->item(0, 1)->text(), QStringLiteral("C.A.P. non di cinque cifre"));
    EXPECT_EQ(refused->item(1, 0)->text(), QStringLiteral("6"));
    EXPECT_EQ(refused->item(1, 1)->text(), QStringLiteral("riga ripetuta nel file"));
    ASSERT_TRUE(confirm->isEnabled());

    dialog.show();
    confirm->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.written(), 2);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text,
              QStringLiteral("Tabella C.A.P.: importazione completata.\nRighe nuove: 1\nRighe modificate: 1"));
    EXPECT_EQ(prompter.shown().first().title, kTitle);
    EXPECT_EQ(rows(Tables::TAB_CAP), 3);
    EXPECT_EQ(value(QStringLiteral("SELECT CITTA FROM TAB_CAP WHERE CAP = '20121'")), QStringLiteral("MILANO"));

    // Read again: nothing left to write.
    FrmImport again(*context, ImportKind::PostalCodes);
    ASSERT_TRUE(again.load(path));
    EXPECT_EQ(again.findChild<QLabel *>(QStringLiteral("conteggi"))->text(),
              QStringLiteral("Nuove: 0  Modificate: 0  Invariate: 3  Scartate: 2"));
    EXPECT_FALSE(again.findChild<QPushButton *>(QStringLiteral("conferma"))->isEnabled());
}

TEST_P(TableImportTest, TheCommandAsksTheFileAndSaysWhatWasWritten)
{
    const QString path = file(QStringLiteral("misto.csv"), kMixed);
    QStringList parents;
    const auto chosen = [&](const QString &answer) {
        return [&parents, answer](QWidget *parent) {
            parents.append(parent ? parent->objectName() : QString());
            return answer;
        };
    };

    // No file chosen: nothing said, nothing written.
    EXPECT_FALSE(importTable(*context, ImportKind::PostalCodes, nullptr, chosen(QString())));
    EXPECT_TRUE(prompter.shown().isEmpty());
    ASSERT_EQ(parents.size(), 1);
    EXPECT_EQ(parents.first(), QStringLiteral("FrmImport"));

    const QString missing = archives->folder() + QStringLiteral("manca.txt");
    EXPECT_FALSE(importTable(*context, ImportKind::PostalCodes, nullptr, chosen(missing)));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown().first().text.startsWith(QStringLiteral("Impossibile leggere il file ") + missing))
        << prompter.texts().first().toStdString();
    EXPECT_EQ(prompter.shown().first().icon, Prompter::Icon::Critical);

    const QString empty = file(QStringLiteral("vuoto.txt"), "CAP;CITTA;PROVINCIA\r\n\r\n");
    prompter.clear();
    EXPECT_FALSE(importTable(*context, ImportKind::PostalCodes, nullptr, chosen(empty)));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text, QStringLiteral("Il file %1 non contiene righe da importare.").arg(empty));

    // Conferma, Annulla in the progress window (the window stays, nothing
    // written), then Conferma again. The clicks are queued so that the
    // progress window's own event processing sees the next timer shot.
    prompter.clear();
    enum class Stage { FirstConferma, CancelProgress, SecondConferma, Done };
    Stage stage = Stage::FirstConferma;
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<FrmImport *>(top);
            if (!dialog || !dialog->isVisible())
                continue;
            auto *progress = dialog->findChild<QProgressDialog *>(QStringLiteral("importazione"));
            auto *confirm = dialog->findChild<QPushButton *>(QStringLiteral("conferma"));
            if (stage == Stage::CancelProgress && progress) {
                progress->cancel();
                stage = Stage::SecondConferma;
            } else if ((stage == Stage::FirstConferma || stage == Stage::SecondConferma) && !progress &&
                       confirm->isEnabled()) {
                stage = stage == Stage::FirstConferma ? Stage::CancelProgress : Stage::Done;
                QMetaObject::invokeMethod(confirm, &QPushButton::click, Qt::QueuedConnection);
            }
        }
    });
    press.start(0);
    EXPECT_TRUE(importTable(*context, ImportKind::PostalCodes, nullptr, chosen(path)));
    press.stop();
    EXPECT_EQ(stage, Stage::Done);
    EXPECT_EQ(
        prompter.texts(),
        (QStringList{QStringLiteral("Importazione annullata: nessuna riga è stata scritta."),
                     QStringLiteral("Tabella C.A.P.: importazione completata.\nRighe nuove: 3\nRighe modificate: 0")}));
    EXPECT_EQ(rows(Tables::TAB_CAP), 3);
}

ORLAVO_FOR_EACH_ENGINE(TableImportTest);

} // namespace
