#!/usr/bin/env python3
"""Live: after a conversation, SIGTERM saves the user database with the
other account's record."""

import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402


class DatabaseOnDisk(ls.LiveTest):
    def test_sigterm_saves_met_account(self):
        self.server()
        c = self.client()
        self.joined_channel(c)
        alice = self.account("alice", "alicepw").login()
        ls.conversation(self, c, alice)

        self.assertEqual(c.terminate(), 0, "the client did not exit 0 on SIGTERM")
        with open(os.path.join(c.dir, "DataBase.dat"), "rb") as f:
            data = f.read()
        self.assertNotIn(b"\n", data.replace(b"\r\n", b""), "record lines not CR LF separated")
        alice_record = ls.record_of(c.dir, "alice")
        self.assertIsNotNone(alice_record, "DataBase.dat holds no record for alice:\n"
                             + data.decode("cp1252", errors="replace"))
        self.assertIn("<%Last_Message_Seen%>hello there<%", alice_record)
        self.assertTrue(alice_record.endswith("<%end%>"), alice_record)


if __name__ == "__main__":
    ls.main()
