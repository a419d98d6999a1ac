#include "web/page_layout.h"

#include "web/json_text.h"

#include <array>
#include <string>
#include <string_view>

#include "pattern/actions.h"
#include "pattern/controls.h"
#include "pattern/datasheet_plot.h"
#include "pattern/error_text.h"
#include "pattern/figure.h"
#include "pattern/layout.h"
#include "pattern/pattern_details.h"
#include "pattern/pattern_sound.h"
#include "pattern/presets.h"
#include "pattern/pair_figure_names.h"
#include "pattern/stereo_pair.h"
#include "pattern/translation.h"

namespace orvane {

namespace {

const char *KindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Surface: return "surface";
    case ControlKind::VerticalSlider: return "vslider";
    case ControlKind::HorizontalSlider: return "hslider";
    case ControlKind::Label: return "label";
    case ControlKind::Readout: return "readout";
    case ControlKind::Button: return "button";
    }
    return "";
}

void WriteSlider(JsonWriter &json, const SliderSettings &s)
{
    json.begin('{').field("minimum", s.minimum).field("maximum", s.maximum).field("smallStep", s.smallStep)
        .field("largeStep", s.largeStep).field("tickInterval", s.tickInterval).field("start", s.start).end('}');
}

template <std::size_t N>
void WriteNames(JsonWriter &json, const std::array<const char *, N> &names)
{
    json.begin('[');
    for (const char *name : names)
        json.string(name);
    json.end(']');
}

// The page's own texts, beside the window's: its name for each, the
// context and the English text it is looked up by.
struct PageText {
    const char *name;
    const char *context;
    const char *text;
};

void WritePageTexts(JsonWriter &json)
{
    static constexpr PageText kTexts[] = {
        //: The page's title bar: the window filling the screen, and back
        {"maximise", "page", ORVANE_NOOP("page", "Maximise")},
        {"ok", "page", ORVANE_NOOP("page", "OK")},
        {"error", "page", kPageActionError},
        //: %1: the browser's reason
        {"noStart", "page", ORVANE_NOOP("page", "The program could not start: %1")},
        {"plot", "accessible name", ORVANE_NOOP("accessible name", "Polar plot")},
        {"listenHint", "listen", kListenHint},
        // The link to this state, and the plot as a figure (pattern/figure.h).
        {"share", "title bar", kShareText},
        {"savePng", "page", kSavePngText},
        {"saveSvg", "page", kSaveSvgText},
        {"linkCopied", "announcement", kLinkCopied},
        {"addressNoState", "page", kAddressNoState},
        // The pattern's figures and the comparison (pattern/pattern_details.h).
        {"detailsTitle", "details", kDetailsTitle},
        {"detailsNoPattern", "details", kDetailsNoPattern},
        {"detailsFigure", "details", kDetailsFigureHeading},
        {"detailsCurrent", "details", kDetailsCurrentHeading},
        {"detailsKept", "details", kDetailsKeptHeading},
        // The datasheet view (pattern/datasheet_plot.h).
        {"rangeMenu", "menu", kRangeMenu},
        {"rangeEntry", "menu", kRangeEntry},
        // The stereo pair's panel (pattern/pair_plot.h draws its canvases).
        {"pairTitle", "menu", "Stereo pair"},
        //: The stereo pair's panel: the group of the two techniques, XY and M/S
        {"pairTechnique", "pair", ORVANE_NOOP("pair", "Technique")},
        {"pairXy", "pair", "XY"},
        {"pairMs", "pair", "M/S"},
        {"pairBlumlein", "pair", "Blumlein"},
        // The slider of an XY pair's angle, named as the figure it sets.
        {"pairAngle", "pair figure", kPairFigureNames[0]},
        //: The stereo pair's panel: the slider of the side microphone's level in an M/S pair
        {"pairSide", "pair", ORVANE_NOOP("pair", "Side level")},
        //: The stereo pair's panel: the name of the drawing of the left and right microphones' patterns
        {"pairPlot", "pair", ORVANE_NOOP("pair", "Left and right microphones")},
        //: The stereo pair's panel: the name of the drawing of L - R against the source's angle
        {"pairCurve", "pair", ORVANE_NOOP("pair", "Localisation curve")},
    };
    json.begin('{');
    for (const PageText &t : kTexts) {
        const std::string_view text = Tr(t.context, t.text);
        // The plot's name is spoken: its full form.
        json.field(t.name, std::string_view(t.name) == "plot" ? FullForm(text) : text);
    }
    json.end('}');
}

// The action table's page buttons, in its order, and the letters the plot
// takes for them: [{"name", "id", "text", "title", "letter", "checkable"}],
// "text" the button's (with its shorter forms), "title" its tooltip and
// "letter" its key ("" for none).
void WriteActions(JsonWriter &json, Edition edition)
{
    json.begin('[');
    for (const ActionEntry &item : ActionTable()) {
        if (!(item.places & kPageButton) || !Shows(item, edition))
            continue;
        // A button's own text, or the menu's (a page entry's has no number or ellipsis).
        const std::string_view own = item.button ? item.buttonContext : "menu";
        const std::string_view title = item.buttonTitle == item.text ? "menu" : own;
        json.begin('{').field("name", item.name).field("id", item.pageId ? item.pageId : item.name)
            .field("text", Tr(own, item.button ? item.button : item.text))
            .field("title", item.buttonTitle ? Tr(title, item.buttonTitle) : "")
            .field("letter", item.key == KeyKind::Letter ? std::string_view(&item.letter, 1) : "")
            .field("checkable", item.checkable).end('}');
    }
    json.end(']');
}

int PresetIndex(std::string_view name)
{
    for (std::size_t i = 0; i < kPresets.size(); ++i)
        if (name == kPresets[i].button)
            return static_cast<int>(i);
    return -1;
}

} // namespace

std::string PageLayoutJson(Edition edition)
{
    const PlotGeometry geometry = SurfaceGeometryOf();
    const Language &language = CurrentLanguage();
    JsonWriter json;
    json.begin('{').field("title", "Orvane").field("edition", HasProbe(edition) ? "Orvane" : "OrvaneLite")
        .field("twipsPerPixel", kTwipsPerPixel).field("clientWidth", kClientWidth).field("clientHeight", kClientHeight)
        .field("surfaceBorder", kSurfaceBorder).field("background", HexColour(kSurfaceBackground))
        .field("canvasWidth", geometry.innerWidth).field("canvasHeight", geometry.innerHeight);
    WriteNames(json.key("sliders"), kSliderNames);
    WriteNames(json.key("captions"), kCaptionNames);
    json.field("language", language.code).field("decimalSeparator", language.decimalSeparator)
        .field("cjkFont", language.cjkFont);
    WritePageTexts(json.key("texts"));
    json.key("pairFigures").begin('[');
    for (const char *label : kPairFigureNames)
        json.string(Tr("pair figure", label));
    json.end(']');
    json.field("captionBand", kCaptionBand).field("captionPixels", kCaptionPixels)
        .field("captionFamilies", kCaptionFamilies);
    WriteActions(json.key("actions"), edition);
    json.key("controls").begin('[');
    for (const ControlSpec &entry : ControlTable()) {
        if (entry.probeOnly && !HasProbe(edition))
            continue;
        json.begin('{').field("name", entry.name).field("kind", KindName(entry.kind)).field("text", ShownText(entry))
            .field("left", entry.left).field("top", entry.top).field("width", entry.width).field("height", entry.height)
            .field("title", entry.font == FontRole::Title).field("alignRight", entry.alignRight)
            .field("accessibleName", entry.accessibleName ? FullForm(Tr("accessible name", entry.accessibleName)) : "")
            .field("description", *entry.description ? Tr("description", entry.description) : "")
            .field("preset", PresetIndex(entry.name));
        if (entry.captionOf)
            json.field("captionOf", entry.captionOf);
        if (entry.roomTo)
            json.field("roomTo", entry.roomTo);
        if (entry.kind == ControlKind::Readout)
            json.key("readWith").begin('[').string(entry.readWith.caption ? entry.readWith.caption : "")
                .string(entry.readWith.unit ? entry.readWith.unit : "").end(']');
        if (entry.slider)
            WriteSlider(json.key("slider"), *entry.slider);
        json.end('}');
    }
    json.end(']').end('}');
    return json.text();
}

} // namespace orvane
