#!/usr/bin/env python3
"""Checks a recording of the pattern's sweep, as a listener's ears would.

The recording is raw 32-bit float stereo from the sound server's monitor. Window
by window (20 ms, every 5 ms) the tone's level in each channel is taken by
demodulating at its frequency; the recording is aligned to the sweep by where the
level first reaches half of its loudest; then, where the pattern's gain lies
above the floor, the level follows the gain within 1 dB, each channel follows
the pan, and the cardioid's rear is silent.

The expected gain is worked out here afresh from the pattern's formula, the
omni level a plus the figure-8 level b times the cosine of the direction:
  listen_check.py --rate 48000 --name cardioid --levels 0 0 [--frames FROM TO] recording.f32

The sweep around a stereo pair (--pair xy ANGLE, or --pair ms SIDE): each
channel is its microphone's signal, signed, relative to the louder one's
loudest; each channel's level follows its microphone's gain within 1 dB, and its
polarity (the tone's phase against one reference over the whole recording) its
sign, so that a channel of opposite polarity is heard inverted. At a few source
directions it prints the two channels' level difference and polarity heard:
  listen_check.py --rate 48000 --name blumlein --levels 100 0 --pair xy 90 recording.f32

What the tests wait on before they check: whether N sounds have been heard
from frame FROM on, each followed by a moment of silence (status 0), or not yet
(status 1), counting only those of at least SECONDS; with --started, whether
any sound has begun:
  listen_check.py --rate 48000 --heard N [--shortest SECONDS] [--started] --frames FROM END recording.f32
"""

import argparse
import array
import math
import sys

TONE_HZ = 440.0
FULL_SCALE = 0.5
FLOOR_DB = -40.0
SWEEP_SECONDS = 3.0
FADE_SECONDS = 0.01
WINDOW_SECONDS = 0.02
HOP_SECONDS = 0.005
START_SKIPPED = 0.15
PROBE_SECONDS = 0.15


def db(x):
    return 20.0 * math.log10(x) if x > 0 else -math.inf


def pair_signals(degrees, a, b, pair):
    """The pair's left and right microphones' signed signals toward a source at
    `degrees` (0 the front, positive on the left microphone's side)."""
    technique, value = pair
    theta = math.radians(degrees)
    if technique == "xy":  # left facing +ANGLE/2, right -ANGLE/2
        half = math.radians(value / 2.0)
        return a + b * math.cos(theta - half), a + b * math.cos(theta + half)
    side = (100 - value) / 100.0 * math.sin(theta)  # a figure-8 facing +90
    mid = a + b * math.cos(theta)
    return mid + side, mid - side


def expected_channels(t, a, b, loudest, pair=None):
    """Left and right tone amplitudes at time t of the sweep: the pan's for one
    microphone, the pair's signed signals for a pair."""
    if t < 0 or t > SWEEP_SECONDS:
        return 0.0, 0.0
    degrees = -180.0 + 360.0 * t / SWEEP_SECONDS
    theta = math.radians(degrees)
    fade = min(1.0, t / FADE_SECONDS, (SWEEP_SECONDS - t) / FADE_SECONDS)
    fade = 0.5 - 0.5 * math.cos(math.pi * fade)
    floor = 10 ** (FLOOR_DB / 20)
    if pair:
        return tuple(0.0 if abs(x / loudest) < floor else FULL_SCALE * fade * x / loudest
                     for x in pair_signals(degrees, a, b, pair))
    relative = abs(a + b * math.cos(theta)) / loudest
    if relative < floor:
        relative = 0.0
    turn = (1.0 - math.sin(theta)) * math.pi / 4.0  # 90 degrees: left alone
    level = FULL_SCALE * relative * fade
    return level * math.cos(turn), level * math.sin(turn)


def demodulate(samples, rate, start, length, channel, window):
    """The tone in one channel over `length` frames from `start`: its amplitude
    and phase as one complex number, the phase against the recording's first
    frame, so that the same tone inverted turns it by half a turn."""
    omega = 2.0 * math.pi * TONE_HZ / rate
    re = im = 0.0
    for i in range(length):
        x = samples[2 * (start + i) + channel] * window[i]
        re += x * math.cos(omega * (start + i))
        im += x * math.sin(omega * (start + i))
    return 2.0 * complex(re, im) / sum(window)


def heard(samples, rate, count, started, shortest):
    """Whether `count` sounds of at least `shortest` seconds lie in the
    recording, each ended by silence."""
    block = rate // 100
    quiet = (FULL_SCALE * 10 ** (-60 / 20)) ** 2 / 2  # a tone's mean square at -60 dB
    gap = int(0.3 * 100)  # blocks of silence that end a sound
    sounds, first, last = 0, None, None
    for i, start in enumerate(range(0, len(samples) // 2 - block + 1, block)):
        part = samples[2 * start:2 * (start + block)]
        if sum(x * x for x in part) / block > quiet:
            if started:
                return 0
            first = i if first is None else first
            last = i
        elif first is not None and i - last >= gap:
            sounds += (last + 1 - first) / 100 >= shortest
            first = None
    return 0 if sounds >= count and not started else 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rate", type=int, required=True)
    parser.add_argument("--heard", type=int, metavar="N", help="only tell whether N sounds have been heard")
    parser.add_argument("--started", action="store_true", help="with --heard: whether a sound has begun")
    parser.add_argument("--shortest", type=float, default=0.0, help="with --heard: the seconds a sound lasts at least")
    parser.add_argument("--name")
    parser.add_argument("--levels", type=int, nargs=2)
    parser.add_argument("--frames", type=int, nargs=2, metavar=("FROM", "TO"),
                        help="the part of the recording to look at")
    parser.add_argument("--probe", type=int, nargs="+", metavar="ANGLE",
                        help="look for the probe's short sounds at these angles instead of a sweep")
    parser.add_argument("--pair", nargs=2, metavar=("xy|ms", "VALUE"),
                        help="the sweep around a stereo pair: XY at an angle, or M/S with its side's level slider")
    parser.add_argument("recording")
    args = parser.parse_args()
    rate = args.rate
    if args.heard is not None:
        samples = array.array("f")
        with open(args.recording, "rb") as f:
            f.seek(8 * args.frames[0])
            data = f.read(8 * (args.frames[1] - args.frames[0]))
        samples.frombytes(data[:len(data) // 8 * 8])  # parec may be mid-frame
        return heard(samples, rate, args.heard, args.started, args.shortest)
    if args.name is None or args.levels is None:
        parser.error("--name and --levels are wanted")
    a = (100 - args.levels[0]) / 100.0
    b = (100 - args.levels[1]) / 100.0
    pair = None
    if args.pair:
        if args.pair[0] not in ("xy", "ms"):
            parser.error("--pair is xy or ms")
        pair = (args.pair[0], int(args.pair[1]))
        # The louder microphone's loudest over the quarter degrees the sweep works out.
        loudest = max(abs(x) for k in range(4 * 360 + 1) for x in pair_signals(-180.0 + k / 4.0, a, b, pair))
    else:
        loudest = max(abs(a + b * math.cos(math.radians(v))) for v in range(-180, 181))

    samples = array.array("f")
    with open(args.recording, "rb") as f:
        samples.frombytes(f.read())
    if args.frames:
        samples = samples[2 * args.frames[0]:2 * args.frames[1]]
    frames = len(samples) // 2
    length = int(WINDOW_SECONDS * rate)
    hop = int(HOP_SECONDS * rate)
    window = [0.5 - 0.5 * math.cos(2 * math.pi * (i + 0.5) / length) for i in range(length)]
    starts = range(0, frames - length, hop)
    phasors = [(demodulate(samples, rate, s, length, 0, window),
                demodulate(samples, rate, s, length, 1, window)) for s in starts]
    measured = [(abs(l), abs(r)) for l, r in phasors]
    total = [math.hypot(l, r) for l, r in measured]
    failures = []

    def report(ok, text):
        if not ok:
            failures.append(text)
        return ok

    if args.probe:
        return check_probe(args, a, b, loudest, measured, total, report, failures)

    if not args.probe and not report(frames > rate * SWEEP_SECONDS and max(total, default=0) > FULL_SCALE / 4,
                  f"no sweep recorded ({frames} frames, loudest {max(total, default=0):.4f})"):
        print(f"{args.name}: FAILED: " + "; ".join(failures))
        return 1

    # The expected levels over the same windows, for a sweep starting at time 0;
    # every 8th frame is close enough for the window's average.
    def expected_window(t0):
        sums = [0.0, 0.0]
        weights = 0.0
        for i in range(0, length, 8):
            l, r = expected_channels(t0 + i / rate, a, b, loudest, pair)
            sums[0] += l * window[i]
            sums[1] += r * window[i]
            weights += window[i]
        return sums[0] / weights, sums[1] / weights

    # Alignment: the first window whose level reaches half the loudest, in the
    # recording and in the expected sweep, with straight-line interpolation.
    def first_half_crossing(levels, times):
        half = max(levels) / 2
        for i in range(1, len(levels)):
            if levels[i - 1] < half <= levels[i]:
                return times[i - 1] + (half - levels[i - 1]) / (levels[i] - levels[i - 1]) * (times[i] - times[i - 1])
        return None

    # From a window before the start: a sweep as loud at its start as anywhere
    # (the Blumlein pair's two channels together) crosses in its fade-in.
    grid = [i * HOP_SECONDS for i in range(-int(WINDOW_SECONDS / HOP_SECONDS), int(SWEEP_SECONDS / HOP_SECONDS))]
    expected_grid = [math.hypot(*expected_window(t)) for t in grid]
    t_expected = first_half_crossing(expected_grid, grid)
    t_measured = first_half_crossing(total, [s / rate for s in starts])
    offset = t_measured - t_expected  # the sweep's start in the recording

    compared = silent = panned = 0
    worst = 0.0
    for (l, r), s in zip(measured, starts):
        t = s / rate - offset
        if t < 0 or t + WINDOW_SECONDS > SWEEP_SECONDS:
            continue
        el, er = expected_window(t)
        etotal = math.hypot(el, er)
        mtotal = math.hypot(l, r)
        centre = -180.0 + 360.0 * (t + WINDOW_SECONDS / 2) / SWEEP_SECONDS
        if not pair and args.levels == [0, 0] and abs(centre) > 173.0:
            report(mtotal < FULL_SCALE * 10 ** (-60 / 20),
                   f"the cardioid's rear at {centre:.1f} degrees is not silent: {db(mtotal / FULL_SCALE):.1f} dB")
            silent += 1
        # Not in the fades at the start and end, and not in the first tenth of a
        # second: a stream that joins a running null sink loses that much of its
        # start on the monitor, where the server mixed it into a stretch the
        # monitor had already handed on.
        if t < START_SKIPPED or t + WINDOW_SECONDS > SWEEP_SECONDS - 0.05:
            continue
        if etotal > FULL_SCALE * 10 ** ((FLOOR_DB + 3) / 20):
            error = db(mtotal) - db(etotal)
            worst = max(worst, abs(error))
            report(abs(error) <= 1.0, f"at {centre:.1f} degrees the level is {db(mtotal / FULL_SCALE):.2f} dB, "
                                      f"the pattern's gain {db(etotal / FULL_SCALE):.2f} dB")
            compared += 1
            # Each channel where it carries enough to be heard on its own.
            for name, m, e in (("left", l, el), ("right", r, er)):
                if abs(e) > FULL_SCALE * 10 ** (-30 / 20):
                    report(abs(db(m) - db(abs(e))) <= 1.0,
                           f"at {centre:.1f} degrees the {name} channel is {db(m / FULL_SCALE):.2f} dB, "
                           f"the {'microphone' if pair else 'pan'} gives {db(abs(e) / FULL_SCALE):.2f} dB")
                    panned += 1
    report(offset > 0, f"the recording starts {-offset:.3f} s after the sweep")
    report(compared > 300, f"only {compared} windows compared")
    report(panned > 300, f"only {panned} channel windows compared")
    if pair:
        heard_figures = check_pair_polarity(phasors, starts, rate, offset, length, expected_window, report)
        return verdict(args.name, failures,
                       f"{compared} windows within 1 dB of the louder microphone's gain (worst {worst:.2f} dB), "
                       f"{panned} channel windows at their microphone's gain; {heard_figures}; "
                       f"the sweep starts {offset:.3f} s into the recording")
    if args.levels == [0, 0]:
        report(silent >= 10, f"only {silent} windows at the cardioid's rear")
    # Left at 90 degrees, right at -90: the two sides are told apart.
    for degrees, louder in ((90.0, 0), (-90.0, 1)):
        t = (degrees + 180.0) / 360.0 * SWEEP_SECONDS + offset - WINDOW_SECONDS / 2
        i = min(range(len(starts)), key=lambda k: abs(starts[k] / rate - t))
        quiet = measured[i][1 - louder]
        report(measured[i][louder] > 30 * max(quiet, 1e-9),
               f"at {degrees:.0f} degrees the {'left' if louder == 0 else 'right'} channel does not carry the sound "
               f"(left {measured[i][0]:.4f}, right {measured[i][1]:.4f})")
    return verdict(args.name, failures,
                   f"{compared} windows within 1 dB of the gain (worst {worst:.2f} dB), "
                   f"{panned} channel windows follow the pan, {silent} silent windows at the rear; "
                   f"the sweep starts {offset:.3f} s into the recording")


def verdict(name, failures, passed):
    """Prints the first failures, or what passed; the exit status."""
    if failures:
        print(f"{name}: FAILED ({len(failures)} checks):")
        for text in failures[:20]:
            print("  " + text)
        return 1
    print(f"{name}: passed: {passed}")
    return 0


def check_pair_polarity(phasors, starts, rate, offset, length, expected_window, report):
    """Each channel's polarity against the expected sign of its microphone's
    signal, through the whole sweep; the two channels' level difference and
    polarity at a few source directions. Returns those figures as text."""
    heard = FULL_SCALE * 10 ** (-20 / 20)  # clearly heard over the window
    windows = []
    for (l, r), s in zip(phasors, starts):
        t = s / rate - offset
        if START_SKIPPED <= t and t + length / rate <= SWEEP_SECONDS - 0.05:
            windows.append((t, l, r, expected_window(t)))
    # The reference: the left channel where it is loudest, with its expected
    # sign; a channel that is the same tone inverted points the other way.
    _, ref_l, _, (ref_e, _) = max(windows, key=lambda w: abs(w[3][0]))
    reference = ref_l * (1 if ref_e > 0 else -1) / abs(ref_l)
    checked = inverted = opposite = 0
    for t, l, r, (el, er) in windows:
        centre = -180.0 + 360.0 * (t + length / rate / 2) / SWEEP_SECONDS
        for name, m, e in (("left", l, el), ("right", r, er)):
            if abs(e) > heard:
                sign = (m * reference.conjugate()).real
                report(sign * e > 0, f"at {centre:.1f} degrees the {name} channel is "
                                     f"{'inverted' if sign < 0 else 'upright'}, its microphone's signal "
                                     f"{'negative' if e < 0 else 'positive'}")
                checked += 1
                inverted += e < 0
        if abs(el) > heard and abs(er) > heard and el * er < 0:
            opposite += 1
    report(checked > 300, f"only {checked} channel windows' polarity checked")
    figures = []
    for degrees in (0.0, 45.0, -45.0, 60.0, 90.0, 120.0, 170.0):
        t = (degrees + 180.0) / 360.0 * SWEEP_SECONDS - length / rate / 2
        t, l, r, (el, er) = min(windows, key=lambda w: abs(w[0] - t))
        degrees = -180.0 + 360.0 * (t + length / rate / 2) / SWEEP_SECONDS  # the window's own centre
        if abs(el) <= heard / 3 or abs(er) <= heard / 3:
            continue  # a null of one: no ratio to hear
        difference, expected = db(abs(l) / abs(r)), db(abs(el) / abs(er))
        correlation = (l * r.conjugate()).real / (abs(l) * abs(r))
        report(abs(difference - expected) <= 1.0,
               f"at {degrees:.1f} degrees left - right is {difference:.2f} dB, the microphones' {expected:.2f} dB")
        report((correlation < 0) == (el * er < 0),
               f"at {degrees:.1f} degrees the channels are {'opposite' if correlation < 0 else 'of one polarity'}, "
               f"the microphones' signals {'opposite' if el * er < 0 else 'of one sign'}")
        signs = "".join(f"{name}{'+' if (m * reference.conjugate()).real > 0 else '-'}" for name, m in (("L", l), ("R", r)))
        figures.append(f"{degrees:+.1f}: {signs} L-R {difference:.2f} dB (microphones {expected:.2f}), "
                       f"correlation {correlation:+.3f}")
    return (f"{checked} channel windows of the right polarity, {inverted} of them inverted, {opposite} windows "
            f"of opposite polarity; " + "; ".join(figures))


def check_probe(args, a, b, loudest, measured, total, report, failures):
    """The probe's sounds: one burst of the tone for each angle, in order, each
    about PROBE_SECONDS long, at the gain there and panned there."""
    quiet = FULL_SCALE * 10 ** (-60 / 20)
    bursts, start = [], None
    for i, level in enumerate(total + [0.0]):
        if level > quiet and start is None:
            start = i
        elif level <= quiet and start is not None:
            bursts.append((start, i))
            start = None
    report(len(bursts) == len(args.probe), f"{len(bursts)} sounds heard for {len(args.probe)} moves")
    for (first, end), angle in zip(bursts, args.probe):
        seconds = (end - first) * HOP_SECONDS
        # The sink runs at a low latency (run_listen.sh), so the monitor loses
        # little of a sound's start: a sound cut short is a fault.
        report(PROBE_SECONDS - 0.03 <= seconds <= PROBE_SECONDS + WINDOW_SECONDS + 0.02,
               f"the sound at {angle} degrees lasts {seconds:.3f} s")
        left, right = measured[max(first, end - 1 - int((PROBE_SECONDS / 2) / HOP_SECONDS))]
        theta = math.radians(angle)
        relative = abs(a + b * math.cos(theta)) / loudest
        turn = (1.0 - math.sin(theta)) * math.pi / 4.0
        expected = FULL_SCALE * relative
        report(abs(db(math.hypot(left, right)) - db(expected)) <= 1.0,
               f"the sound at {angle} degrees is {db(math.hypot(left, right) / FULL_SCALE):.2f} dB, "
               f"the gain {db(relative):.2f} dB")
        for name, m, e in (("left", left, expected * math.cos(turn)), ("right", right, expected * math.sin(turn))):
            if e > quiet:
                report(abs(db(m) - db(e)) <= 1.0, f"the sound at {angle} degrees: the {name} channel is "
                                                  f"{db(m / FULL_SCALE):.2f} dB, the pan gives {db(e / FULL_SCALE):.2f} dB")
    if failures:
        print(f"{args.name}: FAILED ({len(failures)} checks):")
        for text in failures:
            print("  " + text)
        return 1
    lengths = ", ".join(f"{(end - first) * HOP_SECONDS:.3f}" for first, end in bursts)
    print(f"{args.name}: passed: {len(bursts)} sounds ({lengths} s), at the probe's gain and pan")
    return 0


if __name__ == "__main__":
    sys.exit(main())
