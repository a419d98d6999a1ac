#include "pattern/pair_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "pattern/angle_probe.h"
#include "pattern/checked.h"
#include "pattern/dashed_line.h"
#include "pattern/datasheet_plot.h"
#include "pattern/exact_math.h"
#include "pattern/figure.h"
#include "pattern/number_text.h"
#include "pattern/polar_plot.h"

namespace orvane {

namespace {

float F(double v)
{
    return CheckFp(static_cast<float>(v));
}

using Point = PlotPoint;

// The source angles drawn, one a degree from the rear through the right,
// the front and the left back to the rear: the probe's whole degrees, so that
// the curves pass through the points the probe and the figures give.
constexpr std::int32_t kFirstDegree = -180;
constexpr std::size_t kDegrees = 361;

std::int32_t DegreeAt(std::size_t i)
{
    return kFirstDegree + static_cast<std::int32_t>(i);
}

// A direction's place on the plot: the front is straight down and a positive
// angle (the left microphone's side) to the left, as the probe draws it. From
// CosDegrees, so that the axes' points lie exactly on them.
struct Direction {
    double across; // sin theta, toward the left
    double down;   // cos theta
};

const std::array<Direction, kDegrees> &Directions()
{
    static const std::array<Direction, kDegrees> directions = [] {
        std::array<Direction, kDegrees> d{};
        for (std::size_t i = 0; i < kDegrees; ++i)
            d[i] = {CosDegrees(90.0 - DegreeAt(i)), CosDegrees(DegreeAt(i))};
        return d;
    }();
    return directions;
}

Point At(const PlotCentre &c, const Direction &d, double radius)
{
    return {F(c.cx - CheckFp(radius * d.across)), F(c.cy + CheckFp(radius * d.down))};
}

// The two microphones' signed signals at every angle drawn. The right one's
// pattern is the left one's mirrored, bit for bit, but both are taken from
// the pair's rule, which is what the figures show.
std::array<PairSignals, kDegrees> SignalsOf(std::int32_t s1, std::int32_t s2, const StereoPair &pair)
{
    std::array<PairSignals, kDegrees> signals{};
    for (std::size_t i = 0; i < kDegrees; ++i)
        signals[i] = PairGains(s1, s2, pair, DegreeAt(i));
    return signals;
}

// The peak of the equivalent microphones a + c cos(theta -+ beta), the 0 dB
// of the datasheet view: each microphone against its own front.
double PeakOf(std::int32_t s1, std::int32_t s2, const StereoPair &pair)
{
    const double a = CheckedSub(100, s1) * 20.0;
    const double b = CheckedSub(100, s2) * 20.0;
    if (pair.technique == PairTechnique::XY)
        return CheckFp(a + b);
    const double side = CheckedSub(100, pair.side) * 20.0;
    return CheckFp(a + CheckFp(std::sqrt(CheckFp(b * b + side * side))));
}

// The values of a function of signals already worked out, by the signal's
// bits: a small open-addressed table, as a redraw has at most 361 of them.
class ValueMemo {
public:
    template <typename Function>
    double get(double key, Function function)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &key, sizeof bits);
        std::size_t slot = static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ULL) >> 54); // 10 bits
        while (used_[slot]) {
            if (keys_[slot] == bits)
                return values_[slot];
            slot = (slot + 1) % kSlots;
        }
        used_[slot] = true;
        keys_[slot] = bits;
        values_[slot] = function(key);
        return values_[slot];
    }

private:
    static constexpr std::size_t kSlots = 1024;
    std::array<bool, kSlots> used_{};
    std::array<std::uint64_t, kSlots> keys_{};
    std::array<double, kSlots> values_{};
};

// The largest radius of one microphone's pattern: both level sliders at 0.
constexpr double kLargestRadius = 4000.0;

// The source's line, from the centre in the probe's direction and as long as
// its line, but ending at the surface's edge, where the probe's runs beyond
// it upward.
void SourceLine(DrawingSurface &surface, const PlotCentre &c, std::int32_t source)
{
    const double phi = ProbeDirection(source);
    const double dx = CheckFp(kProbeLength * ExactCos(phi));
    const double dy = CheckFp(kProbeLength * ExactSin(phi));
    double t = 1.0;
    const double width = surface.width();
    const double height = surface.height();
    auto within = [&t](double from, double delta, double high) {
        if (delta < 0.0)
            t = std::min(t, -from / delta);
        else if (delta > 0.0)
            t = std::min(t, (high - from) / delta);
    };
    within(c.cx, dx, width);
    within(c.cy, dy, height);
    surface.line(c.cx, c.cy, F(c.cx + CheckFp(dx * t)), F(c.cy + CheckFp(dy * t)), kCyan);
}

// A label's point, moved inside the surface by the label's half height
// where the peak it stands beyond lies at the surface's edge.
Point Inside(DrawingSurface &surface, Point p)
{
    constexpr float kMargin = 120.0f;
    return {std::clamp(p.x, kMargin, F(surface.width() - kMargin)),
            std::clamp(p.y, kMargin, F(surface.height() - kMargin))};
}

} // namespace

void PairGraph(DrawingSurface &surface, std::int32_t s1, std::int32_t s2, const StereoPair &pair,
               const ViewSettings &view, Edition edition, std::optional<std::int32_t> source)
{
    const bool db = view.view == PlotView::Db;
    const std::int32_t range = view.rangeDb;
    if (db && !IsDbRange(range))
        throw std::invalid_argument("dB range not offered");
    const PlotCentre c = CentreOf(surface);
    if (db) {
        // The datasheet view's grid alone, as that view keeps it.
        const std::string backdrop =
            "datasheet " + IntegerText(range) + " " + NumberText(c.cx) + " " + NumberText(c.cy);
        if (!surface.restoreBackdrop(backdrop)) {
            surface.clear();
            DatasheetGridLines(surface, range);
            surface.keepBackdrop(backdrop);
        }
    } else {
        surface.clear();
        if (HasProbe(edition))
            GraphAxis(surface);
    }

    const auto signals = SignalsOf(s1, s2, pair);
    const double peak = PeakOf(s1, s2, pair);
    // On the main plot's scale, but an M/S pair whose side adds to the mid
    // beyond any one pattern's reach is drawn smaller, its peak at that reach,
    // so that it stays on the surface.
    const double shrink = peak > kLargestRadius ? CheckFp(kLargestRadius / peak) : 1.0;
    auto radius = [&](double g) {
        return db ? DbRadius(DbLevel(std::fabs(g), peak), range) : CheckFp(std::fabs(g) * shrink);
    };
    // The levels' logarithms are most of the dB view's work: the right
    // microphone's, at -theta, are the left one's at theta.
    std::array<double, kDegrees> leftRadius{};
    std::array<double, kDegrees> rightRadius{};
    if (peak > 0.0) {
        // And an XY microphone's pattern is the same either side of its
        // axis: the signal's bits recur, and so do their radii.
        ValueMemo memo;
        for (std::size_t i = 0; i < kDegrees; ++i)
            leftRadius[i] = memo.get(signals[i].left, radius);
        for (std::size_t i = 0; i < kDegrees; ++i)
            rightRadius[i] = signals[i].right == signals[kDegrees - 1 - i].left ? leftRadius[kDegrees - 1 - i]
                                                                                 : radius(signals[i].right);
        const auto &directions = Directions();
        std::vector<CurvePoint> left(kDegrees);
        std::vector<CurvePoint> right(kDegrees);
        for (std::size_t i = 0; i < kDegrees; ++i) {
            left[i] = {At(c, directions[i], leftRadius[i]), signals[i].left < 0.0};
            right[i] = {At(c, directions[i], rightRadius[i]), signals[i].right < 0.0};
        }
        PolarisedCurve(surface, c, left, kLeftColour, false);
        PolarisedCurve(surface, c, right, kRightColour, true);
    }

    if (source && HasProbe(edition))
        SourceLine(surface, c, *source);

    if (db) {
        constexpr std::size_t kRightSide = 90; // -90 degrees: the side spoke the labels stand along
        DatasheetGridLabels(surface, range,
                            peak > 0.0 ? std::vector<double>{leftRadius[kRightSide], rightRadius[kRightSide]}
                                       : std::vector<double>{});
    }

    if (peak > 0.0) {
        // Each label at its microphone's loudest direction on its own
        // side, the nearest the front where several are as loud (an omni
        // pair's stand side by side at the front).
        constexpr std::size_t kFront = 180;
        std::size_t loudest = kFront;
        for (std::size_t i = kFront; i < kDegrees; ++i)
            if (signals[i].left > signals[loudest].left)
                loudest = i;
        const Direction &d = Directions()[loudest];
        const Direction mirrored{-d.across, d.down};
        // In the dB view beyond the peak stand the spokes' labels: inside it.
        const double r = CheckFp(leftRadius[loudest] + (db ? -kPairLabelBeyond : kPairLabelBeyond));
        const Point l = Inside(surface, At(c, d, r));
        const Point rr = Inside(surface, At(c, mirrored, r));
        const bool front = loudest == kFront;
        surface.text(l.x, l.y, "L", kLeftColour, front ? TextAnchor::End : TextAnchor::Middle);
        surface.text(rr.x, rr.y, "R", kRightColour, front ? TextAnchor::Start : TextAnchor::Middle);
    }
}

double CurveFrame::x(double degrees) const
{
    return CheckFp(left + CheckFp(CheckFp(degrees + 180.0) * CheckFp(right - left) / 360.0));
}

double CurveFrame::y(double db) const
{
    if (std::isnan(db))
        return db;
    const double clipped = std::clamp(db, -kCurveRangeDb, kCurveRangeDb);
    const double middle = CheckFp(CheckFp(top + bottom) / 2.0);
    return CheckFp(middle - CheckFp(clipped * CheckFp(bottom - top) / (2.0 * kCurveRangeDb)));
}

CurveFrame CurveFrameOf(float width, float height)
{
    return {kCurveLeft, kCurveTop, CheckFp(width - kCurveRightMargin), CheckFp(height - kCurveBottomMargin)};
}

namespace {

void Dashed(DrawingSurface &surface, Colour colour, double dash, double gap, double x1, double y1, double x2,
            double y2)
{
    Dasher dasher(surface, colour, dash, gap);
    dasher.start(F(x1), F(y1));
    dasher.to(F(x2), F(y2));
}

// What the curve draws over its backdrop: the marks, the curve and the texts.
void DrawCurve(DrawingSurface &surface, const CurveFrame &frame, std::int32_t s1, std::int32_t s2,
               const StereoPair &pair, std::optional<std::int32_t> source, std::string_view decimalSeparator);

std::string AngleText(double degrees, std::string_view separator)
{
    if (std::isnan(degrees))
        return std::string(Tr("pair", kPairNone));
    return FixedText(degrees, 1, separator) + kDegreeSign;
}

} // namespace

void LocalisationCurve(DrawingSurface &surface, std::int32_t s1, std::int32_t s2, const StereoPair &pair,
                       std::optional<std::int32_t> source, std::string_view decimalSeparator)
{
    const float width = surface.width();
    const float height = surface.height();
    const CurveFrame frame = CurveFrameOf(width, height);
    const float left = F(frame.left);
    const float right = F(frame.right);
    const float top = F(frame.top);
    const float bottom = F(frame.bottom);

    // The frame, its ticks, lines at 0 dB and the front (few lines, so that
    // the marks stand out) and the full-side levels: the same for every
    // pair, so kept where the surface keeps a backdrop.
    const std::string backdrop =
        "pair curve " + NumberText(width) + " " + NumberText(height) + " " + CurrentLanguage().code;
    if (surface.restoreBackdrop(backdrop))
        return DrawCurve(surface, frame, s1, s2, pair, source, decimalSeparator);
    surface.clear();
    surface.setPen(left, top);
    surface.lineTo(right, top, kGridLine);
    surface.lineTo(right, bottom, kGridLine);
    surface.lineTo(left, bottom, kGridLine);
    surface.lineTo(left, top, kGridLine);
    for (std::int32_t db = -static_cast<std::int32_t>(kCurveRangeDb); db <= kCurveRangeDb; db += kCurveDbStep) {
        const float y = F(frame.y(db));
        surface.line(F(frame.left - kCurveTick), y, left, y, kGridLine);
    }
    for (std::int32_t v = -180; v <= 180; v += kCurveAngleStep) {
        const float x = F(frame.x(v));
        surface.line(x, bottom, x, F(frame.bottom + kCurveTick), kGridLine);
    }
    surface.line(left, F(frame.y(0.0)), right, F(frame.y(0.0)), kGridLine);
    surface.line(F(frame.x(0.0)), top, F(frame.x(0.0)), bottom, kGridLine);

    // The full-side levels: 15 dB dashed, 18 dB in shorter dashes.
    for (const double level : {15.0, -15.0})
        Dashed(surface, kGridText, kDashTwips, kGapTwips, frame.left, frame.y(level), frame.right, frame.y(level));
    for (const double level : {18.0, -18.0})
        Dashed(surface, kGridText, kDotTwips * 2.0, kDotGapTwips, frame.left, frame.y(level), frame.right,
               frame.y(level));

    // The axes' texts, outside the frame where no line of a pair runs.
    const float levelsX = F(frame.left - kCurveTick - 45.0);
    for (std::int32_t db = -static_cast<std::int32_t>(kCurveRangeDb); db <= kCurveRangeDb; db += kCurveDbStep)
        surface.text(levelsX, F(frame.y(db)), IntegerText(db), kGridText, TextAnchor::End);
    const float anglesY = F(frame.bottom + kCurveTick + 135.0);
    for (std::int32_t v = -180; v <= 180; v += kCurveAngleStep)
        surface.text(F(frame.x(v)), anglesY, IntegerText(v), kGridText, TextAnchor::Middle);
    const float marksX = F(frame.right + 60.0);
    for (const std::int32_t mark : {18, 15, -15, -18})
        surface.text(marksX, F(frame.y(mark)), IntegerText(mark), kGridText, TextAnchor::Start);
    surface.text(F(CheckFp(frame.left + frame.right) / 2.0), F(frame.bottom + kCurveTick + 420.0),
                 std::string(Tr("pair", kCurveAngleTitle)), kGridText, TextAnchor::Middle);
    const float titlesY = F(frame.top - 240.0);
    surface.text(F(frame.left - kCurveTick - 45.0 - 450.0), titlesY, std::string(Tr("pair", kCurveLevelTitle)),
                 kGridText, TextAnchor::Start);
    surface.keepBackdrop(backdrop);
    DrawCurve(surface, frame, s1, s2, pair, source, decimalSeparator);
}

namespace {

void DrawCurve(DrawingSurface &surface, const CurveFrame &frame, std::int32_t s1, std::int32_t s2,
               const StereoPair &pair, std::optional<std::int32_t> source, std::string_view decimalSeparator)
{
    const float right = F(frame.right);
    const float top = F(frame.top);
    const float bottom = F(frame.bottom);

    // The recording angle: where the curve reaches 15 dB on either side.
    const double recording = RecordingAngleDeg(s1, s2, pair, kFullSide15Db);
    const double half = recording / 2.0;
    if (!std::isnan(recording))
        for (const double v : {-half, half})
            Dashed(surface, kKeptViolet, kDashTwips, kGapTwips, frame.x(v), frame.top, frame.x(v), frame.bottom);

    if (source)
        surface.line(F(frame.x(*source)), top, F(frame.x(*source)), bottom, kCyan);

    // The curve. A point beyond the levels shown (a microphone's null among
    // them) stands on the frame's edge, and a piece between two such points
    // on one side is left out: the curve runs off the edge and comes back.
    // Where both microphones are silent there is no level, and no line.
    std::array<double, kDegrees> level{};
    std::array<bool, kDegrees> opposite{};
    // The logarithm is most of the work: a source at -theta swaps the two
    // signals, bit for bit, and negates the level difference.
    const auto signals = SignalsOf(s1, s2, pair);
    for (std::size_t i = 0; i < kDegrees; ++i) {
        const PairSignals &g = signals[i];
        const PairSignals &mirror = signals[kDegrees - 1 - i];
        const bool swapped = i > kDegrees / 2 && g.left == mirror.right && g.right == mirror.left;
        level[i] = swapped ? -level[kDegrees - 1 - i] : LevelDifferenceDb(g);
        opposite[i] = OppositePolarity(g);
    }
    auto outside = [](double db) { return db > kCurveRangeDb ? 1 : db < -kCurveRangeDb ? -1 : 0; };
    Dasher dots(surface, kBlack, kDotTwips, kDotGapTwips);
    bool penSet = false;
    for (std::size_t i = 1; i < kDegrees; ++i) {
        const double from = level[i - 1];
        const double to = level[i];
        if (std::isnan(from) || std::isnan(to) || (outside(from) != 0 && outside(from) == outside(to))) {
            penSet = false;
            continue;
        }
        const Point a{F(frame.x(DegreeAt(i - 1))), F(frame.y(from))};
        const Point b{F(frame.x(DegreeAt(i))), F(frame.y(to))};
        if (opposite[i - 1] && opposite[i]) {
            dots.start(a.x, a.y);
            dots.to(b.x, b.y);
            penSet = false;
        } else {
            if (!penSet)
                surface.setPen(a.x, a.y);
            surface.lineTo(b.x, b.y, kBlack);
            penSet = true;
        }
    }

    // The recording angle's text: the others are the backdrop's.
    const float titlesY = F(frame.top - 240.0);
    surface.text(right, titlesY, Format(Tr("pair", kCurveRecordingAngle), {AngleText(recording, decimalSeparator)}),
                 kGridText, TextAnchor::End);
}

} // namespace

} // namespace orvane
