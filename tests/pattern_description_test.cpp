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
     "Pattern: Omni. Omnidirectional pattern: the same level in every direction, no nulls. Directivity index 0 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at 0 dB and the rear (180 degrees) at 0 dB "
     "relative to the front."},
    {"Fig. 8 preset", 100, 0, PatternShape::Figure8, 90.0, 0.0, 4.771212547,
     "Pattern: Figure-8. Figure-8 pattern: nulls at 90 and -90 degrees from the front; the rear lobe is 0 dB relative "
     "to the front, in opposite polarity. Directivity index 4.77 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -\u221E dB and the rear (180 degrees) at 0 dB "
     "relative to the front. The rear lobe has opposite polarity."},
    {"Cardiod preset", 0, 0, PatternShape::Cardioid, 180.0, -INFINITY, 4.771212547,
     "Pattern: Cardioid. Cardioid pattern: one null, at the rear, 180 degrees from the front. Directivity index 4.77 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -6.02 dB and the rear (180 degrees) at -\u221E dB "
     "relative to the front."},
    {"half-level cardioid", 50, 50, PatternShape::Cardioid, 180.0, -INFINITY, 4.771212547,
     "Pattern: Cardioid. Cardioid pattern: one null, at the rear, 180 degrees from the front. Directivity index 4.77 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -6.02 dB and the rear (180 degrees) at -\u221E dB "
     "relative to the front."},
    {"Super Card preset, a = 0.7", 30, 0, PatternShape::RearLobe, 134.427004, -15.066553333,
     5.453221442,
     "Pattern: Super Card. Cardioid-like pattern with a rear lobe: nulls at 134.4 and -134.4 degrees from the front; the "
     "rear lobe is -15.07 dB relative to the front. Directivity index 5.45 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -7.71 dB and the rear (180 degrees) at -15.07 dB "
     "relative to the front. The rear lobe has opposite polarity."},
    {"Hyper Card preset, a = 0.5", 50, 0, PatternShape::RearLobe, 120.0, -9.542425094, 5.862657241,
     "Pattern: Hyper Card. Cardioid-like pattern with a rear lobe: nulls at 120 and -120 degrees from the front; the rear "
     "lobe is -9.54 dB relative to the front. Directivity index 5.86 dB.",
     "Datasheet view, 30 dB range: the side (90 degrees) is at -9.54 dB and the rear (180 degrees) at -9.54 dB "
     "relative to the front. The rear lobe has opposite polarity."},
    {"wide cardioid, b = 0.5", 0, 50, PatternShape::WideCardioid, NAN, -9.542425094, 3.174204119,
     "Pattern: omni 0.67, figure-8 0.33. Wide cardioid-like pattern without nulls: the rear is -9.54 dB relative to the front. "
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
              "Pattern: Super Card. Cardioid-like pattern with a rear lobe: nulls at 134,4 and -134,4 degrees from the "
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
        {PresetAnnouncement(30, 0, "."), "Super Card: omni -3.06 dB, figure-8 0 dB"},
        {PresetAnnouncement(0, 100, ","), "Omni: omni 0 dB, figure-8 -40,09 dB"},
        {PresetAnnouncement(0, 0, "."), "Cardioid: omni 0 dB, figure-8 0 dB"},
        {ProbeAnnouncement(1, 1.7, "."), "1 degree, gain 4.61 dB"},
        {ProbeAnnouncement(-1, 1.7, "."), "-1 degree, gain 4.61 dB"},
        {ProbeAnnouncement(180, 0.0, "."), "180 degrees, gain off"},
    };
    for (const Spoken &c : cases)
        EXPECT_EQ(c.got, c.want);
}

// One name for a mix everywhere: the textbook's within 0.005 of its omni share,
// else the button's mix at a button's positions, else the shares.
TEST(PatternName, IsTheTextbooksThenTheButtonsThenTheShares)
{
    struct Row {
        std::int32_t s1;
        std::int32_t s2;
        const char *separator;
        const char *name;
    };
    const Row rows[] = {
        // Each textbook share, at the positions --preset gives.
        {0, 100, ".", "Omni"},
        {2, 58, ".", "Subcardioid"},       // 0.98 / 1.40 = 0.7
        {0, 0, ".", "Cardioid"},
        {50, 50, ".", "Cardioid"},
        {44, 3, ".", "Supercardioid"},     // 0.36601
        {67, 1, ".", "Hypercardioid"},     // 0.25
        {100, 0, ".", "Figure-8"},
        // Beside a textbook share: just within 0.005, and just beyond.
        {0, 57, ".", "Subcardioid"},       // 0.6993
        {1, 0, ".", "Cardioid"},           // 0.4975
        {2, 0, ".", "omni 0.49, figure-8 0.51"}, // 0.49495
        {42, 0, ".", "Supercardioid"},     // 0.3671
        {41, 0, ".", "omni 0.37, figure-8 0.63"}, // 0.37107
        {66, 0, ".", "Hypercardioid"},     // 0.2537
        {65, 0, ".", "omni 0.26, figure-8 0.74"}, // 0.2593
        // The buttons' mixes, which are no textbook pattern.
        {30, 0, ".", "Super Card"},        // 0.412
        {50, 0, ".", "Hyper Card"},        // 0.333
        {65, 30, ".", "omni 0.33, figure-8 0.67"}, // Hyper Card's share, not its positions
        // The shares: two decimals that add up to one, in the language's form.
        {10, 0, ",", "omni 0,47, figure-8 0,53"},
        {99, 61, ".", "omni 0.03, figure-8 0.97"}, // 0.025, rounded up
        {0, 50, ".", "omni 0.67, figure-8 0.33"},
        {100, 100, ".", ""},
    };
    for (const Row &r : rows)
        EXPECT_EQ(PatternName(r.s1, r.s2, r.separator), r.name) << r.s1 << ", " << r.s2;
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
