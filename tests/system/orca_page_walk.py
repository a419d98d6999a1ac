#!/usr/bin/python3
"""Walks the full edition's page in a browser with the keyboard while the Orca
screen reader runs, and checks what Orca speaks at each step.

The steps are a listener's: both level sliders, two pattern buttons, the angle
slider and the plot. At each step the result must be heard once, in the
desktop's rounded words ("-33.93 dB", "Super Card: omni -3.06 dB, figure-8
0 dB"), no number of more than four digits may be spoken, and each control is
named with the caption the screen shows over it. Run by run_orca_page.sh, which
provides the desktop, Orca and the browser; Orca's debug file is read as
orca_walk.py reads it for the desktop.
"""

import argparse
import math
import re
import sys
import time

from orca_walk import QUIET_SECONDS, Transcript, key, level, number

# The page loads in a few seconds, under Xvfb in up to about 20.
LOAD_SECONDS = 60.0
# How long a step may wait for the utterance it needs.
STEP_SECONDS = 8.0
# A number read digit by digit is what must never be heard.
LONG_NUMBER = re.compile(r"\d{5,}")


def steps(decimal):
    """(what the user does, the keys, what Orca must say as a pattern, and
    whether that is the result of the action, to be heard exactly once)."""
    def n(value):
        return number(value, decimal)

    gain_at_1 = 20 * math.log10(0.7 + math.cos(math.radians(1)))  # Super Card, 1 degree
    end = r"[\s.]*$"
    return [
        ("Tab to the omni level slider", ["Tab"], rf"\bOmni level\b.*{n(level(100))} dB", False),
        ("Up: the omni level rises to position 99", ["Up"], rf"^{n(level(99))} dB{end}", True),
        ("Up again: position 98", ["Up"], rf"^{n(level(98))} dB{end}", True),
        ("Down: back to position 99", ["Down"], rf"^{n(level(99))} dB{end}", True),
        ("Tab to the figure-8 level slider", ["Tab"], rf"\bFig 8 level\b.*{n(level(100))} dB", False),
        # Page Up: Orca says nothing of a value equal to the last one it spoke,
        # whichever slider that was.
        ("Page Up: the figure-8 level rises to position 90", ["Prior"], rf"^{n(level(90))} dB{end}", True),
        ("Tab to the Cardiod button", ["Tab"], r"\bCardiod\b", False),
        ("space presses Cardiod", ["space"],
         rf"^Cardioid: omni {n(0)} dB, figure-8 {n(0)} dB{end}", True),
        ("Tab three times to Super Card", ["Tab", "Tab", "Tab"], r"\bSuper Card\b", False),
        ("space presses Super Card", ["space"],
         rf"^Super Card: omni {n(level(30))} dB, figure-8 {n(0)} dB{end}", True),
        ("Tab twice to the angle slider", ["Tab", "Tab"], r"\bRadial Position\b.*0 degrees", False),
        ("Right: the probe turns to 1 degree", ["Right"],
         rf"^1 degree, gain {n(gain_at_1)} dB{end}", True),
        ("Left, Left: the probe turns to -1 degree", ["Left", "Left"],
         rf"^-1 degree, gain {n(gain_at_1)} dB{end}", True),
        ("Shift+Tab back to the plot: its description", ["shift+Tab"] * 8,
         rf"Polar plot\. Pattern: Super Card\. Cardioid-like pattern with a rear lobe: nulls at 134{re.escape(decimal)}4 "
         rf"and -134{re.escape(decimal)}4 degrees", False),
    ]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--debug-file", required=True, help="Orca's debug file")
    parser.add_argument("--browser", required=True, help="for the transcript's heading")
    parser.add_argument("--decimal", choices=[".", ","], default=".")
    args = parser.parse_args()

    began = time.monotonic()
    transcript = Transcript(args.debug_file)
    # The page puts the focus on the plot once it has started: Orca names it.
    ok, heard = transcript.wait_for(re.compile(r"Polar plot\. Empty"), LOAD_SECONDS)
    print(f"{args.browser}: start ({time.monotonic() - began:.1f} s):")
    for line in heard:
        print(f"    '{line}'")
    if not ok:
        print("FAIL: Orca never announced the page's plot")
        return 1
    # Orca reads a page from the top once it has loaded: each exact readout
    # comes with its slider's caption before it and its unit after it.
    read = " | ".join(heard)
    review = re.compile(r"\bOmni\b.*\bOmni level\b.*-40\.0864274753527.*\bdB\b.*"
                        r"\bFig 8\b.*\bFig 8 level\b.*-40\.0864274753527.*\bdB\b")
    reviewed = bool(review.search(read))
    print(f"{'ok  ' if reviewed else 'FAIL'} the page read from the top: the readouts exact, each "
          f"after its caption and slider, with its unit")
    failures = 0 if reviewed else 1

    for what, keys, want, result in steps(args.decimal):
        step_began = time.monotonic()
        heard = []
        pattern = re.compile(want)
        for name in keys:
            key(name)
            # Each key after the one before has been spoken, as a listener would.
            heard += transcript.wait_for(re.compile("."), 2.0)[1]
        if not any(pattern.search(line) for line in heard):
            heard += transcript.wait_for(pattern, STEP_SECONDS)[1]
        # A result announced late, or twice, would show in the next moment.
        heard += transcript.wait_for(re.compile("^$"), QUIET_SECONDS)[1]
        times = sum(bool(pattern.search(line)) for line in heard)
        long_numbers = [line for line in heard if LONG_NUMBER.search(line)]
        problems = []
        if times == 0:
            problems.append("not heard")
        elif result and times > 1:
            problems.append(f"heard {times} times")
        if long_numbers:
            problems.append(f"a long number: {long_numbers}")
        print(f"{'FAIL' if problems else 'ok  '} {what} ({' '.join(keys)}); want /{want}/"
              f"{' once' if result else ''} ({time.monotonic() - step_began:.1f} s)"
              f"{': ' + '; '.join(problems) if problems else ''}:")
        for line in heard:
            print(f"    '{line}'")
        failures += bool(problems)

    total = len(steps(args.decimal)) + 1
    print(f"orca_page_walk: {args.browser}: {total - failures} steps heard as they should be, "
          f"{failures} not, in {time.monotonic() - began:.0f} s")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
