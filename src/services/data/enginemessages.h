#pragma once

#include <QString>

namespace Orlavo::Services {

enum class Engine;

// The common failures of the two engines told in Italian, from the
// engine's own code (SQLite's result code, PostgreSQL's SQLSTATE) or, for
// the connection failures that come without one, from its text. Empty for
// a failure with no line of its own.
QString italianEngineLine(Engine engine, const QString &nativeCode, const QString &engineText);

// The Italian line, then the engine's own text on a line of its own.
QString withItalianLine(Engine engine, const QString &nativeCode, const QString &engineText);

} // namespace Orlavo::Services
