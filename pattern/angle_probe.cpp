#include "pattern/angle_probe.h"

#include <array>
#include <cmath>
#include <cstring>

#include "pattern/checked.h"
#include "pattern/datasheet_plot.h"
#include "pattern/exact_math.h"
#include "pattern/number_text.h"
#include "pattern/plot_driver.h"
#include "pattern/translation.h"
#include "pattern/polar_plot.h"

namespace orvane {

namespace {

// A level slider's component gain: 1 at full level (0), 0 at the lowest setting.
double ComponentGain(std::int32_t position)
{
    return CheckFp(CheckedSub(100, position) / 100.0);
}

// The point of the pattern r = a + b sin(phi) in direction phi, for component
// gains a (omni) and b (figure-8). The readouts' last digits depend on this
// order of operations.
struct SinCos {
    double sin;
    double cos;
};

// Working out a sine and cosine exactly takes a few microseconds, and a run
// over every state of the sliders asks for each of the probe's 361 directions
// ten thousand times, so they are kept by direction.
SinCos SinCosOf(double phi)
{
    // A slot keeps its direction's bits inverted: an empty slot, all zeros,
    // stands for a NaN, which is no direction, and the empty table needs no
    // image in the page's WebAssembly (2.7 kB of the page after gzip).
    struct Kept {
        std::uint64_t inverted = 0;
        SinCos value{};
    };
    thread_local std::array<Kept, 1024> kept{};
    std::uint64_t bits;
    std::memcpy(&bits, &phi, sizeof bits);
    Kept &slot = kept[(bits * 0x9E3779B97F4A7C15u) >> 54];
    if (slot.inverted != ~bits)
        slot = {~bits, {ExactSin(phi), ExactCos(phi)}};
    return slot.value;
}

struct PatternPoint {
    double X;
    double Y;
};

PatternPoint PointAt(double phi, double a, double b)
{
    const auto [s, c] = SinCosOf(phi);
    const double bs = CheckFp(s * b);
    return {CheckFp(CheckFp(c * bs) + CheckFp(c * a)), CheckFp(CheckFp(s * bs) + CheckFp(s * a))};
}

double Magnitude(PatternPoint p)
{
    return CheckFp(std::sqrt(CheckFp(CheckFp(p.Y * p.Y) + CheckFp(p.X * p.X))));
}

} // namespace

double ProbeDirection(std::int32_t v)
{
    const std::int32_t n = CheckedMul(CheckedAdd(v, 90), 2);
    return CheckFp(CheckFp(n * kHalfTurn) / 360.0);
}

double ProbeGain(double phi, std::int32_t s1, std::int32_t s2)
{
    const double a = ComponentGain(s1);
    return Magnitude(PointAt(phi, a, ComponentGain(s2)));
}

std::string GainText(double gain, std::string_view decimalSeparator)
{
    if (gain == 0.0) // an exact null: the logarithm is never taken of 0
        //: The gain readout where the pattern is exactly zero: the probe picks up nothing
        return std::string(Tr("probe", "off"));
    return NumberText(CheckFp(ExactLog(gain) * kDbFactor), decimalSeparator);
}

double Slider3Scroll(PatternControls &controls, std::int16_t UnitTwips, Edition edition)
{
    PreGraph(controls, UnitTwips, edition);

    const auto [cx, cy] = CentreOf(controls.surface());
    controls.surface().setPen(cx, cy);

    const std::int32_t v = controls.sliderValue(SliderId::Slider3);
    const double phi = ProbeDirection(v);
    const auto [sinPhi, cosPhi] = SinCosOf(phi);
    const double dx = CheckFp(kProbeLength * cosPhi);
    const double dy = CheckFp(kProbeLength * sinPhi);
    const float x = CheckFp(static_cast<float>(cx + dx));
    const float y = CheckFp(static_cast<float>(cy + dy));
    // The datasheet view's labels stay readable: the line passes them by.
    if (const ViewSettings view = controls.plotView(); view.view == PlotView::Db)
        DatasheetProbeLine(controls.surface(), controls.sliderValue(SliderId::Slider1),
                           controls.sliderValue(SliderId::Slider2), controls.keptPattern(), view.rangeDb, x, y, kCyan);
    else
        controls.surface().lineTo(x, y, kCyan);

    const double a = ComponentGain(controls.sliderValue(SliderId::Slider1));
    const double b = ComponentGain(controls.sliderValue(SliderId::Slider2));
    const double gain = Magnitude(PointAt(phi, a, b));

    controls.setCaption(CaptionId::LblAngle, IntegerText(v));
    controls.setCaption(CaptionId::LblGain, GainText(gain, controls.decimalSeparator()));
    return gain;
}

} // namespace orvane
