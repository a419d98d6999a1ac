// What the screen shows. The window of each edition, read from the screen after
// the event loop has run, is compared pixel for pixel with reference images in
// tests/golden/ at a row of states a user reaches one after another. After a
// change that is meant to alter the picture, `make golden` rewrites them.
#include <functional>
#include <utility>

#include <QDir>
#include <QPixmapCache>
#include <QAbstractButton>
#include <QPushButton>
#include <QSlider>

#include "window_fixture.h"

namespace orvane::testing {
namespace {

// One state: what the user does to reach it from the one before, and the name of
// its reference image (after the edition's name).
struct Shot {
    const char *name;
    const char *control = nullptr; // a button is clicked; a slider gets the key
    Qt::Key key = Qt::Key_unknown;
    int times = 1;
};

// Compares the picture with its reference. On a difference it writes the picture
// and a map of the differing pixels into the build tree and names both. With
// ORVANE_WRITE_GOLDEN set (`make golden`) it rewrites the reference instead.
void ExpectLooksAsBefore(const QImage &shown, const QString &name)
{
    const QString reference = QStringLiteral(ORVANE_GOLDEN_DIR "/") + name + ".png";
    if (qEnvironmentVariableIsSet("ORVANE_WRITE_GOLDEN")) {
        EXPECT_TRUE(shown.save(reference)) << reference.toStdString();
        return;
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    if (expected.size() == shown.size() && expected == shown)
        return;

    // The differing pixels in red over a faded reference.
    QImage diff(shown.size().expandedTo(expected.size()), QImage::Format_RGB32);
    diff.fill(Qt::red);
    int differing = 0;
    for (int y = 0; y < diff.height(); ++y)
        for (int x = 0; x < diff.width(); ++x) {
            if (!shown.valid(x, y) || !expected.valid(x, y) || shown.pixel(x, y) != expected.pixel(x, y)) {
                ++differing;
                continue;
            }
            const int grey = 160 + qGray(expected.pixel(x, y)) * 95 / 255;
            diff.setPixel(x, y, qRgb(grey, grey, grey));
        }
    const QDir out(QStringLiteral(ORVANE_GOLDEN_DIFF_DIR));
    QDir().mkpath(out.path());
    const QString shownPath = out.absoluteFilePath(name + ".png");
    const QString diffPath = out.absoluteFilePath(name + "-diff.png");
    shown.save(shownPath);
    diff.save(diffPath);
    ADD_FAILURE() << name.toStdString() << ": " << differing << " pixels differ from "
                  << reference.toStdString() << "\n  shown now: " << shownPath.toStdString()
                  << "\n  differences in red: " << diffPath.toStdString();
}

class Golden : public WindowTest {
protected:
    void expectRow(Edition edition, const char *prefix, std::initializer_list<Shot> shots)
    {
        // The style keeps pieces of controls it has drawn, and the first drawing
        // of a slider differs slightly from later ones (the ticks' colour): start
        // each row as a fresh program does.
        QPixmapCache::clear();
        open(edition);
        for (const Shot &shot : shots) {
            if (auto *button = shot.control ? window->findChild<QPushButton *>(shot.control) : nullptr)
                QTest::mouseClick(button, Qt::LeftButton);
            else if (shot.control)
                press(shot.control, shot.key, shot.times);
            ExpectLooksAsBefore(OnScreen(window.get()), QString(prefix) + "-" + shot.name);
        }
    }
};

TEST_F(Golden, FullEdition)
{
    expectRow(Edition::Full, "full",
              {{"start"},
               {"probe-first", "Slider3", Qt::Key_Left, 45}, // the axes and the probe alone
               {"omni", "Command1"},
               {"fig8", "Command2"},
               {"cardiod", "Cardiod"},
               {"supercard", "Command3"},
               {"hypercard", "Command4"}, // the probe is gone, its readouts stay
               {"hypercard-probe-180", "Slider3", Qt::Key_End},
               {"hypercard-probe-120", "Slider3", Qt::Key_Left, 60},
               {"hypercard-probe-120-datasheet", "gra", Qt::Key_V}, // the probe stays
               {"hypercard-probe-180-datasheet", "Slider3", Qt::Key_End}}); // along the rear spoke, past no label
}

TEST_F(Golden, LiteEdition)
{
    expectRow(Edition::Lite, "lite",
              {{"start"},
               {"omni", "Command1"},
               {"fig8", "Command2"},
               {"cardiod", "Cardiod"},
               {"supercard", "Command3"},
               {"hypercard", "Command4"},
               {"levels-50-30", "Slider2", Qt::Key_PageDown, 3},
               {"levels-50-30-datasheet", "gra", Qt::Key_V},
               {"supercard-datasheet", "Command3"}, // its rear lobe on the rear spoke, where no label stands
               {"supercard-datasheet-kept", "gra", Qt::Key_K},
               {"cardiod-datasheet-kept-supercard", "Cardiod"}});
}

// A state from a link or the command line shows the picture the user's own
// moves reach. The keyboard focus is put where they left it.
TEST_F(Golden, StateShowsWhatTheMovesShow)
{
    const std::tuple<Edition, PatternState, const char *, const char *> cases[] = {
        {Edition::Full, {50, 0, 120}, "Slider3", "full-hypercard-probe-120"},
        {Edition::Lite, {50, 30, 120}, "Slider2", "lite-levels-50-30"},
    };
    for (const auto &[edition, state, focus, golden] : cases) {
        QPixmapCache::clear();
        open(edition);
        find(focus)->setFocus();
        OnScreen(window.get()); // the sliders' first drawing, as in the rows above
        window->showState(state);
        ExpectLooksAsBefore(OnScreen(window.get()), golden);
    }
}

// The stereo pair's window: XY cardioids with the probe as the source, then
// M/S with the side slider moved, as the user reaches them.
TEST_F(Golden, PairWindow)
{
    QPixmapCache::clear();
    open(Edition::Full);
    QTest::mouseClick(find<QPushButton>("Cardiod"), Qt::LeftButton);
    press("gra", Qt::Key_P);
    press("Slider3", Qt::Key_Right, 45);
    auto *pair = find("PairView");
    ASSERT_TRUE(pair->isVisible());
    ExpectLooksAsBefore(OnScreen(pair), "pair-xy-cardioid-source-45");
    QTest::mouseClick(find<QAbstractButton>("PairMs"), Qt::LeftButton);
    press("SideSlider", Qt::Key_Right, 20);
    ExpectLooksAsBefore(OnScreen(pair), "pair-ms-side-20-source-45");
}

// At twice the scale (QT_SCALE_FACTOR=2, see tests/CMakeLists.txt): lines two
// device pixels wide and text drawn at the finer resolution.
class Scaled : public Golden {};

TEST_F(Scaled, FullEdition)
{
    if (qEnvironmentVariable("QT_SCALE_FACTOR") != "2")
        GTEST_SKIP() << "runs with QT_SCALE_FACTOR=2";
    expectRow(Edition::Full, "full-scale2",
              {{"supercard", "Command3"}, {"supercard-probe-45", "Slider3", Qt::Key_Right, 45}});
}

// After each kind of user action, once the event loop has run, the screen shows
// what the surface has drawn: nothing forces the repaint.
TEST_F(WindowTest, EveryKindOfUserActionReachesTheScreen)
{
    open(Edition::Full);
    auto *gra = find<PlotSurface>("gra");
    auto *figure8 = find<QSlider>("Slider2");
    const std::pair<const char *, std::function<void()>> actions[] = {
        {"level key", [&] { press("Slider1", Qt::Key_PageUp); }},
        {"drag",
         [&] {
             const QPoint thumb = SliderPart(figure8, QStyle::SC_SliderHandle).center();
             QTest::mousePress(figure8, Qt::LeftButton, {}, thumb);
             QTest::mouseMove(figure8, thumb - QPoint(0, 60));
             QTest::mouseRelease(figure8, Qt::LeftButton, {}, thumb - QPoint(0, 60));
         }},
        {"preset click", [&] { QTest::mouseClick(find<QPushButton>("Command3"), Qt::LeftButton); }},
        {"angle key", [&] { press("Slider3", Qt::Key_Right); }},
    };
    // Until the first drawing the surface has no image and paints its
    // background; the image it makes when first asked for is that background.
    const QImage blank = OnScreen(gra, gra->contentsRect());
    QImage before = gra->image().copy();
    EXPECT_TRUE(blank == before.convertToFormat(QImage::Format_RGB32)) << "the blank plot";
    for (const auto &[action, act] : actions) {
        act();
        const QImage drawn = gra->image().convertToFormat(QImage::Format_RGB32);
        EXPECT_FALSE(drawn == before) << action << " drew nothing new";
        EXPECT_TRUE(OnScreen(gra, gra->contentsRect()) == drawn) << action << ": the screen is stale";
        before = drawn;
    }
}

} // namespace
} // namespace orvane::testing
