#include "web/page_layout.h"

#include "web/json_text.h"

#include <string_view>
#include <utility>
#include <vector>

#include "pattern/actions.h"
#include "pattern/controls.h"
#include "pattern/datasheet_plot.h"
#include "pattern/figure.h"
#include "pattern/pattern_details.h"
#include "pattern/pattern_sound.h"
#include "pattern/translation.h"
#include "window/layout.h"
#include "pattern/presets.h"

namespace orvane {

namespace {

// The desktop's sunken frame around the plot is 2 pixels wide.
constexpr int kSurfaceBorder = 2;

const ControlSpec &Surface()
{
    for (const ControlSpec &entry : ControlTable())
        if (entry.kind == ControlKind::Surface)
            return entry;
    return ControlTable().front();
}

} // namespace

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

std::string Field(const char *name, const std::string &value)
{
    return JsonString(name) + ":" + value;
}

std::string Field(const char *name, int value)
{
    return Field(name, std::to_string(value));
}

std::string SliderJson(const SliderSettings &s)
{
    return "{" + Field("minimum", s.minimum) + "," + Field("maximum", s.maximum) + "," +
           Field("smallStep", s.smallStep) + "," + Field("largeStep", s.largeStep) + "," +
           Field("tickInterval", s.tickInterval) + "," + Field("start", s.start) + "}";
}

// 0x00BBGGRR as CSS's #rrggbb.
std::string CssColour(std::uint32_t bgr)
{
    constexpr std::string_view digits = "0123456789abcdef";
    std::string css = "#";
    for (const int shift : {0, 8, 16}) {
        const auto byte = (bgr >> shift) & 0xFFu;
        css += digits[byte >> 4];
        css += digits[byte & 0xFu];
    }
    return css;
}

template <std::size_t N>
std::string NameList(const std::array<const char *, N> &names)
{
    std::string list;
    for (const char *name : names)
        list += (list.empty() ? "" : ",") + JsonString(name);
    return "[" + list + "]";
}

// The page's own texts, beside the window's.
std::string PageTexts()
{
    const std::pair<const char *, std::string> texts[] = {
        //: The page's title bar: plays the pattern as sound
        {"listen", std::string(Tr("page", "Listen"))},
        {"listenTitle", std::string(Tr("page", "Listen to the pattern (L on the plot)"))},
        {"probeSound", std::string(Tr("menu", "Probing sound"))},
        //: The page's title bar: the window filling the screen, and back
        {"maximise", std::string(Tr("page", "Maximise"))},
        {"ok", std::string(Tr("page", "OK"))},
        //: %1: what stopped, as "Radial Position: Overflow"
        {"error", std::string(Tr("page", "This action stopped with an error:\n%1\n\nWhat was shown before it "
                                         "stays; the page goes on working."))},
        //: %1: the browser's reason
        {"noStart", std::string(Tr("page", "The program could not start: %1"))},
        {"listenError", std::string(Tr("error", "Listen: %1"))},
        {"probeError", std::string(Tr("error", "Probing sound: %1"))},
        {"noSound", std::string(Tr("error", kPageNoSound))},
        {"plot", std::string(FullForm(Tr("accessible name", "Polar plot")))},
        {"listenHint", std::string(Tr("listen", kListenHint))},
        {"listenStarted", std::string(Tr("listen", kListenStarted))},
        {"listenEnded", std::string(Tr("listen", kListenEnded))},
        // The link to this state, and the plot as a figure (pattern/figure.h).
        {"share", std::string(Tr("title bar", kShareText))},
        {"saveImage", std::string(Tr("title bar", kSaveImageText))},
        {"savePng", std::string(Tr("page", kSavePngText))},
        {"saveSvg", std::string(Tr("page", kSaveSvgText))},
        {"linkCopied", std::string(Tr("announcement", kLinkCopied))},
        {"addressNoState", std::string(Tr("page", kAddressNoState))},
        // The pattern's figures and the comparison (pattern/pattern_details.h).
        {"detailsButton", std::string(Tr("title bar", kDetailsButton))},
        {"detailsTitle", std::string(Tr("details", kDetailsTitle))},
        {"detailsNoPattern", std::string(Tr("details", kDetailsNoPattern))},
        {"detailsFigure", std::string(Tr("details", kDetailsFigureHeading))},
        {"detailsCurrent", std::string(Tr("details", kDetailsCurrentHeading))},
        {"detailsKept", std::string(Tr("details", kDetailsKeptHeading))},
        {"keepButton", std::string(Tr("title bar", kKeepButton))},
        {"keepAction", std::string(Tr("menu", kKeepAction))},
        {"clearKeptButton", std::string(Tr("title bar", kClearKeptAction))},
        // The datasheet view (pattern/datasheet_plot.h).
        {"dbButton", std::string(Tr("title bar", kDbButton))},
        {"datasheetAction", std::string(Tr("menu", kDatasheetViewAction))},
        {"rangeMenu", std::string(Tr("menu", kRangeMenu))},
        {"rangeEntry", std::string(Tr("menu", kRangeEntry))},
    };
    std::string json;
    for (const auto &[name, text] : texts)
        json += (json.empty() ? "" : ",") + Field(name, JsonString(text));
    return "{" + json + "}";
}

// The letters the plot takes, from the action table: [{"action", "key"}].
std::string KeysJson(Edition edition)
{
    std::vector<std::string> keys;
    for (const ActionEntry &item : ActionTable())
        if (item.key == KeyKind::Letter && (item.places & kPageButton) && Shows(item, edition))
            keys.push_back(JsonObject({JsonField("action", JsonString(item.name)),
                                       JsonField("key", JsonString(std::string(1, item.letter)))}));
    return JsonArray(keys);
}

int PresetIndex(std::string_view name)
{
    for (std::size_t i = 0; i < kPresets.size(); ++i)
        if (name == kPresets[i].button)
            return static_cast<int>(i);
    return -1;
}

} // namespace

SurfaceGeometry SurfaceGeometryOf()
{
    const ControlSpec &gra = Surface();
    return {static_cast<float>(gra.width), static_cast<float>(gra.height),
            gra.width / kTwipsPerPixel - 2 * kSurfaceBorder,
            gra.height / kTwipsPerPixel - 2 * kSurfaceBorder};
}

std::string PageLayoutJson(Edition edition)
{
    std::string controls;
    for (const ControlSpec &entry : ControlTable()) {
        if (entry.probeOnly && !HasProbe(edition))
            continue;
        std::string c = "{" + Field("name", JsonString(entry.name)) + "," +
                        Field("kind", JsonString(KindName(entry.kind))) + "," +
                        Field("text", JsonString(ShownText(entry))) + "," + Field("left", entry.left) + "," +
                        Field("top", entry.top) + "," + Field("width", entry.width) + "," +
                        Field("height", entry.height) + "," +
                        Field("title", entry.font == FontRole::Title ? "true" : "false") + "," +
                        Field("alignRight", entry.alignRight ? "true" : "false") + "," +
                        Field("accessibleName",
                              JsonString(entry.accessibleName ? FullForm(Tr("accessible name", entry.accessibleName))
                                                          : "")) +
                        "," +
                        Field("description", JsonString(*entry.description ? Tr("description", entry.description) : "")) +
                        "," +
                        Field("preset", PresetIndex(entry.name));
        if (entry.captionOf)
            c += "," + Field("captionOf", JsonString(entry.captionOf));
        if (entry.roomTo)
            c += "," + Field("roomTo", entry.roomTo);
        if (entry.kind == ControlKind::Readout)
            c += "," + Field("readWith", "[" + JsonString(entry.readWith.caption ? entry.readWith.caption : "") +
                                             "," + JsonString(entry.readWith.unit ? entry.readWith.unit : "") + "]");
        if (entry.slider)
            c += "," + Field("slider", SliderJson(*entry.slider));
        controls += (controls.empty() ? "" : ",") + c + "}";
    }
    const SurfaceGeometry geometry = SurfaceGeometryOf();
    return "{" + Field("title", JsonString("Orvane")) + "," +
           Field("edition", JsonString(HasProbe(edition) ? "Orvane" : "OrvaneLite")) + "," +
           Field("twipsPerPixel", kTwipsPerPixel) + "," + Field("clientWidth", kClientWidth) + "," +
           Field("clientHeight", kClientHeight) + "," + Field("surfaceBorder", kSurfaceBorder) + "," +
           Field("background", JsonString(CssColour(kSurfaceBackground))) + "," +
           Field("canvasWidth", geometry.innerWidth) + "," +
           Field("canvasHeight", geometry.innerHeight) + "," +
           Field("sliders", NameList(kSliderNames)) + "," +
           Field("captions", NameList(kCaptionNames)) + "," +
           Field("language", JsonString(CurrentLanguage().code)) + "," +
           Field("decimalSeparator", JsonString(CurrentLanguage().decimalSeparator)) + "," +
           Field("cjkFont", JsonString(CurrentLanguage().cjkFont)) + "," +
           Field("texts", PageTexts()) + "," +
           Field("captionBand", kCaptionBand) + "," + Field("captionPixels", kCaptionPixels) + "," +
           Field("captionFamilies", JsonString(kCaptionFamilies)) + "," +
           Field("keys", KeysJson(edition)) + "," +
           Field("controls", "[" + controls + "]") + "}";
}

} // namespace orvane
