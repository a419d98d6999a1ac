#include "web/page_layout.h"

#include <string_view>
#include <utility>

#include "pattern/controls.h"
#include "pattern/figure.h"
#include "pattern/pattern_details.h"
#include "pattern/pattern_sound.h"
#include "window/layout.h"
#include "window/presets.h"

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

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out + '"';
}

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
    return Quoted(name) + ":" + value;
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
        list += (list.empty() ? "" : ",") + Quoted(name);
    return "[" + list + "]";
}

int PresetIndex(std::string_view name)
{
    for (std::size_t i = 0; i < kPresets.size(); ++i)
        if (name == kPresets[i].button)
            return static_cast<int>(i);
    return -1;
}

// The texts of links and figures, each followed by a comma: a loop over a
// table, which takes less of the page than a field written out for each.
std::string FigureTexts()
{
    constexpr std::pair<const char *, const char *> kTexts[] = {
        {"saveImage", kSaveImageText}, {"savePng", kSavePngText},  {"saveSvg", kSaveSvgText},
        {"share", kShareText},         {"linkCopied", kLinkCopied}, {"addressNoState", kAddressNoState},
        {"captionFamilies", kCaptionFamilies},
    };
    std::string json;
    for (const auto &[name, text] : kTexts)
        json += Field(name, Quoted(text)) + ",";
    return json;
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
        std::string c = "{" + Field("name", Quoted(entry.name)) + "," +
                        Field("kind", Quoted(KindName(entry.kind))) + "," +
                        Field("text", Quoted(entry.text)) + "," + Field("left", entry.left) + "," +
                        Field("top", entry.top) + "," + Field("width", entry.width) + "," +
                        Field("height", entry.height) + "," +
                        Field("title", entry.font == FontRole::Title ? "true" : "false") + "," +
                        Field("alignRight", entry.alignRight ? "true" : "false") + "," +
                        Field("accessibleName", Quoted(entry.accessibleName ? entry.accessibleName : "")) +
                        "," + Field("description", Quoted(entry.description)) + "," +
                        Field("preset", PresetIndex(entry.name));
        if (entry.captionOf)
            c += "," + Field("captionOf", Quoted(entry.captionOf));
        if (entry.kind == ControlKind::Readout)
            c += "," + Field("readWith", "[" + Quoted(entry.readWith.caption ? entry.readWith.caption : "") +
                                             "," + Quoted(entry.readWith.unit ? entry.readWith.unit : "") + "]");
        if (entry.slider)
            c += "," + Field("slider", SliderJson(*entry.slider));
        controls += (controls.empty() ? "" : ",") + c + "}";
    }
    const SurfaceGeometry geometry = SurfaceGeometryOf();
    return "{" + Field("title", Quoted("Orvane")) + "," +
           Field("edition", Quoted(HasProbe(edition) ? "Orvane" : "OrvaneLite")) + "," +
           Field("twipsPerPixel", kTwipsPerPixel) + "," + Field("clientWidth", kClientWidth) + "," +
           Field("clientHeight", kClientHeight) + "," + Field("surfaceBorder", kSurfaceBorder) + "," +
           Field("background", Quoted(CssColour(kSurfaceBackground))) + "," +
           Field("canvasWidth", geometry.innerWidth) + "," +
           Field("canvasHeight", geometry.innerHeight) + "," +
           Field("sliders", NameList(kSliderNames)) + "," +
           Field("captions", NameList(kCaptionNames)) + "," +
           Field("listenHint", Quoted(kListenHint)) + "," +
           Field("listenStarted", Quoted(kListenStarted)) + "," +
           Field("listenEnded", Quoted(kListenEnded)) + "," +
           FigureTexts() + Field("captionBand", kCaptionBand) + "," +
           Field("captionPixels", kCaptionPixels) + "," +
           Field("detailsButton", Quoted(kDetailsButton)) + "," +
           Field("detailsTitle", Quoted(kDetailsTitle)) + "," +
           Field("detailsNoPattern", Quoted(kDetailsNoPattern)) + "," +
           Field("detailsHeadings", "[" + Quoted(kDetailsFigureHeading) + "," + Quoted(kDetailsCurrentHeading) +
                                        "," + Quoted(kDetailsKeptHeading) + "]") + "," +
           Field("keepButton", Quoted(kKeepButton)) + "," +
           Field("keepAction", Quoted(kKeepAction)) + "," +
           Field("clearKeptButton", Quoted(kClearKeptAction)) + "," +
           Field("controls", "[" + controls + "]") + "}";
}

} // namespace orvane
