#!/usr/bin/env python3
"""Runs the real pendra on a private Wayland desktop (headless sway or KWin,
each with Xwayland, the session's environment as after a login) and drives it
with a virtual pointer, checking screenshots, a native window's own account of
the clicks it got, and the settings file.

usage: wayland_test.py <scenario> <pendra> <pendra-wlpointer> <charms folder> [screenshot folder]

Scenarios: sway, sway-hidpi (output scale 2), kwin, gnome (no layer shell: the
rail is X11 windows through XWayland)."""

import json
import os
import shutil
import subprocess
import sys
import time

import process_cost
from desktop_session import wait_for
from wayland_session import GnomeSession, KWinSession, Skip, SwaySession
from x11_rail import Settings

NAZAR = {"uid": "6F1C1D0E-2B7A-4C8E-9A51-3D2E4F5A6B7C", "charmID": "nazar", "x": 0.62, "drop": 150}


def read_rgb(path):
    out = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, check=True, text=True).stdout
    width, height = map(int, size.split())
    return width, height, out


def changed_in(a, b, box):
    """How many pixels differ between two screenshots inside a box."""
    width, _, one = a
    _, _, two = b
    left, top, right, bottom = box
    count = 0
    for y in range(top, bottom):
        for x in range(left, right):
            i = (y * width + x) * 3
            count += one[i:i + 3] != two[i:i + 3]
    return count


def changed_box(a, b, below=0):
    """The bounding box of the pixels that differ between two screenshots,
    from row `below` down."""
    width, height, one = a
    _, _, two = b
    left, top, right, bottom = width, height, -1, -1
    for y in range(below, height):
        row = slice(y * width * 3, (y + 1) * width * 3)
        if one[row] == two[row]:
            continue
        top = min(top, y)
        bottom = max(bottom, y)
        base = y * width * 3
        for x in range(width):
            i = base + x * 3
            if one[i:i + 3] != two[i:i + 3]:
                left = min(left, x)
                break
        for x in range(width - 1, -1, -1):
            i = base + x * 3
            if one[i:i + 3] != two[i:i + 3]:
                right = max(right, x)
                break
    return None if bottom < 0 else (left, top, right + 1, bottom + 1)


class WaylandTest:
    def __init__(self, scenario, binary, driver, charms, shots):
        self.scenario = scenario
        self.binary = binary
        self.charms = charms
        self.shots = shots
        self.scale = 2 if scenario == "sway-hidpi" else 1
        if scenario == "kwin":
            self.session = KWinSession(driver)
        elif scenario == "gnome":
            self.session = GnomeSession(driver)
        else:
            self.session = SwaySession(driver, self.scale)
        # GNOME's top bar takes the first 32 points.
        self.top = 32 if scenario == "gnome" else 0
        self.failures = []
        self.pendra = None

    def check(self, ok, what):
        print(("ok   " if ok else "FAIL ") + what, flush=True)
        if not ok:
            self.failures.append(what)

    def shot(self, name, cursor=False):
        path = self.session.screenshot(os.path.join(self.session.home, name), cursor)
        if self.shots:
            shutil.copy(path, os.path.join(self.shots, self.scenario + "-" + name))
        return read_rgb(path)

    def buttons(self):
        return self.session.log("eventdemo.log").count("button")

    def click_reaches(self, point):
        before = self.buttons()
        self.session.pointer.glide(point, steps=6)
        time.sleep(0.2)
        self.session.pointer.click()
        try:
            wait_for(lambda: self.buttons() > before, timeout=3, what="the click")
            return True
        except AssertionError:
            return False

    def cursor_mask(self, point, name):
        """The cursor's own pixels where the pointer rests: the difference
        between a screenshot with the cursor and one without."""
        p = self.session.pointer
        p.glide(point, steps=8)
        time.sleep(0.4)
        with_cursor = self.shot(name + "-cursor.png", cursor=True)
        without = self.shot(name + ".png")
        width, _, one = with_cursor
        _, _, two = without
        s = self.scale
        mask = set()
        for dy in range(-8 * s, 40 * s):
            for dx in range(-8 * s, 40 * s):
                x, y = point[0] * s + dx, point[1] * s + dy
                i = (y * width + x) * 3
                if 0 <= i < len(one) and one[i:i + 3] != two[i:i + 3]:
                    mask.add((dx, dy))
        return frozenset(mask)

    def drag_cost(self, charm, seconds=3.0):
        """What a charm dragged to and fro costs Pendra and the compositor:
        every frame the rail is drawn anew and its input windows move."""
        names = {"sway": ["sway", "Xwayland"], "sway-hidpi": ["sway", "Xwayland"], "kwin": ["kwin_wayland"],
                 "gnome": ["gnome-shell", "Xwayland"]}[self.scenario]
        pids = {}
        for name in names:
            out = subprocess.run(["pgrep", "-n", "-x", name], capture_output=True, text=True).stdout.split()
            if out:
                pids[name] = int(out[0])
        p = self.session.pointer
        p.glide(charm, steps=10)
        p.down()
        share = process_cost.during([self.pendra.pid] + list(pids.values()),
                                    lambda: process_cost.wiggle(p.move, charm, seconds))
        p.up()
        p.glide((200, 700), steps=10)
        print("dragging a charm on %s: pendra %.1f %% of a core, %s" % (
            self.scenario, share[self.pendra.pid],
            ", ".join("%s %.1f %%" % (name, share[pid]) for name, pid in pids.items())), flush=True)

    def settings(self):
        return Settings(self.session.env)

    def run(self):
        s = self.session
        s.start()
        self.binary = s.stage(self.binary, self.charms)
        log = s.native_window()
        wait_for(lambda: "native" in json.dumps(s.windows()) if hasattr(s, "windows") else True, timeout=10,
                 what="the native window")
        time.sleep(1.5)
        s.quiet()
        s.pointer.move(200, 700, settle=0.3)
        window_before = s.window_rect("native") if hasattr(s, "window_rect") else None
        before = self.shot("without.png")

        settings = self.settings()
        s.write_file(settings.path, "")
        settings.write({"hung": [NAZAR], "breeze": False, "shimmer": False, "sound": False, "calm": True})
        if s.user:
            os.chown(settings.path, s.user.pw_uid, s.user.pw_gid)
        self.pendra = s.spawn([self.binary, "--autostart"], stderr=subprocess.PIPE)
        took = process_cost.wait_for_rest(self.pendra.pid, timeout=90)
        print("the rail came to rest %.0f s after launch" % took, flush=True)
        cpu, wakeups = process_cost.measure([self.pendra.pid], 20.0)[self.pendra.pid]
        print("pendra at rest on %s: %.3f %% of one core, %.2f wakeups a second over 20 s" %
              (self.scenario, cpu, wakeups), flush=True)
        self.check(wakeups <= 1.0, "at rest pendra wakes at most once a second (%.2f)" % wakeups)

        rest = self.shot("rail.png")
        # GNOME's top bar shows a clock; the rail hangs below it anyway.
        box = changed_box(before, rest, self.top * self.scale)
        self.check(box is not None, "the charm shows")
        if not box:
            return
        left, top, right, bottom = [v / self.scale for v in box]
        centre = (left + right) / 2
        self.centre = centre
        print("the rail drew in %s (points)" % ((left, top, right, bottom),), flush=True)
        self.check(abs(centre - 0.62 * s.width) < 12 and abs(top - self.top) < 12,
                   "the charm hangs at x = 0.62 from the top of the screen (%.0f, %.0f)" % (centre, top))
        self.check(bottom - top > 300, "cord and charm show in full (%.0f points tall)" % (bottom - top))
        if self.scale == 2:
            width_points = right - left
            self.check(150 < width_points < 240 and box[2] - box[0] > 300,
                       "at output scale 2 the charm is drawn with twice the pixels (%d px, %.0f points)"
                       % (box[2] - box[0], width_points))
        if window_before:
            self.check(s.window_rect("native") == window_before,
                       "the native window keeps its geometry (%s)" % (window_before,))

        charm = (round(centre), round(top + 3 + 150 + 95))
        beside = (round(right + 60), round(top + 200))
        pin = (round(centre), round(top + 4))
        # Away from the charm first: a pointer crossing it would set it swinging.
        self.check(self.click_reaches((300, self.top + 120)), "a click in the band away from the charm reaches it")
        self.check(self.click_reaches(beside), "a click beside the charm reaches it too")

        over_window = self.cursor_mask(beside, "cursor-window")
        over_charm = self.cursor_mask(charm, "cursor-charm")
        over_pin = self.cursor_mask(pin, "cursor-pin")
        self.check(bool(over_charm) and over_charm != over_window, "hovering the charm changes the cursor")
        self.check(bool(over_pin) and over_pin != over_charm, "hovering the pin changes the cursor again")

        before_presses = self.buttons()
        p = s.pointer
        p.glide(charm, steps=10)
        p.down()
        for i in range(1, 6):
            p.move(charm[0] - 60 * i, charm[1] - 10 * i)
            time.sleep(0.02)
        p.sync()
        p.up()
        time.sleep(0.05)
        thrown = self.shot("thrown.png")
        moved = changed_box(rest, thrown, self.top * self.scale)
        self.check(moved is not None and moved[2] - moved[0] > 60 * self.scale,
                   "grabbing and throwing the charm moves it (%s)" % (moved,))
        self.check(self.buttons() == before_presses, "presses on the charm do not reach the native window")
        p.glide((200, 700), steps=10)
        process_cost.wait_for_rest(self.pendra.pid, timeout=90)
        self.drag_cost(charm)
        process_cost.wait_for_rest(self.pendra.pid, timeout=90)

        p.glide(pin, steps=10)
        time.sleep(0.2)
        p.down()
        for i in range(1, 11):
            p.move(pin[0] + 20 * i, pin[1])
            time.sleep(0.03)
        p.sync()
        p.up()
        time.sleep(0.5)
        x = self.settings().read()["hung"][0]["x"]
        expected = (pin[0] + 200) / s.width
        self.check(abs(x - expected) < 0.003 and round(x, 4) == x,
                   "dragging the pin stores x = %r (about %.4f)" % (x, expected))
        centre = self.centre
        if self.scenario == "gnome":
            self.check_gnome()
        if self.scenario == "sway":
            # The pin was slid; the charm hangs below its new place.
            placed = round(self.settings().read()["hung"][0]["x"] * s.width)
            s.pointer.glide((200, 700), steps=10)
            self.check_output_coming_and_going(before, (placed - 60, 150, placed + 60, 340))
            self.check_going_away()

    def check_output_coming_and_going(self, before, charm_box):
        s = self.session
        process_cost.wait_for_rest(self.pendra.pid, timeout=90)
        s.run(["swaymsg", "output", "HEADLESS-1", "disable"])
        time.sleep(1.0)
        cpu, _ = process_cost.measure([self.pendra.pid], 2.0)[self.pendra.pid]
        self.check(self.pendra.poll() is None and cpu < 1.0,
                   "with its output gone the rail waits, neither spinning nor ending (%.1f %%)" % cpu)
        s.run(["swaymsg", "output", "HEADLESS-1", "enable"])
        time.sleep(1.5)
        again = self.shot("output-back.png")
        drawn = changed_in(before, again, charm_box)
        self.check(drawn > 2000, "when the output comes back the rail hangs there again (%d pixels)" % drawn)

    def check_going_away(self):
        # Qt's platform was passed as an argument, so nothing Pendra starts
        # (a browser, a mail program) inherits it.
        with open("/proc/%d/environ" % self.pendra.pid, "rb") as f:
            environment = f.read().split(b"\0")
        self.check(not any(v.startswith(b"QT_QPA_PLATFORM=") for v in environment),
                   "Pendra's environment names no Qt platform for the programs it starts")
        compositor = self.session.processes[0]
        os.killpg(compositor.pid, 15)
        try:
            status = self.pendra.wait(timeout=15)
        except subprocess.TimeoutExpired:
            status = None
        self.check(status == 1, "when the compositor goes away Pendra ends, without a crash (status %s)" % status)

    def check_gnome(self):
        s = self.session
        switcher = s.eval("global.display.get_tab_list(Meta.TabList.NORMAL_ALL, null)"
                          ".map(w => w.get_title()).join(';')")
        self.check("Pendra" not in switcher, "the rail is not in Alt+Tab or the overview (%s)" % switcher)
        rail = s.eval("global.get_window_actors().map(a => a.meta_window).filter(w => w.get_title() == 'Pendra')"
                      ".map(w => w.is_override_redirect() + '/' + w.has_focus()).join(';')")
        self.check(rail and "false" not in rail.replace("/false", ""), "the rail's windows are outside the "
                   "window manager's care (%s)" % rail)
        self.check("/true" not in rail, "no rail window has the focus")
        # A second start, as from the application grid, raises the studio.
        second = s.run([self.binary], check=False, timeout=20)
        self.check(second.returncode == 0, "a second start hands off and ends (%d)" % second.returncode)
        try:
            wait_for(lambda: any(w["focus"] and w["name"].startswith("Pendra ") for w in s.windows()), timeout=8,
                     what="the studio to come up focused")
            self.check(True, "a second start raises the studio, focused")
        except AssertionError as error:
            self.check(False, "%s (%s)" % (error, [(w["name"], w["focus"]) for w in s.windows()]))
        self.shot("studio.png")

    def main(self):
        try:
            self.run()
        except Skip as skip:
            print("SKIP %s: %s" % (self.scenario, skip), flush=True)
            self.session.stop()
            return 77
        except AssertionError as error:
            self.check(False, str(error))
        except Exception:
            import traceback
            traceback.print_exc()
            self.check(False, "the test itself failed")
        finally:
            if self.pendra:
                if self.pendra.poll() is None:
                    self.pendra.terminate()
                try:
                    self.pendra.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    self.pendra.kill()
                said = self.pendra.stderr.read().decode(errors="replace").strip()
                if said:
                    print("pendra said:\n" + said[-2000:])
            if self.failures:
                for name in ("sway.log", "kwin.log", "gnome-shell.log"):
                    text = self.session.log(name)
                    if text:
                        print("%s (end):\n%s" % (name, text[-1500:]))
            self.session.stop()
        print("%d failure(s)" % len(self.failures))
        return 1 if self.failures else 0


if __name__ == "__main__":
    if len(sys.argv) < 5:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(WaylandTest(*sys.argv[1:5], sys.argv[5] if len(sys.argv) > 5 else None).main())
