#include "pattern/datasheet_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "pattern/angle_probe.h"
#include "pattern/checked.h"
#include "pattern/dashed_line.h"
#include "pattern/exact_math.h"
#include "pattern/number_text.h"
#include "pattern/pattern_description.h"
#include "pattern/pattern_details.h"
#include "pattern/plot_driver.h"
#include "pattern/polar_plot.h"

namespace orvane {

namespace {

// One direction of the sweep: the probe's angle and the surface direction's
// sine and cosine. The points lie along the probe's own directions, so that
// the probe line meets the curve where the curve's point is; cos(theta) from
// the front is the direction's sine.
struct Direction {
    std::int32_t degrees;
    double sin;
    double cos;
};

// A whole turn from the front, one degree a step, the front again at the end.
const std::vector<Direction> &Sweep()
{
    static const std::vector<Direction> sweep = [] {
        std::vector<Direction> directions;
        for (std::int32_t v = 0; v <= 360; ++v) {
            const double phi = ProbeDirection(v);
            directions.push_back({v, ExactSin(phi), ExactCos(phi)});
        }
        return directions;
    }();
    return sweep;
}

float F(double v)
{
    return CheckFp(static_cast<float>(v));
}

struct Point {
    float x;
    float y;
};

Point At(const PlotCentre &c, const Direction &d, double radius)
{
    return {F(c.cx + CheckFp(radius * d.cos)), F(c.cy + CheckFp(radius * d.sin))};
}

double Gain(std::int32_t position)
{
    return CheckFp(CheckedSub(100, position) / 100.0);
}

void Grid(DrawingSurface &surface, const PlotCentre &c, std::int32_t range)
{
    const auto &sweep = Sweep();
    for (std::int32_t level = 0; level > -range; level -= kDbRingStep) {
        const double radius = DbRadius(level, range);
        surface.setPen(At(c, sweep.front(), radius).x, At(c, sweep.front(), radius).y);
        for (const Direction &d : sweep) {
            const Point p = At(c, d, radius);
            surface.lineTo(p.x, p.y, kGridLine);
        }
    }
    for (std::int32_t v = 0; v < 360; v += kSpokeDegrees) {
        const Point p = At(c, sweep.at(static_cast<std::size_t>(v)), kZeroDbRadius);
        surface.line(c.cx, c.cy, p.x, p.y, kGridLine);
    }
}

// The labels after the grid's lines and before the curves, so that a curve
// drawn over a label stays whole.
void GridLabels(DrawingSurface &surface, const PlotCentre &c, std::int32_t range)
{
    const auto &sweep = Sweep();
    for (std::int32_t v = 0; v < 360; v += kSpokeDegrees) {
        const Point p = At(c, sweep.at(static_cast<std::size_t>(v)), kSpokeLabelRadius);
        surface.text(p.x, p.y, IntegerText(v > 180 ? v - 360 : v), kGridText, TextAnchor::Middle);
    }
    // Along the spoke to the rear, just inside each ring.
    for (std::int32_t level = 0; level > -range; level -= kDbRingStep) {
        const float y = F(c.cy - DbRadius(level, range) + 2 * kLegendLine / 3);
        surface.text(F(c.cx + kRingLabelOffset), y, IntegerText(level), kGridText, TextAnchor::Start);
        if (level == 0)
            surface.text(F(c.cx - kRingLabelOffset), y, "dB", kGridText, TextAnchor::End);
    }
}

// The points of a curve in the sweep's directions, from its level in each
// and whether the pattern is negative there.
struct CurvePoint {
    Point point;
    bool negative;
};

struct Level {
    double db;
    bool negative;
};

template <typename LevelAt>
std::vector<CurvePoint> Curve(const PlotCentre &c, std::int32_t range, LevelAt levelAt)
{
    std::vector<CurvePoint> points;
    points.reserve(Sweep().size());
    for (std::size_t i = 0; i < Sweep().size(); ++i) {
        const Level level = levelAt(i);
        points.push_back({At(c, Sweep()[i], DbRadius(level.db, range)), level.negative});
    }
    return points;
}

// The logarithm is most of a redraw's work: the levels of a pattern are worked
// out for the front half and mirrored, the pattern being the same on both
// sides of its axis.
std::vector<CurvePoint> PatternCurve(const PlotCentre &c, double a, double b, std::int32_t range)
{
    const double front = CheckFp(a + b);
    constexpr std::size_t kHalf = 180;
    std::array<Level, kHalf + 1> half;
    for (std::size_t i = 0; i <= kHalf; ++i) {
        const double m = CheckFp(a + CheckFp(b * Sweep()[i].sin));
        half[i] = {DbLevel(std::fabs(m), front), m < 0.0};
    }
    return Curve(c, range, [&](std::size_t i) { return half[i <= kHalf ? i : 2 * kHalf - i]; });
}

// The figure-8 component's level, 20 log10(b |cos theta| / (a + b)): the
// logarithm of |cos theta| in each direction once, that of b / (a + b) once
// a redraw.
std::vector<CurvePoint> Figure8Curve(const PlotCentre &c, double b, double front, std::int32_t range)
{
    static const std::vector<double> logCos = [] {
        std::vector<double> logs;
        for (const Direction &d : Sweep())
            logs.push_back(ExactLog(std::fabs(d.sin)));
        return logs;
    }();
    const double share = b == 0.0 ? 0.0 : ExactLog(CheckFp(b / front));
    return Curve(c, range, [&](std::size_t i) -> Level {
        if (b == 0.0 || std::isinf(logCos[i]))
            return {-std::numeric_limits<double>::infinity(), false};
        return {CheckFp(CheckFp(share + logCos[i]) * kDbFactor), false};
    });
}

void Solid(DrawingSurface &surface, const std::vector<CurvePoint> &points, Colour colour)
{
    surface.setPen(points.front().point.x, points.front().point.y);
    for (const CurvePoint &p : points)
        surface.lineTo(p.point.x, p.point.y, colour);
}

// The pattern: solid where it is positive, dotted where negative. Between a
// point of each sign the pattern passes a null, so the line goes through the
// centre.
void Polarised(DrawingSurface &surface, const PlotCentre &c, const std::vector<CurvePoint> &points)
{
    Dasher dots(surface, kBlack, kDotTwips, kDotGapTwips);
    Point pen = points.front().point;
    surface.setPen(pen.x, pen.y);
    bool penSet = true;
    auto draw = [&](bool negative, Point to) {
        if (negative) {
            dots.start(pen.x, pen.y);
            dots.to(to.x, to.y);
            penSet = false;
        } else {
            if (!penSet)
                surface.setPen(pen.x, pen.y);
            surface.lineTo(to.x, to.y, kBlack);
            penSet = true;
        }
        pen = to;
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        const bool was = points[i - 1].negative;
        if (points[i].negative != was)
            draw(was, {c.cx, c.cy});
        draw(points[i].negative, points[i].point);
    }
}

bool HasOppositeLobe(std::int32_t s1, std::int32_t s2)
{
    return Gain(s2) > Gain(s1);
}

void Legend(DrawingSurface &surface, std::int32_t s1, std::int32_t s2, std::string_view separator)
{
    const double frontGain = ProbeGain(ProbeDirection(0), s1, s2);
    const float x = F(kLegendLeft);
    const float y = F(kLegendTop);
    surface.text(x, y, Format(Tr("plot", kDbLegendFront),
                              {SpokenNumber(CheckFp(ExactLog(frontGain) * kDbFactor), separator)}),
                 kGridText, TextAnchor::Start);
    if (!HasOppositeLobe(s1, s2))
        return;
    const float row = F(kLegendTop + kLegendLine);
    Dasher dots(surface, kBlack, kDotTwips, kDotGapTwips);
    dots.start(x, row);
    dots.to(F(kLegendLeft + kLegendSample), row);
    surface.text(F(kLegendLeft + kLegendSample + kLegendLine / 2), row, Tr("plot", kOppositePolarity), kGridText,
                 TextAnchor::Start);
}

std::string SpokenDb(double level, std::string_view separator)
{
    return std::isinf(level) ? std::string(kDetailsMinusInfinity) : SpokenNumber(level, separator);
}

} // namespace

bool IsDbRange(std::int32_t range)
{
    return std::find(kDbRanges.begin(), kDbRanges.end(), range) != kDbRanges.end();
}

double DbRadius(double level, std::int32_t range)
{
    if (!(level >= -range)) // minus infinity too
        return 0.0;
    return CheckFp(kZeroDbRadius * CheckFp(1.0 + CheckFp(level / range)));
}

double DbLevel(double m, double front)
{
    if (m == 0.0) // a null: the logarithm is never taken of 0
        return -std::numeric_limits<double>::infinity();
    return CheckFp(ExactLog(CheckFp(m / front)) * kDbFactor);
}

void DatasheetGraph(DrawingSurface &surface, std::int32_t s1, std::int32_t s2, std::int32_t range,
                    std::string_view decimalSeparator, std::optional<KeptPattern> kept)
{
    // The grid depends on the range and the centre alone.
    const PlotCentre c = CentreOf(surface);
    const std::string backdrop = "datasheet " + IntegerText(range) + " " + NumberText(c.cx) + " " + NumberText(c.cy);
    if (!surface.restoreBackdrop(backdrop)) {
        surface.clear();
        Grid(surface, c, range);
        GridLabels(surface, c, range);
        surface.keepBackdrop(backdrop);
    }

    const double a = Gain(s1);
    const double b = Gain(s2);
    const double front = CheckFp(a + b);
    if (front > 0.0) {
        Solid(surface, Figure8Curve(c, b, front, range), kYellow);
        const Level omni{DbLevel(a, front), false};
        Solid(surface, Curve(c, range, [omni](std::size_t) { return omni; }), kWhite);
    }
    if (kept) {
        const double ka = Gain(kept->s1);
        const double kb = Gain(kept->s2);
        if (CheckFp(ka + kb) > 0.0) {
            const auto points = PatternCurve(c, ka, kb, range);
            Dasher dasher(surface, kDarkRed, kDashTwips, kGapTwips);
            dasher.start(points.front().point.x, points.front().point.y);
            for (const CurvePoint &p : points)
                dasher.to(p.point.x, p.point.y);
        }
    }
    if (front > 0.0) {
        Polarised(surface, c, PatternCurve(c, a, b, range));
        Legend(surface, s1, s2, decimalSeparator);
    }
}

std::string DatasheetDescription(std::int32_t s1, std::int32_t s2, std::int32_t range,
                                 std::string_view decimalSeparator)
{
    const double a = Gain(s1);
    const double b = Gain(s2);
    const double front = CheckFp(a + b);
    if (front == 0.0)
        return {};
    std::string text = Format(Tr("plot", kDatasheetDescription),
                              {IntegerText(range), SpokenDb(DbLevel(a, front), decimalSeparator),
                               SpokenDb(DbLevel(std::fabs(CheckFp(a - b)), front), decimalSeparator)});
    if (HasOppositeLobe(s1, s2))
        text.append(" ").append(Tr("plot", kOppositeDescription));
    return text;
}

std::string ViewAnnouncement(const ViewSettings &view)
{
    if (view.view == PlotView::Polar)
        return std::string(Tr("announcement", kLinearAnnouncement));
    return Format(Tr("announcement", kDatasheetAnnouncement), {IntegerText(view.rangeDb)});
}

} // namespace orvane
