#!/usr/bin/env python3
"""Runs the real pendra on a private X11 desktop and drives it with xdotool,
checking what the window manager, the X server, the screen and the settings
file see.

usage: desktop_test.py <scenario> <pendra> <pendra-xprobe> <test data> <charms folder> [screenshot folder]

Scenarios: x11 (openbox, xcompmgr and a tint2 panel with a tray), plain
(openbox and tint2 without a compositor), i3 (the tiling window manager with
tint2 docked at the top)."""

import json
import math
import os
import subprocess
import sys
import time

import process_cost
from desktop_session import DesktopSession, wait_for
from x11_rail import X11Rail, differing, pixels

PANEL_HEIGHT = 30
NAZAR = {"uid": "6F1C1D0E-2B7A-4C8E-9A51-3D2E4F5A6B7C", "charmID": "nazar", "x": 0.62, "drop": 150}


class DesktopTest:
    def __init__(self, scenario, binary, probe, data_dir, charms, shots):
        self.scenario = scenario
        self.binary = binary
        self.probe = probe
        self.charms = charms
        self.shots = shots
        options = {"x11": {}, "plain": {"compositor": False}, "i3": {"wm": "i3", "compositor": False}}[scenario]
        self.session = DesktopSession(os.path.join(data_dir, "desktop"), probe=probe, **options)
        self.failures = []
        self.rail = None

    def check(self, ok, what):
        print(("ok   " if ok else "FAIL ") + what, flush=True)
        if not ok:
            self.failures.append(what)

    def shot(self, name):
        if self.shots:
            self.rail.screenshot(os.path.join(self.shots, name))

    def presses(self, log):
        with open(log) as f:
            return f.read().count("ButtonPress event")

    def click_reaches(self, log, point):
        before = self.presses(log)
        self.rail.move(point)
        self.rail.xdo("click", 1)
        try:
            wait_for(lambda: self.presses(log) > before, timeout=3, what="the click")
            return True
        except AssertionError:
            return False

    def start_xev(self, geometry="900x600+0+0"):
        log = os.path.join(self.session.home.name, "xev.log")
        out = open(log, "w")
        self.session.spawn(["stdbuf", "-oL", "xev", "-geometry", geometry, "-event", "button"], stdout=out)
        xev = wait_for(lambda: self.rail.xdo_search("--name", "^Event Tester$"), what="xev")[0]
        wait_for(lambda: self.rail.viewable(xev), what="xev to show")
        return xev, log

    def top(self):
        return PANEL_HEIGHT if self.session.with_panel else 0

    def nazar_size(self):
        with open(os.path.join(self.charms, "charms.json")) as f:
            catalog = json.load(f)
        charms = catalog["charms"] if isinstance(catalog, dict) else catalog
        nazar = next(c for c in charms if c["id"] == "nazar")
        h = 190.0
        return h * nazar.get("w", 600) / max(nazar.get("h", 600), 1), h

    def covered(self, charm):
        """What the rail may draw on for a charm hanging at rest: its picture
        turned any way with a margin, the cord and the pin."""
        w, h = self.nazar_size()
        half = math.hypot(w, h) / 2 + 10
        cx, cy = charm.screen(charm.centre)
        px, py = charm.screen(charm.pin)

        def skip(x, y):
            return ((abs(x - cx) <= half and abs(y - cy) <= half) or (abs(x - px) <= 9 and py - 12 <= y <= cy)
                    or (abs(x - px) <= 12 and abs(y - py) <= 12))
        return skip

    # --- checks shared by the desktops ---------------------------------------
    def check_rail_window(self, top):
        x, y, w, h = self.rail.geometry(self.rail.panel)
        self.check((x, y, w) == (0, top, self.session.width),
                   "the rail hangs right below the top panel across the whole width (%d,%d %dx%d)" % (x, y, w, h))
        self.check(self.rail.geometry(self.rail.input) == (x, y, w, h), "the input window lies over the rail")
        managed = self.rail.managed()
        self.check(self.rail.panel not in managed and self.rail.input not in managed,
                   "the window manager does not manage the rail: no taskbar, pager, tile, dock or frame")

    def check_above(self, other, what):
        order = self.rail.stacking()
        frame = self.toplevel_of(other, order)
        self.check(frame in order and order.index(self.rail.panel) > order.index(frame)
                   and order.index(self.rail.input) > order.index(self.rail.panel), what)

    def toplevel_of(self, window, order):
        """The root's child that holds window (its frame, where it has one)."""
        current = window
        while current not in order:
            out = self.session.run(["xwininfo", "-children", "-id", str(current)]).stdout
            parent = [line for line in out.splitlines() if "Parent window id:" in line]
            current = int(parent[0].split()[3], 16)
        return current

    def check_pin_drag(self, charm, width):
        pin = charm.screen(charm.pin)
        self.rail.glide((pin[0], pin[1] + 60), pin)
        self.rail.xdo("mousedown", 1)
        for step in range(1, 11):
            self.rail.xdo("mousemove", pin[0] + 20 * step, pin[1])
            time.sleep(0.03)
        self.rail.xdo("mouseup", 1)
        time.sleep(0.5)
        x = self.rail.settings.read()["hung"][0]["x"]
        expected = (pin[0] + 200) / width
        self.check(abs(x - expected) < 0.002 and round(x, 4) == x,
                   "dragging the pin stores x = %r (about %.4f, 4 decimals)" % (x, expected))

    def drag_cost(self, at, seconds=3.0):
        """What a charm dragged to and fro costs Pendra and the X server."""
        server = [p for p in self.session.processes if p.args[0] == "Xvfb"][0]
        self.rail.glide((at[0] - 200, at[1]), at, steps=8)
        self.rail.xdo("mousedown", 1)
        pids = [self.rail.process.pid, server.pid]
        share = process_cost.during(
            pids, lambda: process_cost.wiggle(lambda x, y: self.rail.xdo("mousemove", x, y), at, seconds))
        self.rail.xdo("mouseup", 1)
        self.rail.glide(at, (at[0] - 300, at[1] + 200), steps=10)
        print("dragging a charm on %s: pendra %.1f %% of a core, Xvfb %.1f %%" %
              (self.scenario, share[self.rail.process.pid], share[server.pid]), flush=True)

    def check_rest_cost(self, others):
        took = process_cost.wait_for_rest(self.rail.process.pid)
        print("the rail came to rest %.0f s after launch" % took, flush=True)
        pids = [self.rail.process.pid] + [p.pid for p in others.values()]
        cost = process_cost.measure(pids, 20.0)
        cpu, wakeups = cost[self.rail.process.pid]
        print("pendra at rest: %.3f %% of one core, %.2f wakeups a second over 20 s" % (cpu, wakeups), flush=True)
        for name, process in others.items():
            print("%s beside it: %.3f %% of one core, %.2f wakeups a second" % ((name,) + cost[process.pid]),
                  flush=True)
        self.check(wakeups <= 1.0, "at rest pendra wakes at most once a second (%.2f)" % wakeups)
        self.check(cpu < 1.0, "at rest pendra costs next to nothing (%.3f %%)" % cpu)

    # --- the desktops --------------------------------------------------------
    def run_x11(self):
        s = self.session
        xev, log = self.start_xev()
        others = {}
        if os.path.exists("/usr/games/oneko"):
            others["oneko"] = s.spawn(["/usr/games/oneko"])
        self.rail.start({"hung": [NAZAR], "breeze": False, "shimmer": False, "sound": False, "calm": True})
        self.rail.xdo("mousemove", 1100, 700)
        self.check_rest_cost(others)
        self.shot("x11-rail.png")
        top = self.top()
        self.check_rail_window(top)
        self.check_above(xev, "the rail is stacked above a normal window")
        self.rail.xdo("windowactivate", "--sync", xev)
        self.rail.xdo("windowraise", xev)
        time.sleep(0.5)
        self.check_above(xev, "the rail stays above a window that was raised after it")
        s.run(["wmctrl", "-s", "1"])
        time.sleep(0.5)
        self.check(self.rail.viewable(self.rail.panel), "the rail shows on the second desktop too")
        s.run(["wmctrl", "-s", "0"])
        time.sleep(0.3)

        charm = self.rail.charm()
        reach = 0.48 * min(self.nazar_size())
        self.check(abs(charm.radius - reach) <= 1.0 and abs(charm.pin_radius - 13) <= 1.0,
                   "the input region is the charm's disc (r %.1f) and the pin's (r %.1f)" %
                   (charm.radius, charm.pin_radius))
        self.check(abs(charm.screen(charm.pin)[0] - 0.62 * s.width) <= 1.5, "the charm hangs at x = 0.62")
        row = int(charm.centre[1])
        left, right = charm.row_span(row)
        inside = charm.screen((left, row))
        outside = charm.screen((left - 1, row))
        self.rail.glide((outside[0] - 40, outside[1]), outside, steps=8)
        self.check(self.rail.cursor() != "openhand", "one pixel outside the charm's disc the cursor is not the hand")
        self.rail.move(inside)
        self.check(self.rail.cursor() == "openhand", "one pixel inside it the open hand shows (%s)" % self.rail.cursor())
        self.rail.move(outside)
        self.check(self.rail.cursor() != "openhand", "back outside, the hand goes (%s)" % self.rail.cursor())
        self.check(self.click_reaches(log, outside), "a click one pixel outside the disc reaches the window below")
        self.check(self.click_reaches(log, (300, 300)), "a click away from every charm reaches the window below")

        self.rail.xdo("windowactivate", "--sync", xev)
        active = self.rail.active()
        self.rail.glide(outside, inside, steps=4)
        before = self.presses(log)
        self.rail.xdo("mousedown", 1)
        time.sleep(0.2)
        self.check(self.rail.cursor() == "closedhand", "a held charm shows the closed hand")
        self.rail.xdo("mouseup", 1)
        time.sleep(0.3)
        self.check(self.presses(log) == before, "a press on a charm does not reach the window below")
        self.check(self.rail.active() == active, "a press on a charm leaves the active window active")
        self.rail.glide(inside, (inside[0] - 300, inside[1] + 200), steps=10)
        process_cost.wait_for_rest(self.rail.process.pid)
        self.drag_cost(charm.screen(charm.centre))
        process_cost.wait_for_rest(self.rail.process.pid)
        self.check_pin_drag(self.rail.charm(), s.width)
        self.run_tray(top)

    def run_tray(self, top):
        s = self.session
        rail = self.rail
        tray = wait_for(lambda: self.tray_icon(top), timeout=10, what="the tray icon")
        self.check(True, "the tray icon sits in the panel's tray")
        self.menu_choose(tray, 4)  # Hide Charms
        wait_for(lambda: not rail.viewable(rail.panel), timeout=5, what="the rail to hide")
        self.check(rail.settings.read().get("hidden") is True, "Hide Charms hides the rail and stores it")
        self.menu_choose(tray, 4)  # Show Charms
        wait_for(lambda: rail.viewable(rail.panel), timeout=5, what="the rail to show again")
        self.check(rail.settings.read().get("hidden") is False, "Show Charms brings the rail back")

        second = s.run([self.binary], check=False, timeout=15)
        self.check(second.returncode == 0, "a second pendra exits 0 (%d)" % second.returncode)
        studio = wait_for(lambda: self.studio_windows(), timeout=5, what="the studio window")
        self.check(rail.rail_windows() == rail.windows, "the second start hangs no second rail")
        self.check(bool(studio), "the second start opens the studio")
        time.sleep(0.5)
        self.shot("x11-studio.png")

        before = open(rail.settings.path, "rb").read()
        self.menu_choose(tray, 1)  # Quit Pendra
        try:
            status = rail.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            status = None
        self.check(status == 0, "Quit ends the process with status 0 (%s)" % status)
        self.check(open(rail.settings.path, "rb").read() == before, "quitting leaves the settings intact")

        # A desktop with no tray at all: the studio is the way in, and a tray
        # that turns up later gets the icon.
        s.stop_panel()
        rail.start()
        wait_for(lambda: self.studio_windows(), timeout=10, what="the studio on a desktop without a tray")
        self.check(True, "without a tray the studio opens by itself")
        s.start_panel()
        tray = wait_for(lambda: self.tray_icon(top), timeout=10, what="the tray icon once a tray appears")
        self.check(True, "a tray that appears later gets the icon")
        self.menu_choose(tray, 1)  # Quit Pendra
        self.check(rail.process.wait(timeout=10) == 0, "quit from the late tray ends with status 0")

    def studio_windows(self):
        rail = self.rail
        return [w for w in rail.managed() if w not in (rail.panel, rail.input)
                and w in rail.xdo_search("--pid", str(rail.process.pid))]

    def tray_icon(self, top):
        # The icon is a small window of ours that the panel's tray swallowed.
        rail = self.rail
        for window in rail.xdo_search("--onlyvisible", "--pid", str(rail.process.pid)):
            if window in rail.windows:
                continue
            try:
                x, y, w, h = rail.geometry(window)
            except (AssertionError, AttributeError):
                continue  # gone while we looked
            if w <= 40 and h <= 40 and y < top:
                return x + w // 2, y + h // 2
        return None

    def menu_choose(self, tray, ups):
        """Opens the tray menu and picks the item `ups` places from the bottom."""
        rail = self.rail
        before = set(rail.xdo_search("--onlyvisible", "--pid", str(rail.process.pid)))
        rail.move(tray, settle=0.1)
        rail.xdo("click", 1)
        wait_for(lambda: set(rail.xdo_search("--onlyvisible", "--pid", str(rail.process.pid))) - before,
                 what="the tray menu")
        time.sleep(0.2)
        for _ in range(ups):
            rail.xdo("key", "Up")
        rail.xdo("key", "Return")

    def run_plain(self):
        s = self.session
        top = self.top()
        # A window under the whole band, so that every comparison is made on
        # a window's pixels, which a compositor starting does not change.
        xev, log = self.start_xev("%dx%d+0+%d" % (s.width, s.height - top - 40, top))
        self.rail.xdo("mousemove", 1100, 700)
        time.sleep(0.5)
        without = pixels(s, self.rail.screenshot(os.path.join(s.home.name, "without.png")))
        # A still charm hangs straight at once, so the pictures can be compared.
        self.rail.start({"hung": [NAZAR], "breeze": False, "shimmer": False, "sound": False, "still": True})
        process_cost.wait_for_rest(self.rail.process.pid)
        self.check_rail_window(self.top())
        charm = self.rail.charm()
        shot = self.rail.screenshot(os.path.join(self.shots or s.home.name, "plain-rail.png"))
        with_rail = pixels(s, shot)
        charm_skip = self.covered(charm)
        xx, xy, xw, xh = self.rail.geometry(xev)
        skip = lambda x, y: charm_skip(x, y) or not (xx <= x < xx + xw and xy <= y < xy + xh)
        stray = differing(without, with_rail, skip)
        self.check(not stray, "without a compositor the desktop shows everywhere outside the charm %s" % stray[:5])
        drawn = differing(without, with_rail, lambda x, y: not charm_skip(x, y))
        self.check(len(drawn) > 20, "the charm itself is drawn")
        shape = self.rail.shape("bounding", self.rail.panel)
        self.check(len(shape) > 10, "the rail window is cut to the shape of its drawing (%d rectangles)" % len(shape))
        cx, cy = charm.screen(charm.centre)
        beside = (int(cx + charm.radius + 110), int(cy))
        self.check(self.click_reaches(log, beside), "a click beside the charm reaches the window below")
        self.check(self.click_reaches(log, (200, 100)), "a click in the band away from the charm reaches the window")

        s.start_compositor()
        wait_for(lambda: len(self.rail.shape("bounding", self.rail.panel)) == 1, timeout=5,
                 what="the shape to go when a compositor starts")
        time.sleep(0.5)
        composited = pixels(s, self.rail.screenshot(os.path.join(s.home.name, "composited.png")))
        stray = differing(without, composited, skip)
        self.check(not stray, "once a compositor starts the rail blends in without a restart %s" % stray[:5])
        s.stop_compositor()
        wait_for(lambda: len(self.rail.shape("bounding", self.rail.panel)) > 10, timeout=5,
                 what="the shape to come back when the compositor stops")
        time.sleep(0.5)
        again = pixels(s, self.rail.screenshot(os.path.join(s.home.name, "again.png")))
        stray = differing(without, again, skip)
        self.check(not stray, "when the compositor stops the rail is cut to shape again %s" % stray[:5])
        self.check_pin_drag(charm, s.width)

    def run_i3(self):
        s = self.session
        s.spawn(["xterm", "-title", "tiled-xterm"])
        xterm = wait_for(lambda: self.rail.xdo_search("--name", "^tiled-xterm$"), what="xterm")[0]
        wait_for(lambda: self.rail.viewable(xterm), what="xterm to show")
        xev, log = self.start_xev()
        time.sleep(0.5)
        tiles = {w: self.rail.geometry(w) for w in (xterm, xev)}
        self.rail.start({"hung": [NAZAR], "breeze": False, "shimmer": False, "sound": False, "calm": True})
        self.rail.xdo("mousemove", 300, 700)
        process_cost.wait_for_rest(self.rail.process.pid)
        self.shot("i3-rail.png")
        self.check(all(self.rail.geometry(w) == g for w, g in tiles.items()),
                   "the tiled windows keep their geometry (%s)" % tiles)
        self.check_rail_window(self.top())
        self.check_above(xev, "the rail floats above the tiled windows")
        charm = self.rail.charm()
        self.check(abs(charm.screen(charm.pin)[0] - 0.62 * s.width) <= 1.5, "the charm hangs at x = 0.62")
        self.rail.xdo("windowactivate", "--sync", xev)
        active = self.rail.active()
        cx, cy = charm.screen(charm.centre)
        self.check(self.click_reaches(log, (int(cx + charm.radius + 40), int(cy))),
                   "a click beside the charm reaches the tiled window")
        self.rail.glide((int(cx + charm.radius + 40), int(cy)), (int(cx), int(cy)), steps=10)
        self.rail.xdo("click", 1)
        time.sleep(0.3)
        self.check(self.rail.active() == active, "a press on a charm leaves the focus where it was")
        self.rail.glide((int(cx), int(cy)), (int(cx) - 300, int(cy) + 300), steps=10)
        process_cost.wait_for_rest(self.rail.process.pid)
        self.check_pin_drag(self.rail.charm(), s.width)

    def main(self):
        try:
            self.session.start()
            self.rail = X11Rail(self.session, self.binary, self.probe)
            getattr(self, "run_" + self.scenario)()
        except AssertionError as error:
            self.check(False, str(error))
        except Exception:
            import traceback
            traceback.print_exc()
            self.check(False, "the test itself failed")
        finally:
            said = self.rail.stop() if self.rail else ""
            if said:
                print("pendra said:\n" + said)
            self.session.stop()
        print("%d failure(s)" % len(self.failures))
        return 1 if self.failures else 0


if __name__ == "__main__":
    if len(sys.argv) < 6:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(DesktopTest(*sys.argv[1:6], sys.argv[6] if len(sys.argv) > 6 else None).main())
