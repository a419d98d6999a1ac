#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "pattern/datasheet_plot.h"
#include "pattern/pattern_description.h"

namespace orvane {
namespace {

// The closed forms of r(theta) = a + b cos(theta), worked out by hand: nulls at
// acos(-a/b), rear 20 log10(|a - b| / (a + b)), Q = 3 (a + b)^2 / (3 a^2 + b^2).
struct Case {
    const char *pattern;
    std::int32_t slider1;
    std::int32_t slider2;
    PatternShape shape;
    double nullDegrees; // NaN: no null
    double rearDb;      // -INFINITY: a null at the rear; NaN: no pattern
    double directivityDb;
    const char *description;
    const char *datasheet; // what the datasheet view adds, at its 30 dB range
};

const Case kCases[] = {
    {"Omni preset", 0, 100, PatternShape::Omni, NAN, 0.0, 0.0,
     "Omnidirectional pattern: the same level in every direction, no nulls. Directivity index 0 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at 0 dB and the rear (180 degrees) at 0 dB "
     "relative to the front."},
    {"Fig. 8 preset", 100, 0, PatternShape::Figure8, 90.0, 0.0, 4.771212547,
     "Figure-8 pattern: nulls at 90 and -90 degrees from the front; the rear lobe is 0 dB relative "
     "to the front, in opposite polarity. Directivity index 4.77 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -\u221E dB and the rear (180 degrees) at 0 dB "
     "relative to the front. The rear lobe has opposite polarity."},
    {"Cardiod preset", 0, 0, PatternShape::Cardioid, 180.0, -INFINITY, 4.771212547,
     "Cardioid pattern: one null, at the rear, 180 degrees from the front. Directivity index 4.77 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -6.02 dB and the rear (180 degrees) at -\u221E dB "
     "relative to the front."},
    {"half-level cardioid", 50, 50, PatternShape::Cardioid, 180.0, -INFINITY, 4.771212547,
     "Cardioid pattern: one null, at the rear, 180 degrees from the front. Directivity index 4.77 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -6.02 dB and the rear (180 degrees) at -\u221E dB "
     "relative to the front."},
    {"Super Card preset, a = 0.7", 30, 0, PatternShape::RearLobe, 134.427004, -15.066553333,
     5.453221442,
     "Cardioid-like pattern with a rear lobe: nulls at 134.4 and -134.4 degrees from the front; the "
     "rear lobe is -15.07 dB relative to the front. Directivity index 5.45 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -7.71 dB and the rear (180 degrees) at -15.07 dB "
     "relative to the front. The rear lobe has opposite polarity."},
    {"Hyper Card preset, a = 0.5", 50, 0, PatternShape::RearLobe, 120.0, -9.542425094, 5.862657241,
     "Cardioid-like pattern with a rear lobe: nulls at 120 and -120 degrees from the front; the rear "
     "lobe is -9.54 dB relative to the front. Directivity index 5.86 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -9.54 dB and the rear (180 degrees) at -9.54 dB "
     "relative to the front. The rear lobe has opposite polarity."},
    {"wide cardioid, b = 0.5", 0, 50, PatternShape::WideCardioid, NAN, -9.542425094, 3.174204119,
     "Wide cardioid-like pattern without nulls: the rear is -9.54 dB relative to the front. "
     "Directivity index 3.17 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -3.52 dB and the rear (180 degrees) at -9.54 dB "
     "relative to the front."},
    {"a = b = 0", 100, 100, PatternShape::None, NAN, NAN, NAN,
     "No pattern: both components are at their lowest setting, so nothing is picked up.",
     ""},
};

void ExpectNear(double got, double want, const char *what)
{
    if (std::isnan(want))
        EXPECT_TRUE(std::isnan(got)) << what << ": " << got;
    else if (std::isinf(want))
        EXPECT_EQ(got, want) << what;
    else
        EXPECT_NEAR(got, want, 1e-6) << what;
}

TEST(PatternDescription, FollowsTheClosedFormsForEachPattern)
{
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.pattern);
        const PatternFigures f = FiguresFor(c.slider1, c.slider2);
        EXPECT_EQ(f.shape, c.shape);
        ExpectNear(f.nullDegrees, c.nullDegrees, "null angle");
        ExpectNear(f.rearDb, c.rearDb, "rear relative to front");
        ExpectNear(f.directivityDb, c.directivityDb, "directivity index");
        EXPECT_EQ(PatternDescription(c.slider1, c.slider2, "."), c.description);
        EXPECT_EQ(DatasheetDescription(c.slider1, c.slider2, 30, "."), c.datasheet);
    }
    EXPECT_EQ(DatasheetDescription(30, 0, 20, ","),
              "Datasheet view, 20 dB range: the side (90 degrees) is at -7,71 dB and the rear (180 degrees) at "
              "-15,07 dB relative to the front. The rear lobe has opposite polarity.");
    EXPECT_EQ(ViewAnnouncement({PlotView::Db, 40}), "Datasheet view, 40 dB range");
    EXPECT_EQ(ViewAnnouncement({PlotView::Polar, 40}), "Linear view");
    // The locale's separator, in every number of the text.
    EXPECT_EQ(PatternDescription(30, 0, ","),
              "Cardioid-like pattern with a rear lobe: nulls at 134,4 and -134,4 degrees from the "
              "front; the rear lobe is -15,07 dB relative to the front. Directivity index 5,45 dB.");
}

TEST(PatternDescription, SpokenFormsAreShortAndRounded)
{
    struct Spoken {
        std::string got;
        const char *want;
    };
    const Spoken cases[] = {
        {SpokenLevel(0, "."), "0 dB"},
        {SpokenLevel(30, "."), "-3.06 dB"}, // the readout shows -3.06126050124842
        {SpokenLevel(30, ","), "-3,06 dB"},
        {SpokenLevel(99, "."), "-34.07 dB"},
        {SpokenLevel(100, "."), "-40.09 dB"},
        {SpokenLevel(20, "."), "-1.92 dB"},
        {SpokenGain(0.0, "."), "off"},
        {SpokenGain(2.0, "."), "6.02 dB"},
        {SpokenGain(1.0 - 4.1e-10, "."), "0 dB"}, // -3.56E-09 dB: no "-0"
        {SpokenNumber(-0.004, "."), "0"},
        {SpokenNumber(1.5, "."), "1.5"},
        {PresetAnnouncement("Super Card", 30, 0, "."), "Super Card: omni -3.06 dB, figure-8 0 dB"},
        {PresetAnnouncement("Omni", 0, 100, ","), "Omni: omni 0 dB, figure-8 -40,09 dB"},
        {ProbeAnnouncement(1, 1.7, "."), "1 degree, gain 4.61 dB"},
        {ProbeAnnouncement(-1, 1.7, "."), "-1 degree, gain 4.61 dB"},
        {ProbeAnnouncement(180, 0.0, "."), "180 degrees, gain off"},
    };
    for (const Spoken &c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(PatternDescription, ALevelSetByAssistiveTechnologyTakesTheNearestPosition)
{
    struct Row {
        double level;
        std::int32_t position;
    };
    const Row rows[] = {
        {0.0, 0}, {5.0, 0}, {-3.06, 30}, {-3.0612605012484, 30}, {-34.0, 99},
        {-40.0864274753527, 100}, {-80.0, 100}, {-0.04, 0}, {-0.05, 1},
    };
    for (const Row &r : rows)
        EXPECT_EQ(PositionForLevel(r.level), r.position) << r.level;
}

} // namespace
} // namespace orvane
