// Seeded round trips: thousands of random records, encoded by the store
// writer's encoder and decoded by the library, come back field by field.

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <string>
#include <vector>

#include <qel2/codec.h>

#include "owned_records.h"
#include "record_encoder.h"
#include "record_fields.h"
#include "support/string_list.h"

namespace {

using qel2::mkstore::FlagBit;

// Fills every stored field at random: strings null, empty or up to 12
// bytes of any non-NUL value; lists null, empty or with empty elements;
// words often 0, so that link records turn up.
class RandomFiller {
public:
    explicit RandomFiller(uint32_t seed) : rng_(seed) {}

    void Word(const char*, uint32_t& f) { f = Below(4) == 0 ? 0 : static_cast<uint32_t>(rng_()); }
    void SignedWord(const char*, int32_t& f) { f = static_cast<int32_t>(rng_()); }
    void SignedByte(const char*, int32_t& f) { f = static_cast<int32_t>(Below(256)) - 128; }
    void Flags(const char* n, std::span<const FlagBit>, uint32_t& f) { Word(n, f); }
    void String(const char*, char*& f) {
        if (Below(3) != 0) qel2::mkstore::SetString(f, Below(4) == 0 ? "" : Text());
    }
    void List(const char*, array_t*& f) {
        if (Below(3) == 0) return;
        std::vector<std::string> texts(Below(4));
        for (std::string& text : texts) text = Below(4) == 0 ? "" : Text();
        qel2::mkstore::AppendStrings(f, std::vector<std::string_view>(texts.begin(), texts.end()));
    }
    void Organizer(const char*, qEL2_ORGANIZER*& f) {
        if (Below(2) == 0) return;
        qel2::OrganizerPtr organizer = qel2::mkstore::NewOrganizer();
        qel2::mkstore::VisitOrganizerFields(*this, *organizer);
        qel2::mkstore::SetString(organizer->pCalAddress,
                                 "mailto:" + Text());  // the format needs an address
        f = organizer.release();
    }
    void Attendees(const char*, array_t*& f) {
        for (uint32_t n = Below(4); n > 0; --n) {
            qel2::AttendeePtr attendee = qel2::mkstore::NewAttendee();
            qel2::mkstore::VisitAttendeeFields(*this, *attendee);
            qel2::mkstore::AppendRecord(f, std::move(attendee));
        }
    }
    void Alarms(const char*, array_t*& f) {
        for (uint32_t n = Below(3); n > 0; --n) {
            qel2::AlarmPtr alarm = qel2::mkstore::NewAlarm();
            qel2::mkstore::VisitAlarmFields(*this, *alarm);
            qel2::mkstore::AppendRecord(f, std::move(alarm));
        }
    }

private:
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(rng_() % bound); }
    std::string Text() {
        std::string text(1 + Below(12), ' ');
        for (char& c : text) c = static_cast<char>(1 + Below(255));
        return text;
    }
    std::mt19937 rng_;
};

uint32_t Count(const array_t* list) { return list == nullptr ? 0 : list->count; }

// A record's stored fields as text, to compare a record as built with the
// record the library decoded. The decoders keep no empty string or list:
// `asStored` shows those of a built record as absent, so that a decoded
// record that kept one differs.
class FieldText {
public:
    explicit FieldText(bool asStored) : asStored_(asStored) {}
    std::string text;

    void Word(const char* n, uint32_t f) { Add(n, std::to_string(f)); }
    void SignedWord(const char* n, int32_t f) { Add(n, std::to_string(f)); }
    void SignedByte(const char* n, int32_t f) { Add(n, std::to_string(f)); }
    void Flags(const char* n, std::span<const FlagBit>, uint32_t f) { Word(n, f); }
    void String(const char* n, const char* f) {
        Add(n, f == nullptr || (asStored_ && *f == '\0') ? "-" : Quoted(f));
    }
    void List(const char* n, const array_t* f) {
        std::string items = "[";
        for (const std::string& item : qel2::test::Strings(f)) items += Quoted(item);
        Add(n, Absent(f) ? "-" : items + "]");
    }
    void Organizer(const char* n, const qEL2_ORGANIZER* f) {
        if (f == nullptr) return Add(n, "-");
        Add(n, "{");
        qel2::mkstore::VisitOrganizerFields(*this, *f);
        text += "} ";
    }
    void Attendees(const char* n, const array_t* f) {
        Records<qEL2_ATTENDEE>(n, f,
                               [&](auto& r) { qel2::mkstore::VisitAttendeeFields(*this, r); });
    }
    void Alarms(const char* n, const array_t* f) {
        Records<qEL2_VALARM>(n, f, [&](auto& r) { qel2::mkstore::VisitAlarmFields(*this, r); });
    }

private:
    static std::string Quoted(const std::string& s) { return std::to_string(s.size()) + ':' + s; }
    bool Absent(const array_t* f) const { return f == nullptr || (asStored_ && f->count == 0); }
    void Add(const char* n, const std::string& value) {
        text += std::string(n) + '=' + value + ' ';
    }
    template <typename Record, typename Visit>
    void Records(const char* n, const array_t* f, Visit visit) {
        Add(n, Absent(f) ? "-" : "[");
        for (uint32_t i = 0; i < Count(f); ++i) {
            text += '{';
            visit(*static_cast<const Record*>(array_elementat(f, i)));
            text += "} ";
        }
        if (!Absent(f)) text += "] ";
    }
    bool asStored_;
};

// Fills, encodes and decodes 2000 random records of one kind and compares
// them field by field. A value that decodes must also need all of its
// bytes: cut by one byte it fails, so the encoder writes nothing the
// decoder would not read. `check(i, built, decoded)` adds the kind's own
// checks and says whether the cut value must fail.
template <typename Ptr, typename Visit, typename Encode, typename Decode, typename Check>
void ExpectRoundTrips(uint32_t seed, const char* kind, Ptr (*make)(), Visit visit, Encode encode,
                      Decode decode, Check check) {
    RandomFiller filler(seed);
    for (int i = 0; i < 2000; ++i) {
        Ptr built = make();
        visit(filler, *built);
        qel2::mkstore::Bytes value = encode(*built, i);
        Ptr decoded = make();
        ASSERT_EQ(decode(decoded.get(), value.data(), uint32_t(value.size())), 0) << kind << i;
        FieldText builtText(true), decodedText(false);
        visit(builtText, *built);
        visit(decodedText, *decoded);
        EXPECT_EQ(builtText.text, decodedText.text) << kind << i;
        const bool mustFailCut = check(i, *built, *decoded);
        EXPECT_TRUE(!mustFailCut ||
                    decode(make().get(), value.data(), uint32_t(value.size() - 1)) != 0)
            << kind << i;
    }
}

TEST(EncoderRoundTrip, RandomRecordsDecodeToTheRecordsTheyWereEncodedFrom) {
    ExpectRoundTrips(
        20260131, "event ", qel2::mkstore::NewEvent,
        [](auto& v, auto&... r) { qel2::mkstore::VisitEventFields(v, r...); },
        [](const qEL2_VEVENT& e, int i) {
            return qel2::mkstore::EncodeEvent(e, {.filler = uint8_t(i)});
        },
        qel2_pvt_DeserializeEvent,
        [](int i, const qEL2_VEVENT& built, const qEL2_VEVENT& decoded) {
            bool link = built.dtStart == 0 && built.dtEnd == 0 && built.pURL && *built.pURL;
            EXPECT_EQ(qel2_EventIsLink(&decoded), link) << "event " << i;
            return true;
        });
    ExpectRoundTrips(
        7, "to-do ", qel2::mkstore::NewToDo,
        [](auto& v, auto&... r) { qel2::mkstore::VisitToDoFields(v, r...); },
        [](const qEL2_VTODO& t, int) { return qel2::mkstore::EncodeToDo(t); },
        qel2_pvt_DeserializeToDo,
        [](int, const qEL2_VTODO&, const qEL2_VTODO& decoded) {
            EXPECT_EQ(decoded.pExtraList1, nullptr);
            return true;
        });
    // Calendars alternate with and without the filler after an empty last
    // list; that filler is the one byte the decoder skips without reading.
    ExpectRoundTrips(
        99, "calendar ", qel2::mkstore::NewCalProps,
        [](auto& v, auto&... r) { qel2::mkstore::VisitCalPropsFields(v, r...); },
        [](const qEL2_CALPROPS& c, int i) {
            return qel2::mkstore::EncodeCalProps(c, {.categoryFiller = i % 2 == 0});
        },
        qel2_pvt_DeserializeCalProps,
        [](int i, const qEL2_CALPROPS& built, const qEL2_CALPROPS&) {
            return i % 2 != 0 || Count(built.pCategoryList) != 0;
        });
}

}  // namespace
