#!/usr/bin/env python3
"""Live: the program logs in to a real server and enters its home channel."""

import sys

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402


class LoginAndChannel(ls.LiveTest):
    def test_logs_in_and_enters_home_channel(self):
        self.server()
        c = self.client()
        c.expect(r"^System \( Connecting to \(127\.0\.0\.1:%d\)\.\.\. \)$" % self.port)
        c.expect(r"^System \( Connected to 127\.0\.0\.1 at \d\d:\d\d:\d\d \)$")
        self.joined_channel(c)

        # Another member sees the program listed in the channel ...
        bob = self.account("bob", "bobpw").login()
        bob.send("/join Talvex Chat")
        bob.expect(r'^1007 CHANNEL "Talvex Chat"$')
        bob.expect(r"^1001 USER talvexbot [0-9a-f]{4} \[CHAT\]$")
        c.expect(r"^Joins \( bob \) \(\d\d:\d\d:\d\d\)$")

        # ... and the program listed itself there: its own record places it in the channel.
        self.assertEqual(c.terminate(), 0, "the client did not exit 0 on SIGTERM")
        own = ls.record_of(c.dir, "talvexbot")
        self.assertIsNotNone(own, "no record of the own account in DataBase.dat")
        self.assertIn("<%Location%>Talvex Chat<%", own)
        self.assertIn("<%Product%>[CHAT]<%", own)


if __name__ == "__main__":
    ls.main()
