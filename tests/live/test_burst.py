#!/usr/bin/env python3
"""Live: twenty lines typed at once leave at the flood queue's pace and reach
the other account complete, in order, and without the server's quota errors."""

import sys

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402

LINES = 20


class Burst(ls.LiveTest):
    def test_twenty_typed_lines_arrive_whole_and_in_order(self):
        c, alice = self.bot_with_alice()

        for i in range(1, LINES + 1):
            c.type(f"burst line {i:02d} of {LINES}")
        # The queue spaces them about two seconds apart: give it time enough.
        for i in range(1, LINES + 1):
            alice.expect(rf'^1005 TALK talvexbot [0-9a-f]{{4}} "burst line {i:02d} of {LINES}"$',
                         timeout=ls.WAIT + 3 * LINES)
        heard = [l for l in alice.lines.lines if "burst line" in l]
        self.assertEqual(len(heard), LINES, "\n".join(heard))
        self.assertEqual(c.out.count(r"quota|too quickly"), 0)
        # Each line was shown once, as the client's own talk. Its output is read on another
        # thread, so the last lines may still be on their way.
        for i in range(1, LINES + 1):
            own = rf"^<talvexbot> burst line {i:02d} of {LINES}$"
            self.assertIsNotNone(c.out.wait_for(own, start=0), own)
            self.assertEqual(c.out.count(own), 1)


if __name__ == "__main__":
    ls.main()
