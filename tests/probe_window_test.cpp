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
    // The gain's box clips it; the tooltip has all of it.
    EXPECT_EQ(find("LblGain")->toolTip(), text("LblGain"));
}

} // namespace
} // namespace orvane::testing
