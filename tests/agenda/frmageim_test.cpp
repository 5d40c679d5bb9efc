#include "agenda/rules/agendarules.h"
#include "agenda/windows/frmage.h"
#include "agenda/windows/frmageim.h"
#include "contexttest.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

// The agenda's settings window as the agenda opens it: what it writes to
// section APPUNTAMENTI and how the open agenda follows.

using namespace Orlavo;
using namespace Orlavo::Agenda;

namespace {

const QDate kSunday(2025, 12, 7);

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

    static QString headerSheet(const FrmAge &agenda) { return agenda.grid()->horizontalHeader()->styleSheet(); }
};

TEST_P(AgendaColourWindowTest, AChosenPairIsWrittenAndTheAgendaRepaints)
{
    auto agenda = openAgenda();
    EXPECT_TRUE(headerSheet(*agenda).contains("#0000c0")) << headerSheet(*agenda).toStdString();

    QList<QColor> initial;
    QList<QColor> answers;
    throughSettings(*agenda, [&](FrmAgeIm &settings) {
        settings.setChooser([&](QWidget *, const QColor &start, const QString &) {
            initial.append(start);
            return answers.isEmpty() ? QColor() : answers.takeFirst();
        });
        // The day headers: red on yellow.
        answers = {QColor(255, 0, 0), QColor(255, 255, 0)};
        settings.findChild<QPushButton *>("B_COLOREDATA_B")->click();
        // The free slots' background only: the text's dialog given up.
        answers = {QColor(200, 255, 200), QColor()};
        settings.findChild<QPushButton *>("B_COLOREDISP_B")->click();
        answers = {QColor(0, 128, 0), QColor(1, 2, 3)};
        settings.findChild<QPushButton *>("B_COLORESELEZIONE_B")->click();
    });

    // Each dialog starts from the colour in use, background first.
    ASSERT_EQ(initial.size(), 6);
    EXPECT_EQ(initial.at(0), QColor(0, 0, 192));
    EXPECT_EQ(initial.at(1), QColor(255, 255, 255));
    EXPECT_EQ(settings({"COLOREDATA_B", "COLOREDATA_F", "COLOREDISP_B", "COLOREDISP_F", "COLORESELEZIONE_B",
                        "COLORESELEZIONE_F"}),
              (QStringList{"255", "65535", "13172680", "0", "32768", "197121"}));

    // The open agenda follows, its appointments still shown.
    EXPECT_TRUE(headerSheet(*agenda).contains("#ff0000")) << headerSheet(*agenda).toStdString();
    EXPECT_TRUE(headerSheet(*agenda).contains("#ffff00")) << headerSheet(*agenda).toStdString();
    EXPECT_EQ(background(*agenda, 1, 0), QColor(200, 255, 200));
    EXPECT_EQ(agenda->grid()->palette().color(QPalette::Highlight), QColor(0, 128, 0));
    EXPECT_EQ(agenda->cell(0, 0).size(), 1);
}

// The hour column only with COLONNE "S": a half hour by its start, a row out
// of the bands by both ends.
TEST_P(AgendaColourWindowTest, TheHourColumnOptionShowsIt)
{
    auto agenda = openAgenda();
    EXPECT_TRUE(agenda->grid()->verticalHeader()->isHidden());
    throughSettings(*agenda, [&](FrmAgeIm &settings) {
        EXPECT_FALSE(settings.hourColumn()->isChecked());
        settings.hourColumn()->click();
    });
    EXPECT_EQ(setting("COLONNE"), "S");
    EXPECT_TRUE(agenda->grid()->verticalHeader()->isVisible());
    EXPECT_EQ(agenda->grid()->verticalHeaderItem(0)->text(), "00.00-08.00");
    EXPECT_EQ(agenda->grid()->verticalHeaderItem(1)->text(), "08.00");
}

TEST_P(AgendaColourWindowTest, TheDefaultsComeBack)
{
    for (const ColourSetting &colour : kColourSettings)
        context->settings.write("APPUNTAMENTI", colour.key, "4210752"); // 64,64,64
    auto agenda = openAgenda();
    EXPECT_TRUE(headerSheet(*agenda).contains("#404040"));
    throughSettings(*agenda, [&](FrmAgeIm &settings) { settings.findChild<QPushButton *>("B_Predefiniti")->click(); });
    for (const ColourSetting &colour : kColourSettings)
        EXPECT_EQ(setting(colour.key), colour.defaultValue) << colour.key;
    EXPECT_TRUE(headerSheet(*agenda).contains("#0000c0")) << headerSheet(*agenda).toStdString();
    EXPECT_EQ(background(*agenda, 0, 0), QColor(240, 240, 240));
}

ORLAVO_FOR_EACH_ENGINE(AgendaColourWindowTest);

} // namespace
