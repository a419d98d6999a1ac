#pragma once

#include <string>
#include <string_view>

// The program's command line. It takes no arguments but --help and --version;
// anything else is refused before a window opens, and nothing is handed on to
// Qt, so the window never depends on how the program was started.
namespace orvane {

struct CommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    std::string refused; // the first argument not understood, when refused
};

CommandLine ReadCommandLine(int argc, const char *const *argv);

// What --help prints. `name` is the program's name, `command` how it was
// started (argv[0]), for the example of running it on a virtual display.
std::string UsageText(std::string_view name, std::string_view command);

} // namespace orvane
