#include "command_line.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <ctime>

#include "cli_error.h"

namespace qel2::cli {

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::optional<std::string> Arguments::value(const std::string& option) const {
    auto it = values.find(option);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

Arguments ParseArguments(const Command& command, const std::vector<std::string>& args,
                         CommonOptions& common) {
    Arguments parsed;
    std::vector<std::string> positional;
    bool sample = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 3 || arg.rfind("--", 0) != 0) {
            positional.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (size_t equals = arg.find('='); equals != std::string::npos) {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
        }
        bool common_value = name == "--config" || name == "--log";
        if (name == "--help" || name == "--sample" || Contains(command.switchOptions, name)) {
            if (inlineValue) throw UsageError(name + " takes no value");
            if (name == "--help")
                common.help = true;
            else if (name == "--sample")
                sample = true;
            else
                parsed.switches.insert(name);
            continue;
        }
        if (!common_value && !Contains(command.valueOptions, name))
            throw UsageError("unknown option " + name + " for " + command.name);
        if (!inlineValue) {
            if (i + 1 == args.size()) throw UsageError(name + " needs a value");
            inlineValue = args[++i];
        }
        if (name == "--config")
            common.config = *inlineValue;
        else if (name == "--log")
            common.log = *inlineValue;
        else {
            parsed.values[name] = *inlineValue;
            parsed.allValues[name].push_back(*inlineValue);
        }
    }
    if (common.help) return parsed;
    // --sample stands for STORE.
    size_t given = positional.size() + (sample ? 1 : 0);
    if (positional.empty() && !sample)
        throw UsageError(std::string(command.name) + " needs a STORE (or --sample)");
    if (given < command.minPositional)
        throw UsageError(std::string(command.name) + " needs more arguments");
    if (given > command.maxPositional)
        throw UsageError(std::string(command.name) + " takes at most " +
                         std::to_string(command.maxPositional) + " arguments" +
                         (sample ? " with --sample" : ""));
    if (!sample) {
        parsed.store = positional.front();
        positional.erase(positional.begin());
    }
    parsed.operands = std::move(positional);
    return parsed;
}

long long ParseNumber(const std::string& option, const std::string& text, long long lowest,
                      long long highest) {
    long long number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < lowest ||
        number > highest)
        throw UsageError(option + " needs a whole number from " + std::to_string(lowest) + " to " +
                         std::to_string(highest) + ", not \"" + text + "\"");
    return number;
}

int32_t ParseTime(const std::string& option, const std::string& text) {
    bool digitsOnly = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (digitsOnly) return static_cast<int32_t>(ParseNumber(option, text, 0, INT32_MAX));

    struct tm parts = {};
    int consumed = 0;
    int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &parts.tm_year, &parts.tm_mon,
                             &parts.tm_mday, &consumed);
    if (fields == 3 && static_cast<size_t>(consumed) < text.size()) {
        int more = 0;
        if (std::sscanf(text.c_str() + consumed, "T%2d:%2d:%2d%n", &parts.tm_hour, &parts.tm_min,
                        &parts.tm_sec, &more) != 3)
            fields = 0;
        consumed += more;
        if (static_cast<size_t>(consumed) < text.size() && text.substr(consumed) == "Z") ++consumed;
    }
    bool valid = fields == 3 && static_cast<size_t>(consumed) == text.size() && parts.tm_mon >= 1 &&
                 parts.tm_mon <= 12 && parts.tm_mday >= 1 && parts.tm_mday <= 31 &&
                 parts.tm_hour <= 23 && parts.tm_min <= 59 && parts.tm_sec <= 60;
    if (!valid)
        throw UsageError(
            option +
            " needs a date (2006-01-16), a UTC time (2006-01-16T14:00:00Z) or seconds since "
            "1970, not \"" +
            text + "\"");
    int day = parts.tm_mday;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    time_t seconds = timegm(&parts);
    // timegm rolls 2006-02-30 over into March; such a date is refused.
    if (parts.tm_mday != day || seconds < 0 || seconds > INT32_MAX)
        throw UsageError(option + ": \"" + text + "\" is not a time between 1970 and 2038");
    return static_cast<int32_t>(seconds);
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

}  // namespace qel2::cli
