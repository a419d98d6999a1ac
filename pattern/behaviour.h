#pragma once

#include <array>
#include <cstdint>
#include <type_traits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "pattern/controls.h"
#include "pattern/edition.h"
#include "pattern/snapshot.h"
#include "pattern/state_text.h"

namespace orvane {

// The face's own part of an action (copy, save, print, the list of keys): a
// callable the face lends for the length of the call that runs it.
class FaceWork {
public:
    FaceWork() = default;
    template <typename Call, typename = std::enable_if_t<!std::is_same_v<std::decay_t<Call>, FaceWork>>>
    FaceWork(Call &&call) // NOLINT: made from any callable, as a std::function is
        : run_([](void *what) { (*static_cast<std::remove_reference_t<Call> *>(what))(); }),
          what_(const_cast<void *>(static_cast<const void *>(&call)))
    {
    }
    explicit operator bool() const { return run_ != nullptr; }
    void operator()() const { run_(what_); }

private:
    void (*run_)(void *) = nullptr;
    void *what_ = nullptr;
};

// The stereo pair's two drawings.
enum class PairDrawing { Plot, Curve };

// A face's controls: what the pattern rules read and write, and the sliders'
// positions, which a pattern button and a state set.
class FaceControls : public PatternControls {
public:
    // Throws ControlError when the slider is missing or refuses the position.
    virtual void setSliderValue(SliderId slider, std::int32_t value) = 0;
    // The surface the stereo pair's drawing is drawn on while the pair is
    // shown; none where the face does not draw it.
    virtual DrawingSurface *pairSurface(PairDrawing) { return nullptr; }
};

// What one action yields for a face to show, besides the readouts and the plot
// it drew through the face's controls.
struct Outcome {
    bool done = false;        // the handler ran to its end
    std::string announcement; // what a listener hears; empty for nothing
    std::string error;        // what ended it, in the user's words; empty when none
    bool plotChanged = false; // the plot was drawn, or what it is compared with changed
    std::string description;  // the plot in words, as it now stands; empty where
                              // the handler ended before drawing
};

// The program's behaviour over one face's controls: the state between the
// user's actions, what each action means, the handlers and the rule for their
// errors. The desktop window and the web page each hold one, hand it every
// action of the user's (Act) and draw the snapshot it returns.
class Behaviour {
public:
    Behaviour(Edition edition, FaceControls &controls);
    ~Behaviour();
    Behaviour(const Behaviour &) = delete;
    Behaviour &operator=(const Behaviour &) = delete;

    Edition edition() const { return edition_; }

    // Runs one action of the user's and returns everything the face shows
    // after it. `faceWork` is the face's own part of an entry of the action
    // table that only the face can do (copy, save, print, the list of keys):
    // it runs inside the action, so that an error ending it is worded as the
    // action's.
    Snapshot Act(const UserAction &action, FaceWork faceWork = {}) noexcept;
    // What the face shows now, as the last action left it.
    Snapshot Shown();
    bool detailsShown() const { return detailsShown_; }
    bool pairShown() const { return pairShown_; }
    // The face made its pair surfaces anew (a window opened, resized): the
    // next action draws the pair again.
    void PairSurfacesChanged();
    const StereoPair &pair() const { return pair_; }
    bool probeSound() const { return probeSound_; }

    // Runs one handler. An error that ends it becomes the outcome's error,
    // "<source>: <what>", or `errorFormat` filled with what; what was drawn or
    // written before it stays. The plot is described afterwards unless the
    // handler ended before drawing.
    template <typename Handler>
    Outcome Dispatch(std::string_view source, Handler &&handler, const char *errorFormat = nullptr) noexcept
    {
        using Type = std::remove_reference_t<Handler>;
        return Run(source, [](void *call) { (*static_cast<Type *>(call))(); },
                   const_cast<void *>(static_cast<const void *>(&handler)), errorFormat);
    }
    // Something for a listener to hear once the running handler ends.
    void announce(std::string text);

    // The handlers. Each throws what ends it; run them inside Dispatch.
    // The load: the drawing unit and the level readouts; it draws nothing.
    void Load();
    // Both level readouts and the plot, from the level sliders.
    void PreGraph();
    // The angle slider: the plot, the probe line, its readouts and announcement.
    double AngleScroll();
    // A pattern button: both level sliders, one redraw, the announcement.
    void Preset(std::int32_t slider1, std::int32_t slider2);
    // Keeps the pattern as it stands for comparison, or lets it go. Keep does
    // nothing until the plot shows a pattern (canKeep).
    void Keep();
    void ClearKept();
    // Moves the sliders to `state` and redraws as the user's moves would.
    // Returns whether the angle slider was moved (and the probe shown).
    bool ShowState(const PatternState &state);

    // Where the sliders stand, with the angle where the probe line is shown.
    PatternState shownState();
    std::string stateText() { return StateText(shownState(), edition_); }
    // The plot's description: the pattern it shows and the one kept.
    std::string description();

    const std::optional<KeptPattern> &kept() const { return kept_; }
    bool plotDrawn() const { return drawn_; }
    // Whether Keep has a pattern to keep: the plot is drawn and not both
    // components are at their lowest. Both faces offer Keep by it.
    bool canKeep();
    bool probeShown() const { return probeShown_; }
    const ViewSettings &view() const { return view_; }
    // A new view or range: the plot is drawn again where it was drawn, with
    // the probe line where it was shown.
    void setView(const ViewSettings &view);
    // The datasheet view on or off, at the range it had; said.
    void ToggleView();
    // The datasheet view at `rangeDb`, one of kDbRanges.
    void SetRange(std::int32_t rangeDb);

    // The controls as the rules use them: the face's, with the kept pattern.
    PatternControls &rules();
    FaceControls &face() { return face_; }

    // Drawing length in twips of one slider step, set by the load.
    std::int16_t UnitTwips = 0;

private:
    class Rules;
    // What an action means, run inside Dispatch.
    void Perform(const UserAction &action, FaceWork faceWork);
    void PerformAction(const UserAction &action, FaceWork faceWork);
    PairShown ShownPair(std::int32_t s1, std::int32_t s2, const std::string &separator);
    void Choose(Action action, bool on, FaceWork faceWork);
    // The probe's sound where the probing sound is on and the probe shown.
    void ProbeSound();
    // The stereo pair's controls set to `pair`; said.
    void SetPair(const StereoPair &pair);
    // The pair's drawings, where the pair is shown and what they show changed.
    void DrawPair();
    std::optional<std::int32_t> source();
    Snapshot Fill(Outcome outcome);
    // Runs `handler` through `call`, the one place that catches what ends a
    // handler; then what it yields, `what` the error that ended it (none: an
    // unknown one), unless `done`.
    Outcome Run(std::string_view source, void (*call)(void *), void *handler, const char *errorFormat) noexcept;
    Outcome End(std::string_view source, const char *errorFormat, const char *what, bool done);
    void setKept(std::optional<KeptPattern> kept);

    Edition edition_;
    FaceControls &face_;
    std::unique_ptr<Rules> rules_;
    std::optional<KeptPattern> kept_;
    // The stereo pair as its controls stand, kept while it is hidden; the
    // state carries it while it is shown.
    StereoPair pair_;
    bool pairShown_ = false;
    // What the pair's drawings and description show, as last drawn.
    struct PairDrawn {
        std::int32_t s1, s2;
        StereoPair pair;
        ViewSettings view;
        std::optional<std::int32_t> source;
        std::string separator;
        bool operator==(const PairDrawn &) const = default;
    };
    std::optional<PairDrawn> pairDrawn_;
    bool pairChanged_ = false; // the pair's drawings were drawn in the running action
    std::string pairDescription_;
    ViewSettings view_;
    bool drawn_ = false;      // the plot stays blank until the first move
    bool probeShown_ = false; // the probe line is on the plot
    bool changed_ = false;    // the plot changed in the running handler
    bool detailsShown_ = false; // the details' figures come with each snapshot
    bool probeSound_ = false;   // the probing sound's switch; off until the user turns it on
    std::string announcement_;
    std::string description_;  // the plot's, as it was last drawn
    std::string refused_;      // why the state the running action was given is none
    std::optional<SoundShown> sound_; // for the face to play after the running action
    // The readouts as the handlers last set them, by CaptionId.
    std::array<std::string, 4> readouts_;
};

} // namespace orvane
