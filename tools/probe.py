#!/usr/bin/env python3
"""Runs the blendprobe Winelib program for a user and says what it found.

    tools/probe.py [--window-text WINDOW_TEXT.exe.so] [PROGRAM.exe.so [ARGS...]]

The probe runs on $DISPLAY when one is set, otherwise on a private Xvfb
(1024 x 768, 24-bit) that lives as long as the run. Wine runs it in a prefix
of its own, kept under ${XDG_CACHE_HOME:-~/.cache}/blendprobe/wineprefix and
created on first use with the settings of the end-to-end tests (no window
manager needed, no crash dialog).

After a failed run blendprobe shows its log in a console window and waits
for it to be closed. The log is read from that window (with the window_text
program) and printed here; on the private Xvfb nobody could close the
console, so Esc is pressed in it.

One line at the end says the verdict in words. The exit code is the
probe's: 0 pass, 1 fail. Anything else means there is no verdict: the
process crashed, which is reported as a crash and never as a verdict (its
own exit code, 128 + N after signal N, or 2 when the crash left an exit
code of 0 or 1 behind), or the run could not be carried out (2).
"""

import argparse
import fcntl
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

REPOSITORY = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPOSITORY, "tests", "wine"))
import winerun  # noqa: E402  (found through the path set above)

DEFAULT_PROGRAM = os.path.join(REPOSITORY, "build", "wine", "probe", "blendprobe.exe.so")
CONSOLE_TITLE = "Console"
CONSOLE_CLASS = "CONSOLEWND"
# A prefix that holds this file was set up completely; one without it was
# left behind by an interrupted first run and is made again.
READY_MARK = ".blendprobe-ready"
NO_VERDICT = 2


def say(message):
    print(f"blendprobe: {message}", flush=True)


def cache_directory():
    base = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    return os.path.join(base, "blendprobe")


def lock_cache(directory):
    """One run at a time uses the prefix: its wineserver serves one display."""
    lock = open(os.path.join(directory, "lock"), "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        say("waiting for another run of the probe to end")
        fcntl.flock(lock, fcntl.LOCK_EX)
    return lock


def end_wineserver(session):
    env = winerun.wine_environment(session)
    for args in (["wineserver", "-k"], ["wineserver", "-w"]):
        try:
            subprocess.run(args, env=env, timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            pass


def ensure_prefix(session):
    prefix = session["prefix"]
    if os.path.exists(os.path.join(prefix, READY_MARK)):
        return
    if os.path.exists(prefix):
        say(f"the Wine prefix {prefix} was left unfinished; making it again")
        end_wineserver(session)
        shutil.rmtree(prefix)
    say(f"creating the Wine prefix {prefix} (first run only)")
    os.makedirs(prefix)
    winerun.create_prefix(session)
    with open(os.path.join(prefix, READY_MARK), "w") as mark:
        mark.write("created by tools/probe.py\n")


class Outcome:
    def __init__(self, code, output, console_text):
        self.code = code
        self.output = output
        self.console_text = console_text  # None when no console was shown


def print_console(text):
    say("the probe's log, as its console window shows it:")
    for line in text.splitlines():
        print(f"    {line}")
    sys.stdout.flush()


def run_probe(session, program, reader, private_display, timeout):
    """Runs the program to its end; answers the console when it shows one."""
    name = os.path.basename(program[0])
    if name.endswith(".so"):
        name = name[:-3]
    began = time.monotonic()
    console_text = None
    with tempfile.TemporaryFile(mode="w+") as output:
        process = subprocess.Popen(["wine"] + program, env=winerun.wine_environment(session),
                                   stdout=output, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            while process.poll() is None:
                if console_text is None and winerun.find_window(session, CONSOLE_TITLE, name):
                    console_text = ""
                    if reader:
                        console_text = winerun.read_window_text(session, reader, CONSOLE_TITLE,
                                                                CONSOLE_CLASS)
                        print_console(console_text)
                    if private_display:
                        winerun.press_key(session, winerun.find_window(session, CONSOLE_TITLE, name)[0],
                                          "Escape")
                    else:
                        say("close the console window (Esc) to end the run")
                # A console on the user's display waits for the user; any
                # other wait this long is the platform hanging.
                if console_text is None and time.monotonic() - began > timeout:
                    raise winerun.HarnessError(f"the probe did not end within {timeout:.0f} s")
                time.sleep(0.1)
        finally:
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
            output.seek(0)
            text = output.read()
    return Outcome(process.returncode, text, console_text)


def report(outcome):
    """Prints the verdict line; returns the exit code to end with."""
    crash = winerun.crash_of(outcome.code, outcome.output)
    if crash:
        if outcome.output.strip():
            print(outcome.output.rstrip(), flush=True)
        say(f"CRASH: the probe's process crashed ({crash}); this is no verdict on the hardware")
        if outcome.code in winerun.PROGRAM_ANSWERS:
            return NO_VERDICT
        return outcome.code if outcome.code > 0 else 128 - outcome.code
    if outcome.code == 0:
        say("PASS: the hardware blended as expected (exit code 0)")
    elif outcome.console_text is not None:
        say("FAIL: the probe could not carry out its test; see its log above (exit code 1)")
    else:
        say("FAIL: the hardware did not blend as expected (exit code 1)")
    return outcome.code


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--window-text", metavar="WINDOW_TEXT.exe.so",
                        help="the window_text program, to print the log of a failed run")
    parser.add_argument("--renderer",
                        help="Wine's Direct3D renderer for this run only (gl, vulkan, no3d)")
    parser.add_argument("--timeout", type=float, default=120.0,
                        help="seconds the probe may take before it counts as hung")
    parser.add_argument("program", nargs="*", default=[DEFAULT_PROGRAM],
                        help="the Winelib program and its arguments (default: the wine build's blendprobe)")
    options = parser.parse_args()
    if not os.path.exists(options.program[0]):
        say(f"ERROR: {options.program[0]} is missing: build the wine preset first (make probe)")
        return NO_VERDICT

    cache = cache_directory()
    os.makedirs(cache, exist_ok=True)
    lock = lock_cache(cache)
    session = {"prefix": os.path.join(cache, "wineprefix")}
    xvfb = None
    try:
        if os.environ.get("DISPLAY"):
            session["display"] = os.environ["DISPLAY"]
        else:
            xvfb, session["display"] = winerun.start_xvfb()
        try:
            ensure_prefix(session)
            if options.renderer:
                winerun.set_registry(session, winerun.DIRECT3D_KEY, "renderer", "REG_SZ", options.renderer)
            try:
                outcome = run_probe(session, options.program, options.window_text, xvfb is not None,
                                    options.timeout)
            finally:
                if options.renderer:
                    winerun.delete_registry_value(session, winerun.DIRECT3D_KEY, "renderer")
        finally:
            # Every later run starts its own wineserver, on its own display.
            end_wineserver(session)
            if xvfb:
                os.killpg(xvfb.pid, signal.SIGTERM)
                xvfb.wait()
    except winerun.HarnessError as error:
        say(f"ERROR: the probe could not be run: {error}; there is no verdict")
        return NO_VERDICT
    finally:
        lock.close()
    return report(outcome)


if __name__ == "__main__":
    sys.exit(main())
