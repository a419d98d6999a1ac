#include "pattern/actions.h"

#include <array>

#include "pattern/datasheet_plot.h"
#include "pattern/figure.h"
#include "pattern/number_text.h"
#include "pattern/pattern_details.h"
#include "pattern/translation.h"

namespace orvane {

namespace {

const std::array<ActionEntry, 14> kActions{{
    {.action = Action::Listen, .name = "ListenAction",
     .text = ORVANE_NOOP("menu", "Listen to the pattern"), .menu = MenuId::Sound,
     .places = kMenuBar | kPlotMenu | kPageButton, .key = KeyKind::Letter, .letter = 'L',
     //: %1: what the sound system said
     .errorFormat = ORVANE_NOOP("error", "Listen: %1"), .pageId = "ListenButton",
     //: The page's title bar: plays the pattern as sound
     .button = ORVANE_NOOP("page", "Listen"), .buttonContext = "page",
     .buttonTitle = ORVANE_NOOP("page", "Listen to the pattern (L on the plot)")},
    {.action = Action::ProbeSound, .name = "ProbeSoundAction",
     //: A switch: when on, turning the probe plays a short sound at its gain
     .text = ORVANE_NOOP("menu", "Probing sound"), .menu = MenuId::Sound,
     .places = kMenuBar | kPlotMenu | kPageButton, .checkable = true, .probeOnly = true,
     .errorFormat = ORVANE_NOOP("error", "Probing sound: %1"), .pageId = "ProbeSoundSwitch"},
    {.action = Action::CopyImage, .name = "CopyImageAction",
     //: The plot's menu: the plot and its caption to the clipboard, as a picture
     .text = ORVANE_NOOP("menu", "Copy image"), .menu = MenuId::File, .places = kMenuBar | kPlotMenu,
     .key = KeyKind::Copy, .separatorBefore = true},
    {.action = Action::SaveImage, .name = "SaveImageAction",
     //: The plot's menu: opens a file dialog; an ellipsis follows
     .text = ORVANE_NOOP("menu", "Save image"), .menu = MenuId::File,
     .places = kMenuBar | kPlotMenu | kPageButton, .key = KeyKind::Save, .ellipsis = true,
     //: The page's error box when a figure could not be made. %1: what went wrong
     .errorFormat = ORVANE_NOOP("error", "Save image: %1"), .pageId = "SaveImageButton",
     .button = kSaveImageText},
    {.action = Action::Print, .name = "PrintAction",
     //: The plot's menu: opens the print dialog; an ellipsis follows
     .text = ORVANE_NOOP("menu", "Print"), .menu = MenuId::File, .places = kMenuBar | kPlotMenu,
     .key = KeyKind::Print, .ellipsis = true},
    {.action = Action::Details, .name = "DetailsAction", .text = kShowDetailsAction, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu | kPageButton, .key = KeyKind::Letter, .letter = 'D',
     .separatorBefore = true, .pageId = "DetailsButton", .button = kDetailsButton},
    {.action = Action::StereoPair, .name = "StereoPairAction",
     //: The View menu: shows the pattern as two microphones at one point (XY, M/S), in a window of its own
     .text = ORVANE_NOOP("menu", "Stereo pair"), .menu = MenuId::View, .places = kMenuBar | kPlotMenu | kPageButton,
     .key = KeyKind::Letter, .letter = 'P', .checkable = true, .pageId = "StereoPairButton",
     //: The page's title bar: shows the stereo pair's panel. Short
     .button = ORVANE_NOOP("title bar", "Pair")},
    {.action = Action::Keep, .name = "KeepAction", .text = kKeepAction, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu | kPageButton, .key = KeyKind::Letter, .letter = 'K',
     .pageId = "KeepButton", .button = kKeepButton, .buttonTitle = kKeepAction},
    {.action = Action::ClearKept, .name = "ClearKeptAction", .text = kClearKeptAction, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu | kPageButton, .pageId = "ClearKeptButton", .button = kClearKeptAction},
    {.action = Action::DatasheetView, .name = "DatasheetAction", .text = kDatasheetViewAction, .menu = MenuId::View,
     .places = kMenuBar | kPlotMenu | kPageButton, .key = KeyKind::Letter, .letter = 'V', .checkable = true,
     .separatorBefore = true, .pageId = "DbButton", .button = kDbButton, .buttonTitle = kDatasheetViewAction},
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

std::span<const ActionEntry> ActionTable()
{
    return kActions;
}

const ActionEntry &EntryOf(Action action)
{
    for (const ActionEntry &item : kActions)
        if (item.action == action)
            return item;
    return kActions.front(); // every action has its row: the table's test checks it
}

bool Shows(const ActionEntry &item, Edition edition)
{
    return !item.probeOnly || HasProbe(edition);
}

std::string ActionName(const ActionEntry &item)
{
    std::string text(Tr("menu", item.text));
    return item.value ? Format(text, {IntegerText(item.value)}) : text;
}

std::string ActionText(const ActionEntry &item)
{
    return item.ellipsis ? ActionName(item) + "\u2026" : ActionName(item);
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

std::string SubmenuText(const ActionEntry &item)
{
    return item.submenu ? std::string(Tr("menu", item.submenu)) : std::string();
}

std::string KeysHeading()
{
    //: Above the list of keys in the help
    return std::string(Tr("help", "These keys work anywhere in the window:"));
}

std::string ActionError(const ActionEntry &item, std::string_view what)
{
    if (item.errorFormat)
        return Format(Tr("error", item.errorFormat), {what});
    return Format("%1: %2", {Tr("menu", item.text), what});
}

} // namespace orvane
