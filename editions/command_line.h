#pragma once

#include <string>
#include <string_view>

// The program's command line. It takes no arguments but --help, --version and
// --lang CODE; anything else is refused before a window opens, and nothing is
// handed on to Qt, so the window never depends on how the program was started.
namespace orvane {

struct CommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    std::string refused;  // the first argument not understood, when refused
    std::string language; // --lang's code as given; empty: the system's languages
};

CommandLine ReadCommandLine(int argc, const char *const *argv);

// What --help prints, in the current language. `name` is the program's name,
// `command` how it was started (argv[0]), for the example of running it on a
// virtual display.
std::string UsageText(std::string_view name, std::string_view command);

// A text from the command line as it may be shown back: printable ASCII, any
// other byte a "?", at most 40 characters.
std::string Printable(std::string_view text);

} // namespace orvane
