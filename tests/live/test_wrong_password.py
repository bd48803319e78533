#!/usr/bin/env python3
"""Live: a refused login shows one message box and does not reconnect."""

import re
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402

REFUSED = (r"^\[message\] The entered account name and password do not exist on "
           r"Battle\.Net, please check your spelling and try again\. Note: This account "
           r"must already exist, you cannot create a new account\.$")
QUIET = 8.0   # how long to watch for a reconnect that must not come


class WrongPassword(ls.LiveTest):
    def test_one_message_and_no_reconnect(self):
        server = self.server()
        c = self.client(password="wrong")
        c.expect(REFUSED, what="the refused-login message box")

        late = c.out.wait_for(r"Attempting reconnect|^System \( Connecting to", timeout=QUIET)
        self.assertIsNone(late, "the client tried again after a refused login: "
                          + (c.out.lines[late] if late is not None else ""))
        self.assertEqual(c.out.count(r"Attempting reconnect"), 0)
        self.assertEqual(c.out.count(REFUSED), 1)
        self.assertEqual(c.out.count(r"^System \( Connecting to "), 1)

        log = server.log()
        self.assertEqual(len(re.findall(r"client initiated chat bot connection", log)), 1,
                         "the server saw more than one chat connection")
        self.assertEqual(len(re.findall(r'bot login for "talvexbot" refused', log)), 1)


if __name__ == "__main__":
    ls.main()
