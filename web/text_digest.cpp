// Prints a digest of every text the rules can show: the 101 level readouts, the
// 361 angle readouts, the gain readout for every state of the three sliders
// (101 x 101 x 361), the spoken levels and plot descriptions, and the bits of
// the pattern's sounds, the sweep and the probe's, for the five patterns. The
// same source is built natively and to WebAssembly; the two outputs must match.
// Usage: text_digest [--list]   (--list prints the texts themselves instead)
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "pattern/angle_probe.h"
#include "pattern/figure.h"
#include "pattern/number_text.h"
#include "pattern/pattern_details.h"
#include "pattern/pattern_description.h"
#include "pattern/pattern_sound.h"
#include "pattern/plot_driver.h"
#include "pattern/state_text.h"
#include "pattern/translation.h"

namespace {

// 64-bit FNV-1a over the texts, each followed by a newline.
class Digest {
public:
    void add(const std::string &text)
    {
        for (const char c : text)
            step(static_cast<unsigned char>(c));
        step('\n');
        ++count_;
    }
    void print(const char *what) const
    {
        std::printf("%s %zu %016llx\n", what, count_, static_cast<unsigned long long>(hash_));
    }

private:
    void step(unsigned char byte)
    {
        hash_ ^= byte;
        hash_ *= 0x100000001b3ULL;
    }
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
    std::size_t count_ = 0;
};

} // namespace

int main(int argc, char **argv)
{
    const bool list = argc > 1 && std::strcmp(argv[1], "--list") == 0;
    Digest readouts;
    for (std::int32_t p = 0; p <= 100; ++p) {
        const std::string text = orvane::ReadoutText(p, ".");
        if (list)
            std::printf("readout %d %s\n", p, text.c_str());
        readouts.add(text);
    }
    readouts.print("readouts");

    Digest angles;
    for (std::int32_t v = -180; v <= 180; ++v)
        angles.add(orvane::IntegerText(v));
    angles.print("angles");

    // One line for each omni position, so that a difference shows where it is.
    Digest all;
    for (std::int32_t s1 = 0; s1 <= 100; ++s1) {
        Digest row;
        for (std::int32_t s2 = 0; s2 <= 100; ++s2) {
            for (std::int32_t v = -180; v <= 180; ++v) {
                const std::string text =
                    orvane::GainText(orvane::ProbeGain(orvane::ProbeDirection(v), s1, s2), ".");
                if (list)
                    std::printf("probe %d %d %d %s\n", s1, s2, v, text.c_str());
                row.add(text);
                all.add(text);
            }
        }
        const std::string what = "probe s1=" + std::to_string(s1);
        row.print(what.c_str());
    }
    all.print("probe");

    // What a listener hears of the plot and the levels.
    Digest descriptions;
    for (std::int32_t s1 = 0; s1 <= 100; ++s1) {
        descriptions.add(orvane::SpokenLevel(s1, "."));
        for (std::int32_t s2 = 0; s2 <= 100; ++s2) {
            const std::string text = orvane::PatternDescription(s1, s2, ".");
            if (list)
                std::printf("description %d %d %s\n", s1, s2, text.c_str());
            descriptions.add(text);
        }
    }
    descriptions.print("descriptions");

    // The same in every language, with the language's separator, and what is
    // announced after each pattern button and probe turn: the desktop and the
    // page read the same catalogues, so these lines match too.
    for (const orvane::Language &language : orvane::Languages()) {
        orvane::SetLanguage(language);
        const char *separator = language.decimalSeparator;
        Digest spoken;
        for (std::int32_t s1 = 0; s1 <= 100; s1 += 5)
            for (std::int32_t s2 = 0; s2 <= 100; s2 += 5) {
                spoken.add(orvane::PatternDescription(s1, s2, separator));
                spoken.add(orvane::GainText(orvane::ProbeGain(orvane::ProbeDirection(180), s1, s2), separator));
            }
        for (std::int32_t v = -180; v <= 180; v += 45)
            spoken.add(orvane::ProbeAnnouncement(v, orvane::ProbeGain(orvane::ProbeDirection(v), 0, 0), separator));
        spoken.add(orvane::PresetAnnouncement(30, 0, separator));
        // The names: the textbook's, a button's mix, and the shares.
        for (const auto &levels : {std::pair{44, 3}, std::pair{2, 58}, std::pair{50, 0}, std::pair{10, 0}})
            spoken.add(orvane::DetailsHeading(levels.first, levels.second, separator));
        spoken.add(orvane::EmptyPlotDescription());
        // The pattern's figures, the comparison, the figure's caption and the
        // link's messages, as the details panel and the page show them.
        for (const auto &levels : {std::pair{0, 0}, std::pair{30, 0}, std::pair{20, 10}, std::pair{100, 100}})
            for (std::size_t row = 0; row < orvane::kDetailRows.size(); ++row)
                spoken.add(std::string(orvane::Tr("details", orvane::kDetailRows[row].label)) + ": " +
                           orvane::DetailText(orvane::DetailsFor(levels.first, levels.second), row, separator));
        const std::string kept = orvane::KeptLevels({30, 0}, separator);
        spoken.add(orvane::Format(orvane::Tr("announcement", orvane::kKeptAnnouncement), {kept}));
        spoken.add(orvane::Format(orvane::Tr("plot", orvane::kKeptDescription), {kept}));
        spoken.add(orvane::FigureCaption({"-3", "0", std::string("120"), "-6"}, orvane::PatternName(30, 0, separator)));
        spoken.add(orvane::FigureCaption({"-1", "-2", std::string("90"), std::string(orvane::Tr("probe", "off"))}, ""));
        for (const char *state : {"", "omni=1", "omni=x&fig8=0", "omni=1&fig8=0&tilt=3"})
            spoken.add(orvane::ReadStateText(state).error);
        const std::string what = std::string("language ") + language.code;
        spoken.print(what.c_str());
    }
    orvane::SetLanguage(orvane::English());

    // What a listener hears of the pattern: every sample's bits, at the two
    // common rates, one line per pattern.
    const std::int32_t patterns[][2] = {{0, 0}, {0, 100}, {100, 0}, {30, 0}, {50, 0}};
    for (const auto &levels : patterns) {
        Digest sounds;
        for (const std::int32_t rate : {48000, 44100}) {
            const orvane::Sound sweep = orvane::SweepSound(levels[0], levels[1], rate);
            sounds.add(std::string(reinterpret_cast<const char *>(sweep.samples.data()),
                                   sweep.samples.size() * sizeof(float)));
            for (std::int32_t v = -180; v <= 180; v += 15) {
                const orvane::Sound probe = orvane::ProbeSound(v, levels[0], levels[1], rate);
                sounds.add(std::string(reinterpret_cast<const char *>(probe.samples.data()),
                                       probe.samples.size() * sizeof(float)));
            }
        }
        const std::string what = "sounds s1=" + std::to_string(levels[0]) + " s2=" + std::to_string(levels[1]);
        sounds.print(what.c_str());
    }
    return 0;
}
