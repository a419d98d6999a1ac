// The stereo pair against a model written here from the textbook's formulas:
// each microphone a + b cos(theta - aim) in long double, the correlation as
// the mean of L R over the sphere, the recording angle by a search of the
// level difference itself, not by the rules' closed form.
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pattern/stereo_pair.h"

namespace orvane {
namespace {

using Real = long double;
constexpr Real kPi = std::numbers::pi_v<long double>;
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

Real Radians(Real degrees) { return degrees * kPi / 180; }
Real Degrees(Real radians) { return radians * 180 / kPi; }

// The two microphones as vectors in the horizontal plane, x to the front and
// y to the left: L(u) = a + l.u, R(u) = a + r.u.
struct Model {
    Real a, lx, ly, rx, ry;

    Real left(Real theta) const { return a + lx * std::cos(Radians(theta)) + ly * std::sin(Radians(theta)); }
    Real right(Real theta) const { return a + rx * std::cos(Radians(theta)) + ry * std::sin(Radians(theta)); }
};

Model ModelOf(int s1, int s2, const StereoPair &pair)
{
    const Real a = (100 - s1) * 20, b = (100 - s2) * 20;
    if (pair.technique == PairTechnique::XY) {
        const Real aim = Radians(pair.angle / 2.0L);
        return {a, b * std::cos(aim), b * std::sin(aim), b * std::cos(aim), -b * std::sin(aim)};
    }
    // Mid facing 0 plus or minus the side facing +90.
    const Real side = (100 - pair.side) * 20;
    return {a, b, side, b, -side};
}

// The diffuse field: the mean over the sphere of a product of two first-order
// patterns is a polynomial of degree 2, which the six directions +-x, +-y, +-z
// average exactly.
Real Correlation(const Model &m)
{
    const Real axes[6][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {0, 0}, {0, 0}};
    Real lr = 0, ll = 0, rr = 0;
    for (const auto &u : axes) {
        const Real l = m.a + m.lx * u[0] + m.ly * u[1], r = m.a + m.rx * u[0] + m.ry * u[1];
        lr += l * r, ll += l * l, rr += r * r;
    }
    return ll * rr == 0 ? kNone : lr / std::sqrt(ll * rr);
}

// Twice the first angle in (0, 180] where |L| >= ratio |R|, for each ratio
// in ascending order: one walk in steps of a tenth of a degree, then bisection
// in the step where each first holds.
std::vector<double> RecordingAngles(const Model &m, const std::vector<Real> &ratios)
{
    // In double, for speed: a bisection to 1e-9 degrees needs no more.
    const auto reached = [&](Real theta, Real ratio) {
        const double c = std::cos(static_cast<double>(Radians(theta))), s = std::sin(static_cast<double>(Radians(theta)));
        const auto at = [c, s](Real a, Real x, Real y) {
            return std::fabs(static_cast<double>(a) + static_cast<double>(x) * c + static_cast<double>(y) * s);
        };
        const double l = at(m.a, m.lx, m.ly), r = at(m.a, m.rx, m.ry);
        return l > 0 && l >= static_cast<double>(ratio) * r;
    };
    std::vector<double> angles(ratios.size(), kNone);
    std::size_t next = 0;
    for (int step = 1; step <= 1800 && next < ratios.size(); ++step) {
        while (next < ratios.size() && reached(step / 10.0L, ratios[next])) {
            Real lo = (step - 1) / 10.0L, hi = step / 10.0L;
            for (int i = 0; i < 100; ++i)
                (reached((lo + hi) / 2, ratios[next]) ? hi : lo) = (lo + hi) / 2;
            angles[next++] = static_cast<double>(lo + hi);
        }
    }
    return angles;
}

// NaN matches NaN, infinities their sign, and numbers within `tolerance`.
void ExpectFigure(double got, double wanted, double tolerance, const std::string &what)
{
    if (std::isnan(wanted) || std::isinf(wanted))
        EXPECT_TRUE(std::isnan(wanted) ? std::isnan(got) : got == wanted) << what << ": " << got << " for " << wanted;
    else
        EXPECT_NEAR(got, wanted, tolerance) << what;
}

const StereoPair kXy90{PairTechnique::XY, 90, 0};
StereoPair Xy(int angle) { return {PairTechnique::XY, angle, 0}; }
StereoPair Ms(int side) { return {PairTechnique::MS, 90, side}; }

// The classic pairs and the edges, each against the figures a textbook gives
// or a closed form of its own; every figure also against the model.
TEST(StereoPair, ClassicPairsAndEdgesMatchTheirClosedForms)
{
    const double t15 = (std::pow(10.0, 0.75) - 1) / (std::pow(10.0, 0.75) + 1);
    struct Case {
        const char *name;
        int s1, s2;
        StereoPair pair;
        // NaN: none. Figures to check beyond the model, within 1e-12.
        double pairAngle, leftOmni, midOmni, sideToMid, rec15, correlation;
        double rounded15; // the recording angle as the textbooks round it; NaN for none
    };
    const Case cases[] = {
        // a + a cos(theta -+ 45): the mid a + a cos 45 cos, the side a sin 45.
        {"XY cardioids at 90", 50, 50, kXy90, 90, 0.5, 1 / (1 + std::sqrt(0.5)),
         20 * std::log10(std::sqrt(0.5) / (1 + std::sqrt(0.5))), kNone, 0.75, 178},
        // a = 0: L / R = cot(45 - theta) / ..., L - R reaches the level at tan(theta) = t.
        {"Blumlein", 100, 0, kBlumlein, 90, 0, 0, 0, 2 * std::atan(t15) * 180 / std::numbers::pi, 0, 70},
        // Mid 1000 + 1000 cos, side 2000 sin: L = 1000 + sqrt(5) 1000 cos(theta - atan 2).
        {"M/S cardioid mid, side at its peak", 50, 50, Ms(0), 2 * std::atan(2.0) * 180 / std::numbers::pi,
         1 / (1 + std::sqrt(5.0)), 0.5, 0, kNone, 0, 77},
        {"omni pair", 0, 100, kXy90, 90, 1, 1, -kInf, kNone, 1, kNone},
        {"XY at 0: one microphone twice", 30, 0, Xy(0), 0, 0.7 / 1.7, 0.7 / 1.7, -kInf, kNone, 1, kNone},
        {"M/S without side", 30, 0, Ms(100), 0, 0.7 / 1.7, 0.7 / 1.7, -kInf, kNone, 1, kNone},
        // L = -R everywhere: no level difference, polarity always opposite.
        {"figure-8s back to back", 100, 0, Xy(180), 180, 0, kNone, kInf, kNone, -1, kNone},
        {"M/S of a side alone", 100, 100, Ms(0), 180, 0, kNone, kInf, kNone, -1, kNone},
        {"no pattern", 100, 100, Xy(90), kNone, kNone, kNone, kNone, kNone, kNone, kNone},
    };
    for (const Case &c : cases) {
        const PairFigures f = PairFiguresFor(c.s1, c.s2, c.pair);
        const double got[] = {f.pairAngleDeg, f.leftOmniShare, f.midOmniShare, f.sideToMidDb, f.correlation};
        const double wanted[] = {c.pairAngle, c.leftOmni, c.midOmni, c.sideToMid, c.correlation};
        const char *names[] = {"pair angle", "left omni share", "mid omni share", "side to mid", "correlation"};
        if (std::isnan(c.pairAngle)) {
            EXPECT_TRUE(f.empty) << c.name;
            for (const double value : PairFigureValues(c.s1, c.s2, c.pair, std::nullopt))
                EXPECT_TRUE(std::isnan(value)) << c.name;
            continue;
        }
        for (std::size_t i = 0; i < std::size(got); ++i)
            ExpectFigure(got[i], wanted[i], 1e-12, std::string(c.name) + ", " + names[i]);
        if (!std::isnan(c.rec15)) {
            EXPECT_NEAR(f.recordingAngle15Deg, c.rec15, 1e-12) << c.name;
        }
        if (std::isnan(c.rounded15))
            EXPECT_TRUE(std::isnan(f.recordingAngle15Deg)) << c.name;
        else
            EXPECT_EQ(std::round(f.recordingAngle15Deg), c.rounded15) << c.name;
    }
    // The M/S pair of the textbooks: left and right an omni share of 0.309 at +-63.4 degrees.
    const PairFigures ms = PairFiguresFor(50, 50, Ms(0));
    EXPECT_EQ(std::round(ms.leftOmniShare * 1000), 309);
    EXPECT_EQ(std::round(ms.pairAngleDeg * 10), 1269); // 2 x 63.43
    // Where the level difference never reaches 15 dB: an omni pair, XY at 0.
    for (const auto &[s1, s2, pair] : {std::tuple{0, 100, kXy90}, std::tuple{30, 0, Xy(0)}, std::tuple{100, 0, Xy(180)}})
        EXPECT_TRUE(std::isnan(PairFiguresFor(s1, s2, pair).recordingAngle15Deg)) << s1 << " " << s2;
}

// Every pair of a grid of positions: the signals, the figures and both
// recording angles against the model.
TEST(StereoPair, EveryPairOfAGridAgreesWithTheModel)
{
    std::vector<std::tuple<int, int, StereoPair>> pairs;
    for (int s1 = 0; s1 <= 100; s1 += 10)
        for (int s2 = 0; s2 <= 100; s2 += 10)
            for (int angle = 0; angle <= 180; angle += 20)
                pairs.emplace_back(s1, s2, Xy(angle));
    for (int s1 = 0; s1 <= 100; s1 += 20)
        for (int s2 = 0; s2 <= 100; s2 += 20)
            for (int side = 0; side <= 100; side += 20)
                pairs.emplace_back(s1, s2, Ms(side));
    int reached = 0;
    for (const auto &[s1, s2, pair] : pairs) {
        const Model m = ModelOf(s1, s2, pair);
        const std::string what = std::to_string(s1) + "/" + std::to_string(s2) +
                                 (pair.technique == PairTechnique::XY ? " XY " + std::to_string(pair.angle)
                                                                      : " MS " + std::to_string(pair.side));
        for (int theta = -180; theta <= 180; theta += 5) {
            const PairSignals g = PairGains(s1, s2, pair, theta);
            EXPECT_NEAR(g.left, static_cast<double>(m.left(theta)), 1e-9) << what << " at " << theta;
            EXPECT_NEAR(g.right, static_cast<double>(m.right(theta)), 1e-9) << what << " at " << theta;
        }
        const PairFigures f = PairFiguresFor(s1, s2, pair);
        if (f.empty)
            continue;
        ExpectFigure(f.correlation, static_cast<double>(Correlation(m)), 1e-12, what + ", correlation");
        const Real c = std::hypot(m.lx, m.ly);
        ExpectFigure(f.leftOmniShare, static_cast<double>(m.a / (m.a + c)), 1e-12, what + ", left omni share");
        ExpectFigure(f.pairAngleDeg, c == 0 ? f.pairAngleDeg : static_cast<double>(Degrees(2 * std::atan2(m.ly, m.lx))),
                     1e-9, what + ", pair angle");
        const std::vector<double> rec = RecordingAngles(m, {std::pow(10.0L, 0.75L), std::pow(10.0L, 0.9L)});
        ExpectFigure(f.recordingAngle15Deg, rec[0], 1e-9, what + ", recording angle at 15 dB");
        ExpectFigure(f.recordingAngle18Deg, rec[1], 1e-9, what + ", recording angle at 18 dB");
        reached += !std::isnan(rec[0]);
    }
    EXPECT_GT(reached, 500); // most pairs reach 15 dB somewhere: the search has found something
}

// A source at -theta swaps the two signals, bit for bit; an M/S pair gives an
// XY pair's signals bit for bit where the two are one pair.
TEST(StereoPair, MirrorImagesAndEquivalentPairsGiveTheSameSignals)
{
    for (const StereoPair &pair : {Xy(0), Xy(37), kXy90, Xy(135), Xy(180), Ms(0), Ms(33), Ms(100)})
        for (int halves = -360; halves <= 360; ++halves) {
            const PairSignals g = PairGains(30, 10, pair, halves / 2.0);
            const PairSignals mirrored = PairGains(30, 10, pair, -halves / 2.0);
            EXPECT_EQ(g.left, mirrored.right) << halves / 2.0;
            EXPECT_EQ(g.right, mirrored.left) << halves / 2.0;
            EXPECT_EQ(LevelDifferenceDb(g), -LevelDifferenceDb(mirrored)) << halves / 2.0;
        }
    for (const auto &[s1, s2] : {std::pair{0, 0}, std::pair{30, 0}, std::pair{100, 0}, std::pair{60, 45}})
        for (int theta = -180; theta <= 180; ++theta) {
            // XY at 180: a + b cos(theta -+ 90) = a +- b sin(theta), the M/S of an omni mid.
            const PairSignals xy180 = PairGains(s1, s2, Xy(180), theta);
            const PairSignals ms = PairGains(s1, 100, Ms(s2), theta);
            EXPECT_EQ(xy180.left, ms.left) << theta;
            EXPECT_EQ(xy180.right, ms.right) << theta;
            // XY at 0 and M/S without side: both the mid.
            const PairSignals xy0 = PairGains(s1, s2, Xy(0), theta);
            const PairSignals mid = PairGains(s1, s2, Ms(100), theta);
            EXPECT_EQ(xy0.left, mid.left) << theta;
            EXPECT_EQ(xy0.right, mid.right) << theta;
            EXPECT_EQ(xy0.left, xy0.right) << theta;
        }
    // The figures of equivalent pairs alike.
    EXPECT_EQ(PairFiguresFor(30, 0, Xy(180)).correlation, PairFiguresFor(30, 100, Ms(0)).correlation);
    EXPECT_EQ(CosDegrees(90), 0.0);
    EXPECT_EQ(CosDegrees(-120), -0.5);
    EXPECT_EQ(CosDegrees(225), -std::sqrt(0.5));
}

// The figures at the source: nulls, both silent, opposite polarity and the
// image by the tangent law.
TEST(StereoPair, FiguresAtTheSource)
{
    struct Case {
        int s1, s2;
        StereoPair pair;
        int source;
        double levelDifference, image; // NaN: none; image within 1e-12
        bool opposite;
    };
    const double tan30 = std::tan(std::numbers::pi / 6);
    const auto image = [tan30](Real l, Real r) {
        return static_cast<double>(std::atan(tan30 * (l - r) / (l + r)) * 180 / kPi);
    };
    const Case cases[] = {
        // Cardioids at +-45: the left one's null at -135, the right one's at 135.
        {50, 50, kXy90, -135, -kInf, -30, false},
        {50, 50, kXy90, 135, kInf, 30, false},
        {50, 50, kXy90, 0, 0, 0, false},
        // Blumlein at 30: cos 15 / cos 75 = 2 + sqrt 3.
        {100, 0, kBlumlein, 30, 20 * std::log10(2 + std::sqrt(3.0)), image(std::cos(kPi / 12), std::cos(5 * kPi / 12)), false},
        // Beyond 45 one figure-8 picks up its rear lobe: opposite polarity, the image outside the loudspeakers.
        {100, 0, kBlumlein, 100, static_cast<double>(20 * std::log10(std::cos(55 * kPi / 180) / -std::cos(145 * kPi / 180))),
         image(std::cos(55 * kPi / 180), std::cos(145 * kPi / 180)), true},
        // L + R = 0: no image.
        {100, 0, kBlumlein, 90, 0, kNone, true},
        // Both microphones silent toward the source.
        {100, 100, Ms(0), 0, kNone, kNone, false},
        {100, 100, Ms(0), 90, 0, kNone, true},
    };
    for (const Case &c : cases) {
        const auto values = PairFigureValues(c.s1, c.s2, c.pair, c.source);
        const std::string what = "source at " + std::to_string(c.source);
        ExpectFigure(values[7], c.levelDifference, 1e-12, what + ", level difference");
        ExpectFigure(values[8], c.image, 1e-12, what + ", image");
        EXPECT_EQ(values[9], c.opposite ? 1.0 : 0.0) << what;
    }
    // Without a source, its figures are none.
    const auto without = PairFigureValues(50, 50, kXy90, std::nullopt);
    for (std::size_t i = 7; i < without.size(); ++i)
        EXPECT_TRUE(std::isnan(without[i])) << kPairFigureRows[i].key;
}

// As the faces show them: the pattern's details' digits and units, the
// language's decimal separator.
TEST(StereoPair, FigureTextsAsTheDetailsShowThem)
{
    const auto xy = PairFigureValues(50, 50, kXy90, 135);
    const auto ms = PairFigureValues(50, 50, Ms(0), 30);
    const std::vector<std::pair<std::string, std::string>> texts = {
        {PairFigureText(0, ms[0], ","), "126,9 degrees"},
        {PairFigureText(1, ms[1], ","), "0,309"},
        {PairFigureText(2, xy[2], "."), "0.586"},
        {PairFigureText(3, xy[3], ","), "-7,66 dB"},
        {PairFigureText(4, xy[4], "."), "177.9 degrees"},
        {PairFigureText(6, xy[6], "."), "0.750"},
        {PairFigureText(6, ms[6], "."), "0"},
        {PairFigureText(7, xy[7], "."), "\u221E dB"},
        {PairFigureText(5, ms[4] * kNone, "."), "none"},
        {PairFigureText(9, xy[9], "."), "no"},
        {PairFigureText(9, 1.0, "."), "yes"},
    };
    for (const auto &[got, wanted] : texts)
        EXPECT_EQ(got, wanted);
}

} // namespace
} // namespace orvane
