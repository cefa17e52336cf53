"""A private X desktop for tests: Xvfb with a window manager (openbox, or i3),
optionally xcompmgr and a tint2 top panel with a tray. Everything started here
is stopped again by stop()."""

import os
import sys
import signal
import subprocess
import tempfile
import time


def wait_for(predicate, timeout=20.0, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


class DesktopSession:
    width = 1280
    height = 800

    def __init__(self, data_dir, wm="openbox", compositor=True, panel=True, probe=None):
        self.data_dir = data_dir
        self.probe = probe
        self.wm = wm
        self.compositor = compositor
        self.with_panel = panel
        self.compositor_process = None
        self.processes = []
        self.home = tempfile.TemporaryDirectory(prefix="pendra-desktop-")
        self.env = None

    def _free_display(self):
        # X servers also listen on an abstract socket that no folder shows,
        # and that one is shared with chroots on the same machine.
        try:
            with open("/proc/net/unix") as f:
                abstract = f.read()
        except OSError:
            abstract = ""
        for number in range(90, 200):
            if (not os.path.exists("/tmp/.X11-unix/X%d" % number) and not os.path.exists("/tmp/.X%d-lock" % number)
                    and "@/tmp/.X11-unix/X%d\n" % number not in abstract):
                return number
        raise AssertionError("no free X display number")

    def start(self):
        try:
            return self._start()
        except BaseException:
            for process in self.processes:
                print("%s: %s" % (process.args[0], "running" if process.poll() is None else
                                  "exited with %s" % process.returncode), file=sys.stderr)
            if os.path.exists(getattr(self, "openbox_log", "")):
                print("openbox said: " + open(self.openbox_log).read(), file=sys.stderr)
            self.stop()
            raise

    def _start(self):
        number = self._free_display()
        env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "SESSION_MANAGER"):
            env.pop(name, None)
        env["DISPLAY"] = ":%d" % number
        env["XDG_CONFIG_HOME"] = os.path.join(self.home.name, "config")
        env["XDG_RUNTIME_DIR"] = os.path.join(self.home.name, "runtime")
        env["HOME"] = self.home.name
        os.makedirs(env["XDG_CONFIG_HOME"])
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        self.env = env
        # Without -noreset the server resets whenever its last client leaves, as each
        # xprop probe below does, and a window manager connecting during that reset
        # loses its connection and exits.
        self.spawn(["Xvfb", env["DISPLAY"], "-screen", "0", "%dx%dx24" % (self.width, self.height),
                    "-nolisten", "tcp", "-noreset"])
        wait_for(lambda: os.path.exists("/tmp/.X11-unix/X%d" % number), what="Xvfb")
        wait_for(lambda: self.run(["xprop", "-root"], check=False).returncode == 0, what="the display")
        self.openbox_log = os.path.join(self.home.name, self.wm + ".log")
        with open(self.openbox_log, "w") as log:
            if self.wm == "i3":
                self.spawn(["i3", "-c", os.path.join(self.data_dir, "i3config")], stderr=log, stdout=log)
            else:
                self.spawn([self.wm], stderr=log)
        wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self.run(["xprop", "-root"]).stdout, what=self.wm)
        if self.compositor:
            self.start_compositor()
        if self.with_panel:
            self.start_panel()
        return self

    def start_compositor(self):
        self.compositor_process = self.spawn(["xcompmgr"])
        # A compositing manager announces itself by owning this selection.
        if self.probe:
            wait_for(lambda: self.selection_owner("_NET_WM_CM_S0") != 0, what="xcompmgr")
        else:
            time.sleep(0.5)

    def stop_compositor(self):
        self.compositor_process.terminate()
        self.compositor_process.wait(timeout=10)
        self.compositor_process = None
        if self.probe:
            wait_for(lambda: self.selection_owner("_NET_WM_CM_S0") == 0, what="xcompmgr to go")

    def selection_owner(self, name):
        return int(self.run([self.probe, "owner", name]).stdout.strip() or "0")

    def start_panel(self):
        self.panel = self.spawn(["tint2", "-c", os.path.join(self.data_dir, "tint2rc")])
        wait_for(lambda: self.windows_of_class("tint2"), what="the tint2 panel")

    def stop_panel(self):
        self.panel.terminate()
        self.panel.wait(timeout=10)
        wait_for(lambda: not self.windows_of_class("tint2"), what="the tint2 panel to go")

    def spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, env=self.env, stdout=kwargs.pop("stdout", subprocess.DEVNULL),
                                   stderr=kwargs.pop("stderr", subprocess.DEVNULL), **kwargs)
        self.processes.append(process)
        return process

    def run(self, argv, check=True, timeout=20):
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=timeout)
        if check and result.returncode != 0:
            raise AssertionError("%s failed: %s" % (" ".join(argv), result.stderr.strip()))
        return result

    def windows_of_class(self, name):
        out = self.run(["xdotool", "search", "--classname", name], check=False).stdout
        return [int(w) for w in out.split()]

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.processes = []
        self.home.cleanup()
