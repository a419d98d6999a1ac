#include <cmath>

#include <QPushButton>
#include <QSlider>

#include "window_fixture.h"

namespace orvane::testing {
namespace {

class AngleProbe : public WindowTest {
protected:
    void SetUp() override { open(Edition::Full); }
};

TEST_F(AngleProbe, KeysMoveTheAngleByOneAndEveryMoveReadsIt)
{
    const struct {
        Qt::Key key;
        int times;
        const char *angle;
    } steps[] = {
        {Qt::Key_Right, 1, "1"},   {Qt::Key_Left, 2, "-1"},    {Qt::Key_PageUp, 1, "0"},
        {Qt::Key_PageDown, 1, "-1"}, {Qt::Key_End, 1, "180"}, {Qt::Key_Home, 1, "-180"},
    };
    for (const auto &step : steps) {
        press("Slider3", step.key, step.times);
        EXPECT_EQ(text("LblAngle"), step.angle);
        EXPECT_EQ(value("Slider3"), text("LblAngle").toInt());
    }
}

TEST_F(AngleProbe, BeforeAnyLevelIsRaisedTheGainIsOffAndOnlyTheAxesAndProbeShow)
{
    press("Slider3", Qt::Key_Right);
    EXPECT_EQ(text("LblGain"), "off");
    const QImage image = plot();
    EXPECT_TRUE(ColourNear(image, kCentreX + 3000, kCentreY, kCyan));
    EXPECT_FALSE(ColourNear(image, kCentreX + 1414.2f, kCentreY - 1414.2f, kWhite));
}

TEST_F(AngleProbe, DrawsACyanLineAlongTheDirectionUntilTheNextRedraw)
{
    QTest::mouseClick(find<QPushButton>("Cardiod"), Qt::LeftButton);
    press("Slider3", Qt::Key_Left, 45); // v = -45: straight down turned 45 degrees to the right
    EXPECT_EQ(text("LblAngle"), "-45");
    const QString gain = text("LblGain");
    EXPECT_EQ(find("LblGain")->toolTip(), gain); // the whole value, which its box clips
    EXPECT_NEAR(gain.toDouble(), 20 * std::log10(1 + std::sqrt(0.5)), 1e-8);
    // 3000 twips out along the probe, beyond the pattern there.
    const float along = 3000 / std::sqrt(2.0f);
    EXPECT_TRUE(ColourNear(plot(), kCentreX + along, kCentreY + along, kCyan));

    QTest::mouseClick(find<QPushButton>("Command3"), Qt::LeftButton);
    EXPECT_FALSE(ColourNear(plot(), kCentreX + along, kCentreY + along, kCyan));
    EXPECT_EQ(text("LblAngle"), "-45"); // the readouts keep their last texts
    EXPECT_EQ(text("LblGain"), gain);

    press("Slider1", Qt::Key_Down); // a level slider removes it too
    press("Slider3", Qt::Key_Right);
    EXPECT_EQ(text("LblAngle"), "-44");
    EXPECT_NE(text("LblGain"), gain);
}

} // namespace
} // namespace orvane::testing
