#!/usr/bin/python3
"""Takes a screenshot of KWin's whole screen through its ScreenShot2 D-Bus
interface and writes it as a PNG (through ImageMagick). Runs with Debian's own
Python, which has the GObject bindings.

usage: kwin_screenshot.py OUT.png [--cursor]"""

import os
import subprocess
import sys
import threading

from gi.repository import Gio, GLib


def main():
    out = sys.argv[1]
    cursor = "--cursor" in sys.argv[2:]
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    read, write = os.pipe()
    fds = Gio.UnixFDList.new()
    index = fds.append(write)
    os.close(write)
    chunks = []
    reader = threading.Thread(target=lambda: chunks.append(_read_all(read)))
    reader.start()
    options = {"include-cursor": GLib.Variant("b", cursor), "native-resolution": GLib.Variant("b", True)}
    reply, _ = bus.call_with_unix_fd_list_sync(
        "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureArea",
        GLib.Variant("(iiuua{sv}h)", (0, 0, 1600, 900, options, index)), GLib.VariantType("(a{sv})"),
        Gio.DBusCallFlags.NONE, 20000, fds, None)
    # The list keeps a copy of the pipe's writing end; the reader sees the
    # end of the picture only once every copy is closed.
    for fd in fds.steal_fds():
        os.close(fd)
    reader.join(timeout=20)
    meta = reply.unpack()[0]
    width, height, stride = meta["width"], meta["height"], meta["stride"]
    data = chunks[0] if chunks else b""
    rows = b"".join(data[y * stride:y * stride + width * 4] for y in range(height))
    # QImage's 32-bit formats are BGRA in memory on little-endian machines.
    subprocess.run(["convert", "-size", "%dx%d" % (width, height), "-depth", "8", "bgra:-", out], input=rows,
                   check=True)


def _read_all(fd):
    parts = []
    while True:
        part = os.read(fd, 1 << 20)
        if not part:
            break
        parts.append(part)
    os.close(fd)
    return b"".join(parts)


if __name__ == "__main__":
    main()
