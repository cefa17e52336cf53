"""Pendra on an X11 desktop, seen from outside: its settings file, its rail
windows and their shapes, the pointer and screenshots."""

import json
import math
import os
import re
import subprocess
import time

from desktop_session import wait_for

SETTINGS_KEY = "pendra.settings.v1"


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


class Settings:
    def __init__(self, env):
        self.path = os.path.join(env["XDG_CONFIG_HOME"], "pendra", "app.pendra.Pendra.conf")

    def write(self, record):
        os.makedirs(os.path.dirname(self.path), exist_ok=True)
        with open(self.path, "w") as f:
            f.write("[General]\n%s=%s\n" % (SETTINGS_KEY, ini_quote("@ByteArray(" + json.dumps(record) + ")")))

    def read(self):
        with open(self.path) as f:
            for line in f:
                if line.startswith(SETTINGS_KEY + "="):
                    value = ini_unquote(line[len(SETTINGS_KEY) + 1:])
                    match = re.fullmatch(r"@ByteArray\((.*)\)", value, re.S)
                    return json.loads(match.group(1))
        raise AssertionError("no settings record in " + self.path)


class Charm:
    """A hanging charm at rest, found from the rail's input region: the pin's
    disc at the top and the charm's disc below it."""

    def __init__(self, rects, origin):
        self.origin = origin
        pin = [r for r in rects if r[1] < 40]
        body = [r for r in rects if r[1] >= 40]
        if not pin or not body:
            raise AssertionError("the input region holds no pin and charm: %s" % rects[:8])
        self.pin_box = box(pin)
        self.box = box(body)
        self.rects = body
        left, top, right, bottom = self.box
        self.centre = ((left + right) / 2.0, (top + bottom) / 2.0)
        self.radius = (right - left) / 2.0
        pl, pt, pr, pb = self.pin_box
        self.pin = ((pl + pr) / 2.0, (pt + pb) / 2.0)
        self.pin_radius = (pr - pl) / 2.0

    def screen(self, point):
        """Screen pixel of a point (or pixel) given relative to the rail."""
        return int(math.floor(self.origin[0] + point[0])), int(math.floor(self.origin[1] + point[1]))

    def row_span(self, y):
        """The first and one past the last pixel of the region on row y."""
        spans = [(x, x + w) for (x, ry, w, h) in self.rects if ry <= y < ry + h]
        return min(s[0] for s in spans), max(s[1] for s in spans)


def box(rects):
    return (min(r[0] for r in rects), min(r[1] for r in rects), max(r[0] + r[2] for r in rects),
            max(r[1] + r[3] for r in rects))


class X11Rail:
    def __init__(self, session, binary, probe):
        self.session = session
        self.binary = binary
        self.probe = probe
        self.process = None
        self.settings = Settings(session.env)

    # --- the program ---------------------------------------------------------
    def start(self, record=None, args=()):
        if record is not None:
            self.settings.write(record)
        self.process = self.session.spawn([self.binary] + list(args), stderr=subprocess.PIPE)
        self.windows = wait_for(self.rail_windows, what="the rail windows")
        wait_for(lambda: self.viewable(self.panel), what="the rail to show")
        return self

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
        said = ""
        if self.process:
            self.process.wait()
            said = self.process.stderr.read().decode(errors="replace").strip() if self.process.stderr else ""
        self.process = None
        return said

    @property
    def panel(self):
        return self.windows[0]

    @property
    def input(self):
        return self.windows[1]

    def rail_windows(self):
        """The drawing window and the input window above it, once both exist."""
        named = set(self.xdo_search("--name", "^Pendra$"))
        drawing, taking = None, None
        for wid, override, state, klass in self.tree():
            if wid in named and override:
                if klass == 1:
                    drawing = wid
                elif klass == 2:
                    taking = wid
        return (drawing, taking) if drawing and taking else None

    # --- the X server --------------------------------------------------------
    def xdo(self, *args):
        return self.session.run(["xdotool"] + [str(a) for a in args]).stdout.strip()

    def xdo_search(self, *args):
        out = self.session.run(["xdotool", "search"] + list(args), check=False).stdout
        return [int(w) for w in out.split()]

    def tree(self):
        """The root's children, bottom first: (id, override-redirect, map state, class)."""
        out = self.session.run([self.probe, "tree"]).stdout
        return [tuple(int(v) for v in line.split()) for line in out.splitlines()]

    def stacking(self):
        return [row[0] for row in self.tree()]

    def shape(self, kind, window):
        out = self.session.run([self.probe, kind, str(window)]).stdout
        return [tuple(int(v) for v in line.split()) for line in out.splitlines()]

    def cursor(self):
        return self.session.run([self.probe, "cursor"]).stdout.strip()

    def viewable(self, window):
        return "IsViewable" in self.session.run(["xwininfo", "-id", str(window)], check=False).stdout

    def geometry(self, window):
        out = self.session.run(["xwininfo", "-id", str(window)]).stdout
        value = lambda name: int(re.search(name + r":\s+(-?\d+)", out).group(1))
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"))

    def managed(self):
        out = self.session.run(["xprop", "-root", "_NET_CLIENT_LIST"], check=False).stdout
        return [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", out)]

    def active(self):
        return self.xdo("getactivewindow")

    def charm(self):
        x, y, _, _ = self.geometry(self.input)
        return Charm(self.shape("input", self.input), (x, y))

    def move(self, point, settle=0.25):
        self.xdo("mousemove", point[0], point[1])
        time.sleep(settle)

    def glide(self, start, end, steps=12, pause=0.04):
        """Moves the pointer in small steps, as a hand does, so nothing is flicked."""
        for i in range(steps + 1):
            t = i / steps
            self.xdo("mousemove", round(start[0] + (end[0] - start[0]) * t), round(start[1] + (end[1] - start[1]) * t))
            time.sleep(pause)

    def screenshot(self, path):
        self.session.run(["import", "-window", "root", path])
        return path


def pixels(session, path):
    """The screenshot as width, height and RGB bytes."""
    out = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return session.width, session.height, out


def differing(a, b, skip):
    """Pixels that differ between two screenshots outside the areas skip(x, y) names."""
    width, height, one = a
    _, _, two = b
    found = []
    for y in range(height):
        row = y * width * 3
        if one[row:row + width * 3] == two[row:row + width * 3]:
            continue
        for x in range(width):
            i = row + x * 3
            if one[i:i + 3] != two[i:i + 3] and not skip(x, y):
                found.append((x, y))
                if len(found) > 20:
                    return found
    return found
