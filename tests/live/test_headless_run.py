#!/usr/bin/env python3
"""Live: the headless bot as a service manager runs it: the password from a
file, its output captured to a file without colour escapes, time stamps."""

import os
import re
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402

JOINED = r"Joining Channel \( Talvex Chat \) \(\d\d:\d\d:\d\d\)"


class HeadlessRun(ls.LiveTest):
    def test_password_file_logs_in(self):
        self.server()
        folder = tempfile.mkdtemp(prefix="tc-credentials-")
        path = os.path.join(folder, "password")
        with open(path, "w") as f:
            f.write("botpass\n")
        os.chmod(path, 0o600)
        c = self.client(password="not this one", extra_args=["--password-file", path])
        self.joined_channel(c)
        self.assertEqual(c.terminate(), 0)
        self.assertEqual([l for l in c.err if "warning" in l], [])
        os.remove(path)
        os.rmdir(folder)

    def test_output_to_a_file_holds_no_escapes_and_each_line_its_time(self):
        self.server()
        out_path = os.path.join(tempfile.mkdtemp(prefix="tc-output-"), "bot.log")
        with open(out_path, "wb") as out:
            c = self.client(stdout=out, extra_args=["--timestamps"])
            deadline = time.monotonic() + ls.WAIT
            text = ""
            while not re.search(JOINED, text) and time.monotonic() < deadline:
                time.sleep(0.1)
                with open(out_path, "rb") as f:
                    text = f.read().decode("utf-8", errors="replace")
            self.assertRegex(text, JOINED)
            self.assertEqual(c.terminate(), 0)
        with open(out_path, "rb") as f:
            data = f.read()
        self.assertNotIn(b"\x1b", data)
        lines = data.decode("utf-8", errors="replace").splitlines()
        self.assertTrue(lines)
        for line in lines:
            self.assertRegex(line, r"^\d\d:\d\d:\d\d ")
        states = [l[9:] for l in lines if l[9:].startswith("[state] ")]
        self.assertEqual(states[:2], ["[state] Disconnected", "[state] Available"],
                         "the state at start once, then the login's")


if __name__ == "__main__":
    ls.main()
