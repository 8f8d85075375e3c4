// Seeded round trips: thousands of random records, encoded by the store
// writer's encoder and decoded by the library, come back field by field.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include <qel2/codec.h>

#include "owned_records.h"
#include "record_encoder.h"
#include "record_fields.h"

namespace {

using qel2mk::FlagBit;

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
        if (Below(3) != 0) qel2mk::SetString(f, Below(4) == 0 ? "" : Text());
    }
    void List(const char*, array_t*& f) {
        if (Below(3) == 0) return;
        std::vector<std::string> texts(Below(4));
        for (std::string& text : texts) text = Below(4) == 0 ? "" : Text();
        qel2mk::AppendStrings(f, std::vector<std::string_view>(texts.begin(), texts.end()));
    }
    void Organizer(const char*, qEL2_ORGANIZER*& f) {
        if (Below(2) == 0) return;
        qel2mk::OrganizerPtr organizer = qel2mk::NewOrganizer();
        qel2mk::VisitOrganizerFields(*this, *organizer);
        qel2mk::SetString(organizer->pCalAddress, "mailto:" + Text());  // the format needs an address
        f = organizer.release();
    }
    void Attendees(const char*, array_t*& f) {
        for (uint32_t n = Below(4); n > 0; --n) {
            qel2mk::AttendeePtr attendee = qel2mk::NewAttendee();
            qel2mk::VisitAttendeeFields(*this, *attendee);
            qel2mk::AppendRecord(f, std::move(attendee));
        }
    }
    void Alarms(const char*, array_t*& f) {
        for (uint32_t n = Below(3); n > 0; --n) {
            qel2mk::AlarmPtr alarm = qel2mk::NewAlarm();
            qel2mk::VisitAlarmFields(*this, *alarm);
            qel2mk::AppendRecord(f, std::move(alarm));
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

std::optional<std::string> Decoded(const char* text) {
    // The decoders never keep an empty string: it is stored as absent.
    if (text == nullptr || *text == '\0') return std::nullopt;
    return text;
}

std::vector<std::string> Elements(const array_t* list) {
    std::vector<std::string> elements;
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) elements.push_back(strarray_elementat(list, i));
    return elements;
}

uint32_t Count(const array_t* list) { return list == nullptr ? 0 : list->count; }

// Compares a record as built with the record the library decoded.
class FieldComparer {
public:
    explicit FieldComparer(std::string where) : where_(std::move(where)) {}

    void Word(const char* n, uint32_t a, uint32_t b) { EXPECT_EQ(a, b) << where_ << n; }
    void SignedWord(const char* n, int32_t a, int32_t b) { EXPECT_EQ(a, b) << where_ << n; }
    void SignedByte(const char* n, int32_t a, int32_t b) { EXPECT_EQ(a, b) << where_ << n; }
    void Flags(const char* n, std::span<const FlagBit>, uint32_t a, uint32_t b) { EXPECT_EQ(a, b) << where_ << n; }
    void String(const char* n, const char* a, const char* b) {
        EXPECT_EQ(Decoded(a), Decoded(b)) << where_ << n;
        if (b != nullptr) {
            EXPECT_NE(*b, '\0') << where_ << n;
        }
    }
    void List(const char* n, const array_t* a, const array_t* b) {
        EXPECT_EQ(Elements(a), Elements(b)) << where_ << n;
        EXPECT_EQ(b == nullptr, Count(a) == 0) << where_ << n << ": an empty list decodes as absent";
    }
    void Organizer(const char* n, const qEL2_ORGANIZER* a, const qEL2_ORGANIZER* b) {
        ASSERT_EQ(a == nullptr, b == nullptr) << where_ << n;
        if (a != nullptr) Sub(n, [&](FieldComparer& c) { qel2mk::VisitOrganizerFields(c, *a, *b); });
    }
    void Attendees(const char* n, const array_t* a, const array_t* b) {
        Records<qEL2_ATTENDEE>(n, a, b, [](FieldComparer& c, auto& x, auto& y) { qel2mk::VisitAttendeeFields(c, x, y); });
    }
    void Alarms(const char* n, const array_t* a, const array_t* b) {
        Records<qEL2_VALARM>(n, a, b, [](FieldComparer& c, auto& x, auto& y) { qel2mk::VisitAlarmFields(c, x, y); });
    }

private:
    template <typename Compare>
    void Sub(const std::string& name, Compare compare) {
        FieldComparer sub(where_ + name + ".");
        compare(sub);
    }
    template <typename Record, typename Compare>
    void Records(const char* n, const array_t* a, const array_t* b, Compare compare) {
        ASSERT_EQ(Count(a), Count(b)) << where_ << n;
        EXPECT_EQ(b == nullptr, Count(a) == 0) << where_ << n;
        for (uint32_t i = 0; i < Count(a); ++i) {
            auto& x = *static_cast<const Record*>(array_elementat(a, i));
            auto& y = *static_cast<const Record*>(array_elementat(b, i));
            Sub(std::string(n) + "[" + std::to_string(i) + "]", [&](FieldComparer& c) { compare(c, x, y); });
        }
    }
    std::string where_;
};

constexpr int kRecordsPerKind = 2000;

// A value that decodes must need all of its bytes: a value cut by one byte
// fails, so the encoder writes nothing the decoder would not read.
template <typename Decode>
void ExpectCutValueFails(const qel2mk::Bytes& value, Decode decode) {
    EXPECT_NE(decode(value.data(), static_cast<uint32_t>(value.size() - 1)), 0);
}

TEST(EncoderRoundTrip, RandomEventsDecodeToTheRecordsTheyWereEncodedFrom) {
    RandomFiller filler(20260131);
    for (int i = 0; i < kRecordsPerKind; ++i) {
        qel2mk::EventPtr built = qel2mk::NewEvent();
        qel2mk::VisitEventFields(filler, *built);
        qel2mk::Bytes value = qel2mk::EncodeEvent(*built, {.filler = static_cast<uint8_t>(i)});
        qel2mk::EventPtr decoded = qel2mk::NewEvent();
        ASSERT_EQ(qel2_pvt_DeserializeEvent(decoded.get(), value.data(), value.size()), 0) << "event " << i;
        FieldComparer compare("event " + std::to_string(i) + ": ");
        qel2mk::VisitEventFields(compare, *built, *decoded);
        bool link = built->dtStart == 0 && built->dtEnd == 0 && Decoded(built->pURL);
        EXPECT_EQ(qel2_EventIsLink(decoded.get()), link) << "event " << i;
        ExpectCutValueFails(value, [](const unsigned char* v, uint32_t n) {
            qel2mk::EventPtr event = qel2mk::NewEvent();
            return qel2_pvt_DeserializeEvent(event.get(), v, n);
        });
    }
}

TEST(EncoderRoundTrip, RandomToDosDecodeToTheRecordsTheyWereEncodedFrom) {
    RandomFiller filler(7);
    for (int i = 0; i < kRecordsPerKind; ++i) {
        qel2mk::ToDoPtr built = qel2mk::NewToDo();
        qel2mk::VisitToDoFields(filler, *built);
        qel2mk::Bytes value = qel2mk::EncodeToDo(*built);
        qel2mk::ToDoPtr decoded = qel2mk::NewToDo();
        ASSERT_EQ(qel2_pvt_DeserializeToDo(decoded.get(), value.data(), value.size()), 0) << "to-do " << i;
        FieldComparer compare("to-do " + std::to_string(i) + ": ");
        qel2mk::VisitToDoFields(compare, *built, *decoded);
        EXPECT_EQ(decoded->pExtraList1, nullptr);
        ExpectCutValueFails(value, [](const unsigned char* v, uint32_t n) {
            qel2mk::ToDoPtr todo = qel2mk::NewToDo();
            return qel2_pvt_DeserializeToDo(todo.get(), v, n);
        });
    }
}

TEST(EncoderRoundTrip, RandomCalendarsDecodeWithAndWithoutTheLastFiller) {
    RandomFiller filler(99);
    for (int i = 0; i < kRecordsPerKind; ++i) {
        qel2mk::CalPropsPtr built = qel2mk::NewCalProps();
        qel2mk::VisitCalPropsFields(filler, *built);
        const bool lastFiller = i % 2 == 0;
        qel2mk::Bytes value = qel2mk::EncodeCalProps(*built, {.categoryFiller = lastFiller});
        qel2mk::CalPropsPtr decoded = qel2mk::NewCalProps();
        ASSERT_EQ(qel2_pvt_DeserializeCalProps(decoded.get(), value.data(), value.size()), 0) << "calendar " << i;
        FieldComparer compare("calendar " + std::to_string(i) + ": ");
        qel2mk::VisitCalPropsFields(compare, *built, *decoded);
        // An empty category list's filler is the one byte the decoder skips
        // without reading.
        if (!lastFiller || Count(built->pCategoryList) != 0)
            ExpectCutValueFails(value, [](const unsigned char* v, uint32_t n) {
                qel2mk::CalPropsPtr cal = qel2mk::NewCalProps();
                return qel2_pvt_DeserializeCalProps(cal.get(), v, n);
            });
    }
}

TEST(EncoderRoundTrip, AnOrganizerWithoutAddressIsWrittenAsAbsent) {
    qel2mk::EventPtr built = qel2mk::NewEvent();
    built->pOrganizer = qel2mk::NewOrganizer().release();
    qel2mk::SetString(built->pOrganizer->pCN, "No Address");
    qel2mk::Bytes value = qel2mk::EncodeEvent(*built);
    EXPECT_EQ(value.size(), 112u);  // the smallest event value
    qel2mk::EventPtr decoded = qel2mk::NewEvent();
    ASSERT_EQ(qel2_pvt_DeserializeEvent(decoded.get(), value.data(), value.size()), 0);
    EXPECT_EQ(decoded->pOrganizer, nullptr);
}

}  // namespace
