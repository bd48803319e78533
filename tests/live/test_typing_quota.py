#!/usr/bin/env python3
"""Live: lines typed at about one a second (talk of 5 to 150 bytes, emotes,
whispers) all reach the other account complete and in order, and the
server never answers with its quota error."""

import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402

# The queue's own pause after a 150-byte line is seven seconds: thirty lines take about two
# minutes to drain, and already tripped the server's quota before it was counted.
LINES = 30


def typed_lines():
    lines = []
    for i in range(LINES):
        tag = f"typed {i:02d} "
        form = i % 4
        if form == 1:
            lines.append("/me " + tag + "b" * ((i * 29) % 66))
        elif form == 3:
            lines.append("/w alice " + tag + "c" * ((i * 31) % 130))
        else:
            lines.append(tag + "a" * ((i * 53) % 142))
    return lines


class TypingQuota(ls.LiveTest):
    def test_human_pace_typing_reaches_alice_whole_and_in_order(self):
        c, alice = self.bot_with_alice()

        lines = typed_lines()
        for line in lines:
            c.type(line)
            time.sleep(1.0)
        for i, line in enumerate(lines):
            if line.startswith("/me "):
                want = rf'^1023 EMOTE talvexbot [0-9a-f]{{4}} "{line[4:]}"$'
            elif line.startswith("/w alice "):
                want = rf'^1004 WHISPER talvexbot [0-9a-f]{{4}} "{line[9:]}"$'
            else:
                want = rf'^1005 TALK talvexbot [0-9a-f]{{4}} "{line}"$'
            alice.expect(want, timeout=ls.WAIT + 8 * LINES)
        heard = [l for l in alice.lines.lines if "talvexbot" in l and "typed " in l]
        self.assertEqual(len(heard), LINES, "\n".join(heard))
        self.assertEqual(c.out.count(r"quota|too quickly|Too long"), 0)


if __name__ == "__main__":
    ls.main()
