// Holders of what a walk over a Berkeley DB database owns while it runs:
// its cursor and the value buffers Berkeley DB allocates, each released on
// every way out; and the key descriptor over a caller's buffer. Used by the
// library's queries and statistics, the command's verify and the
// benchmarks.
#pragma once

#include <cstdint>
#include <cstdlib>

#include <db.h>

namespace qel2 {

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
    Cursor() = default;
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;
    // 0, or the linked library's result of DB->cursor.
    int open(DB* db) { return db->cursor(db, nullptr, &cursor_, 0); }
    ~Cursor() {
        if (cursor_ != nullptr) cursor_->close(cursor_);
    }
    DBC* get() const { return cursor_; }
    // DBC->get: the next record unless `how` says otherwise; 0 or the
    // linked library's result.
    int read(DBT* key, DBT* value, uint32_t how = DB_NEXT) {
        return cursor_->get(cursor_, key, value, how);
    }

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

}  // namespace qel2
