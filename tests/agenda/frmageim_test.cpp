#include "agenda/rules/agendarules.h"
#include "agenda/windows/frmage.h"
#include "agenda/windows/frmageim.h"
#include "contexttest.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

// The agenda's settings window as the agenda opens it: what it writes to
// section APPUNTAMENTI and how the open agenda follows.

using namespace Orlavo;
using namespace Orlavo::Agenda;

namespace {

const QDate kSunday(2025, 12, 7);

struct Asked {
    QColor initial;
    QString title;
};

// Sunday 7 December 2025: 07.30 (the row before the bands, an even row)
// and 09.00 (an odd one).
class AgendaColourWindowTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        run("INSERT INTO APPUNTAMENTI (GIORNO, ORA, PROGR, OPERATORE) VALUES ('2025-12-07', '07.30', 1, 'ANNA'), "
            "('2025-12-07', '09.00', 1, 'LUCA')");
    }

    std::unique_ptr<FrmAge> openAgenda()
    {
        auto agenda = std::make_unique<FrmAge>(*context);
        agenda->resize(agenda->sizeHint());
        agenda->show();
        agenda->showFrom(kSunday);
        return agenda;
    }

    // The agenda's "Impostazioni" button; `act` runs in the settings window
    // it opens, which is then closed.
    void throughSettings(FrmAge &agenda, const std::function<void(FrmAgeIm &)> &act)
    {
        bool opened = false;
        // Never left waiting on a window the test did not expect.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        guard.start(5000);
        QTimer::singleShot(0, &agenda, [&] {
            if (auto *settings = agenda.findChild<FrmAgeIm *>()) {
                opened = true;
                EXPECT_EQ(settings->windowTitle(), "Impostazioni agenda");
                act(*settings);
                settings->findChild<QPushButton *>("B_Esci")->click();
            }
        });
        agenda.findChild<QPushButton *>("B_Impostazioni")->click();
        QApplication::processEvents();
        EXPECT_TRUE(opened);
    }

    QString setting(const QString &key) const { return context->settings.read("APPUNTAMENTI", key); }
    QStringList settings(const QStringList &keys) const
    {
        QStringList values;
        for (const QString &key : keys)
            values << setting(key);
        return values;
    }

    static QColor background(const FrmAge &agenda, int row, int column)
    {
        return agenda.grid()->item(row, column)->background().color();
    }

    static QColor sample(const FrmAgeIm &settings, const QString &key, QPalette::ColorRole role)
    {
        const auto *label = settings.findChild<QLabel *>("D_" + key);
        return label ? label->palette().color(role) : QColor();
    }

    static QString headerSheet(const FrmAge &agenda) { return agenda.grid()->horizontalHeader()->styleSheet(); }
};

TEST_P(AgendaColourWindowTest, AChosenPairIsWrittenAndTheAgendaRepaints)
{
    auto agenda = openAgenda();
    EXPECT_TRUE(headerSheet(*agenda).contains("#0000c0")) << headerSheet(*agenda).toStdString();
    const int nine = 3; // 00.00-08.00, 08.00, 08.30, 09.00
    const QColor freeBefore = background(*agenda, 1, 0);

    QList<Asked> asked;
    QList<QColor> answers;
    throughSettings(*agenda, [&](FrmAgeIm &settings) {
        settings.setChooser([&](QWidget *, const QColor &initial, const QString &title) {
            asked.append({initial, title});
            return answers.isEmpty() ? QColor() : answers.takeFirst();
        });
        // The day headers: red on yellow.
        answers = {QColor(255, 0, 0), QColor(255, 255, 0)};
        settings.findChild<QPushButton *>("B_COLOREDATA_B")->click();
        EXPECT_EQ(sample(settings, "COLOREDATA_B", QPalette::Window), QColor(255, 0, 0));
        EXPECT_EQ(sample(settings, "COLOREDATA_B", QPalette::WindowText), QColor(255, 255, 0));
        // The free slots' background only: the text's dialog given up.
        answers = {QColor(200, 255, 200), QColor()};
        settings.findChild<QPushButton *>("B_COLOREDISP_B")->click();
        // The alternate rows and the selection.
        answers = {QColor(10, 20, 30), QColor(250, 240, 230), QColor(0, 128, 0), QColor(1, 2, 3)};
        settings.findChild<QPushButton *>("B_COLOREPARI_B")->click();
        settings.findChild<QPushButton *>("B_COLORESELEZIONE_B")->click();
    });

    // Each dialog starts from the colour in use, background first.
    ASSERT_EQ(asked.size(), 8);
    EXPECT_EQ(asked.at(0).initial, QColor(0, 0, 192));
    EXPECT_EQ(asked.at(0).title, "Colore di sfondo");
    EXPECT_EQ(asked.at(1).initial, QColor(255, 255, 255));
    EXPECT_EQ(asked.at(1).title, "Colore del testo");
    EXPECT_EQ(asked.at(2).initial, QColor(255, 255, 255));
    EXPECT_EQ(asked.at(4).initial, QColor(240, 240, 240));

    // The text of the free slots kept, its dialog given up.
    EXPECT_EQ(settings({"COLOREDATA_B", "COLOREDATA_F", "COLOREDISP_B", "COLOREDISP_F", "COLOREPARI_B", "COLOREPARI_F",
                        "COLORESELEZIONE_B", "COLORESELEZIONE_F"}),
              (QStringList{"255", "65535", "13172680", "0", "1971210", "15134970", "32768", "197121"}));

    // The open agenda follows.
    EXPECT_TRUE(headerSheet(*agenda).contains("#ff0000")) << headerSheet(*agenda).toStdString();
    EXPECT_TRUE(headerSheet(*agenda).contains("#ffff00")) << headerSheet(*agenda).toStdString();
    EXPECT_NE(background(*agenda, 1, 0), freeBefore);
    EXPECT_EQ(background(*agenda, 1, 0), QColor(200, 255, 200));
    EXPECT_EQ(background(*agenda, 0, 0), QColor(10, 20, 30));
    EXPECT_EQ(agenda->grid()->item(0, 0)->foreground().color(), QColor(250, 240, 230));
    EXPECT_EQ(agenda->grid()->palette().color(QPalette::Highlight), QColor(0, 128, 0));
    // The appointments are still there.
    EXPECT_EQ(agenda->cell(0, 0).size(), 1);
    EXPECT_EQ(agenda->cell(nine, 0).size(), 1);
}

TEST_P(AgendaColourWindowTest, GivingUpBothColoursWritesNothing)
{
    auto agenda = openAgenda();
    int changes = 0;
    throughSettings(*agenda, [&](FrmAgeIm &settings) {
        settings.setChooser([](QWidget *, const QColor &, const QString &) { return QColor(); });
        QObject::connect(&settings, &FrmAgeIm::changed, [&changes] { ++changes; });
        settings.choosePair("COLOREDATA_B");
    });
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(setting("COLOREDATA_B"), "12582912");
    EXPECT_EQ(setting("COLOREDATA_F"), "16777215");
}

TEST_P(AgendaColourWindowTest, TheHourColumnOptionShowsAndHidesIt)
{
    auto agenda = openAgenda();
    EXPECT_TRUE(agenda->grid()->verticalHeader()->isHidden());
    throughSettings(*agenda, [&](FrmAgeIm &settings) {
        EXPECT_FALSE(settings.hourColumn()->isChecked());
        settings.hourColumn()->click();
    });
    EXPECT_EQ(setting("COLONNE"), "S");
    EXPECT_TRUE(agenda->grid()->verticalHeader()->isVisible());

    throughSettings(*agenda, [&](FrmAgeIm &settings) {
        EXPECT_TRUE(settings.hourColumn()->isChecked());
        settings.hourColumn()->click();
    });
    EXPECT_EQ(setting("COLONNE"), "N");
    EXPECT_TRUE(agenda->grid()->verticalHeader()->isHidden());
}

TEST_P(AgendaColourWindowTest, TheDefaultsComeBack)
{
    for (const ColourSetting &colour : kColourSettings)
        context->settings.write("APPUNTAMENTI", colour.key, "4210752"); // 64,64,64
    auto agenda = openAgenda();
    EXPECT_TRUE(headerSheet(*agenda).contains("#404040"));
    throughSettings(*agenda, [&](FrmAgeIm &settings) {
        EXPECT_EQ(sample(settings, "COLOREPARI_B", QPalette::Window), QColor(64, 64, 64));
        settings.findChild<QPushButton *>("B_Predefiniti")->click();
        EXPECT_EQ(sample(settings, "COLOREPARI_B", QPalette::Window), QColor(240, 240, 240));
        EXPECT_EQ(sample(settings, "COLOREDATA_B", QPalette::WindowText), QColor(255, 255, 255));
    });
    QStringList keys;
    for (const ColourSetting &colour : kColourSettings)
        keys << colour.key;
    EXPECT_EQ(settings(keys),
              (QStringList{"15790320", "0", "16777215", "0", "14120960", "16777215", "12582912", "16777215"}));
    EXPECT_TRUE(headerSheet(*agenda).contains("#0000c0")) << headerSheet(*agenda).toStdString();
    EXPECT_EQ(background(*agenda, 0, 0), QColor(240, 240, 240));
    EXPECT_EQ(background(*agenda, 1, 0), QColor(255, 255, 255));
}

ORLAVO_FOR_EACH_ENGINE(AgendaColourWindowTest);

} // namespace
