// The library's dynamic symbol table: it exports exactly the host interface
// (library_exports.txt), and of the host it imports exactly the services a
// calendar server provides (host_services.map); everything else it needs
// comes from its own dependencies (libc, libstdc++, NSPR, Berkeley DB).

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ContainerEq;

std::vector<std::string> OutputLines(const std::string& command) {
    std::vector<std::string> lines;
    FILE* out = popen(command.c_str(), "r");
    char line[4096];
    while (out != nullptr && fgets(line, sizeof line, out) != nullptr)
        lines.emplace_back(line, std::strcspn(line, "\n"));
    EXPECT_TRUE(out != nullptr && pclose(out) == 0) << command;
    return lines;
}

// The library's dynamic symbols as `nm -D` lists them: type letter and name.
std::vector<std::pair<char, std::string>> Symbols(const std::string& options) {
    const size_t width = 2 * sizeof(void*);  // the address column
    std::vector<std::pair<char, std::string>> symbols;
    for (const std::string& line : OutputLines("nm -D " + options + " " QEL2_LIBRARY))
        symbols.emplace_back(line.at(width + 1), line.substr(width + 3));
    return symbols;
}

std::string FileText(const char* path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(LibrarySymbols, ExportsTheHostInterfaceAndNothingElse) {
    std::set<std::string> exported, listed;
    for (const auto& [type, name] : Symbols("--defined-only -C")) {
        // AddressSanitizer marks each exported variable with one of these.
        if (!name.starts_with("__odr_asan")) exported.insert(name);
    }
    std::istringstream list(FileText(QEL2_EXPORTS_LIST));
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] != '#') listed.insert(line);
    EXPECT_THAT(exported, ContainerEq(listed));
}

TEST(LibrarySymbols, ImportsOfTheHostAreExactlyItsServices) {
    std::vector<void*> dependencies;
    for (const std::string& line : OutputLines("objdump -p " QEL2_LIBRARY)) {
        std::istringstream words(line);
        std::string tag, needed;
        if (!(words >> tag >> needed) || tag != "NEEDED") continue;
        dependencies.push_back(dlopen(needed.c_str(), RTLD_LAZY | RTLD_LOCAL));
        ASSERT_NE(dependencies.back(), nullptr) << needed << ": " << dlerror();
    }
    std::set<std::string> fromTheHost;
    for (const auto& [type, versioned] : Symbols("--undefined-only")) {
        const std::string name = versioned.substr(0, versioned.find('@'));
        // Weak references may stay unresolved.
        if (type == 'U' && std::none_of(dependencies.begin(), dependencies.end(),
                                        [&](void* h) { return dlsym(h, name.c_str()) != nullptr; }))
            fromTheHost.insert(name);
    }
    // The names between "global:" and "local:" of the linker version script.
    std::string script = FileText(QEL2_HOST_SERVICES_MAP);
    script = script.substr(script.find("global:") + 7);
    script.resize(script.find("local:"));
    std::replace(script.begin(), script.end(), ';', ' ');
    std::istringstream words(script);
    EXPECT_THAT(fromTheHost,
                ContainerEq(std::set<std::string>(std::istream_iterator<std::string>(words), {})));
    for (void* handle : dependencies) dlclose(handle);
}

}  // namespace
