"""Shared pieces of the live tests: a throw-away PvPGN server, the headless
program as a child process, and plain-socket chat accounts driven by a test.

Every script takes `--program PATH --pvpgn DIR`; the environment variable
TALVEX_PVPGN_DIR overrides DIR.  Without a usable server package the script
prints why and exits 77, which CTest reports as a skip.
"""

import argparse
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

SKIP = 77
WAIT = 20.0              # upper bound for any expected line
QUOTA_GAP = 1.2          # the server drops the 5th unit within 5 s
ANSI = re.compile(r"\x1b\[[0-9;]*m")

PROGRAM = None
PVPGN = None


# ---------------------------------------------------------------- set-up

def configure(argv=None):
    """Parse our own arguments, exit 77 when the server package is unusable,
    and return the rest for unittest."""
    global PROGRAM, PVPGN
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--program", required=True)
    parser.add_argument("--pvpgn", default="")
    args, rest = parser.parse_known_args(argv if argv is not None else sys.argv[1:])
    PROGRAM = os.path.abspath(args.program)
    PVPGN = os.environ.get("TALVEX_PVPGN_DIR") or args.pvpgn
    start = os.path.join(PVPGN, "start") if PVPGN else ""
    if not PVPGN or not os.path.isdir(PVPGN):
        print(f"SKIP: no PvPGN server package at '{PVPGN}' (set TALVEX_PVPGN_DIR)")
        sys.exit(SKIP)
    if not (os.path.isfile(start) and os.access(start, os.X_OK)):
        print(f"SKIP: '{start}' is missing or not executable")
        sys.exit(SKIP)
    if not os.access(PROGRAM, os.X_OK):
        print(f"FAIL: program '{PROGRAM}' is not executable")
        sys.exit(1)
    return [sys.argv[0]] + rest


def main():
    unittest.main(argv=configure(), verbosity=2)


def free_port():
    """A port free for both TCP and UDP on 127.0.0.1 (bnetd opens both)."""
    for _ in range(50):
        tcp = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        tcp.bind(("127.0.0.1", 0))
        port = tcp.getsockname()[1]
        udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        try:
            udp.bind(("127.0.0.1", port))
        except OSError:
            continue
        finally:
            udp.close()
            tcp.close()
        return port
    raise RuntimeError("no free loopback port")


# ---------------------------------------------------------------- server

class Server:
    """One PvPGN run in a fresh empty folder."""

    def __init__(self, port, no_quota=False):
        self.port = port
        self.no_quota = no_quota
        self.dir = tempfile.mkdtemp(prefix="tc-pvpgn-")
        self.running = False

    def start(self):
        cmd = [os.path.join(PVPGN, "start"), "--port", str(self.port), "--dir", self.dir]
        if self.no_quota:
            cmd.append("--no-quota")
        done = subprocess.run(cmd, capture_output=True, text=True, timeout=60)
        if done.returncode != 0:
            raise RuntimeError(f"server start failed ({done.returncode}):\n"
                               f"{done.stdout}{done.stderr}")
        self.running = True
        return self

    def stop(self):
        if self.running:
            subprocess.run([os.path.join(PVPGN, "stop"), "--dir", self.dir],
                           capture_output=True, text=True, timeout=60)
            self.running = False

    def log(self):
        try:
            with open(os.path.join(self.dir, "bnetd.log"), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def remove(self):
        self.stop()
        shutil.rmtree(self.dir, ignore_errors=True)


# ---------------------------------------------------------------- lines

class LineLog:
    """Lines arriving from a reader thread; tests wait for patterns in them.

    A cursor marks how far expect() has consumed, so ordered expectations
    read naturally; count() and search() look at everything."""

    def __init__(self):
        self.lines = []
        self.cursor = 0
        self.closed = False
        self.cond = threading.Condition()

    def add(self, line):
        with self.cond:
            self.lines.append(line)
            self.cond.notify_all()

    def close(self):
        with self.cond:
            self.closed = True
            self.cond.notify_all()

    def wait_for(self, pattern, timeout=WAIT, start=None):
        """Index of the first line from `start` (default: the cursor) that
        matches, or None after the timeout."""
        rx = re.compile(pattern)
        deadline = time.monotonic() + timeout
        with self.cond:
            i = self.cursor if start is None else start
            while True:
                while i < len(self.lines):
                    if rx.search(self.lines[i]):
                        return i
                    i += 1
                left = deadline - time.monotonic()
                if left <= 0 or self.closed:
                    return None
                self.cond.wait(left)

    def count(self, pattern):
        rx = re.compile(pattern)
        with self.cond:
            return sum(1 for l in self.lines if rx.search(l))

    def text(self):
        with self.cond:
            return "\n".join(self.lines)


# ---------------------------------------------------------------- program

def _die_with_parent():
    """A test killed by its time-out must not leave the program running."""
    try:
        import ctypes
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except Exception:
        pass


class Client:
    """`talvexchat --headless` as a child process, its stdout read line by
    line (ANSI colours stripped) on a thread."""

    def __init__(self, port, account="talvexbot", password="botpass", workdir=None,
                 extra_args=(), stdout=None):
        """password=None leaves TALVEX_PASSWORD unset; stdout, a file to write
        the output to instead of the pipe that `out` reads."""
        self.dir = workdir or tempfile.mkdtemp(prefix="tc-client-")
        self.own_dir = workdir is None
        env = dict(os.environ)
        env.pop("TALVEX_PASSWORD", None)
        if password is not None:
            env["TALVEX_PASSWORD"] = password
        # keep anything the program writes by default inside the test folder
        env["XDG_DATA_HOME"] = os.path.join(self.dir, "xdg-data")
        env["XDG_CONFIG_HOME"] = os.path.join(self.dir, "xdg-config")
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        self.args = [PROGRAM, "--headless", "--dir", self.dir,
                     "--server", f"127.0.0.1:{port}", "--account", account, *extra_args]
        self.out = LineLog()
        self.err = []
        self.proc = subprocess.Popen(self.args, cwd=self.dir, env=env,
                                     stdin=subprocess.PIPE,
                                     stdout=stdout if stdout is not None else subprocess.PIPE,
                                     stderr=subprocess.PIPE, preexec_fn=_die_with_parent)
        if stdout is None:
            threading.Thread(target=self._read_out, daemon=True).start()
        else:
            self.out.close()
        threading.Thread(target=self._read_err, daemon=True).start()

    def _read_out(self):
        try:
            for raw in self.proc.stdout:
                line = raw.decode("utf-8", errors="replace").rstrip("\r\n")
                self.out.add(ANSI.sub("", line))
        except (OSError, ValueError):  # the pipe was closed by kill()
            pass
        self.out.close()

    def _read_err(self):
        try:
            for raw in self.proc.stderr:
                self.err.append(raw.decode("utf-8", errors="replace").rstrip("\r\n"))
        except (OSError, ValueError):
            pass

    def type(self, text):
        """A line typed in the input box."""
        self.proc.stdin.write(text.encode("utf-8") + b"\n")
        self.proc.stdin.flush()

    def expect(self, pattern, timeout=WAIT, what=None):
        i = self.out.wait_for(pattern, timeout)
        if i is None:
            if self.proc.poll() is None:
                why = f"within {timeout:.0f} s"
            else:
                why = f"before it exited with {self.proc.returncode}"
            raise AssertionError(f"client never showed {what or pattern!r} {why}")
        self.out.cursor = i + 1
        return self.out.lines[i]

    def stderr_line(self, pattern, timeout=WAIT):
        """The first standard-error line matching, waiting for it; None if none came."""
        rx = re.compile(pattern)
        deadline = time.monotonic() + timeout
        while True:
            for line in list(self.err):
                if rx.search(line):
                    return line
            if time.monotonic() >= deadline:
                return None
            time.sleep(0.05)

    def terminate(self, timeout=WAIT):
        """SIGTERM, then the exit code (None if it did not exit in time)."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.proc.poll() is None:
            try:
                self.proc.kill()
            except ProcessLookupError:
                pass
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                pass
        for f in (self.proc.stdin, self.proc.stdout, self.proc.stderr):
            try:
                if f is not None:
                    f.close()
            except OSError:
                pass

    def remove(self):
        self.kill()
        if self.own_dir:
            shutil.rmtree(self.dir, ignore_errors=True)

    def transcript(self):
        parts = [f"--- client: {' '.join(self.args)} (exit {self.proc.poll()})",
                 "--- client stdout:", self.out.text()]
        if self.err:
            parts += ["--- client stderr:", "\n".join(self.err)]
        return "\n".join(parts)


# ---------------------------------------------------------------- accounts

class ChatAccount:
    """A second account over a plain socket, the way a simple bot talks."""

    def __init__(self, port, name, password):
        self.name = name
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=WAIT)
        self.sock.settimeout(None)
        self.lines = LineLog()
        # the same lines with every byte kept as it came (Latin-1 maps bytes 1:1)
        self.raw = LineLog()
        self.last_send = 0.0
        self.buf = b""
        threading.Thread(target=self._read, daemon=True).start()
        self.sock.sendall(b"\x03\x04")
        self.sock.sendall(name.encode() + b"\r\n" + password.encode() + b"\r\n")
        self.last_send = time.monotonic()

    def _read(self):
        while True:
            try:
                data = self.sock.recv(65536)
            except OSError:
                break
            if not data:
                break
            self.buf += data
            while b"\r\n" in self.buf:
                line, self.buf = self.buf.split(b"\r\n", 1)
                self.lines.add(line.decode("cp1252", errors="replace"))
                self.raw.add(line.decode("latin-1"))
        self.lines.close()
        self.raw.close()

    def send(self, text, encoding="cp1252"):
        """One line, paced to stay inside the server's flood quota."""
        gap = time.monotonic() - self.last_send
        if gap < QUOTA_GAP:
            time.sleep(QUOTA_GAP - gap)
        self.sock.sendall(text.encode(encoding) + b"\r\n")
        self.last_send = time.monotonic()

    def expect(self, pattern, timeout=WAIT):
        i = self.lines.wait_for(pattern, timeout)
        if i is None:
            raise AssertionError(f"{self.name} never received {pattern!r} within {timeout:.0f} s")
        self.lines.cursor = i + 1
        return self.lines.lines[i]

    def expect_bytes(self, pattern, timeout=WAIT):
        """A received line whose bytes match `pattern` (a bytes regex)."""
        i = self.raw.wait_for(pattern.decode("latin-1"), timeout)
        if i is None:
            raise AssertionError(f"{self.name} never received the bytes {pattern!r} "
                                 f"within {timeout:.0f} s")
        self.raw.cursor = i + 1
        return self.raw.lines[i].encode("latin-1")

    def login(self):
        self.expect(r"^2010 NAME ")
        return self

    def close(self):
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.sock.close()

    def transcript(self):
        return f"--- {self.name} received:\n{self.lines.text()}"


# ---------------------------------------------------------------- tests

class LiveTest(unittest.TestCase):
    """Cleans up servers, clients and sockets whatever happens, and prints
    every transcript when a test did not pass."""

    def setUp(self):
        self.servers, self.clients, self.accounts = [], [], []
        self.port = free_port()

    def server(self, port=None, no_quota=False):
        s = Server(port or self.port, no_quota)
        self.servers.append(s)
        self.addCleanup(s.stop)
        return s.start()

    def client(self, **kw):
        c = Client(self.port, **kw)
        self.clients.append(c)
        self.addCleanup(c.kill)
        return c

    def account(self, name, password):
        a = ChatAccount(self.port, name, password)
        self.accounts.append(a)
        self.addCleanup(a.close)
        return a

    def run(self, result=None):
        result = result or self.defaultTestResult()
        before = len(result.failures) + len(result.errors)
        super().run(result)
        failed = len(result.failures) + len(result.errors) > before
        if failed:
            out = sys.stderr
            for c in getattr(self, "clients", []):
                print(c.transcript(), file=out)
            for a in getattr(self, "accounts", []):
                print(a.transcript(), file=out)
            for s in getattr(self, "servers", []):
                # the part after start-up, where the connections show
                log = s.log()
                log = log[log.find("_setup_listensock"):]
                print(f"--- server log {s.dir}/bnetd.log:", file=out)
                print("\n".join(log.splitlines()[-40:]), file=out)
            out.flush()
        # folders are kept after a failure, for a look
        for c in getattr(self, "clients", []):
            if not failed:
                c.remove()
        for s in getattr(self, "servers", []):
            if not failed:
                s.remove()
        return result

    def joined_channel(self, client, channel="Talvex Chat"):
        return client.expect(r"^Joining Channel \( " + re.escape(channel) +
                             r" \) \(\d\d:\d\d:\d\d\)$")

    def bot_with_alice(self):
        """The server, the console bot in its channel and alice beside it."""
        self.server()
        c = self.client()
        self.joined_channel(c)
        alice = self.account("alice", "alicepw").login()
        join_client_channel(c, alice)
        return c, alice


def join_client_channel(client, alice):
    alice.send("/join Talvex Chat")
    alice.expect(r'^1007 CHANNEL "Talvex Chat"$')
    client.expect(r"^Joins \( alice \) \(\d\d:\d\d:\d\d\)$")


def conversation(test, client, alice):
    """The shared scenario: alice joins the client's channel, talks and
    whispers; the client's typed talk and whisper reach her; she leaves."""
    join_client_channel(client, alice)

    alice.send("hello there")
    client.expect(r"^<alice> hello there$")

    alice.send("/w talvexbot psst")
    # an ordinary whisper belongs to the chat view, not the whisper view
    client.expect(r"^\u00ab\( alice \)\u00ab psst$")

    client.type("hi alice")
    alice.expect(r'^1005 TALK talvexbot [0-9a-f]{4} "hi alice"$')

    client.type("/w alice psst back")
    alice.expect(r'^1004 WHISPER talvexbot [0-9a-f]{4} "psst back"$')
    client.expect(r"^\u00bb\( alice \)\u00bb psst back$")

    alice.send("/join Elsewhere")
    client.expect(r"^Parts \( alice \) \(\d\d:\d\d:\d\d\)$")


def database_records(folder):
    """The record lines of folder/DataBase.dat (CR LF separated, cp1252)."""
    with open(os.path.join(folder, "DataBase.dat"), "rb") as f:
        data = f.read()
    return [l.decode("cp1252", errors="replace") for l in data.split(b"\r\n") if l]


def record_of(folder, name):
    prefix = "<%Account_Name%>" + name + "<%"
    for line in database_records(folder):
        if line.startswith(prefix):
            return line
    return None
