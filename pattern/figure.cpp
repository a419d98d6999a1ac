#include "pattern/figure.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "pattern/angle_probe.h"
#include "pattern/controls.h"
#include "pattern/layout.h"
#include "pattern/number_text.h"
#include "pattern/pair_plot.h"
#include "pattern/pattern_description.h"
#include "pattern/plot_driver.h"

namespace orvane {

void FigureDrawing::replay(DrawingSurface &target) const
{
    target.clear();
    auto label = labels_.begin();
    for (std::size_t i = 0; i <= segments_.size(); ++i) {
        for (; label != labels_.end() && label->before == i; ++label)
            target.text(label->x, label->y, label->text, label->colour, label->anchor);
        if (i < segments_.size())
            target.line(segments_[i].x1, segments_[i].y1, segments_[i].x2, segments_[i].y2, segments_[i].colour);
    }
}

void FigureDrawing::clear()
{
    segments_.clear();
    labels_.clear();
}

float FigureDrawing::width()
{
    return geometry_.outerWidthTwips;
}

float FigureDrawing::height()
{
    return geometry_.outerHeightTwips;
}

void FigureDrawing::setPen(float x, float y)
{
    penX_ = x;
    penY_ = y;
}

void FigureDrawing::lineTo(float x, float y, Colour colour)
{
    line(penX_, penY_, x, y, colour);
}

void FigureDrawing::line(float x1, float y1, float x2, float y2, Colour colour)
{
    segments_.push_back({x1, y1, x2, y2, colour});
    penX_ = x2;
    penY_ = y2;
}

void FigureDrawing::text(float x, float y, std::string_view text, Colour colour, TextAnchor anchor)
{
    labels_.push_back({x, y, std::string(text), colour, anchor, segments_.size()});
}

namespace {

// The controls of a state: the sliders stand where the state puts them, the
// readouts are kept, and the plot is the drawing.
class StateControls : public PatternControls {
public:
    StateControls(const PatternState &state, std::optional<KeptPattern> kept, DrawingSurface &surface,
                  std::string_view separator)
        : sliders_{state.omni, state.fig8, state.angle.value_or(0)}, kept_(kept), view_(state.view),
          surface_(surface), separator_(separator)
    {
    }

    std::int32_t sliderValue(SliderId slider) override
    {
        return sliders_.at(static_cast<std::size_t>(slider));
    }
    void setCaption(CaptionId caption, const std::string &text) override
    {
        captions_.at(static_cast<std::size_t>(caption)) = text;
    }
    DrawingSurface &surface() override { return surface_; }
    std::string decimalSeparator() override { return separator_; }
    std::optional<KeptPattern> keptPattern() override { return kept_; }
    ViewSettings plotView() override { return view_; }

    const std::string &caption(CaptionId id) const { return captions_.at(static_cast<std::size_t>(id)); }

private:
    std::array<std::int32_t, 3> sliders_;
    std::optional<KeptPattern> kept_;
    ViewSettings view_;
    std::array<std::string, 4> captions_;
    DrawingSurface &surface_;
    std::string separator_;
};

// A length in logical pixels with at most two decimals, in C's format
// whatever the locale: the figure's text must read the same everywhere.
std::string Coordinate(double pixels)
{
    const long hundredths = std::lround(pixels * 100.0);
    std::string text = hundredths < 0 ? "-" : "";
    const long whole = std::labs(hundredths);
    text += IntegerText(static_cast<std::int32_t>(whole / 100));
    if (const long rest = whole % 100; rest != 0) {
        text += '.';
        text += static_cast<char>('0' + rest / 10);
        if (rest % 10 != 0)
            text += static_cast<char>('0' + rest % 10);
    }
    return text;
}

// Text as SVG character data: markup characters escaped, control characters dropped.
std::string Escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
                out += c;
        }
    }
    return out;
}

} // namespace

std::string HexColour(Colour colour)
{
    constexpr const char *kDigits = "0123456789abcdef";
    std::string text = "#";
    for (const int shift : {0, 8, 16}) { // red, green, blue
        text += kDigits[(colour >> (shift + 4)) & 0xF];
        text += kDigits[(colour >> shift) & 0xF];
    }
    return text;
}

FigureReadouts DrawState(FigureDrawing &drawing, const PatternState &state, Edition edition,
                         std::string_view decimalSeparator, std::optional<KeptPattern> kept)
{
    StateControls controls(state, kept, drawing, decimalSeparator);
    std::int16_t unitTwips = 0;
    LoadReadouts(controls, unitTwips);
    PreGraph(controls, unitTwips, edition);
    FigureReadouts readouts;
    if (state.angle && HasProbe(edition)) {
        Slider3Scroll(controls, unitTwips, edition);
        readouts.angle = controls.caption(CaptionId::LblAngle);
        readouts.gain = controls.caption(CaptionId::LblGain);
    }
    readouts.omni = controls.caption(CaptionId::dbomni);
    readouts.fig8 = controls.caption(CaptionId::dbfig8);
    return readouts;
}

std::string FigureCaption(const FigureReadouts &readouts, std::string_view patternName)
{
    std::string caption = patternName.empty() ? Format(Tr("figure", kCaptionLevels), {readouts.omni, readouts.fig8})
                                              : std::string(patternName);
    if (readouts.angle) {
        // The gain readout says "off" in the current language.
        const std::string angle = *readouts.angle + kDegreeSign;
        caption = readouts.gain == Tr("probe", "off")
                      ? Format(Tr("figure", kCaptionProbeNull), {caption, angle})
                      : Format(Tr("figure", kCaptionProbe), {caption, angle, readouts.gain});
    }
    return caption;
}

std::string KeptCaption(std::string_view caption, std::string_view keptName, KeptPattern kept,
                        std::string_view decimalSeparator)
{
    const std::string name = keptName.empty() ? Format(Tr("figure", kCaptionLevels),
                                                       {ReadoutText(kept.s1, decimalSeparator),
                                                        ReadoutText(kept.s2, decimalSeparator)})
                                              : std::string(keptName);
    return Format(Tr("figure", kCaptionKept), {caption, name});
}

std::optional<FigureFormat> FormatOfPath(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    std::string suffix;
    for (const char c : path.substr(dot + 1))
        suffix += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (suffix == "png")
        return FigureFormat::Png;
    if (suffix == "svg")
        return FigureFormat::Svg;
    if (suffix == "pdf")
        return FigureFormat::Pdf;
    return std::nullopt;
}

std::vector<FigureLine> FigureLines(const FigureDrawing &drawing)
{
    auto point = [](float x, float y) -> std::array<double, 2> {
        return {x / 15.0 + kLineCentre, y / 15.0 + kLineCentre};
    };
    std::vector<FigureLine> lines;
    const auto &segments = drawing.segments();
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const FigureDrawing::Segment &s = segments[i];
        const bool joined = i > 0 && s.colour == segments[i - 1].colour && s.x1 == segments[i - 1].x2 &&
                            s.y1 == segments[i - 1].y2;
        // A label between two segments parts the line, so that it is written
        // between them.
        const bool labelBetween = std::any_of(drawing.labels().begin(), drawing.labels().end(),
                                              [i](const FigureDrawing::Label &l) { return l.before == i; });
        if (!joined || labelBetween)
            lines.push_back({s.colour, {point(s.x1, s.y1)}, i});
        lines.back().points.push_back(point(s.x2, s.y2));
    }
    return lines;
}

std::array<double, 2> LabelPoint(const FigureDrawing::Label &label)
{
    return {label.x / 15.0, label.y / 15.0};
}

std::string SvgFigure(const FigureDrawing &drawing, std::string_view caption, int scale)
{
    return SvgFigure(std::vector<const FigureDrawing *>{&drawing}, caption, scale);
}

std::string SvgFigure(const std::vector<const FigureDrawing *> &drawings, std::string_view caption, int scale)
{
    int width = 0;
    int plotsHeight = 0;
    for (const FigureDrawing *drawing : drawings) {
        width = std::max(width, drawing->geometry().innerWidth);
        plotsHeight += drawing->geometry().innerHeight;
    }
    const std::string w = IntegerText(width);
    const std::string title = Escaped(caption);
    std::string svg;
    // One append of many pieces at a time: the page carries this code, and
    // chains of string additions would make it several times larger.
    auto add = [&svg](std::initializer_list<std::string_view> pieces) {
        for (const std::string_view piece : pieces)
            svg.append(piece);
    };
    add({"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"",
         IntegerText(width * scale), "\" height=\"", IntegerText((plotsHeight + kCaptionBand) * scale),
         "\" viewBox=\"0 0 ", w, " ", IntegerText(plotsHeight + kCaptionBand), "\">\n<title>", title,
         "</title>\n<defs>"});
    // The first drawing's clip is "plot", the next ones' "plot2", "plot3", ...
    auto clipId = [](std::size_t i) { return i == 0 ? std::string("plot") : "plot" + IntegerText(static_cast<std::int32_t>(i + 1)); };
    for (std::size_t i = 0; i < drawings.size(); ++i)
        add({"<clipPath id=\"", clipId(i), "\"><rect width=\"", IntegerText(drawings[i]->geometry().innerWidth),
             "\" height=\"", IntegerText(drawings[i]->geometry().innerHeight), "\"/></clipPath>"});
    add({"</defs>\n"});
    int top = 0;
    for (std::size_t i = 0; i < drawings.size(); ++i) {
        const FigureDrawing &drawing = *drawings[i];
        const PlotGeometry &g = drawing.geometry();
        const std::string shift = top ? " transform=\"translate(0 " + IntegerText(top) + ")\"" : std::string();
        if (i == 0)
            add({"<rect width=\"", IntegerText(g.innerWidth), "\" height=\"", IntegerText(g.innerHeight), "\" fill=\"",
                 HexColour(g.background), "\"/>\n<rect y=\"", IntegerText(plotsHeight), "\" width=\"", w,
                 "\" height=\"", IntegerText(kCaptionBand), "\" fill=\"", HexColour(kCaptionBackground), "\"/>\n"});
        else
            add({"<rect y=\"", IntegerText(top), "\" width=\"", IntegerText(g.innerWidth), "\" height=\"",
                 IntegerText(g.innerHeight), "\" fill=\"", HexColour(g.background), "\"/>\n"});
        add({"<g", shift, " clip-path=\"url(#", clipId(i),
             ")\" fill=\"none\" stroke-width=\"1\" stroke-linecap=\"square\" stroke-linejoin=\"round\">\n"});
        auto label = drawing.labels().begin();
        auto labelsBefore = [&](std::size_t segment) {
            for (; label != drawing.labels().end() && label->before <= segment; ++label) {
                constexpr const char *kAnchors[] = {"start", "middle", "end"};
                const auto [x, y] = LabelPoint(*label);
                add({"<text x=\"", Coordinate(x), "\" y=\"", Coordinate(y), "\" text-anchor=\"",
                     kAnchors[static_cast<int>(label->anchor)], "\" dominant-baseline=\"central\" font-family=\"",
                     kCaptionFamilies, "\" font-size=\"", IntegerText(kLabelPixels), "\" fill=\"",
                     HexColour(label->colour), "\" stroke=\"none\">", Escaped(label->text), "</text>\n"});
            }
        };
        for (const FigureLine &line : FigureLines(drawing)) {
            labelsBefore(line.first);
            add({"<polyline stroke=\"", HexColour(line.colour), "\" points=\""});
            for (std::size_t p = 0; p < line.points.size(); ++p)
                add({p ? " " : "", Coordinate(line.points[p][0]), ",", Coordinate(line.points[p][1])});
            add({"\"/>\n"});
        }
        labelsBefore(drawing.segments().size());
        add({"</g>\n"});
        top += g.innerHeight;
    }
    add({"<text x=\"", Coordinate(width / 2.0), "\" y=\"", Coordinate(plotsHeight + kCaptionBand / 2.0),
         "\" text-anchor=\"middle\" dominant-baseline=\"central\" font-family=\"", kCaptionFamilies,
         "\" font-size=\"", IntegerText(kCaptionPixels), "\" fill=\"", HexColour(kCaptionInk), "\">", title,
         "</text>\n</svg>\n"});
    return svg;
}

namespace {

PlotGeometry GeometryOf(float widthTwips, float heightTwips)
{
    return {widthTwips, heightTwips, static_cast<int>(widthTwips) / kTwipsPerPixel - 2 * kSurfaceBorder,
            static_cast<int>(heightTwips) / kTwipsPerPixel - 2 * kSurfaceBorder, kSurfaceBackground};
}

} // namespace

PlotGeometry PairPlotGeometry()
{
    return GeometryOf(kPairPlotWidthTwips, kPairPlotHeightTwips);
}

PlotGeometry CurveGeometry()
{
    return GeometryOf(kCurveWidthTwips, kCurveHeightTwips);
}

std::string DrawPairState(FigureDrawing &plot, FigureDrawing &curve, const PatternState &state, Edition edition,
                          std::string_view decimalSeparator)
{
    const StereoPair pair = state.pair.value_or(StereoPair{});
    const std::optional<std::int32_t> source = HasProbe(edition) ? state.angle : std::nullopt;
    PairGraph(plot, state.omni, state.fig8, pair, state.view, edition, source);
    LocalisationCurve(curve, state.omni, state.fig8, pair, source, decimalSeparator);
    std::string pattern = PatternName(state.omni, state.fig8, decimalSeparator);
    if (pattern.empty())
        pattern = Format(Tr("figure", kCaptionLevels),
                         {ReadoutText(state.omni, decimalSeparator), ReadoutText(state.fig8, decimalSeparator)});
    std::string caption =
        pair.technique == PairTechnique::XY
            ? Format(Tr("figure", kCaptionPairXy), {IntegerText(pair.angle) + kDegreeSign, pattern})
            : Format(Tr("figure", kCaptionPairMs), {ReadoutText(pair.side, decimalSeparator), pattern});
    if (source)
        caption = Format(Tr("figure", kCaptionPairSource), {caption, IntegerText(*source) + kDegreeSign});
    return caption;
}

} // namespace orvane
