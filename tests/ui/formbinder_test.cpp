#include "ui/formbinder.h"

#include "fixtures.h"
#include "ui/fieldlook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace Orlavo::Services;
using namespace Orlavo::Ui;

namespace {

const TableDef kMain{"ANAG",
                     Target::Company,
                     {Column::key(Column::integer("ID")), Column::text("NOME", 40), Column::amount("FIDO"),
                      Column::code("ZONA", 4), Column::flagSN("ELENCO"), Column::flag("PERS_SOC", "P", "S"),
                      Column::date("DATA")}};
const TableDef kPart{"ANAG_EXT",
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
        tabs->addTab(first, "Dati");
        tabs->addTab(second, "Altro");
        zona = new QComboBox(first);
        zona->addItem("Nord", "NO");
        zona->addItem("Sud", "SU");
        binder.bind("T_NOME", nome = new QLineEdit(first), 0, "NOME");
        binder.bind("T_FIDO", fido = new QLineEdit(first), 0, "FIDO");
        binder.bind("T_ZONA", zona, 0, "ZONA");
        binder.bind("B_ELENCO", elenco = new QCheckBox(second), 0, "ELENCO");
        binder.bind("B_PERS_SOC", persona = new QCheckBox(second), 0, "PERS_SOC");
        binder.bind("T_DATA", data = new QLineEdit(second), 0, "DATA");
        binder.bind("T_NOTE", note = new QLineEdit(second), 1, "NOTE");
        binder.bind("B_BLOCCATO", bloccato = new QCheckBox(second), 1, "BLOCCATO");
        binder.setTabs(tabs);
    }

    static Record sample(const QString &zone = "SU")
    {
        Record record(kFamily);
        record.setKey("ID", 12);
        record.main().set("NOME", "Rossi Srl");
        record.main().set("FIDO", 1500.5);
        record.main().set("ZONA", zone);
        record.main().set("ELENCO", true);
        record.main().set("DATA", QDate(2025, 2, 1));
        record.part(1).set("NOTE", "Consegna al mattino");
        record.part(1).set("BLOCCATO", true);
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

// A loaded record shows and reads back unchanged. Codes match ignoring
// case, as the archives compare them; a code no longer listed is added so
// it shows, and fails its check.
TEST_F(FormBinderTest, ALoadedRecordReadsBackUnchanged)
{
    zona->addItem("Centro", "ce");
    const std::tuple<const char *, const char *, int> zones[] = {
        {"SU", "Sud", 3}, {"CE", "Centro", 3}, {"ov", "OV", 4}};
    for (const auto &[stored, shown, items] : zones) {
        SCOPED_TRACE(stored);
        const Record record = sample(stored);
        binder.load(record);
        EXPECT_EQ(zona->currentText(), shown);
        EXPECT_EQ(zona->count(), items);
        EXPECT_TRUE(binder.read(record) == record);
        EXPECT_FALSE(binder.hasChanges());
    }
    EXPECT_EQ(QStringList({fido->text(), data->text(), binder.text("B_PERS_SOC")}),
              QStringList({"1500,50", "01/02/2025", "S"}));
    EXPECT_TRUE(elenco->isChecked() && !persona->isChecked() && bloccato->isChecked());

    // Nothing but the key: blank fields, unticked boxes, still no change.
    Record blank(kFamily);
    blank.setKey("ID", 13);
    binder.load(blank);
    EXPECT_TRUE(nome->text().isEmpty() && data->text().isEmpty() && !elenco->isChecked());
    EXPECT_TRUE(binder.read(blank) == blank);
    EXPECT_FALSE(binder.hasChanges());
}

TEST_F(FormBinderTest, AnEditIsAChangeAndAReformattedValueIsNot)
{
    using T = FormBinderTest;
    const struct {
        const char *name;
        std::function<void(T &)> edit;
        int part;
        const char *column;
        QVariant read; // the column's value read back
        bool changed;
    } cases[] = {
        {"amount", [](T &t) { t.fido->setText("1500,499"); }, 0, "FIDO", 1500.5, false},
        {"amount up", [](T &t) { t.fido->setText("1600"); }, 0, "FIDO", 1600.0, true},
        {"zone", [](T &t) { t.zona->setCurrentIndex(0); }, 0, "ZONA", "NO", true},
        {"person by its letter", [](T &t) { t.binder.setText("B_PERS_SOC", "p"); }, 0, "PERS_SOC", true, true},
        {"note", [](T &t) { t.note->clear(); }, 1, "NOTE", QVariant(), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        binder.load(sample());
        c.edit(*this);
        EXPECT_EQ(binder.hasChanges(), c.changed);
        EXPECT_EQ(binder.read(sample()).part(c.part).value(c.column), c.read);
    }
}

TEST_F(FormBinderTest, FailingFieldsTurnRedAndTheSpeakerComesForward)
{
    binder.load(sample());
    const QList<FieldProblem> problems{
        {"NOTE", "Nota troppo lunga"}, {"ZONA", "Zona sconosciuta"}, {"NOME", "Nome obbligatorio"}};
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
        for (QWidget *field : std::initializer_list<QWidget *>{note, zona, nome, fido, elenco, data, bloccato})
            EXPECT_EQ(hasFieldError(field), field == note || field == zona || field == nome) << field;
    }
    EXPECT_FALSE(binder.showProblems({}).has_value());
    EXPECT_FALSE(hasFieldError(nome) || hasFieldError(note));
}

TEST_F(FormBinderTest, DroppingInputAsksOnlyWhenSomethingChanged)
{
    Orlavo::Testing::ScriptedPrompter prompter;
    binder.load(sample());
    EXPECT_TRUE(binder.mayDropChanges(prompter, "Abbandonare le modifiche?", "Clienti"));
    EXPECT_TRUE(prompter.shown().isEmpty());
    nome->setText("Bianchi");
    prompter.queue(Prompter::Button::No);
    EXPECT_FALSE(binder.mayDropChanges(prompter, "Abbandonare le modifiche?", "Clienti"));
    Orlavo::Testing::expectRefused(prompter, "Abbandonare le modifiche?", Prompter::Icon::Question,
                                   Prompter::Buttons::YesNo, "Clienti");
    prompter.queue(Prompter::Button::Yes);
    EXPECT_TRUE(binder.mayDropChanges(prompter, "Abbandonare le modifiche?", "Clienti"));
}
