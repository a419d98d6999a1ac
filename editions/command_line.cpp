#include "editions/command_line.h"

#include "pattern/translation.h"

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
        } else if (argument == "--lang" || argument.starts_with("--lang=")) {
            // The code is checked against the catalogues later: an unknown one
            // gives English with a warning, not a refusal.
            const bool joined = argument.size() > 6;
            if (!joined && (i + 1 >= argc || !argv[i + 1]))
                return {CommandLine::Action::Refuse, std::string(argument), {}};
            line.language = joined ? std::string(argument.substr(7)) : std::string(argv[++i]);
            continue;
        } else {
            return {CommandLine::Action::Refuse, std::string(argument), {}};
        }
        if (line.action == CommandLine::Action::Run) {
            line.action = action;
        }
    }
    return line;
}

std::string UsageText(std::string_view name, std::string_view command)
{
    //: --help. %1: the program's name; %2: how it was started, a path. Keep the options
    //: and "xvfb-run -a" as they are; a line break before each option.
    return Format(Tr("command line",
                     "Usage: %1 [--help | --version] [--lang CODE]\n\n"
                     "Shows how a microphone's polar pattern arises from an omnidirectional\n"
                     "and a figure-8 component. Everything is set in the window; the program\n"
                     "takes no other arguments.\n\n"
                     "  --help       print this text and exit\n"
                     "  --version    print the version and exit\n"
                     "  --lang CODE  show the window in this language (de, fr, pt-BR, ja, ...)\n"
                     "               instead of the system's; English where it has none\n\n"
                     "It needs a display. Without a desktop, run it on a virtual one:\n"
                     "  xvfb-run -a %2\n"),
                  {name, command});
}

std::string Printable(std::string_view text)
{
    std::string out;
    for (const char c : text.substr(0, 40))
        out += c >= 0x20 && c < 0x7F ? c : '?';
    return out;
}

} // namespace orvane
