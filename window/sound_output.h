#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtPlugin>

#include "pattern/pattern_sound.h"

namespace orvane {

// What went wrong with the desktop's sound, for a teacher: what happened and
// what to do (the page's own in pattern/pattern_sound.h).
//: The desktop's sound could not start (no sound server, no device)
inline constexpr const char *kNoSoundOutput =
    ORVANE_NOOP("error", "No sound output is available. Check that speakers or headphones are connected and "
                         "that the computer's sound is on and not muted, then try again.");
//: The desktop's sound stopped while it played
inline constexpr const char *kSoundStopped =
    ORVANE_NOOP("error", "The sound stopped: the sound output went away. Check that the computer's sound is on, "
                         "then try again.");
//: The program's own sound part cannot be loaded. %1: the file, or the files looked for
inline constexpr const char *kSoundNotInstalled =
    ORVANE_NOOP("error", "No sound output is available: the program's sound part is missing or damaged (%1). "
                         "Install the program again.");

// Where the window's sounds go: the samples are worked out by the pattern
// rules and handed over whole; this only plays them. Its faults say what the
// sound system said; the window words them for the user.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // The rate the device plays at. Throws when there is no device to play on.
    virtual std::int32_t sampleRate() = 0;

    // Plays `sound`, after stopping whatever still plays. `done` runs once when
    // it has played out (with an empty text) or when the device failed (with
    // what went wrong); a sound cut off by the next one never calls it.
    using Done = std::function<void(const QString &error)>;
    virtual void play(Sound sound, Done done) = 0;
};

// What the sound output plugin offers: the real output, made on demand. The
// plugin stays loaded for the rest of the run, as long as an output it made
// may live.
class SoundOutputFactory {
public:
    virtual ~SoundOutputFactory() = default;
    virtual std::unique_ptr<SoundOutput> make(QObject *owner) = 0;
};

// A fault that is already in the user's words: the program's own sound plugin
// is missing or does not load.
class SoundNotInstalled : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The folders the sound output plugin is looked for in, in order: where the
// installed program keeps it (beside the libraries of its prefix), then the
// build tree's `plugins` folder beside the executable.
QStringList SoundPluginDirs();

// The system's default audio output, through Qt Multimedia in the sound output
// plugin. Nothing is loaded or opened until the first call: a program that
// plays nothing maps no audio library and asks nothing of the sound system. A
// plugin found in none of `dirs`, or one that does not load, is an error of
// that call, as a missing device is; the next call tries again.
std::unique_ptr<SoundOutput> MakeAudioOutput(QObject *owner, QStringList dirs = SoundPluginDirs());

} // namespace orvane

#define OrvaneSoundOutputFactory_iid "org.orvane.Orvane.SoundOutputFactory/1"
Q_DECLARE_INTERFACE(orvane::SoundOutputFactory, OrvaneSoundOutputFactory_iid)
