// qel2-mkstore: writes calendar stores for tests and benchmarks.
//
//   qel2-mkstore write DESCRIPTION.json STOREDIR
//   qel2-mkstore generate --calendars N --events M [--todos K] [--seed S] STOREDIR

#include <charconv>
#include <chrono>
#include <cstdio>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "mkstore_error.h"
#include "store_description.h"
#include "store_generator.h"

namespace {

using qel2::mkstore::MkstoreError;

constexpr const char* kUsage =
    "usage: qel2-mkstore write DESCRIPTION.json STOREDIR\n"
    "       qel2-mkstore generate --calendars N --events M [--todos K] [--seed S] STOREDIR\n";

struct UsageError : MkstoreError {
    using MkstoreError::MkstoreError;
};

template <typename Number>
Number ParseNumber(const std::string& option, const std::string& text) {
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw UsageError(option + " needs a whole number, not \"" + text + "\"");
    return value;
}

int Write(const std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError("write takes a description file and a store directory");
    qel2::mkstore::StorePlan plan = qel2::mkstore::PlanStoreFile(args[0]);
    qel2::mkstore::WriteStore(plan, args[1]);
    std::fprintf(stderr, "qel2-mkstore: wrote %zu records to %s\n", plan.records.size(),
                 args[1].c_str());
    return 0;
}

int Generate(const std::vector<std::string>& args) {
    std::map<std::string, std::string> options;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) != 0) {
            positional.push_back(args[i]);
            continue;
        }
        if (args[i] != "--calendars" && args[i] != "--events" && args[i] != "--todos" &&
            args[i] != "--seed")
            throw UsageError("unknown option " + args[i]);
        if (i + 1 == args.size()) throw UsageError(args[i] + " needs a value");
        options[args[i]] = args[i + 1];
        ++i;
    }
    if (positional.size() != 1) throw UsageError("generate takes exactly one store directory");
    if (!options.contains("--calendars") || !options.contains("--events"))
        throw UsageError("generate needs --calendars and --events");

    qel2::mkstore::GenerateOptions generate;
    generate.calendars = ParseNumber<uint32_t>("--calendars", options["--calendars"]);
    generate.eventsPerCalendar = ParseNumber<uint32_t>("--events", options["--events"]);
    if (options.contains("--todos"))
        generate.todosPerCalendar = ParseNumber<uint32_t>("--todos", options["--todos"]);
    if (options.contains("--seed"))
        generate.seed = ParseNumber<uint64_t>("--seed", options["--seed"]);
    if (generate.calendars == 0) throw UsageError("--calendars must be at least 1");

    auto start = std::chrono::steady_clock::now();
    qel2::mkstore::GenerateSummary summary = qel2::mkstore::GenerateStore(generate, positional[0]);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::fprintf(
        stderr,
        "qel2-mkstore: wrote %llu calendars, %llu events, %llu to-dos and %llu alarm records "
        "(%llu value bytes) to %s in %.1f s\n",
        static_cast<unsigned long long>(summary.calendars),
        static_cast<unsigned long long>(summary.events),
        static_cast<unsigned long long>(summary.todos),
        static_cast<unsigned long long>(summary.alarmRecords),
        static_cast<unsigned long long>(summary.valueBytes), positional[0].c_str(), took.count());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.empty()) throw UsageError("no command given");
        std::string command = args.front();
        args.erase(args.begin());
        if (command == "write") return Write(args);
        if (command == "generate") return Generate(args);
        throw UsageError("unknown command \"" + command + "\"");
    } catch (const UsageError& error) {
        std::fprintf(stderr, "qel2-mkstore: %s\n%s", error.what(), kUsage);
        return 2;
    } catch (const MkstoreError& error) {
        std::fprintf(stderr, "qel2-mkstore: %s\n", error.what());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "qel2-mkstore: out of memory\n");
        return 1;
    }
}
