#pragma once

#include "reporting/rules/reportlist.h"
#include "services/core/appstate.h"
#include "services/core/settings.h"
#include "services/data/dataaccess.h"
#include "services/data/prompter.h"

namespace Orlavo::Ui {

inline constexpr char kAppName[] = "Orlavo";

// NOMEAPP: the name the program shows in titles, written back when missing.
inline QString applicationName(const Services::Settings &settings)
{
    return settings.readOr(QStringLiteral("MAIN"), QStringLiteral("NOMEAPP"), QString::fromLatin1(kAppName));
}

// What every window of one running program shares: the application state,
// CONT.INI, the prompter and the data-access layer.
struct AppContext {
    AppContext(const QString &appFolder, Services::Prompter &prompter)
        : settings(appFolder + QStringLiteral("CONT.INI")), prompter(prompter),
          db(state, prompter, appFolder + QStringLiteral("CONT.LOG"))
    {
        state.appFolder = appFolder;
    }

    Services::AppState state;
    Services::Settings settings;
    Services::Prompter &prompter;
    Services::DataAccess db;
    // The printable reports of RPTINI.TXT, read at start-up.
    QList<Reporting::ReportEntry> reports;
};

} // namespace Orlavo::Ui
