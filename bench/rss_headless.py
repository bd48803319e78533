#!/usr/bin/env python3
"""Resident memory of `talvexchat --headless` with a full user database,
idle in a 1000-user channel.

Run:  cmake --build --preset default --target bench_rss
  or: python3 bench/rss_headless.py build/default/src/talvexchat

A small fake chat server in this script (127.0.0.1, a free port) logs the
program in, puts it in a channel of 1000 users and then stays silent.  The
program directory holds a generated DataBase.dat of 5000 records (the bot
itself, the 1000 channel members and 3999 other accounts, so the full table
is not churned by new names).  After the program has read everything and its
CPU time has stopped moving, VmRSS is read from /proc/PID/status.
Exit status: 0 under the target, 1 over it, 2 when the run itself failed.
"""

import argparse
import datetime
import os
import random
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

TARGET_KB = 40 * 1024
USERS = 1000
RECORDS = 5000
MARKER = "There are 1000 users in this channel."
ANSI = re.compile(r"\x1b\[[0-9;]*m")
PRODUCTS = ["[STAR]"] * 5 + ["[SEXP]"] * 5 + ["[CHAT]"] * 3 + ["[W2BN]"] * 2 + \
           ["[D2DV]", "[D2XP]", "[WAR3]", "[W3XP]", "[JSTR]", "[SSHR]", "[DRTL]"]
FIELDS = ["Account_Name", "Account_Number", "Product", "Flag", "InterBot_Name", "Icon",
          "Status", "Notes", "Information", "Last_Time_Seen", "First_Time_Seen",
          "Total_Time_Seen", "Time_In_Channel", "Number_Times_Seen", "Last_Message_Seen",
          "Location", "In_Channel", "Told_InterBot", "Alias_Names"]
WORDS = ("the of and to in is you that it he was for on are as with his they at be this "
         "have from or one had by word but not what all were we when your can said there "
         "use an each which she do how their if will up other about out many then them "
         "gg lol brb anyone wanna play map hosting ladder clan recruit noob pro").split()


def channel_users():
    rng = random.Random(7)
    return [(f"user{i:04d}", rng.choice(PRODUCTS)) for i in range(USERS)]


def other_names(count, taken):
    rng = random.Random(11)
    syll = ["ka", "ra", "zo", "mi", "el", "dar", "th", "or", "vin", "qu", "lex", "an",
            "sh", "ne", "ul", "gor", "fi", "ta", "ix", "bo"]
    names, seen = [], {n.lower() for n in taken}
    while len(names) < count:
        n = "".join(rng.choice(syll) for _ in range(rng.randint(2, 4)))
        n = rng.choice([n, n.capitalize(), n + str(rng.randint(1, 999)),
                        "[" + n[:3].upper() + "]" + n[:8], n + "_" + rng.choice(syll)])
        n = n[:15]
        if len(n) >= 2 and n.lower() not in seen:
            seen.add(n.lower())
            names.append(n)
    return names


def seen_stamps(rng):
    """First and last seen, the last never before the first, within ~4 years."""
    now = datetime.datetime.now().replace(microsecond=0)
    first = now - datetime.timedelta(seconds=rng.randint(3600, 4 * 365 * 86400))
    last = first + datetime.timedelta(seconds=rng.randint(0, int((now - first).total_seconds())))
    fmt = "%m/%d/%Y %H:%M:%S"
    return first.strftime(fmt), last.strftime(fmt)


def write_database(path, bot):
    rng = random.Random(3)
    users = channel_users()
    records = [(bot, "[CHAT]")] + users
    records += [(n, rng.choice(PRODUCTS)) for n in
                other_names(RECORDS - len(records), [n for n, _ in records])]
    assert len({n.lower() for n, _ in records}) == RECORDS
    lines = []
    for name, product in records:
        interbot = "Talvex Chat" if rng.random() < 0.05 else ""
        number = (f"#{rng.randint(1, 9_999_999)}" if rng.random() < 0.6 else
                  "Gateway" if product == "[CHAT]" else "N/A")
        notes = ("<#>".join(rng.choice(WORDS) for _ in range(rng.randint(3, 12)))
                 if rng.random() < 0.1 else "")
        info = (f"Name={name};Age={rng.randint(14, 60)};Gender=;Location=Somewhere;EMail=;"
                f"Icq=;URL=;Description=hi;" if rng.random() < 0.05 else "")
        first_seen, last_seen = seen_stamps(rng)
        values = [name, number, product, rng.choice(["0000", "0000", "0010", "0002", "0020"]),
                  interbot, str(rng.randint(0, 40)),
                  "Disconnected", notes, info, last_seen, first_seen,
                  str(rng.randint(0, 400_000)), "0", str(rng.randint(1, 3000)),
                  " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 20))),
                  rng.choice(["Unavailable", "Talvex Chat", "Clan Recruitment", "Op Room"]),
                  "No", "No", ""]
        lines.append("".join(f"<%{f}%>{v}" for f, v in zip(FIELDS, values)) + "<%end%>")
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


class FakeServer(threading.Thread):
    """Logs one client in, lists the channel, then only drains its input."""

    def __init__(self, bot):
        super().__init__(daemon=True)
        self.bot = bot
        self.listener = socket.socket()
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        self.port = self.listener.getsockname()[1]
        self.error = None
        self.listed = threading.Event()

    def run(self):
        try:
            self.listener.settimeout(60)
            conn, _ = self.listener.accept()
            conn.settimeout(30)
            data = b""
            while len(data) < 2:
                chunk = conn.recv(64)
                if not chunk:
                    raise RuntimeError("client closed before the handshake")
                data += chunk
            if not data.startswith(b"\x03\x04"):
                raise RuntimeError(f"unexpected first bytes {data[:8]!r}")
            data = data[2:]
            conn.sendall(b"Enter your account name and password.\r\n")
            while data.count(b"\r\n") < 2:
                chunk = conn.recv(1024)
                if not chunk:
                    raise RuntimeError("client closed before sending credentials")
                data += chunk
            out = [f"2010 NAME {self.bot}", '1007 CHANNEL "Talvex Chat"',
                   f"1001 USER {self.bot} 0002 [CHAT]"]
            out += [f"1001 USER {n} 0000 {p}" for n, p in channel_users()]
            out.append(f'1018 INFO "{MARKER}"')
            conn.sendall(("\r\n".join(out) + "\r\n").encode("cp1252"))
            self.listed.set()
            conn.settimeout(None)
            while conn.recv(4096):
                pass
        except Exception as e:  # reported by the main thread
            self.error = e


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return -1


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", nargs="?",
                        default=os.path.join(here, "..", "build", "default", "src", "talvexchat"))
    parser.add_argument("--keep", action="store_true", help="keep the program folder")
    args = parser.parse_args()

    bot = "talvexbot"
    folder = tempfile.mkdtemp(prefix="tc-rss-")
    write_database(os.path.join(folder, "DataBase.dat"), bot)
    server = FakeServer(bot)
    server.start()

    env = dict(os.environ, TALVEX_PASSWORD="botpass",
               XDG_DATA_HOME=os.path.join(folder, "xdg-data"),
               XDG_CONFIG_HOME=os.path.join(folder, "xdg-config"))
    proc = subprocess.Popen([os.path.abspath(args.program), "--headless", "--dir", folder,
                             "--server", f"127.0.0.1:{server.port}", "--account", bot],
                            cwd=folder, env=env, stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    lines = []
    seen = {"joined": threading.Event(), "marker": threading.Event()}

    def reader():
        for raw in proc.stdout:
            line = ANSI.sub("", raw.decode("utf-8", errors="replace").rstrip("\r\n"))
            lines.append(line)
            if line.startswith("Joining Channel ( Talvex Chat )"):
                seen["joined"].set()
            if MARKER in line:
                seen["marker"].set()
    threading.Thread(target=reader, daemon=True).start()

    status = 2
    try:
        if not seen["joined"].wait(60):
            raise RuntimeError("the program never showed 'Joining Channel ( Talvex Chat )'"
                               + (f" (server: {server.error})" if server.error else ""))
        # the marker line comes after the 1000 users, so it shows they were read
        if not seen["marker"].wait(30):
            print("rss_headless: note: the line after the user list was not shown; "
                  "relying on idle CPU alone")
        # then wait until it is idle: no CPU time used over one second
        deadline = time.monotonic() + 60
        last = cpu_ticks(proc.pid)
        while time.monotonic() < deadline:
            time.sleep(1.0)
            now = cpu_ticks(proc.pid)
            if now == last:
                break
            last = now
        rss = status_kb(proc.pid, "VmRSS")
        hwm = status_kb(proc.pid, "VmHWM")
        print(f"rss_headless: VmRSS {rss / 1024:.1f} MB (peak VmHWM {hwm / 1024:.1f} MB) "
              f"with {RECORDS} records, {USERS} channel users; target < {TARGET_KB / 1024:.0f} MB")
        status = 0 if rss < TARGET_KB else 1
        if status:
            print("rss_headless: OVER TARGET")
    except Exception as e:
        print(f"rss_headless: FAILED: {e}")
        print("--- program output:\n" + "\n".join(lines[-40:]))
    finally:
        if proc.poll() is None:
            proc.send_signal(signal.SIGTERM)
            try:
                proc.wait(20)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        if args.keep:
            print(f"rss_headless: program folder kept: {folder}")
        else:
            shutil.rmtree(folder, ignore_errors=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
