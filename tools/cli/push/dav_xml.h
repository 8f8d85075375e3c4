// The XML of WebDAV and CalDAV (RFC 4918, RFC 4791): the request bodies
// push sends and the multi-status answers it reads, parsed with libxml2 by
// namespace so any prefix the server picks works.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qel2::cli::push {

// One <response> of a multi-status answer, with the properties the server
// found (those of a 200 propstat).
struct DavEntry {
    std::string href;
    long status = 200;  // the response's own status, when it has one
    bool collection = false;
    bool calendar = false;  // resourcetype holds CalDAV's <calendar/>
    std::string etag;
    std::string displayName;
    std::string calendarData;
};

// Throws std::runtime_error when `body` is not a multi-status document.
std::vector<DavEntry> ParseMultistatus(const std::string& body);

// Text escaped for an XML element's content.
std::string XmlEscaped(std::string_view text);

// PROPFIND body asking for the resource type, ETag and display name.
std::string PropfindBody();
// MKCALENDAR body setting the display name and, when there is one, the
// calendar description.
std::string MkcalendarBody(const std::string& displayName, const std::string& description);

// The path of an href ("http://host/a/b/" or "/a/b/") with its %XX
// sequences decoded, for comparing hrefs the server spelled its own way.
std::string DecodedPath(std::string_view href);

}  // namespace qel2::cli::push
