// What every query holds while it runs: its cursor, the value buffers that
// Berkeley DB allocates, and half-built records (the owning handles of
// <qel2/owned.h>), each released on every path; and the one report of a
// value that cannot be decoded.
#pragma once

#include <cstdint>
#include <cstdlib>

#include <db.h>

#include <qel2/owned.h>
#include <qel2/records.h>

namespace qel2query {

// A value descriptor whose buffer Berkeley DB allocates with malloc
// (DB_DBT_MALLOC) and that is freed when the holder goes or is reused.
class MallocValue {
public:
    MallocValue() { dbt_.flags = DB_DBT_MALLOC; }
    explicit MallocValue(DBT* external) : external_(external) { external_->flags = DB_DBT_MALLOC; }
    ~MallocValue() { release(); }
    MallocValue(const MallocValue&) = delete;
    MallocValue& operator=(const MallocValue&) = delete;

    DBT* get() { return external_ ? external_ : &dbt_; }
    const unsigned char* data() { return static_cast<const unsigned char*>(get()->data); }
    uint32_t size() { return get()->size; }
    void release() {
        free(get()->data);
        get()->data = nullptr;
        get()->size = 0;
    }

private:
    DBT dbt_{};
    DBT* external_ = nullptr;
};

// An open cursor, closed on every way out.
class Cursor {
public:
    // 0, or the linked library's result of DB->cursor.
    int open(DB* db) { return db->cursor(db, nullptr, &cursor_, 0); }
    ~Cursor() {
        if (cursor_ != nullptr) cursor_->close(cursor_);
    }
    DBC* get() const { return cursor_; }

private:
    DBC* cursor_ = nullptr;
};

// A key descriptor over a caller-owned buffer: with DB_THREAD, Berkeley DB
// 5.3 refuses a key without a memory flag.
inline void UserKey(DBT& key, unsigned char* buffer, uint32_t size, uint32_t capacity) {
    key.data = buffer;
    key.size = size;
    key.ulen = capacity;
    key.flags = DB_DBT_USERMEM;
}

// The result of a decoder that did not finish: EINVAL for a damaged value,
// ENOMEM for any shortage of memory (an alarm that could not be built
// included). Logs one ERROR line naming the function, the database file and
// the key in hex, so no damaged record passes silently.
int ReportUndecodable(const char* function, const char* file, const DBT& key, int decoded);

}  // namespace qel2query
