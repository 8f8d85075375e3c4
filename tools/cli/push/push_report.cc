#include "push_report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "cli_error.h"

namespace qel2::cli::push {

namespace {

nlohmann::json CalendarEntry(const CalendarOutcome& outcome, const nlohmann::json& metadata) {
    nlohmann::json grant = {
        {"owners_read_write", metadata.value("owners", nlohmann::json::array())},
        {"read_access", metadata.value("read_access", "")},
        {"write_access", metadata.value("write_access", "")},
        {"disabled", metadata.value("disabled", false)}};
    return {{"id", outcome.id},
            {"collection", outcome.collection},
            {"url", outcome.url},
            {"collection_state", outcome.collectionState},
            {"resources", outcome.resources},
            {"records", outcome.records},
            {"sent", outcome.sent},
            {"updated", outcome.updated},
            {"already_there", outcome.alreadyThere},
            {"refused", outcome.refused},
            {"refused_records", outcome.refusedRecords},
            {"grant", grant},
            {"properties", metadata}};
}

}  // namespace

nlohmann::json ReportJson(const PushReport& report) {
    nlohmann::json calendars = nlohmann::json::array();
    nlohmann::json totals = {{"calendars", report.calendars.size()},
                             {"resources", 0},
                             {"records", 0},
                             {"sent", 0},
                             {"updated", 0},
                             {"already_there", 0},
                             {"refused", 0},
                             {"refused_records", 0}};
    for (size_t i = 0; i < report.calendars.size(); ++i) {
        const CalendarOutcome& outcome = report.calendars[i];
        calendars.push_back(CalendarEntry(
            outcome, i < report.metadata.size() ? report.metadata[i] : nlohmann::json()));
        for (const char* count : {"resources", "records", "sent", "updated", "already_there",
                                  "refused", "refused_records"})
            totals[count] = totals[count].get<size_t>() + calendars.back()[count].get<size_t>();
    }
    nlohmann::json refusals = nlohmann::json::array();
    for (const Refusal& refusal : report.refusals)
        refusals.push_back({{"calendar", refusal.calendar},
                            {"uid", refusal.uid},
                            {"method", refusal.method},
                            {"url", refusal.url},
                            {"status", refusal.status},
                            {"answer", refusal.answer},
                            {"records", refusal.records}});
    return {{"url", report.url},    {"dry_run", report.dryRun},
            {"totals", totals},     {"calendars", calendars},
            {"refusals", refusals}, {"export", report.exported.ToJson()}};
}

void WriteReport(const std::string& path, const nlohmann::json& json) {
    std::string text = json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    std::string temporary = path + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wx");
    if (file == nullptr)
        throw qel2::cli::CliError("cannot write the report " + temporary + ": " +
                                  std::strerror(errno));
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fclose(file) == 0 && written;
    std::error_code error;
    if (written) std::filesystem::rename(temporary, path, error);
    if (!written || error) {
        std::filesystem::remove(temporary, error);
        throw qel2::cli::CliError("cannot write the report " + path);
    }
}

}  // namespace qel2::cli::push
