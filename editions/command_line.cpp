#include "editions/command_line.h"

namespace orvane {

CommandLine ReadCommandLine(int argc, const char *const *argv)
{
    // Every argument is looked at first, so that "--help -reverse" is refused
    // as a whole rather than half understood.
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] ? argv[i] : "";
        CommandLine::Action action;
        if (argument == "--help") {
            action = CommandLine::Action::Help;
        } else if (argument == "--version") {
            action = CommandLine::Action::Version;
        } else {
            return {CommandLine::Action::Refuse, std::string(argument)};
        }
        if (line.action == CommandLine::Action::Run) {
            line.action = action;
        }
    }
    return line;
}

std::string UsageText(std::string_view name, std::string_view command)
{
    std::string text;
    text.append("Usage: ").append(name).append(" [--help | --version]\n\n");
    text.append("Shows how a microphone's polar pattern arises from an omnidirectional\n"
                "and a figure-8 component. Everything is set in the window; the program\n"
                "takes no other arguments.\n\n"
                "  --help     print this text and exit\n"
                "  --version  print the version and exit\n\n"
                "It needs a display. Without a desktop, run it on a virtual one:\n  xvfb-run -a ");
    text.append(command).append("\n");
    return text;
}

} // namespace orvane
