#pragma once

#include <span>
#include <string>
#include <string_view>

#include "pattern/edition.h"

namespace orvane {

// What the user asks of the program beyond its sliders and pattern buttons.
// A new action joins here and in ActionTable(); both faces build their menus,
// keys and buttons from that table.
enum class Action {
    Listen, ProbeSound, CopyImage, SaveImage, Print, Details, StereoPair, Keep, ClearKept, DatasheetView, Range20, Range30,
    Range40, Keys
};

// Where an action shows; a set of these.
enum Place : unsigned {
    kMenuBar = 1u,   // the window's menu bar
    kPlotMenu = 2u,  // the plot's context menu
    kPageButton = 4u // a button of the page's title bar
};

// The menu bar's menus, in their order.
enum class MenuId { File, View, Sound, Help };

// The key beside an action: a letter taken on the plot without modifiers, or
// the platform's own key for copy, save and print.
enum class KeyKind { None, Letter, Copy, Save, Print };

struct ActionEntry {
    Action action;
    const char *name;                // the window's object name, "ListenAction"
    const char *text;                // English, context "menu"
    MenuId menu;
    unsigned places;
    KeyKind key = KeyKind::None;
    char letter = 0;                 // with KeyKind::Letter
    bool ellipsis = false;           // opens a dialog: "…" follows in every language
    bool checkable = false;          // a switch
    bool probeOnly = false;          // full edition only
    bool separatorBefore = false;    // in the plot's menu
    // The submenu of `menu` it sits in (English, context "menu"), or none; the
    // checkable entries of one submenu exclude each other.
    const char *submenu = nullptr;
    // An error that ends it reads Format(Tr("error", errorFormat), {what});
    // without one, "<its text>: <what>".
    const char *errorFormat = nullptr;
    // The number its text holds as %1 (a range entry's dB), or 0.
    int value = 0;
    // With kPageButton: its button's element id on the page (else `name`),
    // the button's text where it is not the menu's (English, in
    // `buttonContext`; shorter forms after U+009C), and its tooltip:
    // `buttonTitle` in that context, or the menu's text where `buttonTitle`
    // is the entry's `text`.
    const char *pageId = nullptr;
    const char *button = nullptr;
    const char *buttonContext = "title bar";
    const char *buttonTitle = nullptr;
};

// Every action, in the order of the menus.
std::span<const ActionEntry> ActionTable();
const ActionEntry &EntryOf(Action action);
bool Shows(const ActionEntry &item, Edition edition);

// Its text in the language shown, with its number and with the ellipsis where
// it opens a dialog; ActionName without the ellipsis, as an error names it.
std::string ActionText(const ActionEntry &item);
std::string ActionName(const ActionEntry &item);
// A menu's name in the language shown, with its mnemonic ("&File"), and the
// name of a submenu of the table.
std::string MenuText(MenuId menu);
std::string SubmenuText(const ActionEntry &item);
// The help's heading over the list of keys.
std::string KeysHeading();

// The error text when `what` ends the action.
std::string ActionError(const ActionEntry &item, std::string_view what);

} // namespace orvane
