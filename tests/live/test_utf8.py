#!/usr/bin/env python3
"""Live: text in UTF-8 both ways. alice's UTF-8 talk, whisper and emote show
right in the console; a line typed at the console reaches her as UTF-8."""

import re
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402

TEXT = "h\u00e9llo w\u00f6rld \u2713 \u65e5\u672c"
TYPED = "caf\u00e9 \u2713 \u65e5\u672c"


class Utf8(ls.LiveTest):
    def test_utf8_talk_whisper_emote_and_typed_line(self):
        # long UTF-8 lines count many bytes against alice's quota; this is not about the quota
        self.server(no_quota=True)
        c = self.client()
        self.joined_channel(c)
        alice = self.account("alice", "alicepw").login()
        ls.join_client_channel(c, alice)
        said = re.escape(TEXT)

        alice.send(TEXT, encoding="utf-8")
        c.expect(r"^<alice> " + said + r"$", what="alice's UTF-8 talk")
        alice.send("/w talvexbot " + TEXT, encoding="utf-8")
        c.expect(r"^\u00ab\( alice \)\u00ab " + said + r"$", what="alice's UTF-8 whisper")
        alice.send("/me " + TEXT, encoding="utf-8")
        c.expect(r"^<alice " + said + r">$", what="alice's UTF-8 emote")
        # the old bytes still read as they always did
        alice.send("caf\u00e9 na\u00efve")
        c.expect(r"^<alice> caf\u00e9 na\u00efve$", what="alice's Windows-1252 talk")

        c.type(TYPED)
        alice.expect_bytes(rb'^1005 TALK talvexbot [0-9a-f]{4} "' +
                           re.escape(TYPED.encode("utf-8")) + rb'"$')
        c.expect(r"^<talvexbot> " + re.escape(TYPED) + r"$", what="the typed line as sent")


if __name__ == "__main__":
    ls.main()
