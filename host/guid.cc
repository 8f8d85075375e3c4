// Random GUIDs and their text form, through libuuid.
#include <qel2/standin_host.h>

#include <uuid/uuid.h>

static_assert(sizeof(uuid_t) == sizeof(CALDB_GUID::bytes), "a GUID is one uuid_t");

void cal_GenerateGUID(CALDB_GUID* guid) {
    if (guid == nullptr) return;
    uuid_generate_random(guid->bytes);
}

void cal_GUIDToString(const CALDB_GUID* guid, char* text) {
    if (guid == nullptr || text == nullptr) return;
    uuid_unparse_lower(guid->bytes, text);
}
