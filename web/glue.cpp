// The web page's side of the program: the same handlers as the desktop window,
// over the page's controls, drawing into the canvas's pixels. The page (page.js)
// calls the exported functions below on the user's actions and answers the
// EM_JS calls from its own controls.
#include <emscripten.h>

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "pattern/angle_probe.h"
#include "pattern/checked.h"
#include "pattern/controls.h"
#include "pattern/pattern_description.h"
#include "pattern/pattern_sound.h"
#include "pattern/plot_driver.h"
#include "pattern/polar_plot.h"
#include "pattern/raster.h"
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

// The page's controls as the pattern rules use them.
class PageControls : public PatternControls {
public:
    std::int32_t sliderValue(SliderId slider) override
    {
        const int value = PageSliderValue(static_cast<int>(slider));
        if (value == kMissing)
            throw ControlError(std::string("Control not found: ") + NameOf(slider));
        return value;
    }

    void setSliderValue(SliderId slider, std::int32_t value)
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

    RasterSurface &raster() { return surface_; }
    void setDecimalSeparator(std::string separator) { separator_ = std::move(separator); }

private:
    RasterSurface surface_{PixelFormat::Rgba8, kSurfaceBackground};
    std::string separator_ = ".";
};

// The running page: one per document, like the desktop's one window.
struct Page {
    Edition edition;
    std::int16_t UnitTwips = 0;
    PageControls controls;
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
};

std::unique_ptr<Page> page;

// One event handler, as the desktop's dispatch runs it: an error that ends it is
// shown to the user and the page goes on; what was drawn or written stays.
// The load handler draws nothing, so the plot stays blank until the first move.
template <typename Handler>
void Dispatch(const char *source, Handler handler, bool draws = true) noexcept
{
    try {
        handler();
        PageDescribePlot(draws ? PatternDescription(page->controls.sliderValue(SliderId::Slider1),
                                                    page->controls.sliderValue(SliderId::Slider2),
                                                    page->controls.decimalSeparator())
                                     .c_str()
                               : EmptyPlotDescription().c_str());
    } catch (const std::exception &error) {
        PageShowError((std::string(source) + ": " + error.what()).c_str());
    } catch (...) {
        PageShowError((std::string(source) + ": unknown error").c_str());
    }
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
    page = std::make_unique<Page>();
    page->edition = edition == 0 ? Edition::Full : Edition::Lite;
    page->controls.setDecimalSeparator(separator);
    const SurfaceGeometry geometry = SurfaceGeometryOf();
    page->width = static_cast<int>(geometry.innerWidth * ratio + 0.5);
    page->height = static_cast<int>(geometry.innerHeight * ratio + 0.5);
    page->pixels.assign(static_cast<std::size_t>(page->width) * static_cast<std::size_t>(page->height), 0);
    RasterSurface &surface = page->controls.raster();
    surface.attach(page->pixels.data(), page->width, page->height, page->width, ratio);
    surface.setOuterSize(geometry.outerWidthTwips, geometry.outerHeightTwips);
    surface.clear(); // a new surface shows its background until the first redraw
    Dispatch("load", [] { LoadReadouts(page->controls, page->UnitTwips); }, false);
    return page->pixels.data();
}

EMSCRIPTEN_KEEPALIVE int orvane_canvas_width() { return page ? page->width : 0; }
EMSCRIPTEN_KEEPALIVE int orvane_canvas_height() { return page ? page->height : 0; }

// A user's move of a slider (0 Slider1, 1 Slider2, 2 Slider3): its scroll handler.
EMSCRIPTEN_KEEPALIVE void orvane_scroll(int slider)
{
    if (!page)
        return;
    switch (slider) {
    case 0:
        Dispatch("Slider1", [] { PreGraph(page->controls, page->UnitTwips, page->edition); });
        break;
    case 1:
        Dispatch("Slider2", [] { PreGraph(page->controls, page->UnitTwips, page->edition); });
        break;
    case 2:
        Dispatch("Slider3", [] { Slider3Scroll(page->controls, page->UnitTwips, page->edition); });
        break;
    default:
        break;
    }
}

// A click on preset button `index` of the preset table: both level sliders,
// then one redraw.
EMSCRIPTEN_KEEPALIVE void orvane_preset(int index)
{
    if (!page || index < 0 || static_cast<std::size_t>(index) >= kPresets.size())
        return;
    const Preset &preset = kPresets[static_cast<std::size_t>(index)];
    Dispatch(preset.button, [&preset] {
        page->controls.setSliderValue(SliderId::Slider1, preset.slider1);
        page->controls.setSliderValue(SliderId::Slider2, preset.slider2);
        PreGraph(page->controls, page->UnitTwips, page->edition);
    });
}

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

EMSCRIPTEN_KEEPALIVE const char *orvane_probe_text(int s1, int s2, int v, const char *separator)
{
    try {
        return Return(GainText(ProbeGain(ProbeDirection(v), s1, s2), separator));
    } catch (const std::exception &) {
        return Return("");
    }
}

// For the benchmark: `runs` redraws of the plot at the cardioid's lengths on a
// surface of the page's size, at ratio 1. Returns the milliseconds they took.
EMSCRIPTEN_KEEPALIVE double orvane_bench_graph(int runs)
{
    const SurfaceGeometry geometry = SurfaceGeometryOf();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(geometry.innerWidth * geometry.innerHeight));
    RasterSurface surface(PixelFormat::Rgba8, kSurfaceBackground);
    surface.attach(pixels.data(), geometry.innerWidth, geometry.innerHeight, geometry.innerWidth, 1.0);
    surface.setOuterSize(geometry.outerWidthTwips, geometry.outerHeightTwips);
    const std::int16_t Radius = 2000;
    const std::int32_t Radius8 = 2000;
    const double start = emscripten_get_now();
    for (int i = 0; i < runs; ++i)
        Graph(surface, Radius, Radius8, Edition::Full);
    return emscripten_get_now() - start;
}

} // extern "C"
