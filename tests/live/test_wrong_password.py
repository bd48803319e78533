#!/usr/bin/env python3
"""Live: a headless run that cannot log in ends at once with its own exit
status and one line on standard error: a refused password after the server's
answer, a missing one before any connection."""

import re
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402

REFUSED = (r"^\[message\] The entered account name and password do not exist on "
           r"Battle\.Net, please check your spelling and try again\. Note: This account "
           r"must already exist, you cannot create a new account\.$")
ENDS_WITHIN = 5.0
WRONG_PASSWORD = 4
NO_CREDENTIALS = 6


class WrongPassword(ls.LiveTest):
    def test_refused_password_ends_the_run_with_its_status(self):
        server = self.server()
        c = self.client(password="wrong")
        c.expect(REFUSED, what="the refused-login message box")
        refused_at = time.monotonic()
        self.assertEqual(c.proc.wait(ENDS_WITHIN), WRONG_PASSWORD)
        self.assertLess(time.monotonic() - refused_at, ENDS_WITHIN)
        self.assertEqual(c.stderr_line(r"login refused"),
                         'talvexchat: login refused: wrong account name or password for '
                         '"talvexbot"')
        self.assertNotIn("wrong", "\n".join(c.err + c.out.lines).replace(
            "wrong account", ""), "the password was printed")
        self.assertEqual(c.out.count(r"Attempting reconnect"), 0)
        self.assertEqual(c.out.count(REFUSED), 1)

        log = server.log()
        self.assertEqual(len(re.findall(r"client initiated chat bot connection", log)), 1,
                         "the server saw more than one chat connection")
        self.assertEqual(len(re.findall(r'bot login for "talvexbot" refused', log)), 1)

    def test_missing_password_ends_the_run_before_any_connection(self):
        server = self.server()
        c = self.client(password=None)
        self.assertEqual(c.proc.wait(ls.WAIT), NO_CREDENTIALS)
        self.assertEqual(c.stderr_line(r"no password"),
                         'talvexchat: no password for account "talvexbot": TALVEX_PASSWORD is '
                         'not set, no --password-file was given and the profile saves none')
        self.assertEqual(c.out.count(r"^System \( Connecting to "), 0)
        self.assertNotRegex(server.log(), r"client initiated chat bot connection")


if __name__ == "__main__":
    ls.main()
