#pragma once

#include "archives.h"
#include "scriptedprompter.h"
#include "services/core/appstate.h"
#include "services/data/dataaccess.h"

#include <QHash>
#include <QStringList>

#include <optional>

namespace Orlavo::Testing {

// The only message shown is the given refusal.
void expectRefused(const ScriptedPrompter &prompter, const QString &text, Services::Prompter::Icon icon,
                   Services::Prompter::Buttons buttons, const QString &title = QStringLiteral("Orlavo"));

// The committed rows of some tables ("servizi.X" for a services table), as
// another workstation reads them.
class Snapshot
{
public:
    Snapshot(const TestArchives &archives, const QStringList &tables);

private:
    Services::ConnectionConfig m_config;
    QHash<QString, QStringList> m_before;
    friend void expectNothingWritten(const Snapshot &, const Services::DataAccess &);
};

// Every table of the snapshot holds the rows it held, and the program's
// connection is left without a transaction open.
void expectNothingWritten(const Snapshot &before, const Services::DataAccess &db);

} // namespace Orlavo::Testing
