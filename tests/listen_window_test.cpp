#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>

#include "pattern/pattern_sound.h"
#include "window/accessibility.h"
#include "window/sound_output.h"
#include "window_fixture.h"

namespace orvane::testing {
namespace {

// Keeps what the window hands over to be played; a device that is missing
// throws as the real one does.
struct Played {
    std::vector<Sound> sounds;
    SoundOutput::Done done;
    bool missing = false;
};

class FakeOutput : public SoundOutput {
public:
    explicit FakeOutput(Played &played) : played_(played) {}
    std::int32_t sampleRate() override
    {
        if (played_.missing)
            throw std::runtime_error("No sound device: there is no audio output to play the pattern on.");
        return 44100;
    }
    void play(Sound sound, Done done) override
    {
        played_.sounds.push_back(std::move(sound));
        played_.done = std::move(done);
    }

private:
    Played &played_;
};

class Listening : public WindowTest, public ::testing::WithParamInterface<Edition> {
protected:
    void SetUp() override
    {
        open(GetParam());
        window->setSoundOutput(std::make_unique<FakeOutput>(played));
    }
    bool full() const { return GetParam() == Edition::Full; }

    QString announced()
    {
        for (QObject *child : window->children())
            if (auto *announcer = dynamic_cast<Announcer *>(child))
                return announcer->text();
        ADD_FAILURE() << "no announcer";
        return {};
    }

    // Every text, every slider and the plot as the screen shows them.
    struct State {
        QStringList texts;
        std::vector<int> sliders;
        QImage plot;
        bool operator==(const State &) const = default;
    };
    State state()
    {
        State s;
        for (auto *label : window->findChildren<QLabel *>())
            s.texts << label->objectName() + "=" + label->text();
        for (auto *slider : window->findChildren<QAbstractSlider *>())
            s.sliders.push_back(slider->sliderPosition());
        s.plot = OnScreen(find("gra"));
        return s;
    }

    QMenu *openMenu()
    {
        QWidget *gra = find("gra");
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(10, 10), gra->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(gra, &event);
        auto *menu = window->findChild<QMenu *>("PlotMenu");
        EXPECT_NE(menu, nullptr);
        EXPECT_TRUE(menu && menu->isVisible());
        return menu;
    }

    Played played;
};

INSTANTIATE_TEST_SUITE_P(Editions, Listening, ::testing::Values(Edition::Full, Edition::Lite),
                         [](const auto &param) { return param.param == Edition::Full ? "Orvane" : "OrvaneLite"; });

// L on the plot, after a click gave it the focus, plays the sweep of the
// pattern as it stands, announces its start and end, and changes nothing shown.
TEST_P(Listening, KeyLOnThePlotPlaysTheSweepAndChangesNothing)
{
    QTest::mouseClick(find<QPushButton>("Command3"), Qt::LeftButton); // "Super Card"
    if (full())
        press("Slider3", Qt::Key_Right, 45);
    find("Slider1")->setFocus();
    ASSERT_EQ(window->focusWidget(), find("Slider1"));
    QTest::mouseClick(find("gra"), Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_EQ(window->focusWidget(), find("gra"));
    EXPECT_TRUE(played.sounds.empty()); // nothing plays unasked, the probing sound included
    const State before = state();

    press("gra", Qt::Key_L);
    ASSERT_EQ(played.sounds.size(), 1u);
    EXPECT_EQ(played.sounds[0].samples, SweepSound(30, 0, 44100).samples);
    EXPECT_TRUE(announced().startsWith("Listening to the pattern"));
    EXPECT_TRUE(state() == before);
    played.done({});
    EXPECT_EQ(announced(), "Listening ended");
    EXPECT_TRUE(state() == before);

    // Other keys on the plot still do nothing; a held L does not start again.
    press("gra", Qt::Key_J);
    QTest::keyEvent(QTest::Press, find("gra"), Qt::Key_L, Qt::NoModifier, 0);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_L, Qt::NoModifier, "l", true);
    QCoreApplication::sendEvent(find("gra"), &repeat);
    EXPECT_EQ(played.sounds.size(), 2u);
    EXPECT_TRUE(state() == before);
}

TEST_P(Listening, ThePlotSaysHowToListen)
{
    QWidget *gra = find("gra");
    EXPECT_TRUE(gra->accessibleDescription().endsWith("Press L to listen to the pattern.")) << gra->accessibleDescription().toStdString();
    QTest::mouseClick(find<QPushButton>("Cardiod"), Qt::LeftButton);
    EXPECT_TRUE(gra->accessibleDescription().startsWith("Pattern: Cardioid. Cardioid pattern"));
    EXPECT_TRUE(gra->accessibleDescription().endsWith("Press L to listen to the pattern."));
    EXPECT_EQ(gra->toolTip(), gra->accessibleDescription());
}

// The context menu has the same action, and in the full edition the switch of
// the probing sound, off until turned on.
TEST_P(Listening, ContextMenuListensAndSwitchesTheProbingSound)
{
    QTest::mouseClick(find<QPushButton>("Cardiod"), Qt::LeftButton);
    QMenu *menu = openMenu();
    ASSERT_NE(menu, nullptr);
    auto *listen = menu->findChild<QAction *>("ListenAction");
    ASSERT_NE(listen, nullptr);
    EXPECT_EQ(listen->text(), "Listen to the pattern");
    auto *probe = window->findChild<QAction *>("ProbeSoundAction");
    EXPECT_EQ(probe != nullptr, full());
    QStringList entries;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            entries << action->objectName();
    const QStringList figure{"CopyImageAction", "SaveImageAction", "PrintAction"};
    const QStringList details{"DetailsAction", "StereoPairAction", "KeepAction", "ClearKeptAction", "DatasheetAction", "Range"};
    EXPECT_EQ(entries, (full() ? QStringList{"ListenAction", "ProbeSoundAction"} : QStringList{"ListenAction"}) + figure + details);
    const State before = state();
    listen->trigger();
    menu->close();
    ASSERT_EQ(played.sounds.size(), 1u);
    EXPECT_EQ(played.sounds[0].samples, SweepSound(0, 0, 44100).samples);
    EXPECT_TRUE(state() == before);
    if (!full())
        return;

    // Off: the probe moves in silence.
    ASSERT_TRUE(probe->isCheckable());
    EXPECT_FALSE(probe->isChecked());
    press("Slider3", Qt::Key_Right);
    EXPECT_EQ(played.sounds.size(), 1u);
    // On: every move plays the probe's sound for the new angle.
    probe->trigger(); // on, as a click turns it
    press("Slider3", Qt::Key_Right);
    press("Slider3", Qt::Key_End);
    ASSERT_EQ(played.sounds.size(), 3u);
    EXPECT_EQ(played.sounds[1].samples, ProbeSound(2, 0, 0, 44100).samples);
    EXPECT_EQ(played.sounds[2].samples, ProbeSound(180, 0, 0, 44100).samples);
    EXPECT_EQ(text("LblAngle"), "180");
    // And off again.
    probe->trigger(); // off again
    press("Slider3", Qt::Key_Left);
    EXPECT_EQ(played.sounds.size(), 3u);
}

// Without a sound device, asking to listen says so through the window's error
// path, once, and the window goes on; the probing sound's switch goes off.
TEST_P(Listening, NoDeviceIsReportedAndTheWindowGoesOn)
{
    played.missing = true;
    press("gra", Qt::Key_L);
    ASSERT_EQ(errors.size(), 1);
    // What happened and what to do, not the device's own words.
    EXPECT_EQ(errors[0], "Listen: No sound output is available. Check that speakers or headphones are connected and "
                         "that the computer's sound is on and not muted, then try again.");
    if (full()) {
        auto *probe = window->findChild<QAction *>("ProbeSoundAction");
        probe->trigger(); // on, as a click turns it
        press("Slider3", Qt::Key_Right, 3);
        EXPECT_EQ(errors.size(), 2);
        EXPECT_FALSE(probe->isChecked());
        EXPECT_EQ(text("LblAngle"), "3"); // the move itself went through
    }
    press("Slider1", Qt::Key_PageUp);
    EXPECT_EQ(text("dbomni"), "-19.2585737723441");
    // A device that fails while playing is reported the same way.
    played.missing = false;
    press("gra", Qt::Key_L);
    played.done("The sound device stopped playing.");
    EXPECT_EQ(errors.last(), "Listen: The sound stopped: the sound output went away. Check that the computer's "
                             "sound is on, then try again.");
    if (full()) {
        // A probing sound that fails while the slider moves on: said once, the
        // switch off, and the next steps play nothing.
        auto *probe = window->findChild<QAction *>("ProbeSoundAction");
        probe->trigger(); // on, as a click turns it
        const auto asked = played.sounds.size();
        const auto said = errors.size();
        press("Slider3", Qt::Key_Right);
        ASSERT_EQ(played.sounds.size(), asked + 1);
        played.done("The sound stopped: the sound server went away.");
        press("Slider3", Qt::Key_Right, 3);
        EXPECT_EQ(errors.size(), said + 1);
        EXPECT_EQ(errors.last(), "Probing sound: The sound stopped: the sound output went away. Check that the "
                                 "computer's sound is on, then try again.");
        EXPECT_FALSE(probe->isChecked());
        EXPECT_EQ(played.sounds.size(), asked + 1);
    }
    errors.clear();
}

// The audio libraries this process has mapped, from /proc/self/maps: none
// until something asks the sound output plugin for a sound.
QStringList AudioLibrariesMapped()
{
    QFile maps("/proc/self/maps");
    if (!maps.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read /proc/self/maps";
        return {};
    }
    QStringList found;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QString file = QFileInfo(QString::fromLocal8Bit(line.mid(line.indexOf('/')))).fileName();
        if ((file.startsWith("libpulse") || file.startsWith("liborvane_sound")) &&
            !found.contains(file) && line.contains('/'))
            found << file;
    }
    found.sort();
    return found;
}

// The real output with no sound server to reach: the same error, no hang, and
// nothing of the sound system loaded or asked before the user asks to listen.
TEST(ListeningWithoutServer, ReportsNoDeviceAndLoadsTheSoundLibrariesOnlyThen)
{
    ::setenv("PULSE_SERVER", "unix:/nonexistent/orvane-no-server", 1);
    QStringList errors;
    OrvaneFrm window(Edition::Full);
    window.setErrorReporter([&errors](const QString &message) { errors << message; });
    window.setSoundOutput(MakeAudioOutput(&window, {"/nonexistent/orvane", ORVANE_SOUND_PLUGIN_BUILD_DIR}));
    window.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(AudioLibrariesMapped(), QStringList());
    QTest::keyClick(window.findChild<QWidget *>("gra"), Qt::Key_L);
    QCoreApplication::processEvents();
    ASSERT_EQ(errors.size(), 1) << errors.join("\n").toStdString();
    EXPECT_TRUE(errors[0].startsWith("Listen: ")) << errors[0].toStdString();
    EXPECT_FALSE(errors[0].contains("sound plugin")) << errors[0].toStdString();
    const QStringList mapped = AudioLibrariesMapped();
    EXPECT_TRUE(mapped.filter(QRegularExpression("^liborvane_sound")).size() == 1 &&
                mapped.filter(QRegularExpression("^libpulse\\.")).size() == 1)
        << mapped.join(" ").toStdString();
}

// Without the plugin (not installed, or a file that is no plugin), asking to
// listen says so through the window's error path, once an ask; the probing
// sound's switch goes off and the window goes on.
TEST(ListeningWithoutPlugin, IsReportedAndTheWindowGoesOn)
{
    QTemporaryDir notAPlugin;
    ASSERT_TRUE(notAPlugin.isValid());
    QFile junk(QDir(notAPlugin.path()).filePath(ORVANE_SOUND_PLUGIN_FILE_NAME));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write("not a library") > 0);
    junk.close();
    const struct {
        QStringList dirs;
        QString says;
    } cases[] = {
        {{"/nonexistent/orvane", "/nonexistent/build/plugins"},
         "(/nonexistent/orvane/" ORVANE_SOUND_PLUGIN_FILE_NAME ", /nonexistent/build/plugins/" ORVANE_SOUND_PLUGIN_FILE_NAME
         "). Install the program again."},
        {{notAPlugin.path()}, "(" + QDir(notAPlugin.path()).filePath(ORVANE_SOUND_PLUGIN_FILE_NAME) + ": "},
    };
    // Nothing more mapped than before (none, unless an earlier test in this
    // process played through the plugin).
    const QStringList mapped = AudioLibrariesMapped();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.dirs.join(", ").toStdString());
        QStringList errors;
        OrvaneFrm window(Edition::Full);
        window.setErrorReporter([&errors](const QString &message) { errors << message; });
        window.setSoundOutput(MakeAudioOutput(&window, c.dirs));
        window.show();
        QTest::keyClick(window.findChild<QWidget *>("gra"), Qt::Key_L);
        ASSERT_EQ(errors.size(), 1) << errors.join("\n").toStdString();
        EXPECT_TRUE(errors[0].startsWith("Listen: No sound output is available: the program's sound part is missing "
                                         "or damaged ") && errors[0].contains(c.says))
            << errors[0].toStdString();

        auto *probe = window.findChild<QAction *>("ProbeSoundAction");
        probe->trigger(); // on, as a click turns it
        auto *angle = window.findChild<QWidget *>("Slider3");
        QTest::keyClick(angle, Qt::Key_Right);
        QTest::keyClick(angle, Qt::Key_Right);
        EXPECT_EQ(errors.size(), 2) << errors.join("\n").toStdString();
        EXPECT_TRUE(errors.last().contains(": No sound output is available: ")) << errors.last().toStdString();
        EXPECT_FALSE(probe->isChecked());
        EXPECT_EQ(window.findChild<QLabel *>("LblAngle")->text(), "2"); // the moves themselves went through
        EXPECT_EQ(AudioLibrariesMapped(), mapped);
    }
}

} // namespace
} // namespace orvane::testing
