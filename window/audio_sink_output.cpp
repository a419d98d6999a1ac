// The sound output plugin: the system's default audio output through Qt
// Multimedia's QAudioSink. Built as a module of its own so that the programs
// map Qt Multimedia and the sound server's client libraries only once the
// user first asks to listen (window/sound_output.cpp loads it).
#include "window/sound_output.h"

#include <algorithm>
#include <stdexcept>

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QByteArray>
#include <QMediaDevices>
#include <QPointer>
#include <QTimer>

namespace orvane {

namespace {

class AudioOutput final : public SoundOutput {
public:
    explicit AudioOutput(QObject *owner) : owner_(owner) {}
    ~AudioOutput() override { stop(); }

    std::int32_t sampleRate() override
    {
        open();
        return format_.sampleRate();
    }

    void play(Sound sound, Done done) override
    {
        open();
        if (sound.sampleRate != format_.sampleRate())
            throw std::logic_error("The sound was made for another sample rate");
        stop();
        auto *buffer = new QBuffer(owner_);
        buffer->setData(QByteArray(reinterpret_cast<const char *>(sound.samples.data()),
                                   static_cast<qsizetype>(sound.samples.size() * sizeof(float))));
        buffer->open(QIODevice::ReadOnly);
        auto *sink = new QAudioSink(device_, format_, owner_);
        sink_ = sink;
        buffer_ = buffer;
        QObject::connect(sink, &QAudioSink::stateChanged, owner_, [this, sink, done](QAudio::State state) {
            if (sink != sink_)
                return;
            // Idle: every sample has been handed over, but the server still holds
            // up to a buffer of them; stopping now would cut off the end.
            // Idle also comes when the server ran short for a moment; that passes.
            if (state == QAudio::IdleState && buffer_ && buffer_->atEnd()) {
                const qsizetype held = std::max<qsizetype>(0, sink->bufferSize() - sink->bytesFree());
                const auto heldMs = format_.durationForBytes(static_cast<qint32>(held)) / 1000;
                QTimer::singleShot(static_cast<int>(heldMs) + 100, owner_, [this, sink, done] {
                    if (sink != sink_)
                        return;
                    stop();
                    done({});
                });
            } else if (state == QAudio::StoppedState && sink->error() != QAudio::NoError) {
                const QString error = ErrorText(sink->error());
                stop();
                done(error);
            }
        });
        // The whole sound goes to the server at once, so a busy moment of the
        // program cannot break it off.
        sink->setBufferSize(static_cast<qsizetype>(buffer->size()));
        sink->start(buffer);
        if (sink->error() != QAudio::NoError) {
            const QString error = ErrorText(sink->error());
            stop();
            throw std::runtime_error(error.toStdString());
        }
    }

private:
    static QString ErrorText(QAudio::Error error)
    {
        switch (error) {
        case QAudio::OpenError:
            return "The sound device could not be opened.";
        case QAudio::IOError:
            return "The sound device stopped playing.";
        case QAudio::UnderrunError:
            return "The sound device ran out of samples.";
        case QAudio::FatalError:
            return "The sound device is not available.";
        case QAudio::NoError:
            break;
        }
        return {};
    }

    void open()
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            throw std::runtime_error("No sound device: there is no audio output to play the pattern on.");
        if (device == device_ && format_.isValid())
            return;
        QAudioFormat format;
        format.setSampleFormat(QAudioFormat::Float);
        format.setChannelCount(2);
        format.setSampleRate(48000);
        if (!device.isFormatSupported(format))
            format.setSampleRate(device.preferredFormat().sampleRate());
        if (!device.isFormatSupported(format))
            throw std::runtime_error("The sound device plays no stereo at a rate the program can use.");
        device_ = device;
        format_ = format;
    }

    void stop()
    {
        if (sink_) {
            QAudioSink *sink = sink_;
            sink_ = nullptr;
            sink->stop();
            sink->deleteLater();
        }
        if (buffer_) {
            buffer_->deleteLater();
            buffer_ = nullptr;
        }
    }

    QObject *owner_;
    QAudioDevice device_;
    QAudioFormat format_;
    QPointer<QAudioSink> sink_;
    QPointer<QBuffer> buffer_;
};

} // namespace

// The plugin's one object; moc wants it outside the unnamed namespace.
class AudioSinkFactory final : public QObject, public SoundOutputFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvaneSoundOutputFactory_iid)
    Q_INTERFACES(orvane::SoundOutputFactory)

public:
    std::unique_ptr<SoundOutput> make(QObject *owner) override { return std::make_unique<AudioOutput>(owner); }
};

} // namespace orvane

#include "audio_sink_output.moc"
