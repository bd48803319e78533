#!/usr/bin/env python3
"""Live: whispers to and from a whisper-box partner land in the whisper view,
and an ordinary whisper still lands in the chat."""

import sys

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402


class WhisperBox(ls.LiveTest):
    def test_partner_whispers_go_to_the_whisper_view(self):
        self.server()
        c = self.client()
        self.joined_channel(c)
        # Only a user of the channel list can be a partner, spelled as the list has it.
        c.type("/tc-whisperbox add alice")
        c.expect(r"^\[whisperbox\] not added: alice$")
        alice = self.account("alice", "alicepw").login()
        alice.send("/join Talvex Chat")
        c.expect(r"^Joins \( alice \) \(\d\d:\d\d:\d\d\)$")
        c.type("/tc-whisperbox add ALICE")
        c.expect(r"^\[whisperbox\] added alice$")
        c.type("/tc-whisperbox add talvexbot")
        c.expect(r"^\[whisperbox\] not added: talvexbot$")

        alice.send("/w talvexbot psst, partner")
        c.expect(r"^\[whisper\] <alice> psst, partner$")

        c.type("/w alice hello, partner")
        alice.expect(r'^1004 WHISPER talvexbot [0-9a-f]{4} "hello, partner"$')
        c.expect(r"^\[whisper\] <talvexbot> hello, partner$")

        # Once she is no partner, her whispers are ordinary chat lines again.
        c.type("/tc-whisperbox remove alice")
        c.expect(r"^\[whisperbox\] removed alice$")
        alice.send("/w talvexbot now in the chat")
        c.expect(r"^\u00ab\( alice \)\u00ab now in the chat$")

        self.assertEqual(c.out.count(r"\u00ab\( alice \)\u00ab psst, partner"), 0)
        self.assertEqual(c.out.count(r"\u00bb\( alice \)\u00bb hello, partner"), 0)
        self.assertEqual(c.out.count(r"^\[whisper\] "), 2)


if __name__ == "__main__":
    ls.main()
