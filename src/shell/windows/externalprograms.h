#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace Orlavo::Services {
class Prompter;
}

namespace Orlavo::Shell {

// A desktop program the main window starts beside itself: the calculator
// and the system's date and time panel.
struct ExternalProgram {
    QString program; // a name to look up, or the path found
    QStringList arguments;
};

enum class ExternalTool { Calculator, DateTimeSettings };

// Name to full path of an executable, empty when there is none.
using ExecutableLookup = std::function<QString(const QString &name)>;

// The executables on PATH (QStandardPaths::findExecutable).
QString findOnPath(const QString &name);

// The programs tried for a tool, most wanted first: the desktops' own
// before the generic ones.
QList<ExternalProgram> candidates(ExternalTool tool);

// The first candidate the lookup finds, with the path found as its program.
std::optional<ExternalProgram> findFirst(const QList<ExternalProgram> &candidates, const ExecutableLookup &lookup);

std::optional<ExternalProgram> findCalculator(const ExecutableLookup &lookup = findOnPath);
std::optional<ExternalProgram> findDateTimeSettings(const ExecutableLookup &lookup = findOnPath);

// Starts the program detached: it outlives Orlavo. On failure the operator
// reads "Impossibile avviare <program>" and the result is false.
bool startExternal(const ExternalProgram &program, Services::Prompter &prompter);

// The tooltip of a command whose program is not installed.
QString unavailableReason(ExternalTool tool);

} // namespace Orlavo::Shell
