#include "shell/windows/externalprograms.h"

#include "files.h"
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

// PATH set for one scope, restored afterwards.
class PathOverride
{
public:
    explicit PathOverride(const QString &path) : m_saved(qgetenv("PATH")) { qputenv("PATH", path.toLocal8Bit()); }
    ~PathOverride() { qputenv("PATH", m_saved); }

private:
    QByteArray m_saved;
};

} // namespace

TEST_F(ExternalPrograms, TheFirstInstalledCalculatorIsChosen)
{
    // Nothing installed, or only a file that cannot run.
    EXPECT_FALSE(findCalculator(inBin()));
    install(QStringLiteral("gnome-calculator"), "exit 0\n", false);
    EXPECT_FALSE(findCalculator(inBin()));

    const QString kcalc = install(QStringLiteral("kcalc"));
    auto found = findCalculator(inBin());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->program, kcalc);
    EXPECT_TRUE(found->arguments.isEmpty());

    // The desktop's own calculator comes before the others.
    const QString gnome = install(QStringLiteral("gnome-calculator"));
    found = findCalculator(inBin());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->program, gnome);

    // The default lookup reads the process's PATH.
    {
        const PathOverride path(bin.path());
        found = findCalculator();
        ASSERT_TRUE(found);
        EXPECT_EQ(found->program, gnome);
    }
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    const PathOverride path(empty.path());
    EXPECT_FALSE(findCalculator());
    EXPECT_FALSE(findDateTimeSettings());
}

TEST_F(ExternalPrograms, TheDateTimePanelOpensOnItsPage)
{
    // A command-line clock tool is not a panel.
    install(QStringLiteral("timedatectl"));
    EXPECT_FALSE(findDateTimeSettings(inBin()));

    const QString plasma = install(QStringLiteral("kcmshell5"));
    auto found = findDateTimeSettings(inBin());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->program, plasma);
    EXPECT_EQ(found->arguments, QStringList{QStringLiteral("clock")});

    const QString gnome = install(QStringLiteral("gnome-control-center"));
    found = findDateTimeSettings(inBin());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->program, gnome);
    EXPECT_EQ(found->arguments, QStringList{QStringLiteral("datetime")});
}

TEST_F(ExternalPrograms, StartingRunsTheProgramOrSaysWhyNot)
{
    ScriptedPrompter prompter;
    const QString missing = QDir(bin.path()).absoluteFilePath(QStringLiteral("non-esiste"));
    EXPECT_FALSE(startExternal({missing, {}}, prompter));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).text, QStringLiteral("Impossibile avviare ") + missing);
    EXPECT_EQ(prompter.shown().at(0).title, QStringLiteral("Errore!"));
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Critical);
    EXPECT_EQ(prompter.shown().at(0).buttons, Prompter::Buttons::Ok);

    // The calculator found is started with its arguments, and nothing is said.
    prompter.clear();
    const QString marker = QDir(bin.path()).absoluteFilePath(QStringLiteral("avviato"));
    install(QStringLiteral("gnome-calculator"), "echo \"$@\" > '" + QFile::encodeName(marker) + "'\n");
    auto calculator = findCalculator(inBin());
    ASSERT_TRUE(calculator);
    calculator->arguments = {QStringLiteral("uno"), QStringLiteral("due")};
    EXPECT_TRUE(startExternal(*calculator, prompter));
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker) && QFileInfo(marker).size() > 0; }, 5000));
    EXPECT_EQ(Orlavo::Testing::readBytes(marker).trimmed(), QByteArray("uno due"));
}
