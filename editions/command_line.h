#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pattern/state_text.h"
#include "pattern/translation.h"

// The program's command line: the state the window starts in, a figure to
// write without a window, the pattern's figures as text, the language, and
// --help and --version. Anything else is refused before a window opens, and
// nothing is handed on to Qt, so the window never depends on how the program was started.
namespace orvane {

struct CommandLine {
    enum class Action { Run, Help, Version, Details, Refuse };
    Action action = Action::Run;
    std::string refused; // the first argument not understood, when refused
    std::string error;   // what is wrong with it, one sentence

    // What the options set of the sliders; each option sets what it names, a
    // later one over an earlier one.
    std::optional<std::int32_t> omni;
    std::optional<std::int32_t> fig8;
    std::optional<std::int32_t> angle;
    std::optional<PlotView> view; // the plot's view and its range, where given
    std::optional<std::int32_t> range;
    std::optional<StereoPair> pair; // the technique, from --pair or --state
    std::optional<std::int32_t> pairAngle; // --pair-angle's, checked against the technique at the end
    std::optional<std::int32_t> side;      // --side's, likewise
    std::string exportPath; // write the figure here and exit
    std::optional<std::int32_t> scale;
    std::string language; // --lang's code as given; empty: the system's languages
};

// The messages, in English; shown through Tr("command line", ...), with %1, %2
// filled in (Format), one sentence each.
//: On standard error, after the program's name. %1: the argument, as given
inline constexpr const char *kUnknownArgument =
    ORVANE_NOOP("command line", "unknown argument \"%1\"; --help lists the options");
//: %1: an option (--omni); %2: the name of its value (S1, FILE)
inline constexpr const char *kNeedsValue = ORVANE_NOOP("command line", "%1 needs a value: %2");
// No words to translate: the option, its value as given, and the state's own
// message, which is translated.
inline constexpr const char *kBadState = "%1 \"%2\": %3";
//: %1: the name given; %2: the textbook patterns' names; %3: the pattern buttons' names; each list
//: separated by commas
inline constexpr const char *kUnknownPreset =
    ORVANE_NOOP("command line", "unknown preset \"%1\"; the textbook patterns are %2, the buttons %3");
//: %1: the file name given; %2: the formats (.png, .svg, .pdf). Keep --export as it is.
inline constexpr const char *kUnknownFormat =
    ORVANE_NOOP("command line", "--export \"%1\": its suffix names no format; the formats are %2");
//: Keep --scale, --export and FILE as they are.
inline constexpr const char *kScaleAlone =
    ORVANE_NOOP("command line", "--scale is the size of an --export; give --export FILE too");

//: Keep --pair-angle, --pair and xy as they are.
inline constexpr const char *kPairAngleAlone =
    ORVANE_NOOP("command line", "--pair-angle is the angle of an XY pair; give --pair xy too");
//: Keep --side, --pair and ms as they are. M/S: mid and side, the stereo technique.
inline constexpr const char *kSideAlone =
    ORVANE_NOOP("command line", "--side is the side's level of an M/S pair; give --pair ms too");

CommandLine ReadCommandLine(int argc, const char *const *argv);

// The state the options ask for, from the sliders' start positions.
PatternState StartState(const CommandLine &line);
// Whether any option set a slider or the plot's view.
bool SetsState(const CommandLine &line);

// What --help prints, in the current language. `name` is the program's name, `command` how it was
// started (argv[0]), for the example of running it on a virtual display.
// `probe`: the full edition's, which lists the probe's option.
std::string UsageText(std::string_view name, std::string_view command, bool probe);

// What --details prints: one "name<TAB>value" line for each figure of the
// pattern, each value with the digits that give back the same double, in the C
// locale; "inf", "-inf" or "none" where those apply, "none" for every figure
// of the empty pattern. With a pair, its figures follow, and in the full
// edition, where the probe's angle is given, those at the source there
// ("yes" or "no" for the opposite polarity).
std::string DetailsTable(const PatternState &state, Edition edition);

} // namespace orvane
