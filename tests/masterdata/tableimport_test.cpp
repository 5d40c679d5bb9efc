#include "masterdata/stores/tableimport.h"
#include "masterdata/windows/frmimport.h"
#include "masterdatatest.h"
#include "services/core/tablenames.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace Orlavo;
using namespace Orlavo::Masterdata;
namespace Tables = Orlavo::Services::Tables;

namespace {

// "n: a | b | c" per line, so a mismatch reads at a glance.
QStringList describe(const QList<ImportLine> &lines)
{
    QStringList out;
    for (const ImportLine &line : lines)
        out << QStringLiteral("%1: %2").arg(line.number).arg(line.fields.join(" | "));
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
    const struct {
        const char *name;
        ImportKind kind;
        QByteArray bytes;
        const char *read; // the separator, then whether UTF-8 and a header
        QStringList lines;
    } cases[] = {
        // clang-format off
        {"UTF-8 with BOM, CRLF, header, blank line, blanks around fields", ImportKind::PostalCodes,
         "\xEF\xBB\xBF" "CAP;CITTA;PROVINCIA\r\n47121;FORLÌ;FC\r\n\r\n 00118 ; Roma ;rm\r\n", "; utf8 header",
         {"2: 47121 | FORLÌ | FC", "4: 00118 | Roma | rm"}},
        {"Latin-1 bytes, Windows apostrophe, last line without its end", ImportKind::PostalCodes,
         "47121;FORL\xCC;FC\n67100;L\x92" "AQUILA;AQ", ";",
         {"1: 47121 | FORLÌ | FC", "2: 67100 | L\u2019AQUILA | AQ"}},
        {"comma with quoted fields", ImportKind::PostalCodes,
         "00185,\"ROMA, CENTRO\",RM\n \"10121\" , \"Via \"\"Po\"\"\",TO\n10122,L\"ANGOLO,TO\n", ", utf8",
         {"1: 00185 | ROMA, CENTRO | RM", "2: 10121 | Via \"Po\" | TO", "3: 10122 | L\"ANGOLO | TO"}},
        {"tab, header in another case with blanks", ImportKind::Countries,
         " paese\t Cod_Iso \tdescrizione\nI\tIT\tITALIA\nD\tDE\tGERMANIA, REPUBBLICA FEDERALE\n", "\t utf8 header",
         {"2: I | IT | ITALIA", "3: D | DE | GERMANIA, REPUBBLICA FEDERALE"}},
        {"semicolon wins a tie with comma", ImportKind::Banks, "01005;BANCA NAZIONALE, ROMA\n03069;INTESA, MILANO\n",
         "; utf8", {"1: 01005 | BANCA NAZIONALE, ROMA", "2: 03069 | INTESA, MILANO"}},
        {"the separator most lines agree on, not the first line's", ImportKind::PostalCodes,
         "10121;TORINO;TO\n00185,ROMA,RM\n20121,MILANO,MI\n", ", utf8",
         {"1: 10121;TORINO;TO", "2: 00185 | ROMA | RM", "3: 20121 | MILANO | MI"}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ImportText text = readImportText(c.bytes, importLayout(c.kind).columnNames());
        EXPECT_EQ(QString(text.separator) + (text.utf8 ? " utf8" : "") + (text.header ? " header" : ""), c.read);
        EXPECT_EQ(describe(text.lines), c.lines);
    }
}

// One line of a kind against a table holding a Rome postal code, the
// provinces RM, MI, TO, bank 01005 and country I.
QString classifyOne(ImportKind kind, const QByteArray &line)
{
    ImportReference reference;
    reference.provinces = {"RM", "MI", "TO"};
    reference.banks = {"01005"};
    reference.addRow(importLayout(ImportKind::PostalCodes), {"00118", "Roma", "RM"});
    reference.addRow(importLayout(ImportKind::Countries), {"I", "IT", "ITALIA"});
    const ImportPreview preview =
        classifyImport(kind, readImportText(line, importLayout(kind).columnNames()), reference);
    if (preview.refused.size() == 1)
        return preview.refused.first().reason;
    if (preview.added.size() == 1)
        return "nuova " + preview.added.first().values.join('|');
    if (preview.changed.size() == 1)
        return "modificata " + preview.changed.first().values.join('|') + " su " +
               preview.changed.first().storedKey.join('|');
    if (preview.unchanged.size() == 1)
        return "invariata";
    return "?";
}

TEST(ImportClassification, EachLineIsNewChangedUnchangedOrRefusedWithItsReason)
{
    const QByteArray name50(50, 'B');
    using K = ImportKind;
    const QList<std::tuple<ImportKind, QByteArray, QString>> cases = {
        // clang-format off
        {K::PostalCodes, "00118;Roma;RM", "invariata"}, {K::PostalCodes, "00119;Roma;rm", "nuova 00119|Roma|RM"},
        {K::PostalCodes, "00118;ROMA;rm", "modificata 00118|ROMA|RM su 00118|Roma|RM"},
        {K::PostalCodes, "0011A;Roma;RM", "C.A.P. non di cinque cifre"},
        {K::PostalCodes, "00118;Roma;zz", "provincia sconosciuta: ZZ"}, {K::PostalCodes, "00118;;RM", "chiave vuota"},
        {K::PostalCodes, "00118;Roma", "numero di campi errato (2 invece di 3)"},
        {K::BankBranches, "99999;03200;X;;;;", "A.B.I. sconosciuto: 99999"},
        {K::BankBranches, "01005;3200;X;;;;", "C.A.B. non di cinque cifre"},
        {K::Banks, "01005;" + name50, "nuova 01005|" + QString::fromLatin1(name50)},
        {K::Banks, "01005;" + name50 + "B", "campo troppo lungo: DESCRIZIONE"},
        {K::Countries, "i;it;Italia", "modificata I|IT|Italia su I"},
        // clang-format on
    };
    for (const auto &[kind, line, expected] : cases) {
        SCOPED_TRACE(line.toStdString());
        EXPECT_EQ(classifyOne(kind, line), expected);
    }
}

// A header and postal codes from 10000 upwards, TO and MI in turn.
QByteArray postalCodes(int from, int to)
{
    QByteArray bytes = from == 0 ? "CAP;CITTA;PROVINCIA\r\n" : "";
    for (int i = from; i < to; ++i)
        bytes += QStringLiteral("%1;Comune %2;%3\r\n").arg(10000 + i).arg(i).arg(i % 2 ? "MI" : "TO").toUtf8();
    return bytes;
}

// Company "01" and the user of the import.
class TableImportTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override { context->state.user = "MARIO"; }

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

    // "result inserted/updated" of an import, and nothing left locked.
    QString apply(const ImportPreview &read, const ImportProgress &progress = {})
    {
        const ImportApplied applied = applyImport(context->db, read, progress);
        EXPECT_EQ(count(Tables::SEMAFORO), 0);
        EXPECT_FALSE(context->db.inTransaction());
        return QStringLiteral("%1 %2/%3").arg(int(applied.result)).arg(applied.inserted).arg(applied.updated);
    }
};

const QString kWritten = QString::number(int(ImportApplied::Result::Written)) + ' ';

TEST_P(TableImportTest, PostalCodesRefusedByLineStoredOnceUnchangedWhenImportedAgain)
{
    // Refused lines among 2500 good ones, a blank line counted all the same.
    const QString path =
        file("cap.txt", postalCodes(0, 2000) + "19999;SOLO DUE\r\n\r\n10005;COMUNE 5;mi\r\n" + postalCodes(2000, 2500));
    auto first = previewImportFile(context->db, ImportKind::PostalCodes, path);
    ASSERT_TRUE(first);
    const QStringList refused = {"2002: numero di campi errato (2 invece di 3)", "2004: riga ripetuta nel file"};
    EXPECT_EQ(describe(first->refused), refused);

    QList<std::pair<int, int>> progress;
    const auto record = [&](int done, int total) { return progress.append({done, total}), true; };
    EXPECT_EQ(apply(*first, record), kWritten + "2500/0");
    EXPECT_EQ(count(Tables::TAB_CAP), 2500);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), std::make_pair(2500, 2500));
    // The first of two equal keys is the one stored.
    EXPECT_EQ(text("SELECT CITTA || PROVINCIA FROM TAB_CAP WHERE CAP = '10005'"), "Comune 5MI");

    auto again = previewImportFile(context->db, ImportKind::PostalCodes, path);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->unchanged.size(), 2500);
    EXPECT_FALSE(again->hasWork());

    // A town written in another case is the same row, changed; another
    // name is another row, since the town is part of the key.
    EXPECT_EQ(apply(preview(ImportKind::PostalCodes, "10007;COMUNE 7;MI\n10008;Comune Otto;TO\n")), kWritten + "1/1");
    EXPECT_EQ(text("SELECT CITTA FROM TAB_CAP WHERE CAP = '10007'"), "COMUNE 7");
    EXPECT_EQ(count(Tables::TAB_CAP), 2501);

    // Stopped half-way through a new import: nothing of it is written.
    run("DELETE FROM TAB_CAP");
    int last = 0;
    const auto stop = [&](int done, int) { return last = done, done < 1000; };
    EXPECT_EQ(apply(*first, stop), QString::number(int(ImportApplied::Result::Cancelled)) + " 0/0");
    EXPECT_EQ(last, 1000);
    EXPECT_EQ(count(Tables::TAB_CAP), 0);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(TableImportTest, BranchesNeedTheirBankAndChangedOnesAreUpdated)
{
    const QByteArray branch = "ABI;CAB;BANCA;INDIRI;CITTA;CAP;PROV\n01005;03200;BNL Roma;Via Veneto 1;Roma;00187;rm\n";
    EXPECT_EQ(describe(preview(ImportKind::BankBranches, branch).refused), QStringList{"2: A.B.I. sconosciuto: 01005"});
    EXPECT_EQ(apply(preview(ImportKind::Banks, "01005;Banca Nazionale del Lavoro\n")), kWritten + "1/0");
    EXPECT_EQ(apply(preview(ImportKind::BankBranches, branch)), kWritten + "1/0");
    EXPECT_EQ(text("SELECT BANCA || '/' || INDIRI || '/' || PROV FROM TAB_CAB"), "BNL Roma/Via Veneto 1/RM");
    // The name changed, the address gone: updated in place.
    EXPECT_EQ(apply(preview(ImportKind::BankBranches, "01005;03200;BNL Roma Veneto;;Roma;00187;RM\n")),
              kWritten + "0/1");
    EXPECT_EQ(text("SELECT BANCA FROM TAB_CAB"), "BNL Roma Veneto");
    EXPECT_TRUE(archives->scalar("SELECT INDIRI FROM TAB_CAB").isNull());
}

TEST_P(TableImportTest, AFailedWriteOrAnArchiveInUseWritesNothing)
{
    const ImportPreview read = preview(ImportKind::PostalCodes, "10121;Torino;TO\n20121;Milano;MI\n10999;Ultima;TO\n");
    ASSERT_EQ(read.added.size(), 3);
    // The last line refused: the two before it are rolled back.
    ASSERT_EQ(Orlavo::Testing::refuseInserts(context->db.connection(), GetParam(), "TAB_CAP", "NEW.CAP = '10999'"),
              QString());
    EXPECT_EQ(apply(read), QString::number(int(ImportApplied::Result::Failed)) + " 0/0");
    EXPECT_EQ(count(Tables::TAB_CAP), 0);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.texts().first().startsWith("Rilevato errore su Importa tabella\n") &&
                prompter.texts().first().contains("Step Importa TAB_CAP riga 3\n"))
        << prompter.texts().first().toStdString();

    // Another workstation holds the archive: said, and its lock left alone.
    prompter.clear();
    run("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ANNA')");
    EXPECT_EQ(applyImport(context->db, read).result, ImportApplied::Result::Failed);
    EXPECT_EQ(count(Tables::TAB_CAP), 0);
    EXPECT_EQ(text("SELECT UTENTE FROM SEMAFORO WHERE AREA = 'TUTTO'"), "ANNA");
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.texts().first().contains("ANNA")) << prompter.texts().first().toStdString();
}

TEST_P(TableImportTest, RowsWrittenElsewhereSinceThePreviewAreComparedAgain)
{
    const ImportPreview read = preview(ImportKind::PostalCodes, "10121;Torino;TO\n20121;Milano;MI\n00185;Roma;RM\n");
    ASSERT_EQ(read.added.size(), 3);
    // Another workstation, between the preview and Conferma.
    run("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('10121', 'Torino', 'TO')");
    run("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('20121', 'MILANO', 'MI')");
    EXPECT_EQ(apply(read), kWritten + "1/1");
    EXPECT_EQ(count(Tables::TAB_CAP), 3);
    EXPECT_EQ(text("SELECT CITTA FROM TAB_CAP WHERE CAP = '20121'"), "Milano");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
}

TEST_P(TableImportTest, TheWindowShowsTheCountsAndTheRefusedLinesThenWrites)
{
    run("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('10121', 'Torino', 'TO')");
    run("INSERT INTO TAB_CAP (CAP, CITTA, PROVINCIA) VALUES ('20121', 'Milano', 'MI')");
    // One line unchanged, one changed, one new and one refused.
    const QString path = file("misto.csv", "CAP;CITTA;PROVINCIA\n10121;Torino;TO\n1012;Torino;TO\n20121;MILANO;MI\n"
                                           "00185;Roma;RM\n");
    FrmImport dialog(*context, ImportKind::PostalCodes);
    auto *confirm = dialog.findChild<QPushButton *>("conferma");
    ASSERT_TRUE(dialog.load(path));
    EXPECT_EQ(dialog.findChild<QLabel *>("conteggi")->text(), "Nuove: 1  Modificate: 1  Invariate: 1  Scartate: 1");
    EXPECT_EQ(dialog.findChild<QTableWidget *>("scartate")->rowCount(), 1);

    answer();
    confirm->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.texts(),
              QStringList{"Tabella C.A.P.: importazione completata.\nRighe nuove: 1\nRighe modificate: 1"});
    EXPECT_EQ(text("SELECT CITTA FROM TAB_CAP WHERE CAP = '20121'"), "MILANO");
}

TEST_P(TableImportTest, TheCommandAsksTheFileFirst)
{
    const auto choose = [](const QString &path) { return [path](QWidget *) { return path; }; };
    const QString missing = archives->folder() + "manca.txt";
    const QString empty = file("vuoto.txt", "CAP;CITTA;PROVINCIA\r\n\r\n");
    // No file chosen: nothing said.
    EXPECT_FALSE(importTable(*context, ImportKind::PostalCodes, nullptr, choose(QString())));
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_FALSE(importTable(*context, ImportKind::PostalCodes, nullptr, choose(missing)));
    EXPECT_FALSE(importTable(*context, ImportKind::PostalCodes, nullptr, choose(empty)));
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_TRUE(prompter.texts().first().startsWith("Impossibile leggere il file " + missing));
    EXPECT_EQ(prompter.texts().last(), "Il file " + empty + " non contiene righe da importare.");
}

ORLAVO_FOR_EACH_ENGINE(TableImportTest);

} // namespace
