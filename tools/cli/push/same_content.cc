#include "same_content.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include <libical/ical.h>

namespace qel2push {

namespace {

struct ComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};

std::string Owned(char* text) {
    std::string copy = text ? text : "";
    icalmemory_free_buffer(text);
    return copy;
}

// "MEMBER=\"a\",\"b\"", "MEMBER=\"a,b\"" or "MEMBER=a,b" -> "MEMBER=a",
// "MEMBER=b". Any comma splits: the same split on both sides compares alike.
void AddParameter(const std::string& text, std::vector<std::string>& out) {
    size_t equals = text.find('=');
    std::string name = text.substr(0, equals);
    std::string item;
    for (size_t i = equals == std::string::npos ? text.size() : equals + 1; i <= text.size(); ++i) {
        char c = i < text.size() ? text[i] : ',';
        if (c == ',') out.push_back(name + "=" + std::exchange(item, ""));
        else if (c != '"') item += c;
    }
}

std::string Canonical(icalcomponent* component, bool dropStamp) {
    std::vector<std::string> lines;
    for (icalproperty* property = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); property != nullptr;
         property = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        if (dropStamp && icalproperty_isa(property) == ICAL_DTSTAMP_PROPERTY) continue;
        std::vector<std::string> parameters;
        for (icalparameter* parameter = icalproperty_get_first_parameter(property, ICAL_ANY_PARAMETER);
             parameter != nullptr; parameter = icalproperty_get_next_parameter(property, ICAL_ANY_PARAMETER))
            AddParameter(Owned(icalparameter_as_ical_string_r(parameter)), parameters);
        std::sort(parameters.begin(), parameters.end());
        std::string line = icalproperty_get_property_name(property);
        for (const std::string& parameter : parameters) line += ";" + parameter;
        lines.push_back(line + ":" + Owned(icalproperty_get_value_as_string_r(property)));
    }
    std::vector<std::string> children;
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child != nullptr;
         child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        children.push_back(Canonical(child, dropStamp));
    std::sort(lines.begin(), lines.end());
    std::sort(children.begin(), children.end());
    std::string text = std::string("BEGIN:") + icalcomponent_kind_to_string(icalcomponent_isa(component)) + "\n";
    for (const std::string& line : lines) text += line + "\n";
    for (const std::string& child : children) text += child;
    return text + "END\n";
}

}  // namespace

bool SameContent(const std::string& ours, const std::string& theirs) {
    std::unique_ptr<icalcomponent, ComponentFree> mine(icalparser_parse_string(ours.c_str()));
    std::unique_ptr<icalcomponent, ComponentFree> stored(icalparser_parse_string(theirs.c_str()));
    if (!mine || !stored) return false;
    std::string canonical = Canonical(mine.get(), false);
    bool stamped = canonical.find("\nDTSTAMP") != std::string::npos;
    return canonical == Canonical(stored.get(), !stamped);
}

}  // namespace qel2push
