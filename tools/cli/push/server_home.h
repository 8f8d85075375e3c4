// The URL push is given: the WebDAV collection that will hold one calendar
// collection per calendar (on Radicale a user's home, /alice/). Checked
// once before anything is sent, so a wrong password, a server that cannot
// be reached or a URL that is no collection ends the run in one sentence
// with nothing created.
#pragma once

#include <string>

#include "http_client.h"

namespace qel2::cli::push {

// "https://host/dav/alice" -> "https://host/dav/alice/"; throws UsageError
// unless the URL is http or https.
std::string HomeUrl(const std::string& url);

// Throws CliError unless `url` answers a PROPFIND as a collection that is
// not itself a calendar.
void CheckHome(HttpClient& http, const std::string& url, const std::string& user);

}  // namespace qel2::cli::push
