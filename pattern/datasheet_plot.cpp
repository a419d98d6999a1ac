#include "pattern/datasheet_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
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

using Point = PlotPoint;

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

// A grid label: its text and where it stands, and the patch of the plot's
// background it stands on, in twips.
struct GridLabel {
    float x;
    float y;
    std::string text;
    TextAnchor anchor;
    double left, top, right, bottom;
};

// A label's width in the plot's face (Liberation Sans, or Arial, whose
// advances are the same) at kLabelPixels: the grid's characters at their
// advances, other Latin letters at a wide letter's, and any character of
// three or four bytes (Chinese, Japanese, Korean) at a whole em.
double LabelWidth(std::string_view text)
{
    double em = 0.0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if ((ch & 0xC0) == 0x80)
            continue; // a character's later bytes
        em += ch >= '0' && ch <= '9' ? 0.556
              : ch == '-' || ch == ' ' || ch == '.' || ch == ',' ? 0.333
              : ch >= 0xE0 ? 1.0
                           : 0.667;
    }
    return em * kLabelPixels * kTwipsPerLabelPixel;
}

GridLabel Placed(float x, float y, std::string text, TextAnchor anchor)
{
    const double width = LabelWidth(text);
    const double left = anchor == TextAnchor::Start ? x : anchor == TextAnchor::Middle ? x - width / 2 : x - width;
    const double half = kLabelPixels * kTwipsPerLabelPixel / 2.0;
    return {x, y, std::move(text), anchor, left - kLabelPad, y - half - kLabelPad, left + width + kLabelPad,
            y + half + kLabelPad};
}

// Where the curves of a state cross the spoke to the side, in twips from the
// centre: the pattern and the omni component at the omni share's level (the
// figure-8 has its null there), and the kept pattern at its own.
std::vector<double> SideCrossings(std::int32_t s1, std::int32_t s2, std::optional<KeptPattern> kept,
                                  std::int32_t range)
{
    std::vector<double> radii;
    auto add = [&](std::int32_t p1, std::int32_t p2) {
        const double front = CheckFp(Gain(p1) + Gain(p2));
        if (front > 0.0)
            radii.push_back(DbRadius(DbLevel(Gain(p1), front), range));
    };
    add(s1, s2);
    if (kept)
        add(kept->s1, kept->s2);
    return radii;
}

// The spokes' angles outside the 0 dB ring, and the rings' levels along the
// spoke to the side, just above it: at the side the pattern and the omni
// component run at one level and the figure-8 not at all, where the rear
// holds the rear lobe and both components. A level's label stands inside its
// ring, or just outside it where a curve crosses the side inside and none
// outside, and the next label leaves it room.
std::vector<GridLabel> GridLabels(const PlotCentre &c, std::int32_t range, const std::vector<double> &crossings)
{
    std::vector<GridLabel> labels;
    const auto &sweep = Sweep();
    for (std::int32_t v = 0; v < 360; v += kSpokeDegrees) {
        const Point p = At(c, sweep.at(static_cast<std::size_t>(v)), kSpokeLabelRadius);
        labels.push_back(Placed(p.x, p.y, IntegerText(v > 180 ? v - 360 : v), TextAnchor::Middle));
    }
    const float above = F(c.cy - kRingLabelRise);
    auto crossed = [&](const GridLabel &label) {
        return std::any_of(crossings.begin(), crossings.end(), [&](double r) {
            return c.cx + r >= label.left - kLabelPad && c.cx + r <= label.right + kLabelPad;
        });
    };
    // From the outer ring inward, so that each label knows where the one
    // outside it stands.
    double room = labels.at(static_cast<std::size_t>(270 / kSpokeDegrees)).left; // the side spoke's angle
    for (std::int32_t level = 0; level > -range; level -= kDbRingStep) {
        const double radius = DbRadius(level, range);
        GridLabel label = Placed(F(c.cx + radius - kRingLabelOffset), above, IntegerText(level), TextAnchor::End);
        if (crossed(label)) {
            GridLabel outside =
                Placed(F(c.cx + radius + kRingLabelOffset), above, IntegerText(level), TextAnchor::Start);
            if (!crossed(outside) && outside.right + kLabelGap < room)
                label = std::move(outside);
        }
        room = label.left;
        labels.push_back(std::move(label));
        if (level == 0)
            labels.push_back(Placed(F(c.cx + radius - kRingLabelOffset), F(c.cy + kRingLabelRise), "dB",
                                    TextAnchor::End));
    }
    return labels;
}

// The labels after every line of the plot, each on a patch of the
// background of its own, so that no curve runs through a text.
void DrawGridLabels(DrawingSurface &surface, const std::vector<GridLabel> &labels)
{
    for (const GridLabel &label : labels) {
        for (double row = label.top; row <= label.bottom; row += kTwipsPerLabelPixel)
            surface.line(F(label.left), F(row), F(label.right), F(row), kPlotBackground);
        surface.text(label.x, label.y, label.text, kGridText, label.anchor);
    }
}

// The points of a curve in the sweep's directions, from its level in each
// and whether the pattern is negative there (CurvePoint).

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

bool HasOppositeLobe(std::int32_t s1, std::int32_t s2)
{
    return Gain(s2) > Gain(s1);
}

// The legend in the bottom left corner: what the outer ring stands for, then
// each line the plot draws, a piece of it beside its name.
enum class Sample { Solid, Dotted, Dashed };
struct LegendRow {
    std::string text;
    Colour colour;
    Sample sample;
    float y;
};

std::vector<LegendRow> LegendRows(const PlotCentre &c, std::int32_t s1, std::int32_t s2, std::string_view separator,
                                  bool kept)
{
    std::vector<LegendRow> rows;
    if (CheckFp(Gain(s1) + Gain(s2)) == 0.0)
        return rows;
    const double frontGain = ProbeGain(ProbeDirection(0), s1, s2);
    rows.push_back({Format(Tr("plot", kDbLegendFront), {SpokenNumber(CheckFp(ExactLog(frontGain) * kDbFactor), separator)}),
                    kGridText, Sample::Solid, F(c.cy + kLegendBelowCentre)});
    auto row = [&](const char *name, Colour colour, Sample sample) {
        rows.push_back({std::string(Tr("plot", name)), colour, sample,
                        F(c.cy + kLegendBelowCentre + kLegendLine * static_cast<double>(rows.size()))});
    };
    row(kLegendPattern, kBlack, Sample::Solid);
    if (HasOppositeLobe(s1, s2))
        row(kOppositePolarity, kBlack, Sample::Dotted);
    if (kept)
        row(kLegendKept, kKeptViolet, Sample::Dashed);
    if (Gain(s1) > 0.0)
        row(kLegendOmni, kWhite, Sample::Solid);
    if (Gain(s2) > 0.0)
        row(kLegendFigure8, kYellow, Sample::Solid);
    return rows;
}

// Where the legend's texts stand: the first at the left edge, the names after their samples.
GridLabel LegendLabel(const LegendRow &row, bool first)
{
    const double x = first ? kLegendLeft : kLegendLeft + kLegendSample + kLegendLine / 2;
    return Placed(F(x), row.y, row.text, TextAnchor::Start);
}

void Legend(DrawingSurface &surface, const std::vector<LegendRow> &rows)
{
    const float x = F(kLegendLeft);
    const float sampleEnd = F(kLegendLeft + kLegendSample);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const LegendRow &row = rows[i];
        if (i > 0) {
            if (row.sample == Sample::Solid) {
                surface.line(x, row.y, sampleEnd, row.y, row.colour);
            } else {
                Dasher dasher(surface, row.colour, row.sample == Sample::Dotted ? kDotTwips : kDashTwips,
                              row.sample == Sample::Dotted ? kDotGapTwips : kGapTwips);
                dasher.start(x, row.y);
                dasher.to(sampleEnd, row.y);
            }
        }
        const GridLabel label = LegendLabel(row, i == 0);
        surface.text(label.x, label.y, label.text, kGridText, TextAnchor::Start);
    }
}

std::string SpokenDb(double level, std::string_view separator)
{
    return std::isinf(level) ? std::string(kDetailsMinusInfinity) : SpokenNumber(level, separator);
}

} // namespace

void PolarisedCurve(DrawingSurface &surface, const PlotCentre &c, const std::vector<CurvePoint> &points, Colour colour,
                    bool dashed)
{
    Dasher dashes(surface, colour, kDashTwips, kGapTwips);
    Dasher dots(surface, colour, kDotTwips, kDotGapTwips);
    Point pen = points.front().point;
    bool penSet = false;
    auto draw = [&](bool negative, Point to) {
        if (negative || dashed) {
            Dasher &d = negative ? dots : dashes;
            d.start(pen.x, pen.y);
            d.to(to.x, to.y);
            penSet = false;
        } else {
            if (!penSet)
                surface.setPen(pen.x, pen.y);
            surface.lineTo(to.x, to.y, colour);
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

void DatasheetGridLines(DrawingSurface &surface, std::int32_t range)
{
    Grid(surface, CentreOf(surface), range);
}

void DatasheetGridLabels(DrawingSurface &surface, std::int32_t range, const std::vector<double> &sideCrossings)
{
    DrawGridLabels(surface, GridLabels(CentreOf(surface), range, sideCrossings));
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
            Dasher dasher(surface, kKeptViolet, kDashTwips, kGapTwips);
            dasher.start(points.front().point.x, points.front().point.y);
            for (const CurvePoint &p : points)
                dasher.to(p.point.x, p.point.y);
        }
    }
    if (front > 0.0)
        PolarisedCurve(surface, c, PatternCurve(c, a, b, range), kBlack);
    DrawGridLabels(surface, GridLabels(c, range, SideCrossings(s1, s2, kept, range)));
    Legend(surface, LegendRows(c, s1, s2, decimalSeparator, kept.has_value()));
}

void DatasheetProbeLine(DrawingSurface &surface, std::int32_t s1, std::int32_t s2, std::optional<KeptPattern> kept,
                        std::int32_t range, float x, float y, Colour colour)
{
    // The parts of the line from the centre that run through a label's patch,
    // as fractions of its length (the slab test of a segment and a box).
    const PlotCentre c = CentreOf(surface);
    const double dx = static_cast<double>(x) - c.cx;
    const double dy = static_cast<double>(y) - c.cy;
    std::vector<std::pair<double, double>> hidden;
    std::vector<GridLabel> labels = GridLabels(c, range, SideCrossings(s1, s2, kept, range));
    const std::vector<LegendRow> legend = LegendRows(c, s1, s2, ".", kept.has_value());
    for (std::size_t i = 0; i < legend.size(); ++i)
        labels.push_back(LegendLabel(legend[i], i == 0));
    for (const GridLabel &label : labels) {
        double enter = 0.0;
        double leave = 1.0;
        auto slab = [&](double from, double delta, double low, double high) {
            if (delta == 0.0) {
                if (from < low || from > high)
                    leave = -1.0;
                return;
            }
            double t0 = (low - from) / delta;
            double t1 = (high - from) / delta;
            if (t0 > t1)
                std::swap(t0, t1);
            enter = std::max(enter, t0);
            leave = std::min(leave, t1);
        };
        slab(c.cx, dx, label.left, label.right);
        slab(c.cy, dy, label.top, label.bottom);
        if (enter < leave)
            hidden.emplace_back(enter, leave);
    }
    auto at = [&](double t, double d, float from) { return F(from + CheckFp(d * t)); };
    // The parts in the order the line meets them: the nearest not yet passed
    // each time (a few at most; no sort is worth its code on the page).
    double shown = 0.0;
    for (std::size_t left = hidden.size(); left > 0; --left) {
        auto next = hidden.begin();
        for (auto it = hidden.begin(); it != hidden.end(); ++it)
            if (it->first < next->first)
                next = it;
        if (next->first > shown)
            surface.line(at(shown, dx, c.cx), at(shown, dy, c.cy), at(next->first, dx, c.cx),
                         at(next->first, dy, c.cy), colour);
        shown = std::max(shown, next->second);
        next->first = std::numeric_limits<double>::infinity();
    }
    if (shown == 0.0)
        surface.lineTo(x, y, colour); // nothing in the way: the one line, as in the linear view
    else if (shown < 1.0)
        surface.line(at(shown, dx, c.cx), at(shown, dy, c.cy), x, y, colour);
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
