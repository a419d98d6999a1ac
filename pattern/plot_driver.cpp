#include "pattern/plot_driver.h"

#include "pattern/checked.h"
#include "pattern/datasheet_plot.h"
#include "pattern/exact_math.h"
#include "pattern/number_text.h"
#include "pattern/polar_plot.h"

namespace orvane {

double ReadoutLevel(std::int32_t position)
{
    const std::int32_t d = CheckedSub(101, position);
    const double x = CheckFp(d / 101.0);
    const double L = ExactLog(x);
    return CheckFp(L * kDbFactor);
}

std::string ReadoutText(std::int32_t position, std::string_view decimalSeparator)
{
    return NumberText(ReadoutLevel(position), decimalSeparator);
}

DrawingLengths LengthsFor(std::int32_t p1, std::int32_t p2, std::int16_t UnitTwips)
{
    const std::int32_t Radius8 = CheckedMul(CheckedSub(100, p2), UnitTwips);
    const std::int16_t Radius = Narrow16(CheckedMul(CheckedSub(100, p1), UnitTwips));
    return {Radius, Radius8};
}

namespace {

void WriteReadout(PatternControls &controls, SliderId slider, CaptionId caption)
{
    const std::int32_t position = controls.sliderValue(slider);
    controls.setCaption(caption, ReadoutText(position, controls.decimalSeparator()));
}

} // namespace

void LoadReadouts(PatternControls &controls, std::int16_t &UnitTwips)
{
    UnitTwips = kUnitTwipsAtLoad;
    WriteReadout(controls, SliderId::Slider1, CaptionId::dbomni);
    WriteReadout(controls, SliderId::Slider2, CaptionId::dbfig8);
}

void PreGraph(PatternControls &controls, std::int16_t UnitTwips, Edition edition)
{
    WriteReadout(controls, SliderId::Slider1, CaptionId::dbomni);
    WriteReadout(controls, SliderId::Slider2, CaptionId::dbfig8);

    // The lengths come from fresh reads of both sliders, not from the readouts'.
    const std::int32_t p1 = controls.sliderValue(SliderId::Slider1);
    const std::int32_t p2 = controls.sliderValue(SliderId::Slider2);
    const DrawingLengths lengths = LengthsFor(p1, p2, UnitTwips);
    const std::optional<KeptPattern> kept = controls.keptPattern();
    if (const ViewSettings view = controls.plotView(); view.view == PlotView::Db) {
        DatasheetGraph(controls.surface(), p1, p2, view.rangeDb, controls.decimalSeparator(), kept);
        return;
    }
    if (!kept) {
        Graph(controls.surface(), lengths.Radius, lengths.Radius8, edition);
        return;
    }
    const DrawingLengths keptLengths = LengthsFor(kept->s1, kept->s2, UnitTwips);
    Graph(controls.surface(), lengths.Radius, lengths.Radius8, edition, &keptLengths);
}

} // namespace orvane
