// Read-only handles on settings files. Values are handed out in NSPR memory
// because callers release them with PR_Free.
#include <qel2/host.h>

#include <prmem.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "config_syntax.h"

struct calconf_file {
    std::map<std::string, std::string, std::less<>> values;
};

int calconf_Open(const char* path, calconf_file** handle) {
    if (handle == nullptr) return EINVAL;
    *handle = nullptr;
    try {
        std::vector<qel2::host::ConfigEntry> entries;
        int result = qel2::host::read_config_file(path, entries);
        if (result != 0) return result;
        auto* file = new calconf_file;
        for (auto& entry : entries) {
            file->values.insert_or_assign(std::move(entry.key), std::move(entry.value));
        }
        *handle = file;
        return 0;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
}

char* calconf_GetCopy(calconf_file* handle, const char* key) {
    if (handle == nullptr || key == nullptr) return nullptr;
    auto found = handle->values.find(std::string_view(key));
    if (found == handle->values.end()) return nullptr;
    const std::string& value = found->second;
    auto* copy = static_cast<char*>(PR_Malloc(static_cast<PRUint32>(value.size() + 1)));
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, value.c_str(), value.size() + 1);
    return copy;
}

void calconf_Close(calconf_file** handle, int flags) {
    (void)flags;
    if (handle == nullptr) return;
    delete *handle;
    *handle = nullptr;
}
