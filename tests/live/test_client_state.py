#!/usr/bin/env python3
"""Live: "/away" and "/dnd" typed at the console move the client state when
the server confirms, and the same commands move it back."""

import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402


# The server refuses a fifth line within 5 s; the login already wrote two.
TYPING_GAP = 2.0


def type_slowly(client, text):
    time.sleep(TYPING_GAP)
    client.type(text)


class ClientState(ls.LiveTest):
    def test_away_and_dnd_follow_the_servers_confirmations(self):
        self.server()
        c = self.client()
        c.expect(r"^\[state\] Available$")
        self.joined_channel(c)

        # The state moves while the confirmation is handled, before it is shown.
        type_slowly(c, "/away")
        c.expect(r"^\[state\] Away$")
        c.expect(r"^Info \( You are now marked as being away\. \)$")
        type_slowly(c, "/away")
        c.expect(r"^\[state\] Available$")
        c.expect(r"^Info \( You are no longer marked as away\. \)$")

        type_slowly(c, "/dnd")
        c.expect(r"^\[state\] DND$")
        c.expect(r"^Info \( Do Not Disturb mode engaged\. \)$")
        # The server spells it with one "l".
        type_slowly(c, "/dnd")
        c.expect(r"^\[state\] Available$")
        c.expect(r"^Info \( Do Not Disturb mode canceled\. \)$")

        # Another account sees the away text while the client is away.
        type_slowly(c, "/away gone fishing")
        c.expect(r"^\[state\] Away$")
        bob = self.account("bob", "bobpw").login()
        bob.send("/w talvexbot are you there?")
        bob.expect(r'^1018 INFO "talvexbot is away \(gone fishing\)"$')
        c.expect(r"^\u00ab\( bob \)\u00ab are you there\?$")


if __name__ == "__main__":
    ls.main()
