#!/usr/bin/python3
"""Drives one running edition of Orvane through the AT-SPI accessibility bus.

It sees the window as a screen reader does: it finds the program on the
desktop, finds each control by its accessible role, name or description,
reads the level readouts, presses a preset button through its action
interface, in the full edition moves the probe slider with real key presses
from xdotool, sets each slider's value through the value interface, and opens
the plot's context menu with the menu key to find it and its entries, and opens
the stereo pair window with the key P to find its controls. Run by
run_a11y.sh, which provides the X display, the session bus and the AT-SPI bus,
and starts the program.
"""

import argparse
import math
import subprocess
import sys
import time
import traceback

import pyatspi
from gi.repository import Atspi

# Readouts change in the program first and reach us over D-Bus later.
POLL_SECONDS = 5.0
# The program needs a moment to register itself on the accessibility bus.
STARTUP_SECONDS = 20.0

OMNI_DB = "Omni level in dB"
FIG8_DB = "Figure-8 level in dB"
ANGLE = "Probe angle in degrees"
GAIN = "Gain of the pattern in the probe direction, in dB, or off where it is zero"

# How each control is found: its role, and its accessible name or description.
# Probe-only controls must be absent from the lite edition.
CONTROLS = {
    "omni slider": (pyatspi.ROLE_SLIDER, "name", "Omni level", False),
    "figure-8 slider": (pyatspi.ROLE_SLIDER, "name", "Fig 8 level", False),
    "probe slider": (pyatspi.ROLE_SLIDER, "name", "Radial Position", True),
    "Super Card button": (pyatspi.ROLE_PUSH_BUTTON, "name", "Super Card", False),
    "omni readout": (pyatspi.ROLE_LABEL, "description", OMNI_DB, False),
    "figure-8 readout": (pyatspi.ROLE_LABEL, "description", FIG8_DB, False),
    "angle readout": (pyatspi.ROLE_LABEL, "description", ANGLE, True),
    "gain readout": (pyatspi.ROLE_LABEL, "description", GAIN, True),
    "plot": (pyatspi.ROLE_IMAGE, "name", "Polar plot", False),
}


def level(position):
    """A level slider's level in dB, which is also its accessible value."""
    return 20 * math.log10((101 - position) / 101)


# What the level readouts and sliders show, at start and after "Super Card".
# Readout texts are written with '.', and turned into the locale's separator.
LEVEL_STATES = [
    ("at start", {"omni readout": "-40.0864274753527", "figure-8 readout": "-40.0864274753527"},
     {"omni slider": level(100), "figure-8 slider": level(100)}),
    ("after Super Card", {"omni readout": "-3.06126050124842", "figure-8 readout": "0"},
     {"omni slider": level(30), "figure-8 slider": 0.0}),
]

# Values set through the accessibility interface, as a screen reader or voice
# control sets them, one slider after the other: the value, then what the
# readouts and the plot's description must show afterwards. A level slider
# takes a level in dB and goes to the nearest position.
VALUE_SETS = [
    ("omni slider", -5.9, {"omni readout": "-5.93502395364968", "figure-8 readout": "0"},
     "Pattern: Hyper Card. Cardioid-like pattern with a rear lobe: nulls at 120 and -120 degrees"),
    ("figure-8 slider", -40.0, {"omni readout": "-5.93502395364968",
                                "figure-8 readout": "-40.0864274753527"},
     "Pattern: Omni. Omnidirectional pattern"),
]
# The probe slider takes the angle; the omni component alone at half gain.
PROBE_SET = (30, "30", 20 * math.log10(0.5))

# The gain one degree off the main axis of the Super Card pattern.
GAIN_AT_ONE_DEGREE = 20 * math.log10(0.7 + math.cos(math.radians(1)))
GAIN_TOLERANCE = 1e-3


class Abort(Exception):
    """A failure that leaves nothing further to check."""


class Report:
    def __init__(self, title):
        self.title = title
        self.failures = []

    def check(self, ok, text):
        print(f"  {'ok  ' if ok else 'FAIL'} {text}", flush=True)
        if not ok:
            self.failures.append(text)
        return ok


def fresh(acc):
    """Drops what libatspi cached, so the next read asks the program."""
    try:
        acc.clear_cache()
    except Exception:
        pass
    return acc


def name_of(acc):
    return fresh(acc).name


def value_of(acc):
    return fresh(acc).queryValue().currentValue


def is_focused(acc):
    return fresh(acc).getState().contains(pyatspi.STATE_FOCUSED)


def poll(read, want, timeout=POLL_SECONDS):
    """Reads until want(value) holds or the time is up; returns (held, last value)."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = read()
        except Exception as error:  # the object may be mid-update on the bus
            value = error
        if not isinstance(value, Exception) and want(value):
            return True, value
        if time.monotonic() >= deadline:
            return False, value
        time.sleep(0.05)


def descendants(root):
    """Every object under root, depth first; windows here are small."""
    stack = [root]
    while stack:
        acc = stack.pop()
        for i in range(acc.childCount - 1, -1, -1):
            child = acc.getChildAtIndex(i)
            if child is not None:
                yield child
                stack.append(child)


def find_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    found, app = poll(
        lambda: next((a for a in desktop if a is not None and a.get_process_id() == pid), None),
        lambda a: a is not None, STARTUP_SECONDS)
    if not found:
        names = [a.name for a in desktop if a is not None]
        raise Abort(f"process {pid} never appeared on the accessibility desktop "
                    f"(applications there: {names})")
    return app


def find_window(report, app):
    # The program's top-level window should be announced as a window with the title.
    frames = [c for c in app if c is not None and c.name == "Orvane"]
    report.check(len(frames) == 1,
                 f"application {app.name!r} has one top-level object named 'Orvane' "
                 f"(found {[(c.getRoleName(), c.name) for c in app if c is not None]})")
    if not frames:
        raise Abort("no window titled 'Orvane'")
    window = frames[0]
    report.check(window.getRole() == pyatspi.ROLE_FRAME,
                 f"the window titled 'Orvane' has the role 'frame' (it is '{window.getRoleName()}')")
    return window


def find_controls(report, window, full):
    everything = list(descendants(window))
    controls = {}
    for key, (role, field, wanted, probe_only) in CONTROLS.items():
        matches = [a for a in everything if a.getRole() == role and getattr(a, field) == wanted]
        what = f"{Atspi.role_get_name(role)} with {field} '{wanted}'"
        if probe_only and not full:
            report.check(not matches, f"the lite edition has no {what} (found {len(matches)})")
            continue
        if report.check(len(matches) == 1, f"one {what} ({key}; found {len(matches)})"):
            controls[key] = matches[0]
    return controls


# The caption over each slider, which its name must begin with: what a user of
# voice control says is what the screen shows.
CAPTIONS = {"omni slider": "Omni", "figure-8 slider": "Fig 8", "probe slider": "Radial Position"}


def check_names(report, controls):
    for key, caption in CAPTIONS.items():
        if key not in controls:
            continue
        slider = fresh(controls[key])
        labels = [target.name for relation in slider.getRelationSet()
                  if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                  for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]
        report.check(labels == [caption], f"{key} is labelled by the caption {caption!r} (labels {labels})")
        report.check(slider.name.startswith(caption),
                     f"{key}'s name {slider.name!r} begins with its caption {caption!r}")


def number_text(text_with_point, decimal):
    return text_with_point.replace(".", decimal)


def check_levels(report, controls, label, readouts, sliders, decimal):
    for key, with_point in readouts.items():
        if key not in controls:
            continue
        wanted = number_text(with_point, decimal)
        ok, got = poll(lambda: name_of(controls[key]), lambda v: v == wanted)
        report.check(ok, f"{label}: {key} reads {got!r} (want {wanted!r})")
    for key, wanted in sliders.items():
        if key not in controls:
            continue
        ok, got = poll(lambda: value_of(controls[key]), lambda v: abs(v - wanted) < 1e-9)
        report.check(ok, f"{label}: {key} value is {got!r} (want {wanted})")


def description_of(acc):
    return fresh(acc).description


def set_value(report, slider, key, value):
    fresh(slider).queryValue().currentValue = value
    report.check(True, f"set the {key}'s value to {value} through AT-SPI")


def check_value_sets(report, controls, full, decimal):
    """A value set through AT-SPI runs the handler a user's move runs."""
    plot = controls.get("plot")
    for key, value, readouts, plot_starts in VALUE_SETS:
        if key not in controls or plot is None:
            raise Abort(f"no {key} or plot to check")
        set_value(report, controls[key], key, value)
        for readout, with_point in readouts.items():
            wanted = number_text(with_point, decimal)
            ok, got = poll(lambda: name_of(controls[readout]), lambda v: v == wanted)
            report.check(ok, f"after the {key} set: {readout} reads {got!r} (want {wanted!r})")
        wanted = number_text(plot_starts, decimal)
        ok, got = poll(lambda: description_of(plot), lambda v: v.startswith(wanted))
        report.check(ok, f"after the {key} set: the plot describes {got!r} (want {wanted!r}...)")
    if not full:
        return
    angle, angle_text, gain = PROBE_SET
    set_value(report, controls["probe slider"], "probe slider", angle)
    ok, got = poll(lambda: name_of(controls["angle readout"]), lambda v: v == angle_text)
    report.check(ok, f"after the probe slider set: angle readout reads {got!r} (want {angle_text!r})")
    ok, got = poll(lambda: name_of(controls["gain readout"]),
                   lambda v: gain_number(v, decimal) is not None
                   and abs(gain_number(v, decimal) - gain) < GAIN_TOLERANCE)
    report.check(ok, f"after the probe slider set: gain readout reads {got!r} (want {gain:.4f})")


def press(report, button):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    index = next((i for i, n in enumerate(names) if n.lower() in ("press", "click")), None)
    if not report.check(index is not None, f"'{button.name}' offers a press action (actions: {names})"):
        raise Abort("cannot press the preset button")
    report.check(action.doAction(index), f"doAction('{names[index]}') on '{button.name}' accepted")


def run(command, timeout=10):
    return subprocess.run(command, capture_output=True, text=True, timeout=timeout, check=False)


def focus_program_window(report, pid):
    # Under a bare X server no window manager hands out the keyboard focus: give
    # it to the program's window, as clicking on it would.
    found = run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", "^Orvane$"])
    windows = found.stdout.split()
    if not report.check(len(windows) >= 1, f"xdotool finds the visible window of process {pid} "
                                           f"({windows or found.stderr.strip()})"):
        raise Abort("no X window to send keys to")
    focused = run(["xdotool", "windowfocus", "--sync", windows[0]])
    report.check(focused.returncode == 0, f"xdotool windowfocus {windows[0]} "
                                          f"(exit {focused.returncode}{' ' + focused.stderr.strip() if focused.stderr else ''})")


def gain_number(text, decimal):
    """The gain a readout shows, or None for empty, "off" or the other separator."""
    other = "," if decimal == "." else "."
    if not text or text == "off" or other in text:
        return None
    try:
        return float(text.replace(decimal, "."))
    except ValueError:
        return None


def check_probe(report, controls, pid, decimal):
    slider = controls.get("probe slider")
    angle = controls.get("angle readout")
    gain = controls.get("gain readout")
    if slider is None or angle is None or gain is None:
        raise Abort("the probe controls are missing")

    start = value_of(slider)
    report.check(start == 0, f"probe slider starts at {start!r} (want 0)")
    # Empty, a readout is named by nothing, not by its caption.
    start = name_of(gain)
    report.check(start == "", f"gain readout is named '' before the probe moves (name {start!r})")

    focus_program_window(report, pid)
    granted = fresh(slider).queryComponent().grabFocus()
    report.check(granted, "grabFocus on the probe slider accepted")
    ok, _ = poll(lambda: is_focused(slider), bool)
    if not report.check(ok, "the probe slider has the keyboard focus"):
        raise Abort("the key press would go elsewhere")

    sent = run(["xdotool", "key", "Right"])
    report.check(sent.returncode == 0, f"xdotool key Right (exit {sent.returncode})")

    ok, got = poll(lambda: value_of(slider), lambda v: v == 1)
    report.check(ok, f"after Right: probe slider value is {got!r} (want 1)")
    ok, got = poll(lambda: name_of(angle), lambda v: v == "1")
    report.check(ok, f"after Right: angle readout reads {got!r} (want '1')")

    ok, got = poll(lambda: name_of(gain), lambda v: gain_number(v, decimal) is not None)
    number = gain_number(got, decimal) if ok else None
    report.check(ok and abs(number - GAIN_AT_ONE_DEGREE) <= GAIN_TOLERANCE,
                 f"after Right: gain readout reads {got!r}, a number written with {decimal!r} "
                 f"within {GAIN_TOLERANCE} of {GAIN_AT_ONE_DEGREE:.4f}")
    report.check(decimal in str(got), f"gain readout {got!r} has the decimal separator {decimal!r}")


# The plot's context menu, opened with the menu key: found in the tree while it
# is open, with these entries among its own children, each where it is drawn.
PLOT_MENU_ENTRIES = ["Listen to the pattern", "Keep for comparison", "Copy image"]


def extents(acc):
    box = fresh(acc).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (box.x, box.y, box.width, box.height)


def inside(inner, outer):
    x, y, w, h = inner
    ox, oy, ow, oh = outer
    return w > 0 and h > 0 and ox <= x and oy <= y and x + w <= ox + ow and y + h <= oy + oh


def open_menus(app):
    return [a for a in descendants(app)
            if a.getRole() in (pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_MENU)
            and fresh(a).getState().contains(pyatspi.STATE_SHOWING)]


def focus_and_press(report, control, what, key):
    """Gives `control` (named `what`) the keyboard focus and presses `key` there."""
    report.check(fresh(control).queryComponent().grabFocus(), f"grabFocus on {what} accepted")
    ok, _ = poll(lambda: is_focused(control), bool)
    if not report.check(ok, f"{what} has the keyboard focus"):
        raise Abort(f"the key {key} would go elsewhere")
    sent = run(["xdotool", "key", key])
    report.check(sent.returncode == 0, f"xdotool key {key} (exit {sent.returncode})")


def press_on_plot(report, controls, pid, key):
    """The program's window in front, `key` pressed on its plot."""
    plot = controls.get("plot")
    if plot is None:
        raise Abort(f"no plot to press {key} on")
    focus_program_window(report, pid)
    focus_and_press(report, plot, "the plot", key)


def check_plot_menu(report, app, controls, pid):
    press_on_plot(report, controls, pid, "Menu")

    ok, menus = poll(lambda: open_menus(app), lambda found: len(found) == 1)
    if not report.check(ok, f"one open menu in the tree after the menu key "
                            f"(found {[(m.getRoleName(), m.name) for m in menus or []]})"):
        raise Abort("the plot's menu is not in the accessibility tree")
    menu = menus[0]
    where = extents(menu)
    report.check(where[2] > 0 and where[3] > 0, f"the open menu lies on the screen at {where}")
    entries = {fresh(menu.getChildAtIndex(i)).name: menu.getChildAtIndex(i) for i in range(menu.childCount)}
    for name in PLOT_MENU_ENTRIES:
        entry = entries.get(name)
        if not report.check(entry is not None, f"the open menu holds {name!r} (entries {sorted(entries)})"):
            continue
        parent = fresh(entry).parent
        report.check(parent is not None and parent.getRole() == menu.getRole() and parent.childCount == menu.childCount
                     and extents(parent) == where,
                     f"{name!r} has the open menu as its parent (parent {parent.getRoleName() if parent else None}, "
                     f"{parent.childCount if parent else 0} children)")
        box = extents(entry)
        report.check(inside(box, where), f"{name!r} lies at {box}, within the menu at {where}")

    sent = run(["xdotool", "key", "Escape"])
    ok, menus = poll(lambda: open_menus(app), lambda found: not found)
    report.check(ok, f"Escape closes the menu (open: {[m.name for m in menus or []]})")


# The pair window's controls, found by role and accessible name; the angle
# slider's value is the angle (Qt 6.4 gives AT-SPI no value text to read the
# spoken "90 degrees" from).
PAIR_TITLE = "Stereo pair"
PAIR_CONTROLS = [
    (pyatspi.ROLE_RADIO_BUTTON, "XY"),
    (pyatspi.ROLE_RADIO_BUTTON, "M/S"),
    (pyatspi.ROLE_SLIDER, "Angle between the microphones"),
    (pyatspi.ROLE_PUSH_BUTTON, "Blumlein"),
    (pyatspi.ROLE_IMAGE, PAIR_TITLE),
    (pyatspi.ROLE_IMAGE, "Localisation curve"),
]


def pair_windows(app):
    return [w for w in app if w is not None and w.name == PAIR_TITLE
            and fresh(w).getState().contains(pyatspi.STATE_SHOWING)]


def check_pair(report, app, controls, pid):
    """Opens the pair window with P on the plot, finds its controls, closes it with P from its slider."""
    press_on_plot(report, controls, pid, "p")
    ok, found = poll(lambda: pair_windows(app), lambda w: len(w) == 1)
    if not report.check(ok, f"P opens one window {PAIR_TITLE!r} (found {len(found or [])})"):
        raise Abort("no pair window")
    window = found[0]
    report.check(window.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW),
                 f"the pair window reads as a window (role '{window.getRoleName()}')")
    everything = list(descendants(window))
    angle = None
    for role, name in PAIR_CONTROLS:
        matches = [a for a in everything if a.getRole() == role and a.name == name]
        report.check(len(matches) == 1, f"the pair window has one {Atspi.role_get_name(role)} "
                                        f"named {name!r} (found {len(matches)})")
        if matches and role == pyatspi.ROLE_SLIDER:
            angle = matches[0]
    if angle is None:
        raise Abort("no angle slider to close the window from")
    got = value_of(angle)
    report.check(got == 90, f"the angle slider's value is {got!r} (want 90)")
    # The plot's letters work in the pair window too: P closes it.
    focus_and_press(report, angle, "the angle slider", "p")
    ok, found = poll(lambda: pair_windows(app), lambda w: not w)
    report.check(ok, f"P in the pair window closes it (open: {len(found or [])})")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pid", type=int, required=True, help="process id of the running edition")
    parser.add_argument("--edition", choices=["full", "lite"], required=True)
    parser.add_argument("--decimal", choices=[".", ","], required=True,
                        help="decimal separator the program's locale writes")
    parser.add_argument("--title", default="", help="what this run is, for the output")
    args = parser.parse_args()

    full = args.edition == "full"
    program = "Orvane" if full else "OrvaneLite"
    report = Report(args.title or program)
    print(f"{report.title}:", flush=True)
    try:
        app = find_application(args.pid)
        # The lite edition may be known by its own name or by the product's.
        names = {program, "Orvane"}
        report.check(app.name in names,
                     f"process {args.pid} is on the desktop as {app.name!r} (want one of {sorted(names)})")
        window = find_window(report, app)
        controls = find_controls(report, window, full)
        check_names(report, controls)

        before, after = LEVEL_STATES
        check_levels(report, controls, *before, args.decimal)
        if "Super Card button" not in controls:
            raise Abort("no Super Card button to press")
        press(report, controls["Super Card button"])
        check_levels(report, controls, *after, args.decimal)

        if full:
            check_probe(report, controls, args.pid, args.decimal)
        check_value_sets(report, controls, full, args.decimal)
        check_plot_menu(report, app, controls, args.pid)
        check_pair(report, app, controls, args.pid)
    except Abort as stop:
        report.failures.append(str(stop))
        print(f"  stopped: {stop}", flush=True)
    except Exception as error:  # the bus or the program went away mid-check
        report.failures.append(repr(error))
        print(f"  stopped by an error: {error!r}", flush=True)
        traceback.print_exc(file=sys.stdout)

    if report.failures:
        print(f"{report.title}: FAILED ({len(report.failures)} failed checks)", flush=True)
        return 1
    print(f"{report.title}: passed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
