#!/usr/bin/env python3
"""Runs the real pendra on a private X desktop (Xvfb, openbox, xcompmgr and a
tint2 top panel with a tray) and drives it with xdotool, checking what the
window manager and the settings file see.

usage: desktop_test.py <pendra binary> <test data folder> [screenshot folder]"""

import json
import os
import re
import subprocess
import sys
import time

from desktop_session import DesktopSession, wait_for

SETTINGS_KEY = "pendra.settings.v1"
PANEL_HEIGHT = 30
PIN_DEPTH = 3


def ini_quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def ini_unquote(value):
    value = value.strip()
    if value.startswith('"') and value.endswith('"'):
        value = value[1:-1]
    out, i = [], 0
    while i < len(value):
        c = value[i]
        if c == "\\" and i + 1 < len(value):
            nxt = value[i + 1]
            out.append({"n": "\n", "t": "\t", "r": "\r", "0": "\0"}.get(nxt, nxt))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


class PendraDesktopTest:
    def __init__(self, binary, data_dir, shots):
        self.binary = binary
        self.shots = shots
        self.session = DesktopSession(os.path.join(data_dir, "desktop"))
        self.failures = []
        self.pendra = None

    # --- settings file -----------------------------------------------------
    def settings_path(self):
        return os.path.join(self.session.env["XDG_CONFIG_HOME"], "pendra", "app.pendra.Pendra.conf")

    def write_settings(self, record):
        os.makedirs(os.path.dirname(self.settings_path()), exist_ok=True)
        with open(self.settings_path(), "w") as f:
            f.write("[General]\n%s=%s\n" % (SETTINGS_KEY, ini_quote("@ByteArray(" + json.dumps(record) + ")")))

    def read_settings(self):
        with open(self.settings_path()) as f:
            for line in f:
                if line.startswith(SETTINGS_KEY + "="):
                    value = ini_unquote(line[len(SETTINGS_KEY) + 1:])
                    match = re.fullmatch(r"@ByteArray\((.*)\)", value, re.S)
                    return json.loads(match.group(1))
        raise AssertionError("no settings record in " + self.settings_path())

    # --- helpers -------------------------------------------------------------
    def check(self, ok, what):
        print(("ok   " if ok else "FAIL ") + what, flush=True)
        if not ok:
            self.failures.append(what)

    def xdo(self, *args):
        return self.session.run(["xdotool"] + [str(a) for a in args]).stdout.strip()

    def managed_windows(self):
        rows = []
        for line in self.session.run(["wmctrl", "-l", "-G", "-p"]).stdout.splitlines():
            parts = line.split(None, 8)
            rows.append({"id": int(parts[0], 16), "pid": int(parts[2]), "x": int(parts[3]), "y": int(parts[4]),
                         "w": int(parts[5]), "h": int(parts[6]), "title": parts[8] if len(parts) > 8 else ""})
        return rows

    def rail_window(self):
        for row in self.managed_windows():
            if row["pid"] == self.pendra.pid and row["title"] == "Pendra":
                return row
        return None

    def is_mapped(self, window):
        out = self.session.run(["xwininfo", "-id", str(window)], check=False).stdout
        return "IsViewable" in out

    def xprop(self, window, *names):
        return self.session.run(["xprop", "-id", str(window)] + list(names)).stdout

    def geometry(self, window):
        out = self.session.run(["xdotool", "getwindowgeometry", str(window)]).stdout
        x, y = map(int, re.search(r"Position: (-?\d+),(-?\d+)", out).groups())
        w, h = map(int, re.search(r"Geometry: (\d+)x(\d+)", out).groups())
        return x, y, w, h

    def press_count(self, log):
        with open(log) as f:
            return f.read().count("ButtonPress event")

    def cpu_ticks(self):
        with open("/proc/%d/stat" % self.pendra.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])

    def tray_icon(self):
        # The icon is a small window of ours that the panel's tray swallowed.
        for window in self.visible_pendra_windows():
            if window == self.rail["id"]:
                continue
            try:
                x, y, w, h = self.geometry(window)
            except AssertionError:
                continue  # gone while we looked
            if w <= 40 and h <= 40 and y < PANEL_HEIGHT and self.is_mapped(window):
                return window, (x + w // 2, y + h // 2)
        return None

    def menu_choose(self, ups):
        """Opens the tray menu and picks the item `ups` places from the bottom."""
        _, (x, y) = self.tray
        before = set(self.visible_pendra_windows())
        self.xdo("mousemove", x, y)
        self.xdo("click", 1)
        wait_for(lambda: set(self.visible_pendra_windows()) - before, what="the tray menu")
        time.sleep(0.2)
        for _ in range(ups):
            self.xdo("key", "Up")
        self.xdo("key", "Return")

    def visible_pendra_windows(self):
        out = self.session.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.pendra.pid)],
                               check=False).stdout
        return [int(w) for w in out.split()]

    def shot(self, name):
        if self.shots and self.session.run(["sh", "-c", "command -v import"], check=False).returncode == 0:
            self.session.run(["import", "-window", "root", os.path.join(self.shots, name)], check=False)

    # --- the test ------------------------------------------------------------
    def run(self):
        s = self.session.start()
        log = os.path.join(s.home.name, "xev.log")
        with open(log, "w") as xev_out:
            s.spawn(["stdbuf", "-oL", "xev", "-geometry", "900x600+0+0", "-event", "button"], stdout=xev_out)
        xev = wait_for(lambda: [w for w in self.managed_windows() if w["title"] == "Event Tester"], what="xev")[0]

        start = {"hung": [{"uid": "6F1C1D0E-2B7A-4C8E-9A51-3D2E4F5A6B7C", "charmID": "nazar", "x": 0.62,
                           "drop": 150}], "breeze": False, "shimmer": False, "sound": False}
        self.write_settings(start)
        self.pendra = s.spawn([self.binary], stderr=subprocess.PIPE)
        self.rail = wait_for(self.rail_window, what="the rail window")
        wait_for(lambda: self.is_mapped(self.rail["id"]), what="the rail to show")
        # A swing started at launch takes its time to die down; the frame
        # loop stops once the cords have been quiet for a while.
        self.xdo("mousemove", 1100, 700)
        began = time.monotonic()
        last = self.cpu_ticks()
        calm_seconds = 0
        while calm_seconds < 2 and time.monotonic() - began < 90:
            time.sleep(1.0)
            now = self.cpu_ticks()
            calm_seconds = calm_seconds + 1 if now - last <= 1 else 0
            last = now
        print("the rail came to rest %.0f s after launch" % (time.monotonic() - began), flush=True)
        ticks, began = self.cpu_ticks(), time.monotonic()
        time.sleep(20.0)
        used = (self.cpu_ticks() - ticks) / os.sysconf("SC_CLK_TCK") / (time.monotonic() - began)
        print("pendra at rest: %.2f %% of one core over 20 s" % (100 * used), flush=True)
        self.check(used < 0.05, "pendra at rest stays under 5 % of one core")
        self.shot("desktop-rail.png")

        rail = self.rail_window()
        tint2 = [w for w in self.managed_windows() if w["title"] == "tint2"] or [{"y": 0, "h": PANEL_HEIGHT}]
        top = tint2[0]["y"] + tint2[0]["h"]
        self.check(rail["x"] == 0 and rail["y"] == top and rail["w"] == s.width,
                   "the rail hangs right below the top panel across the whole width (%s)" % rail)
        props = self.xprop(rail["id"])
        for state in ("_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_ABOVE"):
            self.check(state in props, "the rail window has " + state)
        self.check(re.search(r"_NET_WM_DESKTOP\(CARDINAL\) = 4294967295", props) is not None,
                   "the rail is on every desktop")
        self.check("accepts input or input focus: False" in props, "the rail never takes the keyboard focus")
        stacking = self.session.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"]).stdout
        ids = [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", stacking)]
        self.check(rail["id"] in ids and xev["id"] in ids and ids.index(rail["id"]) > ids.index(xev["id"]),
                   "the rail is stacked above a normal window")

        active = self.xdo("getactivewindow")
        self.xdo("mousemove", 300, 300)
        time.sleep(0.3)
        presses = self.press_count(log)
        self.xdo("click", 1)
        wait_for(lambda: self.press_count(log) > presses, timeout=5, what="the click to reach xev")
        self.check(True, "a click away from every charm reaches the window below")

        pin_x = round(0.62 * s.width)
        self.xdo("windowactivate", "--sync", xev["id"])
        active = self.xdo("getactivewindow")
        presses = self.press_count(log)
        # Slowly, from below: a pointer that jumps onto a charm flicks it away.
        below = top + PIN_DEPTH + 150 + 230
        for y in range(below, below - 100, -4):
            self.xdo("mousemove", pin_x, y)
            time.sleep(0.04)
        time.sleep(0.3)
        self.xdo("mousedown", 1)
        time.sleep(0.3)
        self.xdo("mouseup", 1)
        time.sleep(0.3)
        self.check(self.press_count(log) == presses, "a press on a charm does not reach the window below")
        if self.press_count(log) != presses:
            print(open(log).read()[-600:])
        self.check(self.xdo("getactivewindow") == active, "a press on a charm leaves the active window active")

        self.xdo("mousemove", pin_x, top + PIN_DEPTH)
        time.sleep(0.4)
        self.xdo("mousedown", 1)
        for step in range(1, 11):
            self.xdo("mousemove", pin_x + 20 * step, top + PIN_DEPTH)
            time.sleep(0.03)
        self.xdo("mouseup", 1)
        time.sleep(0.5)
        x = self.read_settings()["hung"][0]["x"]
        expected = (pin_x + 200) / s.width
        self.check(abs(x - expected) < 0.002 and round(x, 4) == x,
                   "dragging the pin stores x = %r (about %.4f, 4 decimals)" % (x, expected))

        self.tray = wait_for(self.tray_icon, timeout=5, what="the tray icon")
        self.check(True, "the tray icon sits in the panel's tray")
        self.menu_choose(4)  # Hide Charms
        wait_for(lambda: not self.is_mapped(self.rail["id"]), timeout=5, what="the rail to hide")
        self.check(self.read_settings().get("hidden") is True, "Hide Charms hides the rail and stores it")
        self.menu_choose(4)  # Show Charms
        wait_for(lambda: self.is_mapped(self.rail["id"]), timeout=5, what="the rail to show again")
        self.check(self.read_settings().get("hidden") is False, "Show Charms brings the rail back")

        second = s.run([self.binary], check=False, timeout=15)
        self.check(second.returncode == 0, "a second pendra exits 0 (%d)" % second.returncode)
        studio = wait_for(lambda: [w for w in self.managed_windows()
                                   if w["pid"] == self.pendra.pid and w["title"] != "Pendra"],
                          timeout=5, what="the studio window")
        self.check(len([w for w in self.managed_windows() if w["title"] == "Pendra"]) == 1,
                   "the second start hangs no second rail")
        self.check(studio[0]["w"] >= 540, "the second start opens the studio (%s)" % studio[0])
        time.sleep(0.5)
        self.shot("desktop-studio.png")

        before = open(self.settings_path(), "rb").read()
        self.menu_choose(1)  # Quit Pendra
        try:
            status = self.pendra.wait(timeout=10)
        except subprocess.TimeoutExpired:
            status = None
        self.check(status == 0, "Quit ends the process with status 0 (%s)" % status)
        self.check(open(self.settings_path(), "rb").read() == before, "quitting leaves the settings intact")

        # A desktop with no tray at all: the studio is the way in, and a tray
        # that turns up later gets the icon.
        s.stop_panel()
        self.pendra = s.spawn([self.binary], stderr=subprocess.PIPE)
        self.rail = wait_for(self.rail_window, what="the rail window without a tray")
        studio = wait_for(lambda: [w for w in self.managed_windows()
                                   if w["pid"] == self.pendra.pid and w["title"] != "Pendra"],
                          timeout=10, what="the studio on a desktop without a tray")
        self.check(bool(studio), "without a tray the studio opens by itself")
        s.start_panel()
        self.tray = wait_for(self.tray_icon, timeout=10, what="the tray icon once a tray appears")
        self.check(True, "a tray that appears later gets the icon")
        self.menu_choose(1)  # Quit Pendra
        self.check(self.pendra.wait(timeout=10) == 0, "quit from the late tray ends with status 0")

    def main(self):
        try:
            self.run()
        except AssertionError as error:
            self.check(False, str(error))
        finally:
            if self.pendra and self.pendra.poll() is None:
                self.pendra.kill()
            if self.pendra:
                self.pendra.wait()
                err = self.pendra.stderr.read().decode(errors="replace").strip() if self.pendra.stderr else ""
                if err:
                    print("pendra said:\n" + err)
            self.session.stop()
        print("%d failure(s)" % len(self.failures))
        return 1 if self.failures else 0


if __name__ == "__main__":
    sys.exit(PendraDesktopTest(sys.argv[1], sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else None).main())
