#include "shell/windows/externalprograms.h"

#include "files.h"
#include "fixtures.h"
#include "scriptedprompter.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Testing::ScriptedPrompter;
using Orlavo::Testing::writeBytes;

namespace {

// A folder standing in for PATH, with fake programs that are shell scripts.
class ExternalPrograms : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(bin.isValid()); }

    QString install(const QString &name, const QByteArray &body = "exit 0\n", bool executable = true)
    {
        const QString file = QDir(bin.path()).absoluteFilePath(name);
        EXPECT_TRUE(writeBytes(file, "#!/bin/sh\n" + body));
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable)
            permissions |= QFile::ExeOwner;
        EXPECT_TRUE(QFile::setPermissions(file, permissions));
        return file;
    }

    ExecutableLookup inBin() const
    {
        return [dir = bin.path()](const QString &name) { return QStandardPaths::findExecutable(name, {dir}); };
    }

    QTemporaryDir bin;
};

} // namespace

TEST_F(ExternalPrograms, TheFirstInstalledProgramIsChosenWithItsArguments)
{
    // Nothing installed, or only files that cannot run or show no panel.
    install(QStringLiteral("gnome-calculator"), "exit 0\n", false);
    install(QStringLiteral("timedatectl"));
    EXPECT_FALSE(findCalculator(inBin()));
    EXPECT_FALSE(findDateTimeSettings(inBin()));

    const QString kcalc = install(QStringLiteral("kcalc"));
    const QString plasma = install(QStringLiteral("kcmshell5"));
    EXPECT_EQ(findCalculator(inBin()).value_or(ExternalProgram{}).program, kcalc);
    const ExternalProgram panel = findDateTimeSettings(inBin()).value_or(ExternalProgram{});
    EXPECT_EQ(panel.program, plasma);
    EXPECT_EQ(panel.arguments, QStringList{QStringLiteral("clock")});
}

TEST_F(ExternalPrograms, StartingRunsTheProgramOrSaysWhyNot)
{
    ScriptedPrompter prompter;
    const QString missing = QDir(bin.path()).absoluteFilePath(QStringLiteral("non-esiste"));
    EXPECT_FALSE(startExternal({missing, {}}, prompter));
    Orlavo::Testing::expectRefused(prompter, QStringLiteral("Impossibile avviare ") + missing, Prompter::Icon::Critical,
                                   Prompter::Buttons::Ok, QStringLiteral("Errore!"));

    // The program is started with its arguments, and nothing is said.
    prompter.clear();
    const QString marker = QDir(bin.path()).absoluteFilePath(QStringLiteral("avviato"));
    const QString program = install(QStringLiteral("prova"), "echo \"$@\" > '" + QFile::encodeName(marker) + "'\n");
    EXPECT_TRUE(startExternal({program, {QStringLiteral("uno"), QStringLiteral("due")}}, prompter));
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo(marker).size() > 0; }, 5000));
    EXPECT_EQ(Orlavo::Testing::readBytes(marker).trimmed(), QByteArray("uno due"));
}
