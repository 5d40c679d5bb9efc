#include "shell/windows/externalprograms.h"

#include "services/data/prompter.h"

#include <QProcess>
#include <QStandardPaths>

namespace Orlavo::Shell {

namespace {

constexpr char kCannotStart[] = "Impossibile avviare ";
constexpr char kExternalprogramsTitleError[] = "Errore!";

} // namespace

QString findOnPath(const QString &name)
{
    return QStandardPaths::findExecutable(name);
}

QList<ExternalProgram> candidates(ExternalTool tool)
{
    switch (tool) {
    case ExternalTool::Calculator:
        return {
            {QStringLiteral("gnome-calculator"), {}}, {QStringLiteral("kcalc"), {}},
            {QStringLiteral("galculator"), {}},       {QStringLiteral("mate-calc"), {}},
            {QStringLiteral("qalculate-gtk"), {}},    {QStringLiteral("xcalc"), {}},
        };
    case ExternalTool::DateTimeSettings:
        // Only panels: timedatectl changes the clock but shows nothing.
        return {
            {QStringLiteral("gnome-control-center"), {QStringLiteral("datetime")}},
            {QStringLiteral("kcmshell6"), {QStringLiteral("kcm_clock")}},
            {QStringLiteral("systemsettings"), {QStringLiteral("kcm_clock")}},
            {QStringLiteral("kcmshell5"), {QStringLiteral("clock")}},
            {QStringLiteral("cinnamon-settings"), {QStringLiteral("calendar")}},
            {QStringLiteral("xfce4-datetime-settings"), {}},
            {QStringLiteral("time-admin"), {}},
        };
    }
    return {};
}

std::optional<ExternalProgram> findFirst(const QList<ExternalProgram> &candidates, const ExecutableLookup &lookup)
{
    for (const ExternalProgram &candidate : candidates) {
        const QString path = lookup(candidate.program);
        if (!path.isEmpty())
            return ExternalProgram{path, candidate.arguments};
    }
    return std::nullopt;
}

std::optional<ExternalProgram> findCalculator(const ExecutableLookup &lookup)
{
    return findFirst(candidates(ExternalTool::Calculator), lookup);
}

std::optional<ExternalProgram> findDateTimeSettings(const ExecutableLookup &lookup)
{
    return findFirst(candidates(ExternalTool::DateTimeSettings), lookup);
}

bool startExternal(const ExternalProgram &program, Services::Prompter &prompter)
{
    if (!program.program.isEmpty() && QProcess::startDetached(program.program, program.arguments))
        return true;
    prompter.error(QString::fromLatin1(kCannotStart) + program.program, QString::fromLatin1(kExternalprogramsTitleError));
    return false;
}

QString unavailableReason(ExternalTool tool)
{
    switch (tool) {
    case ExternalTool::Calculator: return QStringLiteral("Nessuna calcolatrice installata");
    case ExternalTool::DateTimeSettings: return QStringLiteral("Nessun pannello data e ora installato");
    }
    return QString();
}

} // namespace Orlavo::Shell
