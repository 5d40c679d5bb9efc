#pragma once

#include "shell/stores/firstsetup.h"

#include <QString>
#include <QStringList>

namespace Orlavo::Shell {

// What a first configuration finds where it is to create the archives, and
// so what it may do with them.
struct FoundArchives {
    enum class State {
        Nothing,  // the place is free
        Whole,    // archives of ours with a company and its users: usable
        HalfMade, // left by an interrupted configuration, no operator data
        Kept,     // another program's file, or data that cannot be used
    };
    State state = State::Nothing;
    QString place;          // the folder, or the database on the server
    QStringList leftovers;  // HalfMade: the files or schemas made again
    QString companyCode;    // Whole: the company to register
    QString companyName;
    QString adminUser;      // Whole: the administrator to register
    QString refusal;        // Kept: why nothing is touched, and what to do
};

// Looks at the services and company archives of the setup, never changing
// them. A server that cannot be reached is a failure.
Services::Outcome<FoundArchives> findArchives(const FirstSetup &setup);

// Removes what an interrupted configuration left (HalfMade only).
Services::Outcome<void> removeLeftovers(const FirstSetup &setup, const FoundArchives &found);

} // namespace Orlavo::Shell
