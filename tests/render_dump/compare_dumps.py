#!/usr/bin/env python3
"""Renders the probe's target with the stand-in and with Wine and compares
the two images channel by channel.

    compare_dumps.py --standin RENDER_DUMP --wine RENDER_DUMP.exe.so
                     --harness WINERUN.py --session SESSION_DIR [--tolerance 2]

Both programs are render_dump built from the same source: the probe's own
first frame, then "target01" written as a PAM image. The stand-in's runs
directly (its build comes from the standin preset); Wine's runs in the
end-to-end tests' session through the harness, which reports a crash or a
hang as such.

Every pixel is compared. The first draw covers the whole 256 x 256 target.
The second draw reads the vertex block as vertices without colour, and what
it would cover lies within a pixel of the left and top edges at depths
above 0, where the first draw left depth 0 and the depth test (less or
equal) keeps it out; on both devices it changes no pixel (measured by
leaving it out), so no pixel is excused.
"""

import argparse
import os
import subprocess
import sys
import tempfile

SIDE = 256
CHANNELS = "RGBA"
HEADER_END = b"ENDHDR\n"
# Fewer distinct colours than this and the image is not the rendered quad
# (a target that was only cleared, or never drawn into, has one or two).
MIN_DISTINCT_COLOURS = 32


class ComparisonError(Exception):
    pass


def read_pam(path):
    with open(path, "rb") as f:
        data = f.read()
    end = data.find(HEADER_END)
    if not data.startswith(b"P7\n") or end < 0:
        raise ComparisonError(f"{path} is not a PAM image")
    fields = dict(line.split(b" ", 1) for line in data[3:end].splitlines() if b" " in line)
    size = (int(fields.get(b"WIDTH", b"0")), int(fields.get(b"HEIGHT", b"0")), int(fields.get(b"DEPTH", b"0")))
    pixels = data[end + len(HEADER_END):]
    if size != (SIDE, SIDE, 4) or len(pixels) != SIDE * SIDE * 4:
        raise ComparisonError(f"{path} holds {size[0]} x {size[1]} x {size[2]} "
                              f"({len(pixels)} bytes), not {SIDE} x {SIDE} RGBA")
    return pixels


def run_standin(program, output):
    if not os.path.exists(program):
        raise ComparisonError(
            f"the stand-in's render_dump is missing ({program}): build the standin preset first "
            "(make standin; make test builds it before the wine preset)")
    result = subprocess.run([program], env=dict(os.environ, RENDER_DUMP_FILE=output), stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=120)
    print("---- stand-in")
    print(result.stdout, end="")
    if result.returncode != 0:
        raise ComparisonError(f"the stand-in's render_dump ended with exit code {result.returncode}")


def run_wine(harness, session, program, output):
    result = subprocess.run([sys.executable, harness, "run", session, "--expect-exit", "0", "--", program],
                            env=dict(os.environ, RENDER_DUMP_FILE=output), stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, timeout=180)
    print("---- Wine")
    print(result.stdout, end="")
    if result.returncode != 0:
        raise ComparisonError(f"Wine's render_dump did not run cleanly (harness exit code {result.returncode})")


def describe(pixels, x, y):
    i = 4 * (y * SIDE + x)
    return " ".join(f"{c} 0x{pixels[i + k]:02x}" for k, c in enumerate(CHANNELS))


def compare(standin, wine, tolerance):
    """Returns the failures; prints the largest difference and where it is."""
    failures = []
    for name, pixels in (("stand-in", standin), ("Wine", wine)):
        distinct = len({pixels[i:i + 4] for i in range(0, len(pixels), 4)})
        if distinct < MIN_DISTINCT_COLOURS:
            failures.append(f"the {name} image has only {distinct} distinct colours: the quad was not drawn")

    largest, where = -1, None
    per_channel = [0] * 4
    outside = []
    for i in range(len(standin)):
        difference = abs(standin[i] - wine[i])
        pixel, channel = divmod(i, 4)
        per_channel[channel] = max(per_channel[channel], difference)
        if difference > largest:
            largest, where = difference, (pixel % SIDE, pixel // SIDE, CHANNELS[channel])
        if difference > tolerance:
            outside.append((pixel % SIDE, pixel // SIDE, CHANNELS[channel], standin[i], wine[i]))

    differing = sum(1 for p in range(0, len(standin), 4) if standin[p:p + 4] != wine[p:p + 4])
    print(f"pixel (0, 0): stand-in {describe(standin, 0, 0)}; Wine {describe(wine, 0, 0)}")
    print(f"largest difference {largest}, first at ({where[0]}, {where[1]}) channel {where[2]}; "
          f"per channel " + ", ".join(f"{c} {d}" for c, d in zip(CHANNELS, per_channel)) +
          f"; {differing} of {SIDE * SIDE} pixels differ at all")
    if outside:
        shown = "; ".join(f"({x}, {y}) {c}: stand-in {a}, Wine {b}" for x, y, c, a, b in outside[:10])
        failures.append(f"{len(outside)} channel values differ by more than {tolerance}, such as {shown}")
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--standin", required=True, help="the stand-in build's render_dump")
    parser.add_argument("--wine", required=True, help="the wine build's render_dump.exe.so")
    parser.add_argument("--harness", required=True, help="winerun.py")
    parser.add_argument("--session", required=True, help="the Wine session's directory")
    parser.add_argument("--tolerance", type=int, default=2)
    options = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="render-dump-") as directory:
        standin_file = os.path.join(directory, "standin.pam")
        wine_file = os.path.join(directory, "wine.pam")
        try:
            run_standin(options.standin, standin_file)
            run_wine(options.harness, options.session, options.wine, wine_file)
            failures = compare(read_pam(standin_file), read_pam(wine_file), options.tolerance)
        except ComparisonError as error:
            failures = [str(error)]
    for failure in failures:
        print(f"FAILED: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
