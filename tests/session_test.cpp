// A long random session of user events on each edition: after every event the
// readouts must be what the rules give for the sliders as they stand.
#include <random>
#include <set>
#include <utility>
#include <vector>

#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>

#include "pattern/angle_probe.h"
#include "pattern/plot_driver.h"
#include "window_fixture.h"

namespace orvane::testing {
namespace {

constexpr int kEvents = 10'000;

class RandomSession : public WindowTest, public ::testing::WithParamInterface<Edition> {
protected:
    void SetUp() override { open(GetParam()); }

    void drag(QSlider *slider, std::mt19937 &random)
    {
        const QPoint from = SliderPart(slider, QStyle::SC_SliderHandle).center();
        const QRect groove = SliderPart(slider, QStyle::SC_SliderGroove);
        std::uniform_int_distribution<int> x(groove.left() - 5, groove.right() + 5);
        std::uniform_int_distribution<int> y(groove.top() - 5, groove.bottom() + 5);
        QTest::mousePress(slider, Qt::LeftButton, {}, from);
        for (int step = 0; step < 3; ++step)
            QTest::mouseMove(slider, QPoint(x(random), y(random)));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(x(random), y(random)));
    }

    void channelClick(QSlider *slider, std::mt19937 &random)
    {
        const QRect groove = SliderPart(slider, QStyle::SC_SliderGroove);
        std::uniform_int_distribution<int> x(groove.left(), groove.right());
        std::uniform_int_distribution<int> y(groove.top(), groove.bottom());
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(x(random), y(random)));
    }
};

INSTANTIATE_TEST_SUITE_P(Editions, RandomSession, ::testing::Values(Edition::Full, Edition::Lite),
                         [](const ::testing::TestParamInfo<Edition> &param) {
                             return param.param == Edition::Full ? "Full" : "Lite";
                         });

TEST_P(RandomSession, ReadoutsFollowTheRulesAfterEveryEvent)
{
    const bool full = GetParam() == Edition::Full;
    std::mt19937 random(20261207);
    std::vector<QSlider *> sliders{find<QSlider>("Slider1"), find<QSlider>("Slider2")};
    if (full)
        sliders.push_back(find<QSlider>("Slider3"));
    const auto buttons = window->findChildren<QPushButton *>();
    const Qt::Key keys[] = {Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Left, Qt::Key_Right,
                            Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};

    QSignalSpy probeMoves(full ? sliders.back() : sliders.front(), &QSlider::actionTriggered);
    QSignalSpy redraws(find<PlotSurface>("gra"), &PlotSurface::cleared);
    std::set<std::pair<int, int>> levelsSeen;
    QString angle, gain; // the probe readouts keep their text until the angle slider moves
    for (int event = 0; event < kEvents; ++event) {
        const int kind = std::uniform_int_distribution<int>(0, 9)(random);
        QSlider *slider = sliders[std::uniform_int_distribution<std::size_t>(0, sliders.size() - 1)(random)];
        if (kind < 5)
            QTest::keyClick(slider, keys[std::uniform_int_distribution<int>(0, 7)(random)]);
        else if (kind < 7)
            drag(slider, random);
        else if (kind < 8)
            channelClick(slider, random);
        else
            QTest::mouseClick(buttons[std::uniform_int_distribution<qsizetype>(0, buttons.size() - 1)(random)],
                              Qt::LeftButton);

        const int s1 = sliders[0]->value();
        const int s2 = sliders[1]->value();
        levelsSeen.insert({s1, s2});
        ASSERT_EQ(text("dbomni").toStdString(), ReadoutText(s1, ".")) << "event " << event;
        ASSERT_EQ(text("dbfig8").toStdString(), ReadoutText(s2, ".")) << "event " << event;
        ASSERT_TRUE(errors.isEmpty()) << "event " << event << ": " << errors.join("\n").toStdString();
        if (!full)
            continue;
        if (!probeMoves.isEmpty()) {
            const int v = sliders[2]->value();
            angle = QString::number(v);
            gain = QString::fromStdString(GainText(ProbeGain(ProbeDirection(v), s1, s2), "."));
            probeMoves.clear();
        }
        ASSERT_EQ(text("LblAngle"), angle) << "event " << event;
        ASSERT_EQ(text("LblGain"), gain) << "event " << event;
    }
    // The session reached far: most events redrew, and many levels were visited.
    EXPECT_GT(redraws.count(), kEvents * 7 / 10);
    EXPECT_GT(levelsSeen.size(), 1000u);
}

} // namespace
} // namespace orvane::testing
