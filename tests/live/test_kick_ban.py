#!/usr/bin/env python3
"""Live: the channel operator opal kicks the program out of "Op Room" and it
rejoins; opal bans it and it goes to its home channel."""

import re
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402

CHANNEL_LINE = re.compile(r"^Joining Channel \( (.*) \) \(\d\d:\d\d:\d\d\)$")
SETTLE = 4.0  # longer than the client's pause between two queued lines


def last_channel_after_quiet(client, quiet=SETTLE, timeout=ls.WAIT):
    """The channel of the client's last "Joining Channel" line, once no new
    one has come for `quiet` seconds."""
    deadline = time.monotonic() + timeout
    seen = client.out.count(CHANNEL_LINE.pattern)
    quiet_until = time.monotonic() + quiet
    while time.monotonic() < deadline:
        time.sleep(0.2)
        now = client.out.count(CHANNEL_LINE.pattern)
        if now != seen:
            seen = now
            quiet_until = time.monotonic() + quiet
        elif time.monotonic() >= quiet_until:
            break
    for line in reversed(client.out.lines):
        m = CHANNEL_LINE.match(line)
        if m:
            return m.group(1)
    return None


class KickAndBan(ls.LiveTest):
    def in_op_room_with_opal(self):
        self.server()
        c = self.client()
        self.joined_channel(c)
        c.type("/join Op Room")
        self.joined_channel(c, "Op Room")
        opal = self.account("opal", "opalpw").login()
        opal.send("/join Op Room")
        opal.expect(r'^1007 CHANNEL "Op Room"$')
        c.expect(r"^Joins \( opal \) \(\d\d:\d\d:\d\d\)$")
        return c, opal

    def test_kicked_rejoins_the_channel(self):
        c, opal = self.in_op_room_with_opal()
        opal.send("/kick talvexbot bye for now")
        c.expect(r"^Info \( talvexbot has been kicked by opal \(bye for now\)\. \)$")
        self.joined_channel(c, "Op Room")
        opal.expect(r"^1002 JOIN talvexbot [0-9a-f]{4} \[CHAT\]$")
        self.assertEqual(last_channel_after_quiet(c), "Op Room")

    def test_banned_goes_to_the_home_channel(self):
        c, opal = self.in_op_room_with_opal()
        opal.send("/ban talvexbot spamming")
        c.expect(r"^Info \( talvexbot has been banned by opal \(spamming\)\. \)$")
        self.joined_channel(c, "Talvex Chat")
        self.assertEqual(last_channel_after_quiet(c), "Talvex Chat")

    def test_temporary_operator_stays_after_kicking_the_other_user(self):
        self.server()
        c = self.client()
        self.joined_channel(c)
        c.type("/join Quiet Room")
        self.joined_channel(c, "Quiet Room")
        # bob comes from a channel of his own, listed with its gavel until the flags follow.
        bob = self.account("bob", "bobpw").login()
        bob.send("/join Bob Room")
        bob.expect(r"^1009 USER bob 0002$")
        bob.send("/join Quiet Room")
        bob.expect(r'^1007 CHANNEL "Quiet Room"$')
        c.expect(r"^Joins \( bob \) \(\d\d:\d\d:\d\d\)$")
        time.sleep(1.5)
        c.type("/kick bob bye")
        c.expect(r"^Parts \( bob \) \(\d\d:\d\d:\d\d\)$")
        self.assertEqual(last_channel_after_quiet(c), "Quiet Room")
        self.assertEqual(c.out.count(r"^Joining Channel \( The Void \)"), 0)


if __name__ == "__main__":
    ls.main()
