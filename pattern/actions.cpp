#include "pattern/actions.h"

#include <array>

#include "pattern/datasheet_plot.h"
#include "pattern/number_text.h"
#include "pattern/pattern_details.h"
#include "pattern/translation.h"

namespace orvane {

namespace {

const std::array<ActionSpec, 13> kActions{{
    {.action = Action::Listen, .name = "ListenAction",
     .text = ORVANE_NOOP("menu", "Listen to the pattern"), .menu = MenuId::Sound,
     .places = kMenuBar | kPlotMenu | kPageButton, .key = KeyKind::Letter, .letter = 'L',
     //: %1: what the sound system said
     .errorFormat = ORVANE_NOOP("error", "Listen: %1")},
    {.action = Action::ProbeSound, .name = "ProbeSoundAction",
     //: A switch: when on, turning the probe plays a short sound at its gain
     .text = ORVANE_NOOP("menu", "Probing sound"), .menu = MenuId::Sound,
     .places = kMenuBar | kPlotMenu | kPageButton, .checkable = true, .probeOnly = true,
     .errorFormat = ORVANE_NOOP("error", "Probing sound: %1")},
    {.action = Action::CopyImage, .name = "CopyImageAction",
     //: The plot's menu: the plot and its caption to the clipboard, as a picture
     .text = ORVANE_NOOP("menu", "Copy image"), .menu = MenuId::File, .places = kMenuBar | kPlotMenu,
     .key = KeyKind::Copy, .separatorBefore = true},
    {.action = Action::SaveImage, .name = "SaveImageAction",
     //: The plot's menu: opens a file dialog; an ellipsis follows
     .text = ORVANE_NOOP("menu", "Save image"), .menu = MenuId::File,
     .places = kMenuBar | kPlotMenu | kPageButton, .key = KeyKind::Save, .ellipsis = true,
     //: The page's error box when a figure could not be made. %1: what went wrong
     .errorFormat = ORVANE_NOOP("error", "Save image: %1")},
    {.action = Action::Print, .name = "PrintAction",
     //: The plot's menu: opens the print dialog; an ellipsis follows
     .text = ORVANE_NOOP("menu", "Print"), .menu = MenuId::File, .places = kMenuBar | kPlotMenu,
     .key = KeyKind::Print, .ellipsis = true},
    {.action = Action::Details, .name = "DetailsAction", .text = kShowDetailsAction, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu | kPageButton, .key = KeyKind::Letter, .letter = 'D',
     .separatorBefore = true},
    {.action = Action::Keep, .name = "KeepAction", .text = kKeepAction, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu | kPageButton, .key = KeyKind::Letter, .letter = 'K'},
    {.action = Action::ClearKept, .name = "ClearKeptAction", .text = kClearKeptAction, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu | kPageButton},
    {.action = Action::DatasheetView, .name = "DatasheetAction", .text = kDatasheetViewAction, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu | kPageButton, .key = KeyKind::Letter, .letter = 'V', .checkable = true,
     .separatorBefore = true},
    {.action = Action::Range20, .name = "Range20Action", .text = kRangeEntry, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu, .checkable = true, .submenu = kRangeMenu, .value = 20},
    {.action = Action::Range30, .name = "Range30Action", .text = kRangeEntry, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu, .checkable = true, .submenu = kRangeMenu, .value = 30},
    {.action = Action::Range40, .name = "Range40Action", .text = kRangeEntry, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu, .checkable = true, .submenu = kRangeMenu, .value = 40},
    {.action = Action::Keys, .name = "KeysAction",
     //: The Help menu: lists the keys of the actions; an ellipsis follows
     .text = ORVANE_NOOP("menu", "Keyboard shortcuts"), .menu = MenuId::Help, .places = kMenuBar,
     .ellipsis = true},
}};

} // namespace

std::span<const ActionSpec> ActionTable()
{
    return kActions;
}

const ActionSpec &SpecOf(Action action)
{
    for (const ActionSpec &spec : kActions)
        if (spec.action == action)
            return spec;
    return kActions.front(); // every action has its row: the table's test checks it
}

bool Shows(const ActionSpec &spec, Edition edition)
{
    return !spec.probeOnly || HasProbe(edition);
}

std::string ActionText(const ActionSpec &spec)
{
    std::string text(Tr("menu", spec.text));
    if (spec.value)
        text = Format(text, {IntegerText(spec.value)});
    return spec.ellipsis ? text + "\u2026" : text;
}

std::string MenuText(MenuId menu)
{
    switch (menu) {
    //: The menu bar; & marks the letter that opens the menu with Alt
    case MenuId::File: return std::string(Tr("menu bar", "&File"));
    case MenuId::View: return std::string(Tr("menu bar", "&View"));
    //: The menu of listening to the pattern and the probe's sound
    case MenuId::Sound: return std::string(Tr("menu bar", "&Sound"));
    case MenuId::Help: return std::string(Tr("menu bar", "&Help"));
    }
    return {};
}

std::string SubmenuText(const ActionSpec &spec)
{
    return spec.submenu ? std::string(Tr("menu", spec.submenu)) : std::string();
}

std::string KeysHeading()
{
    //: Above the list of keys in the help; the plot is the polar plot
    return std::string(Tr("help", "These keys work while the plot has the keyboard focus:"));
}

std::string ActionError(const ActionSpec &spec, std::string_view what)
{
    if (spec.errorFormat)
        return Format(Tr("error", spec.errorFormat), {what});
    return Format("%1: %2", {Tr("menu", spec.text), what});
}

} // namespace orvane
