#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pattern/controls.h"
#include "pattern/edition.h"
#include "pattern/stereo_pair.h"
#include "pattern/translation.h"

namespace orvane {

// The three sliders' positions as a short text, for a link or a command line:
// "omni=S1&fig8=S2&angle=V". S1 and S2 are the level sliders' positions as the
// sliders hold them (0 full level to 100 lowest), V the angle slider's (-180
// to 180). Without an angle the probe has not been moved. The datasheet view
// adds "&view=db&range=R"; without them the plot is linear. A stereo pair
// adds "&pair=xy&pairangle=A" or "&pair=ms&side=S3"; without it there is none.
struct PatternState {
    std::int32_t omni = 100;
    std::int32_t fig8 = 100;
    std::optional<std::int32_t> angle;
    ViewSettings view = {};
    std::optional<StereoPair> pair = std::nullopt;

    bool operator==(const PatternState &) const = default;
};

enum class StateKey { Omni, Fig8, Angle, PairAngle, Side };

// The key as written in the text ("omni", "fig8", "angle", "pairangle",
// "side") and its range.
const char *KeyName(StateKey key);
std::int32_t KeyMinimum(StateKey key);
std::int32_t KeyMaximum(StateKey key);

// The messages for input that is not a state, in English; shown through
// Tr("state", ...), with %1, %2, ... filled in by Format, so each stays one
// whole sentence to translate. Each is written as a command line's message
// is, after the program's name: in lower case, with no full stop.
//: Keep omni=S1&fig8=S2&angle=V as it is.
inline constexpr const char *kStateEmpty = ORVANE_NOOP("state", "the state is empty; it reads omni=S1&fig8=S2&angle=V");
//: %1: a part of the state, as given. Keep key=value as it is.
inline constexpr const char *kStateNotPair = ORVANE_NOOP("state", "\"%1\" in the state is not key=value");
//: %1: the key, as given. Keep omni, fig8, angle, view, range, pair, pairangle and side as they are.
inline constexpr const char *kStateUnknownKey = ORVANE_NOOP(
    "state", "unknown key \"%1\" in the state; the keys are omni, fig8, angle, view, range, pair, pairangle and side");
//: %1: the key (omni, fig8, angle)
inline constexpr const char *kStateTwice = ORVANE_NOOP("state", "\"%1\" is given twice in the state");
//: %1: the key (omni, fig8, angle)
inline constexpr const char *kStateMissing = ORVANE_NOOP("state", "\"%1\" is missing from the state");
//: %1: a key of the stereo pair (pairangle, side); %2: the pair it belongs to (pair=xy, pair=ms). Keep
//: both as they are.
inline constexpr const char *kStateKeyWithoutPair = ORVANE_NOOP("state", "\"%1\" in the state needs %2");
//: %1: what the value is for (omni, --omni, --scale); %2: the value, as given
inline constexpr const char *kValueNotNumber = ORVANE_NOOP("state", "%1 \"%2\" is not a whole number");
//: %1: what the value is for (omni, --omni, --scale); %2: the value; %3, %4: the least and the most
inline constexpr const char *kValueOutOfRange = ORVANE_NOOP("state", "%1 %2 is out of range: %3 to %4");

//: %1: what the value is for (view, --range); %2: the value, as given; %3: the values it may take
inline constexpr const char *kValueNotOneOf = ORVANE_NOOP("state", "%1 \"%2\" is not one of %3");

// The words of the views, "linear" and "db", and the ranges, "20", "30" and "40".
inline constexpr std::array<const char *, 2> kViewWords{"linear", "db"};
inline constexpr std::array<const char *, 3> kRangeWords{"20", "30", "40"};
// The stereo pair's techniques as the state writes them, in the order of PairTechnique.
inline constexpr std::array<const char *, 2> kPairWords{"xy", "ms"};

// Input from anyone, shown back in a message: at most 40 characters, control
// characters as "?", so a message stays one readable line.
std::string ShownInput(std::string_view input);

// Reads a whole number from `minimum` to `maximum`. On a fault returns the
// message, naming the value as `label`; otherwise an empty text and `value` set.
std::string ReadWholeNumber(std::string_view text, std::string_view label, std::int32_t minimum,
                            std::int32_t maximum, std::int32_t &value);

// Reads one value for `key`. On a fault returns the message, naming the value
// as `label` (e.g. "omni" or "--omni"); otherwise an empty text and `value` set.
std::string ReadStateValue(StateKey key, std::string_view text, std::string_view label,
                           std::int32_t &value);

// Read one value of the view or its range into `view`. On a fault return the
// message, naming the value as `label`; otherwise an empty text.
std::string ReadViewValue(std::string_view text, std::string_view label, ViewSettings &view);
std::string ReadRangeValue(std::string_view text, std::string_view label, ViewSettings &view);
// Reads a technique's word (kPairWords) into `technique`, likewise.
std::string ReadPairValue(std::string_view text, std::string_view label, PairTechnique &technique);

struct StateReading {
    std::optional<PatternState> state; // empty when the text is not a state
    std::string error;                 // why not
};

// Reads the state text. The keys may come in any order; omni and fig8 are
// required, each key at most once; a pair needs its own key (pairangle for
// xy, side for ms) and no other's.
StateReading ReadStateText(std::string_view text);

// The state text. The lite edition has no probe: it writes no angle.
std::string StateText(const PatternState &state, Edition edition = Edition::Full);

} // namespace orvane
