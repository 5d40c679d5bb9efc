// What an operator sees: Italian standard buttons, labels not cut off,
// windows that fit 1366×768. With ORLAVO_SCREENSHOTS=<folder> each screen is
// also saved as a PNG to look at.

#include "scriptedprompter.h"
#include "services/core/concurrency.h"
#include "services/core/settings.h"
#include "shell/windows/bootstrap.h"
#include "shell/windows/cfgprimo.h"
#include "ui/messageboxprompter.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
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

// Every visible label gets at least the width its text asks for.
void expectNothingCut(QWidget &window)
{
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->isVisible() || label->wordWrap() || label->text().isEmpty() || !label->pixmap().isNull())
            continue;
        EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();
    }
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

    // Lines joined by a carriage return show as lines.
    QMessageBox concurrency;
    Ui::MessageBoxPrompter::setUp(concurrency, Services::Concurrency::deletedElsewhere(),
                                  QStringLiteral("Gestione Tabelle "), Prompter::Icon::Warning, Prompter::Buttons::Ok,
                                  {});
    EXPECT_EQ(concurrency.text().split(QLatin1Char('\n')).size(), 3);
    EXPECT_FALSE(concurrency.text().contains(QLatin1Char('\r')));
    concurrency.show();
    save(concurrency, "10-modifiche-altri-utenti");
}

TEST_F(Screens, ConfigurationWizardPagesFit)
{
    QTemporaryDir dir;
    Services::Settings settings(dir.filePath(QStringLiteral("CONT.INI")));
    ScriptedPrompter prompter;
    Shell::CfgPrimo wizard(settings, prompter, dir.filePath(QStringLiteral("DATI")));
    wizard.show();
    EXPECT_LE(wizard.width(), 1366);
    EXPECT_LE(wizard.height(), 768);
    EXPECT_EQ(plain(wizard.button(QWizard::NextButton)), QStringLiteral("Successivo >"));
    EXPECT_EQ(plain(wizard.button(QWizard::CancelButton)), QStringLiteral("Annulla"));
    for (const char *name :
         {"02-configurazione-archivi", "03-configurazione-societa", "04-configurazione-amministratore"}) {
        SCOPED_TRACE(name);
        QApplication::processEvents();
        expectNothingCut(wizard);
        save(wizard, name);
        if (wizard.currentId() != Shell::CfgPrimo::AdminPage) {
            wizard.findChild<QLineEdit *>(QStringLiteral("ragioneSociale"))->setText(QStringLiteral("Ditta Prova Srl"));
            wizard.next();
        }
    }
    EXPECT_EQ(wizard.currentId(), Shell::CfgPrimo::AdminPage);
    EXPECT_EQ(plain(wizard.button(QWizard::FinishButton)), QStringLiteral("Fine"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
}
