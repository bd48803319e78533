#!/usr/bin/env python3
"""Live: the server goes away under the program; a new one on the same port
takes its reconnect, and the program re-enters its home channel. While
nothing listens, each refused attempt waits longer than the one before."""

import sys
import time

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

        c.expect(r"^System \( Connecting to \(127\.0\.0\.1:%d\)\.\.\. \)$" % self.port)
        c.expect(r"^System \( Connected to 127\.0\.0\.1 at \d\d:\d\d:\d\d \)$")
        self.joined_channel(c)
        self.assertEqual(c.out.count(r"^Joining Channel \( Talvex Chat \)"), 2)

    def test_waits_longer_after_each_refused_attempt(self):
        server = self.server()
        c = self.client()
        self.joined_channel(c)

        server.stop()
        attempts = []
        for wait in (5, 10, 20):
            c.expect(r"^System \( Attempting reconnect in %d seconds\.\.\. \)$" % wait)
            announced = time.monotonic()
            if wait == 20:
                break
            # nothing listens: the attempt is refused at once, not after the connect time-out
            c.expect(r"^System \( Connecting to \(127\.0\.0\.1:%d\)\.\.\. \)$" % self.port,
                     timeout=wait + 5)
            attempts.append(time.monotonic() - announced)
            c.expect(r"^System \( Connection to \(127\.0\.0\.1:%d\) failed: Connection refused \)$"
                     % self.port, timeout=5)
            c.expect(r"^System \( Disconnected from 127\.0\.0\.1 at ", timeout=5)
        self.assertGreater(attempts[0], 4.5)
        self.assertGreater(attempts[1], 9.5)
        connecting = [l for l in c.out.lines if l.startswith("System ( Connecting to (")]
        self.assertEqual(connecting,
                         ["System ( Connecting to (127.0.0.1:%d)... )" % self.port] * 3)


if __name__ == "__main__":
    ls.main()
