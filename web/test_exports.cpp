// What only the tests, the page's build and the benchmark ask of the rules:
// the languages, the texts a listener hears for given positions, the JSON
// writer and the redraw's benchmark. They are linked into the tests' module
// (orvane_test.js) alone: the shipped page carries none of them.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "pattern/angle_probe.h"
#include "pattern/layout.h"
#include "pattern/pattern_description.h"
#include "pattern/plot_driver.h"
#include "pattern/polar_plot.h"
#include "pattern/presets.h"
#include "pattern/state_text.h"
#include "pattern/translation.h"
#include "web/json_text.h"
#include "web/recorded_surface.h"
#include "web/returned.h"

using namespace orvane;

extern "C" {

// The languages with a catalogue, for the tests: JSON, [{"code", "separator"}].
EMSCRIPTEN_KEEPALIVE const char *orvane_languages()
{
    JsonWriter json;
    json.begin('[');
    for (const Language &language : Languages())
        json.begin('{').field("code", language.code).field("separator", language.decimalSeparator).end('}');
    return Return(json.end(']').text());
}

// An angle as a listener hears it, "1 degree", for the angle slider's spoken value.
EMSCRIPTEN_KEEPALIVE const char *orvane_spoken_angle(int angle)
{
    return Return(SpokenAngle(angle));
}

// Why `text` is no state, or the empty text: for the page's tests, with no page.
EMSCRIPTEN_KEEPALIVE const char *orvane_check_state(const char *text)
{
    return Return(ReadStateText(text).error);
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
        return Return(PresetAnnouncement(preset.slider1, preset.slider2, separator));
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
    const PlotGeometry geometry = SurfaceGeometryOf();
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

// `text` as the page's JSON writer writes it, for the tests.
EMSCRIPTEN_KEEPALIVE const char *orvane_json_string(const char *text)
{
    return Return(JsonString(text));
}

} // extern "C"
