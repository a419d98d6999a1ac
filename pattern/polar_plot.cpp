#include "pattern/polar_plot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "pattern/checked.h"
#include "pattern/dashed_line.h"
#include "pattern/exact_math.h"

namespace orvane {

namespace {

// One point of a sweep: the angle and its sine and cosine.
struct SweepPoint {
    double a;
    double sin;
    double cos;
};
using Sweep = std::vector<SweepPoint>;

// The loops count in double precision by adding one step at a time. The sum
// after 360 (or 180) steps falls short of the end by less than 2e-14 rad, so
// the last point is drawn too: 361 points a full turn, 181 a half turn.
Sweep MakeSweep(double from, double to)
{
    const double step = CheckFp(kFullTurn / 360.0);
    Sweep sweep;
    for (double a = from; a <= to; a = CheckFp(a + step))
        sweep.push_back({a, ExactSin(a), ExactCos(a)});
    return sweep;
}

// The angles depend on the constants alone, so their sines and cosines, which
// are most of the work of a redraw, are worked out once. The drawn points are
// the same as computing them afresh.
const Sweep &FullTurn()
{
    static const Sweep sweep = MakeSweep(0.0, kFullTurn);
    return sweep;
}

const Sweep &FrontHalf()
{
    static const Sweep sweep = MakeSweep(0.0, kHalfTurn);
    return sweep;
}

const Sweep &RearHalf()
{
    static const Sweep sweep = MakeSweep(kHalfTurn, kFullTurn);
    return sweep;
}

} // namespace

PlotCentre CentreOf(DrawingSurface &surface)
{
    const float W = surface.width();
    const float cx = CheckFp(static_cast<float>(CheckFp(static_cast<double>(W) / 2.0)));
    const float H = surface.height();
    const float cy = CheckFp(static_cast<float>(CheckFp(static_cast<double>(H) / 2.0 - 500.0)));
    return {cx, cy};
}

void GraphAxis(DrawingSurface &surface)
{
    const auto [cx, cy] = CentreOf(surface);
    const float W = surface.width();
    surface.line(0.0f, cy, W, cy, kCyan);
    const float H = surface.height();
    surface.line(cx, 0.0f, cx, H, kCyan);
}

namespace {

// The resulting pattern g(a) = r + r8 sin a, front half (below the centre) and
// rear half: `start` gets the point it starts from, `to` every point after. The
// rear half mirrors a negative g up and sideways, so the two halves draw |g| in
// every direction.
template <typename Start, typename To>
void TracePattern(double x0, double y0, float cy, double r, double r8, Start start, To to)
{
    auto f = [](double v) { return CheckFp(static_cast<float>(v)); };
    auto patternX = [&](double s, double c) {
        return CheckFp(CheckFp(r * c) + CheckFp(CheckFp(r8 * s) * c));
    };
    auto patternY = [&](double s) {
        return CheckFp(CheckFp(r * s) + CheckFp(CheckFp(r8 * s) * s));
    };
    for (const auto &[a, s, c] : FrontHalf()) {
        if (a == 0.0)
            start(f(x0 + r), cy);
        to(f(x0 + patternX(s, c)), f(y0 + patternY(s)));
    }
    for (const auto &[a, s, c] : RearHalf())
        to(f(x0 + patternX(s, c)), f(y0 - std::fabs(patternY(s))));
}

} // namespace

void Graph(DrawingSurface &surface, const std::int16_t &Radius, const std::int32_t &Radius8,
           Edition edition, const DrawingLengths *kept)
{
    surface.clear();
    if (HasProbe(edition))
        GraphAxis(surface);

    const auto [cx, cy] = CentreOf(surface);
    const double x0 = cx;
    const double y0 = cy;
    const double r = Radius;
    const double r8 = Radius8;

    auto to = [](double v) { return CheckFp(static_cast<float>(v)); };

    surface.setPen(cx, cy);

    // The figure-8: r8 |sin a|, one lobe above and one below the centre.
    for (const auto &[a, s, c] : FullTurn()) {
        const double x = CheckFp(CheckFp(r8 * s) * c);
        const double y = CheckFp(CheckFp(r8 * std::fabs(s)) * s);
        surface.lineTo(to(x0 - x), to(y0 - y), kYellow);
    }

    // The omni circle, from its rightmost point, downward first.
    for (const auto &[a, s, c] : FullTurn()) {
        if (a == 0.0)
            surface.setPen(to(x0 + r), cy);
        surface.lineTo(to(x0 + CheckFp(r * c)), to(y0 + CheckFp(r * s)), kWhite);
    }

    // The kept pattern under the current one, so that where both run together
    // the current one shows.
    if (kept) {
        Dasher dasher(surface, kKeptViolet, kDashTwips, kGapTwips);
        TracePattern(x0, y0, cy, kept->Radius, kept->Radius8,
                     [&](float x, float y) { dasher.start(x, y); },
                     [&](float x, float y) { dasher.to(x, y); });
    }

    TracePattern(x0, y0, cy, r, r8, [&](float x, float y) { surface.setPen(x, y); },
                 [&](float x, float y) { surface.lineTo(x, y, kBlack); });
}

} // namespace orvane
