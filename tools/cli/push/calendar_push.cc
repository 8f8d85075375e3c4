#include "calendar_push.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "collection_names.h"
#include "dav_xml.h"
#include "same_content.h"

namespace qel2::cli::push {

namespace {

constexpr size_t kAnswerLines = 5;
constexpr const char* kIcsType = "Content-Type: text/calendar; charset=utf-8";

// The last segment of a path, without a trailing '/'.
std::string LastSegment(std::string path) {
    while (!path.empty() && path.back() == '/') path.pop_back();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Succeeded(const HttpResponse& response) {
    return response.status >= 200 && response.status < 300;
}

}  // namespace

void CalendarPush::Refuse(CalendarOutcome& outcome, const std::string& uid,
                          const HttpRequest& request, const HttpResponse& response,
                          size_t records) {
    std::string answer =
        response.status == 0 ? response.error : FirstLines(response.body, kAnswerLines);
    refusals_.push_back(
        Refusal{outcome.id, uid, request.method, request.url, response.status, answer, records});
    if (!uid.empty()) {
        ++outcome.refused;
        outcome.refusedRecords += records;
    }
}

bool CalendarPush::EnsureCollection(const CalendarTarget& target, CalendarOutcome& outcome) {
    HttpRequest propfind{"PROPFIND",
                         outcome.url,
                         {"Depth: 0", "Content-Type: application/xml; charset=utf-8"},
                         PropfindBody()};
    HttpResponse found = http_.Send(propfind);
    if (found.status == 207) {
        std::vector<DavEntry> entries;
        try {
            entries = ParseMultistatus(found.body);
        } catch (const std::runtime_error&) {}
        if (!entries.empty() && entries.front().calendar) {
            outcome.collectionState = "existing";
            return true;
        }
        found.error = "exists but is not a calendar collection";
        found.status = 0;
        Refuse(outcome, "", propfind, found, 0);
        outcome.collectionState = "refused";
        return false;
    }
    if (found.status != 404) {
        Refuse(outcome, "", propfind, found, 0);
        outcome.collectionState = "refused";
        return false;
    }
    if (settings_.dryRun) {
        outcome.collectionState = "would be created";
        return true;
    }
    HttpRequest make{"MKCALENDAR",
                     outcome.url,
                     {"Content-Type: application/xml; charset=utf-8"},
                     MkcalendarBody(target.displayName, target.description)};
    HttpResponse made = http_.Send(make);
    if (!Succeeded(made)) {
        Refuse(outcome, "", make, made, 0);
        outcome.collectionState = "refused";
        return false;
    }
    outcome.collectionState = "created";
    return true;
}

std::optional<std::map<std::string, std::string>> CalendarPush::ListCollection(
    CalendarOutcome& outcome) {
    std::map<std::string, std::string> present;
    if (outcome.collectionState != "existing") return present;
    HttpRequest propfind{"PROPFIND",
                         outcome.url,
                         {"Depth: 1", "Content-Type: application/xml; charset=utf-8"},
                         PropfindBody()};
    HttpResponse listing = http_.Send(propfind);
    std::vector<DavEntry> entries;
    try {
        if (listing.status == 207) entries = ParseMultistatus(listing.body);
    } catch (const std::runtime_error&) {
        listing.status = 0;
        listing.error = "the listing is not a multi-status answer";
    }
    if (listing.status != 207) {
        Refuse(outcome, "", propfind, listing, 0);
        return std::nullopt;
    }
    std::string collectionPath = DecodedPath(outcome.url);
    for (const DavEntry& entry : entries) {
        std::string path = DecodedPath(entry.href);
        if (entry.status / 100 != 2 || entry.collection || path == collectionPath) continue;
        present.emplace(LastSegment(path), entry.etag);
    }
    return present;
}

// The calendar being pushed and the batch of resources waiting to go.
struct CalendarPush::Calendar {
    CalendarOutcome outcome;
    std::map<std::string, std::string> listed;  // resource name -> ETag
    bool accepted = true;  // false: the collection is not there to take resources
    struct Pending {
        std::string uid, name, text;
        size_t records = 0;
    };
    std::vector<Pending> batch;
};

size_t RecordsIn(const qel2::cli::exporter::CalendarResource& resource) {
    size_t records = 0;
    std::string_view components = resource.components();
    for (std::string_view begin : {"BEGIN:VEVENT\r\n", "BEGIN:VTODO\r\n"})
        for (size_t at = components.find(begin); at != std::string_view::npos;
             at = components.find(begin, at + 1))
            ++records;
    return records;
}

std::vector<std::pair<size_t, std::string>> CalendarPush::Changed(
    Calendar& calendar, const std::vector<size_t>& present) {
    std::vector<std::pair<size_t, std::string>> changed;
    size_t next = 0;
    http_.SendAll(
        [&]() -> std::optional<HttpRequest> {
            if (next == present.size()) return std::nullopt;
            return HttpRequest{
                "GET", calendar.outcome.url + calendar.batch[present[next++]].name, {}, ""};
        },
        settings_.jobs,
        [&](size_t index, const HttpRequest&, HttpResponse response) {
            size_t resource = present[index];
            if (response.status != 200 ||
                !SameContent(calendar.batch[resource].text, response.body))
                changed.emplace_back(resource, response.status == 200 ? response.etag : "");
        });
    return changed;
}

void CalendarPush::SendBatch(Calendar& calendar) {
    CalendarOutcome& outcome = calendar.outcome;
    // Each resource to send with the condition it goes out under.
    std::vector<std::pair<size_t, std::string>> sends;
    std::vector<size_t> present;
    for (size_t i = 0; i < calendar.batch.size(); ++i) {
        if (calendar.listed.contains(calendar.batch[i].name))
            present.push_back(i);
        else
            sends.emplace_back(i, "If-None-Match: *");
    }
    outcome.alreadyThere += present.size();
    if (settings_.update && !present.empty()) {
        for (auto& [resource, etag] : Changed(calendar, present)) {
            sends.emplace_back(resource, etag.empty() ? "If-Match: *" : "If-Match: " + etag);
            --outcome.alreadyThere;
        }
    }
    if (settings_.dryRun) {
        for (const auto& [resource, condition] : sends)
            ++(condition.starts_with("If-Match") ? outcome.updated : outcome.sent);
        return;
    }
    size_t next = 0;
    http_.SendAll(
        [&]() -> std::optional<HttpRequest> {
            if (next == sends.size()) return std::nullopt;
            const auto& [resource, condition] = sends[next++];
            return HttpRequest{"PUT",
                               outcome.url + calendar.batch[resource].name,
                               {kIcsType, condition},
                               calendar.batch[resource].text};
        },
        settings_.jobs,
        [&](size_t index, const HttpRequest& request, HttpResponse response) {
            const auto& [resource, condition] = sends[index];
            bool replacing = condition.starts_with("If-Match");
            if (Succeeded(response)) {
                ++(replacing ? outcome.updated : outcome.sent);
            } else if (response.status == 412 && !replacing) {
                // Stored meanwhile, e.g. by a retry whose first answer was lost.
                ++outcome.alreadyThere;
            } else {
                Refuse(outcome, calendar.batch[resource].uid, request, response,
                       calendar.batch[resource].records);
            }
            if (progress_) progress_(outcome);
        });
}

CalendarOutcome CalendarPush::Push(const CalendarTarget& target, const Stream& stream) {
    // Enough to keep every job busy, few enough that memory stays small.
    const size_t batchSize = std::max<size_t>(64, settings_.jobs * 16);
    Calendar calendar;
    CalendarOutcome& outcome = calendar.outcome;
    outcome.id = target.id;
    outcome.collection = CollectionName(target.id);
    outcome.url = settings_.baseUrl + outcome.collection + "/";
    std::optional<std::map<std::string, std::string>> listed;
    if (EnsureCollection(target, outcome)) listed = ListCollection(outcome);
    calendar.accepted = listed.has_value();
    if (listed) calendar.listed = std::move(*listed);

    stream([&](const qel2::cli::exporter::CalendarResource& resource) {
        size_t records = RecordsIn(resource);
        ++outcome.resources;
        outcome.records += records;
        if (!calendar.accepted) {
            ++outcome.refused;
            outcome.refusedRecords += records;
            return;
        }
        calendar.batch.push_back(
            {resource.uid, ResourceName(resource.uid), resource.text, records});
        if (calendar.batch.size() == batchSize) {
            SendBatch(calendar);
            calendar.batch.clear();
        }
    });
    if (!calendar.batch.empty()) SendBatch(calendar);
    return outcome;
}

}  // namespace qel2::cli::push
