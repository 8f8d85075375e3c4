// Writes stored values byte by byte for the decoder tests, and the
// smallest value of each kind.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace qel2::test::codec {

using Bytes = std::vector<unsigned char>;

class ValueBuilder {
public:
    ValueBuilder& word(uint32_t w) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes_.push_back(static_cast<unsigned char>(w >> shift));
        return *this;
    }
    ValueBuilder& byte(unsigned char b) { return append({b}); }
    ValueBuilder& text(const std::string& s) { return append(Bytes(s.begin(), s.end())).byte(0); }
    // `n` absent strings (lone NULs).
    ValueBuilder& nulls(int n) { return append(Bytes(n, 0)); }
    // A count and its strings, or a count of 0 and a filler byte.
    ValueBuilder& list(std::initializer_list<std::string> items) {
        word(static_cast<uint32_t>(items.size()));
        if (items.size() == 0) return byte(0);
        for (const auto& item : items) text(item);
        return *this;
    }
    ValueBuilder& emptyLists(int n) { return n > 0 ? list({}).emptyLists(n - 1) : *this; }
    ValueBuilder& append(const Bytes& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// 38 bytes: five words, three absent texts, three empty lists.
inline Bytes MinimalAlarm(uint32_t firstWord = 0) {
    return ValueBuilder()
        .word(firstWord)
        .word(0)
        .word(0)
        .word(0)
        .word(0)
        .nulls(3)
        .emptyLists(3)
        .bytes();
}

// 35 bytes: three words, nine absent strings, two empty lists, and a zero
// category count with no filler.
inline Bytes MinimalCalendar() {
    return ValueBuilder().word(0).word(0).word(0).nulls(9).emptyLists(2).word(0).bytes();
}

// The parts of an event or to-do value, each already in stored form where
// it is variable; Build lays them out in stored order.
struct EventParts {
    std::vector<uint32_t> words;  // the leading words
    uint32_t attendeeCount = 0;   // no filler byte when 0
    Bytes attendees;
    std::vector<std::string> strings = std::vector<std::string>(11);  // "" is absent
    uint32_t alarmCount = 0;
    Bytes alarms{0};  // the filler byte of a zero count
    int emptyLists = 0;

    EventParts(size_t leadingWords, int trailingLists)
        : words(leadingWords), emptyLists(trailingLists) {}
    static EventParts Event() { return {9, 11}; }
    static EventParts ToDo() { return {11, 8}; }

    Bytes Build() const {
        ValueBuilder b;
        for (uint32_t w : words) b.word(w);
        b.byte(0).word(attendeeCount).append(attendees);  // no organizer
        for (const auto& s : strings) b.text(s);
        return b.word(alarmCount).append(alarms).emptyLists(emptyLists).bytes();
    }
};

}  // namespace qel2::test::codec
