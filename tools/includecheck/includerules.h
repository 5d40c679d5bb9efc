#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Orlavo::IncludeCheck {

// Where a file of src/ sits: its subsystem ("services", "reporting", "ui",
// "masterdata", …) and its layer in it ("core", "data", "rules", "stores",
// "windows", "engine" for the report engine's other files, "" for ui).
struct Place {
    std::string subsystem;
    std::string layer;
    bool exported = false; // the subsystem's own header, <name>/<name>.h
};

// The place of a path relative to src/ ("masterdata/stores/customerstore.h");
// nothing when the path is not under a known folder.
std::optional<Place> placeOf(const std::string &relative);

// The Qt module a bracketed include belongs to: the written module
// ("QtSql/QSqlQuery"), or for a plain class header ("QSqlQuery") the module
// folder of the Qt include root that holds it. Without a root only the
// written form and the QSql prefix are known.
class QtModules
{
public:
    QtModules() = default;
    explicit QtModules(const std::filesystem::path &includeRoot);
    std::optional<std::string> moduleOf(const std::string &include) const;

private:
    std::filesystem::path m_root;
    std::vector<std::string> m_modules; // QtCore first
};

// Why the file at `from` (relative to src/) may not include `include`
// (written as in the source, quotes or brackets stripped; angle tells which);
// nothing when it may.
std::optional<std::string> forbidden(const std::string &from, const std::string &include, bool angle,
                                     const QtModules &modules = {});

struct Violation {
    std::string file; // relative to src/
    int line = 0;
    std::string include;
    std::string reason;
};

// Every #include of every .h and .cpp under srcRoot that the table forbids.
std::vector<Violation> checkTree(const std::filesystem::path &srcRoot, const QtModules &modules = {});

} // namespace Orlavo::IncludeCheck
