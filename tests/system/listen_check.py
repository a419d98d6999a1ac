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


def expected_channels(t, a, b, loudest):
    """Left and right tone amplitudes at time t of the sweep."""
    if t < 0 or t > SWEEP_SECONDS:
        return 0.0, 0.0
    degrees = -180.0 + 360.0 * t / SWEEP_SECONDS
    theta = math.radians(degrees)
    relative = abs(a + b * math.cos(theta)) / loudest
    if relative < 10 ** (FLOOR_DB / 20):
        relative = 0.0
    fade = min(1.0, t / FADE_SECONDS, (SWEEP_SECONDS - t) / FADE_SECONDS)
    fade = 0.5 - 0.5 * math.cos(math.pi * fade)
    turn = (1.0 - math.sin(theta)) * math.pi / 4.0  # 90 degrees: left alone
    level = FULL_SCALE * relative * fade
    return level * math.cos(turn), level * math.sin(turn)


def demodulate(samples, rate, start, length, channel, window):
    """Amplitude of the tone in one channel over `length` frames from `start`."""
    omega = 2.0 * math.pi * TONE_HZ / rate
    re = im = 0.0
    for i in range(length):
        x = samples[2 * (start + i) + channel] * window[i]
        re += x * math.cos(omega * (start + i))
        im += x * math.sin(omega * (start + i))
    return 2.0 * math.hypot(re, im) / sum(window)


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
    measured = [(demodulate(samples, rate, s, length, 0, window),
                 demodulate(samples, rate, s, length, 1, window)) for s in starts]
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
            l, r = expected_channels(t0 + i / rate, a, b, loudest)
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

    grid = [i * HOP_SECONDS for i in range(int(SWEEP_SECONDS / HOP_SECONDS))]
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
        if args.levels == [0, 0] and abs(centre) > 173.0:
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
                if e > FULL_SCALE * 10 ** (-30 / 20):
                    report(abs(db(m) - db(e)) <= 1.0, f"at {centre:.1f} degrees the {name} channel is "
                                                      f"{db(m / FULL_SCALE):.2f} dB, the pan gives {db(e / FULL_SCALE):.2f} dB")
                    panned += 1
    report(offset > 0, f"the recording starts {-offset:.3f} s after the sweep")
    report(compared > 300, f"only {compared} windows compared")
    report(panned > 300, f"only {panned} channel windows compared")
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
    if failures:
        print(f"{args.name}: FAILED ({len(failures)} checks):")
        for text in failures[:20]:
            print("  " + text)
        return 1
    print(f"{args.name}: passed: {compared} windows within 1 dB of the gain (worst {worst:.2f} dB), "
          f"{panned} channel windows follow the pan, {silent} silent windows at the rear; "
          f"the sweep starts {offset:.3f} s into the recording")
    return 0


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
