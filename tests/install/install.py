#!/usr/bin/env python3
"""Installs the build into a temporary prefix and uses it as a person would.

Checks the layout (the program with its skins and help in lib/ludex/, a
link to it and the tools in bin/, manual pages, desktop entry, icons and
AppStream metadata in share/), the command lines of each program, the
desktop files with desktop-file-validate and appstreamcli, the manual pages
with man, starts the installed program through its link on an Xvfb of its
own and finds its window, then uninstalls and expects an empty prefix.

Usage: install.py BUILD_DIR SOURCE_DIR
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import play  # noqa: E402  (the X server of the end-to-end tests)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=120, **kwargs)


def check_layout(prefix):
    link = os.path.join(prefix, "games", "ludex")
    check(os.path.islink(link) and os.readlink(link) == "../lib/ludex/ludex",
          "games/ludex is not a link to ../lib/ludex/ludex")
    for path in ("lib/ludex/ludex", "lib/ludex/Help/English.html", "lib/ludex/Skins/Midnight.zip",
                 "lib/ludex/Skins/Walnut/interface.xml", "bin/ludex-engine", "bin/ludex-skin",
                 "share/man/man6/ludex.6.gz", "share/man/man1/ludex-engine.1.gz",
                 "share/man/man1/ludex-skin.1.gz", "share/doc/ludex/copyright",
                 "share/doc/ludex/changelog.Debian.gz"):
        check(os.path.exists(os.path.join(prefix, path)), "not installed: " + path)
    check(glob.glob(os.path.join(prefix, "share/applications/*.desktop")), "no desktop entry")
    check(glob.glob(os.path.join(prefix, "share/metainfo/*.metainfo.xml")), "no AppStream metadata")
    for size in (16, 22, 24, 32, 48, 64, 128, 256):
        icon = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/ludex.png")
        check(os.path.exists(icon), f"no {size} pixel icon")
    check(os.path.exists(os.path.join(prefix, "share/icons/hicolor/scalable/apps/ludex.svg")),
          "no scalable icon")


def check_command_lines(prefix):
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    env.pop("QT_QPA_PLATFORM", None)
    for program in ("ludex", "ludex-engine", "ludex-skin"):
        path = os.path.join(prefix, "games" if program == "ludex" else "bin", program)
        result = run([path, "--help"], env=env)
        check(result.returncode == 0 and "usage" in result.stdout.lower() and not result.stderr,
              f"{program} --help: {result.returncode} {result.stdout[:80]!r} {result.stderr[:200]!r}")
        result = run([path, "--version"], env=env)
        check(result.returncode == 0 and result.stdout.startswith(program + " ") and not result.stderr,
              f"{program} --version: {result.returncode} {result.stdout!r} {result.stderr[:200]!r}")
        result = run([path, "--no-such-option"], env=env)
        check(result.returncode == 2 and "usage" in result.stderr.lower() and not result.stdout,
              f"{program} with a bad option: {result.returncode} {result.stderr[:80]!r}")
    result = run([os.path.join(prefix, "bin", "ludex-engine"), "chess", "perft", "start", "3"])
    check(result.stdout.strip() == "8902", "ludex-engine perft: " + result.stdout)


def check_desktop_files(prefix):
    for entry in glob.glob(os.path.join(prefix, "share/applications/*.desktop")):
        result = run(["desktop-file-validate", entry])
        check(result.returncode == 0 and not result.stdout.strip(),
              "desktop-file-validate: " + result.stdout + result.stderr)
    for metainfo in glob.glob(os.path.join(prefix, "share/metainfo/*.metainfo.xml")):
        result = run(["appstreamcli", "validate", "--no-net", "--explain", metainfo])
        check(result.returncode == 0, "appstreamcli validate: " + result.stdout + result.stderr)


def check_manual_pages(prefix):
    env = dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8")
    for page in glob.glob(os.path.join(prefix, "share/man/man*/*.gz")):
        result = run(["man", "--warnings", "-l", page], env=env)
        check(result.returncode == 0 and result.stdout.strip(), "man could not show " + page)
        check(not result.stderr.strip(), f"man warns on {page}: {result.stderr}")


def start_installed_program(prefix, work):
    session = play.Session(os.path.join(prefix, "games", "ludex"), work)
    try:
        session.start_display()
        program = subprocess.Popen([session.ludex], env=session.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        session.procs.append(program)
        session.proc = program
        found = session.wait_for(lambda: program.poll() is None and session.find_window(["--name", "^Ludex$"]),
                                 "the installed program's window", timeout=30)
        check(found, "the installed program showed no window")
    except play.Failure as failure:
        raise Failure(str(failure))
    finally:
        session.stop()


def uninstall(build, source, prefix, before):
    manifest = os.path.join(build, "install_manifest.txt")
    result = run([os.path.join(source, "tools", "uninstall.sh"), manifest, before])
    check(result.returncode == 0, "uninstall failed: " + result.stderr)
    left = [os.path.relpath(os.path.join(root, name), prefix)
            for root, dirs, files in os.walk(prefix) for name in dirs + files]
    check(not left, f"uninstall left {left[:10]}")


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    build, source = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="ludex-install-")
    prefix = os.path.join(work, "prefix")
    os.makedirs(prefix)
    before = os.path.join(work, "folders-before.txt")
    with open(before, "w") as file:
        file.write(prefix + "\n")
    try:
        result = run(["cmake", "--install", build, "--prefix", prefix])
        check(result.returncode == 0, "cmake --install failed: " + result.stderr)
        check_layout(prefix)
        check_command_lines(prefix)
        check_desktop_files(prefix)
        check_manual_pages(prefix)
        start_installed_program(prefix, work)
        uninstall(build, source, prefix, before)
    except Failure as failure:
        print("FAILED:", failure)
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("install: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
