// Reads every #include under the given src/ folder and fails, naming the
// file and line, on any include the libraries' table forbids.
#include "includerules.h"

#include <iostream>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "uso: orlavo_includecheck <cartella src>\n";
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    if (!std::filesystem::is_directory(root)) {
        std::cerr << root.string() << ": cartella inesistente\n";
        return 2;
    }
    const auto violations = Orlavo::IncludeCheck::checkTree(root);
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
