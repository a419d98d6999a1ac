#!/usr/bin/python3
"""Walks the full edition with the keyboard while the Orca screen reader runs,
and checks what Orca speaks.

Orca writes every utterance to its debug file as a line "SPEECH OUTPUT: '...'",
also with no sound card. After each key press this reads the new lines until one
says what the step needs (or the time is up), waits until Orca falls silent, and
goes on. It prints the whole transcript, step by step. Run by run_orca.sh, which
provides the desktop, Orca and the program.
"""

import argparse
import math
import re
import subprocess
import sys
import time

# The utterance, then the voice Orca gave it, as in
# SPEECH OUTPUT: 'Omni slider 100.'{'established': False}
# SPEECH OUTPUT: 'Radial Position'[{'established': False}]
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\w+)? ?(?:\[?\{.*\}\]?)?\s*$")
# How long a step may wait for the utterance it needs, and how long Orca must
# stay silent before the next key goes out.
STEP_SECONDS = 12.0
QUIET_SECONDS = 0.8


def number(value, decimal):
    """A level as it is spoken: two decimals at most, trailing zeros dropped."""
    text = f"{value:.2f}".rstrip("0").rstrip(".")
    if text == "-0":
        text = "0"
    return re.escape(text.replace(".", decimal))


def level(position):
    """A level slider's level in dB: the readouts count from 101."""
    return 20 * math.log10((101 - position) / 101)


def steps(decimal, listen):
    """(what the user does, the keys, what Orca must say: a pattern, or a tuple
    of patterns that must all be heard)."""
    gain_at_1 = 20 * math.log10(0.7 + math.cos(math.radians(1)))  # Super Card, 1 degree
    return [
        ("Tab to the omni level slider", ["Tab"], r"Omni slider"),
        ("Up: the omni level rises to position 99", ["Up"], rf"^{number(level(99), decimal)}( dB)?$"),
        ("Up again: position 98", ["Up"], rf"^{number(level(98), decimal)}( dB)?$"),
        ("Down: back to position 99", ["Down"], rf"^{number(level(99), decimal)}( dB)?$"),
        ("Tab to the figure-8 level slider", ["Tab"], r"Fig 8 slider"),
        ("Tab to the Cardiod button", ["Tab"], r"Cardiod push button"),
        ("space presses Cardiod", ["space"],
         rf"Cardioid: omni {number(0, decimal)} dB, figure-8 {number(0, decimal)} dB"),
        ("Tab three times to Super Card", ["Tab", "Tab", "Tab"], r"Super Card push button"),
        ("space presses Super Card", ["space"],
         rf"Super Card: omni {number(level(30), decimal)} dB, figure-8 {number(0, decimal)} dB"),
        # Flat review, line by line downwards from the last button: the angle and
        # gain readouts are still empty, and their captions must be read once.
        # On a button, a review key that reaches the program (Qt 6.4 passes a key
        # on when the screen reader's answer is late) changes nothing.
        ("Tab to Hyper Card", ["Tab"], r"Hyper Card push button"),
        ("flat review: the next line, the angle readout empty", ["KP_Page_Up"],
         r"^Angle\(deg\):$"),
        ("flat review: the gain line, its readout empty", ["KP_Page_Up"], r"^Gain \(db\):$"),
        ("leave flat review", ["KP_Subtract"], r"(?i)leaving flat review"),
        ("Tab to the angle slider", ["Tab"], r"Radial Position slider"),
        ("Right: the probe turns to 1 degree", ["Right"],
         rf"1 degree.*gain {number(gain_at_1, decimal)} dB"),
        ("Left, Left: the probe turns to -1 degree", ["Left", "Left"],
         rf"-1 degree.*gain {number(gain_at_1, decimal)} dB"),
        ("Tab to the plot: its description, which names the key to listen", ["Tab"],
         (rf"Pattern: Super Card\. Cardioid-like pattern with a rear lobe: nulls at 134{re.escape(decimal)}4 and "
          rf"-134{re.escape(decimal)}4 degrees", r"Press L to listen to the pattern")),
    ] + ([
        # The sweep plays for three seconds; its start and its end are announced.
        ("L on the plot: listening starts, and ends", ["l"],
         (r"Listening to the pattern", r"Listening ended")),
    ] if listen else []) + [
        # The wheel over the figure-8 slider, at the top since Super Card: the
        # slider takes the focus and the level falls below 0 dB.
        ("wheel down over the figure-8 slider", ["wheel-down:Slider2"],
         rf"^(Fig 8 slider )?-\d+{re.escape(decimal)}\d\d\.?$"),
    ]


# Centres of the sliders in the window, in pixels: the layout's twips / 15.
SLIDER_CENTRES = {"Slider2": ((1080 + 375 // 2) // 15, (1200 + 2055 // 2) // 15)}


class Transcript:
    """The SPEECH OUTPUT lines of Orca's debug file, read as they come."""

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.partial = ""

    def new_lines(self):
        try:
            with open(self.path, "rb") as debug:
                debug.seek(self.offset)
                data = debug.read()
        except FileNotFoundError:
            return []
        self.offset += len(data)
        text = self.partial + data.decode("utf-8", "replace")
        lines = text.split("\n")
        self.partial = lines.pop()
        return [m.group(1) for m in map(SPEECH.search, lines) if m]

    def wait_for(self, pattern, timeout):
        """Collects utterances until one matches and Orca is quiet, or time is up."""
        heard, matched = [], False
        deadline = time.monotonic() + timeout
        last = time.monotonic()
        while True:
            lines = self.new_lines()
            if lines:
                heard += lines
                last = time.monotonic()
                matched = matched or any(pattern.search(line) for line in lines)
            now = time.monotonic()
            if matched and now - last >= QUIET_SECONDS:
                return True, heard
            if now >= deadline:
                return matched, heard
            time.sleep(0.05)


def xdotool(*arguments):
    done = subprocess.run(["xdotool", *arguments], capture_output=True, text=True, timeout=10,
                          check=False)
    if done.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(arguments)}: {done.stderr.strip()}")
    return done.stdout


def key(name):
    """A key, or "wheel-down:SLIDER": the mouse wheel turned once over that slider."""
    if not name.startswith("wheel-down:"):
        xdotool("key", "--delay", "150", name)
        return
    window = xdotool("search", "--onlyvisible", "--name", "^Orvane$").split()[0]
    x, y = SLIDER_CENTRES[name.split(":", 1)[1]]
    xdotool("mousemove", "--window", window, str(x), str(y))
    xdotool("click", "5")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--debug-file", required=True, help="Orca's debug file")
    parser.add_argument("--decimal", choices=[".", ","], default=".")
    parser.add_argument("--listen", action="store_true",
                        help="a sound server runs: listen to the pattern too")
    args = parser.parse_args()

    transcript = Transcript(args.debug_file)
    # The program's window took the focus: Orca names it, then the plot.
    ok, heard = transcript.wait_for(re.compile(r"Polar plot"), 30)
    print("start:")
    for line in heard:
        print(f"    '{line}'")
    if not ok:
        print("FAIL: Orca never announced the window and the plot")
        return 1

    failures = 0
    walk = steps(args.decimal, args.listen)
    for what, keys, want in walk:
        # Each key after the one before has been spoken, as a listener would.
        heard = []
        for name in keys:
            key(name)
            heard += transcript.wait_for(re.compile("."), 2.0)[1]
        wants = want if isinstance(want, tuple) else (want,)
        matched = True
        for one in wants:
            pattern = re.compile(one)
            if not any(pattern.search(line) for line in heard):
                more_ok, more = transcript.wait_for(pattern, STEP_SECONDS)
                heard += more
                matched = matched and more_ok
        shown = " and ".join(f"/{one}/" for one in wants)
        print(f"{'ok  ' if matched else 'FAIL'} {what} ({' '.join(keys)}); want {shown}:")
        for line in heard:
            print(f"    '{line}'")
        failures += not matched

    print(f"orca_walk: {len(walk) - failures} steps heard, {failures} not")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
