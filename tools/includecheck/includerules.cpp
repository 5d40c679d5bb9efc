#include "includerules.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>

namespace Orlavo::IncludeCheck {

namespace {

// The subsystems with rules/, stores/ and windows/, and the lower ones each
// may use. Nothing uses sales; only app/ uses the shell.
const std::map<std::string, std::set<std::string>> &subsystemUses()
{
    static const std::map<std::string, std::set<std::string>> uses = {
        {"masterdata", {}},
        {"accounting", {"masterdata"}},
        {"warehouse", {"masterdata"}},
        {"sales", {"accounting", "warehouse", "masterdata"}},
        {"vehicles", {"warehouse", "masterdata"}},
        {"agenda", {"masterdata"}},
        {"shell", {"masterdata", "accounting", "warehouse", "sales", "vehicles", "agenda"}},
    };
    return uses;
}

bool isSubsystem(const std::string &name)
{
    return subsystemUses().count(name) != 0;
}

std::vector<std::string> segments(const std::string &path)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c == '/') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

bool startsWith(const std::string &text, const std::string &prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string describe(const Place &place)
{
    if (place.subsystem == "ui")
        return "ui";
    if (place.exported)
        return place.subsystem + "'s exported header";
    return place.subsystem + "/" + place.layer;
}

bool isProjectFolder(const std::string &name)
{
    return name == "services" || name == "reporting" || name == "ui" || isSubsystem(name);
}

// The Qt modules each layer may use: rules and the core Qt Core only; the
// data layer Qt Sql too; stores and the report engine Qt Gui besides, never
// widgets; windows and ui anything.
std::optional<std::string> qtForbidden(const Place &from, const std::string &module)
{
    const auto refuse = [&](const char *what) {
        return std::optional<std::string>(describe(from) + " uses " + what + ", not " + module);
    };
    if (from.layer == "core" || from.layer == "rules")
        return module == "QtCore" ? std::nullopt : refuse("Qt Core only");
    if (from.layer == "data")
        return module == "QtCore" || module == "QtSql" ? std::nullopt : refuse("Qt Core and Qt Sql only");
    if (from.layer == "stores" || from.layer == "engine")
        return module == "QtCore" || module == "QtSql" || module == "QtGui" ? std::nullopt
                                                                            : refuse("no widgets");
    return std::nullopt;
}

// Within one subsystem: rules see rules, stores see rules and stores,
// windows see everything of their own.
bool sameSubsystemAllows(const std::string &fromLayer, const std::string &toLayer)
{
    if (fromLayer == "windows")
        return true;
    if (fromLayer == "stores")
        return toLayer == "rules" || toLayer == "stores";
    return toLayer == "rules";
}

} // namespace

std::optional<Place> placeOf(const std::string &relative)
{
    const std::vector<std::string> parts = segments(relative);
    if (parts.size() < 2)
        return std::nullopt;
    const std::string &top = parts[0];
    if (top == "services") {
        if (parts.size() < 3 || (parts[1] != "core" && parts[1] != "data"))
            return std::nullopt;
        return Place{top, parts[1]};
    }
    if (top == "reporting")
        return Place{top, parts.size() >= 3 && parts[1] == "rules" ? "rules" : "engine"};
    if (top == "ui")
        return Place{top, ""};
    if (!isSubsystem(top))
        return std::nullopt;
    if (parts.size() == 2) {
        const bool exported = parts[1] == top + ".h" || parts[1] == top + ".cpp";
        return Place{top, "windows", exported};
    }
    const std::string &layer = parts[1];
    if (layer != "rules" && layer != "stores" && layer != "windows")
        return std::nullopt;
    return Place{top, layer};
}

QtModules::QtModules(const std::filesystem::path &includeRoot) : m_root(includeRoot)
{
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(includeRoot, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && startsWith(name, "Qt") && name != "QtCore")
            m_modules.push_back(name);
    }
    std::sort(m_modules.begin(), m_modules.end());
    m_modules.insert(m_modules.begin(), "QtCore");
}

std::optional<std::string> QtModules::moduleOf(const std::string &include) const
{
    const std::vector<std::string> parts = segments(include);
    if (parts.size() >= 2 && startsWith(parts.front(), "Qt"))
        return parts.front();
    if (parts.size() != 1 || !startsWith(include, "Q"))
        return std::nullopt;
    if (!m_root.empty()) {
        std::error_code error;
        for (const std::string &module : m_modules) {
            if (std::filesystem::exists(m_root / module / include, error))
                return module;
        }
        return std::nullopt;
    }
    if (startsWith(include, "QSql"))
        return std::string("QtSql");
    return std::nullopt;
}

std::optional<std::string> forbidden(const std::string &from, const std::string &include, bool angle,
                                     const QtModules &modules)
{
    const std::optional<Place> source = placeOf(from);
    if (!source)
        return from + " is outside the layout (services/core|data, reporting, ui, <subsystem>/rules|stores|windows)";
    if (angle) {
        const std::vector<std::string> parts = segments(include);
        if (!parts.empty() && isProjectFolder(parts.front()))
            return std::string("the program's own headers are included with quotes");
        if (const auto module = modules.moduleOf(include))
            return qtForbidden(*source, *module);
        return std::nullopt;
    }
    if (include.size() > 4 && include.compare(include.size() - 4, 4, ".moc") == 0)
        return std::nullopt;

    const std::optional<Place> target = placeOf(include);
    if (!target)
        return "includes are written from src/ and name a file of the layout";
    const Place &f = *source;
    const Place &t = *target;
    const std::string refused = describe(f) + " may not include " + describe(t);

    // The services: the core uses only itself; data uses the core.
    if (f.subsystem == "services") {
        if (t.subsystem != "services" || (f.layer == "core" && t.layer != "core"))
            return refused;
        return std::nullopt;
    }
    if (t.subsystem == "services") {
        if (t.layer == "core")
            return std::nullopt;
        if (f.layer == "rules")
            return refused + ": rules use the services core only";
        return std::nullopt;
    }
    // The report engine: its rules are plain; the rest uses services.
    if (f.subsystem == "reporting") {
        if (t.subsystem != "reporting" || (f.layer == "rules" && t.layer != "rules"))
            return refused;
        return std::nullopt;
    }
    if (t.subsystem == "reporting") {
        if (t.layer == "rules" || f.layer != "rules")
            return std::nullopt;
        return refused + ": rules use the services core only";
    }
    // Shared window pieces: ui uses services and reporting, and is used by windows.
    if (f.subsystem == "ui")
        return t.subsystem == "ui" ? std::nullopt : std::optional<std::string>(refused);
    if (t.subsystem == "ui") {
        if (f.layer == "windows")
            return std::nullopt;
        return refused + ": only windows use the shared window pieces";
    }
    // Subsystems.
    if (f.subsystem == t.subsystem) {
        if (sameSubsystemAllows(f.layer, t.layer))
            return std::nullopt;
        return refused;
    }
    const auto &uses = subsystemUses().at(f.subsystem);
    if (uses.count(t.subsystem) == 0)
        return refused + ": " + f.subsystem + " does not use " + t.subsystem;
    if (t.exported) {
        if (f.layer == "windows")
            return std::nullopt;
        return refused + ": only windows open another subsystem's windows";
    }
    if (t.layer == "windows")
        return refused + ": another subsystem's windows are reached through " + t.subsystem + "/" + t.subsystem + ".h";
    if (t.layer == "rules" || f.layer != "rules")
        return std::nullopt;
    return refused;
}

std::vector<Violation> checkTree(const std::filesystem::path &srcRoot, const QtModules &modules)
{
    static const std::regex includeLine(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<std::filesystem::path> files;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(srcRoot)) {
        const auto ext = entry.path().extension();
        if (entry.is_regular_file() && (ext == ".h" || ext == ".cpp"))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());

    std::vector<Violation> found;
    for (const auto &path : files) {
        const std::string relative = std::filesystem::relative(path, srcRoot).generic_string();
        std::ifstream in(path);
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            std::smatch match;
            if (!std::regex_search(line, match, includeLine))
                continue;
            const bool angle = match[1] == "<";
            const std::string include = match[2];
            if (auto reason = forbidden(relative, include, angle, modules))
                found.push_back({relative, number, include, *reason});
        }
    }
    return found;
}

} // namespace Orlavo::IncludeCheck
