#include "store_fixture.h"

namespace qel2::test {

int StoreTest::count(int level, const std::string& text) const {
    int n = 0;
    for (const LogLine& line : log_.lines())
        n += line.level == level && line.text == "caldb: " + text;
    return n;
}

bool StoreTest::hasPrefix(int level, const std::string& prefix) const {
    for (const LogLine& line : log_.lines())
        if (line.level == level && line.text.starts_with("caldb: " + prefix)) return true;
    return false;
}

void ExpectClosed() {
    EXPECT_EQ(gCalDB.dbenv, nullptr);
    for (DB* db : {gCalDB.pEventDB, gCalDB.pToDoDB, gCalDB.pCalPropsDB, gCalDB.pAlarmDB})
        EXPECT_EQ(db, nullptr);
    EXPECT_EQ(gCalDB.pszHomeDir, nullptr);
    EXPECT_EQ(RunningThreads(), 0);
    EXPECT_EQ(__atomic_load_n(&gCalDB.bStop, __ATOMIC_ACQUIRE), 0);
    for (PRMonitor* monitor : gCalDB.apMonitors) EXPECT_EQ(monitor, nullptr);
}

}  // namespace qel2::test
