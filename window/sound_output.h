#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QObject>
#include <QString>

#include "pattern/pattern_sound.h"

namespace orvane {

// Where the window's sounds go: the samples are worked out by the pattern
// rules and handed over whole; this only plays them.
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

// The system's default audio output, through Qt Multimedia. Nothing is opened
// until the first call: a program that plays nothing asks nothing of the sound
// system.
std::unique_ptr<SoundOutput> MakeAudioOutput(QObject *owner);

} // namespace orvane
