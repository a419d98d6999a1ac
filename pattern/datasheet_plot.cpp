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

// The points of a curve whose magnitude in each direction `magnitude` gives,
// with whether the pattern is negative there.
struct CurvePoint {
    Point point;
    bool negative;
};

template <typename Magnitude>
std::vector<CurvePoint> Curve(const PlotCentre &c, double front, std::int32_t range, Magnitude magnitude)
{
    std::vector<CurvePoint> points;
    points.reserve(Sweep().size());
    for (const Direction &d : Sweep()) {
        const double m = magnitude(d);
        points.push_back({At(c, d, DbRadius(DbLevel(std::fabs(m), front), range)), m < 0.0});
    }
    return points;
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
    surface.clear();
    const PlotCentre c = CentreOf(surface);
    Grid(surface, c, range);
    GridLabels(surface, c, range);

    const double a = Gain(s1);
    const double b = Gain(s2);
    const double front = CheckFp(a + b);
    if (front > 0.0) {
        Solid(surface, Curve(c, front, range, [b](const Direction &d) { return CheckFp(b * d.sin); }), kYellow);
        Solid(surface, Curve(c, front, range, [a](const Direction &) { return a; }), kWhite);
    }
    if (kept) {
        const double ka = Gain(kept->s1);
        const double kb = Gain(kept->s2);
        if (const double keptFront = CheckFp(ka + kb); keptFront > 0.0) {
            const auto points = Curve(c, keptFront, range,
                                      [ka, kb](const Direction &d) { return CheckFp(ka + CheckFp(kb * d.sin)); });
            Dasher dasher(surface, kDarkRed, kDashTwips, kGapTwips);
            dasher.start(points.front().point.x, points.front().point.y);
            for (const CurvePoint &p : points)
                dasher.to(p.point.x, p.point.y);
        }
    }
    if (front > 0.0) {
        Polarised(surface, c,
                  Curve(c, front, range, [a, b](const Direction &d) { return CheckFp(a + CheckFp(b * d.sin)); }));
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

std::string ViewAnnouncement(const PlotView &view)
{
    if (view.scale == PlotScale::Linear)
        return std::string(Tr("announcement", kLinearAnnouncement));
    return Format(Tr("announcement", kDatasheetAnnouncement), {IntegerText(view.range)});
}

} // namespace orvane
