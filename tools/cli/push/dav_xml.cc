#include "dav_xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace qel2::cli::push {

namespace {

constexpr const char* kDav = "DAV:";
constexpr const char* kCalDav = "urn:ietf:params:xml:ns:caldav";

bool Is(const xmlNode* node, const char* space, const char* name) {
    return node->type == XML_ELEMENT_NODE && node->ns != nullptr &&
           std::strcmp(reinterpret_cast<const char*>(node->ns->href), space) == 0 &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

const xmlNode* Child(const xmlNode* parent, const char* space, const char* name) {
    for (const xmlNode* child = parent->children; child != nullptr; child = child->next)
        if (Is(child, space, name)) return child;
    return nullptr;
}

std::string Text(const xmlNode* node) {
    if (node == nullptr) return "";
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
}

// "HTTP/1.1 404 Not Found" -> 404
long StatusCode(const std::string& line) {
    size_t space = line.find(' ');
    return space == std::string::npos ? 0 : std::strtol(line.c_str() + space + 1, nullptr, 10);
}

void ReadProperties(const xmlNode* prop, DavEntry& entry) {
    if (const xmlNode* type = Child(prop, kDav, "resourcetype")) {
        entry.collection = Child(type, kDav, "collection") != nullptr;
        entry.calendar = Child(type, kCalDav, "calendar") != nullptr;
    }
    entry.etag = Text(Child(prop, kDav, "getetag"));
    entry.displayName = Text(Child(prop, kDav, "displayname"));
    entry.calendarData = Text(Child(prop, kCalDav, "calendar-data"));
}

struct DocumentFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

}  // namespace

std::vector<DavEntry> ParseMultistatus(const std::string& body) {
    std::unique_ptr<xmlDoc, DocumentFree> document(
        xmlReadMemory(body.data(), static_cast<int>(body.size()), "answer.xml", nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE));
    const xmlNode* root = document ? xmlDocGetRootElement(document.get()) : nullptr;
    if (root == nullptr || !Is(root, kDav, "multistatus"))
        throw std::runtime_error("the answer is not a multi-status");
    std::vector<DavEntry> entries;
    for (const xmlNode* response = root->children; response != nullptr; response = response->next) {
        if (!Is(response, kDav, "response")) continue;
        DavEntry entry;
        entry.href = Text(Child(response, kDav, "href"));
        if (const xmlNode* status = Child(response, kDav, "status"))
            entry.status = StatusCode(Text(status));
        for (const xmlNode* propstat = response->children; propstat != nullptr;
             propstat = propstat->next) {
            if (!Is(propstat, kDav, "propstat")) continue;
            const xmlNode* status = Child(propstat, kDav, "status");
            const xmlNode* prop = Child(propstat, kDav, "prop");
            if (prop != nullptr && (status == nullptr || StatusCode(Text(status)) / 100 == 2))
                ReadProperties(prop, entry);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string XmlEscaped(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                // XML 1.0 has no way to carry other control characters.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                    escaped += ' ';
                else
                    escaped += c;
        }
    }
    return escaped;
}

std::string PropfindBody() {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<D:propfind "
           "xmlns:D=\"DAV:\"><D:prop><D:resourcetype/><D:getetag/><D:displayname/></D:prop>"
           "</D:propfind>\n";
}

std::string MkcalendarBody(const std::string& displayName, const std::string& description) {
    std::string body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<C:mkcalendar xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:set><D:prop>"
        "<D:displayname>" +
        XmlEscaped(displayName) + "</D:displayname>";
    if (!description.empty())
        body += "<C:calendar-description>" + XmlEscaped(description) + "</C:calendar-description>";
    return body + "</D:prop></D:set></C:mkcalendar>\n";
}

std::string DecodedPath(std::string_view href) {
    if (size_t scheme = href.find("://"); scheme != std::string_view::npos) {
        size_t path = href.find('/', scheme + 3);
        href = path == std::string_view::npos ? std::string_view("/") : href.substr(path);
    }
    std::string decoded;
    for (size_t i = 0; i < href.size(); ++i) {
        if (href[i] == '%' && i + 2 < href.size() &&
            std::isxdigit(static_cast<unsigned char>(href[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(href[i + 2]))) {
            decoded +=
                static_cast<char>(std::stoi(std::string(href.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            decoded += href[i];
        }
    }
    return decoded;
}

}  // namespace qel2::cli::push
