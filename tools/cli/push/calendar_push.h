// One calendar into its collection: the collection is found or made
// (MKCALENDAR with name and description) and listed, then the export's
// resources (one per UID) stream in and go out in batches. A resource the
// collection does not hold yet is sent with "If-None-Match: *", so a
// second run, or a run after an interrupted one, sends only what is
// missing. With `update`, resources already there are fetched and
// replaced ("If-Match" on their ETag) when their content differs.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "export/calendar_resources.h"
#include "http_client.h"
#include "push_report.h"

namespace qel2::cli::push {

struct PushSettings {
    std::string baseUrl;  // ends with '/'
    bool update = false;
    bool dryRun = false;  // reads from the server, never writes
    size_t jobs = 4;
};

struct CalendarTarget {
    std::string id;
    std::string displayName;
    std::string description;
};

class CalendarPush {
public:
    using Progress = std::function<void(const CalendarOutcome&)>;
    CalendarPush(HttpClient& http, PushSettings settings, std::vector<Refusal>& refusals,
                 Progress progress)
        : http_(http),
          settings_(std::move(settings)),
          refusals_(refusals),
          progress_(std::move(progress)) {}

    // `stream` hands the calendar's resources to the sink it is given.
    using Stream = std::function<void(const qel2::cli::exporter::ResourceSink&)>;
    CalendarOutcome Push(const CalendarTarget& target, const Stream& stream);

private:
    struct Calendar;
    // False when the collection is missing and cannot be made.
    bool EnsureCollection(const CalendarTarget& target, CalendarOutcome& outcome);
    // Resource name -> ETag of what the collection holds; nothing when the
    // listing failed (a refusal is recorded).
    std::optional<std::map<std::string, std::string>> ListCollection(CalendarOutcome& outcome);
    void SendBatch(Calendar& calendar);
    // Of the batch's resources already there, those whose content differs,
    // with the ETag to replace them under.
    std::vector<std::pair<size_t, std::string>> Changed(Calendar& calendar,
                                                        const std::vector<size_t>& present);
    void Refuse(CalendarOutcome& outcome, const std::string& uid, const HttpRequest& request,
                const HttpResponse& response, size_t records);

    HttpClient& http_;
    PushSettings settings_;
    std::vector<Refusal>& refusals_;
    Progress progress_;
};

// The events and to-dos a resource holds.
size_t RecordsIn(const qel2::cli::exporter::CalendarResource& resource);

}  // namespace qel2::cli::push
