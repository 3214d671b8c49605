#!/usr/bin/env python3
"""Runs Winelib programs under Wine on a private X server, for the end-to-end tests.

A session is one Xvfb and one fresh Wine prefix with a wineserver that stays
up between runs, so only the first run of a test session pays for creating
the prefix:

    winerun.py start SESSION_DIR
    winerun.py run SESSION_DIR [options] -- PROGRAM.exe.so [ARGS...]
    winerun.py stop SESSION_DIR

`run` starts the program, optionally waits for one of its windows by title,
reads the text that window shows and presses a key in it, and compares the
exit code, standard output and window text with what the test expects. Exit codes 0 and 1 are the program's answer;
anything else, death by a signal, a hang, or the crash messages of the C++
runtime or of Wine in the output is a failure of the run itself and is
reported as such, never as an answer.

tools/probe.py, which runs blendprobe for a user, imports the pieces it
shares with the tests from here.
"""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

STATE_FILE = "session.json"
SCREEN = "1024x768x24"
PROGRAM_ANSWERS = (0, 1)

# An abnormal end can still leave exit code 1 behind: an uncaught C++
# exception aborts, and Wine's handling of that abort ends the process with
# 1. What the C++ runtime and Wine print on the way gives it away.
CRASH_MARKERS = re.compile(r"^(terminate called|wine: Unhandled |wine: Assertion failed)", re.MULTILINE)

# Without a window manager Wine's windows are unmanaged; otherwise Wine
# waits for the absent window manager, e.g. two seconds in DestroyWindow.
# A crash must end the process at once instead of opening Wine's crash
# dialog, which would wait for a user.
PREFIX_SETTINGS = [
    (r"HKCU\Software\Wine\X11 Driver", "Managed", "REG_SZ", "N"),
    (r"HKCU\Software\Wine\WineDbg", "ShowCrashDialog", "REG_DWORD", "0"),
]
DIRECT3D_KEY = r"HKCU\Software\Wine\Direct3D"


class HarnessError(Exception):
    """The run could not be carried out or ended abnormally: no answer."""


def log(message):
    print(f"winerun: {message}", flush=True)


def wine_environment(session):
    env = dict(os.environ)
    env.pop("WAYLAND_DISPLAY", None)
    env.update(
        DISPLAY=session["display"],
        WINEPREFIX=session["prefix"],
        WINEDEBUG="-all",
        WINEDLLOVERRIDES="mscoree,mshtml=",
    )
    return env


def run_tool(args, env, timeout, what):
    # Output goes to a file, not a pipe: the wineserver and the prefix's
    # services that a Wine tool starts outlive it and would hold a pipe open.
    with tempfile.TemporaryFile(mode="w+") as output:
        try:
            result = subprocess.run(args, env=env, timeout=timeout, stdout=output,
                                    stderr=subprocess.STDOUT)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"{what} did not finish within {timeout} s")
        except OSError as error:
            raise HarnessError(f"{what}: {error}")
        output.seek(0)
        text = output.read()
    if result.returncode != 0:
        raise HarnessError(f"{what} failed with exit code {result.returncode}:\n{text}")
    return text


def set_registry(session, key, name, kind, data):
    run_tool(["wine", "reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f"],
             wine_environment(session), 60, f"setting {key}\\{name}")


def create_prefix(session):
    """Creates a Wine prefix in session["prefix"] with the settings every run relies on."""
    env = wine_environment(session)
    run_tool(["wineboot", "-i"], env, 300, "creating the Wine prefix")
    for key, name, kind, data in PREFIX_SETTINGS:
        set_registry(session, key, name, kind, data)
    run_tool(["wineserver", "-w"], env, 60, "waiting for the prefix to settle")


def delete_registry_value(session, key, name):
    # A value that is not there is what we want; reg says so with exit code 1.
    subprocess.run(["wine", "reg", "delete", key, "/v", name, "/f"], env=wine_environment(session),
                   timeout=60, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# ---------------------------------------------------------------- session


def state_path(session_dir):
    return os.path.join(session_dir, STATE_FILE)


def load_session(session_dir):
    try:
        with open(state_path(session_dir)) as f:
            return json.load(f)
    except FileNotFoundError:
        raise HarnessError(f"no Wine session in {session_dir}: run `winerun.py start` first")


def start_xvfb():
    """Starts Xvfb on a display number it picks itself; returns (process, ':N')."""
    read_end, write_end = os.pipe()
    try:
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
    except OSError as error:
        raise HarnessError(f"cannot start Xvfb: {error}")
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 20
    with os.fdopen(read_end, "rb") as pipe:
        os.set_blocking(pipe.fileno(), False)
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            if xvfb.poll() is not None:
                break
            try:
                chunk = pipe.read()
            except BlockingIOError:
                chunk = None
            if chunk:
                number += chunk
            else:
                time.sleep(0.05)
    if not number.strip().isdigit():
        xvfb.kill()
        raise HarnessError("Xvfb did not report its display number")
    return xvfb, ":" + number.strip().decode()


def start(session_dir):
    if os.path.exists(state_path(session_dir)):
        log("an earlier session was left behind; stopping it first")
        stop(session_dir)
    os.makedirs(session_dir, exist_ok=True)
    began = time.monotonic()

    xvfb, display = start_xvfb()
    root = tempfile.mkdtemp(prefix="blendprobe-wine-")
    session = {"display": display, "xvfb_pid": xvfb.pid, "root": root,
               "prefix": os.path.join(root, "prefix")}
    with open(state_path(session_dir), "w") as f:
        json.dump(session, f)

    os.mkdir(session["prefix"])
    try:
        create_prefix(session)
        # Then a wineserver that stays up until `stop`, so that later runs
        # start in about half a second. It must be a new one: when the
        # prefix is created under a persistent server, the RPC service
        # never comes up and every run that starts the desktop waits 10 s.
        run_tool(["wineserver", "-p"], wine_environment(session), 30, "starting the wineserver")
    except HarnessError:
        stop(session_dir)
        raise
    log(f"session ready on display {display}, prefix {session['prefix']} "
        f"({time.monotonic() - began:.1f} s)")


def stop(session_dir):
    try:
        session = load_session(session_dir)
    except HarnessError:
        log("no session to stop")
        return
    env = wine_environment(session)
    try:
        subprocess.run(["wineserver", "-k"], env=env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        log("the wineserver did not stop")
    try:
        os.killpg(session["xvfb_pid"], signal.SIGTERM)
    except ProcessLookupError:
        pass
    shutil.rmtree(session["root"], ignore_errors=True)
    os.remove(state_path(session_dir))
    log("session stopped")


# ---------------------------------------------------------------- one run


def find_window(session, title, program=None):
    """The X window ids of visible windows titled exactly `title`; with
    `program` (such as "blendprobe.exe"), only that program's windows."""
    def xdotool(*args):
        result = subprocess.run(["xdotool"] + list(args), env=wine_environment(session), timeout=10,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        return result.stdout

    if not program:
        return xdotool("search", "--onlyvisible", "--name", "^" + re.escape(title) + "$").split()
    # Wine names each window's X class after its program; one search takes
    # one pattern, so the titles of that program's windows are compared here.
    windows = xdotool("search", "--onlyvisible", "--classname", "^" + re.escape(program.lower()) + "$")
    return [w for w in windows.split() if xdotool("getwindowname", w).rstrip("\n") == title]


def read_window_text(session, reader, title, window_class=None, timeout=5.0):
    """The text of the Edit controls of the Wine window titled `title`, as
    the window_text program (`reader`) reads it. A window that has only just
    appeared may not hold its text yet, so an empty answer is asked again."""
    args = ["wine", reader, title] + ([window_class] if window_class else [])
    deadline = time.monotonic() + timeout
    while True:
        with tempfile.TemporaryFile(mode="w+") as errors:
            try:
                result = subprocess.run(args, env=wine_environment(session), timeout=timeout + 10,
                                        stdout=subprocess.PIPE, stderr=errors, text=True)
            except subprocess.TimeoutExpired:
                raise HarnessError(f"reading the text of window {title!r} did not finish")
            errors.seek(0)
            complaint = errors.read().strip()
        if result.returncode != 0:
            raise HarnessError(f"cannot read the text of window {title!r} "
                               f"({describe_exit(result.returncode)}): {complaint}")
        if result.stdout or time.monotonic() > deadline:
            return result.stdout
        time.sleep(0.1)


def press_key(session, window, key):
    # Without a window manager the focus is set straight on the X window;
    # the key then goes through XTEST like a real key press, which Wine
    # turns into WM_KEYDOWN for the window that has the focus.
    env = wine_environment(session)
    run_tool(["xdotool", "windowfocus", "--sync", window], env, 10, f"focusing window {window}")
    run_tool(["xdotool", "key", key], env, 10, f"pressing {key}")


def describe_exit(code):
    if code < 0:
        return f"killed by signal {-code}"
    return f"exit code {code}"


def crash_of(code, output):
    """How a finished run ended badly, or None when its exit code is an answer."""
    if code not in PROGRAM_ANSWERS:
        return describe_exit(code)
    crash = CRASH_MARKERS.search(output)
    if crash:
        return f"{describe_exit(code)}: {output[crash.start():].splitlines()[0]}"
    return None


def run(session_dir, options):
    session = load_session(session_dir)
    if options.renderer == "default":
        delete_registry_value(session, DIRECT3D_KEY, "renderer")
    else:
        set_registry(session, DIRECT3D_KEY, "renderer", "REG_SZ", options.renderer)

    program = options.program
    began = time.monotonic()
    deadline = began + options.timeout
    output = tempfile.TemporaryFile(mode="w+")
    window_text = None
    process = subprocess.Popen(["wine"] + program, env=wine_environment(session), stdout=output,
                               stderr=subprocess.STDOUT, start_new_session=True)
    try:
        if options.window:
            window = None
            while window is None:
                if process.poll() is not None:
                    raise HarnessError(f"the program ended ({describe_exit(process.returncode)}) "
                                       f"without showing a window titled {options.window!r}")
                if time.monotonic() > deadline:
                    raise HarnessError(f"no window titled {options.window!r} within {options.timeout} s")
                windows = find_window(session, options.window)
                if windows:
                    window = windows[0]
                else:
                    time.sleep(0.1)
            log(f"window {options.window!r} appeared after {time.monotonic() - began:.1f} s")
            if options.expect_window_text:
                window_text = read_window_text(session, options.window_text_reader, options.window)
                log(f"window {options.window!r} shows:")
                sys.stdout.write("".join(f"    {line}\n" for line in window_text.splitlines()))
            if options.key:
                press_key(session, window, options.key)
                log(f"pressed {options.key}")
        try:
            code = process.wait(timeout=max(0.0, deadline - time.monotonic()))
        except subprocess.TimeoutExpired:
            raise HarnessError(f"the program did not end within {options.timeout} s")
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        output.seek(0)
        text = output.read()
        sys.stdout.write(text)
        sys.stdout.flush()

    log(f"program ended with {describe_exit(code)} after {time.monotonic() - began:.1f} s")
    crash = crash_of(code, text)
    if crash:
        raise HarnessError(f"the program crashed: {crash}")
    failures = []
    if options.expect_exit is not None and code != options.expect_exit:
        failures.append(f"exit code {code}, expected {options.expect_exit}")
    for pattern in options.expect_output:
        if not re.search(pattern, text, re.MULTILINE):
            failures.append(f"output does not match {pattern!r}")
    for pattern in options.expect_window_text:
        if not re.search(pattern, window_text, re.MULTILINE):
            failures.append(f"the text of window {options.window!r} does not match {pattern!r}")
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    for name in ("start", "stop"):
        commands.add_parser(name).add_argument("session_dir")
    run_parser = commands.add_parser("run")
    run_parser.add_argument("session_dir")
    run_parser.add_argument("--renderer", default="default",
                            help="Wine's Direct3D renderer (gl, vulkan, no3d) or 'default'")
    run_parser.add_argument("--timeout", type=float, default=60.0, help="seconds for the whole run")
    run_parser.add_argument("--window", help="wait for a visible window with this exact title")
    run_parser.add_argument("--key", help="key to press in that window (xdotool key name)")
    run_parser.add_argument("--expect-exit", type=int, choices=PROGRAM_ANSWERS)
    run_parser.add_argument("--expect-output", action="append", default=[], metavar="REGEX",
                            help="a pattern the program's output must contain (repeatable)")
    run_parser.add_argument("--window-text-reader", metavar="WINDOW_TEXT.exe.so",
                            help="the window_text program, which reads what a window shows")
    run_parser.add_argument("--expect-window-text", action="append", default=[], metavar="REGEX",
                            help="a pattern the text of the --window window must contain (repeatable)")
    run_parser.add_argument("program", nargs="+", help="the .exe.so and its arguments")
    options = parser.parse_args()
    if options.command == "run" and options.key and not options.window:
        parser.error("--key needs --window")
    if options.command == "run" and options.expect_window_text and not (
            options.window and options.window_text_reader):
        parser.error("--expect-window-text needs --window and --window-text-reader")

    try:
        if options.command == "start":
            start(options.session_dir)
        elif options.command == "stop":
            stop(options.session_dir)
        else:
            failures = run(options.session_dir, options)
            for failure in failures:
                log(f"FAILED: {failure}")
            return 1 if failures else 0
    except HarnessError as error:
        log(f"HARNESS FAILURE: {error}")
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
