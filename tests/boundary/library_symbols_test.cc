// The library's dynamic symbol table: it exports the host interface and
// nothing else, and of the host it imports exactly the services a calendar
// server provides (host_services.map); everything else it needs comes from
// its own dependencies (libc, libstdc++, NSPR, Berkeley DB).

#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct DynamicSymbols {
    std::set<std::string> exported;   // defined, global, default visibility
    std::set<std::string> undefined;  // strong undefined references
    std::vector<std::string> needed;  // DT_NEEDED libraries
};

// Reads .dynsym and .dynamic of a shared library of this program's own
// ELF class.
DynamicSymbols ReadDynamicSymbols(const char* path) {
    std::ifstream file(path, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    DynamicSymbols out;
    if (image.size() < sizeof(ElfW(Ehdr))) return out;
    const char* base = image.data();
    const auto* header = reinterpret_cast<const ElfW(Ehdr)*>(base);
    const auto* sections = reinterpret_cast<const ElfW(Shdr)*>(base + header->e_shoff);
    for (int i = 0; i < header->e_shnum; ++i) {
        const ElfW(Shdr)& section = sections[i];
        const char* strings = base + sections[section.sh_link].sh_offset;
        if (section.sh_type == SHT_DYNSYM) {
            const auto* symbols = reinterpret_cast<const ElfW(Sym)*>(base + section.sh_offset);
            for (size_t s = 1; s < section.sh_size / sizeof(ElfW(Sym)); ++s) {
                const ElfW(Sym)& symbol = symbols[s];
                const std::string name = strings + symbol.st_name;
                const int binding = ELF64_ST_BIND(symbol.st_info);
                if (symbol.st_shndx == SHN_UNDEF) {
                    if (binding == STB_GLOBAL) out.undefined.insert(name);
                } else if (binding != STB_LOCAL &&
                           ELF64_ST_VISIBILITY(symbol.st_other) == STV_DEFAULT) {
                    out.exported.insert(name);
                }
            }
        } else if (section.sh_type == SHT_DYNAMIC) {
            const auto* entries = reinterpret_cast<const ElfW(Dyn)*>(base + section.sh_offset);
            for (size_t e = 0;
                 e < section.sh_size / sizeof(ElfW(Dyn)) && entries[e].d_tag != DT_NULL; ++e) {
                if (entries[e].d_tag == DT_NEEDED)
                    out.needed.push_back(strings + entries[e].d_un.d_val);
            }
        }
    }
    return out;
}

std::string Demangled(const std::string& name) {
    int status = 0;
    char* text = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
    std::string result = status == 0 ? text : name;
    std::free(text);
    return result;
}

// The names of the "global:" part of a linker version script.
std::set<std::string> ScriptNames(const char* path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    std::string script = std::regex_replace(text.str(), std::regex(R"(/\*[\s\S]*?\*/)"), "");
    script = script.substr(script.find("global:") + 7);
    script = script.substr(0, script.find("local:"));
    std::set<std::string> names;
    const std::regex name(R"([A-Za-z_][A-Za-z0-9_]*)");
    for (std::sregex_iterator it(script.begin(), script.end(), name), end; it != end; ++it)
        names.insert(it->str());
    return names;
}

TEST(LibrarySymbols, ExportsTheHostInterfaceAndNothingElse) {
    const std::set<std::string> functionsAndData = {
        // Records, their constructors and destructors, and the private releases.
        "qel2_NewEvent",
        "qel2_NewToDo",
        "qel2_NewAlarm",
        "qel2_NewOrganizer",
        "qel2_NewAttendee",
        "qel2_FreeOrganizer",
        "qel2_FreeAttendee",
        "qel2_FreeAlarm",
        "qel2_FreeEvent",
        "qel2_FreeToDo",
        "qel2_FreeCalProps",
        "qel2_FreeCalPropsList",
        "qel2_FreeEventList",
        "qel2_FreeToDoList",
        "qel2_pvt_FreeEvent",
        "qel2_pvt_FreeToDo",
        "qel2_pvt_FreeOrganizer",
        "qel2_pvt_FreeAttendee",
        "qel2_pvt_FreeCalProps",
        "qel2_pvt_FreeCalPropsList",
        "qel2_pvt_FreeEventList",
        "qel2_pvt_FreeToDoList",
        // Logging.
        "qel2_Log",
        "qel2_pvt_TraceLog",
        "qel2_pvt_LogAndReturnError",
        "qel2_CheckpointDebugMessage",
        "operation_out_of_disk_space",
        "qel2_recover_err",
        "asLevels",
        "qel2_ResultText",
        // The store engine.
        "gCalDB",
        "qel2_asDBFiles",
        "qel2_pvt_OpenDB",
        "qel2_pvt_CloseDB",
        "qel2_OpenAllDBFiles",
        "qel2_CloseAllDBFiles",
        "qel2_pvt_OpenDBCore",
        "qel2_pvt_CloseDBFile",
        "qel2_pvt_InitDB",
        "qel2_FreeMonitor",
        "qel2_pvt_InitializeDBCounters",
        "qel2_InitializeEnvironment",
        "qel2_pvt_SpawnThread",
        "qel2_CheckpointThreadMain",
        "qel2_DeadlockThreadMain",
        "qel2_pvt_StopServerAlarmDispatch",
        "qel2_pvt_GetStats",
        "qel2_pvt_GetDBVersion",
        // Keys and decoders.
        "qel2_pvt_IdCompare",
        "qel2_pvt_MD5Hash",
        "qel2_pvt_CompHashCore",
        "qel2_KeyLocateByCalendar",
        "qel2_pvt_DeserializeAlarm",
        "qel2_pvt_DeserializeCalProps",
        "qel2_pvt_DeserializeEvent",
        "qel2_pvt_DeserializeToDo",
        // Queries.
        "qel2_pvt_ReadCalProps",
        "qel2_pvt_ScanCalProps",
        "qel2_pvt_SearchCalProps",
        "qel2_pvt_ReadEvent",
        "qel2_pvt_ReadEventCore",
        "qel2_pvt_ReadLinkedEvent",
        "qel2_pvt_ScanEvents",
        "qel2_ReadEventListByRangeCompare",
        "qel2_pvt_ReadEventListByRange",
        "qel2_pvt_ReadToDo",
        "qel2_pvt_ReadToDoCore",
        "qel2_pvt_ReadLinkedToDo",
        "qel2_pvt_ScanToDos",
        "qel2_ReadToDoListByRangeCompare",
        "qel2_pvt_ReadToDoListByRange",
        // Mapping and diagnostics.
        "CalPropsMapping",
        "AttendeeMapping",
        "AlarmMapping",
        "EventMapping",
        "ToDoMapping",
        "qel2dbut_PrintCalProps",
        "qel2dbut_PrintEvent",
        "qel2dbut_PrintToDo",
        "qel2dbut_FmtAttendee",
        "qel2dbut_SetOwners",
        "qel2dbut_SetCategory",
        "qel2dbut_SetReadAccess",
        "qel2dbut_SetWriteAccess",
        "gtasCalAccess",
    };
    std::set<std::string> facade;
    std::set<std::string> others;
    for (const std::string& name : ReadDynamicSymbols(QEL2_LIBRARY).exported) {
        const std::string readable = Demangled(name);
        // AddressSanitizer marks each exported variable with one of these.
        if (functionsAndData.count(name) || name.starts_with("__odr_asan")) continue;
        if (readable.find("qel2BerkeleyDatabase") != std::string::npos && name.starts_with("_Z")) {
            facade.insert(readable);
        } else {
            others.insert(name);
        }
    }
    EXPECT_EQ(others, std::set<std::string>{}) << "exported beyond the host interface";
    std::set<std::string> missing;
    const auto exported = ReadDynamicSymbols(QEL2_LIBRARY).exported;
    for (const std::string& name : functionsAndData) {
        if (!exported.count(name)) missing.insert(name);
    }
    EXPECT_EQ(missing, std::set<std::string>{});
    // The facade: every method, its destructor, virtual table and type
    // information.
    for (const char* member : {"~qel2BerkeleyDatabase(",
                               "GetCalDB(",
                               "OpenDB(",
                               "CloseDB(",
                               "GetDBVersion(",
                               "GetStats(",
                               "StopServerAlarmDispatch(",
                               "GenerateGUID(",
                               "ReadCalProps(",
                               "ScanCalProps(",
                               "SearchCalProps(",
                               "ReadEvent(",
                               "ReadEventListByRange(",
                               "ReadEventCore(",
                               "ReadToDo(",
                               "ReadToDoListByRange(",
                               "ReadToDoCore(",
                               "FreeCalProps(",
                               "FreeEvent(",
                               "FreeToDo(",
                               "FreeOrganizer(",
                               "FreeAttendee(",
                               "FreeCalPropsList(",
                               "FreeEventList(",
                               "FreeToDoList("}) {
        EXPECT_TRUE(std::any_of(facade.begin(), facade.end(), [&](const std::string& s) {
            return s.starts_with(std::string("qel2BerkeleyDatabase::") + member);
        })) << member;
    }
    EXPECT_TRUE(facade.count("vtable for qel2BerkeleyDatabase"));
    EXPECT_TRUE(facade.count("typeinfo for qel2BerkeleyDatabase"));
}

TEST(LibrarySymbols, ImportsOfTheHostAreExactlyItsServices) {
    const DynamicSymbols library = ReadDynamicSymbols(QEL2_LIBRARY);
    std::vector<void*> dependencies;
    for (const std::string& needed : library.needed) {
        void* handle = dlopen(needed.c_str(), RTLD_LAZY | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << needed << ": " << dlerror();
        dependencies.push_back(handle);
    }
    std::set<std::string> fromTheHost;
    for (const std::string& name : library.undefined) {
        const bool resolved =
            std::any_of(dependencies.begin(), dependencies.end(),
                        [&](void* handle) { return dlsym(handle, name.c_str()) != nullptr; });
        if (!resolved) fromTheHost.insert(name);
    }
    EXPECT_EQ(fromTheHost, ScriptNames(QEL2_HOST_SERVICES_MAP));
    for (void* handle : dependencies) dlclose(handle);
}

}  // namespace
