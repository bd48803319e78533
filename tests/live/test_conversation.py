#!/usr/bin/env python3
"""Live: a second account (a plain socket) joins, talks, whispers, hears the
program's typed line and leaves."""

import sys

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402


class Conversation(ls.LiveTest):
    def test_join_talk_whisper_typed_line_part(self):
        self.server()
        c = self.client()
        self.joined_channel(c)
        alice = self.account("alice", "alicepw").login()
        ls.conversation(self, c, alice)


if __name__ == "__main__":
    ls.main()
