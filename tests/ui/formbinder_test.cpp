#include "ui/formbinder.h"

#include "scriptedprompter.h"
#include "ui/fieldlook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace Orlavo::Services;
using namespace Orlavo::Ui;

namespace {

const TableDef kMain{QStringLiteral("ANAG"),
                     Target::Company,
                     {Column::key(Column::integer("ID")), Column::text("NOME", 40), Column::amount("FIDO"),
                      Column::code("ZONA", 4), Column::flagSN("ELENCO"),
                      Column::flag("PERS_SOC", QStringLiteral("P"), QStringLiteral("S")), Column::date("DATA")}};
const TableDef kPart{QStringLiteral("ANAG_EXT"),
                     Target::Company,
                     {Column::key(Column::integer("ID")), Column::text("NOTE", 60), Column::flagMinusOne("BLOCCATO")}};
const FamilyDef kFamily{{{&kMain, {}, {}, {}}, {&kPart, {}, {}, {}}}};

// A two-page window: the main data on the first page, the rest on the second.
class FormBinderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *first = new QWidget;
        auto *second = new QWidget;
        tabs->addTab(first, QStringLiteral("Dati"));
        tabs->addTab(second, QStringLiteral("Altro"));
        zona = new QComboBox(first);
        zona->addItem(QStringLiteral("Nord"), QStringLiteral("NO"));
        zona->addItem(QStringLiteral("Sud"), QStringLiteral("SU"));
        binder.bind(QStringLiteral("T_NOME"), nome = new QLineEdit(first), 0, QStringLiteral("NOME"));
        binder.bind(QStringLiteral("T_FIDO"), fido = new QLineEdit(first), 0, QStringLiteral("FIDO"));
        binder.bind(QStringLiteral("T_ZONA"), zona, 0, QStringLiteral("ZONA"));
        binder.bind(QStringLiteral("B_ELENCO"), elenco = new QCheckBox(second), 0, QStringLiteral("ELENCO"));
        binder.bind(QStringLiteral("B_PERS_SOC"), persona = new QCheckBox(second), 0, QStringLiteral("PERS_SOC"));
        binder.bind(QStringLiteral("T_DATA"), data = new QLineEdit(second), 0, QStringLiteral("DATA"));
        binder.bind(QStringLiteral("T_NOTE"), note = new QLineEdit(second), 1, QStringLiteral("NOTE"));
        binder.bind(QStringLiteral("B_BLOCCATO"), bloccato = new QCheckBox(second), 1, QStringLiteral("BLOCCATO"));
        binder.setTabs(tabs);
    }

    static Record sample()
    {
        Record record(kFamily);
        record.setKey(QStringLiteral("ID"), 12);
        record.main().set(QStringLiteral("NOME"), QStringLiteral("Rossi Srl"));
        record.main().set(QStringLiteral("FIDO"), 1500.5);
        record.main().set(QStringLiteral("ZONA"), QStringLiteral("SU"));
        record.main().set(QStringLiteral("ELENCO"), true);
        record.main().set(QStringLiteral("DATA"), QDate(2025, 2, 1));
        record.part(1).set(QStringLiteral("NOTE"), QStringLiteral("Consegna al mattino"));
        record.part(1).set(QStringLiteral("BLOCCATO"), true);
        return record;
    }

public: // the edits of the case tables reach the fields
    QWidget window;
    QTabWidget *tabs = new QTabWidget(&window);
    FormBinder binder{&window};
    QLineEdit *nome, *fido, *data, *note;
    QComboBox *zona;
    QCheckBox *elenco, *persona, *bloccato;
};

} // namespace

TEST_F(FormBinderTest, ALoadedRecordReadsBackUnchanged)
{
    const Record record = sample();
    binder.load(record);
    EXPECT_EQ(fido->text(), QStringLiteral("1500,50"));
    EXPECT_EQ(data->text(), QStringLiteral("01/02/2025"));
    EXPECT_EQ(zona->currentText(), QStringLiteral("Sud"));
    EXPECT_TRUE(elenco->isChecked());
    EXPECT_FALSE(persona->isChecked());
    EXPECT_EQ(binder.text(QStringLiteral("B_PERS_SOC")), QStringLiteral("S"));
    EXPECT_TRUE(bloccato->isChecked());
    EXPECT_TRUE(binder.read(record) == record);
    EXPECT_FALSE(binder.hasChanges());

    // Nothing but the key: blank fields, unticked boxes, still no change.
    Record blank(kFamily);
    blank.setKey(QStringLiteral("ID"), 13);
    binder.load(blank);
    EXPECT_EQ(nome->text(), QString());
    EXPECT_EQ(data->text(), QString());
    EXPECT_FALSE(elenco->isChecked());
    EXPECT_TRUE(binder.read(blank) == blank);
    EXPECT_FALSE(binder.hasChanges());
}

TEST_F(FormBinderTest, AnEditIsAChangeAndAReformattedValueIsNot)
{
    const struct {
        const char *name;
        std::function<void(FormBinderTest &)> edit;
        int part;
        const char *column;
        QVariant read; // the column's value read back
        bool changed;
    } cases[] = {
        {"name", [](auto &t) { t.nome->setText(QStringLiteral("Bianchi")); }, 0, "NOME", QStringLiteral("Bianchi"),
         true},
        {"name blanks", [](auto &t) { t.nome->setText(QStringLiteral(" Rossi Srl ")); }, 0, "NOME",
         QStringLiteral("Rossi Srl"), false},
        {"amount", [](auto &t) { t.fido->setText(QStringLiteral("1500,499")); }, 0, "FIDO", 1500.5, false},
        {"amount up", [](auto &t) { t.fido->setText(QStringLiteral("1600")); }, 0, "FIDO", 1600.0, true},
        {"date", [](auto &t) { t.data->setText(QStringLiteral("1-2-25")); }, 0, "DATA", QDate(2025, 2, 1), false},
        {"zone", [](auto &t) { t.zona->setCurrentIndex(0); }, 0, "ZONA", QStringLiteral("NO"), true},
        {"list", [](auto &t) { t.elenco->setChecked(false); }, 0, "ELENCO", false, true},
        {"person", [](auto &t) { t.persona->setChecked(true); }, 0, "PERS_SOC", true, true},
        {"note", [](auto &t) { t.note->clear(); }, 1, "NOTE", QVariant(), true},
        {"blocked", [](auto &t) { t.bloccato->setChecked(false); }, 1, "BLOCCATO", false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        binder.load(sample());
        c.edit(*this);
        EXPECT_EQ(binder.hasChanges(), c.changed);
        EXPECT_EQ(binder.read(sample()).part(c.part).value(QString::fromLatin1(c.column)), c.read);
    }
    binder.load(sample());
    binder.setText(QStringLiteral("B_PERS_SOC"), QStringLiteral("p"));
    EXPECT_TRUE(persona->isChecked());
    EXPECT_EQ(binder.text(QStringLiteral("B_PERS_SOC")), QStringLiteral("P"));
}

TEST_F(FormBinderTest, ACodeNoLongerListedIsAddedAndShown)
{
    Record record = sample();
    record.main().set(QStringLiteral("ZONA"), QStringLiteral("ce"));
    binder.load(record);
    binder.load(record);
    EXPECT_EQ(zona->count(), 3);
    EXPECT_EQ(zona->currentText(), QStringLiteral("CE"));
    EXPECT_EQ(binder.text(QStringLiteral("T_ZONA")), QStringLiteral("CE"));
    EXPECT_FALSE(binder.hasChanges());
    EXPECT_EQ(binder.read(record).value(QStringLiteral("ZONA")), QVariant(QStringLiteral("CE")));
}

// Codes match ignoring case, as the archives compare them: a code table row
// typed in lower case is still the listed item, not a code to add.
TEST_F(FormBinderTest, AListedCodeIsFoundWhateverItsCase)
{
    zona->addItem(QStringLiteral("Centro"), QStringLiteral("ce"));
    Record record = sample();
    record.main().set(QStringLiteral("ZONA"), QStringLiteral("ce"));
    binder.load(record);
    EXPECT_EQ(zona->count(), 3);
    EXPECT_EQ(zona->currentText(), QStringLiteral("Centro"));
    EXPECT_FALSE(binder.hasChanges());
}

TEST_F(FormBinderTest, FailingFieldsTurnRedAndTheSpeakerComesForward)
{
    binder.load(sample());
    const QList<FieldProblem> problems{{QStringLiteral("NOTE"), QStringLiteral("Nota troppo lunga")},
                                       {QStringLiteral("ZONA"), QStringLiteral("Zona sconosciuta")},
                                       {QStringLiteral("NOME"), QStringLiteral("Nome obbligatorio")}};
    const struct {
        bool firstSpeaks;
        int speaker;
        int tab;
    } cases[] = {{false, 2, 0}, {true, 0, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.firstSpeaks);
        markFieldError(elenco, true);
        tabs->setCurrentIndex(1 - c.tab);
        EXPECT_EQ(binder.showProblems(problems, c.firstSpeaks), problems.at(c.speaker));
        EXPECT_EQ(tabs->currentIndex(), c.tab);
        for (const QWidget *failing :
             {static_cast<QWidget *>(note), static_cast<QWidget *>(zona), static_cast<QWidget *>(nome)})
            EXPECT_TRUE(hasFieldError(failing));
        for (const QWidget *good : {static_cast<QWidget *>(fido), static_cast<QWidget *>(elenco),
                                    static_cast<QWidget *>(data), static_cast<QWidget *>(bloccato)})
            EXPECT_FALSE(hasFieldError(good));
    }
    EXPECT_FALSE(binder.showProblems({}).has_value());
    EXPECT_FALSE(hasFieldError(nome));
    EXPECT_FALSE(hasFieldError(note));
}

TEST_F(FormBinderTest, DroppingInputAsksOnlyWhenSomethingChanged)
{
    Orlavo::Testing::ScriptedPrompter prompter;
    const QString question = QStringLiteral("Abbandonare le modifiche?");
    binder.load(sample());
    EXPECT_TRUE(binder.mayDropChanges(prompter, question, QStringLiteral("Clienti")));
    EXPECT_TRUE(prompter.shown().isEmpty());

    nome->setText(QStringLiteral("Bianchi"));
    prompter.queue(Prompter::Button::No);
    prompter.queue(Prompter::Button::Yes);
    EXPECT_FALSE(binder.mayDropChanges(prompter, question, QStringLiteral("Clienti")));
    EXPECT_TRUE(binder.mayDropChanges(prompter, question, QStringLiteral("Clienti")));
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().at(0).text, question);
    EXPECT_EQ(prompter.shown().at(0).title, QStringLiteral("Clienti"));
    EXPECT_EQ(prompter.shown().at(0).buttons, Prompter::Buttons::YesNo);
}
