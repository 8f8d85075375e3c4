// export STORE DIR: one RFC 5545 .ics file per calendar.

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include <libical/ical.h>

#include <qel2/query.h>

#include "cli_error.h"
#include "commands.h"
#include "ical_item.h"
#include "progress.h"
#include "store_reads.h"

namespace qel2cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCalendarEnd = "END:VCALENDAR\r\n";

// Calendar ids may hold ':' or '/'; anything but letters, digits and
// "-_.@" is written %XX, so every id gets its own file name.
std::string FileName(const std::string& id) {
    std::string name;
    for (unsigned char c : id) {
        if (std::isalnum(c) || ((c == '-' || c == '_' || c == '@' || c == '.') && !(c == '.' && name.empty()))) {
            name += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            name += escaped;
        }
    }
    return (name.empty() ? "%" : name) + ".ics";
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// Components are written one at a time and freed at once, so memory stays
// that of one calendar's record list whatever the store's size.
class IcsWriter {
public:
    IcsWriter(const fs::path& path, const qEL2_CALPROPS& calendar) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
        if (!file_) throw CliError("cannot write " + path_.string() + ": " + std::strerror(errno));
        icalcomponent* header = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
        icalcomponent_add_property(header, icalproperty_new_version("2.0"));
        icalcomponent_add_property(header, icalproperty_new_prodid("-//qel2caldb//qel2caldb export " QEL2_VERSION "//EN"));
        AddX(header, "X-QEL2-CALID", calendar.pRelativeCalID);
        AddX(header, "X-WR-CALNAME", calendar.pName);
        std::string text = Text(header);
        // The children follow before the closing line.
        text.resize(text.size() - kCalendarEnd.size());
        Write(text);
    }

    void Add(icalcomponent* component) { Write(Text(component)); }

    void Finish() {
        Write(std::string(kCalendarEnd));
        if (std::fflush(file_.get()) != 0 || std::ferror(file_.get()))
            throw CliError("cannot write " + path_.string() + ": " + std::strerror(errno));
    }

private:
    static void AddX(icalcomponent* component, const char* name, const char* value) {
        if (value == nullptr) return;
        icalproperty* property = icalproperty_new_x(value);
        icalproperty_set_x_name(property, name);
        icalcomponent_add_property(component, property);
    }

    static std::string Text(icalcomponent* component) {
        char* text = icalcomponent_as_ical_string_r(component);
        std::string copy = text ? text : "";
        icalmemory_free_buffer(text);
        icalcomponent_free(component);
        return copy;
    }

    void Write(const std::string& text) {
        if (std::fwrite(text.data(), 1, text.size(), file_.get()) != text.size())
            throw CliError("cannot write " + path_.string() + ": " + std::strerror(errno));
    }

    fs::path path_;
    File file_;
};

int Export(const Arguments& arguments) {
    fs::path directory = arguments.operands.at(0);
    uint32_t flags = ReadFlagsFromOptions(arguments);
    StoreSession store(arguments.store);
    std::error_code error;
    fs::create_directories(directory, error);
    if (!fs::is_directory(directory)) throw CliError("cannot create the folder " + directory.string());

    qel2::CalPropsListPtr calendars = ReadAllCalendars(store);
    std::vector<qEL2_CALPROPS*> sorted = SortedById(calendars.get());
    Progress progress("export", sorted.size());
    size_t events = 0;
    size_t todos = 0;
    size_t done = 0;
    for (qEL2_CALPROPS* calendar : sorted) {
        std::string id = calendar->pRelativeCalID ? calendar->pRelativeCalID : "";
        progress.Show(done++, id);
        IcsWriter writer(directory / FileName(id), *calendar);
        {
            qel2::EventListPtr list = ReadEvents(store, calendar, {}, flags);
            for (const qEL2_VEVENT* event : ListView<qEL2_VEVENT>{list.get()}) writer.Add(EventComponent(*event));
            events += list->count;
        }
        {
            qel2::ToDoListPtr list = ReadToDos(store, calendar, {}, flags);
            for (const qEL2_VTODO* todo : ListView<qEL2_VTODO>{list.get()}) writer.Add(ToDoComponent(*todo));
            todos += list->count;
        }
        writer.Finish();
    }
    std::printf("exported %zu calendars, %zu events and %zu to-dos to %s\n", sorted.size(), events, todos,
                directory.c_str());
    return 0;
}

}  // namespace

const Command kExportCommand = {
    "export",
    "export STORE DIR [--tombstones]",
    "write one iCalendar (.ics) file per calendar into DIR",
    "Each calendar becomes DIR/<id>.ics (characters other than letters, digits and\n"
    "-_.@ in the id written %XX) with its events (VEVENT) and to-dos (VTODO),\n"
    "alarms (VALARM) included. An event another calendar keeps and this one links\n"
    "to is written in the calendar holding the link. Values iCalendar has no\n"
    "property for are kept as X-QEL2-* properties. Deleted records are left out\n"
    "unless --tombstones (they then carry X-QEL2-TOMBSTONE:1).\n",
    {},
    {"--tombstones"},
    2,
    2,
    Export,
};

}  // namespace qel2cli
