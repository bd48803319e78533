#!/usr/bin/env python3
"""Live: the link dies on the program's side only, so the server still holds
the logged-in session and refuses the program's login with "Login failed.".
The program takes that for a lost session, not a wrong password: it tries
again after the usual waits and is back in its channel once the server has
let the old session go."""

import socket
import sys
import threading

sys.dont_write_bytecode = True  # keep the source tree clean
import live_support as ls  # noqa: E402

STALE = (r"^System \( Login failed: the server still holds this account's lost "
         r"session, trying again\.\.\. \)$")


class CuttingProxy:
    """A loopback port that passes each connection on to the server. cut()
    closes the program's side of every connection so far and keeps the
    server's side open, as a link that died without a goodbye leaves it;
    release() then closes the server's side too."""

    def __init__(self, server_port):
        self.server_port = server_port
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(8)
        self.port = self.listener.getsockname()[1]
        self.links = []          # [program side, server side, cut]
        self.lock = threading.Lock()
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        while True:
            try:
                near, _ = self.listener.accept()
            except OSError:
                return
            far = socket.create_connection(("127.0.0.1", self.server_port), timeout=ls.WAIT)
            far.settimeout(None)
            link = [near, far, False]
            with self.lock:
                self.links.append(link)
            threading.Thread(target=self._pump, args=(link, 0, 1), daemon=True).start()
            threading.Thread(target=self._pump, args=(link, 1, 0), daemon=True).start()

    def _pump(self, link, src, dst):
        while True:
            try:
                data = link[src].recv(65536)
            except OSError:
                return
            if not data:
                if not link[2]:
                    self._close(link[dst])  # an ordinary close passes through
                return
            if link[2]:
                continue  # cut: the server's lines go nowhere, its side stays open
            try:
                link[dst].sendall(data)
            except OSError:
                return

    @staticmethod
    def _close(sock):
        try:
            sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        sock.close()

    def cut(self):
        with self.lock:
            cut = [l for l in self.links if not l[2]]
            for link in cut:
                link[2] = True
                self._close(link[0])
        return len(cut)

    def release(self):
        with self.lock:
            for link in self.links:
                if link[2]:
                    self._close(link[1])

    def close(self):
        self._close(self.listener)
        with self.lock:
            for link in self.links:
                self._close(link[0])
                self._close(link[1])


class StaleSession(ls.LiveTest):
    def test_relogin_refused_until_the_server_lets_the_old_session_go(self):
        self.server()
        proxy = CuttingProxy(self.port)
        self.addCleanup(proxy.close)
        c = ls.Client(proxy.port)
        self.clients.append(c)
        self.addCleanup(c.kill)
        c.expect(r"^System \( Connecting to \(127\.0\.0\.1:%d\)\.\.\. \)$" % proxy.port)
        self.joined_channel(c)

        self.assertEqual(proxy.cut(), 1)
        c.expect(r"^System \( Disconnected from 127\.0\.0\.1 at ")
        c.expect(r"^System \( Attempting reconnect in 5 seconds\.\.\. \)$")
        c.expect(STALE, timeout=ls.WAIT, what="the lost-session line")
        c.expect(r"^System \( Attempting reconnect in 10 seconds\.\.\. \)$")

        proxy.release()  # the server drops the old session
        self.joined_channel(c)
        self.assertEqual(c.out.count(STALE), 1)
        self.assertEqual(c.out.count(r"^\[message\]"), 0)
        self.assertIsNone(c.proc.poll(), "the program ended")


if __name__ == "__main__":
    ls.main()
