#include "help_text.h"

#include <string>
#include <string_view>

namespace qel2::cli {

namespace {

void PrintCommonHelp(FILE* out) {
    std::fprintf(out, "\nOptions every command takes:\n");
    for (const OptionHelp& option : kCommonOptions)
        std::fprintf(out, "  %-14s %s\n", option.name, option.text);
    std::fprintf(out, "\n%s\nExit status: %s\n", kNotes, kExitStatus);
}

// Text as roff reads it: backslashes and hyphens escaped, and no line
// starting with a control character ('.' or '\'').
std::string Roff(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

// A help paragraph: lines indented by two spaces are examples, kept as
// they are; the others are filled by the formatter.
void PrintParagraph(std::string_view text) {
    bool example = false;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        bool indented = line.starts_with("  ");
        if (indented != example) std::printf(indented ? ".RS\n.nf\n" : ".fi\n.RE\n");
        example = indented;
        std::printf("%s\n", Roff(indented ? line.substr(2) : line).c_str());
    }
    if (example) std::printf(".fi\n.RE\n");
}

}  // namespace

void PrintOverview(FILE* out, std::span<const Command* const> commands) {
    std::fprintf(out, "usage: qel2caldb %s\n", kSynopsis[0]);
    for (size_t i = 1; i < std::size(kSynopsis); ++i)
        std::fprintf(out, "       qel2caldb %s\n", kSynopsis[i]);
    std::fprintf(out, "\n%s\n\nCommands:\n", kDescription);
    for (const Command* command : commands)
        std::fprintf(out, "  %-10s %s\n", command->name, command->summary);
    PrintCommonHelp(out);
}

void PrintCommandHelp(const Command& command) {
    std::printf("usage: qel2caldb %s\n\n%s\n%s", command.usage, command.summary, command.details);
    PrintCommonHelp(stdout);
}

void PrintManPage(std::span<const Command* const> commands) {
    std::printf(".TH QEL2CALDB 1 \"\" \"qel2caldb %s\" \"User Commands\"\n", QEL2_VERSION);
    std::printf(
        ".SH NAME\nqel2caldb \\- read, check and export a legacy calendar store\n.SH SYNOPSIS\n");
    for (const char* synopsis : kSynopsis)
        std::printf(".B qel2caldb\n%s\n.br\n", Roff(synopsis).c_str());
    std::printf(".SH DESCRIPTION\n");
    PrintParagraph(kDescription);
    std::printf(".SH COMMANDS\n");
    for (const Command* command : commands) {
        std::printf(".TP\n.B qel2caldb %s\n", Roff(command->usage).c_str());
        PrintParagraph(std::string(command->summary) + ".");
        std::printf(".IP\n");
        PrintParagraph(command->details);
    }
    std::printf(".SH OPTIONS\n");
    for (const OptionHelp& option : kCommonOptions)
        std::printf(".TP\n.B %s\n%s\n", Roff(option.name).c_str(), Roff(option.text).c_str());
    PrintParagraph(kNotes);
    std::printf(".SH EXIT STATUS\n");
    PrintParagraph(kExitStatus);
    std::printf(
        ".SH ENVIRONMENT\n.TP\n.B QEL2_CONFIG\nthe settings file when \\-\\-config is not given\n");
}

}  // namespace qel2::cli
