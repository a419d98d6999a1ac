// The state text of links and command lines: every state reads back as it was
// written, and every text of the shared table of bad inputs is refused with a
// message naming what is wrong. The page's tests read the same table.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pattern/figure.h"
#include "pattern/state_text.h"

namespace orvane {
namespace {

TEST(StateText, EveryStateReadsBackAsWritten)
{
    for (std::int32_t omni = 0; omni <= 100; ++omni)
        for (std::int32_t fig8 = 0; fig8 <= 100; fig8 += 1 + omni % 7)
            for (const std::optional<std::int32_t> angle : {std::optional<std::int32_t>(), std::optional(-180),
                                                            std::optional(0), std::optional(omni - 50),
                                                            std::optional(180)}) {
                // The linear view with the datasheet view's range as it starts, or
                // the datasheet view at each range.
                const ViewSettings view = fig8 % 4 == 0 ? ViewSettings{} : ViewSettings{PlotView::Db, 10 + 10 * (fig8 % 4)};
                // No pair, an XY pair at 0 to 180 degrees or an M/S pair's side at 0 to 100.
                std::optional<StereoPair> pair;
                if (omni % 3 == 1)
                    pair = StereoPair{PairTechnique::XY, (fig8 * 9 + omni) % 181, 0};
                else if (omni % 3 == 2)
                    pair = StereoPair{PairTechnique::MS, 90, (fig8 + omni) % 101};
                const PatternState state{omni, fig8, angle, view, pair};
                const StateReading reading = ReadStateText(StateText(state));
                ASSERT_TRUE(reading.state) << StateText(state) << ": " << reading.error;
                EXPECT_EQ(*reading.state, state) << StateText(state);
                EXPECT_EQ(StateText(*reading.state), StateText(state));
            }
    // The ends of the pair's ranges.
    for (const StereoPair pair : {StereoPair{PairTechnique::XY, 0, 0}, StereoPair{PairTechnique::XY, 180, 0},
                                  StereoPair{PairTechnique::MS, 90, 0}, StereoPair{PairTechnique::MS, 90, 100}}) {
        const PatternState state{50, 50, std::nullopt, {}, pair};
        EXPECT_EQ(ReadStateText(StateText(state)).state, state) << StateText(state);
    }
}

TEST(StateText, KeysInAnyOrderAndTheLiteEditionWritesNoAngle)
{
    const PatternState state{30, 0, 120};
    EXPECT_EQ(StateText(state), "omni=30&fig8=0&angle=120");
    EXPECT_EQ(StateText(state, Edition::Lite), "omni=30&fig8=0");
    EXPECT_EQ(ReadStateText("angle=120&fig8=0&omni=30").state, state);
    EXPECT_EQ(ReadStateText("omni=030&fig8=-0").state, (PatternState{30, 0, std::nullopt}));
    // The datasheet view after the levels; absent, the linear view.
    const PatternState db{30, 0, 120, {PlotView::Db, 40}};
    EXPECT_EQ(StateText(db), "omni=30&fig8=0&angle=120&view=db&range=40");
    EXPECT_EQ(StateText(db, Edition::Lite), "omni=30&fig8=0&view=db&range=40");
    EXPECT_EQ(ReadStateText("range=40&view=db&fig8=0&omni=30&angle=120").state, db);
    EXPECT_EQ(ReadStateText("omni=30&fig8=0&view=linear").state, (PatternState{30, 0, std::nullopt}));
    EXPECT_EQ(ReadStateText("omni=30&fig8=0&view=db").state,
              (PatternState{30, 0, std::nullopt, {PlotView::Db, 30}}));
    // The pair last, in both editions; absent, none.
    const PatternState xy{30, 0, 120, {}, StereoPair{PairTechnique::XY, 90, 0}};
    EXPECT_EQ(StateText(xy), "omni=30&fig8=0&angle=120&pair=xy&pairangle=90");
    EXPECT_EQ(StateText(xy, Edition::Lite), "omni=30&fig8=0&pair=xy&pairangle=90");
    EXPECT_EQ(ReadStateText("pairangle=90&pair=xy&angle=120&fig8=0&omni=30").state, xy);
    const PatternState ms{30, 0, std::nullopt, {PlotView::Db, 20}, StereoPair{PairTechnique::MS, 90, 7}};
    EXPECT_EQ(StateText(ms), "omni=30&fig8=0&view=db&range=20&pair=ms&side=7");
    EXPECT_EQ(ReadStateText("side=07&omni=30&pair=ms&range=20&fig8=0&view=db").state, ms);
    EXPECT_FALSE(ReadStateText("omni=30&fig8=0").state->pair);
}

// The table's escapes: "\t" and "\xNN".
std::string Unescaped(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\t") == 0) {
            out += '\t';
            ++i;
        } else if (text.compare(i, 2, "\\x") == 0) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

TEST(StateText, EveryBadInputOfTheSharedTableIsRefusedByName)
{
    std::ifstream table(ORVANE_STATE_TABLE);
    ASSERT_TRUE(table) << ORVANE_STATE_TABLE;
    int cases = 0;
    for (std::string row; std::getline(table, row);) {
        if (row.empty() || row[0] == '#')
            continue;
        const std::size_t tab = row.find('\t');
        ASSERT_NE(tab, std::string::npos) << row;
        const std::string input = Unescaped(row.substr(0, tab));
        const std::string wanted = row.substr(tab + 1);
        const StateReading reading = ReadStateText(input);
        EXPECT_FALSE(reading.state) << input;
        EXPECT_NE(reading.error.find(wanted), std::string::npos)
            << "for \"" << input << "\": \"" << reading.error << "\" does not say \"" << wanted << "\"";
        ++cases;
    }
    EXPECT_GE(cases, 20);
}

TEST(StateText, ShownInputIsOneShortLine)
{
    EXPECT_EQ(ShownInput("a\nb\x7f"), "a?b?");
    EXPECT_EQ(ShownInput(std::string(50, 'x')), std::string(40, 'x') + "...");
    EXPECT_EQ(ShownInput("\u00b0\u00b0"), "\u00b0\u00b0"); // characters, not bytes, counted and kept
}

TEST(Figure, CaptionNamesThePresetOrTheLevelsAndTheProbe)
{
    struct Case {
        FigureReadouts readouts;
        const char *name;
        const char *caption;
    };
    const Case cases[] = {
        {{"0", "0", std::nullopt, ""}, "Cardioid", "Cardioid"},
        {{"-3,1", "0", std::nullopt, ""}, "", "Omni -3,1 dB, figure-8 0 dB"},
        {{"0", "0", "120", "-6,02"}, "Cardioid", "Cardioid; probe at 120\u00b0: -6,02 dB"},
        {{"0", "0", "180", "off"}, "Cardioid", "Cardioid; probe at 180\u00b0: a null"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FigureCaption(c.readouts, c.name), c.caption);
}

TEST(Figure, FormatComesFromTheSuffix)
{
    EXPECT_EQ(FormatOfPath("a/b.PNG"), FigureFormat::Png);
    EXPECT_EQ(FormatOfPath("b.svg"), FigureFormat::Svg);
    EXPECT_EQ(FormatOfPath("b.Pdf"), FigureFormat::Pdf);
    for (const char *path : {"b", "b.jpg", "b.png.txt", "dir.png/b", "b."})
        EXPECT_FALSE(FormatOfPath(path)) << path;
}

TEST(Figure, SvgHoldsTheSameLinesAndTheCaptionAsText)
{
    for (const ViewSettings view : {ViewSettings{}, ViewSettings{PlotView::Db, 20}}) {
        FigureDrawing drawing({8655, 7215, 573, 477, 0x00C0C000});
        const FigureReadouts readouts = DrawState(drawing, {30, 0, 45, view}, Edition::Full, ".");
        const std::string svg = SvgFigure(drawing, "<b>&\"", 2);
        EXPECT_NE(svg.find("width=\"1146\" height=\"994\" viewBox=\"0 0 573 497\""), std::string::npos);
        EXPECT_NE(svg.find("&lt;b&gt;&amp;&quot;</text>"), std::string::npos);
        EXPECT_EQ(svg.find("<b>"), std::string::npos);
        std::size_t points = 0;
        for (const FigureLine &line : FigureLines(drawing))
            points += line.points.size() - 1;
        EXPECT_EQ(points, drawing.segments().size()); // every segment drawn, once
        EXPECT_EQ(readouts.angle, "45");

        // The datasheet view's labels and legend as text, in the order drawn:
        // after the curves, each over a patch of the background.
        EXPECT_EQ(drawing.labels().empty(), view.view == PlotView::Polar);
        std::size_t at = svg.find("stroke=\"#1f3f9f\"");
        for (const FigureDrawing::Label &label : drawing.labels()) {
            at = svg.find(">" + label.text + "</text>", at);
            ASSERT_NE(at, std::string::npos) << label.text;
        }
        if (view.view == PlotView::Db) {
            EXPECT_GT(svg.find("<text"), svg.find("stroke=\"#ffff00\""));
            EXPECT_NE(svg.find(">0 dB = front, 4.61 dB</text>"), std::string::npos);
        }
    }
}

} // namespace
} // namespace orvane
