#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The program's command line. It takes --help and --version, and --details
// with the level sliders' positions; anything else is refused before a window
// opens, and nothing is handed on to Qt, so the window never depends on how
// the program was started.
namespace orvane {

struct CommandLine {
    enum class Action { Run, Help, Version, Details, Refuse };
    Action action = Action::Run;
    std::string refused; // when refused: the first argument not understood
    std::string problem; // when refused for a bad value: what is wrong, to print as it stands
    // The level sliders' positions for --details; the window's start unless given.
    std::int32_t omni = 100;
    std::int32_t fig8 = 100;
};

CommandLine ReadCommandLine(int argc, const char *const *argv);

// What --help prints. `name` is the program's name, `command` how it was
// started (argv[0]), for the example of running it on a virtual display.
std::string UsageText(std::string_view name, std::string_view command);

// What --details prints: one "name<TAB>value" line for each figure of the
// pattern, each value with the digits that give back the same double, in the C
// locale; "inf", "-inf" or "none" where those apply, "none" for every figure
// of the empty pattern.
std::string DetailsTable(std::int32_t omni, std::int32_t fig8);

} // namespace orvane
