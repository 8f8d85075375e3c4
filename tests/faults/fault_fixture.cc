#include "fault_fixture.h"

#include <cerrno>
#include <cstring>

#include <sched.h>
#include <sys/mount.h>

#include <qel2/qel2.h>

#include "store_generator.h"

namespace qel2::test {

namespace fs = std::filesystem;

namespace {

// Written once per test process, removed again at exit.
const fs::path& WrittenStore() {
    static const TempDir written;
    static const fs::path store = [] {
        fs::path path = written.path() / "store";
        qel2::mkstore::GenerateOptions options;
        options.calendars = kFaultCalendars;
        options.eventsPerCalendar = 40;
        options.todosPerCalendar = 20;
        qel2::mkstore::GenerateStore(options, path.string());
        return path;
    }();
    return store;
}

// Lists one calendar's records of one kind, reads each again by its key,
// and returns how many were listed.
template <typename Record, typename List, auto Window, auto Read, auto Free>
uint32_t SweepRecords(qEL2_CALPROPS* calendar, SweepTally& tally) {
    array_t* list = nullptr;
    tally.results.insert(Window(calendar, 0, 0, qEL2_READ_TOMBSTONES, &list));
    List owned(list);
    for (uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        const Record* listed = At<Record>(list, i);
        if (listed->pLinkedCalID != nullptr) continue;  // its key is another calendar's
        Record* again = nullptr;
        int result =
            Read(calendar, listed->pUID, listed->RecurrenceID, qEL2_READ_TOMBSTONES, &again);
        tally.results.insert(result);
        tally.singleReadMisses += result != 0 || again == nullptr;
        Free(&again);
    }
    return list != nullptr ? list->count : 0;
}

std::string Failed(const char* what) { return std::string(what) + ": " + strerror(errno); }

std::string PrivateNamespace() {
    static const std::string reason = [] {
        if (unshare(CLONE_NEWNS) != 0) return Failed("unshare");
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return Failed("private mounts");
        return std::string();
    }();
    return reason;
}

}  // namespace

void FaultTest::copyStore(const fs::path& dir) {
    // The log files go along: page LSNs must not point past the end of the
    // log. The region files (__db.*) are the writer's and are left behind.
    for (const auto& entry : fs::directory_iterator(WrittenStore())) {
        if (entry.path().filename().string().starts_with("__db.")) continue;
        fs::copy_file(entry.path(), dir / entry.path().filename(),
                      fs::copy_options::overwrite_existing);
    }
}

SweepTally SweepStore() {
    SweepTally tally;
    for (uint32_t i = 0; i < kFaultCalendars; ++i) {
        std::string id = "user" + std::to_string(i);
        qEL2_CALPROPS* calendar = nullptr;
        int result = qel2_pvt_ReadCalProps(id.data(), &calendar);
        tally.results.insert(result);
        if (result != 0) continue;
        ++tally.calendars;
        tally.events += SweepRecords<qEL2_VEVENT, qel2::EventListPtr, qel2_pvt_ReadEventListByRange,
                                     qel2_pvt_ReadEvent, qel2_FreeEvent>(calendar, tally);
        tally.todos += SweepRecords<qEL2_VTODO, qel2::ToDoListPtr, qel2_pvt_ReadToDoListByRange,
                                    qel2_pvt_ReadToDo, qel2_FreeToDo>(calendar, tally);
        qel2_FreeCalProps(&calendar);
    }
    array_t* found = nullptr;
    tally.results.insert(
        qel2_pvt_SearchCalProps(nullptr, qEL2_SEARCH_CALID, qEL2_MATCH_CONTAINS, 0, &found));
    qel2::CalPropsListPtr owned(found);
    if (found != nullptr) tally.searched = found->count;
    return tally;
}

std::string MountReadOnlyView(const fs::path& source, const fs::path& view) {
    if (std::string reason = PrivateNamespace(); !reason.empty()) return reason;
    if (mount(source.c_str(), view.c_str(), nullptr, MS_BIND, nullptr) != 0)
        return Failed("bind mount");
    if (mount(nullptr, view.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0)
        return "";
    std::string reason = Failed("read-only remount");
    umount(view.c_str());
    return reason;
}

std::string MountSmallDisk(const fs::path& folder, int megabytes) {
    if (std::string reason = PrivateNamespace(); !reason.empty()) return reason;
    std::string options = "size=" + std::to_string(megabytes) + "m";
    return mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0 ? ""
                                                                            : Failed("tmpfs mount");
}

}  // namespace qel2::test
