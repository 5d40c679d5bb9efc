#include "agenda/rules/agendarules.h"
#include "agenda/windows/frmageim.h"
#include "agendawindowtest.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>

// The agenda's settings window as the agenda opens it: what it writes to
// section APPUNTAMENTI and how the open agenda follows.

using namespace Orlavo;
using namespace Orlavo::Agenda;

namespace {

class FrmAgeImTest : public Testing::AgendaViewTest
{
protected:
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
                act(*settings);
                settings->findChild<QPushButton *>("B_Esci")->click();
            }
        });
        agenda.findChild<QPushButton *>("B_Impostazioni")->click();
        QApplication::processEvents();
        EXPECT_TRUE(opened);
    }

    QString setting(const QString &key) const { return context->settings.read("APPUNTAMENTI", key); }

    static QString headerSheet(const FrmAge &agenda) { return agenda.grid()->horizontalHeader()->styleSheet(); }
};

TEST_P(FrmAgeImTest, AChosenPairIsWrittenAndTheAgendaRepaints)
{
    auto agenda = open();
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
    });

    // Each dialog starts from the colour in use, background first.
    EXPECT_EQ(initial,
              (QList<QColor>{QColor(0, 0, 192), QColor(255, 255, 255), QColor(255, 255, 255), QColor(0, 0, 0)}));
    QStringList written;
    for (const char *key : {"COLOREDATA_B", "COLOREDATA_F", "COLOREDISP_B", "COLOREDISP_F"})
        written << setting(key);
    EXPECT_EQ(written, (QStringList{"255", "65535", "13172680", "0"}));

    // The open agenda follows, its appointments still shown.
    EXPECT_TRUE(headerSheet(*agenda).contains("#ff0000")) << headerSheet(*agenda).toStdString();
    EXPECT_TRUE(headerSheet(*agenda).contains("#ffff00")) << headerSheet(*agenda).toStdString();
    EXPECT_EQ(agenda->grid()->item(1, 0)->background().color(), QColor(200, 255, 200));
    EXPECT_EQ(lines(*agenda, 0, 0), QStringList{"07.30  MARCO  Bianchi"});
}

// The hour column only with COLONNE "S": a half hour by its start, a row out
// of the bands by both ends.
TEST_P(FrmAgeImTest, TheHourColumnOptionShowsIt)
{
    auto agenda = open();
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

TEST_P(FrmAgeImTest, TheDefaultsComeBack)
{
    for (const ColourSetting &colour : kColourSettings)
        context->settings.write("APPUNTAMENTI", colour.key, "4210752"); // 64,64,64
    auto agenda = open();
    throughSettings(*agenda, [&](FrmAgeIm &settings) { settings.findChild<QPushButton *>("B_Predefiniti")->click(); });
    for (const ColourSetting &colour : kColourSettings)
        EXPECT_EQ(setting(colour.key), colour.defaultValue) << colour.key;
    EXPECT_TRUE(headerSheet(*agenda).contains("#0000c0")) << headerSheet(*agenda).toStdString();
    EXPECT_EQ(agenda->grid()->item(0, 0)->background().color(), QColor(240, 240, 240));
}

ORLAVO_FOR_EACH_ENGINE(FrmAgeImTest);

} // namespace
