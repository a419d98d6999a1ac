// The web page's side of the program: the same behaviour as the desktop
// window's, over the page's controls, drawing into the canvas's pixels. The
// page's store (page/store.js) hands it each of the user's actions through
// orvane_act and shows the snapshot it returns; the module asks the page for
// nothing but a language's texts (catalogue_reader.cpp).
#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/actions.h"
#include "pattern/behaviour.h"
#include "pattern/checked.h"
#include "pattern/layout.h"
#include "pattern/pair_plot.h"
#include "pattern/pattern_sound.h"
#include "pattern/snapshot.h"
#include "pattern/translation.h"
#include "web/json_text.h"
#include "web/page_layout.h"
#include "web/recorded_surface.h"
#include "web/returned.h"
#include "web/running_page.h"

namespace orvane {

namespace {

// A canvas of the page: the surface the behaviour draws on, over the pixels
// the page copies to its canvas, and its outer size in twips. It has pixels
// from its first drawing on: the stereo pair's two stay without until the
// pair is first shown, so that a start allocates and paints the plot alone.
struct Canvas {
    // Pixels for the inside at `ratio`, rounded up to whole multiples of
    // `multiple` pixels each way, their values left to the next drawing.
    void attach(double ratio, int multiple)
    {
        auto size = [ratio, multiple](float twips) {
            const int whole = static_cast<int>((twips / kTwipsPerPixel - 2 * kSurfaceBorder) * ratio + 0.5);
            return (whole + multiple - 1) / multiple * multiple;
        };
        width = size(outerWidthTwips);
        height = size(outerHeightTwips);
        pixels.reset(new std::uint32_t[static_cast<std::size_t>(width) * static_cast<std::size_t>(height)]);
        surface.attach(pixels.get(), width, height, ratio);
        surface.raster().setOuterSize(outerWidthTwips, outerHeightTwips);
    }

    float outerWidthTwips;
    float outerHeightTwips;
    RecordedSurface surface;
    std::unique_ptr<std::uint32_t[]> pixels;
    int width = 0;
    int height = 0;
};

// The page's controls as the behaviour uses them: the sliders' positions and
// the readouts the page's views show from each snapshot. The lite page has
// no angle slider and no probe readouts.
class PageControls : public FaceControls {
public:
    explicit PageControls(Edition edition) : edition_(edition)
    {
        for (const ControlSpec &entry : ControlTable())
            for (std::size_t i = 0; i < kSliderNames.size(); ++i)
                if (entry.slider && std::string_view(entry.name) == kSliderNames[i])
                    sliders_[i] = *entry.slider;
    }

    std::int32_t sliderValue(SliderId slider) override { return Slider(slider).start; }

    void setSliderValue(SliderId slider, std::int32_t value) override
    {
        SliderSettings &settings = Slider(slider);
        if (value < settings.minimum || value > settings.maximum)
            throw ControlError(std::string("Invalid property value for ") + NameOf(slider));
        settings.start = value; // where the thumb now stands
    }

    void setCaption(CaptionId caption, const std::string &) override
    {
        if (!HasProbe(edition_) && (caption == CaptionId::LblAngle || caption == CaptionId::LblGain))
            throw ControlError(std::string("Control not found: ") + NameOf(caption));
    }

    DrawingSurface &surface() override { return plot_.surface; }
    std::string decimalSeparator() override { return separator_; }
    // The stereo pair's plot and curve, in both editions.
    DrawingSurface *pairSurface(PairDrawing drawing) override { return &pairCanvas(drawing).surface; }
    // The canvas of one of them, which gets its pixels, showing the
    // background, when first drawn on or shown.
    Canvas &pairCanvas(PairDrawing drawing)
    {
        Canvas &canvas = drawing == PairDrawing::Plot ? pairPlot_ : pairCurve_;
        if (!canvas.pixels) {
            canvas.attach(ratio_, multiple_);
            canvas.surface.clear();
        }
        return canvas;
    }

    RecordedSurface &recorded() { return plot_.surface; }
    // The plot's canvas, then the pair's plot and curve.
    std::array<Canvas *, 3> canvases() { return {&plot_, &pairPlot_, &pairCurve_}; }
    // Pixels at `ratio` for every canvas that has been drawn on, and for the plot.
    void attach(double ratio, int multiple)
    {
        ratio_ = ratio;
        multiple_ = multiple;
        for (Canvas *canvas : canvases())
            if (canvas == &plot_ || canvas->pixels)
                canvas->attach(ratio, multiple);
    }
    void setDecimalSeparator(std::string separator) { separator_ = std::move(separator); }

private:
    SliderSettings &Slider(SliderId slider)
    {
        if (slider == SliderId::Slider3 && !HasProbe(edition_))
            throw ControlError(std::string("Control not found: ") + NameOf(slider));
        return sliders_.at(static_cast<std::size_t>(slider));
    }

    Edition edition_;
    std::array<SliderSettings, 3> sliders_{};
    Canvas plot_{SurfaceGeometryOf().outerWidthTwips, SurfaceGeometryOf().outerHeightTwips, {}, {}};
    Canvas pairPlot_{kPairPlotWidthTwips, kPairPlotHeightTwips, {}, {}};
    Canvas pairCurve_{kCurveWidthTwips, kCurveHeightTwips, {}, {}};
    std::string separator_ = ".";
    double ratio_ = 1.0;
    int multiple_ = 1;
};

// The running page: one per document, like the desktop's one window.
struct Page {
    explicit Page(Edition edition) : controls(edition), behaviour(edition, controls) {}
    PageControls controls;
    Behaviour behaviour;
};

std::unique_ptr<Page> page;

// The details' figures: {"empty", "equation", "kept", "rows": [{"key",
// "label", "current", "kept"}]}, a row's "kept" the empty text with nothing kept.
void WriteDetails(JsonWriter &json, const DetailsShown &details)
{
    json.begin('{').field("empty", details.empty).field("equation", details.equation).field("kept", details.kept)
        .key("rows").begin('[');
    for (const DetailsShown::Row &row : details.rows)
        json.begin('{').field("key", row.key).field("label", row.label).field("current", row.current)
            .field("kept", row.kept).end('}');
    json.end(']').end('}');
}

// The largest scale the canvas is drawn at: a plot some 9,000 pixels across.
constexpr double kMaxRatio = 16.0;

// A canvas's pixels (their address), size and labels: "pixels", "width",
// "height", "labels".
void WriteCanvas(JsonWriter &json, const Canvas &canvas)
{
    const RecordedSurface &surface = canvas.surface;
    json.key("pixels").raw(std::to_string(reinterpret_cast<std::uintptr_t>(canvas.pixels.get())))
        .field("width", canvas.width).field("height", canvas.height)
        .key("labels").raw(LabelsJson(surface.labels(), surface.ratio(), surface.labelPixels(), surface.cover(),
                                      surface.pixels(), surface.pixelWidth()));
}

// The stereo pair while shown: {"technique" (0 XY, 1 M/S), "angle", "side",
// "name", "sideReadout", "spokenAngle", "spokenSide", "figures", "description",
// "drawn", "plot", "curve"}, each drawing as WriteCanvas writes the plot's.
void WritePair(JsonWriter &json, const PairShown &pair)
{
    json.begin('{').field("technique", pair.pair.technique == PairTechnique::XY ? 0 : 1)
        .field("angle", pair.pair.angle).field("side", pair.pair.side).field("name", pair.technique)
        .field("sideReadout", pair.sideReadout).field("spokenAngle", pair.spokenAngle)
        .field("spokenSide", pair.spokenSide).key("figures").begin('[');
    for (const std::string &figure : pair.figures)
        json.string(figure);
    json.end(']').field("description", pair.description).field("drawn", pair.drawn);
    for (const auto &[name, drawing] : {std::pair{"plot", PairDrawing::Plot}, std::pair{"curve", PairDrawing::Curve}}) {
        json.key(name).begin('{');
        WriteCanvas(json, page->controls.pairCanvas(drawing));
        json.end('}');
    }
    json.end('}');
}

// The pair a sound circles, as orvane_sound takes it: [1, angle] for XY,
// [2, side] for M/S; null for none.
std::string SoundPairJson(const std::optional<StereoPair> &pair)
{
    if (!pair)
        return "null";
    return pair->technique == PairTechnique::XY ? "[1," + std::to_string(pair->angle) + "]"
                                                : "[2," + std::to_string(pair->side) + "]";
}

} // namespace

std::string SnapshotJson(const Snapshot &shown)
{
    JsonWriter json;
    json.begin('{').field("error", shown.error).field("refused", shown.refused)
        .field("said", shown.announcement).field("description", shown.description)
        .field("plotChanged", shown.plotChanged).field("drawn", shown.plotDrawn);
    WriteCanvas(json, *page->controls.canvases()[0]);
    json.key("readouts").begin('[');
    for (const std::string &text : shown.readouts)
        json.string(text);
    json.end(']').key("sliders").begin('[');
    for (const std::optional<std::int32_t> &value : shown.sliders)
        json.raw(value ? std::to_string(*value) : "null");
    json.end(']').key("spoken").begin('[');
    for (const std::string &text : shown.spoken)
        json.string(text);
    json.end(']').field("range", shown.view.view == PlotView::Db ? shown.view.rangeDb : 0).field("state", shown.state)
        .key("details");
    if (shown.details)
        WriteDetails(json, *shown.details);
    else
        json.raw("null");
    json.key("sound");
    if (shown.sound)
        json.begin('{').field("action", EntryOf(shown.sound->action).name).field("s1", shown.sound->s1)
            .field("s2", shown.sound->s2).field("angle", shown.sound->angle)
            .key("pair").raw(SoundPairJson(shown.sound->pair)).end('}');
    else
        json.raw("null");
    json.key("pair");
    if (shown.pair)
        WritePair(json, *shown.pair);
    else
        json.raw("null");
    // Last, as the page compares them as text: most actions change none.
    json.key("actions").begin('{');
    for (const ActionShown &entry : shown.actions)
        json.key(EntryOf(entry.action).name).begin('{').field("enabled", entry.enabled)
            .field("checked", entry.checked).end('}');
    return json.end('}').end('}').text();
}

Behaviour *PageBehaviour() { return page ? &page->behaviour : nullptr; }
RecordedSurface &PageSurface() { return page->controls.recorded(); }
std::string PageSeparator() { return page->controls.decimalSeparator(); }

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

// The page's controls, for building the page and its tests: JSON.
EMSCRIPTEN_KEEPALIVE const char *orvane_layout(int edition)
{
    return Return(PageLayoutJson(edition == 0 ? Edition::Full : Edition::Lite));
}

// Creates the page's program for `edition` (0 full, 1 lite), with the canvas
// at `ratio` device pixels to a CSS pixel, and runs the load handler. Each
// export below that acts for the user returns what the page then shows, as
// SnapshotJson gives it: the canvas's pixels among it, R, G, B, A in memory,
// width by height of them, with no gaps between rows.
EMSCRIPTEN_KEEPALIVE const char *orvane_start(int edition, double ratio, const char *separator)
{
    page = std::make_unique<Page>(edition == 0 ? Edition::Full : Edition::Lite);
    page->controls.setDecimalSeparator(separator);
    page->controls.attach(ratio, 1);
    page->controls.recorded().clear(); // a new surface shows its background until the first redraw
    return Return(SnapshotJson(page->behaviour.Act(UserAction::Loaded())));
}

// The canvas at `ratio` device pixels to a logical pixel of the plot (15
// twips), for a plot shown larger or smaller than the window's, or on another
// screen: the same picture, drawn afresh at that scale. Its width and height
// are whole multiples of `multiple` pixels (the device pixels of a CSS pixel,
// so that its CSS size is whole and the browser shows it unscaled); a row or
// column beyond the plot's inside shows the background. The pixels move.
// The labels are at least `smallestLabel` device pixels high (0: the plot's
// own size at its scale), where the page makes them larger to be read.
EMSCRIPTEN_KEEPALIVE const char *orvane_resize(double ratio, int multiple, double smallestLabel)
{
    if (!page)
        return Return("");
    if (ratio > 0.0 && ratio <= kMaxRatio && multiple >= 1 && multiple <= 16) {
        // At most what the largest plot's own labels are.
        for (Canvas *canvas : page->controls.canvases())
            canvas->surface.setSmallestLabel(smallestLabel > 0.0 ? std::min(smallestLabel, kLabelPixels * kMaxRatio) : 0.0);
        page->controls.attach(ratio, multiple);
        // Every step was drawn once already, so none can fail now.
        for (Canvas *canvas : page->controls.canvases())
            if (canvas->pixels)
                canvas->surface.redraw();
    }
    return Return(SnapshotJson(page->behaviour.Shown()));
}

// One action of the user's, by name, as UserAction::Kind numbers them:
// 1, slider `a` (0 Slider1, 1 Slider2, 2 Slider3) moved to `b`; 2, the
// pattern button `a` of the preset table; 3, the action table's entry named
// `text` ("KeepAction") chosen, a switch turned to `a` (1 on, 0 off); 4, the
// state `text` given; 5, the sound of the entry `text` played to its end;
// 6, it could not play; 7, the stereo pair's controls set, technique `a` (0
// XY, 1 M/S) at angle or side `b`; 8, its Blumlein button. Returns what the page then shows (SnapshotJson).
EMSCRIPTEN_KEEPALIVE const char *orvane_act(int kind, int a, int b, const char *text)
{
    if (!page)
        return Return("");
    const std::string_view name = text ? text : "";
    const ActionEntry *entry = nullptr;
    for (const ActionEntry &item : ActionTable())
        if (name == item.name && Shows(item, page->behaviour.edition()))
            entry = &item;
    UserAction action;
    switch (kind) {
    case 1:
        if (a < 0 || a > 2)
            return Return("");
        action = UserAction::Moved(static_cast<SliderId>(a), b);
        break;
    case 2: action = UserAction::Pressed(a); break;
    case 3:
    case 5:
    case 6:
        if (!entry)
            return Return("");
        action = kind == 3 ? UserAction::Chosen(entry->action, a != 0)
               : kind == 5 ? UserAction::Ended(entry->action)
                           : UserAction::Failed(entry->action, std::string(Tr("error", kPageNoSound)));
        break;
    case 4: action = UserAction::Given(std::string(name)); break;
    case 7: {
        if (a < 0 || a > 1)
            return Return("");
        StereoPair pair = page->behaviour.pair();
        pair.technique = a == 0 ? PairTechnique::XY : PairTechnique::MS;
        (a == 0 ? pair.angle : pair.side) = b;
        action = UserAction::PairSet(pair);
        break;
    }
    case 8: action = UserAction::BlumleinPair(); break;
    default: return Return("");
    }
    return Return(SnapshotJson(page->behaviour.Act(action)));
}

} // extern "C"
