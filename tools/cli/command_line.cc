#include "command_line.h"

#include <algorithm>
#include <charconv>

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
