#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pattern/actions.h"
#include "pattern/controls.h"
#include "pattern/pattern_details.h"
#include "pattern/stereo_pair.h"

namespace orvane {

// What the user does, by name: every event of both faces becomes one of these
// and goes to Behaviour::Act, which answers with a Snapshot.
struct UserAction {
    enum class Kind {
        Load,        // the window opens, the page starts
        Move,        // a slider moved to `value` by the user
        Preset,      // the pattern button kPresets[value]
        Choose,      // an entry of the action table chosen (a switch: turned to `on`)
        State,       // a state given as text (a link, the command line)
        SoundEnded,  // the sound the last snapshot asked for has played to its end
        SoundFailed, // it could not start or it stopped: `text` says why, in the user's words
        Pair,        // the stereo pair's controls set to `pair` (its technique, angle and side)
        Blumlein,    // the stereo pair's Blumlein button: figure-8s, XY at 90 degrees
    };
    Kind kind = Kind::Load;
    SliderId slider = SliderId::Slider1;
    std::int32_t value = 0;
    Action action = Action::Listen;
    bool on = true;
    std::string text;
    StereoPair pair;

    static UserAction Loaded() { return {}; }
    static UserAction Moved(SliderId slider, std::int32_t position)
    {
        return {Kind::Move, slider, position, {}, true, {}, {}};
    }
    static UserAction Pressed(std::int32_t preset) { return {Kind::Preset, {}, preset, {}, true, {}, {}}; }
    static UserAction Chosen(Action action, bool on = true) { return {Kind::Choose, {}, 0, action, on, {}, {}}; }
    static UserAction Given(std::string state) { return {Kind::State, {}, 0, {}, true, std::move(state), {}}; }
    static UserAction Ended(Action sound) { return {Kind::SoundEnded, {}, 0, sound, true, {}, {}}; }
    static UserAction Failed(Action sound, std::string why) { return {Kind::SoundFailed, {}, 0, sound, true, std::move(why), {}}; }
    static UserAction PairSet(StereoPair pair) { return {Kind::Pair, {}, 0, {}, true, {}, pair}; }
    static UserAction BlumleinPair() { return {Kind::Blumlein, {}, 0, {}, true, {}, kBlumlein}; }
};

// An entry of the action table as a face shows it after an action.
struct ActionShown {
    Action action;
    bool enabled = true;
    bool checked = false; // a switch's state, or whether what the entry shows is shown
};

// A sound for the face to play: the sweep around the microphone (around the
// stereo pair where `pair` is given, its two channels the two microphones'),
// or the probe's short sound at the angle slider's position.
struct SoundShown {
    Action action;  // Listen or ProbeSound
    std::int32_t s1;
    std::int32_t s2;
    std::int32_t angle; // the probe's; unused for the sweep
    std::optional<StereoPair> pair = std::nullopt;
};

// The stereo pair as its window or panel shows it. Its two drawings (the
// pair's plot and the localisation curve) are drawn on the face's surfaces
// for them while the action runs; `drawn` says whether they were.
struct PairShown {
    StereoPair pair;
    std::optional<std::int32_t> source;  // the probe's angle where the probe is shown (full edition)
    std::string technique;               // "XY", "M/S" or "Blumlein"
    std::string sideReadout;             // the side's level by the level readout rule
    std::string spokenAngle;             // the angle slider's value as a screen reader says it
    std::string spokenSide;              // the side slider's
    // The figures in the order of kPairFigureRows, as shown; the three at
    // the source are empty without one.
    std::array<std::string, kPairFigureRows.size()> figures;
    std::string description; // the pair in words
    bool drawn = false;      // its drawings changed in this action
};

// Everything a face shows after one action. The plot itself is drawn on the
// face's surface while the action runs; `plotChanged` says whether it was.
struct Snapshot {
    bool done = false;         // the action ran to its end
    std::string error;         // what ended it, in the user's words; empty when none
    std::string refused;       // why a state given as text is none; nothing changed
    std::string announcement;  // what a listener hears; empty for nothing
    std::string description;   // the plot in words, as it now stands
    bool plotChanged = false;
    bool plotDrawn = false;    // false until the first drawing: a blank plot
    // The readouts' texts (by CaptionId) and the sliders' positions (by
    // SliderId) as the action left them; the lite edition has no angle slider.
    std::array<std::string, 4> readouts;
    std::array<std::optional<std::int32_t>, 3> sliders;
    std::array<std::string, 3> spoken; // each slider's value as a screen reader says it
    std::vector<ActionShown> actions;  // the edition's entries of the action table, in its order
    ViewSettings view;
    std::optional<DetailsShown> details; // while the details are shown
    std::string state;                   // the state as text, for the address and the command line
    std::optional<SoundShown> sound;     // to play now
    std::optional<PairShown> pair;       // while the stereo pair is shown
};

} // namespace orvane
