// Every calendar, event and to-do value of the genuine 4.2 store decodes
// to exactly the fields its manifest lists (no more, no fewer), and each
// flag word splits by the library's bit masks as the manifest splits it.

#include <gtest/gtest.h>

#include "decoded.h"
#include "manifest_fields.h"

namespace qel2::test::codec {
namespace {

template <typename Record>
void ExpectManifestFields(const char* section) {
    ASSERT_FALSE(Legacy42Manifest().at(section).empty());
    for (const nlohmann::json& stored : Legacy42Manifest().at(section)) {
        SCOPED_TRACE(RecordName(stored));
        Decoded<Record> decoded(StoredValue(stored));
        ASSERT_EQ(decoded.result, 0);
        nlohmann::json expected = stored.at("fields");
        if (expected.contains("RecurrenceID"))
            expected["RecurrenceID"] = 0;  // a read takes it from the key
        const ManifestFields actual = FieldsOf(*decoded.owned);
        EXPECT_EQ(actual.fields, expected);
        if (stored.contains("flags_decoded")) {
            EXPECT_EQ(actual.bits, stored.at("flags_decoded"));
        }
    }
}

TEST(LegacyStoreValues, EveryValueDecodesToItsManifestFields) {
    ExpectManifestFields<qEL2_VEVENT>("events");
    ExpectManifestFields<qEL2_VTODO>("todos");
    ExpectManifestFields<qEL2_CALPROPS>("calendars");
}

}  // namespace
}  // namespace qel2::test::codec
