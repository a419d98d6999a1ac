#include "editions/command_line.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "pattern/pattern_details.h"

namespace orvane {

namespace {

// A level slider's position as given: whole decimal digits from 0 to 100 and
// nothing else, so "1e2", "+5" or "50 " are refused rather than half read.
bool ReadPosition(std::string_view text, std::int32_t &position)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    std::int32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value > 100)
        return false;
    position = value;
    return true;
}

CommandLine Refused(std::string_view argument, std::string problem = {})
{
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.refused = argument;
    line.problem = std::move(problem);
    return line;
}

} // namespace

CommandLine ReadCommandLine(int argc, const char *const *argv)
{
    // Every argument is looked at first, so that "--help -reverse" is refused
    // as a whole rather than half understood.
    CommandLine line;
    bool levels = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] ? argv[i] : "";
        CommandLine::Action action;
        if (argument == "--help") {
            action = CommandLine::Action::Help;
        } else if (argument == "--version") {
            action = CommandLine::Action::Version;
        } else if (argument == "--details") {
            action = CommandLine::Action::Details;
        } else if (argument == "--omni" || argument == "--fig8") {
            const std::string_view value = i + 1 < argc && argv[i + 1] ? argv[i + 1] : "";
            if (!ReadPosition(value, argument == "--omni" ? line.omni : line.fig8))
                return Refused(argument, std::string(argument) +
                                             (i + 1 < argc ? " takes a whole number from 0 to 100, not \"" +
                                                                 std::string(value) + "\""
                                                           : " needs a whole number from 0 to 100 after it"));
            ++i;
            levels = true;
            continue;
        } else {
            return Refused(argument);
        }
        if (line.action == CommandLine::Action::Run) {
            line.action = action;
        }
    }
    // The positions are for the figures alone: the window starts as it always does.
    if (levels && line.action == CommandLine::Action::Run)
        return Refused("--omni", "--omni and --fig8 go with --details");
    return line;
}

std::string UsageText(std::string_view name, std::string_view command)
{
    std::string text;
    text.append("Usage: ").append(name).append(" [--help | --version | --details [--omni S1] [--fig8 S2]]\n\n");
    text.append("Shows how a microphone's polar pattern arises from an omnidirectional\n"
                "and a figure-8 component. Everything is set in the window.\n\n"
                "  --help       print this text and exit\n"
                "  --version    print the version and exit\n"
                "  --details    print the pattern's figures, one \"name<TAB>value\" line each, and exit\n"
                "  --omni S1    the omni level slider's position for --details, 0 (full) to 100 (lowest)\n"
                "  --fig8 S2    the figure-8 level slider's position for --details, 0 to 100\n\n"
                "The window needs a display. Without a desktop, run it on a virtual one:\n  xvfb-run -a ");
    text.append(command).append("\n");
    return text;
}

std::string DetailsTable(std::int32_t omni, std::int32_t fig8)
{
    const PatternDetails details = DetailsFor(omni, fig8);
    const auto values = DetailValues(details);
    std::string table;
    for (std::size_t i = 0; i < kDetailRows.size(); ++i) {
        const double value = values[i];
        table.append(kDetailRows[i].key).append("\t");
        if (details.empty || std::isnan(value)) {
            table.append("none");
        } else if (std::isinf(value)) {
            table.append(value > 0 ? "inf" : "-inf");
        } else {
            // The shortest digits that read back as the same double, never in
            // the locale's form.
            char buffer[32];
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
            table.append(buffer, end);
        }
        table.append("\n");
    }
    return table;
}

} // namespace orvane
