#!/usr/bin/env python3
"""Live: the bot configured only by a profile imported as text. A key answers
a friend and not a stranger, a join greeting comes once per user, a timer posts
every 11 s until it is switched off, the anti-idle line carries its variable, a
key that calls itself ends with one message naming it, and a 400-byte action
reaches its reader whole as several lines."""

import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402

M = "\u00d1"  # the field mark as the text form shows it
STATES = "State:Available;State:Operator;"
STORY = " ".join(f"part{n:03d}" for n in range(50))  # 399 bytes
LONG_ACTION = STORY + "!"


def key(text, action, applies, applies_on=""):
    return f"ui={text}{M}{action}{M}{applies}{M}{applies_on}{M}{M}On{M}"


PROFILE = "\n".join([
    "oi=T",   # anti-idle on
    "oj=1",   # every minute
    "uz=alice<%|action|%>Friend;<%|applies|%>On",
    f"ma=$anti-idle$" + M + "idle check <version>",
    key("hello*bot", "Hi <user>, I heard you.", f"Friends;Messages;{STATES}Product:[CHAT];"),
    key("#User_Joined", "Welcome <user>!", f"All;{STATES}Product:[CHAT];", "1;"),
    key("loop", "/keyexecute <user>;loop again", f"Friends;Messages;{STATES}Product:[CHAT];"),
    key("long*story", LONG_ACTION, f"Friends;Messages;{STATES}Product:[CHAT];"),
    f"uf=10<%|action|%>tick <time><%|applies|%>On;{STATES}<%|name|%>t10",
]) + "\n"


class Automation(ls.LiveTest):
    def bot_from_text(self):
        workdir = tempfile.mkdtemp(prefix="tc-client-")
        self.addCleanup(shutil.rmtree, workdir, True)
        text = os.path.join(workdir, "bot.profile.txt")
        with open(text, "w", encoding="utf-8") as f:
            f.write(PROFILE)
        done = subprocess.run([ls.PROGRAM, "--dir", workdir, "--import-profile", text],
                              capture_output=True, text=True, timeout=ls.WAIT)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.server()
        c = self.client(workdir=workdir)
        self.joined_channel(c)
        return c

    def said_to(self, who, pattern, timeout=ls.WAIT):
        return who.expect(rf'^1005 TALK talvexbot [0-9a-f]{{4}} "{pattern}"$', timeout)

    def test_a_profile_imported_as_text_runs_the_bot(self):
        c = self.bot_from_text()
        alice = self.account("alice", "alicepw").login()
        ls.join_client_channel(c, alice)
        self.said_to(alice, "Welcome alice!")

        # the key answers its friend, not a stranger
        bob = self.account("bob", "bobpw").login()
        bob.send("/join Talvex Chat")
        self.said_to(alice, "Welcome bob!")
        bob.send("hello my bot")
        c.expect(r"^<bob> hello my bot$")
        alice.send("hello there bot")
        self.said_to(alice, "Hi alice, I heard you.")
        self.assertEqual(alice.lines.count(r'"Hi bob'), 0, alice.lines.text())

        # the greeting comes once per user
        carol = self.account("carol", "carolpw").login()
        carol.send("/join Talvex Chat")
        self.said_to(alice, "Welcome carol!")
        carol.send("/join Elsewhere")
        c.expect(r"^Parts \( carol \)")
        carol.send("/join Talvex Chat")
        c.expect(r"^Joins \( carol \)")

        # a key that calls itself is ended once, and the bot goes on answering
        alice.send("loop")
        c.expect(r'^System \( .*"loop".*\)$')
        alice.send("hello again bot")
        self.said_to(alice, "Hi alice, I heard you.")

        # a long action reaches alice whole, in pieces the server takes
        alice.send("tell the long story")
        alice.expect(r'^1005 TALK talvexbot [0-9a-f]{4} ".*part049!"$', timeout=ls.WAIT + 40)
        rx = re.compile(r'^1005 TALK talvexbot [0-9a-f]{4} "(part.*)"$')
        pieces = [m.group(1) for m in map(rx.match, alice.lines.lines) if m]
        self.assertGreater(len(pieces), 1)
        self.assertTrue(all(len(p.encode()) <= 160 for p in pieces), pieces)
        self.assertEqual(" ".join(pieces), LONG_ACTION)

        # the timer has been posting every 11 s since the login; three more, then off
        for _ in range(3):
            self.said_to(alice, r"tick \d\d:\d\d:\d\d", timeout=15)
        c.type("/timeroff t10")
        mark = len(alice.lines.lines)
        # one tick may have been on its way; after it, none for two periods
        first = alice.lines.wait_for(r'"tick ', timeout=12, start=mark)
        after = mark if first is None else first + 1
        self.assertIsNone(alice.lines.wait_for(r'"tick ', timeout=23, start=after),
                          alice.lines.text())

        # a minute after the welcome the anti-idle line comes, its variable expanded
        self.assertIsNotNone(alice.lines.wait_for(
            r'^1023 EMOTE talvexbot [0-9a-f]{4} "Anti-Idle Talvex Chat 2000 '
            r'\(idle check Talvex Chat 2000 Build 1515\)"$', timeout=70, start=0),
            alice.lines.text())

        self.assertEqual(alice.lines.count(r'"Welcome carol!"'), 1, alice.lines.text())
        self.assertEqual(c.out.count(r"quota|too quickly|Too long"), 0, c.out.text())
        self.assertEqual(alice.lines.count(r"quota|too quickly"), 0, alice.lines.text())


if __name__ == "__main__":
    ls.main()
