#!/usr/bin/env python3
"""Builds the Debian package with ./package and checks what it holds: the program,
its charms, the desktop entry, the icon, the AppStream metainfo and the manual page
in the standard places, the run-time packages among its dependencies, a working
program, and no errors from lintian, desktop-file-validate or appstreamcli.

Skips (status 77) where the package cannot be built: without dpkg-buildpackage,
debhelper or the build dependencies in debian/control.

usage: package_test.py <source folder> <version> <application id>"""

import json
import os
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77


class PackageTest:
    def __init__(self, root, version, app_id):
        self.root = root
        self.version = version
        self.app_id = app_id
        self.failures = []

    def check(self, ok, what):
        print(("ok   " if ok else "FAIL ") + what, flush=True)
        if not ok:
            self.failures.append(what)

    def run(self, argv, **kwargs):
        return subprocess.run(argv, capture_output=True, text=True, **kwargs)

    def can_build(self):
        for tool, package in (("dpkg-buildpackage", "dpkg-dev"), ("dh", "debhelper")):
            if not shutil.which(tool):
                return "%s is missing (install %s)" % (tool, package)
        missing = self.run(["dpkg-checkbuilddeps"], cwd=self.root)
        if missing.returncode != 0:
            return missing.stderr.strip().splitlines()[-1]
        return None

    def run_packages(self):
        out = self.run(["bash", "-c", 'source tools/setup.sh && printf "%s\\n" "${pendra_packages_run[@]}"'],
                       cwd=self.root)
        return out.stdout.split()

    def validate(self, tool, argv, what):
        if not shutil.which(tool):
            print("skip %s: %s is not installed" % (what, tool), flush=True)
            return
        result = self.run(argv)
        self.check(result.returncode == 0, what + ("" if result.returncode == 0 else ":\n" + result.stdout
                                                   + result.stderr))

    def main(self):
        why = self.can_build()
        if why:
            print("skipped: the package is not built here: " + why, flush=True)
            return SKIPPED
        with tempfile.TemporaryDirectory(prefix="pendra-package-") as work:
            return self.check_package(work)

    def check_package(self, work):
        out = os.path.join(work, "out")
        env = dict(os.environ, PENDRA_SKIP_INSTALL="1",
                   # Optimising would only make the build slower; what is checked is the same.
                   DEB_BUILD_OPTIONS="noopt nocheck parallel=2")
        built = self.run([os.path.join(self.root, "package"), out], env=env)
        if built.returncode != 0:
            print(built.stdout[-3000:] + built.stderr[-6000:])
            self.check(False, "./package builds the package")
            return 1
        deb = built.stdout.strip().splitlines()[-1]
        arch = self.run(["dpkg", "--print-architecture"]).stdout.strip()
        self.check(os.path.basename(deb) == "pendra_%s_%s.deb" % (self.version, arch),
                   "./package names the package it built: " + deb)

        fields = {}
        for name in ("Package", "Version", "Depends"):
            fields[name] = self.run(["dpkg-deb", "-f", deb, name]).stdout.strip()
        self.check(fields["Version"] == self.version,
                   "the package's version is the program's (%s)" % fields["Version"])
        depends = [d.strip().split(" ")[0] for d in fields["Depends"].split(",")]
        for package in self.run_packages() + ["libqt6gui6", "libcanberra0"]:
            self.check(package in depends, "the package depends on " + package)

        listing = self.run(["dpkg-deb", "-c", deb]).stdout.splitlines()
        files = {line.split()[5].lstrip(".") for line in listing if not line.startswith("d")}
        charms = sorted(os.listdir(os.path.join(self.root, "Resources", "Charms")))
        wanted = ["/usr/bin/pendra",
                  "/usr/share/applications/%s.desktop" % self.app_id,
                  "/usr/share/metainfo/%s.metainfo.xml" % self.app_id,
                  "/usr/share/icons/hicolor/scalable/apps/pendra.svg",
                  "/usr/share/man/man1/pendra.1.gz",
                  "/usr/share/doc/pendra/copyright"] + ["/usr/share/pendra/Charms/" + c for c in charms]
        for path in wanted:
            self.check(path in files, "the package installs " + path)
        extra = sorted(files - set(wanted) - {"/usr/share/doc/pendra/changelog.gz"})
        self.check(not extra, "and nothing else (%s)" % extra)

        root = os.path.join(work, "root")
        self.run(["dpkg-deb", "-x", deb, root], check=True)
        desktop = os.path.join(root, "usr/share/applications/%s.desktop" % self.app_id)
        metainfo = os.path.join(root, "usr/share/metainfo/%s.metainfo.xml" % self.app_id)
        entry = dict(line.strip().split("=", 1) for line in open(desktop) if "=" in line)
        self.check(entry.get("Exec") == "/usr/bin/pendra", "the desktop entry starts /usr/bin/pendra")
        self.check(entry.get("Icon") == "pendra" and entry.get("StartupWMClass") == "Pendra",
                   "the desktop entry names the icon and the window class")
        self.check('<release version="%s"' % self.version in open(metainfo).read(),
                   "the metainfo's release is the program's version")
        self.validate("desktop-file-validate", ["desktop-file-validate", desktop], "desktop-file-validate passes")
        self.validate("appstreamcli", ["appstreamcli", "validate", "--no-net", metainfo],
                      "appstreamcli validate passes")

        program = os.path.join(root, "usr/bin/pendra")
        picture = os.path.join(work, "out.png")
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"))
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        shown = self.run([program, "--version"], env=env)
        self.check(shown.stdout == "Pendra %s\n" % self.version, "the packaged program knows its version")
        preview = self.run([program, "--preview", picture, "300", "120"], env=env)
        count = len(json.load(open(os.path.join(self.root, "Resources/Charms/charms.json"))))
        self.check(preview.returncode == 0 and preview.stdout == "wrote %s  (600x240, %d charms)\n"
                   % (picture, count), "the packaged program renders its charms: " + preview.stdout
                   + preview.stderr)

        if shutil.which("lintian"):
            lint = self.run(["lintian", "--fail-on", "error", deb])
            print(lint.stdout, end="", flush=True)
            self.check(lint.returncode == 0, "lintian reports no errors")
        else:
            print("skip lintian: it is not installed", flush=True)
        print("%d failure(s)" % len(self.failures))
        return 1 if self.failures else 0


if __name__ == "__main__":
    sys.exit(PackageTest(sys.argv[1], sys.argv[2], sys.argv[3]).main())
