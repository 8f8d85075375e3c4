#include "server_home.h"

#include "cli_error.h"
#include "dav_xml.h"

namespace qel2::cli::push {

std::string HomeUrl(const std::string& url) {
    if (!url.starts_with("http://") && !url.starts_with("https://"))
        throw qel2::cli::UsageError("the URL must start with http:// or https://, not \"" + url +
                                    "\"");
    return url.ends_with('/') ? url : url + "/";
}

void CheckHome(HttpClient& http, const std::string& url, const std::string& user) {
    HttpResponse answer = http.Send({"PROPFIND",
                                     url,
                                     {"Depth: 0", "Content-Type: application/xml; charset=utf-8"},
                                     PropfindBody()});
    if (answer.status == 0 && answer.error.find("certificate") != std::string::npos)
        throw qel2::cli::CliError("cannot trust the certificate of " + url + " (" + answer.error +
                                  "); name the authority that signed it with --ca FILE");
    if (answer.status == 0) throw qel2::cli::CliError("cannot reach " + url + ": " + answer.error);
    if (answer.status == 401)
        throw qel2::cli::CliError("the server at " + url + " refused " +
                                  (user.empty()
                                       ? std::string("access without a user name (give --user)")
                                       : "the password of user \"" + user + "\"") +
                                  " (401 Unauthorized)");
    std::vector<DavEntry> entries;
    if (answer.status == 207) {
        try {
            entries = ParseMultistatus(answer.body);
        } catch (const std::runtime_error&) {}
    }
    if (entries.empty() || !entries.front().collection)
        throw qel2::cli::CliError(
            url + " is not a WebDAV collection (the server answered " + DescribeAnswer(answer) +
            "); give the folder that is to hold the calendars, e.g. http://host:5232/USER/");
    if (entries.front().calendar)
        throw qel2::cli::CliError(
            url + " is a calendar itself; give the folder that is to hold the calendars");
}

}  // namespace qel2::cli::push
