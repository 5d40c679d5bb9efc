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

// Qt modules by the include forms that name them explicitly; the plain
// forms (<QSqlQuery>, <QWidget>) fail to compile where the module is not linked.
std::optional<std::string> qtModule(const std::string &include)
{
    for (const char *module : {"QtSql", "QtWidgets", "QtGui", "QtPrintSupport"}) {
        if (startsWith(include, std::string(module) + "/") || include == module)
            return std::string(module);
    }
    return std::nullopt;
}

std::optional<std::string> qtForbidden(const Place &from, const std::string &include)
{
    const auto module = qtModule(include);
    if (!module)
        return std::nullopt;
    const bool pure = from.layer == "core" || from.layer == "rules";
    const bool headless = from.layer == "data" || from.layer == "stores" || from.layer == "engine";
    if (pure)
        return "rules and the services core use Qt Core only, not " + *module;
    if (headless && (*module == "QtWidgets" || *module == "QtPrintSupport"))
        return "stores, data access and the report engine use no widgets (" + *module + ")";
    return std::nullopt;
}

std::string describe(const Place &place)
{
    if (place.subsystem == "ui")
        return "ui";
    if (place.exported)
        return place.subsystem + "'s exported header";
    return place.subsystem + "/" + place.layer;
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

std::optional<std::string> forbidden(const std::string &from, const std::string &include, bool angle)
{
    const std::optional<Place> source = placeOf(from);
    if (!source)
        return from + " is outside the layout (services/core|data, reporting, ui, <subsystem>/rules|stores|windows)";
    if (angle)
        return qtForbidden(*source, include);
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

std::vector<Violation> checkTree(const std::filesystem::path &srcRoot)
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
            if (auto reason = forbidden(relative, include, angle))
                found.push_back({relative, number, include, *reason});
        }
    }
    return found;
}

} // namespace Orlavo::IncludeCheck
