#!/usr/bin/env python3
"""Live: the server goes away under the program; a new one on the same port
takes its reconnect, and the program re-enters its home channel."""

import sys

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402


class Reconnect(ls.LiveTest):
    def test_reconnects_after_server_stop(self):
        first = self.server()
        c = self.client()
        self.joined_channel(c)

        first.stop()
        c.expect(r"^System \( Disconnected from 127\.0\.0\.1 at \d\d:\d\d:\d\d \)$")
        c.expect(r"^System \( Attempting reconnect in 5 seconds\.\.\. \)$")
        # the same port, a fresh folder, before the 5 s are up
        self.server()

        c.expect(r"^System \( Connecting to \(127\.0\.0\.1\)\.\.\. \)$")
        c.expect(r"^System \( Connected to 127\.0\.0\.1 at \d\d:\d\d:\d\d \)$")
        self.joined_channel(c)
        self.assertEqual(c.out.count(r"^Joining Channel \( Talvex Chat \)"), 2)


if __name__ == "__main__":
    ls.main()
