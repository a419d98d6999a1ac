// The web page's side of the program: the same handlers as the desktop window,
// over the page's controls, drawing into the canvas's pixels. The page (page.js)
// calls the exported functions below on the user's actions and answers the
// EM_JS calls from its own controls.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pattern/actions.h"
#include "pattern/angle_probe.h"
#include "pattern/behaviour.h"
#include "pattern/checked.h"
#include "pattern/controls.h"
#include "pattern/figure.h"
#include "pattern/number_text.h"
#include "pattern/pattern_description.h"
#include "pattern/pattern_details.h"
#include "pattern/pattern_sound.h"
#include "pattern/plot_driver.h"
#include "pattern/polar_plot.h"
#include "pattern/raster.h"
#include "pattern/state_text.h"
#include "pattern/translation.h"
#include "web/page_layout.h"
#include "window/layout.h"
#include "window/presets.h"

// What the page answers. A missing control answers kMissing (sliders) or 0.
EM_JS(int, PageSliderValue, (int slider), { return Module.page.sliderValue(slider); });
EM_JS(int, PageSetSlider, (int slider, int value), { return Module.page.setSlider(slider, value); });
EM_JS(int, PageSetCaption, (int caption, const char *text),
      { return Module.page.setCaption(caption, UTF8ToString(text)); });
EM_JS(void, PageDescribePlot, (const char *text), { Module.page.describePlot(UTF8ToString(text)); });
EM_JS(void, PageShowError, (const char *text), { Module.page.showError(UTF8ToString(text)); });

namespace orvane {

namespace {

constexpr int kMissing = INT32_MIN;

// The plot's surface on the page: the rasteriser over the canvas's pixels,
// keeping what was drawn since the last clear, in twips. When the canvas takes
// another size or pixel ratio, the same picture is drawn again at the new
// scale: a probe line stays, a plot that was never drawn stays blank, and no
// handler runs again.
//
// On a large canvas (a phone's or a tablet's at two or three device pixels a
// point, a projector's) a clear that fills every pixel costs more than the
// whole plot: there the lines drawn since the last clear are drawn again in
// the background colour, which leaves the same pixels.
class RecordedSurface : public DrawingSurface {
public:
    void attach(std::uint32_t *pixels, int width, int height, double ratio)
    {
        raster_.attach(pixels, width, height, width, ratio);
        ratio_ = ratio;
        const SurfaceGeometry window = SurfaceGeometryOf();
        // Above twice the window's plot, a clear draws over the lines.
        overdraw_ = static_cast<long>(width) * height > 2L * window.innerWidth * window.innerHeight;
        known_ = false; // the new pixels are not yet the picture
    }

    void clear() override
    {
        if (known_ && overdraw_) {
            raster_.setPen(startX_, startY_);
            Replay(true);
            raster_.setPen(penX_, penY_);
        } else {
            raster_.clear();
        }
        known_ = true;
        drawn_.clear();
        labels_.clear();
        startX_ = penX_;
        startY_ = penY_;
    }
    float width() override { return raster_.width(); }
    float height() override { return raster_.height(); }
    void setPen(float x, float y) override
    {
        raster_.setPen(x, y);
        Record({Step::Pen, x, y, 0, 0, 0}, x, y);
    }
    void lineTo(float x, float y, Colour colour) override
    {
        raster_.lineTo(x, y, colour);
        Record({Step::LineTo, x, y, 0, 0, colour}, x, y);
    }
    void line(float x1, float y1, float x2, float y2, Colour colour) override
    {
        raster_.line(x1, y1, x2, y2, colour);
        Record({Step::Line, x1, y1, x2, y2, colour}, x2, y2);
    }
    // The rasteriser has no fonts: the page writes these over the canvas.
    void text(float x, float y, std::string_view text, Colour colour, TextAnchor anchor) override
    {
        labels_.push_back({x, y, std::string(text), colour, anchor, drawn_.size()});
    }
    const std::vector<FigureDrawing::Label> &labels() const { return labels_; }
    double ratio() const { return ratio_; }

    RasterSurface &raster() { return raster_; }

    // Draws everything again on the raster as it is now attached.
    void redraw()
    {
        raster_.clear();
        raster_.setPen(startX_, startY_);
        Replay(false);
        known_ = true;
    }

private:
    struct Step {
        enum Kind : std::uint8_t { Pen, LineTo, Line } kind;
        float x1, y1, x2, y2;
        Colour colour;
    };
    void Record(const Step &step, float x, float y)
    {
        drawn_.push_back(step);
        penX_ = x;
        penY_ = y;
    }

    void Replay(bool erase)
    {
        for (const Step &step : drawn_) {
            const Colour colour = erase ? kSurfaceBackground : step.colour;
            switch (step.kind) {
            case Step::Pen: raster_.setPen(step.x1, step.y1); break;
            case Step::LineTo: raster_.lineTo(step.x1, step.y1, colour); break;
            case Step::Line: raster_.line(step.x1, step.y1, step.x2, step.y2, colour); break;
            }
        }
    }

    RasterSurface raster_{PixelFormat::Rgba8, kSurfaceBackground};
    std::vector<Step> drawn_;
    std::vector<FigureDrawing::Label> labels_;
    double ratio_ = 1.0;
    bool known_ = false;    // the pixels are the background and drawn_, nothing else
    bool overdraw_ = false; // a clear draws over the lines rather than filling
    float penX_ = 0;        // the pen, as the raster has it
    float penY_ = 0;
    float startX_ = 0;      // the pen when the surface was last cleared
    float startY_ = 0;
};

// The page's controls as the behaviour uses them.
class PageControls : public FaceControls {
public:
    std::int32_t sliderValue(SliderId slider) override
    {
        const int value = PageSliderValue(static_cast<int>(slider));
        if (value == kMissing)
            throw ControlError(std::string("Control not found: ") + NameOf(slider));
        return value;
    }

    void setSliderValue(SliderId slider, std::int32_t value) override
    {
        if (!PageSetSlider(static_cast<int>(slider), value))
            throw ControlError(std::string("Invalid property value for ") + NameOf(slider));
    }

    void setCaption(CaptionId caption, const std::string &text) override
    {
        if (!PageSetCaption(static_cast<int>(caption), text.c_str()))
            throw ControlError(std::string("Control not found: ") + NameOf(caption));
    }

    DrawingSurface &surface() override { return surface_; }
    std::string decimalSeparator() override { return separator_; }

    RecordedSurface &recorded() { return surface_; }
    void setDecimalSeparator(std::string separator) { separator_ = std::move(separator); }

private:
    RecordedSurface surface_;
    std::string separator_ = ".";
};

// The running page: one per document, like the desktop's one window.
struct Page {
    explicit Page(Edition edition) : behaviour(edition, controls) {}
    PageControls controls;
    Behaviour behaviour;
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
};

std::unique_ptr<Page> page;

// Shows what a handler yielded: the plot's description, and an error in the
// page's error box. Returns whether the handler ran to its end.
bool Show(const Outcome &outcome)
{
    if (!outcome.description.empty())
        PageDescribePlot(outcome.description.c_str());
    if (!outcome.error.empty())
        PageShowError(outcome.error.c_str());
    return outcome.done;
}

bool Dispatch(std::string_view source, const std::function<void()> &handler, const char *errorFormat = nullptr)
{
    return Show(page->behaviour.Dispatch(source, handler, errorFormat));
}

// The largest scale the canvas is drawn at: a plot some 9,000 pixels across.
constexpr double kMaxRatio = 16.0;

// Gives the surface pixels for the plot's inside at `ratio`, rounded up to
// whole multiples of `multiple` pixels each way.
void Attach(double ratio, int multiple = 1)
{
    const SurfaceGeometry geometry = SurfaceGeometryOf();
    auto size = [multiple](double pixels) {
        const int whole = static_cast<int>(pixels + 0.5);
        return (whole + multiple - 1) / multiple * multiple;
    };
    page->width = size(geometry.innerWidth * ratio);
    page->height = size(geometry.innerHeight * ratio);
    page->pixels.assign(static_cast<std::size_t>(page->width) * static_cast<std::size_t>(page->height), 0);
    page->controls.recorded().attach(page->pixels.data(), page->width, page->height, ratio);
}

// The figure of the state shown, drawn afresh by the same handlers.
struct Figured {
    std::unique_ptr<FigureDrawing> drawing;
    std::string caption;
};

Figured PageFigure()
{
    const SurfaceGeometry s = SurfaceGeometryOf();
    Figured figure{std::make_unique<FigureDrawing>(PlotGeometry{s.outerWidthTwips, s.outerHeightTwips,
                                                                s.innerWidth, s.innerHeight, kSurfaceBackground}),
                   {}};
    const PatternState state = page->behaviour.shownState();
    const FigureReadouts readouts = DrawState(*figure.drawing, state, page->behaviour.edition(),
                                              page->controls.decimalSeparator(), page->behaviour.kept());
    figure.caption = FigureCaption(readouts, PresetNameFor(state.omni, state.fig8));
    return figure;
}

std::vector<std::uint32_t> figurePixels; // the last figure's plot, for the page
std::string figureLabels;                // and its labels, as LabelsJson gives them
int figureWidth = 0;
int figureHeight = 0;

std::string JsonField(const char *name, std::string_view value)
{
    return Quoted(name) + ":" + Quoted(value);
}

// Labels as the page writes them over a canvas of `ratio` device pixels to a
// logical one: [[x, y, text, colour, anchor, size], ...] in device pixels,
// with CSS's colour and text-align words.
std::string LabelsJson(const std::vector<FigureDrawing::Label> &labels, double ratio)
{
    constexpr const char *kAnchors[] = {"left", "center", "right"};
    constexpr const char *kDigits = "0123456789abcdef";
    std::string json;
    for (const FigureDrawing::Label &label : labels) {
        std::string colour = "#";
        for (const int shift : {0, 8, 16}) {
            colour += kDigits[(label.colour >> (shift + 4)) & 0xF];
            colour += kDigits[(label.colour >> shift) & 0xF];
        }
        const auto [x, y] = LabelPoint(label);
        json += std::string(json.empty() ? "" : ",") + "[" + NumberText(x * ratio) + "," + NumberText(y * ratio) +
                "," + Quoted(label.text) + "," + Quoted(colour) + "," +
                Quoted(kAnchors[static_cast<int>(label.anchor)]) + "," + NumberText(kLabelPixels * ratio) + "]";
    }
    return "[" + json + "]";
}

std::string returned; // the text the last call below hands to the page
Sound sound;          // the samples the last sound call below hands to the page

const char *Return(std::string text)
{
    returned = std::move(text);
    return returned.c_str();
}

} // namespace

} // namespace orvane

using namespace orvane;

extern "C" {

// The page's language: the first of `codes` (the user's, comma-separated, in
// order of preference) that has a catalogue, else English, as the desktop
// chooses. Every text from here on is in it. Returns its code, for <html lang>.
EMSCRIPTEN_KEEPALIVE const char *orvane_set_language(const char *codes)
{
    std::vector<std::string> preferred;
    std::string rest = codes ? codes : "";
    for (std::size_t at = 0; at <= rest.size();) {
        const std::size_t end = std::min(rest.find(',', at), rest.size());
        if (end > at)
            preferred.push_back(rest.substr(at, end - at));
        at = end + 1;
    }
    SetLanguage(ChooseLanguage(preferred));
    return CurrentLanguage().code;
}

// The languages with a catalogue, for the tests: JSON, [{"code", "separator"}].
EMSCRIPTEN_KEEPALIVE const char *orvane_languages()
{
    std::string json;
    for (const Language &language : Languages())
        json += std::string(json.empty() ? "" : ",") + "{\"code\":\"" + language.code + "\",\"separator\":\"" +
                language.decimalSeparator + "\"}";
    return Return("[" + json + "]");
}

// An angle as a listener hears it, "1 degree", for the angle slider's spoken value.
EMSCRIPTEN_KEEPALIVE const char *orvane_spoken_angle(int angle)
{
    //: The angle slider's value, spoken: %n whole degrees
    return Return(TrPlural("page", "%n degree", "%n degrees", angle));
}

// The page's controls, for building the page and its tests: JSON.
EMSCRIPTEN_KEEPALIVE const char *orvane_layout(int edition)
{
    return Return(PageLayoutJson(edition == 0 ? Edition::Full : Edition::Lite));
}

// Creates the page's program for `edition` (0 full, 1 lite), with the canvas
// at `ratio` device pixels to a CSS pixel, and runs the load handler. Returns
// the canvas's pixels, R, G, B, A in memory, orvane_canvas_width() by
// orvane_canvas_height() of them, with no gaps between rows.
EMSCRIPTEN_KEEPALIVE std::uint32_t *orvane_start(int edition, double ratio, const char *separator)
{
    page = std::make_unique<Page>(edition == 0 ? Edition::Full : Edition::Lite);
    page->controls.setDecimalSeparator(separator);
    const SurfaceGeometry geometry = SurfaceGeometryOf();
    Attach(ratio);
    page->controls.recorded().raster().setOuterSize(geometry.outerWidthTwips, geometry.outerHeightTwips);
    page->controls.recorded().clear(); // a new surface shows its background until the first redraw
    Dispatch("Orvane", [] { page->behaviour.Load(); });
    return page->pixels.data();
}

// The canvas at `ratio` device pixels to a logical pixel of the plot (15
// twips), for a plot shown larger or smaller than the window's, or on another
// screen: the same picture, drawn afresh at that scale. Its width and height
// are whole multiples of `multiple` pixels (the device pixels of a CSS pixel,
// so that its CSS size is whole and the browser shows it unscaled); a row or
// column beyond the plot's inside shows the background. Returns the pixels as
// orvane_start does; they move.
EMSCRIPTEN_KEEPALIVE std::uint32_t *orvane_resize(double ratio, int multiple)
{
    if (!page || !(ratio > 0.0 && ratio <= kMaxRatio) || multiple < 1 || multiple > 16)
        return page ? page->pixels.data() : nullptr;
    Attach(ratio, multiple);
    // Every step was drawn once already, so none can fail now.
    page->controls.recorded().redraw();
    return page->pixels.data();
}

EMSCRIPTEN_KEEPALIVE int orvane_canvas_width() { return page ? page->width : 0; }
EMSCRIPTEN_KEEPALIVE int orvane_canvas_height() { return page ? page->height : 0; }

// A user's move of a slider (0 Slider1, 1 Slider2, 2 Slider3): its scroll
// handler. Returns 1 when it ran to its end, 0 after an error.
EMSCRIPTEN_KEEPALIVE int orvane_scroll(int slider)
{
    if (!page)
        return 0;
    switch (slider) {
    case 0:
        return Dispatch(ControlWords("Slider1"), [] { page->behaviour.PreGraph(); });
    case 1:
        return Dispatch(ControlWords("Slider2"), [] { page->behaviour.PreGraph(); });
    case 2:
        return Dispatch(ControlWords("Slider3"), [] { page->behaviour.AngleScroll(); });
    default:
        return 0;
    }
}

// A click on preset button `index` of the preset table: both level sliders,
// then one redraw. Returns 1 when it ran to its end, 0 after an error.
EMSCRIPTEN_KEEPALIVE int orvane_preset(int index)
{
    if (!page || index < 0 || static_cast<std::size_t>(index) >= kPresets.size())
        return 0;
    const Preset &preset = kPresets[static_cast<std::size_t>(index)];
    return Dispatch(ControlWords(preset.button),
                    [&preset] { page->behaviour.Preset(preset.slider1, preset.slider2, preset.spokenName); });
}

// "Keep" (keep 1) keeps the pattern as it stands for comparison, "Clear
// comparison" (keep 0) lets it go; the plot is redrawn with it once it has been
// drawn at all. Returns what a listener hears, or the empty text after an error.
EMSCRIPTEN_KEEPALIVE const char *orvane_keep(int keep)
{
    if (!page)
        return Return("");
    const ActionSpec &spec = SpecOf(keep ? Action::Keep : Action::ClearKept);
    const Outcome outcome = page->behaviour.Dispatch(Tr("menu", spec.text), [keep] {
        if (keep)
            page->behaviour.Keep();
        else
            page->behaviour.ClearKept();
    }, spec.errorFormat);
    return Return(Show(outcome) ? outcome.announcement : "");
}

// The figures of the current pattern and of the kept one, for the details
// panel: JSON {"empty", "equation", "kept", "rows": [{"key", "label", "current", "kept"}]},
// "kept" the empty text with nothing kept. An error gives the empty text.
EMSCRIPTEN_KEEPALIVE const char *orvane_details()
{
    if (!page)
        return Return("");
    try {
        PageControls &c = page->controls;
        const std::string separator = c.decimalSeparator();
        const PatternDetails current = DetailsFor(c.sliderValue(SliderId::Slider1), c.sliderValue(SliderId::Slider2));
        const std::optional<KeptPattern> kept = page->behaviour.kept();
        const std::optional<PatternDetails> keptFigures =
            kept ? std::optional(DetailsFor(kept->s1, kept->s2)) : std::nullopt;
        std::string rows;
        for (std::size_t i = 0; i < kDetailRows.size(); ++i)
            rows += std::string(i ? "," : "") + "{" + JsonField("key", kDetailRows[i].key) + "," +
                    JsonField("label", Tr("details", kDetailRows[i].label)) + "," +
                    JsonField("current", DetailText(current, i, separator)) + "," +
                    JsonField("kept", keptFigures ? DetailText(*keptFigures, i, separator) : "") + "}";
        return Return(std::string("{\"empty\":") + (current.empty ? "true" : "false") + "," +
                      JsonField("equation", PatternEquation(current, separator)) +
                      ",\"kept\":" + (kept ? "true" : "false") + ",\"rows\":[" + rows + "]}");
    } catch (const std::exception &) {
        return Return("");
    }
}

// The state of the sliders as a link gives it, with the angle where the probe
// line is shown.
EMSCRIPTEN_KEEPALIVE const char *orvane_state()
{
    try {
        return page ? Return(page->behaviour.stateText()) : Return("");
    } catch (const std::exception &) {
        return Return("");
    }
}

// Why `text` is no state, or the empty text: for the page's tests, with no page.
EMSCRIPTEN_KEEPALIVE const char *orvane_check_state(const char *text)
{
    return Return(ReadStateText(text).error);
}

// Moves the sliders to the state `text` and runs their handlers, as the user's
// moves would. A text that is no state changes nothing: the message is returned
// (the empty text when the state was shown).
EMSCRIPTEN_KEEPALIVE const char *orvane_show_state(const char *text)
{
    const StateReading reading = ReadStateText(text);
    if (!page || !reading.state)
        return Return(reading.error);
    const PatternState state = *reading.state;
    Dispatch(text, [&state] { page->behaviour.ShowState(state); });
    return Return("");
}

// The figure of the state shown: its caption, and the plot's pixels at a whole
// `scale` (R, G, B, A; orvane_figure_width() by orvane_figure_height()), or the
// whole figure as SVG. The page adds the caption band to the pixels itself.
EMSCRIPTEN_KEEPALIVE const char *orvane_figure_caption()
{
    try {
        return page ? Return(PageFigure().caption) : Return("");
    } catch (const std::exception &) {
        return Return("");
    }
}

EMSCRIPTEN_KEEPALIVE const char *orvane_figure_svg(int scale)
{
    if (!page || scale < 1 || scale > kLargestScale)
        return Return("");
    try {
        const Figured figure = PageFigure();
        return Return(SvgFigure(*figure.drawing, figure.caption, scale));
    } catch (const std::exception &error) {
        PageShowError(ActionError(SpecOf(Action::SaveImage), error.what()).c_str());
        return Return("");
    }
}

EMSCRIPTEN_KEEPALIVE std::uint32_t *orvane_figure_pixels(int scale)
{
    if (!page || scale < 1 || scale > kLargestScale)
        return nullptr;
    Figured figure;
    try {
        figure = PageFigure();
    } catch (const std::exception &error) {
        PageShowError(ActionError(SpecOf(Action::SaveImage), error.what()).c_str());
        return nullptr;
    }
    const PlotGeometry &g = figure.drawing->geometry();
    figurePixels.assign(static_cast<std::size_t>(g.innerWidth * scale) * static_cast<std::size_t>(g.innerHeight * scale), 0);
    figureWidth = g.innerWidth * scale;
    figureHeight = g.innerHeight * scale;
    RasterSurface raster(PixelFormat::Rgba8, g.background);
    raster.attach(figurePixels.data(), figureWidth, figureHeight, figureWidth, scale);
    raster.setOuterSize(g.outerWidthTwips, g.outerHeightTwips);
    figure.drawing->replay(raster);
    figureLabels = LabelsJson(figure.drawing->labels(), scale);
    return figurePixels.data();
}

// The labels of the last figure of orvane_figure_pixels, for the page to write
// over its pixels.
EMSCRIPTEN_KEEPALIVE const char *orvane_figure_labels()
{
    return Return(figureLabels);
}

// The plot's labels since it was last drawn, for the page to write over the
// canvas with its own text engine (the rasteriser has none).
EMSCRIPTEN_KEEPALIVE const char *orvane_plot_labels()
{
    return Return(page ? LabelsJson(page->controls.recorded().labels(), page->controls.recorded().ratio()) : "[]");
}

// The datasheet view: on (db 1) or off (db 0), or at `range` dB (20, 30 or 40;
// 0 keeps the range), redrawn where the plot was drawn. Returns what a
// listener hears, or the empty text after an error.
EMSCRIPTEN_KEEPALIVE const char *orvane_set_view(int db, int range)
{
    if (!page)
        return Return("");
    const ActionSpec &spec = SpecOf(Action::DatasheetView);
    const Outcome outcome = page->behaviour.Dispatch(Tr("menu", spec.text), [db, range] {
        Behaviour &behaviour = page->behaviour;
        if (range != 0)
            behaviour.SetRange(range);
        else if ((behaviour.view().view == PlotView::Db) != (db != 0))
            behaviour.ToggleView();
    });
    return Return(Show(outcome) ? outcome.announcement : "");
}

// The range of the datasheet view while it shows, else 0.
EMSCRIPTEN_KEEPALIVE int orvane_view_range()
{
    return page && page->behaviour.view().view == PlotView::Db ? page->behaviour.view().rangeDb : 0;
}

EMSCRIPTEN_KEEPALIVE int orvane_figure_width() { return figureWidth; }
EMSCRIPTEN_KEEPALIVE int orvane_figure_height() { return figureHeight; }

// The pattern as sound, for the page to play with the Web Audio API: the
// sweep (angle 1000), or the probe's sound for the angle slider at `angle`,
// for the level sliders at s1 and s2, at the audio context's `rate`. Returns
// the samples, left and right in turn, orvane_sound_frames() pairs of 32-bit
// floats; null when they cannot be made, which the page reports.
EMSCRIPTEN_KEEPALIVE const float *orvane_sound(int angle, int s1, int s2, int rate)
{
    try {
        sound = angle == 1000 ? SweepSound(s1, s2, rate) : ProbeSound(angle, s1, s2, rate);
        return sound.samples.data();
    } catch (...) {
        return nullptr;
    }
}

EMSCRIPTEN_KEEPALIVE int orvane_sound_frames()
{
    return static_cast<int>(sound.frames());
}

// The texts of the rules, for the tests, and a level as a listener hears it,
// for the level sliders' spoken values. An error gives the empty text.
EMSCRIPTEN_KEEPALIVE const char *orvane_readout_text(int position, const char *separator)
{
    try {
        return Return(ReadoutText(position, separator));
    } catch (const std::exception &) {
        return Return("");
    }
}

EMSCRIPTEN_KEEPALIVE const char *orvane_spoken_level(int position, const char *separator)
{
    try {
        return Return(SpokenLevel(position, separator));
    } catch (const std::exception &) {
        return Return("");
    }
}

// What a listener hears once a handler has run, as the desktop announces it:
// after preset button `index`, and after the probe turned to `angle` with the
// level sliders at s1 and s2.
EMSCRIPTEN_KEEPALIVE const char *orvane_preset_announcement(int index, const char *separator)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kPresets.size())
        return Return("");
    const Preset &preset = kPresets[static_cast<std::size_t>(index)];
    try {
        return Return(PresetAnnouncement(preset.spokenName, preset.slider1, preset.slider2, separator));
    } catch (const std::exception &) {
        return Return("");
    }
}

EMSCRIPTEN_KEEPALIVE const char *orvane_probe_announcement(int s1, int s2, int angle, const char *separator)
{
    try {
        return Return(ProbeAnnouncement(angle, ProbeGain(ProbeDirection(angle), s1, s2), separator));
    } catch (const std::exception &) {
        return Return("");
    }
}

EMSCRIPTEN_KEEPALIVE const char *orvane_probe_text(int s1, int s2, int v, const char *separator)
{
    try {
        return Return(GainText(ProbeGain(ProbeDirection(v), s1, s2), separator));
    } catch (const std::exception &) {
        return Return("");
    }
}

// For the benchmark: `runs` redraws of the plot at the cardioid's lengths on a
// surface of the page's size at `ratio` device pixels to a logical pixel (1 the
// desktop's window, 3 and more a phone's plot). Returns the milliseconds they took.
EMSCRIPTEN_KEEPALIVE double orvane_bench_graph_at(int runs, double ratio)
{
    const SurfaceGeometry geometry = SurfaceGeometryOf();
    const int width = static_cast<int>(geometry.innerWidth * ratio + 0.5);
    const int height = static_cast<int>(geometry.innerHeight * ratio + 0.5);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    RecordedSurface surface; // the page's, as a redraw on the page runs
    surface.attach(pixels.data(), width, height, ratio);
    surface.raster().setOuterSize(geometry.outerWidthTwips, geometry.outerHeightTwips);
    const std::int16_t Radius = 2000;
    const std::int32_t Radius8 = 2000;
    Graph(surface, Radius, Radius8, Edition::Full); // the first clear fills
    const double start = emscripten_get_now();
    for (int i = 0; i < runs; ++i)
        Graph(surface, Radius, Radius8, Edition::Full);
    return emscripten_get_now() - start;
}

EMSCRIPTEN_KEEPALIVE double orvane_bench_graph(int runs)
{
    return orvane_bench_graph_at(runs, 1.0);
}

} // extern "C"
