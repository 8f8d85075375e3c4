// A fresh store directory per test, a clean configuration and a captured
// log; the store is closed again whatever the test left behind.
#pragma once

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include <qel2/standin_host.h>
#include <qel2/store_internal.h>

#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace qel2::test {

inline constexpr const char* kStoreVersion = "1.0.0 [BerkeleyDB]";
inline constexpr uint32_t kRecover42 = 0x20;  // DB_RECOVER as the host numbers it

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override { config_clear(config_getdefaultcache()); }
    void TearDown() override {
        qel2_pvt_CloseDB();
        config_clear(config_getdefaultcache());
    }
    static void set(const char* key, const std::string& value) {
        config_set(config_getdefaultcache(), key, value.c_str());
    }
    void writeConf() const {
        dir_.write("caldb.conf", "caldb.version = \"" + std::string(kStoreVersion) + "\"\n");
    }
    int open(uint32_t threads, uint32_t flags = 0) const {
        return qel2_pvt_OpenDB(threads, flags, dir_.str().c_str());
    }
    // Lines written at `level` whose text (module prefix removed) is `text`.
    int count(int level, const std::string& text) const;
    // Whether some line at `level` begins with `prefix`.
    bool hasPrefix(int level, const std::string& prefix) const;

    TempDir dir_;
    LogCapture log_;
};

inline int32_t RunningThreads() {
    return __atomic_load_n(&gCalDB.nRunningThreads, __ATOMIC_ACQUIRE);
}

// gCalDB of a closed store: no environment, handles, threads or monitors.
void ExpectClosed();

}  // namespace qel2::test
