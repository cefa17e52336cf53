#!/usr/bin/env python3
"""One Pendra per user and display, checked with the real program on a private X
desktop: two started at the same moment leave one rail, a running one that does
not answer makes a later start say so and fail, and a start at login on a desktop
without a tray keeps the studio closed. The studio's window carries the class the
desktop entry names and an icon.

usage: instance_test.py <pendra binary> <test data folder> <desktop entry>"""

import os
import signal
import subprocess
import sys
import time

from desktop_session import DesktopSession, wait_for

RAIL_TITLE = "Pendra"
ROUNDS = 3


class InstanceTest:
    def __init__(self, binary, data_dir, desktop_entry):
        self.binary = binary
        self.desktop_entry = desktop_entry
        self.session = DesktopSession(os.path.join(data_dir, "desktop"))
        self.failures = []
        self.started = []

    def check(self, ok, what):
        print(("ok   " if ok else "FAIL ") + what, flush=True)
        if not ok:
            self.failures.append(what)

    def start(self, *arguments):
        process = self.session.spawn([self.binary] + list(arguments), stderr=subprocess.PIPE)
        self.started.append(process)
        return process

    def windows(self, pids):
        rows = []
        for line in self.session.run(["wmctrl", "-l", "-p"]).stdout.splitlines():
            parts = line.split(None, 4)
            if int(parts[2]) in pids:
                rows.append({"id": int(parts[0], 16), "pid": int(parts[2]),
                             "title": parts[4] if len(parts) > 4 else ""})
        return rows

    def rails(self, pids):
        """The programs among pids that show a rail: its windows are outside the
        window manager's list, so they are found by name and process."""
        found = []
        for pid in pids:
            out = self.session.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name",
                                    "^%s$" % RAIL_TITLE], check=False).stdout
            windows = [int(w) for w in out.split() if "Override Redirect State: yes" in
                       self.session.run(["xwininfo", "-id", w], check=False).stdout]
            if windows:
                found.append({"pid": pid, "windows": windows})
        return found

    def studios(self, pids):
        return [w for w in self.windows(pids) if w["title"] != RAIL_TITLE]

    def stop(self, process):
        """Ends a program the way a logging-out session does; True once it has gone."""
        if process.poll() is None:
            process.send_signal(signal.SIGCONT)
            process.terminate()
        return process.wait(timeout=10) in (0, -signal.SIGTERM)

    def entry_value(self, key):
        with open(self.desktop_entry) as entry:
            for line in entry:
                if line.startswith(key + "="):
                    return line.strip().split("=", 1)[1]
        return None

    def at_the_same_moment(self, round_number):
        pair = [self.start(), self.start()]
        pids = [p.pid for p in pair]
        wait_for(lambda: any(p.poll() is not None for p in pair), timeout=15, what="one of the two to leave")
        left = [p for p in pair if p.poll() is not None][0]
        stays = [p for p in pair if p is not left][0]
        err = left.stderr.read().decode(errors="replace").strip()
        self.check(left.returncode == 0 and not err,
                   "round %d: the later start hands off and exits 0 (%s%s)"
                   % (round_number, left.returncode, ", said: " + err if err else ""))
        wait_for(lambda: self.rails(pids), timeout=15, what="the rail")
        studio = wait_for(lambda: self.studios([stays.pid]), timeout=10, what="the studio of the one that stays")
        time.sleep(1.0)  # time enough for a second rail to turn up, were there one
        rails = self.rails(pids)
        self.check(stays.poll() is None and len(rails) == 1 and rails[0]["pid"] == stays.pid,
                   "round %d: two started at once leave exactly one rail (%s)" % (round_number, rails))
        return stays, studio[0]

    def run(self):
        s = self.session.start()
        s.stop_panel()  # no tray, so the studio stays shut unless a start asks for it
        stays = None
        for round_number in range(1, ROUNDS + 1):
            stays, studio = self.at_the_same_moment(round_number)
            if round_number < ROUNDS:
                self.check(self.stop(stays), "round %d: the one that stayed ends on SIGTERM" % round_number)

        wm_class = s.run(["xprop", "-id", str(studio["id"]), "WM_CLASS"]).stdout
        wanted = self.entry_value("StartupWMClass")
        self.check(wanted is not None and wm_class.strip().endswith('"%s"' % wanted),
                   "the studio's window class matches the desktop entry's StartupWMClass (%s, %s)"
                   % (wm_class.strip(), wanted))
        icon = s.run(["xprop", "-id", str(studio["id"]), "-notype", "_NET_WM_ICON"], check=False).stdout
        self.check("_NET_WM_ICON =" in icon, "the studio's window has an icon")

        # A program that is stopped still has its socket take the connection,
        # but it never answers.
        stays.send_signal(signal.SIGSTOP)
        began = time.monotonic()
        late = self.start()
        status = late.wait(timeout=20)
        took = time.monotonic() - began
        err = late.stderr.read().decode(errors="replace")
        self.check(status == 1, "a start while the first does not answer exits 1 (%s)" % status)
        self.check(err.count("\n") == 1 and "did not answer" in err and str(stays.pid) in err,
                   "and says so in one line naming the running one: " + err.strip())
        self.check(took < 10, "and gives up after about two seconds (%.1f s)" % took)
        stays.send_signal(signal.SIGCONT)
        self.check(self.stop(stays), "the first ends on SIGTERM once it runs again")

        # Started at login on a desktop without a tray: the rail, but no studio.
        login = self.start("--autostart")
        wait_for(lambda: self.rails([login.pid]), timeout=15, what="the rail of a start at login")
        time.sleep(2.0)
        self.check(not self.studios([login.pid]), "a start at login opens no studio, even without a tray")
        self.check(self.start("--autostart").wait(timeout=15) == 0 and not self.studios([login.pid]),
                   "a second start at login leaves quietly and opens nothing")
        self.check(self.stop(login), "the start at login ends on SIGTERM")

    def main(self):
        try:
            self.run()
        except AssertionError as error:
            self.check(False, str(error))
        finally:
            for process in self.started:
                if process.poll() is None:
                    process.send_signal(signal.SIGCONT)
                    process.kill()
                    process.wait()
            self.session.stop()
        print("%d failure(s)" % len(self.failures))
        return 1 if self.failures else 0


if __name__ == "__main__":
    sys.exit(InstanceTest(sys.argv[1], sys.argv[2], sys.argv[3]).main())
