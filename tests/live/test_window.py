"""The desktop window, offscreen, against the real server: a fresh start is refused as guest
and the password field takes the keys, the account is filled in on the Setup page with "Save
Password:" ticked and Enter connects, the home channel shows both users with their icons, a typed
line reaches alice and her whisper shows in its colours; the next start logs in from the profile.

The window is driven by tc_live_window (tests/gui/live_window.cpp); this script gives it a
throw-away server on a free loopback port."""

import os
import subprocess

import live_support as live


class WindowAgainstTheServer(live.LiveTest):
    def test_connect_from_setup_then_talk_and_whisper(self):
        self.server()
        work = self.enterContext(live.tempfile.TemporaryDirectory(prefix="tc-window-"))
        env = dict(os.environ, TC_LIVE_PORT=str(self.port), QT_QPA_PLATFORM="offscreen",
                   XDG_DATA_HOME=work, XDG_CONFIG_HOME=work, XDG_RUNTIME_DIR=work)
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        done = subprocess.run([live.PROGRAM], env=env, cwd=work, capture_output=True,
                              text=True, timeout=150, preexec_fn=live._die_with_parent)
        self.assertEqual(done.returncode, 0, f"\n{done.stdout}\n{done.stderr}")


if __name__ == "__main__":
    live.main()
