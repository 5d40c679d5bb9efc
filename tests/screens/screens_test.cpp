// What an operator sees: Italian standard buttons and the configuration
// wizard's pages. With ORLAVO_SCREENSHOTS=<folder> each screen is also saved
// as a PNG to look at.

#include "scriptedprompter.h"
#include "services/core/settings.h"
#include "shell/windows/bootstrap.h"
#include "shell/windows/cfgprimo.h"
#include "ui/messageboxprompter.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo;
using Orlavo::Testing::ScriptedPrompter;

namespace {

void save(QWidget &widget, const char *name)
{
    const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget.grab().save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}

QString plain(const QAbstractButton *button)
{
    return button->text().remove(QLatin1Char('&'));
}

class Screens : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { Shell::installItalian(*qApp); }
};

} // namespace

TEST_F(Screens, QuestionsHaveItalianButtons)
{
    using Services::Prompter;
    QMessageBox box;
    Ui::MessageBoxPrompter::setUp(box,
                                  QStringLiteral("Prima esecuzione dell'applicazione: \n"
                                                 "Si vuole procedere con la configurazione guidata ? "),
                                  QStringLiteral("Orlavo"), Prompter::Icon::Question, Prompter::Buttons::YesNo, {});
    box.show();
    EXPECT_EQ(plain(box.button(QMessageBox::Yes)) + plain(box.button(QMessageBox::No)), QStringLiteral("SìNo"));
    save(box, "01-prima-esecuzione");

    QMessageBox cancel;
    Ui::MessageBoxPrompter::setUp(cancel, QStringLiteral("Confermi inserimento ?"), QStringLiteral("Orlavo"),
                                  Prompter::Icon::Question, Prompter::Buttons::OkCancel, Prompter::Button::Cancel);
    EXPECT_EQ(plain(cancel.button(QMessageBox::Cancel)), QStringLiteral("Annulla"));
    EXPECT_EQ(cancel.defaultButton(), cancel.button(QMessageBox::Cancel));
}

// The pages follow one another with a company name and nothing asked.
TEST_F(Screens, ConfigurationWizardPages)
{
    QTemporaryDir dir;
    Services::Settings settings(dir.filePath(QStringLiteral("CONT.INI")));
    ScriptedPrompter prompter;
    Shell::CfgPrimo wizard(settings, prompter, dir.filePath(QStringLiteral("DATI")));
    wizard.show();
    for (const char *name :
         {"02-configurazione-archivi", "03-configurazione-societa", "04-configurazione-amministratore"}) {
        QApplication::processEvents();
        save(wizard, name);
        if (wizard.currentId() != Shell::CfgPrimo::AdminPage) {
            wizard.findChild<QLineEdit *>(QStringLiteral("ragioneSociale"))->setText(QStringLiteral("Ditta Prova Srl"));
            wizard.next();
        }
    }
    EXPECT_EQ(wizard.currentId(), Shell::CfgPrimo::AdminPage);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
}
