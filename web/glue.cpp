// The web page's side of the program: the same handlers as the desktop window,
// over the page's controls, drawing into the canvas's pixels. The page (page/main.js)
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
#include "web/json_text.h"
#include "web/page_layout.h"
#include "web/recorded_surface.h"
#include "web/returned.h"
#include "web/running_page.h"
#include "pattern/layout.h"
#include "pattern/presets.h"

// What the page answers. A missing control answers kMissing (sliders) or 0.
EM_JS(int, PageSliderValue, (int slider), { return Module.page.sliderValue(slider); });
EM_JS(int, PageSetSlider, (int slider, int value), { return Module.page.setSlider(slider, value); });
EM_JS(int, PageSetCaption, (int caption, const char *text),
      { return Module.page.setCaption(caption, UTF8ToString(text)); });
EM_JS(void, PageDescribePlot, (const char *text), { Module.page.describePlot(UTF8ToString(text)); });
EM_JS(void, PageShowError, (const char *text), { Module.page.showError(UTF8ToString(text)); });
EM_JS(void, PageAnnounce, (const char *text), { Module.page.announce(UTF8ToString(text)); });

namespace orvane {

namespace {

constexpr int kMissing = INT32_MIN;

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
    bool detailsShown = false; // the details panel is open: its figures follow each action
};

std::unique_ptr<Page> page;

// Shows what a handler yielded: the plot's description, what a listener hears
// of a handler that ran to its end (unless the caller says it), and an error
// in the page's error box. Returns whether the handler ran to its end.
bool Show(const Outcome &outcome, bool announces = true)
{
    if (!outcome.description.empty())
        PageDescribePlot(outcome.description.c_str());
    if (announces && outcome.done && !outcome.announcement.empty())
        PageAnnounce(outcome.announcement.c_str());
    if (!outcome.error.empty())
        PageShowError(outcome.error.c_str());
    return outcome.done;
}

// A slider's value as a screen reader says it; the empty text for a slider
// the page does not have.
std::string SpokenValue(SliderId slider)
{
    const int value = PageSliderValue(static_cast<int>(slider));
    if (value == kMissing)
        return "";
    return slider == SliderId::Slider3 ? SpokenAngle(value) : SpokenLevel(value, page->controls.decimalSeparator());
}

// The figures of the current pattern and of the kept one, for the details
// panel: {"empty", "equation", "kept", "rows": [{"key", "label", "current", "kept"}]},
// a row's "kept" the empty text with nothing kept.
std::string DetailsJson()
{
    PageControls &c = page->controls;
    const std::string separator = c.decimalSeparator();
    const PatternDetails current = DetailsFor(c.sliderValue(SliderId::Slider1), c.sliderValue(SliderId::Slider2));
    const std::optional<KeptPattern> kept = page->behaviour.kept();
    const std::optional<PatternDetails> keptFigures = kept ? std::optional(DetailsFor(kept->s1, kept->s2)) : std::nullopt;
    JsonWriter json;
    json.begin('{').field("empty", current.empty)
        .field("equation", DetailsHeading(c.sliderValue(SliderId::Slider1), c.sliderValue(SliderId::Slider2), separator))
        .field("kept", kept.has_value()).key("rows").begin('[');
    for (std::size_t i = 0; i < kDetailRows.size(); ++i)
        json.begin('{').field("key", kDetailRows[i].key).field("label", Tr("details", kDetailRows[i].label))
            .field("current", DetailText(current, i, separator))
            .field("kept", keptFigures ? DetailText(*keptFigures, i, separator) : "").end('}');
    return json.end(']').end('}').text();
}

// A part of what the page shows, or `fallback` where it cannot be read (a
// control gone): the handler that ran has reported that.
template <typename Part>
std::string JsonOr(Part &&part, const char *fallback)
{
    try {
        return part();
    } catch (const std::exception &) {
        return fallback;
    }
}

template <typename Handler>
bool Dispatch(std::string_view source, Handler &&handler, const char *errorFormat = nullptr)
{
    return Show(page->behaviour.Dispatch(source, handler, errorFormat));
}

// The largest scale the canvas is drawn at: a plot some 9,000 pixels across.
constexpr double kMaxRatio = 16.0;

// Gives the surface pixels for the plot's inside at `ratio`, rounded up to
// whole multiples of `multiple` pixels each way.
void Attach(double ratio, int multiple = 1)
{
    const PlotGeometry geometry = SurfaceGeometryOf();
    auto size = [multiple](double pixels) {
        const int whole = static_cast<int>(pixels + 0.5);
        return (whole + multiple - 1) / multiple * multiple;
    };
    page->width = size(geometry.innerWidth * ratio);
    page->height = size(geometry.innerHeight * ratio);
    page->pixels.assign(static_cast<std::size_t>(page->width) * static_cast<std::size_t>(page->height), 0);
    page->controls.recorded().attach(page->pixels.data(), page->width, page->height, ratio);
}

} // namespace

std::string ShownJson(bool done, const std::string &said, const std::string &refused)
{
    Behaviour &behaviour = page->behaviour;
    const ViewSettings &view = behaviour.view();
    JsonWriter json;
    json.begin('{').field("done", done).field("said", said).field("refused", refused)
        .field("drawn", behaviour.plotDrawn())
        .key("canKeep").raw(JsonOr([&behaviour] { return behaviour.canKeep() ? "true" : "false"; }, "false"))
        .key("pixels").raw(std::to_string(reinterpret_cast<std::uintptr_t>(page->pixels.data())))
        .field("width", page->width).field("height", page->height)
        .key("labels").raw(LabelsJson(PageSurface().labels(), PageSurface().ratio(), PageSurface().labelPixels(),
                                      [](std::size_t i) { return PageSurface().ChangedJson(i); }))
        .key("state").raw(JsonOr([&behaviour] { return JsonString(behaviour.stateText()); }, "\"\""))
        .field("range", view.view == PlotView::Db ? view.rangeDb : 0)
        .key("spoken").begin('[');
    for (const SliderId slider : {SliderId::Slider1, SliderId::Slider2, SliderId::Slider3})
        json.raw(JsonOr([slider] { return JsonString(SpokenValue(slider)); }, "\"\""));
    json.end(']').key("details").raw(page->detailsShown ? JsonOr(DetailsJson, "null") : "null");
    return json.end('}').text();
}

Behaviour *PageBehaviour() { return page ? &page->behaviour : nullptr; }
RecordedSurface &PageSurface() { return page->controls.recorded(); }
std::string PageSeparator() { return page->controls.decimalSeparator(); }
bool ShowUnannounced(const Outcome &outcome) { return Show(outcome, false); }
void ShowPageError(const std::string &text) { PageShowError(text.c_str()); }

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
// ShownJson gives it: the canvas's pixels among it, R, G, B, A in memory,
// width by height of them, with no gaps between rows.
EMSCRIPTEN_KEEPALIVE const char *orvane_start(int edition, double ratio, const char *separator)
{
    page = std::make_unique<Page>(edition == 0 ? Edition::Full : Edition::Lite);
    page->controls.setDecimalSeparator(separator);
    const PlotGeometry geometry = SurfaceGeometryOf();
    Attach(ratio);
    page->controls.recorded().raster().setOuterSize(geometry.outerWidthTwips, geometry.outerHeightTwips);
    page->controls.recorded().clear(); // a new surface shows its background until the first redraw
    return Return(ShownJson(Dispatch("Orvane", [] { page->behaviour.Load(); })));
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
        page->controls.recorded().setSmallestLabel(smallestLabel > 0.0 ? std::min(smallestLabel, kLabelPixels * kMaxRatio) : 0.0);
        Attach(ratio, multiple);
        // Every step was drawn once already, so none can fail now.
        page->controls.recorded().redraw();
    }
    return Return(ShownJson(true));
}

// A user's move of a slider (0 Slider1, 1 Slider2, 2 Slider3): its scroll
// handler; "done" says whether it ran to its end.
EMSCRIPTEN_KEEPALIVE const char *orvane_scroll(int slider)
{
    if (!page)
        return Return("");
    bool done = false;
    switch (slider) {
    case 0:
        done = Dispatch(ControlWords("Slider1"), [] { page->behaviour.PreGraph(); });
        break;
    case 1:
        done = Dispatch(ControlWords("Slider2"), [] { page->behaviour.PreGraph(); });
        break;
    case 2:
        done = Dispatch(ControlWords("Slider3"), [] { page->behaviour.AngleScroll(); });
        break;
    default:
        break;
    }
    return Return(ShownJson(done));
}

// A click on preset button `index` of the preset table: both level sliders,
// then one redraw.
EMSCRIPTEN_KEEPALIVE const char *orvane_preset(int index)
{
    if (!page)
        return Return("");
    if (index < 0 || static_cast<std::size_t>(index) >= kPresets.size())
        return Return(ShownJson(false));
    const Preset &preset = kPresets[static_cast<std::size_t>(index)];
    return Return(ShownJson(Dispatch(ControlWords(preset.button), [&preset] {
        page->behaviour.Preset(preset.slider1, preset.slider2);
    })));
}

// "Keep" (keep 1) keeps the pattern as it stands for comparison, "Clear
// comparison" (keep 0) lets it go; the plot is redrawn with it once it has been
// drawn at all. "said" is what a listener hears, the empty text after an error.
EMSCRIPTEN_KEEPALIVE const char *orvane_keep(int keep)
{
    if (!page)
        return Return("");
    const ActionEntry &item = EntryOf(keep ? Action::Keep : Action::ClearKept);
    const Outcome outcome = page->behaviour.Dispatch(Tr("menu", item.text), [keep] {
        if (keep)
            page->behaviour.Keep();
        else
            page->behaviour.ClearKept();
    }, item.errorFormat);
    const bool done = Show(outcome, false); // said once the page shows it
    return Return(ShownJson(done, done ? outcome.announcement : ""));
}

// The details panel opens (open 1) or closes (open 0): while it is open,
// what each action shows carries its figures. Returns them as ShownJson's
// "details" gives them, the empty text once closed or after an error.
EMSCRIPTEN_KEEPALIVE const char *orvane_details(int open)
{
    if (!page)
        return Return("");
    page->detailsShown = open != 0;
    return Return(page->detailsShown ? JsonOr(DetailsJson, "") : "");
}

// Moves the sliders to the state `text` and runs their handlers, as the user's
// moves would. A text that is no state changes nothing: "refused" says why.
EMSCRIPTEN_KEEPALIVE const char *orvane_show_state(const char *text)
{
    if (!page)
        return Return("");
    const StateReading reading = ReadStateText(text);
    if (!reading.state)
        return Return(ShownJson(false, "", reading.error));
    const PatternState state = *reading.state;
    return Return(ShownJson(Show(page->behaviour.Dispatch(text, [&state] { page->behaviour.ShowState(state); }), false)));
}

} // extern "C"
