#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>

#include "pattern/presets.h"
#include "window_fixture.h"

namespace orvane::testing {
namespace {

// What each button sets and what the readouts then show; the plots are in the
// screen tests' reference pictures.
struct PresetCase {
    const char *button;
    const char *caption;
    int slider1, slider2;
    const char *dbomni, *dbfig8;
};

const PresetCase kPresets[] = {
    {"Cardiod", "Cardiod", 0, 0, "0", "0"},
    {"Command1", "Omni", 0, 100, "0", "-40.0864274753527"},
    {"Command2", "Fig. 8", 100, 0, "-40.0864274753527", "0"},
    {"Command3", "Super Card", 30, 0, "-3.06126050124842", "0"},
    {"Command4", "Hyper Card", 50, 0, "-5.93502395364968", "0"},
};

class PresetButtons : public WindowTest {
protected:
    void SetUp() override { open(Edition::Full); }

    void click(const char *button)
    {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    }
};

TEST_F(PresetButtons, EachSetsItsLevelsAndRedrawsOnceFromAnyState)
{
    QSignalSpy clears(find<PlotSurface>("gra"), &PlotSurface::cleared);
    // From the start state, then from every other preset's state.
    for (const PresetCase &before : kPresets)
        for (const PresetCase &preset : kPresets) {
            click(before.button);
            clears.clear();
            click(preset.button);
            EXPECT_EQ(find<QPushButton>(preset.button)->text(), preset.caption);
            // The rules name a button's mix by the caption they hold: the button's.
            for (const Preset &rule : orvane::kPresets) {
                if (std::string_view(rule.button) == preset.button) {
                    EXPECT_STREQ(rule.caption, preset.caption);
                }
            }
            EXPECT_EQ(value("Slider1"), preset.slider1) << preset.caption;
            EXPECT_EQ(value("Slider2"), preset.slider2) << preset.caption;
            EXPECT_EQ(text("dbomni"), preset.dbomni) << preset.caption;
            EXPECT_EQ(text("dbfig8"), preset.dbfig8) << preset.caption;
            EXPECT_EQ(clears.count(), 1) << preset.caption << " after " << before.caption;
        }
}

TEST_F(PresetButtons, SpacePressesAFocusedButtonAndEnterPressesNone)
{
    QSignalSpy clears(find<PlotSurface>("gra"), &PlotSurface::cleared);
    QTest::keyClick(find("Command2"), Qt::Key_Space);
    EXPECT_EQ(text("dbomni"), "-40.0864274753527");
    EXPECT_EQ(clears.count(), 1);
    QTest::keyClick(find("Slider1"), Qt::Key_Return);
    QTest::keyClick(find("gra"), Qt::Key_Enter);
    EXPECT_EQ(clears.count(), 1);
    for (auto *button : window->findChildren<QPushButton *>())
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->objectName().toStdString();
}

TEST_F(PresetButtons, ASliderThatRefusesThePositionEndsTheClickUnredrawn)
{
    find<QSlider>("Slider1")->setMaximum(20); // moves it to 20; "Super Card" wants 30
    QSignalSpy clears(find<PlotSurface>("gra"), &PlotSurface::cleared);
    click("Command3");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("Invalid property value")) << errors[0].toStdString();
    errors.clear();
    EXPECT_EQ(value("Slider1"), 20);
    EXPECT_EQ(value("Slider2"), 100);
    EXPECT_EQ(clears.count(), 0);

    click("Cardiod"); // the window goes on
    EXPECT_EQ(text("dbomni"), "0");
}

} // namespace
} // namespace orvane::testing
