#!/usr/bin/env python3
"""Live: a second program on the same program directory is refused and names
the first; --profile chooses the profile in the window as on the console."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402


class Instances(ls.LiveTest):
    def test_second_program_on_one_directory_exits_naming_the_first(self):
        self.server()
        first = self.client()
        self.joined_channel(first)

        second = self.client(workdir=first.dir)
        self.assertEqual(second.proc.wait(ls.WAIT), 3)
        err = "\n".join(second.err)
        deadline = time.monotonic() + ls.WAIT
        while "in use" not in err and time.monotonic() < deadline:
            time.sleep(0.05)
            err = "\n".join(second.err)
        self.assertIn(f"is already in use by process {first.proc.pid}", err)

        # The first goes on and still shuts down cleanly.
        first.type("/me is still here")
        first.expect(r"still here")
        self.assertEqual(first.terminate(), 0)

    def test_profile_option_is_honoured_by_both_front_ends(self):
        self.server()
        for front_end in ("window", "console"):
            with self.subTest(front_end=front_end):
                workdir = os.path.join(self.make_dir(), front_end)
                os.makedirs(workdir)
                env = dict(os.environ)
                env.pop("DISPLAY", None)
                env.pop("WAYLAND_DISPLAY", None)
                env["XDG_DATA_HOME"] = os.path.join(workdir, "xdg-data")
                env["XDG_CONFIG_HOME"] = os.path.join(workdir, "xdg-config")
                env["TALVEX_PASSWORD"] = "botpass"
                args = [ls.PROGRAM, "--dir", workdir, "--profile", "Alt", "--new-profile",
                        "--server", f"127.0.0.1:{self.port}", "--account", "talvexbot"]
                if front_end == "window":
                    env["QT_QPA_PLATFORM"] = "offscreen"
                else:
                    args.insert(1, "--headless")
                proc = subprocess.Popen(args, cwd=workdir, env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                self.addCleanup(proc.kill)
                users = os.path.join(workdir, "Users")
                alt = os.path.join(users, "Alt.usr")
                deadline = time.monotonic() + ls.WAIT
                while not os.path.exists(alt) and time.monotonic() < deadline:
                    time.sleep(0.05)
                proc.send_signal(signal.SIGTERM)
                self.assertEqual(proc.wait(ls.WAIT), 0)
                self.assertGreater(os.path.getsize(alt), 0, "Users/Alt.usr was not written")
                self.assertFalse(os.path.exists(os.path.join(users, "Default.usr")),
                                 "the Default profile was used")

    def make_dir(self):
        d = tempfile.mkdtemp(prefix="tc-instances-")
        self.addCleanup(shutil.rmtree, d, True)
        return d


if __name__ == "__main__":
    ls.main()
