#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pattern/translation.h"

// Two microphones at one point, each of the pattern the level sliders set:
// the coincident stereo pair. Plain C++, so that every face and the command
// line show the same signals and figures; docs/figures.md derives each one.
//
// The pattern of one microphone is a + b cos(theta), a = (100 - S1) x 20 and
// b = (100 - S2) x 20 in twips, as the plot draws it. Angles are on the
// probe's scale: 0 is the front, and a source at a positive angle is on the
// left microphone's side.
namespace orvane {

enum class PairTechnique {
    XY, // two microphones `angle` degrees apart, left at +angle/2, right at -angle/2
    MS, // the pattern facing the front (mid) plus a figure-8 facing +90 (side)
};

struct StereoPair {
    PairTechnique technique = PairTechnique::XY;
    std::int32_t angle = 90; // XY: 0 to 180 degrees
    std::int32_t side = 0;   // M/S: the side's level slider S3, 0 (full level) to 100 (lowest)

    // Equal where they sound the same: an XY pair has no side level and an
    // M/S pair no angle, so the state text carries only the technique's own.
    bool operator==(const StereoPair &other) const
    {
        return technique == other.technique &&
               (technique == PairTechnique::XY ? angle == other.angle : side == other.side);
    }
};

inline constexpr std::int32_t kPairAngleMinimum = 0;
inline constexpr std::int32_t kPairAngleMaximum = 180;
inline constexpr std::int32_t kSideMinimum = 0;
inline constexpr std::int32_t kSideMaximum = 100;

// The Blumlein pair: two figure-8s, XY at 90 degrees.
inline constexpr std::int32_t kBlumleinOmni = 100;
inline constexpr std::int32_t kBlumleinFig8 = 0;
inline constexpr StereoPair kBlumlein{PairTechnique::XY, 90, 0};

// 10^(15/20) and 10^(18/20), correctly rounded: the level differences that put
// an image fully into one loudspeaker, by the two schools of listening tests.
inline constexpr double kFullSide15Db = 5.623413251903491;
inline constexpr double kFullSide18Db = 7.943282347242815;
// tan 30 degrees, 1 / sqrt 3 correctly rounded: the loudspeakers stand at +-30.
inline constexpr double kTan30 = 0.5773502691896257;

// The cosine of an angle in degrees, with the angle reduced to the first
// octant before it becomes radians: for whole and half degrees (any angle of
// few binary digits) the reduction is exact, so that cos(-x) = cos(x),
// cos(90 - x) = sin(x) and cos(x + 180) = -cos(x) hold bit for bit, and 90
// degrees gives 0, 60 gives 0.5 exactly.
double CosDegrees(double degrees);

// The two microphones' signed signals, in twips, toward a source at `theta`
// degrees. Throws std::invalid_argument for positions outside the sliders'
// ranges, OverflowError where they cannot be formed.
struct PairSignals {
    double left = 0;
    double right = 0;
};
PairSignals PairGains(std::int32_t s1, std::int32_t s2, const StereoPair &pair, double theta);

// 20 log10(|left| / |right|): infinity at a null of the right microphone,
// minus infinity at one of the left, NaN where both are silent.
double LevelDifferenceDb(const PairSignals &gains);

// The image's direction between loudspeakers at +-30 degrees by the tangent
// law, atan(tan 30 (L - R) / (L + R)) in degrees, positive toward the left
// loudspeaker; NaN where L + R = 0.
double ImageDegrees(const PairSignals &gains);

// Whether the two signals have opposite signs (a null of one is not).
bool OppositePolarity(const PairSignals &gains);

// The pair's figures; NaN stands for "none", and every figure is none where
// both microphones are silent everywhere.
struct PairFigures {
    bool empty = true;
    double pairAngleDeg = 0;   // between the equivalent left and right microphones
    double leftOmniShare = 0;  // a / (a + c) of the equivalent left microphone a + c cos(theta - beta)
    double midOmniShare = 0;   // the pair as M/S: the mid's omni share
    double sideToMidDb = 0;    // 20 log10 of the side's peak over the mid's front
    double recordingAngle15Deg = 0; // twice the first source angle where L - R reaches 15 dB
    double recordingAngle18Deg = 0; // the same at 18 dB
    double correlation = 0;         // of the two signals in a diffuse field
};
PairFigures PairFiguresFor(std::int32_t s1, std::int32_t s2, const StereoPair &pair);

// Twice the first source angle in (0, 180] degrees at which L - R reaches
// 20 log10(`ratio`) dB (ratio > 1); NaN where it never does.
double RecordingAngleDeg(std::int32_t s1, std::int32_t s2, const StereoPair &pair, double ratio);

// The figures in the order they are printed, under the command line's names;
// the last three are those at the source, which the full edition has.
enum class PairFigureKind { Share, Db, Angle, Plain, YesNo };
struct PairFigureRow {
    const char *key;
    PairFigureKind kind;
    bool atSource;
};
inline constexpr std::array<PairFigureRow, 10> kPairFigureRows{{
    {"pair_angle_deg", PairFigureKind::Angle, false},
    {"left_omni_share", PairFigureKind::Share, false},
    {"mid_omni_share", PairFigureKind::Share, false},
    {"side_to_mid_db", PairFigureKind::Db, false},
    {"recording_angle_15db_deg", PairFigureKind::Angle, false},
    {"recording_angle_18db_deg", PairFigureKind::Angle, false},
    {"correlation", PairFigureKind::Plain, false},
    {"level_difference_db", PairFigureKind::Db, true},
    {"image_deg", PairFigureKind::Angle, true},
    {"opposite_polarity", PairFigureKind::YesNo, true},
}};

// The figures in the order of kPairFigureRows: NaN for none, 1 or 0 for yes
// or no. Without a source its three figures are NaN.
std::array<double, kPairFigureRows.size()> PairFigureValues(std::int32_t s1, std::int32_t s2, const StereoPair &pair,
                                                            std::optional<std::int32_t> source);

//: A pair's figure that does not exist: a recording angle never reached, a share of a silent microphone
inline constexpr const char *kPairNone = ORVANE_NOOP("pair", "none");
//: Opposite polarity at the source: yes
inline constexpr const char *kPairYes = ORVANE_NOOP("pair", "yes");
//: Opposite polarity at the source: no
inline constexpr const char *kPairNo = ORVANE_NOOP("pair", "no");

// One figure as the faces show it, the way the pattern's details are shown:
// three significant digits, dB with their unit, an angle to one decimal with
// its unit, in the current language with `decimalSeparator`.
std::string PairFigureText(std::size_t row, double value, std::string_view decimalSeparator);

} // namespace orvane
