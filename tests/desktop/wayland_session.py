"""Private Wayland desktops for tests: headless sway and KWin, each with
Xwayland, run as an unprivileged user (sway refuses root, and the compositors'
Xwayland then refuses root's X clients). Everything started here is stopped
again by stop()."""

import glob
import json
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from desktop_session import wait_for

HERE = os.path.dirname(os.path.abspath(__file__))


class Skip(Exception):
    """The bed cannot start on this machine at all."""


class WaylandSession:
    width = 1600
    height = 900

    def __init__(self, driver):
        self.processes = []
        self.home = tempfile.mkdtemp(prefix="pendra-wayland-")
        self.user = None
        if os.geteuid() == 0:
            self.user = pwd.getpwnam("nobody")
            os.chown(self.home, self.user.pw_uid, self.user.pw_gid)
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.home,
            "XDG_RUNTIME_DIR": os.path.join(self.home, "runtime"),
            "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
            "XDG_DATA_HOME": os.path.join(self.home, "data"),
            "LANG": "C.UTF-8",
        }
        # A sanitized build's settings go to the programs started here too.
        for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
            if name in os.environ:
                self.env[name] = os.environ[name]
        for folder in ("runtime", "config", "data"):
            self.make_dir(os.path.join(self.home, folder), 0o700)
        self.pointer = None
        self.driver = self.stage(driver)
        self.x_locks = set(glob.glob("/tmp/.X*-lock"))

    def stage(self, program, charms=None):
        """A copy of a program (and of the charms beside it, where Pendra looks
        for them once installed) that the session's user can run: the build
        may lie in a folder only its owner can enter."""
        bin_dir = os.path.join(self.home, "stage", "bin")
        self.make_dir(os.path.dirname(bin_dir))
        self.make_dir(bin_dir)
        copy = os.path.join(bin_dir, os.path.basename(program))
        shutil.copy(program, copy)
        os.chmod(copy, 0o755)
        if charms:
            target = os.path.join(self.home, "stage", "share", "pendra", "Charms")
            shutil.copytree(charms, target)
            for root, dirs, files in os.walk(os.path.join(self.home, "stage")):
                for name in dirs:
                    os.chmod(os.path.join(root, name), 0o755)
                for name in files:
                    os.chmod(os.path.join(root, name), 0o755 if root == bin_dir else 0o644)
        return copy

    # --- processes as the session's user -------------------------------------
    def make_dir(self, path, mode=0o755):
        os.makedirs(path, mode=mode, exist_ok=True)
        os.chmod(path, mode)
        if self.user:
            os.chown(path, self.user.pw_uid, self.user.pw_gid)

    def write_file(self, path, text, mode=0o644):
        self.make_dir(os.path.dirname(path))
        with open(path, "w") as f:
            f.write(text)
        os.chmod(path, mode)
        if self.user:
            os.chown(path, self.user.pw_uid, self.user.pw_gid)

    def as_user(self, argv):
        if not self.user:
            return list(argv)
        return ["setpriv", "--reuid=%d" % self.user.pw_uid, "--regid=%d" % self.user.pw_gid,
                "--clear-groups", "--"] + list(argv)

    def spawn(self, argv, env=None, **kwargs):
        process = subprocess.Popen(self.as_user(argv), env=dict(self.env, **(env or {})),
                                   stdout=kwargs.pop("stdout", subprocess.DEVNULL),
                                   stderr=kwargs.pop("stderr", subprocess.DEVNULL), cwd=self.home,
                                   start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def run(self, argv, check=True, timeout=30, env=None):
        result = subprocess.run(self.as_user(argv), env=dict(self.env, **(env or {})), capture_output=True,
                                text=True, timeout=timeout, cwd=self.home)
        if check and result.returncode != 0:
            raise AssertionError("%s failed: %s" % (" ".join(argv), result.stderr.strip()[-400:]))
        return result

    def start(self):
        try:
            self._start()
            self.pointer = PointerDriver(self)
            return self
        except BaseException:
            self.stop()
            raise

    def stop(self):
        if self.pointer:
            self.pointer.close()
            self.pointer = None
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        self.processes = []
        self.remove_stale_displays()
        shutil.rmtree(self.home, ignore_errors=True)

    def remove_stale_displays(self):
        """A compositor stopped by a signal leaves its Xwayland's lock files and
        sockets behind; those that appeared during the session and whose server
        is gone are removed, so that runs leave /tmp as they found it."""
        def running(pid):
            try:
                os.kill(pid, 0)
                return True
            except ProcessLookupError:
                return False
            except OSError:
                return True

        for lock in set(glob.glob("/tmp/.X*-lock")) - self.x_locks:
            try:
                with open(lock) as f:
                    pid = int(f.read().strip())
            except (OSError, ValueError):
                continue
            # Xwayland outlives its compositor by a moment.
            deadline = time.monotonic() + 5.0
            while running(pid) and time.monotonic() < deadline:
                time.sleep(0.1)
            if running(pid):
                continue
            number = os.path.basename(lock)[len(".X"):-len("-lock")]
            for path in (lock, "/tmp/.X11-unix/X" + number):
                try:
                    os.remove(path)
                except OSError:
                    pass

    def log(self, name):
        path = os.path.join(self.home, name)
        return open(path).read() if os.path.exists(path) else ""

    def quiet(self):
        """Puts away whatever the desktop shows of its own accord."""

    def native_window(self):
        """weston's event demo, which says what the pointer does to it."""
        log = os.path.join(self.home, "eventdemo.log")
        out = open(log, "w")
        if self.user:
            os.chown(log, self.user.pw_uid, self.user.pw_gid)
        self.spawn(["stdbuf", "-oL", "weston-eventdemo", "--log-button", "--title=native",
                    "--width=%d" % self.width, "--height=%d" % self.height], stdout=out, stderr=out)
        return log


class PointerDriver:
    def __init__(self, session):
        self.process = session.spawn([session.driver, str(session.width), str(session.height)],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        line = self.process.stdout.readline().decode().strip()
        if line != "ready":
            raise Skip("no virtual pointer on this compositor: %s" % self.process.stderr.read().decode()[-300:])
        self.at = (session.width // 2, session.height // 2)

    def send(self, line):
        self.process.stdin.write((line + "\n").encode())
        self.process.stdin.flush()

    def sync(self):
        self.send("sync")
        assert self.process.stdout.readline().decode().strip() == "ok"

    def move(self, x, y, settle=0.0):
        self.send("move %d %d" % (x, y))
        self.at = (x, y)
        if settle:
            self.sync()
            time.sleep(settle)

    def glide(self, to, steps=15, pause=0.03):
        """Small steps, as a hand moves: big jumps leave Xwayland's pointer behind."""
        x0, y0 = self.at
        for i in range(1, steps + 1):
            self.move(round(x0 + (to[0] - x0) * i / steps), round(y0 + (to[1] - y0) * i / steps))
            time.sleep(pause)
        self.sync()

    def down(self):
        self.send("down")
        self.sync()

    def up(self):
        self.send("up")
        self.sync()

    def click(self):
        self.down()
        time.sleep(0.05)
        self.up()

    def close(self):
        if self.process.poll() is None:
            self.process.stdin.close()
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()


class SwaySession(WaylandSession):
    def __init__(self, driver, scale=1):
        super().__init__(driver)
        self.scale = scale

    def _start(self):
        if not shutil.which("sway"):
            raise Skip("sway is not installed")
        config = os.path.join(self.home, "sway.config")
        self.write_file(config, "\n".join([
            "output HEADLESS-1 resolution %dx%d scale %d" % (self.width * self.scale, self.height * self.scale,
                                                             self.scale),
            "xwayland enable",
            "default_border none",
            "focus_follows_mouse no",
            # Should the studio open, it goes out of the way of the tiles.
            'for_window [app_id="app.pendra.Pendra"] floating enable, move container to workspace 9',
            "exec sh -c 'echo $DISPLAY > $HOME/display'",
        ]) + "\n")
        log = open(os.path.join(self.home, "sway.log"), "w")
        self.spawn(["sway", "-c", config], env={"WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
                                                "WLR_RENDERER": "pixman"}, stdout=log, stderr=log)
        runtime = self.env["XDG_RUNTIME_DIR"]
        sockets = wait_for(lambda: [s for s in os.listdir(runtime) if s.startswith("wayland-")
                                    and not s.endswith(".lock")], what="sway's socket")
        self.env["WAYLAND_DISPLAY"] = sockets[0]
        self.env["SWAYSOCK"] = wait_for(lambda: glob.glob(os.path.join(runtime, "sway-ipc.*")), what="sway's ipc")[0]
        display = os.path.join(self.home, "display")
        wait_for(lambda: os.path.exists(display) and open(display).read().strip(), what="sway's X display")
        self.env["DISPLAY"] = open(display).read().strip()

    def screenshot(self, path, cursor=False):
        self.run(["grim"] + (["-c"] if cursor else []) + [path])
        return path

    def windows(self):
        tree = json.loads(self.run(["swaymsg", "-t", "get_tree"]).stdout)
        found = []

        def walk(node):
            if node.get("type") in ("con", "floating_con") and (node.get("app_id") or node.get("name")):
                found.append(node)
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(tree)
        return found

    def window_rect(self, title):
        for node in self.windows():
            if node.get("name") == title:
                r = node["rect"]
                return (r["x"], r["y"], r["width"], r["height"])
        return None


class KWinSession(WaylandSession):
    def _start(self):
        kwin = shutil.which("kwin_wayland")
        if not kwin:
            raise Skip("kwin_wayland is not installed")
        # The installed binary carries a file capability these machines do
        # not grant; a plain copy, keeping the name KWin checks, runs.
        binary_dir = os.path.join(self.home, "bin")
        self.make_dir(binary_dir)
        plain = os.path.join(binary_dir, "kwin_wayland")
        shutil.copy(kwin, plain)
        os.chmod(plain, 0o755)
        # Fake input is offered only to programs a desktop file names.
        self.write_file(os.path.join(self.env["XDG_DATA_HOME"], "applications", "pendra-wlpointer.desktop"),
                        "[Desktop Entry]\nType=Application\nName=Pendra test pointer\nNoDisplay=true\n"
                        "Exec=%s\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n" % self.driver)
        environment = os.path.join(self.home, "session.env")
        log = open(os.path.join(self.home, "kwin.log"), "w")
        self.spawn(["dbus-run-session", "--", plain, "--virtual", "--width", str(self.width), "--height",
                    str(self.height), "--xwayland", "--no-lockscreen", "--no-kactivities", "--socket", "wayland-pendra",
                    "--exit-with-session",
                    "sh -c 'env > %s.part && mv %s.part %s && exec sleep 100000'" % (environment, environment,
                                                                                        environment)],
                   env={"KWIN_SCREENSHOT_NO_PERMISSION_CHECKS": "1", "QT_QPA_PLATFORM": "offscreen",
                        "KWIN_COMPOSE": "O2", "XDG_SESSION_TYPE": "wayland"},
                   stdout=log, stderr=log)
        try:
            wait_for(lambda: os.path.exists(environment), timeout=30, what="KWin")
        except AssertionError:
            raise Skip("KWin did not start: " + self.log("kwin.log")[-500:])
        for line in open(environment):
            name, _, value = line.rstrip("\n").partition("=")
            if name in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XAUTHORITY"):
                self.env[name] = value
        self.env.setdefault("WAYLAND_DISPLAY", "wayland-pendra")

    def screenshot(self, path, cursor=False):
        if not hasattr(self, "shooter"):
            self.shooter = self.stage(os.path.join(HERE, "kwin_screenshot.py"))
        self.run(["/usr/bin/python3", self.shooter, path] + (["--cursor"] if cursor else []))
        return path


class ShellPointer:
    """The real pointer of a headless GNOME Shell, moved through a Clutter
    virtual input device that the shell's own JavaScript holds."""

    def __init__(self, session):
        self.session = session
        session.eval("global._pendraPointer = imports.gi.Clutter.get_default_backend().get_default_seat()"
                     ".create_virtual_device(imports.gi.Clutter.InputDeviceType.POINTER_DEVICE); true")
        self.at = (session.width // 2, session.height // 2)
        self.move(*self.at)

    def move(self, x, y, settle=0.0):
        self.session.eval("global._pendraPointer.notify_absolute_motion(GLib.get_monotonic_time(), %d, %d); true"
                          % (x, y))
        self.at = (x, y)
        if settle:
            time.sleep(settle)

    def glide(self, to, steps=15, pause=0.02):
        x0, y0 = self.at
        for i in range(1, steps + 1):
            self.move(round(x0 + (to[0] - x0) * i / steps), round(y0 + (to[1] - y0) * i / steps))
            time.sleep(pause)

    def button(self, pressed):
        state = "PRESSED" if pressed else "RELEASED"
        self.session.eval("global._pendraPointer.notify_button(GLib.get_monotonic_time(), imports.gi.Clutter.BUTTON_PRIMARY, "
                          "imports.gi.Clutter.ButtonState.%s); true" % state)

    def down(self):
        self.button(True)

    def up(self):
        self.button(False)

    def click(self):
        self.down()
        time.sleep(0.05)
        self.up()

    def sync(self):
        self.session.eval("true")

    def close(self):
        pass


class GnomeSession(WaylandSession):
    """gnome-shell 43 headless on Wayland, in a session bus of its own and
    with an empty stand-in for the system bus (without one it dies at start).
    --unsafe-mode opens its Eval and Screenshot interfaces to the test."""

    def _start(self):
        if not shutil.which("gnome-shell"):
            raise Skip("gnome-shell is not installed")
        runtime = self.env["XDG_RUNTIME_DIR"]
        bus_config = os.path.join(self.home, "system-bus.conf")
        self.write_file(bus_config, """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path=%s/system_bus</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
""" % runtime)
        self.spawn(["dbus-daemon", "--config-file=" + bus_config, "--nofork"])
        wait_for(lambda: os.path.exists(os.path.join(runtime, "system_bus")), what="the stand-in system bus")
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = "unix:path=%s/system_bus" % runtime
        environment = os.path.join(self.home, "session.env")
        log = open(os.path.join(self.home, "gnome-shell.log"), "w")
        self.spawn(["dbus-run-session", "--", "sh", "-c",
                    "env > %s.part && mv %s.part %s && exec gnome-shell --headless --wayland "
                    "--virtual-monitor=%dx%d --unsafe-mode" % (environment, environment, environment, self.width,
                                                              self.height)],
                   env={"XDG_SESSION_TYPE": "wayland", "GSETTINGS_BACKEND": "memory"}, stdout=log, stderr=log)
        wait_for(lambda: os.path.exists(environment), what="the session bus")
        for line in open(environment):
            name, _, value = line.rstrip("\n").partition("=")
            if name == "DBUS_SESSION_BUS_ADDRESS":
                self.env[name] = value
        try:
            wait_for(lambda: self.eval("true", check=False) == "true", timeout=40, what="GNOME Shell")
        except AssertionError:
            raise Skip("GNOME Shell did not start: " + self.log("gnome-shell.log")[-600:])
        self.env["WAYLAND_DISPLAY"] = "wayland-0"
        self.env["DISPLAY"] = json.loads(self.eval("GLib.getenv('DISPLAY')"))
        authority = json.loads(self.eval("GLib.getenv('XAUTHORITY') || ''"))
        if authority:
            self.env["XAUTHORITY"] = authority
        self.quiet()
        # Banners (about the screen lock this bed cannot have) would come and
        # go across the screenshots.
        self.eval("Main.messageTray.bannerBlocked = true; Main.messageTray._hideNotification?.(true); true",
                  check=False)

    def quiet(self):
        # It opens in the overview, and may go back there when the first
        # window turns up; closing it is ignored while it still animates.
        wait_for(lambda: self.eval("Main.overview.hide(); Main.overview.visible || Main.overview.animationInProgress")
                 == "false", what="the overview to close")

    def start(self):
        try:
            self._start()
            self.pointer = ShellPointer(self)
            return self
        except BaseException:
            self.stop()
            raise

    def eval(self, script, check=True):
        result = self.run(["gdbus", "call", "--session", "--dest", "org.gnome.Shell", "--object-path",
                           "/org/gnome/Shell", "--method", "org.gnome.Shell.Eval", script], check=False, timeout=20)
        out = result.stdout.strip()
        if result.returncode != 0 or not out.startswith("(true,"):
            if check:
                raise AssertionError("the shell could not run %r: %s %s" % (script[:80], out, result.stderr[-300:]))
            return None
        # The answer is a quoted JavaScript value: ('"value"') or ('true').
        value = out[len("(true, "):-1].strip()
        return value[1:-1].replace("\\'", "'") if value.startswith("'") else value

    def screenshot(self, path, cursor=False):
        self.run(["gdbus", "call", "--session", "--dest", "org.gnome.Shell", "--object-path",
                  "/org/gnome/Shell/Screenshot", "--method", "org.gnome.Shell.Screenshot.Screenshot",
                  "true" if cursor else "false", "false", path])
        return path

    def windows(self):
        # Plain text, so that nothing needs escaping on the way back.
        script = ("global.get_window_actors().map(a => { const w = a.meta_window; const r = w.get_frame_rect(); "
                  "return [w.get_title(), r.x, r.y, r.width, r.height, w.skip_taskbar, w.has_focus(), "
                  "w.get_window_type()].join('|'); }).join(';')")
        found = []
        for row in json.loads(self.eval(script)).split(";"):
            if not row:
                continue
            name, x, y, w, h, skip, focus, kind = row.split("|")
            found.append({"name": name, "x": int(x), "y": int(y), "width": int(w), "height": int(h),
                          "skip": skip == "true", "focus": focus == "true", "type": int(kind)})
        return found

    def window_rect(self, title):
        for w in self.windows():
            if w["name"] == title:
                return (w["x"], w["y"], w["width"], w["height"])
        return None
