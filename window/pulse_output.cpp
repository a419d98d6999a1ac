// The sound output plugin: the system's sound server through its own client
// library, libpulse, on a thread of that library's. Built as a module of its
// own so that the programs map the client library only once the user first
// asks to listen (window/sound_output.cpp loads it).
//
// Why not a ready-made audio class: the output must come back by itself when
// the sound server does (a server restarted mid-lesson), must tell when a sound
// has really played out however busy the machine is, and must never touch the
// window's objects from the library's thread. So the connection is remade on
// the first sound after it failed, a sound is handed over whole and its end is
// the server's "drained", and the library's thread only posts to the window's.
#include "window/sound_output.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include <QMetaObject>
#include <QPointer>

namespace orvane {

namespace {

// How long a sound server may take to answer before it counts as gone.
constexpr pa_usec_t kAnswerWithin = 5 * PA_USEC_PER_SEC;

std::string Reason(pa_context *context)
{
    return pa_strerror(context ? pa_context_errno(context) : PA_ERR_CONNECTIONREFUSED);
}

// Holds the library's lock for a scope.
class Locked {
public:
    explicit Locked(pa_threaded_mainloop *loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~Locked() { pa_threaded_mainloop_unlock(loop_); }
    Locked(const Locked &) = delete;
    Locked &operator=(const Locked &) = delete;

private:
    pa_threaded_mainloop *loop_;
};

class PulseOutput final : public SoundOutput {
public:
    explicit PulseOutput(QObject *owner) : owner_(owner), playing_(std::make_shared<std::uint64_t>(0)) {}

    ~PulseOutput() override
    {
        if (!loop_)
            return;
        {
            Locked lock(loop_);
            stop();
            dropContext();
        }
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
    }

    PulseOutput(const PulseOutput &) = delete;
    PulseOutput &operator=(const PulseOutput &) = delete;

    std::int32_t sampleRate() override
    {
        start();
        Locked lock(loop_);
        connect();
        return rate_;
    }

    void play(Sound sound, Done done) override
    {
        start();
        Locked lock(loop_);
        stop();
        connect();
        if (sound.sampleRate != rate_)
            throw std::logic_error("The sound was made for another sample rate");

        const pa_sample_spec format{PA_SAMPLE_FLOAT32LE, static_cast<std::uint32_t>(rate_), 2};
        const auto bytes = static_cast<std::uint32_t>(sound.samples.size() * sizeof(float));
        pa_stream *stream = pa_stream_new(context_, "Orvane", &format, nullptr);
        if (!stream)
            throw std::runtime_error("The sound server refused the sound (" + Reason(context_) + ").");
        sound_ = std::make_unique<Playing>(Playing{this, *playing_, std::move(done), false});
        stream_ = stream;
        pa_stream_set_state_callback(stream, StreamState, sound_.get());
        // The whole sound in the server before it starts: tlength (and with it
        // prebuf) is the sound's length, so a busy moment of this program can
        // neither shorten nor break it.
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = bytes;
        attr.prebuf = static_cast<std::uint32_t>(-1);
        attr.minreq = static_cast<std::uint32_t>(-1);
        attr.fragsize = static_cast<std::uint32_t>(-1);
        if (pa_stream_connect_playback(stream, nullptr, &attr, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0)
            fail("The sound server refused the sound");
        if (!waitFor([stream] { return pa_stream_get_state(stream) != PA_STREAM_CREATING; }) ||
            pa_stream_get_state(stream) != PA_STREAM_READY)
            fail("The sound server refused the sound");
        if (pa_stream_write(stream, sound.samples.data(), bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            fail("The sound server stopped taking the sound");
        // The end: every sample played, not merely handed over.
        drain_ = pa_stream_drain(stream, Drained, sound_.get());
        if (!drain_)
            fail("The sound server stopped taking the sound");
    }

private:
    // The sound now playing, as the library's callbacks see it.
    struct Playing {
        PulseOutput *output;
        std::uint64_t number; // which play() it was
        Done done;
        bool told; // its end or its fault has been posted (library thread only)
    };

    void start()
    {
        if (loop_)
            return;
        loop_ = pa_threaded_mainloop_new();
        if (!loop_ || pa_threaded_mainloop_start(loop_) < 0) {
            if (loop_)
                pa_threaded_mainloop_free(loop_);
            loop_ = nullptr;
            throw std::runtime_error("The sound system could not be started.");
        }
    }

    // Waits, with the lock held, until `ready` holds or the server has not
    // answered in time. The library's thread signals at every change.
    template <typename Ready> bool waitFor(Ready ready)
    {
        bool late = false;
        pa_mainloop_api *api = pa_threaded_mainloop_get_api(loop_);
        timeval when{};
        pa_timeval_add(pa_gettimeofday(&when), kAnswerWithin);
        struct Alarm {
            bool *late;
            pa_threaded_mainloop *loop;
        } alarm{&late, loop_};
        pa_time_event *timer = api->time_new(
            api, &when,
            [](pa_mainloop_api *, pa_time_event *, const timeval *, void *data) {
                auto *a = static_cast<Alarm *>(data);
                *a->late = true;
                pa_threaded_mainloop_signal(a->loop, 0);
            },
            &alarm);
        while (!ready() && !late)
            pa_threaded_mainloop_wait(loop_);
        api->time_free(timer);
        return ready();
    }

    // A connection to the server, made anew whenever the last one has failed:
    // a server that went away and came back plays the next sound.
    void connect()
    {
        if (context_ && pa_context_get_state(context_) == PA_CONTEXT_READY)
            return;
        // A sound on the lost connection has ended with it; its fault, maybe
        // posted already, is not said beside this call's own.
        stop();
        dropContext();
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Orvane");
        if (!context_)
            throw std::runtime_error("The sound system could not be started.");
        pa_context_set_state_callback(context_, Signal, loop_);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
            unreachable();
        waitFor([this] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) ||
                                pa_context_get_state(context_) == PA_CONTEXT_READY; });
        if (pa_context_get_state(context_) != PA_CONTEXT_READY)
            unreachable();
        // The server's own rate, so that it need not convert.
        rate_ = 48000;
        pa_operation *info = pa_context_get_server_info(
            context_,
            [](pa_context *, const pa_server_info *server, void *data) {
                auto *self = static_cast<PulseOutput *>(data);
                if (server && pa_sample_spec_valid(&server->sample_spec))
                    self->rate_ = static_cast<std::int32_t>(server->sample_spec.rate);
                pa_threaded_mainloop_signal(self->loop_, 0);
            },
            this);
        if (info) {
            waitFor([info] { return pa_operation_get_state(info) != PA_OPERATION_RUNNING; });
            pa_operation_cancel(info);
            pa_operation_unref(info);
        }
    }

    [[noreturn]] void unreachable()
    {
        const std::string reason = Reason(context_);
        dropContext();
        throw std::runtime_error("No sound server answers (" + reason + ").");
    }

    [[noreturn]] void fail(const char *what)
    {
        const std::string reason = Reason(context_);
        stop();
        throw std::runtime_error(std::string(what) + " (" + reason + ").");
    }

    void dropContext()
    {
        if (!context_)
            return;
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }

    // Ends the sound that plays, if any, without a word: nothing of it reaches
    // the window afterwards, not even an end or a fault the library's thread
    // has already posted. With the lock held, on the window's thread.
    void stop()
    {
        ++*playing_;
        if (drain_) {
            pa_operation_cancel(drain_);
            pa_operation_unref(drain_);
            drain_ = nullptr;
        }
        if (stream_) {
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
            stream_ = nullptr;
        }
        sound_.reset();
    }

    // From the library's thread: hands the end of a sound to the window's
    // thread, once; it is dropped there if another sound has started since.
    static void Tell(Playing *sound, QString error)
    {
        if (sound->told)
            return;
        sound->told = true;
        std::weak_ptr<std::uint64_t> playing = sound->output->playing_;
        QMetaObject::invokeMethod(
            sound->output->owner_,
            [playing, number = sound->number, done = sound->done, error = std::move(error)] {
                const auto now = playing.lock();
                if (now && *now == number)
                    done(error);
            },
            Qt::QueuedConnection);
    }

    static void Signal(pa_context *, void *loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop *>(loop), 0); }

    static void StreamState(pa_stream *stream, void *data)
    {
        auto *sound = static_cast<Playing *>(data);
        const pa_stream_state_t state = pa_stream_get_state(stream);
        if (state == PA_STREAM_FAILED)
            Tell(sound, QString::fromStdString("The sound stopped: the sound server went away (" +
                                               Reason(pa_stream_get_context(stream)) + ")."));
        pa_threaded_mainloop_signal(sound->output->loop_, 0);
    }

    static void Drained(pa_stream *stream, int success, void *data)
    {
        auto *sound = static_cast<Playing *>(data);
        if (success)
            Tell(sound, {});
        else
            Tell(sound, QString::fromStdString("The sound stopped: the sound server went away (" +
                                               Reason(pa_stream_get_context(stream)) + ")."));
    }

    QObject *owner_;
    // The number of the sound now playing; read and changed on the window's
    // thread only, and gone with this output.
    std::shared_ptr<std::uint64_t> playing_;
    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    pa_stream *stream_ = nullptr;
    pa_operation *drain_ = nullptr;
    std::unique_ptr<Playing> sound_;
    std::int32_t rate_ = 48000;
};

} // namespace

// The plugin's one object; moc wants it outside the unnamed namespace.
class PulseOutputFactory final : public QObject, public SoundOutputFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvaneSoundOutputFactory_iid)
    Q_INTERFACES(orvane::SoundOutputFactory)

public:
    std::unique_ptr<SoundOutput> make(QObject *owner) override { return std::make_unique<PulseOutput>(owner); }
};

} // namespace orvane

#include "pulse_output.moc"
