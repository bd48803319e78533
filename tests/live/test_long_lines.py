#!/usr/bin/env python3
"""Live: a 400-byte line and a 400-byte whisper typed on the console reach
alice complete, each as several lines the server takes, and the server never
answers with a quota or length error."""

import re
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402

# A piece waits for the server's quota window and the queue's pause after it.
DRAIN = ls.WAIT + 40


def words(tag, size):
    """Numbered words and then `tag`, `size` bytes in all."""
    parts = []
    while len(" ".join(parts + [tag])) + 5 <= size:
        parts.append(f"w{len(parts):03d}")
    text = " ".join(parts + [tag])
    return text[: -len(tag)] + "x" * (size - len(text)) + tag


class LongLines(ls.LiveTest):
    def heard(self, alice, kind, last):
        """The texts alice got from the program as `kind` lines, up to the one ending in `last`."""
        alice.expect(rf'^{kind} talvexbot [0-9a-f]{{4}} ".*{re.escape(last)}"$', timeout=DRAIN)
        rx = re.compile(rf'^{kind} talvexbot [0-9a-f]{{4}} "(.*)"$')
        return [m.group(1) for m in map(rx.match, alice.lines.lines[:alice.lines.cursor]) if m]

    def test_long_talk_and_whisper_arrive_whole_in_pieces(self):
        c, alice = self.bot_with_alice()

        talk = words("END-OF-TALK", 400)
        self.assertEqual(len(talk.encode()), 400)
        c.type(talk)
        pieces = self.heard(alice, "1005 TALK", "END-OF-TALK")
        self.assertGreater(len(pieces), 1)
        self.assertTrue(all(len(p.encode()) <= 160 for p in pieces), pieces)
        self.assertEqual(" ".join(pieces), talk)

        text = words("END-OF-WHISPER", 400 - len("/w alice "))
        c.type("/w alice " + text)
        pieces = self.heard(alice, "1004 WHISPER", "END-OF-WHISPER")
        self.assertGreater(len(pieces), 1)
        self.assertTrue(all(len(("/w alice " + p).encode()) <= 160 for p in pieces), pieces)
        self.assertEqual(" ".join(pieces), text)
        c.expect(r"^\u00bb\( alice \)\u00bb .*END-OF-WHISPER$", timeout=DRAIN)

        self.assertEqual(c.out.count(r"quota|too quickly|Too long"), 0, c.out.text())
        self.assertEqual(alice.lines.count(r"quota|too quickly"), 0, alice.lines.text())


if __name__ == "__main__":
    ls.main()
