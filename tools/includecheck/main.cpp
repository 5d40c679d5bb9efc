// Reads every #include under the given src/ folder and fails, naming the
// file and line, on any include the libraries' table forbids.
#include "includerules.h"

#include <iostream>

int main(int argc, char **argv)
{
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--qt")) {
        std::cerr << "uso: orlavo_includecheck <cartella src> [--qt <cartella include di Qt>]\n";
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    const Orlavo::IncludeCheck::QtModules modules =
        argc == 4 ? Orlavo::IncludeCheck::QtModules(argv[3]) : Orlavo::IncludeCheck::QtModules();
    if (!std::filesystem::is_directory(root)) {
        std::cerr << root.string() << ": cartella inesistente\n";
        return 2;
    }
    const auto violations = Orlavo::IncludeCheck::checkTree(root, modules);
    for (const auto &v : violations)
        std::cerr << (root / v.file).string() << ':' << v.line << ": #include \"" << v.include << "\": " << v.reason
                  << '\n';
    if (!violations.empty()) {
        std::cerr << violations.size() << " include non ammessi\n";
        return 1;
    }
    std::cout << "include: nessuna dipendenza vietata\n";
    return 0;
}
