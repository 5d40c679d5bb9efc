#pragma once

#include <QString>

namespace Orlavo::Services {

// What a window says when the row it is about to write was changed, deleted
// or inserted by another workstation since it was read. Three lines joined
// by a carriage return; the message box shows them as lines.
namespace Concurrency {

inline QString changedElsewhere()
{
    return QStringLiteral("Rilevate modifiche effettuate da altri utenti ! \rSi consiglia di verificare . \r"
                          "OK per continuare ugualmente.");
}

inline QString deletedElsewhere()
{
    return QStringLiteral("Il record è stato eliminato da altri utenti ! \rSi consiglia di verificare . \r"
                          "OK per continuare ugualmente.");
}

inline QString insertedElsewhere()
{
    return QStringLiteral("Il record è stato inserito da altri utenti ! \rSi consiglia di verificare . \r"
                          "OK per continuare ugualmente.");
}

} // namespace Concurrency

} // namespace Orlavo::Services
