#!/usr/bin/env python3
"""Tests of tools/probe.py, what `make probe` runs: the Wine prefix it keeps
in the user's cache folder, the verdict line, the console of a failed run,
crashes, and the user's own display.

    probe_runner_test.py BLENDPROBE.exe.so WINDOW_TEXT.exe.so MISBEHAVE.exe.so

Every test shares one cache folder, so only the first run pays for the
prefix.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
RUNNER = os.path.join(os.path.dirname(os.path.dirname(HERE)), "tools", "probe.py")
sys.path.insert(0, HERE)
import winerun  # noqa: E402

PROGRAMS = {}
VERDICT_LINE = re.compile(r"^blendprobe: (PASS|FAIL|CRASH|ERROR): .*$", re.MULTILINE)


class ProbeRunnerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.cache = tempfile.mkdtemp(prefix="blendprobe-cache-")
        cls.prefix = os.path.join(cls.cache, "blendprobe", "wineprefix")
        # A first run that was interrupted while it made the prefix.
        os.makedirs(os.path.join(cls.prefix, "drive_c"))
        with open(os.path.join(cls.prefix, "left-behind"), "w"):
            pass
        cls.first = cls.run_probe()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.cache, ignore_errors=True)

    @classmethod
    def environment(cls, display=None):
        env = dict(os.environ, XDG_CACHE_HOME=cls.cache)
        env.pop("DISPLAY", None)
        env.pop("WINEPREFIX", None)
        if display:
            env["DISPLAY"] = display
        return env

    @classmethod
    def run_probe(cls, *args, program=None):
        program = program or [PROGRAMS["blendprobe"]]
        command = [sys.executable, RUNNER, "--window-text", PROGRAMS["window_text"], *args, *program]
        result = subprocess.run(command, env=cls.environment(), timeout=300, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True)
        sys.stdout.write(result.stdout)
        return result

    def assertVerdict(self, result, kind, code):
        """One verdict line, the last, naming the exit code the runner ends with."""
        self.assertEqual(result.returncode, code, result.stdout)
        self.assertEqual(VERDICT_LINE.findall(result.stdout), [kind], result.stdout)
        last = result.stdout.rstrip().splitlines()[-1]
        self.assertTrue(last.startswith(f"blendprobe: {kind}: ") and last.endswith(f"(exit code {code})"),
                        result.stdout)

    def test_first_run_makes_the_prefix_again_with_the_harness_settings_and_passes(self):
        self.assertVerdict(self.first, "PASS", 0)
        self.assertIn("was left unfinished; making it again", self.first.stdout)
        self.assertIn("blendprobe: PASS: the hardware blended as expected (exit code 0)", self.first.stdout)
        self.assertFalse(os.path.exists(os.path.join(self.prefix, "left-behind")))
        self.assertTrue(os.path.exists(os.path.join(self.prefix, "system.reg")))
        with open(os.path.join(self.prefix, "user.reg")) as registry:
            settings = registry.read()
        self.assertRegex(settings, r'\[Software\\\\Wine\\\\X11 Driver\][^\[]*"Managed"="N"')

    def test_later_run_keeps_the_prefix(self):
        self.assertVerdict(self.first, "PASS", 0)
        sentinel = os.path.join(self.prefix, "kept")
        with open(sentinel, "w"):
            pass
        result = self.run_probe()
        self.assertVerdict(result, "PASS", 0)
        self.assertNotIn("creating the Wine prefix", result.stdout)
        self.assertTrue(os.path.exists(sentinel))

    def test_failed_run_prints_the_console_log_closes_it_and_fails(self):
        result = self.run_probe("--renderer", "no3d")
        self.assertVerdict(result, "FAIL", 1)
        self.assertRegex(result.stdout, r"(?m)^    ERROR: while Back-Buffer creating\n"
                                        r"    ERROR: while device initializing process$")
        self.assertIn("FAIL: the probe could not carry out its test", result.stdout)
        # The renderer was for that run only.
        with open(os.path.join(self.prefix, "user.reg")) as registry:
            self.assertNotIn('"renderer"', registry.read())

    def test_crashes_are_reported_as_crashes_never_as_a_verdict(self):
        cases = [
            # (misbehaviour, exit code of the runner)
            ("crash", None),  # Wine's own exit code for an unhandled page fault
            ("throw", 2),     # the abort leaves exit code 1 behind
        ]
        for misbehaviour, code in cases:
            with self.subTest(misbehaviour):
                result = self.run_probe(program=[PROGRAMS["misbehave"], misbehaviour])
                self.assertEqual(VERDICT_LINE.findall(result.stdout), ["CRASH"], result.stdout)
                self.assertNotIn(result.returncode, (0, 1))
                if code is not None:
                    self.assertEqual(result.returncode, code)

    def test_on_the_users_display_the_console_waits_for_the_user(self):
        xvfb, display = winerun.start_xvfb()
        try:
            runner = subprocess.Popen(
                [sys.executable, RUNNER, "--window-text", PROGRAMS["window_text"], "--renderer", "no3d",
                 PROGRAMS["blendprobe"]],
                env=self.environment(display), stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            output = []
            with runner:
                try:
                    for line in runner.stdout:
                        output.append(line)
                        if "close the console window (Esc)" in line:
                            break
                    session = {"display": display, "prefix": self.prefix}
                    windows = winerun.find_window(session, "Console")
                    self.assertEqual(len(windows), 1, "".join(output))
                    self.assertIsNone(runner.poll(), "the runner did not wait for the user")
                    winerun.press_key(session, windows[0], "Escape")
                    output.append(runner.stdout.read())
                    runner.wait(timeout=60)
                finally:
                    if runner.poll() is None:
                        runner.kill()
            text = "".join(output)
            sys.stdout.write(text)
            self.assertEqual(runner.returncode, 1, text)
            self.assertIn("    ERROR: while device initializing process\n", text)
            self.assertEqual(VERDICT_LINE.findall(text), ["FAIL"], text)
        finally:
            os.killpg(xvfb.pid, signal.SIGTERM)
            xvfb.wait()


if __name__ == "__main__":
    PROGRAMS.update(zip(("blendprobe", "window_text", "misbehave"), sys.argv[1:4]))
    unittest.main(argv=sys.argv[:1] + sys.argv[4:], verbosity=2)
